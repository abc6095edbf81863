#include <platform/controls.h>

#include <platform/eventloop.h>
#include <platform/services.h>

#include <cordak/clipboard.h>
#include <cordak/ustring.h>

#include <algorithm>

namespace {

constexpr int kCheckBoxSize = 13;
constexpr int kCheckTextGap = 4;
constexpr int kEditMargin = 1;

// Measures text in a window's font without touching any window's pixels.
CSize MeasureText(const CWnd* wnd, const char* text, int length) {
  static CBitmap scratch;
  if (!scratch.GetSafeHandle()) scratch.CreateDIBSection(1, 1, 8);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&scratch);
  if (CFont* font = wnd->GetFont()) dc.SelectObject(font);
  return dc.GetTextExtent(text, length);
}

int LineHeight(const CWnd* wnd) {
  static CBitmap scratch;
  if (!scratch.GetSafeHandle()) scratch.CreateDIBSection(1, 1, 8);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&scratch);
  if (CFont* font = wnd->GetFont()) dc.SelectObject(font);
  TEXTMETRIC tm;
  return dc.GetTextMetrics(&tm) ? tm.tmHeight : 13;
}

// The parent decides the background and text colour of buttons and labels; a hollow brush
// leaves what the parent painted behind the control.
void PrepareColours(CWnd* control, CDC& dc, UINT message, const CRect& r) {
  CWnd* parent = control->GetParent();
  dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
  dc.SetBkColor(GetSysColor(COLOR_3DFACE));
  HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(parent->SendMessage(
                              message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(control)))
                        : GetSysColorBrush(COLOR_3DFACE);
  dc.SetBkMode(TRANSPARENT);
  if (brush && !brush->IsNull()) dc.FillRect(&r, brush);
}

void DrawDisabledText(CDC& dc, const char* text, CRect r, UINT format) {
  dc.SetBkMode(TRANSPARENT);
  CRect shifted = r;
  shifted.OffsetRect(1, 1);
  dc.SetTextColor(GetSysColor(COLOR_3DHIGHLIGHT));
  dc.DrawText(text, -1, &shifted, format);
  dc.SetTextColor(GetSysColor(COLOR_3DSHADOW));
  dc.DrawText(text, -1, &r, format);
}

void DrawCheckMark(CDC& dc, int x, int y) {
  // A tick of 7 columns, 3 pixels tall, as the classic check box draws it.
  static const int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 3; ++j) dc.SetPixel(x + i, y + kTop[i] + j, RGB(0, 0, 0));
}

bool ShiftDown() { return CEventLoop::IsKeyDown(VK_SHIFT); }
bool ControlDown() { return CEventLoop::IsKeyDown(VK_CONTROL); }

}  // namespace

void DrawEdge3D(CDC& dc, const CRect& r, bool sunken, bool doubleEdge) {
  const COLORREF light = GetSysColor(COLOR_3DHIGHLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
  const COLORREF shadow = GetSysColor(COLOR_3DSHADOW), face = GetSysColor(COLOR_3DLIGHT);
  CRect inner = r;
  if (sunken) {
    dc.Draw3dRect(&inner, shadow, light);
    inner.DeflateRect(1, 1);
    if (doubleEdge) dc.Draw3dRect(&inner, dark, face);
  } else {
    dc.Draw3dRect(&inner, light, dark);
    inner.DeflateRect(1, 1);
    if (doubleEdge) dc.Draw3dRect(&inner, face, shadow);
  }
}

// ---------------------------------------------------------------------------------------------
// CButton

BOOL CButton::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("Button", text, style | WS_CHILD, rect, parent, id);
}

bool CButton::IsCheckBox() const {
  UINT s = GetButtonStyle();
  return s == BS_CHECKBOX || s == BS_AUTOCHECKBOX;
}

void CButton::SetCheck(int check) {
  if (check == m_check) return;
  m_check = check;
  Invalidate(FALSE);
}

UINT CButton::GetState() const { return static_cast<UINT>(m_check) | (m_pushed ? BST_PUSHED : 0); }

void CButton::SetState(BOOL pushed) {
  if (m_pushed == (pushed != 0)) return;
  m_pushed = pushed != 0;
  Invalidate(FALSE);
}

void CButton::SetButtonStyle(UINT style, BOOL redraw) {
  ModifyStyle(BS_TYPEMASK, style & BS_TYPEMASK);
  if (redraw) Invalidate(TRUE);
}

void CButton::Click() {
  if (!GetSafeHwnd() || !IsWindowEnabled()) return;
  if (GetButtonStyle() == BS_AUTOCHECKBOX) SetCheck(m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  NotifyParent(BN_CLICKED);
}

void CButton::DrawItem(DRAWITEMSTRUCT* item) {
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_DRAWITEM, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(item));
}

void CButton::OnPaint() {
  CPaintDC dc(this);
  CRect r;
  GetClientRect(&r);
  if (GetButtonStyle() == BS_OWNERDRAW) {
    DRAWITEMSTRUCT item;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID());
    item.itemState = (m_pushed ? ODS_SELECTED : 0) | (IsWindowEnabled() ? 0 : ODS_DISABLED) |
                     (GetFocus() == this ? ODS_FOCUS : 0);
    item.hwndItem = this;
    item.hDC = &dc;
    item.rcItem = r;
    DrawItem(&item);
  } else if (IsCheckBox()) {
    PaintCheckBox(dc, r);
  } else {
    PaintPushButton(dc, r);
  }
}

void CButton::PaintPushButton(CDC& dc, const CRect& whole) {
  CRect r = whole;
  const bool focused = GetFocus() == this;
  // The default button, and a button with the focus, wear a black frame.
  if (GetButtonStyle() == BS_DEFPUSHBUTTON || focused) {
    dc.Draw3dRect(&r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW));
    r.DeflateRect(1, 1);
  }
  dc.FillSolidRect(&r, GetSysColor(COLOR_3DFACE));
  if (m_pushed) dc.Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW));
  else DrawEdge3D(dc, r, false, true);
  CRect text = r;
  if (m_pushed) text.OffsetRect(1, 1);
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  const std::string& caption = WindowText();
  if (IsWindowEnabled()) {
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc.DrawText(caption.c_str(), -1, &text, format);
  } else {
    DrawDisabledText(dc, caption.c_str(), text, format);
  }
  if (focused) {
    CRect f = r;
    f.DeflateRect(3, 3);
    dc.DrawFocusRect(&f);
  }
}

void CButton::PaintCheckBox(CDC& dc, const CRect& r) {
  PrepareColours(this, dc, WM_CTLCOLORBTN, r);
  const COLORREF textColour = dc.GetTextColor();
  const int top = r.top + (r.Height() - kCheckBoxSize) / 2;
  CRect box(r.left, top, r.left + kCheckBoxSize, top + kCheckBoxSize);
  CRect inside = box;
  inside.DeflateRect(2, 2);
  dc.FillSolidRect(&inside, (m_pushed || !IsWindowEnabled()) ? GetSysColor(COLOR_3DFACE)
                                                              : GetSysColor(COLOR_WINDOW));
  DrawEdge3D(dc, box, true, true);
  if (m_check == BST_CHECKED) DrawCheckMark(dc, box.left + 3, box.top + 3);
  CRect text(r.left + kCheckBoxSize + kCheckTextGap, r.top, r.right, r.bottom);
  const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  const std::string& caption = WindowText();
  if (IsWindowEnabled()) {
    dc.SetTextColor(textColour);
    dc.DrawText(caption.c_str(), -1, &text, format);
  } else {
    DrawDisabledText(dc, caption.c_str(), text, format);
  }
  if (GetFocus() == this && !caption.empty()) {
    CRect measure = text;
    dc.DrawText(caption.c_str(), -1, &measure, format | DT_CALCRECT);
    CRect f(text.left - 1, text.top + (text.Height() - measure.Height()) / 2 - 1,
            text.left + measure.Width() + 1, text.top + (text.Height() + measure.Height()) / 2 + 1);
    dc.DrawFocusRect(&f);
  }
}

void CButton::OnLButtonDown(UINT, CPoint) {
  if (!IsWindowEnabled()) return;
  SetFocus();
  m_tracking = true;
  SetCapture();
  SetState(TRUE);
}

void CButton::OnMouseMove(UINT, CPoint point) {
  if (!m_tracking) return;
  CRect r;
  GetClientRect(&r);
  SetState(r.PtInRect(point));  // the button pops up while the pointer is off it
}

void CButton::OnLButtonUp(UINT, CPoint point) {
  if (!m_tracking) return;
  m_tracking = false;
  if (GetCapture() == this) ReleaseCapture();
  CRect r;
  GetClientRect(&r);
  const bool inside = r.PtInRect(point);
  SetState(FALSE);
  if (inside) Click();
}

void CButton::OnKeyDown(UINT key, UINT, UINT) {
  if (key == VK_SPACE && !m_spaceDown && IsWindowEnabled()) {
    m_spaceDown = true;
    SetState(TRUE);
  }
}

void CButton::OnKeyUp(UINT key, UINT, UINT) {
  if (key == VK_SPACE && m_spaceDown) {
    m_spaceDown = false;
    SetState(FALSE);
    Click();
  }
}

void CButton::OnSetFocus(CWnd*) { Invalidate(FALSE); }

void CButton::OnKillFocus(CWnd*) {
  m_spaceDown = false;
  if (m_pushed && !m_tracking) SetState(FALSE);
  Invalidate(FALSE);
}

UINT CButton::OnGetDlgCode() {
  switch (GetButtonStyle()) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    default: return DLGC_BUTTON;
  }
}

// ---------------------------------------------------------------------------------------------
// CStatic

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::CreateEx((style & SS_SUNKEN) ? WS_EX_STATICEDGE : 0, "Static", text, style | WS_CHILD,
                        rect, parent, id);
}

void CStatic::OnPaint() {
  CPaintDC dc(this);
  CRect r;
  GetClientRect(&r);
  PrepareColours(this, dc, WM_CTLCOLORSTATIC, r);
  if ((GetStyle() & SS_SUNKEN) || (GetExStyle() & WS_EX_STATICEDGE)) {
    dc.Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
    r.DeflateRect(1, 1);
  }
  const std::string& text = WindowText();
  if (text.empty()) return;
  UINT format = DT_WORDBREAK;
  if ((GetStyle() & 0xF) == SS_CENTER) format |= DT_CENTER;
  else if ((GetStyle() & 0xF) == SS_RIGHT) format |= DT_RIGHT;
  if (IsWindowEnabled()) dc.DrawText(text.c_str(), -1, &r, format);
  else DrawDisabledText(dc, text.c_str(), r, format);
}

// ---------------------------------------------------------------------------------------------
// CEdit

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::CreateEx(WS_EX_CLIENTEDGE, "Edit", "", style | WS_CHILD, rect, parent, id);
}

CRect CEdit::TextArea() const {
  CRect r;
  GetClientRect(&r);
  const int border = (GetExStyle() & WS_EX_CLIENTEDGE) ? 2 : ((GetStyle() & WS_BORDER) ? 1 : 0);
  r.DeflateRect(border + kEditMargin, border);
  return r;
}

int CEdit::TextWidth(int chars) const {
  const std::string& t = WindowText();
  chars = std::clamp(chars, 0, static_cast<int>(t.size()));
  return chars == 0 ? 0 : MeasureText(this, t.c_str(), chars).cx;
}

int CEdit::IndexAt(int x) const {
  const int n = static_cast<int>(WindowText().size());
  const int origin = TextArea().left - m_scroll;
  int best = 0, bestDistance = INT32_MAX;
  for (int i = 0; i <= n; ++i) {
    int d = std::abs(origin + TextWidth(i) - x);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

void CEdit::GetSel(int& start, int& end) const {
  start = std::min(m_anchor, m_caret);
  end = std::max(m_anchor, m_caret);
}

void CEdit::SetSel(int start, int end, BOOL noScroll) {
  const int n = static_cast<int>(WindowText().size());
  if (start < 0) {
    // Start -1 removes the selection, leaving the caret where it is.
    m_anchor = m_caret;
  } else {
    if (end < 0 || end > n) end = n;
    m_anchor = std::clamp(start, 0, n);
    m_caret = std::clamp(end, 0, n);
  }
  if (!noScroll) ScrollToCaret();
  Invalidate(FALSE);
}

void CEdit::ScrollToCaret() {
  const int width = TextArea().Width();
  const int caretX = TextWidth(m_caret);
  if (caretX - m_scroll > width - 1) m_scroll = caretX - width + 1;
  if (caretX < m_scroll) m_scroll = caretX;
  // Never leave empty room on the right while text is hidden on the left.
  const int total = TextWidth(static_cast<int>(WindowText().size()));
  m_scroll = std::clamp(m_scroll, 0, std::max(0, total - width + 1));
}

void CEdit::MoveCaret(int to, bool extend) {
  const int n = static_cast<int>(WindowText().size());
  m_caret = std::clamp(to, 0, n);
  if (!extend) m_anchor = m_caret;
  ScrollToCaret();
  Invalidate(FALSE);
}

void CEdit::ReplaceText(const std::string& text) {
  m_settingText = true;
  SetWindowText(text.c_str());
  m_settingText = false;
}

void CEdit::Changed() {
  ScrollToCaret();
  Invalidate(FALSE);
  NotifyParent(EN_CHANGE);
}

void CEdit::OnTextChanged() {
  if (m_settingText) return;
  // Text set from outside: the caret goes to the start, nothing is selected.
  m_anchor = m_caret = 0;
  m_scroll = 0;
  Invalidate(FALSE);
  NotifyParent(EN_CHANGE);
}

void CEdit::ReplaceSel(const char* text, BOOL) {
  std::string insert;
  // A single line takes the text up to the first line break, without control characters.
  for (const char* p = text ? text : ""; *p && *p != '\r' && *p != '\n'; ++p)
    if (static_cast<unsigned char>(*p) >= ' ' && *p != 0x7F) insert.push_back(*p);
  int start, end;
  GetSel(start, end);
  std::string t = WindowText();
  const int room = m_limit - (static_cast<int>(t.size()) - (end - start));
  if (room < static_cast<int>(insert.size())) {
    insert.resize(static_cast<std::size_t>(std::max(room, 0)));
    MessageBeep(0);
  }
  if (insert.empty() && start == end) return;
  t.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), insert);
  ReplaceText(t);
  m_caret = m_anchor = start + static_cast<int>(insert.size());
  Changed();
}

void CEdit::Copy() {
  int start, end;
  GetSel(start, end);
  CUClipboardService* clipboard = GetClipboardService();
  if (start == end || !clipboard) return;
  clipboard->PutText(WindowText().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)).c_str());
}

void CEdit::Cut() {
  int start, end;
  GetSel(start, end);
  if (start == end) return;
  Copy();
  Clear();
}

void CEdit::Paste() {
  CUClipboardService* clipboard = GetClipboardService();
  if (!clipboard) return;
  CUString text;
  if (clipboard->GetText(text)) ReplaceSel(static_cast<const char*>(text));
}

void CEdit::Clear() {
  int start, end;
  GetSel(start, end);
  if (start != end) ReplaceSel("");
}

BOOL CEdit::OnEraseBkgnd(CDC*) { return TRUE; }  // OnPaint covers everything

void CEdit::OnPaint() {
  CPaintDC dc(this);
  CRect r;
  GetClientRect(&r);
  const bool enabled = IsWindowEnabled();
  dc.FillSolidRect(&r, enabled ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_3DFACE));
  if (GetExStyle() & WS_EX_CLIENTEDGE) DrawEdge3D(dc, r, true, true);
  else if (GetStyle() & WS_BORDER) dc.Draw3dRect(&r, RGB(0, 0, 0), RGB(0, 0, 0));
  const CRect area = TextArea();
  dc.IntersectClipRect(&area);
  const std::string& t = WindowText();
  const int height = LineHeight(this);
  const int y = area.top + (area.Height() - height) / 2;
  const int x0 = area.left - m_scroll;
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
  dc.TextOut(x0, y, t.c_str(), static_cast<int>(t.size()));
  const bool focused = GetFocus() == this;
  int start, end;
  GetSel(start, end);
  if (focused && start != end) {
    // The selection is shown inverted: highlight behind, highlight text on top.
    const int sx = x0 + TextWidth(start), ex = x0 + TextWidth(end);
    dc.FillSolidRect(sx, y, ex - sx, height, GetSysColor(COLOR_HIGHLIGHT));
    dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    dc.TextOut(sx, y, t.c_str() + start, end - start);
  }
  if (focused) {
    const int cx = std::min(x0 + TextWidth(m_caret), area.right - 1);
    dc.FillSolidRect(cx, y, 1, height, GetSysColor(COLOR_WINDOWTEXT));
  }
}

void CEdit::OnLButtonDown(UINT, CPoint point) {
  if (!IsWindowEnabled()) return;
  if (GetFocus() != this) SetFocus();
  MoveCaret(IndexAt(point.x), ShiftDown());
  m_selecting = true;
  SetCapture();
}

void CEdit::OnMouseMove(UINT, CPoint point) {
  if (!m_selecting) return;
  // Dragging past either end scrolls the text along.
  MoveCaret(IndexAt(point.x), true);
}

void CEdit::OnLButtonUp(UINT, CPoint point) {
  if (!m_selecting) return;
  MoveCaret(IndexAt(point.x), true);
  m_selecting = false;
  if (GetCapture() == this) ReleaseCapture();
}

void CEdit::OnKeyDown(UINT key, UINT, UINT) {
  const int n = static_cast<int>(WindowText().size());
  const bool shift = ShiftDown(), ctrl = ControlDown();
  int start, end;
  GetSel(start, end);
  switch (key) {
    case VK_LEFT:
      if (!shift && start != end) MoveCaret(start, false);
      else MoveCaret(m_caret - 1, shift);
      break;
    case VK_RIGHT:
      if (!shift && start != end) MoveCaret(end, false);
      else MoveCaret(m_caret + 1, shift);
      break;
    case VK_HOME: MoveCaret(0, shift); break;
    case VK_END: MoveCaret(n, shift); break;
    case VK_DELETE:
      if (shift) Cut();
      else if (start != end) Clear();
      else if (m_caret < n) {
        m_anchor = m_caret + 1;
        Clear();
      }
      break;
    case VK_BACK:
      if (start != end) Clear();
      else if (m_caret > 0) {
        m_anchor = m_caret - 1;
        Clear();
      }
      break;
    case VK_INSERT:
      if (ctrl) Copy();
      else if (shift) Paste();
      break;
    case 'A': if (ctrl) SetSel(0, -1); break;
    case 'C': if (ctrl) Copy(); break;
    case 'X': if (ctrl) Cut(); break;
    case 'V': if (ctrl) Paste(); break;
    default: break;
  }
}

void CEdit::OnChar(UINT ch, UINT, UINT) {
  if (ch < ' ' || ch == 0x7F || ch > 0xFF || !IsWindowEnabled()) return;
  const char text[2] = {static_cast<char>(ch), '\0'};
  ReplaceSel(text);
}

void CEdit::OnSetFocus(CWnd*) {
  Invalidate(FALSE);
  NotifyParent(EN_SETFOCUS);
}

void CEdit::OnKillFocus(CWnd*) {
  m_selecting = false;
  Invalidate(FALSE);
  NotifyParent(EN_KILLFOCUS);
}

BOOL CEdit::OnSetCursor(CWnd*, UINT, UINT) {
  ::SetCursor(LoadCursor(nullptr, IDC_IBEAM));
  return TRUE;
}
