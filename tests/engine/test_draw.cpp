#include "test_view_puzzles.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Records the facelets the painting hook is called for.
class CHookedTower : public CTowerPuzzle {
 public:
  void DrawFaceletExtra(CDC*, CDib* dib, CFacelet* f, const POINT* points) override {
    hooked.push_back(f->GetId());
    EXPECT_EQ(points, f->GetPoints());
    EXPECT_TRUE(f->IsFrontFacing());
    lastDib = dib;
  }
  std::vector<int> hooked;
  CDib* lastDib = nullptr;
};

std::set<COLORREF> ColoursIn(CCanvas& c) {
  std::set<COLORREF> seen;
  for (int y = 0; y < c.dib.Height(); ++y)
    for (int x = 0; x < c.dib.Width(); ++x) seen.insert(c.At(x, y));
  return seen;
}

}  // namespace

TEST(Draw, PaintsTheFacesTurnedToTheViewerAndNothingElse) {
  CHookedTower p;
  p.ResetView(160, 120);
  CCanvas canvas(p, 160, 120);
  canvas.NoOutline();
  p.Draw(canvas.dc, &canvas.dib);
  EXPECT_EQ(p.IsViewValid(), 1);
  EXPECT_EQ(p.IsOrderValid(), 1);

  // The default view looks obliquely at one end and two sides of each layer.
  std::set<COLORREF> expected = {CCanvas::kBackground};
  std::set<int> front;
  for (int id = 0; id < CTowerPuzzle::kFacelets; ++id)
    if (p.GetFaceletById(id)->Project(kViewVertices)) {
      front.insert(id);
      expected.insert(CTowerPuzzle::kColours[id + 1]);
    }
  ASSERT_EQ(front.size(), 5u);
  EXPECT_NE(front.count(0), front.count(9));
  for (int j = 1; j <= 4; ++j) EXPECT_EQ(front.count(j), front.count(j + 4));
  EXPECT_EQ(ColoursIn(canvas), expected);
  // The hook ran once for each painted facelet, with the image it was given.
  EXPECT_EQ(std::set<int>(p.hooked.begin(), p.hooked.end()), front);
  EXPECT_EQ(p.hooked.size(), front.size());
  EXPECT_EQ(p.lastDib, &canvas.dib);
}

TEST(Draw, AFaceletWithoutColourIsOutlinedButNotFilled) {
  CTowerPuzzle p;
  p.ResetView(160, 120);
  p.UpdateView();
  // The end of the box that faces the viewer; through it only faces turned away are behind.
  const int end = p.GetFaceletById(0)->Project(kViewVertices) ? 0 : 9;
  const int corner = end == 0 ? 0 : 8;
  p.SetFaceletColour(end, -1);
  CCanvas canvas(p, 160, 120);
  p.Draw(canvas.dc, &canvas.dib);
  const CFixVector middle =
      CFixVector::Midpoint(*p.GetVertex(corner, kViewVertices), *p.GetVertex(corner + 2, kViewVertices));
  const POINT c = p.GetCentre();
  EXPECT_EQ(canvas.At((middle.x >> 16) + c.x, (middle.y >> 16) + c.y), CCanvas::kBackground);
  // Its outline is drawn with the context's pen.
  const CFacelet* f = p.GetFaceletById(end);
  int black = 0;
  for (int i = 0; i < 4; ++i) {
    const POINT a = f->GetPoints()[i];
    const POINT b = f->GetPoints()[(i + 1) % 4];
    bool found = false;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) found |= canvas.At((a.x + b.x) / 2 + dx, (a.y + b.y) / 2 + dy) == 0x000000;
    black += found;
  }
  EXPECT_EQ(black, 4);
}

TEST(Draw, NothingIsPaintedForAnEmptyModelOrWithoutAContext) {
  CTowerPuzzle p;
  p.ResetView(60, 40);
  CCanvas canvas(p, 60, 40);
  p.Draw(nullptr, &canvas.dib);
  p.Clear();
  p.Draw(canvas.dc, &canvas.dib);
  EXPECT_EQ(ColoursIn(canvas), (std::set<COLORREF>{CCanvas::kBackground}));
}

TEST(Draw, LinesUseTheStandardColoursAndLeaveOutTheirEnd) {
  CTowerPuzzle p;
  CCanvas canvas(p, 20, 5);
  CPolyModel::DrawLine(canvas.dc, POINT{2, 1}, POINT{10, 1}, 9);
  EXPECT_EQ(canvas.At(2, 1), 0x0000FFu);
  EXPECT_EQ(canvas.At(9, 1), 0x0000FFu);
  EXPECT_EQ(canvas.At(10, 1), CCanvas::kBackground);
  // Only the low byte counts; numbers past the 16 colours wrap instead of reading beyond them.
  CPolyModel::DrawLine(canvas.dc, POINT{2, 2}, POINT{10, 2}, 0x100 + 14);
  EXPECT_EQ(canvas.At(5, 2), 0xFFFF00u);
  CPolyModel::DrawLine(canvas.dc, POINT{2, 3}, POINT{10, 3}, 16 + 10);
  EXPECT_EQ(canvas.At(5, 3), 0x00FF00u);
  // The context keeps its own pen.
  EXPECT_EQ(canvas.dc->GetCurrentPen(), GetStockObject(BLACK_PEN));
}

// A wider outline covers more of the picture in black, only where the plain one runs and
// beside it, and the same facelets stay filled.
TEST(Draw, AWiderOutlinePaintsThePlainOneAgainBesideIt) {
  auto blackAt = [](int width, std::vector<bool>& black, std::set<COLORREF>& colours) {
    CTowerPuzzle p;
    p.ResetView(160, 120);
    p.SetOutlineWidth(width);
    CCanvas canvas(p, 160, 120);
    p.Draw(canvas.dc, &canvas.dib);
    black.clear();
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x) black.push_back(canvas.At(x, y) == 0);
    colours = ColoursIn(canvas);
  };
  std::vector<bool> thin, thick;
  std::set<COLORREF> thinColours, thickColours;
  blackAt(1, thin, thinColours);
  blackAt(2, thick, thickColours);
  int thinCount = 0, thickCount = 0;
  for (size_t i = 0; i < thin.size(); ++i) {
    thinCount += thin[i];
    thickCount += thick[i];
    if (thin[i]) {
      EXPECT_TRUE(thick[i]) << i;
    }
    // Every black pixel of the wide outline is on the plain one or next to it.
    if (thick[i] && !thin[i]) {
      const size_t x = i % 160;
      EXPECT_TRUE((x > 0 && thin[i - 1]) || (i >= 160 && thin[i - 160]) || (x > 0 && i >= 161 && thin[i - 161])) << i;
    }
  }
  EXPECT_GT(thinCount, 0);
  EXPECT_GT(thickCount, thinCount * 3 / 2);
  EXPECT_EQ(thinColours, thickColours);
  CTowerPuzzle p;
  p.SetOutlineWidth(0);
  EXPECT_EQ(p.GetOutlineWidth(), 1);
  p.SetOutlineWidth(9);
  EXPECT_EQ(p.GetOutlineWidth(), 3);
}
