// The plane-cut puzzles' distance tables: the model against the puzzle's own turns, shortest
// solutions against a plain search over the puzzle itself, the cache, and refusals.
#include <gyrix/solver/planesolve.h>
#include <gyrix/solver/planetable.h>

#include <gyrix/puzzles.h>

#include <cordak/buffer.h>
#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int kTableTypes[] = {15, 17, 28};

std::unique_ptr<CPlaneCutPuzzle> Make(int type) {
  return std::unique_ptr<CPlaneCutPuzzle>(dynamic_cast<CPlaneCutPuzzle*>(CreatePuzzle(type)));
}

// Turns made from solved, each drawn among those the puzzle allows.
void Wander(CPlaneCutPuzzle& p, int turns) {
  for (int i = 0; i < turns; ++i) {
    std::vector<int> allowed;
    for (int t = 1; t <= p.GetMoveCount(); ++t)
      for (int turn : {t, -t})
        if (p.CanMove(turn)) allowed.push_back(turn);
    ASSERT_FALSE(allowed.empty());
    ASSERT_TRUE(p.MakeGuardedMove(allowed[Random(0, static_cast<int>(allowed.size()) - 1)]));
  }
  p.UpdateSolved();
}

// Whether some sequence of exactly `depth` turns the puzzle allows solves it, by its own
// solved test; each turn is taken back by its inverse, so the puzzle ends as it was.
bool SolvableIn(CPlaneCutPuzzle& p, int depth) {
  p.UpdateSolved();
  if (depth == 0) return p.IsSolved();
  for (int t = 1; t <= p.GetMoveCount(); ++t)
    for (int turn : {t, -t}) {
      if (!p.MakeGuardedMove(turn)) continue;
      const bool solved = SolvableIn(p, depth - 1);
      EXPECT_TRUE(p.MakeGuardedMove(-turn));
      if (solved) return true;
    }
  return false;
}

int PlainDistance(CPlaneCutPuzzle& p, int limit) {
  for (int d = 0; d <= limit; ++d)
    if (SolvableIn(p, d)) return d;
  return -1;
}

void Play(CPuzzle& p, const std::vector<int>& turns) {
  for (int t : turns) {
    ASSERT_TRUE(p.StartMove(nullptr, t)) << "turn " << t;
    p.CompleteAllMoves(nullptr);
  }
  p.UpdateSolved();
}

struct PlaneCutTest : ::testing::Test {
  // One cache folder for the whole run: each table is built once and loaded after that.
  static void SetUpTestSuite() {
    folder = std::filesystem::temp_directory_path() / ("gyrix-planecut-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
  }
  static void TearDownTestSuite() {
    std::filesystem::remove_all(folder);
    ForgetSolverTables();
  }
  static std::filesystem::path folder;
};
std::filesystem::path PlaneCutTest::folder;

TEST_F(PlaneCutTest, TheModelTurnsAsThePuzzleDoes) {
  for (int type : kTableTypes) {
    SCOPED_TRACE("type " + std::to_string(type));
    CPlaneCutModel model(type);
    ASSERT_TRUE(model.IsValid());
    std::unique_ptr<CPlaneCutPuzzle> p = Make(type);
    Randomize(type);
    CPlaneCutModel::State s = model.GetGoals()[0], t, real;
    for (int step = 0; step < 300; ++step) {
      std::vector<int> allowed;
      for (int m = 0; m < model.GetMoveCount(); ++m) {
        const int turn = CPlaneCutModel::TurnOf(m);
        const bool engine = p->CanMove(turn) && p->GetMoveFrames(turn) > 0;
        ASSERT_EQ(engine, model.IsAllowed(s, m)) << "turn " << turn << " at step " << step;
        if (engine) allowed.push_back(m);
      }
      const int m = allowed[Random(0, static_cast<int>(allowed.size()) - 1)];
      ASSERT_TRUE(p->MakeGuardedMove(CPlaneCutModel::TurnOf(m)));
      ASSERT_TRUE(model.Apply(s, m, t));
      s = t;
      ASSERT_TRUE(model.StateOf(TakePositionSnapshot(*p), real));
      ASSERT_EQ(real, s) << "step " << step;
      p->UpdateSolved();
      EXPECT_EQ(static_cast<bool>(p->IsSolved()), model.IsSolvedByThePuzzle(s)) << "step " << step;
      const CSolveResult r = SolvePuzzle(*p);
      ASSERT_EQ(r.status, kSolveFound);
      EXPECT_EQ(static_cast<bool>(p->IsSolved()), r.distance == 0) << "step " << step;
    }
  }
}

TEST_F(PlaneCutTest, DistancesMatchAPlainSearchNearSolved) {
  for (int type : kTableTypes) {
    SCOPED_TRACE("type " + std::to_string(type));
    std::unique_ptr<CPlaneCutPuzzle> p = Make(type);
    Randomize(100 + type);
    for (int trial = 0; trial < 5; ++trial) {
      p->Reset();
      Wander(*p, 1 + trial % 3);
      const CSolveResult r = SolvePuzzle(*p);
      ASSERT_EQ(r.status, kSolveFound) << r.message;
      EXPECT_EQ(r.method, "optimal");
      EXPECT_EQ(r.distance, r.length);
      EXPECT_EQ(r.distance, PlainDistance(*p, 3));
      Play(*p, r.turns);
      EXPECT_TRUE(p->IsSolved());
    }
  }
}

TEST_F(PlaneCutTest, SeededScramblesAreSolvedAlongShortestPaths) {
  for (int type : kTableTypes) {
    SCOPED_TRACE("type " + std::to_string(type));
    std::unique_ptr<CPlaneCutPuzzle> p = Make(type);
    for (int seed = 1; seed <= 4; ++seed) {
      Randomize(seed);
      p->Scramble();
      const CSolveResult r = SolvePuzzle(*p);
      ASSERT_EQ(r.status, kSolveFound) << r.message;
      EXPECT_EQ(r.distance, r.length);
      // A hint's turn leaves the puzzle exactly one turn nearer.
      if (!r.turns.empty()) {
        Play(*p, {r.turns[0]});
        const CSolveResult after = SolvePuzzle(*p);
        ASSERT_EQ(after.status, kSolveFound);
        EXPECT_EQ(after.distance, r.distance - 1);
        Play(*p, after.turns);
      }
      EXPECT_TRUE(p->IsSolved());
    }
  }
}

TEST_F(PlaneCutTest, AGameSavedAndLoadedIsSolvedAlike) {
  std::unique_ptr<CPlaneCutPuzzle> p = Make(17);
  Randomize(7);
  p->Scramble();
  CUBuffer file(8192);
  p->Write(file);
  file.SeekToBegin();
  std::unique_ptr<CPlaneCutPuzzle> loaded = Make(17);
  ASSERT_TRUE(loaded->LoadFromBuffer(file));
  const CSolveResult a = SolvePuzzle(*p), b = SolvePuzzle(*loaded);
  ASSERT_EQ(b.status, kSolveFound);
  EXPECT_EQ(a.turns, b.turns);
  Play(*loaded, b.turns);
  EXPECT_TRUE(loaded->IsSolved());
}

TEST_F(PlaneCutTest, PositionsNoTurnsReachAreRefusedAndLeftAlone) {
  // Two colours of one tip swapped: a mirror image of the piece.
  std::unique_ptr<CPlaneCutPuzzle> pyramorphix = Make(15);
  Randomize(3);
  Wander(*pyramorphix, 5);
  const int a = pyramorphix->GetFaceletColour(0), b = pyramorphix->GetFaceletColour(1);
  ASSERT_NE(a, b);
  pyramorphix->SetFaceletColour(0, b);
  pyramorphix->SetFaceletColour(1, a);
  const CPositionSnapshot before = TakePositionSnapshot(*pyramorphix);
  CSolveResult r = SolvePuzzle(*pyramorphix);
  EXPECT_EQ(r.status, kSolveUnsolvable);
  EXPECT_EQ(r.message, "No sequence of turns can solve this position.");
  const CPositionSnapshot after = TakePositionSnapshot(*pyramorphix);
  EXPECT_EQ(after.colours, before.colours);

  // A colour the puzzle does not have, and a facelet moved where no facelet can lie.
  std::unique_ptr<CPlaneCutPuzzle> gem = Make(28);
  gem->SetFaceletColour(2, 5);
  EXPECT_EQ(SolvePuzzle(*gem).status, kSolveUnsolvable);
  std::unique_ptr<CPlaneCutPuzzle> bicube = Make(17);
  CFacelet* f = bicube->GetFacelet(0);
  CFixVector* corner = bicube->GetVertex(f->GetVertexIndex(0), kModelVertices);
  corner->x += 3 * kFixOne / 4;
  EXPECT_EQ(SolvePuzzle(*bicube).status, kSolveUnsolvable);
  // Two facelets of one colour on one place.
  std::unique_ptr<CPlaneCutPuzzle> twice = Make(17);
  CFacelet* g = twice->GetFacelet(1);
  CFacelet* h = twice->GetFacelet(2);
  ASSERT_EQ(g->GetVertexCount(), h->GetVertexCount());
  for (int v = 0; v < g->GetVertexCount(); ++v)
    *twice->GetVertex(h->GetVertexIndex(v), kModelVertices) = *twice->GetVertex(g->GetVertexIndex(v), kModelVertices);
  EXPECT_EQ(SolvePuzzle(*twice).status, kSolveUnsolvable);
}

TEST_F(PlaneCutTest, ADamagedCacheIsRebuilt) {
  std::unique_ptr<CPlaneCutPuzzle> p = Make(28);
  ForgetSolverTables();
  ASSERT_EQ(SolvePuzzle(*p).status, kSolveFound);
  const std::string path = GetPositionalTableReport().cachePath;
  ASSERT_TRUE(std::filesystem::exists(path));
  const auto size = std::filesystem::file_size(path);
  for (int damage = 0; damage < 3; ++damage) {
    if (damage == 0) {
      std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
      f.seekp(static_cast<std::streamoff>(size / 2));
      f.put('\x5A');
    } else if (damage == 1) {
      std::filesystem::resize_file(path, size - 9);
    } else {
      std::filesystem::remove(path);
    }
    ForgetSolverTables();
    Randomize(11 + damage);
    p->Scramble();
    const CSolveResult r = SolvePuzzle(*p);
    const CTableReport report = GetPositionalTableReport();
    EXPECT_TRUE(report.rebuilt) << "damage " << damage;
    EXPECT_FALSE(report.loaded);
    ASSERT_EQ(r.status, kSolveFound);
    Play(*p, r.turns);
    EXPECT_TRUE(p->IsSolved());
    EXPECT_EQ(std::filesystem::file_size(path), size);
  }
  ForgetSolverTables();
  ASSERT_EQ(SolvePuzzle(*p).status, kSolveFound);
  EXPECT_TRUE(GetPositionalTableReport().loaded);
}

TEST(PerfectIndex, NumbersEveryKeyOnceAndSurvivesAFile) {
  std::vector<std::uint64_t> keys;
  for (std::uint64_t i = 1; i <= 50000; ++i) keys.push_back(i * 0x9E3779B97F4A7C15ull);
  CPerfectIndex index;
  index.Build(keys);
  std::vector<std::uint8_t> file;
  index.Write(file);
  CPerfectIndex read;
  size_t at = 0;
  ASSERT_TRUE(read.Read(file, at));
  std::vector<bool> taken(keys.size(), false);
  for (std::uint64_t key : keys) {
    const std::int64_t i = read.Find(key);
    ASSERT_GE(i, 0);
    ASSERT_LT(i, static_cast<std::int64_t>(keys.size()));
    EXPECT_FALSE(taken[i]);
    taken[i] = true;
  }
  file.resize(file.size() - 8);
  at = 0;
  EXPECT_FALSE(CPerfectIndex().Read(file, at));
}

}  // namespace
