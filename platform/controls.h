// The standard controls, drawn by the layer in the classic grey 3-D look: push button, default
// push button, check box, owner-drawn button, static text (plain or sunken) and the single-line
// edit field.
#pragma once

#include <platform/wnd.h>

#include <string>

constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 1;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;

// What an owner-drawn button's owner is given to draw it.
struct DRAWITEMSTRUCT {
  UINT CtlType = ODT_BUTTON;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = ODA_DRAWENTIRE;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  CDC* hDC = nullptr;
  RECT rcItem{};
};

// Draws a classic 3-D edge: raised (light top-left, dark bottom-right) or sunken.
void DrawEdge3D(CDC& dc, const CRect& r, bool sunken, bool doubleEdge);

class CButton : public CWnd {
 public:
  BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  int GetCheck() const { return m_check; }
  void SetCheck(int check);
  // BST_PUSHED while the button is held down.
  UINT GetState() const;
  void SetState(BOOL pushed);
  UINT GetButtonStyle() const { return GetStyle() & BS_TYPEMASK; }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);
  // What a click does: a check box toggles; the parent hears BN_CLICKED.
  void Click();
  // Draws an owner-drawn button; the default asks the parent (WM_DRAWITEM), which may ignore it.
  virtual void DrawItem(DRAWITEMSTRUCT* item);

  void OnPaint() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  UINT OnGetDlgCode() override;

 private:
  bool IsCheckBox() const;
  void PaintPushButton(CDC& dc, const CRect& r);
  void PaintCheckBox(CDC& dc, const CRect& r);

  int m_check = BST_UNCHECKED;
  bool m_pushed = false;    // drawn pressed
  bool m_tracking = false;  // mouse went down on it and is held
  bool m_spaceDown = false;
};

constexpr UINT BST_PUSHED = 0x0004;

class CStatic : public CWnd {
 public:
  BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
  void OnPaint() override;
  UINT OnGetDlgCode() override { return DLGC_STATIC; }
  bool IsTransparentToMouse() const override { return !(GetStyle() & SS_NOTIFY); }
};

class CEdit : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Selection by character index; end -1 means the end of the text.
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void GetSel(int& start, int& end) const;
  int GetCaret() const { return m_caret; }
  void ReplaceSel(const char* text, BOOL canUndo = FALSE);
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  void LimitText(int maxChars) { m_limit = maxChars > 0 ? maxChars : 30000; }
  // Pixels the text is scrolled to the left so the caret stays in view.
  int GetScroll() const { return m_scroll; }

  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  UINT OnGetDlgCode() override { return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; }

 protected:
  void OnTextChanged() override;

 private:
  int TextWidth(int chars) const;     // pixels of the first chars characters
  int IndexAt(int x) const;           // character boundary nearest to a client x
  CRect TextArea() const;             // where the text is drawn, inside the border
  void MoveCaret(int to, bool extend);
  void ScrollToCaret();
  void ReplaceText(const std::string& text);
  void Changed();

  int m_anchor = 0;  // selection is between anchor and caret
  int m_caret = 0;
  int m_scroll = 0;
  int m_limit = 30000;
  bool m_selecting = false;
  bool m_settingText = false;
};
