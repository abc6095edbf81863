// The event loop: one per process, on the user-interface thread. It waits for the next desktop
// event or the next timer deadline, whichever comes first, so an idle program sleeps. Each
// round it handles, in order: posted messages, desktop input, painting of invalid windows,
// due timers, then shows what was painted.
//
// Tests drive it without a display: Inject* deliver input synchronously, exactly as desktop
// events would arrive, and SetClock replaces the millisecond clock that timers run on.
#pragma once

#include <platform/wnd.h>

#include <cstdint>
#include <functional>

class CEventLoop {
 public:
  // Starts the desktop connection once (video and timers); FALSE when there is none.
  static BOOL Init();
  static bool IsInitialised();
  // Name of the video driver in use ("x11", "dummy", ...), "" before Init.
  static const char* VideoDriver();
  // Milliseconds between two frames of the display the program shows on: its refresh period
  // where the video driver reports a refresh rate, else 16 (about 60 frames a second).
  static int DisplayFramePeriodMs();

  // Handles everything waiting. With wait, first sleeps until something arrives or a timer is
  // due. Returns FALSE once a quit was requested.
  static BOOL PumpMessage(BOOL wait = TRUE);
  // Handles everything waiting, without sleeping (what ProcessMessages does).
  static void ProcessPending();
  // Runs until PostQuitMessage; returns its exit code.
  static int Run();
  static void PostQuitMessage(int exitCode);
  static bool QuitRequested();
  // Takes back a quit request (after a nested loop ended because of it, or in tests).
  static void ClearQuit();
  // From now on SIGTERM and SIGINT (logging out, Ctrl+C) ask the loop to quit, as
  // PostQuitMessage(0) does, so every window closes the ordinary way; a second signal ends
  // the process at once. The loop notices within a quarter of a second.
  static void QuitOnSignals();

  // Posted messages, delivered in order by the loop.
  static BOOL Post(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam);
  static int PendingPostCount();

  // Timers by window and id: a second SetTimer with the same id restarts it.
  static UINT_PTR SetTimer(CWnd* wnd, UINT_PTR id, UINT elapseMs);
  static BOOL KillTimer(CWnd* wnd, UINT_PTR id);
  // Milliseconds until the next timer is due; -1 when there is none.
  static std::int64_t MillisecondsToNextTimer();

  // The clock timers run on; tests install a fake one (null restores the real clock).
  static void SetClock(std::function<std::uint64_t()> clock);
  static std::uint64_t Now();

  // ---- Input state the layer keeps itself (pushed events do not update the desktop's) ----
  static bool IsKeyDown(int virtualKey);
  static POINT CursorPos();  // screen coordinates
  static CWnd* Capture();
  static CWnd* Focus();
  static CWnd* Active();
  // Gives a top-level window the keyboard (its last focused control, or itself).
  static void Activate(CWnd* top);

  // ---- Synchronous input, as the desktop would deliver it ----
  // Points are client coordinates of the top-level window wnd.
  static void InjectMouseMove(CWnd* wnd, CPoint client);
  static void InjectMouseButton(CWnd* wnd, CPoint client, int virtualButton, bool down);
  static void InjectClick(CWnd* wnd, CPoint client, int virtualButton = VK_LBUTTON);
  // The wheel turned by notches (positive away from the user) with the cursor at client.
  static void InjectMouseWheel(CWnd* wnd, CPoint client, int notches);
  // A key press or release, with the modifier keys currently held.
  static void InjectKey(int virtualKey, bool down);
  static void InjectKeyPress(int virtualKey);  // down and up
  // Typed text, UTF-8; characters outside 8 bits are dropped.
  static void InjectText(const char* utf8);
  // The close box of a top-level window.
  static void InjectClose(CWnd* wnd);

  // Called once every time a modal loop starts (after its window is shown), with that window:
  // how a test drives a dialog. Null removes it.
  static void SetModalHook(std::function<void(CWnd*)> hook);

  // Internal: called by CWnd.
  static void WindowCreated(CWnd* wnd);
  static void WindowDestroyed(CWnd* wnd);
  static void SetCaptureWnd(CWnd* wnd);
  static void SetFocusWnd(CWnd* wnd);
  static void RunModalHook(CWnd* wnd);
  // Paints every invalid window and presents the results; true when anything was painted.
  static bool PaintAll();
};

// Familiar free forms.
void PostQuitMessage(int exitCode);
short GetKeyState(int virtualKey);
short GetAsyncKeyState(int virtualKey);
