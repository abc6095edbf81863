#include <cordak/crypt.h>

#include <cstring>

namespace {

constexpr int kRounds = 4;
constexpr int kSpread = 7;  // odd, so i -> 7i + r mod 32 is a permutation
constexpr char kBuiltInKey[] = "Gyrix/Cordak settings";

constexpr int N = CUCryptor::cm_blockSize;

unsigned char RotateLeft(unsigned char v, int n)
{
    return static_cast<unsigned char>((v << n) | (v >> (8 - n)));
}

unsigned char RotateRight(unsigned char v, int n)
{
    return static_cast<unsigned char>((v >> n) | (v << (8 - n)));
}

int RoundRotation(int round)
{
    return round % 7 + 1;
}

// Each byte takes the running sum of the bytes before it, so one changed
// byte changes everything after it.
void Chain(unsigned char* b)
{
    b[0] = static_cast<unsigned char>(b[0] + b[N - 1]);
    for (int i = 1; i < N; ++i)
        b[i] = static_cast<unsigned char>(b[i] + b[i - 1]);
}

void Unchain(unsigned char* b)
{
    for (int i = N - 1; i >= 1; --i)
        b[i] = static_cast<unsigned char>(b[i] - b[i - 1]);
    b[0] = static_cast<unsigned char>(b[0] - b[N - 1]);
}

void Spread(unsigned char* b, int round)
{
    unsigned char old[N];
    std::memcpy(old, b, N);
    for (int i = 0; i < N; ++i)
        b[i] = old[(kSpread * i + round) % N];
}

void Unspread(unsigned char* b, int round)
{
    unsigned char old[N];
    std::memcpy(old, b, N);
    for (int i = 0; i < N; ++i)
        b[(kSpread * i + round) % N] = old[i];
}

}  // namespace

CUCryptor::CUCryptor()
{
    SetKey(kBuiltInKey);
}

CUCryptor::CUCryptor(char const* key)
{
    SetKey(key && *key ? key : kBuiltInKey);
}

void CUCryptor::SetKey(char const* key)
{
    for (int i = 0; i < N; ++i)
        m_key[i] = static_cast<unsigned char>(i * 37 + 101);
    for (int j = 0; key[j] != '\0'; ++j) {
        unsigned char& k = m_key[j % N];
        k = static_cast<unsigned char>(RotateLeft(k ^ static_cast<unsigned char>(key[j]), 3) + j * 13);
    }
    // Let every key byte depend on every other.
    for (int pass = 0; pass < 2; ++pass)
        Chain(m_key);
}

void CUCryptor::EncryptBlock(unsigned char block[cm_blockSize]) const
{
    for (int r = 0; r < kRounds; ++r) {
        for (int i = 0; i < N; ++i)
            block[i] = RotateLeft(block[i] ^ m_key[(i + 5 * r) % N], RoundRotation(r));
        Chain(block);
        Spread(block, r);
    }
}

void CUCryptor::DecryptBlock(unsigned char block[cm_blockSize]) const
{
    for (int r = kRounds - 1; r >= 0; --r) {
        Unspread(block, r);
        Unchain(block);
        for (int i = 0; i < N; ++i)
            block[i] = RotateRight(block[i], RoundRotation(r)) ^ m_key[(i + 5 * r) % N];
    }
}
