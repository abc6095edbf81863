// The cube's saved form is fixed: files written by earlier builds must read back as the same
// puzzle, and files this build writes must be what earlier builds wrote. The length and a
// 64-bit FNV-1a hash of each stored form were taken from the cube as first built; any change
// to its vertices, facelets, turns, masks or inner faces changes them.
#include "puzzle_test_util.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

std::uint64_t Fnv1a(const std::vector<unsigned char>& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char b : bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return h;
}

struct StoredCube {
  int n;
  std::size_t length;
  std::uint64_t fresh;
  std::uint64_t turned;  // after kTurns
};

// Layer turns of every axis both ways and a whole-cube turn, as numbers that exist on every
// size: turn a * n + l is layer l of axis a.
std::vector<int> TurnsFor(int n) {
  return {1, -(n + 1), 2 * n, 2, -(3 * n + 1), 2 * n + 1, n, 3 * n + 3, -(2 * n - 1), 3 * n + 2, n + 2};
}

const StoredCube kStored[] = {
    {2, 2245, 0xaea68c18eee9ac13ull, 0x036d982d1525ce12ull},
    {3, 5545, 0x7dd2a3fafac63970ull, 0xcc472c5d929c9fc1ull},
    {4, 10453, 0x124eb633f9e8d244ull, 0x9176bf885fa85295ull},
    {5, 17941, 0xe2b68aacdb65f6deull, 0xa8ae02ac3aac5eafull},
};

TEST(CubeFile, StoredFormsAreThoseOfTheFirstBuild) {
  for (const StoredCube& s : kStored) {
    CCubePuzzle cube(s.n);
    const std::vector<unsigned char> fresh = StoredForm(cube);
    for (int move : TurnsFor(s.n)) cube.DoMove(move, 1);
    const std::vector<unsigned char> turned = StoredForm(cube);
    EXPECT_EQ(fresh.size(), s.length) << s.n;
    EXPECT_EQ(turned.size(), s.length) << s.n;
    EXPECT_EQ(Fnv1a(fresh), s.fresh) << s.n << std::hex << " 0x" << Fnv1a(fresh);
    EXPECT_EQ(Fnv1a(turned), s.turned) << s.n << std::hex << " 0x" << Fnv1a(turned);
  }
}

}  // namespace
