// Hint and Solve in the main window: H makes one turn of a shortest solution, Shift+H plays
// them all, any key stops a solve under way, and the congratulations say the solve was helped.
#include "shell_test_util.h"

#include <gyrix/solver/solver.h>

#include <cstdlib>
#include <string>

namespace {

int Distance(const CPuzzle& p) {
  CSolveOptions options;
  options.useCache = false;
  return SolvePuzzle(p, options).distance;
}

struct SolveInWindow : ShellTest {
  void SetUp() override {
    ShellTest::SetUp();
    ::setenv("XDG_CACHE_HOME", m_folder.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("XDG_CACHE_HOME");
    ShellTest::TearDown();
  }
  // Lets the worker think and the turns it gives play out.
  void Think() {
    for (int i = 0; i < 400; ++i) {
      AdvanceClock(50);
      if (Title().find("thinking") == std::string::npos && !m_dlg->GetPuzzle()->IsBusy()) break;
    }
    Settle();
  }
  std::string Title() {
    char text[512] = "";
    m_dlg->GetWindowText(text, sizeof text);
    return text;
  }
};

TEST_F(SolveInWindow, HintTurnsOnceShiftHintSolvesAndTheSolveCountsAsAssisted) {
  OpenWindow();
  m_dlg->SelectPuzzle(34);
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_EQ(p->GetTypeId(), 34);
  p->Scramble();
  p->DoMove(1, 1);
  const int before = Distance(*p);
  ASSERT_GT(before, 1);

  Key('H');
  Think();
  EXPECT_EQ(Distance(*p), before - 1);
  EXPECT_NE(Title().find(std::to_string(before - 1) + (before == 2 ? " turn to solve" : " turns to solve")), std::string::npos) << Title();

  CEventLoop::InjectKey(VK_SHIFT, true);
  Key('H');
  CEventLoop::InjectKey(VK_SHIFT, false);
  Think();
  EXPECT_TRUE(p->IsSolved());
  EXPECT_NE(m_dlg->GetMessageText().find("assisted"), std::string::npos) << m_dlg->GetMessageText();
}

TEST_F(SolveInWindow, AnyKeyStopsASolveWhereItIs) {
  OpenWindow();
  m_dlg->SelectPuzzle(34);
  CPuzzle* p = m_dlg->GetPuzzle();
  // The Diamond is small: a scramble may fall a turn or two from solved, too near to stop.
  for (int tries = 0; tries < 50 && (tries == 0 || Distance(*p) <= 2); ++tries) {
    p->Scramble();
    p->DoMove(2, 1);
  }
  const int before = Distance(*p);
  ASSERT_GT(before, 2);
  CEventLoop::InjectKey(VK_SHIFT, true);
  Key('H');
  CEventLoop::InjectKey(VK_SHIFT, false);
  // Until the first turn starts.
  for (int i = 0; i < 400 && !p->IsBusy(); ++i) AdvanceClock(10);
  ASSERT_TRUE(p->IsBusy());
  Key('X');
  Settle();
  EXPECT_FALSE(p->IsSolved());
  EXPECT_EQ(Distance(*p), before - 1);
}

}  // namespace

namespace {

TEST_F(SolveInWindow, TheButtonBesideScrambleSolvesTheWholePuzzle) {
  OpenWindow();
  m_dlg->SelectPuzzle(34);
  CPuzzle* p = m_dlg->GetPuzzle();
  for (int tries = 0; tries < 50 && (tries == 0 || Distance(*p) < 2); ++tries) p->Scramble();
  ASSERT_FALSE(p->IsSolved());
  CMenuButton* solve = VisibleButton(IDB_SOLVE);
  CMenuButton* scramble = VisibleButton(IDB_SCRAMBLE);
  ASSERT_TRUE(solve && scramble);
  // Right under it, in the column of commands.
  EXPECT_EQ(solve->GetRect().left, scramble->GetRect().left);
  EXPECT_EQ(solve->GetRect().top, scramble->GetRect().bottom);
  ClickAt(ButtonCentre(solve));
  Think();
  EXPECT_TRUE(p->IsSolved());
  EXPECT_NE(m_dlg->GetMessageText().find("assisted"), std::string::npos) << m_dlg->GetMessageText();
}

}  // namespace
