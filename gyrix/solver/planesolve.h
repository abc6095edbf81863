// Hint and Solve for the puzzles whose turns depend on their position: the plane-cut puzzles,
// solved from where their pieces are rather than from a permutation of colours (Pyramorphix,
// BiCube and Gem by their distance tables, the SquareOne by a search over its shapes and
// pieces), and the slider, by a search over its tiles.
#pragma once

#include <gyrix/solver/planecut.h>
#include <gyrix/solver/solver.h>

#include <string>

// Whether the type is one of these; its method ("optimal" or "search"), empty for another.
bool IsPositionalType(int typeId);
std::string GetPositionalMethod(int typeId);

// Solves the position a snapshot holds (TakePositionSnapshot); never reads a puzzle.
CSolveResult SolvePosition(const CPositionSnapshot& snapshot, const CSolveOptions& options = {});

// The last distance table of these types built or loaded.
CTableReport GetPositionalTableReport();
// Forgets the tables and models built or loaded so far (for tests that damage the cache).
void ForgetPositionalTables();
