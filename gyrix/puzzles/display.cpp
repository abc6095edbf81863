#include <gyrix/puzzles/display.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

using Point = CDisplayPuzzle::Point;

// Model radius as a share of the model size: the solid fills about seven tenths of the window.
constexpr double kRadiusShare = 0.35;

Point Add(const Point& a, const Point& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Point Sub(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Point Scale(const Point& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
Point Lerp(const Point& a, const Point& b, double t) { return Add(a, Scale(Sub(b, a), t)); }
Point Mid(const Point& a, const Point& b) { return Lerp(a, b, 0.5); }
double Dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Point Cross(const Point& a, const Point& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Point Centroid(const std::vector<Point>& points) {
  Point c{0, 0, 0};
  for (const Point& p : points) c = Add(c, p);
  return Scale(c, 1.0 / static_cast<double>(points.size()));
}

std::vector<Point> FaceCorners(const CSolid& solid, int face) {
  std::vector<Point> corners;
  for (int v : solid.faces[face]) corners.push_back(solid.vertices[v]);
  return corners;
}

// The face of the solid across the edge from corner j to corner j + 1 of `face`.
int Neighbour(const CSolid& solid, int face, int j) {
  const std::vector<int>& f = solid.faces[face];
  const int a = f[j];
  const int b = f[(j + 1) % f.size()];
  for (int g = 0; g < static_cast<int>(solid.faces.size()); ++g) {
    if (g == face) continue;
    const std::vector<int>& h = solid.faces[g];
    if (std::count(h.begin(), h.end(), a) && std::count(h.begin(), h.end(), b)) return g;
  }
  return face;
}

// The face's corner triangles cut off through the edge midpoints, each halved from its corner;
// the middle polygon keeps the halving points, so that no facelet edge ends inside another's.
// The middle shows the face's colour, each half the colour of the face across its solid edge.
void AddCornerCutFace(CDisplayPuzzle& model, const CSolid& solid, int face, const std::vector<int>& colours) {
  const std::vector<Point> c = FaceCorners(solid, face);
  const int k = static_cast<int>(c.size());
  std::vector<Point> m(k), half(k);
  for (int j = 0; j < k; ++j) m[j] = Mid(c[j], c[(j + 1) % k]);
  for (int j = 0; j < k; ++j) half[j] = Mid(m[(j + k - 1) % k], m[j]);
  const Point origin{0, 0, 0};
  std::vector<Point> middle;
  for (int j = 0; j < k; ++j) {
    middle.push_back(m[j]);
    middle.push_back(half[(j + 1) % k]);
  }
  model.AddFace(middle, colours[face], origin);
  for (int j = 0; j < k; ++j) {
    model.AddFace({c[j], m[j], half[j]}, colours[Neighbour(solid, face, j)], origin);
    model.AddFace({c[j], half[j], m[(j + k - 1) % k]}, colours[Neighbour(solid, face, (j + k - 1) % k)], origin);
  }
}

// The solid with every coordinate on a grid of 1/1024 unit: midpoints of midpoints are then
// exact, so points meant to lie on an edge lie on it exactly (fixed point holds them as they are).
CSolid OnGrid(CSolid solid) {
  for (Point& v : solid.vertices)
    for (double& x : v) x = std::round(x * 1024) / 1024;
  return solid;
}

// Colours 1, 2, ... for faces 0, 1, ...
std::vector<int> Numbered(int count) {
  std::vector<int> colours(count);
  for (int i = 0; i < count; ++i) colours[i] = i + 1;
  return colours;
}

// A triangle cut into four: three corner triangles and the middle one.
std::vector<std::vector<Point>> Quartered(const Point& a, const Point& b, const Point& c) {
  const Point ab = Mid(a, b), bc = Mid(b, c), ca = Mid(c, a);
  return {{a, ab, ca}, {ab, b, bc}, {ca, bc, c}, {ab, bc, ca}};
}

}  // namespace

// ---- shared ----

CDisplayPuzzle::CDisplayPuzzle(int typeId, int size) : CPuzzle(GetPuzzleType(typeId)->facelets) {
  m_typeId = typeId;
  m_size = size;
  ApplyTypeLooks(*this, typeId);
}

int CDisplayPuzzle::AddFace(std::vector<Point> points, int colour, const Point& inside) {
  // The drawing tells front from back by the first corner and its two neighbours, so the
  // list starts at a corner where the outline really bends.
  const size_t count = points.size();
  Point area{0, 0, 0};
  for (size_t i = 0; i < count; ++i) area = Add(area, Cross(points[i], points[(i + 1) % count]));
  size_t start = 0;
  double best = -1;
  for (size_t i = 0; i < count; ++i) {
    const Point bend = Cross(Sub(points[(i + 1) % count], points[i]), Sub(points[(i + count - 1) % count], points[i]));
    const double size = std::abs(Dot(bend, area));
    if (size > best) best = size, start = i;
  }
  std::rotate(points.begin(), points.begin() + static_cast<long>(start), points.end());
  if (Dot(area, Sub(Centroid(points), inside)) < 0) std::reverse(points.begin() + 1, points.end());
  std::vector<int> indices;
  for (const Point& p : points) indices.push_back(AddVertexOnce(*this, FixPoint(p)));
  const int id = AddFacelet(indices.data(), static_cast<int>(indices.size()));
  m_colours.push_back(colour);
  m_pieces.push_back({0, 0, 0});
  SetFaceletColour(id, colour);
  return id;
}

int CDisplayPuzzle::AddPieceFace(std::vector<Point> points, int colour, const Point& pieceCentre) {
  const int id = AddFace(std::move(points), colour, pieceCentre);
  m_pieces[id] = pieceCentre;
  m_byPieces = true;
  return id;
}

void CDisplayPuzzle::Scramble() {
  if (GetMoveCount() > 0) CPuzzle::Scramble();
}

void CDisplayPuzzle::ResetColours() {
  for (int id = 0; id < static_cast<int>(m_colours.size()); ++id) SetFaceletColour(id, m_colours[id]);
}

void CDisplayPuzzle::SortFacelets() {
  // A file may hold another facelet count than the one built; it paints by depth alone.
  if (!m_byPieces || GetFaceletCount() != static_cast<int>(m_pieces.size())) {
    CPuzzle::SortFacelets();
    return;
  }
  struct Entry {
    CFacelet* facelet;
    int pieceDepth;
  };
  std::vector<Entry> entries;
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    f->ComputeBox(kViewVertices);
    const Point& c = m_pieces[f->GetId()];
    entries.push_back({f, GetViewMatrix().Transform(FixPoint(c)).z});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.pieceDepth != b.pieceDepth) return a.pieceDepth < b.pieceDepth;
    return a.facelet->GetDepth() < b.facelet->GetDepth();
  });
  CUObArray& list = FaceletList();
  list.RemoveAll();
  for (const Entry& e : entries) list.Add(e.facelet);
  SetOrderValid(1);
}

// ---- OctaStar: the stella octangula ----
// An octahedron with a regular tetrahedral spike on each of its eight faces, so that the
// spikes make two interpenetrating tetrahedra. Each spike face is halved from its tip; the
// three spike faces that lie in one face plane of a big tetrahedron share its colour.
COctaStarPuzzle::COctaStarPuzzle(int) : CDisplayPuzzle(18) {
  const double r = kRadiusShare * GetModelSize() / std::sqrt(3.0);
  const CSolid octahedron = MakeOctahedron(r);
  std::map<std::array<long, 3>, int> planeColour;
  for (int f = 0; f < 8; ++f) {
    const std::vector<Point> c = FaceCorners(octahedron, f);
    const Point tip = Add(Add(c[0], c[1]), c[2]);
    const Point centre = Scale(Add(tip, Add(Add(c[0], c[1]), c[2])), 0.25);
    for (int j = 0; j < 3; ++j) {
      const Point& a = c[j];
      const Point& b = c[(j + 1) % 3];
      Point n = Cross(Sub(a, tip), Sub(b, tip));
      if (Dot(n, Sub(tip, centre)) < 0) n = Scale(n, -1);
      n = Scale(n, 1 / std::sqrt(Dot(n, n)));
      const std::array<long, 3> key = {std::lround(n[0] * 1000), std::lround(n[1] * 1000), std::lround(n[2] * 1000)};
      const int colour = planeColour.emplace(key, static_cast<int>(planeColour.size()) + 1).first->second;
      const Point m = Mid(a, b);
      AddPieceFace({tip, a, m}, colour, centre);
      AddPieceFace({tip, m, b}, colour, centre);
    }
  }
}

// ---- Tricosa: a stellated icosahedron ----
// An icosahedron with a three-sided spike on each of its twenty faces; a spike and the one
// opposite it share one of the ten colours.
CTricosaPuzzle::CTricosaPuzzle(int) : CDisplayPuzzle(20) {
  const double r = 0.22 * GetModelSize();
  const CSolid icosahedron = MakeIcosahedron(r);
  const double tipRadius = 1.45 * r;
  std::vector<Point> centres;
  for (int f = 0; f < 20; ++f) centres.push_back(Centroid(FaceCorners(icosahedron, f)));
  std::vector<int> colour(20, 0);
  int next = 1;
  for (int f = 0; f < 20; ++f) {
    if (colour[f]) continue;
    colour[f] = next;
    for (int g = 0; g < 20; ++g)
      if (Dot(centres[g], centres[f]) < -0.99 * Dot(centres[f], centres[f])) colour[g] = next;
    ++next;
  }
  for (int f = 0; f < 20; ++f) {
    const std::vector<Point> c = FaceCorners(icosahedron, f);
    const Point tip = Scale(centres[f], tipRadius / std::sqrt(Dot(centres[f], centres[f])));
    const Point centre = Scale(Add(tip, Scale(centres[f], 3)), 0.25);
    for (int j = 0; j < 3; ++j) AddPieceFace({tip, c[j], c[(j + 1) % 3]}, colour[f], centre);
  }
}

// ---- Barrel ----
// Ten staves round the Z axis, bulging towards the middle in four bands, and two flat ends.
// Every stave has its own colour; the ends are the dark red of the hoops.
CBarrelPuzzle::CBarrelPuzzle(int) : CDisplayPuzzle(21) {
  const double s = GetModelSize();
  const double heights[5] = {-0.25 * s, -0.125 * s, 0, 0.125 * s, 0.25 * s};
  const double radii[5] = {0.17 * s, 0.205 * s, 0.22 * s, 0.205 * s, 0.17 * s};
  constexpr int kStaves = 10;
  constexpr int kEndColour = 4;
  auto at = [&](int ring, int stave) {
    const double angle = 2 * M_PI * stave / kStaves;
    return Point{radii[ring] * std::cos(angle), radii[ring] * std::sin(angle), heights[ring]};
  };
  const Point origin{0, 0, 0};
  for (int k = 0; k < kStaves; ++k)
    for (int ring = 0; ring < 4; ++ring)
      AddFace({at(ring, k), at(ring, k + 1), at(ring + 1, k + 1), at(ring + 1, k)}, k + 1, origin);
  for (int end : {0, 4}) {
    std::vector<Point> cap;
    for (int k = 0; k < kStaves; ++k) cap.push_back(at(end, k));
    AddFace(cap, kEndColour, origin);
  }
}

// ---- DiagonalCube ----
// A cube whose faces are cut through their edge midpoints: a diamond in the middle of each
// face, and corner triangles halved along the face diagonals. The halves beside an edge take
// the colour of the face across it, so diamonds of colour ring every edge.
CDiagonalCubePuzzle::CDiagonalCubePuzzle(int) : CDisplayPuzzle(22) {
  const CSolid cube = OnGrid(MakeCube(kRadiusShare * GetModelSize()));
  const std::vector<int> colours = Numbered(6);
  for (int f = 0; f < 6; ++f) AddCornerCutFace(*this, cube, f, colours);
}

// ---- Tetra ----
// A tetrahedron cut as the diagonal cube: a middle triangle and halved corner triangles per
// face, seen from a corner.
CTetraPuzzle::CTetraPuzzle(int) : CDisplayPuzzle(23) {
  const CSolid tetrahedron = OnGrid(MakeTetrahedron(kRadiusShare * GetModelSize()));
  const std::vector<int> colours = Numbered(4);
  for (int f = 0; f < 4; ++f) AddCornerCutFace(*this, tetrahedron, f, colours);
}

void CTetraPuzzle::ResetView(int width, int height) {
  CDisplayPuzzle::ResetView(width, height);
  ApplyCornerView(*this);
}

// ---- TetOcta ----
// A tetrahedron built of an octahedron and four corner tetrahedra, its corners cut off half
// way: the octahedron's four faces that show lie in the middle of the big faces (four
// triangles each, in colours 5..8), the corner pieces' sides are three triangles each and
// their cut ends one (colours 1..4). A truncated tetrahedron that shows how it is built.
CTetOctaPuzzle::CTetOctaPuzzle(int) : CDisplayPuzzle(24) {
  const double r = kRadiusShare * GetModelSize() / std::sqrt(3.0) * 1.2;
  const CSolid octahedron = MakeOctahedron(r);
  const Point origin{0, 0, 0};
  int cornerColour = 1;
  int faceColour = 5;
  for (int f = 0; f < 8; ++f) {
    const std::vector<Point> c = FaceCorners(octahedron, f);
    const Point centre = Centroid(c);
    if (centre[0] * centre[1] * centre[2] < 0) {
      for (const std::vector<Point>& t : Quartered(c[0], c[1], c[2])) AddFace(t, faceColour, origin);
      ++faceColour;
      continue;
    }
    const Point tip = Add(Add(c[0], c[1]), c[2]);
    for (int j = 0; j < 3; ++j) {
      const Point& a = c[j];
      const Point& b = c[(j + 1) % 3];
      const Point m = Mid(a, b), ta = Mid(a, tip), tb = Mid(b, tip);
      AddFace({a, m, ta}, cornerColour, origin);
      AddFace({m, tb, ta}, cornerColour, origin);
      AddFace({m, b, tb}, cornerColour, origin);
    }
    AddFace({Mid(c[0], tip), Mid(c[1], tip), Mid(c[2], tip)}, cornerColour, origin);
    ++cornerColour;
  }
}

// ---- SuperX ----
// A cube whose faces are cut by both diagonals and both middle lines into eight triangles;
// they alternate between the face's colour and that of the face across their edge.
CSuperXPuzzle::CSuperXPuzzle(int) : CDisplayPuzzle(26) {
  const CSolid cube = MakeCube(kRadiusShare * GetModelSize());
  const Point origin{0, 0, 0};
  for (int f = 0; f < 6; ++f) {
    const std::vector<Point> c = FaceCorners(cube, f);
    const Point centre = Centroid(c);
    for (int j = 0; j < 4; ++j) {
      const Point m = Mid(c[j], c[(j + 1) % 4]);
      AddFace({centre, c[j], m}, f + 1, origin);
      AddFace({centre, m, c[(j + 1) % 4]}, Neighbour(cube, f, j) + 1, origin);
    }
  }
}

// ---- TetraStar ----
// A tetrahedron with a tall three-sided spike on each face, each spike face cut into four
// triangles; every spike has its colour.
CTetraStarPuzzle::CTetraStarPuzzle(int) : CDisplayPuzzle(27) {
  const double r = 0.2 * GetModelSize();
  const CSolid tetrahedron = MakeTetrahedron(r);
  for (int f = 0; f < 4; ++f) {
    const std::vector<Point> c = FaceCorners(tetrahedron, f);
    const Point middle = Centroid(c);
    const Point tip = Scale(middle, 1.8 * r / std::sqrt(Dot(middle, middle)));
    const Point centre = Scale(Add(tip, Scale(middle, 3)), 0.25);
    for (int j = 0; j < 3; ++j)
      for (const std::vector<Point>& t : Quartered(tip, c[j], c[(j + 1) % 3])) AddPieceFace(t, f + 1, centre);
  }
}

void CTetraStarPuzzle::ResetView(int width, int height) {
  CDisplayPuzzle::ResetView(width, height);
  ApplyTetraStarView(*this);
}

// ---- the polygons ----
// A thin slab of n sides. Each side face shows a middle n-gon inside six concentric bands, each
// band one facelet per edge; one rim facelet per edge: 13n + 2 facelets. The middle and every
// second band are the side's own colour (the last two of the palette, front and back); the
// other bands and the rim take the colour of their edge, so each edge's colour runs in
// stripes from the rim inwards.
namespace {

int ValidSides(int n) { return (n == 3 || n == 5 || n == 6 || n == 8) ? n : 3; }

int PolygonTypeId(int n) {
  switch (n) {
    case 5: return 31;
    case 6: return 32;
    case 8: return 33;
    default: return 30;
  }
}

}  // namespace

CPolygonPuzzle::CPolygonPuzzle(int sides) : CDisplayPuzzle(PolygonTypeId(ValidSides(sides)), ValidSides(sides)) {
  const int n = m_size;
  const double s = GetModelSize();
  constexpr int kBands = 6;
  const double innerRadius = 0.08 * s;
  const double outerRadius = 0.34 * s;
  const double halfThickness = 0.02 * s;
  // The slab faces the viewer in the starting view, a corner at the top: its axes are the
  // model directions that the view turns to the right, up and towards the viewer.
  CFixMatrix view;
  view.Identity();
  view.RotateX(225);
  view.RotateY(-45);
  view.RotateZ(-90);
  auto row = [&](int r, double sign) {
    return Point{sign * FixToDouble(view.m[r][0]), sign * FixToDouble(view.m[r][1]), sign * FixToDouble(view.m[r][2])};
  };
  const Point right = row(0, 1), up = row(1, -1), front = row(2, 1);
  // Corner j of the n-gon ring (0 the middle's outline, kBands the rim), on one side.
  auto at = [&](int ring, int j, double z) {
    const double radius = innerRadius + (outerRadius - innerRadius) * ring / kBands;
    const double angle = 2 * M_PI * j / n + M_PI / 2;
    return Add(Add(Scale(right, radius * std::cos(angle)), Scale(up, radius * std::sin(angle))), Scale(front, z));
  };
  const Point origin{0, 0, 0};
  for (int side = 0; side < 2; ++side) {
    const double z = side == 0 ? halfThickness : -halfThickness;
    const int own = n + 1 + side;
    std::vector<Point> middle;
    for (int j = 0; j < n; ++j) middle.push_back(at(0, j, z));
    AddFace(middle, own, origin);
    for (int j = 0; j < n; ++j)
      for (int band = 0; band < kBands; ++band)
        AddFace({at(band, j, z), at(band, j + 1, z), at(band + 1, j + 1, z), at(band + 1, j, z)},
                band % 2 ? own : j + 1, origin);
  }
  for (int j = 0; j < n; ++j)
    AddFace({at(kBands, j, halfThickness), at(kBands, j + 1, halfThickness), at(kBands, j + 1, -halfThickness),
             at(kBands, j, -halfThickness)},
            j + 1, origin);
}

// ---- Ultimate ----
// Nothing to show: no vertices, no facelets; only its palette and the mask length of its row.
CUltimatePuzzle::CUltimatePuzzle(int) : CDisplayPuzzle(35) {}

// ---- Crystal ----
// A truncated tetrahedron, seen from a corner: each hexagon cut into six triangles from its
// centre, in the colour of its face; each small triangle where a corner was cut off shows
// the colour of the face opposite that corner.
CCrystalPuzzle::CCrystalPuzzle(int) : CDisplayPuzzle(36) {
  const CSolid tetrahedron = MakeTetrahedron(0.4 * GetModelSize());
  const std::vector<Point>& v = tetrahedron.vertices;
  auto cut = [&](int from, int to) { return Lerp(v[from], v[to], 1.0 / 3); };
  const Point origin{0, 0, 0};
  for (int f = 0; f < 4; ++f) {
    const std::vector<int>& c = tetrahedron.faces[f];
    std::vector<Point> hexagon;
    for (int j = 0; j < 3; ++j) {
      hexagon.push_back(cut(c[j], c[(j + 1) % 3]));
      hexagon.push_back(cut(c[(j + 1) % 3], c[j]));
    }
    const Point centre = Centroid(hexagon);
    for (int j = 0; j < 6; ++j) AddFace({centre, hexagon[j], hexagon[(j + 1) % 6]}, f + 1, origin);
  }
  for (int corner = 0; corner < 4; ++corner) {
    std::vector<Point> triangle;
    for (int other = 0; other < 4; ++other)
      if (other != corner) triangle.push_back(cut(corner, other));
    int opposite = 0;
    for (int f = 0; f < 4; ++f)
      if (!std::count(tetrahedron.faces[f].begin(), tetrahedron.faces[f].end(), corner)) opposite = f;
    AddFace(triangle, opposite + 1, origin);
  }
}

void CCrystalPuzzle::ResetView(int width, int height) {
  CDisplayPuzzle::ResetView(width, height);
  ApplyCornerView(*this);
}
