// A writer killed at any moment leaves the previous file or the new one: every way the
// settings file is written, and a large whole-file replacement (puzzle files are saved so).
#include <cordak/file.h>
#include <cordak/inifile.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(std::string const& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs write in a child process and kills it after a random delay up to maxMicros, counted
// from the moment it is about to write. Returns the file's contents afterwards ("<none>" when
// there is no file).
std::string KillDuringWrite(std::string const& path, std::function<void()> const& write, int delay)
{
    int ready[2];
    if (pipe(ready) != 0)
        return "<pipe>";
    pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        char go = 1;
        if (::write(ready[1], &go, 1) != 1)
            _exit(2);
        write();
        pause();
        _exit(0);
    }
    close(ready[1]);
    char go = 0;
    if (read(ready[0], &go, 1) != 1)
        go = 0;
    close(ready[0]);
    usleep(static_cast<useconds_t>(delay));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return fs::exists(path) ? ReadAll(path) : "<none>";
}

class AtomicWriteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/gyrix-atomic-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_path = m_dir + "/Gyrix.ini";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Many kills at random moments; each leaves exactly before or after (or the given step
    // between them). The delays start below maxMicros and follow the machine: a batch of runs
    // in which no write finished doubles them (a loaded machine writes slowly), one in which
    // every write finished halves them, until both ends have been seen.
    void ExpectOldOrNew(std::string const& before, std::string const& after, std::function<void()> const& write,
                        int maxMicros, std::string const& between = "<none>")
    {
        constexpr int kBatch = 20;
        std::mt19937 random(12345);
        int sawBefore = 0;
        int sawAfter = 0;
        int batchBefore = 0;
        int batchAfter = 0;
        int delayRange = maxMicros;
        for (int run = 0; run < 500 && (run < 100 || sawBefore == 0 || sawAfter == 0); ++run) {
            if (before == "<none>")
                fs::remove(m_path);
            else
                std::ofstream(m_path, std::ios::binary | std::ios::trunc) << before;
            std::string left = KillDuringWrite(m_path, write, static_cast<int>(random() % delayRange));
            ASSERT_TRUE(left == before || left == after || left == between) << "run " << run << " left " << left.size() << " bytes";
            sawBefore += left == before;
            sawAfter += left == after;
            batchBefore += left == before;
            batchAfter += left == after;
            if (run % kBatch == kBatch - 1) {
                if (batchAfter == 0 && delayRange < 64 * maxMicros)
                    delayRange *= 2;
                else if (batchBefore == 0 && delayRange > 8)
                    delayRange /= 2;
                batchBefore = batchAfter = 0;
            }
        }
        // The delays must have straddled the write, or the test proved nothing.
        EXPECT_GT(sawBefore, 0);
        EXPECT_GT(sawAfter, 0);
    }

    std::string m_dir;
    std::string m_path;
};

}  // namespace

TEST_F(AtomicWriteTest, SettingsWritesLeaveTheOldFileOrTheNew)
{
    std::string const old = "ShowButtons=1\nTilePath=\"Web.bmp\"\nAnimSpeed=30\n";
    auto write = [this](std::function<void(CUIniFile&)> change) {
        return [this, change] {
            CUIniFile ini;
            if (ini.Open(m_path.c_str()))
                change(ini);
        };
    };
    // Opening a missing file creates it empty before the first key goes in.
    ExpectOldOrNew("<none>", "ShowTimer=0\n", write([](CUIniFile& ini) { ini.WriteIniInt("ShowTimer", 0); }), 3000,
                   "");
    ExpectOldOrNew(old, old + "ShowTimer=0\n", write([](CUIniFile& ini) { ini.WriteIniInt("ShowTimer", 0); }),
                   3000);
    ExpectOldOrNew(old, "ShowButtons=1\nAnimSpeed=30\nTilePath=\"Stone.bmp\"\n",
                   write([](CUIniFile& ini) { ini.WriteIniString("TilePath", "Stone.bmp"); }), 3000);
    ExpectOldOrNew(old, "ShowButtons=1\nAnimSpeed=30\n", write([](CUIniFile& ini) { ini.DeleteKey("TilePath"); }),
                   3000);
}

TEST_F(AtomicWriteTest, ReplacingALargeFileLeavesTheOldFileOrTheNew)
{
    std::string const old(200000, 'o');
    std::string const replacement(4 << 20, 'n');
    ExpectOldOrNew(old, replacement,
                   [this, &replacement] {
                       CUFile::ReplaceContents(m_path.c_str(), replacement.data(),
                                               static_cast<int>(replacement.size()));
                   },
                   20000);
    // Killed writers leave at most their hidden temporary files beside it, never a second
    // visible file.
    for (auto const& entry : fs::directory_iterator(m_dir))
        EXPECT_TRUE(entry.path().filename() == "Gyrix.ini" || entry.path().filename().string()[0] == '.');
}
