#include "puzzle_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

// The cube with its animation state open, to look at the painting order of a turn.
class CTestCube : public CCubePuzzle {
 public:
  using CCubePuzzle::CCubePuzzle;
  // What DrawMoveFrame sets up before it sorts: the frame vertices of the turn at an angle.
  void PrepareFrame(int move, int angle) {
    m_currentMove = move;
    CFixMatrix m;
    GetMoveRotation(m, move, angle);
    m.Multiply(GetViewMatrix());
    m.TransformList(ModelVertices(), FrameVertices());
    UpdateView();
    SortFacelets();
  }
  void StopTurn() { m_currentMove = 0; }

  // Probes replaced by a fixed view, so that notation can be checked without a drawing.
  BOOL FindOrientation(int& left, int& top, int& right) override {
    if (!seen) return CCubePuzzle::FindOrientation(left, top, right);
    left = seen[0], top = seen[1], right = seen[2];
    return seen[0] >= 0;
  }
  const int* seen = nullptr;
};

std::vector<int> PermutationOf(const CPuzzle& p, int move) {
  const CMove* m = p.GetMove(move - 1);
  return std::vector<int>(m->GetPermutation(), m->GetPermutation() + m->GetLength());
}

// To whole units: the cosine table's -90 degrees is a hair off.
CFixVector Rounded(const CFixVector& v) {
  return CFixVector((v.x + 0x8000) >> 16, (v.y + 0x8000) >> 16, (v.z + 0x8000) >> 16);
}

std::vector<int> QueuedMoves(const CPuzzle& p) {
  std::vector<int> moves;
  for (int i = p.GetHistoryPosition(); i < p.GetHistorySize(); ++i) moves.push_back(p.GetHistoryMove(i));
  return moves;
}

// The turns of the 2x2x2 as face cycles and runs of strips.
struct ReferenceTurn {
  int face[4];
  int strip[4];
  int delta[4];
};
const ReferenceTurn kReference2[6] = {
    {{0, 1, 2, 3}, {4, 6, 8, 10}, {1, 1, 1, 1}},         {{20, 21, 22, 23}, {12, 14, 16, 18}, {1, 1, 1, 1}},
    {{16, 17, 9, 8}, {15, 23, 10, 2}, {-8, -1, 8, 1}},   {{4, 5, 13, 12}, {0, 6, 21, 19}, {1, 8, -1, -8}},
    {{18, 19, 11, 10}, {17, 20, 4, 3}, {-8, 3, 8, -3}},  {{6, 7, 15, 14}, {1, 8, 22, 13}, {1, 8, -1, -8}},
};

TEST(Cube, SizesTurnsAndVertexRings) {
  const int vertices[4] = {26, 56, 98, 152};
  const int inner[4] = {3, 6, 3, 3};
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    EXPECT_EQ(cube.GetSize(), n);
    EXPECT_EQ(cube.GetTypeId(), n - 2);
    EXPECT_EQ(cube.GetFaceletCount(), 6 * n * n);
    EXPECT_EQ(cube.GetMoveCount(), 3 * n + 3);
    EXPECT_EQ(cube.GetVertexCount(), vertices[n - 2]);
    EXPECT_EQ(cube.GetInnerFaceletCount(), inner[n - 2]);
    EXPECT_EQ(cube.GetCapabilities(), 3);
  }
  // Sizes the family does not have make the 3x3x3.
  EXPECT_EQ(CCubePuzzle(9).GetSize(), 3);
  // The first ring of the 3x3x3 is the centre square at the top, in ring order.
  CCubePuzzle three(3);
  EXPECT_EQ(VertexOf(three, 0), (Vec3{-1, -1, 3}));
  EXPECT_EQ(VertexOf(three, 1), (Vec3{1, -1, 3}));
  EXPECT_EQ(VertexOf(three, 4), (Vec3{-3, -3, 3}));
  EXPECT_EQ(VertexOf(three, 7), (Vec3{3, -3, 3}));
  EXPECT_EQ(VertexOf(three, 55), (Vec3{-1, 1, -3}));
}

TEST(Cube, TwoByTwoFaceletsSitOnTheirRings) {
  CCubePuzzle cube(2);
  auto ring = [](int first, int i) { return first + ((i % 8) + 8) % 8; };
  for (int j = 0; j < 4; ++j) {
    const CFacelet* top = cube.GetFaceletById(j);
    const int expectTop[4] = {0, ring(1, 2 * j - 1), ring(1, 2 * j), ring(1, 2 * j + 1)};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(top->GetVertexIndex(i), expectTop[i]) << "top " << j;
    const CFacelet* bottom = cube.GetFaceletById(20 + j);
    const int expectBottom[4] = {ring(17, 2 * j + 1), ring(17, 2 * j), ring(17, 2 * j - 1), 25};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bottom->GetVertexIndex(i), expectBottom[i]) << "bottom " << j;
  }
  // Side band: row 1 starts at the ring's first vertex.
  const CFacelet* side = cube.GetFaceletById(4);
  EXPECT_EQ(side->GetVertexIndex(0), 1);
  EXPECT_EQ(side->GetVertexIndex(1), 9);
}

// The layer turns are built from the geometry for every size; on the 2x2x2 they are exactly
// the reference cycles.
TEST(Cube, TwoByTwoTurnsAreTheReferenceTable) {
  CCubePuzzle cube(2);
  for (int t = 0; t < 6; ++t) {
    std::vector<int> perm(24);
    std::iota(perm.begin(), perm.end(), 0);
    CPolyModel::CycleFacelets(perm.data(), kReference2[t].face, 4);
    for (int i = 0; i < 2; ++i) {
      int cycle[4];
      for (int c = 0; c < 4; ++c) cycle[c] = kReference2[t].strip[c] + i * kReference2[t].delta[c];
      CPolyModel::CycleFacelets(perm.data(), cycle, 4);
    }
    EXPECT_EQ(PermutationOf(cube, t + 1), perm) << "turn " << t + 1;
  }
}

TEST(Cube, WholeCubeTurnsAreAllLayersTogetherAndMarkEverything) {
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    for (int axis = 0; axis < 3; ++axis) {
      std::vector<int> expect(6 * n * n);
      std::iota(expect.begin(), expect.end(), 0);
      for (int layer = 1; layer <= n; ++layer) {
        const std::vector<int> perm = PermutationOf(cube, axis * n + layer);
        for (int f = 0; f < 6 * n * n; ++f)
          if (perm[f] != f) expect[f] = perm[f];
      }
      const int whole = 3 * n + 1 + axis;
      EXPECT_EQ(PermutationOf(cube, whole), expect) << n << " axis " << axis;
      for (int f = 0; f < 6 * n * n; ++f) EXPECT_TRUE(cube.GetMoveMask(f) & (1u << (whole - 1))) << n << " " << f;
    }
  }
}

// On odd cubes the face centre stays in place under its face turn, and must still turn with
// the layer in the animation; nothing else carries the bits of two layers of one axis.
TEST(Cube, EveryFaceletBelongsToOneLayerOfEachAxis) {
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    for (int f = 0; f < 6 * n * n; ++f) {
      for (int axis = 0; axis < 3; ++axis) {
        int layers = 0;
        for (int layer = 1; layer <= n; ++layer) layers += (cube.GetMoveMask(f) >> (axis * n + layer - 1)) & 1;
        EXPECT_EQ(layers, 1) << "n " << n << " facelet " << f << " axis " << axis;
      }
    }
  }
  CCubePuzzle five(5);
  EXPECT_TRUE(five.GetMoveMask(0) & 1u);                  // top centre, turn 1
  EXPECT_TRUE(five.GetMoveMask(149) & (1u << (5 - 1)));  // bottom centre, turn 5
}

TEST(Cube, FacesRowsAndRingPositions) {
  CCubePuzzle cube(3);
  EXPECT_EQ(cube.GetFace(8), 0);
  EXPECT_EQ(cube.GetFace(9), 1);
  EXPECT_EQ(cube.GetFace(12), 2);
  EXPECT_EQ(cube.GetFace(20), 4);
  EXPECT_EQ(cube.GetFace(21), 1);  // second row begins on face 1 again
  EXPECT_EQ(cube.GetFace(45), 5);
  EXPECT_EQ(cube.GetFace(54), -1);
  EXPECT_EQ(cube.GetRow(21), 2);
  EXPECT_EQ(cube.GetRingPosition(21), 1);
  EXPECT_EQ(cube.GetRingPosition(44), 12);
  EXPECT_EQ(cube.GetRingPosition(3), 0);
  // Each side face's facelets lie on its side of the cube.
  for (int f = 9; f < 45; ++f) {
    const Vec3 c = CentroidOf(cube, *cube.GetFaceletById(f));
    const Vec3 outward[4] = {{0, -3, 0}, {3, 0, 0}, {0, 3, 0}, {-3, 0, 0}};
    EXPECT_DOUBLE_EQ(Dot(c, outward[cube.GetFace(f) - 1]), 9.0) << f;
  }
}

TEST(Cube, InnerFacesAreTheCutSquares) {
  // The 2x2x2's three cuts, through every vertex on their borders, corners first at
  // positions 0, 2, 4 and 6.
  CCubePuzzle two(2);
  const int corners[3][4] = {{9, 11, 13, 15}, {8, 4, 20, 24}, {2, 6, 22, 18}};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(two.GetInnerFaceletAt(i)->GetVertexCount(), 8);
    for (int v = 0; v < 4; ++v) EXPECT_EQ(two.GetInnerFaceletAt(i)->GetVertexIndex(2 * v), corners[i][v]);
  }
  // Every inner face of every size is a full square across the cube in a plane between
  // two layers, its border running once round through 4n vertices.
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    const double h = VertexOf(cube, cube.GetFaceletById(1)->GetVertexIndex(1))[2];
    const double step = 2 * h / n;
    for (int i = 0; i < cube.GetInnerFaceletCount(); ++i) {
      const CFacelet* inner = cube.GetInnerFaceletAt(i);
      ASSERT_EQ(inner->GetVertexCount(), 4 * n);
      std::vector<Vec3> border;
      for (int v = 0; v < 4 * n; ++v) border.push_back(VertexOf(cube, inner->GetVertexIndex(v)));
      int across = -1;
      for (int k = 0; k < 3; ++k) {
        bool flat = true;
        for (const Vec3& p : border) flat = flat && p[k] == border[0][k];
        if (flat) across = k;
      }
      ASSERT_GE(across, 0) << n << " inner " << i;
      const double cut = (h - border[0][across]) / step;
      EXPECT_GT(cut, 0.5);
      EXPECT_LT(cut, n - 0.5);
      EXPECT_DOUBLE_EQ(cut, std::round(cut));
      for (int v = 0; v < 4 * n; ++v) {
        // Each step runs one facelet edge along the border of the square.
        EXPECT_DOUBLE_EQ(Length(Sub(border[(v + 1) % (4 * n)], border[v])), step) << n << " " << i;
        double outer = 0;
        for (int k = 0; k < 3; ++k)
          if (k != across) outer = std::max(outer, std::abs(border[v][k]));
        EXPECT_DOUBLE_EQ(outer, h);
      }
    }
  }
}

TEST(Cube, RotationAndAxisOfTurns) {
  CCubePuzzle cube(3);
  const CFixVector x(1, 0, 0);
  CFixMatrix m;
  cube.GetMoveRotation(m, 1, 90);  // axis 0: about Z
  EXPECT_EQ(Rounded(m.Transform(x)), CFixVector(0, 1, 0));
  CFixMatrix back;
  cube.GetMoveRotation(back, -1, 90);
  EXPECT_EQ(Rounded(back.Transform(x)), CFixVector(0, -1, 0));
  CFixMatrix y;
  cube.GetMoveRotation(y, 11, 90);  // whole cube about axis 1: Y
  EXPECT_EQ(Rounded(y.Transform(x)), CFixVector(0, 0, -1));
  CFixMatrix none;
  cube.GetMoveRotation(none, 13, 90);
  EXPECT_EQ(none, CFixMatrix());

  CFixVector a, b;
  EXPECT_FALSE(cube.GetMoveAxis(0, a, b));
  CCubePuzzle two(2);
  two.ResetView(200, 200);
  two.UpdateView();
  ASSERT_TRUE(two.GetMoveAxis(2, a, b));
  EXPECT_EQ(a, *two.GetVertex(14, kViewVertices));
  EXPECT_EQ(b, *two.GetVertex(10, kViewVertices));
  ASSERT_TRUE(two.GetMoveAxis(7, a, b));
  EXPECT_EQ(a, *two.GetVertex(7, kViewVertices));
  EXPECT_EQ(b, a);
}

TEST(Cube, SolvedMeansEveryFaceUniform) {
  CCubePuzzle cube(3);
  cube.DoMove(2, 1);  // the middle slice
  EXPECT_FALSE(cube.IsSolved());
  cube.DoMove(-2, 1);
  EXPECT_TRUE(cube.IsSolved());
  // Faces may share a colour; each face on its own must be uniform.
  for (int f = 0; f < 54; ++f) cube.SetFaceletColour(f, cube.GetFace(f) < 3 ? 1 : 2);
  cube.UpdateSolved();
  EXPECT_TRUE(cube.IsSolved());
  cube.SetFaceletColour(53, 1);
  cube.UpdateSolved();
  EXPECT_FALSE(cube.IsSolved());
  // A whole-cube turn keeps a solved cube solved.
  cube.Reset();
  cube.DoMove(10, 1);
  EXPECT_TRUE(cube.IsSolved());
}

// Along the ring of its own axis, a drag by one facelet's place turns the layer; the
// opposite drag turns it back; half-way round and back to the start do nothing.
TEST(Cube, DragsAlongRings) {
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    // The rings of axes 1 and 2 are those of axis 0 after a whole-cube turn.
    const std::vector<int> aboutY = PermutationOf(cube, 3 * n + 2);
    const std::vector<int> aboutX = PermutationOf(cube, 3 * n + 3);
    auto onRing = [&](int f, int axis) {
      const int place = axis == 0 ? f : axis == 1 ? aboutX[aboutX[aboutX[f]]] : aboutY[f];
      return cube.GetRingPosition(place) > 0;
    };
    for (int t = 1; t <= 3 * n; ++t) {
      const std::vector<int> perm = PermutationOf(cube, t);
      int tested = 0;
      for (int f = 0; f < 6 * n * n; ++f) {
        if (perm[f] == f || !onRing(f, (t - 1) / n)) continue;
        ++tested;
        EXPECT_EQ(cube.MoveFromDrag(f, perm[f]), t) << n << ": " << f << " to " << perm[f];
        EXPECT_EQ(cube.MoveFromDrag(perm[f], f), -t);
      }
      EXPECT_EQ(tested, 4 * n) << n << " turn " << t;
    }
  }
  CCubePuzzle cube(3);
  EXPECT_EQ(cube.MoveFromDrag(9, 9), 0);
  EXPECT_EQ(cube.MoveFromDrag(9, 9 + 6), 0);  // half-way round the top row
  EXPECT_EQ(cube.MoveFromDrag(9, 10), 1);
  EXPECT_EQ(cube.MoveFromDrag(9, 9 + 11), -1);
  EXPECT_EQ(cube.MoveFromDrag(-1, 9), 0);
  EXPECT_EQ(cube.MoveFromDrag(9, 999), 0);
}

TEST(Cube, DragsFromTheTopFaceTurnLayersOfTheOtherAxes) {
  CCubePuzzle cube(3);
  int turned = 0;
  for (int f = 0; f < 9; ++f) {
    for (int g = 9; g < 45; ++g) {
      const int m = cube.MoveFromDrag(f, g);
      if (m == 0) continue;
      ++turned;
      int axis = -1, layer = -1;
      ASSERT_TRUE(cube.GetTurnAxis(m, axis, layer));
      EXPECT_NE(axis, 0);
      // Both facelets lie in the turning layer.
      const std::uint32_t bit = 1u << (std::abs(m) - 1);
      EXPECT_TRUE(cube.GetMoveMask(f) & bit);
      EXPECT_TRUE(cube.GetMoveMask(g) & bit);
    }
  }
  EXPECT_GT(turned, 0);
}

// The painting order of a turning layer: layers far to near, the turning one between its
// two cut faces (only one for an outer layer), every facelet once.
TEST(Cube, LayersArePaintedFarToNearWithTheCutFacesBeforeTheTurningOne) {
  for (int n = 2; n <= 5; ++n) {
    for (int layer = 1; layer <= n; ++layer) {
      for (int axis = 0; axis < 3; ++axis) {
        CTestCube cube(n);
        cube.ResetView(400, 400);
        const int move = axis * n + layer;
        cube.PrepareFrame(move, 30);
        std::vector<int> ids;
        std::vector<int> layerOf;
        for (int i = 0; i < cube.GetFaceletCount(); ++i) {
          const int id = cube.GetFacelet(i)->GetId();
          ids.push_back(id);
          for (int l = 1; l <= n; ++l)
            if (cube.GetMoveMask(id) & (1u << (axis * n + l - 1))) layerOf.push_back(l);
        }
        std::sort(ids.begin(), ids.end());
        ASSERT_EQ(ids.size(), static_cast<size_t>(6 * n * n));
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
        ASSERT_EQ(layerOf.size(), ids.size());
        // Layers come in runs, monotonic along the axis.
        const bool rising = layerOf.front() < layerOf.back();
        for (size_t i = 1; i < layerOf.size(); ++i)
          EXPECT_TRUE(rising ? layerOf[i] >= layerOf[i - 1] : layerOf[i] <= layerOf[i - 1]);
        const CMove* turn = cube.GetMove(move - 1);
        const int expected = (layer == 1 || layer == n) ? 1 : 2;
        ASSERT_EQ(turn->GetInsertCount(), expected) << n << " " << move;
        const int start = static_cast<int>(std::find(layerOf.begin(), layerOf.end(), layer) - layerOf.begin());
        for (int i = 0; i < expected; ++i) EXPECT_EQ(turn->GetInsert(i)->position, start);
        if (expected == 2) {
          // The far cut face stays, the near one turns with the layer.
          EXPECT_EQ(turn->GetInsert(0)->vertexList, CMoveInsert::kViewList);
          EXPECT_EQ(turn->GetInsert(1)->vertexList, CMoveInsert::kFrameList);
          EXPECT_NE(turn->GetInsert(0)->innerFacelet, turn->GetInsert(1)->innerFacelet);
        }
        // Each insert shows a square that touches the turning layer.
        for (int i = 0; i < expected; ++i) {
          const CFacelet* inner = cube.GetInnerFaceletAt(turn->GetInsert(i)->innerFacelet);
          ASSERT_NE(inner, nullptr);
          const double h = n % 2 ? n : n / 2.0;
          const double step = 2 * h / n;
          const int k = axis == 0 ? 2 : axis == 1 ? 1 : 0;
          const double along = (axis == 2 ? -1 : 1) * VertexOf(cube, inner->GetVertexIndex(0))[k];
          const double top = h - (layer - 1) * step;
          const double bottom = h - layer * step;
          EXPECT_TRUE(along == top || along == bottom) << n << " move " << move;
        }
      }
    }
  }
}

TEST(Cube, InnerFacesReturnAfterATurnOfALargeCube) {
  CTestCube cube(4);
  cube.ResetView(400, 400);
  CCubePuzzle fresh(4);
  // Turning the top layer opens a cut that no inner face of the 4x4x4 shows at rest.
  cube.PrepareFrame(1, 45);
  EXPECT_NE(cube.GetInnerFaceletAt(0)->GetVertexIndex(0), fresh.GetInnerFaceletAt(0)->GetVertexIndex(0));
  cube.StopTurn();
  cube.UpdateView();
  cube.SortFacelets();
  // Painting order aside, the inner faces are the constructor's again.
  for (int i = 0; i < cube.GetInnerFaceletCount(); ++i) {
    for (int v = 0; v < 4; ++v)
      EXPECT_EQ(cube.GetInnerFaceletAt(i)->GetVertexIndex(v), fresh.GetInnerFaceletAt(i)->GetVertexIndex(v));
  }
}

TEST(Cube, LetterMapOfTheDefaultView) {
  CCubePuzzle cube(3);
  int map[CCubePuzzle::kLetterCount];
  ASSERT_TRUE(cube.FillLetterMap(3, 2, 5, map));
  // L R on axis 0 (Z), D U on axis 2 (X), F B on axis 1 (Y); m is negated.
  const int expect[15] = {1, 2, -2, -2, -3, 7, 8, 8, -8, -9, 4, 5, 5, -5, -6};
  EXPECT_EQ(std::vector<int>(map, map + 15), std::vector<int>(expect, expect + 15));
  // An even code counts layers from the far end and a negative one turns the other way.
  ASSERT_TRUE(cube.FillLetterMap(5, 2, 1, map));
  EXPECT_EQ(map[0], 4);    // L: code 3, layer 1 of axis 1
  EXPECT_EQ(map[10], -3);  // F: code -2, layer n of axis 0, negated
  EXPECT_FALSE(cube.FillLetterMap(2, 2, 5, map));
  EXPECT_FALSE(cube.FillLetterMap(-1, 2, 5, map));
  // On the 2x2x2, l and R name the same layer in opposite senses.
  CCubePuzzle two(2);
  ASSERT_TRUE(two.FillLetterMap(3, 2, 5, map));
  EXPECT_EQ(map[1], -map[4]);
}

TEST(Cube, NotationModifiers) {
  int map[15];
  for (int i = 0; i < 15; ++i) map[i] = i + 1;
  using V = std::vector<int>;
  EXPECT_EQ(CCubePuzzle::ParseMoves("R", map), V({5}));
  EXPECT_EQ(CCubePuzzle::ParseMoves("R2", map), V({5, 5}));
  EXPECT_EQ(CCubePuzzle::ParseMoves("R'", map), V({-5}));
  EXPECT_EQ(CCubePuzzle::ParseMoves("R3", map), V({-5}));
  EXPECT_EQ(CCubePuzzle::ParseMoves("R1", map), V({5}));
  EXPECT_EQ(CCubePuzzle::ParseMoves("x R, ?L'2 B", map), V({5, -1, 15}));
  EXPECT_EQ(CCubePuzzle::ParseMoves("M2u'", map), V({13, 13, -9}));
  EXPECT_TRUE(CCubePuzzle::ParseMoves("", map).empty());
  EXPECT_TRUE(CCubePuzzle::ParseMoves("xyz 123", map).empty());
  EXPECT_TRUE(CCubePuzzle::ParseMoves(nullptr, map).empty());
}

TEST(Cube, MacroQueuesTurnsForPlayback) {
  CTestCube cube(3);
  const int view[3] = {3, 2, 5};
  cube.seen = view;
  cube.RecordMove(4, 0);
  cube.ExecuteMacro("R2 U'");
  EXPECT_TRUE(cube.IsPlaying());
  EXPECT_EQ(QueuedMoves(cube), (std::vector<int>{-3, -3, 9}));
  EXPECT_EQ(cube.GetHistoryPosition(), 1);
  // Playing the queue makes the turns.
  CCubePuzzle reference(3);
  for (int m : {-3, -3, 9}) reference.DoMove(m, 0);  // the recorded 4 was never made
  while (cube.IsPlaying()) cube.PlayNextMove(nullptr);
  EXPECT_EQ(ColoursById(cube), ColoursById(reference));
}

TEST(Cube, MacroWithoutLettersQueuesNothing) {
  CTestCube cube(3);
  const int view[3] = {3, 2, 5};
  cube.seen = view;
  cube.ExecuteMacro("xyz 42 ?!");
  EXPECT_FALSE(cube.IsPlaying());
  EXPECT_EQ(cube.GetHistorySize(), 0);
}

TEST(Cube, MacroOnAMisalignedCubeSaysSo) {
  CRecordedMessages messages;
  CTestCube cube(3);
  const int missed[3] = {-1, 2, 5};
  cube.seen = missed;
  EXPECT_FALSE(cube.ExecuteMacro("R"));
  EXPECT_EQ(std::string(cube.GetMacroProblem()), "Moves are ambiguous.  Please align the cube properly.");
  const int twice[3] = {2, 2, 5};  // two probes on one face: no orientation
  cube.seen = twice;
  EXPECT_FALSE(cube.ExecuteMacro("R"));
  EXPECT_EQ(std::string(cube.GetMacroProblem()), "Moves are ambiguous.  Please align the cube properly.");
  // The puzzle tells its caller; it shows no message box of its own.
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(cube.GetHistorySize(), 0);
  EXPECT_FALSE(cube.IsPlaying());
}

TEST(Cube, JoystickLetters) {
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(1, 0, 0, 8 | 4 | 1 | 32 | 16)), "Llm'r'R'");
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(-1, 0, 0, 8 | 4 | 1 | 32 | 16)), "L'l'mrR");
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(0, 1, 0, 8 | 4 | 1 | 32 | 16)), "U'u'edD");
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(0, -1, 0, 8 | 4 | 1 | 32 | 16)), "Uue'd'D'");
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(0, 0, 1, 8 | 4 | 1 | 32 | 16)), "F'f'M'bB");
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(0, 0, -1, 16)), "B'");
  // Only the first deflected axis counts; no deflection or no button writes nothing.
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(0.5f, 1, 1, 16)), "R'");
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(0, 0, 0, 63)), "");
  EXPECT_EQ(std::string(CCubePuzzle::JoystickText(1, 0, 0, 2 | 64)), "");

  CTestCube cube(3);
  const int view[3] = {3, 2, 5};
  cube.seen = view;
  cube.JoystickTurn(0, 0, 0, 16);
  EXPECT_FALSE(cube.IsPlaying());
  cube.JoystickTurn(1, 0, 0, 16);
  EXPECT_EQ(QueuedMoves(cube), (std::vector<int>{3}));
}

}  // namespace
