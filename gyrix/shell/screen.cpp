// The main window's input, its clock and the composition of every frame it shows.
#include <gyrix/shell/puzzledlg.h>

#include <gyrix/shell/menubutton.h>
#include <gyrix/shell/replayview.h>
#include <gyrix/puzzles.h>

#include <chrono>
#include <cstring>

namespace {

constexpr const char* kPausedText = "\r\n\r\n\r\nPaused";
constexpr const char* kSolvedFormat = "Congratulations!\r\n\r\nYou have solved the %s puzzle in %s.";
constexpr const char* kAssistedFormat =
    "Congratulations!\r\n\r\nThe %s puzzle is solved, with help from Hint or Solve: an assisted solve, "
    "so no record time.";
constexpr BYTE kClockInk = 249;  // palette index of the digits' ink
constexpr int kClockMargin = 10;
// The message text stays inside the scroll's paper.
constexpr int kPanelTextMarginX = 45;
constexpr int kPanelTextMarginY = 30;

}  // namespace

void CPuzzleDlg::PreBlt(CDC* dc, CDib* dib) {
  const auto started = std::chrono::steady_clock::now();
  CDibDialog::PreBlt(dc, dib);
  ComposeScreen(dc, dib);
  const auto took = std::chrono::steady_clock::now() - started;
  WriteFrameLog(std::chrono::duration_cast<std::chrono::microseconds>(took).count());
}

void CPuzzleDlg::ComposeScreen(CDC* dc, CDib* dib) {
  CRect client;
  GetClientRect(&client);
  if (m_tile.GetBits()) m_tile.Tile(dc, client);
  // A paused clock must not be time to study the position: the pause hides the puzzle (a
  // running turn waits until it ends).
  const bool paused = m_message == kPausedText;
  // A replay shows its own puzzle, paused or not.
  CPuzzle* painted = m_replay ? m_replay->GetPuzzle() : paused ? nullptr : GetPuzzle();
  // Smooth edges: the 8-bit screen is composed as ever, puzzle included, and the puzzle is
  // painted again with coverage into the 32-bit frame that is presented over it.
  const bool smooth = m_smooth && painted && dib;
  if (smooth) {
    KeepSmoothBackground(dib, client);
    m_painter.Begin(client);
    painted->SetSmoothPainter(&m_painter, true);
  }
  CPuzzle* const replayed = m_replay ? m_replay->GetPuzzle() : nullptr;
  if (m_replay) PaintReplay(dc, dib);
  else if (painted) m_session.Paint(dc, dib);
  m_sessionPainted = !m_replay && painted;
  // Painting may have replaced the game's puzzle (a queued undo of a command); the new one was
  // never given the painter.
  if (smooth && (replayed ? replayed == painted : GetPuzzle() == painted)) painted->SetSmoothPainter(nullptr, false);
  CRect area;
  if (smooth) {
    const RECT bounds = m_painter.GetBounds();
    area.IntersectRect(CRect(bounds.left, bounds.top, bounds.right, bounds.bottom), client);
  }
  // What the overlays cover of the puzzle is told by drawing them twice over different pixels.
  if (!area.IsRectEmpty()) {
    m_underOverlays.resize(static_cast<size_t>(area.Width()) * area.Height());
    for (int y = area.top; y < area.bottom; ++y)
      std::memcpy(&m_underOverlays[static_cast<size_t>(y - area.top) * area.Width()], dib->RowAddress(y) + area.left,
                  static_cast<size_t>(area.Width()));
  }
  DrawOverlays(dc, dib);
  if (smooth && m_hWnd) PresentSmoothPuzzle(dc, dib, area);
  else if (m_hWnd) ShowSmoothFrame(CRect());
}

void CPuzzleDlg::DrawOverlays(CDC* dc, CDib* dib) {
  CRect client;
  GetClientRect(&client);
  // The drag preview marks the game's facelets where they rest (a running turn shows its own
  // motion), over the puzzle as every overlay is.
  if (!m_replay && m_message != kPausedText && GetPuzzle() && !GetPuzzle()->IsBusy()) {
    m_dragPreview.Paint(dc, *GetPuzzle());
    // The cursor finds its place in the picture just painted.
    if (m_cursorFollows && m_cursor.IsShown()) m_cursor.Follow(*GetPuzzle());
    m_cursorFollows = false;
    m_cursor.Paint(dc, *GetPuzzle());
    // A cursor turn that waited is made now that the picture is at rest, outside the painting.
    if (!m_waitingCursorTurns.empty() && m_hWnd) PostMessage(WM_COMMAND, IDC_CURSOR_TURN, 0);
  }
  if (m_showButtons) {
    for (int i = 0; i < m_buttons.GetCount(); ++i) GetTopLevelButton(i)->DrawButton(this, dib);
    if (CMenuButton* open = CMenuButton::GetOpenMenu()) open->DrawButton(this, dib);
  }
  if (m_showTimer) {
    DrawClock(dib);
    DrawTurnCounter(dc);
  }
  if (IsMessageShown()) {
    CPoint at((client.Width() - m_panel.Width()) / 2, (client.Height() - m_panel.Height()) / 2);
    m_panel.Draw(dib, at);
    CFont* oldFont = m_messageFont.GetSafeHandle() ? dc->SelectObject(&m_messageFont) : nullptr;
    dc->SetBkMode(TRANSPARENT);
    CRect text(at.x + kPanelTextMarginX, at.y + kPanelTextMarginY,
               at.x + m_panel.Width() - kPanelTextMarginX, at.y + m_panel.Height() - kPanelTextMarginY);
    // A message longer than the scroll holds (a solve with its new bests) is written smaller.
    CRect measure = text;
    dc->DrawText(m_message.c_str(), static_cast<int>(m_message.size()), &measure, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    if (measure.bottom > text.bottom) {
      if (!m_smallMessageFont.GetSafeHandle())
        CDibWnd::CreatePointFont(m_smallMessageFont, 180, const_cast<char*>("Times New Roman"), 400, 0, 0);
      if (m_smallMessageFont.GetSafeHandle()) dc->SelectObject(&m_smallMessageFont);
    }
    dc->DrawText(m_message.c_str(), static_cast<int>(m_message.size()), &text, DT_CENTER | DT_WORDBREAK);
    if (oldFont) dc->SelectObject(oldFont);
  }
}

void CPuzzleDlg::KeepSmoothBackground(CDib* dib, const CRect& client) {
  SmoothBackgroundKey key;
  key.tileVersion = m_tileVersion;
  key.size = client.Size();
  key.colour = GetBackgroundColor();
  if (const RGBQUAD* table = dib->ColorTable()) key.colours.assign(table, table + dib->ColorTableSize());
  const SmoothBackgroundKey& kept = m_smoothBackgroundKey;
  const bool same = kept.tileVersion == key.tileVersion && kept.size == key.size && kept.colour == key.colour &&
                    kept.colours.size() == key.colours.size() &&
                    std::memcmp(kept.colours.data(), key.colours.data(), key.colours.size() * sizeof(RGBQUAD)) == 0;
  if (same && m_smoothBackground.Width() == client.Width() && m_smoothBackground.Height() == client.Height()) return;
  // The image holds the background alone now: the tile, or the window's colour.
  if (!m_smoothBackground.Resize(client.Width(), client.Height())) return;
  m_smoothBackground.CopyFrom(*dib, client);
  m_smoothBackgroundKey = std::move(key);
}

void CPuzzleDlg::PresentSmoothPuzzle(CDC* dc, CDib* dib, const CRect& area) {
  CImage32* frame = SmoothFrame();
  if (!frame || area.IsRectEmpty() || m_smoothBackground.Width() != frame->Width() ||
      m_smoothBackground.Height() != frame->Height() || dib->Width() != frame->Width() ||
      dib->Height() != frame->Height()) {
    ShowSmoothFrame(CRect());
    return;
  }
  frame->CopyFrom(m_smoothBackground, area);
  m_painter.Paint(*frame);

  // The overlays again, over pixels that all differ from the first time: where they drew the
  // same pixel both times, they cover the puzzle.
  const int width = area.Width();
  std::vector<BYTE> first(static_cast<size_t>(width) * area.Height());
  for (int y = area.top; y < area.bottom; ++y) {
    BYTE* row = dib->RowAddress(y) + area.left;
    BYTE* kept = &first[static_cast<size_t>(y - area.top) * width];
    const BYTE* under = &m_underOverlays[static_cast<size_t>(y - area.top) * width];
    std::memcpy(kept, row, static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) row[x] = static_cast<BYTE>(under[x] ^ 0x80);
  }
  DrawOverlays(dc, dib);
  std::uint32_t colours[256] = {};
  if (const RGBQUAD* table = dib->ColorTable())
    for (int i = 0; i < dib->ColorTableSize() && i < 256; ++i)
      colours[i] = (std::uint32_t(table[i].rgbRed) << 16) | (std::uint32_t(table[i].rgbGreen) << 8) | table[i].rgbBlue;
  for (int y = area.top; y < area.bottom; ++y) {
    BYTE* row = dib->RowAddress(y) + area.left;
    const BYTE* kept = &first[static_cast<size_t>(y - area.top) * width];
    std::uint32_t* out = frame->Row(y) + area.left;
    for (int x = 0; x < width; ++x)
      if (row[x] == kept[x]) out[x] = colours[kept[x]];
    std::memcpy(row, kept, static_cast<size_t>(width));
  }
  ShowSmoothFrame(area);
}

void CPuzzleDlg::DrawClock(CDib* dib) {
  if (!GetPuzzle() || !m_digits[0]) return;
  CUString text = m_replay ? CUString(ReplayClockText().c_str()) : GetPuzzle()->GetElapsedText();
  BYTE map[256];
  for (int i = 0; i < 256; ++i) map[i] = static_cast<BYTE>(i);
  UINT ink = CDibWnd::cm_palette.GetNearestPaletteIndex(m_timerColor);
  if (ink < 256) map[kClockInk] = static_cast<BYTE>(ink);
  CRect client;
  GetClientRect(&client);
  CPoint at(kClockMargin, client.bottom - m_digits[0]->Height() - kClockMargin);
  for (const char* c = text; *c; ++c) {
    CFrame* frame = nullptr;
    if (*c == ':') frame = m_digits[10];
    else if (*c >= '0' && *c <= '9') frame = m_digits[*c - '0'];
    if (!frame) continue;
    frame->Draw(dib, at, 0, map);
    at.x += frame->Width();
  }
}

void CPuzzleDlg::ResumeClock() { m_session.ResumeClock(); }

void CPuzzleDlg::DismissMessage() {
  m_message.clear();
  ResumeClock();
  Invalidate(FALSE);
}

void CPuzzleDlg::TogglePause() {
  CPuzzle* puzzle = GetPuzzle();
  if (puzzle && puzzle->IsClockShown() && !puzzle->IsSolved()) {
    m_message = kPausedText;
    m_session.StopClock();
    Invalidate(FALSE);
  } else {
    MessageBeep(0);
  }
}

void CPuzzleDlg::OnSolved() {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  m_session.StopClock();
  // Taken in any case, so that a later solve never shows this one's bests.
  const std::string bests = NewBestLines();
  if (m_session.IsAssisted()) {
    CUString text;
    text.Format(kAssistedFormat, puzzle->GetName());
    m_message = static_cast<const char*>(text);
  } else if (puzzle->GetElapsedSeconds() != 0) {
    CUString text;
    CUString elapsed = puzzle->GetElapsedText();
    text.Format(kSolvedFormat, puzzle->GetName(), static_cast<const char*>(elapsed));
    m_message = static_cast<const char*>(text) + bests;
  }
  Invalidate(FALSE);
}

// ---------------------------------------------------------------------------------------------
// Messages

void CPuzzleDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    if (!m_icon.GetBits()) return;
    CRect client;
    GetClientRect(&client);
    m_icon.Draw(&dc, CPoint((client.Width() - m_icon.Width()) / 2, (client.Height() - m_icon.Height()) / 2));
    return;
  }
  CDibDialog::OnPaint();
}

void CPuzzleDlg::OnSysCommand(UINT id, LPARAM lParam) {
  if (id == IDM_ABOUTBOX) RunAbout();
  else if (id == IDM_OPTIONS) RunOptions();
  else CDibDialog::OnSysCommand(id, lParam);
}

void CPuzzleDlg::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (m_replay) return ReplayKey(key);
  if (StopSolve()) return;
  if (IsMessageShown()) {
    DismissMessage();
    return;
  }
  int layers = 1;
  bool innerOnly = false;
  const ECommand command =
      GetPuzzle() ? CommandForKey(static_cast<int>(key), HeldModifiers(), layers, innerOnly) : ECommand::None;
  // Enter, Escape and F1 reach the window as its OK, Cancel and Help before they come here.
  const bool dialogKey = key == VK_RETURN || key == VK_ESCAPE || key == VK_F1;
  if (command == ECommand::None || dialogKey) {
    CDibDialog::OnKeyDown(key, repeat, flags);
    return;
  }
  if (IsCubeTurnCommand(command)) SpeedcubeTurn(command, layers, innerOnly);
  else RunCommand(command);
  // The pause key also goes on to the window as it always has.
  if (command == ECommand::Pause) CDibDialog::OnKeyDown(key, repeat, flags);
}

void CPuzzleDlg::OnLButtonDown(UINT flags, CPoint point) {
  CDibDialog::OnLButtonDown(flags, point);
  if (m_replay) return;  // the game waits for the replay to end
  if (StopSolve()) return;
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  // While a turn animates, a press waits with its drag like any other input (when turns are
  // queued); buttons wait for the puzzle to rest.
  if (puzzle->IsBusy() && !m_session.GetQueueTurns()) return;
  if (IsMessageShown()) {
    DismissMessage();
    return;
  }
  m_pressedFacelet = puzzle->GetFaceletAt(point);
  if (m_pressedFacelet != -1) {
    SetCapture();
    m_pressPoint = point;
    if (m_dragPreview.Drag(*puzzle, m_pressedFacelet, m_pressedFacelet)) Invalidate(FALSE);
  }
  if (!puzzle->IsBusy() && HitButtons()) Invalidate(FALSE);
}

void CPuzzleDlg::OnLButtonUp(UINT flags, CPoint point) {
  CDibDialog::OnLButtonUp(flags, point);
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  if (m_pressedFacelet != -1) {
    // The press is let go whatever happens: only the window that took the capture turns.
    const int from = m_pressedFacelet;
    m_pressedFacelet = -1;
    const bool captured = GetCapture() == this;
    if (captured) ReleaseCapture();
    const int to = puzzle->GetFaceletAt(point);
    // The preview asks the rule about the release's facelet too: a turn that the position
    // does not allow (a light's click) is refused as one the rule does not name.
    m_dragPreview.Drag(*puzzle, from, to);
    const bool allowed = m_dragPreview.GetPreviewTurn() != 0;
    const bool turned = captured && to != -1 && m_session.DragTurn(from, to, ETurnSource::Mouse) != 0;
    if (m_dragPreview.Release(turned && allowed) && !(turned && allowed)) SetTimer(kPreviewTimer, CDragPreview::kCueMs);
    Invalidate(FALSE);
    return;
  }
  if (GetCapture() == this) ReleaseCapture();
  if (puzzle->IsBusy()) return;
  CMenuButton* button = HitButtons();
  if (!button) return;
  if (button->HasChildren()) {
    CMenuButton::SetOpenMenu(button);
    m_lastMenu = button->GetId();
    SaveSettings();
    Invalidate(FALSE);
    return;
  }
  RunButtonCommand(button->GetId());
  // A puzzle or a menu chosen is kept at once: a program that dies loses nothing.
  if (m_hWnd) {
    SaveSettings();
    Invalidate(FALSE);
  }
}

void CPuzzleDlg::OnRButtonDown(UINT flags, CPoint point) {
  CDibDialog::OnRButtonDown(flags, point);
  if (!GetPuzzle()) return;
  if (IsMessageShown()) DismissMessage();
  SetCapture();
  m_pressPoint = point;
}

void CPuzzleDlg::RotateViewBy(CPoint point) {
  CSize size = ClientSize();
  // A minimised window has no height to divide by.
  if (size.cx <= 0 || size.cy <= 0) return;
  GetPuzzle()->RotateViewX((point.y - m_pressPoint.y) * 360 / size.cy);
  GetPuzzle()->RotateViewY((point.x - m_pressPoint.x) * 360 / size.cx);
}

void CPuzzleDlg::OnMouseMove(UINT flags, CPoint point) {
  CDibDialog::OnMouseMove(flags, point);
  // The mouse taken up again hides the keyboard's cursor.
  if (point != m_lastMouse) HideCursor();
  m_lastMouse = point;
  if (!GetPuzzle() || IsMessageShown()) return;
  if (GetCapture() == this) {
    if (IsPressed(VK_RBUTTON)) {
      ResumeClock();
      RotateViewBy(point);
      m_pressPoint = point;
      m_cursorFollows = true;
      ForgetDragPreview();
      Invalidate(FALSE);
      return;
    } else if (!IsPressed(VK_LBUTTON)) {
      ReleaseCapture();
    }
  }
  HoverChanged();
  UpdateDragPreview(point);
}

void CPuzzleDlg::UpdateDragPreview(CPoint point) {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle || !m_dragPreview.IsEnabled()) return;
  bool changed = false;
  if (m_pressedFacelet != -1 && GetCapture() == this) {
    changed = m_dragPreview.Drag(*puzzle, m_pressedFacelet, puzzle->GetFaceletAt(point));
  } else {
    // Over a button the button lights, not the facelet under it.
    const int facelet = m_hovered ? -1 : puzzle->GetFaceletAt(point);
    changed = m_dragPreview.Hover(facelet);
  }
  if (changed) Invalidate(FALSE);
}

void CPuzzleDlg::ForgetDragPreview() {
  if (m_dragPreview.Forget() && m_hWnd) Invalidate(FALSE);
}

// Repaints while the pointer is over a button, and once more when it leaves one, so that a
// lifted button settles back.
void CPuzzleDlg::HoverChanged() {
  CMenuButton* hovered = HitButtons();
  if (hovered || hovered != m_hovered) Invalidate(FALSE);
  m_hovered = hovered;
}

void CPuzzleDlg::OnSize(UINT type, int cx, int cy) {
  CDibDialog::OnSize(type, cx, cy);
  if (!GetPuzzle()) return;
  // The player's view turn stays; only the drawing follows the window.
  FitView(true);
  FitReplayView();
  Invalidate(FALSE);
  BuildButtons();
  SetTimer(kPlacementTimer, 1000);
}

void CPuzzleDlg::OnMove(int x, int y) {
  CDibDialog::OnMove(x, y);
  if (GetPuzzle()) SetTimer(kPlacementTimer, 1000);
}

void CPuzzleDlg::OnTimer(UINT_PTR id) {
  if (id == static_cast<UINT_PTR>(CPuzzle::kAnimationTimer)) {
    Invalidate(FALSE);
  } else if (id == kSolverTimer) {
    FinishSolve();
  } else if (id == kReplayTimer) {
    TickReplay();
  } else if (id == kSolveLogTimer) {
    TickSolveLog();
  } else if (id == kPreviewTimer) {
    KillTimer(kPreviewTimer);
    if (m_dragPreview.EndCue()) Invalidate(FALSE);
  } else if (id == kPlacementTimer) {
    KillTimer(kPlacementTimer);
    SaveSettings();
  } else if (m_showTimer && GetPuzzle() &&
             (GetPuzzle()->GetElapsedSeconds() != 0 || GetPuzzle()->IsScramblePending())) {
    Invalidate(FALSE);
  }
  CDibDialog::OnTimer(id);
}

BOOL CPuzzleDlg::OnHelpInfo(HELPINFO*) {
  RunCommand(ECommand::Help);
  return FALSE;
}

BOOL CPuzzleDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_PUZZLE_SOLVED && lParam == 0) {
    OnSolved();
    return TRUE;
  }
  if (LOWORD(wParam) == IDC_CURSOR_TURN && lParam == 0) {
    if (!m_waitingCursorTurns.empty() && GetPuzzle() && !GetPuzzle()->IsBusy()) {
      const CFaceletCursor::EDirection next = m_waitingCursorTurns.front();
      m_waitingCursorTurns.erase(m_waitingCursorTurns.begin());
      TurnFromCursor(next);
    }
    return TRUE;
  }
  if (LOWORD(wParam) == IDC_KEYS_MESSAGE && lParam == 0) {
    ShowKeyProblems();
    return TRUE;
  }
  if (LOWORD(wParam) == IDC_SOLVE_LOG_MESSAGE && lParam == 0) {
    ShowSolveLogMessage();
    return TRUE;
  }
  if (LOWORD(wParam) == IDC_OPEN_START_FILE && lParam == 0) {
    OpenStartFile();
    return TRUE;
  }
  return CDibDialog::OnCommand(wParam, lParam);
}

void CPuzzleDlg::OnTimeChange() {
  CDibDialog::OnTimeChange();
  // The game and its time go on as they were: only the clock's reading is set right.
  m_session.OnSystemTimeChanged();
}

void CPuzzleDlg::OnOK() { RunCommand(ECommand::ExecuteMove); }
