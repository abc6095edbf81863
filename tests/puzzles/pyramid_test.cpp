#include "puzzle_test_util.h"

#include <gyrix/puzzles/pyramid.h>

#include <gtest/gtest.h>

namespace {

std::vector<int> PermutationOf(const CPuzzle& p, int move) {
  const CMove* m = p.GetMove(move - 1);
  return std::vector<int>(m->GetPermutation(), m->GetPermutation() + m->GetLength());
}

// The corners in turn-group order: the apex, then the base corners at 90, 210, 330 degrees.
constexpr int kCornerVertex[4] = {0, 10, 13, 16};

// The table's turns are the rotations their animation shows, each carrying exactly the layers
// above its cut: 4 and 8 of the 12 units down from its corner, or the whole pyramid.
TEST(Pyramid, TableTurnsAreTheRotationsOfTheirLayers) {
  CPyramidPuzzle p;
  for (int corner = 0; corner < 4; ++corner) {
    const Vec3 c = VertexOf(p, kCornerVertex[corner]);
    const Vec3 opposite = {-c[0] / 3, -c[1] / 3, -c[2] / 3};
    for (int layer = 1; layer <= 3; ++layer) {
      const int move = 3 * corner + layer;
      CTurnPart part = CTurnPart::Whole();
      if (layer < 3) {
        const double f = layer / 3.0;
        const CFixVector point = FixPoint(c[0] + f * (opposite[0] - c[0]), c[1] + f * (opposite[1] - c[1]),
                                          c[2] + f * (opposite[2] - c[2]));
        part = CTurnPart::InFrontOf(point, FixPoint(c[0], c[1], c[2]));
      }
      const CRotationTurn turn = TurnFromRotation(p, move, part);
      ASSERT_TRUE(turn.valid) << move << ": " << turn.error;
      EXPECT_EQ(turn.permutation, PermutationOf(p, move)) << move;
    }
  }
}

// Every drag that turns moves the pressed facelet towards the released one.
TEST(Pyramid, DragsTurnTowardsTheRelease) {
  CPyramidPuzzle p;
  int turning = 0;
  for (int a = 0; a < CPyramidPuzzle::kFaceletCount; ++a)
    for (int b = 0; b < CPyramidPuzzle::kFaceletCount; ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (m == 0) continue;
      ++turning;
      EXPECT_NE(std::abs(m) % 3, 0) << "a drag turns the whole pyramid: " << a << " to " << b;
      CFixMatrix step;
      p.GetMoveRotation(step, m, 20);
      const Vec3 from = CentroidOf(p, *p.GetFaceletById(a));
      const Vec3 to = CentroidOf(p, *p.GetFaceletById(b));
      const Vec3 moved = ToVec(step.Transform(FixPoint(from[0], from[1], from[2])));
      EXPECT_LT(Length(Sub(moved, to)), Length(Sub(from, to))) << a << " to " << b << " gives " << m;
    }
  EXPECT_GT(turning, 0);
}

// The base has no ring round the apex; its facelets lie only on the second-layer rings of the
// base corners, so a drag inside it turns one of those or nothing.
TEST(Pyramid, DragsInsideTheBaseOrAlongTwoRingsTurnOnlyWhatOneRingExplains) {
  CPyramidPuzzle p;
  int turning = 0;
  for (int a = 27; a < 36; ++a)
    for (int b = 27; b < 36; ++b) {
      const int m = std::abs(p.MoveFromDrag(a, b));
      turning += m != 0;
      EXPECT_TRUE(m == 0 || m == 5 || m == 8 || m == 11) << a << " to " << b << " gives " << m;
    }
  EXPECT_EQ(turning, 18);  // three ordered pairs of each corner's three base facelets, both ways
  EXPECT_EQ(p.MoveFromDrag(28, 31), 0);  // on the rings of two different corners
  // Neighbours across an edge of the second layer lie on the apex's ring and on the base
  // corner's ring alike.
  for (auto [a, b] : {std::pair{3, 11}, {5, 6}, {8, 9}, {14, 29}}) {
    EXPECT_EQ(p.MoveFromDrag(a, b), 0) << a << " to " << b;
    EXPECT_EQ(p.MoveFromDrag(b, a), 0) << b << " to " << a;
  }
  // Along the apex's second ring, one step each way.
  EXPECT_EQ(p.MoveFromDrag(3, 4), 2);
  EXPECT_EQ(p.MoveFromDrag(4, 3), -2);
}

TEST(Pyramid, SolvedWhenEveryFaceIsOneColour) {
  CPyramidPuzzle p;
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  p.DoMove(3, FALSE);  // the whole pyramid about the apex: faces change colours, still one each
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  p.DoMove(5, FALSE);
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
  p.Reset();
  p.SetFaceletColour(35, 1);
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
}

}  // namespace
