// gyrix-tool play: a game from a script, without a window.
#include "tools_test_util.h"

#include <gyrix/puzzles.h>
#include <gyrix/stats/solvelog.h>

#include <cordak/urand.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

struct PlayTool : ScratchFolder {
  std::string Script(const std::string& text) {
    const std::string path = Path("game.txt");
    std::ofstream(path) << text;
    return path;
  }
};

}  // namespace

TEST_F(PlayTool, PrintsEachEventWithItsTimeThenTheSummaryAndSavesTheGame) {
  const std::string script = Script("# a short game\nturn 1\nwait 250\nturn 2\nundo\nredo\nwait 50\nturn -2\n");
  const ToolRun run = RunTool("play 1 --scramble 12 --script " + script + " --save " + Path("out.puz"));
  ASSERT_EQ(run.status, 0) << run.output;
  for (const char* line : {"0 scrambled seed 12\n", "0 turn 1 script\n", "250 turn 2 script\n",
                           "250 undone 2 script\n", "250 redone 2 script\n", "300 turn -2 script\n"})
    EXPECT_NE(run.output.find(line), std::string::npos) << line << " in\n" << run.output;
  EXPECT_NE(run.output.find("history     1 turns made, 0 queued: 1\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("scrambled   1\n"), std::string::npos);
  // The saved game is the game the summary describes.
  const ToolRun info = RunTool("info " + Path("out.puz"));
  ASSERT_EQ(info.status, 0);
  EXPECT_NE(info.output.find("history     1 turns made, 0 queued: 1\n"), std::string::npos) << info.output;
}

TEST_F(PlayTool, UndoTakesBackAScrambleAndARefusedLineIsReported) {
  const ToolRun run = RunTool("play 0 --script " + Script("scramble 5\nundo\nredo\nundo\ndrag 0 0\nmode 3\n"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("undone-command scramble"), std::string::npos);
  EXPECT_NE(run.output.find("redone-command scramble"), std::string::npos);
  EXPECT_NE(run.output.find("refused line 5: drag 0 0"), std::string::npos);
  EXPECT_NE(run.output.find("refused line 6: mode 3"), std::string::npos);
  EXPECT_NE(run.output.find("solved      1\n"), std::string::npos) << "the scramble was undone";
}

TEST_F(PlayTool, ABadScriptIsRefusedWithItsLineAndNothingIsSaved) {
  for (const char* text : {"turn 1\nspin 3\n", "turn x\n", "drag 1\n", "wait -5\n", "undo now\n", "load\n"}) {
    const ToolRun run = RunTool("play 1 --script " + Script(text) + " --save " + Path("never.puz"));
    EXPECT_EQ(run.status, 2) << text;
    EXPECT_NE(run.output.find("line "), std::string::npos) << run.output;
    EXPECT_TRUE(ReadAll(Path("never.puz")).empty()) << text;
  }
  EXPECT_EQ(RunTool("play 1").status, 2);
  EXPECT_NE(RunTool("play 1 --script " + Path("missing.txt")).status, 0);
}

TEST_F(PlayTool, AScriptCanLoadAGameAndPlayTypedMoves) {
  ASSERT_EQ(RunTool("save 1 " + Path("start.puz") + " --scramble 3").status, 0);
  const ToolRun run = RunTool("play 0 --script " + Script("load " + Path("start.puz") + "\nmacro RU\nundo\n"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("puzzle 1 Cube(3x3x3)"), std::string::npos);
  EXPECT_NE(run.output.find(" undone "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("history     1 turns made"), std::string::npos) << run.output;
}

namespace {

// A script that turns back the scramble of this seed on the 2x2x2, waiting stepMs before each
// turn.
std::string SolvingScript(int seed, int stepMs) {
  std::unique_ptr<CPuzzle> cube(CreatePuzzle(0));
  const int n = cube->GetMoveCount();
  CURand rand(seed);
  std::vector<int> turns;
  for (int i = 0; i < 4 * n; ++i) turns.push_back(rand.Random(1, n));
  std::ostringstream script;
  script << "scramble " << seed << "\n";
  for (auto it = turns.rbegin(); it != turns.rend(); ++it) script << "wait " << stepMs << "\nturn " << -*it << "\n";
  return script.str();
}

}  // namespace

TEST_F(PlayTool, WithALogEachSolveIsLoggedAsTheGameLogsItAndTheGameIsKept) {
  const std::string db = Path("gyrix.db");
  ToolRun run = RunTool("play 0 --db " + db + " --script " + Script(SolvingScript(7, 100)));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("solved "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("logged solve 1\n"), std::string::npos) << run.output;
  // Faster: a new best single, and the statistics the tool prints count both.
  run = RunTool("play 0 --db " + db + " --script " + Script(SolvingScript(8, 10)));
  EXPECT_NE(run.output.find("logged solve 2, new best single\n"), std::string::npos) << run.output;
  const ToolRun stats = RunTool("stats --db " + db + " 0");
  EXPECT_NE(stats.output.find("count 2\n"), std::string::npos) << stats.output;

  CSolveLog log;
  ASSERT_EQ(log.Open(db), CSolveLog::kOpened);
  CSolve second;
  ASSERT_TRUE(log.GetSolve(2, second));
  EXPECT_EQ(second.durationMs, 10 * static_cast<std::int64_t>(second.moves.size()));
  EXPECT_FALSE(second.assisted);
  EXPECT_FALSE(second.position.empty());
  std::vector<std::uint8_t> kept;
  EXPECT_TRUE(log.LoadGame(0, 0, kept)) << "the game in progress is kept at the end";
  log.Close();

  // Without a scramble nothing is logged; a log that cannot be read is said so, and play goes on.
  run = RunTool("play 0 --db " + db + " --script " + Script("turn 1\nturn -1\n"));
  EXPECT_EQ(run.output.find("logged"), std::string::npos) << run.output;
  WriteAll(Path("bad.db"), Bytes(4096, 'x'));
  run = RunTool("play 0 --db " + Path("bad.db") + " --script " + Script(SolvingScript(7, 100)));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("logged solve 1\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("damaged"), std::string::npos) << run.output;
}
