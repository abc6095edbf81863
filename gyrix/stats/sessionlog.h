// CSessionLog: a game session listened to on behalf of the solve log. Every solve of a
// scrambled puzzle goes to the log when it is solved (assisted when Hint or Solve helped), and
// the game in progress of each type and mode is kept: written at most about a second after
// it last changed (the running clock is a change), at once on Flush, and brought back into the
// session by Resume.
//
// It lives beside the log rather than in the session so that the session stays free of the
// database; the window and gyrix-tool play both hang one on their session.
#pragma once

#include <gyrix/session/session.h>
#include <gyrix/stats/recorder.h>

#include <cstdint>
#include <functional>
#include <vector>

class CSessionLog : public IGameListener {
 public:
  // The time of day in Unix milliseconds (UTC), when a solve starts.
  using UnixClock = std::function<std::int64_t()>;

  CSessionLog(CSolveLog& log, CGameSession& session, UnixClock unixMs = {});
  ~CSessionLog() override;
  CSessionLog(const CSessionLog&) = delete;
  CSessionLog& operator=(const CSessionLog&) = delete;

  void OnGameEvent(const SGameEvent& event) override;

  // Brings back the kept game of this type and mode with its own undo and redo; false,
  // leaving the session as it was, when none is kept or it cannot be read.
  bool Resume(int typeId, int mode);
  // A few times a second, between turns: notes the game again after a change and while its
  // clock runs, and writes what waited a second.
  void Tick();
  // Writes the game in progress and every solve not written yet, now (at exit).
  bool Flush();
  // Notes the game as it is now (between turns), before it is left for another.
  void NoteGame();
  // What the last solve set ("new best ..."); taken once, then recorded is false.
  CSolveRecorder::CResult TakeResult();

  CSolveRecorder& GetRecorder() { return m_recorder; }
  CGameKeeper& GetKeeper() { return m_keeper; }

 private:
  // The game as it is now, with the solve under way, handed to the keeper.
  void Capture();
  void StartSolveHere();
  void SolveEnded(const SGameEvent& event);

  CSolveLog& m_log;
  CGameSession& m_session;
  UnixClock m_unixMs;
  CSolveRecorder m_recorder;
  CGameKeeper m_keeper;
  bool m_resuming = false;
  bool m_noteAgain = false;
  std::vector<std::uint8_t> m_resumedSolve;
  CSolveRecorder::CResult m_result;
};

// The kept form of a game: the session's bytes and the solve under way (may be empty).
std::vector<std::uint8_t> PackKeptGame(const std::vector<std::uint8_t>& game, const std::vector<std::uint8_t>& solve);
bool UnpackKeptGame(const std::vector<std::uint8_t>& kept, std::vector<std::uint8_t>& game,
                    std::vector<std::uint8_t>& solve);
