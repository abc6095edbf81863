// CStateSpace: a puzzle as colour vectors under its turns, with a distance table found by
// breadth-first search from solved and a search for shortest solutions guided by it.
//
// A position is the colour of every facelet by id. Where the puzzle counts as solved whenever
// every face shows one colour, whichever (anyColours), positions that differ only in which
// colour is which are one position: colours are renamed in the order they first appear, so
// every solved orientation is the same position and whole-puzzle turns drop out. Turns that
// leave the solved position solved are such whole-puzzle turns: they are free and not searched.
// Excluded turns (a pyramid's tips) are left out of the search with the facelets they move,
// and put right at the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CStateSpace {
 public:
  struct Shape {
    std::vector<int> solved;              // colour by facelet id
    std::vector<std::vector<int>> turns;  // turn k + 1, as CMove: entry i names where facelet i's colour goes
    std::vector<bool> excluded;           // per turn
    bool anyColours = true;
  };
  struct Answer {
    std::vector<int> turns;
    int length = 0;
  };

  CStateSpace(const Shape& shape, long stateLimit);

  // Breadth-first search from solved until every position is found or the limit is reached.
  // progress, when given, follows the positions found against the limit, 0..100.
  void Build(const std::atomic<bool>* cancel, std::atomic<int>* progress = nullptr);
  bool IsCancelled() const { return m_cancelled; }
  // The cache file: a header that must match this shape and limit, the table, a checksum.
  // Load refuses (false, table left empty) anything that does not fit.
  bool Load(const std::string& path);
  bool Save(const std::string& path) const;

  // 1 with a shortest solution in answer; 0 when no sequence of turns (up to maxDepth beyond
  // the table) solves the colours; -1 when cancelled; -2 when the search gave up.
  int Solve(const std::vector<int>& colours, int maxDepth, const std::atomic<bool>* cancel, Answer& answer) const;

  long GetStateLimit() const { return m_limit; }
  long GetStateCount() const { return m_count; }
  int GetCompleteDepth() const { return m_completeDepth; }
  bool IsWhole() const { return m_whole; }
  int GetLargestDistance() const { return m_largest; }
  // Turns searched (signed turn numbers) and the free ones.
  const std::vector<int>& GetSearchMoves() const { return m_moves; }
  const std::vector<int>& GetFreeTurns() const { return m_free; }
  // The table's distance of a position (colours by id), -1 when it is not in the table.
  int LookUp(const std::vector<int>& colours) const;

 private:
  using State = std::vector<std::uint8_t>;
  State Canonical(const State& s) const;
  State Masked(const std::vector<int>& colours) const;
  State Apply(const State& s, int moveIndex) const;
  static std::uint64_t Hash(const State& s);
  bool Insert(std::uint64_t key, int distance);
  int Find(std::uint64_t key) const;  // -1 when absent
  int Bound(const State& s) const;    // a lower bound of the distance
  bool IsGoal(const State& s) const { return s == m_goal; }
  int Search(State& s, int g, int bound, int last, int repeat, std::vector<int>& path, int& next,
             const std::atomic<bool>* cancel, long& visited) const;
  bool ColoursFit(const std::vector<int>& colours) const;
  std::uint64_t Fingerprint() const;
  void ClearTable();

  Shape m_shape;
  long m_limit;
  int m_n = 0;
  std::vector<bool> m_masked;
  std::vector<std::vector<int>> m_gather;  // per search move: new[i] = old[gather[i]]
  std::vector<int> m_moves;                // signed turn number per search move
  std::vector<int> m_inverse;              // search move index of the inverse, or itself
  std::vector<int> m_maxRun;               // longest useful run of one search move
  std::vector<int> m_free;
  std::vector<int> m_excludedTurns;
  std::vector<std::vector<int>> m_excludedGather;  // per excluded turn, positive then negative
  State m_goal;

  std::vector<std::uint64_t> m_keys;
  std::vector<std::uint8_t> m_distance;
  std::uint64_t m_mask = 0;
  long m_count = 0;
  int m_completeDepth = 0;
  bool m_whole = false;
  int m_largest = 0;
  bool m_cancelled = false;
};
