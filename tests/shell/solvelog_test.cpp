// The solve log in the main window: solves logged when the congratulations appear, with the
// bests they set; the game of each puzzle kept when another is chosen and at exit, and brought
// back; a damaged log told once, moved aside, and play going on.
#include "shell_test_util.h"

#include <gyrix/shell/replayview.h>
#include <gyrix/shell/statsdlg.h>
#include <gyrix/stats/sessionlog.h>
#include <gyrix/stats/solvelog.h>

#include <cordak/urand.h>

#include <fstream>
#include <set>

namespace {

constexpr int kCube2 = 0;
constexpr int kCube3 = 1;

std::vector<int> History(const CPuzzle& p) {
  std::vector<int> moves;
  for (int i = 0; i < p.GetHistorySize(); ++i) moves.push_back(p.GetHistoryMove(i));
  return moves;
}

struct SolveLogWindow : ShellTest {
  std::string DbPath() const { return (m_folder / "gyrix.db").string(); }
  // Scrambles with a seed and turns the scramble back, one turn every stepMs on the window's
  // clock, which times the solve.
  void PlaySolve(int seed, std::uint64_t stepMs) {
    CGameSession& s = m_dlg->GetSession();
    s.Scramble(seed);
    CPuzzle* p = m_dlg->GetPuzzle();
    p->SetElapsedSeconds(5);  // the congratulations name a time
    CURand rand(seed);
    std::vector<int> turns;
    for (int i = 0; i < 4 * p->GetMoveCount(); ++i) turns.push_back(rand.Random(1, p->GetMoveCount()));
    for (auto it = turns.rbegin(); it != turns.rend() && !m_dlg->GetPuzzle()->IsSolved(); ++it) {
      AdvanceClock(stepMs);
      s.Turn(-*it, ETurnSource::Key);
      Settle();
    }
    CEventLoop::ProcessPending();
  }
  int LoggedSolves() {
    CSolveLog log;
    log.Open(DbPath());
    return log.CountSolves();
  }
};

}  // namespace

TEST_F(SolveLogWindow, ASolveIsLoggedWhenCongratulatedAndABetterOneIsCalledANewBest) {
  WriteSettings("LastPuzzle=0\n");
  OpenWindow();
  ASSERT_EQ(m_dlg->GetPuzzle()->GetTypeId(), kCube2);
  // One scramble three times, so that only the time between turns tells the solves apart.
  PlaySolve(3, 200);
  ASSERT_TRUE(m_dlg->IsMessageShown());
  EXPECT_NE(m_dlg->GetMessageText().find("Congratulations"), std::string::npos);
  EXPECT_EQ(m_dlg->GetMessageText().find("New best"), std::string::npos) << "nothing earlier to beat";
  ASSERT_NE(m_dlg->GetSolveLog(), nullptr);
  EXPECT_EQ(m_dlg->GetSolveLog()->CountSolves(), 1) << "in the log as soon as the panel shows";
  m_dlg->DismissMessage();
  PlaySolve(3, 20);
  EXPECT_NE(m_dlg->GetMessageText().find("New best single"), std::string::npos) << m_dlg->GetMessageText();
  m_dlg->DismissMessage();
  PlaySolve(3, 400);
  EXPECT_EQ(m_dlg->GetMessageText().find("New best"), std::string::npos) << m_dlg->GetMessageText();
  CloseWindow();
  EXPECT_EQ(LoggedSolves(), 3);
  EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(SolveLogWindow, EachPuzzlesGameComesBackWhenChosenAgainAndAtTheNextStart) {
  OpenWindow();
  m_dlg->SelectPuzzle(kCube3);
  m_dlg->GetSession().Scramble(9);
  for (int move : {1, 2, 3}) {
    m_dlg->GetSession().Turn(move, ETurnSource::Key);
    Settle();
  }
  const std::vector<int> cube3 = History(*m_dlg->GetPuzzle());
  ASSERT_EQ(cube3.size(), 3u);
  m_dlg->SelectPuzzle(kCube2);
  EXPECT_TRUE(m_dlg->GetPuzzle()->IsSolved()) << "a puzzle never played starts fresh";
  m_dlg->GetSession().Turn(2, ETurnSource::Key);
  Settle();
  m_dlg->SelectPuzzle(kCube3);
  EXPECT_EQ(History(*m_dlg->GetPuzzle()), cube3);
  EXPECT_TRUE(m_dlg->GetPuzzle()->IsScramblePending());
  // Undo goes back through this game: the turns, then the scramble.
  m_dlg->GetSession().Undo();
  Settle();
  EXPECT_EQ(History(*m_dlg->GetPuzzle()).size(), 2u);
  m_dlg->GetSession().Redo();
  Settle();
  CloseWindow();

  OpenWindow();
  ASSERT_EQ(m_dlg->GetPuzzle()->GetTypeId(), kCube3);
  EXPECT_EQ(History(*m_dlg->GetPuzzle()), cube3) << "kept at exit";
  m_dlg->SelectPuzzle(kCube2);
  EXPECT_EQ(History(*m_dlg->GetPuzzle()), (std::vector<int>{2}));
  EXPECT_TRUE(m_services.messages.empty());
}

TEST_F(SolveLogWindow, ADamagedLogIsToldOnceMovedAsideAndANewOneTakesTheSolves) {
  std::ofstream(DbPath(), std::ios::binary) << std::string(8192, 'x');
  OpenWindow();
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_FALSE(m_services.messages[0].empty());
  int moved = 0;
  for (const auto& entry : std::filesystem::directory_iterator(m_folder))
    if (entry.path().filename().string().rfind("gyrix.db", 0) == 0 && entry.path().filename() != "gyrix.db" &&
        entry.path().extension() != ".db-wal" && entry.path().string().find("-wal") == std::string::npos &&
        entry.path().string().find("-shm") == std::string::npos)
      ++moved;
  EXPECT_EQ(moved, 1) << "the damaged file is kept under another name";
  PlaySolve(2, 100);
  EXPECT_TRUE(m_dlg->IsMessageShown());
  CloseWindow();
  EXPECT_EQ(LoggedSolves(), 1);
  EXPECT_EQ(m_services.messages.size(), 1u) << "told once";
}

TEST_F(SolveLogWindow, TOpensTheStatisticsWhereASolveIsDeletedPutBackAndReplayed) {
  WriteSettings("LastPuzzle=0\n");
  OpenWindow();
  PlaySolve(3, 200);
  m_dlg->DismissMessage();
  PlaySolve(3, 100);  // the faster
  m_dlg->DismissMessage();
  // The game in progress, which the replay must leave as it is.
  m_dlg->GetSession().Scramble(11);
  m_dlg->GetSession().Turn(1, ETurnSource::Key);
  Settle();
  const std::vector<int> game = History(*m_dlg->GetPuzzle());

  bool ran = false;
  CEventLoop::SetModalHook([&](CWnd* wnd) {
    auto* dlg = dynamic_cast<CStatsDlg*>(wnd);
    if (!dlg || ran) return;
    ran = true;
    CEventLoop::ProcessPending();
    ASSERT_EQ(dlg->GetSolves().size(), 2u);
    EXPECT_EQ(dlg->GetSolves()[0].id, 2) << "newest first";
    EXPECT_EQ(dlg->GetStatistics().count, 2);
    EXPECT_EQ(dlg->SummaryLines()[1], "best  " + CStatValue::Time(static_cast<double>(dlg->GetSolves()[0].durationMs)).Format());
    EXPECT_NE(CStatsDlg::DescribeSolve(dlg->GetSolves()[0]).find(" turns "), std::string::npos);
    // Every box draws something besides its paper.
    for (int which = 0; which < 3; ++which) {
      CDib box;
      ASSERT_TRUE(dlg->RenderPanel(which, box, 300, 200));
      std::set<int> colours;
      for (int y = 0; y < 200; y += 2)
        for (int x = 0; x < 300; x += 2) {
          unsigned char index = 0;
          box.GetPixel(x, y, index);
          colours.insert(index);
        }
      EXPECT_GE(colours.size(), which == 2 ? 4u : 2u) << which;
    }
    dlg->Select(0);
    ASSERT_TRUE(dlg->DeleteSelected());
    EXPECT_EQ(dlg->GetSolves().size(), 1u);
    EXPECT_EQ(m_dlg->GetSolveLog()->CountSolves(), 1);
    ASSERT_TRUE(dlg->UndoDelete());
    EXPECT_EQ(dlg->GetSolves().size(), 2u);
    EXPECT_EQ(dlg->GetSolves()[0].id, 2) << "back with its id";
    EXPECT_FALSE(dlg->UndoDelete()) << "nothing more to put back";
    // A new session starts empty; stepping through the sessions comes back to all of them.
    ASSERT_GT(dlg->StartNewSession(), 0);
    EXPECT_TRUE(dlg->GetSolves().empty());
    EXPECT_EQ(dlg->GetStatistics().count, 0);
    for (int i = 0; i < 4 && dlg->GetShownSession() != 0; ++i) dlg->NextSession();
    ASSERT_EQ(dlg->GetShownSession(), 0);
    EXPECT_EQ(dlg->SessionTitle(), "All sessions");
    ASSERT_EQ(dlg->GetSolves().size(), 2u);
    dlg->NextSession();
    EXPECT_EQ(dlg->GetSolves().size(), 2u) << "the first session holds both";
    dlg->ShowSession(0);
    dlg->Select(1);  // the first solve
    dlg->SendMessage(WM_COMMAND, IDC_STATS_REPLAY, 0);
  });
  Key('T');
  CEventLoop::ProcessPending();
  CEventLoop::SetModalHook(nullptr);
  ASSERT_TRUE(ran);

  ASSERT_TRUE(m_dlg->IsReplaying());
  CReplayView* replay = m_dlg->GetReplay();
  EXPECT_EQ(replay->Solve().id, 1);
  EXPECT_FALSE(replay->GetPuzzle()->IsSolved()) << "from the scrambled position";
  Key(VK_SPACE);  // paused
  Key(VK_RIGHT);
  EXPECT_EQ(replay->TurnsShown(), 1);
  EXPECT_EQ(replay->Clock().TimeMs(), replay->Solve().moves[0].ms) << "the clock shows that turn's time";
  Key(VK_LEFT);
  EXPECT_EQ(replay->TurnsShown(), 0);
  Key(VK_SPACE);
  for (int i = 0; i < 4; ++i) Key(VK_ADD);
  EXPECT_EQ(replay->Clock().Speed(), 4.0);
  AdvanceClock(static_cast<std::uint64_t>(replay->Solve().durationMs / 4 + 200));
  EXPECT_TRUE(replay->Clock().IsAtEnd());
  EXPECT_TRUE(replay->GetPuzzle()->IsSolved()) << "the solve plays out to the solved puzzle";
  Key(VK_HOME);
  EXPECT_EQ(replay->TurnsShown(), 0);
  Key(VK_END);
  EXPECT_TRUE(replay->GetPuzzle()->IsSolved());
  ClickAt(CPoint(320, 260));  // the game waits
  Key('R');
  EXPECT_TRUE(m_dlg->IsReplaying());
  Key(VK_ESCAPE);
  CEventLoop::ProcessPending();
  ASSERT_FALSE(m_dlg->IsReplaying());
  ASSERT_NE(m_dlg->GetSafeHwnd(), nullptr) << "Esc ended the replay, not the program";
  EXPECT_EQ(History(*m_dlg->GetPuzzle()), game) << "the game as it was";
  EXPECT_TRUE(m_dlg->GetPuzzle()->IsScramblePending());
  EXPECT_EQ(m_dlg->GetSolveLog()->CountSolves(), 2) << "nor the log changed";
}
