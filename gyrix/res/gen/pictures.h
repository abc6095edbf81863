// The pictures the generator makes, and how they become 8-bit bitmaps.
//
// Every picture shares one master palette, laid out as the game's shared palette is: the 16
// standard colours at 0-7 and 248-255, orange at 8, and the colours the pictures need at
// 9-247. The background tile carries every one of those colours in its pixels, so when the
// game builds its palette from the tile, each picture maps onto it without loss. Index 254,
// the standard cyan, is the transparent background and is used for nothing else.
#pragma once

#include "painter.h"

#include <lumex/dib.h>
#include <platform/palette.h>

#include <memory>
#include <string>
#include <vector>

constexpr int kTransparentIndex = 254;
constexpr int kClockInkIndex = 249;
constexpr COLORREF kOrange = 0x0080FF;

struct Picture {
  int id = 0;                // resource id; 0 for the tile, which is a file
  std::string file;          // name of the .bmp file written
  std::unique_ptr<CPainter> art;  // true-colour drawing, mapped onto the palette
  bool standardOnly = false; // drawn from the 16 standard colours only (the dialog faces)
  bool opaque = false;       // no transparent background
  std::vector<BYTE> indices; // already indexed (the clock digits), top row first
  int width = 0, height = 0;
};

class CMasterPalette {
 public:
  CMasterPalette();
  // Chooses colours 9..247: tileColours for the tile's own drawing, the rest from the pictures.
  void Build(const std::vector<const Picture*>& pictures, const CPainter& tileBase, int tileColours);
  CPalette& Palette() { return m_palette; }
  const PALETTEENTRY* Entries() const { return m_entries; }
  // Nearest entry; only entries first..last (inclusive) and the fixed ones when fixedToo.
  // The transparent cyan is a candidate only in pictures without a transparent background.
  int Nearest(Rgb c, int first, int last, bool fixedToo, bool cyanToo = false) const;
  int Nearest(Rgb c) const { return Nearest(c, 9, 247, true); }
  int TileFirst() const { return 9; }
  int TileLast() const { return 8 + m_tileCount; }
  int ArtFirst() const { return 9 + m_tileCount; }
  int ArtLast() const { return 8 + m_tileCount + m_artCount; }

 private:
  PALETTEENTRY m_entries[256] = {};
  int m_tileCount = 0;
  int m_artCount = 0;
  CPalette m_palette;
};

// The picture as an 8-bit image with the master palette.
bool ToDib(const Picture& picture, CMasterPalette& palette, CDib& out);
