// The chart of a run of solves, as geometry for whoever draws it: the times as points, the
// ao5 and ao12 as curves, the personal bests marked, and the time axis with round ticks.
// Faster is lower, so improvement runs downwards to the right, as players read their graphs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CChartPoint {
  int x = 0;
  int y = 0;
  bool operator==(const CChartPoint& o) const { return x == o.x && y == o.y; }
};

struct CChartTick {
  int y = 0;
  std::string label;  // seconds, "12.5" or "1:05"
};

struct CSolveChart {
  int left = 0, top = 0, right = 0, bottom = 0;  // the plot area, inclusive
  std::vector<CChartPoint> singles;              // the finished solves, in order
  std::vector<int> dnfColumns;                   // where the DNFs are, along the top edge
  std::vector<std::vector<CChartPoint>> ao5;     // unbroken stretches of the curve
  std::vector<std::vector<CChartPoint>> ao12;
  bool hasBestSingle = false, hasBestAo5 = false, hasBestAo12 = false;
  CChartPoint bestSingle, bestAo5, bestAo12;
  std::vector<CChartTick> ticks;
};

// times in solve order (kDnf for a DNF); the plot fills width x height less a margin on the
// left for the tick labels (labelWidth) and a few pixels elsewhere.
CSolveChart BuildSolveChart(const std::vector<std::int64_t>& times, int width, int height, int labelWidth);

// "12.5", "59", "1:05": a tick's value in seconds, as short as it stays exact.
std::string FormatTickSeconds(std::int64_t ms);
