// The main window's zoom (wheel, + and -) and the turn counter beside the clock.
#include <gyrix/shell/puzzledlg.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCounterGap = 12;  // between the clock's last digit and the count
constexpr int kClockMargin = 10;

}  // namespace

void CPuzzleDlg::Zoom(int steps) {
  const int zoom = std::clamp(m_zoom + steps * kZoomStep, kMinZoom, kMaxZoom);
  if (zoom == m_zoom || !GetPuzzle()) return;
  m_zoom = zoom;
  FitView(true);
  Invalidate(FALSE);
}

BOOL CPuzzleDlg::OnMouseWheel(UINT /*flags*/, short delta, CPoint /*point*/) {
  // A message panel takes no input but its dismissal; a wheel does not dismiss it.
  if (!GetPuzzle() || IsMessageShown()) return TRUE;
  const int steps = delta / WHEEL_DELTA;
  if (steps != 0) Zoom(steps);
  return TRUE;
}

void CPuzzleDlg::DrawTurnCounter(CDC* dc) {
  if (!GetPuzzle() || !dc || !m_digits[0]) return;
  if (!m_counterFont.GetSafeHandle())
    CDibWnd::CreatePointFont(m_counterFont, 140, const_cast<char*>("MS Sans Serif"), 700, 0, 0);
  // A replay counts its own turns.
  const int turns = m_replay ? ReplayTurnsShown() : GetPuzzle()->GetTurnsMade();
  char text[32];
  std::snprintf(text, sizeof text, turns == 1 ? "%d turn" : "%d turns", turns);
  CRect client;
  GetClientRect(&client);
  const int digitsTop = client.bottom - m_digits[0]->Height() - kClockMargin;
  // Right of the clock as DrawClock lays out its pictures.
  int clockWidth = 0;
  CUString clock = GetPuzzle()->GetElapsedText();
  for (const char* c = clock; *c; ++c) {
    CFrame* frame = *c == ':' ? m_digits[10] : (*c >= '0' && *c <= '9') ? m_digits[*c - '0'] : nullptr;
    if (frame) clockWidth += frame->Width();
  }
  CRect box(kClockMargin + clockWidth + kCounterGap, digitsTop, client.right, digitsTop + m_digits[0]->Height());
  CFont* oldFont = m_counterFont.GetSafeHandle() ? dc->SelectObject(&m_counterFont) : nullptr;
  dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColour = dc->SetTextColor(m_timerColor);
  dc->DrawText(text, -1, &box, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  dc->SetTextColor(oldColour);
  if (oldFont) dc->SelectObject(oldFont);
}
