#include "bmp_builder.h"

#include <lumex/bmpfile.h>

#include <gtest/gtest.h>

#include <random>

namespace {

// Decodes from a copy of exactly size bytes, so a read past the end is caught by the sanitizer.
int Decode(const std::vector<BYTE>& bytes, std::size_t size, BmpImage& image) {
  std::vector<BYTE> exact(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
  return DecodeBmp(exact.data(), exact.size(), image);
}
int Decode(const std::vector<BYTE>& bytes, BmpImage& image) { return Decode(bytes, bytes.size(), image); }

BYTE Pixel8(const BmpImage& image, int x, int yFromTop) {
  return image.bits[std::size_t(image.Stride()) * (image.height - 1 - yFromTop) + x];
}

std::vector<BYTE> RandomBits(int width, int height, int bpp, unsigned seed) {
  std::mt19937 rng(seed);
  int stride = BmpRowBytes(width, bpp);
  int used = (width * bpp + 7) / 8;
  std::vector<BYTE> bits(std::size_t(stride) * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < used; ++x) bits[std::size_t(stride) * y + x] = BYTE(rng());
  return bits;
}

// A small RLE8 image, 4 x 3, using every kind of record.
BmpSpec Rle8Spec() {
  BmpSpec s;
  s.width = 4;
  s.height = 3;
  s.bitCount = 8;
  s.compression = 1;
  s.colors = GreyTable(256);
  s.pixels = {4, 1, 0, 0,              // bottom row: four 1s
              0, 3, 2, 3, 4, 0, 1, 5,  // middle: absolute 2 3 4 (padded), then a 5
              0, 0,                    // end of line
              0, 2, 2, 0, 2, 7,        // top: skip two pixels, then two 7s
              0, 1};                   // end of bitmap
  return s;
}

}  // namespace

TEST(BmpFile, RoundTripsEveryStoredDepthAndOddWidths) {
  for (int bpp : {4, 8, 24}) {
    for (int width : {1, 2, 3, 5, 7, 13, 32}) {
      SCOPED_TRACE(testing::Message() << bpp << " bits, width " << width);
      int height = 3;
      std::vector<BYTE> bits = RandomBits(width, height, bpp, unsigned(width * 31 + bpp));
      std::vector<RGBQUAD> colors = GreyTable(bpp == 24 ? 0 : 1 << bpp);
      std::vector<BYTE> file;
      AppendBmpFile(file, width, height, bpp, colors.data(), int(colors.size()), bits.data());
      ASSERT_EQ(file.size(), 1078 + bits.size());

      BmpImage image;
      ASSERT_EQ(Decode(file, image), 1);
      EXPECT_EQ(image.width, width);
      EXPECT_EQ(image.height, height);
      EXPECT_EQ(image.bitsPerPixel, bpp);
      EXPECT_EQ(image.bits, bits);
      if (bpp != 24) {
        EXPECT_EQ(image.colors, colors);
      }
    }
  }
}

TEST(BmpFile, ReadsOneBitAsIndicesAndTopDownRowsBottomFirst) {
  BmpSpec s;
  s.width = 10;
  s.height = -2;  // top-down
  s.bitCount = 1;
  s.colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  s.pixels = {0b10100000, 0b01000000, 0, 0,   // top row: x = 0, 2, 9 set
              0b00000000, 0b11000000, 0, 0};  // bottom row: x = 8, 9 set
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(s), image), 1);
  ASSERT_EQ(image.bitsPerPixel, 8);
  EXPECT_EQ(Pixel8(image, 0, 0), 1);
  EXPECT_EQ(Pixel8(image, 1, 0), 0);
  EXPECT_EQ(Pixel8(image, 2, 0), 1);
  EXPECT_EQ(Pixel8(image, 9, 0), 1);
  EXPECT_EQ(Pixel8(image, 8, 0), 0);
  EXPECT_EQ(Pixel8(image, 8, 1), 1);
  EXPECT_EQ(Pixel8(image, 0, 1), 0);
  EXPECT_EQ(image.colors[1].rgbRed, 255);
  EXPECT_EQ(image.colors[2].rgbRed, 0);  // the table is padded with black
}

TEST(BmpFile, ReadsTrueColourKindsAsTwentyFourBits) {
  // 32 bits with a V5 header and masks that put red in the low byte.
  BmpSpec v5;
  v5.headerSize = 124;
  v5.width = 2;
  v5.height = 1;
  v5.bitCount = 32;
  v5.compression = 3;
  v5.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  v5.pixels = {10, 20, 30, 255, 40, 50, 60, 0};
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(v5), image), 1);
  ASSERT_EQ(image.bitsPerPixel, 24);
  EXPECT_EQ(image.bits[0], 30);  // blue, green, red
  EXPECT_EQ(image.bits[1], 20);
  EXPECT_EQ(image.bits[2], 10);
  EXPECT_EQ(image.bits[5], 40);

  // 16 bits, default 5-5-5 layout: pure red and full white.
  BmpSpec s16;
  s16.width = 2;
  s16.height = 1;
  s16.bitCount = 16;
  s16.pixels = {0x00, 0x7C, 0xFF, 0x7F};
  ASSERT_EQ(Decode(BuildBmp(s16), image), 1);
  EXPECT_EQ((std::vector<BYTE>(image.bits.begin(), image.bits.begin() + 6)),
            (std::vector<BYTE>{0, 0, 255, 255, 255, 255}));

  // 16 bits, 5-6-5 masks after a plain header.
  s16.compression = 3;
  s16.masks = {0xF800, 0x07E0, 0x001F};
  s16.pixels = {0xE0, 0x07, 0x1F, 0x00};  // pure green, pure blue
  ASSERT_EQ(Decode(BuildBmp(s16), image), 1);
  EXPECT_EQ((std::vector<BYTE>(image.bits.begin(), image.bits.begin() + 6)),
            (std::vector<BYTE>{0, 255, 0, 255, 0, 0}));
}

TEST(BmpFile, ReadsOldCoreHeaderAndPackedDib) {
  BmpSpec core;
  core.headerSize = 12;
  core.width = 3;
  core.height = 1;
  core.bitCount = 8;
  core.colors = GreyTable(256);
  core.pixels = {7, 8, 9, 0};
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(core), image), 1);
  EXPECT_EQ(Pixel8(image, 2, 0), 9);
  EXPECT_EQ(image.colors[9].rgbGreen, 9);

  BmpSpec packed = core;
  packed.headerSize = 40;
  packed.fileHeader = false;
  packed.colorsUsed = 16;
  packed.colors = GreyTable(16);
  ASSERT_EQ(Decode(BuildBmp(packed), image), 1);
  EXPECT_EQ(Pixel8(image, 1, 0), 8);
}

TEST(BmpFile, DecodesRunLengthRecordsAndClipsRunsPastTheRow) {
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(Rle8Spec()), image), 1);
  const BYTE expected[3][4] = {{0, 0, 7, 7}, {2, 3, 4, 5}, {1, 1, 1, 1}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel8(image, x, y), expected[y][x]) << x << "," << y;

  // A run of 200 in a row of 4, an absolute run past the row, a delta past the top: all
  // clipped, the next row starts where it should.
  BmpSpec hostile = Rle8Spec();
  hostile.pixels = {200, 9, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 0, 2, 0, 200, 3, 3, 0, 1};
  ASSERT_EQ(Decode(BuildBmp(hostile), image), 1);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel8(image, x, 2), 9);
  EXPECT_EQ(Pixel8(image, 3, 1), 4);
  EXPECT_EQ(Pixel8(image, 0, 0), 0);

  BmpSpec rle4;
  rle4.width = 5;
  rle4.height = 2;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.colors = GreyTable(16);
  rle4.pixels = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0xEF, 0, 1};
  ASSERT_EQ(Decode(BuildBmp(rle4), image), 1);
  ASSERT_EQ(image.bitsPerPixel, 4);
  EXPECT_EQ(image.bits[0], 0x12);  // bottom row 1 2 1 2 1
  EXPECT_EQ(image.bits[2], 0x10);
  EXPECT_EQ(image.bits[4], 0x34);  // top row 3 4 5 E F
  EXPECT_EQ(image.bits[5], 0x5E);
  EXPECT_EQ(image.bits[6], 0xF0);
}

TEST(BmpFile, RejectsEveryTruncationOfGoodFiles) {
  std::vector<std::vector<BYTE>> files;
  for (int bpp : {4, 8, 24}) {
    std::vector<BYTE> bits = RandomBits(5, 3, bpp, 7);
    std::vector<RGBQUAD> colors = GreyTable(256);
    files.emplace_back();
    AppendBmpFile(files.back(), 5, 3, bpp, colors.data(), 256, bits.data());
  }
  files.push_back(BuildBmp(Rle8Spec()));
  BmpSpec v4;
  v4.headerSize = 108;
  v4.width = 3;
  v4.height = -2;
  v4.bitCount = 32;
  v4.pixels = RandomBits(3, 2, 32, 3);
  files.push_back(BuildBmp(v4));

  for (const auto& file : files) {
    BmpImage image;
    ASSERT_EQ(Decode(file, image), 1);
    for (std::size_t len = 0; len < file.size(); ++len) {
      BmpImage untouched;
      untouched.width = 99;
      EXPECT_EQ(Decode(file, len, untouched), 0) << "length " << len << " of " << file.size();
      EXPECT_EQ(untouched.width, 99);
    }
  }
}

TEST(BmpFile, RejectsImpossibleHeaders) {
  auto decodes = [](BmpSpec s) {
    BmpImage image;
    std::vector<BYTE> file = BuildBmp(s);
    return Decode(file, image);
  };
  BmpSpec good;
  good.width = 2;
  good.height = 2;
  good.colors = GreyTable(256);
  good.pixels.assign(8, 1);
  ASSERT_EQ(decodes(good), 1);

  BmpSpec s = good;
  s.width = 0x7FFFFFFF;  // absurd sizes, far beyond the data
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.height = int(0x80000000u);
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.width = 30000;
  s.height = 30000;
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.width = -2;
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.colorsUsed = 257;  // more colours than 8 bits can index
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.colorsUsed = 0xFFFFFFFF;
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.bitCount = 7;
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.compression = 2;  // RLE4 with 8 bits
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.compression = 4;  // embedded JPEG
  EXPECT_EQ(decodes(s), 0);
  s = good;
  s.headerSize = 64;
  EXPECT_EQ(decodes(s), 0);
  BmpSpec topDownRle = Rle8Spec();
  topDownRle.height = -3;
  EXPECT_EQ(decodes(topDownRle), 0);
  BmpSpec rleNoEnd = Rle8Spec();
  rleNoEnd.pixels.erase(rleNoEnd.pixels.end() - 4, rleNoEnd.pixels.end());  // top row never reached
  EXPECT_EQ(decodes(rleNoEnd), 0);

  std::vector<BYTE> notBmp = {'B', 'M', 1, 2, 3};
  BmpImage image;
  EXPECT_EQ(DecodeBmp(notBmp.data(), notBmp.size(), image), 0);
  EXPECT_EQ(DecodeBmp(nullptr, 100, image), 0);
}

TEST(BmpFile, ShortColourTableBeforePixelsLeavesMissingEntriesBlack) {
  BmpSpec s;
  s.width = 1;
  s.height = 1;
  s.colors = GreyTable(4) ;  // 8 bits with no count: 256 entries expected, 4 present
  for (auto& c : s.colors) c.rgbRed = 200;
  s.pixels = {3, 0, 0, 0};
  BmpImage image;
  ASSERT_EQ(Decode(BuildBmp(s), image), 1);
  EXPECT_EQ(image.colors[3].rgbRed, 200);
  EXPECT_EQ(image.colors[4].rgbRed, 0);
}
