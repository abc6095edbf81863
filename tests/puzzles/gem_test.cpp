#include "puzzle_test_util.h"

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

bool Turn(CPuzzle& p, int move) {
  if (!p.StartMove(nullptr, move)) return false;
  p.CompleteAllMoves(nullptr);
  return true;
}

std::vector<int> AllowedTurns(CGemPuzzle& p) {
  std::vector<int> allowed;
  for (int m = 1; m <= p.GetMoveCount(); ++m)
    if (p.CanMove(m)) allowed.push_back(m);
  return allowed;
}

// Every drag onto an allowed turn carries the pressed facelet towards the released one (so
// each cut's normal is the right-hand axis of its turn), and its reverse is the inverse.
void ExpectDragsTurnTowardsTheRelease(CGemPuzzle& p) {
  std::set<int> reached;
  for (int a = 0; a < p.GetFaceletCount(); ++a)
    for (int b = 0; b < p.GetFaceletCount(); ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (m == 0 || !p.CanMove(m)) continue;
      reached.insert(m);
      EXPECT_EQ(p.MoveFromDrag(b, a), -m) << a << " to " << b;
      CFixMatrix step;
      p.GetMoveRotation(step, m, p.GetMoveStep(m));
      const Vec3 from = CentroidOf(p, *p.GetFaceletById(a)), to = CentroidOf(p, *p.GetFaceletById(b));
      const Vec3 moved = ToVec(step.Transform(FixPoint(from[0], from[1], from[2])));
      EXPECT_LT(Length(Sub(moved, to)), Length(Sub(from, to))) << a << " to " << b << " gives " << m;
    }
  EXPECT_EQ(reached.size(), 2 * AllowedTurns(p).size());
}

// Drags turn the way they go, in the cuboctahedron as built and in the one turned by a sixth.
TEST(Gem, DragsTurnTheWayTheyGo) {
  CGemPuzzle p;
  ExpectDragsTurnTowardsTheRelease(p);
  ASSERT_TRUE(Turn(p, 2));
  ASSERT_TRUE(Turn(p, 1));
  ExpectDragsTurnTowardsTheRelease(p);
}

// A cut through a face would tear the solid apart: as built the girdle and the three tilted
// cuts are whole hexagons; with the girdle turned a sixth only the girdle; with both halves
// turned the turned cuboctahedron's own tilted cuts; after a tilted turn only that cut.
TEST(Gem, RefusesEveryCutThroughAFace) {
  CGemPuzzle p;
  EXPECT_EQ(AllowedTurns(p), (std::vector<int>{1, 2, 3, 4, 5}));
  const auto before = StoredForm(p);
  for (int m : {6, -7, 8}) EXPECT_FALSE(p.StartMove(nullptr, m)) << m;
  EXPECT_EQ(StoredForm(p), before);
  ASSERT_TRUE(Turn(p, 2));
  EXPECT_EQ(AllowedTurns(p), (std::vector<int>{1, 2}));
  ASSERT_TRUE(Turn(p, 1));
  EXPECT_EQ(AllowedTurns(p), (std::vector<int>{1, 2, 6, 7, 8}));
  ASSERT_TRUE(Turn(p, -7));
  EXPECT_EQ(AllowedTurns(p), (std::vector<int>{7}));
}

// In a long game every corner lies exactly on a resting place, which lie far enough apart for
// snapping to be unambiguous; the solid stays closed; Reset gives back the solid as built.
TEST(Gem, LongGamesKeepEveryCornerOnARestingPlaceAndTheSolidClosed) {
  CGemPuzzle p;
  const std::vector<CFixVector> places = p.GetRestingPlaces();
  for (size_t a = 0; a < places.size(); ++a)
    for (size_t b = a + 1; b < places.size(); ++b) {
      const CFixVector &u = places[a], &v = places[b];
      EXPECT_GT(std::max({std::abs(u.x - v.x), std::abs(u.y - v.y), std::abs(u.z - v.z)}), kFixHalf * 11 / 10);
    }
  const auto start = StoredForm(p);
  Randomize(28);
  std::set<size_t> positions;  // told apart by how many turns they allow
  for (int i = 0; i < 1000; ++i) {
    const std::vector<int> allowed = AllowedTurns(p);
    positions.insert(allowed.size());
    ASSERT_TRUE(p.MakeGuardedMove(allowed[Random(0, int(allowed.size()) - 1)] * (Random(0, 1) ? 1 : -1)));
    for (int v = p.GetSharedVertexCount(); v < p.GetVertexCount(); ++v)
      ASSERT_NE(std::find(places.begin(), places.end(), *p.GetVertex(v, kModelVertices)), places.end()) << i;
  }
  EXPECT_EQ(positions, (std::set<size_t>{1, 2, 5}));
  Vec3 area{0, 0, 0};  // (p1 - p0) x (pl - p0) is twice a triangle's area, once a square's
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const CFacelet& f = *p.GetFaceletById(id);
    for (int k = 0; k < 3; ++k) area[k] += NormalOf(p, f)[k] / (f.GetVertexCount() == 3 ? 2 : 1);
  }
  EXPECT_LT(Length(area), 1e-3);
  p.Reset();
  EXPECT_EQ(StoredForm(p), start);
}

class CScrambledGem : public CGemPuzzle {
 public:
  void MarkScrambled() { m_scramblePending = 1, UpdateSolved(); }
};

// Solved when it shows its colours turned as a whole in any way, not in the same shape with
// faces moved; a scrambled Gem turned back is congratulated.
TEST(Gem, SolvedWhenItShowsItsColoursTurnedAsAWhole) {
  CScrambledGem p;
  ASSERT_TRUE(Turn(p, 2));
  EXPECT_FALSE(p.IsSolved());
  ASSERT_TRUE(Turn(p, -1));  // both halves a sixth the same way
  EXPECT_TRUE(p.IsSolved());
  ASSERT_TRUE(Turn(p, 7));
  ASSERT_TRUE(Turn(p, 7));
  EXPECT_FALSE(p.IsSolved());
  p.Reset();
  Randomize(11);
  std::vector<int> game;
  while (game.size() < 60) {
    const int m = Random(1, p.GetMoveCount()) * (Random(0, 1) ? 1 : -1);
    if (p.MakeGuardedMove(m)) game.push_back(m);
  }
  p.MarkScrambled();
  ASSERT_FALSE(p.IsSolved());
  for (size_t i = game.size(); i-- > 0;) ASSERT_TRUE(Turn(p, -game[i]));
  EXPECT_TRUE(p.IsSolved());
  EXPECT_FALSE(p.IsScramblePending());  // rewarded
}

}  // namespace
