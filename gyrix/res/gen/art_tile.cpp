// The default background tile, Web.bmp: a silvery spider's web on mottled dark teal, seamless
// in both directions. Its dew drops carry the colours of all the other pictures: the game
// builds its palette from this tile, and so every picture finds its own colours there.
#include "art.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kSize = 128;
constexpr float kCentre = 64;
const Rgb kDeep{8, 58, 66}, kTeal{22, 102, 108}, kSilk{214, 232, 236};

constexpr int kSpokes = 16;

// The spokes: the eight that reach the corners and the middles of the edges continue into the
// neighbouring tiles, so the webs join up.
FPoint SpokeEnd(int k) {
  const float a = 2 * 3.14159265f * k / kSpokes;
  const float reach = (k % 2) ? 50.0f : (k % 4 == 2 ? 64 * 1.41421356f : 64.0f);
  return {kCentre + reach * std::cos(a), kCentre + reach * std::sin(a)};
}

// The point of spoke k at distance r from the centre, with the ring sagging between spokes.
FPoint OnSpoke(int k, float r) {
  const float a = 2 * 3.14159265f * k / kSpokes;
  return {kCentre + r * std::cos(a), kCentre + r * std::sin(a)};
}

std::vector<std::vector<FPoint>> Threads() {
  std::vector<std::vector<FPoint>> threads;
  for (int k = 0; k < kSpokes; ++k) threads.push_back({{kCentre, kCentre}, SpokeEnd(k)});
  for (float r = 7; r < 49; r += 5.2f + r * 0.05f) {
    std::vector<FPoint> ring;
    for (int k = 0; k <= kSpokes; ++k) {
      const FPoint a = OnSpoke(k % kSpokes, r), b = OnSpoke((k + 1) % kSpokes, r);
      ring.push_back(a);
      if (k < kSpokes) {  // each span sags a little towards the centre
        const FPoint m{(a.x + b.x) / 2, (a.y + b.y) / 2};
        ring.push_back({m.x + (kCentre - m.x) * 0.06f, m.y + (kCentre - m.y) * 0.06f});
      }
    }
    threads.push_back(ring);
  }
  return threads;
}

}  // namespace

std::unique_ptr<CPainter> TileBase() {
  auto tile = std::make_unique<CPainter>(kSize, kSize);
  CPainter& p = *tile;
  p.Fill(RectShape(0, 0, kSize, kSize), [](float x, float y) {
    const float n = Noise(x, y, kSize, 32, 4);
    return Mix(kDeep, kTeal, std::clamp(n * 1.3f - 0.15f, 0.0f, 1.0f));
  });
  // Threads near the edges are drawn again one tile over, so nothing is cut at the seams.
  for (const auto& thread : Threads())
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        p.Fill(Translate(StrokeShape(thread, 0.75f), dx * kSize, dy * kSize), Solid(kSilk), 0.32f);
  return tile;
}

namespace {

float Luma(const PALETTEENTRY& e) { return 0.3f * e.peRed + 0.59f * e.peGreen + 0.11f * e.peBlue; }
float Hue(const PALETTEENTRY& e) {
  const float r = e.peRed, g = e.peGreen, b = e.peBlue;
  const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
  if (mx - mn < 24) return -1;  // greys together
  float h = mx == r ? (g - b) / (mx - mn) : mx == g ? 2 + (b - r) / (mx - mn) : 4 + (r - g) / (mx - mn);
  return h < 0 ? h + 6 : h;
}

// Places for the drops along the threads, a few pixels apart, spread evenly over the web.
std::vector<std::pair<int, int>> DropPlaces(size_t wanted) {
  for (float step : {9.0f, 7.0f, 5.0f, 4.0f, 3.0f}) {
    std::vector<std::pair<int, int>> candidates;
    std::vector<std::vector<bool>> taken(kSize, std::vector<bool>(kSize, false));
    auto free = [&](int x, int y) {
      for (int j = y - 2; j <= y + 3; ++j)
        for (int i = x - 2; i <= x + 3; ++i)
          if (taken[(j + kSize) % kSize][(i + kSize) % kSize]) return false;
      return true;
    };
    for (const auto& thread : Threads())
      for (size_t s = 0; s + 1 < thread.size(); ++s) {
        const FPoint a = thread[s], b = thread[s + 1];
        const float len = std::hypot(b.x - a.x, b.y - a.y);
        for (float t = step * 0.5f; t < len; t += step) {
          const int x = int(a.x + (b.x - a.x) * t / len), y = int(a.y + (b.y - a.y) * t / len);
          if (x < 1 || y < 1 || x > kSize - 3 || y > kSize - 3 || !free(x, y)) continue;
          taken[y][x] = true;
          candidates.push_back({x, y});
        }
      }
    if (candidates.size() < wanted) continue;
    std::vector<std::pair<int, int>> places;
    for (size_t i = 0; i < wanted; ++i) places.push_back(candidates[i * candidates.size() / wanted]);
    return places;
  }
  return {};
}

}  // namespace

void TileDib(const CPainter& base, CMasterPalette& palette, CDib& out) {
  out.Create(&palette.Palette(), kSize, kSize, 0);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      *out.GetPixelAddress(x, y) = BYTE(palette.Nearest(base.Colour(x, y), palette.TileFirst(), palette.TileLast(), false));

  // The picture colours, grouped by hue and ordered light to dark, four to a drop: each drop
  // is a 2 x 2 bead lit from its upper left.
  std::vector<int> colours(palette.ArtLast() - palette.ArtFirst() + 1);
  std::iota(colours.begin(), colours.end(), palette.ArtFirst());
  const PALETTEENTRY* e = palette.Entries();
  std::sort(colours.begin(), colours.end(), [e](int a, int b) {
    const int ha = int(Hue(e[a]) * 4), hb = int(Hue(e[b]) * 4);
    return ha != hb ? ha < hb : Luma(e[a]) > Luma(e[b]);
  });
  const size_t drops = (colours.size() + 3) / 4;
  const auto places = DropPlaces(drops);
  // Drops of one hue are scattered over the web rather than kept together.
  size_t stride = 37;
  while (std::gcd(stride, std::max<size_t>(drops, 1)) != 1) ++stride;
  for (size_t d = 0; d < drops && d < places.size(); ++d) {
    const auto [x, y] = places[d * stride % drops];
    const int offsets[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
      const size_t k = std::min(d * 4 + i, colours.size() - 1);
      *out.GetPixelAddress(x + offsets[i][0], y + offsets[i][1]) = BYTE(colours[k]);
    }
  }
}
