#include <lumex/lumex.h>
#include <cordak/buffer.h>
#include <platform/palette.h>

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<BYTE> Mapped(std::vector<BYTE> row) {
  std::vector<BYTE> out;
  EncodeMappedRow(row.data(), int(row.size()), out);
  return out;
}

std::vector<BYTE> Unmapped(std::vector<BYTE> row) {
  std::vector<BYTE> out;
  EncodeUnmappedRow(row.data(), int(row.size()), out);
  return out;
}

class FrameTest : public testing::Test {
 protected:
  void SetUp() override {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
    pal.CreatePalette(entries, 256);
  }

  // An image whose opaque pixels hold 1 + (x + 7 * y) % 200 and a transparent diagonal band.
  void MakeSprite(CDib& dib, int w, int h) {
    ASSERT_EQ(dib.Create(&pal, w, h, 254), 1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((x + y) % 5 != 0) dib.SetBit(x, y, BYTE(1 + (x + 7 * y) % 200));
  }

  BYTE At(CDib& dib, int x, int y) { return *dib.GetPixelAddress(x, y); }

  CPalette pal;
};

}  // namespace

TEST(FrameEncoding, MatchesTheByteLayoutOfBothKinds) {
  EXPECT_EQ(Mapped({5, 254, 7}), (std::vector<BYTE>{0x05, 0xFE, 0x01, 0x07}));
  EXPECT_EQ(Unmapped({5, 254, 7}), (std::vector<BYTE>{0x01, 0x05, 0x01, 0xFE, 0x01, 0x07}));
  EXPECT_EQ(Mapped(std::vector<BYTE>(300, 254)), (std::vector<BYTE>{0xFE, 0xFF, 0xFE, 0x2D}));
  EXPECT_EQ(Unmapped(std::vector<BYTE>(300, 254)), (std::vector<BYTE>{0xFF, 0xFE, 0x2D, 0xFE}));
  // Run lengths at the 255 boundary.
  EXPECT_EQ(Mapped(std::vector<BYTE>(255, 254)), (std::vector<BYTE>{0xFE, 0xFF}));
  EXPECT_EQ(Mapped(std::vector<BYTE>(256, 254)), (std::vector<BYTE>{0xFE, 0xFF, 0xFE, 0x01}));
  std::vector<BYTE> opaque(256, 3);
  std::vector<BYTE> encoded = Unmapped(opaque);
  ASSERT_EQ(encoded.size(), 1u + 255 + 1 + 1);
  EXPECT_EQ(encoded[0], 255);
  EXPECT_EQ(encoded[256], 1);
  EXPECT_EQ(encoded[257], 3);
  EXPECT_EQ(Mapped({254, 9, 9}), (std::vector<BYTE>{0xFE, 0x01, 9, 9}));
  EXPECT_EQ(Unmapped({9, 9, 254, 254}), (std::vector<BYTE>{2, 9, 9, 2, 0xFE}));
}

TEST_F(FrameTest, FramesStoreRowsBottomFirstFromAnInclusiveArea) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 4, 3, 254), 1);
  dib.SetBit(1, 0, 10);  // top row
  dib.SetBit(2, 2, 20);  // bottom row
  CFrame frame;
  CRect area(1, 0, 2, 2);
  ASSERT_EQ(frame.Create(&dib, area), 1);
  EXPECT_EQ(frame.Width(), 2);
  EXPECT_EQ(frame.Height(), 3);
  EXPECT_EQ(frame.GetData(), (std::vector<BYTE>{254, 1, 20, 254, 2, 10, 254, 1}));
  CRect outside(10, 10, 20, 20);
  EXPECT_EQ(frame.Create(&dib, outside), 0);
  EXPECT_EQ(frame.Width(), 2);
}

TEST_F(FrameTest, RandomImagesDrawBackExactlyInBothEncodingsAndMirrored) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    int w = 1 + int(rng() % 300), h = 1 + int(rng() % 4);
    CDib src;
    ASSERT_EQ(src.Create(&pal, w, h, 254), 1);
    int mode = round % 3;  // mostly opaque, mostly transparent, mixed
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        unsigned roll = rng() % 100;
        bool clear = mode == 0 ? roll < 5 : mode == 1 ? roll < 97 : roll < 50;
        BYTE index = BYTE(rng() % 254);
        src.SetBit(x, y, clear ? 254 : index);
      }
    BYTE identity[256];
    for (int i = 0; i < 256; ++i) identity[i] = BYTE(i);
    for (int kind = 0; kind < 2; ++kind) {
      CFrame frame;
      ASSERT_EQ(kind ? frame.CreateUnmapped(&src) : frame.Create(&src), 1);
      EXPECT_LE(frame.GetData().size(), std::size_t(2) * w * h);
      for (int mirrored = 0; mirrored < 2; ++mirrored) {
        CDib dest;
        ASSERT_EQ(dest.Create(&pal, w, h, 77), 1);
        frame.Draw(&dest, CPoint(0, 0), mirrored, kind ? nullptr : identity);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            BYTE s = At(src, mirrored ? w - 1 - x : x, y);
            ASSERT_EQ(At(dest, x, y), s == 254 ? 77 : s)
                << "round " << round << " kind " << kind << " at " << x << "," << y;
          }
      }
    }
  }
}

TEST_F(FrameTest, DrawingClipsAtEveryEdge) {
  CDib sprite;
  MakeSprite(sprite, 10, 10);
  CFrame frame;
  ASSERT_EQ(frame.CreateUnmapped(&sprite), 1);
  const CPoint positions[] = {{-5, 0}, {15, 3}, {2, -7}, {4, 16}, {-9, -9}, {-25, 0},
                              {0, 25}, {20, 0}, {-10, 0}, {19, 19}};
  for (CPoint at : positions) {
    SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
    CDib dest;
    ASSERT_EQ(dest.Create(&pal, 20, 20, 77), 1);
    frame.Draw(&dest, at, 0, nullptr);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        int fx = x - at.x, fy = y - at.y;
        bool covered = fx >= 0 && fx < 10 && fy >= 0 && fy < 10;
        BYTE s = covered ? At(sprite, fx, fy) : 254;
        ASSERT_EQ(At(dest, x, y), s == 254 ? 77 : s) << x << "," << y;
      }
  }

  // A frame wider than the image, mostly off its left edge, still shows its visible part.
  CDib wide;
  MakeSprite(wide, 30, 2);
  CFrame wideFrame;
  ASSERT_EQ(wideFrame.Create(&wide), 1);
  CDib dest;
  ASSERT_EQ(dest.Create(&pal, 20, 20, 77), 1);
  BYTE identity[256];
  for (int i = 0; i < 256; ++i) identity[i] = BYTE(i);
  wideFrame.Draw(&dest, CPoint(-25, 0), 1, identity);
  for (int x = 0; x < 20; ++x) {
    BYTE s = x < 5 ? At(wide, 29 - (x + 25), 1) : 254;
    EXPECT_EQ(At(dest, x, 1), s == 254 ? 77 : s) << x;
  }
}

TEST_F(FrameTest, ColourMapRecoloursAndHidesIndices) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 3, 1, 254), 1);
  dib.SetBit(0, 0, 7);
  dib.SetBit(1, 0, 8);
  CFrame frame;
  ASSERT_EQ(frame.Create(&dib), 1);
  BYTE map[256];
  for (int i = 0; i < 256; ++i) map[i] = BYTE(i);
  map[7] = 254;  // hidden
  map[8] = 99;
  CDib dest;
  ASSERT_EQ(dest.Create(&pal, 3, 1, 50), 1);
  frame.Draw(&dest, CPoint(0, 0), 0, map);
  EXPECT_EQ(At(dest, 0, 0), 50);
  EXPECT_EQ(At(dest, 1, 0), 99);
  EXPECT_EQ(At(dest, 2, 0), 50);
}

TEST_F(FrameTest, SerialisesAndRejectsDamagedRecords) {
  CDib sprite;
  MakeSprite(sprite, 6, 3);
  CFrame frame;
  ASSERT_EQ(frame.CreateUnmapped(&sprite), 1);
  frame.SetExtra(0xBEEF);
  CUBuffer buffer;
  frame.Write(buffer);
  ASSERT_EQ(buffer.GetSize(), 2 + 2 + 4 + int(frame.GetData().size()) + 2);
  EXPECT_EQ(buffer[0], 6);
  EXPECT_EQ(buffer[2], 3);
  EXPECT_EQ(buffer[4], frame.GetData().size());
  EXPECT_EQ(buffer[buffer.GetSize() - 1], 0xBE);

  buffer.SeekToBegin();
  CFrame back;
  back.Read(buffer);
  EXPECT_EQ(back.Width(), 6);
  EXPECT_EQ(back.Height(), 3);
  EXPECT_EQ(back.GetExtra(), 0xBEEF);
  EXPECT_EQ(back.GetData(), frame.GetData());

  // A size beyond the bytes present, or negative: the frame stays as it was.
  for (int size : {1000, -4, 0}) {
    CUBuffer bad;
    bad << static_cast<unsigned short>(50) << static_cast<unsigned short>(50) << size;
    bad.SeekToBegin();  // with size 0 the record still lacks its extra field
    back.Read(bad);
    EXPECT_EQ(back.Width(), 6);
    EXPECT_EQ(back.GetData(), frame.GetData());
  }

  // Garbage data with large sizes draws only inside the image, reading only what is there.
  CUBuffer garbage;
  std::vector<BYTE> noise = {200, 1, 2, 254, 254, 255, 0, 0, 3};
  garbage << static_cast<unsigned short>(400) << static_cast<unsigned short>(400)
          << int(noise.size());
  garbage.Write(noise.data(), int(noise.size()));
  garbage << static_cast<unsigned short>(0);
  garbage.SeekToBegin();
  CFrame broken;
  broken.Read(garbage);
  ASSERT_EQ(broken.Width(), 400);
  CDib dest;
  ASSERT_EQ(dest.Create(&pal, 8, 8, 0), 1);
  BYTE identity[256];
  for (int i = 0; i < 256; ++i) identity[i] = BYTE(i);
  broken.Draw(&dest, CPoint(-3, -390), 0, nullptr);
  broken.Draw(&dest, CPoint(-3, -390), 1, identity);
}

TEST_F(FrameTest, OutlineAndShearEffects) {
  CDib dib;
  ASSERT_EQ(dib.Create(&pal, 5, 5, 254), 1);
  dib.SetBit(2, 2, 9);
  CRect all(0, 0, 4, 4);
  CFrame::AddOutline(&dib, all, 1);
  const char* expected[] = {".....", "..o..", ".oXo.", "..o..", "....."};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      char c = expected[y][x];
      EXPECT_EQ(At(dib, x, y), c == 'X' ? 9 : c == 'o' ? 1 : 254) << x << "," << y;
    }

  CDib src, slanted, skewed;
  ASSERT_EQ(src.Create(&pal, 2, 5, 3), 1);
  ASSERT_EQ(CFrame::SlantLeft(src, slanted), 1);
  ASSERT_EQ(CFrame::SkewRight(src, skewed), 1);
  ASSERT_EQ(slanted.Width(), 4);
  ASSERT_EQ(skewed.Width(), 4);
  // Top row: slanted starts at the left, skewed two pixels in; bottom row the other way.
  EXPECT_EQ(At(slanted, 0, 0), 3);
  EXPECT_EQ(At(slanted, 2, 0), 254);
  EXPECT_EQ(At(slanted, 2, 4), 3);
  EXPECT_EQ(At(slanted, 0, 4), 254);
  EXPECT_EQ(At(skewed, 0, 0), 254);
  EXPECT_EQ(At(skewed, 3, 0), 3);
  EXPECT_EQ(At(skewed, 0, 4), 3);
}
