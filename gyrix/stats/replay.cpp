#include <gyrix/stats/replay.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSpeeds[CReplayClock::kSpeedCount] = {0.25, 0.5, 1, 2, 4};

}  // namespace

CReplayClock::CReplayClock(std::vector<CSolveTurn> turns, std::int64_t durationMs) : m_turns(std::move(turns)) {
  // A log written by hand may have turns out of order; a replay plays them in time order.
  std::stable_sort(m_turns.begin(), m_turns.end(), [](const CSolveTurn& a, const CSolveTurn& b) { return a.ms < b.ms; });
  const std::int64_t last = m_turns.empty() ? 0 : m_turns.back().ms;
  m_durationMs = std::max<std::int64_t>(std::max<std::int64_t>(durationMs, 0), last);
}

double CReplayClock::Speed() const { return kSpeeds[m_speed]; }

void CReplayClock::CatchUp() {
  while (m_done < TurnCount() && m_turns[m_done].ms <= m_timeMs) ++m_done;
}

void CReplayClock::Advance(std::int64_t realMs) {
  if (m_paused || realMs <= 0 || IsAtEnd()) return;
  const double step = static_cast<double>(realMs) * Speed() + m_fraction;
  const double whole = std::floor(step);
  m_fraction = step - whole;
  m_timeMs = std::min(m_durationMs, m_timeMs + static_cast<std::int64_t>(whole));
  CatchUp();
}

void CReplayClock::StepForward() {
  m_paused = true;
  m_fraction = 0;
  if (m_done < TurnCount()) {
    m_timeMs = m_turns[m_done].ms;
    ++m_done;
  } else {
    m_timeMs = m_durationMs;
  }
}

void CReplayClock::StepBack() {
  m_paused = true;
  m_fraction = 0;
  if (m_done > 0) --m_done;
  m_timeMs = m_done > 0 ? m_turns[m_done - 1].ms : 0;
}

void CReplayClock::Home() {
  m_timeMs = 0;
  m_fraction = 0;
  m_done = 0;
  CatchUp();  // turns at time zero are made at once
}

void CReplayClock::End() {
  m_timeMs = m_durationMs;
  m_fraction = 0;
  m_done = TurnCount();
}
