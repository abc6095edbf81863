// Polygon scan conversion shared by CDC::Polygon and CRgn, so that painting and hit testing
// agree pixel for pixel. A pixel (x, y) is inside when its centre (x + 0.5, y + 0.5) is inside
// the outline under the fill rule; a centre exactly on an edge belongs to the pixel only when
// the edge is the left side of a span. Two polygons sharing an edge therefore neither leave a
// gap nor paint a pixel twice. Crossings are computed exactly in integers.
#pragma once

#include <platform/types.h>

#include <vector>

namespace raster {

// A covered run of pixels [x0, x1) in row y.
struct Span {
  int y;
  int x0;
  int x1;
};

// Appends the spans of the polygons (counts[i] points each, closed implicitly) that fall
// inside clip, row by row from the top. fillMode is ALTERNATE or WINDING.
void FillSpans(const POINT* points, const int* counts, int polygons, int fillMode,
               const RECT& clip, std::vector<Span>& out);

// True when pixel (x, y) is covered, by the same rule as FillSpans.
bool CoversPixel(const POINT* points, const int* counts, int polygons, int fillMode, int x, int y);

// Bounding box of the pixels the polygons can cover (empty for none).
RECT Bounds(const POINT* points, const int* counts, int polygons);

}  // namespace raster
