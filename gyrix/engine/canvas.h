// An 8-bit image to paint a puzzle into away from any window: the puzzle's palette, the 16
// standard colours and a background colour, with a drawing context on it. The tool's
// pictures, the tests and the benchmarks paint through it.
#pragma once

#include <gyrix/engine/polymodel.h>

#include <lumex/dib.h>
#include <platform/palette.h>

#include <vector>

class CDC;

class CPuzzleCanvas {
 public:
  // A slate no puzzle palette uses.
  static constexpr COLORREF kBackground = 0x203040;

  CPuzzleCanvas(const CPolyModel& model, int width, int height, COLORREF background = kBackground);
  // For a picture of several puzzles: the colour table holds each colour of the list once (in
  // the order given), then the standard colours and the background where the list lacks them.
  // Colours beyond the 256 entries of the table are dropped and paint as the nearest one.
  CPuzzleCanvas(const std::vector<COLORREF>& colours, int width, int height, COLORREF background = kBackground);
  ~CPuzzleCanvas();
  CPuzzleCanvas(const CPuzzleCanvas&) = delete;
  CPuzzleCanvas& operator=(const CPuzzleCanvas&) = delete;

  // False when the image could not be made (a size beyond what memory holds).
  bool IsValid() const { return dc != nullptr; }
  void Clear();
  COLORREF At(int x, int y) { return dib.PixelColor(x, y); }
  bool IsBackground(int x, int y) { return At(x, y) == m_background; }
  // Polygons without the outline pen, for pixel-exact comparisons.
  void NoOutline();
  int GetBackgroundIndex() const { return m_backgroundIndex; }

  CPalette palette;
  CDib dib;
  CDC* dc = nullptr;

 private:
  COLORREF m_background;
  int m_backgroundIndex = 0;
};
