// Routing of input, capture, focus, posted messages, timers and painting.
#include "window_test_util.h"

namespace {

class Events : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureDesktop();
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_CAPTION | WS_VISIBLE, ScreenRect(100, 50, 200, 150),
                             nullptr, 0));
    ASSERT_TRUE(left.Create(nullptr, "left", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &top, 11));
    ASSERT_TRUE(overlap.Create(nullptr, "overlap", WS_CHILD | WS_VISIBLE, CRect(40, 40, 90, 90), &top, 12));
    CEventLoop::ProcessPending();
    top.log.clear();
    left.log.clear();
    overlap.log.clear();
  }
  void TearDown() override {
    ReleaseCapture();
    top.DestroyWindow();
  }
  CRecordingWnd top, left, overlap;
};

TEST_F(Events, MouseGoesToTheTopmostWindowUnderThePointerInItsOwnCoordinates) {
  CEventLoop::InjectMouseButton(&top, CPoint(20, 25), VK_LBUTTON, true);
  CEventLoop::InjectMouseButton(&top, CPoint(50, 50), VK_LBUTTON, true);  // both children: later one is on top
  CEventLoop::InjectMouseButton(&top, CPoint(150, 120), VK_RBUTTON, true);
  EXPECT_EQ(left.log, (std::vector<std::string>{"ldown 10,15"}));
  EXPECT_EQ(overlap.log, (std::vector<std::string>{"ldown 10,10"}));
  EXPECT_EQ(top.log, (std::vector<std::string>{"rdown 150,120"}));
  EXPECT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
  CEventLoop::InjectMouseButton(&top, CPoint(150, 120), VK_LBUTTON, false);
  EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000);
}

TEST_F(Events, HiddenAndDisabledChildrenLetTheClickThrough) {
  overlap.ShowWindow(SW_HIDE);
  left.EnableWindow(FALSE);
  CEventLoop::InjectMouseButton(&top, CPoint(50, 50), VK_LBUTTON, true);
  EXPECT_TRUE(left.log.empty());
  EXPECT_TRUE(overlap.log.empty());
  EXPECT_EQ(top.log, (std::vector<std::string>{"ldown 50,50"}));
  EXPECT_EQ(CWnd::WindowFromPoint(POINT{150, 100}), &top);
}

TEST_F(Events, CaptureGetsTheDragEvenOutsideItsWindowUntilReleased) {
  left.SetCapture();
  EXPECT_EQ(GetCapture(), &left);
  CEventLoop::InjectMouseMove(&top, CPoint(180, 140));
  CEventLoop::InjectMouseMove(&top, CPoint(-30, 400));  // off the window altogether
  CEventLoop::InjectMouseButton(&top, CPoint(-30, 400), VK_LBUTTON, false);
  EXPECT_EQ(left.log, (std::vector<std::string>{"move 170,130", "move -40,390", "lup -40,390"}));
  EXPECT_TRUE(top.log.empty());
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  CEventLoop::InjectMouseMove(&top, CPoint(180, 140));
  EXPECT_EQ(top.log.back(), "move 180,140");
}

class CDragWnd : public CRecordingWnd {
 public:
  void OnLButtonDown(UINT f, CPoint p) override {
    CRecordingWnd::OnLButtonDown(f, p);
    SetCapture();
  }
  void OnLButtonUp(UINT f, CPoint p) override {
    CRecordingWnd::OnLButtonUp(f, p);
    if (GetCapture() == this) ReleaseCapture();
  }
};

TEST_F(Events, AWindowThatCapturesOnPressIsReleasedOnButtonUp) {
  CDragWnd drag;
  ASSERT_TRUE(drag.Create(nullptr, "drag", WS_CHILD | WS_VISIBLE, CRect(120, 10, 180, 60), &top, 13));
  CEventLoop::InjectMouseButton(&top, CPoint(130, 20), VK_LBUTTON, true);
  EXPECT_EQ(GetCapture(), &drag);
  CEventLoop::InjectMouseMove(&top, CPoint(20, 20));  // over another window: still ours
  EXPECT_TRUE(left.log.empty());
  CEventLoop::InjectMouseButton(&top, CPoint(20, 20), VK_LBUTTON, false);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(drag.log.back(), "lup -100,10");
  CEventLoop::InjectClick(&top, CPoint(20, 20));
  EXPECT_EQ(left.log.back(), "lup 10,10");
  drag.DestroyWindow();
}

TEST_F(Events, DestroyingTheCaptureOrFocusWindowDropsIt) {
  overlap.SetCapture();
  overlap.SetFocus();
  overlap.DestroyWindow();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_NE(GetFocus(), &overlap);
  CEventLoop::InjectMouseButton(&top, CPoint(80, 80), VK_LBUTTON, true);
  EXPECT_EQ(top.log.back(), "ldown 80,80");
}

TEST_F(Events, KeysAndTextGoToTheFocus) {
  left.SetFocus();
  CEventLoop::InjectKeyPress('M');
  CEventLoop::InjectText("x\xC3\xA9\xE2\x82\xAC");  // x, e-acute, and a euro sign with no 8-bit form
  EXPECT_EQ(left.log, (std::vector<std::string>{"key 77", "char x", std::string("char ") + '\xE9'}));
  top.SetFocus();
  CEventLoop::InjectKeyPress(VK_BACK);
  EXPECT_EQ(top.log, (std::vector<std::string>{"key 8"}));
}

TEST_F(Events, PostedMessagesArriveInOrderAndNotForDestroyedWindows) {
  for (int id = 1; id <= 3; ++id) top.PostMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
  left.PostMessage(WM_COMMAND, 9, 0);
  overlap.PostMessage(WM_COMMAND, 7, 0);
  overlap.DestroyWindow();
  EXPECT_TRUE(top.log.empty());  // nothing arrives before the loop runs
  CEventLoop::ProcessPending();
  EXPECT_EQ(top.log, (std::vector<std::string>{"command 1 0", "command 2 0", "command 3 0"}));
  EXPECT_EQ(left.log, (std::vector<std::string>{"command 9 0"}));
  EXPECT_TRUE(overlap.log.empty());
  EXPECT_EQ(top.SendMessage(WM_COMMAND, MAKEWPARAM(105, 0), 0), 0);
  EXPECT_EQ(top.log.back(), "command 105 0");
}

TEST_F(Events, TimersFireAtTheirPeriodsInOrderAndKilledOnesNever) {
  CFakeClock clock;
  top.SetTimer(1001, 30);
  top.SetTimer(1000, 100);
  left.SetTimer(5, 20);
  left.KillTimer(5);
  for (int step = 0; step < 10; ++step) {
    clock.now += 10;
    CEventLoop::ProcessPending();
  }
  EXPECT_EQ(top.log, (std::vector<std::string>{"timer 1001", "timer 1001", "timer 1001", "timer 1000"}));
  EXPECT_TRUE(left.log.empty());
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), 20);
  top.KillTimer(1001);
  top.KillTimer(1000);
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), -1);
}

TEST_F(Events, ATimerThatFellBehindTicksOnceAndKeepsItsPeriod) {
  CFakeClock clock;
  top.SetTimer(7, 40);
  clock.now += 1000;  // the program was busy for a second
  CEventLoop::ProcessPending();
  CEventLoop::ProcessPending();
  EXPECT_EQ(top.log.size(), 1u);
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), 40);
  clock.now += 40;
  CEventLoop::ProcessPending();
  EXPECT_EQ(top.log.size(), 2u);
}

TEST_F(Events, ATimerCanKillAnotherFromItsHandler) {
  class CKiller : public CRecordingWnd {
   public:
    void OnTimer(UINT_PTR id) override {
      CRecordingWnd::OnTimer(id);
      KillTimer(2);
    }
  } killer;
  ASSERT_TRUE(killer.Create(nullptr, "k", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &top, 14));
  CFakeClock clock;
  killer.SetTimer(1, 10);
  killer.SetTimer(2, 10);
  clock.now += 10;
  CEventLoop::ProcessPending();
  EXPECT_EQ(killer.log, (std::vector<std::string>{"timer 1"}));
  killer.DestroyWindow();
}

TEST_F(Events, InvalidationsCoalesceIntoOnePaintAndOverlappingChildrenRepaint) {
  const int before = top.paints;
  top.Invalidate(FALSE);
  top.InvalidateRect(nullptr, TRUE);
  left.Invalidate();
  CEventLoop::ProcessPending();
  EXPECT_EQ(top.paints, before + 1);
  EXPECT_EQ(left.paints, 1 + 1);    // painted once at creation, once now
  EXPECT_EQ(overlap.paints, 1 + 1);  // painted over by its parent, so painted again
  const CBitmap* buffer = top.GetBackBuffer();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->Width(), 200);
  EXPECT_EQ(buffer->PixelColor(50, 50), RGB(255, 0, 0));
  // A child that paints in another colour shows on top of its parent, clipped to itself.
  left.fill = RGB(0, 0, 255);
  left.Invalidate();
  CEventLoop::ProcessPending();
  EXPECT_EQ(buffer->PixelColor(15, 15), RGB(0, 0, 255));
  EXPECT_EQ(buffer->PixelColor(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(buffer->PixelColor(50, 50), RGB(255, 0, 0));  // overlap is above left
}

TEST_F(Events, ClientAndScreenCoordinatesAgree) {
  CRect r;
  overlap.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(140, 90, 190, 140));
  POINT p{5, 6};
  overlap.ClientToScreen(&p);
  EXPECT_EQ(CPoint(p), CPoint(145, 96));
  left.ScreenToClient(&p);
  EXPECT_EQ(CPoint(p), CPoint(35, 36));
  overlap.MoveWindow(0, 0, 20, 30);
  overlap.GetClientRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 20, 30));
  EXPECT_EQ(top.GetDlgItem(12), &overlap);
  EXPECT_EQ(top.GetDlgItem(99), nullptr);
}

TEST_F(Events, AltSpaceOpensTheSystemMenuWithTheProgramsOwnItems) {
  class CMenuOwner : public CRecordingWnd {
   public:
    void OnSysCommand(UINT id, LPARAM) override { log.push_back("syscommand " + std::to_string(id)); }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "menu", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                           ScreenRect(10, 10, 200, 100), nullptr, 0));
  CMenu* menu = wnd.GetSystemMenu(FALSE);
  menu->AppendMenu(MF_SEPARATOR);
  menu->AppendMenu(MF_STRING, 16, "&About...");
  menu->AppendMenu(MF_STRING, 18, "&Options...");
  wnd.SetFocus();
  int step = 0;
  CEventLoop::SetModalHook([&](CWnd*) {
    if (step++ == 0) CEventLoop::InjectKeyPress('O');  // by mnemonic
    else {
      CEventLoop::InjectKeyPress(VK_UP);  // from nothing, up wraps to the last item
      CEventLoop::InjectKeyPress(VK_UP);
      CEventLoop::InjectKeyPress(VK_RETURN);
    }
  });
  for (int i = 0; i < 2; ++i) {
    CEventLoop::InjectKey(VK_MENU, true);
    CEventLoop::InjectKeyPress(VK_SPACE);
    CEventLoop::InjectKey(VK_MENU, false);
  }
  CEventLoop::SetModalHook(nullptr);
  EXPECT_EQ(wnd.log, (std::vector<std::string>{"syscommand 18", "syscommand 16"}));
  EXPECT_EQ(GetFocus(), &wnd);
  // Alt+F4 asks the window to close.
  CEventLoop::InjectKey(VK_MENU, true);
  CEventLoop::InjectKeyPress(VK_F4);
  CEventLoop::InjectKey(VK_MENU, false);
  EXPECT_EQ(wnd.log.back(), "syscommand " + std::to_string(SC_CLOSE));
  wnd.DestroyWindow();
}

}  // namespace
