#include <cordak/inifile.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What ends a key, as the file format defines it.
constexpr char kKeyDelimiters[] = "\n\r\t =";
// What may not appear inside a stored value: line breaks, and the characters
// that open or close a quoted value.
constexpr char kValueForbidden[] = "\n\r\"[]";
constexpr char kQuotes[] = "\"[]";
constexpr int kMaxText = CUFile::cm_maxText;
// Far beyond any real settings file; anything larger is not read into memory.
constexpr int kMaxFileSize = 16 << 20;

bool IsKeyDelimiter(char c)
{
    return std::strchr(kKeyDelimiters, c) != nullptr;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

bool ValidKey(char const* key)
{
    if (key == nullptr || *key == '\0')
        return false;
    size_t n = std::strlen(key);
    return n <= static_cast<size_t>(kMaxText) && std::strcspn(key, kKeyDelimiters) == n;
}

bool ValidValue(char const* value)
{
    size_t n = std::strlen(value);
    return n <= static_cast<size_t>(kMaxText) && std::strcspn(value, kValueForbidden) == n;
}

}  // namespace

// One line of the file: [start, end) without its line feed. The key is
// [start + keyStart, keyEnd); keyStart == keyEnd for a line without a key.
struct CUIniFile::Line
{
    size_t start = 0;
    size_t keyStart = 0;
    size_t keyEnd = 0;
    size_t end = 0;

    static Line At(std::string const& content, size_t start)
    {
        Line line;
        line.start = start;
        line.end = content.find('\n', start);
        if (line.end == std::string::npos)
            line.end = content.size();
        size_t p = start;
        while (p < line.end && IsKeyDelimiter(content[p]))
            ++p;
        line.keyStart = p;
        while (p < line.end && !IsKeyDelimiter(content[p]))
            ++p;
        line.keyEnd = p;
        return line;
    }

    bool HasKey() const { return keyEnd > keyStart; }

    bool IsKey(std::string const& content, char const* key) const
    {
        size_t n = std::strlen(key);
        return keyEnd - keyStart == n && content.compare(keyStart, n, key) == 0;
    }

    // The text after the key, with blanks and '=' before the value skipped and
    // trailing blanks (a carriage return included) dropped.
    std::string Value(std::string const& content) const
    {
        size_t p = keyEnd;
        while (p < end && (IsBlank(content[p]) || content[p] == '='))
            ++p;
        size_t stop = end;
        while (stop > p && IsBlank(content[stop - 1]))
            --stop;
        return content.substr(p, stop - p);
    }
};

CUIniFile::CUIniFile() = default;

int CUIniFile::Open(char const* path)
{
    struct stat info;
    if (path == nullptr || *path == '\0' || (::stat(path, &info) == 0 && S_ISDIR(info.st_mode))) {
        CUFile::Open("", 0);  // forget any previous file
        return 0;
    }
    if (CUFile::Open(path, 0))
        return 1;
    // Only a file that is really missing is created: one that exists but
    // cannot be opened must not be truncated.
    if (!CUFile::Exists(path) && CUFile::ReplaceContents(path, "", 0))
        return CUFile::Open(path, 0);
    return 0;
}

int CUIniFile::LoadContent(std::string& content)
{
    content.clear();
    if (!IsOpen())
        return 0;
    int size = GetSize();
    if (size > kMaxFileSize)
        return 0;
    if (size <= 0)
        return 1;
    content.resize(static_cast<size_t>(size));
    Seek(0, 0);
    Read(reinterpret_cast<unsigned char*>(content.data()), size);
    return 1;
}

// 1 found, 0 not found, -1 when the file cannot be read.
int CUIniFile::FindLine(char const* key, std::string& content, Line& line)
{
    if (!LoadContent(content))
        return -1;
    if (key == nullptr || *key == '\0')
        return 0;
    for (size_t start = 0; start < content.size();) {
        line = Line::At(content, start);
        if (line.IsKey(content, key))
            return 1;
        start = line.end + 1;
    }
    return 0;
}

int CUIniFile::FindKey(char const* key)
{
    std::string content;
    Line line;
    if (FindLine(key, content, line) != 1)
        return 0;
    size_t afterDelimiter = std::min(line.keyEnd + 1, content.size());
    Seek(static_cast<int>(afterDelimiter), 0);
    return 1;
}

int CUIniFile::ReadIniInt(char const* key, int defaultValue)
{
    std::string content;
    Line line;
    if (FindLine(key, content, line) != 1)
        return defaultValue;
    // The first number after the key on its line: an optional '-' right
    // before at least one digit.
    for (size_t p = line.keyEnd; p < line.end; ++p) {
        bool minus = content[p] == '-';
        size_t digits = minus ? p + 1 : p;
        if (digits >= line.end || content[digits] < '0' || content[digits] > '9')
            continue;
        long long value = 0;
        for (size_t q = digits; q < line.end && content[q] >= '0' && content[q] <= '9'; ++q)
            value = std::min<long long>(value * 10 + (content[q] - '0'), static_cast<long long>(INT_MAX) + 1);
        if (minus)
            value = -value;
        return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    }
    return defaultValue;
}

int CUIniFile::ReadIniString(char const* key, CUString& value, char const* defaultValue)
{
    value = defaultValue;
    std::string content;
    Line line;
    if (FindLine(key, content, line) != 1)
        return 0;
    std::string text = line.Value(content);
    if (!text.empty() && std::strchr(kQuotes, text[0]) != nullptr) {
        size_t close = text.find_first_of(kQuotes, 1);
        text = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    if (text.size() > static_cast<size_t>(kMaxText))
        text.resize(static_cast<size_t>(kMaxText));
    value.Assign(text.data(), static_cast<int>(text.size()));
    return 1;
}

int CUIniFile::WriteIniInt(char const* key, int value)
{
    if (!ValidKey(key))
        return 0;
    CUString line;
    line.Format("%s=%d\n", key, value);
    return WriteLine(key, line);
}

int CUIniFile::WriteIniString(char const* key, char const* value)
{
    if (value == nullptr)
        value = "";
    if (!ValidKey(key) || !ValidValue(value))
        return 0;
    // Built piece by piece: a full-length key and value do not fit the shared
    // formatting buffer.
    CUString line(key);
    line += "=\"";
    line += value;
    line += "\"\n";
    return WriteLine(key, line);
}

int CUIniFile::DeleteKey(char const* key)
{
    if (!ValidKey(key))
        return 0;
    std::string content;
    Line line;
    int found = FindLine(key, content, line);
    if (found <= 0)
        return found == 0;
    return Rewrite(content, key, nullptr);
}

int CUIniFile::ReadIniPassword(char const* key, CUString& value, char const* defaultValue)
{
    CUString stored;
    if (!ReadIniString(key, stored, "") || !stored.Decrypt()) {
        value = defaultValue;
        return 0;
    }
    value = stored;
    return 1;
}

int CUIniFile::WriteIniPassword(char const* key, char const* value)
{
    CUString hidden(value);
    hidden.Encrypt();
    return WriteIniString(key, hidden);
}

// True when the line found is the text of line (without its line feed) and no
// later line has the same key.
bool CUIniFile::HoldsOnly(std::string const& content, Line const& found, char const* key, char const* line)
{
    std::string wanted(line);
    if (!wanted.empty() && wanted.back() == '\n')
        wanted.pop_back();
    if (content.compare(found.start, found.end - found.start, wanted) != 0)
        return false;
    for (size_t start = found.end + 1; start < content.size();) {
        Line later = Line::At(content, start);
        if (later.IsKey(content, key))
            return false;
        start = later.end + 1;
    }
    return true;
}

// Every write replaces the whole file (see Rewrite). A key that already holds
// exactly this line, once, is left alone: settings are saved whenever they
// change, and most of them have not.
int CUIniFile::WriteLine(char const* key, char const* line)
{
    std::string content;
    Line found;
    int present = FindLine(key, content, found);
    if (present < 0)
        return 0;
    if (present && HoldsOnly(content, found, key, line))
        return 1;
    return Rewrite(content, key, line);
}

// Writes every line except those of dropKey (and empty ones), then addLine,
// as the new contents of the settings file, replaced as a whole (see
// CUFile::ReplaceContents): a failure or a death at any point leaves the
// previous file or the new one.
int CUIniFile::Rewrite(std::string const& content, char const* dropKey, char const* addLine)
{
    if (!IsOpen() || ::access(GetPath(), W_OK) != 0)
        return 0;
    std::string text;
    text.reserve(content.size() + (addLine ? std::strlen(addLine) : 0));
    for (size_t start = 0; start < content.size();) {
        Line line = Line::At(content, start);
        if (line.HasKey() && !(dropKey && line.IsKey(content, dropKey))) {
            text.append(content, line.start, line.end - line.start);
            text += '\n';
        }
        start = line.end + 1;
    }
    if (addLine)
        text += addLine;
    if (!CUFile::ReplaceContents(GetPath(), text.data(), static_cast<int>(text.size())))
        return 0;

    // The open stream still reads the replaced file; follow the new one.
    CUString path(GetPath());
    Close();
    return Open(path);
}
