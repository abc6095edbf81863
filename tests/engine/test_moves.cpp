#include "test_puzzles.h"

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what the engine asks of the turn operations.
class CRecordingPuzzle : public CGridPuzzle {
 public:
  void DoMove(int move, BOOL notify) override {
    doMoves.push_back(move);
    CGridPuzzle::DoMove(move, notify);
  }
  BOOL StartMove(CWnd* wnd, int move) override {
    startMoves.push_back(move);
    return CGridPuzzle::StartMove(wnd, move);
  }
  std::vector<int> doMoves;
  std::vector<int> startMoves;
};

std::vector<signed char> HistoryBytes(const CPuzzle& p) {
  std::vector<signed char> bytes;
  for (int i = 0; i < p.GetHistorySize(); ++i) bytes.push_back(static_cast<signed char>(p.GetHistoryMove(i)));
  return bytes;
}

int HistoryPosition(const CPuzzle& p) { return p.GetHistoryPosition(); }

// A puzzle of many facelets and 33 turns, for the mask bits.
class CManyTurns : public CPuzzle {
 public:
  CManyTurns() : CPuzzle(40) {
    for (int i = 0; i < 40; ++i) {
      const int tri[3] = {0, 1, 2};
      AddFacelet(tri, 3);
    }
    for (int k = 0; k < 33; ++k) {
      std::vector<int> perm(40);
      for (int i = 0; i < 40; ++i) perm[i] = i;
      std::swap(perm[k], perm[k + 1]);
      AddMove(perm.data(), k == 0 ? 39 : -1);
    }
  }
};

}  // namespace

TEST(Moves, MaskBitsMarkTheFaceletsATurnMovesModulo32) {
  CManyTurns p;
  EXPECT_EQ(p.GetMoveCount(), 33);
  // Turn 1 swaps 0 and 1 and names 39 as its extra facelet.
  EXPECT_EQ(p.GetMoveMask(0), 1u);
  EXPECT_EQ(p.GetMoveMask(39), 1u);
  EXPECT_EQ(p.GetMoveMask(1), 1u | 2u);
  // Turn 33 (k = 32) swaps 32 and 33 and uses bit 0 again.
  EXPECT_EQ(p.GetMoveMask(33), 1u);
  EXPECT_EQ(p.GetMoveMask(32), (1u << 31) | 1u);
  EXPECT_EQ(p.GetMoveMask(40), 0u);

  CGridPuzzle grid;
  for (int id = 0; id < 5; ++id) EXPECT_EQ(grid.GetMoveMask(id) & 1u, 1u) << id;
  EXPECT_EQ(grid.GetMoveMask(5), 0u);
  EXPECT_EQ(grid.GetMoveMask(0) & 2u, 2u);
  EXPECT_EQ(grid.GetMoveMask(2) & 2u, 0u);
  EXPECT_EQ(grid.GetMove(0)->GetLength(), 6);
  EXPECT_EQ(grid.GetMove(2)->GetLength(), 0);
}

TEST(Moves, ATurnSendsEachColourWhereThePermutationSays) {
  CGridPuzzle p;
  p.DoMove(1, 0);
  EXPECT_EQ(p.Colours(), (std::vector<int>{4, 1, 2, 3, 5, 0}));
  p.DoMove(-1, 0);
  EXPECT_EQ(p.Colours(), (std::vector<int>{1, 2, 3, 4, 5, 0}));
  p.DoMove(-1, 0);
  EXPECT_EQ(p.Colours(), (std::vector<int>{2, 3, 4, 1, 5, 0}));
  for (int i = 0; i < 3; ++i) p.DoMove(-1, 0);
  EXPECT_EQ(p.Colours(), (std::vector<int>{1, 2, 3, 4, 5, 0}));

  int values[6] = {10, 11, 12, 13, 14, 15};
  p.ApplyMove(values, 1);
  EXPECT_EQ(std::vector<int>(values, values + 6), (std::vector<int>{13, 10, 11, 12, 14, 15}));
  p.ApplyMove(values, -1);
  EXPECT_EQ(std::vector<int>(values, values + 6), (std::vector<int>{10, 11, 12, 13, 14, 15}));
  p.ApplyMove(values, 2);
  p.ApplyMove(values, 2);
  for (int m : {0, 4, -4, 3}) p.ApplyMove(values, m);  // no turn, out of range, no permutation
  EXPECT_EQ(std::vector<int>(values, values + 6), (std::vector<int>{10, 11, 12, 13, 14, 15}));
}

TEST(Moves, TurnsWithoutAPermutationOnlyNotify) {
  CGridPuzzle p;
  p.DoMove(3, 1);
  EXPECT_EQ(p.updateCalls, 1);
  EXPECT_EQ(p.Colours(), (std::vector<int>{1, 2, 3, 4, 5, 0}));
  p.DoMove(2, 0);
  EXPECT_EQ(p.updateCalls, 1);
  for (int m : {0, 4, -4, 1000}) p.DoMove(m, 1);
  EXPECT_EQ(p.updateCalls, 1);
  EXPECT_EQ(p.Colours(), (std::vector<int>{2, 1, 3, 4, 5, 0}));
}

TEST(History, TurningStraightBackCancelsInTheHistory) {
  CGridPuzzle p;
  p.RecordMove(2, 0);
  p.RecordMove(3, 0);
  p.RecordMove(-3, 0);
  EXPECT_EQ(HistoryBytes(p), (std::vector<signed char>{2}));
  EXPECT_EQ(HistoryPosition(p), 1);
  p.RecordMove(3, 0);
  p.RecordMove(3, 0);
  EXPECT_EQ(HistoryBytes(p), (std::vector<signed char>{2, 3, 3}));
  EXPECT_EQ(HistoryPosition(p), 3);
  // Queued turns never merge.
  p.RecordMove(-3, 1);
  EXPECT_EQ(HistoryBytes(p), (std::vector<signed char>{2, 3, 3, -3}));
}

TEST(History, UndoStartsTheInverseAndDropsTheTurn) {
  CRecordingPuzzle p;
  EXPECT_EQ(p.UndoMove(nullptr), 0);
  EXPECT_TRUE(p.startMoves.empty());
  p.StartMove(nullptr, 2);
  p.RecordMove(2, 0);
  p.RecordMove(1, 0);
  p.DoMove(1, 0);
  p.startMoves.clear();
  EXPECT_EQ(p.UndoMove(nullptr), 1);
  EXPECT_EQ(p.startMoves, (std::vector<int>{-1}));
  EXPECT_EQ(HistoryBytes(p), (std::vector<signed char>{2}));
  EXPECT_EQ(p.UndoMove(nullptr), 1);
  EXPECT_EQ(p.Colours(), (std::vector<int>{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(p.GetHistorySize(), 0);
}

TEST(History, UndoDuringATurnDoesNothingButSaysSo) {
  CRecordingPuzzle p;
  p.RecordMove(2, 0);
  p.SetCurrentMove(1);
  EXPECT_EQ(p.IsBusy(), 1);
  EXPECT_EQ(p.UndoMove(nullptr), 1);
  EXPECT_TRUE(p.startMoves.empty());
  EXPECT_EQ(HistoryBytes(p), (std::vector<signed char>{2}));
  // A second turn is refused while one runs, without queuing.
  EXPECT_EQ(p.StartMove(nullptr, 2), 0);
  EXPECT_EQ(p.Colours(), (std::vector<int>{1, 2, 3, 4, 5, 0}));
}

TEST(History, QueuedTurnsPlayUntilTheQueueIsEmpty) {
  CRecordingPuzzle p;
  p.RecordMove(2, 0);
  const int macro[3] = {1, 1, -2};
  p.QueueMoves(macro, 3);
  EXPECT_EQ(p.IsPlaying(), 1);
  EXPECT_EQ(p.IsBusy(), 1);
  EXPECT_EQ(HistoryPosition(p), 1);
  EXPECT_EQ(p.PlayNextMove(nullptr), 1);
  EXPECT_EQ(p.startMoves, (std::vector<int>{1, 1, -2}));
  EXPECT_EQ(p.IsPlaying(), 0);
  EXPECT_EQ(p.IsBusy(), 0);
  EXPECT_EQ(HistoryPosition(p), 4);
  EXPECT_EQ(p.PlayNextMove(nullptr), 0);
  // The queued turns are now the newest history and undo one by one.
  EXPECT_EQ(p.UndoMove(nullptr), 1);
  EXPECT_EQ(p.startMoves.back(), 2);
  // Nothing queued: nothing armed.
  p.QueueMoves(macro, 0);
  EXPECT_EQ(p.IsPlaying(), 0);
}

TEST(History, AQueuedTurnOutOfRangeEndsPlayback) {
  CRecordingPuzzle p;
  const int macro[3] = {1, 9, 1};
  p.QueueMoves(macro, 3);
  p.PlayNextMove(nullptr);
  EXPECT_EQ(p.startMoves, (std::vector<int>{1, 9}));
  EXPECT_EQ(p.IsPlaying(), 0);
  EXPECT_EQ(HistoryPosition(p), 2);
  EXPECT_EQ(p.Colours(), (std::vector<int>{4, 1, 2, 3, 5, 0}));
  EXPECT_EQ(p.StartMove(nullptr, 0), 0);
  EXPECT_EQ(p.StartMove(nullptr, 4), 0);
}

TEST(History, ALongQueueDrainsWithoutDeepeningTheStack) {
  CGridPuzzle p;
  std::vector<int> macro(200000, 1);
  p.QueueMoves(macro.data(), static_cast<int>(macro.size()));
  p.PlayNextMove(nullptr);
  EXPECT_EQ(p.IsPlaying(), 0);
  EXPECT_EQ(p.GetHistorySize(), 200000);
  EXPECT_EQ(p.Colours(), (std::vector<int>{1, 2, 3, 4, 5, 0}));  // a multiple of four quarter turns
}

TEST(Scramble, MakesFourTurnsPerDefinedTurnAllPositive) {
  CRecordingPuzzle p;
  p.RecordMove(1, 0);
  Randomize(7);
  p.Scramble();
  ASSERT_EQ(p.doMoves.size(), 12u);
  for (int m : p.doMoves) {
    EXPECT_GE(m, 1);
    EXPECT_LE(m, 3);
  }
  EXPECT_EQ(p.IsSolved(), 0);
  EXPECT_EQ(p.IsScramblePending(), 1);
  EXPECT_EQ(p.IsClockRunning(), 1);
  EXPECT_EQ(p.GetHistorySize(), 0);
  // The same seed gives the same scramble.
  CRecordingPuzzle q;
  Randomize(7);
  q.Scramble();
  EXPECT_EQ(q.doMoves, p.doMoves);
  EXPECT_EQ(q.Colours(), p.Colours());
}

TEST(Scramble, APuzzleWithoutTurnsStillGetsAFreshClock) {
  CManyTurns p;
  p.Clear();
  p.Scramble();
  EXPECT_EQ(p.IsClockRunning(), 1);
  EXPECT_EQ(p.IsSolved(), 0);
}

TEST(Solving, OnlyTheFirstSolvingTurnAfterAScrambleIsRewarded) {
  CGridPuzzle p;
  p.DoMove(2, 1);
  p.SetSolvedFlags(0, 1);
  p.StartMove(nullptr, 1);  // still not solved
  EXPECT_EQ(p.IsScramblePending(), 1);
  p.StartMove(nullptr, -1);
  p.StartMove(nullptr, -2);  // solves
  EXPECT_EQ(p.IsSolved(), 1);
  EXPECT_EQ(p.IsScramblePending(), 0);
  // Turning a solved puzzle back and forth earns nothing.
  p.SetSolvedFlags(1, 1);
  p.StartMove(nullptr, 3);
  EXPECT_EQ(p.IsScramblePending(), 1);
}

TEST(Solving, ResetRestoresColoursClearsHistoryAndStopsTheClock) {
  CGridPuzzle p;
  p.ResetView(300, 200);
  p.Scramble();
  p.RecordMove(1, 0);
  p.SetClock(1000, 1050);
  p.Reset();
  EXPECT_EQ(p.Colours(), (std::vector<int>{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(p.IsSolved(), 1);
  EXPECT_EQ(p.IsScramblePending(), 0);
  EXPECT_EQ(p.IsClockRunning(), 0);
  EXPECT_EQ(p.GetElapsedSeconds(), 0);
  EXPECT_EQ(p.GetHistorySize(), 0);
  EXPECT_EQ(p.GetViewWidth(), 300);
}

TEST(Clock, ResumesWhereItStoppedOrStartsAfresh) {
  CGridPuzzle p;
  // The clock reads wall-clock seconds: begin just after one starts, so none ends mid-test.
  for (const long t = CUTime::GetCurTime().GetTime(); CUTime::GetCurTime().GetTime() == t;) {
  }
  const long now = CUTime::GetCurTime().GetTime();
  p.SetClock(now - 83, now);
  p.StopClock(0);
  EXPECT_EQ(p.GetElapsedSeconds(), 83);
  p.StartClock(0);
  EXPECT_EQ(p.IsClockRunning(), 1);
  EXPECT_EQ(p.GetElapsedSeconds(), 83);
  EXPECT_GE(p.GetClockEnd().GetTime(), now);

  // The clock functions keep the history: only a scramble or a reset clears it.
  p.RecordMove(1, 0);
  p.StartClock(1);
  EXPECT_EQ(p.GetElapsedSeconds(), 0);
  EXPECT_EQ(p.GetHistorySize(), 1);
  EXPECT_EQ(p.IsScramblePending(), 1);

  p.SetClock(now - 5, now);
  p.RecordMove(2, 0);
  p.StopClock(1);
  EXPECT_EQ(p.IsClockRunning(), 0);
  EXPECT_EQ(p.GetElapsedSeconds(), 0);
  EXPECT_EQ(p.IsScramblePending(), 0);
  EXPECT_EQ(p.GetHistorySize(), 2);
  p.Scramble();
  EXPECT_EQ(p.GetHistorySize(), 0);
  p.RecordMove(1, 0);
  p.Reset();
  EXPECT_EQ(p.GetHistorySize(), 0);
}

TEST(Clock, ElapsedTextAdvancesOnlyWhileRunningAndUnsolved) {
  CGridPuzzle p;
  p.SetClock(5000, 5000 + 3725);
  EXPECT_STREQ(p.GetElapsedText(), "01:02:05");
  EXPECT_EQ(p.IsClockShown(), 1);  // solved

  const long now = CUTime::GetCurTime().GetTime();
  p.StartClock(1);
  p.SetClock(now - 10, now - 10);
  p.SetSolvedFlags(0, 1);
  EXPECT_GE(p.GetElapsedSeconds(), 0);
  const CUString running = p.GetElapsedText();
  EXPECT_TRUE(running == "00:00:10" || running == "00:00:11") << static_cast<const char*>(running);
  // Once solved the time freezes although the clock still runs.
  p.SetClock(now - 100, now - 40);
  p.SetSolvedFlags(1, 0);
  EXPECT_STREQ(p.GetElapsedText(), "00:01:00");
  EXPECT_EQ(p.IsClockRunning(), 1);
  p.StopClock(0);
  p.SetSolvedFlags(0, 0);
  EXPECT_EQ(p.IsClockShown(), 0);
}

TEST(Clock, ElapsedTimeComesFromTheClockNotFromPainting) {
  CGridPuzzle p;
  p.DoMove(1, 1);
  p.StartClock(0);
  p.SetSolvedFlags(0, 1);
  const long now = CUTime::GetCurTime().GetTime();
  p.SetClock(now - 10, now - 10);  // started ten seconds ago, never painted since
  EXPECT_GE(p.GetElapsedSeconds(), 10);
  p.StopClock(0);  // a pause or a dialog keeps the time it began, not the last paint's
  EXPECT_GE(p.GetElapsedSeconds(), 10);
  EXPECT_LE(p.GetElapsedSeconds(), 11);

  // The solving turn stops the time when it ends, with or without painting.
  p.StartClock(0);
  p.SetClock(now - 20, now - 20);
  ASSERT_EQ(p.StartMove(nullptr, -1), 1);
  EXPECT_EQ(p.IsSolved(), 1);
  EXPECT_GE(p.GetElapsedSeconds(), 20);
  EXPECT_LE(p.GetElapsedSeconds(), 21);
}

TEST(History, TurnsMadeCountEveryShownTurnUntilTheHistoryIsCleared) {
  CRecordingPuzzle p;
  p.Scramble();
  EXPECT_EQ(p.GetTurnsMade(), 0);  // the scramble's own turns are not the player's
  p.StartMove(nullptr, 1);
  p.RecordMove(1, 0);
  p.StartMove(nullptr, -1);
  p.RecordMove(-1, 0);  // cancels in the history, yet it was a turn made
  EXPECT_EQ(p.GetHistorySize(), 0);
  EXPECT_EQ(p.GetTurnsMade(), 2);
  const int macro[2] = {2, 2};
  p.QueueMoves(macro, 2);
  p.PlayNextMove(nullptr);
  EXPECT_EQ(p.GetTurnsMade(), 4);
  p.UndoMove(nullptr);
  EXPECT_EQ(p.GetTurnsMade(), 5);
  // Turns refused count nothing.
  EXPECT_EQ(p.StartMove(nullptr, 99), 0);
  EXPECT_EQ(p.GetTurnsMade(), 5);
  p.StartClock(1);
  EXPECT_EQ(p.GetTurnsMade(), 0);
  p.StartMove(nullptr, 1);
  p.Reset();
  EXPECT_EQ(p.GetTurnsMade(), 0);
}
