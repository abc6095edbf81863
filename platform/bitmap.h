// CBitmap: a device-independent bitmap section whose pixels live in ordinary memory.
// Rows are stored bottom-up (the first row in memory is the bottom row of the image) and each
// row is padded to a multiple of 4 bytes. Depths 1, 4 and 8 carry a colour table of up to
// 2^depth entries; 24 bits are blue, green, red per pixel; 32 bits are blue, green, red, unused.
#pragma once

#include <platform/gdiobj.h>
#include <platform/palette.h>
#include <platform/types.h>

#include <cstdint>
#include <vector>

class CDC;

class CBitmap : public CGdiObject {
 public:
  CBitmap() = default;
  ~CBitmap() override { ReleaseUsers(); }

  // Makes new pixel memory, filled with zero bytes, replacing the old one (which is freed).
  // colours may be null (a black table); count is cut to the depth's table size. 0 when the
  // size or depth is invalid (width and height 1..32767, depth 1, 4, 8, 24 or 32); then the
  // bitmap is left as it was.
  BOOL CreateDIBSection(int width, int height, int bitsPerPixel, const RGBQUAD* colours = nullptr,
                        int colourCount = 0);
  // Same, with the colour table taken from a palette's first entries.
  BOOL CreateDIBSection(int width, int height, int bitsPerPixel, const CPalette* palette);
  // A bitmap like the one selected into dc (depth and colour table); 32 bits when dc has none.
  virtual BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  // Frees the pixel memory and the colour table; the bitmap no longer has a handle.
  BOOL DeleteObject() override;

  // Takes over the other bitmap's pixels and colour table; the other is left empty.
  void Adopt(CBitmap& other);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int BitsPerPixel() const { return m_bpp; }
  // Bytes per pixel row, a multiple of 4.
  int Stride() const { return m_stride; }
  std::size_t ImageSize() const { return m_pixels.size(); }
  BYTE* Bits() { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  const BYTE* Bits() const { return m_pixels.empty() ? nullptr : m_pixels.data(); }
  // First byte of row y, counted from the top; null outside the bitmap.
  BYTE* RowAddress(int y);
  const BYTE* RowAddress(int y) const;
  int GetBitmap(BITMAP* out) const;

  // Colour table (depths 1, 4, 8). Writes go through SetColorTable so colour matching stays right.
  int ColorTableSize() const { return static_cast<int>(m_colours.size()); }
  const RGBQUAD* ColorTable() const { return m_colours.empty() ? nullptr : m_colours.data(); }
  // Replaces entries start..start+count-1, cut to the table; returns how many changed.
  UINT SetColorTable(UINT start, UINT count, const RGBQUAD* colours);
  UINT GetColorTable(UINT start, UINT count, RGBQUAD* out) const;
  // Bumped whenever the pixel memory or the colour table is replaced or changed through here.
  std::uint32_t Version() const { return m_version; }

  // Colour of a pixel (x, y from the top) as 0x00BBGGRR; CLR_INVALID outside the bitmap.
  COLORREF PixelColor(int x, int y) const;
  // Raw pixel value: the index at depths 1, 4 and 8, 0x00RRGGBB at 24 and 32 bits.
  std::uint32_t PixelValue(int x, int y) const;
  // What a colour is stored as: the nearest colour-table index at depths 1..8 (a PALETTEINDEX
  // colour is taken as that index), 0x00RRGGBB at 24 and 32 bits.
  std::uint32_t ValueForColor(COLORREF colour) const;
  // Colour of a raw pixel value.
  COLORREF ColorOfValue(std::uint32_t value) const;
  // Stores a raw value; points outside are ignored.
  void SetPixelValue(int x, int y, std::uint32_t value);
  // Stores value in pixels x0..x1-1 of row y (from the top); the range must lie inside.
  void FillRow(int y, int x0, int x1, std::uint32_t value);

 private:
  int m_width = 0;
  int m_height = 0;
  int m_bpp = 0;
  int m_stride = 0;
  std::vector<BYTE> m_pixels;
  std::vector<RGBQUAD> m_colours;
  CColorMatcher m_matcher;
  std::uint32_t m_version = 0;
  void RebuildMatcher();
};
