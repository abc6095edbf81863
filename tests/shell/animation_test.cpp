// How turns animate in the window: smoothly by time on every display frame, or in the classic
// frame steps, read from the frame log the window writes, on the tests' fake clock.
#include "shell_test_util.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

struct SLoggedFrame {
  long long ms = 0;
  int move = 0;  // 0 at rest
  int angle = 0;
};

std::vector<SLoggedFrame> ReadFrameLog(const std::string& path) {
  std::vector<SLoggedFrame> frames;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    SLoggedFrame f;
    std::string what;
    long long micros = -1;
    words >> f.ms >> what;
    if (what == "turn") {
      std::string angleWord;
      words >> f.move >> angleWord >> f.angle;
      EXPECT_EQ(angleWord, "angle") << line;
    } else {
      EXPECT_EQ(what, "rest") << line;
    }
    words >> micros;
    EXPECT_GE(micros, 0) << line;
    frames.push_back(f);
  }
  return frames;
}

std::vector<int> AnglesOfTurn(const std::vector<SLoggedFrame>& frames, int move) {
  std::vector<int> angles;
  for (const SLoggedFrame& f : frames)
    if (f.move == move) angles.push_back(f.angle);
  return angles;
}

class AnimationTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    m_log = (m_folder / "frames.log").string();
    setenv("GYRIX_FRAME_LOG", m_log.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("GYRIX_FRAME_LOG");
    ShellTest::TearDown();
  }
  // One turn from rest to rest; the frames logged meanwhile.
  std::vector<SLoggedFrame> LogOneTurn(int move) {
    OpenWindow();
    AdvanceClock(100);
    EXPECT_FALSE(m_dlg->GetPuzzle()->IsBusy());
    EXPECT_TRUE(m_dlg->GetSession().Turn(move, ETurnSource::Key));
    Settle();
    AdvanceClock(100);
    return ReadFrameLog(m_log);
  }
  int FullAngle(int move) {
    CPuzzle* p = m_dlg->GetPuzzle();
    return p->GetMoveStep(move) * p->GetMoveFrames(move);
  }
  std::string m_log;
};

}  // namespace

TEST_F(AnimationTest, SmoothTurnRisesToTheFullAngleInMoreFramesThanItsStepsAndIsMadeAsClassic) {
  const std::vector<SLoggedFrame> frames = LogOneTurn(1);
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_TRUE(m_dlg->IsSmoothAnimation());
  const std::vector<int> angles = AnglesOfTurn(frames, 1);
  ASSERT_FALSE(angles.empty());
  for (size_t i = 1; i < angles.size(); ++i) EXPECT_LE(angles[i - 1], angles[i]) << i;
  EXPECT_EQ(angles.back(), FullAngle(1));
  EXPECT_GT(static_cast<int>(angles.size()), p->GetMoveFrames(1));
  // Eased: the first steps are smaller than the middle ones.
  EXPECT_LT(angles[1] - angles[0], angles[angles.size() / 2] - angles[angles.size() / 2 - 1]);
  // The turn lasts what its frame steps last (frames x interval), within a frame or two.
  long long first = -1, last = -1;
  for (const SLoggedFrame& f : frames)
    if (f.move == 1) {
      if (first < 0) first = f.ms;
      last = f.ms;
    }
  const long long classic = static_cast<long long>(p->GetMoveFrames(1)) * m_dlg->GetAnimSpeed();
  EXPECT_NEAR(static_cast<double>(last - first), static_cast<double>(classic), 40.0);
  // Made and recorded once, as in the classic animation.
  EXPECT_EQ(p->GetHistorySize(), 1);
  EXPECT_EQ(p->GetHistoryMove(0), 1);
  EXPECT_EQ(frames.back().move, 0);
}

TEST_F(AnimationTest, ClassicAnimationShowsExactlyTheFrameStepsOnTheAnimationTimer) {
  WriteSettings("[Gyrix]\nAnimation=Classic\n");
  const std::vector<SLoggedFrame> frames = LogOneTurn(1);
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_FALSE(m_dlg->IsSmoothAnimation());
  std::vector<int> steps;
  for (int k = 1; k <= p->GetMoveFrames(1); ++k) steps.push_back(k * p->GetMoveStep(1));
  EXPECT_EQ(AnglesOfTurn(frames, 1), steps);
  EXPECT_EQ(p->GetHistorySize(), 1);
  EXPECT_EQ(p->GetHistoryMove(0), 1);
}

TEST_F(AnimationTest, WithoutEasingTheSmoothTurnRunsAtOnePace) {
  WriteSettings("[Gyrix]\nEasing=0\n");
  const std::vector<SLoggedFrame> frames = LogOneTurn(1);
  ASSERT_FALSE(m_dlg->IsEasing());
  std::vector<SLoggedFrame> turn;
  for (const SLoggedFrame& f : frames)
    if (f.move == 1) turn.push_back(f);
  ASSERT_GE(turn.size(), 4u);
  // The angle grows with the time shown, at the pace of the whole turn.
  CPuzzle* p = m_dlg->GetPuzzle();
  const double degreesPerMs = static_cast<double>(FullAngle(1)) / (p->GetMoveFrames(1) * m_dlg->GetAnimSpeed());
  for (size_t i = 1; i < turn.size(); ++i)
    EXPECT_NEAR(turn[i].angle - turn[0].angle, (turn[i].ms - turn[0].ms) * degreesPerMs, 1.5) << i;
  EXPECT_EQ(turn.back().angle, FullAngle(1));
}

TEST_F(AnimationTest, NothingIsDrawnAndNoAnimationTimerRunsAtRest) {
  const std::vector<SLoggedFrame> before = LogOneTurn(1);
  AdvanceClock(3000);
  EXPECT_EQ(ReadFrameLog(m_log).size(), before.size());
  EXPECT_FALSE(CEventLoop::KillTimer(m_dlg, CPuzzle::kAnimationTimer));
}

TEST_F(AnimationTest, QueuedTurnsPlayInOrderFasterAndEachIsRecorded) {
  OpenWindow();
  AdvanceClock(100);
  CGameSession& session = m_dlg->GetSession();
  const std::uint64_t start = m_now;
  for (int move : {1, 2, 1}) ASSERT_TRUE(session.Turn(move, ETurnSource::Key));
  Settle();
  const std::uint64_t took = m_now - start;
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_EQ(p->GetHistorySize(), 3);
  EXPECT_EQ(p->GetHistoryMove(0), 1);
  EXPECT_EQ(p->GetHistoryMove(1), 2);
  EXPECT_EQ(p->GetHistoryMove(2), 1);
  // Waiting input speeds the turns before it up.
  const std::uint64_t atOnePace = 3ull * p->GetMoveFrames(1) * m_dlg->GetAnimSpeed();
  EXPECT_LT(took, atOnePace);
  const std::vector<SLoggedFrame> frames = ReadFrameLog(m_log);
  EXPECT_EQ(AnglesOfTurn(frames, 2).back(), FullAngle(2));
}

TEST_F(AnimationTest, AnimationSettingsAreReadWrittenAndDefaulted) {
  OpenWindow();
  EXPECT_TRUE(m_dlg->IsSmoothAnimation());
  EXPECT_TRUE(m_dlg->IsEasing());
  m_dlg->SaveSettings();
  std::string written = ReadSettings();
  EXPECT_NE(written.find("Animation=\"Smooth\""), std::string::npos) << written;
  EXPECT_NE(written.find("Easing=1"), std::string::npos) << written;

  CloseWindow();  // it keeps its settings as it goes
  WriteSettings("[Gyrix]\nAnimation=classic\nEasing=0\n");
  OpenWindow();
  EXPECT_FALSE(m_dlg->IsSmoothAnimation());
  EXPECT_FALSE(m_dlg->IsEasing());
  m_dlg->SaveSettings();
  written = ReadSettings();
  EXPECT_NE(written.find("Animation=\"Classic\""), std::string::npos) << written;
  EXPECT_NE(written.find("Easing=0"), std::string::npos) << written;

  // A style this program does not know animates smoothly.
  CloseWindow();
  WriteSettings("[Gyrix]\nAnimation=Wobbly\n");
  OpenWindow();
  EXPECT_TRUE(m_dlg->IsSmoothAnimation());
}
