// CReplayClock: the timing of a solve played back. It keeps the replay's own time, how many
// of the solve's turns are made at that time, the speed (a quarter to four times) and the
// pause; whoever shows the replay makes or takes back turns until its puzzle has TurnsDone.
#pragma once

#include <gyrix/stats/solvelog.h>

#include <cstdint>
#include <vector>

class CReplayClock {
 public:
  static constexpr int kSpeedCount = 5;  // 1/4, 1/2, 1, 2, 4

  CReplayClock(std::vector<CSolveTurn> turns, std::int64_t durationMs);

  // Real time passing while the replay plays (nothing while paused or at the end).
  void Advance(std::int64_t realMs);
  void TogglePause() { m_paused = !m_paused; }
  bool IsPaused() const { return m_paused; }
  // One turn on or back, pausing the replay; the clock shows that turn's time.
  void StepForward();
  void StepBack();
  void Faster() { if (m_speed + 1 < kSpeedCount) ++m_speed; }
  void Slower() { if (m_speed > 0) --m_speed; }
  double Speed() const;
  void Home();
  void End();

  std::int64_t TimeMs() const { return m_timeMs; }
  int TurnsDone() const { return m_done; }
  int TurnCount() const { return static_cast<int>(m_turns.size()); }
  const CSolveTurn& Turn(int i) const { return m_turns[i]; }
  bool IsAtEnd() const { return m_done == TurnCount() && m_timeMs >= m_durationMs; }

 private:
  void CatchUp();

  std::vector<CSolveTurn> m_turns;
  std::int64_t m_durationMs;
  std::int64_t m_timeMs = 0;
  double m_fraction = 0;  // the part of a millisecond slow speeds have not shown yet
  int m_done = 0;
  int m_speed = 2;
  bool m_paused = false;
};
