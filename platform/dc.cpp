#include <platform/dc.h>

#include <platform/raster.h>
#include <platform/text.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace {

using i64 = std::int64_t;

int Clamp32(i64 v) { return static_cast<int>(std::clamp<i64>(v, INT32_MIN, INT32_MAX)); }

// Origins, offsets and rectangle edges are kept within +-2^29: far beyond any bitmap, and sums
// of two of them or an edge plus one still fit an int.
constexpr i64 kFar = i64{1} << 29;
int ClampFar(i64 v) { return static_cast<int>(std::clamp<i64>(v, -kFar, kFar)); }

RECT MakeRect(i64 left, i64 top, i64 right, i64 bottom) {
  return RECT{ClampFar(left), ClampFar(top), ClampFar(right), ClampFar(bottom)};
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) return RECT{0, 0, 0, 0};
  return r;
}

bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT Normalized(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return RECT{left, top, right, bottom};
}

CPen* DefaultPen() { return static_cast<CPen*>(GetStockObject(BLACK_PEN)); }
CBrush* DefaultBrush() { return static_cast<CBrush*>(GetStockObject(WHITE_BRUSH)); }
CFont* DefaultFont() { return static_cast<CFont*>(GetStockObject(SYSTEM_FONT)); }

// The value mask of an inversion at a depth.
std::uint32_t InvertMask(int bpp) { return bpp >= 24 ? 0xFFFFFFu : (1u << bpp) - 1; }

}  // namespace

CDC::CDC() {
  m_state.pen = DefaultPen();
  m_state.brush = DefaultBrush();
  m_state.font = DefaultFont();
}

CDC::~CDC() {
  UntrackState(m_state);
  for (const State& s : m_saved) UntrackState(s);
  if (m_surface) Untrack(m_surface);
}

BOOL CDC::CreateCompatibleDC(CDC*) {
  DeleteDC();
  m_created = true;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  const bool had = m_created || m_surface;
  UntrackState(m_state);
  for (const State& s : m_saved) UntrackState(s);
  m_saved.clear();
  if (m_surface) Untrack(m_surface);
  m_surface = nullptr;
  m_surfaceOffset = CPoint();
  m_hasVisible = false;
  m_state = State{};
  m_state.pen = DefaultPen();
  m_state.brush = DefaultBrush();
  m_state.font = DefaultFont();
  m_created = false;
  return had ? TRUE : FALSE;
}

void CDC::BindSurface(CBitmap* bitmap, POINT offset, const RECT* visible) {
  if (m_surface) Untrack(m_surface);
  m_surface = bitmap;
  if (m_surface) Track(m_surface);
  m_surfaceOffset = CPoint(ClampFar(offset.x), ClampFar(offset.y));
  m_hasVisible = visible != nullptr;
  if (visible) m_visible = MakeRect(visible->left, visible->top, visible->right, visible->bottom);
  m_created = true;
}

// ---- object tracking --------------------------------------------------------------------------

void CDC::Track(const CGdiObject* object) {
  if (object && !object->IsStock()) object->AddUser(this);
}

void CDC::Untrack(const CGdiObject* object) {
  if (object && !object->IsStock()) object->RemoveUser(this);
}

void CDC::TrackState(const State& s) {
  Track(s.pen);
  Track(s.brush);
  Track(s.font);
  Track(s.bitmap);
  Track(s.palette);
}

void CDC::UntrackState(const State& s) {
  Untrack(s.pen);
  Untrack(s.brush);
  Untrack(s.font);
  Untrack(s.bitmap);
  Untrack(s.palette);
}

void CDC::ObjectDestroyed(const CGdiObject* object) {
  auto forget = [object](State& s) {
    if (s.pen == object) s.pen = DefaultPen();
    if (s.brush == object) s.brush = DefaultBrush();
    if (s.font == object) s.font = DefaultFont();
    if (s.bitmap == object) s.bitmap = nullptr;
    if (s.palette == object) s.palette = nullptr;
  };
  forget(m_state);
  for (State& s : m_saved) forget(s);
  if (m_surface == object) m_surface = nullptr;
  object->m_users.erase(std::remove(object->m_users.begin(), object->m_users.end(), this),
                        object->m_users.end());
}

// ---- selection ---------------------------------------------------------------------------------

template <class T>
static T* Swap(CDC* dc, T*& slot, T* object, void (CDC::*track)(const CGdiObject*),
               void (CDC::*untrack)(const CGdiObject*)) {
  T* old = slot;
  if (object == old) return old;
  (dc->*track)(object);
  (dc->*untrack)(old);
  slot = object;
  return old;
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!pen) return nullptr;
  return Swap(this, m_state.pen, pen, &CDC::Track, &CDC::Untrack);
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!brush) return nullptr;
  return Swap(this, m_state.brush, brush, &CDC::Track, &CDC::Untrack);
}

CFont* CDC::SelectObject(CFont* font) {
  if (!font) return nullptr;
  return Swap(this, m_state.font, font, &CDC::Track, &CDC::Untrack);
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  // Selecting null deselects the bitmap (used when restoring a context that had none).
  return Swap(this, m_state.bitmap, bitmap, &CDC::Track, &CDC::Untrack);
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (auto* pen = dynamic_cast<CPen*>(object)) return SelectObject(pen);
  if (auto* brush = dynamic_cast<CBrush*>(object)) return SelectObject(brush);
  if (auto* font = dynamic_cast<CFont*>(object)) return SelectObject(font);
  if (auto* bitmap = dynamic_cast<CBitmap*>(object)) return SelectObject(bitmap);
  if (auto* palette = dynamic_cast<CPalette*>(object)) return SelectPalette(palette, FALSE);
  if (auto* region = dynamic_cast<CRgn*>(object)) SelectClipRgn(region);
  return nullptr;
}

CGdiObject* CDC::SelectStockObject(int id) {
  CGdiObject* object = GetStockObject(id);
  return object ? SelectObject(object) : nullptr;
}

CPalette* CDC::SelectPalette(CPalette* palette, BOOL) {
  return Swap(this, m_state.palette, palette, &CDC::Track, &CDC::Untrack);
}

UINT CDC::RealizePalette() {
  return m_state.palette ? static_cast<UINT>(m_state.palette->GetEntryCount()) : 0;
}

int CDC::SaveDC() {
  m_saved.push_back(m_state);
  TrackState(m_state);
  return static_cast<int>(m_saved.size());
}

BOOL CDC::RestoreDC(int savedLevel) {
  const int count = static_cast<int>(m_saved.size());
  const int level = savedLevel < 0 ? count + 1 + savedLevel : savedLevel;
  if (level < 1 || level > count) return FALSE;
  UntrackState(m_state);
  m_state = m_saved[level - 1];  // its tracking moves over to the current state
  for (int i = level; i < count; ++i) UntrackState(m_saved[i]);
  m_saved.resize(level - 1);
  return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF colour) { return std::exchange(m_state.textColour, colour); }
COLORREF CDC::SetBkColor(COLORREF colour) { return std::exchange(m_state.bkColour, colour); }

int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(m_state.bkMode, mode);
}

int CDC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return std::exchange(m_state.fillMode, mode);
}

CPoint CDC::SetViewportOrg(int x, int y) {
  return std::exchange(m_state.origin, CPoint(ClampFar(x), ClampFar(y)));
}

CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  return SetViewportOrg(ClampFar(i64{m_state.origin.x} + dx), ClampFar(i64{m_state.origin.y} + dy));
}

// ---- clipping ----------------------------------------------------------------------------------

CBitmap* CDC::Target() const {
  if (m_state.bitmap && m_state.bitmap->Bits()) return m_state.bitmap;
  if (!m_state.bitmap && m_surface && m_surface->Bits()) return m_surface;
  return nullptr;
}

// What can be drawn, in device coordinates, before the clip region.
RECT CDC::DeviceBounds() const {
  const CBitmap* target = Target();
  if (!target) return RECT{0, 0, 0, 0};
  if (target == m_surface) {
    RECT r{-m_surfaceOffset.x, -m_surfaceOffset.y, target->Width() - m_surfaceOffset.x,
           target->Height() - m_surfaceOffset.y};
    return m_hasVisible ? Intersect(r, m_visible) : r;
  }
  return RECT{0, 0, target->Width(), target->Height()};
}

// The drawable rectangles in bitmap pixels.
void CDC::ClipRects(std::vector<RECT>& out) const {
  out.clear();
  RECT bounds = DeviceBounds();
  if (Empty(bounds)) return;
  const CPoint shift = Target() == m_surface ? m_surfaceOffset : CPoint();
  auto add = [&](RECT r) {
    r = Intersect(r, bounds);
    if (Empty(r)) return;
    out.push_back(RECT{r.left + shift.x, r.top + shift.y, r.right + shift.x, r.bottom + shift.y});
  };
  if (!m_state.clip) {
    add(bounds);
    return;
  }
  for (const RECT& r : m_state.clip->Rectangles()) add(r);
}

int CDC::ClipKind() const {
  std::vector<RECT> rects;
  ClipRects(rects);
  if (rects.empty()) return NULLREGION;
  return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  const RECT r = Normalized(Clamp32(i64{left} + m_state.origin.x), Clamp32(i64{top} + m_state.origin.y),
                            Clamp32(i64{right} + m_state.origin.x), Clamp32(i64{bottom} + m_state.origin.y));
  auto region = std::make_shared<CRgn>();
  if (m_state.clip) {
    CRgn rect;
    rect.CreateRectRgnIndirect(&r);
    region->CombineRgn(m_state.clip.get(), &rect, RGN_AND);
  } else {
    region->CreateRectRgnIndirect(&r);
  }
  m_state.clip = std::move(region);
  return ClipKind();
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
  const RECT r = Normalized(Clamp32(i64{left} + m_state.origin.x), Clamp32(i64{top} + m_state.origin.y),
                            Clamp32(i64{right} + m_state.origin.x), Clamp32(i64{bottom} + m_state.origin.y));
  auto region = std::make_shared<CRgn>();
  CRgn base;
  if (m_state.clip) {
    base.CopyRgn(m_state.clip.get());
  } else {
    // No clip yet means everywhere, whatever bitmap is selected later.
    constexpr int kEverywhere = 1 << 20;
    base.CreateRectRgn(-kEverywhere, -kEverywhere, kEverywhere, kEverywhere);
  }
  CRgn rect;
  rect.CreateRectRgnIndirect(&r);
  region->CombineRgn(&base, &rect, RGN_DIFF);
  m_state.clip = std::move(region);
  return ClipKind();
}

int CDC::SelectClipRgn(const CRgn* region) {
  if (!region || !region->GetSafeHandle()) {
    m_state.clip.reset();
  } else {
    auto copy = std::make_shared<CRgn>();
    copy->CopyRgn(region);
    m_state.clip = std::move(copy);
  }
  return ClipKind();
}

int CDC::GetClipBox(RECT* box) const {
  std::vector<RECT> rects;
  ClipRects(rects);
  RECT r{0, 0, 0, 0};
  const CPoint shift = Target() == m_surface ? m_surfaceOffset : CPoint();
  if (!rects.empty()) {
    r = rects.front();
    for (const RECT& c : rects) {
      r.left = std::min(r.left, c.left);
      r.top = std::min(r.top, c.top);
      r.right = std::max(r.right, c.right);
      r.bottom = std::max(r.bottom, c.bottom);
    }
    const int dx = shift.x + m_state.origin.x, dy = shift.y + m_state.origin.y;
    r = RECT{r.left - dx, r.top - dy, r.right - dx, r.bottom - dy};
  }
  if (box) *box = r;
  if (rects.empty()) return NULLREGION;
  return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL CDC::PtVisible(int x, int y) const {
  std::vector<RECT> rects;
  ClipRects(rects);
  const CPoint shift = Target() == m_surface ? m_surfaceOffset : CPoint();
  const i64 bx = i64{x} + m_state.origin.x + shift.x, by = i64{y} + m_state.origin.y + shift.y;
  for (const RECT& r : rects)
    if (bx >= r.left && bx < r.right && by >= r.top && by < r.bottom) return TRUE;
  return FALSE;
}

// ---- pixel work (bitmap coordinates, m_clipScratch prepared by the caller) --------------------

std::uint32_t CDC::ValueFor(COLORREF colour) const {
  const CBitmap* target = Target();
  if (!target) return 0;
  if ((colour >> 24) == 1 && target->BitsPerPixel() > 8 && m_state.palette) {
    const int index = static_cast<int>(colour & 0xFFFF);
    if (index < m_state.palette->GetEntryCount()) {
      const PALETTEENTRY& e = m_state.palette->Entries()[index];
      colour = RGB(e.peRed, e.peGreen, e.peBlue);
    }
  }
  return target->ValueForColor(colour);
}

void CDC::FillDeviceSpan(int y, int x0, int x1, std::uint32_t value) {
  CBitmap* target = Target();
  for (const RECT& r : m_clipScratch) {
    if (y < r.top || y >= r.bottom) continue;
    const int a = std::max(x0, static_cast<int>(r.left)), b = std::min(x1, static_cast<int>(r.right));
    if (a < b) target->FillRow(y, a, b, value);
  }
}

void CDC::FillDeviceRect(RECT r, std::uint32_t value) {
  CBitmap* target = Target();
  for (const RECT& c : m_clipScratch) {
    const RECT part = Intersect(r, c);
    for (int y = part.top; y < part.bottom; ++y) target->FillRow(y, part.left, part.right, value);
  }
}

void CDC::InvertDeviceRect(RECT r) {
  CBitmap* target = Target();
  const std::uint32_t mask = InvertMask(target->BitsPerPixel());
  for (const RECT& c : m_clipScratch) {
    const RECT part = Intersect(r, c);
    for (int y = part.top; y < part.bottom; ++y)
      for (int x = part.left; x < part.right; ++x)
        target->SetPixelValue(x, y, target->PixelValue(x, y) ^ mask);
  }
}

// A line without its end point. Pixel i (0..n-1, n = the longer side) lies on the major axis
// at start + i and on the minor axis at the nearest row, computed exactly so that clipping to
// a part of the line gives the same pixels as drawing all of it.
void CDC::DrawLineDevice(int x0, int y0, int x1, int y1, std::uint32_t value) {
  if (m_clipScratch.empty()) return;
  const i64 dx = i64{x1} - x0, dy = i64{y1} - y0;
  const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const i64 n = xMajor ? adx : ady;
  if (n == 0) return;
  const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const i64 minor = xMajor ? ady : adx;
  const i64 majorStart = xMajor ? x0 : y0;
  const i64 minorStart = xMajor ? y0 : x0;
  // Only steps whose major coordinate falls inside the clip bounds can show.
  RECT box = m_clipScratch.front();
  for (const RECT& r : m_clipScratch) {
    box.left = std::min(box.left, r.left);
    box.top = std::min(box.top, r.top);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  const i64 lo = xMajor ? box.left : box.top, hi = xMajor ? box.right : box.bottom;
  i64 first = sMajor > 0 ? lo - majorStart : majorStart - (hi - 1);
  i64 last = sMajor > 0 ? hi - 1 - majorStart : majorStart - lo;
  first = std::max<i64>(first, 0);
  last = std::min<i64>(last, n - 1);
  if (first > last) return;
  // Offset of step i along the minor axis: floor((2 i minor + n) / 2n), stepped exactly.
  const i64 twoN = 2 * n;
  const __int128 num = static_cast<__int128>(2 * first) * minor + n;
  i64 q = static_cast<i64>(num / twoN), r = static_cast<i64>(num % twoN);
  CBitmap* target = Target();
  const bool single = m_clipScratch.size() == 1;
  const RECT& only = m_clipScratch.front();
  // 8-bit bitmaps are written directly: lines are drawn pixel by pixel.
  BYTE* const bits8 = target->BitsPerPixel() == 8 ? target->Bits() : nullptr;
  const i64 stride = target->Stride(), lastRow = target->Height() - 1;
  for (i64 i = first; i <= last; ++i) {
    const i64 major = majorStart + sMajor * i;
    const i64 minorPos = minorStart + sMinor * q;
    const i64 px = xMajor ? major : minorPos, py = xMajor ? minorPos : major;
    r += 2 * minor;
    if (r >= twoN) {
      r -= twoN;
      ++q;
    }
    if (single) {
      if (px < only.left || px >= only.right || py < only.top || py >= only.bottom) continue;
      if (bits8) bits8[stride * (lastRow - py) + px] = static_cast<BYTE>(value);
      else target->SetPixelValue(static_cast<int>(px), static_cast<int>(py), value);
      continue;
    }
    for (const RECT& c : m_clipScratch) {
      if (px >= c.left && px < c.right && py >= c.top && py < c.bottom) {
        target->SetPixelValue(static_cast<int>(px), static_cast<int>(py), value);
        break;
      }
    }
  }
}

void CDC::FillPolygons(const POINT* points, const int* counts, int polygons, int fillMode,
                       std::uint32_t value) {
  if (m_clipScratch.empty()) return;
  thread_local std::vector<raster::Span> spans;
  spans.clear();
  RECT box = m_clipScratch.front();
  for (const RECT& r : m_clipScratch) {
    box.left = std::min(box.left, r.left);
    box.top = std::min(box.top, r.top);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  raster::FillSpans(points, counts, polygons, fillMode, box, spans);
  CBitmap* target = Target();
  if (m_clipScratch.size() == 1) {
    for (const raster::Span& s : spans) target->FillRow(s.y, s.x0, s.x1, value);
  } else {
    for (const raster::Span& s : spans) FillDeviceSpan(s.y, s.x0, s.x1, value);
  }
}

void CDC::OutlinePolygons(const POINT* points, const int* counts, int polygons,
                          std::uint32_t value) {
  const POINT* p = points;
  for (int k = 0; k < polygons; ++k) {
    const int n = counts[k];
    for (int i = 0; i < n; ++i) {
      const POINT a = p[i], b = p[(i + 1) % n];
      DrawLineDevice(a.x, a.y, b.x, b.y, value);
    }
    p += n;
  }
}

// ---- drawing -----------------------------------------------------------------------------------

namespace {

// Logical points to bitmap pixels.
void ToBitmap(const POINT* in, int count, CPoint shift, std::vector<POINT>& out) {
  out.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    out[i] = POINT{Clamp32(i64{in[i].x} + shift.x), Clamp32(i64{in[i].y} + shift.y)};
}

}  // namespace

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m_state.position, CPoint(x, y)); }

BOOL CDC::LineTo(int x, int y) {
  const CPoint from = m_state.position;
  m_state.position = CPoint(x, y);
  const CPen* pen = m_state.pen;
  if (!Target() || !pen || pen->IsNull()) return TRUE;
  ClipRects(m_clipScratch);
  const CPoint shift = m_state.origin + (Target() == m_surface ? m_surfaceOffset : CPoint());
  DrawLineDevice(Clamp32(i64{from.x} + shift.x), Clamp32(i64{from.y} + shift.y),
                 Clamp32(i64{x} + shift.x), Clamp32(i64{y} + shift.y), ValueFor(pen->GetColor()));
  return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
  if (!points || count < 2) return FALSE;
  const CPoint saved = m_state.position;
  MoveTo(points[0].x, points[0].y);
  for (int i = 1; i < count; ++i) LineTo(points[i].x, points[i].y);
  m_state.position = saved;
  return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count) {
  return PolyPolygon(points, &count, 1);
}

BOOL CDC::PolyPolygon(const POINT* points, const int* counts, int polygons) {
  if (!points || !counts || polygons < 1) return FALSE;
  int total = 0;
  for (int k = 0; k < polygons; ++k) {
    if (counts[k] < 2) return FALSE;
    total += counts[k];
  }
  if (!Target()) return TRUE;
  thread_local std::vector<POINT> device;
  const CPoint shift = m_state.origin + (Target() == m_surface ? m_surfaceOffset : CPoint());
  ToBitmap(points, total, shift, device);
  ClipRects(m_clipScratch);
  const CBrush* brush = m_state.brush;
  if (brush && !brush->IsNull())
    FillPolygons(device.data(), counts, polygons, m_state.fillMode, ValueFor(brush->GetColor()));
  const CPen* pen = m_state.pen;
  if (pen && !pen->IsNull()) OutlinePolygons(device.data(), counts, polygons, ValueFor(pen->GetColor()));
  return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  if (!Target()) return TRUE;
  RECT r = Normalized(left, top, right, bottom);
  const CPoint shift = m_state.origin + (Target() == m_surface ? m_surfaceOffset : CPoint());
  r = MakeRect(i64{r.left} + shift.x, i64{r.top} + shift.y, i64{r.right} + shift.x, i64{r.bottom} + shift.y);
  ClipRects(m_clipScratch);
  const CPen* pen = m_state.pen;
  const CBrush* brush = m_state.brush;
  const bool outlined = pen && !pen->IsNull();
  if (brush && !brush->IsNull()) {
    // Without a pen the filled area is one pixel smaller on the right and at the bottom.
    RECT inside = outlined ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                           : RECT{r.left, r.top, r.right - 1, r.bottom - 1};
    if (!Empty(inside)) FillDeviceRect(inside, ValueFor(brush->GetColor()));
  }
  if (outlined && !Empty(r)) {
    const std::uint32_t v = ValueFor(pen->GetColor());
    FillDeviceRect(RECT{r.left, r.top, r.right, r.top + 1}, v);
    FillDeviceRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, v);
    FillDeviceRect(RECT{r.left, r.top, r.left + 1, r.bottom}, v);
    FillDeviceRect(RECT{r.right - 1, r.top, r.right, r.bottom}, v);
  }
  return TRUE;
}

void CDC::FillSolidRect(const RECT* r, COLORREF colour) {
  if (!r || !Target()) return;
  const RECT n = Normalized(r->left, r->top, r->right, r->bottom);
  const CPoint shift = m_state.origin + (Target() == m_surface ? m_surfaceOffset : CPoint());
  ClipRects(m_clipScratch);
  FillDeviceRect(MakeRect(i64{n.left} + shift.x, i64{n.top} + shift.y, i64{n.right} + shift.x,
                          i64{n.bottom} + shift.y),
                 ValueFor(colour));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
  const RECT r = MakeRect(x, y, i64{x} + cx, i64{y} + cy);
  FillSolidRect(&r, colour);
}

void CDC::FillRect(const RECT* r, CBrush* brush) {
  if (r && brush && !brush->IsNull()) FillSolidRect(r, brush->GetColor());
}

void CDC::FrameRect(const RECT* r, CBrush* brush) {
  if (!r || !brush || brush->IsNull() || r->right <= r->left || r->bottom <= r->top) return;
  const COLORREF c = brush->GetColor();
  const i64 l = r->left, t = r->top, rt = r->right, b = r->bottom;
  const RECT edges[4] = {MakeRect(l, t, rt, t + 1), MakeRect(l, b - 1, rt, b), MakeRect(l, t, l + 1, b),
                         MakeRect(rt - 1, t, rt, b)};
  for (const RECT& e : edges) FillSolidRect(&e, c);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  if (cx <= 0 || cy <= 0) return;
  const i64 l = x, t = y, r = i64{x} + cx, b = i64{y} + cy;
  const RECT top = MakeRect(l, t, r - 1, t + 1), left = MakeRect(l, t, l + 1, b - 1);
  const RECT right = MakeRect(r - 1, t, r, b), bottom = MakeRect(l, b - 1, r, b);
  FillSolidRect(&top, topLeft);
  FillSolidRect(&left, topLeft);
  FillSolidRect(&right, bottomRight);
  FillSolidRect(&bottom, bottomRight);
}

void CDC::Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight) {
  if (r) Draw3dRect(r->left, r->top, ClampFar(i64{r->right} - r->left), ClampFar(i64{r->bottom} - r->top), topLeft, bottomRight);
}

BOOL CDC::FillRgn(const CRgn* region, CBrush* brush) {
  if (!region || !region->GetSafeHandle() || !brush) return FALSE;
  if (brush->IsNull() || !Target()) return TRUE;
  ClipRects(m_clipScratch);
  const CPoint shift = Target() == m_surface ? m_surfaceOffset : CPoint();
  const std::uint32_t v = ValueFor(brush->GetColor());
  for (const RECT& r : region->Rectangles())
    FillDeviceRect(RECT{r.left + shift.x, r.top + shift.y, r.right + shift.x, r.bottom + shift.y}, v);
  return TRUE;
}

void CDC::InvertRect(const RECT* r) {
  if (!r || !Target()) return;
  const RECT n = Normalized(r->left, r->top, r->right, r->bottom);
  const CPoint shift = m_state.origin + (Target() == m_surface ? m_surfaceOffset : CPoint());
  ClipRects(m_clipScratch);
  InvertDeviceRect(MakeRect(i64{n.left} + shift.x, i64{n.top} + shift.y, i64{n.right} + shift.x,
                            i64{n.bottom} + shift.y));
}

void CDC::DrawFocusRect(const RECT* r) {
  if (!r || !Target() || r->right <= r->left || r->bottom <= r->top) return;
  const CPoint shift = m_state.origin + (Target() == m_surface ? m_surfaceOffset : CPoint());
  ClipRects(m_clipScratch);
  CBitmap* target = Target();
  const std::uint32_t mask = InvertMask(target->BitsPerPixel());
  const i64 l = i64{r->left} + shift.x, t = i64{r->top} + shift.y;
  const i64 w = i64{r->right} - r->left, h = i64{r->bottom} - r->top;
  auto flip = [&](i64 x, i64 y) {
    for (const RECT& c : m_clipScratch) {
      if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) {
        const int ix = static_cast<int>(x), iy = static_cast<int>(y);
        target->SetPixelValue(ix, iy, target->PixelValue(ix, iy) ^ mask);
        return;
      }
    }
  };
  // Every other pixel of the border, counted around from the top-left corner.
  for (i64 i = 0; i < w && i < 65536; i += 2) {
    flip(l + i, t);
    if (h > 1) flip(l + i, t + h - 1);
  }
  for (i64 j = 2; j < h - 1 && j < 65536; j += 2) {
    flip(l, t + j);
    if (w > 1) flip(l + w - 1, t + j);
  }
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  const RECT logical = Normalized(x, y, Clamp32(i64{x} + width), Clamp32(i64{y} + height));
  if (!Target()) return FALSE;
  const CPoint shift = m_state.origin + (Target() == m_surface ? m_surfaceOffset : CPoint());
  const RECT r = MakeRect(i64{logical.left} + shift.x, i64{logical.top} + shift.y,
                          i64{logical.right} + shift.x, i64{logical.bottom} + shift.y);
  ClipRects(m_clipScratch);
  CBitmap* target = Target();
  const CBrush* brush = m_state.brush;
  switch (rop) {
    case PATCOPY:
      if (brush && !brush->IsNull()) FillDeviceRect(r, ValueFor(brush->GetColor()));
      return TRUE;
    case BLACKNESS: FillDeviceRect(r, ValueFor(RGB(0, 0, 0))); return TRUE;
    case WHITENESS: FillDeviceRect(r, ValueFor(RGB(255, 255, 255))); return TRUE;
    case DSTINVERT: InvertDeviceRect(r); return TRUE;
    case PATINVERT: {
      if (!brush || brush->IsNull()) return TRUE;
      const std::uint32_t v = ValueFor(brush->GetColor());
      for (const RECT& c : m_clipScratch) {
        const RECT part = Intersect(r, c);
        for (int py = part.top; py < part.bottom; ++py)
          for (int px = part.left; px < part.right; ++px)
            target->SetPixelValue(px, py, target->PixelValue(px, py) ^ v);
      }
      return TRUE;
    }
    default: return FALSE;
  }
}

namespace {

// Stored source values turned into destination values. Tiling copies the same pair of
// bitmaps hundreds of times, so the last table is kept until either bitmap changes.
class ValueMap {
 public:
  ValueMap(const CBitmap& src, const CBitmap& dst) : m_src(src), m_dst(dst) {
    m_indexed = src.BitsPerPixel() <= 8;
    if (!m_indexed) {
      m_identity = dst.BitsPerPixel() > 8;
      return;
    }
    Cached& c = Cache();
    if (c.src != &src || c.dst != &dst || c.srcVersion != src.Version() || c.dstVersion != dst.Version() ||
        c.srcDepth != src.BitsPerPixel() || c.dstDepth != dst.BitsPerPixel()) {
      Build(c);
    }
    m_table = &c.table;
    m_identity = c.identity;
  }
  bool Identity() const { return m_identity; }
  std::uint32_t operator()(std::uint32_t v) const {
    if (m_indexed) return v < m_table->size() ? (*m_table)[v] : 0;
    return m_identity ? v : m_dst.ValueForColor(m_src.ColorOfValue(v));
  }

 private:
  struct Cached {
    const CBitmap* src = nullptr;
    const CBitmap* dst = nullptr;
    std::uint32_t srcVersion = 0, dstVersion = 0;
    int srcDepth = 0, dstDepth = 0;
    bool identity = false;
    std::vector<std::uint32_t> table;
  };
  static Cached& Cache() {
    thread_local Cached cached;
    return cached;
  }
  void Build(Cached& c) const {
    const int n = 1 << m_src.BitsPerPixel();
    c.src = &m_src;
    c.dst = &m_dst;
    c.srcVersion = m_src.Version();
    c.dstVersion = m_dst.Version();
    c.srcDepth = m_src.BitsPerPixel();
    c.dstDepth = m_dst.BitsPerPixel();
    c.table.resize(static_cast<std::size_t>(n));
    bool identity = m_dst.BitsPerPixel() == m_src.BitsPerPixel();
    // Equal colour tables copy indices as they are, even where a table repeats a colour.
    if (identity && m_src.ColorTableSize() == m_dst.ColorTableSize() &&
        std::equal(m_src.ColorTable(), m_src.ColorTable() + m_src.ColorTableSize(), m_dst.ColorTable())) {
      for (int i = 0; i < n; ++i) c.table[i] = static_cast<std::uint32_t>(i);
      c.identity = true;
      return;
    }
    for (int i = 0; i < n; ++i) {
      c.table[i] = m_dst.ValueForColor(m_src.ColorOfValue(static_cast<std::uint32_t>(i)));
      if (c.table[i] != static_cast<std::uint32_t>(i)) identity = false;
    }
    c.identity = identity;
  }

  const CBitmap& m_src;
  const CBitmap& m_dst;
  bool m_indexed = false;
  bool m_identity = false;
  const std::vector<std::uint32_t>* m_table = nullptr;
};

}  // namespace

bool CDC::PlanBlit(int x, int y, int width, int height, CDC* source, int sx, int sy, BlitBlock& out) const {
  out.dst = Target();
  out.src = source ? source->Target() : nullptr;
  if (!out.dst || !out.src || width <= 0 || height <= 0) return false;
  const CPoint sOff = out.src == source->m_surface ? source->m_surfaceOffset : CPoint();
  const CPoint dshift = m_state.origin + (out.dst == m_surface ? m_surfaceOffset : CPoint());
  const CPoint sshift = source->m_state.origin + sOff;
  const i64 sx0 = i64{sx} + sshift.x, sy0 = i64{sy} + sshift.y;
  const i64 dx0 = i64{x} + dshift.x, dy0 = i64{y} + dshift.y;
  out.dx = dx0 - sx0;
  out.dy = dy0 - sy0;
  // The source may give only what its own context may draw on.
  RECT srcBounds = source->DeviceBounds();
  srcBounds = RECT{srcBounds.left + sOff.x, srcBounds.top + sOff.y, srcBounds.right + sOff.x,
                   srcBounds.bottom + sOff.y};
  const RECT srcRect{Clamp32(sx0), Clamp32(sy0), Clamp32(sx0 + width), Clamp32(sy0 + height)};
  out.srcPart = Intersect(srcRect, srcBounds);
  out.dstRect = RECT{Clamp32(out.srcPart.left + out.dx), Clamp32(out.srcPart.top + out.dy),
                     Clamp32(out.srcPart.right + out.dx), Clamp32(out.srcPart.bottom + out.dy)};
  return true;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop) {
  if (rop == PATCOPY || rop == BLACKNESS || rop == WHITENESS || rop == DSTINVERT || rop == PATINVERT)
    return PatBlt(x, y, width, height, rop);
  if (rop != SRCCOPY && rop != SRCAND && rop != SRCPAINT && rop != SRCINVERT) return FALSE;
  BlitBlock block;
  if (!PlanBlit(x, y, width, height, source, sx, sy, block)) return FALSE;
  if (Empty(block.srcPart)) return TRUE;
  CBitmap* const dst = block.dst;
  CBitmap* const src = block.src;
  ClipRects(m_clipScratch);
  const ValueMap map(*src, *dst);
  const bool plainRows = rop == SRCCOPY && map.Identity() && src->BitsPerPixel() >= 8;
  const int bytesPerPixel = src->BitsPerPixel() / 8;
  for (const RECT& c : m_clipScratch) {
    const RECT part = Intersect(block.dstRect, c);
    if (Empty(part)) continue;
    const int w = part.right - part.left, h = part.bottom - part.top;
    const int srcLeft = static_cast<int>(part.left - block.dx);
    const int srcTop = static_cast<int>(part.top - block.dy);
    // Read the block first so that a copy within one bitmap sees the pixels as they were.
    thread_local std::vector<std::uint32_t> values;
    thread_local std::vector<BYTE> bytes;
    if (plainRows && src != dst) {
      // Rows run bottom-up in memory, so the next row down is one stride lower.
      const std::size_t rowBytes = static_cast<std::size_t>(w) * bytesPerPixel;
      BYTE* to = dst->RowAddress(part.top) + part.left * bytesPerPixel;
      const BYTE* from = src->RowAddress(srcTop) + srcLeft * bytesPerPixel;
      const std::ptrdiff_t toStride = dst->Stride(), fromStride = src->Stride();
      for (int j = 0; j < h; ++j) std::memcpy(to - j * toStride, from - j * fromStride, rowBytes);
      continue;
    }
    if (plainRows) {
      const std::size_t rowBytes = static_cast<std::size_t>(w) * bytesPerPixel;
      bytes.resize(rowBytes * h);
      for (int j = 0; j < h; ++j)
        std::memcpy(bytes.data() + rowBytes * j, src->RowAddress(srcTop + j) + srcLeft * bytesPerPixel, rowBytes);
      for (int j = 0; j < h; ++j)
        std::memcpy(dst->RowAddress(part.top + j) + part.left * bytesPerPixel, bytes.data() + rowBytes * j, rowBytes);
      continue;
    }
    values.resize(static_cast<std::size_t>(w) * h);
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) values[static_cast<std::size_t>(j) * w + i] = map(src->PixelValue(srcLeft + i, srcTop + j));
    for (int j = 0; j < h; ++j) {
      for (int i = 0; i < w; ++i) {
        std::uint32_t v = values[static_cast<std::size_t>(j) * w + i];
        const int px = part.left + i, py = part.top + j;
        if (rop != SRCCOPY) {
          const std::uint32_t d = dst->PixelValue(px, py);
          v = rop == SRCAND ? (d & v) : rop == SRCPAINT ? (d | v) : (d ^ v);
        }
        dst->SetPixelValue(px, py, v);
      }
    }
  }
  return TRUE;
}

BOOL CDC::TransparentBlt(int x, int y, int width, int height, CDC* source, int sx, int sy,
                         COLORREF transparentColour) {
  BlitBlock block;
  if (!PlanBlit(x, y, width, height, source, sx, sy, block)) return FALSE;
  if (Empty(block.srcPart)) return TRUE;
  CBitmap* const dst = block.dst;
  CBitmap* const src = block.src;
  ClipRects(m_clipScratch);
  const ValueMap map(*src, *dst);
  transparentColour &= 0xFFFFFF;
  for (const RECT& c : m_clipScratch) {
    const RECT part = Intersect(block.dstRect, c);
    for (int py = part.top; py < part.bottom; ++py) {
      for (int px = part.left; px < part.right; ++px) {
        const int qx = static_cast<int>(px - block.dx), qy = static_cast<int>(py - block.dy);
        const std::uint32_t v = src->PixelValue(qx, qy);
        if (src->ColorOfValue(v) == transparentColour) continue;
        dst->SetPixelValue(px, py, map(v));
      }
    }
  }
  return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
  CBitmap* target = Target();
  if (!target) return CLR_INVALID;
  ClipRects(m_clipScratch);
  const CPoint shift = m_state.origin + (target == m_surface ? m_surfaceOffset : CPoint());
  const i64 px = i64{x} + shift.x, py = i64{y} + shift.y;
  for (const RECT& r : m_clipScratch) {
    if (px >= r.left && px < r.right && py >= r.top && py < r.bottom) {
      const std::uint32_t v = ValueFor(colour);
      target->SetPixelValue(static_cast<int>(px), static_cast<int>(py), v);
      return target->ColorOfValue(v);
    }
  }
  return CLR_INVALID;
}

COLORREF CDC::GetPixel(int x, int y) const {
  const CBitmap* target = Target();
  if (!target || !PtVisible(x, y)) return CLR_INVALID;
  const CPoint shift = m_state.origin + (target == m_surface ? m_surfaceOffset : CPoint());
  return target->PixelColor(Clamp32(i64{x} + shift.x), Clamp32(i64{y} + shift.y));
}

COLORREF CDC::GetNearestColor(COLORREF colour) const {
  const CBitmap* target = Target();
  if (!target) return colour & 0xFFFFFF;
  return target->ColorOfValue(ValueFor(colour));
}

// ---- text --------------------------------------------------------------------------------------

namespace {

text::Face* FaceOf(const CFont* font) {
  if (!font || !font->GetSafeHandle()) font = DefaultFont();
  return text::FaceFor(font->LogFont());
}

int Length(const char* s, int length) {
  if (!s) return 0;
  return length < 0 ? static_cast<int>(std::strlen(s)) : length;
}

// One line of DrawText output: its characters and the position of the marked character.
struct Line {
  std::string text;
  int mnemonic = -1;
};

// Removes '&' prefixes: "&x" marks x, "&&" is a plain '&'.
Line StripPrefixes(const std::string& s) {
  Line line;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != '&' && line.mnemonic < 0) line.mnemonic = static_cast<int>(line.text.size());
    } else if (s[i] == '&') {
      continue;
    }
    line.text += s[i];
  }
  return line;
}

std::string ExpandTabs(const std::string& s, text::Face& face) {
  const int spaces = std::max(1, 8 * face.Metrics().tmAveCharWidth / std::max(1, face.Advance(' ')));
  std::string out;
  for (char c : s) {
    if (c == '\t') out.append(static_cast<std::size_t>(spaces), ' ');
    else out += c;
  }
  return out;
}

// Breaks a paragraph into lines no wider than width where spaces allow; a word wider than the
// whole width stays on a line of its own.
std::vector<Line> WrapLine(const Line& para, text::Face& face, int width) {
  std::vector<Line> lines;
  const std::string& s = para.text;
  std::size_t start = 0;
  while (true) {
    std::size_t end = start;  // end of the last word that fits
    std::size_t pos = start;
    long long lineWidth = 0;  // of start..end
    bool any = false;
    while (pos < s.size()) {
      std::size_t wordEnd = pos;
      while (wordEnd < s.size() && s[wordEnd] != ' ') ++wordEnd;
      const long long w = lineWidth + face.Width(s.data() + end, static_cast<int>(wordEnd - end));
      if (any && w > width) break;
      end = wordEnd;
      lineWidth = w;
      any = true;
      pos = wordEnd;
      while (pos < s.size() && s[pos] == ' ') ++pos;
      if (w > width) break;
    }
    Line line;
    line.text = s.substr(start, end - start);
    if (para.mnemonic >= static_cast<int>(start) && para.mnemonic < static_cast<int>(end))
      line.mnemonic = para.mnemonic - static_cast<int>(start);
    lines.push_back(std::move(line));
    start = end;
    while (start < s.size() && s[start] == ' ') ++start;
    if (start >= s.size()) break;
  }
  return lines;
}

}  // namespace

BOOL CDC::TextOut(int x, int y, const char* textIn, int length) {
  length = Length(textIn, length);
  text::Face* face = FaceOf(m_state.font);
  CBitmap* target = Target();
  if (!face || !target) return face ? TRUE : FALSE;
  const TEXTMETRIC& tm = face->Metrics();
  const int width = face->Width(textIn, length);
  if (m_state.bkMode == OPAQUE && width > 0) FillSolidRect(x, y, width, tm.tmHeight, m_state.bkColour);
  ClipRects(m_clipScratch);
  if (m_clipScratch.empty()) return TRUE;
  const CPoint shift = m_state.origin + (target == m_surface ? m_surfaceOffset : CPoint());
  const std::uint32_t value = ValueFor(m_state.textColour);
  const i64 baseline = i64{y} + shift.y + tm.tmAscent;
  i64 pen = i64{x} + shift.x;
  for (int i = 0; i < length; ++i) {
    const text::Glyph& g = face->GlyphFor(static_cast<unsigned char>(textIn[i]));
    const i64 gx = pen + g.left, gy = baseline - g.top;
    for (int row = 0; row < g.height; ++row) {
      const i64 py = gy + row;
      if (py < INT32_MIN || py > INT32_MAX) continue;
      const BYTE* mask = g.mask.data() + static_cast<std::size_t>(row) * g.width;
      int col = 0;
      while (col < g.width) {
        while (col < g.width && !mask[col]) ++col;
        const int runStart = col;
        while (col < g.width && mask[col]) ++col;
        if (col > runStart)
          FillDeviceSpan(static_cast<int>(py), Clamp32(gx + runStart), Clamp32(gx + col), value);
      }
    }
    pen += g.advance;
  }
  if (face->Underline() || face->StrikeOut()) {
    const int x0 = Clamp32(i64{x} + shift.x), x1 = Clamp32(i64{x} + shift.x + width);
    const int thickness = face->UnderlineThickness();
    if (face->Underline())
      FillDeviceRect(RECT{x0, Clamp32(baseline + face->UnderlineOffset()), x1,
                          Clamp32(baseline + face->UnderlineOffset() + thickness)}, value);
    if (face->StrikeOut()) {
      const i64 top = baseline - tm.tmAscent / 3;
      FillDeviceRect(RECT{x0, Clamp32(top), x1, Clamp32(top + thickness)}, value);
    }
  }
  return TRUE;
}

int CDC::DrawText(const char* textIn, int length, RECT* rect, UINT format) {
  length = Length(textIn, length);
  text::Face* face = FaceOf(m_state.font);
  if (!face || !rect) return 0;
  const TEXTMETRIC& tm = face->Metrics();
  const int lineHeight = tm.tmHeight;
  const RECT box = MakeRect(rect->left, rect->top, rect->right, rect->bottom);
  const int width = box.right - box.left;

  // Paragraphs, then lines.
  std::vector<Line> lines;
  std::string all(textIn ? textIn : "", static_cast<std::size_t>(length));
  std::vector<std::string> paragraphs;
  if (format & DT_SINGLELINE) {
    std::string flat;
    for (char c : all)
      if (c != '\r' && c != '\n') flat += c;
    paragraphs.push_back(flat);
  } else {
    std::string current;
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (all[i] == '\r' || all[i] == '\n') {
        paragraphs.push_back(current);
        current.clear();
        if (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
      } else {
        current += all[i];
      }
    }
    paragraphs.push_back(current);
  }
  for (std::string& p : paragraphs) {
    if (format & DT_EXPANDTABS) p = ExpandTabs(p, *face);
    Line para = (format & DT_NOPREFIX) ? Line{p, -1} : StripPrefixes(p);
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
      for (Line& l : WrapLine(para, *face, width)) lines.push_back(std::move(l));
    } else {
      lines.push_back(std::move(para));
    }
  }

  if (format & DT_END_ELLIPSIS) {
    // Lines too wide for the rectangle end in "..." instead of being cut.
    const int dots = face->Width("...", 3);
    for (Line& l : lines) {
      if (face->Width(l.text.data(), static_cast<int>(l.text.size())) <= width) continue;
      std::size_t keep = 0;
      for (long long used = dots; keep < l.text.size(); ++keep) {
        used += face->Advance(static_cast<unsigned char>(l.text[keep]));
        if (used > width) break;
      }
      l.text.resize(keep);
      if (l.mnemonic >= static_cast<int>(keep)) l.mnemonic = -1;
      l.text += "...";
    }
  }
  int widest = 0;
  for (const Line& l : lines)
    widest = std::max(widest, face->Width(l.text.data(), static_cast<int>(l.text.size())));
  const int total = ClampFar(i64{lineHeight} * static_cast<i64>(lines.size()));
  if (format & DT_CALCRECT) {
    rect->right = ClampFar(i64{box.left} + widest);
    rect->bottom = ClampFar(i64{box.top} + total);
    return total;
  }

  i64 y = box.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = box.top + (i64{box.bottom} - box.top - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = i64{box.bottom} - lineHeight;
  }
  const int saved = (format & DT_NOCLIP) ? 0 : SaveDC();
  if (!(format & DT_NOCLIP)) IntersectClipRect(&box);
  for (const Line& l : lines) {
    if (y > kFar) break;
    const int w = face->Width(l.text.data(), static_cast<int>(l.text.size()));
    i64 x = box.left;
    if (format & DT_CENTER) x = box.left + (i64{width} - w) / 2;
    else if (format & DT_RIGHT) x = i64{box.right} - w;
    TextOut(ClampFar(x), ClampFar(y), l.text.data(), static_cast<int>(l.text.size()));
    if (l.mnemonic >= 0) {
      const i64 ux = x + face->Width(l.text.data(), l.mnemonic);
      const int uw = face->Advance(static_cast<unsigned char>(l.text[l.mnemonic]));
      const RECT mark = MakeRect(ux, y + tm.tmAscent + face->UnderlineOffset(), ux + uw,
                                 y + tm.tmAscent + face->UnderlineOffset() + face->UnderlineThickness());
      FillSolidRect(&mark, m_state.textColour);
    }
    y += lineHeight;
  }
  if (saved) RestoreDC(saved);
  return total;
}

CSize CDC::GetTextExtent(const char* textIn, int length) const {
  length = Length(textIn, length);
  text::Face* face = FaceOf(m_state.font);
  if (!face) return CSize(0, 0);
  return CSize(face->Width(textIn, length), face->Metrics().tmHeight);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const {
  text::Face* face = FaceOf(m_state.font);
  if (!face || !metrics) return FALSE;
  *metrics = face->Metrics();
  return TRUE;
}

int CDC::GetTextFace(int size, char* out) const {
  const CFont* font = m_state.font && m_state.font->GetSafeHandle() ? m_state.font : DefaultFont();
  const char* name = font->LogFont().lfFaceName;
  const int n = static_cast<int>(strnlen(name, LF_FACESIZE));
  if (!out || size <= 0) return n + 1;
  const int copied = std::min(n, size - 1);
  std::memcpy(out, name, static_cast<std::size_t>(copied));
  out[copied] = '\0';
  return copied;
}
