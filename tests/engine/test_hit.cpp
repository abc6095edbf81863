#include "test_view_puzzles.h"

#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Two squares facing the viewer, the second nearer and overlapping the first.
class COverlapModel : public CPuzzle {
 public:
  COverlapModel() : CPuzzle(2) {
    SetModelSize(10.0f);
    for (int z : {0, 1}) {
      const int h = z == 0 ? 3 : 1;  // the nearer square is the smaller
      const int v[4] = {AddVertex(-h, -h, z), AddVertex(h, -h, z), AddVertex(h, h, z), AddVertex(-h, h, z)};
      AddFacelet(v, 4);
    }
    const COLORREF colours[3] = {0x808080, 0x0000FF, 0x00FF00};
    SetPalette(colours, 3);
    SetFaceletColour(0, 1);
    SetFaceletColour(1, 2);
  }
};

// Every pixel shows the colour of the facelet the hit test finds there, or the background
// where it finds none.
void ExpectHitsAgreeWithPixels(CPuzzle& p, CCanvas& canvas) {
  int hits = 0;
  for (int y = 0; y < canvas.dib.Height(); ++y)
    for (int x = 0; x < canvas.dib.Width(); ++x) {
      const int id = p.GetFaceletAt(POINT{x, y});
      const COLORREF expected = id == -1 ? CCanvas::kBackground : p.GetPaletteEntry(p.GetFaceletColour(id));
      ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y << " facelet " << id;
      hits += id != -1;
    }
  EXPECT_GT(hits, 0);
}

struct DragInWindow : ::testing::Test {
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_TRUE(CEventLoop::Init());
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "puzzle", WS_POPUP | WS_VISIBLE, CRect(0, 0, 160, 120), nullptr, 0));
  }
  void TearDown() override {
    if (wnd.GetSafeHwnd()) wnd.DestroyWindow();
  }
  CWnd wnd;
};

// The screen point of a facelet's centroid.
POINT CentreOf(CPuzzle& p, int id) {
  CFacelet* f = p.GetFaceletById(id);
  f->Project(kViewVertices);
  POINT c{0, 0};
  for (int i = 0; i < f->GetVertexCount(); ++i) {
    c.x += f->GetPoints()[i].x;
    c.y += f->GetPoints()[i].y;
  }
  return POINT{c.x / f->GetVertexCount(), c.y / f->GetVertexCount()};
}

// A visible side facelet of the top layer, and its visible neighbour in the turning direction.
void VisibleNeighbours(CPuzzle& p, int& from, int& to) {
  from = to = -1;
  for (int j = 1; j <= 4; ++j) {
    const int next = j % 4 + 1;
    if (p.GetFaceletById(j)->Project(kViewVertices) && p.GetFaceletById(next)->Project(kViewVertices)) {
      from = j;
      to = next;
    }
  }
}

}  // namespace

TEST(HitTest, AgreesPixelForPixelWithWhatWasPainted) {
  CTowerPuzzle p;
  CCanvas canvas(p, 120, 90);
  canvas.NoOutline();
  p.ResetView(120, 90);
  p.Draw(canvas.dc, &canvas.dib);
  ExpectHitsAgreeWithPixels(p, canvas);
  // Also seen from elsewhere, with the far end and the other sides showing.
  p.RotateViewY(150);
  p.RotateViewX(-70);
  canvas.Clear();
  p.Draw(canvas.dc, &canvas.dib);
  ExpectHitsAgreeWithPixels(p, canvas);
}

TEST(HitTest, TheNearerOfOverlappingFaceletsWinsAndBackFacesAreNeverFound) {
  COverlapModel p;
  p.ResetView(100, 100);
  p.UpdateView();
  p.SortFacelets();
  // Orient the model so that both squares face the viewer whatever the default view does.
  if (!p.GetFaceletById(0)->Project(kViewVertices)) {
    p.RotateViewX(180);
    p.UpdateView();
    p.SortFacelets();
  }
  ASSERT_TRUE(p.GetFaceletById(1)->Project(kViewVertices));
  CCanvas canvas(p, 100, 100);
  canvas.NoOutline();
  p.Draw(canvas.dc, &canvas.dib);
  ExpectHitsAgreeWithPixels(p, canvas);
  // Where both cover a pixel, the nearer one is found.
  const int nearer = p.GetFacelet(1)->GetId();
  CFacelet* farther = p.GetFacelet(0);
  farther->Project(kViewVertices);
  CRgn behind;
  behind.CreatePolygonRgn(farther->GetPoints(), farther->GetVertexCount(), WINDING);
  const POINT middle = CentreOf(p, nearer);
  ASSERT_TRUE(behind.PtInRegion(middle));
  EXPECT_EQ(p.GetFaceletAt(middle), nearer);
  // Seen from behind nothing is there.
  p.RotateViewY(180);
  p.UpdateView();
  EXPECT_EQ(p.GetFaceletAt(POINT{50, 50}), -1);
  EXPECT_EQ(p.GetFaceletAt(POINT{-100000, 5}), -1);
  p.Clear();
  EXPECT_EQ(p.GetFaceletAt(POINT{50, 50}), -1);
}

TEST(Drag, PressAndReleaseOnNeighboursTurnTheirLayerAndDraggingBackCancels) {
  CTowerPuzzle p;
  p.ResetView(160, 120);
  p.UpdateView();
  p.SortFacelets();
  int from = -1, to = -1;
  VisibleNeighbours(p, from, to);
  ASSERT_NE(from, -1);
  CDragTurn drag;

  // Outside every facelet: nothing remembered, nothing made on release.
  EXPECT_FALSE(drag.Press(&p, nullptr, POINT{0, 0}));
  EXPECT_EQ(drag.Release(&p, nullptr, CentreOf(p, to)), 0);

  ASSERT_TRUE(drag.Press(&p, nullptr, CentreOf(p, from)));
  EXPECT_EQ(drag.GetFromFacelet(), from);
  EXPECT_EQ(drag.Release(&p, nullptr, CentreOf(p, to)), 1);
  EXPECT_FALSE(drag.IsPressed());
  EXPECT_EQ(p.GetFaceletColour(to), from + 1);  // made at once: no window to animate in
  EXPECT_EQ(p.GetHistorySize(), 1);

  // Releasing outside the puzzle makes no turn.
  ASSERT_TRUE(drag.Press(&p, nullptr, CentreOf(p, to)));
  EXPECT_EQ(drag.Release(&p, nullptr, POINT{0, 0}), 0);
  EXPECT_EQ(p.GetHistorySize(), 1);

  // The way back cancels in the history.
  ASSERT_TRUE(drag.Press(&p, nullptr, CentreOf(p, to)));
  EXPECT_EQ(drag.Release(&p, nullptr, CentreOf(p, from)), -1);
  EXPECT_EQ(p.GetHistorySize(), 0);
  p.UpdateSolved();
  EXPECT_EQ(p.IsSolved(), 1);
}

TEST_F(DragInWindow, DragCapturesTheMouseAndIsIgnoredWhileBusy) {
  CTowerPuzzle p;
  p.ResetView(160, 120);
  p.UpdateView();
  p.SortFacelets();
  int from = -1, to = -1;
  VisibleNeighbours(p, from, to);
  ASSERT_NE(from, -1);
  CDragTurn drag;

  EXPECT_FALSE(drag.Press(&p, &wnd, POINT{0, 0}));
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  ASSERT_TRUE(drag.Press(&p, &wnd, CentreOf(p, from)));
  EXPECT_EQ(CWnd::GetCapture(), &wnd);
  EXPECT_EQ(drag.Release(&p, &wnd, CentreOf(p, to)), 1);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  // The turn animates on the window; until it ends presses are ignored.
  EXPECT_EQ(p.GetCurrentMove(), 1);
  EXPECT_EQ(p.GetHistorySize(), 1);
  EXPECT_FALSE(drag.Press(&p, &wnd, CentreOf(p, from)));
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  p.CompleteAllMoves(&wnd);

  // A macro armed after the press: the release lets go of the mouse and the press, no turn.
  ASSERT_TRUE(drag.Press(&p, &wnd, CentreOf(p, from)));
  const int macro[1] = {2};
  p.QueueMoves(macro, 1);
  EXPECT_EQ(drag.Release(&p, &wnd, CentreOf(p, to)), 0);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  EXPECT_FALSE(drag.IsPressed());
  p.PlayNextMove(&wnd);
  p.CompleteAllMoves(&wnd);
  EXPECT_FALSE(p.IsBusy());
  EXPECT_EQ(p.GetHistorySize(), 2);

  // A release in a window that lost the capture makes no turn.
  ASSERT_TRUE(drag.Press(&p, &wnd, CentreOf(p, from)));
  ReleaseCapture();
  EXPECT_EQ(drag.Release(&p, &wnd, CentreOf(p, to)), 0);
  EXPECT_EQ(p.GetCurrentMove(), 0);
  EXPECT_EQ(p.GetHistorySize(), 2);
}
