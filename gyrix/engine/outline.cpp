// Banded outlines over the painted puzzle.
#include <gyrix/engine/outline.h>

#include <gyrix/engine/puzzle.h>

#include <platform/dc.h>
#include <platform/gdiobj.h>

namespace {

void Outline(CDC* dc, const POINT* points, int count, COLORREF colour, int dx, int dy) {
  std::vector<POINT> shifted(points, points + count);
  for (POINT& p : shifted) p.x += dx, p.y += dy;
  CPen pen(PS_SOLID, 1, colour);
  CPen* previousPen = dc->SelectObject(&pen);
  dc->Polyline(shifted.data(), count);
  dc->MoveTo(shifted[count - 1]);
  dc->LineTo(shifted[0]);
  dc->SelectObject(previousPen);
}

}  // namespace

bool FaceletViewPoints(CPuzzle& puzzle, int id, std::vector<POINT>& points) {
  CFacelet* f = puzzle.GetFaceletById(id);
  if (!f || f->GetVertexCount() < 3 || !f->Project(kViewVertices)) return false;
  points.assign(f->GetPoints(), f->GetPoints() + f->GetVertexCount());
  return true;
}

void EdgedOutline(CDC* dc, const std::vector<POINT>& points, COLORREF colour) {
  if (points.size() < 2) return;
  const int n = static_cast<int>(points.size());
  Banded(colour, [&](COLORREF c, int dx, int dy) { Outline(dc, points.data(), n, c, dx, dy); });
}
