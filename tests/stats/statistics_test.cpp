#include <gyrix/stats/statistics.h>

#include <gtest/gtest.h>

namespace {

std::vector<std::int64_t> Seconds(std::initializer_list<double> values) {
  std::vector<std::int64_t> out;
  for (double v : values) out.push_back(v < 0 ? kDnf : static_cast<std::int64_t>(v * 1000 + 0.5));
  return out;
}

constexpr double D = -1;  // a DNF in Seconds()

std::vector<std::int64_t> OneToN(int n) {
  std::vector<std::int64_t> out;
  for (int i = 1; i <= n; ++i) out.push_back(i * 1000);
  return out;
}

TEST(Statistics, FiveSolvesByHand) {
  const CStatistics s = ComputeStatistics(Seconds({10, 12, 11, 9, 13}));
  EXPECT_EQ(s.count, 5);
  EXPECT_EQ(s.best.Format(), "9.000");
  EXPECT_EQ(s.worst.Format(), "13.000");
  EXPECT_EQ(s.mean.Format(), "11.000");
  // Deviations -1, 1, 0, -2, 2: squares 10, over 4, root 1.5811.
  EXPECT_EQ(s.sd.Format(), "1.581");
  // mo3 windows: 11, 10.667, 11.
  EXPECT_EQ(s.averages[0].current.Format(), "11.000");
  EXPECT_EQ(s.averages[0].best.Format(), "10.667");
  // ao5 drops 9 and 13.
  EXPECT_EQ(s.averages[1].current.Format(), "11.000");
  EXPECT_EQ(s.averages[1].best.Format(), "11.000");
  for (int a = 2; a < kAverageCount; ++a) {
    EXPECT_TRUE(s.averages[a].current.IsNone()) << AverageName(a);
    EXPECT_TRUE(s.averages[a].best.IsNone()) << AverageName(a);
  }
}

TEST(Statistics, BestAverageIsTheFastestWindowNotTheLast) {
  // ao5 windows: [15 11 12 13 14] 13, [11 12 13 14 30] 13, [12 13 14 30 16] 14.333.
  const CStatistics s = ComputeStatistics(Seconds({15, 11, 12, 13, 14, 30, 16}));
  EXPECT_EQ(s.averages[1].current.Format(), "14.333");
  EXPECT_EQ(s.averages[1].best.Format(), "13.000");
  // mo3: 12.667 12 13 19 20 -> best 12.
  EXPECT_EQ(s.averages[0].current.Format(), "20.000");
  EXPECT_EQ(s.averages[0].best.Format(), "12.000");
}

TEST(Statistics, OneDnfIsTrimmedFromAnAo5ButNotFromAMean) {
  const CStatistics s = ComputeStatistics(Seconds({10, D, 12, 11, 9}));
  EXPECT_EQ(s.count, 5);
  EXPECT_EQ(s.dnfs, 1);
  EXPECT_EQ(s.averages[1].current.Format(), "11.000");  // DNF and 9 dropped
  // mo3: [10 DNF 12] DNF, [DNF 12 11] DNF, [12 11 9] 10.667.
  EXPECT_EQ(s.averages[0].current.Format(), "10.667");
  EXPECT_EQ(s.averages[0].best.Format(), "10.667");
  // The mean and deviation are of the finished solves; the worst single is the slowest finished.
  EXPECT_EQ(s.mean.Format(), "10.500");
  EXPECT_EQ(s.worst.Format(), "12.000");
  EXPECT_EQ(s.best.Format(), "9.000");
}

TEST(Statistics, MoreDnfsThanTrimmedMakeTheAverageDnf) {
  const CStatistics two = ComputeStatistics(Seconds({10, D, 12, D, 9}));
  EXPECT_TRUE(two.averages[1].current.IsDnf());
  EXPECT_TRUE(two.averages[1].best.IsDnf());
  EXPECT_EQ(two.averages[1].current.Format(), "DNF");
  // mo3 of [DNF 12 DNF] and [12 DNF 9]: every window is DNF.
  EXPECT_TRUE(two.averages[0].best.IsDnf());

  const CStatistics all = ComputeStatistics(Seconds({D, D}));
  EXPECT_EQ(all.count, 2);
  EXPECT_TRUE(all.best.IsDnf());
  EXPECT_TRUE(all.mean.IsDnf());
  EXPECT_TRUE(all.worst.IsNone());
  EXPECT_TRUE(all.sd.IsNone());
}

TEST(Statistics, LargerAveragesTrimFivePercentFromEachEnd) {
  EXPECT_EQ(TrimmedPerEnd(3), 0);
  EXPECT_EQ(TrimmedPerEnd(5), 1);
  EXPECT_EQ(TrimmedPerEnd(12), 1);
  EXPECT_EQ(TrimmedPerEnd(50), 3);
  EXPECT_EQ(TrimmedPerEnd(100), 5);

  // 1..12 s without 1 and 12: 6.5 s.
  std::vector<std::int64_t> t = OneToN(12);
  EXPECT_EQ(AverageOf(t.data(), 12).Format(), "6.500");
  t[11] = kDnf;
  EXPECT_EQ(AverageOf(t.data(), 12).Format(), "6.500");
  t[4] = kDnf;
  EXPECT_TRUE(AverageOf(t.data(), 12).IsDnf());

  // 1..50 s without 1-3 and 48-50: 25.5 s; three DNFs take the slow places.
  t = OneToN(50);
  EXPECT_EQ(AverageOf(t.data(), 50).Format(), "25.500");
  t[47] = t[48] = t[49] = kDnf;
  EXPECT_EQ(AverageOf(t.data(), 50).Format(), "25.500");
  t[0] = kDnf;
  EXPECT_TRUE(AverageOf(t.data(), 50).IsDnf());

  // 1..100 s without 1-5 and 96-100: 50.5 s; five DNFs still count, six do not.
  t = OneToN(100);
  EXPECT_EQ(AverageOf(t.data(), 100).Format(), "50.500");
  for (int i = 95; i < 100; ++i) t[i] = kDnf;
  EXPECT_EQ(AverageOf(t.data(), 100).Format(), "50.500");
  t[50] = kDnf;
  EXPECT_TRUE(AverageOf(t.data(), 100).IsDnf());

  const CStatistics s = ComputeStatistics(OneToN(100));
  EXPECT_EQ(s.averages[2].current.Format(), "94.500");  // 89..100 without the ends
  EXPECT_EQ(s.averages[2].best.Format(), "6.500");
  EXPECT_EQ(s.averages[3].current.Format(), "75.500");
  EXPECT_EQ(s.averages[3].best.Format(), "25.500");
  EXPECT_EQ(s.averages[4].current.Format(), "50.500");
  EXPECT_EQ(s.averages[4].best.Format(), "50.500");
}

TEST(Statistics, RunningAverageHasNothingUntilTheWindowIsFull) {
  const std::vector<CStatValue> ao5 = RunningAverage(Seconds({15, 11, 12, 13, 14, 30, 16}), 5);
  ASSERT_EQ(ao5.size(), 7u);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(ao5[i].IsNone());
  EXPECT_EQ(ao5[4].Format(), "13.000");
  EXPECT_EQ(ao5[6].Format(), "14.333");
  EXPECT_TRUE(RunningAverage({}, 5).empty());
}

TEST(Statistics, FiguresPrintInSecondsRoundedToTheMillisecond) {
  // 1001, 1002, 1002 after trimming: 1001.667 ms.
  const std::vector<std::int64_t> t = {1001, 1002, 1003, 1000, 1002};
  EXPECT_EQ(AverageOf(t.data(), 5).Format(), "1.002");
  EXPECT_EQ(CStatValue::Time(83210).Format(), "83.210");
  EXPECT_EQ(CStatValue::Time(999.5).Format(), "1.000");
  EXPECT_EQ(CStatValue::Time(7).Format(), "0.007");
  EXPECT_EQ(CStatValue::None().Format(), "-");

  const std::string text = FormatStatistics(ComputeStatistics(Seconds({10, 12, 11})));
  EXPECT_EQ(text,
            "count 3\nbest 10.000\nworst 12.000\nmean 11.000\nsd 1.000\n"
            "mo3 current 11.000 best 11.000\nao5 current - best -\nao12 current - best -\n"
            "ao50 current - best -\nao100 current - best -\n");
  EXPECT_EQ(FormatStatistics(ComputeStatistics({})).substr(0, 35), "count 0\nbest -\nworst -\nmean -\nsd -\n");
}

TEST(Statistics, ATimeBeatsDnfAndAnythingBeatsNothing) {
  EXPECT_TRUE(CStatValue::Time(5).Beats(CStatValue::Time(6)));
  EXPECT_FALSE(CStatValue::Time(6).Beats(CStatValue::Time(6)));
  EXPECT_TRUE(CStatValue::Time(1e9).Beats(CStatValue::Dnf()));
  EXPECT_FALSE(CStatValue::Dnf().Beats(CStatValue::Time(1)));
  EXPECT_TRUE(CStatValue::Dnf().Beats(CStatValue::None()));
  EXPECT_FALSE(CStatValue::None().Beats(CStatValue::Dnf()));
}

}  // namespace
