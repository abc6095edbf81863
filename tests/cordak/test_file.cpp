#include <cordak/file.h>
#include <cordak/utime.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class FileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/gyrix-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(char const* name) const { return (fs::path(m_dir) / name).string(); }

    std::string WriteText(char const* name, std::string const& text) const
    {
        std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string ReadAll(std::string const& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string m_dir;
};

std::string Text(const CUString& s)
{
    return static_cast<char const*>(s);
}

}  // namespace

TEST_F(FileTest, BinaryValuesRoundTripWithTheBufferEncoding)
{
    std::string path = PathOf("values.bin");
    {
        CUFile f;
        ASSERT_EQ(f.Create(path.c_str(), 1), 1);
        f << 1 << static_cast<short>(-2) << 1.0 << 1.0f << "abc" << static_cast<long>(-7);
        CUString s("string");
        f << s;
        EXPECT_EQ(f.GetSize(), 4 + 2 + 8 + 4 + 4 + 4 + 7);
    }
    std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\x01\0\0\0\xFE\xFF", 6));
    EXPECT_EQ(bytes.substr(18, 4), std::string("\x03" "abc"));

    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 1), 1);
    int i = 0;
    short s = 0;
    double d = 0;
    float fl = 0;
    long l = 0;
    CUString text, str;
    f >> i >> s >> d >> fl >> text >> l >> str;
    EXPECT_EQ(i, 1);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(d, 1.0);
    EXPECT_EQ(fl, 1.0f);
    EXPECT_EQ(Text(text), "abc");
    EXPECT_EQ(l, -7);
    EXPECT_EQ(Text(str), "string");
    EXPECT_FALSE(f.IsEOF());
    int past = 9;
    f >> past;
    EXPECT_EQ(past, 0);
    EXPECT_TRUE(f.IsEOF());
}

TEST_F(FileTest, DamagedLengthPrefixInAFileIsCut)
{
    std::string path = WriteText("bad.bin", std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F" "ab", 9));
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 1), 1);
    CUString s;
    f >> s;
    EXPECT_EQ(Text(s), "ab");
}

TEST_F(FileTest, SeekSizeAndOffset)
{
    std::string path = WriteText("ten", "0123456789");
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 1), 1);
    EXPECT_EQ(f.GetSize(), 10);
    f.Seek(3, 2);  // from the end, forwards
    EXPECT_EQ(f.GetOffset(), 13);
    f.Seek(-3, 2);
    char c = 0;
    f >> c;
    EXPECT_EQ(c, '7');
    f.SeekToBegin();
    EXPECT_EQ(f.GetOffset(), 0);
    f.Seek(4, 1);
    f >> c;
    EXPECT_EQ(c, '4');

    // Switching from reading to writing and back works without explicit seeks.
    f << 'X';
    f >> c;
    EXPECT_EQ(c, '6');
    EXPECT_EQ(f.GetSize(), 10);
    f.Close();
    EXPECT_EQ(ReadAll(path), "01234X6789");
}

TEST_F(FileTest, OpenCreateAppendAndReadOnly)
{
    CUFile f;
    EXPECT_EQ(f.Open("", 1), 0);
    std::string missing = PathOf("missing");
    EXPECT_EQ(f.Open(missing.c_str(), 1), 0);
    EXPECT_EQ(Text(f.GetPath()), missing);  // remembered even on failure
    EXPECT_EQ(f.IsOpen(), 0);
    EXPECT_EQ(f.Open(m_dir.c_str(), 1), 0);  // a folder is not a file
    int untouched = 5;
    f >> untouched;  // closed: reads zeros, no crash
    f << 3;

    ASSERT_EQ(f.Append(missing.c_str(), 1), 1);
    f << 'a';
    ASSERT_EQ(f.Append(missing.c_str(), 1), 1);  // closes the first stream
    f << 'b';
    f.Close();
    EXPECT_EQ(ReadAll(missing), "ab");

    ASSERT_EQ(chmod(missing.c_str(), 0444), 0);
    if (geteuid() != 0) {  // root writes anyway
        ASSERT_EQ(f.Open(missing.c_str(), 1), 1);
        char c = 0;
        f >> c;
        EXPECT_EQ(c, 'a');
        f << 'z';
        f.Close();
        EXPECT_EQ(ReadAll(missing), "ab");
    }

    ASSERT_EQ(f.Create(missing.c_str(), 0), 1);
    EXPECT_EQ(f.GetSize(), 0);
}

TEST_F(FileTest, TextReadersOnWordsIntegersAndQuotes)
{
    std::string path = WriteText("text", "  x=-12; abc\n\"hello world\" [a] tail");
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 0), 1);
    int v = 0;
    EXPECT_EQ(f.ReadInt(v), 1);
    EXPECT_EQ(v, -12);
    CUString word;
    EXPECT_EQ(f.ReadString(word, "\n\r\t ", 1), 1);
    EXPECT_EQ(Text(word), "abc");
    CUString quoted;
    EXPECT_EQ(f.ReadQuotedString(quoted), 1);
    EXPECT_EQ(Text(quoted), "hello world");
    EXPECT_EQ(f.ReadQuotedString(quoted), 1);
    EXPECT_EQ(Text(quoted), " a");  // the blank before '[' is kept
    // The last word ends with the file.
    f >> word;
    EXPECT_EQ(Text(word), "tail");
    EXPECT_EQ(f.ReadString(word, " ", 1), 0);
    EXPECT_EQ(Text(word), "tail");
    v = 77;
    EXPECT_EQ(f.ReadInt(v), 0);
    EXPECT_EQ(v, 77);
    f >> v;  // text mode: unchanged at the end
    EXPECT_EQ(v, 77);
}

TEST_F(FileTest, TextModeIntegersIntoEveryWidth)
{
    std::string path = WriteText("ints", "a=7 b=-3 c=70000 d=300 e=99999999999 f=5 g=65280");
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 0), 1);
    int i = 0;
    short s = 0;
    long l = 0;
    unsigned short us = 0;
    int big = 0;
    unsigned char uc = 0;
    unsigned int colour = 0;
    f >> i >> s >> l >> us >> big >> uc >> colour;
    EXPECT_EQ(colour, 65280u);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(s, -3);
    EXPECT_EQ(l, 70000);
    EXPECT_EQ(us, 300);
    EXPECT_EQ(big, 2147483647);  // clamped, not overflowed
    EXPECT_EQ(uc, 5);
}

TEST_F(FileTest, CarriageReturnLineFeed)
{
    std::string path = WriteText("crlf", "Key=12\r\nName=\"Web.bmp\"\r\nLast=value\r\n");
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 0), 1);
    CUString token;
    int v = 0;
    ASSERT_EQ(f.ReadString(token, "\n\r\t =", 1), 1);
    EXPECT_EQ(Text(token), "Key");
    ASSERT_EQ(f.ReadInt(v), 1);
    EXPECT_EQ(v, 12);
    ASSERT_EQ(f.ReadString(token, "\n\r\t =", 1), 1);
    EXPECT_EQ(Text(token), "Name");
    ASSERT_EQ(f.ReadQuotedString(token), 1);
    EXPECT_EQ(Text(token), "Web.bmp");
    ASSERT_EQ(f.SeekEOL(), 1);
    ASSERT_EQ(f.ReadString(token, "\n\r\t =", 1), 1);
    EXPECT_EQ(Text(token), "Last");
    ASSERT_EQ(f.ReadString(token, "\n\r", 0), 1);
    EXPECT_EQ(Text(token), "value");
    EXPECT_EQ(f.ReadString(token, "\n\r\t =", 1), 0);
    EXPECT_EQ(f.SeekEOL(), 0);
}

TEST_F(FileTest, LongWordsAreCutAt999WithoutSpillingIntoTheNext)
{
    std::string longWord(5000, 'w');
    std::string longValue(1500, 'v');
    std::string path = WriteText("long", longWord + " next\n\"" + longValue + "\" after\n" +
                                             std::string(998, 'a') + " " + std::string(999, 'b') + " " +
                                             std::string(1000, 'c') + "\n" + std::string(2000, '7') + " 8");
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 0), 1);
    CUString s;
    ASSERT_EQ(f.ReadString(s, " \n", 1), 1);
    EXPECT_EQ(Text(s), std::string(999, 'w'));
    ASSERT_EQ(f.ReadString(s, " \n", 1), 1);
    EXPECT_EQ(Text(s), "next");
    ASSERT_EQ(f.ReadQuotedString(s), 1);
    EXPECT_EQ(Text(s), std::string(999, 'v'));
    ASSERT_EQ(f.ReadString(s, " \n", 1), 1);
    EXPECT_EQ(Text(s), "after");
    ASSERT_EQ(f.ReadString(s, " \n", 1), 1);
    EXPECT_EQ(s.GetLength(), 998);
    ASSERT_EQ(f.ReadString(s, " \n", 1), 1);
    EXPECT_EQ(s.GetLength(), 999);
    ASSERT_EQ(f.ReadString(s, " \n", 1), 1);
    EXPECT_EQ(Text(s), std::string(999, 'c'));
    int v = 0;
    ASSERT_EQ(f.ReadInt(v), 1);
    EXPECT_EQ(v, 2147483647);
    ASSERT_EQ(f.ReadInt(v), 1);
    EXPECT_EQ(v, 8);
}

TEST_F(FileTest, QuotedStringWithoutClosingQuoteFails)
{
    std::string path = WriteText("open", "\"never closed");
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 0), 1);
    CUString s("kept");
    EXPECT_EQ(f.ReadQuotedString(s), 0);
    EXPECT_EQ(Text(s), "kept");
}

TEST_F(FileTest, ReadCharSkipsAndPutsBack)
{
    std::string path = WriteText("chars", " \t\nxy");
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 0), 1);
    char c = 0;
    EXPECT_EQ(f.ReadChar(c, " \t\n", 1), 1);
    EXPECT_EQ(c, 'x');
    EXPECT_EQ(f.ReadChar(c, nullptr, 0), 1);
    EXPECT_EQ(c, 'x');  // it was put back
    EXPECT_EQ(f.ReadChar(c, "y", 0), 0);
}

TEST_F(FileTest, FormattedWritesAreNotCut)
{
    std::string path = PathOf("fmt");
    std::string value(3000, 'q');
    CUFile f;
    ASSERT_EQ(f.Create(path.c_str(), 0), 1);
    EXPECT_EQ(f.Write("%s=\"%s\"\n", "Key", value.c_str()), 1);
    EXPECT_EQ(f.Write("%s=%d\n", "N", -4), 1);
    f.Close();
    EXPECT_EQ(ReadAll(path), "Key=\"" + value + "\"\nN=-4\n");
}

TEST_F(FileTest, ReadBufferFillsFromTheStart)
{
    std::string path = WriteText("block", std::string(3000, 'r'));
    CUFile f;
    ASSERT_EQ(f.Open(path.c_str(), 1), 1);
    CUBuffer b(16);
    b << "old";
    EXPECT_EQ(f.ReadBuffer(b, 2000), 2000);
    EXPECT_EQ(b.GetSize(), 2000);
    EXPECT_EQ(b.GetBlockSize(), 2000);
    EXPECT_EQ(b.GetOffset(), 0);
    EXPECT_EQ(b[0], 'r');
    EXPECT_EQ(b[1999], 'r');
    EXPECT_EQ(f.ReadBuffer(b, 0), 1000);  // the rest, block size 2000
    EXPECT_EQ(b.GetSize(), 1000);
    EXPECT_EQ(f.ReadBuffer(b, 0), 0);
}

TEST_F(FileTest, FilesAndFolders)
{
    std::string a = WriteText("a", "x");
    std::string b = PathOf("b");
    EXPECT_EQ(CUFile::Exists(a.c_str()), 1);
    EXPECT_EQ(CUFile::Rename(a.c_str(), b.c_str()), 1);
    EXPECT_EQ(CUFile::Exists(a.c_str()), 0);
    EXPECT_EQ(CUFile::ExistsFolder(b.c_str()), 0);
    EXPECT_EQ(CUFile::ExistsFolder(m_dir.c_str()), 1);

    CUTime when(1000000000L);
    EXPECT_EQ(CUFile::UpdateTime(b.c_str(), when), 1);
    struct stat info;
    ASSERT_EQ(stat(b.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1000000000);
    EXPECT_EQ(CUFile::UpdateTime(PathOf("none").c_str(), when), 0);

    EXPECT_EQ(CUFile::Delete(b.c_str()), 1);
    EXPECT_EQ(CUFile::Delete(b.c_str()), 0);

    std::string deep = m_dir + "/one\\two//three/";
    EXPECT_EQ(CUFile::CreateFolder(deep.c_str()), 1);
    EXPECT_TRUE(fs::is_directory(m_dir + "/one/two/three"));
    EXPECT_EQ(CUFile::CreateFolder(deep.c_str()), 1);
    std::string blocked = WriteText("file", "") + "/sub";
    EXPECT_EQ(CUFile::CreateFolder(blocked.c_str()), 0);

    CUString before;
    ASSERT_EQ(CUFile::GetCurrentFolder(before), 1);
    ASSERT_EQ(CUFile::SetCurrentFolder(m_dir.c_str()), 1);
    EXPECT_EQ(CUFile::CreateFolder("rel/ative"), 1);
    EXPECT_TRUE(fs::is_directory(m_dir + "/rel/ative"));
    CUString now;
    ASSERT_EQ(CUFile::GetCurrentFolder(now), 1);
    EXPECT_EQ(fs::canonical(Text(now)), fs::canonical(m_dir));
    ASSERT_EQ(CUFile::SetCurrentFolder(before), 1);
    EXPECT_EQ(CUFile::SetCurrentFolder(PathOf("nowhere").c_str()), 0);
}
