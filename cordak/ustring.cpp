#include <cordak/ustring.h>

#include <cordak/buffer.h>
#include <cordak/clipboard.h>
#include <cordak/crypt.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// Shared by every Format call; single-threaded by design (the user-interface
// thread does all formatting).
static char s_formatBuffer[CUString::cm_formatSize];

namespace {

// Length-prefix markers of stored text.
constexpr unsigned char kWideLength = 0xFF;
constexpr unsigned kLongLength = 0xFFFF;

char* NewBlock(int n)
{
    char* block = new char[n + 1];
    std::memset(block, 0, n + 1);
    return block;
}

int Sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Upper-case of a character, kept as a signed byte so that bytes 0x80-0xFF
// order before ASCII.
int UpperSigned(char c)
{
    return static_cast<signed char>(std::toupper(static_cast<unsigned char>(c)));
}

bool InSet(char c, char const* set)
{
    return c != '\0' && set != nullptr && std::strchr(set, c) != nullptr;
}

bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool SignedLess(char a, char b)
{
    return static_cast<signed char>(a) < static_cast<signed char>(b);
}

}  // namespace

// ---- construction and assignment -------------------------------------------

CUString::CUString() : m_text(NewBlock(0)) {}

CUString::CUString(const CUString& s) : m_text(NewBlock(0))
{
    Assign(s.m_text, s.GetLength());
}

CUString::CUString(char const* s) : m_text(NewBlock(0))
{
    Assign(s, SafeStrLen(s));
}

CUString::CUString(char* s) : CUString(static_cast<char const*>(s)) {}

CUString::CUString(char c) : m_text(NewBlock(0))
{
    Assign(&c, 1);
}

CUString::CUString(int n) : m_text(NewBlock(0))
{
    Format("%d", n);
}

CUString::~CUString()
{
    delete[] m_text;
}

CUString& CUString::operator=(const CUString& s)
{
    Assign(s.m_text, s.GetLength());
    return *this;
}

CUString& CUString::operator=(char const* s)
{
    Assign(s, SafeStrLen(s));
    return *this;
}

CUString& CUString::operator=(char* s)
{
    return *this = static_cast<char const*>(s);
}

CUString& CUString::operator=(char c)
{
    Assign(&c, 1);
    return *this;
}

CUString& CUString::operator=(int n)
{
    Format("%d", n);
    return *this;
}

void CUString::Assign(char const* src, int len)
{
    if (src == m_text)
        return;
    if (src == nullptr || len < 0)
        len = 0;
    if (GetLength() < len) {
        // The new block is filled before the old one is freed, so src may lie
        // inside the held text.
        char* block = NewBlock(len);
        std::memcpy(block, src, len);
        delete[] m_text;
        m_text = block;
        return;
    }
    if (len > 0)
        std::memmove(m_text, src, len);
    m_text[len] = '\0';
}

void CUString::SetLength(int n)
{
    if (n < 0)
        n = 0;
    delete[] m_text;
    m_text = NewBlock(n);
}

void CUString::Repeat(char c, int n)
{
    if (n < 0)
        n = 0;
    if (GetLength() != n)
        SetLength(n);
    std::memset(m_text, c, n);
    m_text[n] = '\0';
}

// ---- appending ---------------------------------------------------------------

void CUString::Concatenate(char const* a, int alen, char const* b, int blen)
{
    if (a == nullptr || alen < 0) alen = 0;
    if (b == nullptr || blen < 0) blen = 0;
    if (alen + blen == 0)
        return;
    char* block = NewBlock(alen + blen);
    if (alen > 0) std::memcpy(block, a, alen);
    if (blen > 0) std::memcpy(block + alen, b, blen);
    delete[] m_text;
    m_text = block;
}

CUString& CUString::operator+=(const CUString& s)
{
    Concatenate(m_text, GetLength(), s.m_text, s.GetLength());
    return *this;
}

CUString& CUString::operator+=(char const* s)
{
    Concatenate(m_text, GetLength(), s, SafeStrLen(s));
    return *this;
}

CUString& CUString::operator+=(char* s)
{
    return *this += static_cast<char const*>(s);
}

CUString& CUString::operator+=(int n)
{
    return *this += CUString(n);
}

CUString& CUString::operator+=(char c)
{
    Concatenate(m_text, GetLength(), &c, 1);
    return *this;
}

static CUString Joined(char const* a, char const* b, int blen)
{
    CUString result;
    result.Concatenate(a, CUString::SafeStrLen(a), b, blen);
    return result;
}

CUString operator+(const CUString& a, const CUString& b) { return Joined(a, b, b.GetLength()); }
CUString operator+(const CUString& a, char const* b) { return Joined(a, b, CUString::SafeStrLen(b)); }
CUString operator+(char const* a, const CUString& b) { return Joined(a, b, b.GetLength()); }
CUString operator+(const CUString& a, char* b) { return Joined(a, b, CUString::SafeStrLen(b)); }
CUString operator+(char* a, const CUString& b) { return Joined(a, b, b.GetLength()); }
CUString operator+(const CUString& a, char b) { return Joined(a, &b, 1); }
CUString operator+(char a, const CUString& b)
{
    CUString result;
    result.Concatenate(&a, 1, b, b.GetLength());
    return result;
}

// ---- length, access, comparison --------------------------------------------

int CUString::GetLength() const
{
    return static_cast<int>(std::strlen(m_text));
}

int CUString::IsEmpty() const
{
    return m_text[0] == '\0';
}

unsigned char CUString::GetAt(int i) const
{
    if (i < 0 || i >= GetLength())
        return 0;
    return static_cast<unsigned char>(m_text[i]);
}

unsigned char CUString::operator[](int i) const
{
    return GetAt(i);
}

void CUString::SetAt(int i, char c)
{
    if (i >= 0 && i < GetLength())
        m_text[i] = c;
}

CUString::operator char*()
{
    return m_text;
}

CUString::operator char const*() const
{
    return m_text;
}

int CUString::SafeStrLen(char const* s)
{
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

int CUString::Compare(char const* s) const
{
    return Sign(std::strcmp(m_text, s ? s : ""));
}

// The terminating NUL takes part in the comparison, so a proper prefix orders
// before the longer text instead of comparing equal to it.
int CUString::CompareNoCase(char const* s) const
{
    if (s == nullptr)
        s = "";
    for (int i = 0;; ++i) {
        int a = UpperSigned(m_text[i]);
        int b = UpperSigned(s[i]);
        if (a != b)
            return a < b ? -1 : 1;
        if (m_text[i] == '\0')
            return 0;
    }
}

int CUString::operator==(const CUString& s) const { return Compare(s) == 0; }
int CUString::operator==(char const* s) const { return Compare(s) == 0; }
int CUString::operator==(char* s) const { return Compare(s) == 0; }
int CUString::operator!=(const CUString& s) const { return Compare(s); }
int CUString::operator!=(char const* s) const { return Compare(s); }
int CUString::operator!=(char* s) const { return Compare(s); }
int CUString::operator<(const CUString& s) const { return Compare(s) < 0; }
int CUString::operator<(char const* s) const { return Compare(s) < 0; }
int CUString::operator<(char* s) const { return Compare(s) < 0; }
int CUString::operator>(const CUString& s) const { return Compare(s) > 0; }
int CUString::operator>(char const* s) const { return Compare(s) > 0; }
int CUString::operator>(char* s) const { return Compare(s) > 0; }
int CUString::operator<=(const CUString& s) const { return Compare(s) <= 0; }
int CUString::operator<=(char const* s) const { return Compare(s) <= 0; }
int CUString::operator<=(char* s) const { return Compare(s) <= 0; }
int CUString::operator>=(const CUString& s) const { return Compare(s) >= 0; }
int CUString::operator>=(char const* s) const { return Compare(s) >= 0; }
int CUString::operator>=(char* s) const { return Compare(s) >= 0; }

// ---- extraction ----------------------------------------------------------------

CUString CUString::Left(int n) const
{
    int length = GetLength();
    if (n < 0 || n > length)
        n = length;
    CUString result;
    result.Assign(m_text, n);
    return result;
}

CUString CUString::Right(int n) const
{
    int length = GetLength();
    if (n < 0 || n > length)
        n = length;
    CUString result;
    result.Assign(m_text + length - n, n);
    return result;
}

CUString CUString::Mid(int pos, int len) const
{
    int length = GetLength();
    pos = std::clamp(pos, 0, length);
    len = std::clamp(len, 0, length - pos);
    CUString result;
    result.Assign(m_text + pos, len);
    return result;
}

CUString CUString::Mid(int pos) const
{
    return Mid(pos, GetLength());
}

// ---- search ------------------------------------------------------------------

int CUString::Find(char c) const
{
    if (c == '\0')
        return -1;
    char const* p = std::strchr(m_text, c);
    return p ? static_cast<int>(p - m_text) : -1;
}

int CUString::ReverseFind(char c) const
{
    if (c == '\0')
        return -1;
    char const* p = std::strrchr(m_text, c);
    return p ? static_cast<int>(p - m_text) : -1;
}

int CUString::FindOneOf(char const* set) const
{
    if (set == nullptr)
        return -1;
    char const* p = std::strpbrk(m_text, set);
    return p ? static_cast<int>(p - m_text) : -1;
}

int CUString::FindNotOneOf(char const* set) const
{
    int n = static_cast<int>(std::strspn(m_text, set ? set : ""));
    return n < GetLength() ? n : -1;
}

int CUString::Find(char const* s) const
{
    if (s == nullptr)
        return -1;
    char const* p = std::strstr(m_text, s);
    return p ? static_cast<int>(p - m_text) : -1;
}

int CUString::FindNoCase(char const* s) const
{
    if (s == nullptr)
        return -1;
    CUString text(*this), pattern(s);
    text.MakeUpper();
    pattern.MakeUpper();
    return text.Find(static_cast<char const*>(pattern));
}

int CUString::StrPre(char const* prefix) const
{
    return Left(SafeStrLen(prefix)).CompareNoCase(prefix) == 0;
}

int CUString::StrSuf(char const* suffix) const
{
    return Right(SafeStrLen(suffix)).CompareNoCase(suffix) == 0;
}

int CUString::StrSuf(char const* str, char const* suffix)
{
    return CUString(str).StrSuf(suffix);
}

int CUString::IsNumber(int allowDecimal) const
{
    return IsNumber(m_text, allowDecimal);
}

int CUString::IsNumber(char const* text, int allowDecimal)
{
    if (text == nullptr)
        return 0;
    while (IsSpace(*text))
        ++text;
    if (*text == '\0')
        return 0;
    if (*text == '-')
        ++text;
    bool seenPoint = false;
    for (; *text != '\0'; ++text) {
        if (*text >= '0' && *text <= '9')
            continue;
        if (*text == '.') {
            if (!allowDecimal || seenPoint)
                return 0;
            seenPoint = true;
            continue;
        }
        break;
    }
    for (; *text != '\0'; ++text)
        if (!IsSpace(*text))
            return 0;
    return 1;
}

unsigned long CUString::HexToLong() const
{
    std::uint32_t value = 0;
    for (char const* p = m_text; *p; ++p) {
        int digit = HexDigit(*p);
        if (digit >= 0)
            value = value * 16u + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Greedy match with one backtrack point: the last '*' seen.
int CUString::WildcardMatch(char const* pattern) const
{
    if (pattern == nullptr)
        return 0;
    char const* s = m_text;
    char const* p = pattern;
    char const* starP = nullptr;
    char const* starS = nullptr;
    while (*s) {
        if (*p == '*') {
            starP = ++p;
            starS = s;
        } else if (*p != '\0' && (*p == '?' || *p == *s)) {
            ++p;
            ++s;
        } else if (starP) {
            p = starP;
            s = ++starS;
        } else {
            return 0;
        }
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}

int CUString::ValidateEmailAddress() const
{
    return ValidateEmailAddress(m_text);
}

// local@domain.tld: a dot-separated local part of the usual address characters,
// and a domain of at least two labels of letters, digits and inner hyphens,
// ending in a label of two or more letters.
int CUString::ValidateEmailAddress(char const* text)
{
    if (text == nullptr)
        return 0;
    char const* at = std::strchr(text, '@');
    if (at == nullptr || at == text || std::strchr(at + 1, '@') != nullptr)
        return 0;

    static char const localExtras[] = "!#$%&'*+/=?^_`{|}~-";
    char prev = '.';
    for (char const* p = text; p < at; ++p) {
        char c = *p;
        bool ok = std::isalnum(static_cast<unsigned char>(c)) || InSet(c, localExtras) || c == '.';
        if (!ok || (c == '.' && prev == '.'))
            return 0;
        prev = c;
    }
    if (prev == '.')
        return 0;

    int labels = 0;
    bool lastAllLetters = false;
    char const* label = at + 1;
    for (;;) {
        char const* end = label;
        while (*end && *end != '.')
            ++end;
        int n = static_cast<int>(end - label);
        if (n == 0 || label[0] == '-' || end[-1] == '-')
            return 0;
        lastAllLetters = true;
        for (char const* p = label; p < end; ++p) {
            unsigned char c = static_cast<unsigned char>(*p);
            if (!std::isalnum(c) && c != '-')
                return 0;
            if (!std::isalpha(c))
                lastAllLetters = false;
        }
        ++labels;
        if (*end == '\0')
            return labels >= 2 && lastAllLetters && n >= 2;
        label = end + 1;
    }
}

// ---- editing in place --------------------------------------------------------

void CUString::MakeUpper()
{
    for (char* p = m_text; *p; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
}

void CUString::MakeLower()
{
    for (char* p = m_text; *p; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
}

void CUString::TrimLeft(char const* set)
{
    int n = 0;
    while (InSet(m_text[n], set))
        ++n;
    if (n > 0)
        Assign(m_text + n, GetLength() - n);
}

void CUString::TrimRight(char const* set)
{
    int n = GetLength();
    while (n > 0 && InSet(m_text[n - 1], set))
        --n;
    m_text[n] = '\0';
}

void CUString::Trim(char const* set)
{
    TrimRight(set);
    TrimLeft(set);
}

void CUString::TrimWhitespace()
{
    int n = GetLength();
    while (n > 0 && IsSpace(m_text[n - 1]))
        --n;
    m_text[n] = '\0';
    int start = 0;
    while (IsSpace(m_text[start]))
        ++start;
    if (start > 0)
        Assign(m_text + start, n - start);
}

// Leading delimiters are skipped, but a non-blank delimiter followed by another
// delimiter stops the skipping: "a,,b" style input then yields an empty token.
CUString CUString::ParseOneArg(char const* delimiters)
{
    int start = 0;
    while (InSet(m_text[start], delimiters)) {
        if (!IsSpace(m_text[start]) && InSet(m_text[start + 1], delimiters))
            break;
        ++start;
    }
    int end = start;
    while (m_text[end] != '\0' && !InSet(m_text[end], delimiters))
        ++end;
    CUString token;
    token.Assign(m_text + start, end - start);
    int rest = end;
    while (InSet(m_text[rest], delimiters))
        ++rest;
    Assign(m_text + rest, GetLength() - rest);
    return token;
}

void CUString::Reverse()
{
    std::reverse(m_text, m_text + GetLength());
}

void CUString::Sort(int ascending)
{
    std::sort(m_text, m_text + GetLength(), SignedLess);
    if (!ascending)
        Reverse();
}

int CUString::Permute(CUPermuteCallback callback, long data, int prefixes)
{
    Sort(1);
    int n = GetLength();
    if (callback == nullptr || n == 0)
        return 1;
    std::vector<char> current(m_text, m_text + n + 1);
    std::vector<char> previous(n + 1, '\0');
    std::vector<char> prefix(n + 1, '\0');
    bool first = true;
    do {
        if (!prefixes) {
            if (!callback(current.data(), data))
                return 0;
            continue;
        }
        // Only the prefixes that differ from the previous arrangement's.
        int same = 0;
        if (!first)
            while (same < n && current[same] == previous[same])
                ++same;
        for (int len = same + 1; len <= n; ++len) {
            std::memcpy(prefix.data(), current.data(), len);
            prefix[len] = '\0';
            if (!callback(prefix.data(), data))
                return 0;
        }
        previous = current;
        first = false;
    } while (std::next_permutation(current.begin(), current.begin() + n, SignedLess));
    return 1;
}

// ---- formatting, checksum ----------------------------------------------------

void CUString::Format(char const* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    FormatWithArgList(fmt, args);
    va_end(args);
}

void CUString::FormatWithArgList(char const* fmt, va_list args)
{
    if (fmt == nullptr)
        fmt = "";
    int n = std::vsnprintf(s_formatBuffer, sizeof s_formatBuffer, fmt, args);
    if (n < 0)
        s_formatBuffer[0] = '\0';
    // Copy out first: the held text may itself be an argument.
    char* block = NewBlock(SafeStrLen(s_formatBuffer));
    std::strcpy(block, s_formatBuffer);
    delete[] m_text;
    m_text = block;
}

unsigned long CUString::AddUpASCII() const
{
    std::uint32_t sum = 0;
    for (char const* p = m_text; *p; ++p)
        sum += static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*p)));
    return sum;
}

// ---- storage -----------------------------------------------------------------

void CUString::Write(CUBuffer& buffer) const
{
    std::uint32_t n = static_cast<std::uint32_t>(GetLength());
    unsigned char prefix[7];
    int prefixSize;
    if (n < kWideLength) {
        prefix[0] = static_cast<unsigned char>(n);
        prefixSize = 1;
    } else if (n < kLongLength - 1) {
        prefix[0] = kWideLength;
        prefix[1] = static_cast<unsigned char>(n);
        prefix[2] = static_cast<unsigned char>(n >> 8);
        prefixSize = 3;
    } else {
        prefix[0] = prefix[1] = prefix[2] = kWideLength;
        for (int i = 0; i < 4; ++i)
            prefix[3 + i] = static_cast<unsigned char>(n >> (8 * i));
        prefixSize = 7;
    }
    buffer.Write(prefix, prefixSize);
    if (n > 0)
        buffer.Write(reinterpret_cast<unsigned char*>(m_text), static_cast<int>(n));
}

void CUString::Read(CUBuffer& buffer)
{
    unsigned char b[4] = {};
    buffer.Read(b, 1);
    std::int64_t n = b[0];
    if (b[0] == kWideLength) {
        buffer.Read(b, 2);
        n = b[0] | (b[1] << 8);
        if (n == kLongLength) {
            buffer.Read(b, 4);
            n = static_cast<std::int64_t>(b[0]) | (b[1] << 8) | (b[2] << 16) |
                (static_cast<std::int64_t>(b[3]) << 24);
        }
    }
    // A damaged length must not make us allocate far more than the source
    // holds: when the source knows its size, read no further than its end.
    int size = buffer.GetSize();
    if (size > 0) {
        int remaining = std::max(0, size - buffer.GetOffset());
        n = std::min<std::int64_t>(n, remaining);
    }
    n = std::min<std::int64_t>(n, INT32_MAX - 1);
    char* block = NewBlock(static_cast<int>(n));
    if (n > 0)
        buffer.Read(reinterpret_cast<unsigned char*>(block), static_cast<int>(n));
    delete[] m_text;
    m_text = block;
}

// ---- clipboard -----------------------------------------------------------------

int CUString::ToClipboard() const
{
    CUClipboardService* service = GetClipboardService();
    if (IsEmpty() || service == nullptr)
        return 0;
    return service->PutText(m_text) ? 1 : 0;
}

int CUString::FromClipboard()
{
    CUClipboardService* service = GetClipboardService();
    if (service == nullptr)
        return 0;
    CUString text;
    if (!service->GetText(text))
        return 0;
    *this = text;
    return 1;
}

// ---- obfuscation -------------------------------------------------------------

// The text is padded with NULs to whole blocks, transformed, and written as
// two lower-case hex digits per byte; the padding marks the end on the way back.
int CUString::Encrypt()
{
    int n = GetLength();
    if (n == 0)
        return 1;
    int blocks = (n + CUCryptor::cm_blockSize - 1) / CUCryptor::cm_blockSize;
    std::vector<unsigned char> bytes(static_cast<size_t>(blocks) * CUCryptor::cm_blockSize, 0);
    std::memcpy(bytes.data(), m_text, n);
    CUCryptor cryptor;
    for (int i = 0; i < blocks; ++i)
        cryptor.EncryptBlock(bytes.data() + i * CUCryptor::cm_blockSize);
    static char const digits[] = "0123456789abcdef";
    CUString hex;
    hex.SetLength(static_cast<int>(bytes.size() * 2));
    for (size_t i = 0; i < bytes.size(); ++i) {
        hex.m_text[2 * i] = digits[bytes[i] >> 4];
        hex.m_text[2 * i + 1] = digits[bytes[i] & 15];
    }
    *this = hex;
    return 1;
}

int CUString::Decrypt()
{
    int n = GetLength();
    if (n == 0)
        return 1;
    if (n % (2 * CUCryptor::cm_blockSize) != 0)
        return 0;
    std::vector<unsigned char> bytes(n / 2);
    for (int i = 0; i < n / 2; ++i) {
        int hi = HexDigit(m_text[2 * i]);
        int lo = HexDigit(m_text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return 0;
        bytes[i] = static_cast<unsigned char>(hi * 16 + lo);
    }
    CUCryptor cryptor;
    for (size_t i = 0; i < bytes.size(); i += CUCryptor::cm_blockSize)
        cryptor.DecryptBlock(bytes.data() + i);
    // Padding is NULs only; anything after the first NUL means foreign input.
    size_t length = std::find(bytes.begin(), bytes.end(), 0) - bytes.begin();
    for (size_t i = length; i < bytes.size(); ++i)
        if (bytes[i] != 0)
            return 0;
    if (length == 0 || bytes.size() - length >= static_cast<size_t>(CUCryptor::cm_blockSize))
        return 0;
    Assign(reinterpret_cast<char const*>(bytes.data()), static_cast<int>(length));
    return 1;
}
