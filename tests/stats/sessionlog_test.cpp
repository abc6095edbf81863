// A game session tied to the solve log: solves committed as they are solved, and the game in
// progress of each puzzle kept and brought back, with its solve, clock, undo and redo.
#include <gyrix/stats/sessionlog.h>

#include <gyrix/puzzles.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include "stats_test_util.h"

#include <csignal>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCube2 = 0;
constexpr int kCube3 = 1;

// The turns a scramble with this seed makes on a puzzle of n turns, so that a test can solve it.
std::vector<int> ScrambleTurns(int seed, int n) {
  CURand rand(seed);
  std::vector<int> turns;
  for (int i = 0; i < 4 * n; ++i) turns.push_back(rand.Random(1, n));
  return turns;
}

std::vector<int> History(const CPuzzle& p) {
  std::vector<int> moves;
  for (int i = 0; i < p.GetHistorySize(); ++i) moves.push_back(p.GetHistoryMove(i));
  return moves;
}

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> colours;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) colours.push_back(p.GetFaceletColour(id));
  return colours;
}

// One run of the game: a session on a clock the test moves, and its log in a file.
struct Game {
  explicit Game(const std::string& path) {
    log.Open(path);
    recorder = std::make_unique<CSessionLog>(log, session, [this] { return unixMs; });
  }
  ~Game() { recorder.reset(); }
  void Open(int typeId) { session.SetPuzzle(std::unique_ptr<CPuzzle>(CreatePuzzle(typeId)), true); }
  CPuzzle& P() { return *session.GetPuzzle(); }
  // Turns the scramble back, 10 ms a turn, until solved.
  void SolveScramble(int seed, std::size_t skip = 0) {
    const std::vector<int> scramble = ScrambleTurns(seed, P().GetMoveCount());
    for (auto it = scramble.rbegin() + static_cast<std::ptrdiff_t>(skip); it != scramble.rend() && !P().IsSolved(); ++it) {
      now += 10;
      session.Turn(-*it, ETurnSource::Mouse);
    }
  }
  void Wait(std::int64_t ms) {
    for (std::int64_t t = 0; t < ms; t += 250) {
      now += 250;
      recorder->Tick();
    }
  }

  std::int64_t now = 5000;
  std::int64_t unixMs = 1700000000000;
  CSolveLog log;
  CGameSession session{[this] { return now; }};
  std::unique_ptr<CSessionLog> recorder;
};

}  // namespace

TEST(SessionLog, ASolvedScrambleIsCommittedWithItsTurnsTimeAndStartingPosition) {
  CScratchFolder folder;
  Game g(folder / "gyrix.db");
  g.Open(kCube2);
  g.session.Scramble(77);
  CUBuffer scrambled;
  g.P().Write(scrambled);
  g.now += 1000;
  g.session.Turn(1, ETurnSource::Key);
  g.now += 200;
  g.session.Undo();
  g.SolveScramble(77);
  ASSERT_TRUE(g.P().IsSolved());
  const CSolveRecorder::CResult result = g.recorder->TakeResult();
  ASSERT_TRUE(result.recorded) << "committed when solved, without waiting for a tick";
  EXPECT_FALSE(g.recorder->TakeResult().recorded) << "taken once";

  CSolve s;
  ASSERT_TRUE(g.log.GetSolve(result.id, s));
  EXPECT_EQ(s.typeId, kCube2);
  EXPECT_EQ(s.startedMs, g.unixMs);
  EXPECT_FALSE(s.assisted);
  ASSERT_GE(s.moves.size(), 3u);
  EXPECT_EQ(s.moves[0], (CSolveTurn{1, 1000}));
  EXPECT_EQ(s.moves[1], (CSolveTurn{-1, 1200})) << "an undo is the turn back";
  EXPECT_EQ(s.durationMs, 1200 + 10 * static_cast<std::int64_t>(s.moves.size() - 2));
  EXPECT_EQ(s.moves.back().ms, s.durationMs);
  EXPECT_EQ(s.turns, static_cast<int>(s.moves.size()));
  EXPECT_EQ(s.position, std::vector<std::uint8_t>(scrambled.GetData(), scrambled.GetData() + scrambled.GetSize()));

  // Replayed from its starting position, the turns solve it.
  std::unique_ptr<CPuzzle> replay(CreatePuzzle(kCube2));
  CUBuffer start;
  start.Write(s.position.data(), static_cast<int>(s.position.size()));
  start.SeekToBegin();
  ASSERT_EQ(replay->LoadFromBuffer(start), 1);
  CGameSession player;
  player.SetPuzzle(std::move(replay), false);
  for (const CSolveTurn& t : s.moves) player.Turn(t.move, ETurnSource::Replay);
  EXPECT_TRUE(player.GetPuzzle()->IsSolved());
}

TEST(SessionLog, HelpMakesASolveAssistedAndAPuzzleNotScrambledIsNoSolve) {
  CScratchFolder folder;
  Game g(folder / "gyrix.db");
  g.Open(kCube2);
  g.session.Scramble(5);
  const std::vector<int> scramble = ScrambleTurns(5, g.P().GetMoveCount());
  g.session.Turn(-scramble.back(), ETurnSource::Hint);
  g.SolveScramble(5, 1);
  ASSERT_TRUE(g.P().IsSolved());
  ASSERT_TRUE(g.recorder->TakeResult().recorded);
  // The same again, with the session told of help as the Solve button tells it.
  g.session.Scramble(6);
  g.session.MarkAssisted();
  g.SolveScramble(6);
  ASSERT_TRUE(g.recorder->TakeResult().recorded);
  const std::vector<CSolve> solves = g.log.ListSolves(CSolveFilter());
  ASSERT_EQ(solves.size(), 2u);
  EXPECT_TRUE(solves[0].assisted);
  EXPECT_TRUE(solves[1].assisted);
  EXPECT_EQ(g.log.Statistics(CSolveFilter()).count, 0) << "assisted solves do not count";

  // Turned and turned back without a scramble: nothing to log.
  g.session.Reset();
  g.session.Turn(1, ETurnSource::Key);
  g.session.Turn(-1, ETurnSource::Key);
  EXPECT_FALSE(g.recorder->TakeResult().recorded);
  // A scramble abandoned by a reset is not a solve either.
  g.session.Scramble(8);
  g.session.Reset();
  EXPECT_FALSE(g.recorder->TakeResult().recorded);
  EXPECT_EQ(g.log.CountSolves(), 2);
}

TEST(SessionLog, TheGameIsWrittenASecondAfterItChangesAndComesBackInTheNextRun) {
  CScratchFolder folder;
  std::vector<int> history, colours;
  std::int64_t clockMs = 0;
  {
    Game g(folder / "gyrix.db");
    g.Open(kCube3);
    g.session.Scramble(21);
    g.now += 3000;
    g.recorder->Tick();  // the scrambled game is written
    std::vector<std::uint8_t> scrambled, state;
    ASSERT_TRUE(g.log.LoadGame(kCube3, 0, scrambled));
    for (int move : {1, 4, -2}) g.session.Turn(move, ETurnSource::Mouse);
    g.session.Undo();
    history = History(g.P());
    colours = Colours(g.P());
    clockMs = g.session.GetSolveMilliseconds();
    g.now += 500;
    g.recorder->Tick();
    ASSERT_TRUE(g.log.LoadGame(kCube3, 0, state));
    EXPECT_EQ(state, scrambled) << "not yet: the game changed half a second ago";
    g.now += 600;
    g.recorder->Tick();
    ASSERT_TRUE(g.log.LoadGame(kCube3, 0, state));
    EXPECT_NE(state, scrambled) << "a second later the turns are in the log";
    // Killed now: no Flush.
  }
  Game next(folder / "gyrix.db");
  next.Open(kCube2);
  ASSERT_TRUE(next.recorder->Resume(kCube3, 0));
  EXPECT_EQ(next.P().GetTypeId(), kCube3);
  EXPECT_EQ(History(next.P()), history);
  EXPECT_EQ(Colours(next.P()), colours);
  EXPECT_TRUE(next.session.IsSolving());
  // The clock goes on from the time it had when written (the half second after is lost).
  EXPECT_GE(next.session.GetSolveMilliseconds(), clockMs);
  EXPECT_LE(next.session.GetSolveMilliseconds(), clockMs + 1100);
  // The undo and redo of that game came too: redo brings the undone turn back, and undo
  // after the turns takes the scramble back; the puzzle shown before is not a step of it.
  ASSERT_TRUE(next.session.CanRedo());
  ASSERT_TRUE(next.session.Redo());
  EXPECT_EQ(History(next.P()), (std::vector<int>{1, 4, -2}));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(next.session.Undo());
  ASSERT_TRUE(next.session.Undo());
  EXPECT_TRUE(next.P().IsSolved()) << "the scramble is taken back";
  EXPECT_FALSE(next.P().IsScramblePending());
  EXPECT_FALSE(next.session.CanUndo());
  EXPECT_EQ(next.P().GetTypeId(), kCube3);
}

TEST(SessionLog, AResumedSolveGoesOnAndIsLoggedWithEveryTurnFromBothRuns) {
  CScratchFolder folder;
  const int seed = 31;
  {
    Game g(folder / "gyrix.db");
    g.Open(kCube2);
    g.session.Scramble(seed);
    const std::vector<int> scramble = ScrambleTurns(seed, g.P().GetMoveCount());
    g.now += 400;
    g.session.Turn(-scramble.back(), ETurnSource::Mouse);
    EXPECT_TRUE(g.recorder->Flush()) << "at exit";
  }
  Game next(folder / "gyrix.db");
  next.Open(kCube3);
  ASSERT_TRUE(next.recorder->Resume(kCube2, 0));
  ASSERT_TRUE(next.recorder->GetRecorder().IsUnderWay());
  next.SolveScramble(seed, 1);
  ASSERT_TRUE(next.P().IsSolved());
  const CSolveRecorder::CResult r = next.recorder->TakeResult();
  ASSERT_TRUE(r.recorded);
  CSolve s;
  ASSERT_TRUE(next.log.GetSolve(r.id, s));
  ASSERT_FALSE(s.moves.empty());
  EXPECT_EQ(s.moves.front().ms, 400u) << "the first run's turn";
  EXPECT_EQ(s.durationMs, s.moves.back().ms);
  EXPECT_GT(s.durationMs, 400);
}

TEST(SessionLog, EachPuzzleAndModeKeepsItsOwnGame) {
  CScratchFolder folder;
  Game g(folder / "gyrix.db");
  g.Open(kCube3);
  g.session.Turn(2, ETurnSource::Key);
  g.recorder->Tick();  // between turns, as the window's timer ticks
  const std::vector<int> cube3 = History(g.P());
  g.Open(kCube2);
  g.session.Scramble(4);
  g.session.Turn(3, ETurnSource::Key);
  g.recorder->Tick();
  const std::vector<int> cube2 = Colours(g.P());
  // Back to the first puzzle: its game, not a fresh one, and not written yet (the keeper has it).
  ASSERT_TRUE(g.recorder->Resume(kCube3, 0));
  EXPECT_EQ(History(g.P()), cube3);
  ASSERT_TRUE(g.recorder->Resume(kCube2, 0));
  EXPECT_EQ(Colours(g.P()), cube2);
  EXPECT_TRUE(g.session.IsSolving());
  // A mode of its own: nothing kept for it yet.
  EXPECT_FALSE(g.recorder->Resume(kCube2, 1));
  EXPECT_EQ(Colours(g.P()), cube2) << "a failed resume leaves the game alone";
  // A switch of mode is not part of the game kept for either mode.
  if (g.session.SetMode(1)) {
    g.session.Turn(1, ETurnSource::Key);
    g.recorder->Flush();
    ASSERT_TRUE(g.recorder->Resume(kCube2, 0));
    EXPECT_EQ(Colours(g.P()), cube2);
    // Undo here goes back through this game's own steps only (the scramble), never to mode 1.
    while (g.session.Undo()) EXPECT_EQ(g.P().GetMode(), 0);
  }
}

TEST(SessionLog, AKeptGameThatCannotBeReadIsRefusedAndTheSessionPlaysOn) {
  CScratchFolder folder;
  Game g(folder / "gyrix.db");
  g.Open(kCube3);
  g.session.Turn(1, ETurnSource::Key);
  ASSERT_TRUE(g.recorder->Flush());
  std::vector<std::uint8_t> kept, game, solve;
  ASSERT_TRUE(g.log.LoadGame(kCube3, 0, kept));
  ASSERT_TRUE(UnpackKeptGame(kept, game, solve));
  // Every cut of the session's bytes, and a byte changed in its counts, is refused whole.
  for (std::size_t cut : {std::size_t(0), std::size_t(3), game.size() / 2, game.size() - 1}) {
    std::vector<std::uint8_t> part(game.begin(), game.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(g.session.RestoreGame(part)) << cut;
  }
  std::vector<std::uint8_t> wrongType = game;
  wrongType[4] = 200;  // a type no catalogue has
  EXPECT_FALSE(g.session.RestoreGame(wrongType));
  ASSERT_TRUE(g.log.SaveGame(kCube2, 0, std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(g.recorder->Resume(kCube2, 0));
  EXPECT_EQ(g.P().GetTypeId(), kCube3);
  EXPECT_EQ(History(g.P()), (std::vector<int>{1}));
  std::vector<std::uint8_t> a, b;
  EXPECT_FALSE(UnpackKeptGame(std::vector<std::uint8_t>(kept.begin(), kept.end() - 1), a, b));
}

TEST(SessionLog, AScrambleUndoneAndRedoneIsAFreshSolveAndAResetOneIsNone) {
  CScratchFolder folder;
  Game g(folder / "gyrix.db");
  g.Open(kCube2);
  g.session.Scramble(12);
  ASSERT_TRUE(g.session.Undo());  // the scramble taken back
  EXPECT_FALSE(g.session.IsSolving());
  ASSERT_TRUE(g.session.Redo());
  ASSERT_TRUE(g.recorder->GetRecorder().IsUnderWay()) << "redone just as scrambled: a solve starts";
  g.SolveScramble(12);
  ASSERT_TRUE(g.P().IsSolved());
  EXPECT_TRUE(g.recorder->TakeResult().recorded);

  // A reset in the middle, undone: the game is back but its turns so far are not known.
  g.session.Scramble(13);
  g.session.Turn(1, ETurnSource::Key);
  g.session.Reset();
  ASSERT_TRUE(g.session.Undo());
  EXPECT_FALSE(g.recorder->GetRecorder().IsUnderWay());
  g.session.Undo();  // the turn
  g.SolveScramble(13);
  EXPECT_FALSE(g.recorder->TakeResult().recorded);
  EXPECT_EQ(g.log.CountSolves(), 1);
}

TEST(SessionLog, AGameKilledAtRandomKeepsEverySolveAndComesBackReadable) {
  CScratchFolder folder;
  const std::string path = folder / "gyrix.db";
  std::set<std::int64_t> committed;
  for (int round = 0; round < 30; ++round) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeEnds[0]);
      Game g(path);
      g.Open(kCube2);
      for (int seed = 1 + round * 1000;; ++seed) {
        g.session.Scramble(seed);
        const std::vector<int> scramble = ScrambleTurns(seed, g.P().GetMoveCount());
        for (auto it = scramble.rbegin(); it != scramble.rend() && !g.P().IsSolved(); ++it) {
          g.now += 120;
          g.session.Turn(-*it, ETurnSource::Key);
          g.recorder->Tick();
        }
        const CSolveRecorder::CResult r = g.recorder->TakeResult();
        if (r.recorded && write(pipeEnds[1], &r.id, sizeof r.id) != sizeof r.id) _exit(1);
      }
    }
    close(pipeEnds[1]);
    usleep(5000 + random() % 80000);
    kill(child, SIGKILL);
    std::int64_t id = 0;
    while (read(pipeEnds[0], &id, sizeof id) == sizeof id) committed.insert(id);
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);

    Game next(path);
    ASSERT_TRUE(next.log.IsPersistent()) << "round " << round << ": " << next.log.TakeMessage();
    ASSERT_EQ(next.log.IntegrityCheck(), "ok") << "round " << round;
    std::set<std::int64_t> present;
    for (const CSolve& s : next.log.ListSolves({})) present.insert(s.id);
    for (std::int64_t c : committed) ASSERT_TRUE(present.count(c)) << "round " << round << " lost solve " << c;
    // The game kept before the kill comes back whole.
    std::vector<std::uint8_t> kept;
    if (next.log.LoadGame(kCube2, 0, kept)) {
      next.Open(kCube3);
      EXPECT_TRUE(next.recorder->Resume(kCube2, 0)) << "round " << round;
    }
  }
  // Enough kills land after commits to mean something, even in a slow build.
  EXPECT_GE(committed.size(), 3u);
}
