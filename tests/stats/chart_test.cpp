#include <gyrix/stats/chart.h>
#include <gyrix/stats/statistics.h>

#include <gtest/gtest.h>

namespace {

TEST(SolveChart, PlacesTimesAveragesAndBestsInThePlot) {
  // 14 solves: 20 s falling by one a solve to 8 s, a DNF in the middle, and 30 s at the end.
  std::vector<std::int64_t> times;
  for (int i = 0; i < 12; ++i) times.push_back((20 - i) * 1000);
  times.insert(times.begin() + 6, kDnf);
  times.push_back(30000);
  const CSolveChart c = BuildSolveChart(times, 400, 200, 40);
  EXPECT_GE(c.left, 40);
  EXPECT_LT(c.right, 400);
  EXPECT_LT(c.bottom, 200);
  ASSERT_EQ(c.singles.size(), 13u);
  ASSERT_EQ(c.dnfColumns.size(), 1u);
  // In order along the chart, from edge to edge; faster is lower (a larger y).
  EXPECT_EQ(c.singles.front().x, c.left);
  EXPECT_EQ(c.singles.back().x, c.right);
  for (std::size_t i = 1; i < c.singles.size(); ++i) EXPECT_GT(c.singles[i].x, c.singles[i - 1].x);
  for (std::size_t i = 1; i + 1 < c.singles.size(); ++i) EXPECT_GT(c.singles[i].y, c.singles[i - 1].y);
  EXPECT_LT(c.singles.back().y, c.singles.front().y);  // 30 s is the highest
  for (const CChartPoint& p : c.singles) {
    EXPECT_GE(p.y, c.top);
    EXPECT_LE(p.y, c.bottom);
  }
  // The best single is the 8 s solve, the twelfth finished one.
  ASSERT_TRUE(c.hasBestSingle);
  EXPECT_EQ(c.bestSingle, c.singles[11]);
  // ao5 from the fifth solve on, one unbroken curve (a single DNF is trimmed); the ao12 too.
  ASSERT_EQ(c.ao5.size(), 1u);
  EXPECT_EQ(c.ao5[0].size(), 10u);
  ASSERT_EQ(c.ao12.size(), 1u);
  EXPECT_EQ(c.ao12[0].size(), 3u);
  ASSERT_TRUE(c.hasBestAo5 && c.hasBestAo12);
  // The best ao5 is the one before the slow last solve: lowest point of its curve.
  int lowest = 0;
  for (const CChartPoint& p : c.ao5[0]) lowest = std::max(lowest, p.y);
  EXPECT_EQ(c.bestAo5.y, lowest);
  EXPECT_EQ(c.bestAo5, c.ao5[0][c.ao5[0].size() - 2]);
  // Round ticks covering the times, slowest at the top.
  ASSERT_GE(c.ticks.size(), 3u);
  EXPECT_LE(c.ticks.size(), 9u);
  EXPECT_EQ(c.ticks.front().y, c.bottom);
  EXPECT_EQ(c.ticks.back().y, c.top);
  EXPECT_EQ(c.ticks.front().label, "5");
  EXPECT_EQ(c.ticks.back().label, "30");
}

TEST(SolveChart, TwoDnfsBreakTheAo5Curve) {
  std::vector<std::int64_t> times(15, 10000);
  times[7] = times[8] = kDnf;
  const CSolveChart c = BuildSolveChart(times, 300, 100, 30);
  // Windows ending at 8..11 hold both DNFs.
  ASSERT_EQ(c.ao5.size(), 2u);
  EXPECT_EQ(c.ao5[0].size(), 4u);   // ending at 4..7
  EXPECT_EQ(c.ao5[1].size(), 3u);   // ending at 12..14
  EXPECT_TRUE(c.ao12.empty());      // every ao12 holds both
  EXPECT_FALSE(c.hasBestAo12);
}

TEST(SolveChart, CopesWithNothingOneSolveAndTinyAreas) {
  const CSolveChart none = BuildSolveChart({}, 200, 100, 20);
  EXPECT_TRUE(none.singles.empty());
  EXPECT_FALSE(none.hasBestSingle);
  EXPECT_FALSE(none.ticks.empty());
  const CSolveChart one = BuildSolveChart({12345}, 200, 100, 20);
  ASSERT_EQ(one.singles.size(), 1u);
  EXPECT_GT(one.singles[0].x, one.left);
  const CSolveChart tiny = BuildSolveChart({1000, 2000, kDnf}, 3, 2, 50);
  for (const CChartPoint& p : tiny.singles) {
    EXPECT_GE(p.x, 0);
    EXPECT_LE(p.x, 50 + 6);
  }
}

TEST(SolveChart, TickLabelsAreShortSeconds) {
  EXPECT_EQ(FormatTickSeconds(12000), "12");
  EXPECT_EQ(FormatTickSeconds(12500), "12.5");
  EXPECT_EQ(FormatTickSeconds(65000), "1:05");
  EXPECT_EQ(FormatTickSeconds(600000), "10:00");
  EXPECT_EQ(FormatTickSeconds(0), "0");
}

}  // namespace
