#include <gyrix/puzzles/skewb.h>

#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using Point = std::array<int, 3>;

// ---- the Skewb ----

// Vertices in three rings along Y: the y = -1 face's corners and edge midpoints going round
// from (1, -1, 1), the midpoints of the four edges along Y, then the y = +1 face likewise.
const Point kSkewbVertices[] = {
    {1, -1, 1}, {0, -1, 1}, {-1, -1, 1}, {-1, -1, 0}, {-1, -1, -1}, {0, -1, -1}, {1, -1, -1}, {1, -1, 0},
    {1, 0, 1},  {-1, 0, 1}, {-1, 0, -1}, {1, 0, -1},
    {1, 1, 1},  {0, 1, 1},  {-1, 1, 1},  {-1, 1, 0},  {-1, 1, -1},  {0, 1, -1},  {1, 1, -1},  {1, 1, 0},
};

// Outward normal of each face, by the face numbering the turn table implies.
const Point kSkewbFaceNormals[6] = {{0, -1, 0}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}};

// The cube corner of each corner triangle, facelets 6..29 (four per face, face k from 6 + 4k).
const Point kSkewbTriangleCorners[24] = {
    {1, -1, 1},  {-1, -1, 1}, {-1, -1, -1}, {1, -1, -1},   // face 0
    {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1},  {-1, 1, -1},   // face 1
    {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1},    // face 2
    {1, -1, 1},  {1, -1, -1}, {1, 1, -1},   {1, 1, 1},     // face 3
    {1, -1, 1},  {-1, -1, 1}, {-1, 1, 1},   {1, 1, 1},     // face 4
    {-1, 1, -1}, {1, 1, -1},  {1, 1, 1},    {-1, 1, 1},    // face 5
};

// Five 3-cycles per turn: four of corner triangles, then the three centres.
const int kSkewbTurnCycles[] = {
    11, 14, 28, 7,  19, 25, 6,  18, 22, 9,  21, 23, 0, 3, 4,
    10, 27, 22, 15, 20, 6,  14, 19, 9,  17, 18, 8,  2, 3, 0,
    13, 25, 9,  26, 21, 14, 27, 20, 17, 28, 19, 16, 5, 3, 2,
    12, 6,  17, 24, 18, 27, 25, 21, 28, 22, 20, 29, 4, 3, 5,
};

// Z angle, direction of the tilt about Y and of the spin of each turn's diagonal.
const CCornerCubePuzzle::CDiagonal kSkewbDiagonals[] = {{45, 1, -1}, {45, -1, -1}, {-45, -1, -1}, {-45, 1, -1}};

// Each turn's turning corner, then the opposite corner.
const std::array<int, 2> kSkewbAxisPoints[] = {{0, 16}, {6, 14}, {18, 2}, {12, 4}};

// Corner triangle, centre, corner triangle across one face, and the turn a drag along it makes.
struct Strip {
  std::array<int, 3> facelets;
  int turn;
};
const Strip kSkewbStrips[] = {
    {{7, 0, 9}, 1},     {{15, 2, 17}, 2},   {{26, 5, 28}, 3},   {{24, 4, 22}, 4},   {{8, 0, 6}, -2},
    {{16, 2, 14}, -3},  {{29, 5, 27}, -4},  {{23, 4, 25}, -1},  {{18, 3, 20}, 4},   {{19, 3, 21}, -3},
};

// ---- the XCube ----

// The corners, four at y = +1 then the four below them, and the face centres 8 + k.
const Point kXCubeVertices[] = {
    {-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1},
    {0, 1, 0},   {1, 0, 0},  {0, 0, -1}, {-1, 0, 0}, {0, 0, 1},   {0, -1, 0},
};
constexpr int kXCubeFirstCentre = 8;

// The edge of its face that each triangle stands on (from the face centre), as corner vertices.
const int kXCubeEdges[24][2] = {
    {3, 0}, {2, 3}, {1, 2}, {1, 0},  // face 0, y = +1
    {1, 2}, {2, 6}, {5, 6}, {5, 1},  // face 1, x = +1
    {5, 1}, {5, 4}, {4, 0}, {1, 0},  // face 2, z = -1
    {4, 0}, {4, 7}, {7, 3}, {3, 0},  // face 3, x = -1
    {2, 3}, {7, 3}, {6, 7}, {2, 6},  // face 4, z = +1
    {5, 4}, {5, 6}, {6, 7}, {4, 7},  // face 5, y = -1
};

// Two 3-cycles per turn, each of one triangle on each face round the turning corner.
const int kXCubeTurnCycles[] = {
    6,  20, 8,  7,  21, 9,
    2,  7,  11, 3,  4,  8,
    16, 5,  2,  19, 4,  1,
    22, 6,  19, 21, 5,  18,
    20, 13, 10, 23, 12, 9,
    18, 14, 23, 17, 13, 22,
    1,  15, 17, 0,  14, 16,
    11, 12, 0,  10, 15, 3,
};

// Opposite corners share a diagonal; the turns 5..8 spin the other way round it, so that every
// positive turn is right-handed about the axis out through its own corner.
const CCornerCubePuzzle::CDiagonal kXCubeDiagonals[] = {
    {45, -1, -1}, {-45, -1, -1}, {-45, 1, -1}, {45, 1, -1}, {-45, 1, 1}, {-45, -1, 1}, {45, -1, 1}, {45, 1, 1},
};

const std::array<int, 2> kXCubeAxisPoints[] = {{5, 3}, {1, 7}, {2, 4}, {6, 0}, {4, 2}, {7, 1}, {3, 5}, {0, 6}};

// The two triangles of one face at a corner, in the sense the corner's positive turn sweeps.
struct Pair {
  std::array<int, 2> facelets;
  int turn;
};
const Pair kXCubeStrips[] = {
    {{7, 6}, 1},    {{9, 8}, 1},    {{21, 20}, 1},  {{3, 2}, 2},    {{4, 7}, 2},    {{8, 11}, 2},
    {{2, 1}, 3},    {{5, 4}, 3},    {{16, 19}, 3},  {{6, 5}, 4},    {{19, 18}, 4},  {{22, 21}, 4},
    {{10, 9}, 5},   {{13, 12}, 5},  {{20, 23}, 5},  {{14, 13}, 6},  {{18, 17}, 6},  {{23, 22}, 6},
    {{1, 0}, 7},    {{15, 14}, 7},  {{17, 16}, 7},  {{0, 3}, 8},    {{11, 10}, 8},  {{12, 15}, 8},
};

constexpr int kFramesPerTurn = 6;
constexpr int kDegreesPerFrame = 20;

// The tilt from a face axis to a body diagonal is atan(1 / sqrt 2), about 35.26 degrees: a
// whole degree would leave the turning part off its cut. Applied about Y after what the matrix
// holds, as CFixMatrix::RotateY applies a whole angle.
void TiltAboutY(CFixMatrix& matrix, int sign) {
  const int s = sign * static_cast<int>(std::lround(kFixOne / std::sqrt(3.0)));
  const int c = static_cast<int>(std::lround(kFixOne * std::sqrt(2.0 / 3.0)));
  CFixMatrix tilt;
  tilt.m[0][0] = c;
  tilt.m[0][2] = s;
  tilt.m[2][0] = -s;
  tilt.m[2][2] = c;
  matrix.Multiply(tilt);
}

std::array<double, 3> Cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

std::array<double, 3> ToDoubles(const Point& p) { return {double(p[0]), double(p[1]), double(p[2])}; }

}  // namespace

// ---- shared ----

CCornerCubePuzzle::CCornerCubePuzzle(int typeId, int faceletCount) : CPuzzle(faceletCount) { m_typeId = typeId; }

void CCornerCubePuzzle::AddVertices(std::span<const Point> points) {
  for (const Point& p : points) AddVertex(p[0], p[1], p[2]);
}

int CCornerCubePuzzle::VertexAt(const Point& p) const {
  const CFixVector wanted(p[0], p[1], p[2]);
  for (int i = 0; i < GetVertexCount(); ++i)
    if (*GetVertex(i, kModelVertices) == wanted) return i;
  return -1;
}

int CCornerCubePuzzle::AddOutwardFacelet(std::vector<Point> corners) {
  const std::array<double, 3> p0 = ToDoubles(corners[0]);
  const std::array<double, 3> p1 = ToDoubles(corners[1]);
  const std::array<double, 3> pl = ToDoubles(corners.back());
  const std::array<double, 3> normal =
      Cross({p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]}, {pl[0] - p0[0], pl[1] - p0[1], pl[2] - p0[2]});
  if (Dot(normal, p0) < 0) std::reverse(corners.begin() + 1, corners.end());
  std::vector<int> indices;
  for (const Point& p : corners) indices.push_back(VertexAt(p));
  return AddFacelet(indices.data(), static_cast<int>(indices.size()));
}

void CCornerCubePuzzle::AddCutFace(const Point& corner, int level) {
  const std::array<double, 3> axis = ToDoubles(corner);
  const std::array<double, 3> middle = {axis[0] * level / 3, axis[1] * level / 3, axis[2] * level / 3};
  struct Around {
    double angle;
    int vertex;
  };
  std::vector<Around> points;
  std::array<double, 3> first{};
  for (int i = 0; i < GetVertexCount(); ++i) {
    const CFixVector* v = GetVertex(i, kModelVertices);
    const Point p = {v->x >> 16, v->y >> 16, v->z >> 16};
    if (p[0] * corner[0] + p[1] * corner[1] + p[2] * corner[2] != level) continue;
    const std::array<double, 3> q = {p[0] - middle[0], p[1] - middle[1], p[2] - middle[2]};
    if (points.empty()) first = q;
    points.push_back({std::atan2(Dot(q, Cross(axis, first)), Dot(q, first)), i});
  }
  std::sort(points.begin(), points.end(), [](const Around& a, const Around& b) { return a.angle < b.angle; });
  std::vector<int> polygon;
  for (const Around& a : points) polygon.push_back(a.vertex);
  AddInnerFacelet(polygon.data(), static_cast<int>(polygon.size()));
}

void CCornerCubePuzzle::AddTableTurns(std::span<const int> cycles, int cyclesPerTurn) {
  const CTurnCycleTable table = MakeCycleTable(cycles, cyclesPerTurn, 3);
  const int turns = static_cast<int>(cycles.size()) / (3 * cyclesPerTurn);
  for (int turn = 1; turn <= turns; ++turn)
    AddMove(PermutationFromCycles(table, turn, GetFaceletCount()).data(), -1);
}

void CCornerCubePuzzle::ResetColours() {
  static const int kFaceColours[6] = {1, 2, 3, 4, 5, 6};
  PaintGroups(*this, m_faces, kFaceColours);
}

void CCornerCubePuzzle::UpdateSolved() { m_solved = EachGroupUniform(*this, m_faces); }

int CCornerCubePuzzle::GetMoveStep(int /*move*/) { return kDegreesPerFrame; }

int CCornerCubePuzzle::GetMoveFrames(int /*move*/) { return kFramesPerTurn; }

void CCornerCubePuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int t = std::abs(move);
  if (t < 1 || t > static_cast<int>(m_diagonals.size())) return;
  const CDiagonal& d = m_diagonals[t - 1];
  const int s = d.direction * (move < 0 ? -angle : angle);
  matrix.RotateZ(d.aboutZ);
  TiltAboutY(matrix, d.tiltSign);
  matrix.RotateX(s);
  TiltAboutY(matrix, -d.tiltSign);
  matrix.RotateZ(-d.aboutZ);
}

BOOL CCornerCubePuzzle::GetMoveAxis(int k, CFixVector& a, CFixVector& b) {
  const bool listed = k >= 0 && k < static_cast<int>(m_axisPoints.size());
  const int first = listed ? m_axisPoints[k][0] : k;
  const int second = listed ? m_axisPoints[k][1] : k;
  if (const CFixVector* v = GetVertex(first, kViewVertices)) a = *v;
  if (const CFixVector* v = GetVertex(second, kViewVertices)) b = *v;
  return 1;
}

int CCornerCubePuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  return TurnFromStripDrag(m_strips, fromFacelet, toFacelet);
}

// ---- the Skewb ----

CSkewbPuzzle::CSkewbPuzzle(int /*argument*/) : CCornerCubePuzzle(6, 30) {
  AddVertices(kSkewbVertices);
  // Face centres: squares on the face's four edge midpoints.
  for (int k = 0; k < 6; ++k) {
    const Point& n = kSkewbFaceNormals[k];
    const int a = n[0] ? 0 : (n[1] ? 1 : 2);
    std::vector<Point> square;
    for (int i = 0; i < 4; ++i) {
      Point p = n;
      p[(a + 1 + i % 2) % 3] = i < 2 ? 1 : -1;
      square.push_back(p);
    }
    m_faces[k].push_back(AddOutwardFacelet(square));
  }
  // Corner triangles: the corner and the midpoints of its two edges on the face.
  for (int f = 0; f < 24; ++f) {
    const int k = f / 4;
    const Point& n = kSkewbFaceNormals[k];
    const int a = n[0] ? 0 : (n[1] ? 1 : 2);
    const Point c = kSkewbTriangleCorners[f];
    Point m1 = c;
    Point m2 = c;
    m1[(a + 1) % 3] = 0;
    m2[(a + 2) % 3] = 0;
    m_faces[k].push_back(AddOutwardFacelet({c, m1, m2}));
  }
  ApplyTypeLooks(*this, m_typeId);
  m_diagonals = kSkewbDiagonals;
  m_axisPoints = kSkewbAxisPoints;
  AddTableTurns(kSkewbTurnCycles, 5);
  for (const Strip& s : kSkewbStrips)
    m_strips.push_back({s.turn, std::vector<int>(s.facelets.begin(), s.facelets.end())});
  // The hexagon through the middle across each diagonal.
  for (const auto& points : kSkewbAxisPoints) AddCutFace(kSkewbVertices[points[0]], 0);
  ResetColours();
}

// ---- the XCube ----

CXCubePuzzle::CXCubePuzzle(int /*argument*/) : CCornerCubePuzzle(16, 24) {
  AddVertices(kXCubeVertices);
  for (int f = 0; f < 24; ++f) {
    const int k = f / 4;
    m_faces[k].push_back(AddOutwardFacelet(
        {kXCubeVertices[kXCubeFirstCentre + k], kXCubeVertices[kXCubeEdges[f][0]], kXCubeVertices[kXCubeEdges[f][1]]}));
  }
  ApplyTypeLooks(*this, m_typeId);
  m_diagonals = kXCubeDiagonals;
  m_axisPoints = kXCubeAxisPoints;
  AddTableTurns(kXCubeTurnCycles, 2);
  for (const Pair& s : kXCubeStrips)
    m_strips.push_back({s.turn, std::vector<int>(s.facelets.begin(), s.facelets.end())});
  // The cut through the three corners next to the turning one, and the face centres between.
  for (const auto& points : kXCubeAxisPoints) AddCutFace(kXCubeVertices[points[0]], 1);
  ResetColours();
}
