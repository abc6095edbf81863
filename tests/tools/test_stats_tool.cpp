// gyrix-tool stats over a solve log written here.
#include "tools_test_util.h"

#include <gyrix/stats/solvelog.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using StatsTool = ScratchFolder;

unsigned BigEndian(const Bytes& b, size_t at) {
  unsigned v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

void AddTimes(CSolveLog& log, int type, int mode, std::initializer_list<std::int64_t> times, std::int64_t session = 0) {
  static std::int64_t started = 1700000000000;
  for (std::int64_t t : times) {
    CSolve s;
    s.typeId = type;
    s.mode = mode;
    s.session = session;
    s.startedMs = started += 60000;
    s.durationMs = t < 0 ? 5000 : t;
    s.penalty = t < 0 ? CSolve::kDnfPenalty : CSolve::kNoPenalty;
    s.turns = 30;
    ASSERT_GT(log.AddSolve(s), 0);
  }
}

TEST_F(StatsTool, PrintsTheFiguresOfATypeModeAndSession) {
  const std::string db = Path("gyrix.db");
  std::int64_t second = 0;
  {
    CSolveLog log;
    ASSERT_EQ(log.Open(db), CSolveLog::kCreated);
    AddTimes(log, 1, 0, {10000, 12000, 11000, 9000, 13000});
    AddTimes(log, 1, 1, {1000});
    AddTimes(log, 4, 0, {30000, -1, 31000});
    second = log.NewSession("second");
    AddTimes(log, 1, 0, {20000, 22000, 21000});
    CSolve assisted;
    assisted.typeId = 1;
    assisted.durationMs = 1;
    assisted.assisted = true;
    log.AddSolve(assisted);
  }
  ToolRun run = RunTool("stats --db " + db + " 1");
  EXPECT_EQ(run.status, 0) << run.output;
  // Type 1, mode 0, both sessions: 10 12 11 9 13 20 22 21; squared deviations from 14.75 sum
  // to 199.5, over 7 is 28.5; the last five without 9 and 22 give 18.
  EXPECT_EQ(run.output,
            "count 8\nbest 9.000\nworst 22.000\nmean 14.750\nsd 5.339\n"
            "mo3 current 21.000 best 10.667\nao5 current 18.000 best 11.000\n"
            "ao12 current - best -\nao50 current - best -\nao100 current - best -\n");

  run = RunTool("stats --db " + db + " 1 --session " + std::to_string(second));
  EXPECT_EQ(run.output.substr(0, 48), "count 3\nbest 20.000\nworst 22.000\nmean 21.000\nsd ");

  run = RunTool("stats --db " + db + " 1 --mode 1");
  EXPECT_EQ(run.output.substr(0, 19), "count 1\nbest 1.000\n");

  // A DNF is the slowest of a mo3, which it makes DNF.
  run = RunTool("stats --db " + db + " 4");
  EXPECT_NE(run.output.find("count 3\nbest 30.000\nworst 31.000\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("mo3 current DNF best DNF\n"), std::string::npos) << run.output;

  run = RunTool("stats --db " + db);
  EXPECT_EQ(run.output.substr(0, 8), "count 12");

  // The chart: a picture of the chart's size.
  run = RunTool("stats --db " + db + " 1 --chart " + Path("chart.png"));
  EXPECT_EQ(run.status, 0) << run.output;
  const Bytes png = ReadAll(Path("chart.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  EXPECT_EQ(BigEndian(png, 16), 640u);
  EXPECT_EQ(BigEndian(png, 20), 320u);
}

TEST_F(StatsTool, RefusesWhatItCannotRead) {
  ToolRun run = RunTool("stats --db " + Path("none.db"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("no solve log"), std::string::npos);
  run = RunTool("stats --db " + Path("none.db") + " 37");
  EXPECT_EQ(run.status, 2);
  run = RunTool("stats --db " + Path("none.db") + " --mode 1");
  EXPECT_EQ(run.status, 2);
  run = RunTool("stats --db " + Path("none.db") + " 1 --colour red");
  EXPECT_EQ(run.status, 2);
  const std::string newer = Path("newer.db");
  {
    CSolveLog log;
    log.Open(newer);
    log.Execute("PRAGMA user_version=7");
  }
  run = RunTool("stats --db " + newer);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("newer"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(StatsTool, ExportsAndImportsWhatTheDialogDoes) {
  const std::string db = Path("gyrix.db");
  {
    CSolveLog log;
    log.Open(db);
    AddTimes(log, 1, 0, {10000, 12000, 11000, 9000, 13000});
    AddTimes(log, 5, 0, {40000});
  }
  ToolRun run = RunTool("export --db " + db + " --json " + Path("out.json"));
  EXPECT_EQ(run.status, 0) << run.output;
  run = RunTool("export --db " + db + " --csv " + Path("out.csv"));
  EXPECT_EQ(run.status, 0) << run.output;
  const Bytes csv = ReadAll(Path("out.csv"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 7);

  const std::string other = Path("other.db");
  run = RunTool("import --db " + other + " " + Path("out.json"));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "imported 6 solves in 2 sessions\n");
  EXPECT_EQ(RunTool("stats --db " + other + " 1").output, RunTool("stats --db " + db + " 1").output);

  // A damaged file changes nothing and says why.
  WriteAll(Path("bad.json"), Bytes{'{', '"', 's', 'e', 's', 's', 'i', 'o', 'n', '1', '"', ':', '7', '}'});
  run = RunTool("import --db " + other + " " + Path("bad.json"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("\"session1\" is not a list of solves; nothing was imported"), std::string::npos)
      << run.output;
  EXPECT_EQ(RunTool("stats --db " + other).output.substr(0, 8), "count 6\n");

  EXPECT_EQ(RunTool("export --db " + db).status, 2);
  EXPECT_EQ(RunTool("export --db " + db + " --json a --csv b").status, 2);
  EXPECT_EQ(RunTool("import --db " + other + " " + Path("missing.json")).status, 1);
}

}  // namespace
