#include "pictures.h"

#include <lumex/quantizer.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

BYTE ToByte(float v) { return BYTE(std::clamp(int(std::lround(v)), 0, 255)); }

struct Samples {
  std::vector<BYTE> r, g, b;
  void Add(Rgb c) {
    r.push_back(ToByte(c.r));
    g.push_back(ToByte(c.g));
    b.push_back(ToByte(c.b));
  }
};

bool IsFixed(const PALETTEENTRY* fixed, BYTE r, BYTE g, BYTE b) {
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 248, 249, 250, 251, 252, 253, 254, 255})
    if (fixed[i].peRed == r && fixed[i].peGreen == g && fixed[i].peBlue == b) return true;
  return false;
}

// The game's quantiser histograms colours 5 bits a channel; two colours in one cell would be
// merged into their mean, so only one colour per cell may be used.
int Cell(const PALETTEENTRY& e) { return (e.peRed >> 3) << 10 | (e.peGreen >> 3) << 5 | (e.peBlue >> 3); }

void AddOpaquePixels(const CPainter& art, const PALETTEENTRY* fixed, Samples& out) {
  for (int y = 0; y < art.Height(); ++y)
    for (int x = 0; x < art.Width(); ++x) {
      if (art.Alpha(x, y) < 0.5f) continue;
      const Rgb c = art.Colour(x, y);
      if (!IsFixed(fixed, ToByte(c.r), ToByte(c.g), ToByte(c.b))) out.Add(c);
    }
}

}  // namespace

CMasterPalette::CMasterPalette() {
  for (int i = 0; i < 8; ++i) {
    m_entries[i] = CDib::cm_peWindows[i];
    m_entries[248 + i] = CDib::cm_peWindows[8 + i];
  }
  m_entries[8] = {GetRValue(kOrange), GetGValue(kOrange), GetBValue(kOrange), 0};
  m_palette.CreatePalette(m_entries, 256);
}

void CMasterPalette::Build(const std::vector<const Picture*>& pictures, const CPainter& tileBase,
                           int tileColours) {
  Samples tile, art;
  AddOpaquePixels(tileBase, m_entries, tile);
  for (const Picture* p : pictures)
    if (p->art && !p->standardOnly) AddOpaquePixels(*p->art, m_entries, art);

  std::vector<PALETTEENTRY> chosen = WuQuantize(tile.r.data(), tile.g.data(), tile.b.data(), tile.r.size(), tileColours);
  const int tileCount = int(chosen.size());
  std::vector<PALETTEENTRY> more = WuQuantize(art.r.data(), art.g.data(), art.b.data(), art.r.size(), 239 - tileCount);
  chosen.insert(chosen.end(), more.begin(), more.end());

  std::set<int> cells;
  m_tileCount = m_artCount = 0;
  int next = 9;
  for (size_t i = 0; i < chosen.size() && next <= 247; ++i) {
    const PALETTEENTRY& e = chosen[i];
    if (IsFixed(m_entries, e.peRed, e.peGreen, e.peBlue) || !cells.insert(Cell(e)).second) continue;
    m_entries[next++] = {e.peRed, e.peGreen, e.peBlue, 0};
    (int(i) < tileCount ? m_tileCount : m_artCount)++;
  }
  for (; next <= 247; ++next) m_entries[next] = m_entries[0];
  m_palette.CreatePalette(m_entries, 256);
}

int CMasterPalette::Nearest(Rgb c, int first, int last, bool fixedToo, bool cyanToo) const {
  int best = -1;
  float bestDistance = 1e30f;
  auto consider = [&](int i) {
    if (i == kTransparentIndex && !cyanToo) return;
    const float dr = m_entries[i].peRed - c.r, dg = m_entries[i].peGreen - c.g, db = m_entries[i].peBlue - c.b;
    // Weighted towards green, as the eye is.
    const float d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (d < bestDistance) bestDistance = d, best = i;
  };
  if (fixedToo)
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 248, 249, 250, 251, 252, 253, 254, 255}) consider(i);
  for (int i = first; i <= last; ++i) consider(i);
  return best;
}

bool ToDib(const Picture& picture, CMasterPalette& palette, CDib& out) {
  const int w = picture.art ? picture.art->Width() : picture.width;
  const int h = picture.art ? picture.art->Height() : picture.height;
  if (!out.Create(&palette.Palette(), w, h, kTransparentIndex)) return false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int index = kTransparentIndex;
      if (!picture.art) {
        index = picture.indices[size_t(y) * w + x];
      } else if (picture.opaque || picture.art->Alpha(x, y) >= 0.5f) {
        const Rgb c = picture.art->Colour(x, y);
        index = picture.standardOnly ? palette.Nearest(c, 1, 0, true, picture.opaque) : palette.Nearest(c);
      }
      *out.GetPixelAddress(x, y) = BYTE(index);
    }
  return true;
}
