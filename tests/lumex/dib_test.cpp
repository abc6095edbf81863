#include "bmp_builder.h"

#include <lumex/lumex.h>
#include <cordak/buffer.h>
#include <platform/dc.h>
#include <platform/palette.h>
#include <platform/region.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// The 16 standard colours at 0-7 and 248-255 and a grey ramp between, like the shared palette.
void MakePalette(CPalette& pal) {
  PALETTEENTRY entries[256];
  for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
  for (int i = 0; i < 8; ++i) {
    entries[i] = CDib::cm_peWindows[i];
    entries[248 + i] = CDib::cm_peWindows[8 + i];
  }
  pal.CreatePalette(entries, 256);
}

BYTE At(CDib& dib, int x, int y) { return *dib.GetPixelAddress(x, y); }

// Fills an 8-bit image with index = 10 * y + x, a pattern that shows misplaced pixels.
void Number(CDib& dib) {
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) *dib.GetPixelAddress(x, y) = BYTE(10 * y + x);
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("lumex-") + name)).string();
}

class DibTest : public testing::Test {
 protected:
  void SetUp() override { MakePalette(pal); }
  void TearDown() override { CDib::SetGlobalPalette(nullptr); }
  CPalette pal;
};

}  // namespace

TEST_F(DibTest, StorageWidthAndPixelAddressFollowTheBottomUpLayout) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 13, 4, 0), 1);
  EXPECT_EQ(dib.StorageWidth(), 16);
  CDib ten;
  ASSERT_EQ(ten.Create(&pal, 10, 10, 0), 1);
  EXPECT_EQ(ten.GetPixelAddress(0, 0), ten.GetBits() + 12 * 9);
  EXPECT_EQ(ten.GetPixelAddress(3, 9), ten.GetBits() + 3);

  BmpImage image;
  std::vector<BYTE> file;
  for (int bpp : {4, 24}) {
    std::vector<BYTE> bits(std::size_t(BmpRowBytes(13, bpp)) * 2, 0);
    file.clear();
    AppendBmpFile(file, 13, 2, bpp, nullptr, 0, bits.data());
    CDib loaded;
    ASSERT_EQ(loaded.LoadFromMemory(file.data(), file.size()), 1);
    EXPECT_EQ(loaded.StorageWidth(), bpp == 4 ? 8 : 40);
    EXPECT_EQ(loaded.GetPixelAddress(5, 1), loaded.GetBits() + (bpp == 4 ? 2 : 15));
  }
}

TEST_F(DibTest, CreateFillsKeepsOldImageOnFailureAndCopiesExactly) {
  CDib dib;
  EXPECT_EQ(dib.Create(nullptr, 4, 4, 0), 0);
  CPalette empty;
  EXPECT_EQ(dib.Create(&empty, 4, 4, 0), 0);
  ASSERT_EQ(dib.Create(&pal, 5, 3, 77), 1);
  EXPECT_EQ(dib.GetPalette(), &pal);
  EXPECT_EQ(dib.GetColorTable()[249].rgbRed, 255);
  for (std::size_t i = 0; i < dib.ImageSize(); ++i) ASSERT_EQ(dib.GetBits()[i], 77);
  EXPECT_EQ(dib.Create(&pal, 0, 3, 1), 0);
  EXPECT_EQ(dib.Width(), 5);

  Number(dib);
  CDib copy(dib);
  EXPECT_EQ(copy.GetPalette(), &pal);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(copy, x, y), At(dib, x, y));

  CRect part(1, 1, 4, 3);
  CDib piece;
  ASSERT_EQ(piece.Copy(dib, part), 1);
  EXPECT_EQ(piece.Width(), 3);
  EXPECT_EQ(piece.Height(), 2);
  EXPECT_EQ(At(piece, 0, 0), 11);
  EXPECT_EQ(At(piece, 2, 1), 23);

  CRect r;
  dib.GetRect(&r);
  EXPECT_TRUE(r == CRect(0, 0, 4, 2));
  dib.DeleteObject();
  EXPECT_EQ(dib.GetBits(), nullptr);
  EXPECT_EQ(dib.GetPalette(), nullptr);
  EXPECT_EQ(dib.Width(), 0);
}

TEST_F(DibTest, PixelsReadAndWriteOnlyInsideTheImage) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 4, 3, 0), 1);
  dib.SetBit(1, 2, 249);
  dib.SetBit(-1, 0, 249);
  dib.SetBit(4, 0, 249);
  dib.SetBit(0, 3, 249);
  unsigned char index = 55;
  EXPECT_EQ(dib.GetPixel(1, 2, index), 1);
  EXPECT_EQ(index, 249);
  EXPECT_EQ(dib.GetPixel(CPoint(4, 0), index), 0);
  EXPECT_EQ(index, 0);
  COLORREF colour = 0;
  dib.GetPixel(1, 2, colour);
  EXPECT_EQ(colour, RGB(255, 0, 0));
  EXPECT_EQ(dib.HitTest(CPoint(1, 2), 249), 0);
  EXPECT_EQ(dib.HitTest(CPoint(1, 2), 0), 1);
  EXPECT_EQ(dib.HitTest(CPoint(-1, 2), 0), 0);
  EXPECT_EQ(dib.HitTest(CPoint(1, 2), RGB(255, 0, 0)), 0);
  EXPECT_EQ(dib.HitTest(CPoint(0, 0), RGB(255, 0, 0)), 1);
  dib.SetBits(3);
  dib.GetPixel(3, 2, index);
  EXPECT_EQ(index, 3);
}

TEST_F(DibTest, CopyBitsClipsOnEverySideAndSkipsTransparentBytes) {
  CDib src, dest;
  ASSERT_EQ(src.Create(&pal, 6, 5, 0), 1);
  Number(src);
  struct Case {
    int sx, sy, w, h, dx, dy;
    CRect written;  // the block of dest that must change (exclusive)
    int offsetX, offsetY;  // dest - src position of each written pixel
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0, 0, CRect(0, 0, 4, 4), 0, 0},     // whole source, cut by dest
      {2, 1, 0, 0, 1, 1, CRect(1, 1, 4, 4), -1, 0},    // w, h 0: to the source's edges
      {0, 0, 6, 5, -2, -1, CRect(0, 0, 4, 4), -2, -1},  // starts left of and above dest
      {-3, -2, 5, 5, 0, 0, CRect(3, 2, 4, 4), 3, 2},    // starts outside the source
      {4, 3, 5, 5, 2, 2, CRect(2, 2, 4, 4), -2, -1},    // runs past the source
      {0, 0, 3, 3, 4, 0, CRect(), 0, 0},                // entirely right of dest
      {0, 0, 3, 3, 0, -3, CRect(), 0, 0},               // entirely above dest
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sx << "," << c.sy << " -> " << c.dx << "," << c.dy);
    ASSERT_EQ(dest.Create(&pal, 4, 4, 200), 1);
    int result = src.CopyBits(&dest, c.sx, c.sy, c.w, c.h, c.dx, c.dy, 0);
    EXPECT_EQ(result, c.written.IsRectEmpty() ? 0 : 1);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        bool inside = c.written.PtInRect(CPoint(x, y));
        int want = inside ? 10 * (y - c.offsetY) + (x - c.offsetX) : 200;
        EXPECT_EQ(At(dest, x, y), want) << x << "," << y;
      }
  }

  ASSERT_EQ(dest.Create(&pal, 4, 4, 200), 1);
  src.SetBits(254);
  src.SetBit(1, 1, 5);
  src.CopyBits(&dest, 0, 0, 4, 4, 0, 0, 254);
  EXPECT_EQ(At(dest, 1, 1), 5);
  EXPECT_EQ(At(dest, 0, 0), 200);
}

TEST_F(DibTest, Draw3DRectFollowsTheLineEndRule) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 8, 6, 100), 1);
  CDC* dc = dib.GetMemDC(nullptr);
  CDib::Draw3DRect(dc, 1, 1, 5, 4, 1, RGB(255, 255, 255), RGB(0, 0, 0));
  dib.ReleaseMemDC(dc);
  // x = 1..5, y = 1..4: light left and top, dark right and bottom; the bottom-left corner
  // and the pixel before the top-right corner are line ends and stay untouched.
  const char* expected[] = {
      "........",
      ".LLL.D..",
      ".L...D..",
      ".L...D..",
      "..DDDD..",
      "........",
  };
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      char want = expected[y][x];
      BYTE index = want == 'L' ? 255 : want == 'D' ? 0 : 100;
      EXPECT_EQ(At(dib, x, y), index) << x << "," << y;
    }

  // Sunken swaps the colours.
  dib.SetBits(100);
  dc = dib.GetMemDC(nullptr);
  CRect r(0, 0, 3, 3);
  CDib::Draw3DRect(dc, r, 0, RGB(255, 255, 255), RGB(0, 0, 0));
  dib.ReleaseMemDC(dc);
  EXPECT_EQ(At(dib, 0, 0), 0);
  EXPECT_EQ(At(dib, 2, 2), 255);
}

TEST_F(DibTest, DrawAndTileCopyThroughAContext) {
  CDib tile, target;
  ASSERT_EQ(tile.Create(&pal, 3, 2, 0), 1);
  Number(tile);
  ASSERT_EQ(target.Create(&pal, 8, 5, 99), 1);
  CDC* dc = target.GetMemDC(nullptr);
  CRect area(2, 2, 7, 5);  // tiling starts at the origin whatever the rectangle's corner
  tile.Tile(dc, area);
  target.ReleaseMemDC(dc);
  // Copies at x = 0, 3 and y = 0, 2 cover 6 x 4 pixels.
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 8; ++x) {
      int want = x < 6 && y < 4 ? 10 * (y % 2) + (x % 3) : 99;
      EXPECT_EQ(At(target, x, y), want) << x << "," << y;
    }

  target.SetBits(99);
  dc = target.GetMemDC(nullptr);
  CRect part(1, 0, 3, 1);
  tile.Draw(dc, CPoint(5, 4), &part);
  tile.Draw(dc, CPoint(0, 0), 1, 2);
  target.ReleaseMemDC(dc);
  EXPECT_EQ(At(target, 5, 4), 1);
  EXPECT_EQ(At(target, 6, 4), 2);
  EXPECT_EQ(At(target, 7, 4), 99);
  EXPECT_EQ(At(target, 0, 1), 10);
  EXPECT_EQ(At(target, 1, 0), 99);
}

TEST_F(DibTest, ConvertsFourAndTwentyFourBitImagesToThePalette) {
  // 24 bits: red, a near-white and a mid grey.
  BmpSpec s;
  s.width = 3;
  s.height = 1;
  s.bitCount = 24;
  s.pixels = {0, 0, 255, 255, 255, 255, 100, 100, 100, 0, 0, 0};
  std::vector<BYTE> file = BuildBmp(s);
  CDib dib;
  ASSERT_EQ(dib.LoadFromMemory(file.data(), file.size()), 1);
  ASSERT_EQ(dib.BitsPerPixel(), 24);
  COLORREF colour = 0;
  dib.GetPixel(2, 0, colour);
  EXPECT_EQ(colour, RGB(100, 100, 100));
  CPalette empty;
  EXPECT_EQ(dib.ConvertTo256Colors(empty), 0);
  EXPECT_EQ(dib.BitsPerPixel(), 24);
  ASSERT_EQ(dib.ConvertTo256Colors(pal), 1);
  ASSERT_EQ(dib.BitsPerPixel(), 8);
  EXPECT_EQ(dib.GetPalette(), &pal);
  EXPECT_EQ(At(dib, 0, 0), 249);
  EXPECT_EQ(At(dib, 1, 0), 255);
  EXPECT_EQ(At(dib, 2, 0), 100);

  // 4 bits with its own table: index 1 is pure blue, index 2 dark grey.
  BmpSpec s4;
  s4.width = 3;
  s4.height = 1;
  s4.bitCount = 4;
  s4.colors = GreyTable(16);
  s4.colors[1] = RGBQUAD{255, 0, 0, 0};
  s4.colors[2] = RGBQUAD{128, 128, 128, 0};
  s4.pixels = {0x12, 0x10, 0, 0};
  file = BuildBmp(s4);
  ASSERT_EQ(dib.LoadFromMemory(file.data(), file.size()), 1);
  dib.GetPixel(0, 0, colour);
  EXPECT_EQ(colour, RGB(0, 0, 255));
  ASSERT_EQ(dib.ConvertTo256Colors(pal), 1);
  EXPECT_EQ(At(dib, 0, 0), 252);
  EXPECT_EQ(At(dib, 1, 0), 128);  // the first of two equal greys
  EXPECT_EQ(At(dib, 2, 0), 252);
}

TEST_F(DibTest, LoadingMapsEightBitImagesToTheGlobalPalette) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.colors = GreyTable(256);
  s.colors[1] = RGBQUAD{0, 0, 250, 0};  // nearly red
  s.pixels = {1, 60, 0, 0};
  std::vector<BYTE> file = BuildBmp(s);

  CDib unmapped;
  ASSERT_EQ(unmapped.LoadFromMemory(file.data(), file.size()), 1);
  EXPECT_EQ(At(unmapped, 0, 0), 1);
  EXPECT_EQ(unmapped.GetPalette(), nullptr);

  CDib::SetGlobalPalette(&pal);
  CDib mapped;
  ASSERT_EQ(mapped.LoadFromMemory(file.data(), file.size()), 1);
  EXPECT_EQ(At(mapped, 0, 0), 249);
  EXPECT_EQ(At(mapped, 1, 0), 60);
  EXPECT_EQ(mapped.GetPalette(), &pal);
  EXPECT_EQ(mapped.GetColorTable()[249].rgbRed, 255);

  // A resource of a module, by number and by name.
  static std::vector<BYTE> stored;
  stored = file;
  static BitmapResource table[1];
  table[0] = BitmapResource{321, "ARROW", stored.data(), stored.size()};
  RegisterBitmapResources(LumexInstance(), table, 1);
  CDib fromResource;
  EXPECT_EQ(fromResource.Load(LumexInstance(), 321), 1);
  EXPECT_EQ(At(fromResource, 0, 0), 249);
  EXPECT_EQ(fromResource.Load(LumexInstance(), "ARROW"), 1);
  EXPECT_EQ(fromResource.Load(LumexInstance(), "#321"), 1);
  EXPECT_EQ(fromResource.Load(nullptr, 321), 0);  // not the program's
  EXPECT_EQ(fromResource.Load(LumexInstance(), 322), 0);
  EXPECT_EQ(fromResource.Width(), 2);  // a failed load keeps the image
  UnregisterBitmapResources(LumexInstance());
  EXPECT_EQ(fromResource.Load(LumexInstance(), 321), 0);

  EXPECT_EQ(fromResource.Load("/nonexistent/file.bmp"), 0);
  EXPECT_EQ(fromResource.Width(), 2);
}

TEST_F(DibTest, SaveWritesABmpThatLoadsBackAndNeverLeavesHalfFiles) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 7, 3, 0), 1);
  Number(dib);
  CUBuffer buffer;
  dib.Write(buffer);
  ASSERT_EQ(buffer.GetSize(), 1078 + 8 * 3);
  const unsigned char* bytes = buffer.GetData();
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[2] | (bytes[3] << 8), 1078 + 24);
  EXPECT_EQ(bytes[10] | (bytes[11] << 8), 1078);
  EXPECT_EQ(bytes[28], 8);                 // bits per pixel
  EXPECT_EQ(bytes[54 + 4 * 249 + 2], 255); // entry 249 is red
  EXPECT_EQ(bytes[1078], 20);              // first stored row is the bottom one

  std::string path = TempPath("save.bmp");
  ASSERT_EQ(dib.Save(path.c_str()), 1);
  CDib back;
  back.SetPalette(&pal);
  ASSERT_EQ(back.Load(path.c_str()), 1);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(At(back, x, y), At(dib, x, y));

  // A save that cannot complete leaves the old file alone.
  CDib empty;
  EXPECT_EQ(empty.Save(path.c_str()), 0);
  EXPECT_EQ(dib.Save("/nonexistent-folder/x.bmp"), 0);
  EXPECT_EQ(back.Load(path.c_str()), 1);
  std::filesystem::remove(path);
}

TEST_F(DibTest, RegionFollowsThePixelsThatDifferFromTheBackground) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 9, 7, 254), 1);
  const char* shape[] = {
      "....#....",
      "...###...",
      "..#####..",
      ".##.#.##.",
      "..#####..",
      "..#...#..",
      "#.......#",
  };
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x)
      if (shape[y][x] == '#') dib.SetBit(x, y, 3);
  CRgn rgn;
  ASSERT_EQ(dib.CreateRegion(rgn, 254), 1);
  for (int y = -1; y <= 7; ++y)
    for (int x = -1; x <= 9; ++x) {
      bool want = x >= 0 && y >= 0 && x < 9 && y < 7 && shape[y][x] == '#';
      EXPECT_EQ(rgn.PtInRegion(x, y) != 0, want) << x << "," << y;
    }

  dib.SetBits(254);
  CRgn none;
  ASSERT_EQ(dib.CreateRegion(none, 254), 1);
  EXPECT_TRUE(none.IsEmpty());
}

TEST_F(DibTest, FillRGBArraysGoesInMemoryOrder) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 2, 2, 0), 1);
  dib.SetBit(0, 1, 249);  // bottom-left: red, first in memory
  dib.SetBit(1, 0, 252);  // top-right: blue, last
  unsigned char r[4], g[4], b[4];
  ASSERT_EQ(dib.FillRGBArrays(r, g, b), 1);
  EXPECT_EQ(r[0], 255);
  EXPECT_EQ(g[0], 0);
  EXPECT_EQ(b[3], 255);
  EXPECT_EQ(r[3], 0);

  CPalette made;
  ASSERT_EQ(dib.CreatePalette(made, 1), 1);
  EXPECT_EQ(made.GetEntryCount(), 256);
  EXPECT_EQ(dib.GetPalette(), &made);
  BITMAPINFO* info = dib.GetBitmapInfo();
  EXPECT_EQ(info->bmiHeader.biWidth, 2);
  EXPECT_EQ(info->bmiHeader.biBitCount, 8);
  EXPECT_EQ(info->bmiColors[249].rgbRed, 255);
}
