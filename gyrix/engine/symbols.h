// Symbols on facelets: a small black or white mark on every coloured facelet that tells its
// side colour by shape alone, for players who cannot tell the colours apart. Side colour 1
// wears the first shape, colour 2 the second, and so on. A symbol lies in its facelet's plane,
// inside it, built from the vertex list the facelet is painted from, so it turns with the
// facelet during a turn.
#pragma once

#include <lumex/coverage.h>
#include <platform/types.h>

#include <vector>

class CPolyModel;
class CFacelet;

// circle, square, triangle, cross, diamond, star, bar, ring, hourglass, frame.
constexpr int kSymbolShapes = 10;

// The shape's name; null outside 0..kSymbolShapes-1.
const char* GetSymbolName(int shape);
// The shape that marks a side colour (1 first); -1 for the inside colour 0 and below.
int GetSymbolShape(int colour);

// A shape as polygons in the unit disc, x along the facelet's longest edge and y across it.
// Polygons are filled with the alternate rule: a second loop inside the first is a hole.
struct SSymbolOutline {
  std::vector<double> x, y;  // every loop's points one after another
  std::vector<int> counts;   // the number of points of each loop
};
SSymbolOutline GetSymbolOutline(int shape);

// Black or white, whichever stands out more on the colour (the larger luminance contrast).
COLORREF GetSymbolInk(COLORREF colour);

// The facelet's symbol in client pixels, from the vertex list it is painted from: loops of
// points and their counts, as CDC::PolyPolygon takes them. False (nothing to draw) for the
// inside colour, a facelet too small or too steeply turned away for a readable mark, or one
// whose middle is not inside it.
// With exact, the same points before they are cut to whole pixels, for smooth edges.
bool ComputeFaceletSymbol(const CPolyModel& model, const CFacelet& facelet, int list, std::vector<POINT>& points,
                          std::vector<int>& counts, std::vector<PointF>* exact = nullptr);
