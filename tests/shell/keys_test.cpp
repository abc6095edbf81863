// The keys the player changed, in the settings file's [Keys] section: they play, survive a
// restart with the other settings, and a line that is not understood is told once, kept in
// the file, and costs nothing else.
#include "shell_test_util.h"

#include <gyrix/shell/helppages.h>
#include <gyrix/shell/keysdlg.h>

#include <gyrix/puzzles.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <set>
#include <string>
#include <vector>

namespace {

TEST_F(ShellTest, KeysFromTheSettingsFilePlayAndComeBackAfterARestart) {
  WriteSettings("LastPuzzle=0\nSmooth=0\n[Keys]\nUndo=U\nScramble=Ctrl+M\nTeleport=T\n");
  OpenWindow();
  Settle();
  // Told once, with the line that was not understood.
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_NE(m_services.messages[0].find("Teleport"), std::string::npos) << m_services.messages[0];
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_EQ(p->GetTypeId(), 0);

  Key('M');  // no longer the scramble
  Settle();
  EXPECT_TRUE(p->IsSolved());
  CEventLoop::InjectKey(VK_CONTROL, true);
  Key('M');
  CEventLoop::InjectKey(VK_CONTROL, false);
  Settle();
  EXPECT_FALSE(m_dlg->GetPuzzle()->IsSolved());
  Key('U');
  Settle();
  EXPECT_TRUE(m_dlg->GetPuzzle()->IsSolved());

  CloseWindow();
  const std::string saved = ReadSettings();
  const size_t section = saved.find("[Keys]\n");
  ASSERT_NE(section, std::string::npos) << saved;
  EXPECT_NE(saved.find("\nUndo=U\n", section), std::string::npos) << saved;
  EXPECT_NE(saved.find("\nScramble=Ctrl+M\n", section), std::string::npos) << saved;
  EXPECT_NE(saved.find("\nTeleport=T\n", section), std::string::npos) << saved;  // kept for a newer program
  EXPECT_NE(saved.find("Smooth=0\n"), std::string::npos);
  // The other settings stay ahead of the section.
  EXPECT_LT(saved.find("LastPuzzle="), section);

  m_services.messages.clear();
  OpenWindow();
  Settle();
  EXPECT_EQ(m_dlg->GetCommandTable().Find('U', 0), ECommand::Undo);
  EXPECT_EQ(m_dlg->GetCommandTable().Find('M', 0), ECommand::None);
  EXPECT_EQ(m_services.messages.size(), 1u);  // the unknown line is still there, and told again
}

TEST_F(ShellTest, WithoutASectionTheKeysAreTheDefaultsAndTheFileGetsOne) {
  WriteSettings("LastPuzzle=1\n");
  OpenWindow();
  Settle();
  EXPECT_TRUE(m_services.messages.empty());
  EXPECT_EQ(m_dlg->GetCommandTable().Find(VK_BACK, 0), ECommand::Undo);
  CloseWindow();
  const std::string saved = ReadSettings();
  EXPECT_NE(saved.find("[Keys]\nUndo=Backspace, Ctrl+Z\n"), std::string::npos) << saved;

  // Settings written for the first time land after the section: they stay settings, ahead
  // of it, and the next start reads them.
  WriteSettings("[Keys]\nUndo=U\n");
  OpenWindow();
  Settle();
  m_dlg->SelectPuzzle(2);
  m_dlg->SaveSettings();
  CloseWindow();
  const std::string again = ReadSettings();
  ASSERT_NE(again.find("LastPuzzle=2"), std::string::npos) << again;
  EXPECT_LT(again.find("LastPuzzle=2"), again.find("[Keys]")) << again;
  EXPECT_NE(again.find("[Keys]\nUndo=U\n"), std::string::npos) << again;
  OpenWindow();
  Settle();
  EXPECT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 2);
  EXPECT_EQ(m_dlg->GetCommandTable().Find('U', 0), ECommand::Undo);
}

}  // namespace

namespace {

std::vector<int> ColoursOf(const CPuzzle& p) {
  std::vector<int> colours;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) colours.push_back(p.GetFaceletColour(id));
  return colours;
}

struct SpeedcubeKeys : ShellTest {
  void Chord(int modifier, int vk) {
    CEventLoop::InjectKey(modifier, true);
    Key(vk);
    CEventLoop::InjectKey(modifier, false);
    Finish();
  }
  void Finish() {
    Settle();
    for (int i = 0; i < 200 && m_dlg->GetPuzzle()->IsBusy(); ++i) AdvanceClock(20);
    Settle();
  }
  std::string Title() {
    char text[512] = "";
    m_dlg->GetWindowText(text, sizeof text);
    return text;
  }
  // Whether some drag in the window's view gives the colours the puzzle shows.
  bool SomeDragGives(const std::vector<int>& from, const std::vector<int>& now) {
    CPuzzle* p = m_dlg->GetPuzzle();
    std::set<int> turns;
    for (int a = 0; a < p->GetFaceletCount(); ++a)
      for (int b = 0; b < p->GetFaceletCount(); ++b)
        if (const int m = p->MoveFromDrag(a, b)) turns.insert(m);
    for (int m : turns) {
      std::unique_ptr<CPuzzle> r(CreatePuzzle(p->GetTypeId()));
      for (size_t id = 0; id < from.size(); ++id) r->SetFaceletColour(static_cast<int>(id), from[id]);
      r->DoMove(m, 0);
      if (ColoursOf(*r) == now) return true;
    }
    return false;
  }
};

TEST_F(SpeedcubeKeys, CtrlKSwitchesTheLayoutWhoseLettersTurnAsTheDragsDoAndItStaysAfterARestart) {
  WriteSettings("LastPuzzle=1\n");
  OpenWindow();
  Settle();
  CPuzzle* p = m_dlg->GetPuzzle();
  EXPECT_EQ(Title().find("speedcubing"), std::string::npos);
  Chord(VK_CONTROL, 'K');
  EXPECT_EQ(m_dlg->GetKeyLayout(), EKeyLayout::Speedcube);
  EXPECT_NE(Title().find("speedcubing keys"), std::string::npos) << Title();
  EXPECT_NE(ReadSettings().find("KeyLayout=\"Speedcube\""), std::string::npos) << ReadSettings();

  // I turns the right layer: a turn a drag makes, the one whose layer holds the right edge.
  for (int vk : {'I', 'K', 'J', 'H', 'D', 'S'}) {
    const std::vector<int> before = ColoursOf(*p);
    Key(vk);
    Finish();
    EXPECT_NE(ColoursOf(*p), before) << char(vk);
    EXPECT_TRUE(SomeDragGives(before, ColoursOf(*p))) << char(vk);
  }
  // M is a turn now; the scramble answers to Ctrl+M.
  for (int i = 0; i < 6; ++i) Chord(VK_CONTROL, 'Z');
  std::unique_ptr<CPuzzle> solved(CreatePuzzle(1));
  auto astray = [&] {
    int n = 0;
    const std::vector<int> now = ColoursOf(*m_dlg->GetPuzzle()), home = ColoursOf(*solved);
    for (size_t i = 0; i < now.size(); ++i) n += now[i] != home[i];
    return n;
  };
  ASSERT_EQ(astray(), 0);
  Key('M');
  Finish();
  EXPECT_EQ(astray(), 24);  // r': two layers' rings
  Chord(VK_CONTROL, 'M');
  EXPECT_GT(astray(), 30);  // scrambled
  CloseWindow();
  EXPECT_NE(ReadSettings().find("KeyLayout=\"Speedcube\""), std::string::npos) << ReadSettings();
  OpenWindow();
  Settle();
  EXPECT_EQ(m_dlg->GetKeyLayout(), EKeyLayout::Speedcube);
  Chord(VK_CONTROL, 'K');
  EXPECT_EQ(m_dlg->GetKeyLayout(), EKeyLayout::Classic);
  EXPECT_EQ(Title().find("speedcubing"), std::string::npos);
}

TEST_F(SpeedcubeKeys, OnTheBigCubesANumberHeldCountsTheLayersAndShiftTakesOnlyThatOne) {
  WriteSettings("LastPuzzle=3\nKeyLayout=\"Speedcube\"\n");
  OpenWindow();
  Settle();
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_EQ(p->GetTypeId(), 3);
  auto moved = [&](const std::vector<int>& before) {
    int n = 0;
    const std::vector<int> now = ColoursOf(*p);
    for (size_t i = 0; i < now.size(); ++i) n += now[i] != before[i];
    return n;
  };
  std::vector<int> before = ColoursOf(*p);
  Key('I');
  Finish();
  const int one = moved(before);
  EXPECT_GT(one, 0);
  Key('K');
  Finish();
  before = ColoursOf(*p);
  CEventLoop::InjectKey('3', true);
  Key('I');
  CEventLoop::InjectKey('3', false);
  Finish();
  EXPECT_EQ(moved(before), 3 * one);  // three layers from the face, each carrying a ring
  before = ColoursOf(*p);
  CEventLoop::InjectKey('3', true);
  CEventLoop::InjectKey(VK_SHIFT, true);
  Key('I');
  CEventLoop::InjectKey(VK_SHIFT, false);
  CEventLoop::InjectKey('3', false);
  Finish();
  EXPECT_GT(moved(before), 0);
  EXPECT_LE(moved(before), one);  // the third layer alone: a ring, no face
}

}  // namespace

namespace {

TEST_F(ShellTest, TheHelpOpensAsACopyThatShowsTheKeysAsSet) {
  WriteSettings("LastPuzzle=1\n[Keys]\nUndo=U\n");
  const std::string cache = (m_folder / "cache").string();
  SetHelpFolderOverride(GYRIX_HELP_SOURCE);
  OpenWindow();
  Settle();
  Key(VK_F1);
  Settle();
  SetHelpFolderOverride("");
  ASSERT_EQ(m_services.opened.size(), 1u);
  EXPECT_EQ(m_services.opened[0], cache + "/gyrix/help/index.html");
  std::ifstream in(cache + "/gyrix/help/keys.html");
  std::stringstream page;
  page << in.rdbuf();
  EXPECT_NE(page.str().find("<tr><td><kbd>U</kbd></td><td>Undo"), std::string::npos);
}

}  // namespace

namespace {

int RowOf(CKeysDlg* dlg, ECommand command) {
  for (int row = 0; row < dlg->GetRowCount(); ++row)
    if (dlg->GetRowCommand(row) == command) return row;
  return -1;
}

TEST_F(ShellTest, TheKeysDialogChangesAKeyByPressingItRefusesOneTakenAndRestoresTheDefaults) {
  WriteSettings("LastPuzzle=1\n");
  OpenWindow();
  Settle();
  bool ran = false;
  CEventLoop::SetModalHook([&](CWnd* wnd) {
    auto* dlg = dynamic_cast<CKeysDlg*>(wnd);
    if (!dlg || ran) return;
    ran = true;
    CEventLoop::ProcessPending();
    EXPECT_EQ(dlg->DescribeRow(RowOf(dlg, ECommand::Undo)), "Undo: Backspace, Ctrl+Z");
    EXPECT_GE(RowOf(dlg, ECommand::CubeR), 0);  // the speedcubing keys are listed too
    // Change: the next key pressed, modifiers and all.
    dlg->Select(RowOf(dlg, ECommand::Undo));
    dlg->StartCapture(false);
    CEventLoop::InjectKey(VK_SHIFT, true);
    CEventLoop::InjectKeyPress('U');
    CEventLoop::InjectKey(VK_SHIFT, false);
    CEventLoop::ProcessPending();
    EXPECT_FALSE(dlg->IsCapturing());
    EXPECT_EQ(dlg->DescribeRow(RowOf(dlg, ECommand::Undo)), "Undo: Shift+U");
    // A key another command has is refused, and the command keeps its keys.
    dlg->Select(RowOf(dlg, ECommand::Reset));
    dlg->StartCapture(false);
    EXPECT_FALSE(dlg->TakeKey({'O', 0}));
    EXPECT_EQ(dlg->GetNote(), "O is already the key of Options; nothing changed.");
    EXPECT_EQ(dlg->DescribeRow(RowOf(dlg, ECommand::Reset)), "Reset: R");
    // Esc while waiting changes nothing and keeps the dialog open.
    dlg->StartCapture(true);
    dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(dlg->IsCapturing());
    // Add, clear, defaults.
    dlg->StartCapture(true);
    EXPECT_TRUE(dlg->TakeKey({VK_F4, 0}));
    EXPECT_EQ(dlg->DescribeRow(RowOf(dlg, ECommand::Reset)), "Reset: R, F4");
    dlg->Select(RowOf(dlg, ECommand::Hint));
    dlg->ClearSelected();
    EXPECT_EQ(dlg->DescribeRow(RowOf(dlg, ECommand::Hint)), "Hint: (no key)");
    dlg->RestoreDefaults();
    EXPECT_EQ(dlg->DescribeRow(RowOf(dlg, ECommand::Undo)), "Undo: Backspace, Ctrl+Z");
    // Kept on OK.
    dlg->Select(RowOf(dlg, ECommand::Undo));
    dlg->StartCapture(false);
    ASSERT_TRUE(dlg->TakeKey({'U', 0}));
    dlg->SendMessage(WM_COMMAND, IDOK, 0);
  });
  m_dlg->RunKeysDialog(m_dlg);
  CEventLoop::SetModalHook(nullptr);
  ASSERT_TRUE(ran);
  EXPECT_EQ(m_dlg->GetCommandTable().Find('U', 0), ECommand::Undo);
  EXPECT_EQ(m_dlg->GetCommandTable().Find(VK_BACK, 0), ECommand::None);
  EXPECT_NE(ReadSettings().find("\nUndo=U\n"), std::string::npos);
}

}  // namespace
