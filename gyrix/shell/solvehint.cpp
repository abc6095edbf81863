#include <gyrix/shell/solvehint.h>

#include <gyrix/engine/puzzle.h>
#include <gyrix/solver/planesolve.h>

#include <algorithm>

namespace {

std::vector<int> ColoursOf(const CPuzzle& puzzle) {
  std::vector<int> colours;
  for (int id = 0; id < puzzle.GetMoveMaskLength(); ++id) colours.push_back(puzzle.GetFaceletColour(id));
  return colours;
}

}  // namespace

bool CSolveHint::Start(const CPuzzle& puzzle, bool whole) {
  if (IsThinking()) return false;
  Cancel();
  m_whole = whole;
  m_historySize = puzzle.GetHistorySize();
  m_historyPosition = puzzle.GetHistoryPosition();
  m_colours = ColoursOf(puzzle);
  m_cancel = false;
  m_done = false;
  m_progress = -1;
  if (IsPositionalType(puzzle.GetTypeId())) {
    // Where the pieces are, copied now: the worker never reads the puzzle the game turns.
    m_thread = std::thread([this, snapshot = TakePositionSnapshot(puzzle)] {
      CSolveOptions options;
      options.cancel = &m_cancel;
      m_result = SolvePosition(snapshot, options);
      m_done = true;
    });
    return true;
  }
  const std::string method = GetSolveMethod(puzzle);
  if (method.empty() || method == "lights") {
    // The lights puzzle's tables are at hand, and types without a method answer at once.
    m_result = SolvePuzzle(puzzle);
    m_done = true;
    m_thread = std::thread([] {});
    return true;
  }
  const int type = puzzle.GetTypeId();
  const int mode = puzzle.GetMode();
  m_thread = std::thread([this, type, mode] {
    CSolveOptions options;
    options.cancel = &m_cancel;
    options.progress = &m_progress;
    m_result = SolveColours(type, mode, m_colours, options);
    m_done = true;
  });
  return true;
}

bool CSolveHint::Poll(CSolveResult& out) {
  if (!m_thread.joinable() || !m_done.load()) return false;
  m_thread.join();
  out = m_result;
  return true;
}

void CSolveHint::Cancel() {
  m_cancel = true;
  if (m_thread.joinable()) m_thread.join();
}

bool CSolveHint::IsUnchanged(const CPuzzle& puzzle) const {
  return puzzle.GetHistorySize() == m_historySize && puzzle.GetHistoryPosition() == m_historyPosition &&
         ColoursOf(puzzle) == m_colours;
}

std::string CSolveHint::ThinkingText(int progress) {
  std::string text = "Gyrix is thinking...";
  if (progress >= 0) text += " (building tables, " + std::to_string(std::min(progress, 100)) + "%)";
  return text;
}

std::string CSolveHint::DistanceText(const CSolveResult& result) {
  if (result.distance >= 0)
    return std::to_string(result.distance) + (result.distance == 1 ? " turn to solve" : " turns to solve");
  return "about " + std::to_string(result.length) + " turns";
}
