#include "conformance.h"

#include "puzzle_test_util.h"

#include <cordak/urand.h>
#include <platform/dc.h>
#include <platform/wnd.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <sstream>

namespace {

constexpr int kMessagesKept = 12;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

int FullAngle(CPuzzle& p, int move) { return p.GetMoveStep(move) * p.GetMoveFrames(move); }

// The state a turn changes: colours by facelet id and the model vertices, exactly.
struct CState {
  std::vector<int> colours;
  std::vector<std::array<int, 3>> vertices;
  bool operator==(const CState& o) const { return colours == o.colours && vertices == o.vertices; }
};

CState StateOf(const CPuzzle& p) {
  CState s{ColoursById(p), {}};
  for (int i = 0; i < p.GetVertexCount(); ++i) {
    const CFixVector* v = p.GetVertex(i, kModelVertices);
    s.vertices.push_back({v->x, v->y, v->z});
  }
  return s;
}

// A turn made as the game makes it without a window: at once, refused when the puzzle says no.
bool MakeTurn(CPuzzle& p, int move) {
  if (!p.StartMove(nullptr, move)) return false;
  p.CompleteAllMoves(nullptr);
  return true;
}

// Whether a permutation turn moves every facelet (a turn of the whole puzzle).
bool IsWholeTurn(const CPuzzle& p, int k) {
  if (p.GetMove(k)->GetLength() == 0) return false;
  const std::uint32_t bit = 1u << CPuzzle::MaskBit(k);
  for (int id = 0; id < p.GetFaceletCount(); ++id)
    if (!(p.GetMoveMask(id) & bit)) return false;
  return true;
}

// Puzzles whose turns rotate the geometry in front of a cut rather than permute colours.
CPlaneCutPuzzle* AsPlaneCut(CPuzzle& p) { return dynamic_cast<CPlaneCutPuzzle*>(&p); }

// Whether a plane-cut puzzle refuses turn `move` in its position now.
bool IsRefusedNow(CPuzzle& p, int move) {
  CPlaneCutPuzzle* cut = AsPlaneCut(p);
  return cut && !cut->CanMove(move);
}

// A turn without a permutation made as the game makes it: every facelet its mask marks moves
// each corner by the turn's full rotation (then onto a resting place nearby), every other
// corner stays exactly where it was. The turn is undone afterwards.
void CheckTurnMovesItsMarkedPart(CPuzzle& p, int move, double tolerance, CFindings& out) {
  std::vector<std::vector<CFixVector>> before;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const CFacelet& f = *p.GetFaceletById(id);
    before.emplace_back();
    for (int i = 0; i < f.GetVertexCount(); ++i) before.back().push_back(*p.GetVertex(f.GetVertexIndex(i), kModelVertices));
  }
  CFixMatrix rotation;
  p.GetMoveRotation(rotation, move, FullAngle(p, move));
  if (!MakeTurn(p, move)) return;
  const std::uint32_t bit = 1u << CPuzzle::MaskBit(p.GetAnimatedMove(move));
  int moved = 0;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const CFacelet& f = *p.GetFaceletById(id);
    const bool marked = (p.GetMoveMask(id) & bit) != 0;
    moved += marked;
    for (int i = 0; i < f.GetVertexCount(); ++i) {
      const Vec3 expected = ToVec(marked ? rotation.Transform(before[id][i]) : before[id][i]);
      if (Length(Sub(VertexOf(p, f.GetVertexIndex(i)), expected)) > (marked ? tolerance : 0.0)) {
        out.Add(Format("turn %d leaves corner %d of facelet %d off where its %s shows it", move, i, id,
                       marked ? "rotation" : "standing still"));
        break;
      }
    }
  }
  if (moved == 0) out.Add(Format("turn %d moves no facelet", move));
  MakeTurn(p, -move);
}

// ---- polygon geometry in doubles ----

std::vector<Vec3> Corners(const CPuzzle& p, const CFacelet& f, int list) {
  std::vector<Vec3> corners;
  for (int i = 0; i < f.GetVertexCount(); ++i) {
    const Vec3 v = VertexOf(p, f.GetVertexIndex(i), list);
    if (corners.empty() || Length(Sub(v, corners.back())) > 1e-9) corners.push_back(v);
  }
  while (corners.size() > 1 && Length(Sub(corners.front(), corners.back())) <= 1e-9) corners.pop_back();
  return corners;
}

// Newell's normal: twice the area vector of the polygon.
Vec3 AreaNormal(const std::vector<Vec3>& c) {
  Vec3 n{0, 0, 0};
  for (size_t i = 0; i < c.size(); ++i) {
    const Vec3& a = c[i];
    const Vec3& b = c[(i + 1) % c.size()];
    n[0] += (a[1] - b[1]) * (a[2] + b[2]);
    n[1] += (a[2] - b[2]) * (a[0] + b[0]);
    n[2] += (a[0] - b[0]) * (a[1] + b[1]);
  }
  return n;
}

Vec3 Mean(const std::vector<Vec3>& c) {
  Vec3 m{0, 0, 0};
  for (const Vec3& v : c)
    for (int k = 0; k < 3; ++k) m[k] += v[k] / c.size();
  return m;
}

Vec3 Scaled(const Vec3& v, double s) { return {v[0] * s, v[1] * s, v[2] * s}; }
Vec3 Added(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

// Whether point c lies in the convex polygon q (in its plane, with unit normal n), edges
// included within eps.
bool InsideConvex(const std::vector<Vec3>& q, const Vec3& n, const Vec3& c, double eps) {
  for (size_t i = 0; i < q.size(); ++i) {
    const Vec3 edge = Sub(q[(i + 1) % q.size()], q[i]);
    if (Dot(Cross(edge, Sub(c, q[i])), n) < -eps * Length(edge)) return false;
  }
  return true;
}

// A facelet lying on another that faces the other way and covers its centre: a wall between
// two parts that touch (the layers of a puzzle whose turns change its shape). It faces into
// the neighbouring part, so it is not outwards, and a pair of walls is no surface to cross.
std::vector<bool> InnerWalls(const std::vector<std::vector<Vec3>>& polygons, double eps) {
  std::vector<bool> walls(polygons.size(), false);
  for (size_t f = 0; f < polygons.size(); ++f) {
    const Vec3 nf = AreaNormal(polygons[f]);
    if (polygons[f].size() < 3 || Length(nf) < 1e-12) continue;
    const Vec3 centre = Mean(polygons[f]);
    for (size_t g = 0; g < polygons.size() && !walls[f]; ++g) {
      const Vec3 ng = AreaNormal(polygons[g]);
      if (g == f || polygons[g].size() < 3 || Length(ng) < 1e-12) continue;
      const Vec3 n = Scaled(ng, 1 / Length(ng));
      walls[f] = Dot(nf, ng) < -0.999 * Length(nf) * Length(ng) &&
                 std::abs(Dot(Sub(centre, polygons[g][0]), n)) <= eps && InsideConvex(polygons[g], n, centre, eps);
    }
  }
  return walls;
}

// Whether the ray from o along d crosses the triangle (a, b, c) at a positive distance.
bool RayHitsTriangle(const Vec3& o, const Vec3& d, const Vec3& a, const Vec3& b, const Vec3& c) {
  const Vec3 e1 = Sub(b, a), e2 = Sub(c, a);
  const Vec3 h = Cross(d, e2);
  const double det = Dot(e1, h);
  if (std::abs(det) < 1e-14) return false;
  const Vec3 s = Sub(o, a);
  const double u = Dot(s, h) / det;
  if (u < 0 || u > 1) return false;
  const Vec3 q = Cross(s, e1);
  const double v = Dot(d, q) / det;
  if (v < 0 || u + v > 1) return false;
  return Dot(e2, q) / det > 1e-12;
}

// ---- the depth reference of a painted frame ----

// A polygon on the screen: corners in pixels (x right, y down) and depth (larger nearer).
struct CSurface {
  std::vector<Vec3> corners;
  int colourIndex;
};

Vec3 ScreenPoint(const CPuzzle& p, int vertex, int list) {
  const CFixVector* v = p.GetVertex(vertex, list);
  const POINT centre = p.GetCentre();
  if (!v) return {0, 0, 0};
  return {FixToDouble(v->x) + centre.x, FixToDouble(v->y) + centre.y, FixToDouble(v->z)};
}

CSurface SurfaceOf(const CPuzzle& p, const CFacelet& f, int list, int colourIndex) {
  CSurface s{{}, colourIndex};
  for (int i = 0; i < f.GetVertexCount(); ++i) s.corners.push_back(ScreenPoint(p, f.GetVertexIndex(i), list));
  return s;
}

// For every pixel: the nearest and second nearest depth of the surfaces that clearly cover
// it, the nearest one's colour, and the nearest depth of a surface whose edge passes within
// the margin (where the painter's rounding decides).
class CDepthReference {
 public:
  CDepthReference(int size, double margin) : m_size(size), m_margin(margin), m_cells(size * size) {}

  void Add(const CSurface& s) {
    const size_t n = s.corners.size();
    if (n < 3) return;
    double area = 0, left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
    for (size_t i = 0; i < n; ++i) {
      const Vec3& a = s.corners[i];
      const Vec3& b = s.corners[(i + 1) % n];
      area += a[0] * b[1] - b[0] * a[1];
      left = std::min(left, a[0]), right = std::max(right, a[0]);
      top = std::min(top, a[1]), bottom = std::max(bottom, a[1]);
    }
    if (std::abs(area) < 1e-6) return;  // edge-on: covers nothing
    Vec3 normal = AreaNormal(s.corners);
    const bool steep = std::abs(normal[2]) < 1e-6 * Length(normal);
    const Vec3 origin = s.corners[0];
    const int x0 = std::max(0, int(std::floor(left - m_margin)));
    const int x1 = std::min(m_size - 1, int(std::ceil(right + m_margin)));
    const int y0 = std::max(0, int(std::floor(top - m_margin)));
    const int y1 = std::min(m_size - 1, int(std::ceil(bottom + m_margin)));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        bool near = false, outside = false;
        for (size_t i = 0; i < n && !outside; ++i) {
          const Vec3& a = s.corners[i];
          const Vec3& b = s.corners[(i + 1) % n];
          const double ex = b[0] - a[0], ey = b[1] - a[1];
          const double length = std::sqrt(ex * ex + ey * ey);
          if (length < 1e-9) continue;
          const double side = (area > 0 ? 1 : -1) * (ex * (py - a[1]) - ey * (px - a[0])) / length;
          if (side < -m_margin) outside = true;
          if (side < m_margin) near = true;
        }
        if (outside) continue;
        Cell& cell = m_cells[y * m_size + x];
        const double depth =
            steep ? 1e300 : origin[2] - (normal[0] * (px - origin[0]) + normal[1] * (py - origin[1])) / normal[2];
        if (near) {
          cell.nearEdge = std::max(cell.nearEdge, depth);
        } else if (depth > cell.best) {
          cell.second = cell.best;
          cell.best = depth;
          cell.colour = s.colourIndex;
        } else {
          cell.second = std::max(cell.second, depth);
        }
      }
    }
  }

  // Pixels where a clearly nearest surface does not show: "wrong"; "checked" counts the
  // pixels that could be judged.
  void Compare(CPuzzleCanvas& canvas, const std::vector<COLORREF>& palette, int& wrong, int& checked, int& firstX,
               int& firstY) const {
    constexpr double kTie = 0.02;
    for (int y = 0; y < m_size; ++y) {
      for (int x = 0; x < m_size; ++x) {
        const Cell& c = m_cells[y * m_size + x];
        if (c.colour < 0 || c.best - c.second < kTie || c.nearEdge >= c.best - kTie) continue;
        ++checked;
        const COLORREF expected = c.colour < static_cast<int>(palette.size()) ? palette[c.colour] : 0;
        if (canvas.At(x, y) != expected) {
          if (!wrong) firstX = x, firstY = y;
          ++wrong;
        }
      }
    }
  }

 private:
  struct Cell {
    double best = -1e300;
    double second = -1e300;
    double nearEdge = -1e300;
    int colour = -1;
  };
  int m_size;
  double m_margin;
  std::vector<Cell> m_cells;
};

// Colours for the painting checks: index 0 the cut faces, then one per facelet (up to 200).
constexpr int kFaceletColours = 200;

std::vector<COLORREF> CheckPalette() {
  std::vector<COLORREF> palette{RGB(0, 0x41, 0x13)};
  for (int i = 1; i <= kFaceletColours; ++i) palette.push_back(RGB(i, 0x41, 0x13));
  return palette;
}

int ColourOfFacelet(int id) { return 1 + id % kFaceletColours; }

// The unit axis of a rotation (from its antisymmetric part; the angle must be below 180).
Vec3 RotationAxis(const CFixMatrix& m) {
  const double r[3][3] = {{FixToDouble(m.m[0][0]), FixToDouble(m.m[0][1]), FixToDouble(m.m[0][2])},
                          {FixToDouble(m.m[1][0]), FixToDouble(m.m[1][1]), FixToDouble(m.m[1][2])},
                          {FixToDouble(m.m[2][0]), FixToDouble(m.m[2][1]), FixToDouble(m.m[2][2])}};
  const Vec3 w{r[2][1] - r[1][2], r[0][2] - r[2][0], r[1][0] - r[0][1]};
  const double length = Length(w);
  return length < 1e-9 ? Vec3{0, 0, 0} : Scaled(w, 1 / length);
}

// While turn `move` runs: the facelets with the turn's mask bit are a slab along the turn's
// axis that no other facelet reaches into, and (once a frame has been painted) each cut face
// the turn paints lies, square to the axis, on one of the slab's two faces.
void CheckTurningPart(CPuzzle& p, int move, bool painted, CFindings& out) {
  const int k = p.GetAnimatedMove(move);
  if (k < 0) return;
  const std::uint32_t bit = 1u << CPuzzle::MaskBit(k);
  CFixMatrix small;
  p.GetMoveRotation(small, move, std::max(1, p.GetMoveStep(move)));
  const Vec3 axis = RotationAxis(small);
  if (Length(axis) == 0) {
    out.Add(Format("turn %d: its rotation has no axis", move));
    return;
  }
  // Turns spun about axes tilted by whole degrees miss the exact axis by a fraction of a
  // degree; the same 2 % of the radius as the rotation check absorbs that and nothing more.
  const double eps = 0.02 * ModelRadius(p);
  // The slab of the turning part along the axis, and the extent of the whole puzzle.
  double lo = 1e300, hi = -1e300, bottom = 1e300, top = -1e300;
  int moving = 0;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const bool turns = (p.GetMoveMask(id) & bit) != 0;
    moving += turns;
    const CFacelet& f = *p.GetFaceletById(id);
    for (int i = 0; i < f.GetVertexCount(); ++i) {
      const double t = Dot(VertexOf(p, f.GetVertexIndex(i)), axis);
      bottom = std::min(bottom, t), top = std::max(top, t);
      if (turns) lo = std::min(lo, t), hi = std::max(hi, t);
    }
  }
  if (moving == 0 || moving == p.GetFaceletCount()) return;  // nothing or the whole puzzle turns
  // A facelet that does not turn lies beyond a cut: below the slab where the puzzle goes on
  // below it, or above it where the puzzle goes on above it.
  const bool cutBelow = lo > bottom + eps;
  const bool cutAbove = hi < top - eps;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    if (p.GetMoveMask(id) & bit) continue;
    const CFacelet& f = *p.GetFaceletById(id);
    bool below = cutBelow, above = cutAbove;
    for (int i = 0; i < f.GetVertexCount(); ++i) {
      const double t = Dot(VertexOf(p, f.GetVertexIndex(i)), axis);
      below = below && t <= lo + eps;
      above = above && t >= hi - eps;
    }
    if (!below && !above && !painted)
      out.Add(Format("turn %d: facelet %d lies in the turning part but does not turn", move, id));
  }
  if (!painted) return;
  const CMove* turn = p.GetMove(k);
  for (int i = 0; i < turn->GetInsertCount(); ++i) {
    const CFacelet* inner = p.GetInnerFaceletAt(turn->GetInsert(i)->innerFacelet);
    if (!inner) continue;
    double tmin = 1e300, tmax = -1e300;
    for (int v = 0; v < inner->GetVertexCount(); ++v) {
      const double t = Dot(VertexOf(p, inner->GetVertexIndex(v)), axis);
      tmin = std::min(tmin, t), tmax = std::max(tmax, t);
    }
    const bool inCut = tmax - tmin <= eps && (std::abs(tmin - lo) <= eps || std::abs(tmax - hi) <= eps);
    if (!inCut) out.Add(Format("turn %d: cut face %d does not lie in the cut", move, turn->GetInsert(i)->innerFacelet));
  }
}

// The scene of the painting as it stands: every facelet from the list it is painted from, and,
// while a turn runs, each cut face it paints both turned and unturned (the one closes the
// turning part, the other the rest). Faces turned away count for closed surfaces: inside a
// closed part they are always behind a nearer face, and where one is nearest a cut is open.
CDepthReference ReferenceOf(CPuzzle& p, int move, CSurfaceKind surface, int size) {
  CDepthReference reference(size, 1.5);
  const int k = move != 0 ? p.GetAnimatedMove(move) : -1;
  const std::uint32_t bit = k >= 0 ? 1u << CPuzzle::MaskBit(k) : 0;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const CFacelet& f = *p.GetFaceletById(id);
    if (f.GetColour() < 0) continue;  // outlined only
    const int list = (p.GetMoveMask(id) & bit) ? kFrameVertices : kViewVertices;
    CSurface s = SurfaceOf(p, f, list, f.GetColour());
    if (surface != CSurfaceKind::kClosed) {
      const Vec3 n = AreaNormal(s.corners);
      if (n[2] <= 0) continue;  // an open surface seen from behind shows nothing
    }
    reference.Add(s);
  }
  if (k >= 0) {
    const CMove* turn = p.GetMove(k);
    for (int i = 0; i < turn->GetInsertCount(); ++i) {
      const CFacelet* inner = p.GetInnerFaceletAt(turn->GetInsert(i)->innerFacelet);
      if (!inner) continue;
      for (int list : {kViewVertices, kFrameVertices}) reference.Add(SurfaceOf(p, *inner, list, 0));
    }
  }
  return reference;
}

void ComparePainting(CPuzzle& p, CPuzzleCanvas& canvas, int move, CSurfaceKind surface, const std::string& what,
                     CFindings& out) {
  const CDepthReference reference = ReferenceOf(p, move, surface, canvas.dib.Width());
  int wrong = 0, checked = 0, x = 0, y = 0;
  std::vector<COLORREF> palette;
  for (int i = 0; i < p.GetPaletteCount(); ++i) palette.push_back(p.GetPaletteEntry(i));
  reference.Compare(canvas, palette, wrong, checked, x, y);
  if (wrong > 0) out.Add(Format("%s: %d pixels show a face behind the nearest one (first at %d,%d)", what.c_str(), wrong, x, y));
  if (checked < 100) out.Add(Format("%s: only %d pixels could be judged", what.c_str(), checked));
}

// Paints and checks every frame of turn `move` through the animation, then the puzzle at rest.
void CheckTurnFrames(CPuzzle& p, CWnd* wnd, CPuzzleCanvas& canvas, int move, CSurfaceKind surface, const std::string& view,
                     CFindings& out) {
  if (!p.StartMove(wnd, move)) return;  // a turn the position does not allow now
  CheckTurningPart(p, move, false, out);
  const int frames = p.GetMoveFrames(move);
  for (int frame = 1; p.GetCurrentMove() != 0; ++frame) {
    canvas.Clear();
    // The last frame makes the turn after painting it; it shows what the puzzle at rest shows.
    const bool last = frame >= frames;
    p.AnimateStep(wnd, canvas.dc, &canvas.dib);
    if (!last) ComparePainting(p, canvas, move, surface, Format("turn %d frame %d, %s", move, frame, view.c_str()), out);
    if (!last && frame == 1) CheckTurningPart(p, move, true, out);
    if (frame > 1000) {
      out.Add(Format("turn %d never ends", move));
      p.CompleteAllMoves(wnd);
    }
  }
  canvas.Clear();
  p.Draw(canvas.dc, &canvas.dib);
  ComparePainting(p, canvas, 0, surface, Format("at rest after turn %d, %s", move, view.c_str()), out);
}

}  // namespace

// ---- findings ----

void CFindings::Add(const std::string& message) {
  if (static_cast<int>(messages.size()) < kMessagesKept) messages.push_back(message);
  ++total;
}

std::string CFindings::Text() const {
  std::ostringstream text;
  for (const std::string& m : messages) text << "\n  " << m;
  if (total > static_cast<int>(messages.size())) text << "\n  ... and " << total - messages.size() << " more";
  return text.str();
}

// ---- the checks ----

CFindings CheckCatalogueRow(CPuzzle& p, const CTypeExpectation& type) {
  CFindings out;
  const CPuzzleType* row = GetPuzzleType(type.id);
  if (!row) {
    out.Add("no catalogue row");
    return out;
  }
  if (p.GetTypeId() != type.id) out.Add(Format("type id %d", p.GetTypeId()));
  if (std::strcmp(p.GetName(), row->name) != 0) out.Add(Format("name %s", p.GetName()));
  if (p.GetMoveMaskLength() != row->facelets) out.Add(Format("mask length %d", p.GetMoveMaskLength()));
  if (p.GetModelSize() != row->modelSize) out.Add(Format("model size %g", double(p.GetModelSize())));
  const std::vector<COLORREF> palette = GetTypePalette(type.id);
  if (p.GetPaletteCount() != row->paletteCount || static_cast<int>(palette.size()) != row->paletteCount) {
    out.Add(Format("palette of %d colours", p.GetPaletteCount()));
  } else {
    for (int i = 0; i < p.GetPaletteCount(); ++i)
      if (p.GetPaletteEntry(i) != palette[i]) out.Add(Format("palette entry %d", i));
  }
  const CModeExpectation* mode = FindModeExpectation(type, p.GetMode());
  if (!mode) {
    out.Add(Format("mode %d is not one of the type's", p.GetMode()));
    return out;
  }
  if (mode->turns >= 0 ? p.GetMoveCount() != mode->turns : p.GetMoveCount() < 1)
    out.Add(Format("%d turns in mode %d", p.GetMoveCount(), p.GetMode()));
  for (int m = 1; m <= p.GetMoveCount(); ++m) {
    for (const CTurnSpan& span : mode->spans) {
      if (m < span.first || m > span.last) continue;
      if (p.GetMoveStep(m) != span.step || (span.frames >= 0 && p.GetMoveFrames(m) != span.frames))
        out.Add(Format("turn %d animates in %d frames of %d degrees", m, p.GetMoveFrames(m), p.GetMoveStep(m)));
    }
  }
  if (!p.IsSolved()) out.Add("not solved when new");
  return out;
}

CFindings CheckShape(CPuzzle& p, CSurfaceKind surface) {
  CFindings out;
  if (surface == CSurfaceKind::kEmpty) return out;
  const double radius = std::max(1e-6, ModelRadius(p));
  const double eps = 1e-3 * radius;
  Vec3 areaSum{0, 0, 0};
  double totalArea = 0, volume = 0;
  std::vector<std::vector<Vec3>> polygons;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const std::vector<Vec3> c = Corners(p, *p.GetFaceletById(id), kModelVertices);
    polygons.push_back(c);
    const Vec3 n2 = AreaNormal(c);
    if (c.size() < 3 || Length(n2) < 1e-12) {
      out.Add(Format("facelet %d has no area", id));
      continue;
    }
    const Vec3 n = Scaled(n2, 1 / Length(n2));
    const Vec3 centre = Mean(c);
    bool planar = true, convex = true;
    for (size_t i = 0; i < c.size(); ++i) {
      planar = planar && std::abs(Dot(Sub(c[i], centre), n)) <= eps;
      const Vec3 turn = Cross(Sub(c[(i + 1) % c.size()], c[i]), Sub(c[(i + 2) % c.size()], c[(i + 1) % c.size()]));
      convex = convex && Dot(turn, n) >= -eps * eps;
    }
    if (!planar) out.Add(Format("facelet %d is not flat", id));
    if (!convex) out.Add(Format("facelet %d is not convex", id));
    areaSum = Added(areaSum, Scaled(n2, 0.5));
    totalArea += Length(n2) / 2;
    volume += Dot(centre, n2) / 6;
  }
  if (surface != CSurfaceKind::kClosed) return out;
  if (Length(areaSum) > 1e-3 * totalArea) out.Add("the surface is not closed (its area vectors do not cancel)");
  if (volume <= 0) out.Add("the surface encloses no volume (facelets face inwards)");
  // Outwards: a ray leaving a facelet along its normal crosses the surface an even number of
  // times. The direction is tilted a little so that it passes no edge exactly.
  const std::vector<bool> walls = InnerWalls(polygons, eps);
  for (size_t f = 0; f < polygons.size(); ++f) {
    const std::vector<Vec3>& c = polygons[f];
    if (walls[f]) continue;
    const Vec3 n2 = AreaNormal(c);
    if (c.size() < 3 || Length(n2) < 1e-12) continue;
    const Vec3 n = Scaled(n2, 1 / Length(n2));
    const Vec3 tilt{0.0123 * n[1] + 0.0071, 0.0097 * n[2] - 0.0043, 0.0111 * n[0] + 0.0029};
    Vec3 d = Added(n, tilt);
    d = Scaled(d, 1 / Length(d));
    const Vec3 origin = Added(Mean(c), Scaled(n, 1e-4 * radius));
    int crossings = 0;
    for (size_t g = 0; g < polygons.size(); ++g) {
      if (g == f || walls[g]) continue;
      const std::vector<Vec3>& q = polygons[g];
      for (size_t i = 1; i + 1 < q.size(); ++i) crossings += RayHitsTriangle(origin, d, q[0], q[i], q[i + 1]);
    }
    if (crossings % 2) out.Add(Format("facelet %zu faces inwards", f));
  }
  // The drawing's front-facing test agrees with the normal in view space.
  p.ResetView(640, 480);
  p.UpdateView();
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    CFacelet& f = *p.GetFaceletById(id);
    const Vec3 n = AreaNormal(Corners(p, f, kViewVertices));
    if (std::abs(n[2]) < 0.2 * Length(n)) continue;  // edge-on: pixel rounding decides
    if (f.Project(kViewVertices) != (n[2] > 0)) out.Add(Format("facelet %d: the drawing culls it wrongly", id));
  }
  return out;
}

CFindings CheckTurnsAreRotations(CPuzzle& p) {
  CFindings out;
  const double tolerance = 0.02 * ModelRadius(p);
  std::vector<Vec3> centroids;
  // The centre of each facelet's shape: a corner listed twice (a triangle drawn as a
  // quadrilateral) counts once.
  for (int id = 0; id < p.GetFaceletCount(); ++id)
    centroids.push_back(Mean(Corners(p, *p.GetFaceletById(id), kModelVertices)));
  for (int k = 0; k < p.GetMoveCount(); ++k) {
    const CMove* move = p.GetMove(k);
    if (move->GetLength() == 0) {
      for (int m : {k + 1, -(k + 1)})
        if (AsPlaneCut(p) && !IsRefusedNow(p, m)) CheckTurnMovesItsMarkedPart(p, m, tolerance, out);
      continue;
    }
    CFixMatrix rotation;
    p.GetMoveRotation(rotation, k + 1, FullAngle(p, k + 1));
    const std::uint32_t bit = 1u << CPuzzle::MaskBit(k);
    for (int i = 0; i < move->GetLength() && i < static_cast<int>(centroids.size()); ++i) {
      if (move->GetEntry(i) != i && !(p.GetMoveMask(i) & bit))
        out.Add(Format("turn %d moves facelet %d without animating it", k + 1, i));
      if (!(p.GetMoveMask(i) & bit)) continue;
      const Vec3 moved = ToVec(rotation.Transform(CFixVector(centroids[i][0], centroids[i][1], centroids[i][2])));
      int nearest = -1;
      double best = 1e300;
      for (int j = 0; j < static_cast<int>(centroids.size()); ++j) {
        const double d = Length(Sub(moved, centroids[j]));
        if (d < best) best = d, nearest = j;
      }
      if (nearest != move->GetEntry(i) || best > tolerance)
        out.Add(Format("turn %d carries facelet %d onto %d, its colour goes to %d", k + 1, i, nearest, move->GetEntry(i)));
    }
  }
  return out;
}

CFindings CheckTurnsUndo(CPuzzle& p) {
  CFindings out;
  ColourById(p);
  const CState start = StateOf(p);
  for (int m = 1; m <= p.GetMoveCount(); ++m) {
    if (!MakeTurn(p, m)) {
      if (!(StateOf(p) == start) || p.IsBusy()) out.Add(Format("refusing turn %d changes the puzzle", m));
      continue;
    }
    if (StateOf(p) == start) out.Add(Format("turn %d changes nothing", m));
    MakeTurn(p, -m);
    if (!(StateOf(p) == start)) out.Add(Format("turn %d and its inverse do not restore the puzzle", m));
    const int angle = FullAngle(p, m);
    if (angle <= 0 || 360 % angle != 0) continue;
    // A turn whose angle the position decides (a layer that stops where it lines up again) is
    // repeated until its angles add up to the full circle.
    bool made = true;
    int total = 0;
    while (made && total < 360) {
      const int step = FullAngle(p, m);
      made = step > 0 && MakeTurn(p, m);
      total += step;
    }
    if (made && total == 360 && !(StateOf(p) == start))
      out.Add(Format("turn %d repeated a full circle does not restore the puzzle", m));
    if (!made || total != 360) p.Reset(), ColourById(p);
  }
  p.Reset();
  return out;
}

CFindings CheckVerticesStayOnTheirPlaces(CPuzzle& p) {
  CFindings out;
  p.Reset();
  const CState start = StateOf(p);
  std::set<std::array<int, 3>> places(start.vertices.begin(), start.vertices.end());
  // A puzzle whose turns change its shape may name places its corners rest on that the solid
  // as built has no corner at.
  if (const auto* planeCut = dynamic_cast<const CPlaneCutPuzzle*>(&p))
    for (const CFixVector& v : planeCut->GetRestingPlaces()) places.insert({v.x, v.y, v.z});
  auto offPlace = [&](const char* after, int move) {
    const CState now = StateOf(p);
    for (size_t i = 0; i < now.vertices.size(); ++i)
      if (!places.count(now.vertices[i])) {
        out.Add(Format("after %s %d vertex %zu is off every corner", after, move, i));
        return;
      }
  };
  for (int m = 1; m <= p.GetMoveCount(); ++m) {
    if (!MakeTurn(p, m)) continue;
    offPlace("turn", m);
    MakeTurn(p, -m);
    if (StateOf(p).vertices != start.vertices) out.Add(Format("turn %d and its inverse move vertices", m));
  }
  // A longer game: every accepted turn keeps every vertex on a place.
  Randomize(31);
  for (int i = 0; i < 40 && p.GetMoveCount() > 0; ++i) {
    const int m = Random(1, p.GetMoveCount()) * (Random(0, 1) ? 1 : -1);
    if (MakeTurn(p, m)) offPlace("a game ending with turn", m);
  }
  p.Reset();
  return out;
}

CFindings CheckSolvedTest(CPuzzle& p, const CTypeExpectation& type) {
  CFindings out;
  const bool neverRecomputed = type.turnsKeepingItSolved == std::vector<int>{-1};
  p.Reset();
  p.UpdateSolved();
  if (!p.IsSolved()) out.Add("not solved after Reset");
  for (int m = 1; m <= p.GetMoveCount(); ++m) {
    if (IsWholeTurn(p, m - 1)) continue;
    p.Reset();
    if (!MakeTurn(p, m)) continue;
    const bool allowed = neverRecomputed || std::count(type.turnsKeepingItSolved.begin(), type.turnsKeepingItSolved.end(), m);
    if (p.IsSolved() && !allowed) out.Add(Format("solved after turn %d", m));
    MakeTurn(p, -m);
    if (!p.IsSolved()) out.Add(Format("not solved after turn %d and its inverse", m));
  }
  p.Reset();
  if (p.GetMoveCount() > 0 || type.ownScramble) {
    Randomize(20261208);
    p.Scramble();
    if (p.IsSolved()) out.Add("solved after Scramble");
    p.UpdateSolved();
    if (p.IsSolved()) out.Add("a scramble is found solved");
  } else {
    const CState start = StateOf(p);
    Randomize(5);
    p.Scramble();
    for (int a = 0; a < p.GetFaceletCount(); a += 3)
      for (int b = 0; b < p.GetFaceletCount(); b += 5) {
        const int m = p.MoveFromDrag(a, b);
        if (m != 0) MakeTurn(p, m);
      }
    if (!(StateOf(p) == start)) out.Add("a puzzle without turns is changed by Scramble or drags");
  }
  p.Reset();
  if (!p.IsSolved()) out.Add("not solved after Reset");
  return out;
}

CFindings CheckDrags(CPuzzle& p, const CTypeExpectation& type) {
  CFindings out;
  if (type.ownDrags) return out;
  p.Reset();
  const int count = p.GetFaceletCount();
  const int turns = p.GetMoveCount();
  std::vector<int> reached(turns + 1, 0);
  auto checkPairs = [&](const char* where) {
    for (int a = 0; a < count; ++a) {
      if (p.MoveFromDrag(a, a) != 0) out.Add(Format("%sa drag from facelet %d onto itself turns", where, a));
      for (int b = a + 1; b < count; ++b) {
        const int m = p.MoveFromDrag(a, b);
        if (m == 0) {
          if (p.MoveFromDrag(b, a) != 0) out.Add(Format("%sthe drag %d to %d turns only one way", where, b, a));
          continue;
        }
        if (std::abs(m) > turns || std::abs(m) > CPuzzle::kMaxRecordableMove) {
          out.Add(Format("%sthe drag %d to %d gives turn %d", where, a, b, m));
          continue;
        }
        reached[std::abs(m)] = 1;
        const int back = p.MoveFromDrag(b, a);
        if (back != -m) out.Add(Format("%sthe drag %d to %d gives %d, the drag back %d", where, a, b, m, back));
      }
    }
  };
  checkPairs("");
  // A turn the position refuses (a cut through a face) needs no drag now.
  const auto allowedNow = [&p](int m) {
    if (!MakeTurn(p, m)) return false;
    MakeTurn(p, -m);
    return true;
  };
  for (int m = 1; m <= turns; ++m)
    if (!reached[m] && !IsWholeTurn(p, m - 1) && allowedNow(m)) out.Add(Format("no drag makes turn %d", m));
  // Where turns change the geometry, the drags of a scrambled position hold too.
  if (AsPlaneCut(p)) {
    Randomize(4);
    p.Scramble();
    checkPairs("scrambled: ");
    p.Reset();
  }
  return out;
}

CFindings CheckAnimation(CPuzzle& p, CWnd* wnd, CSurfaceKind surface, int canvasSize, bool fromSolved) {
  CFindings out;
  if (surface == CSurfaceKind::kEmpty) return out;
  if (fromSolved) p.Reset();
  const std::vector<COLORREF> palette = CheckPalette();
  p.SetPalette(palette.data(), static_cast<int>(palette.size()));
  for (int id = 0; id < p.GetFaceletCount(); ++id) p.SetFaceletColour(id, ColourOfFacelet(id));
  CPuzzleCanvas canvas(p, canvasSize, canvasSize);
  canvas.NoOutline();
  struct View {
    int x, y, sign;
    const char* name;
  };
  const View views[] = {{0, 0, 1, "default view"}, {-65, 20, -1, "turned view"}};
  for (const View& view : views) {
    p.ResetView(canvasSize, canvasSize);
    p.RotateViewX(view.x);
    p.RotateViewY(view.y);
    canvas.Clear();
    p.Draw(canvas.dc, &canvas.dib);
    ComparePainting(p, canvas, 0, surface, Format("at rest, %s", view.name), out);
    for (int m = 1; m <= p.GetMoveCount(); ++m) {
      const int move = view.sign * m;
      CheckTurnFrames(p, wnd, canvas, move, surface, view.name, out);
      MakeTurn(p, -move);
    }
  }
  // Turns that change the geometry are painted from a scrambled shape too.
  if (fromSolved && AsPlaneCut(p) && p.GetMoveCount() > 0) {
    Randomize(9);
    p.Scramble();
    p.ResetView(canvasSize, canvasSize);
    for (int m = 1; m <= p.GetMoveCount(); ++m) {
      CheckTurnFrames(p, wnd, canvas, m, surface, "scrambled", out);
      MakeTurn(p, -m);
    }
  }
  return out;
}

CFindings CheckSaveAndLoad(CPuzzle& p) {
  CFindings out;
  Randomize(7);
  p.Scramble();
  if (p.GetMoveCount() > 0) {
    p.RecordMove(1, 0);
    p.RecordMove(-p.GetMoveCount(), 0);
  }
  CUBuffer file;
  p.Write(file);
  file.SeekToBegin();
  std::unique_ptr<CPuzzle> loaded = MakePuzzle(p.GetTypeId());
  if (loaded->LoadFromBuffer(file) != 1) {
    out.Add("its own file is refused");
  } else {
    if (StoredForm(*loaded) != StoredForm(p)) out.Add("the loaded puzzle differs from the saved one");
    if (ColoursById(*loaded) != ColoursById(p)) out.Add("the loaded colours differ");
  }
  p.Reset();
  return out;
}

CFindings CheckForeignFilesRefused(CPuzzle& p, const std::vector<int>& otherTypes) {
  CFindings out;
  const std::vector<unsigned char> before = StoredForm(p);
  for (int other : otherTypes) {
    if (other == p.GetTypeId()) continue;
    std::unique_ptr<CPuzzle> foreign = MakePuzzle(other);
    CUBuffer file;
    foreign->Write(file);
    file.SeekToBegin();
    if (p.LoadFromBuffer(file) != 0) out.Add(Format("a file of type %d loads", other));
    // Relabelled: only the counts a type fixes can tell the files apart.
    const bool alike = foreign->GetFaceletCount() == p.GetFaceletCount() &&
                       foreign->GetMoveMaskLength() == p.GetMoveMaskLength() &&
                       foreign->GetPaletteCount() == p.GetPaletteCount() && foreign->GetMoveCount() == p.GetMoveCount();
    const int id = p.GetTypeId();
    std::memcpy(file.GetData() + 4, &id, 4);
    file.SeekToBegin();
    if (!alike && p.LoadFromBuffer(file) != 0) out.Add(Format("a file of type %d relabelled as this type loads", other));
    if (StoredForm(p) != before) {
      out.Add(Format("a refused file of type %d changed the puzzle", other));
      return out;
    }
  }
  return out;
}
