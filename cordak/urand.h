// CURand: the Wichmann-Hill pseudo-random generator (AS 183), and the shared
// instance behind Random and Randomize.
//
// The steps are kept exactly, in 32-bit signed arithmetic, so that a seed gives
// the same sequence everywhere: players share seeds to get the same scramble.
#pragma once

#include <cordak/object.h>

#include <cstdint>

class CURand : public CUObject
{
public:
    // Seeded from the clock when the library loads.
    static CURand cm_rand;

    CURand();  // seeded from the clock
    explicit CURand(int seed);

    // Seed 0 means the current time in seconds. Returns the seed used.
    int Randomize(int seed);
    // Next value in [0, 1); negative while a seed far outside the generator's
    // range settles, which takes a few draws.
    double Rand();
    // low..high (high below low counts as low). Only 1000 different draws
    // exist, so a range wider than 1000 values yields low..low+999.
    int Random(int low, int high);

private:
    std::int32_t m_s1, m_s2, m_s3;
};

int Randomize(int seed);
int Random(int low, int high);
