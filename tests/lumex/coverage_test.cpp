#include <lumex/coverage.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

int Red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }

CImage32 Picture(int w, int h, std::uint32_t fill = 0) {
  CImage32 p(w, h);
  p.Fill(fill);
  return p;
}

void PaintRectangle(CImage32& picture, float left, float top, float right, float bottom, COLORREF colour) {
  CCoveragePainter painter;
  painter.Begin(RECT{0, 0, picture.Width(), picture.Height()});
  const PointF square[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  painter.AddPolygon(square, 4, colour);
  painter.Paint(picture);
}

// The fraction of the pixel (x, y) that the rectangle covers.
float Overlap(int x, int y, float left, float top, float right, float bottom) {
  const float w = std::max(0.0f, std::min(right, x + 1.0f) - std::max(left, float(x)));
  const float h = std::max(0.0f, std::min(bottom, y + 1.0f) - std::max(top, float(y)));
  return w * h;
}

}  // namespace

TEST(Coverage, AFlatFaceletAtSubPixelPlacesCoversEachPixelByItsArea) {
  // White on black: every channel of a pixel is its covered area.
  const struct {
    float left, top, right, bottom;
  } places[] = {{10.25f, 20.5f, 60.75f, 70.25f}, {3.0f, 4.0f, 40.0f, 41.0f}, {7.9f, 2.1f, 70.1f, 33.6f},
                {0.5f, 0.5f, 79.5f, 79.5f}};
  for (const auto& r : places) {
    CImage32 picture = Picture(80, 80);
    PaintRectangle(picture, r.left, r.top, r.right, r.bottom, kWhite);
    // Clockwise or counter-clockwise, the same pixels.
    CImage32 reversed = Picture(80, 80);
    {
      CCoveragePainter painter;
      painter.Begin(RECT{0, 0, 80, 80});
      const PointF square[4] = {{r.left, r.top}, {r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top}};
      painter.AddPolygon(square, 4, kWhite);
      painter.Paint(reversed);
    }
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 80; ++x) {
        const float area = Overlap(x, y, r.left, r.top, r.right, r.bottom);
        ASSERT_NEAR(Red(picture.At(x, y)), area * 255, 1.01) << x << "," << y << " of " << r.left << "," << r.top;
        ASSERT_EQ(picture.At(x, y), reversed.At(x, y)) << x << "," << y;
      }
  }
}

TEST(Coverage, ASlantedPolygonCoversItsAreaInSumAndItsEdgePixelsInPart) {
  CImage32 picture = Picture(100, 100);
  CCoveragePainter painter;
  painter.Begin(RECT{0, 0, 100, 100});
  // A triangle of area 0.5 * 80.4 * 61.3 with two slanted edges.
  const PointF triangle[3] = {{10.3f, 12.7f}, {90.7f, 30.1f}, {40.2f, 74.0f}};
  painter.AddPolygon(triangle, 3, kWhite);
  painter.Paint(picture);
  double sum = 0;
  int partial = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      sum += Red(picture.At(x, y)) / 255.0;
      partial += Red(picture.At(x, y)) > 0 && Red(picture.At(x, y)) < 255;
    }
  const double area = 0.5 * std::fabs((90.7 - 10.3) * (74.0 - 12.7) - (40.2 - 10.3) * (30.1 - 12.7));
  EXPECT_NEAR(sum, area, 1.0);
  EXPECT_GT(partial, 150);  // the staircase is gone: the edges are shaded
}

TEST(Coverage, TwoFaceletsSharingAnEdgeCoverItsPixelsExactlyOnceBetweenThem) {
  // A quadrilateral cut along a slanted line: red one side, green the other, on blue.
  const PointF a{8.2f, 5.3f}, b{70.6f, 11.9f}, c{66.1f, 73.4f}, d{4.7f, 60.2f};
  const PointF cutTop{30.35f, 7.65f}, cutBottom{41.9f, 67.8f};
  for (int order = 0; order < 2; ++order) {
    CImage32 picture = Picture(80, 80, kBlue);
    CCoveragePainter painter;
    painter.Begin(RECT{0, 0, 80, 80});
    const PointF left[4] = {a, cutTop, cutBottom, d};
    const PointF right[4] = {cutTop, b, c, cutBottom};
    if (order == 0) {
      painter.AddPolygon(left, 4, kRed);
      painter.AddPolygon(right, 4, kGreen);
    } else {
      painter.AddPolygon(right, 4, kGreen);
      painter.AddPolygon(left, 4, kRed);
    }
    painter.Paint(picture);
    int onTheCut = 0;
    for (int y = 9; y < 66; ++y) {
      for (int x = 0; x < 80; ++x) {
        const std::uint32_t p = picture.At(x, y);
        if (Red(p) == 0 || Green(p) == 0) continue;
        ++onTheCut;
        // No background shows between them and neither is counted twice.
        EXPECT_LE(Blue(p), 1) << x << "," << y;
        EXPECT_NEAR(Red(p) + Green(p), 255, 2) << x << "," << y;
      }
    }
    EXPECT_GT(onTheCut, 56);
    // Along the outside, the silhouette blends into the background.
    int blended = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 80; ++x) {
        const std::uint32_t p = picture.At(x, y);
        if (Blue(p) > 0 && Blue(p) < 255) {
          ++blended;
          EXPECT_NEAR(Red(p) + Green(p) + Blue(p), 255, 2) << x << "," << y;
        }
      }
    EXPECT_GT(blended, 200);
  }
}

TEST(Coverage, NearerShapesHideFartherOnesAndOutlinesLieOverTheirFill) {
  CImage32 picture = Picture(60, 60, kBlue);
  CCoveragePainter painter;
  painter.Begin(RECT{0, 0, 60, 60});
  const PointF far[4] = {{5, 5}, {55, 5}, {55, 55}, {5, 55}};
  const PointF near[4] = {{20, 20}, {40, 20}, {40, 40}, {20, 40}};
  painter.AddPolygon(far, 4, kRed);
  painter.AddPolygon(near, 4, kGreen, 2.0f, RGB(0, 0, 0));
  painter.Paint(picture);
  EXPECT_EQ(picture.At(10, 10), 0xFF0000u);
  EXPECT_EQ(picture.At(30, 30), 0x00FF00u);
  // The two-pixel outline straddles the edge at 20: pixels 19 and 20 are black.
  EXPECT_EQ(picture.At(19, 30), 0u);
  EXPECT_EQ(picture.At(20, 30), 0u);
  EXPECT_EQ(picture.At(21, 30), 0x00FF00u);
  EXPECT_EQ(picture.At(18, 30), 0xFF0000u);
  // The corners are closed.
  EXPECT_EQ(picture.At(19, 19), 0u);
  EXPECT_EQ(picture.At(40, 40), 0u);
  EXPECT_EQ(picture.At(0, 0), kBlue);
}

TEST(Coverage, ALineCoversItsWidthAlongItsLength) {
  CImage32 picture = Picture(40, 40);
  CCoveragePainter painter;
  painter.Begin(RECT{0, 0, 40, 40});
  painter.AddLine(PointF{5.0f, 10.5f}, PointF{30.0f, 10.5f}, 1.0f, kWhite);
  painter.Paint(picture);
  for (int x = 5; x < 30; ++x) EXPECT_EQ(picture.At(x, 10), 0xFFFFFFu) << x;
  EXPECT_EQ(picture.At(4, 10), 0u);
  EXPECT_EQ(picture.At(30, 10), 0u);
  EXPECT_EQ(picture.At(10, 9), 0u);
  EXPECT_EQ(picture.At(10, 11), 0u);
}

TEST(Coverage, ShapesAreCutToTheClipAndKeepTheirCoverageAtItsBorder) {
  CImage32 picture = Picture(50, 50);
  CCoveragePainter painter;
  painter.Begin(RECT{10, 10, 40, 40});
  // Reaches beyond the clip on every side; its slanted left edge crosses the clip's left.
  const PointF shape[4] = {{-20.0f, -5.0f}, {70.0f, -5.0f}, {70.0f, 60.0f}, {15.0f, 60.0f}};
  painter.AddPolygon(shape, 4, kWhite);
  const RECT bounds = painter.GetBounds();
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.bottom, 40);
  painter.Paint(picture);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      const bool inside = x >= 10 && x < 40 && y >= 10 && y < 40;
      if (!inside) {
        ASSERT_EQ(picture.At(x, y), 0u) << x << "," << y;
        continue;
      }
      // Right of the slanted edge the shape is whole.
      const float edgeX = -20.0f + (y + 0.5f + 5.0f) * (35.0f / 65.0f);
      if (x > edgeX + 1.5f) {
        ASSERT_EQ(picture.At(x, y), 0xFFFFFFu) << x << "," << y;
      } else if (x + 1 < edgeX - 0.5f) {
        ASSERT_EQ(picture.At(x, y), 0u) << x << "," << y;
      }
    }
}

TEST(Coverage, DamagedInputPaintsNothingWrongAndNeverOutsideThePicture) {
  CImage32 picture = Picture(20, 20, kBlue);
  CCoveragePainter painter;
  painter.Begin(RECT{-100, -100, 1000, 1000});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float huge = 1e30f;
  const PointF broken[3] = {{nan, 1}, {5, nan}, {9, 9}};
  const PointF enormous[3] = {{-huge, -huge}, {huge, -huge}, {0, huge}};
  const PointF flat[3] = {{1, 1}, {10, 10}, {19, 19}};
  painter.AddPolygon(broken, 3, kRed);
  painter.AddPolygon(enormous, 3, kGreen);
  painter.AddPolygon(flat, 3, kRed);
  painter.AddPolygon(flat, 1, kRed);
  painter.AddPolygon(nullptr, 3, kRed);
  painter.AddLine(PointF{0, 0}, PointF{0, 0}, 1.0f, kRed);
  painter.Paint(picture);
  // The enormous triangle covers everything; nothing else may have torn the picture.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(Blue(picture.At(x, y)), 0) << x << "," << y;
  // An empty picture takes no paint.
  CImage32 none;
  painter.Paint(none);
}

TEST(Coverage, LoopsFilledTogetherLeaveTheInnerOneAsAHole) {
  CImage32 picture = Picture(40, 40, kBlue);
  CCoveragePainter painter;
  painter.Begin(RECT{0, 0, 40, 40});
  // Both loops wound the same way: the alternate rule still makes the inner one a hole.
  const PointF rings[8] = {{5, 5}, {35, 5}, {35, 35}, {5, 35}, {12.5f, 12.5f}, {27.5f, 12.5f}, {27.5f, 27.5f}, {12.5f, 27.5f}};
  const int counts[2] = {4, 4};
  painter.AddPolyPolygon(rings, counts, 2, kWhite);
  painter.Paint(picture);
  EXPECT_EQ(picture.At(8, 8), 0xFFFFFFu);
  EXPECT_EQ(picture.At(20, 20), kBlue);
  // The hole's border pixels are half covered.
  EXPECT_NEAR(Red(picture.At(12, 20)), 128, 1);
  EXPECT_NEAR(Blue(picture.At(12, 20)), 255, 0);
  EXPECT_NEAR(Red(picture.At(27, 20)), 128, 1);
}

// Shapes painted whole go straight into the picture, edge pixels are shared out afterwards:
// a pixel an edge covers in part in front of a shape painted whole takes the rest from it,
// and an edge behind a shape painted whole adds nothing.
TEST(Coverage, EdgePixelsShareOutWhatNearerShapesLeaveOfThem) {
  CImage32 picture = Picture(30, 30, kBlue);
  CCoveragePainter painter;
  painter.Begin(RECT{0, 0, 30, 30});
  const PointF hidden[4] = {{10.25f, 0}, {20, 0}, {20, 20}, {10.25f, 20}};
  const PointF whole[4] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}};
  const PointF half[4] = {{10.5f, 0}, {20, 0}, {20, 20}, {10.5f, 20}};
  painter.AddPolygon(hidden, 4, kWhite);
  painter.AddPolygon(whole, 4, kRed);
  painter.AddPolygon(half, 4, kGreen);
  painter.Paint(picture);
  EXPECT_EQ(picture.At(5, 5), 0xFF0000u);
  EXPECT_EQ(picture.At(15, 5), 0x00FF00u);
  // Half green in front, the rest red; the white edge behind the red adds nothing.
  EXPECT_EQ(picture.At(10, 5), 0x7F8000u);
  EXPECT_EQ(picture.At(25, 5), kBlue);
}

// A painter keeps its scratch between paintings: what it paints never depends on what it
// painted before, at another size or with other shapes.
TEST(Coverage, APainterUsedAgainPaintsWhatAFreshOneDoes) {
  auto paintStar = [](CCoveragePainter& painter, int size, float shift) {
    CImage32 picture = Picture(size, size, kBlue);
    painter.Begin(RECT{0, 0, size, size});
    for (int i = 0; i < 6; ++i) {
      const float a = 0.7f * i + shift, r = 0.4f * size, c = 0.5f * size;
      const PointF tri[3] = {{c, c},
                             {c + r * std::cos(a), c + r * std::sin(a)},
                             {c + r * std::cos(a + 1.3f), c + r * std::sin(a + 1.3f)}};
      painter.AddPolygon(tri, 3, RGB(40 * i, 255 - 40 * i, 90), 1.5f, RGB(0, 0, 0));
    }
    painter.Paint(picture);
    return picture;
  };
  CCoveragePainter used;
  paintStar(used, 90, 0.3f);
  paintStar(used, 40, 1.1f);
  for (const int size : {64, 90}) {
    CCoveragePainter fresh;
    const CImage32 expected = paintStar(fresh, size, 0.05f);
    const CImage32 again = paintStar(used, size, 0.05f);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) ASSERT_EQ(again.At(x, y), expected.At(x, y)) << x << "," << y << " at " << size;
  }
}
