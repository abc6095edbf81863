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
  spans.clear();
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
      spans.push_back(Span{y, x0i, x0i + 1});
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
      spans.push_back(Span{y, x0i, x1i});
    }
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

namespace {

// Adds take/255 of the colour (r, g, b) to a pixel's gathered colour.
inline void Blend(std::uint32_t& state, int take, int r, int g, int b) {
  const int sr = static_cast<int>((state >> 16) & 0xFF) + DivideBy255(r * take);
  const int sg = static_cast<int>((state >> 8) & 0xFF) + DivideBy255(g * take);
  const int sb = static_cast<int>(state & 0xFF) + DivideBy255(b * take);
  const int used = static_cast<int>(state >> 24) + take;
  state = (static_cast<std::uint32_t>(used) << 24) | (static_cast<std::uint32_t>(std::min(sr, 255)) << 16) |
          (static_cast<std::uint32_t>(std::min(sg, 255)) << 8) | static_cast<std::uint32_t>(std::min(sb, 255));
}

inline void Blend(std::uint32_t& state, int take, COLORREF colour) {
  Blend(state, take, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

inline void BlendPixel(std::uint32_t& state, int take, std::uint32_t pixel) {
  Blend(state, take, static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
        static_cast<int>(pixel & 0xFF));
}

// A pixel's gathered colour over what the picture showed beneath it.
inline std::uint32_t Over(std::uint32_t state, std::uint32_t beneath) {
  const int rest = kFull - static_cast<int>(state >> 24);
  const int r = static_cast<int>((state >> 16) & 0xFF) + DivideBy255(static_cast<int>((beneath >> 16) & 0xFF) * rest);
  const int g = static_cast<int>((state >> 8) & 0xFF) + DivideBy255(static_cast<int>((beneath >> 8) & 0xFF) * rest);
  const int b = static_cast<int>(state & 0xFF) + DivideBy255(static_cast<int>(beneath & 0xFF) * rest);
  return (static_cast<std::uint32_t>(std::min(r, 255)) << 16) | (static_cast<std::uint32_t>(std::min(g, 255)) << 8) |
         static_cast<std::uint32_t>(std::min(b, 255));
}

}  // namespace

void CCoveragePainter::SortSpansByRow(int height) {
  m_rowStart.assign(static_cast<std::size_t>(height) + 1, 0);
  for (const Coverage* cover : {&m_fillCover, &m_strokeCover})
    for (const Span& s : cover->spans) ++m_rowStart[static_cast<std::size_t>(s.y) + 1];
  for (int y = 0; y < height; ++y) m_rowStart[y + 1] += m_rowStart[y];
  m_rowSpans.resize(static_cast<std::size_t>(m_rowStart[height]));
  std::vector<int>& next = m_rowNext;
  next.assign(m_rowStart.begin(), m_rowStart.end() - 1);
  for (const Coverage* cover : {&m_fillCover, &m_strokeCover})
    for (const Span& s : cover->spans) m_rowSpans[static_cast<std::size_t>(next[s.y]++)] = s;
  m_fillCover.spans.clear();
  m_strokeCover.spans.clear();
}

void CCoveragePainter::ScanShape(const Shape& shape, int index, CImage32& picture) {
  const RECT& box = shape.box;
  const int width = box.right - box.left, height = box.bottom - box.top;
  const PointF origin{static_cast<float>(box.left), static_cast<float>(box.top)};
  const PointF* points = m_points.data() + shape.first;
  const bool filled = shape.fill != kNoColour && !shape.line;
  const bool stroked = shape.strokeWidth > 0;
  const bool alternate = shape.loops > 0;
  m_fillCover.Prepare(width, height);
  m_strokeCover.Prepare(width, height);
  if (filled) {
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
  if (stroked)
    AddStroke(points, shape.count, !shape.line, !shape.line, shape.strokeWidth * 0.5f, origin, width, height);
  SortSpansByRow(height);

  // Shapes are scanned back to front. Where a shape covers a pixel whole with one colour,
  // the colour goes straight into the picture and the shape is noted as the pixel's owner: a
  // nearer shape painting it whole later takes it over, as it would take all of it front to
  // back. Pixels covered in part are kept and shared out afterwards, front to back.
  const int stateWidth = m_stateBox.right - m_stateBox.left;
  const int sx = box.left - m_stateBox.left;
  const std::uint32_t strokeColour = CImage32::FromColorRef(shape.stroke) & 0xFFFFFF;
  const std::uint32_t fillColour = CImage32::FromColorRef(shape.fill) & 0xFFFFFF;
  const std::uint32_t ownerMark = m_ownerBase + static_cast<std::uint32_t>(index);
  auto paintCovered = [&](int x0, int x1, int y, int strokeCover, int fillCover) {
    if (x1 <= x0 || (strokeCover == 0 && fillCover == 0)) return;
    const int sy = box.top + y - m_stateBox.top;
    if (strokeCover == kFull || (strokeCover == 0 && fillCover == kFull)) {
      std::uint32_t* out = picture.Row(box.top + y) + box.left;
      std::fill(out + x0, out + x1, strokeCover == kFull ? strokeColour : fillColour);
      std::uint32_t* owner = m_owner.data() + static_cast<std::size_t>(sy) * stateWidth + sx;
      std::fill(owner + x0, owner + x1, ownerMark);
      return;
    }
    for (int x = x0; x < x1; ++x)
      m_partials.push_back(Partial{sx + x, sy, index, static_cast<std::uint8_t>(strokeCover),
                                   static_cast<std::uint8_t>(fillCover)});
  };

  for (int y = 0; y < height; ++y) {
    Span* begin = m_rowSpans.data() + m_rowStart[y];
    Span* end = m_rowSpans.data() + m_rowStart[y + 1];
    if (begin == end) continue;
    std::sort(begin, end, [](const Span& a, const Span& b) { return a.first < b.first; });
    float* fillRow = m_fillCover.cells.data() + static_cast<std::size_t>(y) * m_fillCover.stride;
    float* strokeRow = m_strokeCover.cells.data() + static_cast<std::size_t>(y) * m_strokeCover.stride;
    float fillSum = 0, strokeSum = 0;
    int strokeCover = 0, fillCover = 0;
    int done = begin->first;  // cells before it are summed
    // Cells no edge touched keep the coverage of the cell before them: they go as one run.
    for (Span* span = begin; span != end; ++span) {
      if (span->last < done) continue;
      const int from = std::max(span->first, done);
      paintCovered(done, std::min(from, width), y, strokeCover, fillCover);
      int runStart = from;
      for (int x = from; x <= span->last; ++x) {
        fillSum += fillRow[x];
        fillRow[x] = 0;
        strokeSum += strokeRow[x];
        strokeRow[x] = 0;
        const int s = stroked ? Quantise(strokeSum) : 0;
        const int f = filled ? (alternate ? QuantiseAlternate(fillSum) : Quantise(fillSum)) : 0;
        if (s != strokeCover || f != fillCover) {
          paintCovered(runStart, std::min(x, width), y, strokeCover, fillCover);
          runStart = x;
          strokeCover = s;
          fillCover = f;
        }
      }
      done = span->last + 1;
      paintCovered(runStart, std::min(done, width), y, strokeCover, fillCover);
    }
  }
}

void CCoveragePainter::SharePartials(CImage32& picture) {
  const int stateWidth = m_stateBox.right - m_stateBox.left;
  m_touched.clear();
  // Nearest shapes first: each takes of the pixel what is left of it, as far as it covers it.
  for (auto partial = m_partials.rbegin(); partial != m_partials.rend(); ++partial) {
    const std::size_t at = static_cast<std::size_t>(partial->y) * stateWidth + partial->x;
    const std::uint32_t owner = m_owner[at];
    if (owner >= m_ownerBase && owner - m_ownerBase > static_cast<std::uint32_t>(partial->shape)) continue;
    std::uint32_t& state = m_state[at];
    int left = kFull - static_cast<int>(state >> 24);
    if (left == 0) continue;
    if (state == 0) m_touched.push_back(*partial);
    const Shape& shape = m_shapes[static_cast<std::size_t>(partial->shape)];
    const int strokeTake = std::min<int>(partial->stroke, left);
    if (strokeTake > 0) {
      Blend(state, strokeTake, shape.stroke);
      left -= strokeTake;
    }
    const int fillTake = std::min<int>(partial->fill, left);
    if (fillTake > 0) Blend(state, fillTake, shape.fill);
  }
  // What is left goes to the shape painting the pixel whole behind them, else shows the
  // picture beneath; either is what the picture holds there now.
  for (const Partial& touched : m_touched) {
    const std::size_t at = static_cast<std::size_t>(touched.y) * stateWidth + touched.x;
    std::uint32_t& state = m_state[at];
    std::uint32_t* out = picture.Row(m_stateBox.top + touched.y) + m_stateBox.left + touched.x;
    const int left = kFull - static_cast<int>(state >> 24);
    const std::uint32_t owner = m_owner[at];
    if (left > 0 && owner >= m_ownerBase) BlendPixel(state, left, *out);
    *out = (state >> 24) == kFull ? state & 0xFFFFFF : Over(state, *out);
    state = 0;
  }
  m_partials.clear();
}

void CCoveragePainter::Paint(CImage32& picture) {
  const RECT pictureBox{0, 0, picture.Width(), picture.Height()};
  m_stateBox = Intersect(GetBounds(), pictureBox);
  if (IsEmpty(m_stateBox)) return;
  const int width = m_stateBox.right - m_stateBox.left, height = m_stateBox.bottom - m_stateBox.top;
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  // Both are kept between paintings: the shared colours are left at zero by every painting,
  // and owners noted before are told apart by their base.
  if (m_state.size() < pixels) m_state.resize(pixels, 0u);
  const std::uint32_t shapes = static_cast<std::uint32_t>(m_shapes.size());
  if (m_owner.size() < pixels || m_ownerBase > 0xFFFFFFFFu - 2 * shapes - 1) {
    m_owner.assign(std::max(pixels, m_owner.size()), 0u);
    m_ownerBase = 0;
  }
  m_ownerBase += 1;
  m_partials.clear();
  for (std::size_t i = 0; i < m_shapes.size(); ++i) {
    Shape clipped = m_shapes[i];
    clipped.box = Intersect(clipped.box, m_stateBox);
    if (!IsEmpty(clipped.box)) ScanShape(clipped, static_cast<int>(i), picture);
  }
  SharePartials(picture);
  m_ownerBase += shapes;
}
