// The facelet under the pointer, and turning a puzzle by dragging from one facelet to another.
#include <gyrix/engine/puzzle.h>

#include <platform/region.h>
#include <platform/wnd.h>

#include <algorithm>

namespace {

// The pixels a polygon fills have their centres inside its outline, hence inside the box of
// its points; points outside the box need no region.
bool InPointBox(const POINT* points, int count, POINT p) {
  int left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
  for (int i = 1; i < count; ++i) {
    left = std::min(left, points[i].x);
    right = std::max(right, points[i].x);
    top = std::min(top, points[i].y);
    bottom = std::max(bottom, points[i].y);
  }
  return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

}  // namespace

int CPolyModel::GetFaceletAt(POINT p) {
  // Last in painting order is nearest. The view is used as it stands, so the answer matches
  // what was painted last.
  for (int i = GetFaceletCount() - 1; i >= 0; --i) {
    CFacelet* f = GetFacelet(i);
    if (!f->Project(kViewVertices)) continue;
    const int count = f->GetVertexCount();
    if (!InPointBox(f->GetPoints(), count, p)) continue;
    CRgn region;
    region.CreatePolygonRgn(f->GetPoints(), count, WINDING);
    if (region.PtInRegion(p)) return f->GetId();
  }
  return -1;
}

// ---- CDragTurn ----

bool CDragTurn::Press(CPuzzle* puzzle, CWnd* wnd, POINT p) {
  m_from = -1;
  if (!puzzle || puzzle->IsBusy()) return false;
  m_from = puzzle->GetFaceletAt(p);
  if (m_from == -1) return false;
  if (wnd && wnd->GetSafeHwnd()) wnd->SetCapture();
  return true;
}

int CDragTurn::Release(CPuzzle* puzzle, CWnd* wnd, POINT q) {
  const bool live = wnd && wnd->GetSafeHwnd();
  // Only the window that took the capture on the press finishes a drag.
  if (live && CWnd::GetCapture() != wnd) {
    m_from = -1;
    return 0;
  }
  if (live) ReleaseCapture();
  const int from = m_from;
  m_from = -1;
  // A turn or a macro that began after the press has the puzzle: the drag ends without a turn.
  if (!puzzle || from == -1 || puzzle->IsBusy()) return 0;
  const int to = puzzle->GetFaceletAt(q);
  if (to == -1) return 0;
  const int move = puzzle->MoveFromDrag(from, to);
  if (move == 0 || !puzzle->StartMove(wnd, move)) return 0;
  // Merged, so dragging a layer straight back cancels in the history.
  puzzle->RecordMove(move, 0);
  return move;
}
