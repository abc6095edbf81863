// Running a turn: the animation timer on the window, one frame per tick, and what happens when
// the last frame has been shown.
#include <gyrix/engine/puzzle.h>

#include <platform/wnd.h>

#include <algorithm>
#include <cmath>

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
  m_shownAngle = 0;
  m_turnProgress = 0;
  if (m_animationClock) m_turnLastMs = m_animationClock();
  // Without a window to animate in, the turn is made at once rather than left running forever.
  if (!IsLiveWindow(wnd) || !wnd->SetTimer(kAnimationTimer, static_cast<UINT>(GetAnimationTimerPeriod())))
    CompleteMove(wnd);
  return 1;
}

void CPuzzle::SetSmoothAnimation(bool on, bool easing, int framePeriodMs, AnimationClock clock) {
  m_smoothAnimation = on;
  m_easing = easing;
  m_framePeriod = std::max(framePeriodMs, 1);
  m_animationClock = std::move(clock);
}

bool CPuzzle::IsRunningSmoothly() {
  return m_smoothAnimation && m_animationClock && m_currentMove != 0 && CanDrawAnyAngle(m_currentMove);
}

int CPuzzle::GetAnimationTimerPeriod() {
  return IsRunningSmoothly() ? std::min(m_framePeriod, m_animationInterval) : m_animationInterval;
}

double CPuzzle::EaseInOut(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

void CPuzzle::AnimateSmoothStep(CWnd* wnd, CDC* dc, CDib* dib) {
  const std::int64_t now = m_animationClock();
  // The pace may change while the turn runs (input waiting): the time left goes at the new one.
  const int frames = std::max(GetMoveFrames(m_currentMove), 1);
  const double duration = static_cast<double>(frames) * std::max(m_animationInterval, 1);
  // A gap longer than a frame could take (a pause, a dialog) is not time the turn ran.
  constexpr std::int64_t kLongestFrameMs = 100;
  const double elapsed = static_cast<double>(std::clamp<std::int64_t>(now - m_turnLastMs, 0, kLongestFrameMs));
  m_turnLastMs = now;
  m_turnProgress = std::min(1.0, m_turnProgress + elapsed / duration);
  const double shown = m_easing ? EaseInOut(m_turnProgress) : m_turnProgress;
  const int full = GetMoveStep(m_currentMove) * frames;
  m_shownAngle = static_cast<int>(std::lround(full * shown));
  // The frame count follows the angle, for the classes that read it while painting.
  m_frame = std::min(frames, static_cast<int>(std::floor(frames * shown)));
  DrawMoveFrame(dc, dib, m_currentMove, m_shownAngle);
  m_lastFrameAngle = m_shownAngle;
  if (m_turnProgress >= 1.0) CompleteMove(wnd);
}

void CPuzzle::AnimateStep(CWnd* wnd, CDC* dc, CDib* dib) {
  if (m_currentMove == 0) {
    // Playback is armed but its first turn has not started: show the puzzle at rest and start it.
    Draw(dc, dib);
    if (m_playing) PlayNextMove(wnd);
    return;
  }
  if (IsRunningSmoothly()) {
    AnimateSmoothStep(wnd, dc, dib);
    return;
  }
  ++m_frame;
  m_shownAngle = GetMoveStep(m_currentMove) * m_frame;
  DrawMoveFrame(dc, dib, m_currentMove, m_shownAngle);
  m_lastFrameAngle = m_shownAngle;
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
