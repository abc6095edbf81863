#include <gyrix/stats/chart.h>

#include <gyrix/stats/statistics.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 6;
constexpr int kWantedTicks = 5;

}  // namespace

std::string FormatTickSeconds(std::int64_t ms) {
  const std::int64_t tenths = (ms + 50) / 100;
  const std::int64_t seconds = tenths / 10;
  std::string out;
  if (seconds >= 60) {
    out = std::to_string(seconds / 60);
    out += ':';
    const std::int64_t rest = seconds % 60;
    if (rest < 10) out += '0';
    out += std::to_string(rest);
  } else {
    out = std::to_string(seconds);
  }
  if (tenths % 10) {
    out += '.';
    out += static_cast<char>('0' + tenths % 10);
  }
  return out;
}

CSolveChart BuildSolveChart(const std::vector<std::int64_t>& times, int width, int height, int labelWidth) {
  CSolveChart chart;
  chart.left = std::min(width - 1, std::max(0, labelWidth) + kMargin);
  chart.top = kMargin;
  chart.right = std::max(chart.left, width - 1 - kMargin);
  chart.bottom = std::max(chart.top, height - 1 - kMargin);

  std::int64_t low = INT64_MAX, high = 0;
  for (std::int64_t t : times)
    if (t != kDnf) {
      low = std::min(low, t);
      high = std::max(high, t);
    }
  if (low == INT64_MAX) {  // nothing finished: an axis of a second
    low = 0;
    high = 1000;
  }

  // Round ticks: 1, 2 or 5 times a power of ten milliseconds, about five over the range.
  const double range = std::max<double>(static_cast<double>(high - low), 100.0);
  const double base = std::pow(10.0, std::floor(std::log10(range / kWantedTicks)));
  double step = base * 10;
  for (double factor : {1.0, 2.0, 5.0}) {
    if (range / (base * factor) <= kWantedTicks * 1.5) {
      step = base * factor;
      break;
    }
  }
  step = std::max(step, 100.0);
  const double axisLow = std::floor(static_cast<double>(low) / step) * step;
  const double axisHigh = std::max(axisLow + step, std::ceil(static_cast<double>(high) / step) * step);

  const int plotHeight = chart.bottom - chart.top;
  const int plotWidth = chart.right - chart.left;
  auto yOf = [&](double ms) {
    const double f = (ms - axisLow) / (axisHigh - axisLow);
    return chart.bottom - static_cast<int>(std::lround(std::clamp(f, 0.0, 1.0) * plotHeight));
  };
  const std::size_t n = times.size();
  auto xOf = [&](std::size_t i) {
    if (n <= 1) return chart.left + plotWidth / 2;
    return chart.left + static_cast<int>(std::lround(static_cast<double>(i) * plotWidth / static_cast<double>(n - 1)));
  };
  for (double v = axisLow; v <= axisHigh + step / 2; v += step)
    chart.ticks.push_back({yOf(v), FormatTickSeconds(static_cast<std::int64_t>(v))});

  CStatValue best;
  for (std::size_t i = 0; i < n; ++i) {
    if (times[i] == kDnf) {
      chart.dnfColumns.push_back(xOf(i));
      continue;
    }
    const CChartPoint p{xOf(i), yOf(static_cast<double>(times[i]))};
    chart.singles.push_back(p);
    const CStatValue v = CStatValue::Time(static_cast<double>(times[i]));
    if (v.Beats(best)) {
      best = v;
      chart.bestSingle = p;
      chart.hasBestSingle = true;
    }
  }
  auto curve = [&](int window, std::vector<std::vector<CChartPoint>>& out, CChartPoint& bestAt, bool& hasBest) {
    const std::vector<CStatValue> running = RunningAverage(times, window);
    CStatValue bestValue;
    bool open = false;
    for (std::size_t i = 0; i < running.size(); ++i) {
      if (!running[i].IsTime()) {
        open = false;
        continue;
      }
      if (!open) out.emplace_back();
      open = true;
      const CChartPoint p{xOf(i), yOf(running[i].ms)};
      out.back().push_back(p);
      if (running[i].Beats(bestValue)) {
        bestValue = running[i];
        bestAt = p;
        hasBest = true;
      }
    }
  };
  curve(5, chart.ao5, chart.bestAo5, chart.hasBestAo5);
  curve(12, chart.ao12, chart.bestAo12, chart.hasBestAo12);
  return chart;
}
