// Turns, scrambling, the history of turns for undo and playback, and the solve clock.
#include <gyrix/engine/puzzle.h>

#include <cordak/urand.h>

#include <cstdlib>
#include <cstring>

namespace {

// A turn number as the one signed byte the history keeps.
unsigned char HistoryByte(int move) { return static_cast<unsigned char>(move & 0xFF); }
int FromHistoryByte(unsigned char b) { return static_cast<signed char>(b); }

}  // namespace

// ---- making turns ----

void CPuzzle::ApplyMove(int* values, int move) const {
  const CMove* turn = (values && move != 0) ? GetMove(TurnIndex(move)) : nullptr;
  if (!turn) return;
  const int length = turn->GetLength();
  const std::vector<int> copy(values, values + length);
  for (int i = 0; i < length; ++i) {
    const int to = turn->GetEntry(i);
    if (to < 0 || to >= length) continue;
    if (move > 0)
      values[to] = copy[i];
    else
      values[i] = copy[to];
  }
}

void CPuzzle::DoMove(int move, BOOL notify) {
  const CMove* turn = move != 0 ? GetMove(TurnIndex(move)) : nullptr;
  if (!turn) return;
  const int length = turn->GetLength();
  if (length > 0) {
    const std::vector<CFacelet*> byId = FaceletsById(length);
    std::vector<int> colours(length, -1);
    for (int i = 0; i < length; ++i) colours[i] = byId[i] ? byId[i]->GetColour() : -1;
    std::vector<int> moved(colours);
    ApplyMove(moved.data(), move);
    for (int i = 0; i < length; ++i)
      if (byId[i]) byId[i]->SetColour(moved[i]);
  }
  if (notify) UpdateSolved();
}

void CPuzzle::Scramble() {
  const int n = GetMoveCount();
  for (int i = 0; i < 4 * n; ++i) DoMove(DrawRandom(1, n), 1);
  BeginScrambledGame();
  m_solved = 0;
  m_scramblePending = 1;
}

void CPuzzle::Reset() {
  ResetColours();
  ResetView(0, 0);
  ClearHistory();
  m_solved = 1;
  StopClock(1);
}

int CPuzzle::DrawRandom(int low, int high) {
  return m_random ? m_random->Random(low, high) : Random(low, high);
}

void CPuzzle::BeginScrambledGame() {
  ClearHistory();
  StartClock(1);
}

// ---- history ----

BOOL CPuzzle::RecordMove(int move, BOOL queue) {
  if (move == 0 || move < -kMaxRecordableMove || move > kMaxRecordableMove) return 0;
  if (!queue) {
    unsigned char last = 0;
    if (m_history.ReverseRead(&last, 1)) {
      if (FromHistoryByte(last) == FromHistoryByte(HistoryByte(-move))) {
        // Turning a layer straight back cancels the turn.
        m_history.SetSize(m_history.GetOffset());
        return 1;
      }
      m_history.Write(&last, 1);
    }
  }
  unsigned char b = HistoryByte(move);
  m_history.Write(&b, 1);
  return 1;
}

BOOL CPuzzle::PlayNextMove(CWnd* wnd) {
  // The running turn plays the next one when it ends; taking a byte now would skip its turn.
  if (m_currentMove != 0) return 1;
  if (m_history.GetOffset() >= m_history.GetSize()) {
    m_playing = 0;
    return 0;
  }
  unsigned char b = 0;
  m_history.Read(&b, 1);
  StartMove(wnd, FromHistoryByte(b));
  return 1;
}

void CPuzzle::EraseHistoryByte(int at) {
  const int size = m_history.GetSize();
  if (at < 0 || at >= size) return;
  unsigned char* data = m_history.GetData();
  std::memmove(data + at, data + at + 1, size - at - 1);
  m_history.SetSize(size - 1);
}

BOOL CPuzzle::UndoMove(CWnd* wnd) {
  if (m_currentMove != 0) return 1;
  unsigned char last = 0;
  if (!m_history.ReverseRead(&last, 1)) return 0;
  // The undone turn leaves the history before its inverse starts, so a second undo during
  // that turn finds the turn before it.
  EraseHistoryByte(m_history.GetOffset());
  StartMove(wnd, -FromHistoryByte(last));
  return 1;
}

void CPuzzle::QueueMoves(const int* moves, int count) {
  if (!moves || count <= 0) return;
  // Turns still queued by an earlier macro play first: the new ones go after them. Bytes past
  // the position with nothing playing (a file saved mid-playback) were never made: dropped.
  const int start = m_history.GetOffset();
  if (!m_playing) m_history.SetSize(start);
  m_history.SeekToEnd();
  int queued = 0;
  for (int i = 0; i < count; ++i) queued += RecordMove(moves[i], 1);
  m_history.Seek(start, 0);
  if (queued) m_playing = 1;
}

void CPuzzle::DropQueuedMoves() {
  m_history.SetSize(m_history.GetOffset());
  m_playing = 0;
}

// ---- solve clock ----

// The clock's end follows the time while it runs on an unsolved puzzle, whether or not anyone
// paints it: everything that reads or stores the time brings it up to date first.
void CPuzzle::AdvanceClock() {
  if (m_clockRunning && !m_solved) m_clockEnd = CUTime::GetCurTime();
}

void CPuzzle::StartClock(BOOL fresh) {
  AdvanceClock();
  m_clockRunning = 1;
  const CUTimeSpan elapsed = m_clockEnd - m_clockStart;
  m_clockEnd = CUTime::GetCurTime();
  m_clockStart = m_clockEnd;
  if (!fresh) {
    m_clockStart -= elapsed;
  } else {
    // The turns beside the clock are counted from the fresh start.
    m_turnsMade = 0;
    m_scramblePending = 1;
  }
}

void CPuzzle::StopClock(BOOL reset) {
  AdvanceClock();
  m_clockRunning = 0;
  if (reset) {
    m_clockStart = m_clockEnd;
    m_scramblePending = 0;
  }
}

void CPuzzle::SetElapsedSeconds(long seconds) {
  m_clockEnd = CUTime::GetCurTime();
  m_clockStart = m_clockEnd;
  m_clockStart -= CUTimeSpan(seconds < 0 ? 0 : seconds);
}

long CPuzzle::GetElapsedSeconds() const {
  const CUTime end = (m_clockRunning && !m_solved) ? CUTime::GetCurTime() : m_clockEnd;
  return (end - m_clockStart).GetTotalSeconds();
}

CUString CPuzzle::GetElapsedText() {
  AdvanceClock();
  return (m_clockEnd - m_clockStart).Format("%H:%M:%S");
}
