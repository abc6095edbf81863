#include <lumex/quantizer.h>

#include <lumex/dib.h>
#include <platform/palette.h>

#include <cstdint>
#include <memory>

namespace {

// Moment tables are indexed by channel / 8 + 1, so index 0 of each axis stays zero and
// box corners can be subtracted without special cases.
constexpr int kSide = 33;
constexpr int kCells = kSide * kSide * kSide;

enum Axis { kRed, kGreen, kBlue };

int Cell(int r, int g, int b) { return (r * kSide + g) * kSide + b; }

// A box of the cube: lower corners exclusive, upper corners inclusive.
struct Box {
  int r0 = 0, r1 = 0, g0 = 0, g1 = 0, b0 = 0, b1 = 0;
  int volume = 0;
};

class WuCube {
 public:
  WuCube() : wt_(kCells), mr_(kCells), mg_(kCells), mb_(kCells), m2_(kCells) {}

  void AddPixels(const BYTE* red, const BYTE* green, const BYTE* blue, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      int r = red[i], g = green[i], b = blue[i];
      int c = Cell((r >> 3) + 1, (g >> 3) + 1, (b >> 3) + 1);
      wt_[c] += 1;
      mr_[c] += r;
      mg_[c] += g;
      mb_[c] += b;
      m2_[c] += double(r * r + g * g + b * b);
    }
  }

  // Turns the histogram into cumulative moments: each cell holds the sums over the box from
  // the origin to it.
  void Accumulate() {
    for (int r = 1; r < kSide; ++r) {
      std::int64_t area[kSide] = {}, areaR[kSide] = {}, areaG[kSide] = {}, areaB[kSide] = {};
      double area2[kSide] = {};
      for (int g = 1; g < kSide; ++g) {
        std::int64_t line = 0, lineR = 0, lineG = 0, lineB = 0;
        double line2 = 0;
        for (int b = 1; b < kSide; ++b) {
          int c = Cell(r, g, b), below = Cell(r - 1, g, b);
          line += wt_[c]; lineR += mr_[c]; lineG += mg_[c]; lineB += mb_[c]; line2 += m2_[c];
          area[b] += line; areaR[b] += lineR; areaG[b] += lineG; areaB[b] += lineB;
          area2[b] += line2;
          wt_[c] = wt_[below] + area[b];
          mr_[c] = mr_[below] + areaR[b];
          mg_[c] = mg_[below] + areaG[b];
          mb_[c] = mb_[below] + areaB[b];
          m2_[c] = m2_[below] + area2[b];
        }
      }
    }
  }

  std::vector<PALETTEENTRY> Partition(int maxColors) {
    std::vector<Box> boxes(maxColors);
    std::vector<double> variance(maxColors, 0.0);
    boxes[0].r1 = boxes[0].g1 = boxes[0].b1 = kSide - 1;
    int count = 1, next = 0;
    while (count < maxColors) {
      if (Cut(boxes[next], boxes[count])) {
        variance[next] = boxes[next].volume > 1 ? Variance(boxes[next]) : 0.0;
        variance[count] = boxes[count].volume > 1 ? Variance(boxes[count]) : 0.0;
        ++count;
      } else {
        variance[next] = 0.0;  // cannot be cut: never try it again
      }
      next = 0;
      for (int i = 1; i < count; ++i)
        if (variance[i] > variance[next]) next = i;
      if (variance[next] <= 0.0) break;
    }
    std::vector<PALETTEENTRY> colors;
    for (int i = 0; i < count; ++i) colors.push_back(MeanColor(boxes[i]));
    return colors;
  }

 private:
  template <typename T>
  static T Volume(const Box& c, const std::vector<T>& m) {
    return m[Cell(c.r1, c.g1, c.b1)] - m[Cell(c.r1, c.g1, c.b0)] - m[Cell(c.r1, c.g0, c.b1)] +
           m[Cell(c.r1, c.g0, c.b0)] - m[Cell(c.r0, c.g1, c.b1)] + m[Cell(c.r0, c.g1, c.b0)] +
           m[Cell(c.r0, c.g0, c.b1)] - m[Cell(c.r0, c.g0, c.b0)];
  }

  // The part of Volume that does not depend on where the box is cut along the axis.
  static std::int64_t Bottom(const Box& c, Axis axis, const std::vector<std::int64_t>& m) {
    switch (axis) {
      case kRed:
        return -m[Cell(c.r0, c.g1, c.b1)] + m[Cell(c.r0, c.g1, c.b0)] +
               m[Cell(c.r0, c.g0, c.b1)] - m[Cell(c.r0, c.g0, c.b0)];
      case kGreen:
        return -m[Cell(c.r1, c.g0, c.b1)] + m[Cell(c.r1, c.g0, c.b0)] +
               m[Cell(c.r0, c.g0, c.b1)] - m[Cell(c.r0, c.g0, c.b0)];
      default:
        return -m[Cell(c.r1, c.g1, c.b0)] + m[Cell(c.r1, c.g0, c.b0)] +
               m[Cell(c.r0, c.g1, c.b0)] - m[Cell(c.r0, c.g0, c.b0)];
    }
  }

  // The rest of Volume for a cut at pos.
  static std::int64_t Top(const Box& c, Axis axis, int pos, const std::vector<std::int64_t>& m) {
    switch (axis) {
      case kRed:
        return m[Cell(pos, c.g1, c.b1)] - m[Cell(pos, c.g1, c.b0)] - m[Cell(pos, c.g0, c.b1)] +
               m[Cell(pos, c.g0, c.b0)];
      case kGreen:
        return m[Cell(c.r1, pos, c.b1)] - m[Cell(c.r1, pos, c.b0)] - m[Cell(c.r0, pos, c.b1)] +
               m[Cell(c.r0, pos, c.b0)];
      default:
        return m[Cell(c.r1, c.g1, pos)] - m[Cell(c.r1, c.g0, pos)] - m[Cell(c.r0, c.g1, pos)] +
               m[Cell(c.r0, c.g0, pos)];
    }
  }

  double Variance(const Box& c) const {
    std::int64_t w = Volume(c, wt_);
    if (w == 0) return 0.0;
    double dr = double(Volume(c, mr_)), dg = double(Volume(c, mg_)), db = double(Volume(c, mb_));
    return Volume(c, m2_) - (dr * dr + dg * dg + db * db) / double(w);
  }

  static double Spread(std::int64_t r, std::int64_t g, std::int64_t b, std::int64_t w) {
    return (double(r) * double(r) + double(g) * double(g) + double(b) * double(b)) / double(w);
  }

  // The best cut of box c along axis between first and last-1; its score, and cut = -1 when
  // every cut leaves one side empty.
  double Maximize(const Box& c, Axis axis, int first, int last, int& cut, std::int64_t wholeR,
                  std::int64_t wholeG, std::int64_t wholeB, std::int64_t wholeW) const {
    std::int64_t baseR = Bottom(c, axis, mr_), baseG = Bottom(c, axis, mg_);
    std::int64_t baseB = Bottom(c, axis, mb_), baseW = Bottom(c, axis, wt_);
    double best = 0.0;
    cut = -1;
    for (int i = first; i < last; ++i) {
      std::int64_t r = baseR + Top(c, axis, i, mr_), g = baseG + Top(c, axis, i, mg_);
      std::int64_t b = baseB + Top(c, axis, i, mb_), w = baseW + Top(c, axis, i, wt_);
      if (w == 0 || w == wholeW) continue;
      double score = Spread(r, g, b, w) + Spread(wholeR - r, wholeG - g, wholeB - b, wholeW - w);
      if (score > best) {
        best = score;
        cut = i;
      }
    }
    return best;
  }

  bool Cut(Box& set1, Box& set2) const {
    std::int64_t wholeR = Volume(set1, mr_), wholeG = Volume(set1, mg_);
    std::int64_t wholeB = Volume(set1, mb_), wholeW = Volume(set1, wt_);
    int cutR, cutG, cutB;
    double maxR = Maximize(set1, kRed, set1.r0 + 1, set1.r1, cutR, wholeR, wholeG, wholeB, wholeW);
    double maxG = Maximize(set1, kGreen, set1.g0 + 1, set1.g1, cutG, wholeR, wholeG, wholeB, wholeW);
    double maxB = Maximize(set1, kBlue, set1.b0 + 1, set1.b1, cutB, wholeR, wholeG, wholeB, wholeW);

    set2.r1 = set1.r1;
    set2.g1 = set1.g1;
    set2.b1 = set1.b1;
    set2.r0 = set1.r0;
    set2.g0 = set1.g0;
    set2.b0 = set1.b0;
    if (maxR >= maxG && maxR >= maxB) {
      if (cutR < 0) return false;
      set2.r0 = set1.r1 = cutR;
    } else if (maxG >= maxR && maxG >= maxB) {
      set2.g0 = set1.g1 = cutG;
    } else {
      set2.b0 = set1.b1 = cutB;
    }
    set1.volume = (set1.r1 - set1.r0) * (set1.g1 - set1.g0) * (set1.b1 - set1.b0);
    set2.volume = (set2.r1 - set2.r0) * (set2.g1 - set2.g0) * (set2.b1 - set2.b0);
    return true;
  }

  PALETTEENTRY MeanColor(const Box& c) const {
    std::int64_t w = Volume(c, wt_);
    if (w == 0) return PALETTEENTRY{};
    return PALETTEENTRY{BYTE(Volume(c, mr_) / w), BYTE(Volume(c, mg_) / w),
                        BYTE(Volume(c, mb_) / w), 0};
  }

  std::vector<std::int64_t> wt_, mr_, mg_, mb_;
  std::vector<double> m2_;
};

}  // namespace

std::vector<PALETTEENTRY> WuQuantize(const BYTE* red, const BYTE* green, const BYTE* blue,
                                     std::size_t n, int maxColors) {
  if (maxColors <= 0) return {};
  auto cube = std::make_unique<WuCube>();
  if (n > 0) cube->AddPixels(red, green, blue, n);
  cube->Accumulate();
  return cube->Partition(maxColors);
}

CQuantizer::CQuantizer(int reserveStandard) {
  for (auto& e : m_palette) e = PALETTEENTRY{};
  if (!reserveStandard) return;
  m_reserved = true;
  for (int i = 0; i < 8; ++i) {
    m_palette[i] = CDib::cm_peWindows[i];
    m_palette[248 + i] = CDib::cm_peWindows[8 + i];
  }
  for (auto& e : m_palette) e.peFlags = 0;
  m_firstFree = 8;
  m_toFill = 240;
}

void CQuantizer::AddColor(int r, int g, int b) {
  if (m_toFill <= 0) return;
  m_palette[m_firstFree++] = PALETTEENTRY{BYTE(r), BYTE(g), BYTE(b), 0};
  --m_toFill;
}

void CQuantizer::AddColor(unsigned long colour) {
  AddColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// Entries before the chosen ones win a nearest-colour search among equals anyway; the standard
// colours at the top do not.
bool CQuantizer::RepeatsTopColour(const PALETTEENTRY& e) const {
  if (!m_reserved) return false;
  for (int i = 248; i < 256; ++i) {
    const PALETTEENTRY& f = m_palette[i];
    if (f.peRed == e.peRed && f.peGreen == e.peGreen && f.peBlue == e.peBlue) return true;
  }
  return false;
}

void CQuantizer::PutChosen(int index, PALETTEENTRY e) {
  // One step along the green axis, towards its middle, is the least visible change.
  if (RepeatsTopColour(e)) e.peGreen = BYTE(e.peGreen < 128 ? e.peGreen + 1 : e.peGreen - 1);
  e.peFlags = 0;
  m_palette[index] = e;
}

int CQuantizer::QuantizeRGB(const BYTE* red, const BYTE* green, const BYTE* blue, std::size_t n) {
  std::vector<PALETTEENTRY> colors = WuQuantize(red, green, blue, n, m_toFill);
  for (std::size_t i = 0; i < colors.size(); ++i)
    PutChosen(m_firstFree + static_cast<int>(i), colors[i]);
  return static_cast<int>(colors.size());
}

int CQuantizer::FillEvenly() {
  static constexpr int kSteps = 6;
  static constexpr int kGrid = kSteps * kSteps * kSteps;
  const int first = m_firstFree, toFill = m_toFill;
  int filled = 0;
  for (int i = 0; i < kGrid && filled < toFill; ++i, ++filled) {
    const int r = i / (kSteps * kSteps), g = i / kSteps % kSteps, b = i % kSteps;
    PutChosen(first + filled, PALETTEENTRY{BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
  }
  // Greys between the grid's own six.
  const int greys = toFill - filled;
  for (int i = 1; filled < toFill; ++i, ++filled) {
    const BYTE v = BYTE(i * 255 / (greys + 1));
    PutChosen(first + filled, PALETTEENTRY{v, v, v, 0});
  }
  m_firstFree += filled;
  m_toFill -= filled;
  return filled;
}

int CQuantizer::Quantize(CDib& dib, CPalette& pal) {
  std::size_t n = std::size_t(dib.Width()) * std::size_t(dib.Height());
  if (n == 0) return 0;
  std::vector<BYTE> r(n), g(n), b(n);
  if (!dib.FillRGBArrays(r.data(), g.data(), b.data())) return 0;
  QuantizeRGB(r.data(), g.data(), b.data(), n);
  return CreatePalette(pal);
}

int CQuantizer::CreatePalette(CPalette& pal) {
  pal.DeleteObject();
  return pal.CreatePalette(m_palette, 256) ? 1 : 0;
}
