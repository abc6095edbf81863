// The cubes as they are painted: every frame of every turn without holes, and the probes of
// the move notation finding the faces the player sees.
#include "puzzle_test_util.h"

#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/palette.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr COLORREF kBackground = CPuzzleCanvas::kBackground;

// A square canvas of the engine's.
struct CCanvas : CPuzzleCanvas {
  CCanvas(const CPuzzle& p, int size) : CPuzzleCanvas(p, size, size) {}
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
    std::vector<Point2> background;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (canvas.dib.PixelColor(x, y) == kBackground) background.push_back({x + 0.5, y + 0.5});
    int holes = 0;
    for (const auto& corners : layers) {
      const std::vector<Point2> hull = Hull(corners);
      for (const Point2& p : background) holes += DeepInside(hull, p[0], p[1], 1.5);
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

// A surface of the scene for the depth reference: corners in screen space (z nearer when
// larger) and the colour it shows.
struct Surface {
  std::vector<Vec3> corners;
  COLORREF colour;
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  void Bound() {
    for (const Vec3& c : corners) {
      left = std::min(left, c[0]), right = std::max(right, c[0]);
      top = std::min(top, c[1]), bottom = std::max(bottom, c[1]);
    }
  }
};

Vec3 ScreenPoint(const CFixVector& v, const POINT& centre) {
  return {FixToDouble(v.x) + centre.x, FixToDouble(v.y) + centre.y, FixToDouble(v.z)};
}

// Depth of the surface's plane at (x, y) when the point is inside it by `margin`; -1e300
// outside; NaN near an edge, where rounding decides.
double DepthAt(const Surface& s, double x, double y, double margin) {
  if (x < s.left - margin || x > s.right + margin || y < s.top - margin || y > s.bottom + margin) return -1e300;
  const size_t n = s.corners.size();
  double area = 0;
  for (size_t i = 0; i < n; ++i) {
    const Vec3& a = s.corners[i];
    const Vec3& b = s.corners[(i + 1) % n];
    area += a[0] * b[1] - b[0] * a[1];
  }
  if (std::abs(area) < 1e-9) return -1e300;
  bool near = false;
  for (size_t i = 0; i < n; ++i) {
    const Vec3& a = s.corners[i];
    const Vec3& b = s.corners[(i + 1) % n];
    const double ex = b[0] - a[0], ey = b[1] - a[1];
    const double side = (area > 0 ? 1 : -1) * (ex * (y - a[1]) - ey * (x - a[0])) / std::sqrt(ex * ex + ey * ey);
    if (side < -margin) return -1e300;
    if (side < margin) near = true;
  }
  if (near) return std::nan("");
  const Vec3 normal = Cross(Sub(s.corners[1], s.corners[0]), Sub(s.corners[n - 1], s.corners[0]));
  if (std::abs(normal[2]) < 1e-9) return std::nan("");
  return s.corners[0][2] - (normal[0] * (x - s.corners[0][0]) + normal[1] * (y - s.corners[0][1])) / normal[2];
}

// Wherever one surface is clearly the nearest, the frame shows its colour: no face is
// painted over a nearer one. The scene is every facelet (turned or not) and the cut faces
// on both sides of the turning layer.
void ExpectNearestSurfacesShow(int n, int move, int angle, int viewX, int viewY) {
  CFrameCube cube(n);
  const int size = 160;
  cube.ResetView(size, size);
  cube.RotateViewX(viewX);
  cube.RotateViewY(viewY);
  ColourById(cube);
  std::vector<COLORREF> palette;
  for (int id = 0; id < cube.GetFaceletCount(); ++id)
    palette.push_back(RGB((id + 1) * 37, id + 1, 0x40));  // a colour per facelet
  palette.insert(palette.begin(), 0x808080);
  for (int id = 0; id < cube.GetFaceletCount(); ++id) cube.SetFaceletColour(id, id + 1);
  cube.SetPalette(palette.data(), static_cast<int>(palette.size()));
  CCanvas canvas(cube, size);
  canvas.Clear();
  canvas.dc->SelectStockObject(NULL_PEN);
  cube.SetTurn(move);
  cube.DrawMoveFrame(canvas.dc, &canvas.dib, move, angle);
  cube.SetTurn(0);

  int axis = 0, turning = 0;
  ASSERT_TRUE(cube.GetTurnAxis(move, axis, turning));
  const POINT centre = cube.GetCentre();
  std::vector<Surface> scene;
  const std::uint32_t bit = 1u << (std::abs(move) - 1);
  for (int id = 0; id < cube.GetFaceletCount(); ++id) {
    const CFacelet* f = cube.GetFaceletById(id);
    const int list = (cube.GetMoveMask(id) & bit) ? kFrameVertices : kViewVertices;
    Surface s{{}, palette[id + 1]};
    for (int v = 0; v < f->GetVertexCount(); ++v)
      s.corners.push_back(ScreenPoint(*cube.GetVertex(f->GetVertexIndex(v), list), centre));
    s.Bound();
    scene.push_back(s);
  }
  for (int i = 0; i < cube.GetMove(std::abs(move) - 1)->GetInsertCount(); ++i) {
    const CMoveInsert* insert = cube.GetMove(std::abs(move) - 1)->GetInsert(i);
    const CFacelet* inner = cube.GetInnerFaceletAt(insert->innerFacelet);
    // The cut face on the far side shows unturned, the near one turned; both are in the
    // scene turned and unturned, as the two layers they close.
    for (int list : {kViewVertices, kFrameVertices}) {
      Surface s{{}, palette[0]};
      for (int v = 0; v < inner->GetVertexCount(); ++v)
        s.corners.push_back(ScreenPoint(*cube.GetVertex(inner->GetVertexIndex(v), list), centre));
      s.Bound();
      scene.push_back(s);
    }
  }
  int wrong = 0, checked = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double best = -1e300, second = -1e300;
      const Surface* nearest = nullptr;
      bool unsure = false;
      for (const Surface& s : scene) {
        const double d = DepthAt(s, x + 0.5, y + 0.5, 1.5);
        if (std::isnan(d)) {
          unsure = true;
          break;
        }
        if (d > best) {
          second = best;
          best = d;
          nearest = &s;
        } else if (d > second) {
          second = d;
        }
      }
      // Coplanar cut faces of the two sides give the same colour; other ties are rounding.
      if (unsure || !nearest || best - second < 0.02) continue;
      ++checked;
      if (canvas.dib.PixelColor(x, y) != nearest->colour) ++wrong;
    }
  }
  EXPECT_GT(checked, 300);  // the comparison is not vacuous
  EXPECT_EQ(wrong, 0) << "cube " << n << " turn " << move << " at " << angle << " view " << viewX << "," << viewY;
}

TEST(CubeDrawing, NoFaceIsPaintedOverANearerOne) {
  const int views[][2] = {{0, 0}, {0, 70}, {-65, 20}, {150, -30}};
  for (int n = 2; n <= 5; ++n)
    for (int move = 1; move <= 3 * n; ++move)
      for (const auto& view : views) ExpectNearestSurfacesShow(n, (move % 2) ? move : -move, 30 + 15 * (move % 3), view[0], view[1]);
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

// A file of another size relabelled with this cube's type id holds records this cube's code
// does not fit: it is refused and the cube stays as it was.
TEST(CubeDrawing, ACubeFileRelabelledAsAnotherSizeIsRefused) {
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
      const std::vector<unsigned char> before = StoredForm(cube);
      EXPECT_EQ(cube.LoadFromBuffer(file), 0) << stored << " as " << into;
      EXPECT_EQ(StoredForm(cube), before);
    }
  }
}

}  // namespace
