// The octahedra: their turn tables against their rotations, the mode switch, drags, the
// solved tests and files saved in mode 2.
#include "puzzle_test_util.h"

#include <gyrix/puzzles/octahedron.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The place of the first cycle of the table that holds both facelets, -1 for none.
int FirstCycleHolding(const CTurnCycleTable& cycles, int a, int b) {
  for (size_t i = 0; i < cycles.size(); ++i) {
    const std::vector<int>& c = cycles[i].facelets;
    if (std::count(c.begin(), c.end(), a) && std::count(c.begin(), c.end(), b)) return static_cast<int>(i);
  }
  return -1;
}

std::vector<int> Permutation(const CPuzzle& p, int move) {
  const CMove* m = p.GetMove(move - 1);
  return std::vector<int>(m->GetPermutation(), m->GetPermutation() + m->GetLength());
}

// Every turn of both modes, tables given and tables made alike, is the rotation it animates
// applied to the part it turns; the Diamond's face turns carry all of it.
TEST(Octahedron, EveryTableIsItsRotation) {
  for (int size : {1, 2, 3})
    for (int mode : {1, 2}) {
      COctahedronPuzzle p(size);
      ASSERT_TRUE(p.SetMode(mode));
      ASSERT_EQ(p.GetMoveCount(), p.GetTurnCount(mode));
      for (int t = 1; t <= p.GetMoveCount(); ++t) {
        const CRotationTurn r = TurnFromRotation(p, t, p.GetTurnPart(t));
        ASSERT_TRUE(r.valid) << "size " << size << " mode " << mode << " turn " << t << ": " << r.error;
        EXPECT_EQ(r.permutation, Permutation(p, t)) << "size " << size << " mode " << mode << " turn " << t;
        int moved = 0;
        for (int id = 0; id < p.GetFaceletCount(); ++id) moved += (p.GetMoveMask(id) >> CPuzzle::MaskBit(t - 1)) & 1;
        if (size == 1 && mode == 2) {
          EXPECT_EQ(moved, 8) << "turn " << t;
        }
      }
      // A cut face for every turn that cuts: none for the Diamond's turns of the whole.
      EXPECT_EQ(p.GetInnerFaceletCount(), size == 1 && mode == 2 ? 0 : p.GetMoveCount());
    }
}

TEST(Octahedron, ModeSwitchGivesASolvedPuzzleOfTheOtherTurns) {
  for (int size : {1, 2, 3}) {
    COctahedronPuzzle p(size);
    EXPECT_EQ(p.GetMode(), 1);
    EXPECT_EQ(p.GetMoveCount(), 6 * size);
    Randomize(3);
    p.Scramble();
    p.RecordMove(1, 0);
    ASSERT_FALSE(p.IsSolved());

    // Refused modes change nothing.
    const std::vector<unsigned char> before = StoredForm(p);
    EXPECT_FALSE(p.SetMode(3));
    EXPECT_FALSE(p.SetMode(0));
    EXPECT_EQ(StoredForm(p), before);
    EXPECT_TRUE(p.IsClockRunning());

    ASSERT_TRUE(p.SetMode(2));
    EXPECT_EQ(p.GetMoveCount(), size == 1 ? 4 : 8);
    EXPECT_EQ(p.GetMoveFrames(1), 6);
    EXPECT_EQ(p.GetMoveStep(1), 20);
    EXPECT_TRUE(p.IsSolved());
    EXPECT_FALSE(p.IsClockRunning());
    EXPECT_FALSE(p.IsScramblePending());
    EXPECT_EQ(p.GetHistorySize(), 0);
    p.UpdateSolved();
    EXPECT_TRUE(p.IsSolved());
    p.SetTitle(nullptr);
    EXPECT_NE(std::strstr(p.GetTitle(), "(Mode 2)"), nullptr);

    ASSERT_TRUE(p.SetMode(1));
    EXPECT_EQ(p.GetMoveCount(), 6 * size);
    EXPECT_EQ(p.GetMoveFrames(1), 5);
    EXPECT_EQ(p.GetMoveStep(1), 18);
  }
}

TEST(Octahedron, NoModeSwitchWhileTurnsPlay) {
  COctahedronPuzzle p(2);
  const int moves[] = {1, 2};
  p.QueueMoves(moves, 2);
  ASSERT_TRUE(p.IsBusy());
  EXPECT_FALSE(p.SetMode(2));
  EXPECT_EQ(p.GetMode(), 1);
  EXPECT_EQ(p.GetMoveCount(), 12);
}

// The drag rule: one step along a cycle either way, the last to the first forwards; a cycle of
// a mode-1 group makes the smallest turn of the group that moves it.
TEST(Octahedron, DragsFollowTheCycles) {
  for (int size : {1, 2, 3})
    for (int mode : {1, 2}) {
      COctahedronPuzzle p(size);
      ASSERT_TRUE(p.SetMode(mode));
      const CTurnCycleTable& cycles = p.GetDragCycles();
      ASSERT_FALSE(cycles.empty());
      for (size_t i = 0; i < cycles.size(); ++i) {
        const CTurnCycle& cycle = cycles[i];
        const std::vector<int>& c = cycle.facelets;
        // Only the first cycle that holds both facelets decides.
        if (FirstCycleHolding(cycles, c.back(), c.front()) == static_cast<int>(i)) {
          EXPECT_EQ(p.MoveFromDrag(c.back(), c.front()), cycle.turn);
          EXPECT_EQ(p.MoveFromDrag(c.front(), c.back()), -cycle.turn);
        }
        if (FirstCycleHolding(cycles, c[0], c[1]) == static_cast<int>(i)) {
          EXPECT_EQ(p.MoveFromDrag(c[0], c[1]), cycle.turn);
          EXPECT_EQ(p.MoveFromDrag(c[1], c[0]), -cycle.turn);
        }
        // The turn moves the cycle along itself.
        const std::vector<int> perm = Permutation(p, cycle.turn);
        for (size_t i = 0; i < c.size(); ++i) EXPECT_EQ(perm[c[i]], c[(i + 1) % c.size()]);
      }
    }
  COctahedronPuzzle p(3);
  const CTurnCycleTable& cycles = p.GetDragCycles();
  ASSERT_EQ(cycles.size(), 54u);
  EXPECT_EQ(cycles[0].turn, 1);  // the tip
  EXPECT_EQ(cycles[3].turn, 2);  // the second layer
  EXPECT_EQ(cycles[4].turn, 3);  // the third
  EXPECT_EQ(cycles[9].turn, 4);  // the next group's tip
}

// Mode-1 half turns carry whole faces and keep a solved octahedron solved; every other turn
// breaks it, every face turn included.
TEST(Octahedron, SolvedTest) {
  for (int size : {2, 3})
    for (int mode : {1, 2}) {
      COctahedronPuzzle p(size);
      ASSERT_TRUE(p.SetMode(mode));
      for (int t = 1; t <= p.GetMoveCount(); ++t) {
        p.Reset();
        p.DoMove(t, 1);
        const bool half = mode == 1 && t % size == 0;
        EXPECT_EQ(p.IsSolved(), half) << "size " << size << " mode " << mode << " turn " << t;
      }
    }
  // The Diamond's faces are single facelets: solved only with each face's own colour.
  COctahedronPuzzle d(1);
  const int solved[8] = {4, 4, 1, 1, 8, 8, 2, 2};
  for (int id = 0; id < 8; ++id) EXPECT_EQ(d.GetFaceletColour(id), solved[id]);
  for (int mode : {1, 2}) {
    ASSERT_TRUE(d.SetMode(mode));
    for (int t = 1; t <= d.GetMoveCount(); ++t) {
      d.Reset();
      d.DoMove(t, 1);
      EXPECT_FALSE(d.IsSolved()) << "mode " << mode << " turn " << t;
      d.DoMove(-t, 1);
      EXPECT_TRUE(d.IsSolved());
    }
  }
}

// A game saved in mode 2 loads into a new puzzle (in mode 1) with mode 2's turns, and its
// history undoes there.
TEST(Octahedron, FileSavedInModeTwoLoadsAndUndoes) {
  COctahedronPuzzle saved(3);
  ASSERT_TRUE(saved.SetMode(2));
  for (int m : {3, -5, 8}) {
    saved.DoMove(m, 1);
    saved.RecordMove(m, 0);
  }
  CUBuffer file;
  saved.Write(file);

  COctahedronPuzzle loaded(3);
  file.SeekToBegin();
  ASSERT_EQ(loaded.LoadFromBuffer(file), 1);
  EXPECT_EQ(loaded.GetMode(), 2);
  EXPECT_EQ(loaded.GetMoveCount(), 8);
  EXPECT_EQ(ColoursById(loaded), ColoursById(saved));
  EXPECT_EQ(loaded.MoveFromDrag(saved.GetDragCycles()[0].facelets[0], saved.GetDragCycles()[0].facelets[1]), 1);
  while (loaded.GetHistoryPosition() > 0) ASSERT_TRUE(loaded.UndoMove(nullptr));
  loaded.UpdateSolved();
  EXPECT_TRUE(loaded.IsSolved());
  COctahedronPuzzle fresh(3);
  EXPECT_EQ(ColoursById(loaded), ColoursById(fresh));

  // A file whose turns are not its mode's is refused: the mode byte patched to 1, or to 5.
  const std::vector<unsigned char> kept = StoredForm(fresh);
  for (int mode : {1, 5}) {
    CUBuffer patched;
    saved.Write(patched);
    std::memcpy(patched.GetData() + patched.GetSize() - 8, &mode, 4);
    patched.SeekToBegin();
    EXPECT_EQ(fresh.LoadFromBuffer(patched), 0) << "mode " << mode;
    EXPECT_EQ(StoredForm(fresh), kept);
  }
}

}  // namespace
