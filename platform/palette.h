// Logical palettes and the nearest-colour search that drawing into 8-bit bitmaps relies on.
#pragma once

#include <platform/gdiobj.h>
#include <platform/types.h>

#include <array>
#include <cstdint>

// Finds the nearest of up to 256 colours (squared RGB distance, the first of equals wins).
// Drawing asks millions of times, so answers are remembered until the colours change.
class CColorMatcher {
 public:
  CColorMatcher() { Clear(); }
  // Replaces the colours; count is clamped to 0..256. rgb holds red, green, blue per entry.
  void SetColors(const BYTE (*rgb)[3], int count);
  int Count() const { return m_count; }
  // Index of the nearest colour to 0x00BBGGRR (high byte ignored); -1 when there are no colours.
  int Nearest(COLORREF colour) const;

 private:
  void Clear();
  int Search(COLORREF colour) const;

  static constexpr int kCacheSize = 256;
  std::array<std::array<BYTE, 3>, 256> m_rgb{};
  int m_count = 0;
  // Direct-mapped cache: slot = hash of the colour; key 0xFFFFFFFF marks an empty slot.
  mutable std::array<std::uint32_t, kCacheSize> m_cacheKey{};
  mutable std::array<std::int16_t, kCacheSize> m_cacheIndex{};
};

class CPalette : public CGdiObject {
 public:
  CPalette() = default;
  ~CPalette() override { ReleaseUsers(); }
  // Up to 256 entries; more are ignored. Replaces any previous palette. 0 for none.
  BOOL CreatePalette(const LOGPALETTE* lp);
  BOOL CreatePalette(const PALETTEENTRY* entries, int count);
  BOOL DeleteObject() override;
  int GetEntryCount() const { return m_count; }
  // Copies entries start..start+count-1 (cut to the palette); returns how many were copied.
  UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const;
  UINT SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* in);
  // Changes the number of entries (new entries are black); 0 when count is outside 1..256.
  BOOL ResizePalette(UINT count);
  // Nearest entry to the colour; a PALETTEINDEX colour gives that index. CLR_INVALID without entries.
  UINT GetNearestPaletteIndex(COLORREF colour) const;
  COLORREF GetNearestColor(COLORREF colour) const;
  const PALETTEENTRY* Entries() const { return m_entries.data(); }
  // Bumped whenever an entry changes, so users can tell a stale copy.
  std::uint32_t Version() const { return m_version; }

 private:
  void Changed();

  std::array<PALETTEENTRY, 256> m_entries{};
  int m_count = 0;
  std::uint32_t m_version = 0;
  CColorMatcher m_matcher;
};
