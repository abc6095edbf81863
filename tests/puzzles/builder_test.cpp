#include "puzzle_test_util.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr double kPiDegrees = 180 / 3.14159265358979323846;

Vec3 Centre(const CSolid& s, const std::vector<int>& face) {
  Vec3 c{0, 0, 0};
  for (int v : face)
    for (int k = 0; k < 3; ++k) c[k] += s.vertices[v][k] / face.size();
  return c;
}

Vec3 Unit(const Vec3& v) {
  const double l = Length(v);
  return {v[0] / l, v[1] / l, v[2] / l};
}

double Longitude(const Vec3& v) {
  const double lon = std::atan2(v[1], v[0]) * kPiDegrees;
  return lon < -1e-9 ? lon + 360 : lon;
}

bool Near(const Vec3& a, const Vec3& b, double tolerance = 1e-9) { return Length(Sub(a, b)) < tolerance; }

struct NamedSolid {
  const char* name;
  CSolid solid;
  std::size_t vertices, faces, corners;
};

std::vector<NamedSolid> AllSolids(double r) {
  return {{"tetrahedron", MakeTetrahedron(r), 4, 4, 3},  {"cube", MakeCube(r), 8, 6, 4},
          {"octahedron", MakeOctahedron(r), 6, 8, 3},    {"icosahedron", MakeIcosahedron(r), 12, 20, 3},
          {"dodecahedron", MakeDodecahedron(r), 20, 12, 5}};
}

// Regular, closed and wound outwards: every vertex on the sphere, every edge as long as the
// first, every face flat and facing out, every edge used once in each direction.
TEST(BuilderSolids, AreRegularClosedAndWoundOutwards) {
  for (const NamedSolid& s : AllSolids(2.5)) {
    SCOPED_TRACE(s.name);
    ASSERT_EQ(s.solid.vertices.size(), s.vertices);
    ASSERT_EQ(s.solid.faces.size(), s.faces);
    for (const auto& v : s.solid.vertices) EXPECT_NEAR(Length(v), 2.5, 1e-12);
    const auto& v = s.solid.vertices;
    const double edge = Length(Sub(v[s.solid.faces[0][1]], v[s.solid.faces[0][0]]));
    std::map<std::pair<int, int>, int> directed;
    for (const std::vector<int>& face : s.solid.faces) {
      ASSERT_EQ(face.size(), s.corners);
      const Vec3 normal = Cross(Sub(v[face[1]], v[face[0]]), Sub(v[face.back()], v[face[0]]));
      EXPECT_GT(Dot(Unit(normal), Unit(Centre(s.solid, face))), 0.999);
      for (std::size_t i = 0; i < face.size(); ++i) {
        const int a = face[i];
        const int b = face[(i + 1) % face.size()];
        EXPECT_NEAR(Length(Sub(v[b], v[a])), edge, 1e-12);
        EXPECT_NEAR(Dot(Sub(v[a], v[face[0]]), Unit(normal)), 0, 1e-12);
        ++directed[{a, b}];
      }
    }
    for (const auto& [e, n] : directed) {
      EXPECT_EQ(n, 1);
      EXPECT_EQ(directed.count({e.second, e.first}), 1u) << e.first << "-" << e.second;
    }
  }
}

TEST(BuilderSolids, NumberingIsTheDocumentedOne) {
  const CSolid tetra = MakeTetrahedron(3);
  EXPECT_TRUE(Near(tetra.vertices[0], {0, 0, 3}));
  EXPECT_NEAR(tetra.vertices[1][2], -1, 1e-12);
  EXPECT_NEAR(Longitude(tetra.vertices[1]), 90, 1e-9);
  EXPECT_NEAR(Longitude(tetra.vertices[3]), 330, 1e-9);

  // The cube's faces point where the cube puzzle's faces 0..5 do.
  const CSolid cube = MakeCube(std::sqrt(3.0));
  const Vec3 outward[6] = {{0, 0, 1}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, 0, -1}};
  for (int f = 0; f < 6; ++f) EXPECT_TRUE(Near(Centre(cube, cube.faces[f]), outward[f])) << f;
  EXPECT_TRUE(Near(cube.vertices[0], {-1, -1, 1}));

  const CSolid octa = MakeOctahedron(1);
  EXPECT_TRUE(Near(octa.vertices[1], {1, 0, 0}));
  EXPECT_TRUE(Near(octa.vertices[4], {0, -1, 0}));

  const CSolid ico = MakeIcosahedron(1);
  const double ring = std::atan(0.5) * kPiDegrees;
  const int lower[5] = {324, 252, 180, 108, 36};
  for (int k = 1; k <= 5; ++k) {
    EXPECT_NEAR(std::asin(ico.vertices[k][2]) * kPiDegrees, ring, 1e-9);
    EXPECT_NEAR(Longitude(ico.vertices[k]), (72 * k) % 360, 1e-9);
    EXPECT_NEAR(Longitude(ico.vertices[6 + k]), lower[k - 1], 1e-9);
  }
  const int opposite[6][2] = {{0, 6}, {1, 8}, {2, 7}, {3, 11}, {4, 10}, {5, 9}};
  for (const auto& pair : opposite) EXPECT_TRUE(Near(ico.vertices[pair[0]], Sub({0, 0, 0}, ico.vertices[pair[1]])));
  for (int k = 0; k < 5; ++k) {
    const double lon[4] = {108.0 + 72 * k, 108.0 + 72 * k, 72.0 + 72 * k, 72.0 + 72 * k};
    for (int ring4 = 0; ring4 < 4; ++ring4)
      EXPECT_NEAR(Longitude(Centre(ico, ico.faces[5 * ring4 + k])), std::fmod(lon[ring4], 360), 1e-9) << ring4 << k;
  }
}

// The neighbour table runs counter-clockwise from outside, and the dodecahedron sits on the
// icosahedron so that its vertex k is above face k and its face m above vertex m.
TEST(BuilderSolids, IcosahedronAndDodecahedronNumberingsAgree) {
  const CSolid ico = MakeIcosahedron(1);
  const CSolid dodeca = MakeDodecahedron(2);
  auto faceOf = [&](int a, int b, int c) {
    for (int f = 0; f < 20; ++f) {
      const auto& t = kIcosahedronFaces[f];
      for (int i = 0; i < 3; ++i)
        if (t[i] == a && t[(i + 1) % 3] == b && t[(i + 2) % 3] == c) return f;
    }
    return -1;
  };
  for (int m = 0; m < 12; ++m) {
    const auto& nb = kIcosahedronNeighbours[m];
    for (int j = 0; j < 5; ++j) {
      EXPECT_NE(faceOf(m, nb[j], nb[(j + 1) % 5]), -1) << m << " " << j;
      EXPECT_EQ(kDodecahedronFaces[m][j], faceOf(m, nb[(j + 4) % 5], nb[j])) << m << " " << j;
    }
    EXPECT_TRUE(Near(Unit(Centre(dodeca, dodeca.faces[m])), ico.vertices[m])) << m;
  }
  for (int k = 0; k < 20; ++k) EXPECT_TRUE(Near(Unit(dodeca.vertices[k]), Unit(Centre(ico, ico.faces[k])))) << k;
}

TEST(BuilderVertices, AddedOnceWithinTheTolerance) {
  CPolyModel model;
  const int a = AddVertexOnce(model, FixPoint(1, -2, 3));
  EXPECT_EQ(a, 0);
  EXPECT_EQ(AddVertexOnce(model, CFixVector::FromRaw(kFixOne + 64, -2 * kFixOne - 64, 3 * kFixOne)), a);
  EXPECT_EQ(AddVertexOnce(model, CFixVector::FromRaw(kFixOne + 65, -2 * kFixOne, 3 * kFixOne)), 1);
  EXPECT_EQ(AddVertexOnce(model, CFixVector::FromRaw(kFixOne + 65, -2 * kFixOne, 3 * kFixOne), 0), 1);
  // Negative values round as positive ones do.
  EXPECT_EQ(FixPoint(-3, -1.5, 0.25), CFixVector::FromRaw(-3 * kFixOne, -3 * kFixHalf, kFixOne / 4));
  // A solid placed twice shares every vertex.
  const auto first = AddSolidVertices(model, MakeIcosahedron(1));
  EXPECT_EQ(model.GetVertexCount(), 14);
  EXPECT_EQ(AddSolidVertices(model, MakeIcosahedron(1)), first);
  EXPECT_EQ(first[0], (std::vector<int>{2, 3, 4}));
}

// Fan area, for flat convex polygons.
double Area(const std::vector<Vec3>& p) {
  Vec3 sum{0, 0, 0};
  for (std::size_t i = 1; i + 1 < p.size(); ++i) {
    const Vec3 c = Cross(Sub(p[i], p[0]), Sub(p[i + 1], p[0]));
    for (int k = 0; k < 3; ++k) sum[k] += c[k] / 2;
  }
  return Length(sum);
}

// A solid in a model, whose faces are cut into facelets.
struct Cut {
  CPuzzle model{0};
  std::vector<std::vector<int>> faces;
  explicit Cut(const CSolid& solid) : faces(AddSolidVertices(model, solid)) {}
  Vec3 Vertex(int i) const { return VertexOf(model, i); }
  const CFacelet& Facelet(int id) const { return *model.GetFaceletById(id); }
  Vec3 Corner(int id, int i) const { return Vertex(Facelet(id).GetVertexIndex(i)); }
  Vec3 Centroid(int id) const { return CentroidOf(model, Facelet(id)); }
  std::vector<Vec3> Points(const int* indices, int count) const {
    std::vector<Vec3> points;
    for (int i = 0; i < count; ++i) points.push_back(Vertex(indices[i]));
    return points;
  }
};

// Every facelet of a cut face lies flat in it, faces the same way, and the facelets cover it.
void ExpectCovers(const Cut& cut, const std::vector<int>& face, const std::vector<int>& ids) {
  const std::vector<Vec3> corners = cut.Points(face.data(), static_cast<int>(face.size()));
  const Vec3 n = Unit(Cross(Sub(corners[1], corners[0]), Sub(corners.back(), corners[0])));
  double area = 0;
  for (int id : ids) {
    const CFacelet& f = cut.Facelet(id);
    EXPECT_GT(Dot(Unit(NormalOf(cut.model, f)), n), 0.9999) << id;
    EXPECT_NEAR(Dot(Sub(cut.Centroid(id), corners[0]), n), 0, 1e-4) << id;
    area += Area(cut.Points(f.GetVertexIndices(), f.GetVertexCount()));
  }
  EXPECT_NEAR(area, Area(corners), 1e-3 * area);
}

TEST(BuilderFacelets, TriangleGridRowsFromTheFirstCorner) {
  Cut cut(MakeIcosahedron(3));
  const int n = 3;
  for (const auto& face : cut.faces) {
    const std::vector<int> ids = AddTriangleGrid(cut.model, face, n);
    ASSERT_EQ(ids.size(), 9u);
    ExpectCovers(cut, face, ids);
  }
  EXPECT_EQ(cut.model.GetVertexCount(), 10 * n * n + 2);  // shared edge points added once

  const std::vector<int>& face = cut.faces[7];
  const Vec3 a = cut.Vertex(face[0]), b = cut.Vertex(face[1]), c = cut.Vertex(face[2]);
  const int first = 7 * 9;
  EXPECT_EQ(cut.Corner(first, 0), a);
  EXPECT_EQ(cut.Corner(first + (n - 1) * (n - 1), 1), b);
  EXPECT_EQ(cut.Corner(first + n * n - 1, 2), c);
  // Row r lies between levels r and r + 1 from a (measured along the median, level n being
  // edge b-c), and its triangles alternate upright (first corner on level r) and inverted
  // (first corner on level r + 1) from the a-b side.
  const Vec3 toBc = Sub(Vec3{(b[0] + c[0]) / 2, (b[1] + c[1]) / 2, (b[2] + c[2]) / 2}, a);
  auto level = [&](const Vec3& p) { return n * Dot(Sub(p, a), toBc) / Dot(toBc, toBc); };
  for (int r = 0; r < n; ++r)
    for (int k = 0; k <= 2 * r; ++k) {
      const int id = first + r * r + k;
      EXPECT_NEAR(level(cut.Corner(id, 0)), k % 2 ? r + 1 : r, 1e-4) << r << " " << k;
      EXPECT_GT(level(cut.Centroid(id)), r);
      EXPECT_LT(level(cut.Centroid(id)), r + 1);
      if (k > 0) {
        EXPECT_GT(Dot(Sub(cut.Centroid(id), cut.Centroid(id - 1)), Sub(c, b)), 0) << r << " " << k;
      }
    }
}

TEST(BuilderFacelets, SquareGridRowsFromTheFirstEdge) {
  Cut cut(MakeCube(3 * std::sqrt(3.0)));
  for (const auto& face : cut.faces) ExpectCovers(cut, face, AddSquareGrid(cut.model, face, 3));
  // The cube of three: 56 vertices, like the 3x3x3 puzzle, each at whole units.
  EXPECT_EQ(cut.model.GetVertexCount(), 56);
  for (int i = 0; i < 56; ++i)
    for (double x : cut.Vertex(i)) EXPECT_EQ(x, std::round(x));
  // Face 1 (y = -3) runs (0, 4, 5, 1): a = (-3, -3, 3), b = (-3, -3, -3), d = (3, -3, 3).
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(cut.Centroid(9 + 3 * j + i), (Vec3{-2.0 + 2 * j, -3, 2.0 - 2 * i}));
  EXPECT_EQ(cut.Corner(9, 0), (Vec3{-3, -3, 3}));
  EXPECT_EQ(cut.Corner(9 + 2, 1), (Vec3{-3, -3, -3}));
}

TEST(BuilderFacelets, PentagonCornersEdgesAndCentre) {
  Cut cut(MakeDodecahedron(2));
  for (const auto& face : cut.faces) {
    const std::vector<int> ids = AddPentagonFacelets(cut.model, face);
    ASSERT_EQ(ids.size(), 11u);
    ExpectCovers(cut, face, ids);
  }
  EXPECT_EQ(cut.model.GetVertexCount(), 20 + 30 + 60);
  const std::vector<int>& face = cut.faces[3];
  const int first = 3 * 11;
  for (int j = 0; j < 5; ++j) {
    const Vec3 cj = cut.Vertex(face[j]);
    const Vec3 next = cut.Vertex(face[(j + 1) % 5]);
    const Vec3 mid{(cj[0] + next[0]) / 2, (cj[1] + next[1]) / 2, (cj[2] + next[2]) / 2};
    EXPECT_EQ(cut.Corner(first + j, 0), cj);
    EXPECT_TRUE(Near(cut.Corner(first + j, 1), mid, 1e-4));
    EXPECT_TRUE(Near(cut.Corner(first + 5 + j, 0), mid, 1e-4));
    EXPECT_EQ(cut.Corner(first + 10, j), cut.Corner(first + j, 2));
    // The default inner points make the corners parallelograms.
    EXPECT_TRUE(Near(Sub(cut.Corner(first + j, 1), cj), Sub(cut.Corner(first + j, 2), cut.Corner(first + j, 3)), 1e-4));
  }
  // Wrong corner counts add nothing.
  const int before = cut.model.GetFaceletCount();
  EXPECT_TRUE(AddPentagonFacelets(cut.model, std::vector<int>{1, 2, 3}).empty());
  EXPECT_TRUE(AddSquareGrid(cut.model, face, 2).empty());
  EXPECT_TRUE(AddTriangleGrid(cut.model, std::vector<int>{0, 1, 999}, 2).empty());
  EXPECT_EQ(cut.model.GetFaceletCount(), before);
}

// A 3x3x3 block on the builder: the cube solid cut by square grids, 54 facelets, whose turn
// k spins about row k - 1 of its table by a quarter turn.
class CBlock : public CPuzzle {
 public:
  explicit CBlock(std::vector<CTiltedAxis> axes) : CPuzzle(54), m_axes(std::move(axes)) {
    for (const auto& face : AddSolidVertices(*this, MakeCube(3 * std::sqrt(3.0)))) AddSquareGrid(*this, face, 3);
  }
  int GetMoveFrames(int) override { return 6; }
  void GetMoveRotation(CFixMatrix& m, int move, int angle) override {
    const int k = std::abs(move) - 1;
    if (k < static_cast<int>(m_axes.size())) RotateAboutTiltedAxis(m, m_axes[k], move < 0 ? -angle : angle);
  }

 private:
  std::vector<CTiltedAxis> m_axes;
};

const CTiltedAxis kAboutZ{kAxisX, 0, kAxisY, 0, kAxisZ, 1};
const CTiltedAxis kAboutX{kAxisX, 0, kAxisY, 0, kAxisX, 1};

std::vector<int> Moved(const std::vector<int>& permutation) {
  std::vector<int> moved;
  for (int i = 0; i < static_cast<int>(permutation.size()); ++i)
    if (permutation[i] != i) moved.push_back(i);
  return moved;
}

TEST(BuilderTurns, AQuarterTurnOfTheTopLayer) {
  CBlock block({kAboutZ, kAboutZ});
  const CFixVector up(0, 0, 1);
  ASSERT_EQ(AddRotationTurn(block, 1, CTurnPart::InFrontOf(CFixVector(0, 0, 1), up)), 1);
  const CMove* turn = block.GetMove(0);
  const std::vector<int> perm(turn->GetPermutation(), turn->GetPermutation() + turn->GetLength());
  // The top face's 9 and the top rows of the four sides: 20 move, the centre 4 stays.
  EXPECT_EQ(Moved(perm).size(), 20u);
  EXPECT_EQ(perm[4], 4);
  // Each facelet's colour goes where its centroid turns to: +90 about Z takes x to y.
  for (int id : Moved(perm)) {
    const Vec3 from = CentroidOf(block, *block.GetFaceletById(id));
    const Vec3 to = CentroidOf(block, *block.GetFaceletById(perm[id]));
    EXPECT_EQ(to, (Vec3{-from[1], from[0], from[2]})) << id;
  }
  // The mask bit marks the layer, the centre that turns in place included, and nothing else.
  for (int id = 0; id < 54; ++id)
    EXPECT_EQ(block.GetMoveMask(id) & 1u, CentroidOf(block, *block.GetFaceletById(id))[2] > 1 ? 1u : 0u) << id;

  // Turn 2 must be the next one; a turn number out of step adds nothing.
  EXPECT_EQ(AddRotationTurn(block, 3, CTurnPart::Whole()), 0);
  EXPECT_EQ(block.GetMoveCount(), 1);
}

TEST(BuilderTurns, PartsByPlanesSlabsAndLists) {
  CBlock block({kAboutX});
  // Layer x < -1 three ways: a point and normal, the engine's plane, the list of its ids.
  const CRotationTurn byNormal = TurnFromRotation(block, 1, CTurnPart::InFrontOf(CFixVector(-1, 0, 0), CFixVector(-2, 0, 0)));
  const CFixPlane plane(CFixVector(-1, 0, 0), CFixVector(-1, 0, 1), CFixVector(-1, 1, 0));
  const CRotationTurn byPlane = TurnFromRotation(block, 1, CTurnPart::InFrontOf(plane));
  ASSERT_TRUE(byNormal.valid);
  ASSERT_TRUE(byPlane.valid);
  EXPECT_EQ(byPlane.permutation, byNormal.permutation);
  EXPECT_EQ(byNormal.inPlace, std::vector<int>{4 * 9 + 4});  // the centre of face 4 (x = -3)
  std::vector<int> layer = Moved(byNormal.permutation);
  layer.push_back(40);
  const CRotationTurn byIds = TurnFromRotation(block, 1, CTurnPart::Facelets(layer));
  EXPECT_EQ(byIds.permutation, byNormal.permutation);
  // The middle slab: in front of one cut and behind the other. Nothing stays in place.
  CTurnPart middle = CTurnPart::InFrontOf(CFixVector(-1, 0, 0), CFixVector(1, 0, 0));
  middle.AndInFrontOf(CFixVector(1, 0, 0), CFixVector(-1, 0, 0));
  const CRotationTurn slab = TurnFromRotation(block, 1, middle);
  ASSERT_TRUE(slab.valid);
  EXPECT_EQ(Moved(slab.permutation).size(), 12u);
  EXPECT_TRUE(slab.inPlace.empty());
  // The whole block turns every facelet but the two centres on the axis.
  const CRotationTurn whole = TurnFromRotation(block, 1, CTurnPart::Whole());
  EXPECT_EQ(Moved(whole.permutation).size(), 52u);
  EXPECT_EQ(whole.inPlace, (std::vector<int>{22, 40}));
}

TEST(BuilderTurns, RefusedWhenACentroidLandsOnNoneOrTwoOnOne) {
  CBlock block({kAboutZ});
  const CTurnPart top = CTurnPart::InFrontOf(CFixVector(0, 0, 1), CFixVector(0, 0, 1));
  CFixMatrix eighth;
  eighth.RotateZ(45);
  const CRotationTurn none = TurnFromMatrix(block, eighth, top);
  EXPECT_FALSE(none.valid);
  EXPECT_TRUE(none.permutation.empty());
  EXPECT_NE(none.error.find("facelet " + std::to_string(none.failedFacelet) + " lands on no facelet"), std::string::npos)
      << none.error;
  EXPECT_GT(CentroidOf(block, *block.GetFaceletById(none.failedFacelet))[2], 1);
  // A part that holds one facelet of the layer carries it onto a facelet that stays.
  const CRotationTurn two = TurnFromRotation(block, 1, CTurnPart::Facelets({0}));
  EXPECT_FALSE(two.valid);
  EXPECT_NE(two.error.find("both land on facelet"), std::string::npos) << two.error;
  EXPECT_EQ(AddRotationTurn(block, 1, CTurnPart::Facelets({0})), 0);
  EXPECT_EQ(block.GetMoveCount(), 0);
  // The tolerance: a turn a degree short still finds its places, unless asked for precision.
  CFixMatrix short89;
  short89.RotateZ(89);
  EXPECT_TRUE(TurnFromMatrix(block, short89, top).valid);
  EXPECT_FALSE(TurnFromMatrix(block, short89, top, 0.01).valid);
}

// The tilted spin keeps its own axis still and turns about it by the angle, as the double
// rotation about that axis does (RotateX is left-handed, the others right-handed).
TEST(BuilderRotations, TiltedAxisSpinsAboutTheTiltedAxis) {
  const CTiltedAxis rows[] = {{kAxisX, 62, kAxisY, 16, kAxisZ, 1}, {kAxisZ, 45, kAxisY, 35, kAxisX, -1},
                              {kAxisZ, 30, kAxisX, 50, kAxisY, 1}, {kAxisY, 15, kAxisY, 0, kAxisX, 1}};
  for (const CTiltedAxis& row : rows) {
    CFixMatrix tilt;
    RotateAbout(tilt, row.inner, row.innerAngle);
    RotateAbout(tilt, row.outer, row.outerAngle);
    const CFixVector spin(row.spin == kAxisX ? 1 : 0, row.spin == kAxisY ? 1 : 0, row.spin == kAxisZ ? 1 : 0);
    const CFixVector axis = tilt.Transform(spin);
    CFixMatrix m;
    RotateAboutTiltedAxis(m, row, 72);
    EXPECT_TRUE(Near(ToVec(m.Transform(axis)), ToVec(axis), 1e-3));
    const double handed = row.spin == kAxisX ? -1 : 1;
    const CAxisRotation reference(axis, handed * row.direction * 72 / kPiDegrees);
    for (const CFixVector& p : {CFixVector(1, 0, 0), CFixVector(0, 2, 0), CFixVector(0, 0, 3)})
      EXPECT_TRUE(Near(ToVec(m.Transform(p)), ToVec(reference.Apply(p)), 1e-3)) << row.outer << row.spin;
  }
  // Without tilts it is the plain spin.
  CFixMatrix plain;
  plain.RotateY(-40);
  CFixMatrix row;
  RotateAboutTiltedAxis(row, {kAxisX, 0, kAxisZ, 0, kAxisY, -1}, 40);
  EXPECT_EQ(row, plain);
}

TEST(BuilderCycles, TablesAndDrags) {
  const int flat[] = {0, 1, 2, 3, 4, 10, 11, 12, 13, 14, /* turn 2 */ 5, 6, 7, 8, 9, 0, 5, 10, 15, 20, 99};
  const CTurnCycleTable table = MakeCycleTable(flat, 2, 5);
  ASSERT_EQ(table.size(), 4u);  // the lone 99 is no whole turn
  EXPECT_EQ(table[2].turn, 2);
  EXPECT_EQ(table[3].facelets, (std::vector<int>{0, 5, 10, 15, 20}));
  // The colour of each goes to the next.
  const std::vector<int> perm = PermutationFromCycles(table, 1, 21);
  EXPECT_EQ(perm[0], 1);
  EXPECT_EQ(perm[4], 0);
  EXPECT_EQ(perm[14], 10);
  EXPECT_EQ(Moved(perm).size(), 10u);

  EXPECT_EQ(TurnFromCycleDrag(table, 1, 2), 1);
  EXPECT_EQ(TurnFromCycleDrag(table, 2, 1), -1);
  EXPECT_EQ(TurnFromCycleDrag(table, 4, 0), 1);   // round the end: one step on
  EXPECT_EQ(TurnFromCycleDrag(table, 0, 4), -1);  // and one step back
  EXPECT_EQ(TurnFromCycleDrag(table, 1, 3), 1);   // longer steps by table order
  EXPECT_EQ(TurnFromCycleDrag(table, 3, 1), -1);
  EXPECT_EQ(TurnFromCycleDrag(table, 0, 5), 2);   // 0 and 5 share only a cycle of turn 2
  EXPECT_EQ(TurnFromCycleDrag(table, 5, 6), 2);
  EXPECT_EQ(TurnFromCycleDrag(table, 2, 2), 0);
  EXPECT_EQ(TurnFromCycleDrag(table, 2, 12), 0);
  EXPECT_EQ(TurnFromCycleDrag(table, 2, 99), 0);
  const CTurnCycleTable pair = {{-3, {7, 8}}};
  EXPECT_EQ(TurnFromCycleDrag(pair, 7, 8), -3);
  EXPECT_EQ(TurnFromCycleDrag(pair, 8, 7), -3);

  // Strips are open: end to end is the turn, back is the inverse.
  const CTurnCycleTable strips = {{4, {7, 0, 9}}, {5, {9, 0, 7}}};
  EXPECT_EQ(TurnFromStripDrag(strips, 7, 9), 4);
  EXPECT_EQ(TurnFromStripDrag(strips, 9, 7), -4);
  EXPECT_EQ(TurnFromStripDrag(strips, 0, 7), -4);
  EXPECT_EQ(TurnFromStripDrag(strips, 7, 7), 0);
  EXPECT_EQ(TurnFromStripDrag(strips, 7, 8), 0);
}

TEST(BuilderColours, GroupsPaintedAndJudged) {
  CBlock block({kAboutZ});
  const CFaceletGroups faces = ConsecutiveGroups(6, 9);
  EXPECT_EQ(faces[2].front(), 18);
  EXPECT_EQ(faces[2].back(), 26);
  const int colours[6] = {1, 2, 3, 4, 5, 6};
  PaintGroups(block, faces, colours);
  EXPECT_EQ(block.GetFaceletColour(53), 6);
  EXPECT_TRUE(EachGroupUniform(block, faces));
  EXPECT_TRUE(GroupsShowColours(block, faces, colours));
  // Faces that trade colours are still uniform, but not in their own colours.
  const int traded[6] = {2, 1, 3, 4, 5, 6};
  PaintGroups(block, faces, traded);
  EXPECT_TRUE(EachGroupUniform(block, faces));
  EXPECT_FALSE(GroupsShowColours(block, faces, colours));
  block.SetFaceletColour(30, 5);
  EXPECT_FALSE(EachGroupUniform(block, faces));
  // Ids no facelet has do not count.
  EXPECT_TRUE(EachGroupUniform(block, {{0, 1, 2, 500}, {600}}));
}

}  // namespace
