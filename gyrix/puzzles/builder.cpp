#include <gyrix/puzzles/builder.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

using Point = std::array<double, 3>;

constexpr double kPi = 3.14159265358979323846;

Point Scaled(const Point& p, double s) { return {p[0] * s, p[1] * s, p[2] * s}; }
Point Plus(const Point& a, const Point& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Point Minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const Point& p) { return std::sqrt(Dot(p, p)); }
// a + t (b - a)
Point Lerp(const Point& a, const Point& b, double t) { return Plus(a, Scaled(Minus(b, a), t)); }

Point ToPoint(const CFixVector& v) { return {FixToDouble(v.x), FixToDouble(v.y), FixToDouble(v.z)}; }

// A point at a latitude and longitude (degrees) on the sphere of radius r.
Point OnSphere(double r, double latitude, double longitude) {
  const double lat = latitude * kPi / 180;
  const double lon = longitude * kPi / 180;
  return {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon), r * std::sin(lat)};
}

template <std::size_t N, std::size_t M>
std::vector<std::vector<int>> FaceList(const int (&table)[N][M]) {
  std::vector<std::vector<int>> faces;
  for (const auto& face : table) faces.emplace_back(face, face + M);
  return faces;
}

int RoundToRaw(double v) {
  const double raw = std::round(v * kFixOne);
  if (std::isnan(raw)) return 0;
  return static_cast<int>(std::clamp(raw, double(std::numeric_limits<int>::min()),
                                     double(std::numeric_limits<int>::max())));
}

Point ModelPoint(const CPolyModel& model, int index) {
  const CFixVector* v = model.GetVertex(index, kModelVertices);
  return v ? ToPoint(*v) : Point{0, 0, 0};
}

int AddPoint(CPolyModel& model, const Point& p) { return AddVertexOnce(model, FixPoint(p)); }

// The corners of a face, checked: indices of existing vertices, as many as the pattern needs.
bool IsFace(const CPolyModel& model, std::span<const int> face, std::size_t corners) {
  if (face.size() != corners) return false;
  return std::all_of(face.begin(), face.end(), [&](int v) { return v >= 0 && v < model.GetVertexCount(); });
}

// Facelets by id; ids no facelet has stay null.
std::vector<const CFacelet*> FaceletsById(const CPolyModel& model) {
  std::vector<const CFacelet*> byId(model.GetFaceletCount(), nullptr);
  for (int i = 0; i < model.GetFaceletCount(); ++i) {
    const CFacelet* f = model.GetFacelet(i);
    if (f && f->GetId() >= 0 && f->GetId() < static_cast<int>(byId.size())) byId[f->GetId()] = f;
  }
  return byId;
}

std::vector<int> ColoursById(const CPolyModel& model) {
  std::vector<int> colours(model.GetFaceletCount(), -1);
  const std::vector<const CFacelet*> byId = FaceletsById(model);
  for (std::size_t id = 0; id < byId.size(); ++id)
    if (byId[id]) colours[id] = byId[id]->GetColour();
  return colours;
}

// The colour of a facelet id, or -2 for an id no facelet has.
int ColourOf(const std::vector<int>& colours, int id) {
  return (id >= 0 && id < static_cast<int>(colours.size())) ? colours[id] : -2;
}

// The centroids of the facelets by id (model vertices); an id no facelet has gets none.
struct Centroids {
  std::vector<Point> at;
  std::vector<bool> present;
};

Centroids CentroidsById(const std::vector<const CFacelet*>& byId) {
  Centroids c{std::vector<Point>(byId.size(), Point{0, 0, 0}), std::vector<bool>(byId.size(), false)};
  for (std::size_t id = 0; id < byId.size(); ++id)
    if (byId[id]) {
      c.at[id] = ToPoint(FaceletCentroid(*byId[id], kModelVertices));
      c.present[id] = true;
    }
  return c;
}

double DefaultTolerance(const Centroids& c) {
  double shortest = std::numeric_limits<double>::infinity();
  for (std::size_t a = 0; a < c.at.size(); ++a)
    for (std::size_t b = a + 1; b < c.at.size(); ++b) {
      const double d = Length(Minus(c.at[a], c.at[b]));
      if (c.present[a] && c.present[b] && d > 0) shortest = std::min(shortest, d);
    }
  return std::isinf(shortest) ? 0 : shortest / 4;
}

// The id of the centroid nearest p, and its distance.
int Nearest(const Centroids& c, const Point& p, double& distance) {
  int best = -1;
  distance = std::numeric_limits<double>::infinity();
  for (std::size_t id = 0; id < c.at.size(); ++id) {
    const double d = Length(Minus(c.at[id], p));
    if (c.present[id] && d < distance) {
      distance = d;
      best = static_cast<int>(id);
    }
  }
  return best;
}

CRotationTurn Refused(int facelet, std::string why) {
  CRotationTurn result;
  result.failedFacelet = facelet;
  result.error = std::move(why);
  return result;
}

int PlaceIn(const std::vector<int>& list, int id) {
  const auto it = std::find(list.begin(), list.end(), id);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

}  // namespace

// ---- regular solids ----

CSolid MakeTetrahedron(double radius) {
  const double below = -std::asin(1.0 / 3) * 180 / kPi;  // z = -r / 3
  return {{{0, 0, radius}, OnSphere(radius, below, 90), OnSphere(radius, below, 210), OnSphere(radius, below, 330)},
          FaceList(kTetrahedronFaces)};
}

CSolid MakeCube(double radius) {
  const double h = radius / std::sqrt(3.0);
  // Counter-clockwise seen from above, from the (-, -) corner; the top square, then the bottom.
  const int signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  CSolid cube;
  for (double z : {h, -h})
    for (const auto& s : signs) cube.vertices.push_back({s[0] * h, s[1] * h, z});
  cube.faces = FaceList(kCubeFaces);
  return cube;
}

CSolid MakeOctahedron(double radius) {
  const double r = radius;
  return {{{0, 0, r}, {r, 0, 0}, {0, r, 0}, {-r, 0, 0}, {0, -r, 0}, {0, 0, -r}}, FaceList(kOctahedronFaces)};
}

CSolid MakeIcosahedron(double radius) {
  const double ring = std::atan(0.5) * 180 / kPi;
  CSolid ico;
  ico.vertices.push_back({0, 0, radius});
  for (int k = 1; k <= 5; ++k) ico.vertices.push_back(OnSphere(radius, ring, 72 * k));
  ico.vertices.push_back({0, 0, -radius});
  for (int longitude : {324, 252, 180, 108, 36}) ico.vertices.push_back(OnSphere(radius, -ring, longitude));
  ico.faces = FaceList(kIcosahedronFaces);
  return ico;
}

CSolid MakeDodecahedron(double radius) {
  const CSolid ico = MakeIcosahedron(1.0);
  CSolid dodeca;
  for (const std::vector<int>& face : ico.faces) {
    Point centre{0, 0, 0};
    for (int v : face) centre = Plus(centre, ico.vertices[v]);
    dodeca.vertices.push_back(Scaled(centre, radius / Length(centre)));
  }
  dodeca.faces = FaceList(kDodecahedronFaces);
  return dodeca;
}

// ---- vertices ----

CFixVector FixPoint(double x, double y, double z) {
  return CFixVector::FromRaw(RoundToRaw(x), RoundToRaw(y), RoundToRaw(z));
}

CFixVector FixPoint(const std::array<double, 3>& p) { return FixPoint(p[0], p[1], p[2]); }

int AddVertexOnce(CPolyModel& model, const CFixVector& v, int tolerance) {
  const auto near = [&](int a, int b) { return std::llabs(std::int64_t(a) - b) <= tolerance; };
  for (int i = 0; i < model.GetVertexCount(); ++i) {
    const CFixVector* w = model.GetVertex(i, kModelVertices);
    if (w && near(w->x, v.x) && near(w->y, v.y) && near(w->z, v.z)) return i;
  }
  return model.AddVertex(v);
}

std::vector<std::vector<int>> AddSolidVertices(CPolyModel& model, const CSolid& solid) {
  std::vector<int> index;
  for (const Point& p : solid.vertices) index.push_back(AddPoint(model, p));
  std::vector<std::vector<int>> faces;
  for (const std::vector<int>& face : solid.faces) {
    std::vector<int>& placed = faces.emplace_back();
    for (int v : face) placed.push_back(index[v]);
  }
  return faces;
}

// ---- facelets ----

std::vector<int> AddTriangleGrid(CPolyModel& model, std::span<const int> triangle, int n) {
  if (n < 1 || !IsFace(model, triangle, 3)) return {};
  const Point a = ModelPoint(model, triangle[0]);
  const Point b = ModelPoint(model, triangle[1]);
  const Point c = ModelPoint(model, triangle[2]);
  // point[i][j] = P(i, j), for i + j <= n.
  std::vector<std::vector<int>> point(n + 1, std::vector<int>(n + 1, -1));
  for (int level = 0; level <= n; ++level)
    for (int j = 0; j <= level; ++j) {
      const int i = level - j;
      const Point p = Plus(a, Plus(Scaled(Minus(b, a), double(i) / n), Scaled(Minus(c, a), double(j) / n)));
      point[i][j] = AddPoint(model, p);
    }
  std::vector<int> ids;
  for (int r = 0; r < n; ++r)
    for (int k = 0; k <= r; ++k) {
      const int upright[3] = {point[r - k][k], point[r - k + 1][k], point[r - k][k + 1]};
      ids.push_back(model.AddFacelet(upright, 3));
      if (k == r) break;
      const int inverted[3] = {point[r - k][k + 1], point[r - k - 1][k + 1], point[r - k][k]};
      ids.push_back(model.AddFacelet(inverted, 3));
    }
  return ids;
}

std::vector<int> AddSquareGrid(CPolyModel& model, std::span<const int> quad, int n) {
  if (n < 1 || !IsFace(model, quad, 4)) return {};
  const Point a = ModelPoint(model, quad[0]);
  const Point b = ModelPoint(model, quad[1]);
  const Point c = ModelPoint(model, quad[2]);
  const Point d = ModelPoint(model, quad[3]);
  std::vector<std::vector<int>> point(n + 1, std::vector<int>(n + 1, -1));  // point[j][i]
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) {
      const double s = double(i) / n;
      point[j][i] = AddPoint(model, Lerp(Lerp(a, b, s), Lerp(d, c, s), double(j) / n));
    }
  std::vector<int> ids;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const int cell[4] = {point[j][i], point[j][i + 1], point[j + 1][i + 1], point[j + 1][i]};
      ids.push_back(model.AddFacelet(cell, 4));
    }
  return ids;
}

std::vector<int> AddPentagonFacelets(CPolyModel& model, std::span<const int> pentagon, double innerScale) {
  if (!IsFace(model, pentagon, 5)) return {};
  Point corner[5];
  Point centre{0, 0, 0};
  for (int j = 0; j < 5; ++j) {
    corner[j] = ModelPoint(model, pentagon[j]);
    centre = Plus(centre, Scaled(corner[j], 0.2));
  }
  int edge[5];
  int inner[5];
  for (int j = 0; j < 5; ++j) edge[j] = AddPoint(model, Lerp(corner[j], corner[(j + 1) % 5], 0.5));
  for (int j = 0; j < 5; ++j) inner[j] = AddPoint(model, Lerp(centre, corner[j], innerScale));
  std::vector<int> ids;
  for (int j = 0; j < 5; ++j) {
    const int quad[4] = {pentagon[j], edge[j], inner[j], edge[(j + 4) % 5]};
    ids.push_back(model.AddFacelet(quad, 4));
  }
  for (int j = 0; j < 5; ++j) {
    const int triangle[3] = {edge[j], inner[(j + 1) % 5], inner[j]};
    ids.push_back(model.AddFacelet(triangle, 3));
  }
  ids.push_back(model.AddFacelet(inner, 5));
  return ids;
}

// ---- rotations ----

void RotateAbout(CFixMatrix& matrix, ModelAxis axis, int degrees) {
  switch (axis) {
    case kAxisX: matrix.RotateX(degrees); break;
    case kAxisY: matrix.RotateY(degrees); break;
    case kAxisZ: matrix.RotateZ(degrees); break;
  }
}

void RotateAboutUnitAxis(CFixMatrix& matrix, const std::array<double, 3>& k, double degrees) {
  const double radians = degrees * 3.14159265358979323846 / 180;
  const double c = std::cos(radians), s = std::sin(radians), v = 1 - c;
  const double r[3][3] = {{c + v * k[0] * k[0], v * k[0] * k[1] - s * k[2], v * k[0] * k[2] + s * k[1]},
                          {v * k[1] * k[0] + s * k[2], c + v * k[1] * k[1], v * k[1] * k[2] - s * k[0]},
                          {v * k[2] * k[0] - s * k[1], v * k[2] * k[1] + s * k[0], c + v * k[2] * k[2]}};
  CFixMatrix spin;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) spin.m[i][j] = ToFixed(r[i][j]);
  matrix.Multiply(spin);
}

void RotateAboutTiltedAxis(CFixMatrix& matrix, const CTiltedAxis& tilt, int angle) {
  const auto step = [&matrix](ModelAxis axis, int degrees) {
    if (degrees != 0) RotateAbout(matrix, axis, degrees);
  };
  step(tilt.outer, -tilt.outerAngle);
  step(tilt.inner, -tilt.innerAngle);
  step(tilt.spin, tilt.direction * angle);
  step(tilt.inner, tilt.innerAngle);
  step(tilt.outer, tilt.outerAngle);
}

// ---- turn parts ----

CTurnPart CTurnPart::Whole() { return CTurnPart(); }

CTurnPart CTurnPart::InFrontOf(const CFixVector& point, const CFixVector& normal) {
  CTurnPart part;
  part.AndInFrontOf(point, normal);
  return part;
}

CTurnPart CTurnPart::InFrontOf(const CFixPlane& plane) {
  CTurnPart part;
  part.m_planes.push_back(plane);
  return part;
}

CTurnPart CTurnPart::Facelets(std::vector<int> ids) {
  CTurnPart part;
  part.m_ids = std::move(ids);
  part.m_byIds = true;
  return part;
}

CTurnPart& CTurnPart::AndInFrontOf(const CFixVector& point, const CFixVector& normal) {
  m_halfSpaces.push_back({ToPoint(point), ToPoint(normal)});
  return *this;
}

bool CTurnPart::Holds(const CFacelet& facelet) const {
  if (m_byIds) return PlaceIn(m_ids, facelet.GetId()) != -1;
  const Point c = ToPoint(FaceletCentroid(facelet, kModelVertices));
  for (const HalfSpace& h : m_halfSpaces)
    if (Dot(Minus(c, h.point), h.normal) <= kPlaneMargin * Length(h.normal)) return false;
  for (const CFixPlane& plane : m_planes)
    if (!plane.IsFaceletInFront(facelet, kModelVertices)) return false;
  return true;
}

// ---- turns from rotations ----

CRotationTurn TurnFromMatrix(const CPolyModel& model, const CFixMatrix& rotation, const CTurnPart& part,
                             double tolerance) {
  const std::vector<const CFacelet*> byId = FaceletsById(model);
  const int count = static_cast<int>(byId.size());
  const Centroids centroid = CentroidsById(byId);
  if (tolerance <= 0) tolerance = DefaultTolerance(centroid);

  CRotationTurn turn;
  turn.permutation.resize(count);
  for (int id = 0; id < count; ++id) {
    turn.permutation[id] = id;
    if (!byId[id] || !part.Holds(*byId[id])) continue;
    const CFixVector moved = rotation.Transform(FaceletCentroid(*byId[id], kModelVertices));
    double distance = 0;
    const int to = Nearest(centroid, ToPoint(moved), distance);
    if (to < 0 || distance > tolerance)
      return Refused(id, "facelet " + std::to_string(id) + " lands on no facelet (nearest " + std::to_string(to) +
                             " at " + std::to_string(distance) + ")");
    turn.permutation[id] = to;
    if (to == id) turn.inPlace.push_back(id);
  }
  std::vector<int> from(count, -1);
  for (int id = 0; id < count; ++id) {
    const int to = turn.permutation[id];
    if (from[to] != -1)
      return Refused(id, "facelets " + std::to_string(from[to]) + " and " + std::to_string(id) +
                             " both land on facelet " + std::to_string(to));
    from[to] = id;
  }
  turn.valid = true;
  return turn;
}

CRotationTurn TurnFromRotation(CPuzzle& puzzle, int move, const CTurnPart& part, double tolerance) {
  CFixMatrix rotation;
  puzzle.GetMoveRotation(rotation, move, puzzle.GetMoveStep(move) * puzzle.GetMoveFrames(move));
  return TurnFromMatrix(puzzle, rotation, part, tolerance);
}

int AddRotationTurn(CPuzzle& puzzle, int move, const CTurnPart& part, double tolerance) {
  if (move != puzzle.GetMoveCount() + 1) return 0;
  const CRotationTurn turn = TurnFromRotation(puzzle, move, part, tolerance);
  if (!turn.valid) return 0;
  const int added = puzzle.AddMove(turn.permutation.data(), turn.inPlace.empty() ? -1 : turn.inPlace.front());
  const std::uint32_t bit = 1u << CPuzzle::MaskBit(added - 1);
  for (int id : turn.inPlace) puzzle.SetMoveMask(id, puzzle.GetMoveMask(id) | bit);
  return added;
}

// ---- turns from tables of cycles ----

CTurnCycleTable MakeCycleTable(std::span<const int> ids, int perTurn, int length, int firstTurn) {
  CTurnCycleTable table;
  if (perTurn < 1 || length < 1) return table;
  const std::size_t perRow = std::size_t(perTurn) * length;
  for (std::size_t row = 0; (row + 1) * perRow <= ids.size(); ++row)
    for (int c = 0; c < perTurn; ++c) {
      const auto first = ids.begin() + row * perRow + std::size_t(c) * length;
      table.push_back({firstTurn + static_cast<int>(row), std::vector<int>(first, first + length)});
    }
  return table;
}

std::vector<int> PermutationFromCycles(const CTurnCycleTable& table, int turn, int count) {
  std::vector<int> permutation(std::max(count, 0));
  for (int i = 0; i < count; ++i) permutation[i] = i;
  for (const CTurnCycle& cycle : table) {
    const bool inRange = std::all_of(cycle.facelets.begin(), cycle.facelets.end(),
                                     [count](int id) { return id >= 0 && id < count; });
    if (cycle.turn == turn && inRange)
      CPolyModel::CycleFacelets(permutation.data(), cycle.facelets.data(), static_cast<int>(cycle.facelets.size()));
  }
  return permutation;
}

int TurnFromCycleDrag(const CTurnCycleTable& table, int press, int release) {
  if (press == release) return 0;
  for (const CTurnCycle& cycle : table) {
    const int p = PlaceIn(cycle.facelets, press);
    const int r = PlaceIn(cycle.facelets, release);
    if (p < 0 || r < 0) continue;
    const int length = static_cast<int>(cycle.facelets.size());
    const int step = ((r - p) % length + length) % length;
    if (step == 1) return cycle.turn;
    if (step == length - 1) return -cycle.turn;
    return r > p ? cycle.turn : -cycle.turn;
  }
  return 0;
}

int TurnFromStripDrag(const CTurnCycleTable& strips, int press, int release) {
  if (press == release) return 0;
  for (const CTurnCycle& strip : strips) {
    const int p = PlaceIn(strip.facelets, press);
    const int r = PlaceIn(strip.facelets, release);
    if (p >= 0 && r >= 0) return r > p ? strip.turn : -strip.turn;
  }
  return 0;
}

// ---- colours and the solved test ----

CFaceletGroups ConsecutiveGroups(int groupCount, int groupSize, int first) {
  CFaceletGroups groups(std::max(groupCount, 0));
  for (int k = 0; k < groupCount; ++k)
    for (int i = 0; i < groupSize; ++i) groups[k].push_back(first + k * groupSize + i);
  return groups;
}

void PaintGroups(CPolyModel& model, const CFaceletGroups& groups, std::span<const int> colours) {
  constexpr int kUnpainted = std::numeric_limits<int>::min();
  std::vector<int> colourById(model.GetFaceletCount(), kUnpainted);
  for (std::size_t k = 0; k < groups.size() && k < colours.size(); ++k)
    for (int id : groups[k])
      if (id >= 0 && id < static_cast<int>(colourById.size())) colourById[id] = colours[k];
  for (int i = 0; i < model.GetFaceletCount(); ++i) {
    CFacelet* f = model.GetFacelet(i);
    const int id = f->GetId();
    if (id >= 0 && id < static_cast<int>(colourById.size()) && colourById[id] != kUnpainted) f->SetColour(colourById[id]);
  }
}

bool EachGroupUniform(const CPolyModel& model, const CFaceletGroups& groups) {
  const std::vector<int> colours = ColoursById(model);
  for (const std::vector<int>& group : groups) {
    int shown = -2;
    for (int id : group) {
      const int colour = ColourOf(colours, id);
      if (colour == -2) continue;
      if (shown == -2)
        shown = colour;
      else if (colour != shown)
        return false;
    }
  }
  return true;
}

bool GroupsShowColours(const CPolyModel& model, const CFaceletGroups& groups, std::span<const int> colours) {
  if (colours.size() < groups.size()) return false;
  const std::vector<int> shown = ColoursById(model);
  for (std::size_t k = 0; k < groups.size(); ++k)
    for (int id : groups[k]) {
      const int colour = ColourOf(shown, id);
      if (colour != -2 && colour != colours[k]) return false;
    }
  return true;
}
