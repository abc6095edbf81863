// Polygon filling and regions against an independent point-in-polygon reference.
#include <platform/platform.h>
#include <platform/raster.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using i64 = std::int64_t;

// Reference: is the centre of pixel (x, y) inside? Works in doubled coordinates so the centre
// is integral, and decides each crossing by the sign of a cross product. A centre exactly on
// an edge counts as right of that edge.
bool ReferenceInside(const std::vector<POINT>& poly, int x, int y, int fillMode) {
  const i64 px = 2 * i64{x} + 1, py = 2 * i64{y} + 1;
  int wind = 0;
  const std::size_t n = poly.size();
  for (std::size_t i = 0; i < n; ++i) {
    i64 x0 = 2 * i64{poly[i].x}, y0 = 2 * i64{poly[i].y};
    i64 x1 = 2 * i64{poly[(i + 1) % n].x}, y1 = 2 * i64{poly[(i + 1) % n].y};
    int dir = 1;
    if (y0 == y1) continue;
    if (y0 > y1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
      dir = -1;
    }
    if (py < y0 || py >= y1) continue;
    // Crossing at or left of the centre.
    const __int128 cross = static_cast<__int128>(px - x0) * (y1 - y0) - static_cast<__int128>(py - y0) * (x1 - x0);
    if (cross >= 0) wind += dir;
  }
  return fillMode == WINDING ? wind != 0 : (wind & 1) != 0;
}

std::vector<POINT> RandomPolygon(std::mt19937& rng, int count, int lo, int hi) {
  std::uniform_int_distribution<int> d(lo, hi);
  std::vector<POINT> p(static_cast<std::size_t>(count));
  for (POINT& q : p) q = POINT{d(rng), d(rng)};
  return p;
}

std::vector<POINT> RandomConvex(std::mt19937& rng, int cx, int cy, int radius) {
  // Points on a circle in angle order make a convex polygon.
  std::uniform_real_distribution<double> a(0, 6.283185307179586);
  std::vector<double> angles(static_cast<std::size_t>(3 + rng() % 6));
  for (double& v : angles) v = a(rng);
  std::sort(angles.begin(), angles.end());
  std::vector<POINT> p;
  for (double v : angles)
    p.push_back(POINT{cx + static_cast<int>(radius * std::cos(v)), cy + static_cast<int>(radius * std::sin(v))});
  return p;
}

RGBQUAD kGreys[256];
struct GreyInit {
  GreyInit() {
    for (int i = 0; i < 256; ++i) kGreys[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
  }
} greyInit;

// A 8-bit bitmap with a grey ramp, so grey level g is index g.
void MakeGrey(CBitmap& bmp, int w, int h) { ASSERT_TRUE(bmp.CreateDIBSection(w, h, 8, kGreys, 256)); }

void PaintPolygon(CBitmap& bmp, const std::vector<POINT>& poly, int fillMode, int grey) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  CBrush brush(RGB(grey, grey, grey));
  dc.SelectObject(&brush);
  dc.SelectStockObject(NULL_PEN);
  dc.SetPolyFillMode(fillMode);
  ASSERT_TRUE(dc.Polygon(poly.data(), static_cast<int>(poly.size())));
}

}  // namespace

TEST(Polygon, FillMatchesReferenceOnRandomPolygons) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 300; ++round) {
    const bool convex = round % 2 == 0;
    const int fillMode = round % 3 == 0 ? WINDING : ALTERNATE;
    // Some polygons reach past every edge of the 48 x 40 bitmap.
    const auto poly = convex ? RandomConvex(rng, static_cast<int>(rng() % 60) - 6, static_cast<int>(rng() % 50) - 5, 5 + static_cast<int>(rng() % 30))
                             : RandomPolygon(rng, 3 + static_cast<int>(rng() % 9), -10, 58);
    CBitmap bmp;
    MakeGrey(bmp, 48, 40);
    PaintPolygon(bmp, poly, fillMode, 200);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 48; ++x)
        ASSERT_EQ(bmp.PixelValue(x, y) == 200, ReferenceInside(poly, x, y, fillMode))
            << "round " << round << " pixel " << x << "," << y;
  }
}

TEST(Polygon, EdgesThroughPixelCentresFollowTheReference) {
  // Vertices on a coarse lattice give slopes such as 1, 3 and 1/3 whose crossings land
  // exactly on pixel centres, row after row.
  std::mt19937 rng(555);
  for (int round = 0; round < 300; ++round) {
    std::vector<POINT> poly(static_cast<std::size_t>(3 + rng() % 5));
    for (POINT& p : poly) p = POINT{static_cast<int>(rng() % 9) * 6 - 3, static_cast<int>(rng() % 9) * 6 - 5};
    const int fillMode = round % 2 ? WINDING : ALTERNATE;
    CBitmap bmp;
    MakeGrey(bmp, 48, 48);
    PaintPolygon(bmp, poly, fillMode, 77);
    CRgn rgn;
    rgn.CreatePolygonRgn(poly.data(), static_cast<int>(poly.size()), fillMode);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        const bool expected = ReferenceInside(poly, x, y, fillMode);
        ASSERT_EQ(bmp.PixelValue(x, y) == 77, expected) << round << ": " << x << "," << y;
        ASSERT_EQ(rgn.PtInRegion(x, y) != 0, expected) << round << ": " << x << "," << y;
      }
  }
}

TEST(Polygon, SharedEdgesNeitherGapNorOverlap) {
  // A mesh of jittered quadrilaterals: every pixel centre strictly inside the mesh is covered
  // exactly once, which is what keeps facelet seams clean.
  std::mt19937 rng(99);
  constexpr int kCells = 8, kStep = 13;
  POINT grid[kCells + 1][kCells + 1];
  for (int j = 0; j <= kCells; ++j)
    for (int i = 0; i <= kCells; ++i) {
      const bool border = i == 0 || j == 0 || i == kCells || j == kCells;
      const int jx = border ? 0 : static_cast<int>(rng() % 9) - 4;
      const int jy = border ? 0 : static_cast<int>(rng() % 9) - 4;
      grid[j][i] = POINT{3 + i * kStep + jx, 2 + j * kStep + jy};
    }
  std::vector<int> count(120 * 120, 0);
  std::vector<raster::Span> spans;
  for (int j = 0; j < kCells; ++j)
    for (int i = 0; i < kCells; ++i) {
      // Alternate the winding direction: the rule must not depend on it.
      POINT q[4] = {grid[j][i], grid[j][i + 1], grid[j + 1][i + 1], grid[j + 1][i]};
      if ((i + j) % 2) std::reverse(q, q + 4);
      spans.clear();
      const int n = 4;
      raster::FillSpans(q, &n, 1, ALTERNATE, RECT{0, 0, 120, 120}, spans);
      for (const auto& s : spans)
        for (int x = s.x0; x < s.x1; ++x) ++count[s.y * 120 + x];
    }
  const int left = 3, top = 2, right = 3 + kCells * kStep, bottom = 2 + kCells * kStep;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool inside = x >= left && x < right && y >= top && y < bottom;
      ASSERT_EQ(count[y * 120 + x], inside ? 1 : 0) << x << "," << y;
    }
}

TEST(Polygon, PtInRegionAgreesWithPaintedPixels) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    const int fillMode = round % 2 ? WINDING : ALTERNATE;
    const auto poly = RandomPolygon(rng, 3 + static_cast<int>(rng() % 8), -5, 45);
    CBitmap bmp;
    MakeGrey(bmp, 40, 40);
    PaintPolygon(bmp, poly, fillMode, 255);
    CRgn rgn;
    ASSERT_TRUE(rgn.CreatePolygonRgn(poly.data(), static_cast<int>(poly.size()), fillMode));
    CRgn flattened;  // the banded form must agree too
    CRgn empty;
    empty.CreateRectRgn(0, 0, 0, 0);
    flattened.CombineRgn(&rgn, &empty, RGN_OR);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool painted = bmp.PixelValue(x, y) == 255;
        ASSERT_EQ(rgn.PtInRegion(x, y) != 0, painted) << round << ": " << x << "," << y;
        ASSERT_EQ(flattened.PtInRegion(x, y) != 0, painted) << round << ": " << x << "," << y;
      }
  }
}

TEST(Polygon, WindingAndAlternateDifferOnOverlap) {
  // A pentagram: its centre is inside under the winding rule only.
  const POINT star[5] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
  CRgn alternate, winding;
  alternate.CreatePolygonRgn(star, 5, ALTERNATE);
  winding.CreatePolygonRgn(star, 5, WINDING);
  EXPECT_FALSE(alternate.PtInRegion(50, 50));
  EXPECT_TRUE(winding.PtInRegion(50, 50));
  EXPECT_TRUE(alternate.PtInRegion(50, 10));
}

TEST(Polygon, FarOutsideAndHugeCoordinatesAreSafe) {
  CBitmap bmp;
  MakeGrey(bmp, 16, 16);
  const std::vector<POINT> outside = {{100, 100}, {200, 100}, {150, 200}};
  PaintPolygon(bmp, outside, ALTERNATE, 9);
  const std::vector<POINT> left = {{-50, 0}, {-1, 0}, {-1, 16}};
  PaintPolygon(bmp, left, ALTERNATE, 9);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(bmp.PixelValue(x, y), 0u);
  // Covers the whole bitmap from far away; exact arithmetic must not overflow.
  const std::vector<POINT> huge = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
  PaintPolygon(bmp, huge, ALTERNATE, 9);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(bmp.PixelValue(x, y) == 9, ReferenceInside(huge, x, y, ALTERNATE));
  CRgn rgn;
  rgn.CreatePolygonRgn(huge.data(), 3, ALTERNATE);
  EXPECT_TRUE(rgn.PtInRegion(5, 5));
  EXPECT_FALSE(rgn.PtInRegion(-1999999999, 1999999999));
}

TEST(Polygon, OutlineAndHollowBrush) {
  CBitmap bmp;
  MakeGrey(bmp, 20, 20);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  CPen pen(PS_SOLID, 1, RGB(100, 100, 100));
  dc.SelectObject(&pen);
  dc.SelectStockObject(HOLLOW_BRUSH);
  const POINT square[4] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
  dc.Polygon(square, 4);
  // The closed outline covers every corner; the inside stays untouched.
  for (int i = 2; i <= 12; ++i) {
    EXPECT_EQ(bmp.PixelValue(i, 2), 100u);
    EXPECT_EQ(bmp.PixelValue(i, 12), 100u);
    EXPECT_EQ(bmp.PixelValue(2, i), 100u);
    EXPECT_EQ(bmp.PixelValue(12, i), 100u);
  }
  EXPECT_EQ(bmp.PixelValue(7, 7), 0u);
  EXPECT_EQ(bmp.PixelValue(13, 7), 0u);
  EXPECT_FALSE(dc.Polygon(square, 1));
}

TEST(Polygon, CombinedRegionsAgreeWithTheirParts) {
  std::mt19937 rng(21);
  for (int round = 0; round < 100; ++round) {
    const auto pa = RandomPolygon(rng, 3 + static_cast<int>(rng() % 6), -5, 35);
    const auto pb = RandomPolygon(rng, 3 + static_cast<int>(rng() % 6), -5, 35);
    CRgn a, b;
    a.CreatePolygonRgn(pa.data(), static_cast<int>(pa.size()), round % 2 ? WINDING : ALTERNATE);
    b.CreatePolygonRgn(pb.data(), static_cast<int>(pb.size()), ALTERNATE);
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
      CRgn c;
      ASSERT_NE(c.CombineRgn(&a, &b, mode), ERROR);
      RECT box;
      c.GetRgnBox(&box);
      for (int y = -6; y < 36; ++y)
        for (int x = -6; x < 36; ++x) {
          const bool ia = a.PtInRegion(x, y), ib = b.PtInRegion(x, y);
          const bool expected = mode == RGN_AND ? ia && ib : mode == RGN_OR ? ia || ib
                                : mode == RGN_XOR ? ia != ib : ia && !ib;
          ASSERT_EQ(c.PtInRegion(x, y) != 0, expected) << round << " mode " << mode << " at " << x << "," << y;
          if (expected) {
            ASSERT_TRUE(CRect(box).PtInRect(CPoint(x, y)));
          }
        }
    }
  }
}
