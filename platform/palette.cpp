#include <platform/palette.h>

#include <algorithm>
#include <cstring>

namespace {

std::size_t CacheSlot(COLORREF colour, std::size_t size) {
  return ((colour & 0xFFFFFFu) * 2654435761u >> 20) & (size - 1);
}

}  // namespace

void CColorMatcher::Clear() {
  m_cacheKey.fill(0xFFFFFFFFu);
  m_cacheIndex.fill(-1);
}

void CColorMatcher::SetColors(const BYTE (*rgb)[3], int count) {
  m_count = std::clamp(count, 0, 256);
  for (int i = 0; i < m_count; ++i) m_rgb[i] = {rgb[i][0], rgb[i][1], rgb[i][2]};
  Clear();
}

int CColorMatcher::Search(COLORREF colour) const {
  const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  int best = -1;
  int bestDistance = 0x7FFFFFFF;
  for (int i = 0; i < m_count; ++i) {
    const int dr = m_rgb[i][0] - r, dg = m_rgb[i][1] - g, db = m_rgb[i][2] - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
      if (d == 0) break;
    }
  }
  return best;
}

int CColorMatcher::Nearest(COLORREF colour) const {
  if (m_count == 0) return -1;
  colour &= 0xFFFFFFu;
  const std::size_t slot = CacheSlot(colour, kCacheSize);
  if (m_cacheKey[slot] == colour) return m_cacheIndex[slot];
  const int index = Search(colour);
  m_cacheKey[slot] = colour;
  m_cacheIndex[slot] = static_cast<std::int16_t>(index);
  return index;
}

BOOL CPalette::CreatePalette(const LOGPALETTE* lp) {
  if (!lp) return FALSE;
  return CreatePalette(lp->palPalEntry, lp->palNumEntries);
}

BOOL CPalette::CreatePalette(const PALETTEENTRY* entries, int count) {
  if (!entries || count <= 0) return FALSE;
  m_count = std::min(count, 256);
  m_entries.fill(PALETTEENTRY{});
  std::copy(entries, entries + m_count, m_entries.begin());
  MarkCreated(true);
  Changed();
  return TRUE;
}

BOOL CPalette::DeleteObject() {
  if (!GetSafeHandle() || IsStock()) return FALSE;
  m_count = 0;
  m_entries.fill(PALETTEENTRY{});
  Changed();
  return CGdiObject::DeleteObject();
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const {
  if (!out || start >= static_cast<UINT>(m_count)) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(m_count) - start);
  std::copy(m_entries.begin() + start, m_entries.begin() + start + n, out);
  return n;
}

UINT CPalette::SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* in) {
  if (!in || start >= static_cast<UINT>(m_count)) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(m_count) - start);
  std::copy(in, in + n, m_entries.begin() + start);
  Changed();
  return n;
}

BOOL CPalette::ResizePalette(UINT count) {
  if (!GetSafeHandle() || count < 1 || count > 256) return FALSE;
  for (UINT i = count; i < 256; ++i) m_entries[i] = PALETTEENTRY{};
  m_count = static_cast<int>(count);
  Changed();
  return TRUE;
}

UINT CPalette::GetNearestPaletteIndex(COLORREF colour) const {
  if (m_count == 0) return CLR_INVALID;
  if ((colour >> 24) == 1) {
    const UINT index = colour & 0xFFFF;
    return index < static_cast<UINT>(m_count) ? index : 0;
  }
  return static_cast<UINT>(m_matcher.Nearest(colour));
}

COLORREF CPalette::GetNearestColor(COLORREF colour) const {
  const UINT i = GetNearestPaletteIndex(colour);
  if (i == CLR_INVALID) return CLR_INVALID;
  return RGB(m_entries[i].peRed, m_entries[i].peGreen, m_entries[i].peBlue);
}

void CPalette::Changed() {
  BYTE rgb[256][3];
  for (int i = 0; i < m_count; ++i) {
    rgb[i][0] = m_entries[i].peRed;
    rgb[i][1] = m_entries[i].peGreen;
    rgb[i][2] = m_entries[i].peBlue;
  }
  m_matcher.SetColors(rgb, m_count);
  ++m_version;
}
