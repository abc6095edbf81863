// The program's generated bitmaps: present under the program's module with the sizes the
// window lays out, transparent where they should be, and drawn in colours the game's shared
// palette (built from the default tile) reproduces exactly.
#include <gyrix/puzzles.h>
#include <gyrix/res/resources.h>
#include <lumex/dib.h>
#include <lumex/quantizer.h>
#include <lumex/resources.h>
#include <platform/palette.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace gyrix_res;

struct Expected {
  int id, width, height;
  bool transparentBackground;
};

std::vector<Expected> AllBitmaps() {
  std::vector<Expected> all = {
      {kSolvedCube, 64, 64, true},     {kScrambledCube, 64, 64, true}, {kSaveDisk, 64, 64, true},
      {kOpenFolder, 64, 64, true},     {kBackFolder, 64, 64, true},    {kOptions, 64, 64, true},
      {kStatistics, 64, 64, true},     {kSolveWand, 64, 64, true},
      {kChallenge, 79, 33, true},      {kColon, 10, 32, true},         {kMessagePanel, 337, 355, true},
      {kIcon, 32, 32, true},           {kLinkCursor, 32, 32, true},    {kBrowseButton, 69, 22, false},
      {kColourButton, 216, 32, false}, {kColourPopup, 158, 47, false}};
  for (int d = 0; d < 10; ++d) all.push_back({kDigitZero + d, 25, 32, true});
  for (int id : kPuzzleBitmap) all.push_back({id, 64, 64, true});
  return all;
}

bool Load(CDib& dib, int id) { return dib.Load(static_cast<HINSTANCE>(nullptr), id) == 1; }

RGBQUAD TableEntry(const CDib& dib, int index) { return dib.GetColorTable()[index]; }

// The shared palette exactly as the game builds it from its tile.
bool GamePalette(CPalette& palette) {
  CDib tile;
  if (!tile.Load(GYRIX_TILE_PATH)) return false;
  CQuantizer quantizer(1);
  quantizer.AddColor(0x0080FFul);
  return quantizer.Quantize(tile, palette) == 1;
}

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterGyrixResources(); }
};

TEST_F(ResourcesTest, EveryBitmapIsRegisteredForTheProgramWithItsSizeAndDepth) {
  const std::vector<Expected> all = AllBitmaps();
  std::set<int> ids;
  for (const Expected& e : all) {
    SCOPED_TRACE(e.id);
    EXPECT_TRUE(ids.insert(e.id).second) << "id used twice";
    EXPECT_NE(FindBitmapResource(static_cast<HINSTANCE>(nullptr), e.id), nullptr);
    EXPECT_EQ(FindBitmapResource(LumexInstance(), e.id), nullptr) << "registered for the library";
    CDib dib;
    ASSERT_TRUE(Load(dib, e.id));
    EXPECT_EQ(dib.Width(), e.width);
    EXPECT_EQ(dib.Height(), e.height);
    EXPECT_EQ(dib.GetBitmapHeader().bmBitsPixel, 8);
  }
  EXPECT_EQ(ids.size(), 16u + 10u + 37u);
}

TEST_F(ResourcesTest, RegisteringAgainRestoresAForgottenTable) {
  UnregisterBitmapResources(nullptr);
  EXPECT_EQ(FindBitmapResource(static_cast<HINSTANCE>(nullptr), kMessagePanel), nullptr);
  RegisterGyrixResources();
  RegisterGyrixResources();
  CDib dib;
  EXPECT_TRUE(Load(dib, kMessagePanel));
}

TEST_F(ResourcesTest, ClockInkIsOneIndexOnTransparentCyanAndSurvivesTheGamePalette) {
  CPalette shared;
  ASSERT_TRUE(GamePalette(shared));
  int previousInk = -1;
  std::set<std::string> shapes;
  for (int id = kDigitZero; id <= kColon; ++id) {
    SCOPED_TRACE(id);
    CDib dib;
    ASSERT_TRUE(Load(dib, id));
    const RGBQUAD ink = TableEntry(dib, kClockInk), clear = TableEntry(dib, kTransparentIndex);
    EXPECT_TRUE(ink.rgbRed == 255 && ink.rgbGreen == 0 && ink.rgbBlue == 0);
    EXPECT_TRUE(clear.rgbRed == 0 && clear.rgbGreen == 255 && clear.rgbBlue == 255);
    std::string pixels;
    int inked = 0;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x) {
        const BYTE i = *dib.GetPixelAddress(x, y);
        pixels.push_back(char(i));
        inked += i == kClockInk;
        // Nothing but the ink, a black rim and the transparent background.
        EXPECT_TRUE(i == kClockInk || i == kTransparentIndex || i == 0) << x << "," << y;
      }
    EXPECT_EQ(*dib.GetPixelAddress(0, 0), kTransparentIndex);
    EXPECT_GT(inked, 20);
    shapes.insert(pixels);
    if (id == kDigitZero + 8) {
      EXPECT_GT(inked, previousInk) << "8 lights more than 7";
    }
    previousInk = inked;

    // The window converts the digits to its palette before recolouring index 249.
    const std::string before = pixels;
    ASSERT_TRUE(dib.MapColorsToPalette(&shared, 1));
    for (int y = 0, k = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x, ++k) EXPECT_EQ(*dib.GetPixelAddress(x, y), BYTE(before[k]));
  }
  EXPECT_EQ(shapes.size(), 11u) << "every digit has its own shape";
}

// Every colour of every picture is in the game's palette, so converting loses nothing, and
// only the background becomes the transparent index.
TEST_F(ResourcesTest, PicturesKeepTheirColoursAndTransparencyInTheGamePalette) {
  CPalette shared;
  ASSERT_TRUE(GamePalette(shared));
  for (const Expected& e : AllBitmaps()) {
    SCOPED_TRACE(e.id);
    if (e.id == kColourButton || e.id == kColourPopup) continue;  // shown with their own palette
    CDib dib;
    ASSERT_TRUE(Load(dib, e.id));
    std::vector<COLORREF> colours;
    std::vector<bool> clear;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x) {
        COLORREF c = 0;
        dib.GetPixel(x, y, c);
        colours.push_back(c);
        clear.push_back(*dib.GetPixelAddress(x, y) == kTransparentIndex);
      }
    if (e.transparentBackground) {
      EXPECT_TRUE(clear.front() && clear.back()) << "corners are background";
    } else {
      EXPECT_EQ(std::count(clear.begin(), clear.end(), true), 0);
    }
    ASSERT_TRUE(dib.MapColorsToPalette(&shared, 1));
    for (int y = 0, k = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x, ++k) {
        COLORREF c = 0;
        dib.GetPixel(x, y, c);
        ASSERT_EQ(c, colours[k]) << x << "," << y;
        ASSERT_EQ(*dib.GetPixelAddress(x, y) == kTransparentIndex, bool(clear[k])) << x << "," << y;
      }
  }
}

TEST_F(ResourcesTest, PuzzlePicturesShowTheirPuzzles) {
  std::map<int, std::string> pictures;
  for (int type = 0; type < kPuzzleTypeCount; ++type) {
    SCOPED_TRACE(type);
    CDib dib;
    ASSERT_TRUE(Load(dib, kPuzzleBitmap[type]));
    std::string pixels;
    std::set<BYTE> indices;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x) {
        pixels.push_back(char(*dib.GetPixelAddress(x, y)));
        indices.insert(*dib.GetPixelAddress(x, y));
      }
    const auto painted = std::count_if(pixels.begin(), pixels.end(), [](char i) { return BYTE(i) != kTransparentIndex; });
    EXPECT_GT(painted, 64 * 64 / 3) << "fills most of its button";
    EXPECT_LT(painted, 64 * 64) << "keeps a margin";
    EXPECT_GE(indices.size(), 4u) << "more than an outline";
    pictures[type] = pixels;
  }
  // The built families differ from each other; the others show the cube they fall back to.
  for (int a = 0; a < kPuzzleTypeCount; ++a)
    for (int b = a + 1; b < kPuzzleTypeCount; ++b) {
      const bool aOwn = IsPuzzleBuilt(a) && a != kDefaultPuzzleType;
      const bool bOwn = IsPuzzleBuilt(b) && b != kDefaultPuzzleType;
      if (aOwn || bOwn)
        EXPECT_NE(pictures[a], pictures[b]) << a << " and " << b;
      else
        EXPECT_EQ(pictures[a], pictures[b]) << a << " and " << b;
    }
}

TEST_F(ResourcesTest, DialogFacesKeepTheirColourBarsAndCells) {
  CDib button;
  ASSERT_TRUE(Load(button, kColourButton));
  // The bar the game paints the chosen colour into: 41 x 3 in each of the three faces.
  const int bars[3][2] = {{6, 22}, {79, 23}, {150, 22}};
  for (const auto& bar : bars)
    for (int y = bar[1]; y < bar[1] + 3; ++y)
      for (int x = bar[0]; x < bar[0] + 41; ++x) {
        COLORREF c = 0;
        button.GetPixel(x, y, c);
        ASSERT_EQ(c, 0xFFFFFFu) << x << "," << y;
      }
  COLORREF face = 0;
  button.GetPixel(30, 10, face);
  EXPECT_EQ(face, 0xC0C0C0u);

  static const COLORREF kCells[16] = {0x0080FF, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                      0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                      0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  CDib popup;
  ASSERT_TRUE(Load(popup, kColourPopup));
  for (int cell = 0; cell < 16; ++cell) {
    COLORREF c = 0;
    popup.GetPixel(7 + 18 * (cell % 8) + 9, 5 + 18 * (cell / 8) + 9, c);
    EXPECT_EQ(c, kCells[cell]) << "cell " << cell;
  }
  // The outer ring of each cell is plain panel, so the hover frame shows.
  COLORREF ring = 0;
  popup.GetPixel(7, 5, ring);
  EXPECT_EQ(ring, 0xC0C0C0u);
}

// The message is written in the panel's default black between 45 pixels in at the sides
// and 30 at top and bottom: that area is plain, light parchment.
TEST_F(ResourcesTest, MessagePanelLeavesALightPlainTextArea) {
  CDib panel;
  ASSERT_TRUE(Load(panel, kMessagePanel));
  double sum = 0, darkest = 255;
  int count = 0;
  for (int y = 30; y < panel.Height() - 30; ++y)
    for (int x = 45; x < panel.Width() - 45; ++x) {
      ASSERT_NE(*panel.GetPixelAddress(x, y), kTransparentIndex) << x << "," << y;
      COLORREF c = 0;
      panel.GetPixel(x, y, c);
      const double luma = 0.3 * GetRValue(c) + 0.59 * GetGValue(c) + 0.11 * GetBValue(c);
      sum += luma, ++count;
      darkest = std::min(darkest, luma);
    }
  EXPECT_GT(sum / count, 190);
  EXPECT_GT(darkest, 120);
}

TEST_F(ResourcesTest, LinkCursorHotSpotIsOnTheHand) {
  CDib hand;
  ASSERT_TRUE(Load(hand, kLinkCursor));
  EXPECT_NE(*hand.GetPixelAddress(kLinkCursorHotX, kLinkCursorHotY), kTransparentIndex);
  EXPECT_EQ(*hand.GetPixelAddress(kLinkCursorHotX, 0), kTransparentIndex);
}

TEST(TileTest, DefaultTileIsEightBitAndSeamless) {
  CDib tile;
  ASSERT_TRUE(tile.Load(GYRIX_TILE_PATH));
  ASSERT_EQ(tile.GetBitmapHeader().bmBitsPixel, 8);
  ASSERT_EQ(tile.Width(), tile.Height());
  const int n = tile.Width();
  auto luma = [&](int x, int y) {
    COLORREF c = 0;
    tile.GetPixel((x + n) % n, (y + n) % n, c);
    return 0.3 * GetRValue(c) + 0.59 * GetGValue(c) + 0.11 * GetBValue(c);
  };
  // The step across a seam is no larger than steps inside the tile.
  auto step = [&](int x0, bool vertical) {
    double sum = 0;
    for (int i = 0; i < n; ++i)
      sum += vertical ? std::abs(luma(x0, i) - luma(x0 - 1, i)) : std::abs(luma(i, x0) - luma(i, x0 - 1));
    return sum / n;
  };
  double inside = 0;
  for (int k = 1; k < n; ++k) inside += step(k, true) + step(k, false);
  inside /= 2 * (n - 1);
  EXPECT_LT(step(0, true), inside * 2);
  EXPECT_LT(step(0, false), inside * 2);
  // No pixel is the transparent cyan or the clock's red, which the palette keeps for them.
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      COLORREF c = 0;
      tile.GetPixel(x, y, c);
      ASSERT_NE(c, 0xFFFF00u);
      ASSERT_NE(c, 0x0000FFu);
    }
}

}  // namespace
