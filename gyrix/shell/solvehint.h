// Hint and Solve in the main window: the solver runs on a worker thread while the window goes
// on; the window polls it on a timer and plays its answer as queued turns.
#pragma once

#include <gyrix/solver/solver.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class CPuzzle;

class CSolveHint {
 public:
  ~CSolveHint() { Cancel(); }

  // Starts solving the puzzle's colours as they are now; whole: play every turn, else one.
  // False while a solve is still thinking.
  bool Start(const CPuzzle& puzzle, bool whole);
  bool IsThinking() const { return m_thread.joinable() && !m_done.load(); }
  bool IsRunning() const { return m_thread.joinable(); }
  // Once the worker is done: true with its answer, and the solve is over.
  bool Poll(CSolveResult& out);
  // Stops the worker and waits for it.
  void Cancel();

  bool IsWhole() const { return m_whole; }
  // Whether the puzzle is still where the solve started (nothing turned since).
  bool IsUnchanged(const CPuzzle& puzzle) const;
  // How far the worker has come building a one-time table (0..100), -1 when it builds none.
  int GetTableProgress() const { return m_progress.load(); }
  // The window's title while the worker thinks: "Gyrix is thinking...", with the table's
  // progress while one is built.
  static std::string ThinkingText(int progress);
  // "N turns to solve" where the distance is exact, "about N turns" otherwise.
  static std::string DistanceText(const CSolveResult& result);

  // Set while the window plays a whole solution, so that any input stops it.
  bool playing = false;

 private:
  std::thread m_thread;
  std::atomic<bool> m_cancel{false};
  std::atomic<bool> m_done{false};
  std::atomic<int> m_progress{-1};
  CSolveResult m_result;
  bool m_whole = false;
  int m_historySize = 0;
  int m_historyPosition = 0;
  std::vector<int> m_colours;
};
