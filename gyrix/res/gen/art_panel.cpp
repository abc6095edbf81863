// The message panel: a parchment scroll rolled at top and bottom. The text area (45 pixels in
// at the sides, 30 at top and bottom) is plain parchment, so the message reads clearly.
#include "art.h"

#include <gyrix/res/resources.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 337, kHeight = 355;
const Rgb kParchment{244, 230, 192}, kParchmentDark{206, 172, 112}, kEdge{120, 80, 36};

// The sheet between the rolls, its sides gently waved.
Shape Sheet() {
  Contour c;
  for (int i = 0; i <= 40; ++i) {
    const float y = 18 + (kHeight - 36) * i / 40.0f;
    c.push_back({24 + 2.0f * std::sin(y * 0.045f), y});
  }
  for (int i = 40; i >= 0; --i) {
    const float y = 18 + (kHeight - 36) * i / 40.0f;
    c.push_back({kWidth - 24 + 2.0f * std::sin(y * 0.05f + 1.7f), y});
  }
  return {c};
}

Rgb ParchmentAt(float x, float y) {
  // Mottled, darker towards the sides as old paper is.
  const float mottle = Noise(x, y, 256, 48, 4);
  const float side = std::min(x - 24, kWidth - 24 - x) / 40.0f;
  const float edge = 1 - std::clamp(side, 0.0f, 1.0f);
  const float t = std::clamp(0.12f + 0.45f * (mottle - 0.5f) + 0.55f * edge * edge, 0.0f, 1.0f);
  return Mix(kParchment, kParchmentDark, t);
}

void Roll(CPainter& p, float top, float height) {
  const float x0 = 8, x1 = kWidth - 8, mid = top + height * 0.38f;
  const Rgb light{250, 236, 196}, dark{138, 98, 48};
  const Shader shade = [=](float, float y) {
    const float t = std::abs(y - mid) / (height * 0.62f);
    return Mix(light, dark, std::clamp(t * t * 1.2f, 0.0f, 1.0f));
  };
  FillOutlined(p, RoundRectShape(x0, top, x1 - x0, height, height / 2), shade, kEdge, 1.2f);
  // The rolled ends, a spiral of paper on each side.
  for (float cx : {x0 + height * 0.32f, x1 - height * 0.32f}) {
    const float cy = top + height / 2, r = height / 2 - 0.5f;
    FillOutlined(p, EllipseShape(cx, cy, r * 0.55f, r), Radial(light, cx - 1, cy - 2, {196, 150, 84}, r),
                 kEdge, 1.1f);
    std::vector<FPoint> spiral;
    for (int i = 0; i <= 40; ++i) {
      const float a = i * 0.42f, rr = r * (0.85f - i * 0.018f);
      spiral.push_back({cx + 0.55f * rr * std::cos(a), cy + rr * std::sin(a)});
    }
    p.Fill(StrokeShape(spiral, 0.9f), Solid(kEdge), 0.8f);
  }
}

}  // namespace

Picture MessagePanel() {
  Picture picture;
  picture.id = gyrix_res::kMessagePanel;
  picture.file = "panel.bmp";
  picture.art = std::make_unique<CPainter>(kWidth, kHeight);
  CPainter& p = *picture.art;
  // A soft shadow under the sheet, then the sheet with a darker rim.
  p.Fill(Translate(Sheet(), 3, 3), Solid({60, 40, 20}), 0.35f);
  const Shape sheet = Sheet();
  FillOutlined(p, sheet, ParchmentAt, kEdge, 1.3f);
  Roll(p, 2, 26);
  Roll(p, kHeight - 28, 26);
  return picture;
}
