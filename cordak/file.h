// CUFile: the buffer's typed operators sent to a file on disk, plus a text
// mode with word, integer and quoted-string readers (used by the settings
// file).
//
// Writing (<<) is the binary encoding in both modes. Reading (>>) in binary
// mode reads that encoding; in text mode integers are read as decimal text
// (ReadInt), a CUString as the next blank-separated word, and char, float and
// double still as their binary bytes. A file that mixes text and binary values
// must be opened in binary mode. Linux does no line-ending translation, so the
// text readers treat a carriage return like the other delimiters they are given.
//
// Text readers collect at most cm_maxText characters; the rest of a longer
// word or quoted string is read and dropped.
#pragma once

#include <cordak/buffer.h>
#include <cordak/ustring.h>

#include <cstdio>

class CUTime;

class CUFile : public CUBuffer
{
public:
    static constexpr int cm_maxText = 999;

    CUFile();
    ~CUFile() override;

    // Stream position, file length, and the standard seek (origin 2 adds the
    // offset to the end, so Seek(3, 2) lands 3 bytes past it).
    int GetOffset() override;
    int GetSize() override;
    void Seek(int offset, int origin) override;
    // The stream's end-of-file indicator: set only after a read tried to go
    // past the end.
    int IsEOF() override;
    // Raw bytes at the stream position. Bytes a read could not get read as
    // zeros; with no open stream nothing is read or written.
    CUBuffer& Read(unsigned char* dst, int n) override;
    CUBuffer& Write(unsigned char* src, int n) override;
    using CUBuffer::Read;
    using CUBuffer::Write;
    using CUBuffer::operator>>;

    CUBuffer& operator>>(CUObject& object) override;
    CUBuffer& operator>>(CUString& text) override;
    CUBuffer& operator>>(double& value) override;
    CUBuffer& operator>>(int& value) override;
    CUBuffer& operator>>(long& value) override;
    CUBuffer& operator>>(unsigned long& value) override;
    CUBuffer& operator>>(float& value) override;
    CUBuffer& operator>>(short& value) override;
    CUBuffer& operator>>(unsigned short& value) override;
    CUBuffer& operator>>(char& value) override;
    CUBuffer& operator>>(unsigned char& value) override;

    // Open an existing file for reading and writing, or for reading only when
    // it cannot be written. The path and mode are remembered even on failure;
    // an empty path gives 0. A stream already open is closed first.
    virtual int Open(char const* path, int binary);
    // Open, or Create when the file does not exist; then to the end.
    virtual int Append(char const* path, int binary);
    // Create or truncate for reading and writing.
    virtual int Create(char const* path, int binary);
    virtual void Close();

    // Reads characters while they are in skip; the first other one goes to c
    // and, with putBack, back into the stream. 0 at end of file.
    virtual int ReadChar(char& c, char const* skip, int putBack);
    // Collects characters up to one of delimiters (which is consumed); with
    // skipLeading, delimiters before the first character are skipped. The end
    // of the file also ends a word that has at least one character. 0 (s
    // unchanged) when there is no word left.
    virtual int ReadString(CUString& s, char const* delimiters, int skipLeading);
    // Reads up to the first of '"', '[' or ']', then collects up to the next of
    // them. Characters before the opening one are kept too. 0 (s unchanged)
    // at end of file or when the closing character is missing.
    virtual int ReadQuotedString(CUString& s);
    // Skips to the first digit or '-', collects '-' and digits up to the next
    // other character (consumed) and converts them; values beyond int are
    // clamped. 0 (v unchanged) when there is no number left.
    virtual int ReadInt(int& v);
    // Reads up to and including the next line feed; 0 at end of file.
    virtual int SeekEOL();
    // printf-formatted text, whatever its length.
    virtual int Write(char const* fmt, ...) __attribute__((format(printf, 2, 3)));
    // Reads up to n bytes (n = 0: b's block size; otherwise n also becomes
    // b's block size) into b from its start; returns the count.
    virtual int ReadBuffer(CUBuffer& b, int n);

    FILE* GetFile();
    int IsOpen() const;
    int IsBinary() const;
    const CUString& GetPath() const;

    static int Rename(char const* from, char const* to);
    // Replaces the file at path (following a symbolic link) with size bytes:
    // they go to a temporary file in the same folder, are flushed to disk and
    // only then renamed over the target, so a failure or a death at any moment
    // leaves either the previous file or the new one, never a part of either.
    // The target keeps its permissions. 1 on success.
    static int ReplaceContents(char const* path, void const* data, int size);
    static int Delete(char const* path);
    static int Exists(char const* path);
    static int ExistsFolder(char const* path);
    // Creates every missing folder along the path ('/' or '\' separated).
    static int CreateFolder(char const* path);
    static int SetCurrentFolder(char const* path);
    static int GetCurrentFolder(CUString& path);
    // Sets the access and modification times of the file.
    static int UpdateTime(char const* path, CUTime& t);

protected:
    int Remaining() override;

private:
    enum class LastOp { None, Read, Write };
    int OpenStream(char const* path, int binary, char const* mode, char const* fallback);
    // A stream that is both read and written must be repositioned between a
    // read and a write; these do it when the direction changes.
    void BeforeRead();
    void BeforeWrite();
    int GetCh();
    void UngetCh(int c);

    FILE* m_file = nullptr;
    CUString m_path;
    int m_binary = 1;
    LastOp m_lastOp = LastOp::None;
};
