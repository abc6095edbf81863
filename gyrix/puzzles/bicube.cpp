#include <gyrix/puzzles/bicube.h>

#include <gyrix/puzzles/catalogue.h>

#include <cstdlib>

namespace {

// ---- tables ----

// The shared corners: the 4 x 4 x 4 lattice of coordinates -3, -1, 1, 3, corner 16i + 4j + k
// for the coordinate indices i, j, k of x, y, z. Each piece is a 2-unit cube of it.
constexpr int kLattice[4] = {-3, -1, 1, 3};

// The model: the 26 outer pieces of a 3 x 3 x 3 cube, with eight fused blocks (pieces named by
// their centres, coordinates -2, 0, 2):
//   - two 2 x 2 x 1 slabs on the x = -2 and x = 2 faces, where y and z are both 0 or 2;
//   - three dominoes along x at y = -2, x = 0 and 2, one for each z;
//   - three dominoes along y at z = -2, y = 0 and 2, one for each x (x = -2 and 2 beside the
//     slabs).
// A fused block shows as one larger facelet on each face it touches, which gives the faces
// 6, 7, 6, 5, 5 and 5 facelets. Each block crosses one of the cuts y = 1, z = 1, x = 1, so a
// new BiCube turns only its three layers on the other side: y < -1, z < -1 and x < -1.
// Facelets are listed face by face in solved colour order, each counter-clockwise seen from
// outside.
const int kFacelets[CBiCubePuzzle::kFaceletCount][4] = {
    // 0-5: the -y face, colour 1
    {16, 17, 1, 0}, {17, 18, 2, 1}, {18, 19, 3, 2}, {48, 49, 17, 16}, {49, 50, 18, 17}, {50, 51, 19, 18},
    // 6-12: the +y face, colour 2
    {12, 13, 29, 28}, {28, 29, 45, 44}, {29, 30, 46, 45}, {30, 31, 47, 46}, {44, 45, 61, 60}, {13, 15, 31, 29},
    {45, 47, 63, 61},
    // 13-18: the +z face, colour 3
    {3, 19, 23, 7}, {23, 39, 43, 27}, {27, 43, 47, 31}, {7, 23, 31, 15}, {19, 51, 55, 23}, {39, 55, 63, 47},
    // 19-23: the +x face, colour 4
    {48, 52, 53, 49}, {49, 53, 54, 50}, {50, 54, 55, 51}, {52, 60, 61, 53}, {53, 61, 63, 55},
    // 24-28: the -x face, colour 5
    {1, 5, 4, 0}, {2, 6, 5, 1}, {3, 7, 6, 2}, {5, 13, 12, 4}, {7, 15, 13, 5},
    // 29-33: the -z face, colour 6
    {4, 20, 16, 0}, {12, 28, 20, 4}, {28, 44, 36, 20}, {20, 52, 48, 16}, {44, 60, 52, 36},
};

// The first facelet of each colour 1..6, and the end.
constexpr int kColourStarts[7] = {0, 6, 13, 19, 24, 29, 34};

// Per turn: the cut face (a, b, c, d); the plane through a, b, c has the turning layer in front.
const int kCuts[CBiCubePuzzle::kTurns][4] = {
    {52, 55, 7, 4},    // 1: y = -1, the layer y < -1
    {59, 56, 8, 11},   // 2: y = 1, the layer y > 1
    {61, 49, 1, 13},   // 3: z = -1, the layer z < -1
    {2, 50, 62, 14},   // 4: z = 1, the layer z > 1
    {28, 16, 19, 31},  // 5: x = -1, the layer x < -1
    {44, 47, 35, 32},  // 6: x = 1, the layer x > 1
};

// The six outer faces, each as three lattice corners.
const int kFacePlanes[6][3] = {{63, 51, 48}, {63, 60, 12}, {63, 15, 3}, {0, 3, 15}, {0, 3, 51}, {0, 48, 60}};

constexpr int kFramesPerTurn = 6;
constexpr int kDegreesPerFrame = 15;

}  // namespace

CBiCubePuzzle::CBiCubePuzzle(int /*argument*/) : CPlaneCutPuzzle(kFaceletCount) {
  m_typeId = 17;
  for (int x : kLattice)
    for (int y : kLattice)
      for (int z : kLattice) AddVertex(x, y, z);
  ApplyTypeLooks(*this, m_typeId);
  for (const auto& cut : kCuts) AddCutTurn(cut, 4);
  ResetColours();
}

void CBiCubePuzzle::BuildSolvedFacelets() {
  for (int colour = 1; colour <= 6; ++colour)
    for (int f = kColourStarts[colour - 1]; f < kColourStarts[colour]; ++f)
      SetFaceletColour(AddFacelet(kFacelets[f], 4), colour);
}

int CBiCubePuzzle::GetMoveStep(int /*move*/) { return kDegreesPerFrame; }

int CBiCubePuzzle::GetMoveFrames(int /*move*/) { return kFramesPerTurn; }

// Quarter turns about the cube's axes, each counter-clockwise about its cut's normal (the
// odd-numbered turns' normals point down their axes; RotateX turns the other way round +x).
void CBiCubePuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int k = std::abs(move) - 1;
  if (k < 0 || k >= kTurns) return;
  int s = move < 0 ? -angle : angle;
  if (k % 2 == 0) s = -s;
  if (k < 2)
    matrix.RotateY(s);
  else if (k < 4)
    matrix.RotateZ(s);
  else
    matrix.RotateX(-s);
}

BOOL CBiCubePuzzle::CanMove(int move) {
  const CFixPlane* plane = GetPlane(std::abs(move) - 1);
  if (!plane) return 0;
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const std::int64_t value = plane->Value(FaceletCentroid(*GetFacelet(i), kModelVertices));
    if (std::llabs(value) < kFixHalf) return 0;
  }
  return 1;
}

// Each facelet belongs to the outer face whose plane it lies in; the first facelet of a face
// sets the colour every other facelet there must show.
void CBiCubePuzzle::UpdateSolved() {
  m_solved = 0;
  CFixPlane faces[6];
  for (int i = 0; i < 6; ++i)
    faces[i].Set(*GetVertex(kFacePlanes[i][0], kModelVertices), *GetVertex(kFacePlanes[i][1], kModelVertices),
                 *GetVertex(kFacePlanes[i][2], kModelVertices));
  int colours[6] = {-1, -1, -1, -1, -1, -1};
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFacelet& f = *GetFacelet(i);
    CFixPlane own;
    own.Set(f, kModelVertices);
    for (int face = 0; face < 6; ++face) {
      if (!faces[face].IsSamePlane(own)) continue;
      if (colours[face] == -1) colours[face] = f.GetColour();
      if (colours[face] != f.GetColour()) return;
      break;
    }
  }
  m_solved = 1;
}
