// Bitmaps, palettes and the drawing context: addressing, colour matching, lines, clipping,
// blits and the life of selected objects.
#include <platform/platform.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

const RGBQUAD kTable[4] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 255, 255, 0}};

struct MemDC {
  CBitmap bmp;
  CDC dc;
  MemDC(int w, int h, int bpp = 8, const RGBQUAD* table = kTable, int count = 4) {
    bmp.CreateDIBSection(w, h, bpp, table, count);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bmp);
  }
};

}  // namespace

TEST(Bitmap, EveryDepthIsBottomUpWithPaddedRows) {
  struct Case { int bpp, width, stride; };
  for (const Case c : {Case{1, 13, 4}, Case{4, 13, 8}, Case{8, 13, 16}, Case{24, 13, 40}, Case{32, 13, 52}}) {
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateDIBSection(c.width, 3, c.bpp, kTable, 4)) << c.bpp;
    EXPECT_EQ(bmp.Stride(), c.stride) << c.bpp;
    EXPECT_EQ(bmp.ImageSize(), static_cast<std::size_t>(c.stride) * 3);
    // The top row is the last row in memory.
    EXPECT_EQ(bmp.RowAddress(0), bmp.Bits() + 2 * c.stride);
    EXPECT_EQ(bmp.RowAddress(2), bmp.Bits());
    EXPECT_EQ(bmp.RowAddress(3), nullptr);
    const std::uint32_t value = c.bpp == 1 ? 1 : c.bpp == 4 ? 3 : c.bpp == 8 ? 3 : 0x123456;
    bmp.SetPixelValue(12, 0, value);
    bmp.SetPixelValue(0, 2, value);
    EXPECT_EQ(bmp.PixelValue(12, 0), value);
    EXPECT_EQ(bmp.PixelValue(0, 2), value);
    EXPECT_EQ(bmp.PixelValue(11, 0), 0u) << "neighbour untouched at depth " << c.bpp;
    EXPECT_EQ(bmp.PixelValue(1, 2), 0u);
    EXPECT_NE(bmp.Bits()[0], 0) << "bottom row is first in memory at depth " << c.bpp;
  }
}

TEST(Bitmap, RejectsBadShapesAndKeepsItsPixels) {
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateDIBSection(4, 4, 8, kTable, 4));
  bmp.SetPixelValue(1, 1, 2);
  EXPECT_FALSE(bmp.CreateDIBSection(0, 4, 8));
  EXPECT_FALSE(bmp.CreateDIBSection(4, 4, 16));
  EXPECT_FALSE(bmp.CreateDIBSection(40000, 4, 8));
  EXPECT_EQ(bmp.Width(), 4);
  EXPECT_EQ(bmp.PixelValue(1, 1), 2u);
  EXPECT_EQ(bmp.PixelColor(4, 0), CLR_INVALID);
}

TEST(Palette, NearestPicksTheFirstOfEqualsAndForgetsStaleAnswers) {
  const PALETTEENTRY entries[4] = {{10, 200, 10, 0}, {200, 0, 0, 0}, {0, 0, 200, 0}, {200, 0, 0, 0}};
  CPalette pal;
  EXPECT_FALSE(pal.GetSafeHandle());
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(1, 2, 3)), CLR_INVALID);
  ASSERT_TRUE(pal.CreatePalette(entries, 4));
  EXPECT_TRUE(pal.GetSafeHandle());
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(255, 0, 0)), 1u);   // 1 and 3 tie
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(0, 255, 0)), 0u);
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(100, 0, 100)), 1u);  // equal distance to 1 and 2
  EXPECT_EQ(pal.GetNearestPaletteIndex(PALETTEINDEX(2)), 2u);
  const PALETTEENTRY pure{255, 0, 0, 0};
  pal.SetPaletteEntries(3, 1, &pure);
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(255, 0, 0)), 3u) << "cached answer outlived the change";
  EXPECT_EQ(pal.GetNearestColor(RGB(250, 5, 5)), RGB(255, 0, 0));
}

TEST(Drawing, FillsMapColoursToTheBitmapTable) {
  MemDC m(8, 8);
  m.dc.FillSolidRect(0, 0, 8, 8, RGB(250, 10, 0));  // nearest is red, entry 1
  EXPECT_EQ(m.bmp.PixelValue(3, 3), 1u);
  RGBQUAD table[4];
  std::copy(kTable, kTable + 4, table);
  table[2] = RGBQUAD{0, 10, 250, 0};  // the exact colour
  m.bmp.SetColorTable(0, 4, table);
  m.dc.FillSolidRect(0, 0, 8, 8, RGB(250, 10, 0));
  EXPECT_EQ(m.bmp.PixelValue(3, 3), 2u) << "colour table change ignored";
  m.dc.FillSolidRect(0, 0, 8, 8, PALETTEINDEX(3));
  EXPECT_EQ(m.bmp.PixelValue(3, 3), 3u);
}

TEST(Drawing, LinesLeaveOutTheirEndPoint) {
  MemDC m(16, 16);
  CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
  m.dc.SelectObject(&pen);
  m.dc.MoveTo(2, 5);
  m.dc.LineTo(8, 5);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(m.bmp.PixelValue(x, 5), (x >= 2 && x < 8) ? 3u : 0u) << x;
  EXPECT_EQ(m.dc.GetCurrentPosition(), CPoint(8, 5));
  m.dc.LineTo(8, 1);  // upwards: (8,5) .. (8,2)
  for (int y = 0; y < 16; ++y) EXPECT_EQ(m.bmp.PixelValue(8, y), (y >= 2 && y <= 5) ? 3u : 0u) << y;
  m.dc.MoveTo(10, 10);
  m.dc.LineTo(13, 13);  // diagonal
  EXPECT_EQ(m.bmp.PixelValue(12, 12), 3u);
  EXPECT_EQ(m.bmp.PixelValue(13, 13), 0u);
  m.dc.MoveTo(0, 15);
  m.dc.LineTo(0, 15);  // zero length draws nothing
  EXPECT_EQ(m.bmp.PixelValue(0, 15), 0u);
  m.dc.SelectStockObject(NULL_PEN);
  m.dc.MoveTo(0, 0);
  m.dc.LineTo(15, 0);
  EXPECT_EQ(m.bmp.PixelValue(3, 0), 0u);
}

TEST(Drawing, ClippedLinesMatchTheUnclippedOnes) {
  // Lines drawn into a small bitmap must be the window of the same lines in a big one.
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> d(-60, 100);
  for (int round = 0; round < 200; ++round) {
    MemDC big(200, 200), small(40, 30);
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    big.dc.SelectObject(&pen);
    small.dc.SelectObject(&pen);
    small.dc.SetViewportOrg(-80, -80);  // the small one shows 80..119 x 80..109 of the big one
    const int x0 = d(rng) + 80, y0 = d(rng) + 80, x1 = d(rng) + 80, y1 = d(rng) + 80;
    big.dc.MoveTo(x0, y0);
    big.dc.LineTo(x1, y1);
    small.dc.MoveTo(x0, y0);
    small.dc.LineTo(x1, y1);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        ASSERT_EQ(small.bmp.PixelValue(x, y), big.bmp.PixelValue(x + 80, y + 80))
            << round << ": " << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

TEST(Drawing, RectanglesAndPatBltStopAtEveryEdge) {
  MemDC m(10, 10);
  m.dc.FillSolidRect(-5, -5, 8, 8, RGB(255, 255, 255));  // top-left corner
  m.dc.FillSolidRect(7, 7, 100, 100, RGB(255, 0, 0));     // bottom-right corner
  m.dc.FillSolidRect(20, 0, 5, 5, RGB(0, 255, 0));        // fully outside
  EXPECT_EQ(m.bmp.PixelValue(0, 0), 3u);
  EXPECT_EQ(m.bmp.PixelValue(2, 2), 3u);
  EXPECT_EQ(m.bmp.PixelValue(3, 3), 0u);
  EXPECT_EQ(m.bmp.PixelValue(9, 9), 1u);
  EXPECT_EQ(m.bmp.PixelValue(6, 6), 0u);
  CBrush green(RGB(0, 255, 0));
  m.dc.SelectObject(&green);
  EXPECT_TRUE(m.dc.PatBlt(4, 0, 2, 10, PATCOPY));
  EXPECT_EQ(m.bmp.PixelValue(5, 9), 2u);
  EXPECT_EQ(m.bmp.PixelValue(6, 9), 0u);
  EXPECT_EQ(m.bmp.PixelValue(7, 9), 1u);
  // Rectangle: outline on left..right-1, brush inside.
  m.dc.FillSolidRect(0, 0, 10, 10, 0);
  CPen white(PS_SOLID, 1, RGB(255, 255, 255));
  m.dc.SelectObject(&white);
  m.dc.Rectangle(1, 1, 6, 6);
  EXPECT_EQ(m.bmp.PixelValue(5, 5), 3u);
  EXPECT_EQ(m.bmp.PixelValue(6, 6), 0u);
  EXPECT_EQ(m.bmp.PixelValue(3, 3), 2u);
}

TEST(Drawing, ClipRegionAndViewportOrigin) {
  MemDC m(10, 10);
  m.dc.SetViewportOrg(2, 3);
  m.dc.IntersectClipRect(0, 0, 4, 4);  // device 2..5 x 3..6
  m.dc.ExcludeClipRect(1, 1, 2, 2);    // device (3,4) excluded
  RECT box;
  EXPECT_EQ(m.dc.GetClipBox(&box), COMPLEXREGION);
  EXPECT_EQ(CRect(box), CRect(0, 0, 4, 4));
  m.dc.FillSolidRect(-10, -10, 30, 30, RGB(255, 255, 255));
  int painted = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) painted += m.bmp.PixelValue(x, y) == 3;
  EXPECT_EQ(painted, 15);
  EXPECT_EQ(m.bmp.PixelValue(2, 3), 3u);
  EXPECT_EQ(m.bmp.PixelValue(3, 4), 0u);
  EXPECT_EQ(m.bmp.PixelValue(6, 3), 0u);
  // SaveDC/RestoreDC bring the old clip and origin back.
  const int level = m.dc.SaveDC();
  m.dc.IntersectClipRect(0, 0, 1, 1);
  m.dc.SetViewportOrg(0, 0);
  ASSERT_TRUE(m.dc.RestoreDC(level));
  EXPECT_EQ(m.dc.GetViewportOrg(), CPoint(2, 3));
  m.dc.SelectClipRgn(nullptr);
  EXPECT_EQ(m.dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(CRect(box), CRect(-2, -3, 8, 7));
  EXPECT_FALSE(m.dc.RestoreDC(5));
}

TEST(Drawing, ExcludingBeforeABitmapIsSelectedKeepsTheRest) {
  CBitmap bmp;
  bmp.CreateDIBSection(6, 6, 8, kTable, 4);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.ExcludeClipRect(0, 0, 2, 2);
  dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 6, 6, RGB(255, 255, 255));
  EXPECT_EQ(bmp.PixelValue(1, 1), 0u);
  EXPECT_EQ(bmp.PixelValue(2, 1), 3u);
  EXPECT_EQ(bmp.PixelValue(5, 5), 3u);
}

TEST(Drawing, BitBltConvertsColoursAndClipsAtTheSource) {
  const RGBQUAD other[4] = {{255, 255, 255, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {0, 0, 0, 0}};
  MemDC src(6, 6), dst(8, 8, 8, other, 4);
  src.dc.FillSolidRect(0, 0, 6, 6, RGB(255, 0, 0));
  src.dc.FillSolidRect(0, 0, 3, 3, RGB(255, 255, 255));
  ASSERT_TRUE(dst.dc.BitBlt(4, 4, 10, 10, &src.dc, 0, 0, SRCCOPY));
  // White is entry 0 and red entry 2 in the destination's table.
  EXPECT_EQ(dst.bmp.PixelValue(4, 4), 0u);
  EXPECT_EQ(dst.bmp.PixelValue(7, 7), 2u);
  EXPECT_EQ(dst.bmp.PixelValue(3, 3), 0u);
  dst.dc.FillSolidRect(0, 0, 8, 8, RGB(0, 0, 0));
  dst.dc.BitBlt(0, 0, 8, 8, &src.dc, 4, 4, SRCCOPY);  // only 2 x 2 source pixels exist there
  EXPECT_EQ(dst.bmp.PixelValue(1, 1), 2u);
  EXPECT_EQ(dst.bmp.PixelValue(2, 2), 3u);
  // A 24-bit source into the 8-bit destination.
  MemDC rgb(4, 4, 24, nullptr, 0);
  rgb.dc.FillSolidRect(0, 0, 4, 4, RGB(0, 250, 0));
  dst.dc.BitBlt(0, 0, 4, 4, &rgb.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.bmp.PixelValue(0, 0), 1u);
  EXPECT_EQ(rgb.bmp.PixelColor(3, 3), RGB(0, 250, 0));
}

TEST(Drawing, BitBltWithinOneBitmapSeesTheOldPixels) {
  MemDC m(8, 1);
  for (int x = 0; x < 8; ++x) m.bmp.SetPixelValue(x, 0, static_cast<std::uint32_t>(x % 4));
  m.dc.BitBlt(1, 0, 6, 1, &m.dc, 0, 0, SRCCOPY);
  const std::uint32_t expected[8] = {0, 0, 1, 2, 3, 0, 1, 3};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(m.bmp.PixelValue(x, 0), expected[x]) << x;
}

TEST(Drawing, TransparentBltSkipsTheKeyColour) {
  MemDC src(4, 4), dst(4, 4);
  src.dc.FillSolidRect(0, 0, 4, 4, RGB(0, 255, 0));
  src.dc.FillSolidRect(0, 0, 2, 4, RGB(255, 0, 0));
  dst.dc.FillSolidRect(0, 0, 4, 4, RGB(255, 255, 255));
  dst.dc.TransparentBlt(0, 0, 4, 4, &src.dc, 0, 0, RGB(0, 255, 0));
  EXPECT_EQ(dst.bmp.PixelValue(0, 0), 1u);
  EXPECT_EQ(dst.bmp.PixelValue(3, 0), 3u);
}

TEST(Drawing, DestroyedObjectsAreDeselected) {
  MemDC m(4, 4);
  {
    CBrush brush(RGB(255, 0, 0));
    m.dc.SelectObject(&brush);
    m.dc.SaveDC();
  }  // destroyed while selected and saved
  const POINT tri[3] = {{0, 0}, {4, 0}, {0, 4}};
  m.dc.SelectStockObject(NULL_PEN);
  EXPECT_TRUE(m.dc.Polygon(tri, 3));
  EXPECT_EQ(m.bmp.PixelValue(0, 0), 3u) << "falls back to the default white brush";
  EXPECT_TRUE(m.dc.RestoreDC(-1));
  auto bmp = std::make_unique<CBitmap>();
  bmp->CreateDIBSection(4, 4, 8, kTable, 4);
  m.dc.SelectObject(bmp.get());
  bmp.reset();
  EXPECT_EQ(m.dc.GetCurrentBitmap(), nullptr);
  m.dc.FillSolidRect(0, 0, 4, 4, RGB(255, 0, 0));  // nothing to draw into, and no crash
}

TEST(Drawing, BoundSurfaceDrawsAtItsOffsetAndStaysInside) {
  CBitmap back;
  back.CreateDIBSection(20, 20, 8, kTable, 4);
  CDC dc;
  const RECT visible{0, 0, 5, 5};
  dc.BindSurface(&back, POINT{10, 10}, &visible);
  dc.FillSolidRect(-3, -3, 100, 100, RGB(255, 255, 255));
  int painted = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) painted += back.PixelValue(x, y) == 3;
  EXPECT_EQ(painted, 25);
  EXPECT_EQ(back.PixelValue(10, 10), 3u);
  EXPECT_EQ(back.PixelValue(14, 14), 3u);
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(5, 0), CLR_INVALID);
}

TEST(Region, RectanglesCombineAndTestExclusively) {
  CRgn a, b, c;
  a.CreateRectRgn(0, 0, 10, 10);
  b.CreateRectRgn(5, 5, 15, 15);
  EXPECT_TRUE(a.PtInRegion(9, 9));
  EXPECT_FALSE(a.PtInRegion(10, 9));
  c.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(c.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  RECT box;
  c.GetRgnBox(&box);
  EXPECT_EQ(CRect(box), CRect(5, 5, 10, 10));
  EXPECT_EQ(c.CombineRgn(&a, &b, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(c.PtInRegion(7, 7));
  EXPECT_TRUE(c.PtInRegion(2, 7));
  EXPECT_TRUE(c.PtInRegion(12, 7));
  c.CombineRgn(&a, &b, RGN_DIFF);
  EXPECT_FALSE(c.PtInRegion(12, 7));
  c.CombineRgn(&c, &b, RGN_OR);  // into itself
  EXPECT_TRUE(c.PtInRegion(14, 14));
  c.OffsetRgn(100, 0);
  EXPECT_TRUE(c.PtInRegion(114, 14));
  CRgn same;
  same.CreateRectRgn(10, 10, 0, 0);  // corners given the wrong way round
  EXPECT_TRUE(same.EqualRgn(&a));
}

TEST(Drawing, SaveAndRestoreBringBackEverySelection) {
  // The pattern of a memory context lent out for drawing: save, select, draw, restore.
  MemDC m(4, 4);
  CBitmap other;
  other.CreateDIBSection(2, 2, 8, kTable, 4);
  CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
  CFont font;
  font.CreatePointFont(120, "Times New Roman");
  CPen* defaultPen = m.dc.GetCurrentPen();
  const int level = m.dc.SaveDC();
  EXPECT_EQ(m.dc.SelectObject(&other), &m.bmp);
  EXPECT_EQ(m.dc.SelectObject(&pen), defaultPen);
  m.dc.SelectObject(&font);
  m.dc.SetTextColor(RGB(1, 2, 3));
  m.dc.SetBkMode(TRANSPARENT);
  m.dc.SetPolyFillMode(WINDING);
  ASSERT_TRUE(m.dc.RestoreDC(level));
  EXPECT_EQ(m.dc.GetCurrentBitmap(), &m.bmp);
  EXPECT_EQ(m.dc.GetCurrentPen(), defaultPen);
  EXPECT_NE(m.dc.GetCurrentFont(), &font);
  EXPECT_EQ(m.dc.GetTextColor(), RGB(0, 0, 0));
  EXPECT_EQ(m.dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(m.dc.GetPolyFillMode(), ALTERNATE);
  // Stock objects are shared and survive DeleteObject.
  EXPECT_EQ(GetStockObject(NULL_PEN), GetStockObject(NULL_PEN));
  EXPECT_FALSE(GetStockObject(WHITE_BRUSH)->DeleteObject());
  EXPECT_TRUE(GetStockObject(WHITE_BRUSH)->GetSafeHandle());
}

TEST(Drawing, InversionsUndoThemselves) {
  MemDC m(12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) m.bmp.SetPixelValue(x, y, static_cast<std::uint32_t>((x + y) % 4));
  std::vector<std::uint32_t> before;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) before.push_back(m.bmp.PixelValue(x, y));
  const RECT r{1, 2, 10, 11};
  m.dc.DrawFocusRect(&r);
  EXPECT_NE(m.bmp.PixelValue(1, 2), before[2 * 12 + 1]);
  EXPECT_EQ(m.bmp.PixelValue(2, 2), before[2 * 12 + 2]) << "dotted";
  EXPECT_EQ(m.bmp.PixelValue(5, 5), before[5 * 12 + 5]) << "inside untouched";
  m.dc.DrawFocusRect(&r);
  m.dc.InvertRect(&r);
  EXPECT_EQ(m.bmp.PixelValue(5, 5), before[5 * 12 + 5] ^ 0xFFu);
  m.dc.InvertRect(&r);
  m.dc.PatBlt(-3, -3, 20, 20, DSTINVERT);
  m.dc.PatBlt(-3, -3, 20, 20, DSTINVERT);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(m.bmp.PixelValue(x, y), before[y * 12 + x]) << x << "," << y;
}

TEST(Drawing, PolyPolygonLeavesHolesUnderTheAlternateRule) {
  MemDC m(20, 20);
  const POINT rings[8] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {5, 5}, {15, 5}, {15, 15}, {5, 15}};
  const int counts[2] = {4, 4};
  m.dc.SelectStockObject(NULL_PEN);
  m.dc.PolyPolygon(rings, counts, 2);
  EXPECT_EQ(m.bmp.PixelValue(2, 2), 3u);
  EXPECT_EQ(m.bmp.PixelValue(10, 10), 0u);
  m.dc.SetPolyFillMode(WINDING);  // both rings run the same way: the hole fills
  m.dc.PolyPolygon(rings, counts, 2);
  EXPECT_EQ(m.bmp.PixelValue(10, 10), 3u);
  CRgn region;
  region.CreatePolyPolygonRgn(rings, counts, 2, ALTERNATE);
  EXPECT_FALSE(region.PtInRegion(10, 10));
  region.OffsetRgn(100, 0);
  EXPECT_TRUE(region.PtInRegion(102, 2));
  EXPECT_FALSE(region.PtInRegion(2, 2));
  CBrush red(RGB(255, 0, 0));
  m.dc.FillSolidRect(0, 0, 20, 20, 0);
  region.OffsetRgn(-100, 0);
  m.dc.FillRgn(&region, &red);
  EXPECT_EQ(m.bmp.PixelValue(2, 2), 1u);
  EXPECT_EQ(m.bmp.PixelValue(10, 10), 0u);
}

TEST(Bitmap, CompatibleBitmapsAndAdoptionCarryTheColourTable) {
  MemDC m(4, 4);
  CBitmap compatible;
  ASSERT_TRUE(compatible.CreateCompatibleBitmap(&m.dc, 7, 5));
  EXPECT_EQ(compatible.BitsPerPixel(), 8);
  EXPECT_EQ(compatible.ColorTable()[1], kTable[1]);
  compatible.SetPixelValue(6, 4, 2);
  CBitmap taker;
  taker.Adopt(compatible);
  EXPECT_FALSE(compatible.GetSafeHandle());
  EXPECT_EQ(compatible.Bits(), nullptr);
  EXPECT_EQ(taker.Width(), 7);
  EXPECT_EQ(taker.PixelValue(6, 4), 2u);
  EXPECT_EQ(taker.PixelColor(6, 4), RGB(0, 255, 0));
  CDC empty;
  CBitmap plain;
  ASSERT_TRUE(plain.CreateCompatibleBitmap(&empty, 3, 3));
  EXPECT_EQ(plain.BitsPerPixel(), 32);
}

TEST(Drawing, ExtremeCoordinatesDrawWhatShowsAndNothingElse) {
  MemDC m(8, 8);
  m.dc.SelectStockObject(NULL_PEN);
  m.dc.Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(m.bmp.PixelValue(x, y), 3u);
  CBrush red(RGB(255, 0, 0));
  const RECT everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  m.dc.FrameRect(&everything, &red);
  m.dc.Draw3dRect(&everything, RGB(255, 0, 0), RGB(0, 255, 0));
  EXPECT_EQ(m.bmp.PixelValue(4, 4), 3u) << "the frame lies far outside";
  m.dc.SetViewportOrg(INT32_MIN, INT32_MAX);
  m.dc.OffsetViewportOrg(INT32_MIN, INT32_MAX);
  m.dc.FillSolidRect(INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, RGB(0, 0, 0));
  RECT r = everything;
  m.dc.DrawText("far away\r\nand more", -1, &r, DT_CENTER | DT_WORDBREAK);
  m.dc.DrawText("far away", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
  m.dc.SetViewportOrg(0, 0);
  EXPECT_EQ(m.bmp.PixelValue(4, 4), 3u);
}
