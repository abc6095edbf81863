#include <lumex/dib.h>

#include <lumex/bmpfile.h>
#include <lumex/resources.h>

#include <cordak/buffer.h>
#include <platform/dc.h>
#include <platform/palette.h>
#include <platform/region.h>
#include <platform/wnd.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>

const PALETTEENTRY CDib::cm_peWindows[16] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},   {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},   {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0}, {255, 255, 255, 0},
};

CPalette* CDib::cm_pPalette = nullptr;

namespace {

// Files larger than this are not bitmaps we would ever show.
constexpr long kMaxBmpFileBytes = 256L << 20;

bool HasEntries(const CPalette* pal) { return pal && pal->GetSafeHandle() && pal->GetEntryCount() > 0; }

COLORREF ColorOf(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }
COLORREF ColorOf(const PALETTEENTRY& e) { return RGB(e.peRed, e.peGreen, e.peBlue); }

bool ReadWholeFile(char const* path, std::vector<BYTE>& out) {
  if (!path || !*path) return false;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && size <= kMaxBmpFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    out.resize(static_cast<std::size_t>(size));
    ok = std::fread(out.data(), 1, out.size(), f) == out.size();
  }
  std::fclose(f);
  return ok;
}

bool WriteAll(int fd, const BYTE* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Writes the bytes beside the target first and renames only a complete file over it, so a
// failed save never costs the user the previous file.
bool ReplaceFile(char const* path, const std::vector<BYTE>& bytes) {
  static std::atomic<unsigned> counter{0};
  std::string temp = std::string(path) + ".tmp" + std::to_string(::getpid()) + "-" +
                     std::to_string(counter++);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), path) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

CDib::CDib() = default;

CDib::CDib(CDib& other) : CBitmap(), CUObject() { CopyImageFrom(other); }

CDib& CDib::operator=(CDib& other) {
  if (&other != this) CopyImageFrom(other);
  return *this;
}

CDib::~CDib() = default;

// An 8-bit image with a palette is copied the usual way (a fresh image, then the pixels);
// any other image is duplicated as it is, so that a copy never loses the picture.
void CDib::CopyImageFrom(CDib& other) {
  if (other.BitsPerPixel() == 8 && HasEntries(other.m_palette)) {
    if (Create(other.m_palette, other.Width(), other.Height(), 254))
      other.CopyBits(this, 0, 0, 0, 0, 0, 0, 0);
    return;
  }
  if (!other.GetBits()) {
    DeleteObject();
    return;
  }
  CBitmap fresh;
  if (!fresh.CreateDIBSection(other.Width(), other.Height(), other.BitsPerPixel(),
                              other.ColorTable(), other.ColorTableSize()))
    return;
  std::memcpy(fresh.Bits(), other.Bits(), std::min(fresh.ImageSize(), other.ImageSize()));
  CPalette* pal = other.m_palette;
  AdoptImage(fresh);
  m_palette = pal;
}

CPalette* CDib::GetGlobalPalette() { return cm_pPalette; }
void CDib::SetGlobalPalette(CPalette* palette) { cm_pPalette = palette; }

void CDib::UpdateHeader() {
  m_bm = BITMAP{};
  if (GetSafeHandle()) GetBitmap(&m_bm);
}

int CDib::AdoptImage(CBitmap& image) {
  m_info.reset();
  m_palette = nullptr;
  CBitmap::DeleteObject();
  Adopt(image);
  UpdateHeader();
  return GetBits() ? 1 : 0;
}

int CDib::Create(CPalette* pal, int width, int height, int fill) {
  if (!HasEntries(pal)) return 0;
  CBitmap fresh;
  if (!fresh.CreateDIBSection(width, height, 8, pal)) return 0;
  std::memset(fresh.Bits(), fill & 0xFF, fresh.ImageSize());
  AdoptImage(fresh);
  m_palette = pal;
  return 1;
}

int CDib::Create(CDib& other, int width, int height, int fill) {
  return Create(other.m_palette, width, height, fill);
}

int CDib::LoadFromMemory(const BYTE* data, std::size_t size) {
  BmpImage image;
  if (!DecodeBmp(data, size, image)) return 0;
  CBitmap fresh;
  if (!fresh.CreateDIBSection(image.width, image.height, image.bitsPerPixel, image.colors.data(),
                              static_cast<int>(image.colors.size())))
    return 0;
  std::memcpy(fresh.Bits(), image.bits.data(), std::min(fresh.ImageSize(), image.bits.size()));
  CPalette* own = m_palette;
  AdoptImage(fresh);
  m_palette = own;
  return MapLoadedColors();
}

// A loaded 8-bit image takes the colours of its palette, or of the global one.
int CDib::MapLoadedColors() {
  if (BitsPerPixel() != 8) return 1;
  CPalette* pal = HasEntries(m_palette) ? m_palette : cm_pPalette;
  if (HasEntries(pal)) MapColorsToPalette(pal, 1);
  return 1;
}

int CDib::Load(char const* path) {
  std::vector<BYTE> bytes;
  if (!ReadWholeFile(path, bytes)) return 0;
  return LoadFromMemory(bytes.data(), bytes.size());
}

int CDib::Load(HINSTANCE module, int id) {
  const BitmapResource* resource = FindBitmapResource(module, id);
  return resource ? LoadFromMemory(resource->data, resource->size) : 0;
}

int CDib::Load(HINSTANCE module, char const* name) {
  const BitmapResource* resource = FindBitmapResource(module, name);
  return resource ? LoadFromMemory(resource->data, resource->size) : 0;
}

int CDib::Load(void* bitmapHandle) {
  auto* bitmap = dynamic_cast<CBitmap*>(static_cast<CGdiObject*>(bitmapHandle));
  if (!bitmap || !bitmap->Bits()) return 0;
  if (bitmap == static_cast<CBitmap*>(this)) return 1;
  CPalette* own = m_palette;
  AdoptImage(*bitmap);
  m_palette = own;
  return MapLoadedColors();
}

BOOL CDib::DeleteObject() {
  m_info.reset();
  m_bm = BITMAP{};
  m_palette = nullptr;
  return CBitmap::DeleteObject();
}

BOOL CDib::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  BOOL ok = CBitmap::CreateCompatibleBitmap(dc, width, height);
  m_info.reset();
  UpdateHeader();
  return ok;
}

void CDib::GetRect(CRect* rect) const {
  if (rect) rect->SetRect(0, 0, Width() - 1, Height() - 1);
}

int CDib::StorageWidth() const {
  // (width + 1) / 2 bytes at 4 bits, 3 x width at 24, width at 8, rounded up to 4 bytes.
  return BmpRowBytes(Width(), m_bm.bmBitsPixel ? m_bm.bmBitsPixel : 8);
}

BYTE* CDib::GetPixelAddress(int x, int y) {
  int bpp = m_bm.bmBitsPixel ? m_bm.bmBitsPixel : 8;
  std::ptrdiff_t column = std::ptrdiff_t(x) * bpp / 8;
  return GetBits() + std::ptrdiff_t(StorageWidth()) * (Height() - y - 1) + column;
}

COLORREF CDib::TableColor(int index) const {
  return index >= 0 && index < ColorTableSize() ? ColorOf(ColorTable()[index]) : 0;
}

int CDib::GetPixel(int x, int y, unsigned char& index) {
  index = 0;
  if (BitsPerPixel() != 8 || !GetBits() || x < 0 || y < 0 || x >= Width() || y >= Height())
    return 0;
  index = *GetPixelAddress(x, y);
  return 1;
}

int CDib::GetPixel(int x, int y, unsigned long& colour) {
  colour = 0;
  if (!GetBits() || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const BYTE* p = GetPixelAddress(x, y);
  switch (BitsPerPixel()) {
    case 4: colour = TableColor(x & 1 ? *p & 0x0F : *p >> 4); return 1;
    case 8:
      if (HasEntries(m_palette)) {
        PALETTEENTRY e{};
        if (m_palette->GetPaletteEntries(*p, 1, &e) == 1) colour = ColorOf(e);
      } else {
        colour = TableColor(*p);
      }
      return 1;
    case 24:
    case 32: colour = RGB(p[2], p[1], p[0]); return 1;
    default: return 0;
  }
}

int CDib::GetPixel(int x, int y, COLORREF& colour) {
  unsigned long value = 0;
  int result = GetPixel(x, y, value);
  colour = static_cast<COLORREF>(value);
  return result;
}

void CDib::SetBit(int x, int y, unsigned char index) {
  if (BitsPerPixel() != 8 || !GetBits() || x < 0 || y < 0 || x >= Width() || y >= Height())
    return;
  *GetPixelAddress(x, y) = index;
}

void CDib::SetBits(int index) {
  if (GetBits()) std::memset(GetBits(), index & 0xFF, ImageSize());
}

int CDib::HitTest(CPoint p, int index) {
  unsigned char here = 0;
  return GetPixel(p.x, p.y, here) && here != static_cast<unsigned char>(index) ? 1 : 0;
}

int CDib::HitTest(CPoint p, unsigned long colour) {
  unsigned long here = 0;
  return GetPixel(p.x, p.y, here) && here != (colour & 0xFFFFFF) ? 1 : 0;
}

int CDib::CopyBits(CDib* dest, int sx, int sy, int w, int h, int dx, int dy,
                   unsigned char transparent) {
  if (!dest || BitsPerPixel() != 8 || dest->BitsPerPixel() != 8 || !GetBits() || !dest->GetBits())
    return 0;
  std::int64_t x0 = sx, y0 = sy, x1 = dx, y1 = dy;
  std::int64_t bw = w == 0 ? Width() - x0 : w;
  std::int64_t bh = h == 0 ? Height() - y0 : h;
  // Cut the block where it starts before either image...
  std::int64_t cutLeft = std::max({std::int64_t(0), -x0, -x1});
  std::int64_t cutTop = std::max({std::int64_t(0), -y0, -y1});
  x0 += cutLeft; x1 += cutLeft; bw -= cutLeft;
  y0 += cutTop; y1 += cutTop; bh -= cutTop;
  // ...and where it runs past the right or bottom of either.
  bw = std::min({bw, Width() - x0, dest->Width() - x1});
  bh = std::min({bh, Height() - y0, dest->Height() - y1});
  if (bw <= 0 || bh <= 0) return 0;

  for (std::int64_t row = 0; row < bh; ++row) {
    const BYTE* from = GetPixelAddress(int(x0), int(y0 + row));
    BYTE* to = dest->GetPixelAddress(int(x1), int(y1 + row));
    if (transparent == 0) {
      std::memmove(to, from, std::size_t(bw));
      continue;
    }
    for (std::int64_t i = 0; i < bw; ++i)
      if (from[i] != transparent) to[i] = from[i];
  }
  return 1;
}

int CDib::Copy(CDib& src, CRect& r) {
  if (&src == this || src.BitsPerPixel() != 8) return 0;
  CDib part;
  if (HasEntries(src.m_palette)) {
    if (!part.Create(src.m_palette, r.Width(), r.Height(), 254)) return 0;
  } else {
    CBitmap fresh;
    if (!fresh.CreateDIBSection(r.Width(), r.Height(), 8, src.ColorTable(), src.ColorTableSize()))
      return 0;
    std::memset(fresh.Bits(), 254, fresh.ImageSize());
    part.AdoptImage(fresh);
  }
  src.CopyBits(&part, r.left, r.top, r.Width(), r.Height(), 0, 0, 0);
  CPalette* pal = src.m_palette;
  AdoptImage(part);
  m_palette = pal;
  return 1;
}

void CDib::Draw(CDC* dc, CPoint at, CRect* part) {
  if (!dc || !GetBits()) return;
  CRect source = part ? *part : CRect(0, 0, Width(), Height());
  CDC memory;
  memory.CreateCompatibleDC(dc);
  CBitmap* oldBitmap = memory.SelectObject(static_cast<CBitmap*>(this));
  CPalette* oldPalette = nullptr;
  if (m_palette) {
    oldPalette = dc->SelectPalette(m_palette, FALSE);
    dc->RealizePalette();
  }
  dc->BitBlt(at.x, at.y, source.Width(), source.Height(), &memory, source.left, source.top,
             SRCCOPY);
  if (m_palette) dc->SelectPalette(oldPalette, TRUE);
  memory.SelectObject(oldBitmap);
}

void CDib::Draw(CDC* dc, CPoint at, int w, int h) {
  CRect part(0, 0, w, h);
  Draw(dc, at, &part);
}

void CDib::Draw3DRect(CDC* dc, int x, int y, int w, int h, int raised, unsigned long c1,
                      unsigned long c2) {
  if (!dc) return;
  CPen light(PS_SOLID, 1, static_cast<COLORREF>(raised ? c1 : c2));
  CPen dark(PS_SOLID, 1, static_cast<COLORREF>(raised ? c2 : c1));
  CPen* old = dc->SelectObject(&light);
  dc->MoveTo(x, y + h - 2);
  dc->LineTo(x, y);
  dc->LineTo(x + w - 2, y);
  dc->SelectObject(&dark);
  dc->MoveTo(x + w - 1, y);
  dc->LineTo(x + w - 1, y + h - 1);
  dc->LineTo(x, y + h - 1);
  dc->SelectObject(old);
}

void CDib::Draw3DRect(CDC* dc, CRect& r, int raised, unsigned long c1, unsigned long c2) {
  Draw3DRect(dc, r.left, r.top, r.Width(), r.Height(), raised, c1, c2);
}

void CDib::Draw3DRect(CDC* dc, CPoint p, int w, int h, int raised, unsigned long c1,
                      unsigned long c2) {
  Draw3DRect(dc, p.x, p.y, w, h, raised, c1, c2);
}

void CDib::Tile(CDC* dc, CRect& r) {
  if (!dc || !GetBits() || Width() <= 0 || Height() <= 0) return;
  CDC memory;
  memory.CreateCompatibleDC(dc);
  CBitmap* oldBitmap = memory.SelectObject(static_cast<CBitmap*>(this));
  CPalette* oldPalette = nullptr;
  if (m_palette) {
    oldPalette = dc->SelectPalette(m_palette, FALSE);
    dc->RealizePalette();
  }
  for (int y = 0; y < r.Height(); y += Height())
    for (int x = 0; x < r.Width(); x += Width())
      dc->BitBlt(x, y, Width(), Height(), &memory, 0, 0, SRCCOPY);
  if (m_palette) dc->SelectPalette(oldPalette, TRUE);
  memory.SelectObject(oldBitmap);
}

void CDib::Tile(CDC* dc, CWnd* wnd) {
  if (!wnd) return;
  CRect client;
  wnd->GetClientRect(&client);
  Tile(dc, client);
}

CDC* CDib::GetMemDC(CDC* reference) {
  auto* dc = new CDC;
  dc->CreateCompatibleDC(reference);
  dc->SaveDC();
  dc->SelectObject(static_cast<CBitmap*>(this));
  if (m_palette) {
    dc->SelectPalette(m_palette, FALSE);
    dc->RealizePalette();
  }
  return dc;
}

void CDib::ReleaseMemDC(CDC* dc) {
  if (!dc) return;
  dc->RestoreDC(-1);
  delete dc;
}

int CDib::MapColorsToPalette(CPalette* pal, int setPalette) {
  if (BitsPerPixel() != 8 || !GetBits() || !HasEntries(pal)) return 0;
  BYTE map[256];
  for (int i = 0; i < 256; ++i) map[i] = static_cast<BYTE>(pal->GetNearestPaletteIndex(TableColor(i)));
  BYTE* bits = GetBits();
  for (std::size_t i = 0, n = ImageSize(); i < n; ++i) bits[i] = map[bits[i]];

  RGBQUAD table[256] = {};
  for (int i = 0; i < pal->GetEntryCount() && i < 256; ++i) {
    const PALETTEENTRY& e = pal->Entries()[i];
    table[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
  }
  SetColorTable(0, 256, table);
  m_info.reset();
  if (setPalette) m_palette = pal;
  return 1;
}

int CDib::ConvertTo256Colors(CPalette& pal) {
  if (!HasEntries(&pal) || !GetBits()) return 0;
  int depth = BitsPerPixel();
  if (depth == 8) return MapColorsToPalette(&pal, 1);
  if (depth != 4 && depth != 24) return 0;

  CDib converted;
  if (!converted.Create(&pal, Width(), Height(), 254)) return 0;
  BYTE nibbleMap[16];
  if (depth == 4)
    for (int i = 0; i < 16; ++i) nibbleMap[i] = BYTE(pal.GetNearestPaletteIndex(TableColor(i)));
  for (int y = 0; y < Height(); ++y) {
    const BYTE* from = GetPixelAddress(0, y);
    BYTE* to = converted.GetPixelAddress(0, y);
    for (int x = 0; x < Width(); ++x) {
      if (depth == 4) {
        BYTE pair = from[x / 2];
        to[x] = nibbleMap[x & 1 ? pair & 0x0F : pair >> 4];
      } else {
        to[x] = BYTE(pal.GetNearestPaletteIndex(RGB(from[3 * x + 2], from[3 * x + 1], from[3 * x])));
      }
    }
  }
  AdoptImage(converted);
  m_palette = &pal;
  return 1;
}

int CDib::CreatePalette(CPalette& pal, int setPalette) {
  if (!ColorTable() || ColorTableSize() == 0) return 0;
  PALETTEENTRY entries[256];
  int count = std::min(ColorTableSize(), 256);
  for (int i = 0; i < count; ++i) {
    const RGBQUAD& q = ColorTable()[i];
    entries[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
  }
  pal.DeleteObject();
  if (!pal.CreatePalette(entries, count)) return 0;
  if (setPalette) m_palette = &pal;
  return 1;
}

BITMAPINFO* CDib::GetBitmapInfo() {
  if (!m_info) m_info = std::make_unique<BITMAPINFO>();
  BITMAPINFOHEADER& h = m_info->bmiHeader;
  h = BITMAPINFOHEADER{};
  h.biWidth = Width();
  h.biHeight = Height();
  h.biBitCount = static_cast<WORD>(BitsPerPixel());
  for (auto& q : m_info->bmiColors) q = RGBQUAD{};
  GetColorTable(0, 256, m_info->bmiColors);
  return m_info.get();
}

std::vector<BYTE> CDib::EncodeBmp() const {
  std::vector<BYTE> out;
  if (!Bits()) return out;
  AppendBmpFile(out, Width(), Height(), BitsPerPixel(), ColorTable(), ColorTableSize(), Bits());
  return out;
}

void CDib::Write(CUBuffer& buffer) {
  std::vector<BYTE> bytes = EncodeBmp();
  if (!bytes.empty()) buffer.Write(bytes.data(), static_cast<int>(bytes.size()));
}

int CDib::Save(char const* path) {
  if (!path || !*path) return 0;
  std::vector<BYTE> bytes = EncodeBmp();
  if (bytes.empty()) return 0;
  return ReplaceFile(path, bytes) ? 1 : 0;
}

int CDib::CreateRegion(CRgn& rgn, int index) {
  if (BitsPerPixel() != 8 || !GetBits()) return 0;
  // Runs of wanted pixels, row by row; a run that repeats on the next row grows downwards, so
  // plain shapes become a few tall rectangles instead of one per row.
  std::vector<RECT> rects;
  std::map<std::pair<int, int>, int> open, stillOpen;  // (left, right) -> top
  for (int y = 0; y <= Height(); ++y) {
    stillOpen.clear();
    if (y < Height()) {
      const BYTE* row = GetPixelAddress(0, y);
      for (int x = 0; x < Width();) {
        if (row[x] == BYTE(index)) { ++x; continue; }
        int start = x;
        while (x < Width() && row[x] != BYTE(index)) ++x;
        auto it = open.find({start, x});
        stillOpen[{start, x}] = it == open.end() ? y : it->second;
      }
    }
    for (const auto& [span, top] : open)
      if (!stillOpen.count(span)) rects.push_back(RECT{span.first, top, span.second, y});
    open.swap(stillOpen);
  }
  if (rects.empty()) return rgn.CreateRectRgn(0, 0, 0, 0) ? 1 : 0;
  std::vector<POINT> points;
  std::vector<int> counts(rects.size(), 4);
  points.reserve(rects.size() * 4);
  for (const RECT& r : rects) {
    points.push_back(POINT{r.left, r.top});
    points.push_back(POINT{r.right, r.top});
    points.push_back(POINT{r.right, r.bottom});
    points.push_back(POINT{r.left, r.bottom});
  }
  return rgn.CreatePolyPolygonRgn(points.data(), counts.data(), int(counts.size()), WINDING) ? 1 : 0;
}

int CDib::FillRGBArrays(unsigned char* r, unsigned char* g, unsigned char* b) {
  int depth = BitsPerPixel();
  if (!GetBits() || !r || !g || !b || (depth != 4 && depth != 8 && depth != 24)) return 0;
  std::size_t i = 0;
  for (int row = 0; row < Height(); ++row) {
    const BYTE* p = GetBits() + std::size_t(StorageWidth()) * row;
    for (int x = 0; x < Width(); ++x, ++i) {
      COLORREF c = depth == 24 ? RGB(p[3 * x + 2], p[3 * x + 1], p[3 * x])
                   : depth == 8 ? TableColor(p[x])
                                : TableColor(x & 1 ? p[x / 2] & 0x0F : p[x / 2] >> 4);
      r[i] = GetRValue(c);
      g[i] = GetGValue(c);
      b[i] = GetBValue(c);
    }
  }
  return 1;
}
