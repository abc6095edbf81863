// Drives the drawing context with arbitrary polygons, lines, regions, blits and text. Besides
// memory safety it checks that painted polygons and polygon regions agree pixel for pixel, and
// that region combinations agree with their parts.
#include <platform/platform.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_pos >= m_size; }
  std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
  // Mostly small coordinates around the bitmap, now and then extreme ones.
  int Coord() {
    const std::uint8_t kind = Byte();
    if (kind < 200) return static_cast<int>(Byte()) - 100;
    std::int32_t v = 0;
    for (int i = 0; i < 4; ++i) v = static_cast<std::int32_t>((static_cast<std::uint32_t>(v) << 8) | Byte());
    return v;
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
};

constexpr int kW = 40, kH = 30;
const RGBQUAD kTable[4] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 255, 255, 0}};

std::vector<POINT> Polygon(Reader& in) {
  std::vector<POINT> p(static_cast<std::size_t>(in.Byte() % 10));
  for (POINT& q : p) q = POINT{in.Coord(), in.Coord()};
  return p;
}

void CheckPolygon(Reader& in) {
  const std::vector<POINT> poly = Polygon(in);
  const int mode = in.Byte() & 1 ? WINDING : ALTERNATE;
  CBitmap bmp;
  bmp.CreateDIBSection(kW, kH, 8, kTable, 4);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  dc.SelectStockObject(NULL_PEN);
  dc.SelectStockObject(WHITE_BRUSH);
  dc.SetPolyFillMode(mode);
  const BOOL drawn = dc.Polygon(poly.data(), static_cast<int>(poly.size()));
  CRgn rgn;
  rgn.CreatePolygonRgn(poly.data(), static_cast<int>(poly.size()), mode);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const bool painted = bmp.PixelValue(x, y) == 3;
      if (drawn && painted != (rgn.PtInRegion(x, y) != 0)) std::abort();
      if (!drawn && painted) std::abort();
    }
}

void CheckRegions(Reader& in) {
  CRgn a, b, c;
  const std::vector<POINT> pa = Polygon(in);
  a.CreatePolygonRgn(pa.data(), static_cast<int>(pa.size()), in.Byte() & 1 ? WINDING : ALTERNATE);
  if (in.Byte() & 1) {
    b.CreateRectRgn(in.Coord(), in.Coord(), in.Coord(), in.Coord());
  } else {
    const std::vector<POINT> pb = Polygon(in);
    b.CreatePolygonRgn(pb.data(), static_cast<int>(pb.size()), ALTERNATE);
  }
  const int mode = RGN_AND + in.Byte() % 4;
  if (c.CombineRgn(&a, &b, mode) == ERROR) std::abort();
  for (int y = -5; y < kH; ++y)
    for (int x = -5; x < kW; ++x) {
      const bool ia = a.PtInRegion(x, y), ib = b.PtInRegion(x, y);
      const bool expected = mode == RGN_AND ? ia && ib : mode == RGN_OR ? ia || ib : mode == RGN_XOR ? ia != ib : ia && !ib;
      if ((c.PtInRegion(x, y) != 0) != expected) std::abort();
    }
}

void Scribble(Reader& in) {
  CBitmap bmp, other;
  const int depths[5] = {1, 4, 8, 24, 32};
  bmp.CreateDIBSection(kW, kH, depths[in.Byte() % 5], kTable, 4);
  other.CreateDIBSection(1 + in.Byte() % 50, 1 + in.Byte() % 50, depths[in.Byte() % 5], kTable, 4);
  CDC dc, src;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  src.CreateCompatibleDC(nullptr);
  src.SelectObject(&other);
  CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
  dc.SelectObject(&pen);
  dc.SetViewportOrg(in.Coord(), in.Coord());
  if (in.Byte() & 1) dc.IntersectClipRect(in.Coord(), in.Coord(), in.Coord(), in.Coord());
  if (in.Byte() & 1) dc.ExcludeClipRect(in.Coord(), in.Coord(), in.Coord(), in.Coord());
  while (!in.Empty()) {
    switch (in.Byte() % 8) {
      case 0: dc.MoveTo(in.Coord(), in.Coord()); dc.LineTo(in.Coord(), in.Coord()); break;
      case 1: dc.Rectangle(in.Coord(), in.Coord(), in.Coord(), in.Coord()); break;
      case 2: dc.BitBlt(in.Coord(), in.Coord(), in.Coord(), in.Coord(), &src, in.Coord(), in.Coord(), SRCCOPY); break;
      case 3: dc.BitBlt(in.Coord(), in.Coord(), in.Coord(), in.Coord(), &dc, in.Coord(), in.Coord(), SRCINVERT); break;
      case 4: {
        std::string s;
        const int n = in.Byte() % 40;
        for (int i = 0; i < n; ++i) s += static_cast<char>(in.Byte());
        CRect r(in.Coord(), in.Coord(), in.Coord(), in.Coord());
        dc.DrawText(s.data(), static_cast<int>(s.size()), &r, in.Byte() | (in.Byte() << 8));
        break;
      }
      case 5: dc.PatBlt(in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Byte() & 1 ? PATCOPY : DSTINVERT); break;
      case 6: { RECT r{in.Coord(), in.Coord(), in.Coord(), in.Coord()}; dc.DrawFocusRect(&r); break; }
      default: { const std::vector<POINT> p = Polygon(in); dc.Polygon(p.data(), static_cast<int>(p.size())); break; }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  switch (in.Byte() % 3) {
    case 0: CheckPolygon(in); break;
    case 1: CheckRegions(in); break;
    default: Scribble(in); break;
  }
  return 0;
}
