#include <gyrix/puzzles/offcenter.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <array>

namespace {

using Point = std::array<double, 3>;

constexpr int kOffCenterTypeId = 25;

// A plane as n . p + d = 0, in model units.
struct Plane {
  Point n;
  double d;
};

// The cube has half-edge 1 and its corners at (+-1, +-1, +-1); the starting view looks at the
// corner (1, 1, -1). Three cuts square to the axes lie half way between the centre and the
// faces away from that corner; the fourth, square to the diagonal towards it, lies a little
// towards it from the centre. So each of the three faces at that corner shows seven facelets:
// the small square at its far corner where the axis cuts close in, two strips each halved by
// the diagonal cut, and the large square with its corner next to the small one cut off. Each
// face opposite shows five: the same without the halving, the diagonal cut taking a triangle
// from the far corner of its large square.
const Plane kOffCenterCuts[] = {
    {{1, 0, 0}, 0.5}, {{0, 1, 0}, 0.5}, {{0, 0, -1}, 0.5}, {{1, 1, -1}, -0.5},
};

// The faces, counter-clockwise seen from outside: +X, -X, +Y, -Y, +Z, -Z, in colours 1..6.
const Point kOffCenterFaces[6][4] = {
    {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},     {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
    {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},     {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
    {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},     {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
};

// A corner within this of a cut lies on it (model units).
constexpr double kOnCut = 1e-9;

double Value(const Plane& plane, const Point& p) {
  return plane.n[0] * p[0] + plane.n[1] * p[1] + plane.n[2] * p[2] + plane.d;
}

Point Between(const Point& a, const Point& b, double t) {
  return {a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])};
}

// The part of a convex polygon on one side of a plane (sign +1 in front, -1 behind), corners
// on the plane kept; empty when the plane does not cut the polygon into two.
std::vector<Point> SideOf(const std::vector<Point>& polygon, const Plane& plane, int sign) {
  std::vector<Point> part;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const Point& a = polygon[i];
    const Point& b = polygon[(i + 1) % polygon.size()];
    const double va = sign * Value(plane, a), vb = sign * Value(plane, b);
    if (va >= -kOnCut) part.push_back(a);
    if ((va > kOnCut && vb < -kOnCut) || (va < -kOnCut && vb > kOnCut)) part.push_back(Between(a, b, va / (va - vb)));
  }
  return part;
}

// The polygon cut by every plane in turn, into its pieces: behind each cut, then in front.
std::vector<std::vector<Point>> CutByAll(const std::vector<Point>& polygon) {
  std::vector<std::vector<Point>> pieces{polygon};
  for (const Plane& cut : kOffCenterCuts) {
    std::vector<std::vector<Point>> next;
    for (const std::vector<Point>& piece : pieces) {
      const std::vector<Point> behind = SideOf(piece, cut, -1);
      const std::vector<Point> front = SideOf(piece, cut, 1);
      if (behind.size() < 3 || front.size() < 3) {
        next.push_back(piece);
      } else {
        next.push_back(behind);
        next.push_back(front);
      }
    }
    pieces = std::move(next);
  }
  return pieces;
}

}  // namespace

COffCenterPuzzle::COffCenterPuzzle(int) : CPlaneCutPuzzle(GetPuzzleType(kOffCenterTypeId)->facelets) {
  m_typeId = kOffCenterTypeId;
  for (int face = 0; face < 6; ++face) {
    const std::vector<Point> square(std::begin(kOffCenterFaces[face]), std::end(kOffCenterFaces[face]));
    for (const std::vector<Point>& piece : CutByAll(square)) {
      std::vector<int> corners;
      for (const Point& p : piece) corners.push_back(AddVertexOnce(*this, FixPoint(p)));
      m_faces.push_back(corners);
      m_colours.push_back(face + 1);
    }
  }
  ApplyTypeLooks(*this, kOffCenterTypeId);
  ResetColours();
}

void COffCenterPuzzle::BuildSolvedFacelets() {
  for (size_t i = 0; i < m_faces.size(); ++i)
    SetFaceletColour(AddFacelet(m_faces[i].data(), static_cast<int>(m_faces[i].size())), m_colours[i]);
}
