#include "puzzle_test_util.h"

#include <gyrix/puzzles/skewb.h>

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<int> PermutationOf(const CPuzzle& p, int move) {
  const CMove* m = p.GetMove(move - 1);
  return std::vector<int>(m->GetPermutation(), m->GetPermutation() + m->GetLength());
}

// The corner each positive turn is right-handed about.
const Vec3 kSkewbCorners[] = {{1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1}};
const Vec3 kXCubeCorners[] = {{1, -1, -1}, {1, 1, -1}, {1, 1, 1},   {1, -1, 1},
                              {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}};

// Each table turn is the rotation its animation shows, carrying exactly what lies beyond its
// cut: the half of the Skewb, the corner of the XCube cut off through its three neighbours.
void ExpectTurnsAreRotationsOfTheirParts(CPuzzle& p, std::span<const Vec3> corners, double cutAt) {
  for (int move = 1; move <= p.GetMoveCount(); ++move) {
    const Vec3& c = corners[move - 1];
    const CTurnPart part =
        CTurnPart::InFrontOf(FixPoint(c[0] * cutAt, c[1] * cutAt, c[2] * cutAt), FixPoint(c[0], c[1], c[2]));
    const CRotationTurn turn = TurnFromRotation(p, move, part);
    ASSERT_TRUE(turn.valid) << move << ": " << turn.error;
    EXPECT_EQ(turn.permutation, PermutationOf(p, move)) << move;
    // Right-handed about the corner: a small positive turn moves a neighbouring corner q the
    // way corner x q points.
    const Vec3 q = {c[0], c[1], -c[2]};
    CFixMatrix step;
    p.GetMoveRotation(step, move, 20);
    const Vec3 moved = ToVec(step.Transform(FixPoint(q[0], q[1], q[2])));
    EXPECT_GT(Dot(Sub(moved, q), Cross(c, q)), 0.1) << move;
  }
}


TEST(Skewb, TableTurnsAreTheRotationsOfTheirHalves) {
  CSkewbPuzzle p;
  ExpectTurnsAreRotationsOfTheirParts(p, kSkewbCorners, 0);
}

TEST(XCube, TableTurnsAreTheRotationsOfTheirCorners) {
  CXCubePuzzle p;
  ExpectTurnsAreRotationsOfTheirParts(p, kXCubeCorners, 1.0 / 3);
}

TEST(Skewb, DragsAcrossAFaceFollowTheirTurns) {
  CSkewbPuzzle p;
  ExpectDragsFollowTheirTurns(p);
  EXPECT_EQ(p.MoveFromDrag(7, 9), 1);
  EXPECT_EQ(p.MoveFromDrag(9, 0), -1);
  EXPECT_EQ(p.MoveFromDrag(6, 18), 0);  // one corner, two faces
  EXPECT_EQ(p.MoveFromDrag(7, 8), 0);   // one face, no strip
}

TEST(XCube, DragsBetweenTrianglesOfACornerFollowTheirTurns) {
  CXCubePuzzle p;
  ExpectDragsFollowTheirTurns(p);
  EXPECT_EQ(p.MoveFromDrag(2, 4), 0);  // one edge piece, two faces: two corners turn it
  EXPECT_EQ(p.MoveFromDrag(0, 2), 0);  // opposite triangles of a face share no corner
}

TEST(Skewb, SolvedOnlyWhenEveryFaceIsOneColour) {
  CSkewbPuzzle p;
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  // Faces 0 and 5 swapped whole: every face still one colour.
  for (int id : p.GetFaceFacelets(0)) p.SetFaceletColour(id, 6);
  for (int id : p.GetFaceFacelets(5)) p.SetFaceletColour(id, 1);
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  // A corner triangle, then a centre, of another colour.
  for (int id : {9, 0}) {
    p.Reset();
    p.SetFaceletColour(id, 2);
    p.UpdateSolved();
    EXPECT_FALSE(p.IsSolved()) << id;
  }
}

}  // namespace
