#include <gyrix/stats/exchange.h>
#include <gyrix/stats/json.h>

#include <gtest/gtest.h>

namespace {

CSolve Timed(int type, std::int64_t ms, std::int64_t startedSeconds, int penalty = CSolve::kNoPenalty) {
  CSolve s;
  s.typeId = type;
  s.durationMs = ms;
  s.startedMs = startedSeconds * 1000 + 250;
  s.penalty = penalty;
  s.turns = 25;
  s.scramble = "seed " + std::to_string(startedSeconds);
  return s;
}

CJsonValue Parsed(const std::string& text) {
  CJsonValue v;
  std::string error;
  EXPECT_TRUE(ParseJson(text, v, error)) << error;
  return v;
}

void FillLog(CSolveLog& log) {
  for (CSolve s : {Timed(1, 10000, 1700000000), Timed(1, 11000, 1700000060, CSolve::kPlusTwo),
                   Timed(1, 9000, 1700000120, CSolve::kDnfPenalty), Timed(5, 42000, 1700000180)}) {
    ASSERT_GT(log.AddSolve(s), 0);
  }
  CSolve assisted = Timed(1, 1000, 1700000240);
  assisted.assisted = true;
  log.AddSolve(assisted);
}

TEST(TimerExport, WritesTheTimersLayout) {
  CSolveLog log;
  log.OpenInMemory();
  FillLog(log);
  CSolve s = Timed(1, 12000, 1700000300);
  s.comment = "said \"wow\"\nthen stopped";
  log.AddSolve(s);
  const CJsonValue root = Parsed(ExportTimerJson(log));
  ASSERT_TRUE(root.IsObject());
  const CJsonValue* cube = root.Find("session1");
  const CJsonValue* sphere = root.Find("session2");
  ASSERT_TRUE(cube && sphere);
  EXPECT_EQ(root.Find("session3"), nullptr);
  // The assisted solve is left out.
  ASSERT_EQ(cube->items.size(), 4u);
  const CJsonValue& plusTwo = cube->items[1];
  ASSERT_EQ(plusTwo.items.size(), 4u);
  EXPECT_EQ(plusTwo.items[0].items[0].number, 2000);
  EXPECT_EQ(plusTwo.items[0].items[1].number, 11000);
  EXPECT_EQ(plusTwo.items[1].text, "seed 1700000060");
  EXPECT_EQ(plusTwo.items[3].number, 1700000060);
  EXPECT_EQ(cube->items[2].items[0].items[0].number, -1);
  EXPECT_EQ(cube->items[3].items[2].text, "said \"wow\"\nthen stopped");

  const CJsonValue* properties = root.Find("properties");
  ASSERT_TRUE(properties && properties->IsObject());
  EXPECT_EQ(properties->Find("sessionN")->number, 2);
  const CJsonValue* dataText = properties->Find("sessionData");
  ASSERT_TRUE(dataText && dataText->IsString());
  const CJsonValue data = Parsed(dataText->text);
  const CJsonValue* first = data.Find("1");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Find("name")->text, "Cube(3x3x3) - Session 1");
  EXPECT_EQ(first->Find("opt")->Find("scrType")->text, "333");
  EXPECT_EQ(first->Find("rank")->number, 1);
  const CJsonValue* stat = first->Find("stat");
  ASSERT_EQ(stat->items.size(), 3u);
  EXPECT_EQ(stat->items[0].number, 4);
  EXPECT_EQ(stat->items[1].number, 1);
  EXPECT_EQ(stat->items[2].number, 11667);  // (10000 + 13000 + 12000) / 3
  EXPECT_EQ(first->Find("date")->items[0].number, 1700000000);
  EXPECT_EQ(first->Find("date")->items[1].number, 1700000300);
  const CJsonValue* second = data.Find("2");
  EXPECT_EQ(second->Find("name")->text, "Sphere - Session 1");
  EXPECT_EQ(second->Find("opt")->Find("scrType"), nullptr);
}

TEST(TimerExport, AnEmptyLogStillHasItsFirstSession) {
  CSolveLog log;
  log.OpenInMemory();
  const CJsonValue root = Parsed(ExportTimerJson(log));
  ASSERT_TRUE(root.Find("session1"));
  EXPECT_TRUE(root.Find("session1")->IsArray());
  EXPECT_EQ(root.Find("properties")->Find("sessionN")->number, 1);
}

TEST(TimerImport, WhatWasExportedComesBackWithTheSameStatistics) {
  CSolveLog log;
  log.OpenInMemory();
  FillLog(log);
  for (int i = 0; i < 12; ++i) {
    CSolve s = Timed(0, 3000 + 97 * i, 1700001000 + i);
    s.mode = 0;
    log.AddSolve(s);
  }
  CSolve orbix = Timed(13, 5000, 1700002000);
  orbix.mode = 2;
  log.AddSolve(orbix);

  CSolveLog other;
  other.OpenInMemory();
  CImportSummary summary;
  std::string error;
  ASSERT_TRUE(ImportTimerJson(other, ExportTimerJson(log), summary, error)) << error;
  EXPECT_EQ(summary.sessions, 4);
  EXPECT_EQ(summary.solves, 4 + 12 + 1);
  for (int type : {0, 1, 5}) {
    CSolveFilter f;
    f.typeId = type;
    f.mode = 0;
    EXPECT_EQ(FormatStatistics(other.Statistics(f)), FormatStatistics(log.Statistics(f))) << type;
  }
  CSolveFilter orbixFilter;
  orbixFilter.typeId = 13;
  orbixFilter.mode = 2;
  EXPECT_EQ(other.CountedTimes(orbixFilter), (std::vector<std::int64_t>{5000}));
  for (const CSolveSession& s : other.ListSessions())
    if (s.id != other.CurrentSession()) {
      EXPECT_TRUE(s.imported) << s.name;
    }
}

TEST(TimerImport, ReadsPlainTextValuesAndMapsTheCodes) {
  const std::string file =
      "{\"session1\":\"[[[0,5000],\\\"R U\\\",\\\"\\\",1600000000],[[-1,7000],\\\"F\\\",\\\"x\\\",1600000100]]\","
      " \"session2\":[[[0,60000],\"\",\"\",1600000200]],"
      " \"session3\":[[[2000,8000]]],"
      " \"properties\":{\"sessionN\":3,\"sessionData\":"
      "\"{\\\"1\\\":{\\\"name\\\":\\\"two\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"222so\\\"}},"
      "\\\"2\\\":{\\\"name\\\":\\\"squan\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"sqrs\\\"}},"
      "\\\"3\\\":{\\\"name\\\":7,\\\"opt\\\":{}}}\"}}";
  CSolveLog log;
  log.OpenInMemory();
  CImportSummary summary;
  std::string error;
  ASSERT_TRUE(ImportTimerJson(log, file, summary, error)) << error;
  EXPECT_EQ(summary.sessions, 3);
  EXPECT_EQ(summary.solves, 4);
  // Oldest first: the solve without a date comes first.
  const std::vector<CSolve> solves = log.ListSolves({});
  ASSERT_EQ(solves.size(), 4u);
  EXPECT_EQ(solves[0].typeId, 1);  // no code: the timer's 3x3x3
  EXPECT_EQ(solves[0].CountedMs(), 10000);
  EXPECT_EQ(solves[0].startedMs, 0);
  EXPECT_EQ(solves[1].typeId, 0);
  EXPECT_EQ(solves[1].scramble, "R U");
  EXPECT_EQ(solves[1].startedMs, 1600000000000);
  EXPECT_EQ(solves[2].penalty, CSolve::kDnfPenalty);
  EXPECT_EQ(solves[2].comment, "x");
  EXPECT_EQ(solves[3].typeId, CSolve::kForeignType);  // a puzzle this program has not
  CSolveSession squan;
  ASSERT_TRUE(log.GetSession(solves[3].session, squan));
  EXPECT_EQ(squan.name, "squan");
  EXPECT_EQ(squan.puzzle, "sqrs");
  EXPECT_TRUE(squan.imported);
  CSolveFilter f;
  f.session = solves[3].session;
  EXPECT_EQ(log.Statistics(f).best.Format(), "60.000");
  CSolveSession seven;
  ASSERT_TRUE(log.GetSession(solves[0].session, seven));
  EXPECT_EQ(seven.name, "7");
}

TEST(TimerImport, RefusesDamagedFilesWholeAndSaysWhatIsWrong) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"", "not JSON"},
      {"{\"session1\":[[[0,1000]]],", "not JSON"},
      {"[1,2]", "object of sessions"},
      {"{\"properties\":{}}", "no sessions"},
      {"{\"session1\":5}", "\"session1\" is not a list"},
      {"{\"session0\":[]}", "session number"},
      {"{\"session1\":[[[0,1000]],[0,1000]]}", "session1, solve 2"},
      {"{\"session1\":[[[5,1000]]]}", "penalty"},
      {"{\"session1\":[[[0,-3]]]}", "time"},
      {"{\"session1\":[[[0,1.5]]]}", "time"},
      {"{\"session1\":[[[0,1e300]]]}", "time"},
      {"{\"session1\":[[[0,1000],7]]}", "scramble"},
      {"{\"session1\":[[[0,1000],\"\",[]]]}", "comment"},
      {"{\"session1\":[[[0,1000],\"\",\"\",\"today\"]]}", "date"},
      {"{\"session1\":[], \"properties\":\"{bad\"}", "properties"},
      {"{\"session1\":[], \"properties\":{\"sessionData\":[1]}}", "sessionData"},
      {"{\"session1\":\"[[[0,\"}", "\"session1\" is not a list"},
      {"{\"a\":\"\\ud800\"}", "surrogate"},
  };
  CSolveLog log;
  log.OpenInMemory();
  CSolve kept = Timed(1, 1000, 1);
  log.AddSolve(kept);
  const std::size_t sessions = log.ListSessions().size();
  for (const auto& c : cases) {
    CImportSummary summary;
    std::string error;
    // A good session before the bad one must not be half-imported either.
    std::string text = c.text;
    if (text.rfind("{\"session1\"", 0) == 0) text = "{\"session9\":[[[0,4000]]]," + text.substr(1);
    EXPECT_FALSE(ImportTimerJson(log, text, summary, error)) << c.text;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.text << " -> " << error;
    EXPECT_EQ(log.CountSolves(), 1) << c.text;
    EXPECT_EQ(log.ListSessions().size(), sessions) << c.text;
  }
}

TEST(TimerImport, DeepNestingIsRefusedNotRecursedInto) {
  std::string deep = "{\"session1\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
  CSolveLog log;
  log.OpenInMemory();
  CImportSummary summary;
  std::string error;
  EXPECT_FALSE(ImportTimerJson(log, deep, summary, error));
  EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
}

TEST(Json, ReadsEscapesAndSaysWhereItStops) {
  CJsonValue v;
  std::string error;
  ASSERT_TRUE(ParseJson(" {\"a\" : [true, false, null, -1.5e2, \"\\u00e9\\ud83d\\ude00\\n\\\"\"]} ", v, error));
  const CJsonValue* a = v.Find("a");
  ASSERT_TRUE(a && a->items.size() == 5);
  EXPECT_TRUE(a->items[0].boolean);
  EXPECT_EQ(a->items[2].kind, CJsonValue::kNull);
  EXPECT_EQ(a->items[3].number, -150);
  EXPECT_EQ(a->items[4].text, "\xc3\xa9\xf0\x9f\x98\x80\n\"");
  EXPECT_FALSE(ParseJson("{\n\"a\":\n[1 2]}", v, error));
  EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;
  EXPECT_FALSE(ParseJson("\"tab\there\"", v, error));
  EXPECT_FALSE(ParseJson("01", v, error));
  EXPECT_FALSE(ParseJson("[1,]", v, error));
  EXPECT_FALSE(ParseJson("tru", v, error));

  std::string out;
  AppendJsonString(out, std::string("q\"\\\x01\n", 5));
  EXPECT_EQ(out, "\"q\\\"\\\\\\u0001\\n\"");
  ASSERT_TRUE(ParseJson(out, v, error));
  EXPECT_EQ(v.text, std::string("q\"\\\x01\n", 5));
}

TEST(CsvExport, OneLineASolveWithQuotedText) {
  CSolveLog log;
  log.OpenInMemory();
  FillLog(log);
  CSolve s = Timed(1, 12000, 1700000300);
  s.comment = "fast, \"clean\"";
  log.AddSolve(s);
  const std::string csv = ExportCsv(log);
  std::vector<std::string> lines;
  for (std::size_t at = 0, nl; (nl = csv.find('\n', at)) != std::string::npos; at = nl + 1)
    lines.push_back(csv.substr(at, nl - at));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0].substr(0, 13), "date,session,");
  EXPECT_EQ(lines[1], "2023-11-14T22:13:20.250Z,Session 1,Cube(3x3x3),0,10000,,25,2.50,no,seed 1700000000,");
  EXPECT_NE(lines[2].find(",11000,+2,"), std::string::npos);
  EXPECT_NE(lines[3].find(",9000,DNF,"), std::string::npos);
  EXPECT_NE(lines[5].find(",yes,"), std::string::npos);
  EXPECT_EQ(lines[6].substr(lines[6].size() - 18), ",\"fast, \"\"clean\"\"\"");
}

}  // namespace
