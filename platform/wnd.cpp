#include <platform/wnd.h>

#include <platform/eventloop.h>
#include <platform/sdlwindow.h>
#include <platform/x11hints.h>
#include <platform/xconnection.h>

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

CRect Intersect(const CRect& a, const CRect& b) {
  CRect r;
  r.IntersectRect(a, b);
  return r;
}

CRect Union(const CRect& a, const CRect& b) {
  CRect r;
  r.UnionRect(a, b);
  return r;
}

Uint32 SdlFlagsFor(DWORD style) {
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  if ((style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION)
    flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
  return flags;
}

// A captioned window that cannot be resized is a dialog to the window manager.
bool IsFixedDialog(DWORD style) {
  return (style & WS_CAPTION) == WS_CAPTION && !(style & WS_THICKFRAME);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd) {
    // Too late for virtual handlers: only the bookkeeping is undone.
    DestroyChildren();
    CEventLoop::WindowDestroyed(this);
    if (m_parent) m_parent->DetachChild(this);
    m_hWnd = nullptr;
  }
  for (CWnd* c : m_children) c->m_parent = nullptr;
}

BOOL CWnd::Create(const char* className, const char* text, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) {
  return CreateEx(0, className, text, style, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id) {
  if (m_hWnd) return FALSE;
  const bool child = (style & WS_CHILD) != 0;
  if (child && (!parent || !parent->m_hWnd)) return FALSE;
  m_style = style;
  m_exStyle = exStyle;
  m_text = text ? text : "";
  m_className = className ? className : "";
  m_id = static_cast<int>(id);
  m_rect = rect;
  if (child) {
    m_parent = parent;
    m_rect.NormalizeRect();
  } else {
    if (!CEventLoop::Init()) return FALSE;
    m_owner = parent ? parent->GetTopLevelParent() : nullptr;
    int w = m_rect.Width() > 0 ? m_rect.Width() : kDefaultWidth;
    int h = m_rect.Height() > 0 ? m_rect.Height() : kDefaultHeight;
    m_rect = CRect(m_rect.left, m_rect.top, m_rect.left + w, m_rect.top + h);
    auto top = std::make_unique<TopLevelState>();
    if (IsFixedDialog(style)) {
      SDL_Window* owner = m_owner && m_owner->m_top ? m_owner->m_top->window : nullptr;
      top->window = CreateFixedDialogWindow(m_text.c_str(), m_rect.left, m_rect.top, w, h, SdlFlagsFor(style), owner);
    } else {
      top->window = SDL_CreateWindow(m_text.c_str(), m_rect.left, m_rect.top, w, h, SdlFlagsFor(style));
      if (top->window) SDL_SetWindowMinimumSize(top->window, 1, 1);
    }
    if (!top->window) return FALSE;
    top->windowId = SDL_GetWindowID(top->window);
    xconnection::NoteWindow(top->window);
    if (!top->ResizeBuffer(w, h)) return FALSE;
    m_top = std::move(top);
  }
  m_hWnd = this;
  if (m_parent) m_parent->AttachChild(this);
  CEventLoop::WindowCreated(this);
  m_update = CRect(0, 0, m_rect.Width(), m_rect.Height());
  m_eraseOnPaint = true;
  if (OnCreate() < 0) {
    DestroyWindow();
    return FALSE;
  }
  if (!m_hWnd) return FALSE;
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(m_rect.Width(), m_rect.Height()));
  if (m_top && (m_style & WS_VISIBLE)) {
    m_style &= ~WS_VISIBLE;
    ShowWindow(SW_SHOW);
  } else if (m_parent && (m_style & WS_VISIBLE)) {
    Invalidate(TRUE);
  }
  return m_hWnd != nullptr;
}

void CWnd::DestroyChildren() {
  // Children may destroy siblings while going; work on a copy and check each is still ours.
  std::vector<CWnd*> children = m_children;
  for (CWnd* c : children)
    if (std::find(m_children.begin(), m_children.end(), c) != m_children.end()) c->DestroyWindow();
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  if (m_modalDepth > 0) EndModalLoop(IDCANCEL);
  CWnd* focus = CEventLoop::Focus();
  const bool hadFocus = focus && (focus == this || IsChild(focus));
  SendMessage(WM_DESTROY);
  if (!m_hWnd) return TRUE;  // destroyed from its own OnDestroy
  DestroyChildren();
  if (CEventLoop::Capture() == this) ReleaseCapture();
  if (m_parent) {
    CRect r = m_rect;
    if (m_style & WS_VISIBLE) m_parent->InvalidateRect(&r, TRUE);
    m_parent->DetachChild(this);
  }
  CEventLoop::WindowDestroyed(this);
  if (hadFocus) {
    // The keyboard goes back to the owner (a dialog's main window) or to the parent.
    CWnd* next = m_parent ? m_parent : m_owner;
    if (next && next->m_hWnd && next->IsWindowEnabled()) next->SetFocus();
    else CEventLoop::SetFocusWnd(nullptr);
  }
  if (m_top) {
    SDL_DestroyWindow(m_top->window);
    m_top->window = nullptr;
    m_top.reset();
  }
  m_parent = nullptr;
  m_hWnd = nullptr;
  PostNcDestroy();
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Family

void CWnd::AttachChild(CWnd* child) { m_children.push_back(child); }

void CWnd::DetachChild(CWnd* child) { std::erase(m_children, child); }

CWnd* CWnd::GetTopLevelParent() const {
  const CWnd* w = this;
  while (w->m_parent) w = w->m_parent;
  return const_cast<CWnd*>(w);
}

BOOL CWnd::IsChild(const CWnd* wnd) const {
  for (const CWnd* w = wnd ? wnd->m_parent : nullptr; w; w = w->m_parent)
    if (w == this) return TRUE;
  return FALSE;
}

CWnd* CWnd::GetDlgItem(int id) const {
  for (CWnd* c : m_children)
    if (c->m_id == id) return c;
  return nullptr;
}

CWnd* CWnd::ChildWindowFromPoint(POINT client, bool skipDisabled) {
  // Front-most child first: the last one painted is on top.
  for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
    CWnd* c = *it;
    if (!(c->m_style & WS_VISIBLE)) continue;
    if (skipDisabled && (c->m_style & WS_DISABLED)) continue;
    if (!c->m_rect.PtInRect(client) || c->IsTransparentToMouse()) continue;
    POINT inner{client.x - c->m_rect.left, client.y - c->m_rect.top};
    return c->ChildWindowFromPoint(inner, skipDisabled);
  }
  return this;
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* from, BOOL previous) const {
  std::vector<CWnd*> stops;
  for (CWnd* c : m_children)
    if ((c->m_style & WS_TABSTOP) && (c->m_style & WS_VISIBLE) && !(c->m_style & WS_DISABLED))
      stops.push_back(c);
  if (stops.empty()) return nullptr;
  auto it = std::find(stops.begin(), stops.end(), from);
  if (it == stops.end()) return previous ? stops.back() : stops.front();
  std::ptrdiff_t i = it - stops.begin();
  std::ptrdiff_t n = static_cast<std::ptrdiff_t>(stops.size());
  i = previous ? (i + n - 1) % n : (i + 1) % n;
  return stops[static_cast<std::size_t>(i)];
}

// ---------------------------------------------------------------------------------------------
// Style, text, font, icon

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  DWORD old = m_style;
  m_style = (m_style & ~remove) | add;
  return old != m_style;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
  DWORD old = m_exStyle;
  m_exStyle = (m_exStyle & ~remove) | add;
  return old != m_exStyle;
}

void CWnd::SetWindowText(const char* text) {
  std::string t = text ? text : "";
  if (t == m_text) return;
  m_text = std::move(t);
  if (m_top && m_top->window) SDL_SetWindowTitle(m_top->window, m_text.c_str());
  if (m_hWnd) OnTextChanged();
}

int CWnd::GetWindowText(char* buffer, int size) const {
  if (!buffer || size <= 0) return 0;
  int n = std::min<int>(size - 1, static_cast<int>(m_text.size()));
  std::memcpy(buffer, m_text.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
  m_font = font;
  if (redraw && m_hWnd) Invalidate(TRUE);
}

CFont* CWnd::GetFont() const {
  for (const CWnd* w = this; w; w = w->m_parent)
    if (w->m_font) return w->m_font;
  return nullptr;
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
  HICON old = big ? m_iconBig : m_iconSmall;
  (big ? m_iconBig : m_iconSmall) = icon;
  if (m_top && m_top->window && icon && icon->Width() > 0 && icon->Height() > 0) {
    const int w = icon->Width(), h = icon->Height();
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (s) {
      for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x) {
          COLORREF c = icon->PixelColor(x, y);
          row[x] = 0xFF000000u | (Uint32(GetRValue(c)) << 16) | (Uint32(GetGValue(c)) << 8) |
                   GetBValue(c);
        }
      }
      SDL_SetWindowIcon(m_top->window, s);
      SDL_FreeSurface(s);
    }
  }
  return old;
}

// ---------------------------------------------------------------------------------------------
// Visibility and enabling

BOOL CWnd::ShowWindow(int cmd) {
  if (!m_hWnd) return FALSE;
  const BOOL wasVisible = (m_style & WS_VISIBLE) != 0;
  const bool show = cmd != SW_HIDE;
  if (show) m_style |= WS_VISIBLE;
  else m_style &= ~WS_VISIBLE;
  if (m_top) {
    SDL_Window* win = m_top->window;
    if (!show) {
      SDL_HideWindow(win);
    } else {
      SDL_ShowWindow(win);
      if (cmd == SW_SHOWMAXIMIZED) SDL_MaximizeWindow(win);
      else if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED) SDL_MinimizeWindow(win);
      else if (cmd == SW_RESTORE) SDL_RestoreWindow(win);
      if (cmd != SW_SHOWNA && cmd != SW_MINIMIZE && cmd != SW_SHOWMINIMIZED) SDL_RaiseWindow(win);
      m_top->MarkDirty(CRect(0, 0, m_rect.Width(), m_rect.Height()));
    }
  } else if (m_parent && (wasVisible != (show ? TRUE : FALSE))) {
    CRect r = m_rect;
    m_parent->InvalidateRect(&r, TRUE);
  }
  if ((wasVisible != 0) != show) SendMessage(WM_SHOWWINDOW, show ? 1 : 0, 0);
  if (!m_hWnd) return wasVisible;
  CWnd* focus = CEventLoop::Focus();
  if (!show && focus && (focus == this || IsChild(focus))) {
    CWnd* next = m_parent ? m_parent : m_owner;
    if (next && next->m_hWnd) next->SetFocus();
    else CEventLoop::SetFocusWnd(nullptr);
  }
  if (show && m_top && cmd != SW_SHOWNA && cmd != SW_MINIMIZE && cmd != SW_SHOWMINIMIZED &&
      IsWindowEnabled()) {
    CEventLoop::SetFocusWnd(nullptr);
    CWnd* last = m_top->lastFocus;
    if (last && last->m_hWnd && (last == this || IsChild(last))) last->SetFocus();
    else SetFocus();
  }
  return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
  if (!m_hWnd) return FALSE;
  for (const CWnd* w = this; w; w = w->m_parent)
    if (!(w->m_style & WS_VISIBLE)) return FALSE;
  return TRUE;
}

BOOL CWnd::IsIconic() const {
  const CWnd* top = GetTopLevelParent();
  return top->m_top && top->m_top->minimized;
}

BOOL CWnd::IsZoomed() const {
  const CWnd* top = GetTopLevelParent();
  return top->m_top && top->m_top->maximized;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  const BOOL wasDisabled = (m_style & WS_DISABLED) != 0;
  if (!m_hWnd || (enable ? !wasDisabled : wasDisabled)) return wasDisabled;
  if (enable) m_style &= ~WS_DISABLED;
  else m_style |= WS_DISABLED;
  if (!enable) {
    if (CEventLoop::Capture() == this) ReleaseCapture();
    CWnd* focus = CEventLoop::Focus();
    if (focus && (focus == this || IsChild(focus)) && m_parent) CEventLoop::SetFocusWnd(nullptr);
  }
  SendMessage(WM_ENABLE, enable ? 1 : 0, 0);
  if (m_hWnd) Invalidate(TRUE);
  return wasDisabled;
}

// ---------------------------------------------------------------------------------------------
// Geometry

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | (repaint ? 0 : SWP_NOREDRAW));
}

void CWnd::MoveWindow(const RECT& r, BOOL repaint) {
  MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
  if (!m_hWnd) return FALSE;
  CRect r = m_rect;
  if (!(flags & SWP_NOMOVE)) r = CRect(x, y, x + r.Width(), y + r.Height());
  if (!(flags & SWP_NOSIZE)) {
    const CSize least = m_top ? m_top->minTrack : CSize(0, 0);
    r = CRect(r.left, r.top, r.left + std::max<int>(cx, least.cx), r.top + std::max<int>(cy, least.cy));
  }
  if (m_parent && !(flags & SWP_NOZORDER) && after == nullptr) {
    // HWND_TOP: to the front of its siblings.
    auto& sib = m_parent->m_children;
    std::erase(sib, this);
    sib.push_back(this);
  }
  if (m_top) {
    if (r.TopLeft() != m_rect.TopLeft()) SDL_SetWindowPosition(m_top->window, r.left, r.top);
    if (r.Size() != m_rect.Size()) SDL_SetWindowSize(m_top->window, std::max<int>(r.Width(), 1), std::max<int>(r.Height(), 1));
    const CPoint oldPos = m_rect.TopLeft();
    m_rect.OffsetRect(r.left - m_rect.left, r.top - m_rect.top);
    if (r.Size() != m_rect.Size()) ResizeClient(r.Width(), r.Height());
    if (oldPos != r.TopLeft()) SendMessage(WM_MOVE, 0, MAKELPARAM(r.left, r.top));
  } else {
    MoveChild(r, !(flags & SWP_NOREDRAW));
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  return TRUE;
}

void CWnd::MoveChild(const CRect& r, BOOL repaint) {
  const CRect old = m_rect;
  if (old == r) return;
  m_rect = r;
  if (repaint && (m_style & WS_VISIBLE)) {
    m_parent->InvalidateRect(&old, TRUE);
    m_parent->InvalidateRect(&r, TRUE);
  }
  if (old.TopLeft() != r.TopLeft()) SendMessage(WM_MOVE, 0, MAKELPARAM(r.left, r.top));
  if (old.Size() != r.Size()) {
    m_update = CRect(0, 0, r.Width(), r.Height());
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.Width(), r.Height()));
  }
}

void CWnd::ResizeClient(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  m_rect.right = m_rect.left + width;
  m_rect.bottom = m_rect.top + height;
  if (m_top) m_top->ResizeBuffer(width, height);
  m_update = CRect(0, 0, width, height);
  m_eraseOnPaint = true;
  UINT kind = (m_top && m_top->maximized) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  SendMessage(WM_SIZE, kind, MAKELPARAM(width, height));
}

void CWnd::GetClientRect(RECT* rect) const {
  if (rect) *rect = CRect(0, 0, m_rect.Width(), m_rect.Height());
}

void CWnd::GetWindowRect(RECT* rect) const {
  if (!rect) return;
  CRect r(0, 0, m_rect.Width(), m_rect.Height());
  ClientToScreen(&r);
  *rect = r;
}

void CWnd::GetFrameRect(RECT* rect) const {
  if (!rect) return;
  CRect r;
  GetWindowRect(&r);
  int top = 0, left = 0, bottom = 0, right = 0;
  if (m_top && SDL_GetWindowBordersSize(m_top->window, &top, &left, &bottom, &right) == 0)
    r = CRect(r.left - left, r.top - top, r.right + right, r.bottom + bottom);
  *rect = r;
}

void CWnd::ClientToScreen(POINT* p) const {
  if (!p) return;
  for (const CWnd* w = this; w; w = w->m_parent) {
    p->x += w->m_rect.left;
    p->y += w->m_rect.top;
  }
}

void CWnd::ClientToScreen(RECT* r) const {
  if (!r) return;
  POINT a{r->left, r->top}, b{r->right, r->bottom};
  ClientToScreen(&a);
  ClientToScreen(&b);
  *r = CRect(a.x, a.y, b.x, b.y);
}

void CWnd::ScreenToClient(POINT* p) const {
  if (!p) return;
  POINT origin{0, 0};
  ClientToScreen(&origin);
  p->x -= origin.x;
  p->y -= origin.y;
}

void CWnd::ScreenToClient(RECT* r) const {
  if (!r) return;
  POINT origin{0, 0};
  ClientToScreen(&origin);
  CRect c(*r);
  c.OffsetRect(-origin.x, -origin.y);
  *r = c;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  if (!m_hWnd) return;
  CWnd* ref = alternateOwner ? alternateOwner : GetOwner();
  CRect area;
  if (ref && ref->m_hWnd && !m_parent) {
    ref->GetTopLevelParent()->GetWindowRect(&area);
  } else if (m_parent) {
    m_parent->GetClientRect(&area);
  } else {
    area = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  }
  int x = area.left + (area.Width() - m_rect.Width()) / 2;
  int y = area.top + (area.Height() - m_rect.Height()) / 2;
  if (!m_parent) {
    x = std::max(x, 0);
    y = std::max(y, 0);
  }
  SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CWnd::SetMinTrackSize(int width, int height) {
  if (!m_top) return;
  m_top->minTrack = CSize(std::max(width, 1), std::max(height, 1));
  SDL_SetWindowMinimumSize(m_top->window, m_top->minTrack.cx, m_top->minTrack.cy);
  if (m_rect.Width() < m_top->minTrack.cx || m_rect.Height() < m_top->minTrack.cy)
    SetWindowPos(nullptr, 0, 0, m_rect.Width(), m_rect.Height(), SWP_NOMOVE | SWP_NOZORDER);
}

CRect CWnd::RectInTopLevel() const {
  CRect r(0, 0, m_rect.Width(), m_rect.Height());
  for (const CWnd* w = this; w->m_parent; w = w->m_parent) r.OffsetRect(w->m_rect.left, w->m_rect.top);
  return r;
}

// ---------------------------------------------------------------------------------------------
// Painting

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const RECT* rect, BOOL erase) {
  if (!m_hWnd) return;
  CRect client(0, 0, m_rect.Width(), m_rect.Height());
  CRect r = rect ? Intersect(CRect(*rect), client) : client;
  if (r.IsRectEmpty()) return;
  m_update = Union(m_update, r);
  if (erase) m_eraseOnPaint = true;
}

void CWnd::ValidateRect(const RECT* rect) {
  if (!rect) {
    m_update.SetRectEmpty();
    return;
  }
  // Only a rectangle that covers the whole invalid part can clear it.
  CRect r(*rect);
  if (r.left <= m_update.left && r.top <= m_update.top && r.right >= m_update.right &&
      r.bottom >= m_update.bottom)
    m_update.SetRectEmpty();
}

BOOL CWnd::GetUpdateRect(RECT* rect, BOOL) const {
  if (rect) *rect = m_update;
  return !m_update.IsRectEmpty();
}

void CWnd::UpdateWindow() {
  if (!m_hWnd) return;
  TopLevelState::PaintTree(GetTopLevelParent());
}

BOOL CWnd::RedrawWindow(const RECT* rect, void*, UINT flags) {
  if (!m_hWnd) return FALSE;
  if (flags & RDW_INVALIDATE) InvalidateRect(rect, (flags & RDW_ERASE) != 0);
  if (flags & RDW_UPDATENOW) UpdateWindow();
  return TRUE;
}

CDC* CWnd::GetDC() { return m_hWnd ? new CClientDC(this) : nullptr; }

int CWnd::ReleaseDC(CDC* dc) {
  auto* own = dynamic_cast<CWindowDC*>(dc);
  if (!own || own->GetWindow() != this) return 0;
  delete own;
  return 1;
}

const CBitmap* CWnd::GetBackBuffer() const {
  const CWnd* top = m_hWnd ? GetTopLevelParent() : nullptr;
  return top && top->m_top ? &top->m_top->buffer : nullptr;
}

CBitmap* CWnd::BackBuffer() {
  CWnd* top = m_hWnd ? GetTopLevelParent() : nullptr;
  return top && top->m_top ? &top->m_top->buffer : nullptr;
}

void CWnd::SetPresentPalette(const CPalette* palette) {
  CBitmap* buffer = BackBuffer();
  if (!buffer || !palette || palette->GetEntryCount() <= 0) return;
  const TopLevelState* state = GetTopLevelParent()->TopState();
  if (state && state->lockedPalette && state->lockedPalette != palette) return;
  std::array<RGBQUAD, 256> table = DefaultWindowColours();
  for (int i = 0; i < palette->GetEntryCount() && i < 256; ++i) {
    const PALETTEENTRY& e = palette->Entries()[i];
    table[static_cast<std::size_t>(i)] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
  }
  buffer->SetColorTable(0, 256, table.data());
  CWnd* top = GetTopLevelParent();
  top->m_top->MarkDirty(CRect(0, 0, top->m_rect.Width(), top->m_rect.Height()));
}

CImage32* CWnd::SmoothFrame() {
  CWnd* top = m_hWnd ? GetTopLevelParent() : nullptr;
  return top && top->m_top ? top->m_top->SmoothFrame() : nullptr;
}

void CWnd::ShowSmoothFrame(const CRect& r) {
  CWnd* top = m_hWnd ? GetTopLevelParent() : nullptr;
  if (!top || !top->m_top) return;
  TopLevelState& state = *top->m_top;
  CRect shown;
  if (state.SmoothFrame()) shown.IntersectRect(r, CRect(0, 0, state.smoothFrame.Width(), state.smoothFrame.Height()));
  // Where the old part was, the back buffer shows again.
  state.MarkDirty(state.smoothRect);
  state.MarkDirty(shown);
  state.smoothRect = shown;
}

CRect CWnd::GetSmoothFrameRect() const {
  const CWnd* top = m_hWnd ? GetTopLevelParent() : nullptr;
  return top && top->m_top ? top->m_top->smoothRect : CRect();
}

void CWnd::GetPresentedImage(CImage32& out) const {
  const CWnd* top = m_hWnd ? GetTopLevelParent() : nullptr;
  if (top && top->m_top) top->m_top->ComposePresented(out);
  else out.Resize(0, 0);
}

void CWnd::LockPresentPalette(const CPalette* palette) {
  CWnd* top = m_hWnd ? GetTopLevelParent() : nullptr;
  if (!top || !top->m_top) return;
  top->m_top->lockedPalette = palette;
  if (palette) SetPresentPalette(palette);
}

CRect TopLevelState::PaintWindow(CWnd* w, const CRect& inheritedTop, bool inheritedErase,
                                 const CRect& clipTop) {
  if (!w->m_hWnd || !(w->m_style & WS_VISIBLE)) return CRect();
  const CRect clientTop = w->RectInTopLevel();
  const CRect visibleTop = Intersect(clipTop, clientTop);
  CRect invalidTop = w->m_update;
  invalidTop.OffsetRect(clientTop.left, clientTop.top);
  CRect paintTop = Intersect(Union(invalidTop, inheritedTop), visibleTop);
  const bool erase = w->m_eraseOnPaint || (inheritedErase && !inheritedTop.IsRectEmpty());
  w->m_update.SetRectEmpty();
  CRect painted;
  if (!paintTop.IsRectEmpty()) {
    w->m_paintRect = paintTop;
    w->m_paintRect.OffsetRect(-clientTop.left, -clientTop.top);
    w->m_eraseOnPaint = erase;
    w->m_painting = true;
    w->SendMessage(WM_PAINT);
    w->m_painting = false;
    w->m_eraseOnPaint = false;
    if (!w->m_hWnd) return paintTop;
    painted = paintTop;
  }
  // Whatever this window painted over must be painted again by the children above it, and
  // whatever a child paints must be painted again by its later (higher) siblings.
  CRect dirty = painted;
  std::vector<CWnd*> children = w->m_children;
  for (CWnd* c : children) {
    if (std::find(w->m_children.begin(), w->m_children.end(), c) == w->m_children.end()) continue;
    CRect childPainted = PaintWindow(c, dirty, erase && !painted.IsRectEmpty(), visibleTop);
    dirty = Union(dirty, childPainted);
  }
  return dirty;
}

bool TopLevelState::PaintTree(CWnd* top) {
  if (!top || !top->m_top) return false;
  TopLevelState& state = *top->m_top;
  if (!(top->m_style & WS_VISIBLE) || state.minimized) return false;
  const CRect all(0, 0, top->m_rect.Width(), top->m_rect.Height());
  CRect painted = PaintWindow(top, CRect(), false, all);
  if (!top->m_top) return true;
  state.MarkDirty(painted);
  state.Present();
  return !painted.IsRectEmpty();
}

bool PaintTopLevel(CWnd* top) { return TopLevelState::PaintTree(top); }

void TopLevelState::OnWindowEvent(CWnd* top, const SDL_WindowEvent& e) {
  if (!top || !top->m_top) return;
  TopLevelState& state = *top->m_top;
  switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      if (e.data1 != top->m_rect.Width() || e.data2 != top->m_rect.Height())
        top->ResizeClient(e.data1, e.data2);
      break;
    case SDL_WINDOWEVENT_MOVED:
      if (e.data1 != top->m_rect.left || e.data2 != top->m_rect.top) {
        top->m_rect.OffsetRect(e.data1 - top->m_rect.left, e.data2 - top->m_rect.top);
        top->SendMessage(WM_MOVE, 0, MAKELPARAM(e.data1, e.data2));
      }
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      state.minimized = true;
      top->SendMessage(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(top->m_rect.Width(), top->m_rect.Height()));
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      state.minimized = false;
      state.maximized = true;
      top->SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(top->m_rect.Width(), top->m_rect.Height()));
      top->Invalidate(FALSE);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      state.minimized = false;
      state.maximized = false;
      top->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(top->m_rect.Width(), top->m_rect.Height()));
      top->Invalidate(FALSE);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      state.MarkDirty(CRect(0, 0, top->m_rect.Width(), top->m_rect.Height()));
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      CEventLoop::Activate(top);
      break;
    default:
      break;
  }
}

void HandleWindowEvent(CWnd* top, const SDL_WindowEvent& e) { TopLevelState::OnWindowEvent(top, e); }

// ---------------------------------------------------------------------------------------------
// Mouse, keyboard, timers

CWnd* CWnd::SetCapture() {
  CWnd* old = CEventLoop::Capture();
  if (m_hWnd) CEventLoop::SetCaptureWnd(this);
  return old;
}

CWnd* CWnd::GetCapture() { return CEventLoop::Capture(); }

CWnd* CWnd::SetFocus() {
  CWnd* old = CEventLoop::Focus();
  if (m_hWnd) CEventLoop::SetFocusWnd(this);
  return old;
}

CWnd* CWnd::GetFocus() { return CEventLoop::Focus(); }
CWnd* CWnd::GetActiveWindow() { return CEventLoop::Active(); }

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, void*) {
  return m_hWnd ? CEventLoop::SetTimer(this, id, elapseMs) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id) { return CEventLoop::KillTimer(this, id); }

// ---------------------------------------------------------------------------------------------
// Messages

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return 0;
  return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return FALSE;
  return CEventLoop::Post(this, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) {
  std::vector<CWnd*> children = m_children;
  for (CWnd* c : children) {
    c->SendMessage(message, wParam, lParam);
    c->SendMessageToDescendants(message, wParam, lParam);
  }
}

void CWnd::NotifyParent(UINT code) {
  if (m_parent)
    m_parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(m_id), static_cast<WORD>(code)),
                          reinterpret_cast<LPARAM>(this));
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  const UINT flags = static_cast<UINT>(wParam);
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<CDC*>(wParam));
    case WM_LBUTTONDOWN: OnLButtonDown(flags, pt); return 0;
    case WM_LBUTTONUP: OnLButtonUp(flags, pt); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, pt); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, pt); return 0;
    case WM_RBUTTONUP: OnRButtonUp(flags, pt); return 0;
    case WM_MOUSEMOVE: OnMouseMove(flags, pt); return 0;
    case WM_MOUSEWHEEL: return OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), pt);
    case WM_KEYDOWN: OnKeyDown(flags, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(flags, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_KEYUP: OnKeyUp(flags, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_CHAR: OnChar(flags, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_SIZE: OnSize(flags, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_MOVE: OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      return DefWindowProc(message, wParam, lParam);
    case WM_SYSCOMMAND: OnSysCommand(flags, lParam); return 0;
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<CWnd*>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_HELP: return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_TIMECHANGE: OnTimeChange(); return 0;
    case WM_SETFOCUS: OnSetFocus(reinterpret_cast<CWnd*>(wParam)); return 0;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<CWnd*>(wParam)); return 0;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); return 0;
    case WM_ENABLE: OnEnable(static_cast<BOOL>(wParam)); return 0;
    case WM_CHILDACTIVATE: OnChildActivate(); return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          OnCtlColor(reinterpret_cast<CDC*>(wParam), reinterpret_cast<CWnd*>(lParam),
                     message == WM_CTLCOLORBTN ? CTLCOLOR_BTN : CTLCOLOR_STATIC));
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(OnQueryDragIcon());
    case WM_QUERYNEWPALETTE: return OnQueryNewPalette();
    case WM_PALETTECHANGED: OnPaletteChanged(reinterpret_cast<CWnd*>(wParam)); return 0;
    case WM_SETTEXT: SetWindowText(reinterpret_cast<const char*>(lParam)); return TRUE;
    case WM_GETTEXT:
      return GetWindowText(reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    case WM_SETFONT: SetFont(reinterpret_cast<CFont*>(wParam), static_cast<BOOL>(lParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(GetFont());
    case WM_SETICON:
      return reinterpret_cast<LRESULT>(SetIcon(reinterpret_cast<HICON>(lParam), wParam == ICON_BIG));
    default: return DefWindowProc(message, wParam, lParam);
  }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      // The parent may want to choose the cursor for its children.
      if (m_parent && m_parent->SendMessage(WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (reinterpret_cast<CWnd*>(wParam) == this) ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return FALSE;
    case WM_HELP:
      if (m_parent) return m_parent->SendMessage(WM_HELP, wParam, lParam);
      return FALSE;
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessage(WM_CLOSE); break;
        case SC_MINIMIZE: ShowWindow(SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(SW_SHOWMAXIMIZED); break;
        case SC_RESTORE: ShowWindow(SW_RESTORE); break;
        default: break;
      }
      return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
      CDC* dc = reinterpret_cast<CDC*>(wParam);
      if (dc) {
        dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
        dc->SetBkColor(GetSysColor(COLOR_3DFACE));
      }
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
    }
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(LoadCursor(nullptr, IDC_ARROW));
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Modal loop

int CWnd::RunModalLoop() {
  if (!m_hWnd) return -1;
  ++m_modalDepth;
  m_endModal = false;
  CEventLoop::RunModalHook(this);
  while (m_hWnd && !m_endModal) {
    if (!ContinueModal()) break;
    if (m_endModal || !m_hWnd) break;
    if (!CEventLoop::PumpMessage(TRUE)) break;  // quit: the outer loop sees it too
  }
  --m_modalDepth;
  m_endModal = false;
  return m_modalResult;
}

BOOL CWnd::ContinueModal() { return !m_endModal; }

void CWnd::EndModalLoop(int result) {
  m_modalResult = result;
  m_endModal = true;
}

// ---------------------------------------------------------------------------------------------
// Menu

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
  m_items.push_back(Item{flags, static_cast<UINT>(id), text ? text : ""});
  return TRUE;
}

namespace {

constexpr int kMenuRowHeight = 20;
constexpr int kMenuSeparatorHeight = 8;

// The drop-down list of a menu: a borderless popup that holds the mouse until a choice is made.
class CMenuPopup : public CWnd {
 public:
  explicit CMenuPopup(std::vector<CMenu::Item> items) : m_items(std::move(items)) {}
  UINT m_chosen = 0;

  int RowTop(int i) const {
    int y = 2;
    for (int k = 0; k < i; ++k)
      y += (m_items[static_cast<std::size_t>(k)].flags & MF_SEPARATOR) ? kMenuSeparatorHeight : kMenuRowHeight;
    return y;
  }
  int RowAt(CPoint p) const {
    CRect r;
    GetClientRect(&r);
    if (!r.PtInRect(p)) return -1;
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
      const bool separator = m_items[static_cast<std::size_t>(i)].flags & MF_SEPARATOR;
      if (p.y >= RowTop(i) && p.y < RowTop(i + 1)) return separator ? -1 : i;
    }
    return -1;
  }
  int Height() const { return RowTop(static_cast<int>(m_items.size())) + 2; }

  void OnPaint() override {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(&r, GetSysColor(COLOR_3DFACE));
    dc.Draw3dRect(&r, GetSysColor(COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    dc.SetBkMode(TRANSPARENT);
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
      const CMenu::Item& item = m_items[static_cast<std::size_t>(i)];
      const int top = RowTop(i);
      if (item.flags & MF_SEPARATOR) {
        dc.FillSolidRect(4, top + 3, r.Width() - 8, 1, GetSysColor(COLOR_3DSHADOW));
        dc.FillSolidRect(4, top + 4, r.Width() - 8, 1, GetSysColor(COLOR_3DHIGHLIGHT));
        continue;
      }
      CRect row(2, top, r.right - 2, top + kMenuRowHeight);
      const bool hot = i == m_hot;
      if (hot) dc.FillSolidRect(&row, GetSysColor(COLOR_HIGHLIGHT));
      dc.SetTextColor(hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_BTNTEXT));
      row.left += 18;
      dc.DrawText(item.text.c_str(), -1, &row, DT_SINGLELINE | DT_VCENTER);
    }
  }
  void SetHot(int i) {
    if (i == m_hot) return;
    m_hot = i;
    Invalidate(FALSE);
  }
  void Choose(int i) {
    if (i >= 0) m_chosen = m_items[static_cast<std::size_t>(i)].id;
    EndModalLoop(0);
  }
  void OnMouseMove(UINT, CPoint p) override { SetHot(RowAt(p)); }
  void OnLButtonUp(UINT, CPoint p) override {
    if (m_pressedOutside) return;
    if (RowAt(p) >= 0) Choose(RowAt(p));
  }
  void OnLButtonDown(UINT, CPoint p) override {
    CRect r;
    GetClientRect(&r);
    m_pressedOutside = !r.PtInRect(p);
    if (m_pressedOutside) Choose(-1);  // a click elsewhere closes the menu
  }
  void OnRButtonDown(UINT f, CPoint p) override { OnLButtonDown(f, p); }
  // Alt may still be held from the key that opened the menu.
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags) override { OnKeyDown(key, repeat, flags); }
  void OnKeyDown(UINT key, UINT, UINT) override {
    const int n = static_cast<int>(m_items.size());
    auto step = [&](int dir) {
      int i = m_hot >= 0 ? m_hot : (dir < 0 ? n : -1);  // from nothing: the first or the last
      for (int k = 0; k < n; ++k) {
        i = (i + dir + n) % n;
        if (!(m_items[static_cast<std::size_t>(i)].flags & MF_SEPARATOR)) return SetHot(i);
      }
    };
    switch (key) {
      case VK_UP: step(-1); break;
      case VK_DOWN: step(1); break;
      case VK_RETURN: Choose(m_hot); break;
      case VK_ESCAPE:
      case VK_MENU: Choose(-1); break;
      default:
        for (int i = 0; i < n; ++i) {
          const std::string& t = m_items[static_cast<std::size_t>(i)].text;
          auto amp = t.find('&');
          if (amp != std::string::npos && amp + 1 < t.size() &&
              std::toupper(static_cast<unsigned char>(t[amp + 1])) == static_cast<int>(key))
            return Choose(i);
        }
    }
  }

 private:
  std::vector<CMenu::Item> m_items;
  int m_hot = -1;
  bool m_pressedOutside = false;
};

}  // namespace

UINT CWnd::TrackSystemMenu() {
  if (!m_hWnd || !m_top) return 0;
  std::vector<CMenu::Item> items;
  if (m_style & WS_MINIMIZEBOX) items.push_back({MF_STRING, SC_MINIMIZE, "Mi&nimize"});
  if (m_style & WS_MAXIMIZEBOX) {
    if (IsZoomed()) items.push_back({MF_STRING, SC_RESTORE, "&Restore"});
    else items.push_back({MF_STRING, SC_MAXIMIZE, "Ma&ximize"});
  }
  if (!items.empty()) items.push_back({MF_SEPARATOR, 0, ""});
  items.push_back({MF_STRING, SC_CLOSE, "&Close\tAlt+F4"});
  if (m_systemMenu)
    for (const CMenu::Item& item : m_systemMenu->Items()) items.push_back(item);
  for (CMenu::Item& item : items) item.text = item.text.substr(0, item.text.find('\t'));
  CMenuPopup popup(items);
  CRect r(m_rect.left, m_rect.top, m_rect.left + 180, m_rect.top);
  r.bottom = r.top + popup.Height();
  if (!popup.CreateEx(0, "#32768", "", WS_POPUP | WS_BORDER, r, this, 0)) return 0;
  if (CFont* font = GetFont()) popup.SetFont(font, FALSE);
  popup.ShowWindow(SW_SHOW);
  popup.SetCapture();
  popup.RunModalLoop();
  if (GetCapture() == &popup) ReleaseCapture();
  popup.DestroyWindow();
  if (m_hWnd) CEventLoop::Activate(this);
  if (popup.m_chosen && m_hWnd) SendMessage(WM_SYSCOMMAND, popup.m_chosen, 0);
  return popup.m_chosen;
}

CMenu* CWnd::GetSystemMenu(BOOL revert) {
  if (revert) {
    m_systemMenu.reset();
    return nullptr;
  }
  if (!m_systemMenu) m_systemMenu = std::make_unique<CMenu>();
  return m_systemMenu.get();
}

// ---------------------------------------------------------------------------------------------
// Default handlers

void CWnd::OnPaint() { CPaintDC dc(this); }

BOOL CWnd::OnEraseBkgnd(CDC* dc) {
  // Top-level windows have the grey dialog face; child windows are transparent unless they
  // draw themselves.
  if (!dc || m_parent) return FALSE;
  CRect r;
  GetClientRect(&r);
  dc->FillSolidRect(&r, GetSysColor(COLOR_3DFACE));
  return TRUE;
}

void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonUp(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
BOOL CWnd::OnMouseWheel(UINT flags, short delta, CPoint point) {
  if (!m_parent) return FALSE;
  return static_cast<BOOL>(m_parent->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(flags), static_cast<WORD>(delta)),
                                                 MAKELPARAM(point.x, point.y)));
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {}
void CWnd::OnSysKeyDown(UINT, UINT, UINT) {}
void CWnd::OnKeyUp(UINT, UINT, UINT) {}
void CWnd::OnChar(UINT, UINT, UINT) {}
void CWnd::OnTimer(UINT_PTR) {}
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnMove(int, int) {}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  // A control's notification goes back to the control first.
  CWnd* control = reinterpret_cast<CWnd*>(lParam);
  if (control && control->m_hWnd && control->m_parent == this) {
    LRESULT result = 0;
    if (control->OnChildNotify(WM_COMMAND, wParam, lParam, &result)) return TRUE;
  }
  return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

void CWnd::OnSysCommand(UINT id, LPARAM lParam) { DefWindowProc(WM_SYSCOMMAND, id, lParam); }

BOOL CWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  return static_cast<BOOL>(
      DefWindowProc(WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(hitTest, message)));
}

BOOL CWnd::OnHelpInfo(HELPINFO* info) {
  return static_cast<BOOL>(DefWindowProc(WM_HELP, 0, reinterpret_cast<LPARAM>(info)));
}

void CWnd::OnClose() { DefWindowProc(WM_CLOSE, 0, 0); }
void CWnd::OnDestroy() {}
void CWnd::OnTimeChange() {}
void CWnd::OnSetFocus(CWnd*) {}
void CWnd::OnKillFocus(CWnd*) {}
void CWnd::OnShowWindow(BOOL, UINT) {}
void CWnd::OnEnable(BOOL) {}
void CWnd::OnChildActivate() {}

HBRUSH CWnd::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
  return reinterpret_cast<HBRUSH>(DefWindowProc(
      ctlColor == CTLCOLOR_BTN ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
      reinterpret_cast<LPARAM>(wnd)));
}

HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(DefWindowProc(WM_QUERYDRAGICON, 0, 0)); }
BOOL CWnd::OnQueryNewPalette() { return FALSE; }
void CWnd::OnPaletteChanged(CWnd*) {}

// ---------------------------------------------------------------------------------------------
// Window drawing contexts

CWindowDC::CWindowDC(CWnd* wnd) : CWindowDC(wnd, nullptr) {}

CWindowDC::CWindowDC(CWnd* wnd, const RECT* limit) : m_wnd(wnd) {
  CreateCompatibleDC(nullptr);
  CBitmap* buffer = wnd ? wnd->BackBuffer() : nullptr;
  if (!buffer) return;
  // The window may draw only in its own client area, inside every ancestor's.
  CRect visibleTop = wnd->RectInTopLevel();
  for (const CWnd* a = wnd->m_parent; a; a = a->m_parent) visibleTop = Intersect(visibleTop, a->RectInTopLevel());
  const CRect clientTop = wnd->RectInTopLevel();
  if (limit) {
    CRect l(*limit);
    l.OffsetRect(clientTop.left, clientTop.top);
    visibleTop = Intersect(visibleTop, l);
  }
  m_drawnTop = visibleTop;
  CRect visible = visibleTop;
  visible.OffsetRect(-clientTop.left, -clientTop.top);
  BindSurface(buffer, POINT{clientTop.left, clientTop.top}, &visible);
  if (wnd->GetFont()) SelectObject(wnd->GetFont());
}

CWindowDC::~CWindowDC() {
  if (!m_wnd || !m_wnd->m_hWnd) return;
  CWnd* top = m_wnd->GetTopLevelParent();
  // Drawing outside WM_PAINT is shown at the end of the loop's round.
  if (top->TopState()) top->TopState()->MarkDirty(m_drawnTop);
}

UINT CWindowDC::RealizePalette() {
  CPalette* palette = GetCurrentPalette();
  CBitmap* buffer = m_wnd ? m_wnd->BackBuffer() : nullptr;
  if (!palette || !buffer) return 0;
  const TopLevelState* top = m_wnd->GetTopLevelParent()->TopState();
  if (top && top->lockedPalette && top->lockedPalette != palette) return 0;
  UINT changed = 0;
  const RGBQUAD* table = buffer->ColorTable();
  for (int i = 0; i < palette->GetEntryCount(); ++i) {
    const PALETTEENTRY& e = palette->Entries()[i];
    if (!table || i >= buffer->ColorTableSize() || table[i].rgbRed != e.peRed ||
        table[i].rgbGreen != e.peGreen || table[i].rgbBlue != e.peBlue)
      ++changed;
  }
  if (changed) m_wnd->SetPresentPalette(palette);
  return changed;
}

CPaintDC::CPaintDC(CWnd* wnd)
    : CWindowDC(wnd, wnd && wnd->m_painting ? &wnd->m_paintRect : nullptr) {
  if (!wnd || !wnd->m_hWnd) return;
  if (wnd->m_painting) {
    m_ps_rcPaint = wnd->m_paintRect;
    if (wnd->m_eraseOnPaint) {
      wnd->m_eraseOnPaint = false;
      wnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(this), 0);
    }
  } else {
    // Outside the painting pass: paint what is invalid, and it is valid afterwards.
    wnd->GetClientRect(&m_ps_rcPaint);
    wnd->m_update.SetRectEmpty();
  }
}

// ---------------------------------------------------------------------------------------------
// System colours, cursors, metrics

COLORREF GetSysColor(int index) {
  switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT: return RGB(0, 0, 128);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_3DFACE: return RGB(192, 192, 192);
    case COLOR_3DSHADOW: return RGB(128, 128, 128);
    case COLOR_GRAYTEXT: return RGB(128, 128, 128);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_3DHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW: return RGB(0, 0, 0);
    case COLOR_3DLIGHT: return RGB(223, 223, 223);
    default: return RGB(192, 192, 192);
  }
}

CBrush* GetSysColorBrush(int index) {
  static std::array<std::unique_ptr<CBrush>, 32> brushes;
  if (index < 0 || index >= 32) index = COLOR_3DFACE;
  auto& b = brushes[static_cast<std::size_t>(index)];
  if (!b) b = std::make_unique<CBrush>(GetSysColor(index));
  return b.get();
}

BOOL SystemParametersInfo(UINT action, UINT, void* data, UINT) {
  if (action != SPI_GETWORKAREA || !data) return FALSE;
  SDL_Rect r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (CEventLoop::IsInitialised()) SDL_GetDisplayUsableBounds(0, &r);
  *static_cast<RECT*>(data) = CRect(r.x, r.y, r.x + r.w, r.y + r.h);
  return TRUE;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      SDL_Rect r{0, 0, 1024, 768};
      if (CEventLoop::IsInitialised()) SDL_GetDisplayBounds(0, &r);
      return index == SM_CXSCREEN ? r.w : r.h;
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 17;
    // Window rectangles of top-level windows are their client areas: the desktop draws the
    // frame, so frames and captions take no room in them.
    default: return 0;
  }
}

BOOL GetCursorPos(POINT* p) {
  if (!p) return FALSE;
  *p = CEventLoop::CursorPos();
  return TRUE;
}

CWnd* GetCapture() { return CEventLoop::Capture(); }
BOOL ReleaseCapture() {
  CEventLoop::SetCaptureWnd(nullptr);
  return TRUE;
}
CWnd* GetFocus() { return CEventLoop::Focus(); }
