// The shared model builder. A puzzle constructor reads as its recipe on top of it:
//   solid        MakeIcosahedron(r) ... and AddSolidVertices, which places it in the model;
//   facelets     AddTriangleGrid, AddSquareGrid, AddPentagonFacelets on the solid's faces;
//   turns        AddRotationTurn: the permutation found by rotating facelet centroids with the
//                class's own GetMoveRotation, so the turn and its animation cannot disagree;
//                RotateAboutTiltedAxis for the rotations themselves;
//   drags        TurnFromCycleDrag / TurnFromStripDrag over a table of cycles;
//   colours      PaintGroups, and EachGroupUniform for the solved test.
// Winding: a facelet (or face) with vertices p0, p1, ..., pl is outward when (p1 - p0) x
// (pl - p0) points out of the solid, that is counter-clockwise seen from outside. Every solid
// face and every facelet made here keeps that winding.
#pragma once

#include <gyrix/engine/puzzle.h>

#include <array>
#include <span>
#include <string>
#include <vector>

// ---- regular solids ----

// Plain geometry, centred on the origin: vertices in model units and faces as lists of
// vertex indices with outward winding.
struct CSolid {
  std::vector<std::array<double, 3>> vertices;
  std::vector<std::vector<int>> faces;
};

// Each maker puts every vertex at distance `radius` (r) from the centre, numbered as its comment
// says; the solid's faces are the table above the maker, in the table's order.
//
// Tetrahedron: vertex 0 (0, 0, r) at the top; vertices 1, 2, 3 below at z = -r / 3, at
// longitudes 90, 210 and 330 degrees (longitude is measured from +X towards +Y). Face k
// (0..2) joins the top to the bottom edge from vertex k + 1 to the next; face 3 is the bottom.
inline constexpr int kTetrahedronFaces[4][3] = {{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 3, 2}};
CSolid MakeTetrahedron(double radius);

// Cube of half-edge h = r / sqrt(3): vertices 0..3 on top (z = +h) at (-h, -h), (h, -h),
// (h, h), (-h, h), vertices 4..7 below them at z = -h. Faces as the cube puzzle numbers them:
// 0 top, 1 y = -h, 2 x = +h, 3 y = +h, 4 x = -h, 5 bottom.
inline constexpr int kCubeFaces[6][4] = {{0, 1, 2, 3}, {0, 4, 5, 1}, {1, 5, 6, 2},
                                         {2, 6, 7, 3}, {3, 7, 4, 0}, {4, 7, 6, 5}};
CSolid MakeCube(double radius);

// Octahedron: vertex 0 (0, 0, r), then (r, 0, 0), (0, r, 0), (-r, 0, 0), (0, -r, 0), and
// vertex 5 (0, 0, -r). Faces 0..3 meet at the top, face k over the equator edge from vertex
// k + 1 to the next; face 4 + k is below face k, across that edge.
inline constexpr int kOctahedronFaces[8][3] = {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 1},
                                               {5, 2, 1}, {5, 3, 2}, {5, 4, 3}, {5, 1, 4}};
CSolid MakeOctahedron(double radius);

// Icosahedron: vertex 0 (0, 0, r) and vertex 6 (0, 0, -r); vertices 1..5 at latitude
// +atan(1/2) (26.57 degrees), vertex k at longitude 72k; vertices 7..11 at latitude
// -atan(1/2), at longitudes 324, 252, 180, 108 and 36. Opposite pairs: 0-6, 1-8, 2-7, 3-11,
// 4-10, 5-9. The faces run in four rings of five, each ring by rising longitude: 0..4 round
// the top vertex (the top vertex first); 5..9 below them (5 + k shares the edge opposite the
// top with face k; both centred at longitude 108 + 72k); 10..14 the lower band (10 + k hangs
// from vertex k + 1); 15..19 round the bottom vertex (15 + k below 10 + k; both centred at
// longitude 72 + 72k). A band face starts at its vertex that is alone in its ring.
inline constexpr int kIcosahedronFaces[20][3] = {
    {0, 1, 2},   {0, 2, 3},   {0, 3, 4},   {0, 4, 5},   {0, 5, 1},    // top
    {10, 2, 1},  {9, 3, 2},   {8, 4, 3},   {7, 5, 4},   {11, 1, 5},   // upper band
    {1, 11, 10}, {2, 10, 9},  {3, 9, 8},   {4, 8, 7},   {5, 7, 11},   // lower band
    {6, 10, 11}, {6, 9, 10},  {6, 8, 9},   {6, 7, 8},   {6, 11, 7}};  // bottom
// The five neighbours of each icosahedron vertex, counter-clockwise seen from outside.
inline constexpr int kIcosahedronNeighbours[12][5] = {
    {1, 2, 3, 4, 5},   {5, 11, 10, 2, 0}, {1, 10, 9, 3, 0}, {2, 9, 8, 4, 0},
    {3, 8, 7, 5, 0},   {4, 7, 11, 1, 0},  {7, 8, 9, 10, 11}, {11, 5, 4, 8, 6},
    {7, 4, 3, 9, 6},   {8, 3, 2, 10, 6},  {9, 2, 1, 11, 6},  {10, 1, 5, 7, 6}};
CSolid MakeIcosahedron(double radius);

// Dodecahedron: the icosahedron's dual, numbered so that both numberings agree. Its vertex k
// lies above icosahedron face k (the face's centre, scaled out to the radius); its face m lies
// above icosahedron vertex m. Corner j of face m is the icosahedron face that holds m and its
// neighbours j - 1 and j (kIcosahedronNeighbours[m], indices mod 5); so the face's edge j
// (corners j to j + 1) borders face kIcosahedronNeighbours[m][j].
inline constexpr int kDodecahedronFaces[12][5] = {
    {4, 0, 1, 2, 3},      {4, 9, 10, 5, 0},     {0, 5, 11, 6, 1},     {1, 6, 12, 7, 2},
    {2, 7, 13, 8, 3},     {3, 8, 14, 9, 4},     {19, 18, 17, 16, 15}, {19, 14, 8, 13, 18},
    {18, 13, 7, 12, 17},  {17, 12, 6, 11, 16},  {16, 11, 5, 10, 15},  {15, 10, 9, 14, 19}};
CSolid MakeDodecahedron(double radius);

// ---- vertices ----

// Two model vertices are one when every coordinate differs by at most this (1/1024 unit):
// points reached along different edges differ in the last bits.
constexpr int kSameVertexTolerance = kFixOne / 1024;

// A point in model units to fixed point, rounded to the nearest step in both directions, so a
// solid stays symmetric (ToFixed pulls negative values up by a step).
CFixVector FixPoint(double x, double y, double z);
CFixVector FixPoint(const std::array<double, 3>& p);

// The index of the model vertex within `tolerance` (raw fixed units, per coordinate) of v, the
// first such in index order; a new vertex when there is none.
int AddVertexOnce(CPolyModel& model, const CFixVector& v, int tolerance = kSameVertexTolerance);

// Adds the solid's vertices in its order (each once) and gives its faces as model vertex
// indices, face for face.
std::vector<std::vector<int>> AddSolidVertices(CPolyModel& model, const CSolid& solid);

// ---- facelets: subdividing one face ----
// Each takes the face as model vertex indices with outward winding, adds its facelets (with
// outward winding, sharing vertices through AddVertexOnce) and returns their ids in the order
// given; the numbers below are places in that list (ids are consecutive, so the id is the
// first id plus the place). A face of the wrong corner count, or n < 1, adds nothing and gives
// no ids.

// Triangle (a, b, c) cut into n x n triangles by lines parallel to its sides. Points are
// P(i, j) = a + (i/n)(b - a) + (j/n)(c - a); the new ones are added level by level from a
// (level i + j), each level from the a-b side to the a-c side. The facelets come in rows
// r = 0..n-1 from a (row r between levels r and r + 1, places r^2 .. r^2 + 2r); in a row, from
// the a-b side: upright triangle 0, inverted 0, upright 1, ..., upright r. Upright k of row r
// is (P(r-k, k), P(r-k+1, k), P(r-k, k+1)); inverted k is (P(r-k, k+1), P(r-k-1, k+1),
// P(r-k, k)). So the first facelet holds corner a, place (n-1)^2 corner b and the last corner c.
std::vector<int> AddTriangleGrid(CPolyModel& model, std::span<const int> triangle, int n);

// Quadrilateral (a, b, c, d) cut into n x n quadrilaterals. Points are bilinear: P(i, j) at
// fraction i/n from the a-d side towards b-c and j/n from a-b towards d-c, added row by row
// (j), each row by i. Place j * n + i is (P(i, j), P(i+1, j), P(i+1, j+1), P(i, j+1)): rows
// from the a-b side, each from the a-d side; the first holds corner a, place n - 1 corner b.
std::vector<int> AddSquareGrid(CPolyModel& model, std::span<const int> quad, int n);

// The inner points of a pentagon sit at this fraction of the way from its centre to each
// corner; cos 72 degrees makes the corner facelets of a regular pentagon rhombi.
constexpr double kRhombusCorners = 0.30901699437494745;

// Pentagon (c0..c4) cut into 11 facelets. New points: e0..e4, the midpoints of the edges (ej
// on cj-cj+1), then q0..q4, qj at `innerScale` of the way from the centre to cj (indices
// mod 5). Places:
//   0..4   corner quadrilateral j: (cj, ej, qj, ej-1);
//   5..9   edge triangle j on edge j: (ej, qj+1, qj);
//   10     centre pentagon (q0, q1, q2, q3, q4).
std::vector<int> AddPentagonFacelets(CPolyModel& model, std::span<const int> pentagon,
                                     double innerScale = kRhombusCorners);

// ---- rotations ----

enum ModelAxis { kAxisX = 0, kAxisY = 1, kAxisZ = 2 };

// CFixMatrix::RotateX, RotateY or RotateZ. RotateY and RotateZ turn by the right-hand rule
// about +Y and +Z; RotateX turns by the left-hand rule about +X.
void RotateAbout(CFixMatrix& matrix, ModelAxis axis, int degrees);

// A spin axis tilted away from a model axis, as one row of a table: rotate about `outer` by
// -outerAngle, about `inner` by -innerAngle, about `spin` by direction x angle, about `inner`
// by +innerAngle, about `outer` by +outerAngle. Rows the families use:
//   {kAxisX, a, kAxisY, b, kAxisZ, d}    {kAxisZ, u, kAxisY, t, kAxisX, d}
//   {kAxisZ, z, kAxisX, x, kAxisY, d}    {kAxisY, 15, kAxisY, 0, kAxisX, d} (one tilt)
// A step of angle 0 is skipped (it would change nothing).
struct CTiltedAxis {
  ModelAxis outer;
  int outerAngle;
  ModelAxis inner;
  int innerAngle;
  ModelAxis spin;
  int direction;  // +1 or -1: the spin's sense for a positive angle
};
// Applies the tilted spin by `angle` degrees after what the matrix already holds.
void RotateAboutTiltedAxis(CFixMatrix& matrix, const CTiltedAxis& tilt, int angle);

// The right-hand rotation by `degrees` about a unit axis through the origin, computed in double
// precision and applied after what the matrix already holds: for turns whose axes whole-degree
// tilts only approximate (corner and face axes of the regular solids).
void RotateAboutUnitAxis(CFixMatrix& matrix, const std::array<double, 3>& axis, double degrees);

// ---- turns from rotations ----

// Model units by which a centroid must be in front of a point-and-normal plane to count as in
// front: a centroid on the plane is not.
constexpr double kPlaneMargin = 1.0 / 1024;

// The facelets a turn carries: the whole puzzle, the facelets whose centroid (model vertices)
// is in front of every plane given, or an explicit list of ids.
class CTurnPart {
 public:
  // Every facelet: a turn of the whole puzzle.
  static CTurnPart Whole();
  // In front of the plane through `point` with `normal` (any length), by more than
  // kPlaneMargin.
  static CTurnPart InFrontOf(const CFixVector& point, const CFixVector& normal);
  // In front as CFixPlane::IsFaceletInFront decides, as the plane-cut puzzles cut.
  static CTurnPart InFrontOf(const CFixPlane& plane);
  // Exactly these facelets, wherever they lie.
  static CTurnPart Facelets(std::vector<int> ids);
  // Also in front of this plane: a slab between two cuts is in front of both.
  CTurnPart& AndInFrontOf(const CFixVector& point, const CFixVector& normal);

  bool Holds(const CFacelet& facelet) const;

 private:
  struct HalfSpace {
    std::array<double, 3> point;
    std::array<double, 3> normal;
  };
  std::vector<HalfSpace> m_halfSpaces;
  std::vector<CFixPlane> m_planes;
  std::vector<int> m_ids;
  bool m_byIds = false;
};

// What rotating a part gives.
struct CRotationTurn {
  bool valid = false;
  // Entry i: the facelet that receives facelet i's colour; i itself outside the part.
  std::vector<int> permutation;
  // Facelets of the part whose centroid lands on themselves (a face centre), ascending.
  std::vector<int> inPlace;
  // When refused: the facelet at fault and what happened to it.
  int failedFacelet = -1;
  std::string error;
};

// Rotates the centroid (model vertices) of every facelet of the part by the matrix and matches
// it to the facelet whose centroid is nearest, which must be within `tolerance` model units.
// A tolerance of 0 means a quarter of the shortest distance between two facelet centroids.
// Refused (valid false) when a centroid lands on no facelet, or when two facelets land on one
// (also when a facelet of the part lands on one outside it, which stays where it is).
CRotationTurn TurnFromMatrix(const CPolyModel& model, const CFixMatrix& rotation, const CTurnPart& part,
                             double tolerance = 0);

// The same with turn `move`'s full rotation as the class animates it:
// GetMoveRotation(m, move, GetMoveStep(move) * GetMoveFrames(move)).
CRotationTurn TurnFromRotation(CPuzzle& puzzle, int move, const CTurnPart& part, double tolerance = 0);

// Adds turn `move`, which must be the puzzle's next turn number (GetMoveCount() + 1), from its
// rotation: AddMove with the first in-place facelet as the extra one, and every in-place
// facelet marked with the turn's mask bit, so that it turns in the animation. Returns the turn
// number, or 0 (nothing added) when the rotation is refused or `move` is not the next turn.
int AddRotationTurn(CPuzzle& puzzle, int move, const CTurnPart& part, double tolerance = 0);

// ---- turns from tables of cycles ----

// One cycle of a turn's table: the turn makes each facelet's colour go to the next one (the
// last one's to the first), as CPolyModel::CycleFacelets applies it.
struct CTurnCycle {
  int turn;  // the turn that a drag one step along the cycle makes
  std::vector<int> facelets;
};
using CTurnCycleTable = std::vector<CTurnCycle>;

// A table from a flat array: turn firstTurn + t owns the `perTurn` cycles of `length` ids that
// follow from ids[t * perTurn * length]; a tail too short for a whole turn is left out.
CTurnCycleTable MakeCycleTable(std::span<const int> ids, int perTurn, int length, int firstTurn = 1);

// Every cycle of `turn` applied to the identity permutation of `count` facelets.
std::vector<int> PermutationFromCycles(const CTurnCycleTable& table, int turn, int count);

// The turn of a drag from facelet `press` to `release`, by the first cycle in table order that
// holds both. With p and r their places in it and L its length, the step d = (r - p) mod L
// decides: d = 1 gives the cycle's turn, d = L - 1 its inverse (in a cycle of 2 both are one
// step forward: the turn). A longer step follows the table order: the turn when r > p, the
// inverse when r < p. Pressing and releasing on one facelet, or on two that share no cycle,
// gives 0.
int TurnFromCycleDrag(const CTurnCycleTable& table, int press, int release);

// The same over open strips (paths across a face, not cycles): the strip's turn when the
// release comes later in it than the press, the inverse when earlier; 0 as above.
int TurnFromStripDrag(const CTurnCycleTable& strips, int press, int release);

// ---- colours and the solved test ----

// Groups of facelet ids, such as the facelets of each face.
using CFaceletGroups = std::vector<std::vector<int>>;

// groupCount groups of groupSize consecutive ids from `first`: group k holds
// first + k * groupSize ..  first + (k + 1) * groupSize - 1.
CFaceletGroups ConsecutiveGroups(int groupCount, int groupSize, int first = 0);

// Gives every facelet of group k the colour colours[k] (groups beyond the colours are left).
void PaintGroups(CPolyModel& model, const CFaceletGroups& groups, std::span<const int> colours);

// The solved test most families use: every group shows one colour, whichever colour that is,
// so the groups may show the colours in any arrangement (after a whole-puzzle turn too).
// Ids no facelet has are ignored.
bool EachGroupUniform(const CPolyModel& model, const CFaceletGroups& groups);

// The strict form: group k shows colours[k] and nothing else.
bool GroupsShowColours(const CPolyModel& model, const CFaceletGroups& groups, std::span<const int> colours);
