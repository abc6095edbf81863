// A real window on a virtual X display: what the layer presents is what the screen shows.
// Runs under xvfb-run (SDL_VIDEODRIVER=x11); skipped on the headless driver.
#include "window_test_util.h"

#ifdef GYRIX_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <platform/sdlwindow.h>
#include <platform/xconnection.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Stripes of four palette colours, 8 pixels wide, with a white square in the corner.
class CStripes : public CWnd {
 public:
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnPaint() override {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    static const COLORREF kColours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    for (int x = 0; x < r.right; x += 8) dc.FillSolidRect(x, 0, 8, r.bottom, kColours[(x / 8) % 4]);
    dc.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
  }
  static COLORREF Expected(int x, int y) {
    static const COLORREF kColours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    if (x < 16 && y < 16) return RGB(255, 255, 255);
    return kColours[(x / 8) % 4];
  }
};

TEST(RealWindow, APresentedPictureIsOnTheScreen) {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (!driver || std::strcmp(driver, "x11") != 0) GTEST_SKIP() << "needs a real X display (xvfb-run)";
#ifndef GYRIX_HAVE_X11
  GTEST_SKIP() << "built without X11";
#else
  ASSERT_TRUE(CEventLoop::Init());
  ASSERT_STREQ(CEventLoop::VideoDriver(), "x11");
  CStripes wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "stripes", WS_POPUP | WS_VISIBLE, ScreenRect(40, 30, 120, 80), nullptr, 0));
  // Let the X server map the window and expose it.
  const std::uint64_t until = CEventLoop::Now() + 1500;
  while (CEventLoop::Now() < until) {
    CEventLoop::ProcessPending();
    SDL_Delay(20);
  }
  wnd.Invalidate(FALSE);
  CEventLoop::ProcessPending();
  CRect r;
  wnd.GetWindowRect(&r);
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XSync(display, False);
  XImage* shot = XGetImage(display, DefaultRootWindow(display), r.left, r.top, 120, 80, AllPlanes, ZPixmap);
  ASSERT_NE(shot, nullptr);
  int wrong = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) {
      unsigned long p = XGetPixel(shot, x, y);
      COLORREF seen = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      wrong += seen != CStripes::Expected(x, y);
    }
  XDestroyImage(shot);
  XCloseDisplay(display);
  EXPECT_EQ(wrong, 0);
  wnd.DestroyWindow();
#endif
}

// SDL wakes its event wait by sending an event to its newest window over a connection of its
// own; when a dialog's closing destroyed that window first, the server answers BadWindow, and
// Xlib's default answer to that ends the program.
TEST(RealWindow, AnEventSentToAWindowAlreadyGoneDoesNotEndTheProgram) {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (!driver || std::strcmp(driver, "x11") != 0) GTEST_SKIP() << "needs a real X display (xvfb-run)";
#ifndef GYRIX_HAVE_X11
  GTEST_SKIP() << "built without X11";
#else
  ASSERT_TRUE(CEventLoop::Init());
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
  XDestroyWindow(display, gone);
  XEvent wake{};
  wake.xclient.type = ClientMessage;
  wake.xclient.window = gone;
  wake.xclient.format = 32;
  XSendEvent(display, gone, False, NoEventMask, &wake);
  XSync(display, False);  // the error arrives here; unfiltered, the process ends now
  XCloseDisplay(display);
  SUCCEED();
#endif
}

#ifdef GYRIX_HAVE_X11
Window XWindowOf(CWnd& wnd) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(wnd.TopState()->window, &info) ? info.info.x11.window : 0;
}
#endif

bool OnX11() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  return driver && std::strcmp(driver, "x11") == 0;
}

TEST(RealWindow, AnXErrorIsLoggedAndTheProgramGoesOn) {
  if (!OnX11()) GTEST_SKIP() << "needs a real X display (xvfb-run)";
#ifdef GYRIX_HAVE_X11
  ASSERT_TRUE(CEventLoop::Init());
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "target", WS_POPUP | WS_VISIBLE, ScreenRect(10, 10, 40, 30), nullptr, 0));
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  ASSERT_TRUE(SDL_GetWindowWMInfo(wnd.TopState()->window, &info));
  Display* display = info.info.x11.display;
  const int before = xconnection::ErrorCount();
  // An event for a window that is gone: Xlib's own handler would end the process here.
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.format = 32;
  XSendEvent(display, 0x7ffffff, False, NoEventMask, &e);
  XSync(display, False);
  EXPECT_EQ(xconnection::ErrorCount(), before + 1);
  wnd.DestroyWindow();
#endif
}

// Pointer motion arrives for a popup while the loop waits, and the popup is closed at once, a
// thousand times: the loop must never have an event sent to a window already destroyed.
TEST(RealWindow, WindowsClosedAsInputArrivesAreSentNothingAfterwards) {
  if (!OnX11()) GTEST_SKIP() << "needs a real X display (xvfb-run)";
#ifdef GYRIX_HAVE_X11
  ASSERT_TRUE(CEventLoop::Init());
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, ScreenRect(0, 0, 200, 150), nullptr, 0));
  const int before = xconnection::ErrorCount();
  for (int i = 0; i < 1000; ++i) {
    auto popup = std::make_unique<CWnd>();
    ASSERT_TRUE(popup->CreateEx(0, nullptr, "popup", WS_POPUP | WS_VISIBLE, ScreenRect(20, 20, 80, 60), nullptr, 0));
    const Window target = XWindowOf(*popup);
    CEventLoop::ProcessPending();  // painted, so that the loop below really waits
    XWarpPointer(other, None, target, 0, 0, 0, 0, 5 + i % 50, 5 + i % 40);
    XFlush(other);
    owner.SetTimer(1, 5);
    CEventLoop::PumpMessage(TRUE);
    popup->DestroyWindow();
  }
  XSync(other, False);
  XCloseDisplay(other);
  for (int i = 0; i < 10; ++i) CEventLoop::PumpMessage(FALSE);
  EXPECT_EQ(xconnection::ErrorCount(), before);
  owner.DestroyWindow();
#endif
}

#ifdef GYRIX_HAVE_X11
// A property of a window as the window manager reads it: its 32-bit items (none: not set).
// Read over SDL's own connection, so everything SDL and the layer asked for is seen.
std::vector<long> Property(CWnd& wnd, const char* name) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  std::vector<long> items;
  if (!SDL_GetWindowWMInfo(wnd.TopState()->window, &info)) return items;
  Display* d = info.info.x11.display;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, info.info.x11.window, XInternAtom(d, name, False), 0, 32, False, AnyPropertyType,
                         &type, &format, &count, &after, &data) == Success && data) {
    if (format == 32) items.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    XFree(data);
  }
  return items;
}

long AtomOf(CWnd& wnd, const char* name) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  SDL_GetWindowWMInfo(wnd.TopState()->window, &info);
  return static_cast<long>(XInternAtom(info.info.x11.display, name, False));
}

// Least and greatest size from WM_NORMAL_HINTS (flags, x, y, w, h, min w, h, max w, h, ...).
std::vector<long> SizeLimits(CWnd& wnd) {
  const std::vector<long> hints = Property(wnd, "WM_NORMAL_HINTS");
  if (hints.size() < 9 || (hints[0] & (PMinSize | PMaxSize)) != (PMinSize | PMaxSize)) return {};
  return {hints[5], hints[6], hints[7], hints[8]};
}
#endif

// A captioned window that cannot be resized is a dialog to the window manager: above its
// owner, to be moved and closed only, one size. Windows made before and after it stay normal.
TEST(RealWindow, AFixedSizeDialogIsADialogToTheWindowManager) {
  if (!OnX11()) GTEST_SKIP() << "needs a real X display (xvfb-run)";
#ifdef GYRIX_HAVE_X11
  ASSERT_TRUE(CEventLoop::Init());
  // As on a desktop, where the window manager knows the Motif hints: on a server that has
  // never heard of them SDL makes every window transient for the root instead.
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  XInternAtom(other, "_MOTIF_WM_HINTS", False);
  XCloseDisplay(other);
  CWnd owner, dialog, later;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, ScreenRect(0, 0, 300, 200), nullptr, 0));
  ASSERT_TRUE(dialog.CreateEx(0, nullptr, "dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                              ScreenRect(40, 40, 180, 90), &owner, 0));
  ASSERT_TRUE(later.CreateEx(0, nullptr, "later", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                             ScreenRect(60, 60, 120, 80), nullptr, 0));
  const long dialogType = AtomOf(dialog, "_NET_WM_WINDOW_TYPE_DIALOG");
  const long moveAndClose = 4 | 32, noResizeMinimiseMaximise = 1 | 4 | 32 | 64;

  EXPECT_EQ(Property(dialog, "_NET_WM_WINDOW_TYPE"), std::vector<long>{dialogType});
  EXPECT_EQ(Property(dialog, "WM_TRANSIENT_FOR"), std::vector<long>{static_cast<long>(XWindowOf(owner))});
  std::vector<long> motif = Property(dialog, "_MOTIF_WM_HINTS");
  ASSERT_EQ(motif.size(), 5u);
  EXPECT_EQ(motif[0] & 3, 3);  // functions and decorations given
  EXPECT_EQ(motif[1], moveAndClose);
  EXPECT_EQ(motif[2] & noResizeMinimiseMaximise, 0);
  EXPECT_EQ(SizeLimits(dialog), std::vector<long>({180, 90, 180, 90}));

  // Shown and then given another size, it is still all of that, at its new size.
  dialog.ShowWindow(SW_SHOW);
  dialog.MoveWindow(40, 40, 200, 100);
  CEventLoop::ProcessPending();
  EXPECT_EQ(Property(dialog, "_NET_WM_WINDOW_TYPE"), std::vector<long>{dialogType});
  motif = Property(dialog, "_MOTIF_WM_HINTS");
  EXPECT_TRUE(motif.size() == 5 && motif[1] == moveAndClose);
  EXPECT_EQ(SizeLimits(dialog), std::vector<long>({200, 100, 200, 100}));

  for (CWnd* normal : {&owner, &later}) {
    EXPECT_EQ(Property(*normal, "_NET_WM_WINDOW_TYPE"), std::vector<long>{AtomOf(*normal, "_NET_WM_WINDOW_TYPE_NORMAL")});
    EXPECT_TRUE(Property(*normal, "WM_TRANSIENT_FOR").empty());
    motif = Property(*normal, "_MOTIF_WM_HINTS");
    EXPECT_TRUE(motif.size() < 2 || !(motif[0] & 1)) << "no functions taken away";
    EXPECT_TRUE(SizeLimits(*normal).empty()) << "resizable";
  }
  later.DestroyWindow();
  dialog.DestroyWindow();
  owner.DestroyWindow();
#endif
}

}  // namespace
