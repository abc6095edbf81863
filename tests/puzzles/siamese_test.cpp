// The Siamese cubes: what the shared checks cannot know about the fused cubes.
#include "puzzle_test_util.h"

#include <gyrix/puzzles/siamese.h>

#include <gtest/gtest.h>

#include <set>

namespace {

// The shared column never turns: its top and bottom facelets are in no turn, and every other
// facelet is in at least one.
TEST(Siamese, OnlyTheSharedColumnStaysStill) {
  CSiamesePuzzle p;
  ASSERT_EQ(p.GetFaceletCount(), 94);
  ASSERT_EQ(p.GetMoveCount(), 8);
  int still = 0;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    if (p.GetMoveMask(id) != 0) continue;
    ++still;
    const Vec3 c = CentroidOf(p, *p.GetFaceletById(id));
    EXPECT_NEAR(c[0], 0, 1e-6) << id;
    EXPECT_NEAR(c[1], 0, 1e-6) << id;
  }
  EXPECT_EQ(still, 2);
}

// Each turn carries a slab of nine cells of one cube: twelve facelets round it, and nine
// more on an outer layer's end.
TEST(Siamese, EachTurnCarriesOneSlab) {
  CSiamesePuzzle p;
  for (int k = 0; k < p.GetMoveCount(); ++k) {
    int moving = 0;
    for (int id = 0; id < p.GetFaceletCount(); ++id) moving += (p.GetMoveMask(id) >> k) & 1;
    const CSiamesePuzzle::CLayer& l = CSiamesePuzzle::Layer(k);
    const bool outer = l.lo == -5 || l.hi == 5;
    EXPECT_EQ(moving, outer ? 21 : 12) << "turn " << k + 1;
  }
}

// The sides keep their colours through a turn and back; a turn of a middle layer leaves the
// cube's end faces whole but not the puzzle solved.
TEST(Siamese, SolvedBySides) {
  CSiamesePuzzle p;
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  std::set<int> colours;
  for (int id = 0; id < p.GetFaceletCount(); ++id) colours.insert(p.GetFaceletColour(id));
  EXPECT_EQ(colours.size(), 8u);
  p.DoMove(2, 0);
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
  p.DoMove(-2, 0);
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
}

}  // namespace
