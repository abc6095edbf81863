#include <gyrix/puzzles/octahedron.h>

#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

// ---- size 2 ----

// Mode 1: six groups, one per corner axis, of four 4-cycles: the tip round the corner, then
// the three rings that make up the rest of the half.
const int kSize2CornerCycles[] = {
    12, 20, 21, 13, 6,  26, 25, 5,  2,  23, 29, 11, 15, 30, 19, 1,   // group 0
    30, 31, 28, 29, 26, 27, 24, 25, 23, 17, 18, 21, 20, 22, 16, 19,  // group 1
    11, 19, 18, 10, 5,  25, 24, 4,  13, 29, 16, 0,  1,  21, 28, 8,   // group 2
    9,  8,  16, 17, 7,  4,  24, 27, 3,  10, 28, 22, 14, 0,  18, 31,  // group 3
    0,  3,  2,  1,  4,  7,  6,  5,  8,  14, 12, 11, 10, 9,  15, 13,  // group 4
    15, 14, 22, 23, 6,  7,  27, 26, 2,  9,  31, 20, 12, 3,  17, 30,  // group 5
};

// Mode 2: eight turns of five 3-cycles each; the centre of the turning face stays in place.
const int kSize2FaceCycles[] = {
    29, 19, 21, 28, 11, 20, 18, 13, 30, 24, 5,  26, 12, 31, 10,  // turn 1
    11, 1,  13, 2,  21, 10, 12, 19, 0,  6,  25, 4,  3,  20, 18,  // turn 2
    0,  10, 8,  3,  11, 16, 9,  1,  18, 7,  5,  24, 2,  19, 17,  // turn 3
    18, 28, 16, 10, 29, 17, 8,  19, 31, 4,  25, 27, 11, 30, 9,   // turn 4
    17, 31, 22, 9,  28, 23, 14, 16, 30, 7,  24, 26, 8,  29, 15,  // turn 5
    9,  14, 3,  8,  22, 2,  0,  17, 15, 4,  27, 6,  16, 23, 1,   // turn 6
    2,  15, 12, 14, 20, 1,  3,  23, 13, 7,  26, 5,  0,  22, 21,  // turn 7
    23, 30, 20, 15, 31, 21, 12, 22, 29, 6,  27, 25, 14, 28, 13,  // turn 8
};
const int kSize2FaceCentres[] = {25, 5, 4, 24, 27, 7, 6, 26};

// Face k holds the four facelets at places 4k .. 4k + 3.
const int kSize2FaceList[] = {13, 5,  1,  11, 19, 21, 25, 29, 0,  10, 4,  8,  18, 24, 28, 16,
                              14, 7,  9,  3,  31, 22, 27, 17, 12, 6,  15, 2,  20, 26, 30, 23};

// Where each facelet lies: its face (0..7) and the corner (a vertex of the octahedron) it
// holds, -1 for the face's middle triangle.
struct GridPlace {
  int face;
  int corner;
};
const GridPlace kSize2Places[32] = {
    {2, 0}, {0, 0}, {6, 0},  {4, 0}, {2, -1}, {0, -1}, {6, -1}, {4, -1}, {2, 1}, {4, 1}, {2, 2},
    {0, 2}, {6, 3}, {0, 3},  {4, 4}, {6, 4},  {3, 1},  {5, 1},  {3, 2},  {1, 2}, {7, 3}, {1, 3},
    {5, 4}, {7, 4}, {3, -1}, {1, -1}, {7, -1}, {5, -1}, {3, 5},  {1, 5},  {7, 5}, {5, 5},
};

// ---- size 3 ----

// Face k holds facelets 6k .. 6k + 5 (its three corners, then the three triangles pointing
// at them from the middle) and the edge triangles at places 3k .. 3k + 2 of this list (on
// the face's first, second and third edge).
const int kSize3EdgeList[] = {48, 52, 56, 53, 57, 68, 49, 59, 60, 58, 61, 69,
                              50, 63, 64, 62, 65, 70, 51, 54, 67, 55, 66, 71};

// Mode 1: per group the tip (one 4-cycle), the second layer (three), the third (five).
const int kSize3CornerCycles[] = {
    13, 26, 32, 19, 16, 29, 35, 22, 49, 63, 70, 61, 58, 59, 64, 65,  // group 0
    12, 25, 30, 20, 14, 24, 31, 18, 15, 28, 33, 23, 17, 27, 34, 21,
    50, 62, 69, 60,
    6, 18, 30, 42, 9, 21, 33, 45, 53, 58, 62, 55, 68, 69, 70, 71,  // group 1
    7, 19, 31, 43, 8, 20, 32, 44, 10, 22, 34, 46, 11, 23, 35, 47,
    57, 61, 65, 66,
    1, 14, 20, 7, 4, 17, 23, 10, 48, 59, 69, 57, 52, 60, 61, 53,  // group 2
    0, 13, 18, 8, 2, 12, 19, 6, 3, 16, 21, 11, 5, 15, 22, 9,
    49, 58, 68, 56,
    2, 8, 43, 37, 5, 11, 46, 40, 51, 52, 68, 66, 54, 56, 57, 55,  // group 3
    0, 7, 42, 38, 1, 6, 44, 36, 3, 10, 45, 41, 4, 9, 47, 39,
    48, 53, 71, 67,
    0, 36, 24, 12, 3, 39, 27, 15, 48, 51, 50, 49, 56, 67, 64, 60,  // group 4
    1, 37, 25, 13, 2, 38, 26, 14, 4, 40, 28, 16, 5, 41, 29, 17,
    52, 54, 63, 59,
    25, 38, 44, 31, 28, 41, 47, 34, 50, 54, 71, 65, 62, 63, 67, 66,  // group 5
    24, 37, 42, 32, 26, 36, 43, 30, 27, 40, 45, 35, 29, 39, 46, 33,
    51, 55, 70, 64,
};
// Mode 2: nine 3-cycles per turn, the face's own nine facelets and the row of each side face
// along it and the corner of each face that meets it at a corner.
const int kSize3FaceCycles[] = {
    1, 26, 42, 6, 14, 32, 7, 13, 30, 9, 17, 35, 10, 16, 33,  // turn 1
    18, 20, 19, 21, 23, 22, 53, 59, 70, 58, 69, 61,
    0, 26, 20, 1, 24, 19, 3, 29, 23, 4, 27, 22, 7, 36, 32,  // turn 2
    12, 13, 14, 15, 16, 17, 48, 64, 61, 49, 59, 60,
    0, 1, 2, 3, 4, 5, 7, 37, 12, 8, 36, 14, 10, 40, 15,  // turn 3
    11, 39, 17, 20, 43, 24, 48, 52, 56, 51, 60, 57,
    1, 18, 43, 2, 20, 42, 4, 21, 46, 5, 23, 45, 6, 8, 7,  // turn 4
    9, 11, 10, 14, 30, 37, 52, 69, 55, 53, 68, 57,
    2, 18, 25, 6, 31, 37, 8, 30, 38, 9, 34, 40, 11, 33, 41,  // turn 5
    42, 44, 43, 45, 47, 46, 54, 68, 62, 55, 71, 66,
    0, 43, 25, 2, 44, 24, 3, 46, 28, 5, 47, 27, 8, 31, 12,  // turn 6
    36, 37, 38, 39, 40, 41, 50, 56, 66, 51, 54, 67,
    0, 44, 19, 12, 38, 32, 13, 36, 31, 15, 41, 35, 16, 39, 34,  // turn 7
    24, 25, 26, 27, 28, 29, 49, 67, 65, 50, 63, 64,
    6, 13, 38, 18, 26, 44, 19, 25, 42, 21, 29, 47, 22, 28, 45,  // turn 8
    30, 32, 31, 33, 35, 34, 58, 63, 71, 62, 70, 65,
};

// ---- size 1, the Diamond ----

const int kDiamondColours[8] = {4, 4, 1, 1, 8, 8, 2, 2};
// Mode 1: a quarter turn of the four faces round a corner (the cut through the other four
// corners keeps every face whole).
const int kDiamondCornerCycles[] = {
    2, 4, 5, 3,  // group 0
    1, 3, 5, 7,  // group 1
    0, 2, 3, 1,  // group 2
    0, 1, 7, 6,  // group 3
    0, 6, 4, 2,  // group 4
    4, 6, 7, 5,  // group 5
};
// Mode 2: no cut parallel to a face keeps the faces whole, so a face turn carries the whole
// Diamond a third round the face's axis: the faces round it in two rings of three, the face
// and its opposite in place. Turns 1..4 have the axes of the larger sizes' turns 1..4.
const int kDiamondFaceCycles[] = {
    0, 4, 7, 1, 2, 5,  // turn 1
    0, 4, 3, 1, 6, 5,  // turn 2
    1, 6, 2, 3, 7, 4,  // turn 3
    0, 3, 7, 2, 5, 6,  // turn 4
};

// ---- all sizes ----

// The faces as corners of the octahedron; face k is coloured k + 1.
const int kFaces[8][3] = {{0, 2, 3}, {5, 2, 3}, {0, 1, 2}, {5, 1, 2}, {0, 4, 1}, {5, 4, 1}, {0, 3, 4}, {5, 3, 4}};

// Right-hand axes of the positive turns: the corner axis of each mode-1 group, and the face
// axis (a sign per coordinate) of each mode-2 turn. The turning part lies towards the axis.
const int kCornerAxes[6][3] = {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
const int kFaceAxes[8][3] = {{1, 1, -1},  {1, 1, 1},   {-1, 1, 1}, {-1, 1, -1},
                             {-1, -1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, -1, -1}};

// Mode 1's groups 1 and 4 spin about Y tipped onto Z.
const CTiltedAxis kTippedSpins[2] = {{kAxisX, 90, kAxisX, 0, kAxisY, 1}, {kAxisX, 90, kAxisX, 0, kAxisY, -1}};

// The tables of one size. Mode 1: six groups of `cornerCycles` 4-cycles, a turn after each
// cycle count in `stops`. Mode 2: `faceTurns` turns of `faceCycles` 3-cycles.
struct SizeTables {
  int typeId;
  std::span<const int> corner;
  int cornerCycles;
  std::vector<int> stops;
  std::span<const int> face;
  int faceTurns;
  int faceCycles;
  std::span<const int> faceCentres;  // the facelet each face turn keeps in place, if any
};

const SizeTables& TablesOf(int size) {
  static const SizeTables kSizes[3] = {
      {34, kDiamondCornerCycles, 1, {1}, kDiamondFaceCycles, 4, 2, {}},
      {9, kSize2CornerCycles, 4, {1, 4}, kSize2FaceCycles, 8, 5, kSize2FaceCentres},
      {10, kSize3CornerCycles, 9, {1, 4, 9}, kSize3FaceCycles, 8, 9, {}},
  };
  return kSizes[size - 1];
}

int ValidSize(int size) { return (size >= 1 && size <= 3) ? size : 2; }

constexpr int kQuarterStep = 18;
constexpr int kQuarterFrames = 5;
constexpr int kThirdStep = 20;
constexpr int kThirdFrames = 6;

// The turn a cycle of a mode-1 group belongs to: the smallest turn that moves it.
int StopOf(const std::vector<int>& stops, int cycle) {
  for (int s = 0; s < static_cast<int>(stops.size()); ++s)
    if (cycle < stops[s]) return s;
  return static_cast<int>(stops.size()) - 1;
}

}  // namespace

COctahedronPuzzle::COctahedronPuzzle(int size) : CPuzzle(8 * ValidSize(size) * ValidSize(size)) {
  m_size = ValidSize(size);
  const SizeTables& tables = TablesOf(m_size);
  m_typeId = tables.typeId;

  AddVertices();
  AddFacelets();
  ApplyTypeLooks(*this, m_typeId);

  // Drags look the turn up in the cycle tables of the mode the puzzle is in.
  for (int g = 0; g < 6; ++g)
    for (int c = 0; c < tables.cornerCycles; ++c) {
      const int* ids = tables.corner.data() + (g * tables.cornerCycles + c) * 4;
      if (tables.corner.size() < static_cast<size_t>((g * tables.cornerCycles + c + 1) * 4)) break;
      const int turn = g * m_size + StopOf(tables.stops, c) + 1;
      m_dragCycles[0].push_back({turn, std::vector<int>(ids, ids + 4)});
    }
  const size_t faceLength = static_cast<size_t>(tables.faceCycles) * 3;
  if (tables.face.size() >= faceLength * tables.faceTurns)
    m_dragCycles[1] = MakeCycleTable(tables.face, tables.faceCycles, 3);
  if (m_size == 3) AddRimCycles();

  SetMode(1);
}

// ---- construction ----

// On size 3 a face's rim runs corner, edge, corner, edge, corner, edge: a drag from a corner
// triangle to the edge triangle beside it (or back) turns the face as a drag from that corner
// to the next one does. The rims are kept apart from the turn tables, which make the turns.
void COctahedronPuzzle::AddRimCycles() {
  auto sharesVertex = [this](int a, int b) {
    const CFacelet* f = GetFaceletById(a);
    const CFacelet* g = GetFaceletById(b);
    for (int i = 0; i < f->GetVertexCount(); ++i)
      for (int j = 0; j < g->GetVertexCount(); ++j)
        if (f->GetVertexIndex(i) == g->GetVertexIndex(j)) return true;
    return false;
  };
  for (const CTurnCycle& cycle : m_dragCycles[1]) {
    const std::vector<int>& c = cycle.facelets;
    // The face's own corners: three corner triangles (places 0..2 of a face's six) of one face.
    if (c.size() != 3 || c[0] >= 48 || c[0] % 6 > 2) continue;
    const int face = c[0] / 6;
    if (c[1] / 6 != face || c[2] / 6 != face || c[1] % 6 > 2 || c[2] % 6 > 2) continue;
    std::vector<int> rim;
    for (int i = 0; i < 3; ++i) {
      const int from = c[i], to = c[(i + 1) % 3];
      rim.push_back(from);
      for (int e = 0; e < 3; ++e) {
        const int edge = kSize3EdgeList[3 * face + e];
        if (sharesVertex(edge, from) && sharesVertex(edge, to)) rim.push_back(edge);
      }
    }
    if (rim.size() == 6) m_rimCycles.push_back({cycle.turn, rim});
  }
}

std::array<double, 3> COctahedronPuzzle::Corner(int vertex) const {
  // Size 2 has its first equator corner at -X, the others at +X.
  const double x1 = m_size == 2 ? -1 : 1;
  const std::array<double, 3> corners[6] = {{0, 0, 1}, {x1, 0, 0}, {0, 1, 0}, {-x1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
  return corners[vertex];
}

// The corners, then size - 1 points along each edge (from its first corner), then for size 3
// the middle of each face.
void COctahedronPuzzle::AddVertices() {
  for (int v = 0; v < 6; ++v) AddVertexOnce(*this, FixPoint(Corner(v)));
  if (m_size == 1) return;
  auto edge = [&](int a, int b) {
    const std::array<double, 3> p = Corner(a);
    const std::array<double, 3> q = Corner(b);
    for (int i = 1; i < m_size; ++i) {
      const double t = static_cast<double>(i) / m_size;
      AddVertexOnce(*this, FixPoint(p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1]), p[2] + t * (q[2] - p[2])));
    }
  };
  for (int i = 1; i <= 4; ++i) {
    const int next = i % 4 + 1;
    edge(0, i);
    edge(i, 5);
    edge(i, next);
  }
  if (m_size != 3) return;
  for (int top : {0, 5})
    for (int i = 1; i <= 4; ++i) {
      const std::array<double, 3> a = Corner(top), b = Corner(i), c = Corner(i % 4 + 1);
      AddVertexOnce(*this, FixPoint((a[0] + b[0] + c[0]) / 3, (a[1] + b[1] + c[1]) / 3, (a[2] + b[2] + c[2]) / 3));
    }
}

void COctahedronPuzzle::AddGridFacelet(int face, const int points[3][2]) {
  const std::array<double, 3> a = Corner(kFaces[face][0]), b = Corner(kFaces[face][1]), c = Corner(kFaces[face][2]);
  int indices[3];
  std::array<double, 3> p[3];
  for (int k = 0; k < 3; ++k) {
    const double u = static_cast<double>(points[k][0]) / m_size;
    const double v = static_cast<double>(points[k][1]) / m_size;
    for (int d = 0; d < 3; ++d) p[k][d] = a[d] + u * (b[d] - a[d]) + v * (c[d] - a[d]);
    indices[k] = AddVertexOnce(*this, FixPoint(p[k]));
  }
  // Outward: counter-clockwise seen from outside, the normal along the centroid.
  double normalAlongCentroid = 0;
  for (int d = 0; d < 3; ++d) {
    const int e = (d + 1) % 3, f = (d + 2) % 3;
    const double n = (p[1][e] - p[0][e]) * (p[2][f] - p[0][f]) - (p[1][f] - p[0][f]) * (p[2][e] - p[0][e]);
    normalAlongCentroid += n * (p[0][d] + p[1][d] + p[2][d]);
  }
  if (normalAlongCentroid < 0) std::swap(indices[1], indices[2]);
  AddFacelet(indices, 3);
}

void COctahedronPuzzle::AddFacelets() {
  const int n = m_size;
  if (n == 1) {
    static const int kWhole[3][2] = {{0, 0}, {1, 0}, {0, 1}};
    for (int face = 0; face < 8; ++face) {
      AddGridFacelet(face, kWhole);
      m_faces.push_back({face});
    }
    return;
  }
  if (n == 2) {
    for (const GridPlace& place : kSize2Places) {
      // Grid points (i, j) of the face's corners a, b and c: (0, 0), (2, 0) and (0, 2).
      const int* corners = kFaces[place.face];
      const int at = place.corner < 0 ? -1 : static_cast<int>(std::find(corners, corners + 3, place.corner) - corners);
      static const int kTriangles[4][3][2] = {{{0, 0}, {1, 0}, {0, 1}},   // at a
                                              {{2, 0}, {1, 1}, {1, 0}},   // at b
                                              {{0, 2}, {0, 1}, {1, 1}},   // at c
                                              {{1, 0}, {1, 1}, {0, 1}}};  // the middle
      AddGridFacelet(place.face, kTriangles[at < 0 ? 3 : at]);
    }
    for (int k = 0; k < 8; ++k) m_faces.push_back(std::vector<int>(kSize2FaceList + 4 * k, kSize2FaceList + 4 * k + 4));
    return;
  }
  // Size 3: six facelets per face, then the edge triangles in the order of their ids.
  static const int kCorners[6][3][2] = {
      {{0, 0}, {1, 0}, {0, 1}}, {{3, 0}, {2, 1}, {2, 0}}, {{0, 3}, {0, 2}, {1, 2}},   // at a, b, c
      {{1, 1}, {0, 1}, {1, 0}}, {{2, 1}, {1, 1}, {2, 0}}, {{1, 2}, {0, 2}, {1, 1}}};  // pointing at them
  static const int kEdges[3][3][2] = {{{1, 0}, {2, 0}, {1, 1}},   // on a-b
                                      {{1, 1}, {2, 1}, {1, 2}},   // on b-c
                                      {{0, 1}, {1, 1}, {0, 2}}};  // on c-a
  for (int face = 0; face < 8; ++face)
    for (const auto& triangle : kCorners) AddGridFacelet(face, triangle);
  for (int id = 48; id < 72; ++id) {
    const int place = static_cast<int>(std::find(std::begin(kSize3EdgeList), std::end(kSize3EdgeList), id) - kSize3EdgeList);
    AddGridFacelet(place / 3, kEdges[place % 3]);
  }
  for (int k = 0; k < 8; ++k) {
    std::vector<int> ids;
    for (int i = 0; i < 6; ++i) ids.push_back(6 * k + i);
    for (int i = 0; i < 3; ++i) ids.push_back(kSize3EdgeList[3 * k + i]);
    m_faces.push_back(ids);
  }
}

// Mode 1: each group's cycles applied one by one, a turn at each stop. Mode 2: one turn from
// all of a turn's cycles. The Diamond's face turns carry the whole puzzle.
void COctahedronPuzzle::AddTurns() {
  const SizeTables& tables = TablesOf(m_size);
  const int count = GetFaceletCount();
  std::vector<int> permutation(count);
  if (m_mode == 1) {
    for (int g = 0; g < 6; ++g) {
      for (int i = 0; i < count; ++i) permutation[i] = i;
      size_t stop = 0;
      for (int c = 0; c < tables.cornerCycles && stop < tables.stops.size(); ++c) {
        const size_t at = static_cast<size_t>(g * tables.cornerCycles + c) * 4;
        if (at + 4 > tables.corner.size()) return;
        CycleFacelets(permutation.data(), tables.corner.data() + at, 4);
        if (c + 1 == tables.stops[stop]) {
          AddMove(permutation.data(), -1);
          ++stop;
        }
      }
    }
    return;
  }
  const CTurnCycleTable& cycles = m_dragCycles[1];
  for (int t = 1; t <= tables.faceTurns; ++t) {
    if (cycles.size() < static_cast<size_t>(t * tables.faceCycles)) return;
    const int k = AddMove(PermutationFromCycles(cycles, t, count).data(),
                          tables.faceCentres.empty() ? -1 : tables.faceCentres[t - 1]) - 1;
    if (m_size == 1)
      for (int id = 0; id < count; ++id) SetMoveMask(id, GetMoveMask(id) | (1u << MaskBit(k)));
  }
}

// Each turn that cuts the puzzle gets the face of its cut: the polygon through every vertex
// on the cut plane (the facelets along the cut have corners there), around the axis.
void COctahedronPuzzle::AddInnerFaces() {
  for (int move = 1; move <= GetMoveCount(); ++move) {
    std::array<double, 3> axis{};
    if (!GetTurnAxis(move, axis)) return;
    const CTurnPart part = GetTurnPart(move);
    int held = 0;
    for (int id = 0; id < GetFaceletCount(); ++id) held += part.Holds(*GetFaceletById(id));
    if (held == GetFaceletCount()) return;  // a turn of the whole puzzle opens no cut
    // The cut lies where the turning part begins along the axis.
    double cut = 1e300;
    for (int id = 0; id < GetFaceletCount(); ++id) {
      const CFacelet* f = GetFaceletById(id);
      if (!part.Holds(*f)) continue;
      for (int i = 0; i < f->GetVertexCount(); ++i) {
        const CFixVector* v = GetVertex(f->GetVertexIndex(i), kModelVertices);
        cut = std::min(cut, FixToDouble(v->x) * axis[0] + FixToDouble(v->y) * axis[1] + FixToDouble(v->z) * axis[2]);
      }
    }
    // Two directions across the axis, to order the polygon's corners by angle.
    const std::array<double, 3> other = std::abs(axis[0]) < 0.9 ? std::array<double, 3>{1, 0, 0} : std::array<double, 3>{0, 1, 0};
    const std::array<double, 3> u = {axis[1] * other[2] - axis[2] * other[1], axis[2] * other[0] - axis[0] * other[2],
                                     axis[0] * other[1] - axis[1] * other[0]};
    const std::array<double, 3> w = {axis[1] * u[2] - axis[2] * u[1], axis[2] * u[0] - axis[0] * u[2],
                                     axis[0] * u[1] - axis[1] * u[0]};
    std::vector<std::pair<double, int>> corners;
    for (int i = 0; i < GetVertexCount(); ++i) {
      const CFixVector* v = GetVertex(i, kModelVertices);
      const double p[3] = {FixToDouble(v->x), FixToDouble(v->y), FixToDouble(v->z)};
      if (std::abs(p[0] * axis[0] + p[1] * axis[1] + p[2] * axis[2] - cut) > 1e-3) continue;
      corners.push_back({std::atan2(p[0] * w[0] + p[1] * w[1] + p[2] * w[2], p[0] * u[0] + p[1] * u[1] + p[2] * u[2]), i});
    }
    std::sort(corners.begin(), corners.end());
    std::vector<int> polygon;
    for (const auto& c : corners) polygon.push_back(c.second);
    if (polygon.size() < 3) return;
    AddInnerFacelet(polygon.data(), static_cast<int>(polygon.size()));
  }
}

// ---- modes ----

int COctahedronPuzzle::GetTurnCount(int mode) const {
  const SizeTables& tables = TablesOf(m_size);
  if (mode == 1) return 6 * m_size;
  if (mode == 2) return tables.faceTurns;
  return 0;
}

// The switch ends in a reset: the history holds turn numbers of the old mode, which undo would
// replay as other turns, and a scrambled puzzle comes back solved with its clock stopped.
BOOL COctahedronPuzzle::SetMode(int mode) {
  if (mode < 1 || mode > 2 || IsBusy()) return 0;
  m_mode = mode;
  ClearTurns();
  AddTurns();
  AddInnerFaces();
  Reset();
  m_scramblePending = 0;
  return 1;
}

void COctahedronPuzzle::Read(CUBuffer& b) {
  CPuzzle::Read(b);
  if (HasReadFailed()) return;
  if (GetTurnCount(m_mode) == 0 || GetMoveCount() != GetTurnCount(m_mode)) MarkReadFailed();
}

// ---- turning ----

int COctahedronPuzzle::GetMoveStep(int /*move*/) { return m_mode == 1 ? kQuarterStep : kThirdStep; }
int COctahedronPuzzle::GetMoveFrames(int /*move*/) { return m_mode == 1 ? kQuarterFrames : kThirdFrames; }

bool COctahedronPuzzle::GetTurnAxis(int move, std::array<double, 3>& axis) const {
  const int t = std::abs(move);
  if (t < 1 || t > GetTurnCount(m_mode)) return false;
  const int* a = m_mode == 1 ? kCornerAxes[(t - 1) / m_size] : kFaceAxes[t - 1];
  const double length = std::sqrt(static_cast<double>(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]));
  for (int d = 0; d < 3; ++d) axis[d] = a[d] / length;
  return true;
}

// Mode 1: layer l (0 the tip) of a group turns what lies beyond (size - 1 - l) / size of the
// way from the centre to the corner. Mode 2: size 2 turns the half towards the face, size 3
// the face's layer, the Diamond the whole of itself.
CTurnPart COctahedronPuzzle::GetTurnPart(int move) const {
  std::array<double, 3> axis{};
  if (!GetTurnAxis(move, axis)) return CTurnPart::Facelets({});
  const int t = std::abs(move);
  double depth = 0;  // along the unit axis
  if (m_mode == 1) {
    depth = static_cast<double>(m_size - 1 - (t - 1) % m_size) / m_size;
  } else {
    if (m_size == 1) return CTurnPart::Whole();
    // The layer of size 3 ends on the grid lines a third of the way from the face's edges.
    depth = m_size == 3 ? 1 / (3 * std::sqrt(3.0)) : 0;
  }
  const double margin = 1.0 / 64;  // below the first row of facelets, above the next
  const double at = depth - margin;
  return CTurnPart::InFrontOf(CFixVector(axis[0] * at, axis[1] * at, axis[2] * at),
                              CFixVector(axis[0], axis[1], axis[2]));
}

void COctahedronPuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int t = std::abs(move);
  if (t < 1 || t > GetTurnCount(m_mode)) return;
  const int s = move < 0 ? -angle : angle;
  if (m_mode == 2) {
    // About the face axis itself: a spin tilted by whole degrees (35 for 35.26) would wobble
    // the turning layer off its cut.
    std::array<double, 3> k{};
    GetTurnAxis(t, k);
    RotateAboutUnitAxis(matrix, k, s);
    return;
  }
  switch ((t - 1) / m_size) {
    case 0: RotateAbout(matrix, kAxisX, -s); break;
    case 1: RotateAboutTiltedAxis(matrix, kTippedSpins[0], s); break;
    case 2: RotateAbout(matrix, kAxisY, s); break;
    case 3: RotateAbout(matrix, kAxisX, s); break;
    case 4: RotateAboutTiltedAxis(matrix, kTippedSpins[1], s); break;
    default: RotateAbout(matrix, kAxisY, -s); break;
  }
}

// The two ends of the turn's axis as seen: the turning part lies towards the first.
BOOL COctahedronPuzzle::GetMoveAxis(int k, CFixVector& a, CFixVector& b) {
  std::array<double, 3> axis{};
  if (!GetTurnAxis(k + 1, axis)) return 0;
  a = GetViewMatrix().Transform(CFixVector(axis[0], axis[1], axis[2]));
  b = GetViewMatrix().Transform(CFixVector(-axis[0], -axis[1], -axis[2]));
  return 1;
}

int COctahedronPuzzle::GetInnerFacelet(int k) { return (k >= 0 && k < GetInnerFaceletCount()) ? k : -1; }

const CTurnCycleTable& COctahedronPuzzle::GetDragCycles() const { return m_dragCycles[m_mode == 2 ? 1 : 0]; }

int COctahedronPuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  if (m_mode != 1 && m_mode != 2) return 0;
  const int turn = TurnFromCycleDrag(GetDragCycles(), fromFacelet, toFacelet);
  if (turn != 0 || m_mode != 2) return turn;
  // A step along a face's rim, from a corner triangle to its neighbour or back.
  for (const CTurnCycle& rim : m_rimCycles) {
    const auto at = [&rim](int id) { return std::find(rim.facelets.begin(), rim.facelets.end(), id) - rim.facelets.begin(); };
    const long p = at(fromFacelet), q = at(toFacelet);
    if (p >= 6 || q >= 6) continue;
    if ((p + 1) % 6 == q) return rim.turn;
    if ((q + 1) % 6 == p) return -rim.turn;
  }
  return 0;
}

// ---- colours and the solved test ----

void COctahedronPuzzle::ResetColours() {
  if (m_size == 1) {
    for (int id = 0; id < 8; ++id) SetFaceletColour(id, kDiamondColours[id]);
    return;
  }
  static const int kFaceColours[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  PaintGroups(*this, m_faces, kFaceColours);
}

// A face of the Diamond is one facelet, always of one colour: the Diamond is solved when every
// face shows its own colour again.
void COctahedronPuzzle::UpdateSolved() {
  if (m_size == 1) {
    m_solved = 1;
    for (int id = 0; id < 8; ++id)
      if (GetFaceletColour(id) != kDiamondColours[id]) m_solved = 0;
    return;
  }
  m_solved = EachGroupUniform(*this, m_faces);
}
