// Hint and Solve. The solver reads a puzzle's colours and turns and finds a sequence of turns
// that solves it; it never changes the puzzle it is given. It runs without a window, so the
// game can call it on a worker thread and play the answer as queued turns.
//
// Methods by type:
//   optimal  distance tables built by breadth-first search from the solved position (cached
//            on disk), then a table walk or an iterative-deepening search guided by the table:
//            every solution is a shortest one and its length is the exact distance.
//   lights   the lights puzzle's own tables of clicks remaining.
//   stabiliser-chain  every other puzzle whose turns permute its facelets: places fixed one
//            after the other by short words of turns, then shortened (chain.h).
//   two-phase  the 3x3x3: into the group of U, D and half turns, then home within it, searching
//            on for shorter solutions for a few milliseconds (twophase.h).
#pragma once

#include <gyrix/engine/puzzle.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

enum SolveStatus {
  kSolveFound = 1,         // turns holds a solution (empty when already solved)
  kSolveUnsolvable = 0,    // no sequence of turns reaches solved from these colours
  kSolveNothing = -1,      // the type has no turns
  kSolveUnsupported = -2,  // the solver has no method for this type (or mode) yet
  kSolveCancelled = -3,    // the cancel flag was raised
};

struct CSolveResult {
  int status = kSolveUnsupported;
  std::vector<int> turns;  // turn numbers as StartMove takes them
  int length = 0;          // turns that count: whole-puzzle turns are free
  int distance = -1;       // the exact distance to solved where known, else -1
  std::string method;      // "optimal", "lights", "two-phase", "stabiliser-chain"
  std::string message;     // for the player when status is not kSolveFound
};

struct CSolveOptions {
  const std::atomic<bool>* cancel = nullptr;
  // Largest number of positions a distance table may hold; 0 for the solver's default. A table
  // that stops short of the whole puzzle still gives shortest solutions, by searching further.
  long maxTableStates = 0;
  // Read and write the table cache under CacheFolder().
  bool useCache = true;
  // Set by the solver while it builds a one-time table: how far it has come, 0..100; left
  // alone otherwise. For the title of a game that waits.
  std::atomic<int>* progress = nullptr;
};

// The method the solver uses for the puzzle's type and mode; empty when it has none.
std::string GetSolveMethod(const CPuzzle& puzzle);

// Finds a solution of the puzzle's current colours. Thread-safe: tables are built once and
// shared; the puzzle is only read.
CSolveResult SolvePuzzle(const CPuzzle& puzzle, const CSolveOptions& options = {});

// The same for colours by facelet id of a puzzle of the type and mode: for a worker thread,
// which must not read a puzzle the game goes on turning. Not for the lights puzzle.
CSolveResult SolveColours(int typeId, int mode, const std::vector<int>& colours, const CSolveOptions& options = {});

// $XDG_CACHE_HOME/gyrix/ (default ~/.cache/gyrix/), ending in '/'; empty when neither is set.
std::string CacheFolder();

// Forgets the tables built or loaded so far (for tests that damage the cache).
void ForgetSolverTables();

// What the last table build or load did, for tests and benchmarks.
struct CTableReport {
  int typeId = -1;
  int mode = 0;
  bool loaded = false;   // read from the cache
  bool rebuilt = false;  // built (the cache was missing, damaged or not used)
  long states = 0;
  int completeDepth = 0;  // every position this many turns from solved (or fewer) is in it
  bool whole = false;     // the table holds every reachable position
  int largestDistance = 0;
  double seconds = 0;
  long bytes = 0;
  std::string cachePath;
};
CTableReport GetLastTableReport();
