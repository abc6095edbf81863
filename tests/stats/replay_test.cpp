#include <gyrix/stats/replay.h>

#include <gtest/gtest.h>

namespace {

// Turns at 0.5 s, 1 s (twice) and 3 s of a 4 s solve.
CReplayClock Clock() { return CReplayClock({{1, 500}, {2, 1000}, {-2, 1000}, {3, 3000}}, 4000); }

TEST(ReplayClock, PlaysTheTurnsAtTheirRealTimes) {
  CReplayClock c = Clock();
  EXPECT_EQ(c.TurnsDone(), 0);
  c.Advance(499);
  EXPECT_EQ(c.TurnsDone(), 0);
  c.Advance(1);
  EXPECT_EQ(c.TurnsDone(), 1);
  c.Advance(500);
  EXPECT_EQ(c.TurnsDone(), 3);  // both turns of the same moment
  EXPECT_EQ(c.TimeMs(), 1000);
  c.Advance(10000);
  EXPECT_EQ(c.TurnsDone(), 4);
  EXPECT_EQ(c.TimeMs(), 4000);  // stops at the solve's time
  EXPECT_TRUE(c.IsAtEnd());
}

TEST(ReplayClock, PauseSpeedAndSteps) {
  CReplayClock c = Clock();
  c.TogglePause();
  c.Advance(2000);
  EXPECT_EQ(c.TimeMs(), 0);
  c.TogglePause();
  for (int i = 0; i < 10; ++i) c.Slower();
  EXPECT_EQ(c.Speed(), 0.25);
  // A quarter speed keeps the parts of a millisecond: 3 x 1 ms of real time is 0.75 ms.
  c.Advance(1);
  c.Advance(1);
  c.Advance(1);
  EXPECT_EQ(c.TimeMs(), 0);
  c.Advance(1);
  EXPECT_EQ(c.TimeMs(), 1);
  c.Advance(1996);
  EXPECT_EQ(c.TimeMs(), 500);
  EXPECT_EQ(c.TurnsDone(), 1);
  for (int i = 0; i < 10; ++i) c.Faster();
  EXPECT_EQ(c.Speed(), 4);
  c.Advance(125);
  EXPECT_EQ(c.TimeMs(), 1000);

  c.StepBack();
  EXPECT_TRUE(c.IsPaused());
  EXPECT_EQ(c.TurnsDone(), 2);
  EXPECT_EQ(c.TimeMs(), 1000);
  c.StepBack();
  c.StepBack();
  EXPECT_EQ(c.TurnsDone(), 0);
  EXPECT_EQ(c.TimeMs(), 0);
  c.StepBack();
  EXPECT_EQ(c.TurnsDone(), 0);
  c.StepForward();
  EXPECT_EQ(c.TurnsDone(), 1);
  EXPECT_EQ(c.TimeMs(), 500);
  c.End();
  EXPECT_EQ(c.TurnsDone(), 4);
  EXPECT_EQ(c.TimeMs(), 4000);
  c.StepForward();
  EXPECT_EQ(c.TurnsDone(), 4);
  c.Home();
  EXPECT_EQ(c.TurnsDone(), 0);
  EXPECT_EQ(c.TimeMs(), 0);
}

TEST(ReplayClock, TurnsOutOfOrderOrPastTheEndStillPlay) {
  CReplayClock c({{5, 2000}, {4, 100}}, 1000);
  EXPECT_EQ(c.Turn(0).move, 4);
  c.Advance(5000);
  EXPECT_EQ(c.TurnsDone(), 2);
  EXPECT_EQ(c.TimeMs(), 2000);
  CReplayClock empty({}, -5);
  empty.Advance(100);
  EXPECT_TRUE(empty.IsAtEnd());
  EXPECT_EQ(empty.TimeMs(), 0);
}

}  // namespace
