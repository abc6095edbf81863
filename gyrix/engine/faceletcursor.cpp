// The facelet cursor: visible facelets, the neighbour in a direction, and the marker.
#include <gyrix/engine/faceletcursor.h>

#include <gyrix/engine/outline.h>
#include <gyrix/engine/puzzle.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A neighbour lies within this many degrees either side of the direction.
constexpr double kConeDegrees = 55;
// Off the direction counts this much more than along it: the facelet straight ahead wins
// over a nearer one off to the side.
constexpr double kAcrossWeight = 1.5;
constexpr COLORREF kCursorLine = 0x00FFFF;  // yellow

struct Vector {
  double x, y;
};

Vector Unit(CFaceletCursor::EDirection d) {
  switch (d) {
    case CFaceletCursor::EDirection::Left: return {-1, 0};
    case CFaceletCursor::EDirection::Right: return {1, 0};
    case CFaceletCursor::EDirection::Up: return {0, -1};
    case CFaceletCursor::EDirection::Down: break;
  }
  return {0, 1};
}

// The middle of the facelet's painted outline (the mean of its corners).
Vector Middle(const POINT* points, int count) {
  Vector m{0, 0};
  for (int i = 0; i < count; ++i) m.x += points[i].x, m.y += points[i].y;
  return {m.x / count, m.y / count};
}

}  // namespace

std::vector<CFaceletCursor::Spot> CFaceletCursor::VisibleSpots(CPuzzle& puzzle) {
  // A facelet shows where the pointer would find it at its middle: facing the viewer, and no
  // nearer facelet over that pixel.
  std::vector<Spot> spots;
  for (int i = 0; i < puzzle.GetFaceletCount(); ++i) {
    CFacelet* f = puzzle.GetFacelet(i);
    if (!f || f->GetVertexCount() < 3 || !f->Project(kViewVertices)) continue;
    const Vector m = Middle(f->GetPoints(), f->GetVertexCount());
    const POINT pixel{static_cast<LONG>(std::lround(m.x)), static_cast<LONG>(std::lround(m.y))};
    const int id = f->GetId();
    if (puzzle.GetFaceletAt(pixel) == id) spots.push_back({id, static_cast<double>(pixel.x), static_cast<double>(pixel.y)});
  }
  return spots;
}

const CFaceletCursor::Spot* CFaceletCursor::Find(const std::vector<Spot>& spots, int id) {
  for (const Spot& s : spots)
    if (s.id == id) return &s;
  return nullptr;
}

std::vector<int> CFaceletCursor::Neighbours(const std::vector<Spot>& spots, int from, EDirection direction) {
  const Spot* start = Find(spots, from);
  if (!start) return {};
  const Vector u = Unit(direction);
  const double cone = std::tan(kConeDegrees * 3.14159265358979 / 180);
  std::vector<std::pair<double, int>> scored;
  for (const Spot& s : spots) {
    if (s.id == from) continue;
    const double dx = s.x - start->x, dy = s.y - start->y;
    const double along = dx * u.x + dy * u.y;
    const double across = std::abs(dx * u.y - dy * u.x);
    // Facelets whose middles meet (a puzzle's tiny or shared-centre facelets) do not count.
    if (along < 1 || across > along * cone) continue;
    scored.push_back({along + kAcrossWeight * across, s.id});
  }
  std::sort(scored.begin(), scored.end());
  std::vector<int> ids;
  for (const auto& s : scored) ids.push_back(s.second);
  return ids;
}

int CFaceletCursor::Neighbour(const std::vector<Spot>& spots, int from, EDirection direction) {
  const std::vector<int> ids = Neighbours(spots, from, direction);
  return ids.empty() ? -1 : ids.front();
}

int CFaceletCursor::TurnNeighbour(CPuzzle& puzzle, const std::vector<Spot>& spots, int from, EDirection direction) {
  for (int id : Neighbours(spots, from, direction))
    if (puzzle.MoveFromDrag(from, id) != 0) return id;
  return -1;
}

CFaceletCursor::EDirection CFaceletCursor::Opposite(EDirection d) {
  switch (d) {
    case EDirection::Left: return EDirection::Right;
    case EDirection::Right: return EDirection::Left;
    case EDirection::Up: return EDirection::Down;
    case EDirection::Down: break;
  }
  return EDirection::Up;
}

void CFaceletCursor::Place(const Spot& spot) {
  m_facelet = spot.id;
  m_x = spot.x;
  m_y = spot.y;
}

bool CFaceletCursor::Show(CPuzzle& puzzle) {
  const std::vector<Spot> spots = VisibleSpots(puzzle);
  if (spots.empty()) return Hide();
  const bool wasShown = m_shown;
  m_shown = true;
  if (const Spot* here = Find(spots, m_facelet)) {
    Place(*here);
    return !wasShown;
  }
  // The spot nearest the middle of what shows.
  double cx = 0, cy = 0;
  for (const Spot& s : spots) cx += s.x, cy += s.y;
  cx /= static_cast<double>(spots.size());
  cy /= static_cast<double>(spots.size());
  const Spot* nearest = &spots[0];
  for (const Spot& s : spots)
    if (std::hypot(s.x - cx, s.y - cy) < std::hypot(nearest->x - cx, nearest->y - cy)) nearest = &s;
  Place(*nearest);
  m_cameFrom = -1;
  return true;
}

bool CFaceletCursor::Hide() {
  const bool was = m_shown;
  m_shown = false;
  m_cameFrom = -1;
  return was;
}

int CFaceletCursor::Target(CPuzzle& puzzle, EDirection direction) const {
  if (!m_shown) return -1;
  const std::vector<Spot> spots = VisibleSpots(puzzle);
  if (m_cameFrom >= 0 && direction == Opposite(m_cameBy) && Find(spots, m_cameFrom) &&
      puzzle.MoveFromDrag(m_facelet, m_cameFrom) != 0)
    return m_cameFrom;
  return TurnNeighbour(puzzle, spots, m_facelet, direction);
}

bool CFaceletCursor::Move(CPuzzle& puzzle, EDirection direction) {
  if (!m_shown) return Show(puzzle);
  const std::vector<Spot> spots = VisibleSpots(puzzle);
  if (!Find(spots, m_facelet)) return Show(puzzle);
  int next = -1;
  if (m_cameFrom >= 0 && direction == Opposite(m_cameBy) && Find(spots, m_cameFrom)) next = m_cameFrom;
  else next = Neighbour(spots, m_facelet, direction);
  const Spot* to = Find(spots, next);
  if (!to) return false;
  m_cameFrom = m_facelet;
  m_cameBy = direction;
  Place(*to);
  return true;
}

bool CFaceletCursor::Follow(CPuzzle& puzzle) {
  if (!m_shown) return false;
  const std::vector<Spot> spots = VisibleSpots(puzzle);
  if (spots.empty()) return Hide();
  // The facelet now under the place the cursor had, else the one whose middle is nearest.
  const POINT place{static_cast<LONG>(std::lround(m_x)), static_cast<LONG>(std::lround(m_y))};
  const Spot* best = Find(spots, puzzle.GetFaceletAt(place));
  if (!best) {
    best = &spots[0];
    for (const Spot& s : spots)
      if (std::hypot(s.x - m_x, s.y - m_y) < std::hypot(best->x - m_x, best->y - m_y)) best = &s;
  }
  const int before = m_facelet;
  const double x = m_x, y = m_y;
  m_facelet = best->id;
  m_cameFrom = -1;
  // The place stays where the player put the cursor, so that a run of turns does not drift.
  m_x = x;
  m_y = y;
  return before != m_facelet;
}

void CFaceletCursor::Paint(CDC* dc, CPuzzle& puzzle) const {
  std::vector<POINT> points;
  if (!dc || !m_shown || !FaceletViewPoints(puzzle, m_facelet, points)) return;
  EdgedOutline(dc, points, kCursorLine);
  // A second outline inside the first, drawn toward the middle: the cursor is never taken
  // for the hover outline.
  const Vector m = Middle(points.data(), static_cast<int>(points.size()));
  std::vector<POINT> inner = points;
  for (POINT& p : inner) {
    const double dx = p.x - m.x, dy = p.y - m.y, length = std::hypot(dx, dy);
    if (length < 8) return;
    const double k = (length - 4) / length;
    p.x = static_cast<LONG>(std::lround(m.x + dx * k));
    p.y = static_cast<LONG>(std::lround(m.y + dy * k));
  }
  EdgedOutline(dc, inner, kCursorLine);
}
