// CQuantizer: builds a 256-colour palette for a set of images. Some entries may be fixed in
// advance (the 16 standard colours, colours added by hand); the rest are chosen from an
// image's colours with Wu's variance-based cut of the RGB cube.
#pragma once

#include <platform/types.h>

#include <cstddef>
#include <vector>

class CDib;
class CPalette;

// Up to maxColors representative colours of the n pixels given as red, green and blue arrays:
// the RGB cube (5 bits per channel) is cut greedily where the variance drops most, and each
// box gives the mean of its pixels. Fewer colours come back when no box can be cut further.
std::vector<PALETTEENTRY> WuQuantize(const BYTE* red, const BYTE* green, const BYTE* blue,
                                     std::size_t n, int maxColors);

class CQuantizer {
 public:
  // With reserveStandard, entries 0-7 and 248-255 hold the 16 standard colours and only
  // 8..247 are chosen; otherwise all 256 are.
  explicit CQuantizer(int reserveStandard = 1);
  virtual ~CQuantizer() = default;

  // Puts a colour in the next free entry; ignored once every entry is taken.
  void AddColor(int r, int g, int b);
  void AddColor(unsigned long colour);  // 0x00BBGGRR

  // Fills the remaining entries from the image's colours, then makes pal from all 256.
  // 0 when the image has no pixels of a depth we can read, or the palette cannot be made.
  int Quantize(CDib& dib, CPalette& pal);
  // The same from pixel colours given directly; returns how many entries were filled.
  // A chosen colour never repeats a standard colour of 248..255 exactly, so that those are
  // always found at their own index (frames keep their transparent and ink indices).
  int QuantizeRGB(const BYTE* red, const BYTE* green, const BYTE* blue, std::size_t n);
  // Fills the entries still free with colours spread evenly over the RGB cube (a 6x6x6 grid,
  // then greys), for a palette that has no picture to learn from; returns how many.
  int FillEvenly();
  // Replaces pal by a logical palette of all 256 entries.
  int CreatePalette(CPalette& pal);

  const PALETTEENTRY* GetEntries() const { return m_palette; }
  int FirstFree() const { return m_firstFree; }
  int RemainingEntries() const { return m_toFill; }

 private:
  bool RepeatsTopColour(const PALETTEENTRY& e) const;
  // Puts a chosen colour at index, moved off any standard colour of 248..255 it equals.
  void PutChosen(int index, PALETTEENTRY e);

  PALETTEENTRY m_palette[256];
  bool m_reserved = false;
  int m_firstFree = 0;
  int m_toFill = 256;
};
