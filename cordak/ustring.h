// CUString: the one string type of Gyrix and its libraries.
//
// A heap-held, NUL-terminated string of 8-bit characters with value semantics:
// every copy owns its own characters, and the held pointer is never null (an
// empty string holds an allocated ""). There is no length or capacity field;
// the length is found by scanning for the NUL.
//
// Positions and counts are clamped to the string: nothing outside the held
// block is ever read or written, whatever the caller passes.
#pragma once

#include <cstdarg>

class CUBuffer;

// Called by CUString::Permute for each arrangement (or prefix); returning 0
// stops the enumeration.
using CUPermuteCallback = int (*)(char const* text, long data);

class CUString
{
public:
    // Size of the shared formatting buffer used by Format and the integer forms;
    // longer results are cut to cm_formatSize - 1 characters.
    static constexpr int cm_formatSize = 1008;

    // Construction and assignment. A null pointer gives "".
    CUString();
    CUString(const CUString& s);
    CUString(char const* s);
    CUString(char* s);
    CUString(char c);
    CUString(int n);  // decimal text of n
    ~CUString();

    CUString& operator=(const CUString& s);
    CUString& operator=(char const* s);
    CUString& operator=(char* s);
    CUString& operator=(char c);
    CUString& operator=(int n);

    // Holds the first len bytes of src (src must have at least len bytes).
    void Assign(char const* src, int len);
    // Discards the content and makes room for n characters plus the NUL; the n
    // bytes are zeroed for the caller to fill through operator char*().
    void SetLength(int n);
    // n copies of c.
    void Repeat(char c, int n);

    // Appending and joining.
    CUString& operator+=(const CUString& s);
    CUString& operator+=(char const* s);
    CUString& operator+=(char* s);
    CUString& operator+=(int n);
    CUString& operator+=(char c);
    // The held text becomes a (alen bytes) then b (blen bytes); when both are
    // empty the string keeps its previous content.
    void Concatenate(char const* a, int alen, char const* b, int blen);

    // Length, access, comparison.
    int GetLength() const;
    int IsEmpty() const;
    unsigned char GetAt(int i) const;      // 0 outside the string
    unsigned char operator[](int i) const;  // same as GetAt
    void SetAt(int i, char c);              // ignored outside the string
    operator char*();
    operator char const*() const;

    int Compare(char const* s) const;        // -1, 0, 1; unsigned bytes
    int CompareNoCase(char const* s) const;  // -1, 0, 1; upper-cased, signed bytes
    static int SafeStrLen(char const* s);    // 0 for a null pointer

    int operator==(const CUString& s) const;
    int operator==(char const* s) const;
    int operator==(char* s) const;
    int operator!=(const CUString& s) const;  // Compare's value: non-zero when different
    int operator!=(char const* s) const;
    int operator!=(char* s) const;
    int operator<(const CUString& s) const;
    int operator<(char const* s) const;
    int operator<(char* s) const;
    int operator>(const CUString& s) const;
    int operator>(char const* s) const;
    int operator>(char* s) const;
    int operator<=(const CUString& s) const;
    int operator<=(char const* s) const;
    int operator<=(char* s) const;
    int operator>=(const CUString& s) const;
    int operator>=(char const* s) const;
    int operator>=(char* s) const;

    // Extraction. Left(-1) and Right(-1) give the whole string.
    CUString Left(int n) const;
    CUString Right(int n) const;
    CUString Mid(int pos, int len) const;
    CUString Mid(int pos) const;

    // Search: positions from 0, -1 when not found.
    int Find(char c) const;
    int ReverseFind(char c) const;
    int FindOneOf(char const* set) const;
    int FindNotOneOf(char const* set) const;
    int Find(char const* s) const;
    int FindNoCase(char const* s) const;

    int StrPre(char const* prefix) const;  // begins with prefix, ignoring case
    int StrSuf(char const* suffix) const;  // ends with suffix, ignoring case
    static int StrSuf(char const* str, char const* suffix);

    int IsNumber(int allowDecimal) const;
    static int IsNumber(char const* text, int allowDecimal);
    // Value of the hexadecimal digits in the text; other characters are skipped.
    // Wraps at 32 bits.
    unsigned long HexToLong() const;
    // '*' matches any run, '?' any one character; case-sensitive.
    int WildcardMatch(char const* pattern) const;
    int ValidateEmailAddress() const;
    static int ValidateEmailAddress(char const* text);

    // Editing in place.
    void MakeUpper();
    void MakeLower();
    void TrimLeft(char const* set);
    void TrimRight(char const* set);
    void Trim(char const* set);
    void TrimWhitespace();
    // Cuts the first token off the string and returns it.
    CUString ParseOneArg(char const* delimiters);
    void Reverse();
    void Sort(int ascending);
    // Sorts the characters, then calls callback for every distinct arrangement in
    // lexicographic order (or, with prefixes, for each new prefix of each
    // arrangement). Returns 0 when the callback stopped it, else 1.
    int Permute(CUPermuteCallback callback, long data, int prefixes);

    // printf-style formatting through the shared bounded buffer.
    void Format(char const* fmt, ...) __attribute__((format(printf, 2, 3)));
    void FormatWithArgList(char const* fmt, va_list args);

    // 32-bit sum of the characters taken as signed bytes.
    unsigned long AddUpASCII() const;

    // Stored as the length-prefixed text of the binary encoding. Both go
    // through the buffer's raw byte Read/Write only, so the buffer's own text
    // operators may call them.
    void Write(CUBuffer& buffer) const;
    void Read(CUBuffer& buffer);

    // Through the clipboard service installed by the window-system layer
    // (cordak/clipboard.h); 0 when there is none or it fails.
    int ToClipboard() const;
    int FromClipboard();

    // Obfuscation for settings values (see cordak/crypt.h), hex-encoded.
    // Decrypt gives 0 and leaves the string unchanged for text that Encrypt
    // cannot have produced.
    int Encrypt();
    int Decrypt();

private:
    char* m_text;
};

CUString operator+(const CUString& a, const CUString& b);
CUString operator+(const CUString& a, char const* b);
CUString operator+(char const* a, const CUString& b);
CUString operator+(const CUString& a, char* b);
CUString operator+(char* a, const CUString& b);
CUString operator+(const CUString& a, char b);
CUString operator+(char a, const CUString& b);
