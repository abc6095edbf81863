// Running a turn: the animation timer on the window, one frame per tick, and what happens when
// the last frame has been shown.
#include <gyrix/engine/puzzle.h>

#include <platform/wnd.h>

namespace {

// A window that exists can run timers and receive messages.
bool IsLiveWindow(CWnd* wnd) { return wnd && wnd->GetSafeHwnd(); }

}  // namespace

BOOL CPuzzle::StartMove(CWnd* wnd, int move) {
  if (m_currentMove != 0) return 0;
  if (move == 0 || GetAnimatedMove(move) < 0) {
    m_playing = 0;
    return 0;
  }
  m_currentMove = move;
  m_frame = 0;
  // Without a window to animate in, the turn is made at once rather than left running forever.
  if (!IsLiveWindow(wnd) || !wnd->SetTimer(kAnimationTimer, static_cast<UINT>(m_animationInterval)))
    CompleteMove(wnd);
  return 1;
}

void CPuzzle::AnimateStep(CWnd* wnd, CDC* dc, CDib* dib) {
  if (m_currentMove == 0) {
    // Playback is armed but its first turn has not started: show the puzzle at rest and start it.
    Draw(dc, dib);
    if (m_playing) PlayNextMove(wnd);
    return;
  }
  ++m_frame;
  DrawMoveFrame(dc, dib, m_currentMove, GetMoveStep(m_currentMove) * m_frame);
  if (m_frame >= GetMoveFrames(m_currentMove)) CompleteMove(wnd);
}

void CPuzzle::CompleteMove(CWnd* wnd) {
  const int move = m_currentMove;
  if (move == 0) return;
  const bool live = IsLiveWindow(wnd);
  if (live) wnd->KillTimer(kAnimationTimer);
  const int wasSolved = m_solved;
  AdvanceClock();  // a solving turn stops the time when it ends
  DoMove(move, 1);
  m_currentMove = 0;
  ++m_turnsMade;
  // Decided before the next queued turn runs, which without a window happens right here.
  const bool rewarded = !wasSolved && m_solved && m_scramblePending;
  if (rewarded) m_scramblePending = 0;
  // A puzzle whose turns are made when they start has reported the turn then.
  const bool heard = NotifyTurnCompleted(IsTurnMadeOnStart() ? 0 : move, rewarded);
  if (live) wnd->Invalidate(FALSE);
  // Without an animation the next queued turn would start from inside this one; play the
  // queue from the outermost turn instead, so a long queue never deepens the stack.
  if (m_playing && !m_draining) {
    m_draining = 1;
    while (m_playing && m_currentMove == 0) PlayNextMove(wnd);
    m_draining = 0;
  }
  // One scramble is rewarded once; the window shows the time.
  if (rewarded && live && !heard) wnd->PostMessage(WM_COMMAND, kSolvedCommand, 0);
}

void CPuzzle::CompleteAllMoves(CWnd* wnd) {
  while (m_currentMove != 0) CompleteMove(wnd);
}
