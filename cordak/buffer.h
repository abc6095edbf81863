// CUBuffer: a growable byte buffer with a read/write position and typed
// stream operators, and the binary encoding of everything Gyrix stores.
//
// Encoding: little endian, no tags, no padding.
//   char, unsigned char           1 byte (char is signed)
//   short, unsigned short         2 bytes
//   int, long, unsigned long      4 bytes, two's complement (long is 8 bytes in
//                                 memory on Linux but always 4 here)
//   float                         4 bytes, IEEE single
//   double                        8 bytes, IEEE double
//   text                          length prefix, then the bytes without NUL:
//                                   n <= 254      one byte n
//                                   n <= 65533    FF, then n as 2 bytes
//                                   otherwise     FF FF FF, then n as 4 bytes
//   nested CUBuffer               block size (4), size (4), the content,
//                                 position (4), flags (1)
//
// Reading never leaves the buffer: bytes wanted past the end read as zeros and
// the position stops at the end. A length read from the content is never
// trusted beyond the bytes that are actually there.
#pragma once

#include <cordak/object.h>

class CUString;
class CUFlag;

class CUBuffer : public CUObject
{
public:
    // Flag bits.
    static constexpr int cm_compressed = 1;
    static constexpr int cm_enciphered = 2;
    static constexpr int cm_borrowed = 4;  // data is the caller's memory

    static constexpr int cm_defaultBlockSize = 1024;
    // zlib output is gathered in chunks of this many bytes.
    static constexpr int cm_zlibChunk = 65535;

    explicit CUBuffer(int blockSize = cm_defaultBlockSize);
    // A cursor over the caller's size bytes at data; the buffer never frees
    // them. Writing within size overwrites them; growing copies them into a
    // block of the buffer's own.
    CUBuffer(unsigned char* data, int size);
    ~CUBuffer() override;

    CUBuffer(const CUBuffer&) = delete;
    CUBuffer& operator=(const CUBuffer&) = delete;

    // Nested buffer (see the layout above).
    void Read(CUBuffer& from) override;
    void Write(CUBuffer& to) override;

    virtual int GetOffset();
    virtual int GetSize();
    // origin 0: from the start, 1: from the position, 2: offset bytes before
    // the end. The position never goes below 0; it may go past the end, and a
    // later write fills the gap with zeros.
    virtual void Seek(int offset, int origin);
    virtual void SeekToBegin();
    virtual void SeekToEnd();
    // 1 when the position is at (or past) the end.
    virtual int IsEOF();
    // Steps back n bytes and copies them out; 0 (and no change) when the
    // position is less than n.
    virtual int ReverseRead(unsigned char* dst, int n);
    // Raw bytes at the position; the position advances. Every typed operator
    // goes through these two.
    virtual CUBuffer& Read(unsigned char* dst, int n);
    virtual CUBuffer& Write(unsigned char* src, int n);

    virtual CUBuffer& operator<<(CUObject& object);
    virtual CUBuffer& operator<<(const CUString& text);
    virtual CUBuffer& operator<<(CUFlag& bits);  // its bytes, no count
    virtual CUBuffer& operator<<(char const* text);  // null writes the empty text
    virtual CUBuffer& operator<<(char* text);
    virtual CUBuffer& operator<<(double value);
    virtual CUBuffer& operator<<(int value);
    virtual CUBuffer& operator<<(long value);           // 4 bytes
    virtual CUBuffer& operator<<(unsigned long value);  // 4 bytes
    virtual CUBuffer& operator<<(float value);
    virtual CUBuffer& operator<<(short value);
    virtual CUBuffer& operator<<(unsigned short value);
    virtual CUBuffer& operator<<(char value);
    virtual CUBuffer& operator<<(unsigned char value);

    virtual CUBuffer& operator>>(CUObject& object);
    virtual CUBuffer& operator>>(CUString& text);
    virtual CUBuffer& operator>>(CUFlag& bits);  // as many bytes as the set already holds
    virtual CUBuffer& operator>>(double& value);
    virtual CUBuffer& operator>>(int& value);
    virtual CUBuffer& operator>>(long& value);           // sign-extended from 4 bytes
    virtual CUBuffer& operator>>(unsigned long& value);  // zero-extended from 4 bytes
    virtual CUBuffer& operator>>(float& value);
    virtual CUBuffer& operator>>(short& value);
    virtual CUBuffer& operator>>(unsigned short& value);
    virtual CUBuffer& operator>>(char& value);
    virtual CUBuffer& operator>>(unsigned char& value);

    // 4 bytes, like unsigned long: the 32-bit types of the window layer
    // (COLORREF, DWORD) are unsigned int on Linux.
    CUBuffer& operator<<(unsigned int value);
    CUBuffer& operator>>(unsigned int& value);

    // Raises the capacity to n when needed, then size = n; new bytes are zero.
    void SetSize(int n);
    // Reallocates to exactly n bytes, keeping min(size, n) bytes; 0 frees.
    void SetMaxSize(int n);
    int GetMaxSize() const;
    void SetBlockSize(int blockSize);
    int GetBlockSize() const;
    // The content (null when nothing is allocated); valid until the next change.
    unsigned char* GetData();
    const unsigned char* GetData() const;

    // Empties the buffer; memory beyond one block is freed.
    void Clear();
    // Removes n bytes from the front; the position moves back with the content.
    void Remove(int n);

    // Byte i of the content, 0 outside it.
    unsigned char operator[](int i) const;

    int IsSet(int bit) const;
    void SetFlag(int bit);
    void ClearFlag(int bit);

    // Takes the text before the first line feed or NUL off the front; 0 when
    // there is no complete line.
    int GetString(CUString& line);

    // zlib deflate of the whole content at the given level (0..9, -1 default).
    // With header, the result begins with minus its own size as 4 bytes, so
    // that plain data may follow it. 0 (content unchanged) on any zlib error.
    int Compress(int level, int header);
    // Undoes Compress when the content is marked compressed, or always with
    // force. 0 (content unchanged) for damaged or truncated data.
    int Expand(int force, int header);

    // Obfuscation in 32-byte blocks (see cordak/crypt.h), not security. The
    // plain size is kept after the last block. Decrypt gives 0 and changes
    // nothing for content Encrypt cannot have produced.
    int Encrypt();
    int Decrypt();

protected:
    // Bytes between the position and the end, never negative.
    virtual int Remaining();

private:
    void ReadText(CUString& text);
    void WriteText(char const* text, int n);
    void Adopt(CUBuffer& other);
    void FreeData();

    int m_blockSize;
    unsigned char* m_data = nullptr;
    int m_size = 0;
    int m_position = 0;
    int m_capacity = 0;
    unsigned char m_flags = 0;
};
