#include <cordak/urand.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

// Wichmann-Hill: three small multiplicative generators with these moduli,
// multipliers and Schrage factors (modulus = multiplier * q + r).
constexpr std::int32_t kModulus1 = 30269, kMultiplier1 = 171, kQ1 = 177, kR1 = 2;
constexpr std::int32_t kModulus2 = 30307, kMultiplier2 = 172, kQ2 = 176, kR2 = 35;
constexpr std::int32_t kModulus3 = 30323, kMultiplier3 = 170, kQ3 = 178, kR3 = 63;

constexpr int kDraws = 1000;

// One step of one generator; the correction is applied once only, so a seed far
// outside the modulus takes a few steps to settle.
std::int32_t Step(std::int32_t s, std::int32_t multiplier, std::int32_t q, std::int32_t r, std::int32_t modulus)
{
    s = multiplier * (s % q) - r * (s / q);
    if (s < 0)
        s += modulus;
    return s;
}

}  // namespace

CURand CURand::cm_rand;

CURand::CURand() : m_s1(0), m_s2(0), m_s3(0)
{
    Randomize(0);
}

CURand::CURand(int seed) : m_s1(0), m_s2(0), m_s3(0)
{
    Randomize(seed);
}

int CURand::Randomize(int seed)
{
    if (seed == 0)
        seed = static_cast<std::int32_t>(static_cast<std::uint32_t>(std::time(nullptr)));
    m_s1 = m_s2 = m_s3 = seed;
    return seed;
}

double CURand::Rand()
{
    m_s1 = Step(m_s1, kMultiplier1, kQ1, kR1, kModulus1);
    m_s2 = Step(m_s2, kMultiplier2, kQ2, kR2, kModulus2);
    m_s3 = Step(m_s3, kMultiplier3, kQ3, kR3, kModulus3);
    double r = m_s3 * (1.0 / kModulus3);
    r += m_s2 * (1.0 / kModulus2);
    r += m_s1 * (1.0 / kModulus1);
    return r - std::trunc(r);
}

int CURand::Random(int low, int high)
{
    if (high < low)
        high = low;
    std::int64_t v = static_cast<std::int64_t>(Rand() * kDraws);
    std::int64_t range = static_cast<std::int64_t>(high) - low + 1;
    return static_cast<int>(low + std::llabs(v) % range);
}

int Randomize(int seed)
{
    return CURand::cm_rand.Randomize(seed);
}

int Random(int low, int high)
{
    return CURand::cm_rand.Random(low, high);
}
