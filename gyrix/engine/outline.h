// Marks drawn over a painted puzzle: a facelet's outline as last painted, and lines down the
// middle of a black band three pixels wide, which read on light and dark colours alike (a red
// one on a red facelet too) and stand apart from the puzzle's thin outlines.
#pragma once

#include <platform/types.h>

#include <vector>

class CDC;
class CPuzzle;

constexpr COLORREF kMarkEdge = 0x000000;

// The facelet's outline as it faces the viewer in the view as last painted; false for one
// turned away or unknown.
bool FaceletViewPoints(CPuzzle& puzzle, int id, std::vector<POINT>& points);

// Calls draw(colour, dx, dy) for the band's eight offsets in black, then for the line itself.
template <typename DrawFn>
void Banded(COLORREF colour, DrawFn draw) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (dx != 0 || dy != 0) draw(kMarkEdge, dx, dy);
  draw(colour, 0, 0);
}

// The closed outline through points, banded.
void EdgedOutline(CDC* dc, const std::vector<POINT>& points, COLORREF colour);
