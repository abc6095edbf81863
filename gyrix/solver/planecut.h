// CPlaneCutModel: a plane-cut puzzle as the places its facelets can lie in. A place is the set
// of resting corners a facelet covers; a turn carries every place in front of its cut to the
// place its corners are turned onto, and a place that straddles a cut blocks that cut's turns.
// The places and what turns do to them are worked out once from the puzzle's own geometry, by
// the rotations and snapping its turns make, so the model turns exactly as the puzzle does.
//
// A position is what can be seen: for each colour, the sorted places of the facelets of that
// colour. Two arrangements that look alike are one position (facelets of one colour swapped,
// a piece turned in place), since the puzzle behaves alike from both.
#pragma once

#include <array>
#include <cstdint>

#include <gyrix/engine/fixed.h>
#include <vector>

class CPlaneCutPuzzle;
class CPuzzle;

// What the solver reads of a puzzle whose turns depend on its position, copied so that a worker
// thread never reads the puzzle the game goes on turning: the colour of every facelet by id,
// and for a plane-cut puzzle every facelet's corners (in the painting order, with its colour).
struct CPositionSnapshot {
  struct Facelet {
    int colour = 0;
    std::vector<std::array<int, 3>> corners;  // raw fixed-point coordinates
  };
  int typeId = -1;
  int mode = 0;
  std::vector<int> colours;
  std::vector<Facelet> facelets;
};
CPositionSnapshot TakePositionSnapshot(const CPuzzle& puzzle);

class CPlaneCutModel {
 public:
  using State = std::vector<std::uint16_t>;

  // From a fresh puzzle of the type (which it keeps for the geometry); invalid when the type is
  // no plane-cut puzzle, or a turned corner lands on no resting place.
  explicit CPlaneCutModel(int typeId);
  ~CPlaneCutModel();
  CPlaneCutModel(const CPlaneCutModel&) = delete;
  CPlaneCutModel& operator=(const CPlaneCutModel&) = delete;

  bool IsValid() const { return m_valid; }
  int GetTypeId() const { return m_typeId; }
  int GetPlaceCount() const { return static_cast<int>(m_placeCorners.size()); }
  // Search moves: index 2k is turn k + 1, index 2k + 1 turn -(k + 1).
  int GetMoveCount() const { return 2 * m_turns; }
  static int TurnOf(int moveIndex) { return moveIndex % 2 == 0 ? moveIndex / 2 + 1 : -(moveIndex / 2 + 1); }
  static int MoveIndexOf(int turn) { return turn > 0 ? 2 * (turn - 1) : 2 * (-turn - 1) + 1; }

  // The position of a puzzle of this type; false when a facelet lies at no known place (a
  // position no turn reaches from solved, as a damaged file may hold).
  bool StateOf(const CPositionSnapshot& snapshot, State& out) const;
  // The position after a move; false when the position blocks it.
  bool Apply(const State& s, int moveIndex, State& out) const;
  bool IsAllowed(const State& s, int moveIndex) const;
  // Solved in every orientation turns can give it, as the puzzle's own solved test accepts it.
  const std::vector<State>& GetGoals() const { return m_goals; }
  bool IsGoal(const State& s) const;
  // Whether the puzzle's own solved test passes in this position (the position put into the
  // model's puzzle); not thread-safe, for building tables. Cheap for most positions, which a
  // test of where each colour lies as a whole refuses first.
  bool IsSolvedByThePuzzle(const State& s) const;
  // One position for all those a whole-puzzle turn makes of s (the least of them), where the
  // puzzle's turns look alike from every such orientation; s as it is otherwise. Positions
  // reduced alike lie equally far from solved.
  void Reduce(State& s) const;
  int GetSymmetryCount() const { return static_cast<int>(m_symmetries.size()) + 1; }
  // A fingerprint of places, turns and goals: a table built for another model does not fit.
  std::uint64_t Fingerprint() const;

 private:
  bool Build();
  int PlaceOfCorners(std::vector<int> corners);
  bool FindGoals();
  void Canonicalise(State& s) const;
  std::vector<std::array<double, 3>> GroupMiddles(const State& s) const;
  bool CommutesWithTurns(const std::vector<int>& perm) const;

  int m_typeId;
  CPlaneCutPuzzle* m_puzzle = nullptr;
  bool m_valid = false;
  int m_turns = 0;
  std::vector<std::vector<int>> m_placeCorners;  // sorted resting-corner indices
  std::vector<std::int32_t> m_next;              // [place * moves + move] -> place
  std::vector<std::uint64_t> m_blocks;           // per place: bit k blocks turn k + 1
  std::vector<int> m_groupStart;                 // state slots by colour: [start, next start)
  std::vector<int> m_slotFacelet;                // facelet id of each slot in the solved order
  std::vector<State> m_goals;
  std::vector<std::array<double, 3>> m_groupCentres;  // the solved colours' middles
  std::vector<std::array<double, 3>> m_placeSum;      // per place, its corners added up
  std::vector<CFixVector> m_resting;
  std::vector<std::vector<int>> m_wholeRotations;  // turns' rotations of the whole puzzle
  std::vector<std::vector<std::uint16_t>> m_symmetries;  // place permutations, identity left out
};
