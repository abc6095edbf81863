// A solve played back in the main window: its own puzzle, turned at once as the replay's
// clock reaches each turn, so that neither the game nor the log is touched.
#pragma once

#include <gyrix/session/session.h>
#include <gyrix/stats/replay.h>
#include <gyrix/stats/solvelog.h>

#include <cstdint>
#include <memory>
#include <string>

class CReplayView {
 public:
  // False when the solve's starting position cannot be read.
  static std::unique_ptr<CReplayView> Make(const CSolve& solve);

  CPuzzle* GetPuzzle() const { return m_player.GetPuzzle(); }
  CReplayClock& Clock() { return m_clock; }
  const CSolve& Solve() const { return m_solve; }
  // Makes or takes back turns until the puzzle shows the clock's turns.
  void Sync();
  int TurnsShown() const { return m_shown; }
  // Real time passing, from any millisecond clock.
  void Advance(std::uint64_t nowMs);
  void Restart(std::uint64_t nowMs) { m_lastMs = nowMs; }
  // "Replay of solve #12: 4.250 / 12.345 s, 1x, paused".
  std::string Describe() const;
  // The replay's time as the game's clock shows a time, "00:00:04".
  std::string ClockText() const;
  // Carries out a replay key; false for a key the replay does not take.
  bool Key(unsigned key, std::uint64_t nowMs);

 private:
  CReplayView(const CSolve& solve) : m_solve(solve), m_clock(solve.moves, solve.durationMs) {}

  CSolve m_solve;
  CReplayClock m_clock;
  CGameSession m_player;
  int m_shown = 0;
  std::uint64_t m_lastMs = 0;
};
