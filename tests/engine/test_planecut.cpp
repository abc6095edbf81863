#include "test_puzzles.h"

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

namespace {

// A cube of 2 x 2 facelets a side on the corners -2, 0, 2 (corner 9i + 3j + k), with two
// plane turns: turn 1 the half x > 0 about +x, turn 2 the half y > 0 about +y. Extra far
// corners lengthen the shared list, so that files of the plain cube have too few vertices.
class CSplitCube : public CPlaneCutPuzzle {
 public:
  explicit CSplitCube(int extraCorners = 0, bool eighths = false) : CPlaneCutPuzzle(24), m_eighths(eighths) {
    m_typeId = 1;
    SetModelSize(8.0f);
    const COLORREF palette[7] = {0x808080, 1, 2, 3, 4, 5, 6};
    SetPalette(palette, 7);
    for (int x = -2; x <= 2; x += 2)
      for (int y = -2; y <= 2; y += 2)
        for (int z = -2; z <= 2; z += 2) AddVertex(x, y, z);
    for (int i = 0; i < extraCorners; ++i) AddVertex(100 + 2 * i, 100, 100);
    // Eighth turns of the x > 0 half reach corners off the lattice.
    for (int turn = 1; turn < 8 && eighths; ++turn)
      for (int y = -2; y <= 2; y += 2)
        for (int z = -2; z <= 2; z += 2) {
          const double a = turn * 3.14159265358979 / 4;
          for (int x : {0, 2}) AddRestingPlace(CFixVector(double(x), y * std::cos(a) - z * std::sin(a), y * std::sin(a) + z * std::cos(a)));
        }
    AddPlaneMove(Corner(0, -2, -2), Corner(0, 2, -2), Corner(0, 2, 2));
    const int cutX[4] = {Corner(0, -2, -2), Corner(0, 2, -2), Corner(0, 2, 2), Corner(0, -2, 2)};
    AddInnerFacelet(cutX, 4);
    AddPlaneMove(Corner(-2, 0, -2), Corner(-2, 0, 2), Corner(2, 0, 2));
    const int cutY[4] = {Corner(-2, 0, -2), Corner(-2, 0, 2), Corner(2, 0, 2), Corner(2, 0, -2)};
    AddInnerFacelet(cutY, 4);
    ResetColours();
  }

  static int Corner(int x, int y, int z) { return 9 * (x / 2 + 1) + 3 * (y / 2 + 1) + (z / 2 + 1); }

  void BuildSolvedFacelets() override {
    for (int axis = 0; axis < 3; ++axis)
      for (int sign : {1, -1})
        for (int u : {-2, 0})
          for (int v : {-2, 0}) {
            int q[4];
            const int cells[4][2] = {{u, v}, {u + 2, v}, {u + 2, v + 2}, {u, v + 2}};
            for (int i = 0; i < 4; ++i) {
              int p[3];
              p[axis] = 2 * sign;
              p[(axis + 1) % 3] = cells[sign > 0 ? i : 3 - i][0];
              p[(axis + 2) % 3] = cells[sign > 0 ? i : 3 - i][1];
              q[i] = Corner(p[0], p[1], p[2]);
            }
            SetFaceletColour(AddFacelet(q, 4), 1 + 2 * axis + (sign < 0));
          }
  }

  int GetMoveFrames(int move) override { return m_eighths && TurnIndex(move) == 0 ? 3 : 6; }
  void GetMoveRotation(CFixMatrix& m, int move, int angle) override {
    const int s = move < 0 ? -angle : angle;
    if (TurnIndex(move) == 0) m.RotateX(-s);  // RotateX turns the other way round +x
    if (TurnIndex(move) == 1) m.RotateY(s);
  }
  BOOL CanMove(int move) override { return !refused.count(std::abs(move)); }
  void DoMove(int move, BOOL notify) override {
    ++doMoves;
    CPlaneCutPuzzle::DoMove(move, notify);
  }

  std::vector<std::array<int, 3>> Vertices() const {
    std::vector<std::array<int, 3>> out;
    for (int i = 0; i < GetVertexCount(); ++i) {
      const CFixVector* v = GetVertex(i, kModelVertices);
      out.push_back({v->x, v->y, v->z});
    }
    return out;
  }
  // The facelet whose corners' mean is (x, y, z) in whole units, or -1.
  int FaceletAt(int x, int y, int z) const {
    for (int id = 0; id < GetFaceletCount(); ++id) {
      const CFixVector c = FaceletCentroid(*GetFaceletById(id), kModelVertices);
      if (c == CFixVector(x, y, z)) return id;
    }
    return -1;
  }

  std::set<int> refused;
  int doMoves = 0;

 private:
  bool m_eighths;
};

TEST(PlaneCut, TurnsCarryTheHalfInFrontAndSnapBackExactly) {
  CSplitCube p;
  EXPECT_EQ(p.GetSharedVertexCount(), 27);
  EXPECT_EQ(p.GetVertexCount(), 27 + 96);
  const auto start = p.Vertices();
  ASSERT_TRUE(p.StartMove(nullptr, 1));
  p.CompleteAllMoves(nullptr);
  // A quarter turn about +x takes the +y face's x > 0 half onto +z, and -z's onto +y.
  ASSERT_NE(p.FaceletAt(1, 1, 2), -1);
  EXPECT_EQ(p.GetFaceletColour(p.FaceletAt(1, 1, 2)), 3);
  EXPECT_EQ(p.GetFaceletColour(p.FaceletAt(1, 2, 1)), 6);
  EXPECT_EQ(p.GetFaceletColour(p.FaceletAt(-1, 2, 1)), 3);
  ASSERT_TRUE(p.StartMove(nullptr, -1));
  p.CompleteAllMoves(nullptr);
  EXPECT_EQ(p.Vertices(), start);

  // Every corner of every facelet stays exactly on a shared corner, however long the game.
  std::set<std::array<int, 3>> corners(start.begin(), start.begin() + 27);
  Randomize(18);
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(p.MakeGuardedMove(Random(1, 2) * (Random(0, 1) ? 1 : -1)));
  for (const auto& v : p.Vertices()) ASSERT_TRUE(corners.count(v));
  p.Reset();
  EXPECT_EQ(p.Vertices(), start);
}

TEST(PlaneCut, CornersOffTheSolidSnapOntoTheRestingPlaces) {
  CSplitCube p(0, true);
  const auto start = p.Vertices();
  std::set<std::array<int, 3>> places;
  for (const CFixVector& v : p.GetRestingPlaces()) places.insert({v.x, v.y, v.z});
  for (int i = 1; i <= 8; ++i) {
    ASSERT_TRUE(p.MakeGuardedMove(1));
    for (const auto& v : p.Vertices()) ASSERT_TRUE(places.count(v)) << "after " << i << " eighths";
  }
  EXPECT_EQ(p.Vertices(), start);
}

TEST(PlaneCut, BadTurnNumbersAndRefusedTurnsStartNothing) {
  CSplitCube p;
  const auto before = StoredForm(p);
  for (int move : {0, 3, -3, 127, -128}) {
    EXPECT_FALSE(p.StartMove(nullptr, move)) << move;
    EXPECT_FALSE(p.MakeGuardedMove(move)) << move;
  }
  p.refused = {2};
  EXPECT_FALSE(p.StartMove(nullptr, -2));
  EXPECT_FALSE(p.MakeGuardedMove(2));
  EXPECT_FALSE(p.IsBusy());
  EXPECT_EQ(StoredForm(p), before);
  EXPECT_EQ(p.doMoves, 0);

  // Undoing a history byte no turn has, or one refused now, ends playback and changes nothing.
  p.RecordMove(9, 0);
  EXPECT_TRUE(p.UndoMove(nullptr));
  const int queued[3] = {1, 2, -1};
  p.QueueMoves(queued, 3);
  p.PlayNextMove(nullptr);
  EXPECT_FALSE(p.IsPlaying());
  EXPECT_FALSE(p.IsBusy());
  EXPECT_EQ(p.doMoves, 1);
}

TEST(PlaneCut, ScrambleMakesTwelveAcceptedTurnsPerTurnAndNeverHangs) {
  CSplitCube p;
  p.refused = {2};
  Randomize(3);
  p.Scramble();
  EXPECT_EQ(p.doMoves, 24);
  EXPECT_FALSE(p.IsSolved());
  EXPECT_TRUE(p.IsClockRunning());

  CSplitCube stuck;
  stuck.refused = {1, 2};
  const auto before = StoredForm(stuck);
  stuck.Scramble();
  EXPECT_EQ(stuck.doMoves, 0);
  EXPECT_TRUE(stuck.IsSolved());
  EXPECT_FALSE(stuck.IsClockRunning());
  EXPECT_EQ(StoredForm(stuck), before);
}

TEST(PlaneCut, DragsAlongACutTurnItsWayRoundTheNormal) {
  CSplitCube p;
  const int top = p.FaceletAt(1, 2, 1);     // +y face, in front of x = 0, edge on the cut
  const int front = p.FaceletAt(1, 1, 2);   // +z face, likewise
  const int side = p.FaceletAt(2, 1, 1);    // +x face: no edge on the x cut
  // From +z towards +y is clockwise about +x.
  EXPECT_EQ(p.MoveFromDrag(front, top), -1);
  EXPECT_EQ(p.MoveFromDrag(top, front), 1);
  EXPECT_EQ(p.MoveFromDrag(top, top), 0);
  EXPECT_EQ(p.MoveFromDrag(side, top), 0);
  EXPECT_EQ(p.MoveFromDrag(-1, top), 0);
  // Half way round the axis the drag goes neither way, so it turns nothing either way.
  const int across = p.FaceletAt(1, -2, -1);
  EXPECT_EQ(p.MoveFromDrag(top, across), 0);
  EXPECT_EQ(p.MoveFromDrag(across, top), 0);
  EXPECT_EQ(p.MoveFromDrag(top, p.FaceletAt(1, -1, 2)), 1);
  // A centroid on the axis has no direction: no division by its zero length.
  EXPECT_FALSE(p.GetDragDirection(0, *p.GetInnerFaceletAt(0), *p.GetFaceletById(top)));
  EXPECT_FALSE(p.GetDragDirection(5, *p.GetFaceletById(front), *p.GetFaceletById(top)));
}

// A picture of a turn, painted without starting it, still turns the part in front of the cut.
TEST(PlaneCut, AFrameDrawnOutsideATurnMovesThePartInFront) {
  CSplitCube p;
  CPuzzleCanvas canvas(p, 64, 64);
  p.ResetView(64, 64);
  p.DrawMoveFrame(canvas.dc, &canvas.dib, 2, 45);
  EXPECT_EQ(p.GetMoveMask(p.FaceletAt(1, 2, 1)), 2u);
  EXPECT_EQ(p.GetMoveMask(p.FaceletAt(1, -2, 1)), 0u);
}

// Files: byte for byte back; a file that does not fit the class leaves the puzzle untouched.
TEST(PlaneCut, FilesRoundTripAndMisfitsAreRefused) {
  CSplitCube saved;
  saved.MakeGuardedMove(1);
  CUBuffer file;
  saved.Write(file);
  file.SeekToBegin();
  CSplitCube loaded;
  ASSERT_EQ(loaded.LoadFromBuffer(file), 1);
  EXPECT_EQ(StoredForm(loaded), StoredForm(saved));

  auto refused = [](CPuzzle& target, std::vector<unsigned char> bytes) {
    const auto before = StoredForm(target);
    CUBuffer b;
    b.Write(bytes.data(), static_cast<int>(bytes.size()));
    b.SeekToBegin();
    const int result = target.LoadFromBuffer(b);
    return result == 0 && StoredForm(target) == before;
  };
  const std::vector<unsigned char> good = StoredForm(saved);
  // Fewer vertices than the loader's shared corners.
  CSplitCube longer(200);
  EXPECT_TRUE(refused(longer, good));
  // One plane fewer than turns (the planes end the file).
  std::vector<unsigned char> short1(good.begin(), good.end() - 16);
  short1[short1.size() - 16 - 4] = 1;
  EXPECT_TRUE(refused(loaded, short1));
  // A plane of no normal.
  std::vector<unsigned char> flat = good;
  std::memset(flat.data() + flat.size() - 16, 0, 12);
  EXPECT_TRUE(refused(loaded, flat));
  // A facelet on a shared corner, two facelets on one private corner, a cut face on a
  // private corner.
  for (int which = 0; which < 3; ++which) {
    CSplitCube bad;
    if (which == 0) bad.GetFaceletById(3)->SetVertexIndex(0, 5);
    if (which == 1) bad.GetFaceletById(3)->SetVertexIndex(0, bad.GetFaceletById(4)->GetVertexIndex(0));
    if (which == 2) bad.GetInnerFaceletAt(1)->SetVertexIndex(2, 40);
    EXPECT_TRUE(refused(loaded, StoredForm(bad))) << which;
  }
}

}  // namespace
