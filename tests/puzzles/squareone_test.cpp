#include "conformance.h"
#include "puzzle_test_util.h"

#include <cordak/urand.h>
#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <algorithm>
#include <set>

namespace {

using Puzzle = CSquareOnePuzzle;

bool Turn(CPuzzle& p, int move) {
  if (!p.StartMove(nullptr, move)) return false;
  p.CompleteAllMoves(nullptr);
  return true;
}

std::set<std::array<int, 3>> SharedCorners(const CPlaneCutPuzzle& p) {
  std::set<std::array<int, 3>> corners;
  for (int i = 0; i < p.GetSharedVertexCount(); ++i) {
    const CFixVector* v = p.GetVertex(i, kModelVertices);
    corners.insert({v->x, v->y, v->z});
  }
  return corners;
}

// Twists the top layer off the slots and lifts it off the cut, as a damaged file could hold it.
void DamageTopLayer(Puzzle& p) {
  CFixMatrix twist;
  twist.RotateY(7);
  p.MarkMovingFacelets(1);
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    if (!p.GetMoveMask(id)) continue;
    const CFacelet* f = p.GetFaceletById(id);
    for (int i = 0; i < f->GetVertexCount(); ++i) {
      CFixVector* v = p.GetVertex(f->GetVertexIndex(i), kModelVertices);
      *v = twist.Transform(*v);
      v->y += 3 * kFixOne / 4;
    }
  }
}

TEST(SquareOne, CornersLieApartAndPlanesStayModerate) {
  Puzzle p;
  ASSERT_EQ(p.GetSharedVertexCount(), Puzzle::kSharedCorners);
  EXPECT_EQ(p.GetFaceletCount(), 66);
  EXPECT_EQ(p.GetInnerFaceletCount(), 4);
  // Snapping takes the first corner within half a unit per coordinate: no point may be that
  // close to two of them, with room for the rotation's rounding.
  for (int a = 0; a < p.GetSharedVertexCount(); ++a)
    for (int b = a + 1; b < p.GetSharedVertexCount(); ++b) {
      const Vec3 d = Sub(VertexOf(p, a), VertexOf(p, b));
      EXPECT_GT(Length(d), 1.0) << a << " " << b;
      EXPECT_GT(std::max({std::abs(d[0]), std::abs(d[1]), std::abs(d[2])}), 0.75) << a << " " << b;
    }
  for (int k = 0; k < p.GetPlaneCount(); ++k) EXPECT_LT(Length(ToVec(p.GetPlane(k)->normal)), 60.0) << k;
}

// A drag counter-clockwise about a plane's normal turns positively, so the positive turn must
// spin that way, carrying the part in front of the plane.
TEST(SquareOne, PositiveTurnsSpinCounterClockwiseAboutTheirPlanes) {
  Puzzle p;
  for (int k = 0; k < 4; ++k) {
    const Vec3 n = ToVec(p.GetPlane(k)->normal);
    CFixMatrix r;
    p.GetMoveRotation(r, k + 1, 10);
    int checked = 0;
    for (int id = 0; id < p.GetFaceletCount(); ++id) {
      const CFacelet& f = *p.GetFaceletById(id);
      if (!p.IsFaceletInFront(k, f)) continue;
      const CFixVector c = FaceletCentroid(f, kModelVertices);
      const Vec3 moved = Sub(ToVec(r.Transform(c)), ToVec(c));
      if (Length(moved) < 0.05) continue;  // on the axis
      EXPECT_GT(Dot(Cross(ToVec(c), moved), n), 0) << "turn " << k + 1 << " facelet " << id;
      ++checked;
    }
    EXPECT_GT(checked, 10) << k;
  }
}

TEST(SquareOne, LayerTurnsStopWhereTheLayerLinesUpAgain) {
  Puzzle p;
  // From solved the top meets the slice again after one slot one way and two the other.
  EXPECT_EQ(p.GetMoveFrames(2), 2);
  EXPECT_EQ(p.GetMoveFrames(-2), 4);  // not the count remembered for turn 2
  EXPECT_EQ(p.GetMoveFrames(4), 4);  // the bottom turns the other way round
  EXPECT_EQ(p.GetMoveFrames(-4), 2);
  EXPECT_EQ(p.GetMoveFrames(1), 9);
  ASSERT_TRUE(Turn(p, 2));
  EXPECT_EQ(p.GetMoveFrames(2), 4);  // searched afresh after the turn
  EXPECT_EQ(p.GetMoveFrames(-2), 2);
  // A quarter turn of a layer shows two colours on each side: not solved.
  ASSERT_TRUE(Turn(p, 2));
  EXPECT_FALSE(p.IsSolved());
  ASSERT_TRUE(Turn(p, -2));
  ASSERT_TRUE(Turn(p, -2));
  EXPECT_TRUE(p.IsSolved());
  // The two slices together flip the whole puzzle; twice over it is back.
  for (int move : {1, 3}) ASSERT_TRUE(Turn(p, move));
  EXPECT_FALSE(p.IsSolved());
  for (int move : {1, 3}) ASSERT_TRUE(Turn(p, move));
  EXPECT_TRUE(p.IsSolved());
}

// Found by fuzzing: a file may put a corner anywhere in the number range, and a layer turn's
// search for its next lined-up place compares that corner with others without overflowing.
TEST(SquareOne, ACornerAtTheEndOfTheRangeLeavesTheLayerSearchSound) {
  for (int far : {INT32_MIN + 1, INT32_MAX}) {
    Puzzle p;
    // A corner of the top layer's first facelet, and one end of the slice line.
    for (int index : {p.GetFaceletById(0)->GetVertexIndex(0), 20}) {
      p.GetVertex(index, kModelVertices)->x = far;
      p.GetVertex(index, kModelVertices)->z = -far;
    }
    for (int move : {2, -2, 4, -4}) EXPECT_GE(p.GetMoveFrames(move), 0) << move;
  }
}

TEST(SquareOne, AStuckLayerRefusesEveryTurnThroughIt) {
  Puzzle p;
  DamageTopLayer(p);
  const int history = p.GetHistorySize();
  for (int move : {2, -2}) {
    EXPECT_EQ(p.GetMoveFrames(move), 0);
    EXPECT_FALSE(p.StartMove(nullptr, move));
  }
  // The slice would cut through the top layer's pieces.
  EXPECT_FALSE(p.StartMove(nullptr, 1));
  EXPECT_FALSE(p.IsBusy());
  EXPECT_EQ(p.GetHistorySize(), history);
  EXPECT_TRUE(p.StartMove(nullptr, 4));  // the bottom is still lined up
  p.CompleteAllMoves(nullptr);
}

TEST(SquareOne, LayerTurnsCarryTheWallsOnTheirSide) {
  Puzzle p;
  ASSERT_TRUE(Turn(p, 1));
  for (int k : {1, 3}) {
    p.MarkMovingFacelets(k);
    int walls = 0;
    for (int id = Puzzle::kFirstLayerWall; id < p.GetFaceletCount(); ++id) {
      if (!(p.GetMoveMask(id) & (1u << k))) continue;
      ++walls;
      // Each wall turns with the rest of its piece.
      for (int other = 0; other < Puzzle::kFirstLayerWall; ++other)
        if (p.PieceOf(other) == p.PieceOf(id)) {
          EXPECT_TRUE(p.GetMoveMask(other) & (1u << k)) << id << " " << other;
        }
    }
    EXPECT_EQ(walls, 8) << k;
  }
}

TEST(SquareOne, ALongGameKeepsEveryCornerOnASharedOneAndTheLayersLinedUp) {
  Puzzle p;
  const std::set<std::array<int, 3>> corners = SharedCorners(p);
  Randomize(14);
  std::vector<int> made;
  for (int i = 0; i < 1000; ++i) {
    const int move = Random(1, 4) * (Random(0, 1) ? 1 : -1);
    if (Turn(p, move)) made.push_back(move);
  }
  EXPECT_EQ(made.size(), 1000u);
  for (int i = 0; i < p.GetVertexCount(); ++i) {
    const CFixVector* v = p.GetVertex(i, kModelVertices);
    ASSERT_TRUE(corners.count({v->x, v->y, v->z})) << i;
  }
  // Undone turn by turn it is solved again.
  for (auto m = made.rbegin(); m != made.rend(); ++m) ASSERT_TRUE(Turn(p, -*m));
  EXPECT_TRUE(p.IsSolved());
}

// Changed shapes are not convex: every frame of every turn from a few scrambled positions
// still shows the nearest faces.
TEST(SquareOne, ScrambledShapesPaintTheNearestFacesAtRestAndTurning) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  ASSERT_TRUE(CEventLoop::Init());
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "squareone", WS_POPUP, CRect(0, 0, 160, 160), nullptr, 0));
  for (int seed : {3, 14, 2026}) {
    Puzzle p;
    Randomize(seed);
    p.Scramble();
    const CFindings found = CheckAnimation(p, &wnd, CSurfaceKind::kClosed, 160, false);
    EXPECT_TRUE(found.Empty()) << "seed " << seed << found.Text();
  }
  wnd.DestroyWindow();
  CEventLoop::ProcessPending();
}

}  // namespace
