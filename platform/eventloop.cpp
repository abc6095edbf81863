#include <platform/eventloop.h>

#include <platform/sdlwindow.h>
#include <platform/xconnection.h>

#include <SDL.h>

#include <algorithm>
#include <signal.h>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <unordered_set>
#include <vector>

namespace {

struct Timer {
  CWnd* wnd;
  UINT_PTR id;
  UINT period;
  std::uint64_t due;
  std::uint64_t order;  // creation order: equal deadlines fire oldest first
};

struct LoopState {
  bool initialised = false;
  std::string driver;
  std::vector<Timer> timers;
  std::uint64_t timerOrder = 0;
  std::deque<MSG> posted;
  bool quit = false;
  int exitCode = 0;
  std::function<std::uint64_t()> clock;
  std::array<bool, 256> keys{};
  POINT cursor{};
  CWnd* capture = nullptr;
  CWnd* focus = nullptr;
  CWnd* active = nullptr;
  std::vector<CWnd*> topLevels;  // front first
  std::unordered_set<CWnd*> alive;
  std::function<void(CWnd*)> modalHook;
  // Typed characters belong to the window that had the keyboard when their key went down,
  // even when that key opened a dialog in the meantime.
  CWnd* charTarget = nullptr;
  std::int64_t clockOffset = 0;  // wall clock minus the monotonic clock, to notice time changes
  bool clockOffsetKnown = false;
};

LoopState& S() {
  static LoopState state;
  return state;
}

bool Alive(CWnd* w) { return w && S().alive.count(w) != 0; }

CWnd* TopLevelOfSdl(Uint32 windowId) {
  for (CWnd* w : S().topLevels) {
    const TopLevelState* top = w->TopState();
    if (top && top->windowId == windowId) return w;
  }
  return nullptr;
}

UINT MouseFlags() {
  UINT flags = 0;
  if (S().keys[VK_LBUTTON]) flags |= MK_LBUTTON;
  if (S().keys[VK_RBUTTON]) flags |= MK_RBUTTON;
  if (S().keys[VK_SHIFT]) flags |= MK_SHIFT;
  if (S().keys[VK_CONTROL]) flags |= MK_CONTROL;
  return flags;
}

void SetModifierKeys() {
  auto& k = S().keys;
  k[VK_SHIFT] = k[VK_LSHIFT] || k[VK_RSHIFT];
  k[VK_CONTROL] = k[VK_LCONTROL] || k[VK_RCONTROL];
  k[VK_MENU] = k[VK_LMENU] || k[VK_RMENU];
}

// Which window a mouse message at a client point of the top-level window goes to.
CWnd* MouseTarget(CWnd* top, CPoint client) {
  if (Alive(S().capture)) return S().capture;
  if (!Alive(top) || !top->IsWindowVisible()) return nullptr;
  if (!top->IsWindowEnabled()) return nullptr;  // owner of a modal dialog
  return top->ChildWindowFromPoint(client);
}

LPARAM PointParam(CWnd* target, CPoint screen) {
  POINT p = screen;
  target->ScreenToClient(&p);
  return MAKELPARAM(p.x, p.y);
}

void ActivateTopLevel(CWnd* top) {
  if (!Alive(top) || !top->IsWindowEnabled()) return;
  CWnd* focus = S().focus;
  if (focus && (focus == top || top->IsChild(focus))) return;
  S().active = top;
  CWnd* last = top->TopState() ? top->TopState()->lastFocus : nullptr;
  if (Alive(last) && last->IsWindowVisible() && last->IsWindowEnabled())
    last->SetFocus();
  else
    top->SetFocus();
}

// Gives PreTranslateMessage of the target and its ancestors a look at a key message.
bool PreTranslate(MSG& msg) {
  for (CWnd* w = msg.hwnd; w; w = w->GetParent()) {
    if (w->PreTranslateMessage(&msg)) return true;
    if (!Alive(msg.hwnd)) return true;
  }
  return false;
}

// The desktop announces no clock changes: compare the wall clock with the monotonic one, and
// tell every top-level window when they drift apart by more than a moment.
void CheckTimeChange() {
  auto& st = S();
  timespec wall{}, mono{};
  clock_gettime(CLOCK_REALTIME, &wall);
  clock_gettime(CLOCK_MONOTONIC, &mono);
  const std::int64_t offset = (static_cast<std::int64_t>(wall.tv_sec) - mono.tv_sec) * 1000 +
                              (static_cast<std::int64_t>(wall.tv_nsec) - mono.tv_nsec) / 1000000;
  const bool changed = st.clockOffsetKnown && std::llabs(offset - st.clockOffset) > 2000;
  st.clockOffset = offset;
  st.clockOffsetKnown = true;
  if (!changed) return;
  std::vector<CWnd*> tops = st.topLevels;
  for (CWnd* top : tops)
    if (Alive(top)) top->SendMessage(WM_TIMECHANGE);
}

void FireDueTimers() {
  auto& st = S();
  const std::uint64_t now = CEventLoop::Now();
  std::vector<Timer> due;
  for (const Timer& t : st.timers)
    if (t.due <= now) due.push_back(t);
  std::sort(due.begin(), due.end(), [](const Timer& a, const Timer& b) {
    return a.due != b.due ? a.due < b.due : a.order < b.order;
  });
  for (const Timer& d : due) {
    // A handler may have killed or restarted this timer (or destroyed its window).
    auto it = std::find_if(st.timers.begin(), st.timers.end(), [&](const Timer& t) {
      return t.wnd == d.wnd && t.id == d.id && t.order == d.order;
    });
    if (it == st.timers.end()) continue;
    // The next tick keeps the cadence, but ticks missed while the program was busy are
    // dropped instead of piling up.
    std::uint64_t next = it->due + it->period;
    if (next <= now) next = now + std::max<UINT>(it->period, 1);
    it->due = next;
    d.wnd->SendMessage(WM_TIMER, d.id, 0);
  }
}

void DeliverPosted() {
  auto& st = S();
  std::size_t n = st.posted.size();  // what was posted before this round
  while (n-- > 0 && !st.posted.empty()) {
    MSG m = st.posted.front();
    st.posted.pop_front();
    if (m.message == WM_QUIT) {
      CEventLoop::PostQuitMessage(static_cast<int>(m.wParam));
      continue;
    }
    if (Alive(m.hwnd)) m.hwnd->WindowProc(m.message, m.wParam, m.lParam);
  }
}

void HandleMouseMove(CWnd* top, CPoint client) {
  if (!Alive(top)) return;
  POINT screen = client;
  top->ClientToScreen(&screen);
  S().cursor = screen;
  CWnd* target = MouseTarget(top, client);
  if (!target) return;
  if (!Alive(S().capture)) target->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                                               MAKELPARAM(1, WM_MOUSEMOVE));
  if (Alive(target)) target->SendMessage(WM_MOUSEMOVE, MouseFlags(), PointParam(target, screen));
}

// The wheel goes to the window under the cursor (or the one holding the capture).
void HandleMouseWheel(CWnd* top, CPoint client, int notches) {
  if (!Alive(top) || notches == 0) return;
  POINT screen = client;
  top->ClientToScreen(&screen);
  S().cursor = screen;
  CWnd* target = MouseTarget(top, client);
  if (!target || !top->IsWindowEnabled()) return;
  const int delta = std::clamp(notches, -270, 270) * WHEEL_DELTA;
  target->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(MouseFlags()), static_cast<WORD>(static_cast<short>(delta))),
                      MAKELPARAM(screen.x, screen.y));
}

void HandleMouseButton(CWnd* top, CPoint client, int vk, bool down) {
  if (!Alive(top)) return;
  POINT screen = client;
  top->ClientToScreen(&screen);
  S().cursor = screen;
  if (vk != VK_LBUTTON && vk != VK_RBUTTON && vk != VK_MBUTTON) return;
  S().keys[vk] = down;
  CWnd* target = MouseTarget(top, client);
  if (!target) return;
  if (down && !Alive(S().capture)) ActivateTopLevel(target->GetTopLevelParent());
  if (!Alive(target)) return;
  UINT message = 0;
  if (vk == VK_LBUTTON) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  else if (vk == VK_RBUTTON) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  else return;
  MSG msg{target, message, MouseFlags(), PointParam(target, screen)};
  if (PreTranslate(msg)) return;
  target->SendMessage(message, msg.wParam, msg.lParam);
}

void HandleClose(CWnd* top);

CWnd* KeyTarget() {
  CWnd* target = Alive(S().focus) ? S().focus : (Alive(S().active) ? S().active : nullptr);
  if (!target) return nullptr;
  CWnd* top = target->GetTopLevelParent();
  if (!top || !top->IsWindowEnabled()) return nullptr;
  return target;
}

void HandleKey(int vk, bool down, bool repeat) {
  if (vk <= 0 || vk > 255) return;
  auto& keys = S().keys;
  keys[vk] = down;
  if (vk == VK_SHIFT) keys[VK_LSHIFT] = down;
  if (vk == VK_CONTROL) keys[VK_LCONTROL] = down;
  if (vk == VK_MENU) keys[VK_LMENU] = down;
  SetModifierKeys();
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) vk = VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) vk = VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
  CWnd* target = KeyTarget();
  S().charTarget = down ? target : nullptr;
  if (!target) return;
  const bool alt = keys[VK_MENU];
  // The desktop's own keys: Alt+F4 closes a window, Alt+Space opens its system menu.
  if (down && alt && (vk == VK_F4 || vk == VK_SPACE)) {
    CWnd* top = target->GetTopLevelParent();
    S().charTarget = nullptr;
    if (vk == VK_F4) HandleClose(top);
    else top->TrackSystemMenu();
    return;
  }
  UINT message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : WM_KEYUP;
  LPARAM lp = 1 | (repeat ? (1 << 30) : 0) | (alt ? (1 << 29) : 0);
  MSG msg{target, message, static_cast<WPARAM>(vk), lp};
  if (PreTranslate(msg)) return;
  if (!Alive(target)) return;
  target->SendMessage(message, msg.wParam, msg.lParam);
  if (down && vk == VK_F1 && Alive(target)) {
    HELPINFO info;
    info.iCtrlId = target->GetDlgCtrlID();
    info.hItemHandle = target;
    info.MousePos = S().cursor;
    target->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  }
}

// Latin-1 characters of UTF-8 text; anything wider is dropped (the program's text is 8-bit).
std::vector<unsigned char> EightBitChars(const char* utf8) {
  std::vector<unsigned char> out;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8);
  while (s && *s) {
    unsigned c = *s;
    if (c < 0x80) { out.push_back(static_cast<unsigned char>(c)); ++s; continue; }
    int extra = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : 0;
    unsigned code = c & (0x3F >> extra);
    ++s;
    bool ok = extra > 0;
    for (int i = 0; i < extra; ++i, ++s) {
      if ((*s & 0xC0) != 0x80) { ok = false; break; }
      code = (code << 6) | (*s & 0x3F);
    }
    if (ok && code >= 0xA0 && code <= 0xFF) out.push_back(static_cast<unsigned char>(code));
  }
  return out;
}

void HandleText(const char* utf8) {
  for (unsigned char c : EightBitChars(utf8)) {
    CWnd* target = Alive(S().charTarget) ? S().charTarget : KeyTarget();
    if (!target) return;
    CWnd* top = target->GetTopLevelParent();
    if (!top || !top->IsWindowEnabled()) return;
    MSG msg{target, WM_CHAR, c, 1};
    if (PreTranslate(msg)) continue;
    if (Alive(target)) target->SendMessage(WM_CHAR, c, 1);
  }
}

void HandleClose(CWnd* top) {
  if (!Alive(top) || !top->IsWindowEnabled()) return;
  top->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void HandleSdlEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_MOUSEMOTION:
      HandleMouseMove(TopLevelOfSdl(e.motion.windowID), CPoint(e.motion.x, e.motion.y));
      break;
    case SDL_MOUSEWHEEL: {
      CWnd* top = TopLevelOfSdl(e.wheel.windowID);
      if (!Alive(top)) break;
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      HandleMouseWheel(top, CPoint(x, y), notches);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      int vk = e.button.button == SDL_BUTTON_LEFT    ? VK_LBUTTON
               : e.button.button == SDL_BUTTON_RIGHT ? VK_RBUTTON
               : e.button.button == SDL_BUTTON_MIDDLE ? VK_MBUTTON
                                                      : 0;
      HandleMouseButton(TopLevelOfSdl(e.button.windowID), CPoint(e.button.x, e.button.y), vk,
                        e.type == SDL_MOUSEBUTTONDOWN);
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      HandleKey(VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode), e.type == SDL_KEYDOWN,
                e.key.repeat != 0);
      break;
    case SDL_TEXTINPUT:
      // Ctrl and Alt combinations are commands, not typing.
      if (!S().keys[VK_CONTROL] && !S().keys[VK_MENU]) HandleText(e.text.text);
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE)
        HandleClose(TopLevelOfSdl(e.window.windowID));
      else
        HandleWindowEvent(TopLevelOfSdl(e.window.windowID), e.window);
      break;
    default:
      break;  // joystick and other events only wake the loop
  }
}

// Set by the signal handler, which may do nothing else safely; the loop turns it into a quit.
volatile sig_atomic_t g_quitSignal = 0;
bool g_watchingSignals = false;
constexpr int kSignalPollMs = 250;
constexpr int kJoystickPollMs = 20;

void OnQuitSignal(int) { g_quitSignal = 1; }

void TakeQuitSignal() {
  if (!g_quitSignal) return;
  g_quitSignal = 0;
  CEventLoop::PostQuitMessage(0);
}

int WaitTimeout() {
  auto& st = S();
  if (!st.posted.empty() || st.quit || g_quitSignal) return 0;
  std::int64_t ms = CEventLoop::MillisecondsToNextTimer();
  // A signal does not wake the wait for events: look for one now and then.
  if (g_watchingSignals && (ms < 0 || ms > kSignalPollMs)) ms = kSignalPollMs;
  if (ms < 0) return -1;
  return static_cast<int>(std::min<std::int64_t>(ms, INT_MAX));
}

// A joystick does not wake a wait on the X connection: look at it now and then.
int JoystickCap(int timeout) {
  if (!SDL_WasInit(SDL_INIT_JOYSTICK) || SDL_NumJoysticks() <= 0) return timeout;
  return (timeout < 0 || timeout > kJoystickPollMs) ? kJoystickPollMs : timeout;
}

const char* ChooseVideoDriver() {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen && *chosen) return chosen;
  if (const char* d = std::getenv("DISPLAY"); d && *d) return "x11";
  if (const char* w = std::getenv("WAYLAND_DISPLAY"); w && *w) return "wayland";
  return nullptr;  // no display: better to say so than to pick some other driver silently
}

}  // namespace

// ---- Initialisation ----

BOOL CEventLoop::Init() {
  auto& st = S();
  if (st.initialised) return TRUE;
  // Without a GPU the accelerated path goes through software OpenGL and is many times slower.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  const char* driver = ChooseVideoDriver();
  if (!driver) {
    SDL_SetError("no display: set DISPLAY or WAYLAND_DISPLAY, or SDL_VIDEODRIVER=dummy");
    return FALSE;
  }
  if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) return FALSE;
  if (std::strcmp(driver, "x11") == 0) xconnection::InstallErrorHandler();
  if (SDL_VideoInit(driver) != 0) return FALSE;
  SDL_StartTextInput();
  st.driver = driver;
  st.initialised = true;
  return TRUE;
}

bool CEventLoop::IsInitialised() { return S().initialised; }
const char* CEventLoop::VideoDriver() { return S().driver.c_str(); }

int CEventLoop::DisplayFramePeriodMs() {
  constexpr int kUnknownPeriod = 16;
  constexpr int kShortestPeriod = 4;  // 240 Hz
  if (!IsInitialised()) return kUnknownPeriod;
  SDL_DisplayMode mode;
  if (SDL_GetCurrentDisplayMode(0, &mode) != 0 || mode.refresh_rate <= 0) return kUnknownPeriod;
  return std::clamp(1000 / mode.refresh_rate, kShortestPeriod, kUnknownPeriod);
}

// ---- The loop ----

BOOL CEventLoop::PumpMessage(BOOL wait) {
  auto& st = S();
  if (!st.initialised && !Init()) return FALSE;
  // A window that was invalid and is painted now counts as a message handled: the caller
  // (a modal loop asking ContinueModal, say) gets its turn before the loop sleeps.
  if (wait && !PaintAll()) {
    int timeout = WaitTimeout();
    SDL_Event e;
    // SDL's own wait on X sends a wake-up event to a window that may be destroyed before the
    // server reads it: wait on the connection here instead.
    if (xconnection::WaitForInput(JoystickCap(timeout))) {
      if (SDL_PollEvent(&e)) HandleSdlEvent(e);
    } else if (timeout < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeout)) {
      HandleSdlEvent(e);
    }
  }
  TakeQuitSignal();
  DeliverPosted();
  SDL_Event e;
  while (SDL_PollEvent(&e)) HandleSdlEvent(e);
  PaintAll();
  CheckTimeChange();
  FireDueTimers();
  PaintAll();
  return !st.quit;
}

void CEventLoop::ProcessPending() { PumpMessage(FALSE); }

int CEventLoop::Run() {
  while (PumpMessage(TRUE)) {
  }
  return S().exitCode;
}

void CEventLoop::PostQuitMessage(int exitCode) {
  S().quit = true;
  S().exitCode = exitCode;
}
bool CEventLoop::QuitRequested() { return S().quit; }

void CEventLoop::QuitOnSignals() {
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  // The second signal finds the default action again: a program stuck in a loop still ends.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  g_watchingSignals = true;
}
void CEventLoop::ClearQuit() { S().quit = false; }

BOOL CEventLoop::Post(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (wnd && !Alive(wnd)) return FALSE;
  S().posted.push_back(MSG{wnd, message, wParam, lParam});
  return TRUE;
}
int CEventLoop::PendingPostCount() { return static_cast<int>(S().posted.size()); }

// ---- Timers ----

UINT_PTR CEventLoop::SetTimer(CWnd* wnd, UINT_PTR id, UINT elapseMs) {
  if (!Alive(wnd)) return 0;
  auto& st = S();
  KillTimer(wnd, id);
  UINT period = std::max<UINT>(elapseMs, 1);
  st.timers.push_back(Timer{wnd, id, period, Now() + period, st.timerOrder++});
  return id == 0 ? 1 : id;
}

BOOL CEventLoop::KillTimer(CWnd* wnd, UINT_PTR id) {
  auto& t = S().timers;
  auto it = std::remove_if(t.begin(), t.end(),
                           [&](const Timer& x) { return x.wnd == wnd && x.id == id; });
  BOOL found = it != t.end();
  t.erase(it, t.end());
  return found;
}

std::int64_t CEventLoop::MillisecondsToNextTimer() {
  auto& t = S().timers;
  if (t.empty()) return -1;
  std::uint64_t next = UINT64_MAX;
  for (const Timer& x : t) next = std::min(next, x.due);
  std::uint64_t now = Now();
  return next <= now ? 0 : static_cast<std::int64_t>(next - now);
}

void CEventLoop::SetClock(std::function<std::uint64_t()> clock) { S().clock = std::move(clock); }

std::uint64_t CEventLoop::Now() {
  if (S().clock) return S().clock();
  return SDL_GetTicks64();
}

// ---- Input state ----

bool CEventLoop::IsKeyDown(int vk) { return vk > 0 && vk < 256 && S().keys[vk]; }
POINT CEventLoop::CursorPos() { return S().cursor; }
CWnd* CEventLoop::Capture() { return Alive(S().capture) ? S().capture : nullptr; }
CWnd* CEventLoop::Focus() { return Alive(S().focus) ? S().focus : nullptr; }
CWnd* CEventLoop::Active() { return Alive(S().active) ? S().active : nullptr; }

void CEventLoop::Activate(CWnd* top) { ActivateTopLevel(top); }

void CEventLoop::InjectMouseMove(CWnd* wnd, CPoint client) { HandleMouseMove(wnd, client); }
void CEventLoop::InjectMouseButton(CWnd* wnd, CPoint client, int vk, bool down) {
  HandleMouseButton(wnd, client, vk, down);
}
void CEventLoop::InjectMouseWheel(CWnd* wnd, CPoint client, int notches) { HandleMouseWheel(wnd, client, notches); }
void CEventLoop::InjectClick(CWnd* wnd, CPoint client, int vk) {
  HandleMouseMove(wnd, client);
  HandleMouseButton(wnd, client, vk, true);
  HandleMouseButton(wnd, client, vk, false);
}
void CEventLoop::InjectKey(int vk, bool down) { HandleKey(vk, down, false); }
void CEventLoop::InjectKeyPress(int vk) {
  HandleKey(vk, true, false);
  HandleKey(vk, false, false);
}
void CEventLoop::InjectText(const char* utf8) { HandleText(utf8); }
void CEventLoop::InjectClose(CWnd* wnd) { HandleClose(wnd); }

void CEventLoop::SetModalHook(std::function<void(CWnd*)> hook) { S().modalHook = std::move(hook); }

void CEventLoop::RunModalHook(CWnd* wnd) {
  if (S().modalHook) {
    auto hook = S().modalHook;  // the hook may replace itself
    hook(wnd);
  }
}

// ---- Bookkeeping called by CWnd ----

void CEventLoop::WindowCreated(CWnd* wnd) {
  auto& st = S();
  st.alive.insert(wnd);
  if (wnd->IsTopLevel()) st.topLevels.insert(st.topLevels.begin(), wnd);
}

void CEventLoop::WindowDestroyed(CWnd* wnd) {
  auto& st = S();
  st.alive.erase(wnd);
  std::erase_if(st.timers, [&](const Timer& t) { return t.wnd == wnd; });
  std::erase_if(st.posted, [&](const MSG& m) { return m.hwnd == wnd; });
  std::erase(st.topLevels, wnd);
  if (st.capture == wnd) {
    st.capture = nullptr;
    SDL_CaptureMouse(SDL_FALSE);
  }
  if (st.focus == wnd) st.focus = nullptr;
  if (st.active == wnd) st.active = nullptr;
}

void CEventLoop::SetCaptureWnd(CWnd* wnd) {
  auto& st = S();
  st.capture = wnd;
  // Where the desktop supports it, a drag that leaves the window still reports its release.
  if (st.initialised) SDL_CaptureMouse(wnd ? SDL_TRUE : SDL_FALSE);
}

void CEventLoop::SetFocusWnd(CWnd* wnd) {
  auto& st = S();
  CWnd* old = Alive(st.focus) ? st.focus : nullptr;
  if (old == wnd) return;
  st.focus = wnd;
  if (wnd) {
    CWnd* top = wnd->GetTopLevelParent();
    st.active = top;
    if (top && top->TopState()) top->TopState()->lastFocus = wnd;
    // The top-level window that gets the keyboard moves to the front for hit testing.
    auto it = std::find(st.topLevels.begin(), st.topLevels.end(), top);
    if (it != st.topLevels.end()) std::rotate(st.topLevels.begin(), it, it + 1);
  }
  if (old) old->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(wnd), 0);
  if (wnd && Alive(wnd) && st.focus == wnd)
    wnd->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

CWnd* CWnd::WindowFromPoint(POINT screen) {
  for (CWnd* top : S().topLevels) {
    if (!top->IsWindowVisible() || !top->IsWindowEnabled()) continue;
    CRect r;
    top->GetWindowRect(&r);
    if (!r.PtInRect(screen)) continue;
    POINT client = screen;
    top->ScreenToClient(&client);
    return top->ChildWindowFromPoint(client);
  }
  return nullptr;
}

bool CEventLoop::PaintAll() {
  bool painted = false;
  std::vector<CWnd*> tops = S().topLevels;
  for (CWnd* top : tops)
    if (Alive(top)) painted = PaintTopLevel(top) || painted;
  return painted;
}

// ---- Free forms ----

void PostQuitMessage(int exitCode) { CEventLoop::PostQuitMessage(exitCode); }

short GetKeyState(int vk) {
  return CEventLoop::IsKeyDown(vk) ? static_cast<short>(0x8000) : 0;
}
short GetAsyncKeyState(int vk) { return GetKeyState(vk); }
