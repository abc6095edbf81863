// Symbols on facelets: one distinct shape per side colour, each inside its facelet in every
// frame of a turn and in the ink that reads on its colour.
#include "puzzle_test_util.h"

#include <gyrix/puzzles/schemes.h>

#include <cordak/urand.h>
#include <lumex/dib.h>
#include <platform/dc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr int kGrid = 64;
constexpr COLORREF kBlack = 0x000000, kWhite = 0xFFFFFF;

// The shape filled on a grid over the unit square, with the alternate rule, turned by angle
// (radians) and mirrored across x when asked.
std::vector<bool> Raster(const SSymbolOutline& s, double angle, bool mirror) {
  std::vector<bool> grid(kGrid * kGrid, false);
  const double c = std::cos(angle), sn = std::sin(angle);
  for (int gy = 0; gy < kGrid; ++gy)
    for (int gx = 0; gx < kGrid; ++gx) {
      // The sample point turned back into the shape's own coordinates.
      const double px = (gx + 0.5) * 2.0 / kGrid - 1, py = (gy + 0.5) * 2.0 / kGrid - 1;
      const double x = (c * px + sn * py) * (mirror ? -1 : 1), y = -sn * px + c * py;
      bool inside = false;
      size_t start = 0;
      for (int count : s.counts) {
        for (int i = 0, j = count - 1; i < count; j = i++) {
          const double xi = s.x[start + i], yi = s.y[start + i], xj = s.x[start + j], yj = s.y[start + j];
          if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
        }
        start += count;
      }
      grid[gy * kGrid + gx] = inside;
    }
  return grid;
}

// The share of the two shapes' area that only one covers, at the turn and mirroring that
// makes them most alike.
double LeastDifference(int a, int b) {
  const std::vector<bool> first = Raster(GetSymbolOutline(a), 0, false);
  double least = 1;
  for (bool mirror : {false, true})
    for (int step = 0; step < 120; ++step) {
      const std::vector<bool> second = Raster(GetSymbolOutline(b), step * 3.14159265358979 / 60, mirror);
      int only = 0, any = 0;
      for (int i = 0; i < kGrid * kGrid; ++i) {
        only += first[i] != second[i];
        any += first[i] || second[i];
      }
      least = std::min(least, static_cast<double>(only) / std::max(any, 1));
    }
  return least;
}

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double Luminance(COLORREF c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}
double Contrast(COLORREF a, COLORREF b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether p is inside or on the polygon's outline (the screen points of a facelet).
bool InsidePolygon(const POINT* poly, int n, POINT p) {
  bool inside = false;
  for (int i = 0, j = n - 1; i < n; j = i++) {
    const double xi = poly[i].x, yi = poly[i].y, xj = poly[j].x, yj = poly[j].y;
    const double cross = (xj - xi) * (p.y - yi) - (yj - yi) * (p.x - xi);
    const bool onSegment = std::fabs(cross) < 1e-9 && p.x >= std::min(xi, xj) && p.x <= std::max(xi, xj) &&
                           p.y >= std::min(yi, yj) && p.y <= std::max(yi, yj);
    if (onSegment) return true;
    if ((yi > p.y) != (yj > p.y) && p.x < (xj - xi) * (p.y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

// Every facelet painted from either list: its symbol's points lie inside its outline. Returns
// how many symbols there were.
int CheckSymbolsInside(CPuzzle& p, const char* where) {
  int symbols = 0;
  std::vector<POINT> points;
  std::vector<int> counts;
  for (int list : {kViewVertices, kFrameVertices}) {
    for (int i = 0; i < p.GetFaceletCount(); ++i) {
      CFacelet* f = p.GetFacelet(i);
      if (!f->Project(list)) continue;
      if (!ComputeFaceletSymbol(p, *f, list, points, counts)) continue;
      ++symbols;
      for (const POINT& q : points)
        EXPECT_TRUE(InsidePolygon(f->GetPoints(), f->GetVertexCount(), q))
            << p.GetName() << " " << where << " facelet " << f->GetId() << " at " << q.x << "," << q.y;
    }
  }
  return symbols;
}

struct Picture {
  std::vector<COLORREF> pixels;
  int width = 0, height = 0;
  COLORREF At(int x, int y) const { return pixels[y * width + x]; }
};

Picture Paint(CPuzzle& p, bool symbols, int move, int angle, int w, int h) {
  CPuzzleCanvas canvas(p, w, h);
  p.SetShowSymbols(symbols);
  if (move) p.DrawMoveFrame(canvas.dc, &canvas.dib, move, angle);
  else p.Draw(canvas.dc, &canvas.dib);
  Picture out;
  out.width = w;
  out.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.pixels.push_back(canvas.At(x, y));
  return out;
}

// The frame painted with and without symbols: every pixel the symbols change takes the ink
// of the colour it covers. Returns the number of pixels changed.
int CheckSymbolPixels(CPuzzle& p, int move, int angle) {
  const int w = p.GetViewWidth(), h = p.GetViewHeight();
  const Picture plain = Paint(p, false, move, angle, w, h);
  const Picture marked = Paint(p, true, move, angle, w, h);
  int changed = 0;
  for (size_t i = 0; i < plain.pixels.size(); ++i) {
    if (plain.pixels[i] == marked.pixels[i]) continue;
    ++changed;
    EXPECT_EQ(marked.pixels[i], GetSymbolInk(plain.pixels[i])) << p.GetName() << " at " << i % w << "," << i / w;
  }
  return changed;
}

// Each facelet of the frame painted alone, from the list the frame paints it from, with and
// without its symbol: the pixels the symbol changes lie inside the facelet's own colour, away
// from its outline and from the background. Returns the number of symbols seen.
int CheckEachFaceletAlone(CPuzzle& p, int move, CPuzzleCanvas& canvas) {
  const int k = move ? p.GetAnimatedMove(move) : -1;
  const std::uint32_t bit = k >= 0 ? 1u << CPuzzle::MaskBit(k) : 0;
  const int w = canvas.dib.Width(), h = canvas.dib.Height();
  int seen = 0;
  for (int i = 0; i < p.GetFaceletCount(); ++i) {
    CFacelet* f = p.GetFacelet(i);
    const int list = (p.GetMoveMask(f->GetId()) & bit) ? kFrameVertices : kViewVertices;
    if (!f->Project(list)) continue;
    // Only the facelet's box, with a pixel round it, can change.
    RECT box{w, h, 0, 0};
    for (int n = 0; n < f->GetVertexCount(); ++n) {
      box.left = std::max<LONG>(0, std::min<LONG>(box.left, f->GetPoints()[n].x - 2));
      box.top = std::max<LONG>(0, std::min<LONG>(box.top, f->GetPoints()[n].y - 2));
      box.right = std::min<LONG>(w, std::max<LONG>(box.right, f->GetPoints()[n].x + 3));
      box.bottom = std::min<LONG>(h, std::max<LONG>(box.bottom, f->GetPoints()[n].y + 3));
    }
    std::vector<COLORREF> alone[2];
    for (int marked = 0; marked < 2; ++marked) {
      canvas.Clear();
      p.SetShowSymbols(marked != 0);
      p.PaintFacelet(canvas.dc, &canvas.dib, f, list, TRUE, FALSE);
      for (LONG y = box.top; y < box.bottom; ++y)
        for (LONG x = box.left; x < box.right; ++x) alone[marked].push_back(canvas.At(x, y));
    }
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    int changed = 0, misplaced = 0;
    const COLORREF own = p.GetPaletteEntry(std::max(f->GetColour(), 0));
    for (int y = 0; y < bh; ++y)
      for (int x = 0; x < bw; ++x) {
        if (alone[0][y * bw + x] == alone[1][y * bw + x]) continue;
        ++changed;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= bw || ny >= bh || alone[0][ny * bw + nx] != own) ++misplaced;
          }
      }
    EXPECT_EQ(misplaced, 0) << p.GetName() << " facelet " << f->GetId() << " turn " << move << " outline "
                            << p.GetOutlineWidth();
    seen += changed > 0;
  }
  return seen;
}

// Every frame of the first turns the puzzle allows now, and the picture at rest.
void CheckEveryFrame(CPuzzle& p, int turns) {
  p.ResetView(240, 200);
  p.SetShowSymbols(true);
  p.Draw(nullptr, nullptr);
  EXPECT_GT(CheckSymbolsInside(p, "at rest"), 0) << p.GetName();
  EXPECT_GT(CheckSymbolPixels(p, 0, 0), 0) << p.GetName();
  CPuzzleCanvas still(p, 240, 200);
  EXPECT_GT(CheckEachFaceletAlone(p, 0, still), 0) << p.GetName();
  auto* planeCut = dynamic_cast<CPlaneCutPuzzle*>(&p);
  int checked = 0;
  for (int move = 1; move <= p.GetMoveCount() && checked < turns; ++move) {
    for (int turn : {move, -move}) {
      if (planeCut && !planeCut->CanMove(turn)) continue;
      ++checked;
      for (int frame = 1; frame <= p.GetMoveFrames(turn); ++frame) {
        const int angle = p.GetMoveStep(turn) * frame;
        CPuzzleCanvas canvas(p, 240, 200);
        p.DrawMoveFrame(canvas.dc, &canvas.dib, turn, angle);
        const std::string where = "turn " + std::to_string(turn) + " at " + std::to_string(angle);
        EXPECT_GT(CheckSymbolsInside(p, where.c_str()), 0) << p.GetName() << " " << where;
        EXPECT_GT(CheckEachFaceletAlone(p, turn, canvas), 0) << p.GetName() << " " << where;
        EXPECT_GT(CheckSymbolPixels(p, turn, angle), 0) << p.GetName() << " " << where;
      }
    }
  }
  EXPECT_GT(checked, 0) << p.GetName();
}

}  // namespace

TEST(SymbolTest, EverySideColourOfEveryTypeHasAShapeOfItsOwn) {
  int most = 0;
  for (int t = 0; t < kPuzzleTypeCount; ++t) most = std::max(most, static_cast<int>(GetTypePalette(t).size()) - 1);
  ASSERT_GE(kSymbolShapes, most);
  EXPECT_EQ(GetSymbolShape(0), -1) << "the inside colour has none";
  std::set<int> shapes;
  std::set<std::string> names;
  for (int colour = 1; colour <= most; ++colour) {
    shapes.insert(GetSymbolShape(colour));
    ASSERT_NE(GetSymbolName(GetSymbolShape(colour)), nullptr);
    names.insert(GetSymbolName(GetSymbolShape(colour)));
  }
  EXPECT_EQ(static_cast<int>(shapes.size()), most);
  EXPECT_EQ(static_cast<int>(names.size()), most);
  EXPECT_EQ(GetSymbolName(kSymbolShapes), nullptr);

  // Each fits the unit disc and covers enough of it to be seen.
  for (int s = 0; s < kSymbolShapes; ++s) {
    const SSymbolOutline o = GetSymbolOutline(s);
    ASSERT_FALSE(o.counts.empty()) << s;
    for (size_t i = 0; i < o.x.size(); ++i) EXPECT_LE(std::hypot(o.x[i], o.y[i]), 1.0 + 1e-9) << GetSymbolName(s);
    const std::vector<bool> grid = Raster(o, 0, false);
    EXPECT_GT(std::count(grid.begin(), grid.end(), true), kGrid * kGrid / 8) << GetSymbolName(s);
  }
  // Apart however a facelet turns them (a square turned is no diamond, a cross turned no
  // other shape): no two shapes share more than most of their area.
  for (int a = 0; a < kSymbolShapes; ++a)
    for (int b = a + 1; b < kSymbolShapes; ++b)
      EXPECT_GT(LeastDifference(a, b), 0.2) << GetSymbolName(a) << " and " << GetSymbolName(b);
}

TEST(SymbolTest, TheInkIsTheOneOfBlackAndWhiteThatReadsBetter) {
  std::vector<COLORREF> colours(CPolyModel::cm_standardColours, CPolyModel::cm_standardColours + 16);
  for (int s = 0; s < kColourSchemeCount; ++s)
    for (COLORREF c : GetSchemeColours(s)) colours.push_back(c);
  for (int t = 0; t < kPuzzleTypeCount; ++t)
    for (COLORREF c : GetTypePalette(t)) colours.push_back(c);
  for (COLORREF c : colours) {
    const COLORREF ink = GetSymbolInk(c);
    ASSERT_TRUE(ink == kBlack || ink == kWhite) << std::hex << c;
    const COLORREF other = ink == kBlack ? kWhite : kBlack;
    EXPECT_GE(Contrast(ink, c), Contrast(other, c)) << std::hex << c;
    // Black or white always reaches at least the square root of 21 against any colour.
    EXPECT_GE(Contrast(ink, c), 4.5) << std::hex << c;
  }
  EXPECT_EQ(GetSymbolInk(0xFFFFFF), kBlack);
  EXPECT_EQ(GetSymbolInk(0x00FFFF), kBlack);   // yellow
  EXPECT_EQ(GetSymbolInk(0x00FF00), kBlack);   // green
  EXPECT_EQ(GetSymbolInk(0xFF0000), kWhite);   // blue
  EXPECT_EQ(GetSymbolInk(0x000080), kWhite);   // maroon
  EXPECT_EQ(GetSymbolInk(0x000000), kWhite);
}

// A cube, the dodecahedron, the sphere and plane-cut puzzles, in the classic colours and in
// each scheme: every symbol inside its facelet, at rest and in every frame of their turns.
TEST(SymbolTest, EachSymbolStaysInsideItsFaceletInEveryFrameOfATurn) {
  for (int t : {1, 7, 5, 28, 17, 14}) {
    std::unique_ptr<CPuzzle> p(CreatePuzzle(t));
    CheckEveryFrame(*p, t == 1 ? 3 : 2);
  }
  for (int s = 1; s < kColourSchemeCount; ++s) {
    std::unique_ptr<CPuzzle> p(CreatePuzzle(2));
    ApplyScheme(*p, s);
    CheckEveryFrame(*p, 1);
  }
}

// Every type at rest and half way through its first turn, scrambled: symbols only inside.
// (The Ultimate shows nothing at all.)
TEST(SymbolTest, EveryTypeKeepsItsSymbolsInsideItsFacelets) {
  for (int t = 0; t < kPuzzleTypeCount; ++t) {
    std::unique_ptr<CPuzzle> p(CreatePuzzle(t));
    Randomize(7);
    p->Scramble();
    p->ResetView(600, 520);
    p->SetShowSymbols(true);
    p->Draw(nullptr, nullptr);
    const bool shown = p->GetFaceletCount() > 0;
    EXPECT_EQ(CheckSymbolsInside(*p, "scrambled") > 0, shown) << p->GetName();
    CheckSymbolPixels(*p, 0, 0);
    CPuzzleCanvas still(*p, 600, 520);
    EXPECT_EQ(CheckEachFaceletAlone(*p, 0, still) > 0, shown) << p->GetName();
    auto* planeCut = dynamic_cast<CPlaneCutPuzzle*>(p.get());
    if (p->GetMoveCount() > 0 && (!planeCut || planeCut->CanMove(1))) {
      const int angle = p->GetMoveStep(1) * p->GetMoveFrames(1) / 2;
      CPuzzleCanvas canvas(*p, 600, 520);
      p->DrawMoveFrame(canvas.dc, &canvas.dib, 1, angle);
      CheckSymbolsInside(*p, "half way");
      CheckEachFaceletAlone(*p, 1, canvas);
      CheckSymbolPixels(*p, 1, angle);
    }
  }
}

// A facelet's symbol is made from the vertex list it is painted from: during a turn the
// moving facelets' symbols go with them; and it is the colour's own shape.
TEST(SymbolTest, TheSymbolTurnsWithItsFaceletAndIsItsColoursShape) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(1));
  p->ResetView(300, 300);
  CPuzzleCanvas canvas(*p, 300, 300);
  p->DrawMoveFrame(canvas.dc, &canvas.dib, 1, 30);
  const int k = CPuzzle::TurnIndex(1);
  int moving = 0;
  std::vector<POINT> atRest, turned;
  std::vector<int> counts;
  for (int i = 0; i < p->GetFaceletCount(); ++i) {
    CFacelet* f = p->GetFacelet(i);
    if (!f->Project(kViewVertices) || !ComputeFaceletSymbol(*p, *f, kViewVertices, atRest, counts)) continue;
    EXPECT_EQ(counts, GetSymbolOutline(GetSymbolShape(f->GetColour())).counts);
    if (!ComputeFaceletSymbol(*p, *f, kFrameVertices, turned, counts)) continue;
    const bool moves = (p->GetMoveMask(f->GetId()) & (1u << CPuzzle::MaskBit(k))) != 0;
    int apart = 0;
    for (size_t n = 0; n < atRest.size(); ++n)
      apart = std::max<int>(apart, std::abs(atRest[n].x - turned[n].x) + std::abs(atRest[n].y - turned[n].y));
    if (!moves) continue;
    ++moving;
    EXPECT_GT(apart, 2) << f->GetId();
  }
  EXPECT_GT(moving, 0);

  // No symbol for the inside colour, nor for a facelet too small to carry one.
  std::unique_ptr<CPuzzle> tiny(CreatePuzzle(3));
  tiny->ResetView(40, 40);
  tiny->Draw(nullptr, nullptr);
  for (int i = 0; i < tiny->GetFaceletCount(); ++i)
    EXPECT_FALSE(ComputeFaceletSymbol(*tiny, *tiny->GetFacelet(i), kViewVertices, turned, counts));
  CFacelet* f = p->GetFacelet(0);
  const int colour = f->GetColour();
  f->SetColour(0);
  EXPECT_FALSE(ComputeFaceletSymbol(*p, *f, kViewVertices, turned, counts));
  f->SetColour(colour);
}

// Off by default; on, the picture gains exactly the marks and loses nothing else.
TEST(SymbolTest, SymbolsAreOffByDefaultAndOnlyAddMarks) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(1));
  EXPECT_FALSE(p->GetShowSymbols());
  p->ResetView(240, 200);
  const Picture plain = Paint(*p, false, 0, 0, 240, 200);
  const Picture marked = Paint(*p, true, 0, 0, 240, 200);
  int black = 0, white = 0;
  for (size_t i = 0; i < plain.pixels.size(); ++i) {
    if (plain.pixels[i] == marked.pixels[i]) continue;
    black += marked.pixels[i] == kBlack;
    white += marked.pixels[i] == kWhite;
  }
  // The classic cube's yellow and white take black marks, its blue white ones.
  EXPECT_GT(black, 0);
  EXPECT_GT(white, 0);
}
