// CRgn: an area of pixels. A region made from polygons keeps its outline and answers point
// tests exactly as Polygon paints (a pixel is inside when its centre is inside the outline);
// rectangle regions and combinations are kept as bands of pixel runs.
#pragma once

#include <platform/gdiobj.h>
#include <platform/types.h>

#include <vector>

class CRgn : public CGdiObject {
 public:
  CRgn() = default;

  BOOL CreateRectRgn(int left, int top, int right, int bottom);
  BOOL CreateRectRgnIndirect(const RECT* r);
  // fillMode is ALTERNATE or WINDING. Fewer than 3 points make an empty region.
  BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode);
  BOOL CreatePolyPolygonRgn(const POINT* points, const int* counts, int polygons, int fillMode);
  BOOL DeleteObject() override;

  // Sets this region to a combination of a and b (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF; RGN_COPY
  // copies a). Either may be this region. Returns the kind of the result, or ERROR.
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  int CopyRgn(const CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
  int OffsetRgn(int dx, int dy);
  int OffsetRgn(POINT p) { return OffsetRgn(p.x, p.y); }

  BOOL PtInRegion(int x, int y) const;
  BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
  // Bounding rectangle; returns the region's kind (NULLREGION, SIMPLEREGION, COMPLEXREGION).
  int GetRgnBox(RECT* box) const;
  bool IsEmpty() const;
  BOOL EqualRgn(const CRgn* other) const;

  // The region as rectangles, top to bottom, left to right (no two overlap).
  std::vector<RECT> Rectangles() const;

  // A run of rows with the same pixel runs [left, right) in each.
  struct Band {
    int top = 0;
    int bottom = 0;
    std::vector<std::pair<int, int>> runs;
  };

 private:
  // The bands of the region; a polygon region is scan-converted into scratch (rows and
  // columns far outside any bitmap are dropped).
  const std::vector<Band>& BandsOf(std::vector<Band>& scratch) const;

  // Polygon form: the outline with its fill rule; used while no combination has happened.
  std::vector<POINT> m_points;
  std::vector<int> m_counts;
  int m_fillMode = ALTERNATE;
  bool m_isPolygon = false;
  std::vector<Band> m_bands;
};
