#include "expectations.h"

namespace {

using Kind = CSurfaceKind;

// One mode whose turns all animate alike.
CModeExpectation Uniform(int mode, int turns, int frames, int step) {
  return {mode, turns, {{1, turns < 0 ? 1 << 20 : turns, frames, step}}};
}

const std::vector<CTypeExpectation>& Rows() {
  static const std::vector<CTypeExpectation> rows = {
      {0, {Uniform(0, 9, 6, 15)}},
      {1, {Uniform(0, 12, 6, 15)}},
      {2, {Uniform(0, 15, 6, 15)}},
      {3, {Uniform(0, 18, 6, 15)}},
      {4, {Uniform(0, 12, 6, 20)}},
      // Half turns swap whole sectors, which leaves a solved sphere solved.
      {5, {{0, 12, {{1, 4, 3, 15}, {5, 12, 6, 30}}}}, Kind::kClosed, false, false, {5, 6, 7, 8, 9, 10, 11, 12}},
      {6, {Uniform(0, 4, 6, 20)}},
      {7, {Uniform(0, 12, 4, 18)}},
      {8, {Uniform(0, 24, 4, 18)}},
      // A mode-1 half turn carries whole faces, which leaves a solved octahedron solved (the
      // row cannot say "mode 1 only"; the family's tests hold every face turn to unsolving it).
      {9, {Uniform(1, 12, 5, 18), Uniform(2, 8, 6, 20)}, Kind::kClosed, false, false, {2, 4, 6, 8, 10, 12}},
      {10, {Uniform(1, 18, 5, 18), Uniform(2, 8, 6, 20)}, Kind::kClosed, false, false, {3, 6, 9, 12, 15, 18}},
      {11, {Uniform(0, 12, 4, 18)}},
      {12, {Uniform(0, 12, 4, 18)}},
      // Clicks change lights at once; the move list is empty.
      {13, {Uniform(1, 0, 0, 0), Uniform(2, 0, 0, 0), Uniform(3, 0, 0, 0), Uniform(4, 0, 0, 0)}, Kind::kOpen, true,
       true},
      {14, {{0, 4, {{1, 1, 9, 20}, {2, 2, -1, 15}, {3, 3, 9, 20}, {4, 4, -1, 15}}}}},
      {15, {Uniform(0, 6, 6, 15)}},
      {16, {Uniform(0, 8, 6, 20)}},
      {17, {Uniform(0, 6, 6, 15)}},
      {18, {Uniform(0, 0, 0, 0)}},
      {19, {Uniform(0, -1, 6, 15)}},
      {20, {Uniform(0, 0, 0, 0)}},
      {21, {Uniform(0, 0, 0, 0)}},
      {22, {Uniform(0, 0, 0, 0)}},
      {23, {Uniform(0, 0, 0, 0)}},
      {24, {Uniform(0, 0, 0, 0)}},
      {25, {Uniform(0, 0, 0, 0)}},
      {26, {Uniform(0, 0, 0, 0)}},
      {27, {Uniform(0, 0, 0, 0)}},
      {28, {Uniform(0, 8, 6, 10)}},
      // Ring turns of more than one tile and slides are turn numbers beyond the four bands.
      {29, {Uniform(1, 4, 4, 11), Uniform(2, 4, 4, 11)}, Kind::kClosed, true, true},
      // The polygons are thin closed slabs.
      {30, {Uniform(0, 0, 0, 0)}},
      {31, {Uniform(0, 0, 0, 0)}},
      {32, {Uniform(0, 0, 0, 0)}},
      {33, {Uniform(0, 0, 0, 0)}},
      {34, {Uniform(1, -1, 5, 18), Uniform(2, -1, 6, 20)}},
      {35, {Uniform(0, 0, 0, 0)}, Kind::kEmpty},
      {36, {Uniform(0, 0, 0, 0)}},
  };
  return rows;
}

}  // namespace

const CTypeExpectation* FindExpectation(int typeId) {
  for (const CTypeExpectation& row : Rows())
    if (row.id == typeId) return &row;
  return nullptr;
}

const CModeExpectation* FindModeExpectation(const CTypeExpectation& type, int mode) {
  for (const CModeExpectation& m : type.modes)
    if (m.mode == mode) return &m;
  return nullptr;
}
