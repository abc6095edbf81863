// The plane-cut puzzles of the catalogue: the BiCube's fused blocks and the Pyramorphix's
// changing shape.
#include "puzzle_test_util.h"

#include <cordak/urand.h>

#include <gtest/gtest.h>

namespace {

std::vector<int> AllowedTurns(CPlaneCutPuzzle& p) {
  std::vector<int> allowed;
  for (int m = 1; m <= p.GetMoveCount(); ++m)
    if (p.CanMove(m)) allowed.push_back(m);
  return allowed;
}

bool Turn(CPuzzle& p, int move) {
  if (!p.StartMove(nullptr, move)) return false;
  p.CompleteAllMoves(nullptr);
  return true;
}

// The fused blocks of a new BiCube cross the cuts y = 1, z = 1 and x = 1.
TEST(BiCube, ANewBiCubeRefusesTheTurnsItsBlocksCross) {
  CBiCubePuzzle p;
  EXPECT_EQ(AllowedTurns(p), (std::vector<int>{1, 3, 5}));
  const auto before = StoredForm(p);
  for (int m : {2, -2, 4, -4, 6, -6}) EXPECT_FALSE(Turn(p, m)) << m;
  EXPECT_EQ(StoredForm(p), before);
}

// Turning the layer z < -1 lays one of its dominoes across the cut y = -1.
TEST(BiCube, ATurnThatLaysABlockAcrossACutBlocksThatCut) {
  CBiCubePuzzle p;
  ASSERT_TRUE(Turn(p, 3));
  EXPECT_EQ(AllowedTurns(p), (std::vector<int>{3, 5}));
  const auto before = StoredForm(p);
  int drags = 0;
  for (int a = 0; a < p.GetFaceletCount(); ++a)
    for (int b = 0; b < p.GetFaceletCount(); ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (std::abs(m) != 1) continue;
      ++drags;
      EXPECT_FALSE(p.StartMove(nullptr, m)) << a << " to " << b;
    }
  EXPECT_GT(drags, 0);
  EXPECT_EQ(StoredForm(p), before);
  EXPECT_EQ(p.GetHistorySize(), 0);
}

// Any allowed game undone turn by turn is solved again.
TEST(BiCube, AnAllowedGameUndoneIsSolved) {
  CBiCubePuzzle p;
  Randomize(17);
  std::vector<int> game;
  while (game.size() < 200) {
    const int m = Random(1, CBiCubePuzzle::kTurns) * (Random(0, 1) ? 1 : -1);
    if (Turn(p, m)) game.push_back(m);
  }
  EXPECT_FALSE(p.IsSolved());
  for (size_t i = game.size(); i-- > 0;) ASSERT_TRUE(Turn(p, -game[i])) << i;
  EXPECT_TRUE(p.IsSolved());
}

// Drags of a scrambled BiCube carry the pressed facelet towards the released one.
TEST(BiCube, DragsTurnTowardsTheRelease) {
  CBiCubePuzzle p;
  Randomize(2);
  p.Scramble();
  int turning = 0;
  for (int a = 0; a < p.GetFaceletCount(); ++a)
    for (int b = 0; b < p.GetFaceletCount(); ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (m == 0) continue;
      ++turning;
      CFixMatrix step;
      p.GetMoveRotation(step, m, p.GetMoveStep(m));
      const Vec3 from = CentroidOf(p, *p.GetFaceletById(a));
      const Vec3 to = CentroidOf(p, *p.GetFaceletById(b));
      const Vec3 moved = ToVec(step.Transform(FixPoint(from[0], from[1], from[2])));
      EXPECT_LT(Length(Sub(moved, to)), Length(Sub(from, to))) << a << " to " << b << " gives " << m;
    }
  EXPECT_GT(turning, 0);
}

TEST(Pyramorphix, ATurnAndItsInverseRestoreEveryCornerExactly) {
  CPyramorphixPuzzle p;
  std::vector<Vec3> start;
  for (int i = 0; i < p.GetVertexCount(); ++i) start.push_back(VertexOf(p, i));
  ASSERT_TRUE(Turn(p, 1));
  EXPECT_FALSE(p.IsSolved());
  ASSERT_TRUE(Turn(p, -1));
  for (int i = 0; i < p.GetVertexCount(); ++i) EXPECT_EQ(VertexOf(p, i), start[i]) << i;
  EXPECT_TRUE(p.IsSolved());
}

// Turning both halves of one cut alike turns the whole puzzle onto the cube's other
// tetrahedron: another shape, still solved. Facelets are judged by place, not by colour.
TEST(Pyramorphix, TheWholePuzzleTurnedIsSolvedInItsOtherShape) {
  CPyramorphixPuzzle p;
  const Vec3 apex = VertexOf(p, 0);
  ASSERT_TRUE(Turn(p, 2));
  ASSERT_TRUE(Turn(p, -5));
  EXPECT_TRUE(p.IsSolved());
  bool apexKept = false;
  for (int i = p.GetSharedVertexCount(); i < p.GetVertexCount(); ++i) apexKept = apexKept || VertexOf(p, i) == apex;
  EXPECT_FALSE(apexKept) << "the shape did not change";
  ColourById(p);
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  ASSERT_TRUE(Turn(p, 3));
  EXPECT_FALSE(p.IsSolved());
}

TEST(Pyramorphix, DragsTurnTowardsTheRelease) {
  CPyramorphixPuzzle p;
  ExpectDragsFollowTheirTurns(p);
}

}  // namespace
