// The whole game in progress as bytes, and back: what keeps a game between runs and between
// one puzzle and the next.
//
// Layout (little-endian): "GSv1", the game as it is now (a snapshot), the undo steps oldest
// first, the redo steps in the order they are kept (the next to redo last). A snapshot is its
// type, mode, clock flags, model size, stopwatch, turn counts and the puzzle's own record.
#include <gyrix/session/session.h>

#include <gyrix/puzzles.h>

#include <cstring>

namespace {

constexpr std::uint32_t kGameMark = 0x31765347;  // "GSv1"
// Bounds, so that damaged bytes cannot ask for the moon.
constexpr std::uint32_t kMaxRecordBytes = 16u << 20;
constexpr std::uint32_t kMaxSteps = 4 * CGameSession::kMaxSnapshots;

}  // namespace

class CGameSession::CGameWriter {
 public:
  void U32(std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) m_out.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  void I64(std::int64_t v) {
    U32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) & 0xffffffffu));
    U32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) >> 32));
  }
  void Snap(const Snapshot& s) {
    U32(static_cast<std::uint32_t>(s.typeId));
    U32(static_cast<std::uint32_t>(s.mode));
    std::uint32_t size = 0;
    std::memcpy(&size, &s.modelSize, sizeof size);
    U32(size);
    U32((s.clockRunning ? 1u : 0u) | (s.solving ? 2u : 0u) | (s.assisted ? 4u : 0u));
    I64(s.solveMs);
    U32(static_cast<std::uint32_t>(s.solveTurns));
    U32(static_cast<std::uint32_t>(s.turnsShown));
    U32(static_cast<std::uint32_t>(s.record.size()));
    m_out.insert(m_out.end(), s.record.begin(), s.record.end());
  }
  void Step(const CommandStep& step) {
    U32(static_cast<std::uint32_t>(step.command));
    U32(static_cast<std::uint32_t>(step.seed));
    Snap(*step.before);
    Snap(*step.after);
  }
  std::vector<std::uint8_t> Take() { return std::move(m_out); }

 private:
  std::vector<std::uint8_t> m_out;
};

class CGameSession::CGameReader {
 public:
  explicit CGameReader(const std::vector<std::uint8_t>& in) : m_in(in) {}
  bool U32(std::uint32_t& v) {
    if (m_in.size() - m_at < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(m_in[m_at++]) << (8 * i);
    return true;
  }
  bool Int(int& v) {
    std::uint32_t u = 0;
    if (!U32(u)) return false;
    v = static_cast<int>(u);
    return true;
  }
  bool I64(std::int64_t& v) {
    std::uint32_t low = 0, high = 0;
    if (!U32(low) || !U32(high)) return false;
    v = static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
    return true;
  }
  bool Snap(Snapshot& s) {
    std::uint32_t size = 0, flags = 0, bytes = 0;
    if (!Int(s.typeId) || !Int(s.mode) || !U32(size) || !U32(flags) || flags > 7 || !I64(s.solveMs) ||
        s.solveMs < 0 || !Int(s.solveTurns) || !Int(s.turnsShown) || !U32(bytes) || bytes > kMaxRecordBytes ||
        m_in.size() - m_at < bytes)
      return false;
    std::memcpy(&s.modelSize, &size, sizeof size);
    s.clockRunning = (flags & 1) != 0;
    s.solving = (flags & 2) != 0;
    s.assisted = (flags & 4) != 0;
    s.record.assign(m_in.begin() + static_cast<std::ptrdiff_t>(m_at),
                    m_in.begin() + static_cast<std::ptrdiff_t>(m_at + bytes));
    m_at += bytes;
    return true;
  }
  bool Step(CommandStep& step) {
    std::uint32_t command = 0;
    if (!U32(command) || command > static_cast<std::uint32_t>(EGameCommand::Load) || !Int(step.seed)) return false;
    step.command = static_cast<EGameCommand>(command);
    step.before = std::make_shared<Snapshot>();
    step.after = std::make_shared<Snapshot>();
    return Snap(*step.before) && Snap(*step.after);
  }
  bool AtEnd() const { return m_at == m_in.size(); }

 private:
  const std::vector<std::uint8_t>& m_in;
  std::size_t m_at = 0;
};

bool CGameSession::StaysInGame(const CommandStep& step, int typeId, int mode) const {
  return step.before->typeId == typeId && step.before->mode == mode && step.after->typeId == typeId &&
         step.after->mode == mode;
}

std::vector<std::uint8_t> CGameSession::SaveGame() {
  // Between turns: a turn under way is kept once it has been made.
  if (!m_puzzle) return {};
  const int typeId = m_puzzle->GetTypeId();
  const int mode = m_puzzle->GetMode();
  std::shared_ptr<Snapshot> now = TakeSnapshot();

  // The undo steps after the last one that leaves this game; the redo steps likewise, from
  // the next one to redo.
  std::size_t firstUndo = m_commands.size();
  while (firstUndo > 0 && StaysInGame(m_commands[firstUndo - 1], typeId, mode)) --firstUndo;
  std::size_t firstRedo = m_redo.size();
  while (firstRedo > 0 && (!m_redo[firstRedo - 1].isCommand || StaysInGame(m_redo[firstRedo - 1].step, typeId, mode)))
    --firstRedo;

  CGameWriter out;
  out.U32(kGameMark);
  out.Snap(*now);
  out.U32(static_cast<std::uint32_t>(m_commands.size() - firstUndo));
  for (std::size_t i = firstUndo; i < m_commands.size(); ++i) out.Step(m_commands[i]);
  out.U32(static_cast<std::uint32_t>(m_redo.size() - firstRedo));
  for (std::size_t i = firstRedo; i < m_redo.size(); ++i) {
    const RedoStep& r = m_redo[i];
    out.U32(r.isCommand ? 1 : 0);
    if (r.isCommand) out.Step(r.step);
    else out.U32(static_cast<std::uint32_t>(r.move));
  }
  return out.Take();
}

bool CGameSession::RestoreGame(const std::vector<std::uint8_t>& bytes) {
  CGameReader in(bytes);
  std::uint32_t mark = 0, undoCount = 0, redoCount = 0;
  Snapshot now;
  if (!in.U32(mark) || mark != kGameMark || !in.Snap(now) || !in.U32(undoCount) || undoCount > kMaxSteps)
    return false;
  std::vector<CommandStep> commands(undoCount);
  for (CommandStep& step : commands)
    if (!in.Step(step) || !StaysInGame(step, now.typeId, now.mode)) return false;
  if (!in.U32(redoCount) || redoCount > kMaxSteps) return false;
  std::vector<RedoStep> redo(redoCount);
  for (RedoStep& r : redo) {
    std::uint32_t isCommand = 0;
    if (!in.U32(isCommand) || isCommand > 1) return false;
    r.isCommand = isCommand != 0;
    if (r.isCommand ? !in.Step(r.step) || !StaysInGame(r.step, now.typeId, now.mode) : !in.Int(r.move)) return false;
  }
  if (!in.AtEnd()) return false;
  std::unique_ptr<CPuzzle> restored = RestoreSnapshot(now);
  if (!restored || restored->GetMode() != now.mode) return false;

  FinishTurns();
  AdoptPuzzle(std::move(restored));
  m_commands = std::move(commands);
  m_redo = std::move(redo);
  m_solveTurns = now.solveTurns;
  m_solving = now.solving;
  m_assisted = now.assisted;
  m_stopwatchBanked = now.solveMs;
  m_stopwatchRunning = false;
  SyncStopwatch();
  Emit(MakeEvent(SGameEvent::EKind::PuzzleReplaced));
  return true;
}
