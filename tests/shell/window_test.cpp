// The main window driven headless: settings, turning by dragging, the clock and its panels,
// keys, the button tree, resizing, files and Execute Move.
#include "shell_test_util.h"

#include <gyrix/shell/aboutdlg.h>
#include <gyrix/res/templates.h>

#include <cordak/urand.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <fstream>
#include <memory>
#include <set>

namespace {

// The solve clock's start, reached the way a puzzle class would.
struct ClockAccess : CPuzzle {
  static CUTime CPuzzle::*Start() { return &ClockAccess::m_clockStart; }
  static CUTime CPuzzle::*End() { return &ClockAccess::m_clockEnd; }
};

// As if the clock had started that long ago and not been painted since.
void BackdateClock(CPuzzle* p, long seconds) {
  for (CUTime& t : {std::ref(p->*ClockAccess::Start()), std::ref(p->*ClockAccess::End())})
    t = CUTime(t.GetTime() - seconds);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Some turn that a drag on the visible faces can make, and its facelets.
int FirstTurn(CPuzzle* p) { return p->GetMoveCount() > 0 ? 1 : 0; }

}  // namespace

TEST_F(ShellTest, FirstStartCreatesTheSettingsFileAndShowsTheDefaults) {
  OpenWindow();
  EXPECT_TRUE(std::filesystem::exists(m_settings));
  ASSERT_NE(m_dlg->GetPuzzle(), nullptr);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 1);
  EXPECT_EQ(m_dlg->WindowText(), "Gyrix - Cube(3x3x3)");
  EXPECT_EQ(m_dlg->GetShowButtons(), 1);
  EXPECT_EQ(m_dlg->GetShowTimer(), 1);
  EXPECT_EQ(m_dlg->GetBackgroundColor(), 0x808000u);
  EXPECT_EQ(m_dlg->GetTimerColor(), 0x00FFFFu);
  EXPECT_EQ(m_dlg->GetAnimSpeed(), 30);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetAnimationInterval(), 30);
  EXPECT_STREQ(m_dlg->GetTilePath(), "Web.bmp");
  EXPECT_EQ(CMenuButton::GetOpenMenu(), nullptr);
  EXPECT_EQ(m_dlg->GetTopLevelButtonCount(), 13);

  const int colours = m_dlg->GetPuzzle()->GetPaletteCount();
  CloseWindow();
  std::string ini = ReadSettings();
  for (const char* key : {"ShowButtons=1", "ShowTimer=1", "LastPuzzle=1", "LastMenu=0",
                          "BackgroundColor=8421376", "TimerColor=65535", "TilePath=\"Web.bmp\"", "AnimSpeed=30"})
    EXPECT_TRUE(Contains(ini, key)) << key << " missing from\n" << ini;
  for (int i = 1; i < colours; ++i) EXPECT_TRUE(Contains(ini, "Cube(3x3x3)" + std::to_string(i) + "=")) << i;
  EXPECT_FALSE(Contains(ini, "Mode="));
}

TEST_F(ShellTest, StoredSettingsAreAppliedAndBadOnesFallBack) {
  WriteTileBitmap((m_folder / "Stones.bmp").string(), RGB(40, 160, 90));
  WriteSettings("ShowButtons=0\nShowTimer=0\nLastPuzzle=0\nAnimSpeed=0\nTimerColor=255\n"
                "TilePath=\"" + (m_folder / "Stones").string() + "\"\nCube(2x2x2)1=16711935\n");
  OpenWindow();
  EXPECT_EQ(m_dlg->GetShowButtons(), 0);
  EXPECT_EQ(m_dlg->GetShowTimer(), 0);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 0);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetPaletteEntry(1), 0xFF00FFu);  // the saved colour key
  EXPECT_EQ(m_dlg->GetAnimSpeed(), 30);  // 0 would spin the animation timer
  // The tile loads with ".bmp" appended and its colours join the shared palette.
  ASSERT_NE(m_dlg->GetTile().GetBits(), nullptr);
  EXPECT_EQ(CDibWnd::cm_palette.GetNearestColor(RGB(40, 160, 90)), RGB(40, 160, 90));
  EXPECT_EQ(CDibWnd::cm_palette.GetNearestColor(0x0080FF), 0x0080FFu);

  // A tile that is nowhere changes nothing; an empty name leaves no tile but a usable palette.
  const std::string path = static_cast<const char*>(m_dlg->GetTilePath());
  EXPECT_FALSE(m_dlg->LoadTile("no-such-tile"));
  EXPECT_NE(m_dlg->GetTile().GetBits(), nullptr);
  EXPECT_EQ(m_dlg->GetTilePath().GetLength(), static_cast<int>(path.size()));
  EXPECT_TRUE(m_dlg->LoadTile(""));
  EXPECT_EQ(m_dlg->GetTile().GetBits(), nullptr);
  EXPECT_EQ(CDibWnd::cm_palette.GetEntryCount(), 256);
  // Without a tile the palette still holds colours near any other (the picture buttons').
  for (COLORREF want : {RGB(240, 220, 170), RGB(90, 40, 140), RGB(20, 120, 200)}) {
    const COLORREF got = CDibWnd::cm_palette.GetNearestColor(want);
    int distance = 0;
    for (int shift : {0, 8, 16}) {
      const int d = int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF);
      distance += d * d;
    }
    EXPECT_LE(distance, 3 * 26 * 26) << std::hex << want;
  }
}

TEST_F(ShellTest, ADragTurnsALayerAndDraggingItBackCancelsInTheHistory) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  const int turn = FirstTurn(p);
  ASSERT_TRUE(DragTurn(turn));
  EXPECT_TRUE(p->IsBusy());
  Settle();
  EXPECT_FALSE(p->IsSolved());
  ASSERT_EQ(p->GetHistorySize(), 1);
  EXPECT_EQ(p->GetHistoryMove(0), turn);

  ASSERT_TRUE(DragTurn(-turn));
  Settle();
  EXPECT_TRUE(p->IsSolved());
  EXPECT_EQ(p->GetHistorySize(), 0);
  EXPECT_EQ(GetCapture(), nullptr);

  // A turn that begins between press and release (an undo): the release lets the mouse and
  // the pressed facelet go and makes no turn.
  ASSERT_TRUE(DragTurn(turn));
  Settle();
  CPoint at(-1, -1);
  for (int id = 0; id < p->GetFaceletCount() && at.x < 0; ++id) at = FaceletCentre(id);
  CEventLoop::InjectMouseButton(m_dlg, at, VK_LBUTTON, true);
  ASSERT_NE(m_dlg->GetPressedFacelet(), -1);
  Key(VK_BACK);
  ASSERT_TRUE(p->IsBusy());
  CEventLoop::InjectMouseButton(m_dlg, at, VK_LBUTTON, false);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(m_dlg->GetPressedFacelet(), -1);
  Settle();
  EXPECT_EQ(p->GetHistorySize(), 0);
}

TEST_F(ShellTest, DragsAndBackspacesDuringATurnWaitTheirTurn) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_TRUE(DragTurn(1));
  ASSERT_TRUE(p->IsBusy());
  // A second drag during the animation waits for it...
  EXPECT_TRUE(DragTurn(2));
  // ...but the right button still turns the view.
  const CFixMatrix before = p->GetViewMatrix();
  CEventLoop::InjectMouseButton(m_dlg, CPoint(300, 200), VK_RBUTTON, true);
  CEventLoop::InjectMouseMove(m_dlg, CPoint(340, 230));
  CEventLoop::InjectMouseButton(m_dlg, CPoint(340, 230), VK_RBUTTON, false);
  EXPECT_NE(std::memcmp(&before, &p->GetViewMatrix(), sizeof before), 0);
  Settle();
  EXPECT_EQ(p->GetHistorySize(), 2);

  // Two undos given at once both happen.
  Key(VK_BACK);
  Key(VK_BACK);
  Settle();
  EXPECT_EQ(p->GetHistorySize(), 0);
  EXPECT_TRUE(p->IsSolved());
}

TEST_F(ShellTest, WithQueueTurnsOffADragDuringATurnIsIgnored) {
  WriteSettings("[Gyrix]\nQueueTurns=0\n");
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_TRUE(DragTurn(1));
  ASSERT_TRUE(p->IsBusy());
  DragTurn(2);
  Settle();
  EXPECT_EQ(p->GetHistorySize(), 1);
}

TEST_F(ShellTest, CtrlZAfterAScrambleBringsBackTheGameBeforeItAndCtrlYTheScramble) {
  OpenWindow();
  CPuzzle* before = m_dlg->GetPuzzle();
  ASSERT_TRUE(DragTurn(3));
  Settle();
  std::vector<int> turned;
  for (int id = 0; id < before->GetMoveMaskLength(); ++id) turned.push_back(before->GetFaceletColour(id));
  Key('M');
  EXPECT_FALSE(m_dlg->GetPuzzle()->IsSolved());
  CEventLoop::InjectKey(VK_CONTROL, true);
  Key('Z');
  CEventLoop::InjectKey(VK_CONTROL, false);
  CPuzzle* p = m_dlg->GetPuzzle();
  std::vector<int> now;
  for (int id = 0; id < p->GetMoveMaskLength(); ++id) now.push_back(p->GetFaceletColour(id));
  EXPECT_EQ(now, turned);
  EXPECT_EQ(p->GetHistorySize(), 1);
  EXPECT_FALSE(p->IsClockShown());
  CEventLoop::InjectKey(VK_CONTROL, true);
  Key('Y');
  CEventLoop::InjectKey(VK_CONTROL, false);
  EXPECT_TRUE(m_dlg->GetPuzzle()->IsScramblePending());
}

TEST_F(ShellTest, SolvingAScrambleShowsTheCongratulationsAndStopsTheClock) {
 for (int shown : {1, 0}) {  // the time is the clock's, painted or not
  OpenWindow();
  m_dlg->SetShowTimer(shown);
  CPuzzle* p = m_dlg->GetPuzzle();
  p->DoMove(1, TRUE);
  // The solve clock counts wall-clock seconds: start just after a second begins, so that the
  // turn below rarely crosses into the next one, and accept it when a slow machine does.
  for (const long now = CUTime::GetCurTime().GetTime(); CUTime::GetCurTime().GetTime() == now;) {
  }
  p->StartClock(TRUE);  // as after a scramble, one turn from solved
  BackdateClock(p, 83);
  ASSERT_TRUE(DragTurn(-1));
  Settle();
  EXPECT_TRUE(p->IsSolved());
  EXPECT_FALSE(p->IsClockRunning());
  const int elapsed = p->GetElapsedSeconds();
  ASSERT_TRUE(elapsed == 83 || elapsed == 84) << elapsed;
  EXPECT_EQ(m_dlg->GetMessageText(), std::string("Congratulations!\r\n\r\nYou have solved the Cube(3x3x3) puzzle in 00:01:") +
                                         (elapsed == 83 ? "23." : "24."));
  // The panel covers the buttons: nothing is hit while it shows.
  EXPECT_EQ(m_dlg->HitButtons(), nullptr);
  Key('R');  // any key only dismisses
  EXPECT_FALSE(m_dlg->IsMessageShown());
  EXPECT_EQ(p->GetElapsedSeconds(), elapsed);  // the clock stays stopped
  CloseWindow();
 }
}

TEST_F(ShellTest, SolvingWithoutAScrambleShowsNothing) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  p->DoMove(1, TRUE);
  ASSERT_TRUE(DragTurn(-1));
  Settle();
  EXPECT_TRUE(p->IsSolved());
  EXPECT_FALSE(m_dlg->IsMessageShown());
}

TEST_F(ShellTest, PauseShowsThePanelUntilTheNextPressAndBeepsWhenNothingRuns) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  Key(VK_PAUSE);
  EXPECT_FALSE(m_dlg->IsMessageShown());  // nothing to pause

  Key('M');
  ASSERT_TRUE(p->IsClockRunning());
  Key(VK_PAUSE);
  EXPECT_EQ(m_dlg->GetMessageText(), "\r\n\r\n\r\nPaused");
  EXPECT_FALSE(p->IsClockRunning());
  // The panel is drawn over everything, centred.
  CDib screen;
  Compose(screen);
  COLORREF paper = 0;
  screen.GetPixel(320, (520 - 355) / 2 + 5, paper);
  EXPECT_EQ(paper, CDibWnd::cm_palette.GetNearestColor(RGB(240, 220, 170)));

  ClickAt(CPoint(320, 260));
  EXPECT_FALSE(m_dlg->IsMessageShown());
  EXPECT_TRUE(p->IsClockRunning());
  EXPECT_EQ(p->GetHistorySize(), 0);  // the dismissing click turned nothing
}

TEST_F(ShellTest, ModeKeysOnAPuzzleWithoutModesChangeNothing) {
  OpenWindow();
  const std::string before = ReadSettings();
  for (int key : {'1', '2', '3', '4'}) Key(key);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetMode(), 0);
  EXPECT_EQ(m_dlg->WindowText(), "Gyrix - Cube(3x3x3)");
  EXPECT_EQ(ReadSettings(), before);
}

TEST_F(ShellTest, ALeftDragFromOffThePuzzleEndingOnAButtonRunsIt) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  CMenuButton* scramble = VisibleButton(IDB_SCRAMBLE);
  ASSERT_NE(scramble, nullptr);
  CPoint off(300, 505);
  ASSERT_EQ(p->GetFaceletAt(off), -1);
  CEventLoop::InjectMouseMove(m_dlg, off);
  CEventLoop::InjectMouseButton(m_dlg, off, VK_LBUTTON, true);
  CEventLoop::InjectMouseMove(m_dlg, ButtonCentre(scramble));
  CEventLoop::InjectMouseButton(m_dlg, ButtonCentre(scramble), VK_LBUTTON, false);
  EXPECT_TRUE(p->IsScramblePending());
  EXPECT_FALSE(p->IsSolved());

  ClickAt(ButtonCentre(VisibleButton(IDB_RESET)));
  EXPECT_TRUE(p->IsSolved());
  EXPECT_FALSE(p->IsClockRunning());
}

TEST_F(ShellTest, TheMenuTreeOpensCategoriesSubMenusAndPuzzlesAndGoesBack) {
  OpenWindow();
  ClickAt(ButtonCentre(VisibleButton(139)));
  ASSERT_NE(CMenuButton::GetOpenMenu(), nullptr);
  EXPECT_EQ(CMenuButton::GetOpenMenu()->GetId(), 139);
  EXPECT_EQ(m_dlg->GetLastMenu(), 139);
  // The other categories are hidden; the command buttons stay.
  EXPECT_EQ(VisibleButton(137), nullptr);
  EXPECT_NE(VisibleButton(IDB_SCRAMBLE), nullptr);

  ClickAt(ButtonCentre(VisibleButton(900)));
  EXPECT_EQ(CMenuButton::GetOpenMenu()->GetId(), 900);
  ClickAt(ButtonCentre(VisibleButton(140)));
  EXPECT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 2);
  EXPECT_EQ(m_dlg->GetLastPuzzle(), 2);
  EXPECT_EQ(m_dlg->WindowText(), "Gyrix - Cube(4x4x4)");

  ClickAt(ButtonCentre(VisibleButton(IDB_BACK)));
  EXPECT_EQ(CMenuButton::GetOpenMenu()->GetId(), 139);
  ClickAt(ButtonCentre(VisibleButton(IDB_BACK)));
  EXPECT_EQ(CMenuButton::GetOpenMenu(), nullptr);
  EXPECT_EQ(m_dlg->GetLastMenu(), 0);
  EXPECT_NE(VisibleButton(179), nullptr);
}

TEST_F(ShellTest, EveryPuzzleLeafSelectsItsType) {
  // The leaf table is a permutation of the 37 types over distinct ids.
  std::set<int> ids;
  for (int id = 135; id <= 205; ++id)
    if (CPuzzleDlg::PuzzleTypeForButton(id) >= 0) ids.insert(CPuzzleDlg::PuzzleTypeForButton(id));
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(kPuzzleTypeCount));
  EXPECT_EQ(CPuzzleDlg::PuzzleTypeForButton(139), 1);
  EXPECT_EQ(CPuzzleDlg::PuzzleTypeForButton(201), 36);
  EXPECT_EQ(CPuzzleDlg::PuzzleTypeForButton(157), -1);
}

TEST_F(ShellTest, LastMenuIsRestoredAtTheNextStartAndUnknownIdsOpenNothing) {
  OpenWindow();
  ClickAt(ButtonCentre(VisibleButton(139)));
  ClickAt(ButtonCentre(VisibleButton(900)));
  EXPECT_TRUE(Contains(ReadSettings(), "LastMenu=900"));  // kept at once, not only at exit
  CloseWindow();
  OpenWindow();
  ASSERT_NE(CMenuButton::GetOpenMenu(), nullptr);
  EXPECT_EQ(CMenuButton::GetOpenMenu()->GetId(), 900);
  EXPECT_EQ(m_dlg->GetLastMenu(), 900);

  for (int id : {12345, 140, 135}) {
    m_dlg->OpenMenuById(id);
    EXPECT_EQ(CMenuButton::GetOpenMenu(), nullptr) << id;
  }
  // A resize rebuilds the tree and keeps the open menu.
  m_dlg->OpenMenuById(903);
  m_dlg->MoveWindow(0, 0, 700, 560);
  ASSERT_NE(CMenuButton::GetOpenMenu(), nullptr);
  EXPECT_EQ(CMenuButton::GetOpenMenu()->GetId(), 903);
}

TEST_F(ShellTest, WithButtonsOffNothingIsDrawnOrClickable) {
  OpenWindow();
  CDib with, without;
  Compose(with);
  CPoint corner = ButtonCentre(VisibleButton(IDB_RESET));
  m_dlg->SetShowButtons(0);
  Compose(without);
  unsigned char a = 0, b = 0;
  with.GetPixel(corner.x, corner.y, a);
  without.GetPixel(corner.x, corner.y, b);
  EXPECT_NE(a, b);

  Key('M');
  ClickAt(corner);
  EXPECT_TRUE(m_dlg->GetPuzzle()->IsScramblePending());  // reset did not run
}

TEST_F(ShellTest, HoveringLiftsAButtonAndPressingSinksIt) {
  OpenWindow();
  CMenuButton* reset = VisibleButton(IDB_RESET);
  // The stand-in pictures have a one-pixel cyan frame: find where the grey begins.
  auto greyLeft = [&](CDib& screen) {
    for (int x = 0; x < 40; ++x) {
      COLORREF c = 0;
      screen.GetPixel(x, reset->GetY() + 30, c);
      if (c == RGB(128, 128, 128)) return x;
    }
    return -1;
  };
  CDib screen;
  CEventLoop::InjectMouseMove(m_dlg, CPoint(300, 505));
  Compose(screen);
  const int rest = greyLeft(screen);
  CEventLoop::InjectMouseMove(m_dlg, ButtonCentre(reset));
  Compose(screen);
  EXPECT_EQ(greyLeft(screen), rest - 2);
  CEventLoop::InjectMouseButton(m_dlg, ButtonCentre(reset), VK_LBUTTON, true);
  Compose(screen);
  EXPECT_EQ(greyLeft(screen), rest + 2);
  CEventLoop::InjectMouseButton(m_dlg, ButtonCentre(reset), VK_LBUTTON, false);
}

TEST_F(ShellTest, AWideWindowKeepsTheDrawingAtMostOneAndAHalfTimesItsHeightCentred) {
  OpenWindow(1500, 500);
  // Without buttons to keep clear of, the drawing takes all the room the rule gives.
  m_dlg->SetShowButtons(0);
  CPuzzle* p = m_dlg->GetPuzzle();
  EXPECT_EQ(p->GetViewWidth(), 750);
  EXPECT_EQ(p->GetViewHeight(), 500);
  EXPECT_EQ(p->GetCentre().x, 750);
  EXPECT_EQ(p->GetCentre().y, 250);
  // Reset and re-centre keep the same fit.
  Key('R');
  EXPECT_EQ(p->GetViewWidth(), 750);
  EXPECT_EQ(p->GetCentre().x, 750);
  m_dlg->MoveWindow(0, 0, 300, 400);
  CRect client;
  m_dlg->GetClientRect(&client);
  EXPECT_EQ(p->GetViewWidth(), client.Width());
  EXPECT_EQ(p->GetCentre().x, client.Width() / 2);
  // The buttons follow the right edge.
  EXPECT_EQ(VisibleButton(139)->GetX(), client.right - 64);
}

TEST_F(ShellTest, TheClockIsDrawnInTheTimerColour) {
  OpenWindow();
  Key('M');
  AdvanceClock(1000);
  CRect client;
  m_dlg->GetClientRect(&client);
  CPoint inDigit(10 + 12, client.bottom - 10 - 16);
  CDib screen;
  Compose(screen);
  COLORREF c = 0;
  screen.GetPixel(inDigit.x, inDigit.y, c);
  EXPECT_EQ(c, CDibWnd::cm_palette.GetNearestColor(0x00FFFF));
  m_dlg->SetTimerColor(0xFF0000);
  Compose(screen);
  screen.GetPixel(inDigit.x, inDigit.y, c);
  EXPECT_EQ(c, CDibWnd::cm_palette.GetNearestColor(0xFF0000));
  // A tile of pure cyan and red must not take the frames' transparent and ink indices.
  WriteTileBitmap((m_folder / "CyanRed.bmp").string(), 0xFFFF00);
  ASSERT_TRUE(m_dlg->LoadTile((m_folder / "CyanRed.bmp").string().c_str()));
  EXPECT_EQ(CDibWnd::cm_palette.GetNearestPaletteIndex(0xFFFF00), 254u);
  Compose(screen);
  screen.GetPixel(inDigit.x, inDigit.y, c);
  EXPECT_EQ(c, CDibWnd::cm_palette.GetNearestColor(0xFF0000));
  m_dlg->SetShowTimer(0);
  Compose(screen);
  screen.GetPixel(inDigit.x, inDigit.y, c);
  EXPECT_NE(c, CDibWnd::cm_palette.GetNearestColor(0xFF0000));
}

TEST_F(ShellTest, ChangingTheSystemTimeKeepsTheGameAndItsClock) {
  OpenWindow();
  Key('M');
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_TRUE(DragTurn(1));
  Settle();
  ASSERT_EQ(p->GetHistorySize(), 1);
  m_dlg->SendMessage(WM_TIMECHANGE);
  EXPECT_TRUE(p->IsClockShown());
  EXPECT_EQ(p->GetHistorySize(), 1);
  EXPECT_LE(p->GetElapsedSeconds(), 1);
}

TEST_F(ShellTest, SaveThenLoadThroughTheChooser) {
  OpenWindow();
  Key('M');
  ASSERT_TRUE(DragTurn(1));
  Settle();
  m_services.chooserAnswer = (m_folder / "game").string();
  Key('S');
  ASSERT_EQ(m_services.requests.size(), 1u);
  EXPECT_TRUE(m_services.requests[0].save);
  ASSERT_FALSE(m_services.requests[0].filters.empty());
  EXPECT_EQ(m_services.requests[0].filters[0].description, "Puzzle Files");
  EXPECT_EQ(m_services.requests[0].filters[0].patterns, "*.puz");
  ASSERT_TRUE(std::filesystem::exists(m_folder / "game.puz"));

  ClickAt(ButtonCentre(VisibleButton(139)));
  ClickAt(ButtonCentre(VisibleButton(900)));
  ClickAt(ButtonCentre(VisibleButton(140)));
  ASSERT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 2);
  EXPECT_TRUE(Contains(ReadSettings(), "LastPuzzle=2"));
  m_services.chooserAnswer = (m_folder / "game.puz").string();
  Key('L');
  CPuzzle* loaded = m_dlg->GetPuzzle();
  EXPECT_EQ(loaded->GetTypeId(), 1);
  EXPECT_EQ(m_dlg->GetLastPuzzle(), 1);
  EXPECT_FALSE(loaded->IsSolved());
  EXPECT_EQ(loaded->GetHistorySize(), 1);
  EXPECT_TRUE(m_services.messages.empty());
  // The game goes on with an undo as with a drag: the stopped clock runs again.
  EXPECT_FALSE(loaded->IsClockRunning());
  Key(VK_BACK);
  EXPECT_TRUE(loaded->IsClockRunning());
}

TEST_F(ShellTest, ADamagedPuzzleFileIsRefusedAndTheCurrentPuzzleStays) {
  OpenWindow();
  Key('M');
  CPuzzle* p = m_dlg->GetPuzzle();
  std::ofstream((m_folder / "bad.puz").string(), std::ios::binary) << "not a puzzle at all, just words";
  m_services.chooserAnswer = (m_folder / "bad.puz").string();
  ClickAt(ButtonCentre(VisibleButton(IDB_OPEN)));
  EXPECT_EQ(m_dlg->GetPuzzle(), p);
  EXPECT_EQ(m_services.messages.size(), 1u);
  EXPECT_TRUE(p->IsClockRunning());  // resumed after the refusal

  // A cancelled save resumes the clock too.
  m_services.chooserAnswer.clear();
  ClickAt(ButtonCentre(VisibleButton(IDB_SAVE)));
  EXPECT_TRUE(p->IsClockRunning());
}

TEST_F(ShellTest, ASaveThatFailsIsReported) {
  OpenWindow();
  m_services.chooserAnswer = (m_folder / "missing-folder" / "game.puz").string();
  Key('S');
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_TRUE(Contains(m_services.messages[0], "could not be saved"));
}

TEST_F(ShellTest, ExecuteMoveQueuesTheTypedTurnsAndKeepsTheText) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  int runs = 0;
  CEventLoop::SetModalHook([&](CWnd* d) {
    ++runs;
    EXPECT_EQ(d->WindowText(), "Execute Move");
    EXPECT_EQ(d->GetDlgItem(IDC_INPUT_PROMPT)->WindowText(), "Enter the move to execute:");
    if (runs == 1) d->GetDlgItem(IDC_INPUT_TEXT)->SetWindowText("R");
    CEventLoop::InjectKeyPress(runs == 3 ? VK_ESCAPE : VK_RETURN);
  });
  Key(VK_RETURN);
  Settle();
  EXPECT_EQ(runs, 1);
  EXPECT_STREQ(m_dlg->GetMacroText(), "R");
  EXPECT_FALSE(p->IsSolved());
  const int made = p->GetHistorySize();
  EXPECT_GT(made, 0);

  Key('E');  // the same text again
  Settle();
  EXPECT_EQ(runs, 2);
  EXPECT_GT(p->GetHistorySize(), made);

  const int before = p->GetHistorySize();
  Key('E');  // cancelled: nothing
  Settle();
  EXPECT_EQ(p->GetHistorySize(), before);

  // With a message shown, Enter only dismisses it.
  Key('M');
  Key(VK_PAUSE);
  ASSERT_TRUE(m_dlg->IsMessageShown());
  Key(VK_RETURN);
  EXPECT_FALSE(m_dlg->IsMessageShown());
  EXPECT_EQ(runs, 3);
}

TEST_F(ShellTest, ExecuteMoveOnAPuzzleWithoutMacrosSaysSo) {
  int type = -1;
  for (int t = 0; t < kPuzzleTypeCount && type < 0; ++t) {
    std::unique_ptr<CPuzzle> p(CreatePuzzle(t));
    if (!(p->GetCapabilities() & CPuzzle::kCanExecuteMacros)) type = t;
  }
  if (type < 0) GTEST_SKIP() << "every puzzle built so far executes macros";
  WriteSettings("LastPuzzle=" + std::to_string(type) + "\n");
  OpenWindow();
  Key('E');
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_EQ(m_services.messages[0], "This puzzle does not execute move macros");
  EXPECT_EQ(m_services.captions[0], "Error");
}

TEST_F(ShellTest, HelpAboutAndTheChallengeBannerOpenLocalPages) {
  OpenWindow();
  Key(VK_F1);
  ASSERT_EQ(m_services.opened.size(), 1u);
  EXPECT_TRUE(Contains(m_services.opened[0], "/help/index.html"));
  ClickAt(ButtonCentre(VisibleButton(IDB_CHALLENGE)));
  ASSERT_EQ(m_services.opened.size(), 2u);
  EXPECT_TRUE(Contains(m_services.opened[1], "/help/challenges.html"));

  std::string version, caption, keys;
  CEventLoop::SetModalHook([&](CWnd* d) {
    caption = d->WindowText();
    version = d->GetDlgItem(IDC_ABOUT_VERSION)->WindowText();
    keys = d->GetDlgItem(IDC_ABOUT_KEYS)->WindowText();
    auto* about = static_cast<CAboutDlg*>(d);
    about->OpenLink(IDC_ABOUT_WEB);
    about->OpenLink(IDC_ABOUT_KEYS);
    CEventLoop::InjectKeyPress(VK_RETURN);
  });
  Key('A');
  EXPECT_EQ(caption, "About Gyrix");
  EXPECT_EQ(version, "1.31");
  ASSERT_EQ(m_services.opened.size(), 4u);
  EXPECT_TRUE(Contains(m_services.opened[2], "/help/index.html"));
  // No made-up address: the second link is a help page too.
  EXPECT_EQ(keys, "Keys and buttons");
  EXPECT_TRUE(Contains(m_services.opened[3], "/help/keys.html"));
  EXPECT_TRUE(m_services.messages.empty());
  EXPECT_NE(m_dlg->GetSafeHwnd(), nullptr);  // the main window is still there
}

TEST_F(ShellTest, CtrlWithNewScrambleShowsTheSeedThatRepeatsIt) {
  OpenWindow();
  CEventLoop::InjectKey(VK_CONTROL, true);
  ClickAt(ButtonCentre(VisibleButton(IDB_SCRAMBLE)));
  CEventLoop::InjectKey(VK_CONTROL, false);
  ASSERT_EQ(m_services.messages.size(), 1u);
  int seed = 0;
  // The seed stands on a line of its own.
  ASSERT_EQ(m_services.messages[0].rfind("\nSeed: ", 0), 0u) << m_services.messages[0];
  ASSERT_EQ(std::sscanf(m_services.messages[0].c_str(), "\nSeed: %d", &seed), 1);
  EXPECT_FALSE(m_dlg->GetPuzzle()->IsClockRunning());
  std::unique_ptr<CPuzzle> again(CreatePuzzle(1));
  Randomize(seed);
  again->Scramble();
  for (int id = 0; id < again->GetMoveMaskLength(); ++id)
    ASSERT_EQ(again->GetFaceletColour(id), m_dlg->GetPuzzle()->GetFaceletColour(id)) << id;
}

TEST_F(ShellTest, FramesAreCachedAndMadeAgainForANewPalette) {
  OpenWindow();
  CFrame* a = m_dlg->GetCachedFrame(IDB_RESET, FALSE);
  EXPECT_EQ(m_dlg->GetCachedFrame(IDB_RESET, FALSE), a);
  EXPECT_GT(CPuzzleDlg::GetFrameCacheCount(), 11);
  WriteTileBitmap((m_folder / "Tile.bmp").string(), RGB(200, 30, 30));
  m_dlg->LoadTile((m_folder / "Tile.bmp").string().c_str());
  // The stand-in button is grey in whatever palette is current.
  CDib screen;
  Compose(screen);
  CMenuButton* reset = VisibleButton(IDB_RESET);
  COLORREF c = 0;
  screen.GetPixel(reset->GetX() + 30, reset->GetY() + 30, c);
  EXPECT_EQ(c, RGB(128, 128, 128));
  CloseWindow();
  EXPECT_EQ(CPuzzleDlg::GetFrameCacheCount(), 0);
}

TEST_F(ShellTest, EscapeEndsTheModalWindowAndTheSettingsAreSaved) {
  CPuzzleDlg dlg(nullptr);
  CEventLoop::SetModalHook([&](CWnd*) {
    CEventLoop::InjectKeyPress('M');
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(Contains(ReadSettings(), "LastPuzzle=1"));
}

TEST_F(ShellTest, WhenNoBrowserOpensEveryHelpLinkSaysWhereThePagesAre) {
  OpenWindow();
  m_services.openerWorks = false;
  const std::string folder = CPuzzleDlg::HelpPagePath("");
  ASSERT_FALSE(folder.empty());
  Key(VK_F1);
  ClickAt(ButtonCentre(VisibleButton(IDB_CHALLENGE)));
  CEventLoop::SetModalHook([&](CWnd* d) {
    auto* about = static_cast<CAboutDlg*>(d);
    EXPECT_EQ(about->OpenLink(IDC_ABOUT_WEB), 0);
    EXPECT_EQ(about->OpenLink(IDC_ABOUT_KEYS), 0);
    CEventLoop::InjectKeyPress(VK_RETURN);
  });
  Key('A');
  ASSERT_EQ(m_services.opened.size(), 4u);
  ASSERT_EQ(m_services.messages.size(), 4u);
  for (const std::string& text : m_services.messages) EXPECT_TRUE(Contains(text, "\n" + folder + "\n")) << text;
  // With a browser, nothing is said.
  m_services.openerWorks = true;
  Key(VK_F1);
  EXPECT_EQ(m_services.messages.size(), 4u);
}

TEST_F(ShellTest, TheDragPreviewShowsTheTurnBeforeTheReleaseAndACueWhenNoneIsMade) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  m_dlg->UpdateWindow();
  int from = -1, to = -1, turn = 0;
  for (int a = 0; a < p->GetFaceletCount() && !turn; ++a)
    for (int b = 0; b < p->GetFaceletCount() && !turn; ++b)
      if (FaceletCentre(a).x >= 0 && FaceletCentre(b).x >= 0 && (turn = p->MoveFromDrag(a, b)) != 0) from = a, to = b;
  ASSERT_NE(turn, 0);
  const CDragPreview& preview = m_dlg->GetDragPreview();
  using EShown = CDragPreview::EShown;

  // Hovering lights the facelet, and the screen shows it.
  CDib plain, lit;
  Compose(plain);
  CEventLoop::InjectMouseMove(m_dlg, FaceletCentre(from));
  EXPECT_EQ(preview.GetShown(), EShown::Hover);
  EXPECT_EQ(preview.GetHovered(), from);
  Compose(lit);
  int differing = 0;
  for (int y = 0; y < plain.Height(); ++y)
    for (int x = 0; x < plain.Width(); ++x) differing += *plain.GetPixelAddress(x, y) != *lit.GetPixelAddress(x, y);
  EXPECT_GT(differing, 0);

  // Pressed and moved: the turn the release makes is the one shown.
  CEventLoop::InjectMouseButton(m_dlg, FaceletCentre(from), VK_LBUTTON, true);
  EXPECT_EQ(preview.GetShown(), EShown::NoTurn);
  CEventLoop::InjectMouseMove(m_dlg, FaceletCentre(to));
  EXPECT_EQ(preview.GetShown(), EShown::Turn);
  EXPECT_EQ(preview.GetPreviewTurn(), turn);
  CEventLoop::InjectMouseButton(m_dlg, FaceletCentre(to), VK_LBUTTON, false);
  Settle();
  ASSERT_EQ(p->GetHistorySize(), 1);
  EXPECT_EQ(p->GetHistoryMove(0), turn);
  EXPECT_EQ(preview.GetShown(), EShown::Nothing);

  // Let go off the puzzle: no turn, and the pressed facelet shows the cue for a moment.
  m_dlg->UpdateWindow();
  CRect client;
  m_dlg->GetClientRect(&client);
  const CPoint off(client.Width() / 2, 3);
  ASSERT_EQ(p->GetFaceletAt(off), -1);
  CEventLoop::InjectMouseMove(m_dlg, FaceletCentre(from));
  CEventLoop::InjectMouseButton(m_dlg, FaceletCentre(from), VK_LBUTTON, true);
  CEventLoop::InjectMouseMove(m_dlg, off);
  EXPECT_EQ(preview.GetShown(), EShown::NoTurn);
  CEventLoop::InjectMouseButton(m_dlg, off, VK_LBUTTON, false);
  Settle();
  EXPECT_EQ(p->GetHistorySize(), 1);
  EXPECT_EQ(preview.GetShown(), EShown::Refused);
  EXPECT_EQ(preview.GetPressed(), -1);
  AdvanceClock(CDragPreview::kCueMs + 50);
  EXPECT_EQ(preview.GetShown(), EShown::Nothing);

  // Turning the view forgets what was under the pointer.
  CEventLoop::InjectMouseMove(m_dlg, FaceletCentre(from));
  EXPECT_EQ(preview.GetShown(), EShown::Hover);
  CEventLoop::InjectMouseButton(m_dlg, off, VK_RBUTTON, true);
  CEventLoop::InjectMouseMove(m_dlg, CPoint(off.x + 30, off.y + 20));
  CEventLoop::InjectMouseButton(m_dlg, CPoint(off.x + 30, off.y + 20), VK_RBUTTON, false);
  EXPECT_EQ(preview.GetShown(), EShown::Nothing);
  CloseWindow();
  EXPECT_TRUE(Contains(ReadSettings(), "DragPreview=1"));
}

TEST_F(ShellTest, WithDragPreviewOffNothingIsShownAndTheSettingIsKept) {
  WriteSettings("[Gyrix]\nDragPreview=0\n");
  OpenWindow();
  EXPECT_FALSE(m_dlg->GetDragPreviewSetting());
  m_dlg->UpdateWindow();
  CPoint at(-1, -1);
  for (int id = 0; id < m_dlg->GetPuzzle()->GetFaceletCount() && at.x < 0; ++id) at = FaceletCentre(id);
  ASSERT_GE(at.x, 0);
  CEventLoop::InjectMouseMove(m_dlg, at);
  EXPECT_EQ(m_dlg->GetDragPreview().GetShown(), CDragPreview::EShown::Nothing);
  CEventLoop::InjectMouseButton(m_dlg, at, VK_LBUTTON, true);
  EXPECT_EQ(m_dlg->GetDragPreview().GetShown(), CDragPreview::EShown::Nothing);
  CEventLoop::InjectMouseButton(m_dlg, at, VK_LBUTTON, false);
  EXPECT_EQ(m_dlg->GetDragPreview().GetShown(), CDragPreview::EShown::Nothing);
  CloseWindow();
  EXPECT_TRUE(Contains(ReadSettings(), "DragPreview=0"));
}
