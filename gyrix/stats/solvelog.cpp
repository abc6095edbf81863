#include <gyrix/stats/solvelog.h>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace {

// Each entry takes the schema from the version before it to its own; entry 0 builds version 1.
// Later versions only ever append entries, so an old log is migrated, never rebuilt.
const char* const kMigrations[] = {
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE sessions("
    "  id INTEGER PRIMARY KEY, name TEXT NOT NULL, puzzle TEXT NOT NULL DEFAULT '',"
    "  imported INTEGER NOT NULL DEFAULT 0, created INTEGER NOT NULL);"
    "CREATE TABLE solves("
    "  id INTEGER PRIMARY KEY, type INTEGER NOT NULL, mode INTEGER NOT NULL,"
    "  session INTEGER NOT NULL REFERENCES sessions(id), started INTEGER NOT NULL,"
    "  duration INTEGER NOT NULL, penalty INTEGER NOT NULL DEFAULT 0, turns INTEGER NOT NULL,"
    "  assisted INTEGER NOT NULL DEFAULT 0, position BLOB, moves BLOB,"
    "  scramble TEXT NOT NULL DEFAULT '', comment TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX solves_by_type ON solves(type, mode, started);"
    "CREATE INDEX solves_by_session ON solves(session, started);"
    "CREATE TABLE games("
    "  type INTEGER NOT NULL, mode INTEGER NOT NULL, state BLOB NOT NULL,"
    "  updated INTEGER NOT NULL, PRIMARY KEY(type, mode));",
};
constexpr int kMigrationCount = sizeof kMigrations / sizeof kMigrations[0];
static_assert(kMigrationCount == CSolveLog::kSchemaVersion);

const char kSolveColumns[] =
    "id, type, mode, session, started, duration, penalty, turns, assisted, scramble, comment";

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

bool IsDamageCode(int code) {
  code &= 0xff;
  return code == SQLITE_CORRUPT || code == SQLITE_NOTADB || code == SQLITE_FORMAT;
}

bool IsLockCode(int code) {
  code &= 0xff;
  return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

}  // namespace

std::int64_t CSolve::CountedMs() const {
  if (penalty == kDnfPenalty) return kDnf;
  return durationMs + (penalty == kPlusTwo ? 2000 : 0);
}

double CSolve::TurnsPerSecond() const {
  return durationMs > 0 ? turns * 1000.0 / static_cast<double>(durationMs) : 0.0;
}

std::vector<std::uint8_t> EncodeTurns(const std::vector<CSolveTurn>& turns) {
  std::vector<std::uint8_t> out;
  out.reserve(turns.size() * 6);
  for (const CSolveTurn& t : turns) {
    const auto move = static_cast<std::uint16_t>(static_cast<std::int16_t>(t.move));
    out.push_back(move & 0xff);
    out.push_back(move >> 8);
    for (int shift = 0; shift < 32; shift += 8) out.push_back((t.ms >> shift) & 0xff);
  }
  return out;
}

bool DecodeTurns(const std::uint8_t* data, std::size_t size, std::vector<CSolveTurn>& out) {
  out.clear();
  if (size % 6 != 0) return false;
  out.reserve(size / 6);
  for (std::size_t i = 0; i < size; i += 6) {
    CSolveTurn t;
    t.move = static_cast<std::int16_t>(data[i] | (data[i + 1] << 8));
    t.ms = static_cast<std::uint32_t>(data[i + 2]) | static_cast<std::uint32_t>(data[i + 3]) << 8 |
           static_cast<std::uint32_t>(data[i + 4]) << 16 | static_cast<std::uint32_t>(data[i + 5]) << 24;
    out.push_back(t);
  }
  return true;
}

// A prepared statement that reports its failures to the log.
class CSolveLog::CStatement {
 public:
  CStatement(CSolveLog& log, const char* sql) : m_log(log) {
    if (!log.m_db) return;
    const int code = sqlite3_prepare_v2(log.m_db, sql, -1, &m_st, nullptr);
    if (code != SQLITE_OK) {
      log.Fail(code, "prepare");
      m_st = nullptr;
    }
  }
  ~CStatement() { sqlite3_finalize(m_st); }
  bool Ok() const { return m_st != nullptr; }
  void Bind(int i, std::int64_t v) { if (m_st) sqlite3_bind_int64(m_st, i, v); }
  void Bind(int i, const std::string& v) {
    if (m_st) sqlite3_bind_text(m_st, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
  void Bind(int i, const std::vector<std::uint8_t>& v) {
    if (m_st) sqlite3_bind_blob(m_st, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
  // True while there is a row; a failure is reported and ends the rows.
  bool Row() {
    if (!m_st) return false;
    const int code = sqlite3_step(m_st);
    if (code == SQLITE_ROW) return true;
    if (code != SQLITE_DONE) {
      m_log.Fail(code, "step");
      m_failed = true;
    }
    return false;
  }
  // Runs a statement without rows.
  bool Run() {
    Row();
    return m_st && !m_failed;
  }
  bool Failed() const { return !m_st || m_failed; }
  std::int64_t Int(int c) { return sqlite3_column_int64(m_st, c); }
  std::string Text(int c) {
    const unsigned char* text = sqlite3_column_text(m_st, c);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(m_st, c)) : std::string();
  }
  std::vector<std::uint8_t> Blob(int c) {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_st, c));
    return data ? std::vector<std::uint8_t>(data, data + sqlite3_column_bytes(m_st, c)) : std::vector<std::uint8_t>();
  }

 private:
  CSolveLog& m_log;
  sqlite3_stmt* m_st = nullptr;
  bool m_failed = false;
};

CSolveLog::CSolveLog() = default;
CSolveLog::~CSolveLog() { Close(); }

void CSolveLog::Close() {
  if (m_db) sqlite3_close_v2(m_db);
  m_db = nullptr;
  m_persistent = false;
  m_depth = 0;
}

std::string CSolveLog::TakeMessage() {
  std::string out;
  out.swap(m_message);
  return out;
}

void CSolveLog::Fail(int code, const char* what) {
  m_lastCode = code;
  if (m_depth > 0) m_rollbackOnly = true;
  if (m_failing) return;
  m_failing = true;
  const int primary = code & 0xff;
  if (primary == SQLITE_FULL)
    m_message = "The disk is full: the solve log cannot be written until there is room again.";
  else if (IsLockCode(code))
    m_message = "Another program holds the solve log locked: this change is not kept.";
  else if (IsDamageCode(code))
    m_message = "The solve log is damaged; it will be moved aside and started anew at the next start.";
  else
    m_message = std::string("The solve log cannot be written (") + what + ": " + sqlite3_errstr(code) + ").";
}

CSolveLog::OpenResult CSolveLog::Open(const std::string& path) {
  Close();
  m_movedAside.clear();
  m_failing = false;
  const OpenResult result = OpenFile(path);
  if (result == kOpened || result == kCreated) return result;
  std::string kept = "The solve log " + path;
  if (result == kMovedDamaged) {
    // Started anew after moving the damaged file aside.
    const std::string movedTo = m_movedAside;
    const OpenResult again = OpenFile(path);
    m_movedAside = movedTo;
    if (again == kOpened || again == kCreated) {
      m_message = "The solve log was damaged. It was kept as " + movedTo + " and a new one was started.";
      return kMovedDamaged;
    }
    kept = "The damaged solve log was kept as " + movedTo + "; a new one at " + path;
  }
  if (result == kNewer)
    m_message = kept + " was written by a newer Gyrix. It is left as it is; the solves of this run are not kept.";
  else if (result == kLocked)
    m_message = kept + " is locked by another program. The solves of this run are not kept.";
  else
    m_message = kept + " cannot be written. The solves of this run are not kept.";
  OpenInMemory();
  m_path = path;
  return result == kMovedDamaged ? kUnwritable : result;
}

CSolveLog::OpenResult CSolveLog::OpenFile(const std::string& path) {
  const bool existed = Exists(path);
  m_path = path;
  const int code = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (code != SQLITE_OK) {
    Close();
    return kUnwritable;
  }
  m_persistent = true;
  sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
  sqlite3_extended_result_codes(m_db, 1);
  if (sqlite3_db_readonly(m_db, "main") == 1) {
    Close();
    return kUnwritable;
  }

  // The first read finds out what the file is.
  int version = -1;
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) version = sqlite3_column_int(st, 0), rc = SQLITE_OK;
  }
  sqlite3_finalize(st);
  if (rc == SQLITE_OK && version >= 0) {
    rc = sqlite3_prepare_v2(m_db, "PRAGMA quick_check", -1, &st, nullptr);
    if (rc == SQLITE_OK) {
      rc = sqlite3_step(st);
      if (rc == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        rc = text && std::string(reinterpret_cast<const char*>(text)) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
      }
    }
    sqlite3_finalize(st);
  }
  if (rc != SQLITE_OK) {
    Close();
    if (IsDamageCode(rc)) {
      m_movedAside = MoveAside(path);
      return m_movedAside.empty() ? kUnwritable : kMovedDamaged;
    }
    return IsLockCode(rc) ? kLocked : kUnwritable;
  }
  if (version > kSchemaVersion) {
    Close();
    return kNewer;
  }
  m_lastCode = SQLITE_OK;
  const bool configured = Configure() && Migrate();
  const int trouble = m_lastCode;
  m_failing = false;
  m_message.clear();
  if (!configured && IsLockCode(trouble)) {
    Close();
    return kLocked;
  }
  // A plain SQL error while building the schema means tables of another shape: not a log.
  if (!configured && !IsDamageCode(trouble) && (trouble & 0xff) != SQLITE_ERROR) {
    Close();
    return kUnwritable;
  }
  if (!configured || !CheckSchema()) {
    // A database, but not a solve log this program can read: kept aside like a damaged one.
    Close();
    m_failing = false;
    m_message.clear();
    m_movedAside = MoveAside(path);
    return m_movedAside.empty() ? kUnwritable : kMovedDamaged;
  }
  return existed && version > 0 ? kOpened : kCreated;
}

void CSolveLog::OpenInMemory() {
  Close();
  m_failing = false;
  if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    Close();
    return;
  }
  m_path.clear();
  Configure();
  Migrate();
}

bool CSolveLog::Configure() {
  // WAL lets a second Gyrix read while this one writes; FULL makes each committed solve
  // survive a power cut as well as a kill.
  return Execute("PRAGMA journal_mode=WAL") && Execute("PRAGMA synchronous=FULL") &&
         Execute("PRAGMA foreign_keys=ON");
}

bool CSolveLog::Migrate() {
  return Transaction([&] {
    // Read again inside the transaction: another Gyrix may have migrated meanwhile.
    CStatement read(*this, "PRAGMA user_version");
    if (!read.Row()) return false;
    const int version = static_cast<int>(read.Int(0));
    if (version > kSchemaVersion) return false;
    for (int v = version; v < kSchemaVersion; ++v)
      if (!Execute(kMigrations[v])) return false;
    if (version != kSchemaVersion) {
      const std::string set = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
      if (!Execute(set.c_str())) return false;
    }
    return true;
  });
}

bool CSolveLog::CheckSchema() {
  // Every column this program reads, so a log of the right version but the wrong shape is
  // found now rather than at the first solve.
  const std::string sql = std::string("SELECT ") + kSolveColumns + ", position, moves FROM solves LIMIT 0";
  sqlite3_stmt* st = nullptr;
  bool ok = sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK;
  sqlite3_finalize(st);
  for (const char* check : {"SELECT id, name, puzzle, imported, created FROM sessions LIMIT 0",
                            "SELECT type, mode, state, updated FROM games LIMIT 0",
                            "SELECT key, value FROM meta LIMIT 0"}) {
    ok = ok && sqlite3_prepare_v2(m_db, check, -1, &st, nullptr) == SQLITE_OK;
    sqlite3_finalize(st);
  }
  return ok;
}

std::string CSolveLog::MoveAside(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm utc {};
  gmtime_r(&now, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &utc);
  std::string target = path + ".damaged-" + stamp;
  for (int n = 2; Exists(target) && n < 1000; ++n)
    target = path + ".damaged-" + stamp + "-" + std::to_string(n);
  if (Exists(target) || std::rename(path.c_str(), target.c_str()) != 0) return {};
  // The journal belongs to the damaged file; the shared-memory index is rebuilt anyway.
  std::rename((path + "-wal").c_str(), (target + "-wal").c_str());
  std::remove((path + "-shm").c_str());
  std::remove((path + "-journal").c_str());
  return target;
}

bool CSolveLog::Execute(const char* sql) {
  if (!m_db) return false;
  const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) {
    Fail(code, "write");
    return false;
  }
  return true;
}

bool CSolveLog::Begin() {
  if (m_depth++ > 0) return true;
  m_rollbackOnly = false;
  // IMMEDIATE takes the write lock now, so a second Gyrix waits here instead of failing
  // half-way through.
  if (!Execute("BEGIN IMMEDIATE")) {
    m_depth = 0;
    return false;
  }
  return true;
}

bool CSolveLog::Commit() {
  if (--m_depth > 0) return !m_rollbackOnly;
  if (m_rollbackOnly) {
    Rollback();
    return false;
  }
  if (!Execute("COMMIT")) {
    Rollback();
    return false;
  }
  Succeeded();
  return true;
}

void CSolveLog::Rollback() {
  if (m_db && !sqlite3_get_autocommit(m_db)) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
  m_depth = 0;
  m_rollbackOnly = false;
}

bool CSolveLog::Transaction(const std::function<bool()>& body) {
  if (!m_db || !Begin()) return false;
  if (!body()) {
    if (m_depth > 1) {
      m_rollbackOnly = true;
      --m_depth;
      return false;
    }
    Rollback();
    return false;
  }
  return Commit();
}

std::string CSolveLog::IntegrityCheck() {
  CStatement st(*this, "PRAGMA integrity_check");
  std::string out;
  while (st.Row()) {
    if (!out.empty()) out += '\n';
    out += st.Text(0);
  }
  return st.Failed() ? "cannot be read" : out;
}

std::int64_t CSolveLog::CurrentSession() {
  std::int64_t id = 0;
  const bool ok = Transaction([&] {
    CStatement read(*this, "SELECT CAST(value AS INTEGER) FROM meta WHERE key='session'");
    if (read.Row()) id = read.Int(0);
    if (read.Failed()) return false;
    CSolveSession s;
    if (id > 0 && GetSession(id, s)) return true;
    // The first session, or a fresh one if the current was lost.
    CStatement add(*this, "INSERT INTO sessions(name, created) VALUES('Session ' || "
                          "(SELECT COUNT(*) + 1 FROM sessions WHERE imported = 0), ?)");
    add.Bind(1, NowMs());
    if (!add.Run()) return false;
    id = sqlite3_last_insert_rowid(m_db);
    CStatement set(*this, "INSERT OR REPLACE INTO meta(key, value) VALUES('session', ?)");
    set.Bind(1, std::to_string(id));
    return set.Run();
  });
  if (!ok) id = 0;
  return id;
}

std::int64_t CSolveLog::NewSession(const std::string& name) {
  std::int64_t id = 0;
  const bool ok = Transaction([&] {
    CSolveSession s;
    s.name = name;
    s.createdMs = NowMs();
    id = AddSession(s);
    CStatement set(*this, "INSERT OR REPLACE INTO meta(key, value) VALUES('session', ?)");
    set.Bind(1, std::to_string(id));
    return id > 0 && set.Run();
  });
  if (!ok) id = 0;
  return id;
}

std::int64_t CSolveLog::AddSession(const CSolveSession& session) {
  std::int64_t id = 0;
  const bool ok = Transaction([&] {
    CStatement add(*this, "INSERT INTO sessions(name, puzzle, imported, created) VALUES(?, ?, ?, ?)");
    add.Bind(1, session.name);
    add.Bind(2, session.puzzle);
    add.Bind(3, session.imported ? 1 : 0);
    add.Bind(4, session.createdMs ? session.createdMs : NowMs());
    if (!add.Run()) return false;
    id = sqlite3_last_insert_rowid(m_db);
    return true;
  });
  if (!ok) id = 0;
  return id;
}

std::vector<CSolveSession> CSolveLog::ListSessions() {
  std::vector<CSolveSession> out;
  CStatement st(*this, "SELECT id, name, puzzle, imported, created FROM sessions ORDER BY id");
  while (st.Row()) out.push_back({st.Int(0), st.Text(1), st.Text(2), st.Int(3) != 0, st.Int(4)});
  return out;
}

bool CSolveLog::GetSession(std::int64_t id, CSolveSession& out) {
  CStatement st(*this, "SELECT id, name, puzzle, imported, created FROM sessions WHERE id = ?");
  st.Bind(1, id);
  if (!st.Row()) return false;
  out = {st.Int(0), st.Text(1), st.Text(2), st.Int(3) != 0, st.Int(4)};
  return true;
}

std::int64_t CSolveLog::AddSolve(CSolve& solve) {
  std::int64_t id = 0;
  const bool ok = Transaction([&] {
    const std::int64_t session = solve.session > 0 ? solve.session : CurrentSession();
    if (session <= 0) return false;
    CStatement add(*this,
                   "INSERT INTO solves(type, mode, session, started, duration, penalty, turns, assisted,"
                   " position, moves, scramble, comment) VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    add.Bind(1, solve.typeId);
    add.Bind(2, solve.mode);
    add.Bind(3, session);
    add.Bind(4, solve.startedMs);
    add.Bind(5, solve.durationMs);
    add.Bind(6, solve.penalty);
    add.Bind(7, solve.turns);
    add.Bind(8, solve.assisted ? 1 : 0);
    add.Bind(9, solve.position);
    add.Bind(10, EncodeTurns(solve.moves));
    add.Bind(11, solve.scramble);
    add.Bind(12, solve.comment);
    if (!add.Run()) return false;
    id = sqlite3_last_insert_rowid(m_db);
    solve.session = session;
    return true;
  });
  if (!ok) return 0;
  solve.id = id;
  return id;
}

bool CSolveLog::RestoreSolve(const CSolve& solve) {
  return Transaction([&] {
    CStatement add(*this,
                   "INSERT INTO solves(id, type, mode, session, started, duration, penalty, turns, assisted,"
                   " position, moves, scramble, comment) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)");
    add.Bind(1, solve.id);
    add.Bind(2, solve.typeId);
    add.Bind(3, solve.mode);
    add.Bind(4, solve.session);
    add.Bind(5, solve.startedMs);
    add.Bind(6, solve.durationMs);
    add.Bind(7, solve.penalty);
    add.Bind(8, solve.turns);
    add.Bind(9, solve.assisted ? 1 : 0);
    add.Bind(10, solve.position);
    add.Bind(11, EncodeTurns(solve.moves));
    add.Bind(12, solve.scramble);
    add.Bind(13, solve.comment);
    return add.Run();
  });
}

bool CSolveLog::DeleteSolve(std::int64_t id) {
  return Transaction([&] {
    CStatement st(*this, "DELETE FROM solves WHERE id = ?");
    st.Bind(1, id);
    return st.Run() && sqlite3_changes(m_db) == 1;
  });
}

bool CSolveLog::SetComment(std::int64_t id, const std::string& comment) {
  return Transaction([&] {
    CStatement st(*this, "UPDATE solves SET comment = ? WHERE id = ?");
    st.Bind(1, comment);
    st.Bind(2, id);
    return st.Run() && sqlite3_changes(m_db) == 1;
  });
}

bool CSolveLog::SetPenalty(std::int64_t id, int penalty) {
  if (penalty != CSolve::kNoPenalty && penalty != CSolve::kPlusTwo && penalty != CSolve::kDnfPenalty) return false;
  return Transaction([&] {
    CStatement st(*this, "UPDATE solves SET penalty = ? WHERE id = ?");
    st.Bind(1, penalty);
    st.Bind(2, id);
    return st.Run() && sqlite3_changes(m_db) == 1;
  });
}

// A row of kSolveColumns, followed by position and moves when withReplay.
CSolve CSolveLog::ReadSolveRow(CStatement& st, bool withReplay) {
  CSolve s;
  s.id = st.Int(0);
  s.typeId = static_cast<int>(st.Int(1));
  s.mode = static_cast<int>(st.Int(2));
  s.session = st.Int(3);
  s.startedMs = st.Int(4);
  s.durationMs = st.Int(5);
  s.penalty = static_cast<int>(st.Int(6));
  s.turns = static_cast<int>(st.Int(7));
  s.assisted = st.Int(8) != 0;
  s.scramble = st.Text(9);
  s.comment = st.Text(10);
  if (withReplay) {
    s.position = st.Blob(11);
    const std::vector<std::uint8_t> moves = st.Blob(12);
    if (!DecodeTurns(moves.data(), moves.size(), s.moves)) s.moves.clear();
  }
  return s;
}

bool CSolveLog::GetSolve(std::int64_t id, CSolve& out) {
  const std::string sql = std::string("SELECT ") + kSolveColumns + ", position, moves FROM solves WHERE id = ?";
  CStatement st(*this, sql.c_str());
  st.Bind(1, id);
  if (!st.Row()) return false;
  out = ReadSolveRow(st, true);
  return true;
}

std::string CSolveLog::FilterSql(const CSolveFilter& filter, const char* columns, const char* order) {
  std::string sql = std::string("SELECT ") + columns + " FROM solves WHERE 1";
  if (filter.typeId != CSolveFilter::kAny) sql += " AND type = ?1";
  if (filter.mode != CSolveFilter::kAny) sql += " AND mode = ?2";
  if (filter.session > 0) sql += " AND session = ?3";
  return sql + " ORDER BY " + order;
}

void CSolveLog::BindFilter(CStatement& st, const CSolveFilter& filter) {
  if (filter.typeId != CSolveFilter::kAny) st.Bind(1, filter.typeId);
  if (filter.mode != CSolveFilter::kAny) st.Bind(2, filter.mode);
  if (filter.session > 0) st.Bind(3, filter.session);
}

std::vector<CSolve> CSolveLog::ListSolves(const CSolveFilter& filter, bool withReplay) {
  std::vector<CSolve> out;
  const std::string columns = std::string(kSolveColumns) + (withReplay ? ", position, moves" : "");
  CStatement st(*this, FilterSql(filter, columns.c_str(), "started, id").c_str());
  BindFilter(st, filter);
  while (st.Row()) {
    out.push_back(ReadSolveRow(st, withReplay));
  }
  return out;
}

std::vector<std::int64_t> CSolveLog::CountedTimes(const CSolveFilter& filter) {
  std::vector<std::int64_t> out;
  CStatement st(*this, FilterSql(filter, "duration, penalty, assisted", "started, id").c_str());
  BindFilter(st, filter);
  while (st.Row()) {
    if (st.Int(2) != 0) continue;
    CSolve s;
    s.durationMs = st.Int(0);
    s.penalty = static_cast<int>(st.Int(1));
    out.push_back(s.CountedMs());
  }
  return out;
}

int CSolveLog::CountSolves() {
  CStatement st(*this, "SELECT COUNT(*) FROM solves");
  return st.Row() ? static_cast<int>(st.Int(0)) : 0;
}

bool CSolveLog::SaveGame(int typeId, int mode, const std::vector<std::uint8_t>& state) {
  return Transaction([&] {
    CStatement st(*this, "INSERT OR REPLACE INTO games(type, mode, state, updated) VALUES(?, ?, ?, ?)");
    st.Bind(1, typeId);
    st.Bind(2, mode);
    st.Bind(3, state);
    st.Bind(4, NowMs());
    return st.Run();
  });
}

bool CSolveLog::LoadGame(int typeId, int mode, std::vector<std::uint8_t>& state) {
  CStatement st(*this, "SELECT state FROM games WHERE type = ? AND mode = ?");
  st.Bind(1, typeId);
  st.Bind(2, mode);
  if (!st.Row()) return false;
  state = st.Blob(0);
  return true;
}

bool CSolveLog::DeleteGame(int typeId, int mode) {
  return Transaction([&] {
    CStatement st(*this, "DELETE FROM games WHERE type = ? AND mode = ?");
    st.Bind(1, typeId);
    st.Bind(2, mode);
    return st.Run();
  });
}
