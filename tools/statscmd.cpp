#include "statscmd.h"

#include <gyrix/stats.h>
#include <gyrix/puzzles/catalogue.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

const char kStatsUsage[] =
    "usage:\n"
    "  gyrix-tool stats [--db FILE] [ID [--mode N]] [--session N]\n"
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

int Stats(int argc, char** argv) {
  std::string db;
  CSolveFilter filter;
  bool haveId = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--db" && hasValue) db = argv[++i];
    else if (arg == "--mode" && hasValue) filter.mode = static_cast<int>(ParseNumber(argv[++i], 0, 1000, "--mode"));
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
  std::fputs(FormatStatistics(log.Statistics(filter)).c_str(), stdout);
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
