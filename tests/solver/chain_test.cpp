// The stabiliser chain on the game's own puzzles: scrambles solved where identical colours hide
// which piece is which, shortening that never changes what a sequence of turns does, refusals,
// and the cache file.
#include <gyrix/solver/chain.h>
#include <gyrix/solver/solver.h>

#include <gyrix/puzzles.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Kind {
  int type;
  int mode;
};

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> c;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) c.push_back(p.GetFaceletColour(id));
  return c;
}

std::unique_ptr<CPuzzle> Make(const Kind& kind) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(kind.type));
  if (kind.mode > 0) {
    EXPECT_TRUE(p->SetMode(kind.mode));
  }
  return p;
}

CStabiliserChain::Shape ShapeOf(const CPuzzle& p) {
  CStabiliserChain::Shape shape;
  const int n = p.GetMoveMaskLength();
  shape.solved = Colours(p);
  for (int k = 0; k < p.GetMoveCount(); ++k) {
    std::vector<int> perm(n);
    for (int i = 0; i < n; ++i) perm[i] = p.GetMove(k)->GetEntry(i);
    shape.turns.push_back(perm);
  }
  return shape;
}

// What a sequence of turns does: where each facelet's mark ends up.
std::vector<int> EffectOf(const CPuzzle& p, const std::vector<int>& turns) {
  std::vector<int> marks(p.GetMoveMaskLength());
  for (size_t i = 0; i < marks.size(); ++i) marks[i] = static_cast<int>(i);
  for (int t : turns) p.ApplyMove(marks.data(), t);
  return marks;
}

class ChainKinds : public ::testing::TestWithParam<Kind> {};

TEST_P(ChainKinds, ScramblesAreSolved) {
  const Kind kind = GetParam();
  std::unique_ptr<CPuzzle> p = Make(kind);
  CStabiliserChain chain(ShapeOf(*p));
  ASSERT_TRUE(chain.Build(nullptr, nullptr, 0.0));
  const CStabiliserChain::Report report = chain.GetReport();
  EXPECT_GT(report.levels, 0);
  CStabiliserChain::Answer answer;
  ASSERT_EQ(chain.Solve(Colours(*p), 4, nullptr, answer), 1);
  EXPECT_TRUE(answer.turns.empty());
  for (int seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    p->Reset();
    Randomize(seed * 31 + kind.type);
    p->Scramble();
    ASSERT_EQ(chain.Solve(Colours(*p), 4, nullptr, answer), 1);
    EXPECT_EQ(answer.length, static_cast<int>(answer.turns.size()));
    for (int t : answer.turns) p->DoMove(t, 0);
    p->UpdateSolved();
    EXPECT_TRUE(p->IsSolved());
  }
}

INSTANTIATE_TEST_SUITE_P(EveryChainType, ChainKinds,
                         ::testing::Values(Kind{2, 0}, Kind{3, 0}, Kind{5, 0}, Kind{7, 0}, Kind{8, 0}, Kind{9, 1},
                                           Kind{10, 1}, Kind{10, 2}, Kind{11, 0}, Kind{12, 0}, Kind{19, 0}),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                           return "Type" + std::to_string(info.param.type) + "Mode" + std::to_string(info.param.mode);
                         });

struct ChainTest : ::testing::Test {
  void SetUp() override {
    cube4 = Make({2, 0});
    chain = std::make_unique<CStabiliserChain>(ShapeOf(*cube4));
    ASSERT_TRUE(chain->Build(nullptr, nullptr, 0.0));
    folder = std::filesystem::temp_directory_path() / ("gyrix-chain-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::unique_ptr<CPuzzle> cube4;
  std::unique_ptr<CStabiliserChain> chain;
  std::filesystem::path folder;
};

TEST_F(ChainTest, ShorteningNeverChangesWhatTurnsDo) {
  const int turns = cube4->GetMoveCount();
  Randomize(404);
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<int> sequence;
    const int length = Random(1, 60);
    for (int i = 0; i < length; ++i) {
      const int t = Random(1, turns) * (Random(0, 1) ? 1 : -1);
      sequence.push_back(t);
      // Now and then a turn taken straight back, or made four times, which shortening removes.
      if (Random(0, 5) == 0) sequence.push_back(-t);
      if (Random(0, 9) == 0) sequence.insert(sequence.end(), 3, t);
    }
    const std::vector<int> shorter = chain->Shorten(sequence);
    EXPECT_LE(shorter.size(), sequence.size());
    EXPECT_EQ(EffectOf(*cube4, shorter), EffectOf(*cube4, sequence));
  }
  EXPECT_TRUE(chain->Shorten({3, -3, 5, 5, 5, 5}).empty());
}

TEST_F(ChainTest, ColouringsNoArrangementReachesAreRefused) {
  Randomize(8);
  cube4->Scramble();
  const std::vector<int> start = Colours(*cube4);
  CStabiliserChain::Answer answer;
  ASSERT_EQ(chain->Solve(start, 0, nullptr, answer), 1);
  // Every facelet of one colour swapped with one of another, one pair at a time, until the
  // colouring is one no arrangement of identical stickers reaches.
  int refused = 0;
  for (size_t a = 0; a < start.size() && refused < 3; ++a)
    for (size_t b = a + 1; b < start.size() && refused < 3; ++b) {
      if (start[a] == start[b]) continue;
      std::vector<int> swapped = start;
      std::swap(swapped[a], swapped[b]);
      if (chain->Solve(swapped, 0, nullptr, answer) == 0) ++refused;
    }
  EXPECT_EQ(refused, 3);
  std::vector<int> recoloured = start;
  recoloured[0] = recoloured[0] == start[1] ? start[2] : start[1];
  if (recoloured[0] == start[0]) recoloured[0] = start[0] + 1;
  EXPECT_EQ(chain->Solve(recoloured, 0, nullptr, answer), 0);
  EXPECT_EQ(chain->Solve(std::vector<int>(start.begin() + 1, start.end()), 0, nullptr, answer), 0);
}

TEST_F(ChainTest, ACachedChainSolvesAlikeAndADamagedOneIsRefused) {
  const std::string path = (folder / "chain.bin").string();
  ASSERT_TRUE(chain->Save(path));
  CStabiliserChain loaded(ShapeOf(*cube4));
  ASSERT_TRUE(loaded.Load(path));
  Randomize(12);
  cube4->Scramble();
  CStabiliserChain::Answer built, read;
  ASSERT_EQ(chain->Solve(Colours(*cube4), 2, nullptr, built), 1);
  ASSERT_EQ(loaded.Solve(Colours(*cube4), 2, nullptr, read), 1);
  EXPECT_EQ(read.turns, built.turns);

  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto write = [&](const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  };
  std::string flipped = bytes;
  flipped[bytes.size() / 2] ^= 0x10;
  write(flipped);
  CStabiliserChain damaged(ShapeOf(*cube4));
  EXPECT_FALSE(damaged.Load(path));
  write(bytes.substr(0, bytes.size() - 9));
  EXPECT_FALSE(damaged.Load(path));
  // A chain of another puzzle is not this one's.
  std::unique_ptr<CPuzzle> cube5 = Make({3, 0});
  write(bytes);
  CStabiliserChain other(ShapeOf(*cube5));
  EXPECT_FALSE(other.Load(path));
  EXPECT_EQ(damaged.Solve(Colours(*cube4), 0, nullptr, read), -2);  // a chain never read solves nothing
}

TEST_F(ChainTest, TheGameSolvesEveryTypeWithTurns) {
  // Every type and mode that turns has a method, and a scramble of it is solved through the
  // solver the game uses; the SquareOne and the Slider, whose turns depend on the position, say
  // that they have none yet.
  const std::string cache = (folder / "cache").string();
  ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  ForgetSolverTables();
  for (int type = 0; type < kPuzzleTypeCount; ++type) {
    std::vector<int> modes;
    for (int mode = 1; mode <= 4; ++mode) {
      std::unique_ptr<CPuzzle> probe(CreatePuzzle(type));
      if (probe->SetMode(mode)) modes.push_back(mode);
    }
    if (modes.empty()) modes.push_back(0);
    for (int mode : modes) {
      SCOPED_TRACE("type " + std::to_string(type) + " mode " + std::to_string(mode));
      std::unique_ptr<CPuzzle> p = Make({type, mode});
      if (type == 13) continue;  // the lights puzzle is played by clicks: its own test
      if (p->GetMoveCount() == 0) {
        EXPECT_EQ(SolvePuzzle(*p).status, kSolveNothing);
        continue;
      }
      if (type == 14 || type == 29) {
        EXPECT_EQ(SolvePuzzle(*p).status, kSolveUnsupported);
        continue;
      }
      EXPECT_FALSE(GetSolveMethod(*p).empty());
      Randomize(type * 7 + mode);
      p->Scramble();
      const CSolveResult r = SolvePuzzle(*p);
      ASSERT_EQ(r.status, kSolveFound) << r.message;
      // Played as the game plays them: the plane-cut puzzles work out each turn as it starts.
      for (int t : r.turns) {
        ASSERT_TRUE(p->StartMove(nullptr, t)) << "turn " << t;
        p->CompleteAllMoves(nullptr);
      }
      p->UpdateSolved();
      EXPECT_TRUE(p->IsSolved());
    }
  }
  ForgetSolverTables();
  ::unsetenv("XDG_CACHE_HOME");
}

}  // namespace
