// The solve clock: seven-segment digits and a colon. The lit segments are one palette index,
// which the game recolours to the chosen clock colour; a dark rim keeps them readable on any
// background. Nothing is blended, since only that one index changes colour.
#include "art.h"

#include <gyrix/res/resources.h>

#include <cstdio>

namespace {

constexpr int kDigitWidth = 25, kColonWidth = 10, kHeight = 32;
constexpr BYTE kRim = 0;  // standard black

// Segments a..g as bits 0..6: top, top right, bottom right, bottom, bottom left, top left, middle.
constexpr int kSegmentsOf[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// The digit's frame: segments run between these, slanted a little to the right.
constexpr float kLeft = 5, kRight = 20, kTop = 3, kMiddle = 16, kBottom = 29;
constexpr float kThick = 3.6f, kGap = 0.7f, kSlant = 0.09f;

FPoint Slanted(float x, float y) { return {x + (kMiddle - y) * kSlant, y}; }

// A segment from a to b (horizontal or vertical), with pointed ends.
Contour Segment(float ax, float ay, float bx, float by) {
  const float h = kThick / 2;
  if (ay == by) {
    ax += kGap, bx -= kGap;
    return {Slanted(ax, ay), Slanted(ax + h, ay - h), Slanted(bx - h, ay - h), Slanted(bx, ay),
            Slanted(bx - h, ay + h), Slanted(ax + h, ay + h)};
  }
  ay += kGap, by -= kGap;
  return {Slanted(ax, ay), Slanted(ax + h, ay + h), Slanted(ax + h, by - h), Slanted(ax, by),
          Slanted(ax - h, by - h), Slanted(ax - h, ay + h)};
}

Shape DigitShape(int d) {
  const Contour all[7] = {
      Segment(kLeft, kTop, kRight, kTop),        Segment(kRight, kTop, kRight, kMiddle),
      Segment(kRight, kMiddle, kRight, kBottom), Segment(kLeft, kBottom, kRight, kBottom),
      Segment(kLeft, kMiddle, kLeft, kBottom),   Segment(kLeft, kTop, kLeft, kMiddle),
      Segment(kLeft, kMiddle, kRight, kMiddle)};
  Shape s;
  for (int i = 0; i < 7; ++i)
    if (kSegmentsOf[d] & (1 << i)) s.push_back(all[i]);
  return s;
}

// Two dots on whole pixels, the lower one a pixel to the left as the digits lean.
Shape ColonShape() {
  return {RoundRectShape(4, 9, 4, 4, 1.2f)[0], RoundRectShape(3, 20, 4, 4, 1.2f)[0]};
}

// Ink where the shape covers at least half a pixel; a rim around the ink.
Picture Indexed(int id, const char* file, int width, const Shape& shape) {
  CPainter painter(width, kHeight, 4);
  const std::vector<float> cover = painter.Coverage(shape);
  Picture p;
  p.id = id, p.file = file, p.width = width, p.height = kHeight;
  p.indices.assign(size_t(width) * kHeight, kTransparentIndex);
  auto inked = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < kHeight && cover[size_t(y) * width + x] >= 0.5f;
  };
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < width; ++x) {
      if (inked(x, y)) {
        p.indices[size_t(y) * width + x] = kClockInkIndex;
        continue;
      }
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (inked(x + dx, y + dy)) p.indices[size_t(y) * width + x] = kRim;
    }
  return p;
}

}  // namespace

std::vector<Picture> ClockPictures() {
  std::vector<Picture> out;
  for (int d = 0; d < 10; ++d) {
    char file[32];
    std::snprintf(file, sizeof file, "digit%d.bmp", d);
    out.push_back(Indexed(gyrix_res::kDigitZero + d, file, kDigitWidth, DigitShape(d)));
  }
  out.push_back(Indexed(gyrix_res::kColon, "colon.bmp", kColonWidth, ColonShape()));
  return out;
}
