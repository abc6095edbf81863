#include <gyrix/shell/replayview.h>

#include <gyrix/puzzles.h>

#include <platform/platform.h>

#include <cordak/buffer.h>

#include <cstdio>

std::unique_ptr<CReplayView> CReplayView::Make(const CSolve& solve) {
  std::unique_ptr<CPuzzle> puzzle(CreatePuzzle(solve.typeId));
  if (!puzzle || puzzle->GetTypeId() != solve.typeId || solve.position.empty()) return nullptr;
  CUBuffer record;
  record.Write(const_cast<std::uint8_t*>(solve.position.data()), static_cast<int>(solve.position.size()));
  record.SeekToBegin();
  if (puzzle->LoadFromBuffer(record) != 1) return nullptr;
  // The replay's own clock is the one shown: the puzzle's stands still.
  puzzle->StopClock(0);
  std::unique_ptr<CReplayView> view(new CReplayView(solve));
  view->m_player.SetPuzzle(std::move(puzzle), false);
  return view;
}

void CReplayView::Sync() {
  while (m_shown < m_clock.TurnsDone()) {
    m_player.Turn(m_clock.Turn(m_shown).move, ETurnSource::Replay);
    ++m_shown;
  }
  while (m_shown > m_clock.TurnsDone()) {
    --m_shown;
    m_player.Turn(-m_clock.Turn(m_shown).move, ETurnSource::Replay);
  }
}

void CReplayView::Advance(std::uint64_t nowMs) {
  if (nowMs > m_lastMs) m_clock.Advance(static_cast<std::int64_t>(nowMs - m_lastMs));
  m_lastMs = nowMs;
  Sync();
}

std::string CReplayView::Describe() const {
  char text[200];
  const double speed = m_clock.Speed();
  char speedText[16];
  if (speed < 1) std::snprintf(speedText, sizeof speedText, "1/%dx", static_cast<int>(1 / speed + 0.5));
  else std::snprintf(speedText, sizeof speedText, "%dx", static_cast<int>(speed + 0.5));
  std::snprintf(text, sizeof text, "Replay of solve #%lld: %lld.%03lld / %lld.%03lld s, turn %d of %d, %s%s",
                static_cast<long long>(m_solve.id), static_cast<long long>(m_clock.TimeMs() / 1000),
                static_cast<long long>(m_clock.TimeMs() % 1000), static_cast<long long>(m_solve.durationMs / 1000),
                static_cast<long long>(m_solve.durationMs % 1000), m_shown, m_clock.TurnCount(), speedText,
                m_clock.IsPaused() ? ", paused" : m_clock.IsAtEnd() ? ", at the end" : "");
  return text;
}

std::string CReplayView::ClockText() const {
  const long long seconds = m_clock.TimeMs() / 1000;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

bool CReplayView::Key(unsigned key, std::uint64_t nowMs) {
  // Time up to the key belongs to the speed it was played at.
  Advance(nowMs);
  switch (key) {
    case VK_SPACE: m_clock.TogglePause(); break;
    case VK_LEFT: m_clock.StepBack(); break;
    case VK_RIGHT: m_clock.StepForward(); break;
    case VK_OEM_PLUS:
    case VK_ADD: m_clock.Faster(); break;
    case VK_OEM_MINUS:
    case VK_SUBTRACT: m_clock.Slower(); break;
    case VK_HOME: m_clock.Home(); break;
    case VK_END: m_clock.End(); break;
    default: return false;
  }
  Sync();
  return true;
}
