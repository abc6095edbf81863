// What the puzzle tells the window it is shown in.
#include "test_puzzles.h"

#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class CCommandWnd : public CWnd {
 public:
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    commands.push_back(static_cast<int>(LOWORD(w)));
    lparams.push_back(l);
    return TRUE;
  }
  std::vector<int> commands;
  std::vector<LPARAM> lparams;
};

class PuzzleWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!CEventLoop::IsInitialised()) {
      ASSERT_TRUE(CEventLoop::Init());
    }
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Gyrix", WS_POPUP | WS_CAPTION, CRect(0, 0, 200, 150), nullptr, 0));
    CEventLoop::ProcessPending();
  }
  void TearDown() override { wnd.DestroyWindow(); }
  CCommandWnd wnd;
};

}  // namespace

TEST_F(PuzzleWindow, TitleNamesThePuzzleAndItsMode) {
  CGridPuzzle p;
  p.SetType(4);
  p.SetTitle(&wnd);
  char text[64];
  wnd.GetWindowText(text, sizeof text);
  EXPECT_STREQ(text, "Gyrix - Pyramid");
  p.ForceMode(1);
  p.SetTitle(&wnd);
  wnd.GetWindowText(text, sizeof text);
  EXPECT_STREQ(text, "Gyrix - Pyramid (Mode 1)");
}

TEST_F(PuzzleWindow, ASolvingTurnAfterAScrambleTellsTheWindowOnce) {
  CGridPuzzle p;
  p.DoMove(2, 1);
  p.SetSolvedFlags(0, 1);
  // Each turn animates on the window's timer; here it is ended at once.
  auto turn = [&](int move) {
    const BOOL started = p.StartMove(&wnd, move);
    p.CompleteAllMoves(&wnd);
    return started;
  };
  ASSERT_EQ(turn(1), 1);
  CEventLoop::ProcessPending();
  EXPECT_TRUE(wnd.commands.empty());
  turn(-1);
  turn(2);
  CEventLoop::ProcessPending();
  EXPECT_EQ(wnd.commands, (std::vector<int>{CPuzzle::kSolvedCommand}));
  EXPECT_EQ(wnd.lparams, (std::vector<LPARAM>{0}));
  turn(2);
  turn(2);
  CEventLoop::ProcessPending();
  EXPECT_EQ(wnd.commands.size(), 1u);
}
