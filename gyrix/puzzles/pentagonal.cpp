#include <gyrix/puzzles/pentagonal.h>

#include <gyrix/puzzles/catalogue.h>

#include <cmath>
#include <cstdlib>

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
  return t >= 1 && t <= GetMoveCount() ? t - 1 : -1;
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
  const std::array<double, 3> k = CornerAxis(corner);
  const double radians = (move < 0 ? -angle : angle) * 3.14159265358979323846 / 180;
  const double c = std::cos(radians), s = std::sin(radians), v = 1 - c;
  const double r[3][3] = {{c + v * k[0] * k[0], v * k[0] * k[1] - s * k[2], v * k[0] * k[2] + s * k[1]},
                          {v * k[1] * k[0] + s * k[2], c + v * k[1] * k[1], v * k[1] * k[2] - s * k[0]},
                          {v * k[2] * k[0] - s * k[1], v * k[2] * k[1] + s * k[0], c + v * k[2] * k[2]}};
  CFixMatrix spin;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) spin.m[i][j] = ToFixed(r[i][j]);
  matrix.Multiply(spin);
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

  const std::vector<COLORREF> palette = GetTypePalette(m_typeId);
  SetPalette(palette.data(), static_cast<int>(palette.size()));
  SetModelSize(GetPuzzleType(m_typeId)->modelSize);

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
