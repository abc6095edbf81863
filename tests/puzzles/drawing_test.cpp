// The cubes as they are painted: every frame of every turn without holes, and the probes of
// the move notation finding the faces the player sees.
#include "puzzle_test_util.h"

#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/palette.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr COLORREF kBackground = 0x203040;  // a colour no puzzle uses

// An 8-bit image with the puzzle's colours, the standard colours and a background.
class CCanvas {
 public:
  CCanvas(const CPuzzle& p, int size) {
    std::vector<PALETTEENTRY> entries;
    auto add = [&entries](COLORREF c) { entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0}); };
    for (int i = 0; i < p.GetPaletteCount(); ++i) add(p.GetPaletteEntry(i));
    for (COLORREF c : CPolyModel::cm_standardColours) add(c);
    add(kBackground);
    palette.CreatePalette(entries.data(), static_cast<int>(entries.size()));
    dib.Create(&palette, size, size, static_cast<int>(entries.size()) - 1);
    dc = dib.GetMemDC(nullptr);
  }
  ~CCanvas() { dib.ReleaseMemDC(dc); }
  void Clear() { dc->FillSolidRect(0, 0, dib.Width(), dib.Height(), kBackground); }

  CPalette palette;
  CDib dib;
  CDC* dc = nullptr;
};

using Point2 = std::array<double, 2>;

// Convex hull, counter-clockwise in screen coordinates (y down).
std::vector<Point2> Hull(std::vector<Point2> pts) {
  std::sort(pts.begin(), pts.end());
  pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
  if (pts.size() < 3) return pts;
  auto cross = [](const Point2& o, const Point2& a, const Point2& b) {
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
  };
  std::vector<Point2> hull(2 * pts.size());
  size_t k = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
    hull[k++] = pts[i];
  }
  for (size_t i = pts.size() - 1, t = k + 1; i > 0; --i) {
    while (k >= t && cross(hull[k - 2], hull[k - 1], pts[i - 1]) <= 0) --k;
    hull[k++] = pts[i - 1];
  }
  hull.resize(k - 1);
  return hull;
}

// Inside the hull by at least `margin` pixels.
bool DeepInside(const std::vector<Point2>& hull, double x, double y, double margin) {
  if (hull.size() < 3) return false;
  for (size_t i = 0; i < hull.size(); ++i) {
    const Point2& a = hull[i];
    const Point2& b = hull[(i + 1) % hull.size()];
    const double ex = b[0] - a[0], ey = b[1] - a[1];
    const double side = (ex * (y - a[1]) - ey * (x - a[0])) / std::sqrt(ex * ex + ey * ey);
    if (side < margin) return false;
  }
  return true;
}

class CFrameCube : public CCubePuzzle {
 public:
  using CCubePuzzle::CCubePuzzle;
  void SetTurn(int move) { m_currentMove = move; }
};

// Painting turn `move` at every frame shows no background inside the outline of any layer:
// each slab of the cube is convex, so its projection is the hull of its corners.
void ExpectNoHoles(int n, int move) {
  CFrameCube cube(n);
  const int size = 160;
  cube.ResetView(size, size);
  CCanvas canvas(cube, size);
  int axis = 0, turning = 0;
  ASSERT_TRUE(cube.GetTurnAxis(move, axis, turning));
  for (int angle = 15; angle <= 90; angle += 15) {
    canvas.Clear();
    cube.SetTurn(move);
    cube.DrawMoveFrame(canvas.dc, &canvas.dib, move, angle);
    cube.SetTurn(0);
    // Corners of every layer, turned for the turning one (every layer for the whole cube).
    std::vector<std::vector<Point2>> layers(n);
    const POINT centre = cube.GetCentre();
    for (int id = 0; id < cube.GetFaceletCount(); ++id) {
      int layer = 0;
      for (int l = 1; l <= n; ++l)
        if (cube.GetMoveMask(id) & (1u << (axis * n + l - 1))) layer = l;
      ASSERT_GT(layer, 0);
      const bool turns = turning == 0 || layer == turning;
      const CFacelet* f = cube.GetFaceletById(id);
      for (int v = 0; v < f->GetVertexCount(); ++v) {
        const CFixVector* p = cube.GetVertex(f->GetVertexIndex(v), turns ? kFrameVertices : kViewVertices);
        layers[layer - 1].push_back({double((p->x >> 16) + centre.x), double((p->y >> 16) + centre.y)});
      }
    }
    int holes = 0;
    for (const auto& corners : layers) {
      const std::vector<Point2> hull = Hull(corners);
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
          if (canvas.dib.PixelColor(x, y) == kBackground && DeepInside(hull, x + 0.5, y + 0.5, 1.5)) ++holes;
    }
    EXPECT_EQ(holes, 0) << "cube " << n << " turn " << move << " at " << angle << " degrees";
  }
}

TEST(CubeDrawing, NoFrameOfAnyTurnHasHoles) {
  for (int n = 2; n <= 5; ++n)
    for (int move = 1; move <= 3 * n + 3; ++move) {
      ExpectNoHoles(n, move);
      ExpectNoHoles(n, -move);
    }
}

TEST(CubeDrawing, AtRestTheCubeIsWhole) {
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    cube.ResetView(120, 120);
    CCanvas canvas(cube, 120);
    canvas.Clear();
    cube.Draw(canvas.dc, &canvas.dib);
    std::vector<Point2> corners;
    const POINT centre = cube.GetCentre();
    for (int v = 0; v < cube.GetVertexCount(); ++v) {
      const CFixVector* p = cube.GetVertex(v, kViewVertices);
      corners.push_back({double((p->x >> 16) + centre.x), double((p->y >> 16) + centre.y)});
    }
    const std::vector<Point2> hull = Hull(corners);
    int holes = 0, painted = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 120; ++x) {
        const bool background = canvas.dib.PixelColor(x, y) == kBackground;
        painted += !background;
        if (background && DeepInside(hull, x + 0.5, y + 0.5, 1.5)) ++holes;
      }
    EXPECT_EQ(holes, 0) << n;
    EXPECT_GT(painted, 120 * 120 / 5) << n;
  }
}

// In the default view model +X points up the screen: the probes meet face 2 at the top,
// face 3 on the left and face 5 on the right.
TEST(CubeDrawing, ProbesOfTheDefaultView) {
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    cube.ResetView(400, 300);
    int left = -1, top = -1, right = -1;
    ASSERT_TRUE(cube.FindOrientation(left, top, right)) << n;
    EXPECT_EQ(left, 3);
    EXPECT_EQ(top, 2);
    EXPECT_EQ(right, 5);
  }
}

TEST(CubeDrawing, NotationFollowsTheViewTheCubeIsSeenIn) {
  CCubePuzzle cube(3);
  cube.ResetView(400, 300);
  cube.ExecuteMacro("R");
  ASSERT_TRUE(cube.IsPlaying());
  EXPECT_EQ(cube.GetHistoryMove(0), -3);
  // Turned in the screen's plane, the three faces seen change places.
  CCubePuzzle turned(3);
  turned.ResetView(400, 300);
  turned.RotateViewZ(90);
  int left = -1, top = -1, right = -1;
  ASSERT_TRUE(turned.FindOrientation(left, top, right));
  EXPECT_EQ(left, 5);
  EXPECT_EQ(top, 3);
  EXPECT_EQ(right, 2);
  turned.ExecuteMacro("R");
  int map[CCubePuzzle::kLetterCount];
  ASSERT_TRUE(turned.FillLetterMap(left, top, right, map));
  EXPECT_EQ(turned.GetHistoryMove(0), map[4]);
  EXPECT_NE(map[4], -3);
}

TEST(CubeDrawing, ProbesThatMissTheCubeGiveTheMessage) {
  CRecordedMessages messages;
  CCubePuzzle cube(3);
  cube.ResetView(400, 300);
  cube.SetCentre(-1000, -1000);  // drawn far outside the window
  cube.UpdateView();
  cube.ExecuteMacro("R");
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], CCubePuzzle::kAmbiguousMessage);
  EXPECT_FALSE(cube.IsPlaying());
  EXPECT_EQ(cube.GetHistorySize(), 0);
}

// A file may hold another size than its type id names (it is read whole, whatever the
// class expects). Everything the cube does must still stay inside its lists.
TEST(CubeDrawing, ACubeHoldingAnotherSizeStaysInBounds) {
  for (int stored : {2, 3, 5}) {
    for (int into : {2, 4, 5}) {
      if (stored == into) continue;
      CCubePuzzle source(stored);
      CUBuffer file;
      source.Write(file);
      const int type = into - 2;
      std::memcpy(file.GetData() + 4, &type, 4);
      file.Seek(0, 0);
      CFrameCube cube(into);
      ASSERT_EQ(cube.LoadFromBuffer(file), 1);
      cube.ResetView(120, 120);
      CCanvas canvas(cube, 120);
      for (int move = 1; move <= cube.GetMoveCount(); ++move) {
        cube.SetTurn(move);
        cube.DrawMoveFrame(canvas.dc, &canvas.dib, move, 45);
        cube.SetTurn(0);
      }
      cube.Draw(canvas.dc, &canvas.dib);
      for (int f = 0; f < cube.GetFaceletCount(); f += 5)
        for (int g = 0; g < cube.GetFaceletCount(); g += 3) cube.MoveFromDrag(f, g);
      cube.UpdateSolved();
      int left, top, right;
      cube.FindOrientation(left, top, right);
    }
  }
}

}  // namespace
