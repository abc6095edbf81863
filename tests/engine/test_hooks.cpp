// The engine's hooks for puzzle classes: the turn that animates a turn number, the painting
// order's decisions, the history's byte per turn and the editing of a built model.
#include "test_view_puzzles.h"
#include "test_puzzles.h"

#include <gtest/gtest.h>

namespace {

// The tower with turns beyond its list: turn 3 + k plays as list entry k - 1 for k = 1, 2
// (as a ring turn or a click that animates with an existing layer does).
class CMappedTower : public CTowerPuzzle {
 public:
  int GetAnimatedMove(int move) override {
    const int t = move < 0 ? -move : move;
    if (t == 4 || t == 5) return t - 4;
    return t <= 3 ? CPuzzle::GetAnimatedMove(move) : -1;
  }
  BOOL IsMovingPartNearer(int k, CUObArray& moving, CUObArray& fixed) override {
    ++nearerAsked;
    return forceNearer >= 0 ? forceNearer : CPuzzle::IsMovingPartNearer(k, moving, fixed);
  }
  BOOL ShowInnerFacelet(int index) override { return index != hiddenInner; }
  void SetTurn(int move) { m_currentMove = move; }

  int nearerAsked = 0;
  int forceNearer = -1;
  int hiddenInner = -1;
};

TEST(Hooks, TurnsBeyondTheListAnimateAsTheEntryTheyMapTo) {
  CMappedTower p;
  p.ResetView(120, 120);
  CCanvas canvas(p, 120, 120);
  // Turn 5 paints the bottom layer turned, as turn 2 does.
  canvas.Clear();
  p.DrawMoveFrame(canvas.dc, &canvas.dib, 5, 45);
  const std::vector<unsigned char> mapped(canvas.dib.GetBits(), canvas.dib.GetBits() + 120 * 120);
  canvas.Clear();
  p.DrawMoveFrame(canvas.dc, &canvas.dib, 2, 45);
  EXPECT_EQ(std::vector<unsigned char>(canvas.dib.GetBits(), canvas.dib.GetBits() + 120 * 120), mapped);
  EXPECT_EQ(p.GetMove(1)->GetInsertCount(), 1);

  // The painting order of a running turn 4 is that of entry 0; unmapped turns do not start.
  p.SetTurn(-4);
  p.SortFacelets();
  EXPECT_EQ(p.GetMove(0)->GetInsertCount(), 1);
  p.SetTurn(0);
  EXPECT_FALSE(p.StartMove(nullptr, 6));
  EXPECT_TRUE(p.StartMove(nullptr, 3));
}

TEST(Hooks, TheNearerPartAndTheCutFaceAreTheClassesToDecide) {
  CMappedTower p;
  p.ResetView(120, 120);
  p.UpdateView();
  p.SetTurn(1);
  p.forceNearer = 1;
  p.SortFacelets();
  EXPECT_GT(p.nearerAsked, 0);
  // Moving part nearer: fixed first, the cut face unturned just before the moving part.
  ASSERT_EQ(p.GetMove(0)->GetInsertCount(), 1);
  EXPECT_EQ(p.GetMove(0)->GetInsert(0)->vertexList, CMoveInsert::kViewList);
  EXPECT_EQ(p.GetMove(0)->GetInsert(0)->position, 5);
  EXPECT_EQ(p.GetMoveMask(p.GetFacelet(9)->GetId()) & 1u, 1u);
  p.forceNearer = 0;
  p.SortFacelets();
  EXPECT_EQ(p.GetMove(0)->GetInsert(0)->vertexList, CMoveInsert::kFrameList);
  EXPECT_EQ(p.GetMove(0)->GetInsert(0)->position, 0);
  EXPECT_EQ(p.GetMoveMask(p.GetFacelet(0)->GetId()) & 1u, 1u);
  // A hidden cut face gets no insert.
  p.hiddenInner = 0;
  p.SortFacelets();
  EXPECT_EQ(p.GetMove(0)->GetInsertCount(), 0);
}

TEST(Hooks, TheHistoryRefusesTurnsItsByteCannotHold) {
  CGridPuzzle p;
  for (int m : {0, 128, -128, 300, -1000}) EXPECT_FALSE(p.RecordMove(m, 0)) << m;
  EXPECT_EQ(p.GetHistorySize(), 0);
  EXPECT_TRUE(p.RecordMove(127, 0));
  EXPECT_TRUE(p.RecordMove(-127, 0));  // cancels the 127
  EXPECT_EQ(p.GetHistorySize(), 0);
  EXPECT_TRUE(p.RecordMove(-127, 1));
  EXPECT_EQ(p.GetHistoryMove(0), -127);
  // A queue of refused turns arms nothing.
  const int refused[2] = {200, 0};
  p.QueueMoves(refused, 2);
  EXPECT_FALSE(p.IsPlaying());
  EXPECT_EQ(p.GetHistorySize(), 1);
}

TEST(Hooks, ARebuiltModelKeepsItsListsInStep) {
  CTowerPuzzle p;
  const int vertices = p.GetVertexCount();
  p.ClearTurns();
  EXPECT_EQ(p.GetMoveCount(), 0);
  EXPECT_EQ(p.GetInnerFaceletCount(), 0);
  EXPECT_EQ(p.GetMoveMaskLength(), CTowerPuzzle::kFacelets);
  for (int id = 0; id < CTowerPuzzle::kFacelets; ++id) EXPECT_EQ(p.GetMoveMask(id), 0u);
  EXPECT_EQ(p.GetFaceletCount(), CTowerPuzzle::kFacelets);

  // Vertices in use stay; once their facelets are gone they can go.
  EXPECT_FALSE(p.RemoveVerticesFrom(8));
  EXPECT_EQ(p.GetVertexCount(), vertices);
  p.DeleteFacelets();
  EXPECT_EQ(p.GetFaceletCount(), 0);
  EXPECT_TRUE(p.RemoveVerticesFrom(8));
  EXPECT_EQ(p.GetVertexCount(), 8);
  EXPECT_NE(p.GetVertex(7, kFrameVertices), nullptr);
  EXPECT_EQ(p.GetVertex(8, kViewVertices), nullptr);
  EXPECT_EQ(p.GetVertex(8, kFrameVertices), nullptr);
  EXPECT_TRUE(p.RemoveVerticesFrom(20));
  EXPECT_FALSE(p.RemoveVerticesFrom(-1));
  EXPECT_EQ(p.GetVertexCount(), 8);
  // Built again, it draws and turns.
  const int top[4] = {0, 1, 2, 3};
  EXPECT_EQ(p.AddFacelet(top, 4), 0);
  const int cut[4] = {4, 5, 6, 7};
  p.AddInnerFacelet(cut, 4);
  EXPECT_FALSE(p.RemoveVerticesFrom(5));
  int perm[1] = {0};
  EXPECT_EQ(p.AddMove(perm, 0), 1);
  p.ResetView(60, 60);
  CCanvas canvas(p, 60, 60);
  p.DrawMoveFrame(canvas.dc, &canvas.dib, 1, 30);
  p.Draw(canvas.dc, &canvas.dib);
}

// A file of another puzzle relabelled with this one's type id is refused whole.
TEST(Hooks, AFileOfAnotherShapeIsRefusedUnderAnyTypeId) {
  CTowerPuzzle tower;
  CUBuffer file;
  tower.Write(file);
  CGridPuzzle grid;  // same type id, other counts
  const std::vector<unsigned char> before = StoredForm(grid);
  file.SeekToBegin();
  EXPECT_EQ(grid.LoadFromBuffer(file), 0);
  EXPECT_EQ(StoredForm(grid), before);
  // Its own file, changed in everything but its counts, loads.
  CGridPuzzle played;
  played.DoMove(1, 1);
  played.SetPaletteEntry(1, 0x010203);
  CUBuffer own;
  played.Write(own);
  own.SeekToBegin();
  EXPECT_EQ(grid.LoadFromBuffer(own), 1);
  EXPECT_EQ(grid.GetPaletteEntry(1), 0x010203u);
}

}  // namespace
