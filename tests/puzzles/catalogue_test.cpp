#include "puzzle_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

TEST(Catalogue, UnknownIdsMakeTheThreeByThreeCube) {
  for (int id : {-1, 37, 1000, -2147483647 - 1}) {
    std::unique_ptr<CPuzzle> p = MakePuzzle(id);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetTypeId(), 1) << id;
    EXPECT_STREQ(p->GetName(), "Cube(3x3x3)");
    EXPECT_EQ(StoredForm(*p), StoredForm(*MakePuzzle(1)));
  }
  EXPECT_EQ(GetPuzzleType(37), nullptr);
  EXPECT_EQ(GetPuzzleType(-1), nullptr);
  EXPECT_FALSE(IsPuzzleBuilt(-1));
  EXPECT_TRUE(GetTypePalette(37).empty());
}

// A type whose family is not built yet makes exactly what an unknown id makes.
TEST(Catalogue, TypesNotYetBuiltMakeTheThreeByThreeCube) {
  const std::vector<unsigned char> cube = StoredForm(*MakePuzzle(1));
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    std::unique_ptr<CPuzzle> p = MakePuzzle(id);
    if (IsPuzzleBuilt(id)) {
      EXPECT_EQ(p->GetTypeId(), id);
      continue;
    }
    EXPECT_EQ(StoredForm(*p), cube) << id;
  }
  for (int id = 0; id <= 3; ++id) EXPECT_TRUE(IsPuzzleBuilt(id));
}

TEST(Catalogue, RowsAreConsistent) {
  std::set<std::string> names;
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    const CPuzzleType* row = GetPuzzleType(id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->id, id);
    EXPECT_STREQ(row->name, CPuzzle::GetTypeName(id));
    names.insert(row->name);
    EXPECT_EQ(static_cast<int>(GetTypePalette(id).size()), row->paletteCount) << row->name;
    EXPECT_GT(row->modelSize, 0.0f);
  }
  EXPECT_EQ(names.size(), 37u);
  EXPECT_STREQ(GetPuzzleType(34)->name, "Diamond");
  EXPECT_STREQ(GetPuzzleType(34)->className, "COctahedronPuzzle");
  EXPECT_EQ(GetPuzzleType(34)->argument, 1);
  EXPECT_STREQ(GetPuzzleType(13)->turn, "no animation");
  EXPECT_EQ(GetPuzzleType(13)->modes, 4);
  // The polygons declare 13n + 2 facelets.
  for (int id = 30; id <= 33; ++id) EXPECT_EQ(GetPuzzleType(id)->facelets, 13 * GetPuzzleType(id)->argument + 2);
}

TEST(Catalogue, PolygonPalettesTakeTheLastColoursOfTheirList) {
  EXPECT_EQ(GetTypePalette(30), (std::vector<COLORREF>{0x808080, 0x00FF00, 0xFF0000, 0x0000FF, 0x0080FF, 0x00FFFF}));
  const std::vector<COLORREF> octagon = GetTypePalette(33);
  ASSERT_EQ(octagon.size(), 11u);
  EXPECT_EQ(octagon[0], 0x808080u);
  EXPECT_EQ(octagon[1], 0x000080u);
  EXPECT_EQ(octagon[10], 0x00FFFFu);
  EXPECT_EQ(GetTypePalette(31)[1], 0xFF00FFu);
  // Classes that share a palette share it exactly.
  EXPECT_EQ(GetTypePalette(4), GetTypePalette(36));
  EXPECT_EQ(GetTypePalette(7), GetTypePalette(12));
  EXPECT_EQ(GetTypePalette(13), (std::vector<COLORREF>{0x000000, 0x000080, 0x0000FF}));
}

TEST(Catalogue, ViewVariants) {
  std::unique_ptr<CPuzzle> p = MakePuzzle(0);
  p->ResetView(300, 300);
  ApplyCornerView(*p);
  EXPECT_EQ(p->GetViewAngleX(), 225 - 120);
  EXPECT_EQ(p->GetViewAngleY(), -45 + 130);
  EXPECT_EQ(p->GetViewAngleZ(), -90 - 40);
  CFixMatrix expect = CFixMatrix();
  expect.RotateX(225);
  expect.RotateY(-45);
  expect.RotateZ(-90);
  expect.Scale(300.0f / 5.0f);
  expect.RotateX(-120);
  expect.RotateY(130);
  expect.RotateZ(-40);
  EXPECT_EQ(p->GetViewMatrix(), expect);

  p->ResetView(300, 300);
  ApplyTetraStarView(*p);
  EXPECT_EQ(p->GetViewAngleX(), 300);
  EXPECT_EQ(p->GetViewAngleY(), -27);
  EXPECT_EQ(p->GetViewAngleZ(), -125);
}

}  // namespace
