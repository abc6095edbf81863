// The solver against a plain breadth-first search over the engine's own turns and solved
// tests, on positions a few turns from solved; the table cache; refusals.
#include <gyrix/solver/solver.h>

#include <gyrix/puzzles.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Kind {
  int type;
  int mode;
};
// Every type and mode the distance tables serve.
const Kind kOptimalKinds[] = {{0, 0}, {4, 0}, {6, 0}, {9, 2}, {16, 0}, {34, 1}, {34, 2}};

std::unique_ptr<CPuzzle> Make(const Kind& kind) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(kind.type));
  if (kind.mode > 0) {
    EXPECT_TRUE(p->SetMode(kind.mode));
  }
  return p;
}

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> c;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) c.push_back(p.GetFaceletColour(id));
  return c;
}

void SetColours(CPuzzle& p, const std::vector<int>& c) {
  for (int id = 0; id < static_cast<int>(c.size()); ++id) p.SetFaceletColour(id, c[id]);
  p.UpdateSolved();
}

// The fewest turns (any turn, whole-puzzle turns included) after which the puzzle's own solved
// test passes, searched level by level up to `limit`; -1 when farther.
int PlainDistance(CPuzzle& p, int limit) {
  std::set<std::vector<int>> seen;
  std::vector<std::vector<int>> level{Colours(p)};
  if (limit < 0) return -1;
  seen.insert(level[0]);
  for (int depth = 0; depth <= limit; ++depth) {
    std::vector<std::vector<int>> next;
    for (const auto& c : level) {
      SetColours(p, c);
      if (p.IsSolved()) return depth;
      for (int t = 1; t <= p.GetMoveCount(); ++t)
        for (int sign : {1, -1}) {
          std::vector<int> n = c;
          p.ApplyMove(n.data(), sign * t);
          if (seen.insert(n).second) next.push_back(n);
        }
    }
    level.swap(next);
  }
  return -1;
}

void Play(CPuzzle& p, const std::vector<int>& turns) {
  for (int t : turns) p.DoMove(t, 0);
  p.UpdateSolved();
}

struct SolverTest : ::testing::Test {
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("gyrix-solver-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    const char* old = std::getenv("XDG_CACHE_HOME");
    saved = old ? old : "";
    hadOld = old != nullptr;
    ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
    ForgetSolverTables();
  }
  void TearDown() override {
    if (hadOld)
      ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
    else
      ::unsetenv("XDG_CACHE_HOME");
    std::filesystem::remove_all(folder);
    ForgetSolverTables();
  }
  std::filesystem::path folder;
  std::string saved;
  bool hadOld = false;
};

TEST_F(SolverTest, ShortestSolutionsMatchAPlainSearchNearSolved) {
  // Small tables, so that the search beyond the table is what finds most answers.
  CSolveOptions options;
  options.maxTableStates = 300;
  options.useCache = false;
  for (const Kind& kind : kOptimalKinds) {
    SCOPED_TRACE("type " + std::to_string(kind.type) + " mode " + std::to_string(kind.mode));
    std::unique_ptr<CPuzzle> p = Make(kind);
    Randomize(kind.type * 10 + kind.mode);
    for (int trial = 0; trial < 6; ++trial) {
      p->Reset();
      const int turns = 1 + trial % 3;
      for (int i = 0; i < turns; ++i) p->DoMove(Random(1, p->GetMoveCount()) * (Random(0, 1) ? 1 : -1), 0);
      p->UpdateSolved();
      const std::vector<int> start = Colours(*p);
      const CSolveResult r = SolvePuzzle(*p, options);
      ASSERT_EQ(r.status, kSolveFound) << r.message;
      EXPECT_EQ(r.method, "optimal");
      EXPECT_EQ(r.distance, r.length);
      EXPECT_EQ(static_cast<int>(r.turns.size()), r.length);
      const int plain = PlainDistance(*p, 3);
      SetColours(*p, start);
      if (kind.type == 4) {
        // The tips are put right apart, after the rest: never shorter than the plain search.
        EXPECT_GE(r.length, plain);
      } else {
        EXPECT_EQ(r.length, plain);
      }
      Play(*p, r.turns);
      EXPECT_TRUE(p->IsSolved());
    }
  }
}

TEST_F(SolverTest, ScramblesAreSolvedAndSolvedNeedsNothing) {
  CSolveOptions options;
  options.maxTableStates = 20000;
  options.useCache = false;
  for (const Kind& kind : kOptimalKinds) {
    SCOPED_TRACE("type " + std::to_string(kind.type) + " mode " + std::to_string(kind.mode));
    std::unique_ptr<CPuzzle> p = Make(kind);
    CSolveResult r = SolvePuzzle(*p, options);
    ASSERT_EQ(r.status, kSolveFound);
    EXPECT_TRUE(r.turns.empty());
    EXPECT_EQ(r.distance, 0);
    // Scrambles of the small puzzles; the large ones get a short scramble (their search beyond a
    // small table would be long).
    const bool small = kind.type == 34 || kind.type == 9;
    Randomize(7 + kind.type);
    for (int i = 0; i < (small ? 40 : 6); ++i) p->DoMove(Random(1, p->GetMoveCount()), 0);
    p->UpdateSolved();
    r = SolvePuzzle(*p, options);
    ASSERT_EQ(r.status, kSolveFound) << r.message;
    Play(*p, r.turns);
    EXPECT_TRUE(p->IsSolved());
  }
}

TEST_F(SolverTest, WholeTableOfTheDiamondAgreesWithAPlainSearchEverywhere) {
  // The table holds every position; the plain search's farthest position is as far.
  std::unique_ptr<CPuzzle> p = Make({34, 1});
  std::set<std::vector<int>> seen{Colours(*p)};
  std::vector<std::vector<int>> all{Colours(*p)};
  for (size_t i = 0; i < all.size(); ++i)
    for (int t = 1; t <= p->GetMoveCount(); ++t) {
      std::vector<int> n = all[i];
      p->ApplyMove(n.data(), t);
      if (seen.insert(n).second) all.push_back(n);
    }
  CSolveOptions options;
  options.useCache = false;
  int largest = 0;
  for (size_t i = 0; i < all.size(); i += 37) {
    SetColours(*p, all[i]);
    const CSolveResult r = SolvePuzzle(*p, options);
    ASSERT_EQ(r.status, kSolveFound);
    EXPECT_EQ(r.length, PlainDistance(*p, 12));
    largest = std::max(largest, r.length);
  }
  const CTableReport report = GetLastTableReport();
  EXPECT_TRUE(report.whole);
  EXPECT_EQ(report.states, static_cast<long>(all.size()));
  EXPECT_GE(report.largestDistance, largest);
}

TEST_F(SolverTest, UnreachableColouringsAreRefused) {
  CSolveOptions options;
  options.useCache = false;
  // Thirds turns reach few arrangements of the diamond's faces: a swap of two faces that the
  // plain search never reaches is refused, and one it reaches is solved.
  std::unique_ptr<CPuzzle> diamond = Make({34, 2});
  const std::vector<int> solved = Colours(*diamond);
  int refused = 0, solvedSwaps = 0;
  for (int a = 0; a < 8; ++a)
    for (int b = a + 1; b < 8; ++b) {
      std::vector<int> c = solved;
      if (c[a] == c[b]) continue;
      std::swap(c[a], c[b]);
      SetColours(*diamond, c);
      const bool reachable = PlainDistance(*diamond, 8) >= 0;
      SetColours(*diamond, c);
      const CSolveResult r = SolvePuzzle(*diamond, options);
      EXPECT_EQ(r.status, reachable ? kSolveFound : kSolveUnsolvable) << a << " " << b;
      (reachable ? solvedSwaps : refused) += 1;
    }
  EXPECT_GT(refused, 0);
  std::vector<int> c;
  // A colour too many, and one out of the palette.
  std::unique_ptr<CPuzzle> cube = Make({0, 0});
  options.maxTableStates = 1000;
  c = Colours(*cube);
  c[0] = c[23];
  SetColours(*cube, c);
  CSolveResult r = SolvePuzzle(*cube, options);
  EXPECT_EQ(r.status, kSolveUnsolvable);
  EXPECT_FALSE(r.message.empty());
  c[0] = 300;
  SetColours(*cube, c);
  EXPECT_EQ(SolvePuzzle(*cube, options).status, kSolveUnsolvable);
}

TEST_F(SolverTest, TypesWithoutTurnsHaveNothingToSolveAndTheRestSayWhy) {
  std::unique_ptr<CPuzzle> tetra(CreatePuzzle(23));
  const CSolveResult none = SolvePuzzle(*tetra);
  EXPECT_EQ(none.status, kSolveNothing);
  EXPECT_FALSE(none.message.empty());
  // The SquareOne's turns depend on its shape: no method yet, and it says so.
  std::unique_ptr<CPuzzle> square = Make({14, 0});
  EXPECT_TRUE(GetSolveMethod(*square).empty());
  const CSolveResult unsupported = SolvePuzzle(*square);
  EXPECT_EQ(unsupported.status, kSolveUnsupported);
  EXPECT_FALSE(unsupported.message.empty());
}

TEST_F(SolverTest, TheLightsHintLowersTheClicksRemaining) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(13));
  auto* orbix = dynamic_cast<COrbixPuzzle*>(p.get());
  ASSERT_NE(orbix, nullptr);
  for (int mode = 1; mode <= 3; ++mode) {
    ASSERT_TRUE(p->SetMode(mode));
    Randomize(mode);
    p->Scramble();
    const int before = orbix->GetMovesRemaining();
    const CSolveResult r = SolvePuzzle(*p);
    if (before < 0) {
      EXPECT_EQ(r.status, kSolveUnsolvable);
      continue;
    }
    ASSERT_EQ(r.status, kSolveFound);
    EXPECT_EQ(r.length, before);
    for (int t : r.turns) {
      const int left = orbix->GetMovesRemaining();
      ASSERT_TRUE(p->StartMove(nullptr, t));
      p->CompleteAllMoves(nullptr);
      EXPECT_EQ(orbix->GetMovesRemaining(), left - 1);
    }
    EXPECT_EQ(orbix->GetMovesRemaining(), 0);
  }
}

TEST_F(SolverTest, ADamagedCacheIsRebuiltNeverTrusted) {
  CSolveOptions options;
  options.maxTableStates = 5000;
  std::unique_ptr<CPuzzle> p = Make({9, 2});
  Randomize(3);
  for (int i = 0; i < 5; ++i) p->DoMove(Random(1, p->GetMoveCount()), 0);
  p->UpdateSolved();
  const CSolveResult first = SolvePuzzle(*p, options);
  ASSERT_EQ(first.status, kSolveFound);
  CTableReport report = GetLastTableReport();
  EXPECT_TRUE(report.rebuilt);
  ASSERT_TRUE(std::filesystem::exists(report.cachePath));
  EXPECT_EQ(report.cachePath.rfind(folder.string() + "/gyrix/", 0), 0u);
  const std::string path = report.cachePath;

  ForgetSolverTables();
  EXPECT_EQ(SolvePuzzle(*p, options).turns, first.turns);
  EXPECT_TRUE(GetLastTableReport().loaded);

  // One distance changed in the middle of the file, then the file cut short, then garbage.
  const auto size = std::filesystem::file_size(path);
  for (int damage = 0; damage < 3; ++damage) {
    if (damage == 0) {
      std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
      f.seekp(static_cast<std::streamoff>(size - 20));
      f.put(static_cast<char>(0));
    } else if (damage == 1) {
      std::filesystem::resize_file(path, size / 2);
    } else {
      std::ofstream(path, std::ios::binary) << "not a table";
    }
    ForgetSolverTables();
    const CSolveResult again = SolvePuzzle(*p, options);
    report = GetLastTableReport();
    EXPECT_FALSE(report.loaded) << damage;
    EXPECT_TRUE(report.rebuilt) << damage;
    EXPECT_EQ(again.turns, first.turns);
    // The rebuilt table went back to the cache whole.
    EXPECT_EQ(std::filesystem::file_size(path), size);
  }
}

TEST_F(SolverTest, ABuildReportsItsProgressAndALoadedTableNone) {
  CSolveOptions options;
  options.maxTableStates = 20000;
  std::atomic<int> progress{-1};
  options.progress = &progress;
  std::unique_ptr<CPuzzle> p = Make({0, 0});
  Randomize(5);
  for (int i = 0; i < 6; ++i) p->DoMove(Random(1, p->GetMoveCount()), 0);
  ASSERT_EQ(SolvePuzzle(*p, options).status, kSolveFound);
  ASSERT_TRUE(GetLastTableReport().rebuilt);
  // The table stopped at its limit: the last report is near the end, never past it.
  EXPECT_GE(progress.load(), 50);
  EXPECT_LE(progress.load(), 100);

  ForgetSolverTables();
  progress = -1;
  ASSERT_EQ(SolvePuzzle(*p, options).status, kSolveFound);
  EXPECT_TRUE(GetLastTableReport().loaded);
  EXPECT_EQ(progress.load(), -1);
}

}  // namespace
