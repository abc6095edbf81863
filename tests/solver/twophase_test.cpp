// The 3x3x3's two-phase solver on the game's own cube: scrambles made with every kind of turn
// the game has (faces, middle slices, whole-cube turns) are solved, and colourings that no
// sequence of turns reaches are refused.
#include <gyrix/solver/solver.h>
#include <gyrix/solver/twophase.h>

#include <gyrix/puzzles.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace {

constexpr int kCube3 = 1;

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> c;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) c.push_back(p.GetFaceletColour(id));
  return c;
}

void Play(CPuzzle& p, const std::vector<int>& turns) {
  for (int t : turns) p.DoMove(t, 0);
  p.UpdateSolved();
}

// The cube's pieces as the test sees them: facelets moved by the same face turns (the turns that
// move 20 facelets; the middle slices move 12, the whole-cube turns all but 2).
std::vector<std::vector<int>> Pieces(const CPuzzle& p) {
  const int n = p.GetMoveMaskLength();
  std::vector<std::vector<bool>> movedBy(n);
  for (int t = 1; t <= p.GetMoveCount(); ++t) {
    std::vector<int> marks(n);
    for (int i = 0; i < n; ++i) marks[i] = i;
    p.ApplyMove(marks.data(), t);
    int moved = 0;
    for (int i = 0; i < n; ++i) moved += marks[i] != i;
    if (moved != 20) continue;
    for (int i = 0; i < n; ++i) movedBy[i].push_back(marks[i] != i);
  }
  std::map<std::vector<bool>, std::vector<int>> groups;
  for (int i = 0; i < n; ++i) groups[movedBy[i]].push_back(i);
  std::vector<std::vector<int>> pieces;
  for (auto& [moved, facelets] : groups) pieces.push_back(facelets);
  return pieces;
}

std::vector<std::vector<int>> PiecesOfSize(const CPuzzle& p, size_t size) {
  std::vector<std::vector<int>> out;
  for (auto& piece : Pieces(p))
    if (piece.size() == size) out.push_back(piece);
  return out;
}

void Scramble(CPuzzle& p, int seed, int turns) {
  Randomize(seed);
  for (int i = 0; i < turns; ++i) p.DoMove(Random(1, p.GetMoveCount()) * (Random(0, 1) ? 1 : -1), 0);
  p.UpdateSolved();
}

TEST(TwoPhaseTest, ScramblesWithEveryKindOfTurnAreSolved) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(kCube3));
  ASSERT_EQ(p->GetMoveCount(), 12);
  for (int seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    p->Reset();
    Scramble(*p, seed, 40);
    ASSERT_FALSE(p->IsSolved());
    std::vector<int> turns;
    int faceTurns = 0;
    ASSERT_EQ(SolveCube3TwoPhase(Colours(*p), CTwoPhaseOptions{}, turns, faceTurns), kSolveFound);
    // A phase 1 of at most 12 face turns and a phase 2 of at most 18; the search on for
    // shorter ones (which the benchmark measures) does far better.
    EXPECT_LE(faceTurns, 30);
    EXPECT_GE(static_cast<int>(turns.size()), faceTurns);
    EXPECT_LE(static_cast<int>(turns.size()), 2 * faceTurns);
    Play(*p, turns);
    EXPECT_TRUE(p->IsSolved());
  }
}

TEST(TwoPhaseTest, TheGameSolvesTheCubeThroughTheSolverAndSolvedNeedsNothing) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(kCube3));
  EXPECT_EQ(GetSolveMethod(*p), "two-phase");
  CSolveResult r = SolvePuzzle(*p);
  ASSERT_EQ(r.status, kSolveFound);
  EXPECT_TRUE(r.turns.empty());
  // Whole-cube and slice turns alone leave the centres away from home.
  for (int t : {10, 2, 11, -5, 12, 8}) p->DoMove(t, 0);
  p->UpdateSolved();
  r = SolvePuzzle(*p);
  ASSERT_EQ(r.status, kSolveFound) << r.message;
  EXPECT_EQ(r.method, "two-phase");
  EXPECT_EQ(r.distance, -1);
  EXPECT_EQ(r.length, static_cast<int>(r.turns.size()));
  Play(*p, r.turns);
  EXPECT_TRUE(p->IsSolved());
}

TEST(TwoPhaseTest, ColouringsNoTurnsReachAreRefused) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(kCube3));
  Scramble(*p, 99, 30);
  const std::vector<int> start = Colours(*p);
  const auto corners = PiecesOfSize(*p, 3);
  const auto edges = PiecesOfSize(*p, 2);
  ASSERT_EQ(corners.size(), 8u);
  ASSERT_EQ(edges.size(), 12u);
  auto refused = [&](const std::vector<int>& colours) {
    std::vector<int> turns;
    int faceTurns = 0;
    return SolveCube3TwoPhase(colours, CTwoPhaseOptions{}, turns, faceTurns) == kSolveUnsolvable;
  };
  ASSERT_FALSE(refused(start));

  std::vector<int> twisted = start;  // one corner turned in place
  const auto& c = corners[0];
  std::tie(twisted[c[0]], twisted[c[1]], twisted[c[2]]) = std::make_tuple(start[c[1]], start[c[2]], start[c[0]]);
  EXPECT_TRUE(refused(twisted));

  std::vector<int> mirrored = start;  // a corner's stickers swapped: no real corner looks so
  std::swap(mirrored[c[0]], mirrored[c[1]]);
  EXPECT_TRUE(refused(mirrored));

  std::vector<int> flipped = start;
  std::swap(flipped[edges[3][0]], flipped[edges[3][1]]);
  EXPECT_TRUE(refused(flipped));

  // Two edges exchanged whole: an odd permutation of edges with an even one of corners.
  std::vector<int> swapped = start;
  for (int k = 0; k < 2; ++k) {
    const std::vector<int> pair = {start[edges[0][k]], start[edges[1][k]]};
    swapped[edges[0][k]] = pair[1];
    swapped[edges[1][k]] = pair[0];
  }
  // The exchange must be of two different edges that fit the other's place in this orientation.
  ASSERT_NE(swapped, start);
  std::vector<int> swappedBack = swapped;
  std::swap(swappedBack[edges[1][0]], swappedBack[edges[1][1]]);
  EXPECT_TRUE(refused(swapped) || refused(swappedBack));
  EXPECT_TRUE(refused(swapped) && refused(swappedBack));

  std::vector<int> recoloured = start;  // one colour too many
  recoloured[corners[2][0]] = start[edges[5][0]] == recoloured[corners[2][0]] ? start[edges[5][1]] : start[edges[5][0]];
  EXPECT_TRUE(refused(recoloured));

  std::vector<int> tooShort(start.begin(), start.end() - 1);
  EXPECT_TRUE(refused(tooShort));
}

TEST(TwoPhaseTest, ARaisedCancelFlagStopsTheSearch) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(kCube3));
  Scramble(*p, 5, 40);
  std::atomic<bool> cancel(true);
  CTwoPhaseOptions options;
  options.cancel = &cancel;
  std::vector<int> turns;
  int faceTurns = 0;
  EXPECT_EQ(SolveCube3TwoPhase(Colours(*p), options, turns, faceTurns), kSolveCancelled);
  CSolveOptions solveOptions;
  solveOptions.cancel = &cancel;
  const CSolveResult r = SolvePuzzle(*p, solveOptions);
  EXPECT_EQ(r.status, kSolveCancelled);
  EXPECT_TRUE(r.turns.empty());
}

}  // namespace
