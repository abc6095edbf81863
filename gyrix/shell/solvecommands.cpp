// Hint (H) and Solve (Shift+H, and the button beside Scramble) in the main window.
#include <gyrix/shell/puzzledlg.h>
#include <gyrix/shell/solvehint.h>

namespace {

constexpr UINT kSolverPoll = 50;  // ms between looks at the worker

}  // namespace

void CPuzzleDlg::StartSolve(bool whole) {
  if (!GetPuzzle()) return;
  if (!m_solver) m_solver = std::make_unique<CSolveHint>();
  if (m_solver->IsThinking() || GetPuzzle()->IsBusy()) {
    MessageBeep(0);
    return;
  }
  if (!m_solver->Start(*GetPuzzle(), whole)) return;
  // The title says so while the worker thinks; FinishSolve puts the puzzle's title back.
  ShowThinking();
  SetTimer(kSolverTimer, kSolverPoll);
}

void CPuzzleDlg::ShowThinking() {
  m_thinkingProgress = m_solver->GetTableProgress();
  CUString title = PuzzleTitle();
  title += " - ";
  title += CSolveHint::ThinkingText(m_thinkingProgress).c_str();
  SetWindowText(title);
}

void CPuzzleDlg::FinishSolve() {
  CSolveResult result;
  if (!m_solver) return;
  if (!m_solver->Poll(result)) {
    if (m_solver->IsThinking() && GetPuzzle() && m_solver->GetTableProgress() != m_thinkingProgress) ShowThinking();
    return;
  }
  KillTimer(kSolverTimer);
  if (!GetPuzzle()) return;
  ShowPuzzleTitle();
  // A turn made while the worker thought makes its answer stale.
  if (!m_solver->IsUnchanged(*GetPuzzle()) || GetPuzzle()->IsBusy()) return;
  if (result.status != kSolveFound) {
    m_message = result.message.empty() ? std::string("Gyrix cannot solve this position.") : result.message;
    Invalidate(FALSE);
    return;
  }
  if (result.turns.empty()) return;
  m_session.MarkAssisted();
  const int count = m_solver->IsWhole() ? static_cast<int>(result.turns.size()) : 1;
  m_solver->playing = m_solver->IsWhole();
  CUString title = PuzzleTitle();
  title += " - ";
  // After a hint's turn the puzzle is one turn nearer.
  CSolveResult left = result;
  if (!m_solver->IsWhole()) {
    left.length -= 1;
    if (left.distance > 0) left.distance -= 1;
  }
  title += CSolveHint::DistanceText(left).c_str();
  SetWindowText(title);
  ResumeClock();
  m_session.QueueTurns(std::vector<int>(result.turns.begin(), result.turns.begin() + count),
                       m_solver->IsWhole() ? ETurnSource::Solver : ETurnSource::Hint);
  Invalidate(FALSE);
}

bool CPuzzleDlg::StopSolve() {
  if (!m_solver || !GetPuzzle()) return false;
  if (m_solver->IsThinking()) {
    // Any input of the player's ends the thinking; the input then goes on as usual.
    m_solver->Cancel();
    KillTimer(kSolverTimer);
    ShowPuzzleTitle();
    return false;
  }
  if (m_solver->playing && m_session.GetQueuedCount() > 0) {
    m_solver->playing = false;
    m_session.DropQueued();
    return true;
  }
  m_solver->playing = false;
  return false;
}
