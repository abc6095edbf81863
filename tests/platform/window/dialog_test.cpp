// Dialogs from templates: modal runs, keyboard, focus, mnemonics, data exchange, dialog units.
#include "window_test_util.h"

#include <cordak/ustring.h>

namespace {

const DialogItemTemplate kItems[] = {
    {DialogItemKind::CheckBox, 1022, "Show &Buttons", 7, 93, 60, 10},
    {DialogItemKind::Label, IDC_STATIC, "&Anim Speed:", 9, 121, 41, 8},
    {DialogItemKind::Edit, 1026, "", 54, 119, 26, 14},
    {DialogItemKind::DefPushButton, IDOK, "OK", 154, 4, 50, 14},
    {DialogItemKind::PushButton, IDCANCEL, "Cancel", 154, 20, 50, 14},
    {DialogItemKind::PushButton, 1100, "&About", 154, 36, 50, 14},
    {DialogItemKind::OwnerDrawButton, 1010, "Button1", 7, 0, 50, 14},
};
const DialogTemplate kTemplate = {211, 225, "Options", "MS Sans Serif", 8,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, kItems,
                                  static_cast<int>(std::size(kItems))};
const DialogTemplate kEmpty = {318, 260, "Gyrix", "MS Sans Serif", 8, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                               nullptr, 0};
const DialogTemplateRegistration kRegistered(9154, &kTemplate);

class COptions : public CDialog {
 public:
  COptions(CWnd* parent) : CDialog(9154, parent) {}
  int speed = 30;
  int showButtons = 1;
  std::vector<int> commands;
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Check(dx, 1022, showButtons);
    DDX_Text(dx, 1026, speed);
    DDV_MinMaxInt(dx, speed, 1, 100);
  }
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    if (LOWORD(w) == 1100) commands.push_back(1100);
    return CDialog::OnCommand(w, l);
  }
};

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureDesktop();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, ScreenRect(0, 0, 400, 300),
                               nullptr, 0));
  }
  void TearDown() override {
    CEventLoop::SetModalHook(nullptr);
    owner.DestroyWindow();
  }
  CRecordingWnd owner;
};

TEST_F(Dialogs, EnterEndsWithOkAndTheOwnerIsDisabledMeanwhile) {
  COptions dialog(&owner);
  bool ownerWasEnabled = true;
  CEventLoop::SetModalHook([&](CWnd* d) {
    ownerWasEnabled = owner.IsWindowEnabled();
    d->GetDlgItem(1026)->SetWindowText("45");
    CEventLoop::InjectKeyPress(VK_RETURN);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_FALSE(ownerWasEnabled);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(dialog.speed, 45);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  // Input reaches the owner again.
  CEventLoop::InjectMouseButton(&owner, CPoint(5, 5), VK_LBUTTON, true);
  EXPECT_EQ(owner.log.back(), "ldown 5,5");
}

TEST_F(Dialogs, EscapeAndTheCloseBoxCancelWithoutExchangingData) {
  for (int way = 0; way < 2; ++way) {
    COptions dialog(&owner);
    CEventLoop::SetModalHook([&](CWnd* d) {
      d->GetDlgItem(1026)->SetWindowText("77");
      if (way == 0) CEventLoop::InjectKeyPress(VK_ESCAPE);
      else CEventLoop::InjectClose(d);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.speed, 30);
  }
}

TEST_F(Dialogs, InputToTheDisabledOwnerIsIgnored) {
  COptions dialog(&owner);
  CEventLoop::SetModalHook([&](CWnd*) {
    CEventLoop::InjectMouseButton(&owner, CPoint(5, 5), VK_LBUTTON, true);
    CEventLoop::InjectClose(&owner);
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(owner.log.empty());
  EXPECT_NE(owner.GetSafeHwnd(), nullptr);
}

TEST_F(Dialogs, MinMaxRefusesZeroAndOneHundredAndOneAndKeepsTheDialogOpen) {
  CFakeServices services;
  for (const char* bad : {"0", "101", "abc", ""}) {
    COptions dialog(&owner);
    int okResult = -1;
    CEventLoop::SetModalHook([&](CWnd* d) {
      d->GetDlgItem(1026)->SetWindowText(bad);
      CEventLoop::InjectKeyPress(VK_RETURN);
      okResult = d->ModalEnding() ? 0 : 1;
      EXPECT_EQ(GetFocus(), d->GetDlgItem(1026)) << bad;  // the offending field has the focus
      CEventLoop::InjectKeyPress(VK_ESCAPE);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << bad;
    EXPECT_EQ(okResult, 1);
  }
  ASSERT_EQ(services.messages.size(), 4u);
  EXPECT_EQ(services.messages[0], "Please enter an integer between 1 and 100.");
  EXPECT_EQ(services.messages[1], "Please enter an integer between 1 and 100.");
  EXPECT_EQ(services.messages[2], "Please enter an integer.");
}

TEST_F(Dialogs, TabWalksTheTabStopsAndMnemonicsPressButtons) {
  COptions dialog(&owner);
  std::vector<int> focusIds;
  CEventLoop::SetModalHook([&](CWnd* d) {
    focusIds.push_back(GetFocus()->GetDlgCtrlID());
    for (int i = 0; i < 6; ++i) {
      CEventLoop::InjectKeyPress(VK_TAB);
      focusIds.push_back(GetFocus()->GetDlgCtrlID());
    }
    CEventLoop::InjectKey(VK_SHIFT, true);
    CEventLoop::InjectKeyPress(VK_TAB);
    CEventLoop::InjectKey(VK_SHIFT, false);
    focusIds.push_back(GetFocus()->GetDlgCtrlID());
    // Alt+B toggles the check box; Alt+A on the label moves to the edit; plain 'a' on a button presses About.
    CEventLoop::InjectKey(VK_MENU, true);
    CEventLoop::InjectKeyPress('B');
    CEventLoop::InjectKey(VK_MENU, false);
    EXPECT_EQ(static_cast<CDialog*>(d)->IsDlgButtonChecked(1022), 0u);
    CEventLoop::InjectKey(VK_MENU, true);
    CEventLoop::InjectKeyPress('A');
    CEventLoop::InjectKey(VK_MENU, false);
    EXPECT_EQ(GetFocus(), d->GetDlgItem(1026));
    d->GetDlgItem(IDCANCEL)->SetFocus();
    CEventLoop::InjectText("a");
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(focusIds, (std::vector<int>{1022, 1026, IDOK, IDCANCEL, 1100, 1010, 1022, 1010}));
  EXPECT_EQ(dialog.commands, (std::vector<int>{1100}));
}

TEST_F(Dialogs, ClickingAButtonNotifiesTheDialogOnlyWhenReleasedOverIt) {
  COptions dialog(&owner);
  CEventLoop::SetModalHook([&](CWnd* d) {
    CRect about;
    d->GetDlgItem(1100)->GetWindowRect(&about);
    d->ScreenToClient(&about);
    CPoint inside = about.CenterPoint();
    CEventLoop::InjectMouseButton(d, inside, VK_LBUTTON, true);
    CEventLoop::InjectMouseMove(d, CPoint(2, 2));
    CEventLoop::InjectMouseButton(d, CPoint(2, 2), VK_LBUTTON, false);  // dragged off: no click
    EXPECT_TRUE(dialog.commands.empty());
    CEventLoop::InjectClick(d, inside);
    CRect ok;
    d->GetDlgItem(IDOK)->GetWindowRect(&ok);
    d->ScreenToClient(&ok);
    CEventLoop::InjectClick(d, ok.CenterPoint());
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.commands, (std::vector<int>{1100}));
}

TEST_F(Dialogs, DialogUnitsFollowTheFontsAverageCharacterWidthAndHeight) {
  EXPECT_EQ(DialogUnitsToPixels(CRect(0, 0, 318, 260), CSize(6, 13)), CRect(0, 0, 477, 423));
  EXPECT_EQ(DialogUnitsToPixels(CRect(154, 4, 204, 18), CSize(6, 13)), CRect(231, 7, 306, 29));
  EXPECT_EQ(DialogUnitsToPixels(CRect(-3, -5, 1, 1), CSize(7, 15)), CRect(-5, -9, 2, 2));
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(80, "MS Sans Serif"));
  CSize units = DialogBaseUnits(&font);
  // The free font that stands in for MS Sans Serif keeps its metrics close.
  EXPECT_GE(units.cx, 5);
  EXPECT_LE(units.cx, 7);
  EXPECT_GE(units.cy, 12);
  EXPECT_LE(units.cy, 15);
  CFont big;
  ASSERT_TRUE(big.CreatePointFont(160, "MS Sans Serif"));
  EXPECT_GT(DialogBaseUnits(&big).cx, units.cx);
  // The dialog's client area and controls are placed in those units.
  CDialog dialog(&kEmpty, &owner);
  CEventLoop::SetModalHook([&](CWnd* d) {
    CRect r;
    d->GetClientRect(&r);
    CRect expected = DialogUnitsToPixels(CRect(0, 0, 318, 260), static_cast<CDialog*>(d)->GetBaseUnits());
    EXPECT_EQ(r.Size(), expected.Size());
    static_cast<CDialog*>(d)->EndDialog(7);
  });
  EXPECT_EQ(dialog.DoModal(), 7);
}

TEST_F(Dialogs, TheCharacterOfAKeyThatOpenedADialogDoesNotLandInIt) {
  class CKeyOpener : public CRecordingWnd {
   public:
    std::string typed = "unset";
    void OnKeyDown(UINT key, UINT, UINT) override {
      if (key != 'E') return;
      COptions dialog(this);
      CEventLoop::SetModalHook([&](CWnd* d) {
        d->GetDlgItem(1026)->SetFocus();
        CEventLoop::InjectText("e");  // the text event of the same key press
        typed = d->GetDlgItem(1026)->WindowText();
        CEventLoop::InjectKeyPress(VK_ESCAPE);
      });
      dialog.DoModal();
    }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "opener", WS_POPUP | WS_VISIBLE, ScreenRect(0, 0, 100, 100), nullptr, 0));
  wnd.SetFocus();
  CEventLoop::InjectKey('E', true);
  CEventLoop::InjectKey('E', false);
  EXPECT_EQ(wnd.typed, "30");  // only what the dialog put there itself
  wnd.DestroyWindow();
}

TEST_F(Dialogs, AMissingTemplateFailsCleanly) {
  CDialog dialog(424242u, &owner);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(Dialogs, ASubclassedControlTakesOverMessagesAndPlace) {
  class CCounted : public CButton {
   public:
    int clicks = 0;
    void OnLButtonUp(UINT f, CPoint p) override {
      ++clicks;
      CButton::OnLButtonUp(f, p);
    }
  };
  class CSub : public COptions {
   public:
    using COptions::COptions;
    CCounted button;
    BOOL OnInitDialog() override {
      COptions::OnInitDialog();
      EXPECT_TRUE(button.SubclassDlgItem(1100, this));
      return TRUE;
    }
  } dialog(&owner);
  CEventLoop::SetModalHook([&](CWnd* d) {
    EXPECT_EQ(d->GetDlgItem(1100), &dialog.button);
    EXPECT_EQ(dialog.button.WindowText(), "&About");
    CRect r;
    dialog.button.GetWindowRect(&r);
    d->ScreenToClient(&r);
    CEventLoop::InjectClick(d, r.CenterPoint());
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  dialog.DoModal();
  EXPECT_EQ(dialog.button.clicks, 1);
  EXPECT_EQ(dialog.commands, (std::vector<int>{1100}));
}

TEST_F(Dialogs, NestedDialogsEachDisableTheirOwner) {
  COptions outer(&owner);
  CEventLoop::SetModalHook([&](CWnd* d) {
    if (d == &outer) {
      COptions inner(&outer);
      CEventLoop::SetModalHook([&](CWnd* i) {
        EXPECT_FALSE(outer.IsWindowEnabled());
        EXPECT_FALSE(owner.IsWindowEnabled());
        i->GetDlgItem(1026)->SetWindowText("12");
        CEventLoop::InjectKeyPress(VK_RETURN);
      });
      EXPECT_EQ(inner.DoModal(), IDOK);
      EXPECT_EQ(inner.speed, 12);
      EXPECT_TRUE(outer.IsWindowEnabled());
      EXPECT_EQ(GetFocus()->GetTopLevelParent(), &outer);
      CEventLoop::InjectKeyPress(VK_ESCAPE);
    }
  });
  EXPECT_EQ(outer.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, AModalLoopThatKeepsRepaintingAsksToContinueAgainWithoutWaitingForInput) {
  // The main window polls the joystick this way: each poll repaints, each repaint is a turn.
  class CPolling : public CDialog {
   public:
    using CDialog::CDialog;
    int polls = 0;
    BOOL OnInitDialog() override {
      SetTimer(1, 3000);  // a safety net: fail rather than hang
      return CDialog::OnInitDialog();
    }
    void OnTimer(UINT_PTR) override { EndDialog(-2); }
    BOOL ContinueModal() override {
      if (++polls == 5) EndDialog(3);
      else Invalidate(FALSE);
      return CDialog::ContinueModal();
    }
  } dialog(&kEmpty, &owner);
  EXPECT_EQ(dialog.DoModal(), 3);
  EXPECT_EQ(dialog.polls, 5);
}

}  // namespace
