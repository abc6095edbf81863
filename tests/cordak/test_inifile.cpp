#include <cordak/inifile.h>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Str(const CUString& s)
{
    return std::string(static_cast<char const*>(s));
}

class IniFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "gyrix-ini-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        m_path = m_folder + "/Gyrix.ini";
    }

    void TearDown() override
    {
        chmod(m_folder.c_str(), 0755);
        for (auto const& name : Entries())
            unlink((m_folder + "/" + name).c_str());
        rmdir(m_folder.c_str());
    }

    std::string Content() const
    {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void SetContent(std::string const& text) const
    {
        std::ofstream(m_path, std::ios::binary) << text;
    }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir(m_folder.c_str())) {
            while (dirent* e = readdir(dir))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            closedir(dir);
        }
        return names;
    }

    std::string m_folder;
    std::string m_path;
};

TEST_F(IniFileTest, OpenCreatesAMissingFile)
{
    CUIniFile ini;
    EXPECT_EQ(ini.Open(""), 0);
    EXPECT_EQ(ini.Open((m_folder + "/no/such/folder/Gyrix.ini").c_str()), 0);
    EXPECT_EQ(ini.Open(m_folder.c_str()), 0);  // a folder is not a settings file
    EXPECT_EQ(ini.ReadIniInt("AnimSpeed", 30), 30);
    EXPECT_EQ(ini.WriteIniInt("AnimSpeed", 3), 0);

    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    EXPECT_EQ(Content(), "");
    EXPECT_EQ(ini.ReadIniInt("AnimSpeed", 30), 30);
    CUString tile;
    EXPECT_EQ(ini.ReadIniString("TilePath", tile, "Web.bmp"), 0);
    EXPECT_EQ(Str(tile), "Web.bmp");
}

TEST_F(IniFileTest, RoundTripAndReplacement)
{
    CUIniFile ini;
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    EXPECT_EQ(ini.WriteIniInt("AnimSpeed", 3), 1);
    EXPECT_EQ(ini.WriteIniInt("AnimSpeed", 4), 1);
    EXPECT_EQ(Content(), "AnimSpeed=4\n");
    EXPECT_EQ(ini.ReadIniInt("AnimSpeed", 0), 4);

    EXPECT_EQ(ini.WriteIniString("TilePath", "Web.bmp"), 1);
    EXPECT_EQ(ini.WriteIniInt("BackgroundColor", 8421376), 1);
    EXPECT_EQ(ini.WriteIniInt("Offset", INT_MIN), 1);
    EXPECT_EQ(Content(), "AnimSpeed=4\nTilePath=\"Web.bmp\"\nBackgroundColor=8421376\nOffset=-2147483648\n");

    // Replacing moves the key to the end and leaves the others as they were.
    EXPECT_EQ(ini.WriteIniString("TilePath", "/home/player/My Pictures/tile 2.bmp"), 1);
    EXPECT_EQ(Content(), "AnimSpeed=4\nBackgroundColor=8421376\nOffset=-2147483648\n"
                         "TilePath=\"/home/player/My Pictures/tile 2.bmp\"\n");
    ini.Close();

    CUIniFile again;
    ASSERT_EQ(again.Open(m_path.c_str()), 1);
    CUString tile;
    EXPECT_EQ(again.ReadIniString("TilePath", tile, "Web.bmp"), 1);
    EXPECT_EQ(Str(tile), "/home/player/My Pictures/tile 2.bmp");
    EXPECT_EQ(again.ReadIniInt("BackgroundColor", 0), 8421376);
    EXPECT_EQ(again.ReadIniInt("Offset", 0), INT_MIN);
    EXPECT_EQ(again.ReadIniInt("animspeed", -1), -1);  // keys are case-sensitive
    EXPECT_EQ(again.ReadIniInt("Anim", -1), -1);
    EXPECT_EQ(again.ReadIniInt("Missing", 77), 77);

    EXPECT_EQ(again.FindKey("BackgroundColor"), 1);
    int value = 0;
    ASSERT_EQ(again.ReadInt(value), 1);  // the position is just after "BackgroundColor="
    EXPECT_EQ(value, 8421376);
    EXPECT_EQ(again.FindKey("Missing"), 0);
}

TEST_F(IniFileTest, ReadsHandWrittenAndForeignLines)
{
    SetContent("\r\nAnimSpeed = 12\r\n"
               "TilePath=\"C:\\Games\\Web AnimSpeed.bmp\"\r\n"
               "Name=\"no number\"\n"
               "LastMenu=2\n"
               "Title=plain words  \n"
               "Empty=\n"
               "Big=99999999999\n"
               "Bracket=[x]");
    CUIniFile ini;
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    EXPECT_EQ(ini.ReadIniInt("AnimSpeed", 0), 12);
    CUString text;
    ini.ReadIniString("TilePath", text, "");
    EXPECT_EQ(Str(text), "C:\\Games\\Web AnimSpeed.bmp");
    // No number on the key's own line: the default, not the next line's number.
    EXPECT_EQ(ini.ReadIniInt("Name", 9), 9);
    EXPECT_EQ(ini.ReadIniInt("LastMenu", 0), 2);
    ini.ReadIniString("Title", text, "");
    EXPECT_EQ(Str(text), "plain words");
    EXPECT_EQ(ini.ReadIniString("Empty", text, "default"), 1);
    EXPECT_EQ(Str(text), "");
    EXPECT_EQ(ini.ReadIniInt("Big", 0), INT_MAX);
    ini.ReadIniString("Bracket", text, "");
    EXPECT_EQ(Str(text), "x");

    // A word inside a value is never taken for a key.
    SetContent("TilePath=\"a AnimSpeed 5\"\nAnimSpeed=7\n");
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    EXPECT_EQ(ini.ReadIniInt("AnimSpeed", 0), 7);

    // Appending after a last line without a line feed keeps both lines apart.
    SetContent("LastMenu=3");
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    EXPECT_EQ(ini.WriteIniInt("ShowTimer", 1), 1);
    EXPECT_EQ(Content(), "LastMenu=3\nShowTimer=1\n");
    EXPECT_EQ(ini.ReadIniInt("LastMenu", 0), 3);
}

TEST_F(IniFileTest, WritesThatWouldCorruptTheFileAreRefused)
{
    CUIniFile ini;
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    ASSERT_EQ(ini.WriteIniInt("AnimSpeed", 30), 1);
    ASSERT_EQ(ini.WriteIniString("TilePath", "Web.bmp"), 1);
    std::string const before = Content();

    std::string const longText(1000, 'k');
    for (std::string key : {std::string(""), std::string("a b"), std::string("a=b"), std::string("Injected=1\nX"),
                            std::string("a\rb"), std::string("a\tb"), longText}) {
        EXPECT_EQ(ini.WriteIniInt(key.c_str(), 1), 0) << key;
        EXPECT_EQ(ini.WriteIniString(key.c_str(), "v"), 0) << key;
        EXPECT_EQ(ini.DeleteKey(key.c_str()), 0) << key;
    }
    for (std::string value : {std::string("x\nInjected=1"), std::string("x\rInjected=1"),
                              std::string("x\"\nInjected=\"1"), std::string("a\"b"), std::string("a[b"),
                              std::string("a]b"), longText}) {
        EXPECT_EQ(ini.WriteIniString("TilePath", value.c_str()), 0) << value;
        EXPECT_EQ(ini.WriteIniString("NewKey", value.c_str()), 0) << value;
    }
    EXPECT_EQ(Content(), before);
    EXPECT_EQ(ini.FindKey("Injected"), 0);
    EXPECT_EQ(ini.FindKey("NewKey"), 0);
    EXPECT_EQ(ini.ReadIniInt("AnimSpeed", 0), 30);

    // The longest value the readers hold goes through whole.
    std::string const longest(999, 'v');
    EXPECT_EQ(ini.WriteIniString("TilePath", longest.c_str()), 1);
    CUString back;
    ini.ReadIniString("TilePath", back, "");
    EXPECT_EQ(Str(back), longest);
}

TEST_F(IniFileTest, DeleteKeyRewritesInPlace)
{
    SetContent("A=1\n\nB=\"two words\"\r\nA=3\n  C = 4\nD=5");
    CUIniFile ini;
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    EXPECT_EQ(ini.DeleteKey("A"), 1);
    EXPECT_EQ(Content(), "B=\"two words\"\r\n  C = 4\nD=5\n");
    EXPECT_EQ(ini.DeleteKey("Missing"), 1);
    EXPECT_EQ(Content(), "B=\"two words\"\r\n  C = 4\nD=5\n");
    EXPECT_EQ(ini.ReadIniInt("C", 0), 4);

    // Still open on the new file, and no temporary file is left behind.
    EXPECT_EQ(ini.WriteIniInt("B", 2), 1);
    EXPECT_EQ(Content(), "  C = 4\nD=5\nB=2\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Gyrix.ini"});

    struct stat info;
    ASSERT_EQ(chmod(m_path.c_str(), 0640), 0);
    EXPECT_EQ(ini.DeleteKey("D"), 1);
    ASSERT_EQ(stat(m_path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // permissions kept
}

TEST_F(IniFileTest, ReplacingThroughALinkUpdatesItsTarget)
{
    std::string const link = m_folder + "/link.ini";
    SetContent("A=1\nB=2\n");
    ASSERT_EQ(symlink(m_path.c_str(), link.c_str()), 0);
    CUIniFile ini;
    ASSERT_EQ(ini.Open(link.c_str()), 1);
    EXPECT_EQ(ini.WriteIniInt("A", 5), 1);
    struct stat info;
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(Content(), "B=2\nA=5\n");
}

TEST_F(IniFileTest, FailedRewriteLeavesTheFileWhole)
{
    std::string const original = "ShowButtons=1\nShowTimer=1\nLastPuzzle=1\nTilePath=\"Web.bmp\"\n";
    SetContent(original);
    CUIniFile ini;
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);

    // The temporary file cannot be written beyond a few bytes (the limit holds
    // for every user, the superuser included).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    int deleted = ini.DeleteKey("ShowTimer");
    int replaced = ini.WriteIniInt("LastPuzzle", 5);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(Content(), original);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Gyrix.ini"});
    EXPECT_EQ(ini.ReadIniInt("LastPuzzle", 0), 1);
}

TEST_F(IniFileTest, ReadOnlyFolderOrFileIsNotChanged)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    std::string const original = "A=1\nB=2\n";
    SetContent(original);
    CUIniFile ini;
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);

    ASSERT_EQ(chmod(m_folder.c_str(), 0555), 0);
    EXPECT_EQ(ini.DeleteKey("A"), 0);
    EXPECT_EQ(ini.WriteIniInt("B", 3), 0);
    ASSERT_EQ(chmod(m_folder.c_str(), 0755), 0);
    EXPECT_EQ(Content(), original);

    ASSERT_EQ(chmod(m_path.c_str(), 0444), 0);
    CUIniFile readOnly;
    ASSERT_EQ(readOnly.Open(m_path.c_str()), 1);  // still readable
    EXPECT_EQ(readOnly.ReadIniInt("B", 0), 2);
    EXPECT_EQ(readOnly.WriteIniInt("B", 3), 0);
    EXPECT_EQ(readOnly.WriteIniInt("C", 3), 0);
    EXPECT_EQ(Content(), original);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Gyrix.ini"});
}

TEST_F(IniFileTest, PasswordsAreNotStoredInClear)
{
    CUIniFile ini;
    ASSERT_EQ(ini.Open(m_path.c_str()), 1);
    EXPECT_EQ(ini.WriteIniPassword("Password", "s3cret word"), 1);
    EXPECT_EQ(Content().find("s3cret"), std::string::npos);
    CUString password;
    EXPECT_EQ(ini.ReadIniPassword("Password", password, "none"), 1);
    EXPECT_EQ(Str(password), "s3cret word");

    EXPECT_EQ(ini.WriteIniString("Password", "not enciphered"), 1);
    EXPECT_EQ(ini.ReadIniPassword("Password", password, "none"), 0);
    EXPECT_EQ(Str(password), "none");
    EXPECT_EQ(ini.ReadIniPassword("Missing", password, "none"), 0);
    EXPECT_EQ(Str(password), "none");
}

}  // namespace
