// The colour schemes judged by this test's own colour science: sRGB to CIELAB (D65), the
// Machado, Oliveira and Fernandes (2009) simulation of protanopia, deuteranopia and
// tritanopia at full severity, and CIEDE2000, each checked against published values first.
#include <gyrix/puzzles.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

namespace {

using Vec = std::array<double, 3>;

Vec ToLinear(COLORREF c) {
  Vec v{GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0};
  for (double& x : v) x = x > 0.04045 ? std::pow((x + 0.055) / 1.055, 2.4) : x / 12.92;
  return v;
}

Vec LinearToLab(const Vec& rgb) {
  static const double m[3][3] = {{0.4124564, 0.3575761, 0.1804375},
                                 {0.2126729, 0.7151522, 0.0721750},
                                 {0.0193339, 0.1191920, 0.9503041}};
  static const double white[3] = {0.95047, 1.0, 1.08883};
  double f[3];
  for (int r = 0; r < 3; ++r) {
    const double t = (m[r][0] * rgb[0] + m[r][1] * rgb[1] + m[r][2] * rgb[2]) / white[r];
    const double eps = 216.0 / 24389.0, kappa = 24389.0 / 27.0;
    f[r] = t > eps ? std::cbrt(t) : (kappa * t + 16) / 116;
  }
  return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

// Kinds of vision: none, protanopia, deuteranopia, tritanopia.
constexpr int kVisions = 4;
const char* const kVisionNames[kVisions] = {"normal", "protan", "deutan", "tritan"};

Vec Simulate(const Vec& rgb, int vision) {
  // Machado et al. 2009, table of severity 1.0.
  static const double k[3][9] = {
      {0.152286, 1.052583, -0.204868, 0.114503, 0.786281, 0.099216, -0.003882, -0.048116, 1.051998},
      {0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413, -0.011820, 0.042940, 0.968881},
      {1.255528, -0.076749, -0.178779, -0.078411, 0.930809, 0.147602, 0.004733, 0.691367, 0.303900}};
  if (vision == 0) return rgb;
  const double* m = k[vision - 1];
  Vec out;
  for (int r = 0; r < 3; ++r)
    out[r] = std::min(1.0, std::max(0.0, m[3 * r] * rgb[0] + m[3 * r + 1] * rgb[1] + m[3 * r + 2] * rgb[2]));
  return out;
}

Vec Seen(COLORREF c, int vision) { return LinearToLab(Simulate(ToLinear(c), vision)); }

// CIEDE2000 after Sharma, Wu and Dalal (2005).
double Ciede2000(const Vec& p, const Vec& q) {
  const double pi = std::acos(-1.0);
  auto rad = [pi](double d) { return d * pi / 180; };
  const double cBar = (std::hypot(p[1], p[2]) + std::hypot(q[1], q[2])) / 2;
  const double g = 0.5 * (1 - std::sqrt(std::pow(cBar, 7) / (std::pow(cBar, 7) + 6103515625.0)));
  double c[2], h[2];
  const Vec* lab[2] = {&p, &q};
  for (int i = 0; i < 2; ++i) {
    const double a = (1 + g) * (*lab[i])[1], b = (*lab[i])[2];
    c[i] = std::hypot(a, b);
    h[i] = (a == 0 && b == 0) ? 0 : std::fmod(std::atan2(b, a) * 180 / pi + 360, 360);
  }
  const double dl = q[0] - p[0], dc = c[1] - c[0];
  double dhDeg = 0, hBar = h[0] + h[1];
  if (c[0] * c[1] != 0) {
    dhDeg = h[1] - h[0];
    if (dhDeg > 180) dhDeg -= 360;
    if (dhDeg < -180) dhDeg += 360;
    if (std::fabs(h[0] - h[1]) <= 180) hBar /= 2;
    else hBar = hBar < 360 ? (hBar + 360) / 2 : (hBar - 360) / 2;
  }
  const double dh = 2 * std::sqrt(c[0] * c[1]) * std::sin(rad(dhDeg) / 2);
  const double lBar = (p[0] + q[0]) / 2, cb = (c[0] + c[1]) / 2;
  const double t = 1 - 0.17 * std::cos(rad(hBar - 30)) + 0.24 * std::cos(rad(2 * hBar)) +
                   0.32 * std::cos(rad(3 * hBar + 6)) - 0.20 * std::cos(rad(4 * hBar - 63));
  const double sl = 1 + 0.015 * (lBar - 50) * (lBar - 50) / std::sqrt(20 + (lBar - 50) * (lBar - 50));
  const double sc = 1 + 0.045 * cb, sh = 1 + 0.015 * cb * t;
  const double rc = 2 * std::sqrt(std::pow(cb, 7) / (std::pow(cb, 7) + 6103515625.0));
  const double rt = -std::sin(rad(60 * std::exp(-std::pow((hBar - 275) / 25, 2)))) * rc;
  const double x = dl / sl, y = dc / sc, z = dh / sh;
  return std::sqrt(x * x + y * y + z * z + rt * y * z);
}

double Difference(COLORREF a, COLORREF b, int vision) { return Ciede2000(Seen(a, vision), Seen(b, vision)); }

// Sides that touch in the solved model: facelets of two colours share an edge.
std::set<std::pair<int, int>> Touching(int typeId) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(typeId));
  std::map<std::array<long, 6>, std::set<int>> edges;
  for (int i = 0; i < p->GetFaceletCount(); ++i) {
    CFacelet* f = p->GetFacelet(i);
    if (f->GetColour() < 1) continue;
    for (int e = 0; e < f->GetVertexCount(); ++e) {
      const CFixVector* a = p->GetVertex(f->GetVertexIndices()[e], kModelVertices);
      const CFixVector* b = p->GetVertex(f->GetVertexIndices()[(e + 1) % f->GetVertexCount()], kModelVertices);
      std::array<long, 3> u{std::lround(a->x / 1024.0), std::lround(a->y / 1024.0), std::lround(a->z / 1024.0)};
      std::array<long, 3> v{std::lround(b->x / 1024.0), std::lround(b->y / 1024.0), std::lround(b->z / 1024.0)};
      if (v < u) std::swap(u, v);
      edges[{u[0], u[1], u[2], v[0], v[1], v[2]}].insert(f->GetColour());
    }
  }
  std::set<std::pair<int, int>> out;
  for (const auto& entry : edges)
    for (int x : entry.second)
      for (int y : entry.second)
        if (x < y) out.insert({x, y});
  return out;
}

double Lightness(COLORREF c) { return Seen(c, 0)[0]; }

}  // namespace

TEST(ColourScienceTest, LabAndCiede2000MatchPublishedValues) {
  const Vec white = Seen(0xFFFFFF, 0), red = Seen(0x0000FF, 0);
  EXPECT_NEAR(white[0], 100.0, 0.01);
  EXPECT_NEAR(white[1], 0.0, 0.01);
  EXPECT_NEAR(white[2], 0.0, 0.01);
  EXPECT_NEAR(red[0], 53.24, 0.05);
  EXPECT_NEAR(red[1], 80.09, 0.05);
  EXPECT_NEAR(red[2], 67.20, 0.05);
  // Pairs of Sharma, Wu and Dalal's CIEDE2000 test data, with their published differences.
  struct Pair {
    Vec a, b;
    double de;
  };
  const Pair pairs[] = {
      {{50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}, 2.0425},
      {{50.0, 3.1571, -77.2803}, {50.0, 0.0, -82.7485}, 2.8615},
      {{50.0, 2.8361, -74.0200}, {50.0, 0.0, -82.7485}, 3.4412},
      {{50.0, 0.0, 0.0}, {50.0, -1.0, 2.0}, 2.3669},
      {{50.0, 2.4900, -0.0010}, {50.0, -2.4900, 0.0009}, 7.1792},
      {{50.0, 2.4900, -0.0010}, {50.0, -2.4900, 0.0011}, 7.2195},
      {{50.0, -0.0010, 2.4900}, {50.0, 0.0009, -2.4900}, 4.8045},
      {{50.0, -0.0010, 2.4900}, {50.0, 0.0011, -2.4900}, 4.7461},
      {{50.0, 2.5, 0.0}, {50.0, 0.0, -2.5}, 4.3065},
      {{50.0, 2.5, 0.0}, {73.0, 25.0, -18.0}, 27.1492},
      {{50.0, 2.5, 0.0}, {61.0, -5.0, 29.0}, 22.8977},
      {{50.0, 2.5, 0.0}, {56.0, -27.0, -3.0}, 31.9030},
      {{50.0, 2.5, 0.0}, {58.0, 24.0, 15.0}, 19.4535},
      {{50.0, 2.5, 0.0}, {50.0, 3.1736, 0.5854}, 1.0000},
      {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
      {{63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}, 1.2630},
      {{35.0831, -44.1164, 3.7933}, {35.0232, -40.0716, 1.5901}, 1.8645},
      {{22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}, 2.0373},
      {{90.8027, -2.0831, 1.4410}, {91.1528, -1.6435, 0.0447}, 1.4441},
      {{6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}, 0.6377},
      {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
  };
  for (const Pair& p : pairs) {
    EXPECT_NEAR(Ciede2000(p.a, p.b), p.de, 1e-4) << p.a[0] << " " << p.a[1] << " " << p.a[2];
    EXPECT_NEAR(Ciede2000(p.b, p.a), p.de, 1e-4);
  }
}

TEST(ColourScienceTest, TheSimulationKeepsGreysAndMergesWhatTheDeficienciesMerge) {
  // Machado's matrices map white to white and every grey to itself.
  for (COLORREF grey : {0x000000u, 0x808080u, 0xFFFFFFu})
    for (int v = 1; v < kVisions; ++v) EXPECT_LT(Ciede2000(Seen(grey, v), Seen(grey, 0)), 0.5) << v;
  // Red against green is far apart for normal vision and close without red or green cones,
  // but stays apart without blue cones.
  EXPECT_GT(Difference(0x0000FF, 0x008000, 0), 40);
  EXPECT_LT(Difference(0x0000FF, 0x008000, 1), 20);
  EXPECT_LT(Difference(0x0000FF, 0x008000, 2), 20);
  EXPECT_GT(Difference(0x0000FF, 0x008000, 3), 40);
  // The classic cube's colours fall to about 4 under protanopia.
  const std::vector<COLORREF> cube = GetTypePalette(1);
  double worst = 1e9;
  for (size_t i = 1; i < cube.size(); ++i)
    for (size_t j = i + 1; j < cube.size(); ++j) worst = std::min(worst, Difference(cube[i], cube[j], 1));
  EXPECT_NEAR(worst, 4.0, 1.0);
}

TEST(SchemeTest, ClassicIsTheCatalogueAndNamesAreFound) {
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    std::unique_ptr<CPuzzle> p(CreatePuzzle(t));
    const std::vector<COLORREF> classic = GetSchemePalette(0, t);
    ASSERT_EQ(static_cast<int>(classic.size()), p->GetPaletteCount()) << t;
    for (int i = 0; i < p->GetPaletteCount(); ++i) EXPECT_EQ(classic[i], p->GetPaletteEntry(i)) << t << " " << i;
    for (int s = 1; s < kColourSchemeCount; ++s) {
      const std::vector<COLORREF> palette = GetSchemePalette(s, t);
      ASSERT_EQ(palette.size(), classic.size());
      EXPECT_EQ(palette[0], classic[0]) << "the inside colour stays";
      ApplyScheme(*p, s);
      for (int i = 0; i < p->GetPaletteCount(); ++i) EXPECT_EQ(p->GetPaletteEntry(i), palette[i]);
      for (size_t i = 1; i < palette.size(); ++i) {
        const std::vector<COLORREF> all = GetSchemeColours(s);
        EXPECT_NE(std::find(all.begin(), all.end(), palette[i]), all.end());
      }
    }
    ApplyScheme(*p, 0);
    for (int i = 0; i < p->GetPaletteCount(); ++i) EXPECT_EQ(classic[i], p->GetPaletteEntry(i));
  }
  EXPECT_TRUE(GetSchemePalette(0, 37).empty());
  EXPECT_EQ(GetSchemePalette(99, 1), GetTypePalette(1));
  for (int s = 0; s < kColourSchemeCount; ++s) {
    EXPECT_EQ(FindScheme(GetSchemeWord(s)), s);
    EXPECT_EQ(FindScheme(GetSchemeTitle(s)), s);
  }
  EXPECT_EQ(FindScheme("Colour-Blind"), 2);
  EXPECT_EQ(FindScheme("sepia"), -1);
  EXPECT_EQ(FindScheme(nullptr), -1);
  EXPECT_EQ(GetSchemeTitle(4), nullptr);
}

// Every pair of one puzzle's sides at least 20 apart for every kind of vision, and every side
// at least 10 from the black outline and the inside colour, also for the ten sides of the
// largest palettes. The worst reached is printed per type.
TEST(SchemeTest, ColourBlindSafeKeepsEveryTypesSidesApartForEveryVision) {
  std::printf("type  sides  worst pair: normal protan deutan tritan  worst to outline/inside\n");
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    const std::vector<COLORREF> palette = GetSchemePalette(2, t);
    double pair[kVisions], fixed = 1e9;
    for (int v = 0; v < kVisions; ++v) {
      pair[v] = 1e9;
      for (size_t i = 1; i < palette.size(); ++i) {
        for (size_t j = i + 1; j < palette.size(); ++j) pair[v] = std::min(pair[v], Difference(palette[i], palette[j], v));
        fixed = std::min({fixed, Difference(palette[i], 0x000000, v), Difference(palette[i], palette[0], v)});
      }
    }
    std::printf("%4d  %5zu  %11.1f %6.1f %6.1f %6.1f  %.1f\n", t, palette.size() - 1, pair[0], pair[1], pair[2], pair[3],
                fixed);
    for (int v = 0; v < kVisions; ++v) EXPECT_GE(pair[v], 20.0) << t << " " << kVisionNames[v];
    EXPECT_GE(fixed, 10.0) << t;
  }
}

TEST(SchemeTest, HighContrastSidesThatTouchDifferInLightness) {
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    const std::vector<COLORREF> palette = GetSchemePalette(3, t);
    double worstL = 1e9, worstPair = 1e9;
    for (auto [a, b] : Touching(t)) worstL = std::min(worstL, std::fabs(Lightness(palette[a]) - Lightness(palette[b])));
    for (size_t i = 1; i < palette.size(); ++i) {
      for (size_t j = i + 1; j < palette.size(); ++j) worstPair = std::min(worstPair, Difference(palette[i], palette[j], 0));
      EXPECT_GE(Difference(palette[i], 0x000000, 0), 10.0) << t;
    }
    EXPECT_GE(worstL, 7.0) << t;
    EXPECT_GE(worstPair, 19.5) << t;
  }
  EXPECT_EQ(GetSchemeOutlineWidth(3), 2);
  EXPECT_EQ(GetSchemeOutlineWidth(0), 1);
}

// The colours players know: on the cubes (and the Skewb) white faces yellow, red faces
// orange, blue faces green across the puzzle; the pyramid is red, green, blue and yellow; the
// dodecahedron wears the cube's six.
TEST(SchemeTest, StandardOppositesAreTheOnesPlayersKnow) {
  const std::set<std::set<COLORREF>> opposites = {{0xFFFFFF, 0x00FFFF}, {0x0000FF, 0x0080FF}, {0xFF0000, 0x00FF00}};
  for (int t : {0, 1, 2, 3, 6, 14, 16, 17, 22, 25, 26}) {
    const std::vector<COLORREF> palette = GetSchemePalette(1, t);
    ASSERT_EQ(palette.size(), 7u);
    const auto touching = Touching(t);
    std::set<std::set<COLORREF>> apart;
    for (int a = 1; a <= 6; ++a)
      for (int b = a + 1; b <= 6; ++b)
        if (!touching.count({a, b})) apart.insert({palette[a], palette[b]});
    EXPECT_EQ(apart, opposites) << t;
  }
  for (int t : {4, 23, 35, 36}) {
    const std::vector<COLORREF> p = GetSchemePalette(1, t);
    EXPECT_EQ(std::set<COLORREF>(p.begin() + 1, p.end()), (std::set<COLORREF>{0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF}));
  }
  for (int t : {7, 8, 11, 12}) {
    const std::vector<COLORREF> p = GetSchemePalette(1, t);
    EXPECT_EQ(std::set<COLORREF>(p.begin() + 1, p.end()),
              (std::set<COLORREF>{0xFFFFFF, 0x00FFFF, 0x0000FF, 0x0080FF, 0xFF0000, 0x00FF00}));
  }
  // The others keep their catalogue colours.
  EXPECT_EQ(GetSchemePalette(1, 5), GetTypePalette(5));
}

namespace {

// Where a colour sits in the solved model, seen from the model's middle.
Vec ColourDirection(CPuzzle& p, COLORREF colour) {
  Vec all{0, 0, 0}, own{0, 0, 0};
  int allCount = 0, ownCount = 0;
  for (int i = 0; i < p.GetFaceletCount(); ++i) {
    CFacelet* f = p.GetFacelet(i);
    for (int k = 0; k < f->GetVertexCount(); ++k) {
      const CFixVector* v = p.GetVertex(f->GetVertexIndices()[k], kModelVertices);
      const Vec at{v->x / 65536.0, v->y / 65536.0, v->z / 65536.0};
      for (int d = 0; d < 3; ++d) all[d] += at[d];
      ++allCount;
      if (f->GetColour() > 0 && p.GetPaletteEntry(f->GetColour()) == colour) {
        for (int d = 0; d < 3; ++d) own[d] += at[d];
        ++ownCount;
      }
    }
  }
  Vec out;
  for (int d = 0; d < 3; ++d) out[d] = own[d] / std::max(ownCount, 1) - all[d] / std::max(allCount, 1);
  return out;
}

double Turn(const Vec& a, const Vec& b, const Vec& c) {
  return a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
}

// The sense in which white, red and green follow each other round their corner (cubes), or
// red, green and blue round the top (pyramids).
double Sense(int typeId, COLORREF a, COLORREF b, COLORREF c) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(typeId));
  ApplyScheme(*p, 1);
  return Turn(ColourDirection(*p, a), ColourDirection(*p, b), ColourDirection(*p, c));
}

}  // namespace

// Not mirrored: the cube's white, red and green go round their corner as on the cubes players
// hold (looked at on the 3x3x3), and every other cube and pyramid goes the same way round.
TEST(SchemeTest, StandardColoursAreNotMirrored) {
  const double cube = Sense(1, 0xFFFFFF, 0x0000FF, 0x00FF00);
  ASSERT_NE(cube, 0);
  for (int t : {0, 2, 3, 6, 14, 16, 17, 22, 25, 26})
    EXPECT_GT(Sense(t, 0xFFFFFF, 0x0000FF, 0x00FF00) * cube, 0) << "type " << t;
  for (int t : {4, 23, 36}) EXPECT_GT(Sense(t, 0x0000FF, 0x00FF00, 0xFF0000) * cube, 0) << "type " << t;
}
