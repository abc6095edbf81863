#include <gyrix/stats/sessionlog.h>

#include <cordak/buffer.h>

#include <chrono>

namespace {

constexpr std::uint32_t kKeptMark = 0x31764b47;  // "GKv1"

std::int64_t SystemUnixMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

bool GetU32(const std::vector<std::uint8_t>& in, std::size_t& at, std::uint32_t& v) {
  if (in.size() - at < 4) return false;
  v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(in[at++]) << (8 * i);
  return true;
}

bool GetPart(const std::vector<std::uint8_t>& in, std::size_t& at, std::vector<std::uint8_t>& out) {
  std::uint32_t size = 0;
  if (!GetU32(in, at, size) || in.size() - at < size) return false;
  out.assign(in.begin() + static_cast<std::ptrdiff_t>(at), in.begin() + static_cast<std::ptrdiff_t>(at + size));
  at += size;
  return true;
}

std::vector<std::uint8_t> PuzzleRecord(CPuzzle& puzzle) {
  CUBuffer record;
  puzzle.Write(record);
  return std::vector<std::uint8_t>(record.GetData(), record.GetData() + record.GetSize());
}

bool IsHelp(ETurnSource source) { return source == ETurnSource::Hint || source == ETurnSource::Solver; }

}  // namespace

std::vector<std::uint8_t> PackKeptGame(const std::vector<std::uint8_t>& game, const std::vector<std::uint8_t>& solve) {
  std::vector<std::uint8_t> out;
  out.reserve(game.size() + solve.size() + 12);
  PutU32(out, kKeptMark);
  PutU32(out, static_cast<std::uint32_t>(game.size()));
  out.insert(out.end(), game.begin(), game.end());
  PutU32(out, static_cast<std::uint32_t>(solve.size()));
  out.insert(out.end(), solve.begin(), solve.end());
  return out;
}

bool UnpackKeptGame(const std::vector<std::uint8_t>& kept, std::vector<std::uint8_t>& game,
                    std::vector<std::uint8_t>& solve) {
  std::size_t at = 0;
  std::uint32_t mark = 0;
  return GetU32(kept, at, mark) && mark == kKeptMark && GetPart(kept, at, game) && GetPart(kept, at, solve) &&
         at == kept.size();
}

CSessionLog::CSessionLog(CSolveLog& log, CGameSession& session, UnixClock unixMs)
    : m_log(log),
      m_session(session),
      m_unixMs(unixMs ? std::move(unixMs) : UnixClock(SystemUnixMilliseconds)),
      m_recorder(log),
      m_keeper(log) {
  m_session.AddListener(this);
}

CSessionLog::~CSessionLog() { m_session.RemoveListener(this); }

void CSessionLog::StartSolveHere() {
  CPuzzle* p = m_session.GetPuzzle();
  if (!p) return;
  m_recorder.Scrambled(p->GetTypeId(), p->GetMode(), PuzzleRecord(*p), std::string(), m_unixMs());
  if (m_session.IsAssisted()) m_recorder.Assisted();
}

void CSessionLog::SolveEnded(const SGameEvent& e) {
  if (m_session.IsAssisted()) m_recorder.Assisted();
  m_result = m_recorder.Solved(e.solveMs, e.turns);
}

void CSessionLog::OnGameEvent(const SGameEvent& e) {
  using K = SGameEvent::EKind;
  const auto ms = static_cast<std::uint32_t>(m_session.GetSolveMilliseconds());
  switch (e.kind) {
    case K::Scrambled:
      StartSolveHere();
      break;
    case K::TurnMade:
    case K::TurnRedone:
      if (IsHelp(e.source)) m_recorder.Assisted();
      m_recorder.Turned(e.move, ms);
      break;
    case K::TurnUndone:
      m_recorder.Turned(-e.move, ms);
      break;
    case K::Solved:
      SolveEnded(e);
      break;
    case K::Reset:
    case K::ModeChanged:
      m_recorder.Abandoned();
      break;
    case K::PuzzleReplaced:
      if (!m_resuming || m_resumedSolve.empty() || !m_recorder.RestoreUnderWay(m_resumedSolve) ||
          m_recorder.UnderWay().typeId != e.typeId || m_recorder.UnderWay().mode != e.mode || !m_session.IsSolving())
        m_recorder.Abandoned();
      break;
    case K::CommandUndone:
    case K::CommandRedone:
      // A game brought back by undo or redo just as it was scrambled is a fresh solve; one
      // brought back in the middle cannot be told turn by turn any more.
      if (m_session.IsSolving() && m_session.GetSolveTurns() == 0) StartSolveHere();
      break;
    case K::Paused:
    case K::Resumed:
      break;
  }
  // A turn made at once (no window to animate it) is told before the puzzle's history has
  // it: the game is noted again at the next tick.
  m_noteAgain = true;
  Capture();
}

void CSessionLog::Capture() {
  CPuzzle* p = m_session.GetPuzzle();
  if (!p) return;
  const int typeId = p->GetTypeId();
  const int mode = p->GetMode();
  std::vector<std::uint8_t> solve;
  if (m_recorder.IsUnderWay() && m_recorder.UnderWay().typeId == typeId && m_recorder.UnderWay().mode == mode)
    solve = m_recorder.SaveUnderWay();
  m_keeper.Changed(typeId, mode, PackKeptGame(m_session.SaveGame(), solve), m_session.Now());
}

bool CSessionLog::Resume(int typeId, int mode) {
  std::vector<std::uint8_t> kept, game;
  if (!m_keeper.FindUnsaved(typeId, mode, kept) && !m_log.LoadGame(typeId, mode, kept)) return false;
  m_resumedSolve.clear();
  if (!UnpackKeptGame(kept, game, m_resumedSolve)) return false;
  m_resuming = true;
  const bool ok = m_session.RestoreGame(game);
  m_resuming = false;
  m_resumedSolve.clear();
  return ok && m_session.GetPuzzle() && m_session.GetPuzzle()->GetTypeId() == typeId;
}

void CSessionLog::Tick() {
  CPuzzle* p = m_session.GetPuzzle();
  // The clock's time is part of the game: a running one is noted, between turns.
  if (p && !m_session.IsBusy() && (m_noteAgain || (p->IsClockRunning() && !p->IsSolved()))) {
    Capture();
    m_noteAgain = false;
  }
  if (m_recorder.PendingCount() > 0) m_recorder.RetryPending();
  m_keeper.Tick(m_session.Now());
}

void CSessionLog::NoteGame() {
  if (m_session.GetPuzzle() && !m_session.IsBusy()) Capture();
}

bool CSessionLog::Flush() {
  NoteGame();
  const bool solves = m_recorder.RetryPending();
  return m_keeper.Flush() && solves;
}

CSolveRecorder::CResult CSessionLog::TakeResult() {
  CSolveRecorder::CResult result = m_result;
  m_result = CSolveRecorder::CResult();
  return result;
}
