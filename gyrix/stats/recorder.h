// CSolveRecorder: turns what happens in a game into the solve log. The game tells it of a
// scramble (the solve's starting position), each turn with its time, help used, and the end:
// solved (the solve is committed at once, when the congratulations appear) or abandoned.
//
// CGameKeeper: keeps the game in progress of every type and mode in the log, written at
// most about a second after its last change, and at once on Flush (at exit).
#pragma once

#include <gyrix/stats/solvelog.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class CSolveRecorder {
 public:
  struct CResult {
    bool recorded = false;  // committed now (else kept to retry, when there was a solve)
    std::int64_t id = 0;
    bool newBestSingle = false;
    bool newBestAo5 = false;
    bool newBestAo12 = false;
  };

  explicit CSolveRecorder(CSolveLog& log) : m_log(log) {}

  // A fresh scramble starts a solve from this position (the puzzle record).
  void Scrambled(int typeId, int mode, std::vector<std::uint8_t> position, std::string scramble, std::int64_t unixMs);
  // A turn made or redone is its turn; an undone one is the turn back (-move). ms counts from
  // the start of the solve.
  void Turned(int move, std::uint32_t ms);
  // Hint or Solve was used: the solve is listed but never counted.
  void Assisted() { m_underWay.assisted = true; }
  // Reset, another puzzle, a new scramble: the solve under way is not one.
  void Abandoned() { m_active = false; }
  bool IsUnderWay() const { return m_active; }
  const CSolve& UnderWay() const { return m_underWay; }

  // The solve under way is solved in ms with turns turns: committed, with the bests it set
  // among this type and mode ("new best" needs an earlier best to beat).
  CResult Solved(std::int64_t ms, int turns);
  // Commits solves a failing log could not take yet; true when none is left.
  bool RetryPending();
  std::size_t PendingCount() const { return m_pending.size(); }

  // The solve under way as bytes, so a resumed game can go on with it; Restore refuses (false)
  // a record it cannot read and then leaves no solve under way.
  std::vector<std::uint8_t> SaveUnderWay() const;
  bool RestoreUnderWay(const std::vector<std::uint8_t>& bytes);

 private:
  CSolveLog& m_log;
  CSolve m_underWay;
  bool m_active = false;
  std::vector<CSolve> m_pending;
};

class CGameKeeper {
 public:
  static constexpr std::int64_t kDelayMs = 1000;

  explicit CGameKeeper(CSolveLog& log) : m_log(log) {}
  // The game of typeId and mode is now state (at nowMs, any steady clock).
  void Changed(int typeId, int mode, std::vector<std::uint8_t> state, std::int64_t nowMs);
  // Called often (a few times a second): writes what changed a second or more ago, or that
  // has waited since the last write that long. True when nothing is left to write.
  bool Tick(std::int64_t nowMs);
  // Writes everything now, all in one transaction.
  bool Flush();
  bool HasUnsaved() const { return !m_unsaved.empty(); }
  // The game of typeId and mode as it was last changed, when it has not been written yet.
  bool FindUnsaved(int typeId, int mode, std::vector<std::uint8_t>& state) const;

 private:
  CSolveLog& m_log;
  std::map<std::pair<int, int>, std::vector<std::uint8_t>> m_unsaved;
  std::int64_t m_firstChangeMs = 0;
};
