// The 3x3x3 cube by the two-phase method: phase 1 turns the cube into the group of U, D and
// half turns of the other faces (no corner twisted, no edge flipped, the four middle-slice edges
// in the middle slice), phase 2 solves it with those turns. The search goes on with longer
// phase 1 solutions while the time allows, keeping the shortest whole solution.
//
// The cube's pieces, face turns and their directions are worked out from the game's own 3x3x3
// (its turn permutations and solved colours); nothing about its facelet numbering is copied.
#pragma once

#include <gyrix/solver/solver.h>

#include <atomic>
#include <vector>

struct CTwoPhaseOptions {
  double seconds = 0.008;                     // search on for shorter solutions this long
  const std::atomic<bool>* cancel = nullptr;  // raised: stop, return kSolveCancelled
};

// colours: the 54 facelet colours of a 3x3x3 by facelet id. kSolveFound with turns (the game's
// turn numbers, a half turn as two quarter turns) and faceTurns (a half turn counted once);
// kSolveUnsolvable for colours no sequence of turns reaches; kSolveCancelled; kSolveUnsupported
// when the game's cube is not the shape this solver knows. Thread-safe: the tables are built
// once, by the first call.
int SolveCube3TwoPhase(const std::vector<int>& colours, const CTwoPhaseOptions& options, std::vector<int>& turns,
                       int& faceTurns);

// The tables' size and build time, building them if need be: for benchmarks.
struct CTwoPhaseTableReport {
  bool ok = false;
  double seconds = 0;
  long bytes = 0;
};
CTwoPhaseTableReport GetTwoPhaseTableReport();
