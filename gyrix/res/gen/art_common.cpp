#include "art.h"

#include <algorithm>
#include <cmath>

Shader Solid(Rgb c) {
  return [c](float, float) { return c; };
}

Shader Linear(Rgb c0, float x0, float y0, Rgb c1, float x1, float y1) {
  const float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
  return [=](float x, float y) {
    const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f);
    return Mix(c0, c1, t);
  };
}

Shader Radial(Rgb c0, float cx, float cy, Rgb c1, float r) {
  return [=](float x, float y) {
    const float t = std::clamp(std::hypot(x - cx, y - cy) / r, 0.0f, 1.0f);
    return Mix(c0, c1, t);
  };
}

void FillOutlined(CPainter& p, const Shape& shape, const Shader& fill, Rgb outline, float width) {
  p.Fill(shape, fill);
  for (const Contour& c : shape) p.Fill(StrokeShape(c, width, true), outline);
}

namespace {

float Lattice(int x, int y, int period) {
  x = ((x % period) + period) % period;
  y = ((y % period) + period) % period;
  unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float Smooth(float t) { return t * t * (3 - 2 * t); }

float ValueNoise(float x, float y, int period) {
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const float fx = Smooth(x - x0), fy = Smooth(y - y0);
  const float a = Lattice(x0, y0, period), b = Lattice(x0 + 1, y0, period);
  const float c = Lattice(x0, y0 + 1, period), d = Lattice(x0 + 1, y0 + 1, period);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

}  // namespace

float Noise(float x, float y, int period, float cell, int octaves) {
  float sum = 0, weight = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    const int cells = std::max(1, int(std::lround(period / cell)));
    sum += weight * ValueNoise(x / cell, y / cell, cells);
    total += weight;
    weight /= 2;
    cell /= 2;
    x += 17.3f, y += 9.1f;
  }
  return sum / total;
}
