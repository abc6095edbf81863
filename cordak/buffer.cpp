#include <cordak/buffer.h>
#include <cordak/flag.h>
#include <cordak/crypt.h>
#include <cordak/ustring.h>

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Length prefix of a stored text: one byte up to cm_shortText, a 2-byte length
// after cm_escape up to cm_mediumText, else a 4-byte length after three escapes.
constexpr unsigned cm_shortText = 254;
constexpr unsigned cm_mediumText = 65533;
constexpr unsigned char cm_escape = 0xFF;
constexpr unsigned cm_wideEscape = 0xFFFF;

// A stored block size is only a growth step, but the next write allocates
// that much: beyond this, and beyond the stored content's size, it is taken
// as damage and replaced by the default.
constexpr int cm_maxStoredBlockSize = 1 << 16;

void PutLE(unsigned char* out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t GetLE(const unsigned char* in, int bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<uint64_t>(in[i]) << (8 * i);
    return value;
}

int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

}  // namespace

// ---------------------------------------------------------------- construction

CUBuffer::CUBuffer(int blockSize) : m_blockSize(std::max(blockSize, 0))
{
}

CUBuffer::CUBuffer(unsigned char* data, int size) : m_blockSize(cm_defaultBlockSize)
{
    if (data && size > 0) {
        m_data = data;
        m_size = m_capacity = size;
        m_flags = cm_borrowed;
    }
}

CUBuffer::~CUBuffer()
{
    FreeData();
}

void CUBuffer::FreeData()
{
    if (!(m_flags & cm_borrowed))
        delete[] m_data;
    m_data = nullptr;
    m_flags &= ~cm_borrowed;
}

// Takes over other's memory and fields; other is left empty.
void CUBuffer::Adopt(CUBuffer& other)
{
    FreeData();
    m_blockSize = other.m_blockSize;
    m_data = other.m_data;
    m_size = other.m_size;
    m_position = other.m_position;
    m_capacity = other.m_capacity;
    m_flags = other.m_flags;
    other.m_data = nullptr;
    other.m_size = other.m_position = other.m_capacity = 0;
    other.m_flags = 0;
}

// ------------------------------------------------------------------ memory

void CUBuffer::SetMaxSize(int n)
{
    if (n < 0 || n == m_capacity)
        return;
    if (n == 0) {
        FreeData();
        m_size = m_position = m_capacity = 0;
        return;
    }
    auto* block = new unsigned char[n]();
    if (m_data) {
        std::memcpy(block, m_data, std::min(m_size, n));
        FreeData();
    }
    m_data = block;
    m_capacity = n;
    m_size = std::min(m_size, n);
}

void CUBuffer::SetSize(int n)
{
    if (n < 0)
        return;
    if (n > m_capacity)
        SetMaxSize(n);
    if (n > m_size)
        std::memset(m_data + m_size, 0, n - m_size);
    m_size = n;
}

int CUBuffer::GetMaxSize() const
{
    return m_capacity;
}

void CUBuffer::SetBlockSize(int blockSize)
{
    m_blockSize = std::max(blockSize, 0);
}

int CUBuffer::GetBlockSize() const
{
    return m_blockSize;
}

unsigned char* CUBuffer::GetData()
{
    return m_data;
}

const unsigned char* CUBuffer::GetData() const
{
    return m_data;
}

void CUBuffer::Clear()
{
    m_size = m_position = 0;
    // The caller's memory is let go rather than kept: once the borrowed flag is
    // cleared the buffer would otherwise free memory it never owned.
    if (m_capacity > m_blockSize || (m_flags & cm_borrowed)) {
        FreeData();
        m_capacity = 0;
    }
    m_flags = 0;
}

void CUBuffer::Remove(int n)
{
    if (n <= 0)
        return;
    if (n >= m_size) {
        Clear();
        return;
    }
    std::memmove(m_data, m_data + n, m_size - n);
    m_size -= n;
    m_position = std::max(m_position - n, 0);
}

// ---------------------------------------------------------- position

int CUBuffer::GetOffset()
{
    return m_position;
}

int CUBuffer::GetSize()
{
    return m_size;
}

void CUBuffer::Seek(int offset, int origin)
{
    int64_t target;
    switch (origin) {
    case 0: target = offset; break;
    case 1: target = int64_t(m_position) + offset; break;
    case 2: target = int64_t(m_size) - offset; break;
    default: return;
    }
    m_position = static_cast<int>(std::clamp<int64_t>(target, 0, INT_MAX));
}

void CUBuffer::SeekToBegin()
{
    Seek(0, 0);
}

void CUBuffer::SeekToEnd()
{
    Seek(0, 2);
}

int CUBuffer::IsEOF()
{
    return m_position >= m_size;
}

int CUBuffer::Remaining()
{
    return std::max(m_size - m_position, 0);
}

// ------------------------------------------------------------- raw bytes

CUBuffer& CUBuffer::Read(unsigned char* dst, int n)
{
    if (n <= 0)
        return *this;
    int take = std::min(n, Remaining());
    if (dst) {
        if (take > 0)
            std::memcpy(dst, m_data + m_position, take);
        std::memset(dst + take, 0, n - take);
    }
    m_position += take;
    return *this;
}

CUBuffer& CUBuffer::Write(unsigned char* src, int n)
{
    if (n <= 0 || !src || m_position > INT_MAX - n)
        return *this;
    int end = m_position + n;
    std::vector<unsigned char> own;
    if (end >= m_capacity) {
        // The source may be this buffer's own memory, about to be reallocated.
        if (m_data && src >= m_data && src < m_data + m_capacity) {
            own.assign(src, src + n);
            src = own.data();
        }
        SetMaxSize(ClampToInt(std::max<int64_t>(int64_t(m_capacity) + m_blockSize, end)));
    }
    if (m_position > m_size)
        std::memset(m_data + m_size, 0, m_position - m_size);
    std::memmove(m_data + m_position, src, n);
    m_position = end;
    m_size = std::max(m_size, m_position);
    return *this;
}

int CUBuffer::ReverseRead(unsigned char* dst, int n)
{
    if (n < 0 || m_position < n)
        return 0;
    m_position -= n;
    // The position may lie past the end after a Seek; those bytes read as 0.
    int valid = std::clamp(m_size - m_position, 0, n);
    if (dst) {
        if (valid > 0)
            std::memcpy(dst, m_data + m_position, valid);
        std::memset(dst + valid, 0, n - valid);
    }
    return 1;
}

unsigned char CUBuffer::operator[](int i) const
{
    return i >= 0 && i < m_size ? m_data[i] : 0;
}

// ------------------------------------------------------------------- flags

int CUBuffer::IsSet(int bit) const
{
    return (m_flags & bit) != 0;
}

void CUBuffer::SetFlag(int bit)
{
    // Ownership of the memory is not the caller's to change.
    m_flags |= static_cast<unsigned char>(bit & ~cm_borrowed);
}

void CUBuffer::ClearFlag(int bit)
{
    m_flags &= static_cast<unsigned char>(~(bit & ~cm_borrowed));
}

// ------------------------------------------------------------ typed writes

CUBuffer& CUBuffer::operator<<(CUObject& object)
{
    object.Write(*this);
    return *this;
}

void CUBuffer::WriteText(char const* text, int n)
{
    unsigned char prefix[7];
    int length;
    unsigned count = static_cast<unsigned>(n);
    if (count <= cm_shortText) {
        prefix[0] = static_cast<unsigned char>(count);
        length = 1;
    } else if (count <= cm_mediumText) {
        prefix[0] = cm_escape;
        PutLE(prefix + 1, count, 2);
        length = 3;
    } else {
        prefix[0] = cm_escape;
        PutLE(prefix + 1, cm_wideEscape, 2);
        PutLE(prefix + 3, count, 4);
        length = 7;
    }
    Write(prefix, length);
    if (n > 0)
        Write(reinterpret_cast<unsigned char*>(const_cast<char*>(text)), n);
}

CUBuffer& CUBuffer::operator<<(const CUString& text)
{
    WriteText(static_cast<char const*>(text), text.GetLength());
    return *this;
}

CUBuffer& CUBuffer::operator<<(CUFlag& bits)
{
    bits.Write(*this);
    return *this;
}

CUBuffer& CUBuffer::operator>>(CUFlag& bits)
{
    bits.Read(*this);
    return *this;
}

CUBuffer& CUBuffer::operator<<(char const* text)
{
    WriteText(text, text ? static_cast<int>(strnlen(text, INT_MAX)) : 0);
    return *this;
}

CUBuffer& CUBuffer::operator<<(char* text)
{
    return *this << static_cast<char const*>(text);
}

CUBuffer& CUBuffer::operator<<(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    unsigned char out[8];
    PutLE(out, bits, 8);
    return Write(out, 8);
}

CUBuffer& CUBuffer::operator<<(int value)
{
    unsigned char out[4];
    PutLE(out, static_cast<uint32_t>(value), 4);
    return Write(out, 4);
}

CUBuffer& CUBuffer::operator<<(long value)
{
    return *this << static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

CUBuffer& CUBuffer::operator<<(unsigned long value)
{
    return *this << static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

CUBuffer& CUBuffer::operator<<(unsigned int value)
{
    return *this << static_cast<int>(value);
}

CUBuffer& CUBuffer::operator<<(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    unsigned char out[4];
    PutLE(out, bits, 4);
    return Write(out, 4);
}

CUBuffer& CUBuffer::operator<<(short value)
{
    unsigned char out[2];
    PutLE(out, static_cast<uint16_t>(value), 2);
    return Write(out, 2);
}

CUBuffer& CUBuffer::operator<<(unsigned short value)
{
    return *this << static_cast<short>(value);
}

CUBuffer& CUBuffer::operator<<(char value)
{
    unsigned char out = static_cast<unsigned char>(value);
    return Write(&out, 1);
}

CUBuffer& CUBuffer::operator<<(unsigned char value)
{
    return Write(&value, 1);
}

// ------------------------------------------------------------- typed reads

CUBuffer& CUBuffer::operator>>(CUObject& object)
{
    object.Read(*this);
    return *this;
}

void CUBuffer::ReadText(CUString& text)
{
    unsigned char in[4];
    Read(in, 1);
    uint64_t n = in[0];
    if (n == cm_escape) {
        Read(in, 2);
        n = GetLE(in, 2);
        if (n == cm_wideEscape) {
            Read(in, 4);
            n = GetLE(in, 4);
        }
    }
    // A damaged length must not make us allocate more than is there.
    int length = static_cast<int>(std::min<uint64_t>(n, static_cast<uint64_t>(Remaining())));
    text.SetLength(length);
    if (length > 0)
        Read(reinterpret_cast<unsigned char*>(static_cast<char*>(text)), length);
}

CUBuffer& CUBuffer::operator>>(CUString& text)
{
    ReadText(text);
    return *this;
}

CUBuffer& CUBuffer::operator>>(double& value)
{
    unsigned char in[8];
    Read(in, 8);
    uint64_t bits = GetLE(in, 8);
    std::memcpy(&value, &bits, sizeof value);
    return *this;
}

CUBuffer& CUBuffer::operator>>(int& value)
{
    unsigned char in[4];
    Read(in, 4);
    value = static_cast<int32_t>(static_cast<uint32_t>(GetLE(in, 4)));
    return *this;
}

CUBuffer& CUBuffer::operator>>(long& value)
{
    int v;
    CUBuffer::operator>>(v);
    value = v;
    return *this;
}

CUBuffer& CUBuffer::operator>>(unsigned long& value)
{
    int v;
    CUBuffer::operator>>(v);
    value = static_cast<uint32_t>(v);
    return *this;
}

CUBuffer& CUBuffer::operator>>(unsigned int& value)
{
    int v = static_cast<int>(value);
    *this >> v;
    value = static_cast<unsigned int>(v);
    return *this;
}

CUBuffer& CUBuffer::operator>>(float& value)
{
    unsigned char in[4];
    Read(in, 4);
    uint32_t bits = static_cast<uint32_t>(GetLE(in, 4));
    std::memcpy(&value, &bits, sizeof value);
    return *this;
}

CUBuffer& CUBuffer::operator>>(short& value)
{
    unsigned char in[2];
    Read(in, 2);
    value = static_cast<int16_t>(static_cast<uint16_t>(GetLE(in, 2)));
    return *this;
}

CUBuffer& CUBuffer::operator>>(unsigned short& value)
{
    unsigned char in[2];
    Read(in, 2);
    value = static_cast<uint16_t>(GetLE(in, 2));
    return *this;
}

CUBuffer& CUBuffer::operator>>(char& value)
{
    unsigned char in;
    Read(&in, 1);
    value = static_cast<char>(in);
    return *this;
}

CUBuffer& CUBuffer::operator>>(unsigned char& value)
{
    return Read(&value, 1);
}

// ---------------------------------------------------------- nested buffers

void CUBuffer::Write(CUBuffer& to)
{
    // Snapshot first: writing a buffer into itself moves its own fields.
    std::vector<unsigned char> content(m_data, m_data + m_size);
    int blockSize = m_blockSize, size = m_size, position = m_position;
    unsigned char flags = m_flags & ~cm_borrowed;
    to << blockSize << size;
    to.Write(content.data(), size);
    to << position << flags;
}

void CUBuffer::Read(CUBuffer& from)
{
    if (&from == this)
        return;
    m_size = 0;
    int blockSize = 0, size = 0, position = 0;
    unsigned char flags = 0;
    from >> blockSize >> size;
    size = std::clamp(size, 0, from.Remaining());
    if (blockSize < 0 || blockSize > std::max(cm_maxStoredBlockSize, size))
        blockSize = cm_defaultBlockSize;
    m_blockSize = blockSize;
    SetSize(size);
    from.Read(m_data, size);
    from >> position >> flags;
    m_position = std::clamp(position, 0, m_size);
    // Whether the memory is borrowed is this buffer's own state, never stored.
    m_flags = (flags & ~cm_borrowed) | (m_flags & cm_borrowed);
}

// ------------------------------------------------------------------- lines

int CUBuffer::GetString(CUString& line)
{
    for (int i = 0; i < m_size; ++i) {
        if (m_data[i] == '\n' || m_data[i] == '\0') {
            line.Assign(reinterpret_cast<char const*>(m_data), i);
            Remove(i + 1);
            return 1;
        }
    }
    return 0;
}

// ------------------------------------------------------------- compression

int CUBuffer::Compress(int level, int header)
{
    if ((m_flags & cm_compressed) || m_size == 0)
        return 1;
    z_stream zs{};
    if (deflateInit(&zs, level) != Z_OK)
        return 0;
    CUBuffer out(m_blockSize);
    if (header)
        out << 0;  // room for minus the total size
    std::vector<unsigned char> chunk(cm_zlibChunk);
    zs.next_in = m_data;
    zs.avail_in = static_cast<uInt>(m_size);
    int ret;
    do {
        zs.next_out = chunk.data();
        zs.avail_out = cm_zlibChunk;
        ret = deflate(&zs, Z_FINISH);
        int produced = cm_zlibChunk - static_cast<int>(zs.avail_out);
        if ((ret != Z_OK && ret != Z_STREAM_END && ret != Z_BUF_ERROR) ||
            (ret == Z_BUF_ERROR && produced == 0) || out.m_size > INT_MAX - produced) {
            deflateEnd(&zs);
            return 0;
        }
        out.Write(chunk.data(), produced);
    } while (ret != Z_STREAM_END);
    deflateEnd(&zs);
    if (header)
        PutLE(out.m_data, static_cast<uint32_t>(-out.m_size), 4);
    out.m_flags = cm_compressed | (m_flags & cm_enciphered);
    Adopt(out);
    return 1;
}

int CUBuffer::Expand(int force, int header)
{
    if (!(force || (m_flags & cm_compressed)) || m_size == 0)
        return 1;
    int streamStart = 0, streamEnd = m_size;
    if (header) {
        if (m_size < 4)
            return 0;
        int64_t h = static_cast<int32_t>(static_cast<uint32_t>(GetLE(m_data, 4)));
        if (h > -4 || -h > m_size)
            return 0;
        streamStart = 4;
        streamEnd = static_cast<int>(-h);
    }
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return 0;
    CUBuffer out(m_blockSize);
    std::vector<unsigned char> chunk(cm_zlibChunk);
    zs.next_in = m_data + streamStart;
    zs.avail_in = static_cast<uInt>(streamEnd - streamStart);
    int ret;
    do {
        zs.next_out = chunk.data();
        zs.avail_out = cm_zlibChunk;
        ret = inflate(&zs, Z_NO_FLUSH);
        int produced = cm_zlibChunk - static_cast<int>(zs.avail_out);
        // Z_BUF_ERROR here means the input ended before the stream did.
        if ((ret != Z_OK && ret != Z_STREAM_END) || out.m_size > INT_MAX - produced) {
            inflateEnd(&zs);
            return 0;
        }
        out.Write(chunk.data(), produced);
    } while (ret != Z_STREAM_END);
    inflateEnd(&zs);
    if (header && streamEnd < m_size)
        out.Write(m_data + streamEnd, m_size - streamEnd);
    out.m_flags = m_flags & cm_enciphered;
    Adopt(out);
    return 1;
}

// ------------------------------------------------------------ obfuscation

int CUBuffer::Encrypt()
{
    if ((m_flags & cm_enciphered) || m_size == 0)
        return 1;
    constexpr int block = CUCryptor::cm_blockSize;
    int plain = m_size;
    int padded = (plain + block - 1) / block * block;
    if (padded > INT_MAX - 4)
        return 0;
    CUBuffer out(m_blockSize);
    out.SetSize(padded + 4);
    std::memcpy(out.m_data, m_data, plain);
    CUCryptor cryptor;
    for (int at = 0; at < padded; at += block)
        cryptor.EncryptBlock(out.m_data + at);
    PutLE(out.m_data + padded, static_cast<uint32_t>(plain), 4);
    out.m_position = out.m_size;
    out.m_flags = (m_flags & cm_compressed) | cm_enciphered;
    Adopt(out);
    return 1;
}

int CUBuffer::Decrypt()
{
    constexpr int block = CUCryptor::cm_blockSize;
    if (m_size <= 4 || (m_size - 4) % block != 0)
        return 0;
    int padded = m_size - 4;
    int64_t plain = GetLE(m_data + padded, 4);
    if (plain > padded || plain <= padded - block)
        return 0;
    CUBuffer out(m_blockSize);
    out.SetSize(padded);
    std::memcpy(out.m_data, m_data, padded);
    CUCryptor cryptor;
    for (int at = 0; at < padded; at += block)
        cryptor.DecryptBlock(out.m_data + at);
    out.m_size = static_cast<int>(plain);
    out.m_position = out.m_size;
    out.m_flags = m_flags & cm_compressed;
    Adopt(out);
    return 1;
}
