// The facelet cursor in the main window: the arrow keys move it, Shift+arrow turns from it,
// Ctrl+arrow turns the view a step, Space (and Enter where a click does something) clicks.
#include <gyrix/shell/puzzledlg.h>

CFaceletCursor::EDirection CPuzzleDlg::CursorDirection(ECommand command, ECommand first) {
  // The four commands of each kind are listed left, right, up, down.
  switch (static_cast<int>(command) - static_cast<int>(first)) {
    case 0: return CFaceletCursor::EDirection::Left;
    case 1: return CFaceletCursor::EDirection::Right;
    case 2: return CFaceletCursor::EDirection::Up;
    default: return CFaceletCursor::EDirection::Down;
  }
}

void CPuzzleDlg::MoveCursor(CFaceletCursor::EDirection direction) {
  CPuzzle* puzzle = GetPuzzle();
  // The cursor points at facelets where they rest.
  if (!puzzle || puzzle->IsBusy()) return;
  ForgetDragPreview();
  if (m_cursor.Move(*puzzle, direction) && m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::TurnFromCursor(CFaceletCursor::EDirection direction) {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  // A turn asked for while another animates waits for it, as a drag does; the cursor's facelet
  // is the one it showed when the key was pressed.
  if (puzzle->IsBusy() && !m_session.GetQueueTurns()) return;
  if (!m_cursor.IsShown()) {
    MoveCursor(direction);
    return;
  }
  if (puzzle->IsBusy()) {
    if (m_waitingCursorTurns.size() < kMaxWaitingCursorTurns) m_waitingCursorTurns.push_back(direction);
    return;
  }
  const int from = m_cursor.GetFacelet();
  const int to = m_cursor.Target(*puzzle, direction);
  if (to < 0 || m_session.DragTurn(from, to, ETurnSource::Key) == 0) {
    MessageBeep(0);
    return;
  }
  m_cursorFollows = true;
  if (m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::TurnViewStep(CFaceletCursor::EDirection direction) {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  ResumeClock();
  // As a right-drag the same way: left and right turn about the upright axis.
  switch (direction) {
    case CFaceletCursor::EDirection::Left: puzzle->RotateViewY(-kViewStepDegrees); break;
    case CFaceletCursor::EDirection::Right: puzzle->RotateViewY(kViewStepDegrees); break;
    case CFaceletCursor::EDirection::Up: puzzle->RotateViewX(-kViewStepDegrees); break;
    case CFaceletCursor::EDirection::Down: puzzle->RotateViewX(kViewStepDegrees); break;
  }
  ForgetDragPreview();
  m_cursorFollows = true;
  if (m_hWnd) Invalidate(FALSE);
}

int CPuzzleDlg::CursorClickTurn() {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle || !m_cursor.IsShown() || puzzle->IsBusy()) return 0;
  const int at = m_cursor.GetFacelet();
  const int turn = puzzle->MoveFromDrag(at, at);
  // A click the position does not allow changes nothing: it is no click.
  return turn != 0 && !puzzle->GetTurningFacelets(turn).empty() ? turn : 0;
}

void CPuzzleDlg::ClickCursor() {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  if (!m_cursor.IsShown()) {
    if (m_cursor.Show(*puzzle) && m_hWnd) Invalidate(FALSE);
    return;
  }
  if (CursorClickTurn() == 0) {
    MessageBeep(0);
    return;
  }
  const int at = m_cursor.GetFacelet();
  if (m_session.DragTurn(at, at, ETurnSource::Key) != 0) m_cursorFollows = true;
  if (m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::HideCursor() {
  m_waitingCursorTurns.clear();
  if (m_cursor.Hide() && m_hWnd) Invalidate(FALSE);
}
