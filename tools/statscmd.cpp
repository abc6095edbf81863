#include "statscmd.h"

#include <gyrix/stats.h>
#include <gyrix/engine/canvas.h>
#include <gyrix/puzzles/catalogue.h>

#include "pngwriter.h"

#include <platform/dc.h>
#include <platform/gdiobj.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

const char kStatsUsage[] =
    "usage:\n"
    "  gyrix-tool stats [--db FILE] [ID [--mode N]] [--session N] [--chart OUT.png]\n"
    "  gyrix-tool export --db FILE --json OUT | --csv OUT\n"
    "  gyrix-tool import --db FILE IN\n";

struct StatsFailure {
  std::string message;
  int status = 1;
};

long long ParseNumber(const std::string& text, long long low, long long high, const char* what) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || errno != 0 || *end != '\0' || v < low || v > high)
    throw StatsFailure{std::string(what) + " takes a number from " + std::to_string(low) + " to " +
                           std::to_string(high) + ", not " + text,
                       2};
  return v;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// The log the game would use when the tool names none: the one in the user's data folder.
std::string DefaultLogPath() {
  return SolveLogPathFor("", "", std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

// Opens the log; a log that had to be moved aside or cannot be used is an error here, since
// the tool has no game to play on with.
void OpenLog(CSolveLog& log, const std::string& path, bool mustExist) {
  if (mustExist && !FileExists(path)) throw StatsFailure{"no solve log at " + path};
  const CSolveLog::OpenResult result = log.Open(path);
  const std::string message = log.TakeMessage();
  if (result == CSolveLog::kMovedDamaged) std::fprintf(stderr, "gyrix-tool: %s\n", message.c_str());
  else if (result != CSolveLog::kOpened && result != CSolveLog::kCreated) throw StatsFailure{message};
}

constexpr COLORREF kChartPaper = 0xffffff;
constexpr COLORREF kChartGrid = 0xd8d8d8;
constexpr COLORREF kChartText = 0x000000;
constexpr COLORREF kChartSingle = 0x909090;
constexpr COLORREF kChartAo5 = 0xc06000;   // blue
constexpr COLORREF kChartAo12 = 0x0080e0;  // orange
constexpr COLORREF kChartBest = 0x0000d0;  // red
constexpr int kChartWidth = 640;
constexpr int kChartHeight = 320;
constexpr int kChartLabels = 44;

void Polyline(CDC* dc, const std::vector<CChartPoint>& points) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i == 0) dc->MoveTo(points[i].x, points[i].y);
    else dc->LineTo(points[i].x, points[i].y);
  }
  if (points.size() == 1) dc->LineTo(points[0].x + 1, points[0].y);
}

void Mark(CDC* dc, const CChartPoint& p, int r) {
  dc->MoveTo(p.x - r, p.y - r);
  dc->LineTo(p.x + r + 1, p.y + r + 1);
  dc->MoveTo(p.x + r, p.y - r);
  dc->LineTo(p.x - r - 1, p.y + r + 1);
}

// The times as grey points, the ao5 in blue, the ao12 in orange, the bests as red crosses.
void WriteChart(const std::vector<std::int64_t>& times, const std::string& path) {
  CPuzzleCanvas canvas({kChartPaper, kChartGrid, kChartText, kChartSingle, kChartAo5, kChartAo12, kChartBest},
                       kChartWidth, kChartHeight, kChartPaper);
  if (!canvas.IsValid()) throw StatsFailure{"cannot make the image"};
  const CSolveChart chart = BuildSolveChart(times, kChartWidth, kChartHeight, kChartLabels);
  CDC* dc = canvas.dc;
  CFont font;
  font.CreatePointFont(80, "MS Sans Serif", dc);
  CFont* oldFont = dc->SelectObject(&font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(kChartText);
  CPen grid(PS_SOLID, 1, kChartGrid), single(PS_SOLID, 1, kChartSingle), ao5(PS_SOLID, 1, kChartAo5),
      ao12(PS_SOLID, 1, kChartAo12), best(PS_SOLID, 1, kChartBest), text(PS_SOLID, 1, kChartText);
  CPen* oldPen = dc->SelectObject(&grid);
  for (const CChartTick& t : chart.ticks) {
    dc->MoveTo(chart.left, t.y);
    dc->LineTo(chart.right + 1, t.y);
    const CSize size = dc->GetTextExtent(t.label);
    dc->TextOut(chart.left - 4 - size.cx, t.y - size.cy / 2, t.label);
  }
  dc->SelectObject(&single);
  for (const CChartPoint& p : chart.singles) dc->Rectangle(p.x - 1, p.y - 1, p.x + 2, p.y + 2);
  for (int x : chart.dnfColumns) {
    dc->MoveTo(x, chart.top);
    dc->LineTo(x, chart.top + 6);
  }
  dc->SelectObject(&ao12);
  for (const auto& run : chart.ao12) Polyline(dc, run);
  dc->SelectObject(&ao5);
  for (const auto& run : chart.ao5) Polyline(dc, run);
  dc->SelectObject(&best);
  if (chart.hasBestSingle) Mark(dc, chart.bestSingle, 4);
  if (chart.hasBestAo5) Mark(dc, chart.bestAo5, 4);
  if (chart.hasBestAo12) Mark(dc, chart.bestAo12, 4);
  dc->SelectObject(&text);
  dc->MoveTo(chart.left, chart.top);
  dc->LineTo(chart.left, chart.bottom);
  dc->LineTo(chart.right + 1, chart.bottom);
  dc->SelectObject(oldPen);
  dc->SelectObject(oldFont);
  const std::string problem = WriteIndexedPng(canvas.dib, path.c_str());
  if (!problem.empty()) throw StatsFailure{problem};
}

int Stats(int argc, char** argv) {
  std::string db, chart;
  CSolveFilter filter;
  bool haveId = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--db" && hasValue) db = argv[++i];
    else if (arg == "--mode" && hasValue) filter.mode = static_cast<int>(ParseNumber(argv[++i], 0, 1000, "--mode"));
    else if (arg == "--chart" && hasValue) chart = argv[++i];
    else if (arg == "--session" && hasValue) filter.session = ParseNumber(argv[++i], 1, INT64_MAX, "--session");
    else if (!haveId && !arg.empty() && arg[0] != '-') {
      filter.typeId = static_cast<int>(ParseNumber(arg, 0, kPuzzleTypeCount - 1, "the puzzle id"));
      haveId = true;
    } else {
      throw StatsFailure{"unknown option " + arg + "\n" + kStatsUsage, 2};
    }
  }
  if (filter.mode != CSolveFilter::kAny && !haveId) throw StatsFailure{"--mode needs a puzzle id", 2};
  if (haveId && filter.mode == CSolveFilter::kAny) filter.mode = 0;
  CSolveLog log;
  OpenLog(log, db.empty() ? DefaultLogPath() : db, true);
  const std::vector<std::int64_t> times = log.CountedTimes(filter);
  std::fputs(FormatStatistics(ComputeStatistics(times)).c_str(), stdout);
  if (!chart.empty()) WriteChart(times, chart);
  return 0;
}

// Written beside the target first and renamed over it, so a failure keeps the old file.
void WriteWhole(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      std::remove(temporary.c_str());
      throw StatsFailure{"cannot write " + path};
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    throw StatsFailure{"cannot write " + path};
  }
}

int Export(int argc, char** argv) {
  std::string db, json, csv;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) throw StatsFailure{"unknown option " + arg + "\n" + kStatsUsage, 2};
    if (arg == "--db") db = argv[++i];
    else if (arg == "--json") json = argv[++i];
    else if (arg == "--csv") csv = argv[++i];
    else throw StatsFailure{"unknown option " + arg + "\n" + kStatsUsage, 2};
  }
  if (db.empty() || json.empty() == csv.empty()) throw StatsFailure{kStatsUsage, 2};
  CSolveLog log;
  OpenLog(log, db, true);
  if (!json.empty()) WriteWhole(json, ExportTimerJson(log));
  else WriteWhole(csv, ExportCsv(log));
  return 0;
}

int Import(int argc, char** argv) {
  if (argc != 5 || std::string(argv[2]) != "--db") throw StatsFailure{kStatsUsage, 2};
  const std::string in = argv[4];
  std::ifstream file(in, std::ios::binary);
  if (!file) throw StatsFailure{"cannot read " + in};
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  CSolveLog log;
  OpenLog(log, argv[3], false);
  CImportSummary summary;
  std::string error;
  if (!ImportTimerJson(log, text, summary, error)) throw StatsFailure{in + ": " + error + "; nothing was imported"};
  std::printf("imported %d solves in %d sessions\n", summary.solves, summary.sessions);
  return 0;
}

}  // namespace

bool IsStatsCommand(const std::string& command) {
  return command == "stats" || command == "export" || command == "import";
}

int RunStatsCommand(int argc, char** argv) {
  try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "stats") return Stats(argc, argv);
    if (command == "export") return Export(argc, argv);
    if (command == "import") return Import(argc, argv);
    throw StatsFailure{kStatsUsage, 2};
  } catch (const StatsFailure& f) {
    std::fprintf(stderr, "gyrix-tool: %s\n", f.message.c_str());
    return f.status;
  }
}
