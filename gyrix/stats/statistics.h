// Statistics of a list of solve times: singles, mean, standard deviation and the running
// averages players compare (mo3, ao5, ao12, ao50, ao100).
//
// Times are milliseconds in the order they were solved; kDnf marks a solve that did not
// finish. An average of n solves drops ceil(5 % of n) times from each end (a DNF is the
// slowest) and takes the mean of the rest; mo3 drops nothing. An average holding more DNFs
// than it drops is DNF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr std::int64_t kDnf = INT64_MAX;

// One figure: nothing yet (too few solves), a time in milliseconds (maybe fractional, for a
// mean), or DNF.
struct CStatValue {
  enum Kind { kNone, kTime, kDnfValue };
  Kind kind = kNone;
  double ms = 0;

  static CStatValue None() { return {}; }
  static CStatValue Time(double ms) { return {kTime, ms}; }
  static CStatValue Dnf() { return {kDnfValue, 0}; }
  bool IsTime() const { return kind == kTime; }
  bool IsDnf() const { return kind == kDnfValue; }
  bool IsNone() const { return kind == kNone; }
  // Whether this one is faster than other: any time beats DNF, anything beats nothing.
  bool Beats(const CStatValue& other) const;
  // Seconds to three decimals ("12.345"), "DNF" or "-".
  std::string Format() const;
  bool operator==(const CStatValue& o) const { return kind == o.kind && (kind != kTime || ms == o.ms); }
};

// The averages the program keeps, by window size; a window of 3 is the untrimmed mean.
constexpr int kAverageSizes[] = {3, 5, 12, 50, 100};
constexpr int kAverageCount = 5;
// "mo3", "ao5", ...
const char* AverageName(int index);

// Times dropped from each end of a window of n: none for the mean of 3, else ceil(n / 20).
int TrimmedPerEnd(int n);

// The average of times[0..n): kNone for n <= 0.
CStatValue AverageOf(const std::int64_t* times, int n);

// The average of every window of n consecutive times; entry i belongs to the window that
// ends at time i (kNone while fewer than n times are in).
std::vector<CStatValue> RunningAverage(const std::vector<std::int64_t>& times, int n);

struct CAverageFigures {
  CStatValue current;
  CStatValue best;
};

struct CStatistics {
  int count = 0;     // solves counted, DNFs included
  int dnfs = 0;
  CStatValue best;   // fastest single
  CStatValue worst;  // slowest finished single
  CStatValue mean;   // of the finished solves
  CStatValue sd;     // sample standard deviation of the finished solves
  CAverageFigures averages[kAverageCount];
};

CStatistics ComputeStatistics(const std::vector<std::int64_t>& times);

// The figures one per line, as gyrix-tool prints them.
std::string FormatStatistics(const CStatistics& s);
