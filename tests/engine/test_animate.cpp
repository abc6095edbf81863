#include "test_view_puzzles.h"

#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A window that writes down the commands posted to it.
class CCommandWnd : public CWnd {
 public:
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    commands.push_back(static_cast<int>(LOWORD(w)));
    lParams.push_back(l);
    return TRUE;
  }
  std::vector<int> commands;
  std::vector<LPARAM> lParams;
};

struct Animation : ::testing::Test {
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_TRUE(CEventLoop::Init());
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "puzzle", WS_POPUP | WS_VISIBLE, CRect(0, 0, 160, 120), nullptr, 0));
    p.ResetView(160, 120);
  }
  void TearDown() override {
    if (wnd.GetSafeHwnd()) wnd.DestroyWindow();
    CEventLoop::ProcessPending();
  }
  // Runs the frames of the current turn as the window's paints would.
  int RunFrames(int limit = 100) {
    int frames = 0;
    while (p.GetCurrentMove() != 0 && frames < limit) {
      p.AnimateStep(&wnd, canvas.dc, &canvas.dib);
      ++frames;
    }
    return frames;
  }
  int Pixels(COLORREF colour) {
    int n = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x) n += canvas.At(x, y) == colour;
    return n;
  }

  CCommandWnd wnd;
  CTowerPuzzle p;
  CCanvas canvas{p, 160, 120};
};

}  // namespace

TEST_F(Animation, ATurnPaintsItsFramesOnTheTimerAndIsMadeAfterTheLast) {
  p.SetAnimationInterval(30);
  ASSERT_EQ(p.StartMove(&wnd, 1), 1);
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), 30);
  EXPECT_EQ(p.IsBusy(), 1);
  // A second turn is refused while this one runs, and is not queued.
  EXPECT_EQ(p.StartMove(&wnd, 2), 0);

  for (int frame = 1; frame <= 5; ++frame) {
    p.AnimateStep(&wnd, canvas.dc, &canvas.dib);
    EXPECT_EQ(p.GetFaceletColour(2), 3) << "made too early, frame " << frame;
  }
  p.AnimateStep(&wnd, canvas.dc, &canvas.dib);
  EXPECT_EQ(p.angles, (std::vector<int>{15, 30, 45, 60, 75, 90}));
  EXPECT_EQ(p.GetCurrentMove(), 0);
  EXPECT_EQ(p.GetFaceletColour(2), 2);  // side 1's colour moved on to side 2
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), -1);
  EXPECT_EQ(p.StartMove(&wnd, 2), 1);
}

TEST_F(Animation, TurnNumbersOutOfRangeAreRefusedAndEndPlayback) {
  const int queue[2] = {1, 1};
  for (int bad : {0, 4, -4}) {
    p.QueueMoves(queue, 2);
    EXPECT_EQ(p.StartMove(&wnd, bad), 0);
    EXPECT_EQ(p.IsPlaying(), 0);
    EXPECT_EQ(p.GetCurrentMove(), 0);
  }
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), -1);
}

TEST_F(Animation, SolvingAScrambledPuzzlePostsTheCommandOnce) {
  p.DoMove(-1, 0);
  p.SetSolvedFlags(0, 1);
  ASSERT_EQ(p.StartMove(&wnd, 1), 1);
  EXPECT_EQ(RunFrames(), 6);
  EXPECT_EQ(p.IsSolved(), 1);
  EXPECT_EQ(p.IsScramblePending(), 0);
  CEventLoop::ProcessPending();
  EXPECT_EQ(wnd.commands, (std::vector<int>{CPuzzle::kSolvedCommand}));
  EXPECT_EQ(wnd.lParams, (std::vector<LPARAM>{0}));

  // Turning away and back again earns nothing more; nor does a turn of a puzzle already solved.
  p.StartMove(&wnd, 1);
  RunFrames();
  p.StartMove(&wnd, -1);
  RunFrames();
  p.SetSolvedFlags(1, 1);
  p.StartMove(&wnd, 3);
  RunFrames();
  CEventLoop::ProcessPending();
  EXPECT_EQ(wnd.commands.size(), 1u);
}

TEST_F(Animation, QueuedTurnsFollowEachOtherFromTheLastFrame) {
  const int macro[3] = {1, -2, 3};
  p.QueueMoves(macro, 3);
  // Nothing runs yet: the first step shows the puzzle at rest and starts the queue.
  p.AnimateStep(&wnd, canvas.dc, &canvas.dib);
  EXPECT_EQ(p.GetCurrentMove(), 1);
  EXPECT_GT(Pixels(CTowerPuzzle::kColours[1 + 1]) + Pixels(CTowerPuzzle::kColours[3 + 1]), 0);
  RunFrames(6);
  EXPECT_EQ(p.GetCurrentMove(), -2);
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), CPuzzle::kDefaultInterval);
  RunFrames(6);
  EXPECT_EQ(p.GetCurrentMove(), 3);
  RunFrames(6);
  EXPECT_EQ(p.IsBusy(), 0);
  EXPECT_EQ(p.GetHistoryPosition(), 3);
  EXPECT_EQ(p.angles.size(), 18u);
}

TEST_F(Animation, WithoutAWindowATurnIsMadeAtOnce) {
  ASSERT_EQ(p.StartMove(nullptr, 1), 1);
  EXPECT_EQ(p.GetCurrentMove(), 0);
  EXPECT_EQ(p.GetFaceletColour(2), 2);
  CWnd never;  // not created: no timer can run on it
  ASSERT_EQ(p.StartMove(&never, -1), 1);
  EXPECT_EQ(p.GetCurrentMove(), 0);
  EXPECT_EQ(p.GetFaceletColour(2), 3);
  EXPECT_TRUE(p.angles.empty());
}

TEST_F(Animation, TheCutFaceShowsWhileALayerTurnsAndNotForAWholeTurn) {
  const COLORREF inside = CTowerPuzzle::kColours[0];
  canvas.NoOutline();
  p.Draw(canvas.dc, &canvas.dib);
  EXPECT_EQ(Pixels(inside), 0);

  for (int move : {1, -2}) {
    canvas.Clear();
    p.DrawMoveFrame(canvas.dc, &canvas.dib, move, 45);
    EXPECT_GT(Pixels(inside), 0) << "turn " << move;
    // Both layers are still there: the turning one and the fixed one.
    for (int id = 1; id <= 8; ++id) {
      if (p.GetFaceletById(id)->IsFrontFacing()) {
        EXPECT_GT(Pixels(CTowerPuzzle::kColours[id + 1]), 0) << "turn " << move << " facelet " << id;
      }
    }
  }
  // Everything turns with the whole box: no cut, no inner face.
  canvas.Clear();
  p.DrawMoveFrame(canvas.dc, &canvas.dib, 3, 45);
  EXPECT_EQ(Pixels(inside), 0);
  // A turn whose inner facelet does not exist paints no cut face.
  p.innerOverride = 7;
  canvas.Clear();
  p.DrawMoveFrame(canvas.dc, &canvas.dib, 1, 45);
  EXPECT_EQ(Pixels(inside), 0);
  // Drawing a frame on request leaves no turn running and the puzzle unturned.
  EXPECT_EQ(p.GetCurrentMove(), 0);
  EXPECT_EQ(p.GetFaceletColour(2), 3);
}

TEST_F(Animation, AtTheFullAngleTheFrameShowsTheTurnedPuzzle) {
  canvas.NoOutline();
  p.DrawMoveFrame(canvas.dc, &canvas.dib, 1, 90);
  CCanvas after(p, 160, 120);
  after.NoOutline();
  p.DoMove(1, 0);
  p.Draw(after.dc, &after.dib);
  int differing = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) differing += canvas.At(x, y) != after.At(x, y);
  // Fixed-point rotation may move an edge by a pixel, no more.
  EXPECT_LT(differing, 160);
}

TEST_F(Animation, AMacroQueuedDuringAnotherPlaysAfterItAndUndoKeepsInStep) {
  // The picture must always be the solved puzzle with the history's made turns applied.
  auto expectInStep = [this](const char* when) {
    CTowerPuzzle replay;
    for (int i = 0; i < p.GetHistoryPosition(); ++i) replay.DoMove(p.GetHistoryMove(i), 1);
    for (int id = 0; id < p.GetFaceletCount(); ++id)
      ASSERT_EQ(p.GetFaceletColour(id), replay.GetFaceletColour(id)) << when << ", facelet " << id;
  };
  auto runQueue = [this] {
    for (int guard = 0; p.IsBusy() && guard < 1000; ++guard) p.AnimateStep(&wnd, canvas.dc, &canvas.dib);
  };
  const int first[4] = {1, 1, 1, 1};
  const int second[3] = {2, 2, 2};
  p.QueueMoves(first, 4);
  p.PlayNextMove(&wnd);
  RunFrames(2);  // halfway through the first turn, as the window runs it
  p.QueueMoves(second, 3);
  EXPECT_EQ(p.PlayNextMove(&wnd), 1);  // what Execute Move does next: must not skip a turn
  EXPECT_EQ(p.GetCurrentMove(), 1);
  runQueue();
  EXPECT_EQ(p.GetHistorySize(), 7);
  EXPECT_EQ(p.GetHistoryPosition(), 7);
  expectInStep("after both macros");

  // Undo while a macro plays: during a turn it waits; between turns it undoes the last made.
  p.QueueMoves(second, 2);
  EXPECT_EQ(p.UndoMove(&wnd), 1);  // armed, nothing running yet: undoes the 7th turn
  runQueue();
  expectInStep("after an undo at the start of playback");
  p.QueueMoves(first, 2);
  p.PlayNextMove(&wnd);
  EXPECT_EQ(p.UndoMove(&wnd), 1);
  runQueue();
  expectInStep("after an undo during a queued turn");
  while (p.UndoMove(&wnd)) runQueue();
  EXPECT_EQ(p.GetHistorySize(), 0);
  expectInStep("after undoing everything");
}
