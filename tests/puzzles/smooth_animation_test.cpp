// Every family animated smoothly: the angles its frames are drawn at rise to the whole turn on
// the clock, and the turn leaves the puzzle as the frame steps leave it.
#include "puzzle_test_util.h"

#include <gyrix/engine/canvas.h>
#include <gyrix/puzzles/catalogue.h>

#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

struct SmoothAnimation : ::testing::Test {
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ASSERT_TRUE(CEventLoop::Init());
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "puzzle", WS_POPUP, CRect(0, 0, 160, 120), nullptr, 0));
  }
  void TearDown() override {
    if (wnd.GetSafeHwnd()) wnd.DestroyWindow();
    CEventLoop::ProcessPending();
  }
  CWnd wnd;
  std::int64_t now = 5000;
};

// The first turn of the type's list that can be made from solved, or 0.
int FirstTurn(CPuzzle& p, CWnd* wnd) {
  for (int move = 1; move <= p.GetMoveCount(); ++move) {
    if (!p.StartMove(wnd, move)) continue;
    return move;
  }
  return 0;
}

}  // namespace

TEST_F(SmoothAnimation, EveryFamilyTurnsByTimeToTheFullAngleAndEndsAsItsFrameSteps) {
  int smoothTypes = 0;
  for (int type = 0; type < 37; ++type) {
    if (!IsPuzzleBuilt(type)) continue;
    std::unique_ptr<CPuzzle> smooth(CreatePuzzle(type));
    std::unique_ptr<CPuzzle> classic(CreatePuzzle(type));
    smooth->ResetView(160, 120);
    classic->ResetView(160, 120);
    CPuzzleCanvas canvas(*smooth, 160, 120);
    smooth->SetAnimationInterval(30);
    smooth->SetSmoothAnimation(true, true, 7, [this] { return now; });
    const int move = FirstTurn(*smooth, &wnd);
    if (move == 0) continue;  // a model without turns
    const int frames = smooth->GetMoveFrames(move);
    const int full = smooth->GetMoveStep(move) * frames;
    const bool anyAngle = smooth->CanDrawAnyAngle(move);
    std::vector<int> angles;
    for (int guard = 0; smooth->GetCurrentMove() != 0 && guard < 1000; ++guard) {
      now += 7;
      smooth->AnimateStep(&wnd, canvas.dc, &canvas.dib);
      angles.push_back(smooth->GetLastFrameAngle());
    }
    ASSERT_EQ(smooth->GetCurrentMove(), 0) << smooth->GetName();
    if (anyAngle && frames > 0) {
      ++smoothTypes;
      EXPECT_GT(static_cast<int>(angles.size()), frames) << smooth->GetName();
      EXPECT_EQ(angles.back(), full) << smooth->GetName();
      for (size_t i = 1; i < angles.size(); ++i)
        EXPECT_TRUE(full >= 0 ? angles[i - 1] <= angles[i] : angles[i - 1] >= angles[i]) << smooth->GetName() << " " << i;
    }
    // The same turn in frame steps leaves every facelet as the smooth one did.
    ASSERT_TRUE(classic->StartMove(&wnd, move)) << classic->GetName();
    for (int guard = 0; classic->GetCurrentMove() != 0 && guard < 1000; ++guard)
      classic->AnimateStep(&wnd, canvas.dc, &canvas.dib);
    EXPECT_EQ(classic->GetHistorySize(), smooth->GetHistorySize()) << smooth->GetName();
    for (int id = 0; id < smooth->GetMoveMaskLength(); ++id)
      ASSERT_EQ(smooth->GetFaceletColour(id), classic->GetFaceletColour(id)) << smooth->GetName() << " facelet " << id;
  }
  EXPECT_GE(smoothTypes, 15);
}

TEST(SmoothEasing, StartsAndEndsSlowlyAndKeepsItsEnds) {
  EXPECT_EQ(CPuzzle::EaseInOut(0), 0);
  EXPECT_EQ(CPuzzle::EaseInOut(1), 1);
  EXPECT_DOUBLE_EQ(CPuzzle::EaseInOut(0.5), 0.5);
  EXPECT_EQ(CPuzzle::EaseInOut(-1), 0);
  EXPECT_EQ(CPuzzle::EaseInOut(2), 1);
  EXPECT_LT(CPuzzle::EaseInOut(0.1), 0.1);
  EXPECT_GT(CPuzzle::EaseInOut(0.9), 0.9);
  for (double t = 0; t < 1; t += 0.05) EXPECT_LE(CPuzzle::EaseInOut(t), CPuzzle::EaseInOut(t + 0.05));
}

TEST_F(SmoothAnimation, APauseInTheFramesDoesNotJumpTheTurnToItsEnd) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(1));
  p->ResetView(160, 120);
  CPuzzleCanvas canvas(*p, 160, 120);
  p->SetAnimationInterval(30);
  p->SetSmoothAnimation(true, false, 16, [this] { return now; });
  ASSERT_TRUE(p->StartMove(&wnd, 1));
  now += 10000;  // a dialog held the window
  p->AnimateStep(&wnd, canvas.dc, &canvas.dib);
  EXPECT_NE(p->GetCurrentMove(), 0);
  EXPECT_LT(p->GetTurnProgress(), 1.0);
  p->CompleteAllMoves(&wnd);
}
