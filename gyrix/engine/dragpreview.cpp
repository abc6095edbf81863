// What a drag will do, kept between pointer moves and drawn over the puzzle.
#include <gyrix/engine/dragpreview.h>

#include <gyrix/engine/outline.h>
#include <gyrix/engine/puzzle.h>

#include <platform/dc.h>
#include <platform/gdiobj.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kLine = 0xFFFFFF;
constexpr COLORREF kRefused = 0x0000FF;  // red

// The distance from c to the nearest edge of the outline: the room for a mark inside it.
double RoomInside(const std::vector<POINT>& points, double cx, double cy) {
  double room = 1e9;
  const size_t n = points.size();
  for (size_t i = 0; i < n; ++i) {
    const POINT a = points[i], b = points[(i + 1) % n];
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    if (length > 0) room = std::min(room, std::abs((cx - a.x) * dy - (cy - a.y) * dx) / length);
  }
  return room;
}

// The outline with a cross in the middle: "no" without words.
void RefusalCue(CDC* dc, const std::vector<POINT>& points) {
  EdgedOutline(dc, points, kRefused);
  double cx = 0, cy = 0;
  for (const POINT& p : points) cx += p.x, cy += p.y;
  cx /= static_cast<double>(points.size());
  cy /= static_cast<double>(points.size());
  // The cross fits in the circle the facelet holds about its middle, less the band.
  const int arm = static_cast<int>((RoomInside(points, cx, cy) - 2) * 0.7);
  if (arm < 2) return;
  const int x = static_cast<int>(std::lround(cx)), y = static_cast<int>(std::lround(cy));
  Banded(kRefused, [&](COLORREF c, int dx, int dy) {
    CPen pen(PS_SOLID, 1, c);
    CPen* previousPen = dc->SelectObject(&pen);
    dc->MoveTo(x - arm + dx, y - arm + dy);
    dc->LineTo(x + arm + dx, y + arm + dy);
    dc->MoveTo(x - arm + dx, y + arm + dy);
    dc->LineTo(x + arm + dx, y - arm + dy);
    dc->SelectObject(previousPen);
  });
}

}  // namespace

void CDragPreview::SetEnabled(bool on) {
  m_enabled = on;
  if (!on) Forget();
}

bool CDragPreview::Hover(int facelet) {
  if (!m_enabled) return false;
  const EShown before = GetShown();
  const int hoveredBefore = m_hovered;
  m_hovered = facelet;
  m_from = -1;
  m_to = -1;
  m_turn = 0;
  m_turnFacelets.clear();
  return GetShown() != before || m_hovered != hoveredBefore;
}

bool CDragPreview::Drag(CPuzzle& puzzle, int from, int to) {
  if (!m_enabled) return false;
  if (from == m_from && to == m_to) return false;
  const int turnBefore = m_turn;
  const bool newPress = from != m_from;
  const std::vector<int> faceletsBefore = m_turnFacelets;
  m_from = from;
  m_to = to;
  m_hovered = -1;
  m_cueFacelet = -1;
  m_turn = (from >= 0 && to >= 0) ? puzzle.MoveFromDrag(from, to) : 0;
  if (m_turn != turnBefore || newPress) m_turnFacelets = m_turn ? puzzle.GetTurningFacelets(m_turn) : std::vector<int>();
  // A turn that changes nothing (a click the position does not allow) is no turn to the player.
  if (m_turnFacelets.empty()) m_turn = 0;
  return newPress || m_turn != turnBefore || m_turnFacelets != faceletsBefore;
}

bool CDragPreview::Release(bool turned) {
  if (!m_enabled || m_from < 0) return false;
  m_cueFacelet = turned ? -1 : m_from;
  m_from = -1;
  m_to = -1;
  m_turn = 0;
  m_turnFacelets.clear();
  return true;
}

bool CDragPreview::EndCue() {
  if (m_cueFacelet < 0) return false;
  m_cueFacelet = -1;
  return true;
}

bool CDragPreview::Forget() {
  const bool shown = GetShown() != EShown::Nothing || m_hovered >= 0;
  m_hovered = -1;
  m_from = -1;
  m_to = -1;
  m_turn = 0;
  m_turnFacelets.clear();
  m_cueFacelet = -1;
  return shown;
}

CDragPreview::EShown CDragPreview::GetShown() const {
  if (!m_enabled) return EShown::Nothing;
  if (m_cueFacelet >= 0) return EShown::Refused;
  if (m_from >= 0) return m_turn != 0 ? EShown::Turn : EShown::NoTurn;
  return m_hovered >= 0 ? EShown::Hover : EShown::Nothing;
}

void CDragPreview::Paint(CDC* dc, CPuzzle& puzzle) const {
  if (!dc) return;
  std::vector<POINT> points;
  switch (GetShown()) {
    case EShown::Nothing:
      return;
    case EShown::Hover:
      if (FaceletViewPoints(puzzle, m_hovered, points)) EdgedOutline(dc, points, kLine);
      return;
    case EShown::NoTurn:
      if (FaceletViewPoints(puzzle, m_from, points)) EdgedOutline(dc, points, kLine);
      return;
    case EShown::Turn:
      for (int id : m_turnFacelets)
        if (FaceletViewPoints(puzzle, id, points)) EdgedOutline(dc, points, kLine);
      return;
    case EShown::Refused:
      if (FaceletViewPoints(puzzle, m_cueFacelet, points)) RefusalCue(dc, points);
      return;
  }
}
