// CUFlag: a fixed-size set of bits, stored as its bytes with no count, so whoever reads one
// back must size it the same way first. Bit i lives in byte i / 8, at value 1 << (i % 8).
#pragma once

#include <cordak/object.h>

#include <vector>

class CUBuffer;

class CUFlag : public CUObject
{
public:
    explicit CUFlag(int bits = 0);
    ~CUFlag() override;

    // Resizes to hold bits bits (rounded up to whole bytes); kept bits stay, new ones are clear.
    void SetSize(int bits);
    int GetSize() const;       // in bits, a multiple of 8
    int GetByteCount() const;

    // Bits outside the set are never set and read as clear.
    int IsSet(int bit) const;
    void Set(int bit);
    void Clear(int bit);
    void Toggle(int bit);
    void ClearAll();
    int CountSet() const;

    unsigned char* GetBytes();
    const unsigned char* GetBytes() const;

    void Read(CUBuffer& from) override;
    void Write(CUBuffer& to) override;

private:
    bool Inside(int bit) const;

    std::vector<unsigned char> m_bytes;
};
