#include <gyrix/puzzles/schemes.h>

#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace {

const char* const kTitles[kColourSchemeCount] = {"Classic", "Standard", "Colour-blind safe", "High contrast"};
const char* const kWords[kColourSchemeCount] = {"classic", "standard", "colour-blind", "high-contrast"};

constexpr COLORREF kWhite = 0xFFFFFF, kYellow = 0x00FFFF, kRed = 0x0000FF, kOrange = 0x0080FF,
                   kBlue = 0xFF0000, kGreen = 0x00FF00;

// Standard colours by side (index 1 first), for the types that have a convention. Opposite
// sides of the cube-shaped types are white and yellow, red and orange, blue and green; the
// pyramid's base is yellow under red, green and blue; the dodecahedron's six colours are the
// cube's.
struct StandardRow {
  int typeId;
  COLORREF sides[6];
};
const StandardRow kStandard[] = {
    {0, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {1, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {2, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {3, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {4, {kRed, kGreen, kBlue, kYellow}},
    {6, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {7, {kWhite, kOrange, kYellow, kRed, kGreen, kBlue}},
    {8, {kWhite, kOrange, kYellow, kRed, kGreen, kBlue}},
    {11, {kWhite, kOrange, kYellow, kRed, kGreen, kBlue}},
    {12, {kWhite, kOrange, kYellow, kRed, kGreen, kBlue}},
    {14, {kWhite, kOrange, kBlue, kRed, kYellow, kGreen}},
    {16, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {17, {kWhite, kYellow, kRed, kBlue, kGreen, kOrange}},
    {22, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {23, {kRed, kGreen, kBlue, kYellow}},
    {25, {kWhite, kYellow, kOrange, kRed, kBlue, kGreen}},
    {26, {kGreen, kWhite, kRed, kYellow, kOrange, kBlue}},
    {35, {kRed, kGreen, kBlue, kYellow}},
    {36, {kRed, kGreen, kBlue, kYellow}},
};

// Colour-blind safe sets by number of sides, lightest first. Each keeps every pair of its
// colours apart (CIEDE2000) for normal vision and under full protanopia, deuteranopia and
// tritanopia, and each colour at least half that far from the black outline and the grey
// inside; the smallest such difference is noted per set. The search's sets were polished a
// step at a time afterwards (gyrix-schemesearch refine).
const COLORREF kBlind2[] = {0x00FF45, 0x980078};                                        // 61.3
const COLORREF kBlind4[] = {0x0FFF89, 0xFFC3F1, 0x002C88, 0xB31E00};                    // 46.9
const COLORREF kBlind5[] = {0xFFE9F7, 0x00FF91, 0xFA24C4, 0x006014, 0x3C002D};          // 34.7
const COLORREF kBlind6[] = {0x00F5FF, 0xF5FB00, 0x4078A5, 0xFF6B6D, 0x041E40, 0x691800};  // 31.2
const COLORREF kBlind7[] = {0xEFFFEE, 0x02E1FE, 0xCAB25E, 0x3B77B5, 0xF5005B, 0x00007C, 0x360028};  // 26.7
const COLORREF kBlind8[] = {0x3EFFFF, 0xFFA8FB, 0xA5CB65, 0x0051CF,
                            0xFF325C, 0x615861, 0x021253, 0x5B0000};  // 25.3
const COLORREF kBlind10[] = {0xD5FFEE, 0x00EAFF, 0xFEF800, 0xA378F3, 0x009B52,
                             0xFF45AD, 0x4C695C, 0xB0054D, 0x3C2D3B, 0x002D05};  // 20.8

struct BlindSet {
  int sides;
  const COLORREF* colours;
};
const BlindSet kBlind[] = {{2, kBlind2}, {4, kBlind4}, {5, kBlind5}, {6, kBlind6},
                           {7, kBlind7}, {8, kBlind8}, {10, kBlind10}};

// The high-contrast set, lightest to darkest: white, yellow, green, orange, magenta, red, dark
// green, blue, purple, maroon; and by type which of them each side takes, so that sides that
// touch differ most in lightness.
const COLORREF kContrast[10] = {0xFFFFFF, 0x00FFFF, 0x00FF00, 0x0080FF, 0xFF00FF,
                                0x0000FF, 0x006400, 0xFF0000, 0x800080, 0x000080};
const signed char kContrastSides[kPuzzleTypeCount][10] = {
    {0, 3, 8, 4, 9, 1},  // Cube(2x2x2): touching 30.1, any 30.3
    {0, 3, 8, 4, 9, 1},  // Cube(3x3x3): touching 30.1, any 30.3
    {0, 3, 8, 4, 9, 1},  // Cube(4x4x4): touching 30.1, any 30.3
    {0, 3, 8, 4, 9, 1},  // Cube(5x5x5): touching 30.1, any 30.3
    {0, 3, 5, 6},  // Pyramid: touching 13.8, any 21.2
    {0, 5, 1, 6, 2, 8, 3, 9},  // Sphere: touching 37.3, any 21.2
    {0, 3, 8, 4, 9, 1},  // Skewb: touching 30.1, any 30.3
    {0, 2, 3, 5, 6, 9},  // Dodecahedron: touching 10.7, any 21.2
    {0, 2, 3, 5, 6, 1},  // Icosahedron: touching 12.3, any 21.2
    {0, 6, 7, 1, 3, 8, 9, 2},  // Octahedron(Size2): touching 34.8, any 19.8
    {0, 6, 7, 1, 3, 8, 9, 2},  // Octahedron(Size3): touching 34.8, any 19.8
    {0, 2, 3, 5, 6, 9},  // PentUltimate: touching 10.7, any 21.2
    {0, 2, 3, 5, 6, 9},  // Star: touching 10.7, any 21.2
    {2, 4},  // Orbix: touching 0.0, any 111.4
    {0, 3, 8, 4, 1, 9},  // SquareOne: touching 30.1, any 30.3
    {0, 3, 5, 6},  // Pyramorphix: touching 13.8, any 21.2
    {0, 3, 8, 4, 9, 1},  // XCube: touching 30.1, any 30.3
    {0, 1, 3, 8, 9, 4},  // BiCube: touching 30.1, any 30.3
    {0, 2, 3, 5, 1, 6, 9, 4},  // OctaStar: touching 7.1, any 21.2
    {0, 3, 2, 4, 1, 5, 8, 9},  // Siamese: touching 23.5, any 21.2
    {0, 3, 6, 1, 7, 8, 9, 2, 5, 4},  // Tricosa: touching 23.5, any 19.8
    {0, 3, 1, 2, 6, 9, 4, 7, 5, 8},  // Barrel: touching 9.4, any 19.8
    {0, 3, 8, 4, 9, 1},  // DiagonalCube: touching 30.1, any 30.3
    {0, 3, 5, 6},  // Tetra: touching 13.8, any 21.2
    {0, 1, 2, 3, 6, 7, 8, 9},  // TetOcta: touching 34.8, any 19.8
    {0, 1, 3, 4, 8, 9},  // OffCenter: touching 30.1, any 30.3
    {0, 3, 8, 4, 9, 1},  // SuperX: touching 30.1, any 30.3
    {0, 3, 5, 6},  // TetraStar: touching 13.8, any 21.2
    {4, 5, 6, 7, 8, 9, 0, 1},  // Gem: touching 36.8, any 19.8
    {0, 1, 2, 3, 4, 6, 7, 9},  // Slider: touching 0.0, any 23.4
    {0, 3, 5, 6, 7},  // Triangle: touching 13.8, any 21.2
    {0, 3, 5, 1, 4, 6, 7},  // Pentagon: touching 13.8, any 21.2
    {0, 3, 1, 4, 2, 5, 8, 9},  // Hexagon: touching 23.5, any 21.2
    {2, 3, 6, 9, 4, 7, 5, 8, 0, 1},  // Octagon: touching 9.4, any 19.8
    {0, 1, 2, 8, 3, 4, 6, 9},  // Diamond: touching 67.4, any 23.4
    {1, 5, 6, 7},  // Ultimate: touching 0.0, any 52.9
    {0, 3, 5, 6},  // Crystal: touching 13.8, any 21.2
};

}  // namespace

const char* GetSchemeTitle(int scheme) {
  return scheme >= 0 && scheme < kColourSchemeCount ? kTitles[scheme] : nullptr;
}

const char* GetSchemeWord(int scheme) {
  return scheme >= 0 && scheme < kColourSchemeCount ? kWords[scheme] : nullptr;
}

int FindScheme(const char* word) {
  if (!word) return -1;
  for (int s = 0; s < kColourSchemeCount; ++s)
    if (strcasecmp(word, kWords[s]) == 0 || strcasecmp(word, kTitles[s]) == 0) return s;
  return -1;
}

std::vector<COLORREF> GetSchemePalette(int scheme, int typeId) {
  std::vector<COLORREF> palette = GetTypePalette(typeId);
  const int sides = static_cast<int>(palette.size()) - 1;
  if (sides < 1) return palette;
  if (scheme == static_cast<int>(ColourScheme::Standard)) {
    for (const StandardRow& row : kStandard)
      if (row.typeId == typeId)
        for (int i = 0; i < sides && i < 6; ++i) palette[i + 1] = row.sides[i];
  } else if (scheme == static_cast<int>(ColourScheme::ColourBlind)) {
    for (const BlindSet& set : kBlind)
      if (set.sides == sides)
        for (int i = 0; i < sides; ++i) palette[i + 1] = set.colours[i];
  } else if (scheme == static_cast<int>(ColourScheme::HighContrast)) {
    for (int i = 0; i < sides && i < 10; ++i) palette[i + 1] = kContrast[kContrastSides[typeId][i]];
  }
  return palette;
}

std::vector<COLORREF> GetSchemeColours(int scheme) {
  std::vector<COLORREF> colours;
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    const std::vector<COLORREF> palette = GetSchemePalette(scheme, t);
    for (size_t i = 1; i < palette.size(); ++i)
      if (std::find(colours.begin(), colours.end(), palette[i]) == colours.end()) colours.push_back(palette[i]);
  }
  return colours;
}

void ApplyScheme(CPuzzle& puzzle, int scheme) {
  const std::vector<COLORREF> palette = GetSchemePalette(scheme, puzzle.GetTypeId());
  for (int i = 1; i < puzzle.GetPaletteCount() && i < static_cast<int>(palette.size()); ++i)
    puzzle.SetPaletteEntry(i, palette[i]);
  puzzle.SetOutlineWidth(GetSchemeOutlineWidth(scheme));
}

int GetSchemeOutlineWidth(int scheme) { return scheme == static_cast<int>(ColourScheme::HighContrast) ? 2 : 1; }
