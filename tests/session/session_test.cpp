// The game session without a window (every turn made at once), and with a window whose frames
// the test paints itself, for the input that arrives while a turn animates.
#include <gyrix/session/session.h>

#include <gyrix/engine/canvas.h>
#include <gyrix/puzzles.h>

#include <cordak/file.h>
#include <cordak/urand.h>
#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kCube2 = 0;
constexpr int kCube3 = 1;
constexpr int kOctahedron2 = 9;

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> colours;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) colours.push_back(p.GetFaceletColour(id));
  return colours;
}

std::vector<int> History(const CPuzzle& p) {
  std::vector<int> moves;
  for (int i = 0; i < p.GetHistorySize(); ++i) moves.push_back(p.GetHistoryMove(i));
  return moves;
}

// The whole record as a file holds it, without the clock's two moments.
std::vector<unsigned char> Record(CPuzzle& p) {
  CUBuffer b;
  p.Write(b);
  std::vector<unsigned char> bytes(b.GetData(), b.GetData() + b.GetSize());
  for (std::size_t i = bytes.size() - 20; i < bytes.size() - 12; ++i) bytes[i] = 0;
  return bytes;
}

// The turns a scramble with this seed makes on a puzzle of n turns, for tests that solve it.
std::vector<int> ScrambleTurns(int seed, int n) {
  CURand rand(seed);
  std::vector<int> turns;
  for (int i = 0; i < 4 * n; ++i) turns.push_back(rand.Random(1, n));
  return turns;
}

class EventLog : public IGameListener {
 public:
  void OnGameEvent(const SGameEvent& e) override {
    events.push_back(e);
    lines.push_back(DescribeGameEvent(e));
  }
  std::vector<std::string> Lines(SGameEvent::EKind kind) const {
    std::vector<std::string> out;
    for (const SGameEvent& e : events)
      if (e.kind == kind) out.push_back(DescribeGameEvent(e));
    return out;
  }
  std::vector<SGameEvent> events;
  std::vector<std::string> lines;
};

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override { session.AddListener(&log); }
  void Open(int typeId) { session.SetPuzzle(std::unique_ptr<CPuzzle>(CreatePuzzle(typeId)), false); }
  CPuzzle& P() { return *session.GetPuzzle(); }

  std::int64_t now = 1000;
  CGameSession session{[this] { return now; }};
  EventLog log;
};

}  // namespace

TEST_F(SessionTest, TurnsAreUndoneAndRedoneAndANewTurnDropsWhatUndoTookBack) {
  Open(kCube3);
  const std::vector<int> solved = Colours(P());
  ASSERT_TRUE(session.Turn(1, ETurnSource::Key));
  const std::vector<int> afterOne = Colours(P());
  ASSERT_TRUE(session.Turn(4, ETurnSource::Mouse));
  const std::vector<int> afterTwo = Colours(P());
  EXPECT_EQ(History(P()), (std::vector<int>{1, 4}));

  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(Colours(P()), afterOne);
  EXPECT_EQ(History(P()), (std::vector<int>{1}));
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(Colours(P()), solved);
  EXPECT_FALSE(session.Undo()) << "nothing is left to undo";
  EXPECT_EQ(session.GetRedoCount(), 2);

  ASSERT_TRUE(session.Redo());
  ASSERT_TRUE(session.Redo());
  EXPECT_EQ(Colours(P()), afterTwo);
  EXPECT_EQ(History(P()), (std::vector<int>{1, 4}));
  EXPECT_FALSE(session.Redo());

  ASSERT_TRUE(session.Undo());
  ASSERT_TRUE(session.Turn(2, ETurnSource::Mouse));
  EXPECT_FALSE(session.CanRedo()) << "a new turn after an undo drops the redo list";
  EXPECT_EQ(History(P()), (std::vector<int>{1, 2}));
  EXPECT_EQ(log.Lines(SGameEvent::EKind::TurnUndone).size(), 3u);
  EXPECT_EQ(log.Lines(SGameEvent::EKind::TurnRedone), (std::vector<std::string>{"redone 1 key", "redone 4 key"}));
}

TEST_F(SessionTest, ARedoneTurnComesBackExactlyEvenAfterATurnItWouldCancel) {
  Open(kCube3);
  // Played moves are kept unmerged: a turn and its inverse both stay in the history.
  const int macro[2] = {3, -3};
  P().QueueMoves(macro, 2);
  P().PlayNextMove(nullptr);
  ASSERT_EQ(History(P()), (std::vector<int>{3, -3}));
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(History(P()), (std::vector<int>{3}));
  ASSERT_TRUE(session.Redo());
  EXPECT_EQ(History(P()), (std::vector<int>{3, -3})) << "redo must not merge the turn away";
  EXPECT_TRUE(P().IsSolved());
}

TEST_F(SessionTest, ScrambleResetModeAndLoadAreUndoneAndRedoneAsWholes) {
  Open(kCube3);
  session.Turn(2, ETurnSource::Mouse);
  const std::vector<unsigned char> beforeScramble = Record(P());
  session.Scramble(5);
  const std::vector<unsigned char> scrambled = Record(P());
  EXPECT_NE(scrambled, beforeScramble);
  session.Turn(1, ETurnSource::Mouse);
  const std::vector<unsigned char> turned = Record(P());

  session.Reset();
  EXPECT_TRUE(P().IsSolved());
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(Record(P()), turned) << "the reset is taken back with the turn before it";
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(Record(P()), scrambled);
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(Record(P()), beforeScramble) << "the scramble is taken back";
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(History(P()), (std::vector<int>{}));
  EXPECT_FALSE(session.Undo());

  ASSERT_TRUE(session.Redo());
  ASSERT_TRUE(session.Redo());
  EXPECT_EQ(Record(P()), scrambled) << "the same scramble again";
  ASSERT_TRUE(session.Redo());
  ASSERT_TRUE(session.Redo());
  EXPECT_TRUE(P().IsSolved()) << "and the reset again";

  // A mode switch, and a file opened over the game.
  Open(kOctahedron2);
  session.Turn(1, ETurnSource::Mouse);
  const std::vector<unsigned char> mode1 = Record(P());
  const int firstMode = P().GetMode();
  ASSERT_TRUE(session.SetMode(2));
  EXPECT_EQ(P().GetMode(), 2);
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(P().GetMode(), firstMode);
  EXPECT_EQ(Record(P()), mode1);

  char folder[] = "/tmp/gyrix-session-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/cube.puz";
  {
    std::unique_ptr<CPuzzle> cube(CreatePuzzle(kCube2));
    cube->DoMove(1, 1);
    ASSERT_EQ(cube->Save(path.c_str()), 1);
  }
  ASSERT_TRUE(session.LoadFile(path.c_str()));
  EXPECT_EQ(P().GetTypeId(), kCube2);
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(P().GetTypeId(), kOctahedron2);
  EXPECT_EQ(Record(P()), mode1);
  ASSERT_TRUE(session.Redo());
  EXPECT_EQ(P().GetTypeId(), kCube2);

  std::string problem;
  const std::string junk = std::string(folder) + "/junk.puz";
  ASSERT_EQ(CUFile::ReplaceContents(junk.c_str(), reinterpret_cast<const unsigned char*>("nonsense"), 8), 1);
  EXPECT_FALSE(session.LoadFile(junk.c_str(), &problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_EQ(P().GetTypeId(), kCube2) << "a refused file changes nothing";
  std::filesystem::remove_all(folder);
}

TEST_F(SessionTest, SnapshotsAreBoundedAndTheOldestGoFirst) {
  Open(kCube2);
  for (int i = 1; i <= CGameSession::kMaxSnapshots + 10; ++i) session.Scramble(i);
  EXPECT_EQ(session.GetSnapshotCount(), CGameSession::kMaxSnapshots);
  int undone = 0;
  while (session.Undo()) ++undone;
  EXPECT_EQ(undone, CGameSession::kMaxSnapshots);
  // The oldest kept step is the 11th scramble: its start is the 10th scramble's result.
  CGameSession other;
  other.SetPuzzle(std::unique_ptr<CPuzzle>(CreatePuzzle(kCube2)), false);
  for (int i = 1; i <= 10; ++i) other.Scramble(i);
  EXPECT_EQ(Colours(P()), Colours(*other.GetPuzzle()));
  EXPECT_EQ(session.GetSnapshotCount(), CGameSession::kMaxSnapshots) << "redo keeps them";
}

TEST_F(SessionTest, AScrambleGivesTheSameTurnsAsTheSharedGeneratorWithThatSeed) {
  Open(kCube3);
  session.Scramble(1234);
  std::unique_ptr<CPuzzle> alone(CreatePuzzle(kCube3));
  Randomize(1234);
  alone->Scramble();
  EXPECT_EQ(Colours(P()), Colours(*alone));
  // Without a seed, scrambles draw on from the session's generator, not the shared one.
  Randomize(1234);
  session.Scramble();
  alone->Scramble();
  EXPECT_NE(Colours(P()), Colours(*alone));
}

TEST_F(SessionTest, ASolveIsTimedInMillisecondsWithoutItsPausesAndCountsItsTurns) {
  Open(kCube2);
  const int n = P().GetMoveCount();
  session.Scramble(77);
  const std::vector<int> scramble = ScrambleTurns(77, n);
  now += 1500;
  session.StopClock();  // a dialog
  now += 10000;
  session.ResumeClock();
  now += 250;
  // One wrong turn taken back, then the scramble backwards.
  session.Turn(1, ETurnSource::Mouse);
  session.Undo();
  for (auto it = scramble.rbegin(); it != scramble.rend() && !P().IsSolved(); ++it) {
    now += 10;
    session.Turn(-*it, ETurnSource::Mouse);
  }
  ASSERT_TRUE(P().IsSolved());
  const std::vector<std::string> solved = log.Lines(SGameEvent::EKind::Solved);
  ASSERT_EQ(solved.size(), 1u);
  const SGameEvent* e = nullptr;
  for (const SGameEvent& ev : log.events)
    if (ev.kind == SGameEvent::EKind::Solved) e = &ev;
  const int made = static_cast<int>(log.Lines(SGameEvent::EKind::TurnMade).size());
  EXPECT_EQ(e->turns, made + 1) << "the turns made and the undo";
  EXPECT_EQ(e->solveMs, 1500 + 250 + 10 * (made - 1));
  // The clock on screen agrees, in whole seconds.
  now += 5000;
  EXPECT_EQ(session.GetSolveMilliseconds(), e->solveMs) << "a solved clock stands still";
}

TEST_F(SessionTest, EventsArriveInOrderWithTheirSourcesAndTimes) {
  Open(kCube2);
  session.Scramble(3);
  now += 40;
  session.Turn(2, ETurnSource::Key);
  now += 40;
  session.DragTurn(0, 0, ETurnSource::Mouse);  // no turn: nothing told
  session.Undo(ETurnSource::Controller);
  session.Reset();
  session.Undo();
  std::vector<std::string> expected = {"puzzle 0 Cube(2x2x2) mode 0", "scrambled seed 3", "turn 2 key", "undone 2 controller", "reset",
                                       "puzzle 0 Cube(2x2x2) mode 0", "undone-command reset"};
  std::vector<std::string> got;
  for (const std::string& line : log.lines)
    if (line != "resumed" && line != "paused") got.push_back(line);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(log.events[0].timeMs, 1000);
  EXPECT_EQ(log.events.back().timeMs, 1080);
}

TEST_F(SessionTest, TheClockNoLongerClearsTheHistoryWhenTheSystemTimeChanges) {
  Open(kCube2);
  session.Scramble(9);
  session.Turn(1, ETurnSource::Mouse);
  session.Turn(2, ETurnSource::Mouse);
  now += 3000;
  session.OnSystemTimeChanged();
  EXPECT_EQ(History(P()), (std::vector<int>{1, 2}));
  EXPECT_TRUE(P().IsScramblePending());
  EXPECT_GE(P().GetElapsedSeconds(), 2);
  EXPECT_LE(P().GetElapsedSeconds(), 4);
}

// ---- with a window: input while a turn animates ----

namespace {

class AnimatedSession : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_TRUE(CEventLoop::Init());
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "game", WS_POPUP | WS_VISIBLE, CRect(0, 0, 160, 120), nullptr, 0));
    session.SetHost(&wnd);
    session.SetAnimationInterval(30);
    Open(kCube3);
    P().ResetView(160, 120);
    canvas = std::make_unique<CPuzzleCanvas>(P(), 160, 120);
  }
  void TearDown() override {
    session.FinishTurns();
    session.SetHost(nullptr);
    if (wnd.GetSafeHwnd()) wnd.DestroyWindow();
    CEventLoop::ProcessPending();
  }
  // Paints frames as the window would, until nothing moves or waits; returns the frames.
  int PaintUntilIdle(int limit = 1000) {
    int frames = 0;
    while ((session.IsBusy() || session.GetQueuedCount() > 0) && frames < limit) {
      session.Paint(canvas->dc, &canvas->dib);
      ++frames;
    }
    return frames;
  }

  CWnd wnd;
  std::unique_ptr<CPuzzleCanvas> canvas;
};

}  // namespace

TEST_F(AnimatedSession, TurnsAndUndosGivenDuringATurnArePlayedInOrderAndFaster) {
  ASSERT_TRUE(session.Turn(1, ETurnSource::Mouse));
  ASSERT_TRUE(session.IsBusy());
  ASSERT_TRUE(session.Turn(4, ETurnSource::Mouse));
  ASSERT_TRUE(session.Turn(7, ETurnSource::Mouse));
  EXPECT_EQ(session.GetQueuedCount(), 2);
  EXPECT_LT(P().GetAnimationInterval(), 30) << "waiting turns animate faster";
  ASSERT_TRUE(session.Undo(ETurnSource::Key));
  PaintUntilIdle();
  EXPECT_EQ(History(P()), (std::vector<int>{1, 4}));
  EXPECT_EQ(P().GetAnimationInterval(), 30) << "back to the set pace once nothing waits";
  std::vector<std::string> turns;
  for (const std::string& line : log.lines)
    if (line.rfind("turn", 0) == 0 || line.rfind("undone", 0) == 0) turns.push_back(line);
  EXPECT_EQ(turns, (std::vector<std::string>{"turn 1 mouse", "turn 4 mouse", "turn 7 mouse", "undone 7 key"}));
}

TEST_F(AnimatedSession, ManyWaitingTurnsAreMadeAtOnceAndTheQueueIsBounded) {
  ASSERT_TRUE(session.Turn(1, ETurnSource::Mouse));
  int accepted = 0;
  for (int i = 0; i < 100; ++i) accepted += session.Turn(2, ETurnSource::Mouse) ? 1 : 0;
  EXPECT_LE(session.GetQueuedCount(), CGameSession::kMaxQueued);
  EXPECT_GE(accepted, CGameSession::kMaxQueued);
  const int frames = PaintUntilIdle(100000);
  // Without catching up, 1 + accepted turns would take that many times a turn's frames.
  EXPECT_LT(frames, (1 + accepted) * 2);
  EXPECT_EQ(static_cast<int>(log.Lines(SGameEvent::EKind::TurnMade).size()), 1 + accepted);
}

TEST_F(AnimatedSession, WithoutTheQueueATurnDuringATurnIsRefusedAsBefore) {
  session.SetQueueTurns(false);
  ASSERT_TRUE(session.Turn(1, ETurnSource::Mouse));
  EXPECT_FALSE(session.Turn(4, ETurnSource::Mouse));
  PaintUntilIdle();
  EXPECT_EQ(History(P()), (std::vector<int>{1}));
}

TEST_F(AnimatedSession, ACommandDuringATurnEndsTheTurnFirst) {
  ASSERT_TRUE(session.Turn(1, ETurnSource::Mouse));
  session.Turn(4, ETurnSource::Mouse);
  session.Reset();
  EXPECT_FALSE(session.IsBusy());
  EXPECT_EQ(session.GetQueuedCount(), 0);
  EXPECT_TRUE(P().IsSolved());
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(History(P()), (std::vector<int>{1})) << "the running turn was made, the waiting one dropped";
}
