#include "test_puzzles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(PolyModel, FaceletIdsFollowCreationOrderWhateverThePaintingOrder) {
  CGridPuzzle p;
  EXPECT_EQ(p.GetFaceletCount(), 6);
  p.ResetView(100, 100);
  p.UpdateView();
  p.SortFacelets();
  // The default view looks at the grid from behind: its back face is nearest and its
  // marker, created fifth, lies among the farthest.
  EXPECT_EQ(p.GetFacelet(5)->GetId(), 5);
  EXPECT_NE(p.GetFacelet(4)->GetId(), 4);
  EXPECT_EQ(p.IsOrderValid(), 1);
  p.SetFaceletColour(1, 4);
  EXPECT_EQ(p.GetFaceletById(1)->GetColour(), 4);
  EXPECT_EQ(p.GetFaceletColour(1), 4);
  // Unknown ids are ignored by the setter and answered with -1 or none.
  p.SetFaceletColour(6, 2);
  p.SetFaceletColour(-1, 2);
  EXPECT_EQ(p.GetFaceletColour(6), -1);
  EXPECT_EQ(p.GetFaceletById(-1), nullptr);
  EXPECT_EQ(p.GetFacelet(6), nullptr);
}

TEST(PolyModel, SortPutsFartherFaceletsFirst) {
  CGridPuzzle p;
  p.ResetView(200, 200);
  p.UpdateView();
  p.SortFacelets();
  for (int i = 1; i < p.GetFaceletCount(); ++i)
    EXPECT_LE(p.GetFacelet(i - 1)->GetDepth(), p.GetFacelet(i)->GetDepth());
  const CFacelet* back = p.GetFaceletById(5);
  EXPECT_GT(back->GetDepth(), p.GetFaceletById(0)->GetDepth());
}

TEST(PolyModel, VerticesComeInThreeListsOfEqualLength) {
  CGridPuzzle p;
  const int n = p.GetVertexCount();
  EXPECT_EQ(n, 13);
  ASSERT_NE(p.GetVertex(n - 1, kFrameVertices), nullptr);
  EXPECT_EQ(p.GetVertex(n, kModelVertices), nullptr);
  EXPECT_EQ(p.GetVertex(0, 3), nullptr);
  EXPECT_EQ(p.GetVertex(-1, kViewVertices), nullptr);
  const int f = p.AddVertex(0.5f, -0.25f, 2.0f);
  EXPECT_EQ(p.GetVertex(f, kModelVertices)->x, 32768);
  EXPECT_EQ(p.GetVertex(f, kModelVertices)->y, -16384 + 1);  // -0.25 truncates toward zero
  EXPECT_EQ(p.GetVertex(f, kViewVertices)->z, 0);
  CFixVector corner;
  p.ParallelPoint(corner, 0, 1, 3);  // v3 - v0 + v1
  EXPECT_EQ(corner, CFixVector(0, 0, 1));
}

TEST(PolyModel, CycleAndReverseHelpers) {
  int values[6] = {0, 1, 2, 3, 4, 5};
  const int cycle[3] = {4, 0, 2};
  CPolyModel::CycleFacelets(values, cycle, 3);
  const int cycled[6] = {2, 1, 4, 3, 0, 5};
  EXPECT_EQ(0, std::memcmp(values, cycled, sizeof values));
  CPolyModel::ReverseList(values, 5);
  const int reversed[6] = {0, 3, 4, 1, 2, 5};
  EXPECT_EQ(0, std::memcmp(values, reversed, sizeof values));
}

TEST(PolyModel, PaletteEntriesOutsideThePaletteAreZeroAndIgnored) {
  CGridPuzzle p;
  EXPECT_EQ(p.GetPaletteCount(), 6);
  EXPECT_EQ(p.GetPaletteEntry(1), 0x0000FFu);
  EXPECT_EQ(p.GetPaletteEntry(6), 0u);
  EXPECT_EQ(p.GetPaletteEntry(-1), 0u);
  p.SetPaletteEntry(6, 0x123456);
  p.SetPaletteEntry(-1, 0x123456);
  p.SetPaletteEntry(2, 0x654321);
  EXPECT_EQ(p.GetPaletteEntry(2), 0x654321u);
  EXPECT_EQ(p.GetPaletteCount(), 6);
  p.SetPalette(nullptr, 0);
  EXPECT_EQ(p.GetPaletteEntry(0), 0u);
  p.SetPaletteEntry(0, 1);
}

TEST(PolyModel, ResetViewScalesToTheWindowAndKeepsItsSize) {
  CGridPuzzle p;
  p.SetModelSize(15.0f);
  p.ResetView(400, 300);
  EXPECT_EQ(p.GetCentre().x, 200);
  EXPECT_EQ(p.GetCentre().y, 150);
  EXPECT_EQ(p.GetViewAngleX(), 225);
  EXPECT_EQ(p.GetViewAngleY(), -45);
  EXPECT_EQ(p.GetViewAngleZ(), -90);
  CFixMatrix expected;
  expected.RotateX(225);
  expected.RotateY(-45);
  expected.RotateZ(-90);
  expected.Scale(400.0f / 15.0f);
  EXPECT_TRUE(p.GetViewMatrix() == expected);
  EXPECT_EQ(p.IsViewValid(), 0);
  p.RotateViewY(10);
  EXPECT_EQ(p.GetViewAngleY(), -35);
  p.ResetView(0, 0);
  EXPECT_EQ(p.GetViewWidth(), 400);
  EXPECT_EQ(p.GetViewHeight(), 300);
  EXPECT_TRUE(p.GetViewMatrix() == expected);
  p.UpdateView();
  EXPECT_EQ(p.IsViewValid(), 1);
  EXPECT_EQ(p.IsOrderValid(), 0);
  // The view vertices are the model vertices through the view matrix.
  EXPECT_EQ(*p.GetVertex(4, kViewVertices), expected.Transform(*p.GetVertex(4, kModelVertices)));
}

TEST(PolyModel, ProjectionShiftsAndCentresAndTellsTheFacingSide) {
  CGridPuzzle p;
  p.SetCentre(50, 60);
  p.UpdateView();  // identity view: model units are pixels
  CFacelet* square = p.GetFaceletById(0);
  const bool front = square->Project(kViewVertices);
  EXPECT_EQ(square->GetPoints()[0].x, 49);
  EXPECT_EQ(square->GetPoints()[0].y, 59);
  EXPECT_EQ(square->GetPoints()[2].x, 50);
  // The same polygon run the other way round faces the other side.
  EXPECT_NE(front, p.GetFaceletById(5)->Project(kViewVertices));
}

TEST(Puzzle, NamesAndTitles) {
  CGridPuzzle p;
  CUString text;
  p.GetColourName(text, 3, 0);
  EXPECT_STREQ(text, "Side 3");
  p.GetColourName(text, 3, 1);
  EXPECT_STREQ(text, "Cube(3x3x3)3");
  p.SetType(37);
  EXPECT_STREQ(p.GetName(), "Unnamed");
  p.SetType(-1);
  EXPECT_STREQ(p.GetName(), "Unnamed");
  p.SetType(30);
  p.SetTitle(nullptr);
  EXPECT_STREQ(p.GetTitle(), "Gyrix - Triangle");
  p.ForceMode(2);
  p.SetTitle(nullptr);
  EXPECT_STREQ(p.GetTitle(), "Gyrix - Triangle (Mode 2)");
  EXPECT_STREQ(CPuzzle::GetTypeName(36), "Crystal");
  EXPECT_STREQ(CPuzzle::GetTypeName(0), "Cube(2x2x2)");
}

TEST(Puzzle, ClearEmptiesTheModelButKeepsTheMaskLength) {
  CGridPuzzle p;
  p.Clear();
  EXPECT_EQ(p.GetVertexCount(), 0);
  EXPECT_EQ(p.GetFaceletCount(), 0);
  EXPECT_EQ(p.GetPaletteCount(), 0);
  EXPECT_EQ(p.GetMoveCount(), 0);
  EXPECT_EQ(p.GetInnerFaceletCount(), 0);
  EXPECT_EQ(p.GetMoveMaskLength(), CGridPuzzle::kFacelets);
  EXPECT_EQ(p.GetMoveMask(0), 0u);
  // An empty model sorts and turns without trouble.
  p.UpdateView();
  p.SortFacelets();
  p.DoMove(1, 1);
}

// While a turn runs, the moving facelets and the fixed ones are painted as two groups with
// the cut face between them.
TEST(Puzzle, AnimatedOrderingSplitsMovingAndFixedFacelets) {
  CGridPuzzle p;
  p.ResetView(100, 100);
  p.UpdateView();
  // Frame vertices of a layer that lies nearer than everything else.
  for (int i = 0; i < p.GetVertexCount(); ++i) {
    *p.GetVertex(i, kFrameVertices) = *p.GetVertex(i, kViewVertices);
    p.GetVertex(i, kFrameVertices)->z += 100 * kFixOne;
  }
  p.SetCurrentMove(-1);
  p.SortFacelets();
  ASSERT_EQ(p.GetFaceletCount(), 6);
  // Turn 1 moves facelets 0-4; the fixed back face comes first, then the cut face, then them.
  EXPECT_EQ(p.GetFacelet(0)->GetId(), 5);
  CMove* turn = p.GetMove(0);
  ASSERT_EQ(turn->GetInsertCount(), 1);
  EXPECT_EQ(turn->GetInsert(0)->innerFacelet, 0);
  EXPECT_EQ(turn->GetInsert(0)->position, 1);
  EXPECT_EQ(turn->GetInsert(0)->vertexList, CMoveInsert::kViewList);

  // A layer farther than the rest: the cut face turns with it and is painted first.
  for (int i = 0; i < p.GetVertexCount(); ++i) p.GetVertex(i, kFrameVertices)->z -= 300 * kFixOne;
  p.SortFacelets();
  EXPECT_EQ(p.GetFacelet(5)->GetId(), 5);
  ASSERT_EQ(turn->GetInsertCount(), 1);
  EXPECT_EQ(turn->GetInsert(0)->position, 0);
  EXPECT_EQ(turn->GetInsert(0)->vertexList, CMoveInsert::kFrameList);

  // A turn that moves nothing falls back to the plain depth sort, with no cut face.
  p.SetCurrentMove(3);
  p.SortFacelets();
  EXPECT_EQ(p.GetMove(2)->GetInsertCount(), 0);
  EXPECT_EQ(p.GetFaceletCount(), 6);
  EXPECT_EQ(p.IsOrderValid(), 1);
}

TEST(PolyModel, ResizingKeepsTheTurnedViewAndOnlyScalesIt) {
  CGridPuzzle p;
  p.ResetView(200, 100);
  p.RotateViewX(37);
  p.RotateViewY(-71);
  p.UpdateView();
  std::vector<CFixVector> before;
  for (int i = 0; i < p.GetVertexCount(); ++i) before.push_back(*p.GetVertex(i, kViewVertices));
  // Many resizes in between must not drift: the view ends where a single resize puts it.
  for (int side = 90; side < 600; side += 37) p.ResizeView(side, side / 2);
  p.ResizeView(300, 400);
  p.UpdateView();
  EXPECT_EQ(p.GetViewWidth(), 300);
  EXPECT_EQ(p.GetCentre().x, 150);
  EXPECT_EQ(p.GetCentre().y, 200);
  for (int i = 0; i < p.GetVertexCount(); ++i) {
    const CFixVector& v = *p.GetVertex(i, kViewVertices);
    // The larger side went from 200 to 400: every view point twice as far out, same direction,
    // to a hundredth of a pixel.
    EXPECT_NEAR(v.x, 2.0 * before[i].x, 1e-2 * kFixOne) << i;
    EXPECT_NEAR(v.y, 2.0 * before[i].y, 1e-2 * kFixOne) << i;
    EXPECT_NEAR(v.z, 2.0 * before[i].z, 1e-2 * kFixOne) << i;
  }
  // A model without a view yet gets the reset one.
  CGridPuzzle fresh, reset;
  fresh.ResizeView(120, 80);
  reset.ResetView(120, 80);
  EXPECT_TRUE(fresh.GetViewMatrix() == reset.GetViewMatrix());
}
