#include "puzzle_test_util.h"

#include <gyrix/puzzles/pentagonal.h>

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<int> PermutationOf(const CPuzzle& p, int move) {
  const CMove* m = p.GetMove(move - 1);
  return std::vector<int>(m->GetPermutation(), m->GetPermutation() + m->GetLength());
}

std::vector<int> Inverse(const std::vector<int>& permutation) {
  std::vector<int> inverse(permutation.size());
  for (size_t i = 0; i < permutation.size(); ++i) inverse[permutation[i]] = static_cast<int>(i);
  return inverse;
}

std::vector<int> Compose(const std::vector<int>& first, const std::vector<int>& second) {
  std::vector<int> result(first.size());
  for (size_t i = 0; i < first.size(); ++i) result[i] = second[first[i]];
  return result;
}

std::vector<int> Identity(int count) {
  std::vector<int> identity(count);
  for (int i = 0; i < count; ++i) identity[i] = i;
  return identity;
}

// The facelets a turn moves, and its own centre which turns in place.
CTurnPart MovedBy(const CPuzzle& p, int move, int centre) {
  const std::vector<int> permutation = PermutationOf(p, move);
  std::vector<int> ids = {centre};
  for (int i = 0; i < static_cast<int>(permutation.size()); ++i)
    if (permutation[i] != i) ids.push_back(i);
  return CTurnPart::Facelets(ids);
}

// Every table turn is its rotation's, both ways: the backward turn spins back (an undo and a
// backward drag animate), and a positive turn is right-handed about its face's outward axis.
void ExpectTableTurnsAreTheirRotations(CPuzzle& p, int faceSize, int centrePlace) {
  for (int move = 1; move <= p.GetMoveCount(); ++move) {
    const CTurnPart part = MovedBy(p, move, faceSize * (move - 1) + centrePlace);
    const CRotationTurn forward = TurnFromRotation(p, move, part);
    ASSERT_TRUE(forward.valid) << move << ": " << forward.error;
    EXPECT_EQ(forward.permutation, PermutationOf(p, move)) << move;
    const CRotationTurn backward = TurnFromRotation(p, -move, part);
    ASSERT_TRUE(backward.valid) << -move << ": " << backward.error;
    EXPECT_EQ(backward.permutation, Inverse(PermutationOf(p, move))) << move;

    const Vec3 axis = CPentagonalPuzzle::CornerAxis(move - 1);
    const Vec3 q = CentroidOf(p, *p.GetFaceletById(faceSize * (move - 1) + 1));  // off the axis
    CFixMatrix step;
    p.GetMoveRotation(step, move, 18);
    const Vec3 moved = ToVec(step.Transform(FixPoint(q[0], q[1], q[2])));
    EXPECT_GT(Dot(Sub(moved, q), Cross(axis, q)), 0) << move;
  }
}


void ExpectFiveTurnsAreTheIdentity(const CPuzzle& p) {
  for (int move = 1; move <= p.GetMoveCount(); ++move) {
    std::vector<int> total = Identity(p.GetFaceletCount());
    for (int i = 0; i < 5; ++i) total = Compose(total, PermutationOf(p, move));
    EXPECT_EQ(total, Identity(p.GetFaceletCount())) << move;
    EXPECT_NE(PermutationOf(p, move), Identity(p.GetFaceletCount())) << move;
  }
}

bool Commute(const CPuzzle& p, int a, int b) {
  return Compose(PermutationOf(p, a), PermutationOf(p, b)) == Compose(PermutationOf(p, b), PermutationOf(p, a));
}

bool Neighbours(int a, int b) {
  for (int n : kIcosahedronNeighbours[a])
    if (n == b) return true;
  return false;
}

TEST(Dodecahedron, TableTurnsAreTheRotationsOfTheirFaces) {
  CDodecahedronPuzzle p;
  ExpectTableTurnsAreTheirRotations(p, 11, 10);
  ExpectFiveTurnsAreTheIdentity(p);
}

TEST(Dodecahedron, FacesThatShareNoEdgeTurnIndependently) {
  CDodecahedronPuzzle p;
  for (int a = 1; a <= 12; ++a)
    for (int b = 1; b <= 12; ++b)
      if (a != b) {
        EXPECT_EQ(Commute(p, a, b), !Neighbours(a - 1, b - 1)) << a << ", " << b;
      }
}

TEST(Dodecahedron, TurnKeepsItsCentreAndCarriesItsFaceRound) {
  CDodecahedronPuzzle p;
  for (int k = 0; k < 12; ++k) {
    const std::vector<int> permutation = PermutationOf(p, k + 1);
    EXPECT_EQ(permutation[11 * k + 10], 11 * k + 10);
    EXPECT_EQ(permutation[11 * k + 4], 11 * k);
    EXPECT_EQ(permutation[11 * k + 9], 11 * k + 5);
  }
}

TEST(Dodecahedron, DragsAcrossANeighbourTurnTheFace) {
  CDodecahedronPuzzle p;
  // Corner, edge, corner of face 1 along its edge with face 0.
  EXPECT_EQ(p.MoveFromDrag(11, 20), 1);
  EXPECT_EQ(p.MoveFromDrag(11, 15), 1);
  EXPECT_EQ(p.MoveFromDrag(15, 11), -1);
  EXPECT_EQ(p.MoveFromDrag(20, 11), -1);
  // Corners of one face that no turn carries together; two faces; one facelet.
  EXPECT_EQ(p.MoveFromDrag(0, 2), 0);
  EXPECT_EQ(p.MoveFromDrag(11, 22), 0);
  EXPECT_EQ(p.MoveFromDrag(11, 11), 0);
  ExpectDragsFollowTheirTurns(p);
}

TEST(Dodecahedron, SolvedByFacesAndColoursOnTwoFaces) {
  CDodecahedronPuzzle p;
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  std::vector<int> faces(7, 0);
  for (const std::vector<int>& face : p.GetFaces()) ++faces[p.GetFaceletColour(face.front())];
  EXPECT_EQ(faces, (std::vector<int>{0, 2, 2, 2, 2, 2, 2}));
  p.DoMove(3, FALSE);
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
  p.DoMove(-3, FALSE);
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
}

TEST(PentUltimate, TableTurnsAreTheRotationsOfTheirHalves) {
  CPentUltimatePuzzle p;
  ExpectTableTurnsAreTheirRotations(p, 6, 0);
  ExpectFiveTurnsAreTheIdentity(p);
  for (int move = 1; move <= 12; ++move) {
    const Vec3 axis = CPentagonalPuzzle::CornerAxis(move - 1);
    const CRotationTurn half =
        TurnFromRotation(p, move, CTurnPart::InFrontOf(FixPoint(0, 0, 0), FixPoint(axis[0], axis[1], axis[2])));
    EXPECT_EQ(half.permutation, PermutationOf(p, move)) << move;
  }
}

// The cut a turn shows is the plane through the centre across its own axis.
TEST(PentUltimate, EachTurnShowsTheCutItOpens) {
  CPentUltimatePuzzle p;
  ASSERT_EQ(p.GetInnerFaceletCount(), 6);
  for (int k = 0; k < 12; ++k) {
    const CFacelet* cut = p.GetInnerFaceletAt(p.GetInnerFacelet(k));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->GetVertexCount(), 10);
    const Vec3 axis = CPentagonalPuzzle::CornerAxis(k);
    for (int i = 0; i < cut->GetVertexCount(); ++i) EXPECT_NEAR(Dot(VertexOf(p, cut->GetVertexIndex(i)), axis), 0, 1e-4) << k;
  }
}

TEST(PentUltimate, DragsRoundTheTurnedFaceGoTheShortWay) {
  CPentUltimatePuzzle p;
  // Corners round face 0's centre: one or two places ahead turn face 0 forwards.
  EXPECT_EQ(p.MoveFromDrag(1, 2), 1);
  EXPECT_EQ(p.MoveFromDrag(1, 3), 1);
  EXPECT_EQ(p.MoveFromDrag(1, 4), -1);
  EXPECT_EQ(p.MoveFromDrag(5, 1), 1);
  EXPECT_EQ(p.MoveFromDrag(1, 5), -1);
  // So two corners of face 1 turn face 1, even where turn 1 carries both.
  EXPECT_EQ(p.MoveFromDrag(8, 10), 2);
  // From a corner of a neighbour to its centre, the way turn 1 sweeps it; two faces; one facelet.
  EXPECT_EQ(p.MoveFromDrag(8, 6), 1);
  EXPECT_EQ(p.MoveFromDrag(6, 8), -1);
  EXPECT_EQ(p.MoveFromDrag(8, 14), 0);
  EXPECT_EQ(p.MoveFromDrag(8, 8), 0);
  ExpectDragsFollowTheirTurns(p);
}

CTurnPart InFrontAlong(const Vec3& axis, double depth) {
  return CTurnPart::InFrontOf(FixPoint(axis[0] * depth, axis[1] * depth, axis[2] * depth),
                              FixPoint(axis[0], axis[1], axis[2]));
}

// A tip turn carries what lies beyond the plane through the midpoints of the corner's edges, a
// cap turn what lies beyond the plane through its five neighbours: the tips and the rest of
// the five faces round the corner. Both ways, about one axis.
TEST(Icosahedron, TipAndCapTurnsAreTheRotationsOfTheirParts) {
  CIcosahedronPuzzle p;
  ASSERT_EQ(p.GetMoveCount(), 24);
  for (int move = 1; move <= 24; ++move) {
    const Vec3 axis = CPentagonalPuzzle::CornerAxis((move - 1) % 12);
    const CTurnPart part = InFrontAlong(axis, move <= 12 ? 0.70 : 0.40);
    const CRotationTurn forward = TurnFromRotation(p, move, part);
    const CRotationTurn backward = TurnFromRotation(p, -move, part);
    ASSERT_TRUE(forward.valid && backward.valid) << move;
    EXPECT_EQ(forward.permutation, PermutationOf(p, move)) << move;
    EXPECT_EQ(backward.permutation, Inverse(PermutationOf(p, move))) << move;
    int moved = 0;
    for (int i = 0; i < 120; ++i) moved += PermutationOf(p, move)[i] != i;
    EXPECT_EQ(moved, move <= 12 ? 5 : 30) << move;
  }
  // The cap carries its tips as the tip turn does.
  for (int move = 1; move <= 12; ++move)
    for (int i = 0; i < 120; ++i)
      if (PermutationOf(p, move)[i] != i) {
        EXPECT_EQ(PermutationOf(p, move + 12)[i], PermutationOf(p, move)[i]);
      }
  ExpectFiveTurnsAreTheIdentity(p);
}

TEST(Icosahedron, EveryTurnDragsBothWaysRoundItsCorner) {
  CIcosahedronPuzzle p;
  EXPECT_EQ(p.MoveFromDrag(0, 6), 1);   // tips round corner 0
  EXPECT_EQ(p.MoveFromDrag(6, 0), -1);
  EXPECT_EQ(p.MoveFromDrag(3, 9), 13);  // the middle pieces beside them
  EXPECT_EQ(p.MoveFromDrag(9, 3), -13);
  EXPECT_EQ(p.MoveFromDrag(0, 18), -1);  // three places ahead is two back
  EXPECT_EQ(p.MoveFromDrag(0, 3), 0);
  ExpectDragsFollowTheirTurns(p);
}

// A second puzzle builds the same turns, and the first keeps its own.
TEST(Icosahedron, EachPuzzleDerivesItsOwnTurns) {
  CIcosahedronPuzzle first;
  const std::vector<int> cap = PermutationOf(first, 13);
  CIcosahedronPuzzle second;
  EXPECT_EQ(PermutationOf(second, 13), cap);
  EXPECT_EQ(PermutationOf(first, 13), cap);
  EXPECT_EQ(second.MoveFromDrag(3, 9), 13);
}

TEST(Icosahedron, SolvedOnlyWithEveryFaceInItsPlace) {
  CIcosahedronPuzzle p;
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  p.DoMove(13, FALSE);  // every face stays one colour, in another place
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
}

// The turns can turn the whole icosahedron, so a solve may end with it turned any way.
TEST(Icosahedron, SolvedWhenTurnedAsAWhole) {
  CIcosahedronPuzzle p;
  for (int corner : {1, 6}) {
    const CRotationTurn whole = TurnFromRotation(p, corner, CTurnPart::Whole());
    ASSERT_TRUE(whole.valid);
    std::vector<int> colours;
    for (int id = 0; id < p.GetFaceletCount(); ++id) colours.push_back(p.GetFaceletColour(id));
    for (int id = 0; id < p.GetFaceletCount(); ++id) p.SetFaceletColour(whole.permutation[id], colours[id]);
    p.UpdateSolved();
    EXPECT_TRUE(p.IsSolved()) << corner;
  }
  p.DoMove(1, FALSE);
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
}

// A turn spins the spike above the plane through the corner's neighbours: the ten
// triangles that meet at the corner.
TEST(Star, TurnsAreTheRotationsOfTheirSpikes) {
  CStarPuzzle p;
  for (int move = 1; move <= 12; ++move) {
    const Vec3 axis = CPentagonalPuzzle::CornerAxis(move - 1);
    const CTurnPart part = InFrontAlong(axis, 0.5);
    const CRotationTurn forward = TurnFromRotation(p, move, part);
    const CRotationTurn backward = TurnFromRotation(p, -move, part);
    ASSERT_TRUE(forward.valid && backward.valid) << move;
    EXPECT_EQ(forward.permutation, PermutationOf(p, move)) << move;
    EXPECT_EQ(backward.permutation, Inverse(PermutationOf(p, move))) << move;
    for (int id = 0; id < 60; ++id) {
      const CFacelet* f = p.GetFaceletById(id);
      bool atCorner = false;
      for (int i = 0; i < f->GetVertexCount(); ++i) atCorner = atCorner || f->GetVertexIndex(i) == move - 1;
      EXPECT_EQ(PermutationOf(p, move)[id] != id, atCorner) << move << ": " << id;
    }
  }
  ExpectFiveTurnsAreTheIdentity(p);
}

TEST(Star, DragsGoRoundTheSpike) {
  CStarPuzzle p;
  EXPECT_EQ(p.MoveFromDrag(8, 9), 1);
  EXPECT_EQ(p.MoveFromDrag(9, 8), -1);
  EXPECT_EQ(p.MoveFromDrag(8, 0), 0);  // straight across the spike
  ExpectDragsFollowTheirTurns(p);
}

TEST(Star, EachPlaneShowsOneColour) {
  CStarPuzzle p;
  for (const std::vector<int>& plane : p.GetFaces()) {
    ASSERT_EQ(plane.size(), 5u);
    const Vec3 n = NormalOf(p, *p.GetFaceletById(plane[0]));
    for (int id : plane) {
      EXPECT_EQ(p.GetFaceletColour(id), p.GetFaceletColour(plane[0]));
      EXPECT_LT(Length(Cross(NormalOf(p, *p.GetFaceletById(id)), n)), 1e-3 * Length(n) * Length(n));
    }
  }
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  p.DoMove(5, FALSE);
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
}

// Spike turns reach every turn of the whole star, so a star solved in another position is
// solved too.
TEST(Star, SolvedTurnedAsAWhole) {
  CStarPuzzle p;
  CFixMatrix fifth;
  RotateAboutUnitAxis(fifth, CPentagonalPuzzle::CornerAxis(0), 72);
  const CRotationTurn whole = TurnFromMatrix(p, fifth, CTurnPart::Whole());
  ASSERT_TRUE(whole.valid);
  const std::vector<int> solved = ColoursById(p);
  for (int id = 0; id < 60; ++id) p.SetFaceletColour(whole.permutation[id], solved[id]);
  ASSERT_NE(ColoursById(p), solved);
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
}

}  // namespace
