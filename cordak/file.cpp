#include <cordak/file.h>
#include <cordak/utime.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Open modes: read/write, read-only fallback, create. Linux makes no
// difference between text and binary streams.
constexpr char const* cm_modeReadWrite = "r+b";
constexpr char const* cm_modeReadOnly = "rb";
constexpr char const* cm_modeCreate = "w+b";

constexpr char const* cm_wordDelimiters = "\n\r\t ";
constexpr char const* cm_quotes = "\"[]";

bool IsOneOf(int c, char const* set)
{
    return set && c != '\0' && std::strchr(set, c) != nullptr;
}

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

// The decimal value of text as the standard atoi reads it (optional sign, then
// digits), clamped to int instead of overflowing.
int DecimalValue(std::string const& text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The folder that holds path ("." when the path names none).
std::string FolderOf(std::string const& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Follows symbolic links, so that replacing a file replaces the target and not
// the link. A path that cannot be resolved (a file still to be made) is kept.
std::string ResolvedPath(char const* path)
{
    char* real = realpath(path, nullptr);
    if (real == nullptr)
        return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

bool WriteAll(int fd, unsigned char const* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; best effort.
void SyncFolder(std::string const& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

CUFile::CUFile() : CUBuffer(cm_defaultBlockSize)
{
}

CUFile::~CUFile()
{
    Close();
}

// ------------------------------------------------------------ open, close

int CUFile::OpenStream(char const* path, int binary, char const* mode, char const* fallback)
{
    Close();
    m_path = path;
    m_binary = binary;
    if (!path || !*path)
        return 0;
    m_file = std::fopen(path, mode);
    if (!m_file && fallback)
        m_file = std::fopen(path, fallback);
    m_lastOp = LastOp::None;
    // A folder opens for reading on Linux, but is no file to read.
    struct stat info;
    if (m_file && (fstat(fileno(m_file), &info) != 0 || S_ISDIR(info.st_mode)))
        Close();
    return m_file != nullptr;
}

int CUFile::Open(char const* path, int binary)
{
    return OpenStream(path, binary, cm_modeReadWrite, cm_modeReadOnly);
}

int CUFile::Create(char const* path, int binary)
{
    return OpenStream(path, binary, cm_modeCreate, nullptr);
}

int CUFile::Append(char const* path, int binary)
{
    if (!Open(path, binary) && !Create(path, binary))
        return 0;
    SeekToEnd();
    return 1;
}

void CUFile::Close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    m_lastOp = LastOp::None;
}

FILE* CUFile::GetFile()
{
    return m_file;
}

int CUFile::IsOpen() const
{
    return m_file != nullptr;
}

int CUFile::IsBinary() const
{
    return m_binary;
}

const CUString& CUFile::GetPath() const
{
    return m_path;
}

// ---------------------------------------------------------------- position

void CUFile::BeforeRead()
{
    if (m_lastOp == LastOp::Write)
        std::fseek(m_file, 0, SEEK_CUR);
    m_lastOp = LastOp::Read;
}

void CUFile::BeforeWrite()
{
    if (m_lastOp == LastOp::Read)
        std::fseek(m_file, 0, SEEK_CUR);
    m_lastOp = LastOp::Write;
}

int CUFile::GetOffset()
{
    if (!m_file)
        return 0;
    long at = std::ftell(m_file);
    return at < 0 ? 0 : static_cast<int>(std::min<long>(at, INT_MAX));
}

int CUFile::GetSize()
{
    if (!m_file)
        return 0;
    // Unflushed writes are part of the file's length. Asking the system
    // instead of seeking keeps the end-of-file indicator as it is.
    if (m_lastOp == LastOp::Write)
        std::fflush(m_file);
    struct stat info;
    if (fstat(fileno(m_file), &info) != 0)
        return 0;
    return static_cast<int>(std::min<long long>(info.st_size, INT_MAX));
}

int CUFile::Remaining()
{
    return std::max(GetSize() - GetOffset(), 0);
}

void CUFile::Seek(int offset, int origin)
{
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!m_file || origin < 0 || origin > 2)
        return;
    std::fseek(m_file, offset, whence[origin]);
    m_lastOp = LastOp::None;
}

int CUFile::IsEOF()
{
    return m_file ? std::feof(m_file) != 0 : 1;
}

// --------------------------------------------------------------- raw bytes

CUBuffer& CUFile::Read(unsigned char* dst, int n)
{
    if (n <= 0)
        return *this;
    size_t got = 0;
    if (m_file) {
        BeforeRead();
        if (dst) {
            got = std::fread(dst, 1, n, m_file);
        } else {
            while (got < static_cast<size_t>(n) && std::fgetc(m_file) != EOF)
                ++got;
        }
    }
    if (dst)
        std::memset(dst + got, 0, n - got);
    return *this;
}

CUBuffer& CUFile::Write(unsigned char* src, int n)
{
    if (!m_file || !src || n <= 0)
        return *this;
    BeforeWrite();
    std::fwrite(src, 1, n, m_file);
    return *this;
}

int CUFile::Write(char const* fmt, ...)
{
    if (!m_file || !fmt)
        return 0;
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        return 0;
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), fmt, again);
    va_end(again);
    BeforeWrite();
    return std::fwrite(text.data(), 1, length, m_file) == static_cast<size_t>(length);
}

int CUFile::ReadBuffer(CUBuffer& b, int n)
{
    if (!m_file || n < 0)
        return 0;
    if (n == 0)
        n = b.GetBlockSize();
    else
        b.SetBlockSize(n);
    b.Clear();
    b.SetMaxSize(n);
    if (n == 0)
        return 0;
    b.SetSize(n);
    BeforeRead();
    int got = static_cast<int>(std::fread(b.GetData(), 1, n, m_file));
    b.SetSize(got);
    return got;
}

// -------------------------------------------------------------- text readers

int CUFile::GetCh()
{
    if (!m_file)
        return EOF;
    BeforeRead();
    return std::fgetc(m_file);
}

void CUFile::UngetCh(int c)
{
    if (m_file && c != EOF)
        std::ungetc(c, m_file);
}

int CUFile::ReadChar(char& c, char const* skip, int putBack)
{
    int ch;
    do {
        ch = GetCh();
        if (ch == EOF)
            return 0;
    } while (IsOneOf(ch, skip));
    c = static_cast<char>(ch);
    if (putBack)
        UngetCh(ch);
    return 1;
}

int CUFile::ReadString(CUString& s, char const* delimiters, int skipLeading)
{
    std::string word;
    bool started = false;
    for (;;) {
        int ch = GetCh();
        if (ch == EOF) {
            // A last word that the file ends instead of a delimiter still counts.
            if (!started)
                return 0;
            break;
        }
        if (IsOneOf(ch, delimiters)) {
            if (!started && skipLeading)
                continue;
            break;
        }
        started = true;
        if (static_cast<int>(word.size()) < cm_maxText)
            word += static_cast<char>(ch);
    }
    s.Assign(word.data(), static_cast<int>(word.size()));
    return 1;
}

int CUFile::ReadQuotedString(CUString& s)
{
    std::string text;
    auto keep = [&text](int ch) {
        if (static_cast<int>(text.size()) < cm_maxText)
            text += static_cast<char>(ch);
    };
    int ch;
    while ((ch = GetCh()) != EOF && !IsOneOf(ch, cm_quotes))
        keep(ch);
    if (ch == EOF)
        return 0;
    while ((ch = GetCh()) != EOF && !IsOneOf(ch, cm_quotes))
        keep(ch);
    if (ch == EOF)
        return 0;  // no closing quote: the value is damaged
    s.Assign(text.data(), static_cast<int>(text.size()));
    return 1;
}

int CUFile::ReadInt(int& v)
{
    int ch;
    while ((ch = GetCh()) != EOF && !IsDigit(ch) && ch != '-') {
    }
    if (ch == EOF)
        return 0;
    std::string number(1, static_cast<char>(ch));
    while ((ch = GetCh()) != EOF && (IsDigit(ch) || ch == '-'))
        if (static_cast<int>(number.size()) < cm_maxText)
            number += static_cast<char>(ch);
    v = DecimalValue(number);
    return 1;
}

int CUFile::SeekEOL()
{
    int ch;
    while ((ch = GetCh()) != EOF)
        if (ch == '\n')
            return 1;
    return 0;
}

// ------------------------------------------------------------- typed reads

CUBuffer& CUFile::operator>>(CUObject& object)
{
    object.Read(*this);
    return *this;
}

CUBuffer& CUFile::operator>>(CUString& text)
{
    if (m_binary)
        return CUBuffer::operator>>(text);
    ReadString(text, cm_wordDelimiters, 1);
    return *this;
}

CUBuffer& CUFile::operator>>(double& value)
{
    return CUBuffer::operator>>(value);
}

CUBuffer& CUFile::operator>>(float& value)
{
    return CUBuffer::operator>>(value);
}

CUBuffer& CUFile::operator>>(char& value)
{
    return CUBuffer::operator>>(value);
}

// In text mode every integer type is read as decimal text and stored in the
// target's width; at the end of the file the target keeps its value.
#define CUFILE_INTEGER_READER(Type)                 \
    CUBuffer& CUFile::operator>>(Type& value)       \
    {                                               \
        if (m_binary)                               \
            return CUBuffer::operator>>(value);     \
        int v;                                      \
        if (ReadInt(v))                             \
            value = static_cast<Type>(v);           \
        return *this;                               \
    }

CUFILE_INTEGER_READER(int)
CUFILE_INTEGER_READER(long)
CUFILE_INTEGER_READER(unsigned long)
CUFILE_INTEGER_READER(short)
CUFILE_INTEGER_READER(unsigned short)
CUFILE_INTEGER_READER(unsigned char)

#undef CUFILE_INTEGER_READER

// ---------------------------------------------------------- files, folders

int CUFile::Rename(char const* from, char const* to)
{
    return from && to && std::rename(from, to) == 0;
}

int CUFile::ReplaceContents(char const* path, void const* data, int size)
{
    if (!path || !*path || size < 0 || (size > 0 && !data))
        return 0;
    std::string target = ResolvedPath(path);
    struct stat info;
    bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode))
        return 0;
    std::string folder = FolderOf(target);
    std::string temp = folder + "/." + target.substr(target.rfind('/') + 1) + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return 0;
    if (exists) {
        ::fchmod(fd, info.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    bool ok = WriteAll(fd, static_cast<unsigned char const*>(data), static_cast<size_t>(size)) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return 0;
    }
    SyncFolder(folder);
    return 1;
}

int CUFile::Delete(char const* path)
{
    return path && std::remove(path) == 0;
}

int CUFile::Exists(char const* path)
{
    struct stat info;
    return path && *path && stat(path, &info) == 0;
}

int CUFile::ExistsFolder(char const* path)
{
    if (!path || !*path)
        return 0;
    DIR* dir = opendir(path);
    if (!dir)
        return 0;
    closedir(dir);
    return 1;
}

int CUFile::CreateFolder(char const* path)
{
    if (!path || !*path)
        return 0;
    if (ExistsFolder(path))
        return 1;
    // Windows-style separators are accepted too; an absolute path keeps its root.
    std::string partial = (path[0] == '/' || path[0] == '\\') ? "" : ".";
    std::string rest = path;
    std::replace(rest.begin(), rest.end(), '\\', '/');
    size_t at = 0;
    bool first = true;
    while (at <= rest.size()) {
        size_t end = rest.find('/', at);
        if (end == std::string::npos)
            end = rest.size();
        std::string part = rest.substr(at, end - at);
        at = end + 1;
        if (part.empty())
            continue;
        partial = (first && partial == ".") ? part : partial + "/" + part;
        first = false;
        if (!ExistsFolder(partial.c_str()) && mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
            return 0;
    }
    return ExistsFolder(partial.c_str());
}

int CUFile::SetCurrentFolder(char const* path)
{
    return path && chdir(path) == 0;
}

int CUFile::GetCurrentFolder(CUString& path)
{
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder))
        return 0;
    path = folder;
    return 1;
}

int CUFile::UpdateTime(char const* path, CUTime& t)
{
    if (!path)
        return 0;
    struct utimbuf times;
    times.actime = times.modtime = static_cast<time_t>(t.GetTime());
    return utime(path, &times) == 0;
}
