#include "puzzle_test_util.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Each face of the cube is one colour; the three faces at the corner the starting view looks
// at, (1, 1, -1), show seven facelets, the three opposite five; and no facelet reaches across
// any of the four cuts (its corners lie on one side of each, or on it).
TEST(OffCenter, FacesOfSevenAndFiveFaceletsThatNoCutCrosses) {
  COffCenterPuzzle p;
  const Vec3 cuts[4][2] = {{{1, 0, 0}, {-0.5, 0, 0}},
                           {{0, 1, 0}, {0, -0.5, 0}},
                           {{0, 0, -1}, {0, 0, 0.5}},
                           {{1, 1, -1}, {0.5, 0, 0}}};  // normal, a point on the cut
  const Vec3 corner{1, 1, -1};
  std::map<int, int> perColour;
  std::map<int, Vec3> faceNormal;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const CFacelet& f = *p.GetFaceletById(id);
    const Vec3 n = NormalOf(p, f);
    const Vec3 unit{n[0] / Length(n), n[1] / Length(n), n[2] / Length(n)};
    ++perColour[f.GetColour()];
    if (faceNormal.count(f.GetColour())) {
      EXPECT_NEAR(Dot(faceNormal[f.GetColour()], unit), 1, 1e-9) << id;
    }
    faceNormal[f.GetColour()] = unit;
    for (const auto& cut : cuts) {
      bool front = false, behind = false;
      for (int i = 0; i < f.GetVertexCount(); ++i) {
        const double side = Dot(cut[0], Sub(VertexOf(p, f.GetVertexIndex(i)), cut[1]));
        front = front || side > 1e-4;
        behind = behind || side < -1e-4;
      }
      EXPECT_FALSE(front && behind) << "facelet " << id;
    }
  }
  ASSERT_EQ(perColour.size(), 6u);
  for (const auto& [colour, count] : perColour)
    EXPECT_EQ(count, Dot(faceNormal[colour], corner) > 0 ? 7 : 5) << "colour " << colour;
}

}  // namespace
