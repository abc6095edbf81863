// Puzzle buttons: each puzzle drawn by the engine itself at four times the size, then reduced
// with its outlines thickened, so the button shows exactly what the player will get.
#include "art.h"

#include <gyrix/puzzles.h>
#include <gyrix/res/resources.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kButtonSize = 64;
constexpr int kScale = 4;
constexpr int kBig = kButtonSize * kScale;
// Marker entries of the large picture's palette; the puzzle's colours follow them.
constexpr int kBackground = 0;
constexpr int kOutline = 1;
constexpr int kFirstColour = 2;
const Rgb kOutlineColour{28, 30, 38};
// The transparent cyan cannot be a facelet colour in a picture; a close cyan stands in.
const Rgb kFaceletCyan{0, 236, 236};

Rgb FaceletColour(COLORREF c) {
  const Rgb rgb = MakeRgb(c);
  return (rgb.r == 0 && rgb.g == 255 && rgb.b == 255) ? kFaceletCyan : rgb;
}

// The puzzle as the engine paints it, on a background of marker index 0.
// zoom enlarges the engine's own view, which leaves a wide margin, about the point (cx, cy)
// of the unzoomed picture, which lands in the middle.
bool RenderLarge(CPuzzle& puzzle, CDib& big, std::vector<Rgb>& colours, float zoom, float cx, float cy) {
  std::vector<PALETTEENTRY> entries(256, PALETTEENTRY{7, 9, 11, 0});
  entries[kOutline] = {1, 1, 1, 0};
  colours.assign(256, Rgb{});
  for (int i = 0; i < puzzle.GetPaletteCount() && kFirstColour + i < 256; ++i) {
    const COLORREF c = puzzle.GetPaletteEntry(i);
    entries[kFirstColour + i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
    colours[kFirstColour + i] = FaceletColour(c);
  }
  CPalette palette;
  palette.CreatePalette(entries.data(), 256);
  if (!big.Create(&palette, kBig, kBig, kBackground)) return false;
  const int view = int(kBig * zoom);
  puzzle.ResetView(view, view);
  puzzle.SetCentre(int(kBig / 2 + (view / 2 - cx * zoom)), int(kBig / 2 + (view / 2 - cy * zoom)));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(static_cast<CBitmap*>(&big));
  CPen pen(PS_SOLID, 1, RGB(1, 1, 1));
  CPen* old = dc.SelectObject(&pen);
  puzzle.Draw(&dc, &big);
  dc.SelectObject(old);
  big.SetPalette(nullptr);
  return true;
}

// The box around everything painted, in large pixels: left, top, right, bottom (exclusive).
bool PaintedBox(CDib& big, int box[4]) {
  box[0] = box[1] = kBig, box[2] = box[3] = 0;
  for (int y = 0; y < kBig; ++y)
    for (int x = 0; x < kBig; ++x)
      if (*big.GetPixelAddress(x, y) != kBackground) {
        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x + 1), box[3] = std::max(box[3], y + 1);
      }
  return box[2] > box[0];
}

// Outlines one large pixel wide would fade away when reduced; spread them over their right
// and lower neighbours first, to half a pixel of the button.
void ThickenOutlines(CDib& big) {
  std::vector<BYTE> copy(size_t(kBig) * kBig);
  for (int y = 0; y < kBig; ++y)
    for (int x = 0; x < kBig; ++x) copy[size_t(y) * kBig + x] = *big.GetPixelAddress(x, y);
  for (int y = 0; y < kBig; ++y)
    for (int x = 0; x < kBig; ++x) {
      if (copy[size_t(y) * kBig + x] != kOutline) continue;
      for (int dy = 0; dy <= 1; ++dy)
        for (int dx = 0; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < kBig && ny < kBig) *big.GetPixelAddress(nx, ny) = kOutline;
        }
    }
}

std::unique_ptr<CPainter> Reduce(CDib& big, const std::vector<Rgb>& colours) {
  auto art = std::make_unique<CPainter>(kButtonSize, kButtonSize, 1);
  for (int y = 0; y < kButtonSize; ++y)
    for (int x = 0; x < kButtonSize; ++x) {
      Rgb sum{};
      int painted = 0;
      for (int sy = 0; sy < kScale; ++sy)
        for (int sx = 0; sx < kScale; ++sx) {
          const BYTE i = *big.GetPixelAddress(x * kScale + sx, y * kScale + sy);
          if (i == kBackground) continue;
          const Rgb c = i == kOutline ? kOutlineColour : colours[i];
          sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
          ++painted;
        }
      if (painted) art->Blend(x, y, Scale(sum, 1.0f / painted), float(painted) / (kScale * kScale));
    }
  return art;
}

// A puzzle that paints nothing (a type with no model) shows its side colours as a grid of
// swatches, so that its button is still its own and not an empty square.
std::unique_ptr<CPainter> Swatches(const CPuzzle& puzzle) {
  auto art = std::make_unique<CPainter>(kButtonSize, kButtonSize, 4);
  const int sides = std::max(0, puzzle.GetPaletteCount() - 1);
  const int columns = sides <= 4 ? 2 : 3;
  const float margin = 6, gap = 4;
  const float cell = (kButtonSize - 2 * margin - (columns - 1) * gap) / columns;
  for (int i = 0; i < sides && i < columns * columns; ++i) {
    const float x = margin + (i % columns) * (cell + gap), y = margin + (i / columns) * (cell + gap);
    art->Fill(RectShape(x, y, cell, cell), FaceletColour(puzzle.GetPaletteEntry(i + 1)));
    art->Fill(StrokeShape({{x, y}, {x + cell, y}, {x + cell, y + cell}, {x, y + cell}}, 1.5f, true), kOutlineColour);
  }
  return art;
}

}  // namespace

std::vector<Picture> PuzzlePictures() {
  std::vector<Picture> out;
  for (int type = 0; type < kPuzzleTypeCount; ++type) {
    std::unique_ptr<CPuzzle> puzzle(CreatePuzzle(type));
    CDib big;
    std::vector<Rgb> colours;
    // Drawn once to find its extent, then again filling the button but for a small margin.
    int box[4];
    if (!puzzle || !RenderLarge(*puzzle, big, colours, 1, kBig / 2, kBig / 2)) continue;
    Picture p;
    p.id = gyrix_res::kPuzzleBitmap[type];
    char name[32];
    std::snprintf(name, sizeof name, "puzzle%d.bmp", p.id);
    p.file = name;
    if (PaintedBox(big, box)) {
      const float extent = float(std::max(box[2] - box[0], box[3] - box[1]));
      const float zoom = std::min(float(kBig - 4 * kScale) / extent, 3.0f);
      if (!RenderLarge(*puzzle, big, colours, zoom, (box[0] + box[2]) / 2.0f, (box[1] + box[3]) / 2.0f)) continue;
      ThickenOutlines(big);
      p.art = Reduce(big, colours);
    } else {
      p.art = Swatches(*puzzle);
    }
    out.push_back(std::move(p));
  }
  return out;
}
