#include <lumex/utils.h>

#include <gtest/gtest.h>

#include <unistd.h>

TEST(LumexUtils, PathPiecesAndRectangles) {
  EXPECT_STREQ(GetPath("/home/ann/puzzles/cube.puz"), "/home/ann/puzzles/");
  EXPECT_STREQ(GetPath("cube.puz"), "");
  EXPECT_STREQ(GetPath("/"), "/");
  EXPECT_STREQ(GetPath(nullptr), "");
  EXPECT_STREQ(GetFileName("/home/ann/puzzles/cube.v2.puz"), "cube.v2");
  EXPECT_STREQ(GetFileName("/home/ann.d/README"), "README");
  EXPECT_STREQ(GetFileName("/home/ann/.hidden"), ".hidden");
  EXPECT_STREQ(GetFileName("/home/ann/"), "");

  CRect r = SetupRect(CPoint(2, 3), 10, 20);
  EXPECT_TRUE(r == CRect(2, 3, 12, 23));

  CUString folder = GetModulePath();
  ASSERT_GT(folder.GetLength(), 0);
  EXPECT_EQ(folder[folder.GetLength() - 1], '/');
  CUString self = folder;
  self += "lumex_tests";
  EXPECT_EQ(access(self, X_OK), 0) << static_cast<char const*>(self);
}
