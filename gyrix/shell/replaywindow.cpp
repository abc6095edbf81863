// The main window's replay of a logged solve: its own puzzle drawn where the game's is, the
// replay's time on the clock and in the title, its keys, and the game back as it was at Esc.
#include <gyrix/shell/puzzledlg.h>

#include <gyrix/shell/replayview.h>
#include <gyrix/shell/solvehint.h>
#include <gyrix/stats/solvelog.h>

#include <platform/eventloop.h>

bool CPuzzleDlg::StartReplay(std::int64_t solveId) {
  if (!m_solveLog || !GetPuzzle()) return false;
  CSolve solve;
  std::unique_ptr<CReplayView> view;
  if (m_solveLog->GetSolve(solveId, solve)) view = CReplayView::Make(solve);
  if (!view) {
    ::MessageBox(this, "This solve cannot be replayed: its starting position is missing or damaged.", "Gyrix",
                 MB_OK | MB_ICONWARNING);
    return false;
  }
  if (m_solver) m_solver->Cancel();
  m_session.FinishTurns();
  m_session.StopClock();
  m_message.clear();
  m_replay = std::move(view);
  ApplyDisplaySettings(*m_replay->GetPuzzle());
  m_replay->Restart(CEventLoop::Now());
  FitView(false, m_replay->GetPuzzle());
  if (m_hWnd) {
    SetTimer(kReplayTimer, kReplayTickMs);
    ShowReplayTitle();
    Invalidate(FALSE);
  }
  return true;
}

void CPuzzleDlg::EndReplay() {
  if (!m_replay) return;
  m_replay.reset();
  if (m_hWnd) KillTimer(kReplayTimer);
  ShowPuzzleTitle();
  ResumeClock();
  if (m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::OnCancel() {
  // Esc ends a replay; otherwise it closes the window as it always has.
  if (m_replay) {
    EndReplay();
    return;
  }
  CDibDialog::OnCancel();
}

void CPuzzleDlg::TickReplay() {
  if (!m_replay) return;
  m_replay->Advance(CEventLoop::Now());
  ShowReplayTitle();
  Invalidate(FALSE);
}

void CPuzzleDlg::ReplayKey(UINT key) {
  if (key == VK_ESCAPE) {
    EndReplay();
    return;
  }
  if (m_replay->Key(key, CEventLoop::Now())) {
    ShowReplayTitle();
    Invalidate(FALSE);
  }
}

void CPuzzleDlg::ShowReplayTitle() {
  if (!m_replay || !m_hWnd) return;
  const std::string title = m_replay->Describe() + " (Space, Left, Right, +, -, Home, End; Esc ends)";
  char now[512] = "";
  GetWindowText(now, sizeof now);
  if (title != now) SetWindowText(title.c_str());
}

void CPuzzleDlg::PaintReplay(CDC* dc, CDib* dib) {
  if (m_replay && m_replay->GetPuzzle()) m_replay->GetPuzzle()->Draw(dc, dib);
}

std::string CPuzzleDlg::ReplayClockText() const { return m_replay ? m_replay->ClockText() : std::string(); }

int CPuzzleDlg::ReplayTurnsShown() const { return m_replay ? m_replay->TurnsShown() : 0; }

void CPuzzleDlg::FitReplayView() {
  if (m_replay && m_replay->GetPuzzle()) FitView(true, m_replay->GetPuzzle());
}
