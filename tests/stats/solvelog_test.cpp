#include <gyrix/stats/location.h>
#include <gyrix/stats/solvelog.h>

#include "stats_test_util.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

CSolve MakeSolve(int type, std::int64_t ms, std::int64_t started, bool assisted = false) {
  CSolve s;
  s.typeId = type;
  s.mode = 0;
  s.durationMs = ms;
  s.startedMs = started;
  s.turns = 20;
  s.assisted = assisted;
  s.position = {1, 2, 3, 0, 255};
  s.moves = {{3, 0}, {-5, 410}, {127, 70000}, {-128, 4000000000u}};
  s.scramble = "seed 42";
  return s;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int UserVersion(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* st = nullptr;
  int version = -1;
  if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    version = sqlite3_column_int(st, 0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  return version;
}

TEST(SolveLog, KeepsEverySolveWithItsReplayAcrossRuns) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  std::int64_t id = 0;
  {
    CSolveLog log;
    EXPECT_EQ(log.Open(path), CSolveLog::kCreated);
    EXPECT_TRUE(log.IsPersistent());
    EXPECT_EQ(log.TakeMessage(), "");
    CSolve s = MakeSolve(1, 12345, 1700000000000);
    s.comment = "lucky \"F2L\"";
    id = log.AddSolve(s);
    EXPECT_GT(id, 0);
    EXPECT_EQ(s.id, id);
    EXPECT_GT(s.session, 0);
  }
  CSolveLog log;
  EXPECT_EQ(log.Open(path), CSolveLog::kOpened);
  CSolve back;
  ASSERT_TRUE(log.GetSolve(id, back));
  const CSolve original = MakeSolve(1, 12345, 1700000000000);
  EXPECT_EQ(back.typeId, 1);
  EXPECT_EQ(back.durationMs, 12345);
  EXPECT_EQ(back.startedMs, 1700000000000);
  EXPECT_EQ(back.position, original.position);
  EXPECT_EQ(back.moves, original.moves);
  EXPECT_EQ(back.scramble, "seed 42");
  EXPECT_EQ(back.comment, "lucky \"F2L\"");
  EXPECT_NEAR(back.TurnsPerSecond(), 20 / 12.345, 1e-9);
  EXPECT_FALSE(log.GetSolve(id + 1, back));
  EXPECT_EQ(UserVersion(path), CSolveLog::kSchemaVersion);
  EXPECT_EQ(log.IntegrityCheck(), "ok");
}

TEST(SolveLog, AssistedSolvesAreListedButNotCounted) {
  CSolveLog log;
  log.OpenInMemory();
  CSolve a = MakeSolve(1, 10000, 1000);
  CSolve b = MakeSolve(1, 5000, 2000, true);
  CSolve c = MakeSolve(1, 12000, 3000);
  log.AddSolve(a);
  log.AddSolve(b);
  log.AddSolve(c);
  EXPECT_EQ(log.ListSolves({}).size(), 3u);
  EXPECT_EQ(log.CountedTimes({}), (std::vector<std::int64_t>{10000, 12000}));
  const CStatistics s = log.Statistics({});
  EXPECT_EQ(s.count, 2);
  EXPECT_EQ(s.best.Format(), "10.000");
}

TEST(SolveLog, PenaltiesChangeTheCountedTime) {
  CSolveLog log;
  log.OpenInMemory();
  CSolve a = MakeSolve(1, 10000, 1000);
  CSolve b = MakeSolve(1, 11000, 2000);
  log.AddSolve(a);
  log.AddSolve(b);
  EXPECT_TRUE(log.SetPenalty(a.id, CSolve::kPlusTwo));
  EXPECT_TRUE(log.SetPenalty(b.id, CSolve::kDnfPenalty));
  EXPECT_FALSE(log.SetPenalty(b.id, 3000));
  EXPECT_FALSE(log.SetPenalty(b.id + 100, CSolve::kPlusTwo));
  EXPECT_EQ(log.CountedTimes({}), (std::vector<std::int64_t>{12000, kDnf}));
  EXPECT_TRUE(log.SetComment(a.id, "+2: misaligned"));
  CSolve back;
  ASSERT_TRUE(log.GetSolve(a.id, back));
  EXPECT_EQ(back.comment, "+2: misaligned");
}

TEST(SolveLog, ADeletedSolveComesBackWithItsId) {
  CSolveLog log;
  log.OpenInMemory();
  CSolve a = MakeSolve(1, 10000, 1000);
  CSolve b = MakeSolve(1, 11000, 2000);
  log.AddSolve(a);
  log.AddSolve(b);
  CSolve kept;
  ASSERT_TRUE(log.GetSolve(a.id, kept));
  EXPECT_TRUE(log.DeleteSolve(a.id));
  EXPECT_FALSE(log.DeleteSolve(a.id));
  EXPECT_EQ(log.ListSolves({}).size(), 1u);
  EXPECT_TRUE(log.RestoreSolve(kept));
  const std::vector<CSolve> all = log.ListSolves({}, true);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].id, a.id);
  EXPECT_EQ(all[0].moves, kept.moves);
  // Putting back a solve that is there already changes nothing.
  EXPECT_FALSE(log.RestoreSolve(kept));
  EXPECT_EQ(log.CountSolves(), 2);
}

TEST(SolveLog, FiltersByTypeModeAndSession) {
  CSolveLog log;
  log.OpenInMemory();
  const std::int64_t first = log.CurrentSession();
  EXPECT_GT(first, 0);
  EXPECT_EQ(log.CurrentSession(), first);
  CSolve a = MakeSolve(1, 10000, 1000);
  CSolve b = MakeSolve(1, 20000, 2000);
  b.mode = 1;
  CSolve c = MakeSolve(5, 30000, 3000);
  log.AddSolve(a);
  log.AddSolve(b);
  log.AddSolve(c);
  const std::int64_t second = log.NewSession("evening");
  EXPECT_NE(second, first);
  EXPECT_EQ(log.CurrentSession(), second);
  CSolve d = MakeSolve(1, 40000, 4000);
  log.AddSolve(d);
  EXPECT_EQ(d.session, second);

  CSolveFilter cube;
  cube.typeId = 1;
  cube.mode = 0;
  EXPECT_EQ(log.CountedTimes(cube), (std::vector<std::int64_t>{10000, 40000}));
  cube.session = first;
  EXPECT_EQ(log.CountedTimes(cube), (std::vector<std::int64_t>{10000}));
  CSolveFilter anyMode;
  anyMode.typeId = 1;
  EXPECT_EQ(log.CountedTimes(anyMode).size(), 3u);
  CSolveFilter session;
  session.session = first;
  EXPECT_EQ(log.CountedTimes(session).size(), 3u);

  const std::vector<CSolveSession> sessions = log.ListSessions();
  ASSERT_EQ(sessions.size(), 2u);
  EXPECT_EQ(sessions[0].name, "Session 1");
  EXPECT_EQ(sessions[1].name, "evening");
}

TEST(SolveLog, KeepsTheGameInProgressOfEachTypeAndMode) {
  CSolveLog log;
  log.OpenInMemory();
  std::vector<std::uint8_t> state;
  EXPECT_FALSE(log.LoadGame(1, 0, state));
  EXPECT_TRUE(log.SaveGame(1, 0, {1, 2, 3}));
  EXPECT_TRUE(log.SaveGame(1, 1, {4}));
  EXPECT_TRUE(log.SaveGame(1, 0, {5, 6}));
  ASSERT_TRUE(log.LoadGame(1, 0, state));
  EXPECT_EQ(state, (std::vector<std::uint8_t>{5, 6}));
  ASSERT_TRUE(log.LoadGame(1, 1, state));
  EXPECT_EQ(state, (std::vector<std::uint8_t>{4}));
  EXPECT_TRUE(log.DeleteGame(1, 0));
  EXPECT_FALSE(log.LoadGame(1, 0, state));
}

TEST(SolveLog, ATransactionIsAllOrNothing) {
  CSolveLog log;
  log.OpenInMemory();
  CSolve a = MakeSolve(1, 10000, 1000);
  EXPECT_FALSE(log.Transaction([&] {
    CSolve inner = MakeSolve(1, 1, 1);
    log.AddSolve(inner);
    log.SaveGame(1, 0, {1});
    return false;
  }));
  EXPECT_EQ(log.CountSolves(), 0);
  std::vector<std::uint8_t> state;
  EXPECT_FALSE(log.LoadGame(1, 0, state));
  // A failing statement inside rolls back the rest too.
  EXPECT_FALSE(log.Transaction([&] {
    log.AddSolve(a);
    log.Execute("INSERT INTO no_such_table VALUES(1)");
    return true;
  }));
  EXPECT_EQ(log.CountSolves(), 0);
  EXPECT_NE(log.TakeMessage(), "");
  // The session the rolled-back solve was given went with it.
  CSolve b = MakeSolve(1, 10000, 1000);
  EXPECT_TRUE(log.Transaction([&] { return log.AddSolve(b) > 0; }));
  EXPECT_EQ(log.CountSolves(), 1);
}

TEST(SolveLog, TurnsRecordsOfTheWrongLengthAreRefused) {
  std::vector<CSolveTurn> turns;
  const std::uint8_t bytes[7] = {1, 0, 0, 0, 0, 0, 9};
  EXPECT_FALSE(DecodeTurns(bytes, 7, turns));
  EXPECT_TRUE(DecodeTurns(bytes, 6, turns));
  ASSERT_EQ(turns.size(), 1u);
  EXPECT_EQ(turns[0].move, 1);
  EXPECT_TRUE(DecodeTurns(bytes, 0, turns));
  EXPECT_TRUE(turns.empty());
}

// Trouble with the file.

TEST(SolveLogTrouble, ADamagedFileIsMovedAsideAndANewOneStarted) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  const std::string garbage(5000, 'x');
  WriteAll(path, garbage);
  CSolveLog log;
  EXPECT_EQ(log.Open(path), CSolveLog::kMovedDamaged);
  EXPECT_TRUE(log.IsPersistent());
  const std::string aside = log.GetMovedAsidePath();
  ASSERT_NE(aside, "");
  EXPECT_EQ(aside.rfind(path + ".damaged-", 0), 0u);
  EXPECT_EQ(ReadAll(aside), garbage);
  const std::string message = log.TakeMessage();
  EXPECT_NE(message.find("damaged"), std::string::npos);
  EXPECT_NE(message.find(aside), std::string::npos);
  EXPECT_EQ(log.TakeMessage(), "");  // said once
  CSolve s = MakeSolve(1, 1000, 1);
  EXPECT_GT(log.AddSolve(s), 0);
  log.Close();
  EXPECT_EQ(log.Open(path), CSolveLog::kOpened);
  EXPECT_EQ(log.CountSolves(), 1);
}

TEST(SolveLogTrouble, DamagedPagesAreFoundAtOpening) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  {
    CSolveLog log;
    log.Open(path);
    for (int i = 0; i < 200; ++i) {
      CSolve s = MakeSolve(1, 1000 + i, i);
      s.position.assign(300, static_cast<std::uint8_t>(i));
      log.AddSolve(s);
    }
    log.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
  }
  std::string bytes = ReadAll(path);
  ASSERT_GT(bytes.size(), 20000u);
  // Scribble over the pages of the tables, leaving the header intact.
  for (std::size_t i = 4096; i < bytes.size(); i += 97) bytes[i] = static_cast<char>(i * 31);
  WriteAll(path, bytes);
  CSolveLog log;
  EXPECT_EQ(log.Open(path), CSolveLog::kMovedDamaged);
  EXPECT_EQ(ReadAll(log.GetMovedAsidePath()), bytes);
  EXPECT_EQ(log.CountSolves(), 0);
  EXPECT_EQ(log.IntegrityCheck(), "ok");
}

TEST(SolveLogTrouble, ALogFromANewerProgramIsLeftAlone) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  {
    CSolveLog log;
    log.Open(path);
    CSolve s = MakeSolve(1, 1000, 1);
    log.AddSolve(s);
    log.Execute("PRAGMA user_version=99");
  }
  const std::string before = ReadAll(path);
  CSolveLog log;
  EXPECT_EQ(log.Open(path), CSolveLog::kNewer);
  EXPECT_FALSE(log.IsPersistent());
  EXPECT_NE(log.TakeMessage().find("newer"), std::string::npos);
  CSolve s = MakeSolve(1, 2000, 2);
  EXPECT_GT(log.AddSolve(s), 0);  // plays on, in memory
  EXPECT_EQ(log.CountSolves(), 1);
  log.Close();
  EXPECT_EQ(UserVersion(path), 99);
  EXPECT_EQ(ReadAll(path), before);
}

TEST(SolveLogTrouble, AnotherDatabaseAtThePlaceIsKeptAside) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE solves(x); INSERT INTO solves VALUES(7)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  CSolveLog log;
  EXPECT_EQ(log.Open(path), CSolveLog::kMovedDamaged);
  EXPECT_NE(log.GetMovedAsidePath(), "");
  CSolve s = MakeSolve(1, 1000, 1);
  EXPECT_GT(log.AddSolve(s), 0);
}

TEST(SolveLogTrouble, ALockedLogIsLeftToItsHolder) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  { CSolveLog log; log.Open(path); }
  sqlite3* holder = nullptr;
  sqlite3_open(path.c_str(), &holder);
  ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; "
                                 "INSERT INTO meta VALUES('held', '1')", nullptr, nullptr, nullptr),
            SQLITE_OK);
  CSolveLog log;
  log.SetBusyTimeout(100);
  EXPECT_EQ(log.Open(path), CSolveLog::kLocked);
  EXPECT_FALSE(log.IsPersistent());
  EXPECT_NE(log.TakeMessage().find("locked"), std::string::npos);
  CSolve s = MakeSolve(1, 1000, 1);
  EXPECT_GT(log.AddSolve(s), 0);
  sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
}

TEST(SolveLogTrouble, APlaceThatCannotBeWrittenLeavesTheLogInMemory) {
  CScratchFolder dir;
  WriteAll(dir / "file", "not a folder");
  CSolveLog log;
  EXPECT_EQ(log.Open(dir / "file/gyrix.db"), CSolveLog::kUnwritable);
  EXPECT_FALSE(log.IsPersistent());
  EXPECT_NE(log.TakeMessage().find("cannot be written"), std::string::npos);
  CSolve s = MakeSolve(1, 1000, 1);
  EXPECT_GT(log.AddSolve(s), 0);
}

TEST(SolveLogTrouble, AReadOnlyFileIsNotWritten) {
  if (geteuid() == 0) GTEST_SKIP() << "the super-user writes read-only files";
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  { CSolveLog log; log.Open(path); }
  chmod(path.c_str(), 0444);
  CSolveLog log;
  EXPECT_EQ(log.Open(path), CSolveLog::kUnwritable);
  EXPECT_FALSE(log.IsPersistent());
}

TEST(SolveLogTrouble, AFullDiskIsReportedOnceAndLosesNothingWritten) {
  CScratchFolder dir;
  CSolveLog log;
  log.Open(dir / "gyrix.db");
  ASSERT_TRUE(log.Execute("PRAGMA max_page_count=40"));
  int added = 0;
  std::string first;
  bool full = false;
  for (int i = 0; i < 400 && !full; ++i) {
    CSolve s = MakeSolve(1, 1000 + i, i);
    s.position.assign(2000, 7);
    if (log.AddSolve(s) > 0) {
      ++added;
      continue;
    }
    full = true;
    first = log.TakeMessage();
  }
  ASSERT_TRUE(full);
  EXPECT_NE(first.find("full"), std::string::npos);
  CSolve more = MakeSolve(1, 1, 1);
  more.position.assign(100000, 1);
  EXPECT_EQ(log.AddSolve(more), 0);
  EXPECT_EQ(log.TakeMessage(), "");  // not again while it stays full
  EXPECT_EQ(log.CountSolves(), added);
  EXPECT_EQ(log.IntegrityCheck(), "ok");
  // Once there is room, writing works and a later trouble is reported again.
  ASSERT_TRUE(log.Execute("PRAGMA max_page_count=100000"));
  CSolve small = MakeSolve(1, 1, 1);
  EXPECT_GT(log.AddSolve(small), 0);
}

TEST(SolveLogTrouble, TwoProgramsWriteTheSameLogAtOnce) {
  CScratchFolder dir;
  const std::string path = dir / "gyrix.db";
  { CSolveLog log; log.Open(path); }
  constexpr int kEach = 60;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CSolveLog log;
    log.Open(path);
    int ok = 0;
    for (int i = 0; i < kEach; ++i) {
      CSolve s = MakeSolve(2, 1000 + i, i);
      ok += log.AddSolve(s) > 0;
      log.SaveGame(2, 0, {static_cast<std::uint8_t>(i)});
    }
    _exit(ok == kEach ? 0 : 1);
  }
  CSolveLog log;
  log.Open(path);
  int ok = 0;
  for (int i = 0; i < kEach; ++i) {
    CSolve s = MakeSolve(1, 1000 + i, i);
    ok += log.AddSolve(s) > 0;
    log.SaveGame(1, 0, {static_cast<std::uint8_t>(i)});
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(ok, kEach);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(log.CountSolves(), 2 * kEach);
  CSolveFilter other;
  other.typeId = 2;
  EXPECT_EQ(log.CountedTimes(other).size(), static_cast<std::size_t>(kEach));
  EXPECT_EQ(log.IntegrityCheck(), "ok");
}

// Where the log lives.

TEST(SolveLogLocation, BesideThePortableProgramElseInTheDataFolder) {
  CScratchFolder dir;
  const std::string program = dir.Path() + "/game/";
  EXPECT_EQ(SolveLogPathFor(program + "Gyrix.ini", program, "/x/data", "/home/p"), program + "gyrix.db");
  const std::string data = dir.Path() + "/data";
  EXPECT_EQ(SolveLogPathFor(dir / "config/gyrix/Gyrix.ini", program, data.c_str(), "/home/p"),
            data + "/gyrix/gyrix.db");
  struct stat info {};
  EXPECT_EQ(stat((data + "/gyrix").c_str(), &info), 0);  // created
  EXPECT_EQ(SolveLogPathFor(dir / "config/gyrix/Gyrix.ini", program, "relative", dir.Path().c_str()),
            dir.Path() + "/.local/share/gyrix/gyrix.db");
  EXPECT_EQ(stat((dir.Path() + "/.local/share/gyrix").c_str(), &info), 0);
  EXPECT_EQ(SolveLogPathFor(dir / "c/Gyrix.ini", program, nullptr, nullptr), program + "gyrix.db");
}

}  // namespace
