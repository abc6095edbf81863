#include "painter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr BYTE kInk = 1;  // mask index of covered samples

float SignedArea(const Contour& c) {
  float a = 0;
  for (size_t i = 0; i < c.size(); ++i) {
    const FPoint& p = c[i];
    const FPoint& q = c[(i + 1) % c.size()];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2;
}

}  // namespace

Shape RectShape(float x, float y, float w, float h) {
  return {{{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}};
}

Shape EllipseShape(float cx, float cy, float rx, float ry) {
  const int steps = std::clamp(int((rx + ry) * 2), 24, 256);
  Contour c;
  for (int i = 0; i < steps; ++i) {
    const float t = 2 * kPi * i / steps;
    c.push_back({cx + rx * std::cos(t), cy + ry * std::sin(t)});
  }
  return {c};
}

Shape RoundRectShape(float x, float y, float w, float h, float r) {
  r = std::min({r, w / 2, h / 2});
  Contour c;
  const FPoint centres[4] = {{x + w - r, y + r}, {x + w - r, y + h - r}, {x + r, y + h - r}, {x + r, y + r}};
  const int steps = 8;
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i <= steps; ++i) {
      const float t = kPi / 2 * (k - 1) + kPi / 2 * i / steps;
      c.push_back({centres[k].x + r * std::cos(t), centres[k].y + r * std::sin(t)});
    }
  return {c};
}

Shape PolygonShape(const std::vector<FPoint>& points) { return {points}; }

void Orient(Shape& shape) {
  for (Contour& c : shape)
    if (SignedArea(c) < 0) std::reverse(c.begin(), c.end());
}

Shape StrokeShape(const std::vector<FPoint>& points, float width, bool closed) {
  Shape out;
  const float h = width / 2;
  const size_t n = points.size();
  const size_t segments = closed ? n : (n ? n - 1 : 0);
  for (size_t i = 0; i < segments; ++i) {
    const FPoint a = points[i], b = points[(i + 1) % n];
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    if (len < 1e-4f) continue;
    const float nx = -dy / len * h, ny = dx / len * h;
    out.push_back({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
  }
  // Round joins and ends; tiny strokes need no round parts.
  if (h > 0.6f)
    for (const FPoint& p : points) out.push_back(EllipseShape(p.x, p.y, h, h)[0]);
  Orient(out);
  return out;
}

Shape Translate(Shape shape, float dx, float dy) {
  for (Contour& c : shape)
    for (FPoint& p : c) p.x += dx, p.y += dy;
  return shape;
}

Shape Subtract(Shape a, Shape b) {
  Orient(a);
  Orient(b);
  for (Contour& c : b) {
    std::reverse(c.begin(), c.end());
    a.push_back(c);
  }
  return a;
}

CPainter::CPainter(int width, int height, int supersample)
    : m_width(width), m_height(height), m_ss(supersample),
      m_colour(size_t(width) * height), m_alpha(size_t(width) * height, 0.0f) {
  const PALETTEENTRY entries[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  m_maskPalette.CreatePalette(entries, 2);
  m_mask.Create(&m_maskPalette, width * m_ss, height * m_ss, 0);
  m_dc.CreateCompatibleDC(nullptr);
  m_dc.SelectObject(static_cast<CBitmap*>(&m_mask));
  m_dc.SetPolyFillMode(WINDING);
  m_dc.SetBkMode(TRANSPARENT);
  m_dc.SelectObject(static_cast<CPen*>(GetStockObject(NULL_PEN)));
}

CPainter::Box CPainter::BoundsOf(const Shape& shape) const {
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  for (const Contour& c : shape)
    for (const FPoint& p : c) {
      x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
      x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
  return {int(std::floor(x0)) - 1, int(std::floor(y0)) - 1, int(std::ceil(x1)) + 2, int(std::ceil(y1)) + 2};
}

CPainter::Box CPainter::ClearMask(Box box) {
  box.x0 = std::clamp(box.x0, 0, m_width), box.x1 = std::clamp(box.x1, 0, m_width);
  box.y0 = std::clamp(box.y0, 0, m_height), box.y1 = std::clamp(box.y1, 0, m_height);
  for (int y = box.y0 * m_ss; y < box.y1 * m_ss; ++y)
    std::fill_n(m_mask.GetPixelAddress(box.x0 * m_ss, y), (box.x1 - box.x0) * m_ss, BYTE(0));
  return box;
}

std::vector<float> CPainter::Coverage(const Shape& shape) {
  std::vector<float> cover(m_alpha.size(), 0.0f);
  const Box box = ClearMask(BoundsOf(shape));
  std::vector<POINT> points;
  std::vector<int> counts;
  for (const Contour& c : shape) {
    if (c.size() < 3) continue;
    for (const FPoint& p : c) points.push_back({LONG(std::lround(p.x * m_ss)), LONG(std::lround(p.y * m_ss))});
    counts.push_back(int(c.size()));
  }
  if (counts.empty()) return cover;
  CBrush ink(RGB(255, 255, 255));
  CBrush* old = m_dc.SelectObject(&ink);
  m_dc.PolyPolygon(points.data(), counts.data(), int(counts.size()));
  m_dc.SelectObject(old);
  const float samples = float(m_ss * m_ss);
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x) {
      int n = 0;
      for (int sy = 0; sy < m_ss; ++sy) {
        const BYTE* row = m_mask.GetPixelAddress(x * m_ss, y * m_ss + sy);
        for (int sx = 0; sx < m_ss; ++sx) n += row[sx] == kInk;
      }
      cover[size_t(y) * m_width + x] = n / samples;
    }
  return cover;
}

void CPainter::Blend(int x, int y, Rgb c, float a) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height || a <= 0) return;
  a = std::min(a, 1.0f);
  Rgb& dst = Colour(x, y);
  float& da = Alpha(x, y);
  const float out = a + da * (1 - a);
  const float keep = da * (1 - a) / out;
  dst = {c.r * (a / out) + dst.r * keep, c.g * (a / out) + dst.g * keep, c.b * (a / out) + dst.b * keep};
  da = out;
}

void CPainter::Composite(Box box, const Shader& shader, float opacity) {
  const float samples = float(m_ss * m_ss);
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x) {
      int n = 0;
      for (int sy = 0; sy < m_ss; ++sy) {
        const BYTE* row = m_mask.GetPixelAddress(x * m_ss, y * m_ss + sy);
        for (int sx = 0; sx < m_ss; ++sx) n += row[sx] == kInk;
      }
      if (n) Blend(x, y, shader(x + 0.5f, y + 0.5f), opacity * n / samples);
    }
}

void CPainter::Fill(const Shape& shape, const Shader& shader, float opacity) {
  const std::vector<float> cover = Coverage(shape);
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x) {
      const float c = cover[size_t(y) * m_width + x];
      if (c > 0) Blend(x, y, shader(x + 0.5f, y + 0.5f), opacity * c);
    }
}

void CPainter::Fill(const Shape& shape, Rgb colour, float opacity) {
  Fill(shape, [colour](float, float) { return colour; }, opacity);
}

namespace {

void MakeFont(CFont& font, const char* face, int pixelHeight, int weight) {
  font.CreateFont(-pixelHeight, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, face);
}

}  // namespace

float CPainter::TextWidth(const std::string& text, const char* face, int pixelHeight, int weight) {
  CFont font;
  MakeFont(font, face, pixelHeight * m_ss, weight);
  CFont* old = m_dc.SelectObject(&font);
  const CSize size = m_dc.GetTextExtent(text);
  m_dc.SelectObject(old);
  return float(size.cx) / m_ss;
}

void CPainter::Text(const std::string& text, const char* face, int pixelHeight, int weight, float x,
                    float y, const Shader& shader) {
  const Box box = ClearMask({0, 0, m_width, m_height});
  CFont font;
  MakeFont(font, face, pixelHeight * m_ss, weight);
  CFont* old = m_dc.SelectObject(&font);
  m_dc.SetTextColor(RGB(255, 255, 255));
  m_dc.TextOut(int(std::lround(x * m_ss)), int(std::lround(y * m_ss)), text);
  m_dc.SelectObject(old);
  Composite(box, shader, 1.0f);
}

void CPainter::Adjust(const std::function<Rgb(int x, int y, Rgb c)>& f) {
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x)
      if (Alpha(x, y) > 0) Colour(x, y) = f(x, y, Colour(x, y));
}
