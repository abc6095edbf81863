// The solve log in the main window: solves logged when the congratulations appear, with the
// bests they set; the game of each puzzle kept when another is chosen and at exit, and brought
// back; a damaged log told once, moved aside, and play going on.
#include "shell_test_util.h"

#include <gyrix/stats/sessionlog.h>
#include <gyrix/stats/solvelog.h>

#include <cordak/urand.h>

#include <fstream>

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
  // Scrambles with a seed and turns the scramble back, one turn every stepMs.
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
  PlaySolve(3, 200);
  ASSERT_TRUE(m_dlg->IsMessageShown());
  EXPECT_NE(m_dlg->GetMessageText().find("Congratulations"), std::string::npos);
  EXPECT_EQ(m_dlg->GetMessageText().find("New best"), std::string::npos) << "nothing earlier to beat";
  ASSERT_NE(m_dlg->GetSolveLog(), nullptr);
  EXPECT_EQ(m_dlg->GetSolveLog()->CountSolves(), 1) << "in the log as soon as the panel shows";
  m_dlg->DismissMessage();
  PlaySolve(4, 20);
  EXPECT_NE(m_dlg->GetMessageText().find("New best single"), std::string::npos) << m_dlg->GetMessageText();
  m_dlg->DismissMessage();
  PlaySolve(5, 400);
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
