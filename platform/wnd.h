// CWnd: a window. Top-level windows (main window, dialogs, popups) are desktop windows with an
// 8-bit back buffer; child windows and controls are light objects inside their top-level
// window, painted in z-order into its back buffer. Messages arrive as calls of the virtual
// handlers below; SendMessage and PostMessage reach them through WindowProc.
#pragma once

#include <platform/dc.h>
#include <platform/messages.h>
#include <platform/types.h>

#include <memory>
#include <string>
#include <vector>

class CDC;
class CFont;
class CBitmap;
class CImage32;
class CBrush;
class CPalette;
class CMenu;
struct TopLevelState;  // desktop side of a top-level window, kept by the event loop's driver

// A cursor or an icon is named by a small object the layer keeps alive for the process.
struct CursorTag;
using HCURSOR = const CursorTag*;
using HICON = const CBitmap*;  // an icon is a picture; the window copies what it needs
using HBRUSH = CBrush*;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

struct HELPINFO {
  UINT cbSize = sizeof(HELPINFO);
  int iContextType = 1;
  int iCtrlId = 0;
  HWND hItemHandle = nullptr;
  POINT MousePos;
};

// Dialog codes a control answers so the dialog knows which keys it keeps for itself.
constexpr UINT DLGC_WANTARROWS = 0x0001;
constexpr UINT DLGC_WANTTAB = 0x0002;
constexpr UINT DLGC_WANTALLKEYS = 0x0004;
constexpr UINT DLGC_HASSETSEL = 0x0008;
constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr UINT DLGC_WANTCHARS = 0x0080;
constexpr UINT DLGC_STATIC = 0x0100;
constexpr UINT DLGC_BUTTON = 0x2000;

class CWnd {
 public:
  CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd();

  // The window's handle is the object itself once it exists, null before and after.
  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }
  static CWnd* FromHandle(HWND h) { return h; }

  // ---- Creation and destruction ----
  // A window with WS_CHILD is a child of parent at rect (parent client coordinates); any
  // other window is top-level at rect (screen coordinates; a 0 or negative size picks a
  // default) and parent is its owner. The class name is kept only for callers that ask.
  virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id);
  virtual BOOL Create(const char* className, const char* text, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id);
  // Destroys the children first, then the window: OnDestroy, timers and posted messages go,
  // capture and focus are dropped; PostNcDestroy runs last.
  virtual BOOL DestroyWindow();
  virtual void PostNcDestroy() {}

  // ---- Family ----
  CWnd* GetParent() const { return m_parent; }
  CWnd* GetOwner() const { return m_owner ? m_owner : m_parent; }
  CWnd* GetTopLevelParent() const;
  BOOL IsChild(const CWnd* wnd) const;
  bool IsTopLevel() const { return m_hWnd && !(m_style & WS_CHILD); }
  int GetDlgCtrlID() const { return m_id; }
  void SetDlgCtrlID(int id) { m_id = id; }
  CWnd* GetDlgItem(int id) const;
  // Children in z-order, bottom first.
  const std::vector<CWnd*>& Children() const { return m_children; }
  // Deepest visible and enabled child window at a client point, or this.
  CWnd* ChildWindowFromPoint(POINT client, bool skipDisabled = true);
  // The window under a screen point (visible, enabled, top-level windows front first).
  static CWnd* WindowFromPoint(POINT screen);
  CWnd* GetNextDlgTabItem(CWnd* from, BOOL previous = FALSE) const;

  // Moves a dialog's control into this (not yet created) object: it takes the control's
  // place, id, styles, text and font, and from then on gets its messages. FALSE when the
  // parent has no such control.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);

  // ---- Style, text, font, icon ----
  DWORD GetStyle() const { return m_style; }
  DWORD GetExStyle() const { return m_exStyle; }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  void SetWindowText(const char* text);
  int GetWindowText(char* buffer, int size) const;
  int GetWindowTextLength() const { return static_cast<int>(m_text.size()); }
  const std::string& WindowText() const { return m_text; }
  void SetFont(CFont* font, BOOL redraw = TRUE);
  // The window's font, else its parent's, else null (the layer's default font).
  CFont* GetFont() const;
  HICON SetIcon(HICON icon, BOOL big);
  HICON GetIcon(BOOL big) const { return big ? m_iconBig : m_iconSmall; }

  // ---- Visibility, enabling ----
  BOOL ShowWindow(int cmd);
  BOOL IsWindowVisible() const;  // this and every ancestor visible
  BOOL IsIconic() const;
  BOOL IsZoomed() const;
  BOOL EnableWindow(BOOL enable = TRUE);  // returns whether it was disabled before
  BOOL IsWindowEnabled() const { return m_hWnd && !(m_style & WS_DISABLED); }

  // ---- Geometry ----
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
  void GetClientRect(RECT* rect) const;
  void GetWindowRect(RECT* rect) const;  // screen coordinates
  // A top-level window's rectangle with the frame the window manager draws round it (none
  // known: the client area). A new window asked to sit at this rectangle's corner comes up with
  // its frame there, so the same place is found again.
  void GetFrameRect(RECT* rect) const;
  void ClientToScreen(POINT* p) const;
  void ClientToScreen(RECT* r) const;
  void ScreenToClient(POINT* p) const;
  void ScreenToClient(RECT* r) const;
  void CenterWindow(CWnd* alternateOwner = nullptr);
  // The smallest client size the player can give this top-level window; a smaller size the
  // program asks for is raised to it as well. Nothing for child windows.
  void SetMinTrackSize(int width, int height);

  // ---- Painting ----
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(const RECT* rect, BOOL erase = TRUE);  // null: the whole client area
  void ValidateRect(const RECT* rect);
  // Paints now what is invalid in this window's top-level window and shows it.
  void UpdateWindow();
  BOOL RedrawWindow(const RECT* rect = nullptr, void* region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_ERASE);
  BOOL GetUpdateRect(RECT* rect, BOOL erase = FALSE) const;
  // A drawing context on the client area outside WM_PAINT; give it back with ReleaseDC.
  CDC* GetDC();
  int ReleaseDC(CDC* dc);
  // The composed back buffer of the top-level window that holds this one (null before creation).
  const CBitmap* GetBackBuffer() const;
  CBitmap* BackBuffer();
  // The colours the back buffer is presented with: the last palette realised on one of the
  // window's device contexts, or the layer's default colours.
  void SetPresentPalette(const CPalette* palette);
  // The top-level window's 32-bit frame, the size of its back buffer (null before creation).
  // The part of it given to ShowSmoothFrame is presented over the back buffer, from the next
  // present on, until another part (or none) is given or the window changes size.
  CImage32* SmoothFrame();
  void ShowSmoothFrame(const CRect& r);
  CRect GetSmoothFrameRect() const;
  // The picture presented now: the back buffer in its colours with the frame's part over it.
  void GetPresentedImage(CImage32& out) const;
  // Fixes the colours of this window's top-level window to one palette, for a window whose
  // parts bring palettes of their own: realising another palette then changes nothing, and
  // what it draws is matched to the fixed colours, so pixels already drawn keep theirs.
  // Realising the fixed palette again shows its current entries. Null lets any palette in.
  void LockPresentPalette(const CPalette* palette);

  // ---- Mouse, keyboard, timers ----
  CWnd* SetCapture();
  static CWnd* GetCapture();
  CWnd* SetFocus();
  static CWnd* GetFocus();
  static CWnd* GetActiveWindow();
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, void* unused = nullptr);
  BOOL KillTimer(UINT_PTR id);

  // ---- Messages ----
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Lets a window see a key or mouse message before it is dispatched; TRUE swallows it.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // A window the mouse passes through to its parent (labels do, unless they ask to be told).
  virtual bool IsTransparentToMouse() const { return false; }
  // What keys a control keeps for itself when it has the focus in a dialog (DLGC_*).
  virtual UINT OnGetDlgCode() { return 0; }

  // ---- Modal loop ----
  // Runs messages until EndModalLoop is called or ContinueModal says no; returns the code.
  int RunModalLoop();
  virtual BOOL ContinueModal();
  virtual void EndModalLoop(int result);
  bool InModalLoop() const { return m_modalDepth > 0; }
  // True once EndModalLoop was called and the loop is about to return.
  bool ModalEnding() const { return m_endModal; }

  // Desktop side of a top-level window; null for child windows.
  TopLevelState* TopState() const { return m_top.get(); }

  // ---- Menu ----
  CMenu* GetSystemMenu(BOOL revert);
  // Opens the system menu of this top-level window (Alt+Space) at its top-left corner and
  // sends the chosen command as WM_SYSCOMMAND; returns the command, 0 when none was chosen.
  UINT TrackSystemMenu();

  // ---- Handlers ----
  virtual int OnCreate() { return 0; }
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnMouseMove(UINT flags, CPoint point);
  // delta: multiples of WHEEL_DELTA, positive away from the user; point in screen coordinates.
  // By default a child passes the wheel on to its parent.
  virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
  virtual void OnChar(UINT ch, UINT repeat, UINT flags);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnMove(int x, int y);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void OnSysCommand(UINT id, LPARAM lParam);
  virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  virtual BOOL OnHelpInfo(HELPINFO* info);
  virtual void OnClose();
  virtual void OnDestroy();
  virtual void OnTimeChange();
  virtual void OnSetFocus(CWnd* oldWnd);
  virtual void OnKillFocus(CWnd* newWnd);
  virtual void OnShowWindow(BOOL show, UINT status);
  virtual void OnEnable(BOOL enable);
  virtual void OnChildActivate();
  virtual HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
  virtual void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  // A notification (WM_COMMAND) the parent passes back to the control that sent it before
  // handling it itself; TRUE when the control took care of it.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual HCURSOR OnQueryDragIcon();
  virtual BOOL OnQueryNewPalette();
  virtual void OnPaletteChanged(CWnd* focusWnd);

 protected:
  // Sends a child's notification (WM_COMMAND with id and code) to the parent.
  void NotifyParent(UINT code);
  // Overridden by windows whose text is drawn with mnemonics (buttons, labels).
  virtual void OnTextChanged() { Invalidate(FALSE); }

 private:
  friend class CEventLoop;
  friend class CDialog;
  friend class CWindowDC;
  friend class CPaintDC;
  friend struct TopLevelState;

  void AttachChild(CWnd* child);
  void DetachChild(CWnd* child);
  void ResizeClient(int width, int height);
  void MoveChild(const CRect& rect, BOOL repaint);
  CRect RectInTopLevel() const;  // client rectangle in the top-level window's client coordinates
  void DestroyChildren();

  CWnd* m_parent = nullptr;  // for child windows
  CWnd* m_owner = nullptr;   // for top-level windows
  std::vector<CWnd*> m_children;
  int m_id = 0;
  DWORD m_style = 0;
  DWORD m_exStyle = 0;
  std::string m_text;
  std::string m_className;
  CFont* m_font = nullptr;
  HICON m_iconBig = nullptr;
  HICON m_iconSmall = nullptr;
  CRect m_rect;  // children: in the parent's client coordinates; top-level: on the screen
  CRect m_update;  // invalid part of the client area, empty when valid
  bool m_eraseOnPaint = false;
  bool m_painting = false;  // inside WM_PAINT: m_paintRect is what may be drawn
  CRect m_paintRect;
  int m_modalDepth = 0;
  bool m_endModal = false;
  int m_modalResult = 0;
  std::unique_ptr<CMenu> m_systemMenu;
  std::unique_ptr<TopLevelState> m_top;
};

// The system menu and the small menus the layer knows: items are kept so that the window can
// offer them (the system menu opens on Alt+Space and on a right click of nothing).
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_BYCOMMAND = 0x0000;

class CMenu {
 public:
  struct Item {
    UINT flags = 0;
    UINT id = 0;
    std::string text;
  };
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
  int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
  const std::vector<Item>& Items() const { return m_items; }

 private:
  std::vector<Item> m_items;
};

// Drawing contexts bound to a window's part of its top-level back buffer. Realising a palette
// on one makes it the palette the window is shown with.
class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;
  UINT RealizePalette() override;
  CWnd* GetWindow() const { return m_wnd; }

 protected:
  CWindowDC(CWnd* wnd, const RECT* limit);  // limit: client coordinates, null = whole client
  CWnd* m_wnd;
  CRect m_drawnTop;  // what may have been drawn, in top-level client coordinates
};

class CClientDC : public CWindowDC {
 public:
  explicit CClientDC(CWnd* wnd) : CWindowDC(wnd) {}
};

// The context of WM_PAINT: limited to the part being painted; erases the background first
// when the invalidation asked for it.
class CPaintDC : public CWindowDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  RECT m_ps_rcPaint{};  // the part being painted, client coordinates
};

// The classic grey 3-D colours.
COLORREF GetSysColor(int index);
// A solid brush of a system colour, owned by the layer.
CBrush* GetSysColorBrush(int index);

// Free functions of the window layer.
CWnd* GetCapture();
BOOL ReleaseCapture();
CWnd* GetFocus();
HCURSOR LoadCursor(HINSTANCE module, int id);
// Names a cursor resource of a module after one of the stock cursors (the link cursor is the hand).
void RegisterCursorResource(HINSTANCE module, int id, int stockId);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int GetSystemMetrics(int index);
// SPI_GETWORKAREA only: the part of the first screen that windows may cover. FALSE for any
// other action.
BOOL SystemParametersInfo(UINT action, UINT param, void* data, UINT winIni);
BOOL GetCursorPos(POINT* p);
