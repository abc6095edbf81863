#include <cordak/flag.h>

#include <cordak/buffer.h>

#include <bit>
#include <cstddef>

CUFlag::CUFlag(int bits) { SetSize(bits); }

CUFlag::~CUFlag() = default;

void CUFlag::SetSize(int bits)
{
    if (bits < 0) bits = 0;
    m_bytes.resize(static_cast<std::size_t>((bits + 7) / 8), 0);
}

int CUFlag::GetSize() const { return GetByteCount() * 8; }

int CUFlag::GetByteCount() const { return static_cast<int>(m_bytes.size()); }

bool CUFlag::Inside(int bit) const { return bit >= 0 && bit < GetSize(); }

int CUFlag::IsSet(int bit) const
{
    return Inside(bit) && (m_bytes[bit / 8] & (1u << (bit % 8))) != 0;
}

void CUFlag::Set(int bit)
{
    if (Inside(bit)) m_bytes[bit / 8] |= static_cast<unsigned char>(1u << (bit % 8));
}

void CUFlag::Clear(int bit)
{
    if (Inside(bit)) m_bytes[bit / 8] &= static_cast<unsigned char>(~(1u << (bit % 8)));
}

void CUFlag::Toggle(int bit)
{
    if (Inside(bit)) m_bytes[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
}

void CUFlag::ClearAll()
{
    for (unsigned char& b : m_bytes) b = 0;
}

int CUFlag::CountSet() const
{
    int n = 0;
    for (unsigned char b : m_bytes) n += std::popcount(static_cast<unsigned>(b));
    return n;
}

unsigned char* CUFlag::GetBytes() { return m_bytes.data(); }

const unsigned char* CUFlag::GetBytes() const { return m_bytes.data(); }

void CUFlag::Read(CUBuffer& from)
{
    if (!m_bytes.empty()) from.Read(m_bytes.data(), GetByteCount());
}

void CUFlag::Write(CUBuffer& to)
{
    if (!m_bytes.empty()) to.Write(m_bytes.data(), GetByteCount());
}
