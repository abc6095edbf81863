#include <gyrix/puzzles/pentagonal.h>

#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

constexpr int kFramesPerTurn = 4;
constexpr int kDegreesPerFrame = 18;
constexpr double kRadius = 1.0;

// ---- the Dodecahedron ----

// Face k owns facelets 11k .. 11k + 10: corners 0..4, edges 5..9 (edge j between corners j
// and j + 1), the centre 10.
constexpr int kDodecahedronFaceSize = 11;

// Three five-cycles per turn, one facelet on each neighbouring face in each: the corner,
// edge and corner along the edge the neighbour shares with the turning face, in the order
// the turn carries them.
const int kDodecahedronCycles[] = {
    11,  22,  33,  44,  55,  20,  31,  42,  53,  64,  15,  26,  37,  48,  59,   // turn 1
    23,  1,   59,  123, 113, 27,  5,   63,  127, 117, 22,  0,   58,  122, 112,  // turn 2
    34,  2,   15,  112, 102, 38,  6,   19,  116, 106, 33,  1,   14,  111, 101,  // turn 3
    91,  45,  3,   26,  101, 95,  49,  7,   30,  105, 90,  44,  2,   25,  100,  // turn 4
    80,  56,  4,   37,  90,  84,  60,  8,   41,  94,  79,  55,  3,   36,  89,   // turn 5
    79,  124, 12,  0,   48,  83,  128, 16,  9,   52,  78,  123, 11,  4,   47,   // turn 6
    121, 77,  88,  99,  110, 130, 86,  97,  108, 119, 125, 81,  92,  103, 114,  // turn 7
    125, 57,  47,  89,  67,  129, 61,  51,  93,  71,  124, 56,  46,  88,  66,   // turn 8
    68,  81,  46,  36,  100, 72,  85,  50,  40,  104, 67,  80,  45,  35,  99,   // turn 9
    69,  92,  35,  25,  111, 73,  96,  39,  29,  115, 68,  91,  34,  24,  110,  // turn 10
    122, 70,  103, 24,  14,  126, 74,  107, 28,  18,  121, 69,  102, 23,  13,   // turn 11
    58,  78,  66,  114, 13,  62,  82,  75,  118, 17,  57,  77,  70,  113, 12,   // turn 12
};

// Each colour on two faces.
const int kDodecahedronColours[12] = {6, 5, 4, 3, 2, 1, 6, 4, 5, 1, 2, 3};

std::array<double, 3> Midpoint(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
}

// The vertex of the solid that shares an edge with `vertex` but lies on no face in `around`
// (the corner's third edge leads away from the face).
int VertexAcross(const CSolid& solid, int vertex, const std::vector<int>& face) {
  for (const std::vector<int>& f : solid.faces) {
    const int n = static_cast<int>(f.size());
    for (int i = 0; i < n; ++i) {
      if (f[i] != vertex) continue;
      for (int other : {f[(i + 1) % n], f[(i + n - 1) % n]}) {
        bool onFace = false;
        for (int v : face) onFace = onFace || v == other;
        if (!onFace) return other;
      }
    }
  }
  return -1;
}

// ---- the PentUltimate ----

// Face k owns facelets 6k .. 6k + 5: the centre, then the corner triangles 0..4.
constexpr int kPentUltimateFaceSize = 6;

// Six five-cycles per turn. On each neighbour of the turning face a turn carries the centre
// and four corners: the first five cycles take them in the order the turn sweeps across the
// neighbour (rows for drags), the sixth the corner of each face of the far ring that reaches
// over the cut.
const int kPentUltimateCycles[] = {
    // turn 1
    8, 14, 20, 26, 32,   7, 13, 19, 25, 31,   6, 12, 18, 24, 30,
    11, 17, 23, 29, 35,   10, 16, 22, 28, 34,   45, 69, 63, 57, 51,
    // turn 2
    31, 70, 65, 15, 3,   35, 69, 64, 14, 2,   30, 66, 60, 12, 0,
    34, 68, 63, 13, 1,   33, 67, 62, 17, 5,   19, 29, 44, 41, 58,
    // turn 3
    7, 64, 59, 21, 4,   11, 63, 58, 20, 3,   6, 60, 54, 18, 0,
    10, 62, 57, 19, 2,   9, 61, 56, 23, 1,   25, 35, 68, 40, 52,
    // turn 4
    13, 58, 53, 27, 5,   17, 57, 52, 26, 4,   12, 54, 48, 24, 0,
    16, 56, 51, 25, 3,   15, 55, 50, 29, 2,   11, 62, 39, 46, 31,
    // turn 5
    19, 52, 47, 33, 1,   23, 51, 46, 32, 5,   18, 48, 42, 30, 0,
    22, 50, 45, 31, 4,   21, 49, 44, 35, 3,   7, 17, 56, 38, 70,
    // turn 6
    25, 46, 71, 9, 2,   29, 45, 70, 8, 1,   24, 42, 66, 6, 0,
    28, 44, 69, 7, 5,   27, 43, 68, 11, 4,   13, 23, 50, 37, 64,
    // turn 7
    44, 50, 56, 62, 68,   43, 49, 55, 61, 67,   42, 48, 54, 60, 66,
    47, 53, 59, 65, 71,   46, 52, 58, 64, 70,   9, 33, 27, 21, 15,
    // turn 8
    67, 34, 29, 51, 39,   71, 33, 28, 50, 38,   66, 30, 24, 48, 36,
    70, 32, 27, 49, 37,   69, 31, 26, 53, 41,   5, 22, 55, 65, 8,
    // turn 9
    43, 28, 23, 57, 40,   47, 27, 22, 56, 39,   42, 24, 18, 54, 36,
    46, 26, 21, 55, 38,   45, 25, 20, 59, 37,   4, 16, 61, 71, 32,
    // turn 10
    49, 22, 17, 63, 41,   53, 21, 16, 62, 40,   48, 18, 12, 60, 36,
    52, 20, 15, 61, 39,   51, 19, 14, 65, 38,   3, 10, 67, 47, 26,
    // turn 11
    55, 16, 11, 69, 37,   59, 15, 10, 68, 41,   54, 12, 6, 66, 36,
    58, 14, 9, 67, 40,   57, 13, 8, 71, 39,   2, 34, 43, 53, 20,
    // turn 12
    61, 10, 35, 45, 38,   65, 9, 34, 44, 37,   60, 6, 30, 42, 36,
    64, 8, 33, 43, 41,   63, 7, 32, 47, 40,   1, 28, 49, 59, 14,
};

// The cut each turn shows: opposite faces share the plane through the centre.
const int kPentUltimateCuts[12] = {0, 1, 2, 3, 4, 5, 0, 2, 1, 5, 4, 3};

// ---- the Icosahedron ----

// Face f owns facelets 6f .. 6f + 5: the tips at its corners 0..2 (in the solid's order),
// then the middle pieces beside them, each three places after its tip.
constexpr int kIcosahedronFaceSize = 6;
constexpr int kIcosahedronTurns = 12;

// The tips round each corner, in the order the corner's turn carries them.
const int kIcosahedronTipCycles[kIcosahedronTurns][5] = {
    {0, 6, 12, 18, 24},
    {1, 26, 55, 60, 32},
    {2, 31, 66, 38, 7},
    {8, 37, 72, 44, 13},
    {14, 43, 78, 50, 19},
    {20, 49, 84, 56, 25},
    {90, 114, 108, 102, 96},
    {48, 80, 109, 116, 85},
    {42, 74, 103, 110, 79},
    {36, 68, 97, 104, 73},
    {30, 62, 91, 98, 67},
    {54, 86, 115, 92, 61},
};

// The cap's other tips: the two cycles of the other corners of its faces.
const int kIcosahedronCapCycles[kIcosahedronTurns][2][5] = {
    {{1, 7, 13, 19, 25}, {2, 8, 14, 20, 26}},
    {{2, 24, 56, 61, 30}, {0, 25, 54, 62, 31}},
    {{0, 32, 67, 36, 8}, {1, 30, 68, 37, 6}},
    {{6, 38, 73, 42, 14}, {7, 36, 74, 43, 12}},
    {{12, 44, 79, 48, 20}, {13, 42, 80, 49, 18}},
    {{18, 50, 85, 54, 26}, {19, 48, 86, 55, 24}},
    {{91, 115, 109, 103, 97}, {92, 116, 110, 104, 98}},
    {{49, 78, 110, 114, 86}, {50, 79, 108, 115, 84}},
    {{43, 72, 104, 108, 80}, {44, 73, 102, 109, 78}},
    {{37, 66, 98, 102, 74}, {38, 67, 96, 103, 72}},
    {{31, 60, 92, 96, 68}, {32, 61, 90, 97, 66}},
    {{55, 84, 116, 90, 62}, {56, 85, 114, 91, 60}},
};

// One colour a face, five colours four times each; no two faces that share a corner alike.
const int kIcosahedronColours[20] = {1, 2, 3, 4, 5, 3, 4, 5, 1, 2, 4, 5, 1, 2, 3, 1, 2, 3, 4, 5};

// ---- the Star ----

// Face f owns facelets 3f .. 3f + 2, the triangles from its edges 0..2 (corner j to j + 1)
// down to the dimple's bottom.
constexpr int kStarFaceSize = 3;

// The cut of a turn in convex pieces: the pentagon of dimple bottoms and five arms.
constexpr int kStarCutPieces = 6;

// Two five-cycles per turn, of every other triangle of the spike; the second cycle's first
// triangle lies between the first cycle's first two, so together they go round the spike.
const int kStarCycles[12][2][5] = {
    {{8, 11, 14, 2, 5}, {9, 12, 0, 3, 6}},
    {{16, 0, 13, 27, 32}, {1, 14, 28, 30, 17}},
    {{19, 3, 1, 15, 35}, {4, 2, 16, 33, 20}},
    {{22, 6, 4, 18, 38}, {7, 5, 19, 36, 23}},
    {{25, 9, 7, 21, 41}, {10, 8, 22, 39, 26}},
    {{28, 12, 10, 24, 44}, {13, 11, 25, 42, 29}},
    {{50, 47, 59, 56, 53}, {45, 57, 54, 51, 48}},
    {{40, 54, 58, 42, 26}, {55, 59, 43, 24, 41}},
    {{37, 51, 55, 39, 23}, {52, 56, 40, 21, 38}},
    {{34, 48, 52, 36, 20}, {49, 53, 37, 18, 35}},
    {{31, 45, 49, 33, 17}, {46, 50, 34, 15, 32}},
    {{43, 57, 46, 30, 29}, {58, 47, 31, 27, 44}},
};

// Every product of the generators, the identity included; each permutation maps a facelet to
// the one that receives its colour.
std::vector<std::vector<int>> GroupGeneratedBy(const std::vector<std::vector<int>>& generators, int size) {
  std::vector<int> identity(size);
  for (int i = 0; i < size; ++i) identity[i] = i;
  std::vector<std::vector<int>> group{identity};
  std::set<std::vector<int>> seen{identity};
  for (std::size_t k = 0; k < group.size(); ++k)
    for (const std::vector<int>& generator : generators) {
      std::vector<int> next(size);
      for (int i = 0; i < size; ++i) next[i] = generator[group[k][i]];
      if (seen.insert(next).second) group.push_back(next);
    }
  return group;
}

}  // namespace

// ---- shared ----

CPentagonalPuzzle::CPentagonalPuzzle(int typeId, int faceletCount) : CPuzzle(faceletCount) { m_typeId = typeId; }

std::array<double, 3> CPentagonalPuzzle::CornerAxis(int corner) {
  static const CSolid icosahedron = MakeIcosahedron(1.0);
  if (corner < 0 || corner >= 12) return {0, 0, 1};
  return icosahedron.vertices[corner];
}

int CPentagonalPuzzle::AxisOfTurn(int move) const {
  const int t = std::abs(move);
  return t >= 1 && t <= 12 ? t - 1 : -1;
}

int CPentagonalPuzzle::GetMoveStep(int /*move*/) { return kDegreesPerFrame; }

int CPentagonalPuzzle::GetMoveFrames(int /*move*/) { return kFramesPerTurn; }

void CPentagonalPuzzle::UpdateSolved() { m_solved = EachGroupUniform(*this, m_faces); }

void CPentagonalPuzzle::ResetColours() { PaintGroups(*this, m_faces, m_faceColours); }

// About the corner's axis itself: the axes lie at 26.57 degrees of latitude, and a spin
// tilted by whole degrees would leave the turning part off its cut.
void CPentagonalPuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int corner = AxisOfTurn(move);
  if (corner < 0) return;
  RotateAboutUnitAxis(matrix, CornerAxis(corner), move < 0 ? -angle : angle);
}

// The two ends of the turn's axis as seen: the turning part lies towards the first.
BOOL CPentagonalPuzzle::GetMoveAxis(int k, CFixVector& a, CFixVector& b) {
  const int corner = AxisOfTurn(k + 1);
  if (corner < 0) return 0;
  const std::array<double, 3> axis = CornerAxis(corner);
  a = GetViewMatrix().Transform(CFixVector(axis[0], axis[1], axis[2]));
  b = GetViewMatrix().Transform(CFixVector(-axis[0], -axis[1], -axis[2]));
  return 1;
}

int CPentagonalPuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  return TurnFromStripDrag(m_strips, fromFacelet, toFacelet);
}

// ---- the Dodecahedron ----

CDodecahedronPuzzle::CDodecahedronPuzzle(int /*argument*/) : CPentagonalPuzzle(7, 132) {
  const CSolid solid = MakeDodecahedron(kRadius);
  const std::vector<std::vector<int>> faces = AddSolidVertices(*this, solid);
  for (const std::vector<int>& face : faces) m_faces.push_back(AddPentagonFacelets(*this, face));

  ApplyTypeLooks(*this, m_typeId);

  const CTurnCycleTable table = MakeCycleTable(kDodecahedronCycles, 3, 5);
  for (int k = 0; k < 12; ++k) {
    std::vector<int> permutation = PermutationFromCycles(table, k + 1, GetFaceletCount());
    // The face's own corners and edges move one place round its centre.
    const int first = kDodecahedronFaceSize * k;
    for (int i = 0; i < 5; ++i) {
      permutation[first + i] = first + (i + 1) % 5;
      permutation[first + 5 + i] = first + 5 + (i + 1) % 5;
    }
    AddMove(permutation.data(), first + 10);
    // A drag across a neighbour runs corner, edge, corner as the turn carries them.
    const int* cycles = kDodecahedronCycles + 15 * k;
    for (int i = 0; i < 5; ++i) m_strips.push_back({k + 1, {cycles[i], cycles[5 + i], cycles[10 + i]}});
  }

  // The cut of each face turn: the pentagon through the midpoints of the five edges that
  // leave the face's corners.
  for (int k = 0; k < 12; ++k) {
    const std::vector<int>& face = solid.faces[k];
    std::vector<int> cut;
    for (int corner : face) {
      const int across = VertexAcross(solid, corner, face);
      cut.push_back(AddVertexOnce(*this, FixPoint(Midpoint(solid.vertices[corner], solid.vertices[across]))));
    }
    AddInnerFacelet(cut.data(), static_cast<int>(cut.size()));
  }

  m_faceColours.assign(std::begin(kDodecahedronColours), std::end(kDodecahedronColours));
  ResetColours();
}

// ---- the PentUltimate ----

CPentUltimatePuzzle::CPentUltimatePuzzle(int /*argument*/) : CPentagonalPuzzle(11, 72) {
  const CSolid solid = MakeDodecahedron(kRadius);
  const std::vector<std::vector<int>> faces = AddSolidVertices(*this, solid);
  for (int k = 0; k < 12; ++k) {
    const std::vector<int>& corners = solid.faces[k];
    int middle[5];
    for (int j = 0; j < 5; ++j)
      middle[j] = AddVertexOnce(*this, FixPoint(Midpoint(solid.vertices[corners[j]], solid.vertices[corners[(j + 1) % 5]])));
    std::vector<int> ids = {AddFacelet(middle, 5)};
    for (int j = 0; j < 5; ++j) {
      const int triangle[3] = {faces[k][j], middle[j], middle[(j + 4) % 5]};
      ids.push_back(AddFacelet(triangle, 3));
    }
    m_faces.push_back(ids);
  }

  ApplyTypeLooks(*this, m_typeId);

  m_cycles = MakeCycleTable(kPentUltimateCycles, 6, 5);
  for (int k = 0; k < static_cast<int>(m_cycles.size()) / 6; ++k) {
    std::vector<int> permutation = PermutationFromCycles(m_cycles, k + 1, GetFaceletCount());
    const int first = kPentUltimateFaceSize * k;
    for (int i = 0; i < 5; ++i) permutation[first + 1 + i] = first + 1 + (i + 1) % 5;
    AddMove(permutation.data(), first);
  }

  // The cuts through the centre: the ten edge midpoints level with it, in order round the axis.
  for (int k = 0; k < 6; ++k) {
    const std::array<double, 3> axis = CornerAxis(k);
    const std::array<double, 3> across = {-axis[1], axis[0], 0};
    const std::array<double, 3> up = {axis[1] * across[2] - axis[2] * across[1],
                                      axis[2] * across[0] - axis[0] * across[2],
                                      axis[0] * across[1] - axis[1] * across[0]};
    std::vector<std::pair<double, int>> around;
    for (const std::vector<int>& face : solid.faces)
      for (int j = 0; j < 5; ++j) {
        const std::array<double, 3> m = Midpoint(solid.vertices[face[j]], solid.vertices[face[(j + 1) % 5]]);
        if (std::abs(m[0] * axis[0] + m[1] * axis[1] + m[2] * axis[2]) > 1e-6) continue;
        const int vertex = AddVertexOnce(*this, FixPoint(m));
        const double angle = std::atan2(m[0] * up[0] + m[1] * up[1] + m[2] * up[2],
                                        m[0] * across[0] + m[1] * across[1] + m[2] * across[2]);
        bool known = false;
        for (const auto& a : around) known = known || a.second == vertex;
        if (!known) around.push_back({angle, vertex});
      }
    std::sort(around.begin(), around.end());
    std::vector<int> cut;
    for (const auto& a : around) cut.push_back(a.second);
    AddInnerFacelet(cut.data(), static_cast<int>(cut.size()));
  }

  m_faceColours.assign(std::begin(kDodecahedronColours), std::end(kDodecahedronColours));
  ResetColours();
}

int CPentUltimatePuzzle::GetInnerFacelet(int k) { return k >= 0 && k < 12 ? kPentUltimateCuts[k] : k; }

// Two corners of one face turn that face, the shorter way round (one or two places ahead
// turns forwards): every turn can be dragged on its own face. Otherwise the turn's first five
// cycles are rows in the order the turn sweeps across a neighbour, and the first turn (in
// order) that carries both facelets turns towards the released one.
int CPentUltimatePuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  if (fromFacelet == toFacelet || fromFacelet < 0 || toFacelet < 0) return 0;
  const int face = fromFacelet / kPentUltimateFaceSize;
  if (face != toFacelet / kPentUltimateFaceSize || face >= GetMoveCount()) return 0;
  const int placeFrom = fromFacelet % kPentUltimateFaceSize;
  const int placeTo = toFacelet % kPentUltimateFaceSize;
  if (placeFrom > 0 && placeTo > 0) return (placeTo - placeFrom + 5) % 5 <= 2 ? face + 1 : -(face + 1);
  const int turns = static_cast<int>(m_cycles.size()) / 6;
  for (int t = 1; t <= turns; ++t) {
    int rowFrom = -1, rowTo = -1;
    for (int row = 0; row < 6; ++row)
      for (int id : m_cycles[6 * (t - 1) + row].facelets) {
        if (id == fromFacelet) rowFrom = row;
        if (id == toFacelet) rowTo = row;
      }
    if (rowFrom >= 0 && rowTo >= 0) return rowFrom < rowTo ? t : -t;
  }
  return 0;
}

// ---- the Icosahedron ----

CIcosahedronPuzzle::CIcosahedronPuzzle(int /*argument*/) : CPentagonalPuzzle(8, 120) {
  const CSolid solid = MakeIcosahedron(kRadius);
  const std::vector<std::vector<int>> faces = AddSolidVertices(*this, solid);
  for (int f = 0; f < 20; ++f) {
    const std::vector<int>& c = solid.faces[f];
    int middle[3];
    std::array<double, 3> centre = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
      middle[i] = AddVertexOnce(*this, FixPoint(Midpoint(solid.vertices[c[i]], solid.vertices[c[(i + 1) % 3]])));
      for (int a = 0; a < 3; ++a) centre[a] += solid.vertices[c[i]][a] / 3;
    }
    const int g = AddVertexOnce(*this, FixPoint(centre));
    std::vector<int> ids;
    for (int i = 0; i < 3; ++i) {
      const int tip[3] = {faces[f][i], middle[i], middle[(i + 2) % 3]};
      ids.push_back(AddFacelet(tip, 3));
    }
    for (int i = 0; i < 3; ++i) {
      const int piece[3] = {middle[i], g, middle[(i + 2) % 3]};
      ids.push_back(AddFacelet(piece, 3));
    }
    m_faces.push_back(ids);
  }

  ApplyTypeLooks(*this, m_typeId);

  // The tables as cycles: each tip cycle (a tip drag), then the middle pieces beside those
  // tips, three places on (a cap drag).
  CTurnCycleTable tips, caps;
  for (int v = 0; v < kIcosahedronTurns; ++v) {
    const std::vector<int> tip(kIcosahedronTipCycles[v], kIcosahedronTipCycles[v] + 5);
    tips.push_back({v + 1, tip});
    std::vector<int> beside;
    for (int id : tip) beside.push_back(id + 3);
    m_dragCycles.push_back({v + 1, tip});
    m_dragCycles.push_back({kIcosahedronTurns + v + 1, beside});
    caps.push_back({kIcosahedronTurns + v + 1, tip});
    for (const int* other : {kIcosahedronCapCycles[v][0], kIcosahedronCapCycles[v][1]}) {
      caps.push_back({kIcosahedronTurns + v + 1, std::vector<int>(other, other + 5)});
    }
    for (int c = 0; c < 3; ++c) {
      std::vector<int> moved;
      for (int id : caps[6 * v + c].facelets) moved.push_back(id + 3);
      caps.push_back({kIcosahedronTurns + v + 1, moved});
    }
  }
  for (int t = 1; t <= kIcosahedronTurns; ++t)
    AddMove(PermutationFromCycles(tips, t, GetFaceletCount()).data(), -1);
  for (int t = kIcosahedronTurns + 1; t <= 2 * kIcosahedronTurns; ++t)
    AddMove(PermutationFromCycles(caps, t, GetFaceletCount()).data(), -1);

  // The cuts: the pentagon of the edge midpoints round each corner (tips), and the pentagon of
  // the corner's five neighbours (caps).
  for (int v = 0; v < 12; ++v) {
    std::vector<int> cut;
    for (int n : kIcosahedronNeighbours[v])
      cut.push_back(AddVertexOnce(*this, FixPoint(Midpoint(solid.vertices[v], solid.vertices[n]))));
    AddInnerFacelet(cut.data(), static_cast<int>(cut.size()));
  }
  for (int v = 0; v < 12; ++v) {
    std::vector<int> cut(std::begin(kIcosahedronNeighbours[v]), std::end(kIcosahedronNeighbours[v]));
    AddInnerFacelet(cut.data(), static_cast<int>(cut.size()));
  }

  m_faceColours.assign(std::begin(kIcosahedronColours), std::end(kIcosahedronColours));
  ResetColours();

  // The whole puzzle spun a fifth about each corner generates all its 60 turns as a whole.
  std::vector<std::vector<int>> spins;
  for (int t = 1; t <= kIcosahedronTurns; ++t) {
    const CRotationTurn spin = TurnFromRotation(*this, t, CTurnPart::Whole());
    if (spin.valid) spins.push_back(spin.permutation);
  }
  m_wholeTurns = GroupGeneratedBy(spins, GetFaceletCount());
  for (int id = 0; id < GetFaceletCount(); ++id) m_solvedColours.push_back(GetFaceletColour(id));
}

int CIcosahedronPuzzle::AxisOfTurn(int move) const {
  const int t = std::abs(move);
  return t >= 1 && t <= 2 * kIcosahedronTurns ? (t - 1) % kIcosahedronTurns : -1;
}

// The solved colours, turned as a whole in any way. Not merely every face one colour: a cap
// turn carries whole faces and would leave every face one colour.
void CIcosahedronPuzzle::UpdateSolved() {
  m_solved = std::any_of(m_wholeTurns.begin(), m_wholeTurns.end(), [this](const std::vector<int>& turn) {
    for (int id = 0; id < GetFaceletCount(); ++id)
      if (GetFaceletColour(turn[id]) != m_solvedColours[id]) return false;
    return true;
  });
}

// From a tip to another tip round its corner turns the tip; from a middle piece to another
// one round the corner turns the whole cap; each the shorter way round (one or two places
// ahead turns forwards).
int CIcosahedronPuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  if (fromFacelet == toFacelet) return 0;
  for (const CTurnCycle& cycle : m_dragCycles) {
    const auto from = std::find(cycle.facelets.begin(), cycle.facelets.end(), fromFacelet);
    const auto to = std::find(cycle.facelets.begin(), cycle.facelets.end(), toFacelet);
    if (from == cycle.facelets.end() || to == cycle.facelets.end()) continue;
    return (to - from + 5) % 5 <= 2 ? cycle.turn : -cycle.turn;
  }
  return 0;
}

// ---- the Star ----

CStarPuzzle::CStarPuzzle(int /*argument*/) : CPentagonalPuzzle(12, 60) {
  const CSolid solid = MakeIcosahedron(kRadius);
  const std::vector<std::vector<int>> faces = AddSolidVertices(*this, solid);
  // The bottom of a dimple is the point of the three planes through the neighbours of the
  // face's corners: on the face's axis at 1 / (sqrt 5 + 2) of the corners' sum.
  const double sink = kRadius / (std::sqrt(5.0) + 2);
  std::vector<int> bottoms;
  m_faces.assign(12, {});
  for (int f = 0; f < 20; ++f) {
    const std::vector<int>& c = solid.faces[f];
    std::array<double, 3> bottom = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
      for (int a = 0; a < 3; ++a) bottom[a] += solid.vertices[c[i]][a] * sink;
    bottoms.push_back(AddVertexOnce(*this, FixPoint(bottom)));
    for (int j = 0; j < 3; ++j) {
      const int triangle[3] = {faces[f][j], faces[f][(j + 1) % 3], bottoms.back()};
      // It lies in the plane of the corner opposite its edge, and shows that corner's colour.
      m_faces[c[(j + 2) % 3]].push_back(AddFacelet(triangle, 3));
    }
  }

  ApplyTypeLooks(*this, m_typeId);

  CTurnCycleTable table;
  for (int v = 0; v < 12; ++v) {
    std::vector<int> ring;
    for (int c = 0; c < 2; ++c) table.push_back({v + 1, std::vector<int>(kStarCycles[v][c], kStarCycles[v][c] + 5)});
    for (int i = 0; i < 5; ++i) {
      ring.push_back(kStarCycles[v][0][i]);
      ring.push_back(kStarCycles[v][1][i]);
    }
    m_rings.push_back(ring);
  }
  for (int t = 1; t <= 12; ++t) AddMove(PermutationFromCycles(table, t, GetFaceletCount()).data(), -1);

  // The cut is the star the spike stands on, the same shape on both sides: the pentagon of
  // dimple bottoms and five triangles out to the neighbours, so that each piece is convex.
  // Turn k owns inner facelets 6k .. 6k + 5.
  for (int v = 0; v < 12; ++v) {
    int bottom[5];
    for (int j = 0; j < 5; ++j) {
      const int n = kIcosahedronNeighbours[v][j];
      const int next = kIcosahedronNeighbours[v][(j + 1) % 5];
      for (int f = 0; f < 20; ++f) {
        const std::vector<int>& c = solid.faces[f];
        if (std::count(c.begin(), c.end(), v) && std::count(c.begin(), c.end(), n) && std::count(c.begin(), c.end(), next))
          bottom[j] = bottoms[f];
      }
    }
    AddInnerFacelet(bottom, 5);
    for (int j = 0; j < 5; ++j) {
      const int arm[3] = {bottom[(j + 4) % 5], kIcosahedronNeighbours[v][j], bottom[j]};
      AddInnerFacelet(arm, 3);
    }
  }

  m_faceColours.assign(std::begin(kDodecahedronColours), std::end(kDodecahedronColours));
  ResetColours();
}

// The rest of the star lies below the plane through the turning corner's neighbours and the
// spike above it, so the part on the viewer's side of the plane is painted last. The spike is
// not convex; its own triangles go far to near as it stands now. The star-shaped cut shows
// on the nearer side only: in the rest's cut before the triangles lying in the plane round it,
// or as the spike's base after the spike's triangles, since the base lies between them and a
// viewer below the plane.
void CStarPuzzle::SortFacelets() {
  CPuzzle::SortFacelets();
  const int k = m_currentMove != 0 ? GetAnimatedMove(m_currentMove) : -1;
  if (k < 0 || k >= static_cast<int>(m_faces.size())) return;
  CMove* move = GetMove(k);
  CFixVector top, bottom;
  if (!GetMoveAxis(k, top, bottom)) return;
  const bool spikeNearer = top.z > bottom.z;
  const std::uint32_t bit = 1u << MaskBit(k);
  const std::vector<int>& plane = m_faces[k];
  CUObArray& list = FaceletList();
  CUObArray rest, inPlane, spike;
  for (int i = 0; i < list.GetCount(); ++i) {
    auto* f = static_cast<CFacelet*>(list.GetAt(i));
    if (GetMoveMask(f->GetId()) & bit) {
      f->ComputeBox(kFrameVertices);
      spike.Add(f);
    } else if (spikeNearer && std::count(plane.begin(), plane.end(), f->GetId())) {
      inPlane.Add(f);
    } else {
      rest.Add(f);
    }
  }
  spike.Sort(1);
  list.RemoveAll();
  move->DeleteInserts();
  const int firstCut = kStarCutPieces * k;
  if (spikeNearer) {
    list.Add(rest);
    for (int piece = 0; piece < kStarCutPieces; ++piece)
      move->AddInsert(firstCut + piece, list.GetCount(), CMoveInsert::kViewList);
    list.Add(inPlane);
    list.Add(spike);
  } else {
    list.Add(spike);
    for (int piece = 0; piece < kStarCutPieces; ++piece)
      move->AddInsert(firstCut + piece, list.GetCount(), CMoveInsert::kFrameList);
    list.Add(rest);
  }
}

// Between two triangles of one spike (the first turn in order whose spike holds both): the
// spike turns towards the released one, the shorter way round its ten triangles.
int CStarPuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  if (fromFacelet == toFacelet) return 0;
  for (int t = 1; t <= static_cast<int>(m_rings.size()); ++t) {
    const std::vector<int>& ring = m_rings[t - 1];
    const auto from = std::find(ring.begin(), ring.end(), fromFacelet);
    const auto to = std::find(ring.begin(), ring.end(), toFacelet);
    if (from == ring.end() || to == ring.end()) continue;
    const int step = static_cast<int>((to - from + 10) % 10);
    if (step == 5) return 0;  // straight across: either way
    return step < 5 ? t : -t;
  }
  return 0;
}
