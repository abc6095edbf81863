#include <lumex/coverage.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kFull = 255;

// x / 255 rounded, exact for 0..65535.
inline int DivideBy255(int x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

inline int Quantise(float coverage) {
  const float c = std::fabs(coverage);
  return c >= 1.0f ? kFull : static_cast<int>(c * kFull + 0.5f);
}

// The alternate rule: covered twice is not covered.
inline int QuantiseAlternate(float coverage) {
  float c = std::fmod(std::fabs(coverage), 2.0f);
  if (c > 1.0f) c = 2.0f - c;
  return static_cast<int>(c * kFull + 0.5f);
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right <= r.left || r.bottom <= r.top) r = RECT{0, 0, 0, 0};
  return r;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Coordinates far outside any picture are pulled in, so float pixels stay exact enough and the
// integer bounds cannot overflow.
inline float Tame(float v) {
  if (!(v == v)) return 0;  // NaN
  return std::clamp(v, -1.0e6f, 1.0e6f);
}

}  // namespace

// ---- the scratch ----

void CCoveragePainter::Coverage::Prepare(int width, int height) {
  stride = width + 2;
  const std::size_t need = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  // Cells are left at zero by every scan, so growing keeps them all zero.
  if (cells.size() < need) cells.resize(need, 0.0f);
  if (rowFirst.size() < static_cast<std::size_t>(height)) {
    rowFirst.resize(static_cast<std::size_t>(height));
    rowLast.resize(static_cast<std::size_t>(height));
  }
  std::fill(rowFirst.begin(), rowFirst.begin() + height, stride);
  std::fill(rowLast.begin(), rowLast.begin() + height, -1);
}

void CCoveragePainter::Coverage::AddEdge(PointF p, PointF q, int width, int height) {
  if (p.y == q.y) return;
  float direction = 1.0f;
  if (p.y > q.y) {
    std::swap(p, q);
    direction = -1.0f;
  }
  // Left of the scratch an edge still counts for the whole row: it is moved onto the left
  // border, where it covers the same pixels; right of it, onto the right border.
  const float w = static_cast<float>(width);
  const float dxdy = (q.x - p.x) / (q.y - p.y);
  float along = p.x;
  if (p.y < 0) along -= p.y * dxdy;
  const int firstRow = std::max(0, static_cast<int>(std::floor(p.y)));
  const int endRow = std::min(height, static_cast<int>(std::ceil(q.y)));
  for (int y = firstRow; y < endRow; ++y) {
    float* row = cells.data() + static_cast<std::size_t>(y) * stride;
    const float dy = std::min(static_cast<float>(y + 1), q.y) - std::max(static_cast<float>(y), p.y);
    const float alongNext = along + dxdy * dy;
    const float x = std::clamp(along, 0.0f, w);
    const float xNext = std::clamp(alongNext, 0.0f, w);
    const float d = dy * direction;
    const float x0 = std::min(x, xNext), x1 = std::max(x, xNext);
    const float x0Floor = std::floor(x0);
    const int x0i = static_cast<int>(x0Floor);
    const float x1Ceil = std::ceil(x1);
    const int x1i = static_cast<int>(x1Ceil);
    if (x1i <= x0i + 1) {
      // Within one pixel: the part right of the edge's middle goes to the next cell.
      const float xm = 0.5f * (x + xNext) - x0Floor;
      row[x0i] += d - d * xm;
      row[x0i + 1] += d * xm;
      rowLast[y] = std::max(rowLast[y], x0i + 1);
    } else {
      // Across several pixels: a triangle in the first, a trapezoid in each between, the
      // rest in the last.
      const float s = 1.0f / (x1 - x0);
      const float x0f = x0 - x0Floor;
      const float a0 = 0.5f * s * (1.0f - x0f) * (1.0f - x0f);
      const float x1f = x1 - x1Ceil + 1.0f;
      const float am = 0.5f * s * x1f * x1f;
      row[x0i] += d * a0;
      if (x1i == x0i + 2) {
        row[x0i + 1] += d * (1.0f - a0 - am);
      } else {
        const float a1 = s * (1.5f - x0f);
        row[x0i + 1] += d * (a1 - a0);
        for (int xi = x0i + 2; xi < x1i - 1; ++xi) row[xi] += d * s;
        const float a2 = a1 + static_cast<float>(x1i - x0i - 3) * s;
        row[x1i - 1] += d * (1.0f - a2 - am);
      }
      row[x1i] += d * am;
      rowLast[y] = std::max(rowLast[y], x1i);
    }
    rowFirst[y] = std::min(rowFirst[y], x0i);
    along = alongNext;
  }
}

// ---- giving shapes ----

void CCoveragePainter::Begin(const RECT& clip) {
  m_clip = clip;
  m_shapes.clear();
  m_points.clear();
  m_loops.clear();
}

void CCoveragePainter::AddPolygon(const PointF* points, int count, COLORREF fill, float strokeWidth, COLORREF stroke) {
  if (!points || count < 2) return;
  if (stroke == kNoColour || !(strokeWidth > 0)) strokeWidth = 0;
  if (fill == kNoColour && strokeWidth == 0) return;
  Shape shape;
  shape.first = static_cast<int>(m_points.size());
  shape.count = count;
  shape.fill = fill;
  shape.strokeWidth = std::min(strokeWidth, 64.0f);
  shape.stroke = stroke;
  float left = 1e30f, top = 1e30f, right = -1e30f, bottom = -1e30f;
  for (int i = 0; i < count; ++i) {
    const PointF p{Tame(points[i].x), Tame(points[i].y)};
    m_points.push_back(p);
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  // The square ends of a stroke reach half its width beyond a corner, diagonally.
  const float reach = shape.strokeWidth * 0.75f + 1.0f;
  const RECT box{static_cast<LONG>(std::floor(left - reach)), static_cast<LONG>(std::floor(top - reach)),
                 static_cast<LONG>(std::ceil(right + reach)), static_cast<LONG>(std::ceil(bottom + reach))};
  shape.box = Intersect(box, m_clip);
  if (IsEmpty(shape.box)) {
    m_points.resize(static_cast<std::size_t>(shape.first));
    return;
  }
  m_shapes.push_back(shape);
}

void CCoveragePainter::AddPolyPolygon(const PointF* points, const int* counts, int loops, COLORREF fill) {
  if (!points || !counts || loops <= 0 || fill == kNoColour) return;
  int total = 0;
  for (int i = 0; i < loops; ++i) {
    if (counts[i] < 0) return;
    total += counts[i];
  }
  const std::size_t before = m_shapes.size();
  AddPolygon(points, total, fill);
  if (m_shapes.size() == before) return;
  m_shapes.back().firstLoop = static_cast<int>(m_loops.size());
  m_shapes.back().loops = loops;
  m_loops.insert(m_loops.end(), counts, counts + loops);
}

void CCoveragePainter::AddLine(PointF a, PointF b, float width, COLORREF colour) {
  if (colour == kNoColour || !(width > 0)) return;
  const PointF ends[2] = {a, b};
  const std::size_t before = m_shapes.size();
  AddPolygon(ends, 2, kNoColour, width, colour);
  if (m_shapes.size() > before) m_shapes.back().line = true;
}

RECT CCoveragePainter::GetBounds() const {
  RECT all{0, 0, 0, 0};
  for (const Shape& s : m_shapes) {
    if (IsEmpty(all)) {
      all = s.box;
      continue;
    }
    all = RECT{std::min(all.left, s.box.left), std::min(all.top, s.box.top), std::max(all.right, s.box.right),
               std::max(all.bottom, s.box.bottom)};
  }
  return all;
}

// ---- painting ----

void CCoveragePainter::AddStroke(const PointF* points, int count, bool closed, bool caps, float halfWidth,
                                 PointF origin, int width, int height) {
  const int edges = closed ? count : count - 1;
  for (int i = 0; i < edges; ++i) {
    const PointF a{points[i].x - origin.x, points[i].y - origin.y};
    const PointF b{points[(i + 1) % count].x - origin.x, points[(i + 1) % count].y - origin.y};
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 1e-6f)) continue;
    const float ux = dx / length * halfWidth, uy = dy / length * halfWidth;
    const float cap = caps ? 1.0f : 0.0f;
    const PointF from{a.x - ux * cap, a.y - uy * cap};
    const PointF to{b.x + ux * cap, b.y + uy * cap};
    // Every band is wound the same way, so where bands overlap they add up and are clamped.
    const PointF quad[4] = {{from.x - uy, from.y + ux}, {to.x - uy, to.y + ux}, {to.x + uy, to.y - ux},
                            {from.x + uy, from.y - ux}};
    for (int k = 0; k < 4; ++k) m_strokeCover.AddEdge(quad[k], quad[(k + 1) % 4], width, height);
  }
}

void CCoveragePainter::Blend(std::uint32_t& state, int take, COLORREF colour) const {
  const int r = static_cast<int>((state >> 16) & 0xFF) + DivideBy255(GetRValue(colour) * take);
  const int g = static_cast<int>((state >> 8) & 0xFF) + DivideBy255(GetGValue(colour) * take);
  const int b = static_cast<int>(state & 0xFF) + DivideBy255(GetBValue(colour) * take);
  const int used = static_cast<int>(state >> 24) + take;
  state = (static_cast<std::uint32_t>(used) << 24) | (static_cast<std::uint32_t>(std::min(r, 255)) << 16) |
          (static_cast<std::uint32_t>(std::min(g, 255)) << 8) | static_cast<std::uint32_t>(std::min(b, 255));
}

void CCoveragePainter::PaintShape(const Shape& shape) {
  const RECT& box = shape.box;
  const int width = box.right - box.left, height = box.bottom - box.top;
  const PointF origin{static_cast<float>(box.left), static_cast<float>(box.top)};
  const PointF* points = m_points.data() + shape.first;
  const bool filled = shape.fill != kNoColour && !shape.line;
  const bool stroked = shape.strokeWidth > 0;
  const bool alternate = shape.loops > 0;
  if (filled) {
    m_fillCover.Prepare(width, height);
    const int loops = alternate ? shape.loops : 1;
    const PointF* loop = points;
    for (int l = 0; l < loops; ++l) {
      const int n = alternate ? m_loops[static_cast<std::size_t>(shape.firstLoop + l)] : shape.count;
      for (int i = 0; i < n; ++i) {
        const PointF& a = loop[i];
        const PointF& b = loop[(i + 1) % n];
        m_fillCover.AddEdge(PointF{a.x - origin.x, a.y - origin.y}, PointF{b.x - origin.x, b.y - origin.y}, width,
                            height);
      }
      loop += n;
    }
  }
  if (stroked) {
    m_strokeCover.Prepare(width, height);
    AddStroke(points, shape.count, !shape.line, !shape.line, shape.strokeWidth * 0.5f, origin, width, height);
  }

  const int stateWidth = m_stateBox.right - m_stateBox.left;
  for (int y = 0; y < height; ++y) {
    int first = width + 2, last = -1;
    if (filled) {
      first = std::min(first, m_fillCover.rowFirst[y]);
      last = std::max(last, m_fillCover.rowLast[y]);
    }
    if (stroked) {
      first = std::min(first, m_strokeCover.rowFirst[y]);
      last = std::max(last, m_strokeCover.rowLast[y]);
    }
    if (last < first) continue;
    float* fillRow = filled ? m_fillCover.cells.data() + static_cast<std::size_t>(y) * m_fillCover.stride : nullptr;
    float* strokeRow =
        stroked ? m_strokeCover.cells.data() + static_cast<std::size_t>(y) * m_strokeCover.stride : nullptr;
    std::uint32_t* stateRow = m_state.data() +
                              static_cast<std::size_t>(box.top + y - m_stateBox.top) * stateWidth +
                              (box.left - m_stateBox.left);
    float fillSum = 0, strokeSum = 0;
    int x = first;
    while (x <= last) {
      if (fillRow) {
        fillSum += fillRow[x];
        fillRow[x] = 0;
      }
      if (strokeRow) {
        strokeSum += strokeRow[x];
        strokeRow[x] = 0;
      }
      const int strokeCover = strokeRow ? Quantise(strokeSum) : 0;
      const int fillCover = fillRow ? (alternate ? QuantiseAlternate(fillSum) : Quantise(fillSum)) : 0;
      // The cells no edge touched after this one keep its coverage: they are done as a run.
      int end = x + 1;
      while (end <= last && (!fillRow || fillRow[end] == 0.0f) && (!strokeRow || strokeRow[end] == 0.0f)) ++end;
      const int stop = std::min(end, width);
      if (strokeCover != 0 || fillCover != 0) {
        // Inside a facelet, on pixels nothing nearer has touched: the colour, whole.
        const bool whole = strokeCover == kFull || (strokeCover == 0 && fillCover == kFull);
        const std::uint32_t wholeColour =
            0xFF000000u | CImage32::FromColorRef(strokeCover == kFull ? shape.stroke : shape.fill);
        for (int p = x; p < stop; ++p) {
          std::uint32_t& state = stateRow[p];
          if (whole && state == 0) {
            state = wholeColour;
            continue;
          }
          int left = kFull - static_cast<int>(state >> 24);
          if (left == 0) continue;
          const int strokeTake = std::min(strokeCover, left);
          if (strokeTake > 0) {
            Blend(state, strokeTake, shape.stroke);
            left -= strokeTake;
          }
          const int fillTake = std::min(fillCover, left);
          if (fillTake > 0) Blend(state, fillTake, shape.fill);
        }
      }
      x = end;
    }
  }
}

void CCoveragePainter::Paint(CImage32& picture) {
  const RECT pictureBox{0, 0, picture.Width(), picture.Height()};
  m_stateBox = Intersect(GetBounds(), pictureBox);
  if (IsEmpty(m_stateBox)) return;
  const int width = m_stateBox.right - m_stateBox.left, height = m_stateBox.bottom - m_stateBox.top;
  m_state.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
  for (auto shape = m_shapes.rbegin(); shape != m_shapes.rend(); ++shape) {
    Shape clipped = *shape;
    clipped.box = Intersect(shape->box, m_stateBox);
    if (!IsEmpty(clipped.box)) PaintShape(clipped);
  }
  // What the shapes left of each pixel shows the picture beneath.
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* stateRow = m_state.data() + static_cast<std::size_t>(y) * width;
    std::uint32_t* out = picture.Row(m_stateBox.top + y) + m_stateBox.left;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t state = stateRow[x];
      const int used = static_cast<int>(state >> 24);
      if (used == 0) continue;
      if (used == kFull) {
        out[x] = state & 0xFFFFFF;
        continue;
      }
      const int rest = kFull - used;
      const std::uint32_t beneath = out[x];
      const int r = static_cast<int>((state >> 16) & 0xFF) + DivideBy255(static_cast<int>((beneath >> 16) & 0xFF) * rest);
      const int g = static_cast<int>((state >> 8) & 0xFF) + DivideBy255(static_cast<int>((beneath >> 8) & 0xFF) * rest);
      const int b = static_cast<int>(state & 0xFF) + DivideBy255(static_cast<int>(beneath & 0xFF) * rest);
      out[x] = (static_cast<std::uint32_t>(std::min(r, 255)) << 16) | (static_cast<std::uint32_t>(std::min(g, 255)) << 8) |
               static_cast<std::uint32_t>(std::min(b, 255));
    }
  }
}
