#include <gyrix/stats/statistics.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* kAverageNames[kAverageCount] = {"mo3", "ao5", "ao12", "ao50", "ao100"};

}  // namespace

bool CStatValue::Beats(const CStatValue& other) const {
  if (kind == kNone) return false;
  if (other.kind == kNone) return true;
  if (kind == kDnfValue) return false;
  return other.kind == kDnfValue || ms < other.ms;
}

std::string CStatValue::Format() const {
  if (kind == kNone) return "-";
  if (kind == kDnfValue) return "DNF";
  // Rounded to the millisecond first, so 1.0005 s and its printing agree.
  const long long whole = std::llround(ms);
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", whole / 1000, whole % 1000);
  return text;
}

const char* AverageName(int index) {
  return index >= 0 && index < kAverageCount ? kAverageNames[index] : "";
}

int TrimmedPerEnd(int n) { return n <= 3 ? 0 : (n + 19) / 20; }

CStatValue AverageOf(const std::int64_t* times, int n) {
  if (n <= 0) return CStatValue::None();
  const int trim = TrimmedPerEnd(n);
  const int dnfs = static_cast<int>(std::count(times, times + n, kDnf));
  if (dnfs > trim) return CStatValue::Dnf();
  std::vector<std::int64_t> sorted(times, times + n);
  std::sort(sorted.begin(), sorted.end());
  double sum = 0;
  for (int i = trim; i < n - trim; ++i) sum += static_cast<double>(sorted[i]);
  return CStatValue::Time(sum / (n - 2 * trim));
}

std::vector<CStatValue> RunningAverage(const std::vector<std::int64_t>& times, int n) {
  std::vector<CStatValue> out(times.size());
  if (n <= 0) return out;
  for (std::size_t end = n; end <= times.size(); ++end)
    out[end - 1] = AverageOf(times.data() + end - n, n);
  return out;
}

CStatistics ComputeStatistics(const std::vector<std::int64_t>& times) {
  CStatistics s;
  s.count = static_cast<int>(times.size());
  std::vector<double> finished;
  for (std::int64_t t : times) {
    if (t == kDnf) ++s.dnfs;
    else finished.push_back(static_cast<double>(t));
  }
  if (s.count > 0 && finished.empty()) {
    s.best = s.mean = CStatValue::Dnf();
  } else if (!finished.empty()) {
    s.best = CStatValue::Time(*std::min_element(finished.begin(), finished.end()));
    s.worst = CStatValue::Time(*std::max_element(finished.begin(), finished.end()));
    double sum = 0;
    for (double t : finished) sum += t;
    const double mean = sum / finished.size();
    s.mean = CStatValue::Time(mean);
    if (finished.size() >= 2) {
      double squares = 0;
      for (double t : finished) squares += (t - mean) * (t - mean);
      s.sd = CStatValue::Time(std::sqrt(squares / (finished.size() - 1)));
    }
  }
  for (int a = 0; a < kAverageCount; ++a) {
    const int n = kAverageSizes[a];
    if (s.count < n) continue;
    const std::vector<CStatValue> running = RunningAverage(times, n);
    s.averages[a].current = running.back();
    for (const CStatValue& v : running)
      if (v.Beats(s.averages[a].best)) s.averages[a].best = v;
  }
  return s;
}

std::string FormatStatistics(const CStatistics& s) {
  std::string out = "count " + std::to_string(s.count) + "\n";
  out += "best " + s.best.Format() + "\n";
  out += "worst " + s.worst.Format() + "\n";
  out += "mean " + s.mean.Format() + "\n";
  out += "sd " + s.sd.Format() + "\n";
  for (int a = 0; a < kAverageCount; ++a)
    out += std::string(kAverageNames[a]) + " current " + s.averages[a].current.Format() + " best " +
           s.averages[a].best.Format() + "\n";
  return out;
}
