// Command buttons (64 x 64), the challenge banner, the icon and the link cursor.
#include "art.h"

#include <gyrix/res/resources.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSize = 64;
const Rgb kInk{30, 26, 22};
const Rgb kWhite{255, 255, 255};
const Rgb kRed{230, 30, 30}, kYellow{255, 220, 40}, kBlue{30, 80, 220};
const Rgb kGreen{40, 190, 60}, kOrangeRgb{255, 128, 0}, kMagenta{220, 40, 200};

FPoint Add(FPoint a, FPoint b) { return {a.x + b.x, a.y + b.y}; }
FPoint Mul(FPoint a, float k) { return {a.x * k, a.y * k}; }

Picture Make(int id, const char* file, int w = kSize, int h = kSize) {
  Picture p;
  p.id = id;
  p.file = file;
  p.art = std::make_unique<CPainter>(w, h);
  return p;
}

// A cube seen from above a corner: three faces of 3 x 3 stickers on a black body. colours
// gives the 27 stickers, top face first, then left, then right, each row by row.
void DrawCube(CPainter& p, float cx, float cy, float s, const Rgb* colours) {
  const float k = 0.866f * s;
  const FPoint top{cx, cy - s}, left{cx - k, cy - s / 2}, right{cx + k, cy - s / 2};
  const FPoint centre{cx, cy}, bottom{cx, cy + s}, lowLeft{cx - k, cy + s / 2}, lowRight{cx + k, cy + s / 2};
  p.Fill(PolygonShape({top, right, lowRight, bottom, lowLeft, left}), Solid(kInk));
  struct Face {
    FPoint origin, u, v;
    float light;
  };
  const Face faces[3] = {
      {left, {top.x - left.x, top.y - left.y}, {centre.x - left.x, centre.y - left.y}, 1.0f},
      {left, {centre.x - left.x, centre.y - left.y}, {lowLeft.x - left.x, lowLeft.y - left.y}, 0.82f},
      {centre, {right.x - centre.x, right.y - centre.y}, {bottom.x - centre.x, bottom.y - centre.y}, 0.64f}};
  const float gap = 0.09f;
  for (int f = 0; f < 3; ++f)
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 3; ++i) {
        const Face& face = faces[f];
        auto at = [&](float a, float b) { return Add(face.origin, Add(Mul(face.u, a / 3), Mul(face.v, b / 3))); };
        const FPoint a = at(i + gap, j + gap), b = at(i + 1 - gap, j + gap);
        const FPoint c = at(i + 1 - gap, j + 1 - gap), d = at(i + gap, j + 1 - gap);
        const Rgb base = Scale(colours[f * 9 + j * 3 + i], face.light);
        // A soft sheen from the sticker's upper corner.
        p.Fill(PolygonShape({a, b, c, d}), Linear(Mix(base, kWhite, 0.35f), a.x, a.y, base, c.x, c.y));
      }
  // A glint along the top edges.
  p.Fill(StrokeShape({left, top, right}, 1.0f), Solid({90, 90, 100}), 0.8f);
}

Picture SolvedCube() {
  Picture p = Make(gyrix_res::kSolvedCube, "solved.bmp");
  Rgb c[27];
  for (int i = 0; i < 27; ++i) c[i] = i < 9 ? kYellow : i < 18 ? kRed : kBlue;
  DrawCube(*p.art, 32, 33, 27, c);
  return p;
}

Picture ScrambledCube() {
  Picture p = Make(gyrix_res::kScrambledCube, "scrambled.bmp");
  const Rgb palette[6] = {kYellow, kRed, kBlue, kGreen, kOrangeRgb, kWhite};
  const int order[27] = {0, 3, 1, 4, 0, 2, 5, 1, 3, 2, 1, 5, 0, 1, 4, 3, 2, 0,
                         4, 2, 0, 1, 2, 5, 0, 3, 2};
  Rgb c[27];
  for (int i = 0; i < 27; ++i) c[i] = palette[order[i]];
  DrawCube(*p.art, 32, 33, 27, c);
  return p;
}

// A manila folder; open shows the front flap tilted back.
void DrawFolder(CPainter& p, float x, float y, float w, float h) {
  const Rgb back{196, 140, 44}, front0{255, 214, 110}, front1{226, 160, 50}, edge{110, 66, 16};
  FillOutlined(p, PolygonShape({{x, y + 4}, {x + w * 0.38f, y + 4}, {x + w * 0.45f, y + 9}, {x + w, y + 9},
                                {x + w, y + h}, {x, y + h}}),
               Linear({220, 164, 60}, 0, y, back, 0, y + h), edge, 1.2f);
  // A sheet of paper peeking out.
  p.Fill(RectShape(x + 5, y + 11, w - 10, 8), Solid({246, 244, 236}));
  FillOutlined(p, PolygonShape({{x - 2, y + 16}, {x + w - 2, y + 16}, {x + w + 3, y + h}, {x + 3, y + h}}),
               Linear(front0, 0, y + 16, front1, 0, y + h), edge, 1.2f);
}

// A thick arrow from a to b with a head of the given size.
void DrawArrow(CPainter& p, FPoint a, FPoint b, float width, float head, Rgb c0, Rgb c1) {
  const float dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
  const FPoint u{dx / len, dy / len}, n{-u.y, u.x};
  const FPoint neck = Add(b, Mul(u, -head));
  const float h = width / 2;
  const Shape arrow = PolygonShape({Add(a, Mul(n, h)), Add(neck, Mul(n, h)), Add(neck, Mul(n, head * 0.75f)), b,
                                    Add(neck, Mul(n, -head * 0.75f)), Add(neck, Mul(n, -h)), Add(a, Mul(n, -h))});
  FillOutlined(p, arrow, Linear(c0, a.x, a.y, c1, b.x, b.y), Scale(c1, 0.45f), 1.3f);
}

Picture OpenFolder() {
  Picture p = Make(gyrix_res::kOpenFolder, "open.bmp");
  DrawFolder(*p.art, 6, 22, 44, 34);
  DrawArrow(*p.art, {24, 40}, {56, 10}, 7, 11, {120, 230, 110}, {20, 150, 40});
  return p;
}

Picture BackFolder() {
  Picture p = Make(gyrix_res::kBackFolder, "back.bmp");
  DrawFolder(*p.art, 8, 24, 48, 34);
  DrawArrow(*p.art, {32, 46}, {32, 4}, 9, 13, {120, 170, 255}, {20, 60, 190});
  return p;
}

Picture Diskette() {
  Picture p = Make(gyrix_res::kSaveDisk, "save.bmp");
  CPainter& a = *p.art;
  const float x = 8, y = 8, s = 48;
  FillOutlined(a, PolygonShape({{x, y}, {x + s - 6, y}, {x + s, y + 6}, {x + s, y + s}, {x, y + s}}),
               Linear({70, 90, 170}, x, y, {20, 30, 90}, x + s, y + s), {10, 14, 40}, 1.3f);
  // The metal shutter with its window.
  FillOutlined(a, RectShape(x + 11, y + 1, 24, 16), Linear({236, 238, 244}, x + 11, 0, {150, 156, 170}, x + 35, 0),
               {70, 74, 90}, 1.0f);
  a.Fill(RectShape(x + 26, y + 4, 6, 10), Solid({40, 44, 60}));
  // The label, with a few written lines.
  FillOutlined(a, RoundRectShape(x + 6, y + 24, 36, 22, 2), Linear(kWhite, 0, y + 24, {222, 222, 214}, 0, y + 46),
               {60, 60, 80}, 1.0f);
  for (int i = 0; i < 3; ++i)
    a.Fill(StrokeShape({{x + 11, y + 30.5f + i * 5}, {x + 37 - i * 6.0f, y + 30.5f + i * 5}}, 1.2f), Solid({90, 110, 200}));
  return p;
}

Picture Options() {
  Picture p = Make(gyrix_res::kOptions, "options.bmp");
  CPainter& a = *p.art;
  // A sheet with coloured scribbles.
  const Shape sheet = PolygonShape({{8, 10}, {42, 6}, {48, 52}, {14, 56}});
  FillOutlined(a, sheet, Linear(kWhite, 8, 6, {226, 224, 214}, 48, 56), {90, 90, 96}, 1.1f);
  const Rgb inks[3] = {{220, 40, 40}, {40, 120, 220}, {40, 170, 60}};
  for (int line = 0; line < 3; ++line) {
    std::vector<FPoint> wave;
    for (int i = 0; i <= 24; ++i) {
      const float t = i / 24.0f;
      wave.push_back({15 + 24 * t + line * 0.6f, 17 + line * 11 - 5 * t + 3 * std::sin(t * 12 + line)});
    }
    a.Fill(StrokeShape(wave, 1.8f), Solid(inks[line]));
  }
  // A red crayon lying beside it: paper wrapper, bare wax, cone tip.
  const FPoint base{58, 58}, dir{-0.5f, -0.866f}, n{0.866f, -0.5f};
  const float len = 40, r = 4.5f;
  auto at = [&](float t, float side) { return Add(Add(base, Mul(dir, t)), Mul(n, side)); };
  const Rgb wax{225, 40, 40}, waxDark{130, 10, 16};
  const Shader waxShade = Linear(Mix(wax, kWhite, 0.4f), at(0, r).x, at(0, r).y, waxDark, at(0, -r).x, at(0, -r).y);
  FillOutlined(a, PolygonShape({at(0, r), at(len - 8, r), at(len, 0.8f), at(len, -0.8f), at(len - 8, -r), at(0, -r)}),
               waxShade, {90, 8, 12}, 1.1f);
  FillOutlined(a, PolygonShape({at(4, r + 0.5f), at(len - 12, r + 0.5f), at(len - 12, -r - 0.5f), at(4, -r - 0.5f)}),
               Linear({255, 236, 180}, at(0, r).x, at(0, r).y, {200, 150, 60}, at(0, -r).x, at(0, -r).y), {110, 70, 20},
               1.0f);
  for (float t : {9.0f, 24.0f})
    a.Fill(StrokeShape({at(t, r), at(t, -r)}, 1.1f), Solid({150, 20, 20}));
  return p;
}

// A stopwatch before a sheet of rising bars with the average's curve over them.
Picture Statistics() {
  Picture p = Make(gyrix_res::kStatistics, "statistics.bmp");
  CPainter& a = *p.art;
  const Shape sheet = RoundRectShape(6, 6, 52, 44, 3);
  FillOutlined(a, sheet, Linear(kWhite, 6, 6, {222, 224, 230}, 58, 50), {80, 84, 100}, 1.1f);
  const float bars[5] = {30, 24, 26, 17, 12};
  for (int i = 0; i < 5; ++i) {
    const float x = 11 + i * 9.0f, top = 8 + bars[i];
    FillOutlined(a, RectShape(x, top, 6, 45 - top), Linear({120, 170, 255}, x, 0, {30, 80, 220}, x + 6, 0),
                 {20, 40, 120}, 0.9f);
  }
  a.Fill(StrokeShape({{12, 34}, {21, 30}, {30, 30}, {39, 24}, {48, 19}, {54, 16}}, 2.2f), Solid(kOrangeRgb));
  // The stopwatch in the lower left, over the sheet's corner.
  const float cx = 18, cy = 46, r = 12;
  a.Fill(RectShape(cx - 2.5f, cy - r - 5, 5, 4), Solid(kInk));
  std::vector<FPoint> ring;
  for (int i = 0; i < 32; ++i) ring.push_back({cx + r * std::cos(i * 0.19635f), cy + r * std::sin(i * 0.19635f)});
  FillOutlined(a, PolygonShape(ring), Linear({250, 250, 245}, cx - r, cy - r, {200, 200, 196}, cx + r, cy + r), kInk, 1.6f);
  a.Fill(StrokeShape({{cx, cy}, {cx, cy - r + 3}}, 1.6f), Solid(kRed));
  a.Fill(StrokeShape({{cx, cy}, {cx + 6, cy + 3}}, 1.4f), Solid(kInk));
  return p;
}

// A scrambled cube touched by a wand, its tip sparkling: the solver at work.
Picture SolveWand() {
  Picture p = Make(gyrix_res::kSolveWand, "solve.bmp");
  CPainter& a = *p.art;
  const Rgb palette[6] = {kYellow, kRed, kBlue, kGreen, kOrangeRgb, kWhite};
  const int order[27] = {0, 0, 1, 0, 0, 0, 5, 0, 0, 1, 1, 1, 1, 1, 3, 1, 1, 1,
                         2, 2, 2, 4, 2, 2, 2, 2, 2};
  Rgb c[27];
  for (int i = 0; i < 27; ++i) c[i] = palette[order[i]];
  DrawCube(a, 26, 38, 22, c);
  // The wand: a black stick with a white tip, from the lower right up to the cube's corner.
  const FPoint hand{60, 60}, tip{40, 22};
  a.Fill(StrokeShape({hand, tip}, 4.4f), Solid(kInk));
  a.Fill(StrokeShape({Add(tip, Mul(Add(hand, Mul(tip, -1)), 0.18f)), tip}, 4.4f), Solid(kWhite));
  // A four-pointed sparkle at the tip and two small ones beside it.
  auto sparkle = [&](FPoint at, float r, Rgb colour) {
    const float w = r * 0.28f;
    FillOutlined(a,
                 PolygonShape({{at.x, at.y - r}, {at.x + w, at.y - w}, {at.x + r, at.y}, {at.x + w, at.y + w},
                               {at.x, at.y + r}, {at.x - w, at.y + w}, {at.x - r, at.y}, {at.x - w, at.y - w}}),
                 Solid(colour), Scale(colour, 0.5f), 0.8f);
  };
  sparkle({44, 14}, 10, kYellow);
  sparkle({57, 9}, 5, {255, 250, 200});
  sparkle({56, 27}, 4, {255, 250, 200});
  return p;
}

Picture Challenge() {
  Picture p = Make(gyrix_res::kChallenge, "challenge.bmp", 79, 33);
  CPainter& a = *p.art;
  const Rgb red0{236, 52, 44}, red1{150, 16, 20}, gold{255, 210, 80}, dark{90, 10, 12};
  // Folded tails behind the ribbon.
  for (int side = 0; side < 2; ++side) {
    const float m = side ? -1.0f : 1.0f, x0 = side ? 78.5f : 0.5f;
    const Shape tail = PolygonShape({{x0, 12}, {x0 + m * 14, 12}, {x0 + m * 14, 30}, {x0, 30}, {x0 + m * 6, 21}});
    FillOutlined(a, tail, Linear(red1, 0, 12, {110, 10, 14}, 0, 30), dark, 1.0f);
  }
  const Shape ribbon = PolygonShape({{8, 3}, {71, 3}, {71, 25}, {8, 25}});
  FillOutlined(a, ribbon, Linear(red0, 0, 3, red1, 0, 25), dark, 1.1f);
  a.Fill(StrokeShape({{10, 5.5f}, {69, 5.5f}}, 1.0f), Solid(gold), 0.9f);
  a.Fill(StrokeShape({{10, 22.5f}, {69, 22.5f}}, 1.0f), Solid(gold), 0.9f);
  const char* text = "Challenge!";
  const float w = a.TextWidth(text, "Liberation Serif", 13, 700);
  a.Text(text, "Liberation Serif", 13, 700, 40 - w / 2 + 0.6f, 7.6f, Solid(dark));
  a.Text(text, "Liberation Serif", 13, 700, 40 - w / 2, 7, Linear({255, 250, 210}, 0, 8, gold, 0, 20));
  return p;
}

Picture Icon() {
  Picture p = Make(gyrix_res::kIcon, "icon.bmp", 32, 32);
  DrawIcon(*p.art);
  return p;
}

// A pointing hand; its finger tip is the cursor's hot spot.
Picture LinkCursor() {
  Picture p = Make(gyrix_res::kLinkCursor, "hand.bmp", 32, 32);
  CPainter& a = *p.art;
  const Rgb glove0{255, 255, 255}, glove1{214, 214, 220}, edge{0, 0, 0};
  const float hx = gyrix_res::kLinkCursorHotX;
  // The outline is the hand's parts drawn wide in black; the glove is the same parts narrower.
  auto parts = [&](float grow) {
    Shape hand;
    hand.push_back(RoundRectShape(hx - 1.5f - grow, 2 - grow, 3 + 2 * grow, 16, 1.5f + grow)[0]);  // index finger
    for (int f = 0; f < 3; ++f)  // the folded fingers
      hand.push_back(RoundRectShape(hx + 2.5f + 4 * f - grow, 11 + f - grow, 3 + 2 * grow, 9 - f + 2 * grow, 1.4f + grow)[0]);
    hand.push_back(RoundRectShape(hx - 1.5f - grow, 16 - grow, 15 + 2 * grow, 11 + 2 * grow, 3 + grow)[0]);  // palm
    for (const Contour& c : StrokeShape({{hx - 1, 23}, {hx - 6.5f, 16.5f}}, 2.6f + 2 * grow)) hand.push_back(c);  // thumb
    Orient(hand);
    return hand;
  };
  a.Fill(parts(1), Solid(edge));
  a.Fill(parts(0), Linear(glove0, hx, 4, glove1, hx + 12, 28));
  // Creases between the folded fingers and at the foot of the pointing one.
  for (int f = 0; f < 3; ++f)
    a.Fill(StrokeShape({{hx + 2 + 4 * f, 11.5f + f}, {hx + 2 + 4 * f, 18}}, 0.9f), Solid(edge), 0.9f);
  return p;
}

}  // namespace

void DrawIcon(CPainter& p) {
  Rgb c[27];
  const Rgb palette[6] = {kYellow, kRed, kBlue, kGreen, kOrangeRgb, kWhite};
  for (int i = 0; i < 27; ++i) c[i] = i < 9 ? palette[0] : i < 18 ? palette[1] : palette[2];
  c[2] = kGreen, c[5] = kGreen, c[8] = kGreen;  // a top layer part-way turned in colour
  const float unit = p.Width() / 32.0f;
  DrawCube(p, 16 * unit, 16.5f * unit, 14.5f * unit, c);
}

std::vector<Picture> CommandPictures() {
  std::vector<Picture> out;
  out.push_back(SolvedCube());
  out.push_back(ScrambledCube());
  out.push_back(OpenFolder());
  out.push_back(Diskette());
  out.push_back(Options());
  out.push_back(Statistics());
  out.push_back(SolveWand());
  out.push_back(BackFolder());
  out.push_back(Challenge());
  out.push_back(Icon());
  out.push_back(LinkCursor());
  return out;
}
