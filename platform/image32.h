// A 32-bit picture: one 0xAARRGGBB word per pixel, rows top-down. The top byte is free for
// whoever draws into it; presenting ignores it.
#pragma once

#include <platform/types.h>

#include <cstdint>
#include <vector>

class CBitmap;

class CImage32 {
 public:
  CImage32() = default;
  CImage32(int width, int height) { Resize(width, height); }

  // Resizes the picture; the pixels are undefined afterwards (0 when it grew from nothing).
  // False for a size memory cannot hold.
  bool Resize(int width, int height);
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool IsEmpty() const { return m_pixels.empty(); }
  std::uint32_t* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
  const std::uint32_t* Row(int y) const { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
  std::uint32_t At(int x, int y) const { return Row(y)[x]; }
  // The pixel as a COLORREF (0x00BBGGRR).
  COLORREF ColorAt(int x, int y) const;
  void Fill(std::uint32_t value);
  void FillRect(const RECT& r, std::uint32_t value);
  // The part r of an 8-bit bitmap (top-down coordinates) in its colours, written at the same
  // place here; r is clipped to both pictures.
  void CopyFrom(const CBitmap& indexed, const RECT& r);
  // The part r of another picture of the same size.
  void CopyFrom(const CImage32& other, const RECT& r);

  static std::uint32_t FromColorRef(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
  }

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<std::uint32_t> m_pixels;
};
