#include <platform/raster.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace raster {
namespace {

using i64 = std::int64_t;
using i128 = __int128;

// An edge with y0 < y1, covering pixel rows y0 .. y1-1 (their centres lie between y0 and y1).
// For row y the first pixel whose centre is at or right of the crossing is
//   c(y) = ceil(N(y) / D),  N(y) = (2 x0 - 1) dy + (2 y + 1 - 2 y0) dx,  D = 2 dy,
// kept exactly as c and the remainder r = c D - N while stepping down the rows.
struct Edge {
  i64 x0, y0, y1, dx, dy;
  int dir;  // +1 downwards, -1 upwards, for the winding rule
  // stepping state
  i64 c = 0, r = 0, D = 0, stepQ = 0, stepR = 0;
};

i64 CeilDiv(i128 n, i128 d) {  // d > 0
  i128 q = n / d;
  if (n % d != 0 && n > 0) ++q;
  return static_cast<i64>(q);
}

i64 FloorDiv(i64 n, i64 d) {  // d > 0
  i64 q = n / d;
  if (n % d != 0 && n < 0) --q;
  return q;
}

i128 Numerator(const Edge& e, i64 y) {
  return static_cast<i128>(2 * e.x0 - 1) * e.dy + static_cast<i128>(2 * y + 1 - 2 * e.y0) * e.dx;
}

i64 CrossingAt(const Edge& e, i64 y) { return CeilDiv(Numerator(e, y), 2 * e.dy); }

void StartAt(Edge& e, i64 y) {
  e.D = 2 * e.dy;
  const i128 n = Numerator(e, y);
  e.c = CeilDiv(n, e.D);
  e.r = static_cast<i64>(static_cast<i128>(e.c) * e.D - n);
  e.stepQ = FloorDiv(2 * e.dx, e.D);
  e.stepR = 2 * e.dx - e.stepQ * e.D;
}

void Step(Edge& e) {
  e.c += e.stepQ;
  e.r -= e.stepR;
  if (e.r < 0) {
    e.c += 1;
    e.r += e.D;
  }
}

void CollectEdges(const POINT* points, const int* counts, int polygons, std::vector<Edge>& out) {
  out.clear();
  if (!points || !counts) return;
  const POINT* p = points;
  for (int k = 0; k < polygons; ++k) {
    const int n = counts[k];
    if (n <= 0) continue;
    if (n >= 2) {
      for (int i = 0; i < n; ++i) {
        const POINT a = p[i];
        const POINT b = p[(i + 1) % n];
        if (a.y == b.y) continue;
        Edge e{};
        if (a.y < b.y) {
          e = Edge{a.x, a.y, b.y, static_cast<i64>(b.x) - a.x, static_cast<i64>(b.y) - a.y, 1};
        } else {
          e = Edge{b.x, b.y, a.y, static_cast<i64>(a.x) - b.x, static_cast<i64>(a.y) - b.y, -1};
        }
        out.push_back(e);
      }
    }
    p += n;
  }
}

bool Inside(int wind, int fillMode) { return fillMode == WINDING ? wind != 0 : (wind & 1) != 0; }

struct Crossing {
  i64 c;
  int dir;
};

}  // namespace

RECT Bounds(const POINT* points, const int* counts, int polygons) {
  i64 minX = LLONG_MAX, minY = LLONG_MAX, maxX = LLONG_MIN, maxY = LLONG_MIN;
  const POINT* p = points;
  for (int k = 0; p && counts && k < polygons; ++k) {
    for (int i = 0; i < counts[k]; ++i) {
      minX = std::min<i64>(minX, p[i].x);
      maxX = std::max<i64>(maxX, p[i].x);
      minY = std::min<i64>(minY, p[i].y);
      maxY = std::max<i64>(maxY, p[i].y);
    }
    if (counts[k] > 0) p += counts[k];
  }
  if (minX >= maxX || minY >= maxY) return RECT{0, 0, 0, 0};
  return RECT{static_cast<LONG>(minX), static_cast<LONG>(minY), static_cast<LONG>(maxX),
              static_cast<LONG>(maxY)};
}

void FillSpans(const POINT* points, const int* counts, int polygons, int fillMode,
               const RECT& clip, std::vector<Span>& out) {
  thread_local std::vector<Edge> edges;
  thread_local std::vector<Edge*> active;
  thread_local std::vector<Crossing> crossings;
  CollectEdges(points, counts, polygons, edges);
  if (edges.size() < 2 || clip.left >= clip.right || clip.top >= clip.bottom) return;

  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  i64 yEnd = clip.bottom;
  i64 maxY = LLONG_MIN;
  for (const Edge& e : edges) maxY = std::max(maxY, e.y1);
  yEnd = std::min(yEnd, maxY);
  i64 y = std::max<i64>(edges.front().y0, clip.top);

  active.clear();
  std::size_t next = 0;
  for (; y < yEnd; ++y) {
    // Drop finished edges, step the others down one row.
    std::size_t kept = 0;
    for (Edge* e : active) {
      if (e->y1 <= y) continue;
      Step(*e);
      active[kept++] = e;
    }
    active.resize(kept);
    // Edges that start at or above this row join, starting exactly here.
    while (next < edges.size() && edges[next].y0 <= y) {
      Edge& e = edges[next++];
      if (e.y1 <= y) continue;
      StartAt(e, y);
      active.push_back(&e);
    }
    if (active.empty()) {
      if (next >= edges.size()) break;
      y = std::max<i64>(y, edges[next].y0 - 1);
      continue;
    }
    if (active.size() == 2) {
      // The common case: a closed outline crossed twice, one edge each way, inside between
      // them under either rule.
      const i64 a = std::max<i64>(std::min(active[0]->c, active[1]->c), clip.left);
      const i64 b = std::min<i64>(std::max(active[0]->c, active[1]->c), clip.right);
      if (a < b) out.push_back({static_cast<int>(y), static_cast<int>(a), static_cast<int>(b)});
      continue;
    }
    crossings.clear();
    for (const Edge* e : active) crossings.push_back({e->c, e->dir});
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.c < b.c; });
    int wind = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
      wind += crossings[i].dir;
      if (!Inside(wind, fillMode)) continue;
      const i64 x0 = std::max<i64>(crossings[i].c, clip.left);
      const i64 x1 = std::min<i64>(crossings[i + 1].c, clip.right);
      if (x0 < x1) {
        if (!out.empty() && out.back().y == y && out.back().x1 == x0) {
          out.back().x1 = static_cast<int>(x1);  // joins the run on its left
        } else {
          out.push_back({static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1)});
        }
      }
    }
  }
}

bool CoversPixel(const POINT* points, const int* counts, int polygons, int fillMode, int x,
                 int y) {
  thread_local std::vector<Edge> edges;
  CollectEdges(points, counts, polygons, edges);
  int wind = 0;
  for (const Edge& e : edges) {
    if (y < e.y0 || y >= e.y1) continue;
    if (CrossingAt(e, y) <= x) wind += e.dir;
  }
  return Inside(wind, fillMode);
}

}  // namespace raster
