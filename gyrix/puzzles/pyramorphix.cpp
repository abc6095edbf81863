#include <gyrix/puzzles/pyramorphix.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

// ---- tables ----

// The shared corners: the apex (0, 0, 9), vertex 0; the midpoints of the three edges from the
// apex at height 3, vertices 1-3; the base at height -3, vertices 4-9, going round from the
// corner at 90 degrees with each side's midpoint after its corner (4, 6, 8 are the corners).
// The tetrahedron is regular and sits in a cube: its corners are four of the cube's, its edge
// midpoints the cube's face centres, its centroid the origin.
constexpr int kRingStart[3] = {0, 1, 4};
const double kRingRadius[3] = {0, 6 / std::numbers::sqrt2, 12 / std::numbers::sqrt2};
const double kRingHeight[3] = {9, 3, -3};
constexpr int kLayers = 2;

// The base: a corner triangle at each base corner, the middle one last.
const int kBaseFacelets[4][3] = {{5, 4, 9}, {7, 6, 5}, {9, 8, 7}, {7, 5, 9}};

// The faces by facelet id: the tip of side face f is facelet f, its second layer 3 + 3f..5 + 3f;
// the base is 12-15. Solved colours 1, 2, 3, 4.
const int kFaceGroups[4][4] = {{0, 3, 4, 5}, {1, 6, 7, 8}, {2, 9, 10, 11}, {12, 13, 14, 15}};

// Per turn the cut face: the square through four edge midpoints, the cube's middle plane. Turns
// 1-3 and 4-6 cut the same three squares from opposite sides.
const int kCuts[CPyramorphixPuzzle::kTurns][4] = {{9, 3, 2, 5}, {5, 1, 3, 7}, {9, 7, 2, 1},
                                                  {5, 2, 3, 9}, {7, 3, 1, 5}, {1, 2, 7, 9}};

constexpr int kFramesPerTurn = 6;
constexpr int kDegreesPerFrame = 15;

int VertexOnRing(int layer, int i) { return layer == 0 ? 0 : kRingStart[layer] + i % (3 * layer); }

}  // namespace

CPyramorphixPuzzle::CPyramorphixPuzzle(int /*argument*/) : CPlaneCutPuzzle(kFaceletCount) {
  m_typeId = 15;
  for (int layer = 0; layer <= kLayers; ++layer) {
    const int count = layer == 0 ? 1 : 3 * layer;
    for (int i = 0; i < count; ++i) {
      // Corners at 90, 210 and 330 degrees, each side of ring `layer` in `layer` steps.
      const int side = layer == 0 ? 0 : i / layer;
      const double t = layer == 0 ? 0 : static_cast<double>(i % layer) / layer;
      const double a = (90 + 120 * side) * std::numbers::pi / 180;
      const double b = (90 + 120 * (side + 1)) * std::numbers::pi / 180;
      const double r = kRingRadius[layer];
      AddVertex(FixPoint(r * ((1 - t) * std::cos(a) + t * std::cos(b)), r * ((1 - t) * std::sin(a) + t * std::sin(b)),
                         kRingHeight[layer]));
    }
  }
  // A turn carries corners of the tetrahedron onto the other four corners of its cube.
  for (int corner : {0, 4, 6, 8}) {
    const CFixVector* v = GetVertex(corner, kModelVertices);
    AddRestingPlace(CFixVector::FromRaw(-v->x, -v->y, -v->z));
  }
  ApplyTypeLooks(*this, m_typeId);
  for (const auto& cut : kCuts) AddCutTurn(cut, 4);
  ResetColours();
  // The two solved shapes: as built, and with both halves of the first cut turned alike.
  m_solvedPlaces[0] = SolvedPlaces();
  MakeGuardedMove(1);
  MakeGuardedMove(-4);
  m_solvedPlaces[1] = SolvedPlaces();
  ResetColours();
}

// The side faces by layers from the apex, each layer once round the faces, upright and
// inverted triangles in turn; then the base.
void CPyramorphixPuzzle::BuildSolvedFacelets() {
  for (int layer = 1; layer <= kLayers; ++layer) {
    for (int face = 0; face < 3; ++face) {
      const int upper = layer - 1;
      for (int j = 0; j < layer; ++j) {
        const int up = VertexOnRing(upper, face * upper + j);
        const int upright[3] = {up, VertexOnRing(layer, face * layer + j), VertexOnRing(layer, face * layer + j + 1)};
        AddFacelet(upright, 3);
        if (j + 1 < layer) {
          const int inverted[3] = {up, VertexOnRing(layer, face * layer + j + 1), VertexOnRing(upper, face * upper + j + 1)};
          AddFacelet(inverted, 3);
        }
      }
    }
  }
  for (const auto& triangle : kBaseFacelets) AddFacelet(triangle, 3);
  for (int colour = 1; colour <= 4; ++colour)
    for (int id : kFaceGroups[colour - 1]) SetFaceletColour(id, colour);
}

int CPyramorphixPuzzle::GetMoveStep(int /*move*/) { return kDegreesPerFrame; }

int CPyramorphixPuzzle::GetMoveFrames(int /*move*/) { return kFramesPerTurn; }

// A quarter turn counter-clockwise about the cut's normal, the axis through the midpoints of
// two opposite edges. It is spun about that exact axis, whose tilt (35.26 degrees) no whole
// degree meets, so that the turned half stays closed on the cut while it turns.
void CPyramorphixPuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const CFixPlane* plane = GetPlane(std::abs(move) - 1);
  if (!plane) return;
  double x, y, z;
  plane->normal.ToDoubles(x, y, z);
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0) return;
  RotateAboutUnitAxis(matrix, {x / length, y / length, z / length}, move < 0 ? -angle : angle);
}

std::vector<CPyramorphixPuzzle::CSolvedPlace> CPyramorphixPuzzle::SolvedPlaces() const {
  std::vector<CSolvedPlace> places;
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFacelet& f = *GetFacelet(i);
    places.push_back({FaceletCentroid(f, kModelVertices), f.GetColour()});
  }
  return places;
}

const CFacelet* CPyramorphixPuzzle::FaceletAt(const CFixVector& centroid) const {
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFixVector c = FaceletCentroid(*GetFacelet(i), kModelVertices);
    if (std::llabs(std::int64_t(c.x) - centroid.x) <= kFixHalf && std::llabs(std::int64_t(c.y) - centroid.y) <= kFixHalf &&
        std::llabs(std::int64_t(c.z) - centroid.z) <= kFixHalf)
      return GetFacelet(i);
  }
  return nullptr;
}

// Each facelet takes the solved colour of the place it is at; the puzzle is solved when the
// four facelets of every face took one colour. Whole turns of the puzzle keep it solved.
void CPyramorphixPuzzle::UpdateSolved() {
  m_solved = 0;
  for (const std::vector<CSolvedPlace>& shape : m_solvedPlaces) {
    int placeColour[kFaceletCount];
    std::fill(placeColour, placeColour + kFaceletCount, -1);
    bool matched = true;
    for (const CSolvedPlace& place : shape) {
      const CFacelet* f = FaceletAt(place.centroid);
      if (!f || f->GetId() < 0 || f->GetId() >= kFaceletCount) {
        matched = false;
        break;
      }
      placeColour[f->GetId()] = place.colour;
    }
    if (!matched) continue;
    for (const auto& group : kFaceGroups)
      for (int id : group)
        if (placeColour[id] == -1 || placeColour[id] != placeColour[group[0]]) return;
    m_solved = 1;
    return;
  }
}
