#include <gyrix/stats/recorder.h>

#include "stats_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

CSolveRecorder::CResult Solve(CSolveRecorder& recorder, std::int64_t ms, bool assisted = false, int type = 1) {
  static std::int64_t started = 1700000000000;
  recorder.Scrambled(type, 0, {9, 8, 7}, "seed 3", started += 60000);
  recorder.Turned(4, 100);
  recorder.Turned(-4, 300);  // undone
  recorder.Turned(2, static_cast<std::uint32_t>(ms));
  if (assisted) recorder.Assisted();
  return recorder.Solved(ms, 3);
}

TEST(SolveRecorder, CommitsTheSolveWithEverythingToReplayIt) {
  CSolveLog log;
  log.OpenInMemory();
  CSolveRecorder recorder(log);
  const CSolveRecorder::CResult r = Solve(recorder, 15000);
  ASSERT_TRUE(r.recorded);
  EXPECT_FALSE(recorder.IsUnderWay());
  CSolve s;
  ASSERT_TRUE(log.GetSolve(r.id, s));
  EXPECT_EQ(s.durationMs, 15000);
  EXPECT_EQ(s.turns, 3);
  EXPECT_EQ(s.position, (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_EQ(s.moves, (std::vector<CSolveTurn>{{4, 100}, {-4, 300}, {2, 15000}}));
  EXPECT_EQ(s.scramble, "seed 3");
  // Solved again without a new scramble: nothing to record.
  EXPECT_FALSE(recorder.Solved(1000, 1).recorded);
  recorder.Scrambled(1, 0, {}, "", 1);
  recorder.Abandoned();
  EXPECT_FALSE(recorder.Solved(1000, 1).recorded);
  EXPECT_EQ(log.CountSolves(), 1);
}

TEST(SolveRecorder, TellsWhichBestsASolveSets) {
  CSolveLog log;
  log.OpenInMemory();
  CSolveRecorder recorder(log);
  EXPECT_FALSE(Solve(recorder, 10000).newBestSingle);  // nothing earlier to beat
  EXPECT_FALSE(Solve(recorder, 12000).newBestSingle);
  EXPECT_FALSE(Solve(recorder, 10000).newBestSingle);  // equal is not better
  EXPECT_TRUE(Solve(recorder, 9000).newBestSingle);
  // The first ao5 (10 12 10 9 11: 10.333) has none before it.
  CSolveRecorder::CResult r = Solve(recorder, 11000);
  EXPECT_FALSE(r.newBestAo5);
  // 12 10 9 11 9.5 -> 10.167.
  r = Solve(recorder, 9500);
  EXPECT_TRUE(r.newBestAo5);
  EXPECT_FALSE(r.newBestSingle);
  // A slow one sets nothing.
  r = Solve(recorder, 20000);
  EXPECT_FALSE(r.newBestAo5 || r.newBestSingle || r.newBestAo12);
  // An assisted solve is kept and sets nothing, however fast.
  r = Solve(recorder, 100, true);
  EXPECT_TRUE(r.recorded);
  EXPECT_FALSE(r.newBestSingle || r.newBestAo5);
  for (int i = 0; i < 4; ++i) Solve(recorder, 10000);
  // Twelve counted now: the first ao12; a thirteenth fast one improves it.
  EXPECT_FALSE(Solve(recorder, 10000).newBestAo12);
  r = Solve(recorder, 8000);
  EXPECT_TRUE(r.newBestAo12);
  EXPECT_TRUE(r.newBestSingle);
  // Bests are per type: another type's first solve sets none.
  EXPECT_FALSE(Solve(recorder, 1000, false, 4).newBestSingle);
}

TEST(SolveRecorder, KeepsASolveTheLogCouldNotTakeAndCommitsItLater) {
  CScratchFolder dir;
  CSolveLog log;
  log.Open(dir / "gyrix.db");
  CSolveRecorder recorder(log);
  ASSERT_TRUE(Solve(recorder, 10000).recorded);
  ASSERT_TRUE(log.Execute("PRAGMA max_page_count=1"));  // no room beyond what the file has
  recorder.Scrambled(1, 0, std::vector<std::uint8_t>(200000, 1), "", 1700000000000);
  EXPECT_FALSE(recorder.Solved(11000, 3).recorded);
  EXPECT_EQ(recorder.PendingCount(), 1u);
  EXPECT_NE(log.TakeMessage(), "");
  EXPECT_FALSE(recorder.RetryPending());
  ASSERT_TRUE(log.Execute("PRAGMA max_page_count=100000"));
  EXPECT_TRUE(Solve(recorder, 12000).recorded);  // the kept one goes first
  EXPECT_EQ(recorder.PendingCount(), 0u);
  std::vector<std::int64_t> times = log.CountedTimes({});
  std::sort(times.begin(), times.end());
  EXPECT_EQ(times, (std::vector<std::int64_t>{10000, 11000, 12000}));
}

TEST(SolveRecorder, ASolveUnderWaySurvivesBeingSavedAndRestored) {
  CSolveLog log;
  log.OpenInMemory();
  CSolveRecorder recorder(log);
  EXPECT_TRUE(recorder.SaveUnderWay().empty());
  recorder.Scrambled(7, 1, {1, 2, 3, 4}, "seed 99", 1700000000123);
  recorder.Turned(5, 10);
  recorder.Turned(-6, 20);
  recorder.Assisted();
  const std::vector<std::uint8_t> saved = recorder.SaveUnderWay();

  CSolveRecorder resumed(log);
  ASSERT_TRUE(resumed.RestoreUnderWay(saved));
  EXPECT_EQ(resumed.SaveUnderWay(), saved);
  const CSolveRecorder::CResult r = resumed.Solved(5000, 2);
  CSolve s;
  ASSERT_TRUE(log.GetSolve(r.id, s));
  EXPECT_EQ(s.typeId, 7);
  EXPECT_EQ(s.mode, 1);
  EXPECT_EQ(s.startedMs, 1700000000123);
  EXPECT_TRUE(s.assisted);
  EXPECT_EQ(s.moves, (std::vector<CSolveTurn>{{5, 10}, {-6, 20}}));

  // Every shortened record, and one with a byte too many, is refused.
  for (std::size_t n = 0; n < saved.size(); ++n) {
    std::vector<std::uint8_t> cut(saved.begin(), saved.begin() + n);
    EXPECT_FALSE(resumed.RestoreUnderWay(cut)) << n;
    EXPECT_FALSE(resumed.IsUnderWay());
  }
  std::vector<std::uint8_t> longer = saved;
  longer.push_back(0);
  EXPECT_FALSE(resumed.RestoreUnderWay(longer));
  std::vector<std::uint8_t> huge = saved;
  huge[24] = huge[25] = huge[26] = huge[27] = 0xff;  // the position's length
  EXPECT_FALSE(resumed.RestoreUnderWay(huge));
}

TEST(GameKeeper, WritesAboutASecondAfterAChangeAndAllAtExit) {
  CSolveLog log;
  log.OpenInMemory();
  CGameKeeper keeper(log);
  std::vector<std::uint8_t> state;
  keeper.Changed(1, 0, {1}, 10000);
  EXPECT_FALSE(keeper.Tick(10500));
  EXPECT_FALSE(log.LoadGame(1, 0, state));
  keeper.Changed(1, 0, {2}, 10700);
  keeper.Changed(4, 0, {3}, 10800);
  EXPECT_TRUE(keeper.Tick(11000));  // a second after the first unsaved change
  ASSERT_TRUE(log.LoadGame(1, 0, state));
  EXPECT_EQ(state, (std::vector<std::uint8_t>{2}));
  ASSERT_TRUE(log.LoadGame(4, 0, state));
  EXPECT_FALSE(keeper.HasUnsaved());
  keeper.Changed(1, 0, {5}, 12000);
  EXPECT_TRUE(keeper.Flush());
  ASSERT_TRUE(log.LoadGame(1, 0, state));
  EXPECT_EQ(state, (std::vector<std::uint8_t>{5}));
  EXPECT_TRUE(keeper.Tick(99999));
}

// A scripted game killed at random moments: afterwards the log is sound and holds every
// solve the game had committed before each kill.
TEST(KillTest, ARandomKillNeverLosesACommittedSolveOrDamagesTheLog) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  std::mt19937 random(31);
  std::set<std::int64_t> committed;
  for (int round = 0; round < 100; ++round) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeEnds[0]);
      CSolveLog log;
      log.Open(path);
      CSolveRecorder recorder(log);
      CGameKeeper keeper(log);
      std::int64_t clock = 0;
      for (int solve = 0;; ++solve) {
        recorder.Scrambled(1, 0, std::vector<std::uint8_t>(200, static_cast<std::uint8_t>(solve)), "", solve);
        for (int turn = 1; turn <= 20; ++turn) {
          recorder.Turned(turn % 12 + 1, turn * 300);
          keeper.Changed(1, 0, recorder.SaveUnderWay(), clock += 100);
          keeper.Tick(clock);
        }
        const CSolveRecorder::CResult r = recorder.Solved(6000 + solve, 20);
        if (r.recorded && write(pipeEnds[1], &r.id, sizeof r.id) != sizeof r.id) _exit(1);
      }
    }
    close(pipeEnds[1]);
    usleep(2000 + random() % 60000);
    kill(child, SIGKILL);
    std::int64_t id = 0;
    while (read(pipeEnds[0], &id, sizeof id) == sizeof id) committed.insert(id);
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);

    CSolveLog log;
    const CSolveLog::OpenResult opened = log.Open(path);
    ASSERT_TRUE(opened == CSolveLog::kOpened || opened == CSolveLog::kCreated)
        << "round " << round << ": " << log.TakeMessage();
    ASSERT_EQ(log.IntegrityCheck(), "ok") << "round " << round;
    std::set<std::int64_t> present;
    for (const CSolve& s : log.ListSolves({})) present.insert(s.id);
    for (std::int64_t c : committed) ASSERT_TRUE(present.count(c)) << "round " << round << " lost solve " << c;
    // The game in progress is readable as the recorder wrote it.
    std::vector<std::uint8_t> state;
    if (log.LoadGame(1, 0, state)) {
      CSolveRecorder check(log);
      EXPECT_TRUE(check.RestoreUnderWay(state)) << "round " << round;
    }
  }
  // Enough kills landed after commits for the test to mean something, even in a slow build.
  EXPECT_GT(committed.size(), 20u);
}

}  // namespace
