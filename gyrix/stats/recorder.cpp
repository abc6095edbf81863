#include <gyrix/stats/recorder.h>

namespace {

// Bounds of a saved solve under way, so a damaged record cannot ask for the moon.
constexpr std::uint32_t kMaxRecordBytes = 64u << 20;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back((v >> shift) & 0xff);
}

void PutBytes(std::vector<std::uint8_t>& out, const std::uint8_t* data, std::size_t size) {
  PutU32(out, static_cast<std::uint32_t>(size));
  out.insert(out.end(), data, data + size);
}

class CReader {
 public:
  explicit CReader(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
  bool U32(std::uint32_t& v) {
    if (m_bytes.size() - m_at < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(m_bytes[m_at++]) << (8 * i);
    return true;
  }
  bool Bytes(std::vector<std::uint8_t>& out) {
    std::uint32_t size = 0;
    if (!U32(size) || size > kMaxRecordBytes || m_bytes.size() - m_at < size) return false;
    out.assign(m_bytes.begin() + m_at, m_bytes.begin() + m_at + size);
    m_at += size;
    return true;
  }
  bool AtEnd() const { return m_at == m_bytes.size(); }

 private:
  const std::vector<std::uint8_t>& m_bytes;
  std::size_t m_at = 0;
};

constexpr std::uint32_t kUnderWayMark = 0x31765753;  // "SWv1"

}  // namespace

void CSolveRecorder::Scrambled(int typeId, int mode, std::vector<std::uint8_t> position, std::string scramble,
                               std::int64_t unixMs) {
  m_underWay = CSolve();
  m_underWay.typeId = typeId;
  m_underWay.mode = mode;
  m_underWay.position = std::move(position);
  m_underWay.scramble = std::move(scramble);
  m_underWay.startedMs = unixMs;
  m_active = true;
}

void CSolveRecorder::Turned(int move, std::uint32_t ms) {
  if (m_active && move != 0) m_underWay.moves.push_back({move, ms});
}

CSolveRecorder::CResult CSolveRecorder::Solved(std::int64_t ms, int turns) {
  CResult result;
  if (!m_active) return result;
  m_active = false;
  CSolve solve = std::move(m_underWay);
  m_underWay = CSolve();
  solve.durationMs = ms;
  solve.turns = turns;
  // Earlier solves first, so the bests compare against everything already taken.
  RetryPending();
  CSolveFilter filter;
  filter.typeId = solve.typeId;
  filter.mode = solve.mode;
  const CStatistics before = solve.assisted ? CStatistics() : m_log.Statistics(filter);
  if (m_log.AddSolve(solve) <= 0) {
    solve.session = 0;
    m_pending.push_back(std::move(solve));
    return result;
  }
  result.recorded = true;
  result.id = solve.id;
  if (solve.assisted) return result;
  const CStatistics after = m_log.Statistics(filter);
  auto improved = [](const CStatValue& now, const CStatValue& earlier) { return !earlier.IsNone() && now.Beats(earlier); };
  result.newBestSingle = improved(after.best, before.best);
  result.newBestAo5 = improved(after.averages[1].best, before.averages[1].best);
  result.newBestAo12 = improved(after.averages[2].best, before.averages[2].best);
  return result;
}

bool CSolveRecorder::RetryPending() {
  while (!m_pending.empty()) {
    if (m_log.AddSolve(m_pending.front()) <= 0) return false;
    m_pending.erase(m_pending.begin());
  }
  return true;
}

std::vector<std::uint8_t> CSolveRecorder::SaveUnderWay() const {
  std::vector<std::uint8_t> out;
  if (!m_active) return out;
  PutU32(out, kUnderWayMark);
  PutU32(out, static_cast<std::uint32_t>(m_underWay.typeId));
  PutU32(out, static_cast<std::uint32_t>(m_underWay.mode));
  PutU32(out, static_cast<std::uint32_t>(m_underWay.startedMs & 0xffffffffu));
  PutU32(out, static_cast<std::uint32_t>(static_cast<std::uint64_t>(m_underWay.startedMs) >> 32));
  PutU32(out, m_underWay.assisted ? 1 : 0);
  PutBytes(out, m_underWay.position.data(), m_underWay.position.size());
  PutBytes(out, reinterpret_cast<const std::uint8_t*>(m_underWay.scramble.data()), m_underWay.scramble.size());
  const std::vector<std::uint8_t> turns = EncodeTurns(m_underWay.moves);
  PutBytes(out, turns.data(), turns.size());
  return out;
}

bool CSolveRecorder::RestoreUnderWay(const std::vector<std::uint8_t>& bytes) {
  m_active = false;
  m_underWay = CSolve();
  CReader in(bytes);
  std::uint32_t mark = 0, type = 0, mode = 0, low = 0, high = 0, assisted = 0;
  std::vector<std::uint8_t> position, scramble, turns;
  if (!in.U32(mark) || mark != kUnderWayMark || !in.U32(type) || !in.U32(mode) || !in.U32(low) || !in.U32(high) ||
      !in.U32(assisted) || assisted > 1 || !in.Bytes(position) || !in.Bytes(scramble) || !in.Bytes(turns) || !in.AtEnd())
    return false;
  CSolve s;
  if (!DecodeTurns(turns.data(), turns.size(), s.moves)) return false;
  s.typeId = static_cast<int>(type);
  s.mode = static_cast<int>(mode);
  s.startedMs = static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
  s.assisted = assisted != 0;
  s.position = std::move(position);
  s.scramble.assign(scramble.begin(), scramble.end());
  m_underWay = std::move(s);
  m_active = true;
  return true;
}

void CGameKeeper::Changed(int typeId, int mode, std::vector<std::uint8_t> state, std::int64_t nowMs) {
  if (m_unsaved.empty()) m_firstChangeMs = nowMs;
  m_unsaved[{typeId, mode}] = std::move(state);
}

bool CGameKeeper::Tick(std::int64_t nowMs) {
  if (m_unsaved.empty()) return true;
  // Counted from the oldest unsaved change, so steady play is still written every second.
  if (nowMs - m_firstChangeMs < kDelayMs) return false;
  const bool ok = Flush();
  if (!ok) m_firstChangeMs = nowMs;  // try again a second later
  return ok;
}

bool CGameKeeper::Flush() {
  if (m_unsaved.empty()) return true;
  const bool ok = m_log.Transaction([&] {
    for (const auto& [key, state] : m_unsaved)
      if (!m_log.SaveGame(key.first, key.second, state)) return false;
    return true;
  });
  if (ok) m_unsaved.clear();
  return ok;
}

bool CGameKeeper::FindUnsaved(int typeId, int mode, std::vector<std::uint8_t>& state) const {
  const auto it = m_unsaved.find({typeId, mode});
  if (it == m_unsaved.end()) return false;
  state = it->second;
  return true;
}
