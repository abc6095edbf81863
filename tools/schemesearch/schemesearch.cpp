// Offline search for the colour schemes' tables (gyrix/puzzles/schemes.cpp). Not part of the
// game: run it by hand after changing the search, and paste what it prints.
//
//   gyrix-schemesearch colour-blind   sets of 2..10 side colours that stay apart for normal
//                                     vision and under simulated protanopia, deuteranopia and
//                                     tritanopia (Machado, Oliveira and Fernandes 2009, full
//                                     severity), in CIEDE2000
//   gyrix-schemesearch refine         the game's colour-blind sets polished a step at a time
//   gyrix-schemesearch high-contrast  per type, which colour of the high-contrast set each side
//                                     takes, so that sides that touch differ most in lightness
//   gyrix-schemesearch neighbours     which sides touch, per type
#include <gyrix/puzzles.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

struct Lab {
  double L, a, b;
};

double Linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

// Machado, Oliveira and Fernandes (2009), severity 1.0, on linear RGB.
const double kMachado[3][3][3] = {
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}},
};

Lab ToLab(std::array<double, 3> lin) {
  const double X = 0.4124564 * lin[0] + 0.3575761 * lin[1] + 0.1804375 * lin[2];
  const double Y = 0.2126729 * lin[0] + 0.7151522 * lin[1] + 0.0721750 * lin[2];
  const double Z = 0.0193339 * lin[0] + 0.1191920 * lin[1] + 0.9503041 * lin[2];
  auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
  const double fx = f(X / 0.95047), fy = f(Y / 1.0), fz = f(Z / 1.08883);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// vision 0 normal, 1 protan, 2 deutan, 3 tritan; colour 0x00BBGGRR.
Lab Seen(unsigned colour, int vision) {
  std::array<double, 3> lin = {Linear((colour & 0xFF) / 255.0), Linear(((colour >> 8) & 0xFF) / 255.0),
                               Linear(((colour >> 16) & 0xFF) / 255.0)};
  if (vision > 0) {
    std::array<double, 3> s{};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) s[r] += kMachado[vision - 1][r][c] * lin[c];
      s[r] = std::clamp(s[r], 0.0, 1.0);
    }
    lin = s;
  }
  return ToLab(lin);
}

double Deg(double r) { return r * 180.0 / M_PI; }
double Rad(double d) { return d * M_PI / 180.0; }

double De2000(const Lab& x, const Lab& y) {
  const double C1 = std::hypot(x.a, x.b), C2 = std::hypot(y.a, y.b);
  const double Cm = (C1 + C2) / 2, Cm7 = std::pow(Cm, 7);
  const double G = 0.5 * (1 - std::sqrt(Cm7 / (Cm7 + std::pow(25.0, 7))));
  const double a1 = (1 + G) * x.a, a2 = (1 + G) * y.a;
  const double c1 = std::hypot(a1, x.b), c2 = std::hypot(a2, y.b);
  auto hue = [](double b, double a) {
    if (a == 0 && b == 0) return 0.0;
    double h = Deg(std::atan2(b, a));
    return h < 0 ? h + 360 : h;
  };
  const double h1 = hue(x.b, a1), h2 = hue(y.b, a2);
  const double dL = y.L - x.L, dC = c2 - c1;
  double dh = 0;
  if (c1 * c2 != 0) {
    dh = h2 - h1;
    if (dh > 180) dh -= 360;
    else if (dh < -180) dh += 360;
  }
  const double dH = 2 * std::sqrt(c1 * c2) * std::sin(Rad(dh / 2));
  const double Lm = (x.L + y.L) / 2, cm = (c1 + c2) / 2;
  double hm = h1 + h2;
  if (c1 * c2 != 0) {
    if (std::fabs(h1 - h2) <= 180) hm = (h1 + h2) / 2;
    else hm = (h1 + h2 < 360) ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2;
  }
  const double T = 1 - 0.17 * std::cos(Rad(hm - 30)) + 0.24 * std::cos(Rad(2 * hm)) +
                   0.32 * std::cos(Rad(3 * hm + 6)) - 0.20 * std::cos(Rad(4 * hm - 63));
  const double dTheta = 30 * std::exp(-((hm - 275) / 25) * ((hm - 275) / 25));
  const double cm7 = std::pow(cm, 7);
  const double Rc = 2 * std::sqrt(cm7 / (cm7 + std::pow(25.0, 7)));
  const double Sl = 1 + 0.015 * (Lm - 50) * (Lm - 50) / std::sqrt(20 + (Lm - 50) * (Lm - 50));
  const double Sc = 1 + 0.045 * cm, Sh = 1 + 0.015 * cm * T;
  const double Rt = -std::sin(Rad(2 * dTheta)) * Rc;
  return std::sqrt((dL / Sl) * (dL / Sl) + (dC / Sc) * (dC / Sc) + (dH / Sh) * (dH / Sh) +
                   Rt * (dC / Sc) * (dH / Sh));
}

struct Candidate {
  unsigned colour;
  Lab seen[4];
};

std::vector<Candidate> Grid(int step) {
  std::vector<Candidate> out;
  for (int r = 0; r <= 255; r += step)
    for (int g = 0; g <= 255; g += step)
      for (int b = 0; b <= 255; b += step) {
        Candidate c;
        c.colour = unsigned(r) | unsigned(g) << 8 | unsigned(b) << 16;
        for (int v = 0; v < 4; ++v) c.seen[v] = Seen(c.colour, v);
        out.push_back(c);
      }
  return out;
}

double PairMin(const Candidate& x, const Candidate& y) {
  double m = 1e9;
  for (int v = 0; v < 4; ++v) m = std::min(m, De2000(x.seen[v], y.seen[v]));
  return m;
}

// Score of a set: the smallest pair difference (sides against each other, counted at full
// weight, against the fixed colours at twice the weight so that 10 there weighs like 20),
// then a soft sum that prefers fewer near pairs.
struct Score {
  double min;
  double soft;
  bool operator<(const Score& o) const { return min < o.min - 1e-9 || (std::fabs(min - o.min) <= 1e-9 && soft < o.soft); }
};

Score Evaluate(const std::vector<const Candidate*>& set, const std::vector<Candidate>& fixed) {
  Score s{1e9, 0};
  for (size_t i = 0; i < set.size(); ++i) {
    for (size_t j = i + 1; j < set.size(); ++j) {
      const double d = PairMin(*set[i], *set[j]);
      s.min = std::min(s.min, d);
      s.soft -= std::exp(-d / 4);
    }
    for (const Candidate& f : fixed) {
      const double d = 2 * PairMin(*set[i], f);
      s.min = std::min(s.min, d);
      s.soft -= std::exp(-d / 4);
    }
  }
  return s;
}

std::vector<const Candidate*> SearchSet(int k, const std::vector<Candidate>& grid,
                                        const std::vector<Candidate>& fixed, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<size_t> pick(0, grid.size() - 1);
  std::vector<const Candidate*> best;
  Score bestScore{-1e9, -1e9};
  for (int restart = 0; restart < 12; ++restart) {
    std::vector<const Candidate*> set;
    for (int i = 0; i < k; ++i) set.push_back(&grid[pick(rng)]);
    Score score = Evaluate(set, fixed);
    double temperature = 4.0;
    for (int it = 0; it < 40000; ++it, temperature *= 0.99985) {
      const int slot = int(rng() % k);
      const Candidate* old = set[slot];
      set[slot] = &grid[pick(rng)];
      const Score next = Evaluate(set, fixed);
      const double gain = next.min - score.min;
      if (!(next < score) ||
          std::uniform_real_distribution<double>(0, 1)(rng) < std::exp(gain / temperature)) {
        score = next;
      } else {
        set[slot] = old;
      }
      if (bestScore < score) {
        bestScore = score;
        best = set;
      }
    }
  }
  // Lightest first: the order sides take them in.
  std::sort(best.begin(), best.end(), [](const Candidate* x, const Candidate* y) { return x->seen[0].L > y->seen[0].L; });
  return best;
}

// Sides that touch in the solved puzzle: a facelet of one and a facelet of the other share an
// edge (two corners at the same place).
std::set<std::pair<int, int>> Neighbours(int typeId) {
  std::set<std::pair<int, int>> out;
  CPuzzle* puzzle = CreatePuzzle(typeId);
  std::map<std::pair<std::array<int, 3>, std::array<int, 3>>, std::set<int>> edges;
  for (int i = 0; i < puzzle->GetFaceletCount(); ++i) {
    CFacelet* f = puzzle->GetFacelet(i);
    const int colour = f->GetColour();
    if (colour < 1) continue;
    const int n = f->GetVertexCount();
    for (int e = 0; e < n; ++e) {
      const CFixVector* a = puzzle->GetVertex(f->GetVertexIndices()[e], kModelVertices);
      const CFixVector* b = puzzle->GetVertex(f->GetVertexIndices()[(e + 1) % n], kModelVertices);
      if (!a || !b) continue;
      // Rounded to a 1/64 of a unit: corners of one place built by separate sums still meet.
      std::array<int, 3> pa = {(a->x + 512) >> 10, (a->y + 512) >> 10, (a->z + 512) >> 10};
      std::array<int, 3> pb = {(b->x + 512) >> 10, (b->y + 512) >> 10, (b->z + 512) >> 10};
      if (pb < pa) std::swap(pa, pb);
      edges[{pa, pb}].insert(colour);
    }
  }
  for (const auto& [edge, colours] : edges)
    for (int x : colours)
      for (int y : colours)
        if (x < y) out.insert({x, y});
  delete puzzle;
  return out;
}

int ColourBlind() {
  const std::vector<Candidate> grid = Grid(15);
  std::vector<Candidate> fixed;
  for (unsigned c : {0x000000u, 0x808080u}) {
    Candidate f;
    f.colour = c;
    for (int v = 0; v < 4; ++v) f.seen[v] = Seen(c, v);
    fixed.push_back(f);
  }
  for (int k : {2, 4, 5, 6, 7, 8, 10}) {
    const auto set = SearchSet(k, grid, fixed, 1000u + unsigned(k));
    const Score s = Evaluate(set, fixed);
    std::printf("// %d sides: worst pair %.1f\n{", k, s.min);
    for (const Candidate* c : set) std::printf("0x%06X, ", c->colour);
    std::printf("}\n");
    std::fflush(stdout);
  }
  return 0;
}

// The high-contrast set, lightest to darkest: white, yellow, green, orange, magenta, red,
// dark green, blue, purple, maroon.
const unsigned kHighContrast[] = {0xFFFFFF, 0x00FFFF, 0x00FF00, 0x0080FF, 0xFF00FF,
                                  0x0000FF, 0x006400, 0xFF0000, 0x800080, 0x000080};
constexpr int kHighContrastCount = 10;

// For every type, the set's colour of each side: every way of giving k of the ten to the k
// sides is tried, and the one whose sides that touch differ most in lightness wins (then the
// one whose closest pair of any sides differs most).
int HighContrast() {
  Lab seen[kHighContrastCount];
  for (int i = 0; i < kHighContrastCount; ++i) seen[i] = Seen(kHighContrast[i], 0);
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    const int k = GetPuzzleType(t)->paletteCount - 1;
    const auto touching = Neighbours(t);
    std::vector<int> pick(kHighContrastCount);
    for (int i = 0; i < kHighContrastCount; ++i) pick[i] = i;
    std::vector<int> best;
    double bestL = -1, bestE = -1;
    do {
      // Only the first k of each permutation count; skip repeats of the same first k.
      bool first = true;
      for (int i = k; i + 1 < kHighContrastCount; ++i)
        if (pick[i] < pick[i + 1]) continue; else { first = false; break; }
      if (!first && k < kHighContrastCount) continue;
      double minL = 1e9, minE = 1e9;
      for (auto [x, y] : touching) minL = std::min(minL, std::fabs(seen[pick[x - 1]].L - seen[pick[y - 1]].L));
      for (int x = 0; x < k; ++x)
        for (int y = x + 1; y < k; ++y) minE = std::min(minE, De2000(seen[pick[x]], seen[pick[y]]));
      if (minL > bestL + 1e-9 || (std::fabs(minL - bestL) <= 1e-9 && minE > bestE)) {
        bestL = minL;
        bestE = minE;
        best.assign(pick.begin(), pick.begin() + k);
      }
    } while (std::next_permutation(pick.begin(), pick.end()));
    std::printf("    {");
    for (size_t i = 0; i < best.size(); ++i) std::printf("%s%d", i ? ", " : "", best[i]);
    std::printf("},  // %d %s: touching sides %.1f apart in lightness, any two %.1f\n", t,
                GetPuzzleType(t)->name, touching.empty() ? 0.0 : bestL, bestE);
    std::fflush(stdout);
  }
  return 0;
}

// Polishes the game's colour-blind sets: each channel of each colour is nudged by a few steps
// while the set's worst pair (and the soft sum after it) gets better, down to single steps.
int RefineColourBlind() {
  std::vector<Candidate> fixed;
  for (unsigned c : {0x000000u, 0x808080u}) {
    Candidate f;
    f.colour = c;
    for (int v = 0; v < 4; ++v) f.seen[v] = Seen(c, v);
    fixed.push_back(f);
  }
  std::set<int> done;
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    const std::vector<COLORREF> palette = GetSchemePalette(static_cast<int>(ColourScheme::ColourBlind), t);
    const int k = static_cast<int>(palette.size()) - 1;
    if (k < 2 || !done.insert(k).second) continue;
    std::vector<Candidate> colours(k);
    for (int i = 0; i < k; ++i) {
      colours[i].colour = palette[i + 1];
      for (int v = 0; v < 4; ++v) colours[i].seen[v] = Seen(palette[i + 1], v);
    }
    auto score = [&]() {
      std::vector<const Candidate*> set;
      for (const Candidate& c : colours) set.push_back(&c);
      return Evaluate(set, fixed);
    };
    const double before = score().min;
    Score best = score();
    for (int stride = 16; stride >= 1; stride /= 2) {
      for (bool better = true; better;) {
        better = false;
        for (int i = 0; i < k; ++i)
          for (int channel = 0; channel < 3; ++channel)
            for (int sign : {-1, 1}) {
              const Candidate old = colours[i];
              const int shift = 8 * channel;
              const int value = std::clamp(int((old.colour >> shift) & 0xFF) + sign * stride, 0, 255);
              colours[i].colour = (old.colour & ~(0xFFu << shift)) | unsigned(value) << shift;
              for (int v = 0; v < 4; ++v) colours[i].seen[v] = Seen(colours[i].colour, v);
              const Score next = score();
              if (best < next) {
                best = next;
                better = true;
              } else {
                colours[i] = old;
              }
            }
      }
    }
    std::sort(colours.begin(), colours.end(), [](const Candidate& x, const Candidate& y) { return x.seen[0].L > y.seen[0].L; });
    std::printf("// %d sides: worst pair %.1f (was %.1f)\n{", k, best.min, before);
    for (const Candidate& c : colours) std::printf("0x%06X, ", c.colour);
    std::printf("}\n");
    std::fflush(stdout);
  }
  return 0;
}

int PrintNeighbours() {
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    std::printf("%2d %-18s", t, GetPuzzleType(t)->name);
    for (auto [x, y] : Neighbours(t)) std::printf(" %d-%d", x, y);
    std::printf("\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "colour-blind") == 0) return ColourBlind();
  if (argc == 2 && std::strcmp(argv[1], "high-contrast") == 0) return HighContrast();
  if (argc == 2 && std::strcmp(argv[1], "neighbours") == 0) return PrintNeighbours();
  if (argc == 2 && std::strcmp(argv[1], "refine") == 0) return RefineColourBlind();
  std::fprintf(stderr, "usage: gyrix-schemesearch colour-blind|refine|high-contrast|neighbours\n");
  return 2;
}
