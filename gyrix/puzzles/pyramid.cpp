#include <gyrix/puzzles/pyramid.h>

#include <gyrix/puzzles/catalogue.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

// ---- tables ----

// k 3-cycles (a + i*da, b + i*db, c + i*dc), i = 0..k-1, added to `turn`. Each turn of a
// corner also holds the cycles of the turns before it at that corner: the tip, the tip with
// the second layer, the whole pyramid.
struct CycleRun {
  int turn;
  int count;
  int a, b, c;
  int da, db, dc;
};

const CycleRun kTurnCycles[] = {
    {1, 1, 0, 1, 2, 0, 0, 0},
    {2, 3, 3, 6, 9, 1, 1, 1},
    {3, 3, 27, 30, 33, 1, 1, 1},    {3, 5, 12, 17, 22, 1, 1, 1},
    {4, 1, 27, 12, 26, 0, 0, 0},
    {5, 2, 28, 13, 25, 1, -10, -1}, {5, 1, 35, 14, 11, 0, 0, 0},
    {6, 2, 33, 16, 2, 1, -1, 8},    {6, 2, 32, 5, 9, -1, -1, 14},   {6, 1, 30, 0, 22, 0, 0, 0},
    {6, 2, 21, 17, 1, -1, 1, 6},    {6, 1, 19, 6, 8, 0, 0, 0},
    {7, 1, 17, 16, 30, 0, 0, 0},
    {8, 2, 18, 15, 31, -12, -1, 1}, {8, 1, 19, 5, 29, 0, 0, 0},
    {9, 2, 21, 0, 27, -1, 4, 1},    {9, 2, 8, 3, 35, -1, 10, -1},   {9, 1, 1, 12, 33, 0, 0, 0},
    {9, 2, 22, 2, 26, 1, 8, -1},    {9, 1, 9, 11, 24, 0, 0, 0},
    {10, 1, 33, 22, 21, 0, 0, 0},
    {11, 2, 34, 23, 20, 1, -14, -1}, {11, 1, 32, 24, 8, 0, 0, 0},
    {12, 2, 30, 26, 1, 1, -1, 6},   {12, 2, 29, 11, 6, -1, -1, 12}, {12, 1, 27, 2, 17, 0, 0, 0},
    {12, 2, 16, 12, 0, -1, 1, 4},   {12, 1, 14, 3, 5, 0, 0, 0},
};

// Each base corner's turns spin about Y tilted down to the corner, then carried round about Z
// to 90, 210 or 330 degrees (corner 1 needs no carrying). The tilt is the tetrahedron's own,
// asin(1/3), not a whole degree, so that a turn ends exactly where the pieces rest.
constexpr int kCarryAboutZ[CPyramidPuzzle::kCorners] = {0, 0, 120, -120};

// The tilt about X by the tetrahedral angle: sine 1/3, cosine 2 sqrt 2 / 3 (sign +1 or -1),
// applied after what the matrix holds, as CFixMatrix::RotateX applies a whole angle.
void TiltAboutX(CFixMatrix& matrix, int sign) {
  const int s = sign * static_cast<int>(std::lround(kFixOne / 3.0));
  const int c = static_cast<int>(std::lround(kFixOne * 2.0 * std::sqrt(2.0) / 3.0));
  CFixMatrix tilt;
  tilt.m[1][1] = c;
  tilt.m[1][2] = s;
  tilt.m[2][1] = -s;
  tilt.m[2][2] = c;
  matrix.Multiply(tilt);
}

// Vertices: the apex 0, rings of 3, 6 and 9 at heights 5, 1 and -3 (the first vertex of
// ring L is kRingStart[L]), the centre of the base 19.
constexpr int kApex = 0;
constexpr int kRingStart[CPyramidPuzzle::kLayers + 1] = {0, 1, 4, 10};

// The base, cut in nine: a corner triangle at each corner with the two triangles after it
// round the centre.
const int kBaseFacelets[9][3] = {{10, 18, 11}, {11, 18, 19}, {11, 19, 12}, {12, 14, 13}, {12, 19, 14},
                                 {14, 19, 15}, {15, 17, 16}, {15, 19, 17}, {17, 19, 18}};

// The cuts 4 and 8 units down from each corner (the whole height is 12).
const int kInnerFaces[8][3] = {{1, 2, 3},  {4, 6, 8},  {4, 11, 18}, {1, 12, 17},
                               {6, 12, 14}, {2, 11, 15}, {8, 15, 17}, {3, 14, 18}};

// Each turn index's two axis points: the corner, then a point on its axis inside; a whole
// turn has no part left standing and just names its index's vertex twice.
const int kAxisPoints[12][2] = {{0, 19}, {0, 19}, {2, 2},   {10, 7}, {10, 7}, {5, 5},
                                {13, 9}, {13, 9}, {8, 8},   {16, 5}, {16, 5}, {11, 11}};

// The whole turns that carry a base corner up to the apex, so that the rings round that
// corner read as the apex's: corner 1 by turn 12, corner 2 by turn 6, corner 3 by turn 9.
constexpr int kToApex[CPyramidPuzzle::kCorners] = {0, 12, 6, 9};

constexpr int kFramesPerTurn = 6;
constexpr int kDegreesPerFrame = 20;

int VertexOnRing(int layer, int i) {
  if (layer == 0) return kApex;
  return kRingStart[layer] + i % (3 * layer);
}

// The layer (1..3) a facelet has seen from the apex, 0 for the base.
int LayerFromApex(int facelet) {
  if (facelet < 0) return 0;
  if (facelet < 3) return 1;
  if (facelet < 12) return 2;
  if (facelet < 27) return 3;
  return 0;
}

// The place on the apex's ring of the facelet's layer; 0 or less for the base.
int PlaceFromApex(int x) {
  if (x < 3) return 5 * x + 1;
  if (x < 12) return ((x - 3) * 7) / 4 + 1;
  if (x < 27) return x - 11;
  return 27 - x;
}

std::vector<int> TablePermutation(int turn) {
  std::vector<int> permutation(CPyramidPuzzle::kFaceletCount);
  for (int i = 0; i < CPyramidPuzzle::kFaceletCount; ++i) permutation[i] = i;
  const int group = (turn - 1) / 3;
  for (const CycleRun& run : kTurnCycles) {
    if ((run.turn - 1) / 3 != group || run.turn > turn) continue;
    for (int i = 0; i < run.count; ++i) {
      const int cycle[3] = {run.a + i * run.da, run.b + i * run.db, run.c + i * run.dc};
      CPolyModel::CycleFacelets(permutation.data(), cycle, 3);
    }
  }
  return permutation;
}

}  // namespace

CPyramidPuzzle::CPyramidPuzzle(int /*argument*/) : CPuzzle(kFaceletCount) {
  m_typeId = 4;
  AddVertices();
  AddFacelets();
  ApplyTypeLooks(*this, m_typeId);
  AddTurns();
  for (int corner = 1; corner < kCorners; ++corner) m_toApex[corner] = TablePermutation(kToApex[corner]);
  AddInnerFaces();
  ResetColours();
}

// ---- construction ----

// A regular tetrahedron of height 12 with its apex at (0, 0, 9); ring L cuts it 4L below the
// apex, with its corners at 90, 210 and 330 degrees and each side in L steps.
void CPyramidPuzzle::AddVertices() {
  AddVertex(FixPoint(0, 0, 9));
  for (int layer = 1; layer <= kLayers; ++layer) {
    const double r = 4.0 * layer / std::sqrt(2.0);
    const double z = 9 - 4 * layer;
    double corner[3][2];
    for (int c = 0; c < 3; ++c) {
      const double a = (90 + 120 * c) * std::numbers::pi / 180;
      corner[c][0] = r * std::cos(a);
      corner[c][1] = r * std::sin(a);
    }
    for (int i = 0; i < 3 * layer; ++i) {
      const int side = i / layer;
      const double t = static_cast<double>(i % layer) / layer;
      const double* p = corner[side];
      const double* q = corner[(side + 1) % 3];
      AddVertex(FixPoint(p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1]), z));
    }
  }
  AddVertex(FixPoint(0, 0, -3));
}

// Layer by layer from the apex, each layer once round the side faces; on side face k the
// facelets run from its corner at 90 + 120k degrees to the next, upright and inverted in turn.
void CPyramidPuzzle::AddFacelets() {
  m_faces.assign(4, {});
  for (int layer = 1; layer <= kLayers; ++layer) {
    for (int face = 0; face < 3; ++face) {
      const int upper = layer - 1;
      for (int j = 0; j < layer; ++j) {
        const int up = VertexOnRing(upper, face * upper + j);
        const int upright[3] = {up, VertexOnRing(layer, face * layer + j), VertexOnRing(layer, face * layer + j + 1)};
        m_faces[face].push_back(AddFacelet(upright, 3));
        if (j + 1 < layer) {
          const int inverted[3] = {up, VertexOnRing(layer, face * layer + j + 1), VertexOnRing(upper, face * upper + j + 1)};
          m_faces[face].push_back(AddFacelet(inverted, 3));
        }
      }
    }
  }
  for (const auto& triangle : kBaseFacelets) m_faces[3].push_back(AddFacelet(triangle, 3));
}

void CPyramidPuzzle::AddTurns() {
  for (int turn = 1; turn <= kCorners * kLayers; ++turn) AddMove(TablePermutation(turn).data(), -1);
}

void CPyramidPuzzle::AddInnerFaces() {
  for (const auto& face : kInnerFaces) AddInnerFacelet(face, 3);
}

// ---- colours and the solved test ----

void CPyramidPuzzle::ResetColours() {
  static const int kFaceColours[4] = {1, 2, 3, 4};
  PaintGroups(*this, m_faces, kFaceColours);
}

// A whole-pyramid turn leaves every face one colour, so any arrangement counts.
void CPyramidPuzzle::UpdateSolved() { m_solved = EachGroupUniform(*this, m_faces); }

// ---- turning ----

int CPyramidPuzzle::GetMoveStep(int /*move*/) { return kDegreesPerFrame; }

int CPyramidPuzzle::GetMoveFrames(int /*move*/) { return kFramesPerTurn; }

void CPyramidPuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int t = std::abs(move);
  if (t < 1 || t > kCorners * kLayers) return;
  const int corner = (t - 1) / kLayers;
  const int s = move < 0 ? -angle : angle;
  if (corner == 0) {
    matrix.RotateZ(s);
    return;
  }
  if (kCarryAboutZ[corner]) matrix.RotateZ(-kCarryAboutZ[corner]);
  TiltAboutX(matrix, -1);
  matrix.RotateY(s);
  TiltAboutX(matrix, 1);
  if (kCarryAboutZ[corner]) matrix.RotateZ(kCarryAboutZ[corner]);
}

BOOL CPyramidPuzzle::GetMoveAxis(int k, CFixVector& a, CFixVector& b) {
  const bool listed = k >= 0 && k < kCorners * kLayers;
  const int first = listed ? kAxisPoints[k][0] : k;
  const int second = listed ? kAxisPoints[k][1] : k;
  if (const CFixVector* v = GetVertex(first, kViewVertices)) a = *v;
  if (const CFixVector* v = GetVertex(second, kViewVertices)) b = *v;
  return 1;
}

// Turn index 3g + l shows the cut below layer l + 1 of corner g; the whole turns have none
// (their index points at the next corner's first cut, which they never paint).
int CPyramidPuzzle::GetInnerFacelet(int k) { return (k % 3) + 2 * (k / 3); }

// ---- turning by dragging ----

void CPyramidPuzzle::RingPlace(int facelet, int corner, int& turn, int& position) const {
  turn = 0;
  position = 0;
  if (facelet < 0 || facelet >= kFaceletCount || corner < 0 || corner >= kCorners) return;
  const int place = corner == 0 ? facelet : m_toApex[corner][facelet];
  const int layer = LayerFromApex(place);
  if (layer == 0) return;
  turn = corner * kLayers + layer;
  position = PlaceFromApex(place);
}

// Both facelets on one ring of a corner that turns a tip or a tip with its second layer;
// the shorter way round that ring gives the direction. A drag that rings round two corners
// explain is refused.
int CPyramidPuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  int candidates = 0;
  int turn = 0;
  int d = 0;
  for (int corner = 0; corner < kCorners; ++corner) {
    int turnFrom = 0, placeFrom = 0, turnTo = 0, placeTo = 0;
    RingPlace(fromFacelet, corner, turnFrom, placeFrom);
    RingPlace(toFacelet, corner, turnTo, placeTo);
    if (turnFrom == 0 || turnFrom != turnTo || turnFrom % kLayers == 0 || placeFrom < 1 || placeTo < 1) continue;
    ++candidates;
    turn = turnFrom;
    d = placeTo - placeFrom;
  }
  if (candidates != 1) return 0;
  if (d < 0) d += kRingLength;
  if (d == 0) return 0;
  return d < 8 ? turn : -turn;
}
