// Arbitrary bytes as a settings file: every reader must cope, and a write or
// delete must leave a file in which the key reads back as written.
#include <cordak/inifile.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string const& SettingsPath()
{
    // tmpfs when there is one: the rewrite syncs to disk on every run.
    static std::string path = [] {
        std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        folder += "/fuzz-inifile-" + std::to_string(getpid());
        mkdir(folder.c_str(), 0700);
        return folder + "/Gyrix.ini";
    }();
    // Registered after path is complete, so it runs before path is destroyed.
    static bool const cleanup = std::atexit([] {
        std::remove(path.c_str());
        rmdir(path.substr(0, path.rfind('/')).c_str());
    }) == 0;
    (void)cleanup;
    return path;
}

// The first word of the input, so that keys really present in the file are
// looked up, replaced and deleted too.
std::string FirstWord(uint8_t const* data, size_t size)
{
    std::string word;
    for (size_t i = 0; i < size && word.size() < 40; ++i) {
        char c = static_cast<char>(data[i]);
        if (c == '\0' || std::strchr("\n\r\t =", c)) {
            if (!word.empty())
                break;
            continue;
        }
        word += c;
    }
    return word;
}

void Check(bool ok, char const* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_inifile: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    std::string const& path = SettingsPath();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }

    CUIniFile ini;
    if (!ini.Open(path.c_str()))
        return 0;
    std::string word = FirstWord(data, size);
    char const* keys[] = {word.c_str(), "AnimSpeed", "TilePath", "A"};
    CUString text;
    for (char const* key : keys) {
        ini.FindKey(key);
        ini.ReadIniInt(key, 7);
        ini.ReadIniString(key, text, "default");
        ini.ReadIniPassword(key, text, "none");
    }

    int value = size > 0 ? static_cast<int>(data[0]) * 1000 - 7 : 0;
    if (ini.WriteIniInt(word.c_str(), value))
        Check(ini.ReadIniInt(word.c_str(), value + 1) == value, "written value does not read back");
    if (ini.WriteIniString("TilePath", word.c_str())) {
        ini.ReadIniString("TilePath", text, "");
        Check(text.Compare(word.c_str()) == 0, "written text does not read back");
    }
    if (ini.DeleteKey(word.c_str()))
        Check(!ini.FindKey(word.c_str()), "deleted key still found");
    ini.DeleteKey("TilePath");
    return 0;
}
