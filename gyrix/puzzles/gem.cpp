#include <gyrix/puzzles/gem.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <cmath>

namespace {

using Point = std::array<double, 3>;

constexpr int kGemTypeId = 28;
constexpr int kGemFacelets = 14;
constexpr int kGemTurns = 8;

// The corners sit on a sphere of this radius (model units): the solid fills about seven tenths
// of the window, and neighbouring corners stay more than a unit apart, so that snapping a turned
// corner onto the nearest one within half a unit never picks a wrong one.
constexpr double kGemRadius = 2.1;

// A corner: its azimuth in degrees (from +X towards +Y) and its level: 0 on the girdle, the
// hexagon round the Z axis; +1 and -1 on the two triangles above and below it, at an elevation
// of atan(sqrt 2) (54.74 degrees).
struct Corner {
  int azimuth;
  int level;
};

// The eighteen corners the cuts run through. 0..5 go clockwise round the girdle, seen from
// above. 12..14 (above) and 9..11 (below) are the corners of the cuboctahedron as built;
// 6..8 (above) and 15..17 (below) are where those corners come to lie when both halves of the
// girdle cut turn by a sixth: the cuboctahedron turned by 60 degrees, whose three tilted cuts
// are cuts 6..8.
const Corner kGemCorners[18] = {
    {180, 0},  {120, 0},  {60, 0},   {0, 0},    {300, 0},  {240, 0},   // girdle
    {150, 1},  {30, 1},   {270, 1},                                    // turned, above
    {150, -1}, {30, -1},  {270, -1},                                   // built, below
    {210, 1},  {330, 1},  {90, 1},                                     // built, above
    {210, -1}, {330, -1}, {90, -1},                                    // turned, below
};

// The fourteen faces, counter-clockwise seen from outside: the top triangle, the ring of the
// upper half by azimuth from 30 degrees (square, triangle, ...), the ring of the lower half
// likewise (triangle, square, ...), the bottom triangle.
const std::vector<int> kGemFaces[kGemFacelets] = {
    {12, 13, 14},                                                                        // top
    {13, 3, 2, 14}, {14, 2, 1}, {14, 1, 0, 12}, {12, 0, 5}, {12, 5, 4, 13}, {13, 4, 3},  // upper
    {10, 2, 3}, {10, 9, 1, 2}, {9, 0, 1}, {9, 11, 5, 0}, {11, 4, 5}, {11, 10, 3, 4},     // lower
    {11, 9, 10},                                                                         // bottom
};

// Solved colours: the six squares one colour each; the triangles in the two sets of four that
// meet only at corners, 7 and 8 (the two triangles at any corner belong to different sets).
const int kGemColours[kGemFacelets] = {7, 1, 8, 2, 8, 3, 8, 7, 6, 7, 4, 7, 5, 8};

// The cut of each turn: the hexagon of corners in which it meets the solid. Its first three
// corners give the cutting plane; they are listed so that the plane's normal points into the
// half that the turn carries, and the turn spins that half about the normal by the right-hand
// rule, so that a drag counter-clockwise round the cut, seen from in front, turns forwards.
// Cuts 1 and 2 are the girdle from below and from above; 3..5 are the cuboctahedron's tilted
// equators as built, 6..8 those of the cuboctahedron turned by 60 degrees.
const int kGemCuts[kGemTurns][6] = {
    {0, 1, 2, 3, 4, 5},     {5, 4, 3, 2, 1, 0},     {13, 14, 1, 9, 11, 4}, {14, 12, 5, 11, 10, 2},
    {12, 13, 3, 10, 9, 0},  {5, 15, 17, 2, 7, 8},   {3, 16, 15, 0, 6, 7},  {1, 17, 16, 4, 8, 6},
};

constexpr double kPi = 3.14159265358979323846;

Point CornerPoint(int corner) {
  const Corner& c = kGemCorners[corner];
  const double elevation = c.level * std::atan(std::sqrt(2.0));
  const double azimuth = c.azimuth * kPi / 180;
  return {kGemRadius * std::cos(elevation) * std::cos(azimuth),
          kGemRadius * std::cos(elevation) * std::sin(azimuth), kGemRadius * std::sin(elevation)};
}

Point Minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Point Plus(const Point& a, const Point& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Point Times(const Point& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
double Dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const Point& a) { return std::sqrt(Dot(a, a)); }
Point Cross(const Point& a, const Point& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Point Unit(const Point& a) { return Times(a, 1 / Length(a)); }

// The unit normal of cut k: the axis of turn k + 1. Exact, where whole-degree tilts would
// leave a turned half a fraction of a degree off the solid's own axis.
const Point& CutNormal(int k) {
  static const auto normals = [] {
    std::array<Point, kGemTurns> n;
    for (int i = 0; i < kGemTurns; ++i) {
      const Point a = CornerPoint(kGemCuts[i][0]);
      n[i] = Unit(Cross(Minus(CornerPoint(kGemCuts[i][1]), a), Minus(CornerPoint(kGemCuts[i][2]), a)));
    }
    return n;
  }();
  return normals[k];
}

// Where a tilted turn carries the triangle of corners in front of its cut: a sixth of a turn
// makes the half an orthobicupola's, whose triangle sits where the cuboctahedron has no corner.
// Cuts 3..5 cut the cuboctahedron as built, cuts 6..8 the one turned by 60 degrees; the
// corners of each are its girdle and its two triangles.
std::vector<Point> TurnedTriangleCorners() {
  const std::array<int, 12> built = {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14};
  const std::array<int, 12> turned = {0, 1, 2, 3, 4, 5, 6, 7, 8, 15, 16, 17};
  std::vector<Point> places;
  for (int k = 2; k < kGemTurns; ++k) {
    const Point& n = CutNormal(k);
    for (int corner : (k < 5 ? built : turned)) {
      const Point p = CornerPoint(corner);
      if (Dot(n, p) < kGemRadius / 4) continue;  // on the cut or behind it
      for (double sixth : {kPi / 3, -kPi / 3}) {
        // Rodrigues: p cos + (n x p) sin + n (n . p)(1 - cos).
        const Point q = Plus(Plus(Times(p, std::cos(sixth)), Times(Cross(n, p), std::sin(sixth))),
                             Times(n, Dot(n, p) * (1 - std::cos(sixth))));
        bool known = false;
        for (const Point& r : places) known = known || Length(Minus(q, r)) < 1e-6;
        if (!known) places.push_back(q);
      }
    }
  }
  return places;
}

Point FaceCentre(const std::vector<int>& face) {
  Point sum{0, 0, 0};
  for (int corner : face) sum = Plus(sum, CornerPoint(corner));
  return Times(sum, 1.0 / static_cast<double>(face.size()));
}

// An orthonormal frame from two directions that are not parallel: the first, the part of the
// second square to it, and their cross product.
std::array<Point, 3> Frame(const Point& a, const Point& b) {
  const Point e0 = Unit(a);
  const Point e1 = Unit(Minus(b, Times(e0, Dot(b, e0))));
  return {e0, e1, Cross(e0, e1)};
}

// The rotation that carries frame `from` onto frame `to`, applied to p.
Point Carry(const std::array<Point, 3>& from, const std::array<Point, 3>& to, const Point& p) {
  Point out{0, 0, 0};
  for (int i = 0; i < 3; ++i) out = Plus(out, Times(to[i], Dot(from[i], p)));
  return out;
}

// Two face centres are one place within this (model units); distinct places are more than a
// unit apart.
constexpr double kSamePlace = 0.25;

// The two faces whose places fix a rotation of the whole solid (two squares of the upper half).
constexpr int kFrameFaces[2] = {1, 3};

}  // namespace

// The Gem as built: a cuboctahedron of radius 2.1 standing on one of its triangles, a body
// diagonal of its cube along Z, so that its girdle is a hexagon round Z; its fourteen faces are
// the fourteen facelets, eight triangles and six squares. The eighteen shared corners are its
// twelve corners and the six where its two triangles lie when the whole solid is turned a
// sixth about Z; the eight cuts are its girdle, from each side, its three tilted equators, and
// those of the solid turned a sixth. A tilted turn a sixth of the way carries a triangle of
// corners where neither has one: those are resting places, so turned corners always snap.
CGemPuzzle::CGemPuzzle(int) : CPlaneCutPuzzle(kGemFacelets) {
  m_typeId = kGemTypeId;
  for (int corner = 0; corner < static_cast<int>(std::size(kGemCorners)); ++corner)
    AddVertex(FixPoint(CornerPoint(corner)));
  for (const int(&cut)[6] : kGemCuts) AddCutTurn(cut, 6);
  for (const Point& place : TurnedTriangleCorners()) AddRestingPlace(FixPoint(place));
  ApplyTypeLooks(*this, kGemTypeId);
  for (const std::vector<int>& face : kGemFaces) m_homeCentres.push_back(FaceCentre(face));
  ResetColours();
}

void CGemPuzzle::BuildSolvedFacelets() {
  for (int i = 0; i < kGemFacelets; ++i)
    SetFaceletColour(AddFacelet(kGemFaces[i].data(), static_cast<int>(kGemFaces[i].size())), kGemColours[i]);
}

int CGemPuzzle::GetMoveStep(int) { return 10; }

int CGemPuzzle::GetMoveFrames(int) { return 6; }

void CGemPuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int k = TurnIndex(move);
  if (k < 0 || k >= kGemTurns) return;
  RotateAboutUnitAxis(matrix, CutNormal(k), move < 0 ? -angle : angle);
}

BOOL CGemPuzzle::CanMove(int move) {
  const int k = TurnIndex(move);
  if (k < 0 || k >= GetPlaneCount()) return 0;
  const CFixPlane* cut = GetPlane(k);
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFacelet& f = *GetFacelet(i);
    bool front = false, behind = false;
    for (int v = 0; v < f.GetVertexCount(); ++v) {
      const CFixVector* p = GetVertex(f.GetVertexIndex(v), kModelVertices);
      if (!p) continue;
      const std::int64_t value = cut->Value(*p);
      front = front || value >= kFixHalf;
      behind = behind || value <= -kFixHalf;
    }
    if (front && behind) return 0;
  }
  return 1;
}

// Solved when the solid shows the colours it was built with, turned as a whole in any way:
// some rotation carries every face's place as built onto a face of the same colour. Two
// squares fix the rotation; every face of their colours is tried in their places.
void CGemPuzzle::UpdateSolved() {
  m_solved = 0;
  std::vector<Point> centres(kGemFacelets);
  std::vector<int> colours(kGemFacelets, -1);
  for (int id = 0; id < kGemFacelets; ++id) {
    const CFacelet* f = GetFaceletById(id);
    if (!f || f->GetVertexCount() == 0) return;
    Point sum{0, 0, 0};
    for (int v = 0; v < f->GetVertexCount(); ++v) {
      const CFixVector* p = GetVertex(f->GetVertexIndex(v), kModelVertices);
      if (!p) return;
      sum = Plus(sum, {FixToDouble(p->x), FixToDouble(p->y), FixToDouble(p->z)});
    }
    centres[id] = Times(sum, 1.0 / f->GetVertexCount());
    colours[id] = f->GetColour();
  }
  const Point& homeA = m_homeCentres[kFrameFaces[0]];
  const Point& homeB = m_homeCentres[kFrameFaces[1]];
  const std::array<Point, 3> home = Frame(homeA, homeB);
  const auto holdsColour = [&](const Point& place, int colour) {
    for (int id = 0; id < kGemFacelets; ++id)
      if (colours[id] == colour && Length(Minus(centres[id], place)) < kSamePlace) return true;
    return false;
  };
  for (int a = 0; a < kGemFacelets; ++a) {
    if (colours[a] != colours[kFrameFaces[0]] || std::abs(Length(centres[a]) - Length(homeA)) > kSamePlace) continue;
    for (int b = 0; b < kGemFacelets; ++b) {
      if (b == a || colours[b] != colours[kFrameFaces[1]]) continue;
      if (std::abs(Length(Minus(centres[a], centres[b])) - Length(Minus(homeA, homeB))) > kSamePlace) continue;
      const std::array<Point, 3> now = Frame(centres[a], centres[b]);
      bool all = true;
      for (int id = 0; id < kGemFacelets && all; ++id)
        all = holdsColour(Carry(home, now, m_homeCentres[id]), colours[id]);
      if (all) {
        m_solved = 1;
        return;
      }
    }
  }
}
