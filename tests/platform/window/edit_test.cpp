// The single-line edit field: typing, caret and selection keys, mouse selection, clipboard,
// scrolling, notifications; and check boxes and static text drawing.
#include "window_test_util.h"

#include <cordak/clipboard.h>
#include <cordak/ustring.h>

namespace {

class Edits : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureDesktop();
    ASSERT_TRUE(top.CreateEx(0, nullptr, "edit host", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                             ScreenRect(0, 0, 300, 120), nullptr, 0));
    font.CreatePointFont(80, "MS Sans Serif");
    top.SetFont(&font, FALSE);
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 110, 32), &top, 1032));
    edit.SetFocus();
    top.log.clear();
  }
  void TearDown() override { top.DestroyWindow(); }
  void Type(const char* text) { CEventLoop::InjectText(text); }
  void Press(int vk, bool shift = false, bool ctrl = false) {
    if (shift) CEventLoop::InjectKey(VK_SHIFT, true);
    if (ctrl) CEventLoop::InjectKey(VK_CONTROL, true);
    CEventLoop::InjectKeyPress(vk);
    if (ctrl) CEventLoop::InjectKey(VK_CONTROL, false);
    if (shift) CEventLoop::InjectKey(VK_SHIFT, false);
  }
  std::string Selection() {
    int s, e;
    edit.GetSel(s, e);
    return edit.WindowText().substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s));
  }
  CRecordingWnd top;
  CFont font;
  CEdit edit;
};

TEST_F(Edits, TypingCaretKeysDeleteAndBackspace) {
  Type("R U2");
  EXPECT_EQ(edit.WindowText(), "R U2");
  Press(VK_HOME);
  Press(VK_DELETE);
  Press(VK_END);
  Press(VK_BACK);
  Type("'");
  EXPECT_EQ(edit.WindowText(), " U'");
  Press(VK_LEFT);
  Press(VK_LEFT);
  Type("F");
  EXPECT_EQ(edit.WindowText(), " FU'");
  Press(VK_BACK);
  Press(VK_BACK);
  Press(VK_BACK);  // at the start: nothing more to delete
  EXPECT_EQ(edit.WindowText(), "U'");
  EXPECT_EQ(edit.GetCaret(), 0);
  // Every change told the parent.
  EXPECT_NE(std::count(top.log.begin(), top.log.end(), "command 1032 768"), 0);
}

TEST_F(Edits, ShiftSelectsAndTypingReplacesTheSelection) {
  Type("abcdef");
  Press(VK_LEFT, true);
  Press(VK_LEFT, true);
  EXPECT_EQ(Selection(), "ef");
  Type("X");
  EXPECT_EQ(edit.WindowText(), "abcdX");
  Press(VK_HOME, true);
  EXPECT_EQ(Selection(), "abcdX");
  Press(VK_RIGHT);  // collapses to the end of the selection
  EXPECT_EQ(Selection(), "");
  EXPECT_EQ(edit.GetCaret(), 5);
  Press(VK_HOME);
  Press(VK_END, true);
  Press(VK_DELETE);
  EXPECT_EQ(edit.WindowText(), "");
}

TEST_F(Edits, ClipboardRoundTripThroughTheDesktop) {
  ASSERT_NE(GetClipboardService(), nullptr);
  Type("Show \xC3\xA9t\xC3\xA9");  // typed as UTF-8, kept as 8-bit text
  edit.SetSel(0, -1);
  Press('C', false, true);
  CUString fromClipboard;
  ASSERT_EQ(fromClipboard.FromClipboard(), 1);
  EXPECT_STREQ(static_cast<const char*>(fromClipboard), "Show \xE9t\xE9");
  Press('X', false, true);
  EXPECT_EQ(edit.WindowText(), "");
  Press('V', false, true);
  Press('V', false, true);
  EXPECT_EQ(edit.WindowText(), "Show \xE9t\xE9Show \xE9t\xE9");
  // A single line takes only the first line of what was copied elsewhere.
  CUString multi("first\r\nsecond");
  ASSERT_EQ(multi.ToClipboard(), 1);
  edit.SetSel(0, -1);
  Press(VK_INSERT, true);
  EXPECT_EQ(edit.WindowText(), "first");
}

TEST_F(Edits, LongTextScrollsToKeepTheCaretInView) {
  for (int i = 0; i < 10; ++i) Type("wide text ");
  EXPECT_GT(edit.GetScroll(), 0);
  const int scrolledAtEnd = edit.GetScroll();
  Press(VK_HOME);
  EXPECT_EQ(edit.GetScroll(), 0);
  Press(VK_END);
  EXPECT_EQ(edit.GetScroll(), scrolledAtEnd);
  CEventLoop::ProcessPending();
  // The text stays inside the field's border: the parent's pixels right of it are untouched.
  const CBitmap* buffer = top.GetBackBuffer();
  EXPECT_EQ(buffer->PixelColor(112, 20), RGB(255, 0, 0));
  EXPECT_EQ(buffer->PixelColor(100, 20), RGB(255, 255, 255));
}

TEST_F(Edits, MouseDragSelectsAndLeavingTheFieldNotifiesKillFocus) {
  edit.SetWindowText("abcdefgh");
  CEventLoop::InjectMouseButton(&top, CPoint(13, 20), VK_LBUTTON, true);
  EXPECT_EQ(GetCapture(), &edit);
  CEventLoop::InjectMouseMove(&top, CPoint(250, 20));
  CEventLoop::InjectMouseButton(&top, CPoint(250, 20), VK_LBUTTON, false);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Selection(), "abcdefgh");
  top.log.clear();
  top.SetFocus();
  EXPECT_EQ(top.log, (std::vector<std::string>{"command 1032 512"}));  // EN_KILLFOCUS
}

TEST_F(Edits, CheckBoxTogglesOnClickAndSpaceAndDrawsItsMark) {
  CButton check;
  ASSERT_TRUE(check.Create("Show &Timer", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, CRect(10, 50, 150, 70), &top, 1024));
  CEventLoop::ProcessPending();
  const CBitmap* buffer = top.GetBackBuffer();
  // The box is white inside when unchecked; the tick is black when checked.
  EXPECT_EQ(buffer->PixelColor(10 + 6, 50 + 10), RGB(255, 255, 255));
  CEventLoop::InjectClick(&top, CPoint(60, 60));
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  EXPECT_EQ(top.log.back(), "command 1024 0");
  CEventLoop::ProcessPending();
  EXPECT_EQ(buffer->PixelColor(10 + 6, 50 + 10), RGB(0, 0, 0));
  EXPECT_EQ(GetFocus(), &check);
  Press(VK_SPACE);
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
  check.EnableWindow(FALSE);
  CEventLoop::InjectClick(&top, CPoint(60, 60));
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
}

TEST_F(Edits, StaticsDrawOnTheBackgroundTheirParentChooses) {
  class CHollowParent : public CRecordingWnd {
   public:
    HBRUSH OnCtlColor(CDC* dc, CWnd*, UINT) override {
      dc->SetTextColor(RGB(0, 0, 255));
      return static_cast<CBrush*>(GetStockObject(NULL_BRUSH));
    }
  } parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_POPUP | WS_VISIBLE, ScreenRect(0, 0, 200, 60), nullptr, 0));
  parent.fill = RGB(0, 255, 0);
  parent.SetFont(&font, FALSE);
  CStatic label;
  ASSERT_TRUE(label.Create("WWWW", WS_VISIBLE | SS_LEFT, CRect(5, 5, 195, 40), &parent));
  CEventLoop::ProcessPending();
  const CBitmap* buffer = parent.GetBackBuffer();
  int blue = 0, green = 0;
  for (int y = 5; y < 40; ++y)
    for (int x = 5; x < 195; ++x) {
      COLORREF c = buffer->PixelColor(x, y);
      blue += c == RGB(0, 0, 255);
      green += c == RGB(0, 255, 0);
    }
  EXPECT_GT(blue, 20);    // the text, in the parent's colour
  EXPECT_GT(green, 5000);  // the parent's own background shows through
  // A label lets the mouse through to its parent (an about box's links are found that way).
  CEventLoop::InjectMouseButton(&parent, CPoint(20, 20), VK_LBUTTON, true);
  EXPECT_EQ(parent.log.back(), "ldown 20,20");
  CEventLoop::InjectMouseButton(&parent, CPoint(20, 20), VK_LBUTTON, false);
  parent.DestroyWindow();
}

}  // namespace
