#include <platform/region.h>

#include <platform/raster.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

using Runs = std::vector<std::pair<int, int>>;
using Band = CRgn::Band;

// Regions never need rows or columns beyond what a bitmap can have; polygons reaching further
// are cut here when they are turned into bands.
constexpr int kLimit = 1 << 15;
const RECT kLimitRect{-kLimit, -kLimit, kLimit, kLimit};

int ClampToLong(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

bool Covers(const Runs& runs, int x) {
  auto it = std::upper_bound(runs.begin(), runs.end(), x,
                             [](int v, const std::pair<int, int>& r) { return v < r.first; });
  if (it == runs.begin()) return false;
  --it;
  return x < it->second;
}

bool Keep(bool a, bool b, int mode) {
  switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    case RGN_DIFF: return a && !b;
    default: return a;
  }
}

Runs CombineRuns(const Runs& a, const Runs& b, int mode) {
  std::vector<int> xs;
  xs.reserve(2 * (a.size() + b.size()));
  for (const auto& r : a) { xs.push_back(r.first); xs.push_back(r.second); }
  for (const auto& r : b) { xs.push_back(r.first); xs.push_back(r.second); }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  Runs out;
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    if (!Keep(Covers(a, xs[i]), Covers(b, xs[i]), mode)) continue;
    if (!out.empty() && out.back().second == xs[i]) out.back().second = xs[i + 1];
    else out.emplace_back(xs[i], xs[i + 1]);
  }
  return out;
}

void AppendBand(std::vector<Band>& bands, int top, int bottom, Runs runs) {
  if (runs.empty() || top >= bottom) return;
  if (!bands.empty() && bands.back().bottom == top && bands.back().runs == runs) {
    bands.back().bottom = bottom;
    return;
  }
  bands.push_back(Band{top, bottom, std::move(runs)});
}

const Runs* RunsAt(const std::vector<Band>& bands, std::size_t& cursor, int y) {
  while (cursor < bands.size() && bands[cursor].bottom <= y) ++cursor;
  if (cursor < bands.size() && bands[cursor].top <= y) return &bands[cursor].runs;
  return nullptr;
}

std::vector<Band> CombineBands(const std::vector<Band>& a, const std::vector<Band>& b, int mode) {
  std::vector<int> ys;
  for (const Band& band : a) { ys.push_back(band.top); ys.push_back(band.bottom); }
  for (const Band& band : b) { ys.push_back(band.top); ys.push_back(band.bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  static const Runs kNone;
  std::vector<Band> out;
  std::size_t ca = 0, cb = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const Runs* ra = RunsAt(a, ca, ys[i]);
    const Runs* rb = RunsAt(b, cb, ys[i]);
    if (!ra && !rb) continue;
    AppendBand(out, ys[i], ys[i + 1], CombineRuns(ra ? *ra : kNone, rb ? *rb : kNone, mode));
  }
  return out;
}

}  // namespace

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
  if (IsStock()) return FALSE;
  m_isPolygon = false;
  m_points.clear();
  m_counts.clear();
  m_bands.clear();
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left < right && top < bottom) m_bands.push_back(Band{top, bottom, {{left, right}}});
  MarkCreated(true);
  return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* r) {
  return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : FALSE;
}

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  return CreatePolyPolygonRgn(points, &count, 1, fillMode);
}

BOOL CRgn::CreatePolyPolygonRgn(const POINT* points, const int* counts, int polygons,
                                int fillMode) {
  if (IsStock() || !points || !counts || polygons < 1) return FALSE;
  int total = 0;
  for (int k = 0; k < polygons; ++k) {
    if (counts[k] < 0) return FALSE;
    total += counts[k];
  }
  m_points.assign(points, points + total);
  m_counts.assign(counts, counts + polygons);
  m_fillMode = fillMode == WINDING ? WINDING : ALTERNATE;
  m_isPolygon = true;
  m_bands.clear();
  MarkCreated(true);
  return TRUE;
}

BOOL CRgn::DeleteObject() {
  m_points.clear();
  m_counts.clear();
  m_bands.clear();
  m_isPolygon = false;
  return CGdiObject::DeleteObject();
}

const std::vector<CRgn::Band>& CRgn::BandsOf(std::vector<Band>& scratch) const {
  if (!m_isPolygon) return m_bands;
  scratch.clear();
  std::vector<raster::Span> spans;
  raster::FillSpans(m_points.data(), m_counts.data(), static_cast<int>(m_counts.size()),
                    m_fillMode, kLimitRect, spans);
  std::size_t i = 0;
  while (i < spans.size()) {
    const int y = spans[i].y;
    Runs runs;
    for (; i < spans.size() && spans[i].y == y; ++i) runs.emplace_back(spans[i].x0, spans[i].x1);
    AppendBand(scratch, y, y + 1, std::move(runs));
  }
  return scratch;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  if (!a || (mode != RGN_COPY && !b) || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    if (a == this) return GetRgnBox(nullptr);
    m_points = a->m_points;
    m_counts = a->m_counts;
    m_fillMode = a->m_fillMode;
    m_isPolygon = a->m_isPolygon;
    m_bands = a->m_bands;
  } else {
    std::vector<Band> sa, sb;
    const std::vector<Band>& ba = a->BandsOf(sa);
    const std::vector<Band>& bb = b->BandsOf(sb);
    std::vector<Band> result = CombineBands(ba, bb, mode);
    m_points.clear();
    m_counts.clear();
    m_isPolygon = false;
    m_bands = std::move(result);
  }
  MarkCreated(true);
  return GetRgnBox(nullptr);
}

int CRgn::OffsetRgn(int dx, int dy) {
  if (!GetSafeHandle()) return ERROR;
  for (POINT& p : m_points) {
    p.x = ClampToLong(static_cast<std::int64_t>(p.x) + dx);
    p.y = ClampToLong(static_cast<std::int64_t>(p.y) + dy);
  }
  for (Band& band : m_bands) {
    band.top = ClampToLong(static_cast<std::int64_t>(band.top) + dy);
    band.bottom = ClampToLong(static_cast<std::int64_t>(band.bottom) + dy);
    for (auto& run : band.runs) {
      run.first = ClampToLong(static_cast<std::int64_t>(run.first) + dx);
      run.second = ClampToLong(static_cast<std::int64_t>(run.second) + dx);
    }
  }
  return GetRgnBox(nullptr);
}

BOOL CRgn::PtInRegion(int x, int y) const {
  if (!GetSafeHandle()) return FALSE;
  if (m_isPolygon) {
    return raster::CoversPixel(m_points.data(), m_counts.data(), static_cast<int>(m_counts.size()),
                               m_fillMode, x, y);
  }
  auto it = std::upper_bound(m_bands.begin(), m_bands.end(), y,
                             [](int v, const Band& b) { return v < b.bottom; });
  if (it == m_bands.end() || it->top > y) return FALSE;
  return Covers(it->runs, x);
}

int CRgn::GetRgnBox(RECT* box) const {
  std::vector<Band> scratch;
  const std::vector<Band>& bands = BandsOf(scratch);
  RECT r{0, 0, 0, 0};
  if (!bands.empty()) {
    r.top = bands.front().top;
    r.bottom = bands.back().bottom;
    r.left = INT32_MAX;
    r.right = INT32_MIN;
    for (const Band& band : bands) {
      r.left = std::min(r.left, band.runs.front().first);
      r.right = std::max(r.right, band.runs.back().second);
    }
  }
  if (box) *box = r;
  if (!GetSafeHandle()) return ERROR;
  if (bands.empty()) return NULLREGION;
  return bands.size() == 1 && bands.front().runs.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool CRgn::IsEmpty() const {
  const int kind = GetRgnBox(nullptr);
  return kind != SIMPLEREGION && kind != COMPLEXREGION;
}

BOOL CRgn::EqualRgn(const CRgn* other) const {
  if (!other) return FALSE;
  std::vector<Band> sa, sb;
  const std::vector<Band>& a = BandsOf(sa);
  const std::vector<Band>& b = other->BandsOf(sb);
  if (a.size() != b.size()) return FALSE;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].top != b[i].top || a[i].bottom != b[i].bottom || a[i].runs != b[i].runs) return FALSE;
  }
  return TRUE;
}

std::vector<RECT> CRgn::Rectangles() const {
  std::vector<Band> scratch;
  const std::vector<Band>& bands = BandsOf(scratch);
  std::vector<RECT> out;
  for (const Band& band : bands)
    for (const auto& run : band.runs) out.push_back(RECT{run.first, band.top, run.second, band.bottom});
  return out;
}
