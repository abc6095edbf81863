// The main window's input, its clock and the composition of every frame it shows.
#include <gyrix/shell/puzzledlg.h>

#include <gyrix/shell/menubutton.h>
#include <gyrix/puzzles.h>

#include <cstring>

namespace {

constexpr const char* kPausedText = "\r\n\r\n\r\nPaused";
constexpr const char* kSolvedFormat = "Congratulations!\r\n\r\nYou have solved the %s puzzle in %s.";
constexpr BYTE kClockInk = 249;  // palette index of the digits' ink
constexpr int kClockMargin = 10;
// The message text stays inside the scroll's paper.
constexpr int kPanelTextMarginX = 45;
constexpr int kPanelTextMarginY = 30;

}  // namespace

void CPuzzleDlg::PreBlt(CDC* dc, CDib* dib) {
  CDibDialog::PreBlt(dc, dib);
  ComposeScreen(dc, dib);
}

void CPuzzleDlg::ComposeScreen(CDC* dc, CDib* dib) {
  CRect client;
  GetClientRect(&client);
  if (m_tile.GetBits()) m_tile.Tile(dc, client);
  // A paused clock must not be time to study the position: the pause hides the puzzle (a
  // running turn waits until it ends).
  const bool paused = m_message == kPausedText;
  if (m_puzzle && !paused) {
    // A queued turn that never started leaves nothing to animate: draw the puzzle at rest.
    if (m_puzzle->IsBusy() && m_puzzle->GetCurrentMove() != 0) m_puzzle->AnimateStep(this, dc, dib);
    else m_puzzle->Draw(dc, dib);
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
    dc->DrawText(m_message.c_str(), static_cast<int>(m_message.size()), &text, DT_CENTER | DT_WORDBREAK);
    if (oldFont) dc->SelectObject(oldFont);
  }
}

void CPuzzleDlg::DrawClock(CDib* dib) {
  if (!m_puzzle || !m_digits[0]) return;
  CUString text = m_puzzle->GetElapsedText();
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

void CPuzzleDlg::ResumeClock() {
  if (m_puzzle && !m_puzzle->IsClockShown() && m_puzzle->IsScramblePending()) m_puzzle->StartClock(0);
}

void CPuzzleDlg::DismissMessage() {
  m_message.clear();
  ResumeClock();
  Invalidate(FALSE);
}

void CPuzzleDlg::TogglePause() {
  if (m_puzzle && m_puzzle->IsClockShown() && !m_puzzle->IsSolved()) {
    m_message = kPausedText;
    m_puzzle->StopClock(0);
    Invalidate(FALSE);
  } else {
    MessageBeep(0);
  }
}

void CPuzzleDlg::OnSolved() {
  if (!m_puzzle) return;
  m_puzzle->StopClock(0);
  if (m_puzzle->GetElapsedSeconds() != 0) {
    CUString text;
    CUString elapsed = m_puzzle->GetElapsedText();
    text.Format(kSolvedFormat, m_puzzle->GetName(), static_cast<const char*>(elapsed));
    m_message = static_cast<const char*>(text);
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
  if (IsMessageShown()) {
    DismissMessage();
    return;
  }
  if (!m_puzzle) {
    CDibDialog::OnKeyDown(key, repeat, flags);
    return;
  }
  switch (key) {
    case VK_BACK:
      // An undo is a turn of the player's like a drag: it resumes a clock stopped by a load.
      if (m_puzzle->UndoMove(this)) ResumeClock();
      break;
    case VK_PAUSE:
      TogglePause();
      CDibDialog::OnKeyDown(key, repeat, flags);
      break;
    case '1': case '2': case '3': case '4':
      if (m_puzzle->SetMode(static_cast<int>(key - '0'))) {
        // A switch resets the puzzle, and with it the view to the engine's own middle: fit
        // it to the window again as a new puzzle is.
        FitView();
        SaveSettings();
        Invalidate(FALSE);
        m_puzzle->SetTitle(this);
      }
      break;
    case 'A': RunAbout(); break;
    case 'C': m_zoom = 100; FitView(); Invalidate(FALSE); break;
    case VK_OEM_PLUS: case VK_ADD: Zoom(1); break;
    case VK_OEM_MINUS: case VK_SUBTRACT: Zoom(-1); break;
    case 'E': ExecuteMoveCommand(); break;
    case 'L': OpenPuzzleFile(); break;
    case 'M': m_puzzle->Scramble(); Invalidate(FALSE); break;
    case 'O': RunOptions(); break;
    case 'R': m_puzzle->Reset(); FitView(); Invalidate(FALSE); break;
    case 'S': SavePuzzleFile(); break;
    default: CDibDialog::OnKeyDown(key, repeat, flags); break;
  }
}

void CPuzzleDlg::OnLButtonDown(UINT flags, CPoint point) {
  CDibDialog::OnLButtonDown(flags, point);
  if (!m_puzzle || m_puzzle->IsBusy()) return;
  if (IsMessageShown()) {
    DismissMessage();
    return;
  }
  if (m_drag.Press(m_puzzle, this, point)) m_pressPoint = point;
  if (HitButtons()) Invalidate(FALSE);
}

void CPuzzleDlg::OnLButtonUp(UINT flags, CPoint point) {
  CDibDialog::OnLButtonUp(flags, point);
  if (!m_puzzle) return;
  if (m_drag.IsPressed()) {
    // The helper releases the capture and forgets the press whatever happens, busy or not.
    if (m_drag.Release(m_puzzle, this, point) != 0) ResumeClock();
    return;
  }
  if (GetCapture() == this) ReleaseCapture();
  if (m_puzzle->IsBusy()) return;
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
  if (!m_puzzle) return;
  if (IsMessageShown()) DismissMessage();
  SetCapture();
  m_pressPoint = point;
}

void CPuzzleDlg::RotateViewBy(CPoint point) {
  CSize size = ClientSize();
  // A minimised window has no height to divide by.
  if (size.cx <= 0 || size.cy <= 0) return;
  m_puzzle->RotateViewX((point.y - m_pressPoint.y) * 360 / size.cy);
  m_puzzle->RotateViewY((point.x - m_pressPoint.x) * 360 / size.cx);
}

void CPuzzleDlg::OnMouseMove(UINT flags, CPoint point) {
  CDibDialog::OnMouseMove(flags, point);
  if (!m_puzzle || IsMessageShown()) return;
  if (GetCapture() == this) {
    if (IsPressed(VK_RBUTTON)) {
      ResumeClock();
      RotateViewBy(point);
      m_pressPoint = point;
      Invalidate(FALSE);
    } else if (!IsPressed(VK_LBUTTON)) {
      ReleaseCapture();
    }
  }
  HoverChanged();
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
  if (!m_puzzle) return;
  // The player's view turn stays; only the drawing follows the window.
  FitView(true);
  Invalidate(FALSE);
  BuildButtons();
  SetTimer(kPlacementTimer, 1000);
}

void CPuzzleDlg::OnMove(int x, int y) {
  CDibDialog::OnMove(x, y);
  if (m_puzzle) SetTimer(kPlacementTimer, 1000);
}

void CPuzzleDlg::OnTimer(UINT_PTR id) {
  if (id == static_cast<UINT_PTR>(CPuzzle::kAnimationTimer)) {
    Invalidate(FALSE);
  } else if (id == kPlacementTimer) {
    KillTimer(kPlacementTimer);
    SaveSettings();
  } else if (m_showTimer && m_puzzle &&
             (m_puzzle->GetElapsedSeconds() != 0 || m_puzzle->IsScramblePending())) {
    Invalidate(FALSE);
  }
  CDibDialog::OnTimer(id);
}

BOOL CPuzzleDlg::OnHelpInfo(HELPINFO*) {
  OpenHelp();
  return FALSE;
}

BOOL CPuzzleDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_PUZZLE_SOLVED && lParam == 0) {
    OnSolved();
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
  if (m_puzzle) m_puzzle->StopClock(1);
}

void CPuzzleDlg::OnOK() { ExecuteMoveCommand(); }
