// Every built type of the catalogue, in every mode, against the checks every family must pass.
#include "conformance.h"

#include "puzzle_test_util.h"

#include <cordak/urand.h>
#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct CTypeMode {
  int id;
  int mode;
};

std::vector<int> BuiltTypes() {
  std::vector<int> ids;
  for (int id = 0; id < kPuzzleTypeCount; ++id)
    if (IsPuzzleBuilt(id)) ids.push_back(id);
  return ids;
}

std::vector<CTypeMode> BuiltTypesAndModes() {
  std::vector<CTypeMode> cases;
  for (int id : BuiltTypes()) {
    const CTypeExpectation* type = FindExpectation(id);
    if (!type) {
      cases.push_back({id, -1});  // fails: every type needs its row
      continue;
    }
    for (const CModeExpectation& mode : type->modes) cases.push_back({id, mode.mode});
  }
  return cases;
}

class Conformance : public ::testing::TestWithParam<CTypeMode> {
 protected:
  void SetUp() override {
    type = FindExpectation(GetParam().id);
    ASSERT_NE(type, nullptr) << "type " << GetParam().id << " has no expectation row";
    puzzle = MakePuzzle(GetParam().id);
    if (GetParam().mode != 0) {
      ASSERT_TRUE(puzzle->SetMode(GetParam().mode));
    }
  }

  const CTypeExpectation* type = nullptr;
  std::unique_ptr<CPuzzle> puzzle;
};

#define EXPECT_CLEAN(findings)                      \
  do {                                              \
    const CFindings found = (findings);             \
    EXPECT_TRUE(found.Empty()) << found.Text();     \
  } while (0)

TEST_P(Conformance, MatchesItsCatalogueRow) { EXPECT_CLEAN(CheckCatalogueRow(*puzzle, *type)); }
TEST_P(Conformance, IsAClosedSolidOfFlatConvexFacelets) { EXPECT_CLEAN(CheckShape(*puzzle, type->surface)); }
// Turns that change the geometry must leave a closed solid in every position.
TEST_P(Conformance, StaysAClosedSolidWhenScrambled) {
  Randomize(12);
  puzzle->Scramble();
  EXPECT_CLEAN(CheckShape(*puzzle, type->surface));
}
TEST_P(Conformance, EveryTurnIsWhatItsAnimationShows) { EXPECT_CLEAN(CheckTurnsAreRotations(*puzzle)); }
TEST_P(Conformance, TurnsUndoAndRepeatToTheStart) { EXPECT_CLEAN(CheckTurnsUndo(*puzzle)); }
TEST_P(Conformance, VerticesStayOnTheSolidsCorners) { EXPECT_CLEAN(CheckVerticesStayOnTheirPlaces(*puzzle)); }
TEST_P(Conformance, SolvedOnlyWhenSolved) { EXPECT_CLEAN(CheckSolvedTest(*puzzle, *type)); }
TEST_P(Conformance, DragsTurnEveryLayerBothWays) { EXPECT_CLEAN(CheckDrags(*puzzle, *type)); }
TEST_P(Conformance, SaveThenLoadGivesAnEqualPuzzle) { EXPECT_CLEAN(CheckSaveAndLoad(*puzzle)); }
TEST_P(Conformance, FilesOfOtherTypesAreRefused) { EXPECT_CLEAN(CheckForeignFilesRefused(*puzzle, BuiltTypes())); }

// Painting needs a window for the animation timer (on the headless desktop).
TEST_P(Conformance, EveryFrameShowsTheNearestFaces) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  ASSERT_TRUE(CEventLoop::Init());
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "conformance", WS_POPUP, CRect(0, 0, 200, 200), nullptr, 0));
  EXPECT_CLEAN(CheckAnimation(*puzzle, &wnd, type->surface));
  wnd.DestroyWindow();
  CEventLoop::ProcessPending();
}

INSTANTIATE_TEST_SUITE_P(BuiltTypes, Conformance, ::testing::ValuesIn(BuiltTypesAndModes()),
                         [](const ::testing::TestParamInfo<CTypeMode>& info) {
                           std::string name = "Type" + std::to_string(info.param.id);
                           if (info.param.mode > 0) name += "Mode" + std::to_string(info.param.mode);
                           return name;
                         });

// Every type of the catalogue has its row, with the turn count its modes need.
TEST(ConformanceRows, EveryTypeHasARow) {
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    const CTypeExpectation* type = FindExpectation(id);
    ASSERT_NE(type, nullptr) << id;
    const CPuzzleType* row = GetPuzzleType(id);
    EXPECT_EQ(static_cast<int>(type->modes.size()), std::max(1, row->modes)) << id;
    // A new puzzle starts in its first mode.
    if (IsPuzzleBuilt(id)) {
      EXPECT_EQ(MakePuzzle(id)->GetMode(), type->modes.front().mode) << id;
    }
  }
}

}  // namespace
