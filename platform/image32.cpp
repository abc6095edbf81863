#include <platform/image32.h>

#include <platform/bitmap.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

RECT ClipTo(const RECT& r, int width, int height) {
  return RECT{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width),
              std::min<LONG>(r.bottom, height)};
}

}  // namespace

bool CImage32::Resize(int width, int height) {
  if (width <= 0 || height <= 0) {
    m_pixels.clear();
    m_width = m_height = 0;
    return width == 0 || height == 0;
  }
  try {
    m_pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  } catch (const std::bad_alloc&) {
    m_pixels.clear();
    m_width = m_height = 0;
    return false;
  }
  m_width = width;
  m_height = height;
  return true;
}

COLORREF CImage32::ColorAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  const std::uint32_t p = At(x, y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void CImage32::Fill(std::uint32_t value) { std::fill(m_pixels.begin(), m_pixels.end(), value); }

void CImage32::FillRect(const RECT& r, std::uint32_t value) {
  const RECT c = ClipTo(r, m_width, m_height);
  for (LONG y = c.top; y < c.bottom; ++y) std::fill(Row(y) + c.left, Row(y) + c.right, value);
}

void CImage32::CopyFrom(const CBitmap& indexed, const RECT& r) {
  if (indexed.BitsPerPixel() != 8 || !indexed.ColorTable()) return;
  const RECT c = ClipTo(ClipTo(r, m_width, m_height), indexed.Width(), indexed.Height());
  std::uint32_t lookup[256] = {};
  const RGBQUAD* table = indexed.ColorTable();
  const int entries = std::min(indexed.ColorTableSize(), 256);
  for (int i = 0; i < entries; ++i)
    lookup[i] = (std::uint32_t(table[i].rgbRed) << 16) | (std::uint32_t(table[i].rgbGreen) << 8) | table[i].rgbBlue;
  for (LONG y = c.top; y < c.bottom; ++y) {
    const BYTE* from = indexed.RowAddress(y);
    std::uint32_t* to = Row(y);
    for (LONG x = c.left; x < c.right; ++x) to[x] = lookup[from[x]];
  }
}

void CImage32::CopyFrom(const CImage32& other, const RECT& r) {
  if (other.m_width != m_width || other.m_height != m_height) return;
  const RECT c = ClipTo(r, m_width, m_height);
  if (c.right <= c.left) return;
  for (LONG y = c.top; y < c.bottom; ++y)
    std::memcpy(Row(y) + c.left, other.Row(y) + c.left, sizeof(std::uint32_t) * (c.right - c.left));
}
