#include <lumex/lumex.h>
#include <platform/palette.h>

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>

namespace {

struct Pixels {
  std::vector<BYTE> r, g, b;
  void Add(int red, int green, int blue, int count = 1) {
    for (int i = 0; i < count; ++i) {
      r.push_back(BYTE(red));
      g.push_back(BYTE(green));
      b.push_back(BYTE(blue));
    }
  }
  std::size_t Size() const { return r.size(); }
};

bool Same(const PALETTEENTRY& e, int r, int g, int b) {
  return e.peRed == r && e.peGreen == g && e.peBlue == b;
}

void ExpectStandardColoursInPlace(const CQuantizer& q) {
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(q.GetEntries()[i], CDib::cm_peWindows[i]) << i;
    EXPECT_EQ(q.GetEntries()[248 + i], CDib::cm_peWindows[8 + i]) << i;
  }
}

}  // namespace

TEST(Quantizer, ReservesStandardColoursAndTakesAddedOnesInOrder) {
  CQuantizer plain(0);
  EXPECT_EQ(plain.FirstFree(), 0);
  EXPECT_EQ(plain.RemainingEntries(), 256);

  CQuantizer q;
  ExpectStandardColoursInPlace(q);
  EXPECT_EQ(q.FirstFree(), 8);
  EXPECT_EQ(q.RemainingEntries(), 240);
  q.AddColor(1, 2, 3);
  q.AddColor(0x0080FFul);  // red in the low byte
  q.AddColor(RGB(9, 8, 7));
  EXPECT_EQ(q.FirstFree(), 11);
  EXPECT_EQ(q.RemainingEntries(), 237);
  EXPECT_TRUE(Same(q.GetEntries()[8], 1, 2, 3));
  EXPECT_TRUE(Same(q.GetEntries()[9], 255, 128, 0));
  EXPECT_TRUE(Same(q.GetEntries()[10], 9, 8, 7));

  // 237 distinct colours, well apart: each gets an entry of its own from 11 on.
  Pixels px;
  for (int i = 0; i < 237; ++i) px.Add((i % 7) * 40, ((i / 7) % 6) * 48, (i / 42) * 40, 1 + i % 3);
  EXPECT_EQ(q.QuantizeRGB(px.r.data(), px.g.data(), px.b.data(), px.Size()), 237);
  std::set<std::tuple<int, int, int>> found;
  for (int i = 11; i < 248; ++i) {
    const PALETTEENTRY& e = q.GetEntries()[i];
    found.insert({e.peRed, e.peGreen, e.peBlue});
  }
  EXPECT_EQ(found.size(), 237u);
  for (int i = 0; i < 237; ++i)
    EXPECT_TRUE(found.count({(i % 7) * 40, ((i / 7) % 6) * 48, (i / 42) * 40})) << i;
  ExpectStandardColoursInPlace(q);

  for (int i = 0; i < 300; ++i) q.AddColor(1, 1, 1);  // past the last free entry: ignored
  EXPECT_EQ(q.RemainingEntries(), 0);
  ExpectStandardColoursInPlace(q);
}

TEST(Quantizer, FewColoursComeBackExactlyAndLeaveTheRestBlack) {
  Pixels px;
  px.Add(200, 10, 10, 50);
  px.Add(10, 200, 10, 30);
  px.Add(12, 204, 14, 30);  // same 8-level cell as the green above: averaged with it
  px.Add(30, 30, 220, 5);
  CQuantizer q;
  EXPECT_EQ(q.QuantizeRGB(px.r.data(), px.g.data(), px.b.data(), px.Size()), 3);
  std::set<std::tuple<int, int, int>> found;
  for (int i = 8; i < 11; ++i) {
    const PALETTEENTRY& e = q.GetEntries()[i];
    found.insert({e.peRed, e.peGreen, e.peBlue});
  }
  EXPECT_TRUE(found.count({200, 10, 10}));
  EXPECT_TRUE(found.count({11, 202, 12}));
  EXPECT_TRUE(found.count({30, 30, 220}));
  for (int i = 11; i < 248; ++i) EXPECT_TRUE(Same(q.GetEntries()[i], 0, 0, 0)) << i;
  ExpectStandardColoursInPlace(q);
}

TEST(Quantizer, ManyColoursFillEveryFreeEntryWithRepresentativeColours) {
  std::mt19937 rng(5);
  Pixels px;
  for (int i = 0; i < 20000; ++i) px.Add(rng() & 0xFF, rng() & 0xFF, rng() & 0xFF);
  CQuantizer q;
  ASSERT_EQ(q.QuantizeRGB(px.r.data(), px.g.data(), px.b.data(), px.Size()), 240);
  ExpectStandardColoursInPlace(q);
  // Every pixel is close to some entry: 240 boxes over the cube are at most ~1/6 of it wide.
  double worst = 0;
  for (std::size_t i = 0; i < px.Size(); i += 7) {
    double best = 1e9;
    for (int k = 8; k < 248; ++k) {
      const PALETTEENTRY& e = q.GetEntries()[k];
      double dr = e.peRed - px.r[i], dg = e.peGreen - px.g[i], db = e.peBlue - px.b[i];
      best = std::min(best, dr * dr + dg * dg + db * db);
    }
    worst = std::max(worst, best);
  }
  EXPECT_LT(worst, 80.0 * 80.0);

  EXPECT_TRUE(WuQuantize(px.r.data(), px.g.data(), px.b.data(), px.Size(), 0).empty());
  EXPECT_EQ(WuQuantize(nullptr, nullptr, nullptr, 0, 10).size(), 1u);  // one empty box: black
}

TEST(Quantizer, QuantizeMakesAPaletteFromAnImageWithoutChangingIt) {
  PALETTEENTRY grey[256];
  for (int i = 0; i < 256; ++i) grey[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
  CPalette greys;
  greys.CreatePalette(grey, 256);
  CDib dib;
  ASSERT_EQ(dib.Create(&greys, 4, 4, 40), 1);
  dib.SetBit(0, 0, 200);
  CQuantizer q;
  q.AddColor(0x0080FF);
  CPalette pal;
  ASSERT_EQ(q.Quantize(dib, pal), 1);
  EXPECT_EQ(pal.GetEntryCount(), 256);
  PALETTEENTRY e[3];
  pal.GetPaletteEntries(8, 3, e);
  EXPECT_TRUE(Same(e[0], 255, 128, 0));
  std::set<int> greysFound = {e[1].peRed, e[2].peRed};
  EXPECT_TRUE(greysFound.count(40));
  EXPECT_TRUE(greysFound.count(200));
  unsigned char index = 0;
  dib.GetPixel(0, 0, index);
  EXPECT_EQ(index, 200);

  CDib empty;
  EXPECT_EQ(q.Quantize(empty, pal), 0);
}

TEST(Quantizer, ChosenColoursNeverTakeTheTopStandardIndicesFromTheirColours) {
  // A picture of pure red and cyan (the frames' ink and transparent colours) and more.
  Pixels px;
  px.Add(255, 0, 0, 40);
  px.Add(0, 255, 255, 40);
  px.Add(255, 255, 255, 10);
  px.Add(90, 60, 30, 10);
  CQuantizer q;
  q.AddColor(0x0080FFul);
  CPalette pal;
  q.QuantizeRGB(px.r.data(), px.g.data(), px.b.data(), px.Size());
  ASSERT_TRUE(q.CreatePalette(pal));
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(255, 0, 0)), 249u);
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(0, 255, 255)), 254u);
  EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(255, 255, 255)), 255u);
  EXPECT_EQ(pal.GetNearestColor(RGB(90, 60, 30)), RGB(90, 60, 30));
  ExpectStandardColoursInPlace(q);
}

TEST(Quantizer, FillingEvenlyLeavesNoColourFarFromAnEntry) {
  CQuantizer q;
  q.AddColor(0x0080FFul);
  EXPECT_EQ(q.FillEvenly(), 239);
  EXPECT_EQ(q.RemainingEntries(), 0);
  ExpectStandardColoursInPlace(q);
  EXPECT_TRUE(Same(q.GetEntries()[8], 255, 128, 0));
  CPalette pal;
  ASSERT_TRUE(q.CreatePalette(pal));
  for (int i = 8; i < 16; ++i)
    EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(CDib::cm_peWindows[i].peRed, CDib::cm_peWindows[i].peGreen,
                                              CDib::cm_peWindows[i].peBlue)), UINT(240 + i)) << i;
  std::mt19937 random(7);
  for (int n = 0; n < 2000; ++n) {
    const COLORREF want = random() & 0xFFFFFF;
    const COLORREF got = pal.GetNearestColor(want);
    int distance = 0;  // squared; a grid of step 51 is never more than 26 off in each channel
    for (int shift : {0, 8, 16}) {
      const int d = int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF);
      distance += d * d;
    }
    ASSERT_LE(distance, 3 * 26 * 26) << std::hex << want;
  }
}
