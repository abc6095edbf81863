// CSolveLog: the solve log, the player's sessions and the games in progress, kept in one
// SQLite database.
//
// Every write is one transaction. Trouble never stops the game: a damaged file is moved aside
// (renamed with the date) and a new one started; a file from a newer program, one that stays
// locked or one that cannot be written is left as it is and the log runs in memory for this
// run. Each time, TakeMessage gives one sentence for the player. A failing write (a full disk)
// gives its message once until writing works again.
#pragma once

#include <gyrix/stats/statistics.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One turn of a solve: the turn number as the puzzle knows it (negative: the other way) and
// when it was made, in milliseconds from the start of the solve.
struct CSolveTurn {
  int move = 0;
  std::uint32_t ms = 0;
  bool operator==(const CSolveTurn& o) const { return move == o.move && ms == o.ms; }
};

struct CSolve {
  static constexpr int kNoPenalty = 0;
  static constexpr int kPlusTwo = 2000;
  static constexpr int kDnfPenalty = -1;
  static constexpr int kForeignType = -1;  // an imported solve of a puzzle this program lacks

  std::int64_t id = 0;
  int typeId = kForeignType;
  int mode = 0;
  std::int64_t session = 0;    // 0: the current session, when adding
  std::int64_t startedMs = 0;  // Unix time, milliseconds, UTC
  std::int64_t durationMs = 0;
  int penalty = kNoPenalty;
  int turns = 0;
  bool assisted = false;       // Hint or Solve was used: listed, never counted
  std::vector<std::uint8_t> position;  // the puzzle record of the scrambled puzzle
  std::vector<CSolveTurn> moves;       // every turn, for replay
  std::string scramble;        // the scramble as text, for other timers
  std::string comment;

  // The time that counts: the duration with a +2, or kDnf.
  std::int64_t CountedMs() const;
  double TurnsPerSecond() const;
};

struct CSolveSession {
  std::int64_t id = 0;
  std::string name;
  std::string puzzle;     // for an imported session: the other timer's puzzle code
  bool imported = false;
  std::int64_t createdMs = 0;
};

// Which solves: kAny matches every value.
struct CSolveFilter {
  static constexpr int kAny = -2;
  int typeId = kAny;
  int mode = kAny;
  std::int64_t session = 0;  // 0: every session
};

class CSolveLog {
 public:
  enum OpenResult { kOpened, kCreated, kMovedDamaged, kNewer, kLocked, kUnwritable };
  static constexpr int kSchemaVersion = 1;
  // How long a write waits by default for another Gyrix to finish its own.
  static constexpr int kBusyTimeoutMs = 3000;

  CSolveLog();
  ~CSolveLog();
  CSolveLog(const CSolveLog&) = delete;
  CSolveLog& operator=(const CSolveLog&) = delete;

  // Opens or creates the log at path (its folder must exist). Whatever happens the log is
  // usable afterwards; all but kOpened and kCreated leave a message.
  OpenResult Open(const std::string& path);
  // For the next Open.
  void SetBusyTimeout(int ms) { m_busyTimeoutMs = ms; }
  void OpenInMemory();
  void Close();
  bool IsOpen() const { return m_db != nullptr; }
  // Whether the log lives in a file (not in memory for this run).
  bool IsPersistent() const { return m_persistent; }
  const std::string& GetPath() const { return m_path; }
  // The message for the player about the last trouble, once; empty when there is none.
  std::string TakeMessage();
  // Where the last damaged file went, for the message and the tests.
  const std::string& GetMovedAsidePath() const { return m_movedAside; }

  // Solves. AddSolve gives the new id (0 on failure) and puts it in solve.id.
  std::int64_t AddSolve(CSolve& solve);
  // Puts a deleted solve back with its id.
  bool RestoreSolve(const CSolve& solve);
  bool DeleteSolve(std::int64_t id);
  bool SetComment(std::int64_t id, const std::string& comment);
  bool SetPenalty(std::int64_t id, int penalty);
  // With its position and turns; false when there is no such solve.
  bool GetSolve(std::int64_t id, CSolve& out);
  // Oldest first, without positions and turns unless asked.
  std::vector<CSolve> ListSolves(const CSolveFilter& filter, bool withReplay = false);
  // The times that count (no assisted solves), oldest first.
  std::vector<std::int64_t> CountedTimes(const CSolveFilter& filter);
  CStatistics Statistics(const CSolveFilter& filter) { return ComputeStatistics(CountedTimes(filter)); }
  int CountSolves();

  // Sessions. There is always a current one for new solves of this program's own puzzles.
  std::int64_t CurrentSession();
  std::int64_t NewSession(const std::string& name);
  std::int64_t AddSession(const CSolveSession& session);  // does not make it current
  std::vector<CSolveSession> ListSessions();
  bool GetSession(std::int64_t id, CSolveSession& out);

  // The game in progress of a type and mode, as the session stores it.
  bool SaveGame(int typeId, int mode, const std::vector<std::uint8_t>& state);
  bool LoadGame(int typeId, int mode, std::vector<std::uint8_t>& state);
  bool DeleteGame(int typeId, int mode);

  // Runs body in one transaction (nested calls join the outer one); a false body or a failed
  // statement rolls everything back.
  bool Transaction(const std::function<bool()>& body);
  // "ok", or what SQLite's integrity check found.
  std::string IntegrityCheck();
  // A statement without results, for tests and tools.
  bool Execute(const char* sql);

 private:
  class CStatement;
  friend class CStatement;

  OpenResult OpenFile(const std::string& path);
  bool Configure();
  bool Migrate();
  bool CheckSchema();
  std::string MoveAside(const std::string& path);
  void Fail(int code, const char* what);
  void Succeeded() { m_failing = false; }
  bool Begin();
  bool Commit();
  void Rollback();
  std::string FilterSql(const CSolveFilter& filter, const char* columns, const char* order);
  void BindFilter(CStatement& st, const CSolveFilter& filter);
  static CSolve ReadSolveRow(CStatement& st, bool withReplay);

  sqlite3* m_db = nullptr;
  bool m_persistent = false;
  std::string m_path;
  std::string m_message;
  std::string m_movedAside;
  bool m_failing = false;
  int m_lastCode = 0;
  int m_busyTimeoutMs = kBusyTimeoutMs;
  int m_depth = 0;
  bool m_rollbackOnly = false;
};

// The turns of a solve in their stored form (6 bytes each), and back; false for a record of
// another length.
std::vector<std::uint8_t> EncodeTurns(const std::vector<CSolveTurn>& turns);
bool DecodeTurns(const std::uint8_t* data, std::size_t size, std::vector<CSolveTurn>& out);
