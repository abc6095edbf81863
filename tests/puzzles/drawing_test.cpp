// The cubes as they are painted: the probes of the move notation find the faces the player
// sees. (Every frame of every turn of every type is checked by the conformance checks.)
#include "puzzle_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// In the default view model +X points up the screen: the probes meet face 2 at the top,
// face 3 on the left and face 5 on the right.
TEST(CubeDrawing, ProbesOfTheDefaultView) {
  for (int n = 2; n <= 5; ++n) {
    CCubePuzzle cube(n);
    cube.ResetView(400, 300);
    int left = -1, top = -1, right = -1;
    ASSERT_TRUE(cube.FindOrientation(left, top, right)) << n;
    EXPECT_EQ(left, 3);
    EXPECT_EQ(top, 2);
    EXPECT_EQ(right, 5);
  }
}

TEST(CubeDrawing, NotationFollowsTheViewTheCubeIsSeenIn) {
  CCubePuzzle cube(3);
  cube.ResetView(400, 300);
  cube.ExecuteMacro("R");
  ASSERT_TRUE(cube.IsPlaying());
  EXPECT_EQ(cube.GetHistoryMove(0), -3);
  // Turned in the screen's plane, the three faces seen change places.
  CCubePuzzle turned(3);
  turned.ResetView(400, 300);
  turned.RotateViewZ(90);
  int left = -1, top = -1, right = -1;
  ASSERT_TRUE(turned.FindOrientation(left, top, right));
  EXPECT_EQ(left, 5);
  EXPECT_EQ(top, 3);
  EXPECT_EQ(right, 2);
  turned.ExecuteMacro("R");
  int map[CCubePuzzle::kLetterCount];
  ASSERT_TRUE(turned.FillLetterMap(left, top, right, map));
  EXPECT_EQ(turned.GetHistoryMove(0), map[4]);
  EXPECT_NE(map[4], -3);
}

TEST(CubeDrawing, ProbesThatSeeNoCornerGiveTheMessage) {
  CRecordedMessages messages;
  CCubePuzzle cube(3);
  cube.ResetView(400, 300);
  // Turned to show one face square on: every probe meets that face, and no corner is seen.
  cube.RotateViewY(45);
  cube.UpdateView();
  EXPECT_FALSE(cube.ExecuteMacro("R"));
  EXPECT_EQ(std::string(cube.GetMacroProblem()), CCubePuzzle::kAmbiguousMessage);
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_FALSE(cube.IsPlaying());
  EXPECT_EQ(cube.GetHistorySize(), 0);
}

// A file of another size relabelled with this cube's type id holds records this cube's code
// does not fit: it is refused and the cube stays as it was.
TEST(CubeDrawing, ACubeFileRelabelledAsAnotherSizeIsRefused) {
  for (int stored : {2, 3, 5}) {
    for (int into : {2, 4, 5}) {
      if (stored == into) continue;
      CCubePuzzle source(stored);
      CUBuffer file;
      source.Write(file);
      const int type = into - 2;
      std::memcpy(file.GetData() + 4, &type, 4);
      file.Seek(0, 0);
      CCubePuzzle cube(into);
      const std::vector<unsigned char> before = StoredForm(cube);
      EXPECT_EQ(cube.LoadFromBuffer(file), 0) << stored << " as " << into;
      EXPECT_EQ(StoredForm(cube), before);
    }
  }
}

}  // namespace
