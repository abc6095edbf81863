#include <platform/bitmap.h>

#include <platform/dc.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

bool ValidDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

int TableSizeFor(int bpp) { return bpp <= 8 ? 1 << bpp : 0; }

int StrideFor(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

// Version stamps are unique across all bitmaps, so a cache keyed on (bitmap, version) cannot
// mistake a new bitmap at a reused address for the old one.
std::uint32_t NextVersion() {
  static std::atomic<std::uint32_t> counter{0};
  return ++counter;
}

}  // namespace

BOOL CBitmap::CreateDIBSection(int width, int height, int bitsPerPixel, const RGBQUAD* colours,
                               int colourCount) {
  if (width < 1 || height < 1 || width > 32767 || height > 32767 || !ValidDepth(bitsPerPixel))
    return FALSE;
  const int stride = StrideFor(width, bitsPerPixel);
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height, 0);
  std::vector<RGBQUAD> table(TableSizeFor(bitsPerPixel));
  if (colours) {
    const int n = std::clamp(colourCount, 0, static_cast<int>(table.size()));
    std::copy(colours, colours + n, table.begin());
  }
  m_width = width;
  m_height = height;
  m_bpp = bitsPerPixel;
  m_stride = stride;
  m_pixels = std::move(pixels);
  m_colours = std::move(table);
  RebuildMatcher();
  MarkCreated(true);
  return TRUE;
}

BOOL CBitmap::CreateDIBSection(int width, int height, int bitsPerPixel, const CPalette* palette) {
  RGBQUAD table[256];
  int count = 0;
  if (palette) {
    count = palette->GetEntryCount();
    for (int i = 0; i < count; ++i) {
      const PALETTEENTRY& e = palette->Entries()[i];
      table[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
  }
  return CreateDIBSection(width, height, bitsPerPixel, table, count);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  const CBitmap* model = dc ? dc->GetCurrentBitmap() : nullptr;
  if (dc && !model) model = dc->GetSurface();
  if (!model || !model->GetSafeHandle()) return CreateDIBSection(width, height, 32);
  return CreateDIBSection(width, height, model->BitsPerPixel(), model->ColorTable(),
                          model->ColorTableSize());
}

BOOL CBitmap::DeleteObject() {
  if (!GetSafeHandle()) return FALSE;
  m_width = m_height = m_bpp = m_stride = 0;
  m_pixels.clear();
  m_pixels.shrink_to_fit();
  m_colours.clear();
  RebuildMatcher();
  return CGdiObject::DeleteObject();
}

void CBitmap::Adopt(CBitmap& other) {
  if (&other == this) return;
  m_width = other.m_width;
  m_height = other.m_height;
  m_bpp = other.m_bpp;
  m_stride = other.m_stride;
  m_pixels = std::move(other.m_pixels);
  m_colours = std::move(other.m_colours);
  const bool created = other.GetSafeHandle() != nullptr;
  other.m_pixels.clear();
  other.m_colours.clear();
  other.DeleteObject();
  other.m_width = other.m_height = other.m_bpp = other.m_stride = 0;
  other.RebuildMatcher();
  RebuildMatcher();
  MarkCreated(created);
}

BYTE* CBitmap::RowAddress(int y) {
  if (y < 0 || y >= m_height || m_pixels.empty()) return nullptr;
  return m_pixels.data() + static_cast<std::size_t>(m_stride) * (m_height - 1 - y);
}

const BYTE* CBitmap::RowAddress(int y) const {
  return const_cast<CBitmap*>(this)->RowAddress(y);
}

int CBitmap::GetBitmap(BITMAP* out) const {
  if (!out) return 0;
  *out = BITMAP{};
  if (!GetSafeHandle()) return 0;
  out->bmWidth = m_width;
  out->bmHeight = m_height;
  out->bmWidthBytes = m_stride;
  out->bmPlanes = 1;
  out->bmBitsPixel = static_cast<WORD>(m_bpp);
  out->bmBits = const_cast<BYTE*>(Bits());
  return static_cast<int>(sizeof(BITMAP));
}

UINT CBitmap::SetColorTable(UINT start, UINT count, const RGBQUAD* colours) {
  if (!colours || start >= m_colours.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(m_colours.size()) - start);
  std::copy(colours, colours + n, m_colours.begin() + start);
  RebuildMatcher();
  return n;
}

UINT CBitmap::GetColorTable(UINT start, UINT count, RGBQUAD* out) const {
  if (!out || start >= m_colours.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(m_colours.size()) - start);
  std::copy(m_colours.begin() + start, m_colours.begin() + start + n, out);
  return n;
}

void CBitmap::RebuildMatcher() {
  BYTE rgb[256][3];
  const int n = static_cast<int>(m_colours.size());
  for (int i = 0; i < n; ++i) {
    rgb[i][0] = m_colours[i].rgbRed;
    rgb[i][1] = m_colours[i].rgbGreen;
    rgb[i][2] = m_colours[i].rgbBlue;
  }
  m_matcher.SetColors(rgb, n);
  m_version = NextVersion();
}

std::uint32_t CBitmap::PixelValue(int x, int y) const {
  const BYTE* row = RowAddress(y);
  if (!row || x < 0 || x >= m_width) return 0;
  switch (m_bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    case 24: {
      const BYTE* p = row + 3 * x;
      return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    case 32: {
      const BYTE* p = row + 4 * x;
      return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    default: return 0;
  }
}

COLORREF CBitmap::ColorOfValue(std::uint32_t value) const {
  if (m_bpp <= 8) {
    if (value >= m_colours.size()) return 0;
    const RGBQUAD& q = m_colours[value];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

COLORREF CBitmap::PixelColor(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty()) return CLR_INVALID;
  return ColorOfValue(PixelValue(x, y));
}

std::uint32_t CBitmap::ValueForColor(COLORREF colour) const {
  if (m_bpp <= 8) {
    const int tableSize = static_cast<int>(m_colours.size());
    if ((colour >> 24) == 1) {
      const int index = static_cast<int>(colour & 0xFFFF);
      return index < tableSize ? static_cast<std::uint32_t>(index) : 0;
    }
    const int nearest = m_matcher.Nearest(colour);
    return nearest < 0 ? 0 : static_cast<std::uint32_t>(nearest);
  }
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

void CBitmap::SetPixelValue(int x, int y, std::uint32_t value) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty()) return;
  FillRow(y, x, x + 1, value);
}

void CBitmap::FillRow(int y, int x0, int x1, std::uint32_t value) {
  BYTE* row = RowAddress(y);
  if (!row) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, m_width);
  if (x0 >= x1) return;
  switch (m_bpp) {
    case 8:
      std::memset(row + x0, static_cast<int>(value & 0xFF), static_cast<std::size_t>(x1 - x0));
      break;
    case 32: {
      const std::uint32_t v = value & 0xFFFFFFu;
      BYTE* p = row + 4 * x0;
      for (int x = x0; x < x1; ++x, p += 4) std::memcpy(p, &v, 4);
      break;
    }
    case 24: {
      BYTE* p = row + 3 * x0;
      const BYTE b = value & 0xFF, g = (value >> 8) & 0xFF, r = (value >> 16) & 0xFF;
      for (int x = x0; x < x1; ++x, p += 3) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
      }
      break;
    }
    case 4:
      for (int x = x0; x < x1; ++x) {
        BYTE& byte = row[x >> 1];
        byte = (x & 1) ? static_cast<BYTE>((byte & 0xF0) | (value & 0x0F))
                       : static_cast<BYTE>((byte & 0x0F) | ((value & 0x0F) << 4));
      }
      break;
    case 1:
      for (int x = x0; x < x1; ++x) {
        const BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
        if (value & 1) row[x >> 3] |= mask;
        else row[x >> 3] &= static_cast<BYTE>(~mask);
      }
      break;
    default: break;
  }
}
