// The distance table of a plane-cut puzzle: every position turns can reach, found by a
// breadth-first search from the solved ones, numbered by a perfect index (a minimal perfect
// hash of the positions), and its distance to solved kept modulo 3 in two bits. A position's
// neighbours lie one nearer, as far or one farther, so the residue tells which turn leads one
// nearer: walking down it gives a shortest solution and its length is the exact distance.
#pragma once

#include <gyrix/solver/planecut.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// A minimal perfect hash of a set of distinct 64-bit keys: level after level of bit arrays,
// each key at the place its level's hash gives where no other key of that level falls. A key
// of the set gets its own number below the set's size; any other key gets some number or -1.
class CPerfectIndex {
 public:
  void Build(std::vector<std::uint64_t> keys);
  std::int64_t Find(std::uint64_t key) const;
  std::uint64_t GetSize() const { return m_size; }
  long GetBytes() const;
  void Write(std::vector<std::uint8_t>& out) const;
  // False for anything that is no index of this shape.
  bool Read(const std::vector<std::uint8_t>& in, size_t& at);

 private:
  void BuildRanks();

  std::uint64_t m_size = 0;
  std::vector<std::uint64_t> m_levelStart;  // bit offset of each level, then the end
  std::vector<std::uint64_t> m_bits;
  std::vector<std::uint32_t> m_ranks;    // ones before each block of 8 words
  std::vector<std::uint64_t> m_spilled;  // sorted keys no level placed, numbered after the rest
};

class CKeySet;

class CPlaneCutTable {
 public:
  explicit CPlaneCutTable(const CPlaneCutModel& model) : m_model(model) {}

  // False when cancelled (the table is then empty).
  bool Build(const std::atomic<bool>* cancel);
  // The cache file: a header that must fit the model, the index, the residues, a checksum.
  // Anything that does not fit is refused and the table stays empty.
  bool Load(const std::string& path);
  bool Save(const std::string& path) const;

  // 1 with a shortest solution (signed turn numbers); 0 when no sequence of turns solves the
  // position; -1 when cancelled.
  int Solve(const CPlaneCutModel::State& start, const std::atomic<bool>* cancel, std::vector<int>& turns) const;

  std::uint64_t GetStateCount() const { return m_index.GetSize(); }
  int GetLargestDistance() const { return m_largest; }
  long GetBytes() const { return m_index.GetBytes() + static_cast<long>(m_residues.size()); }
  // The residue of a position's distance, 3 for one the table does not hold.
  int ResidueOf(const CPlaneCutModel::State& s) const;
  // Whether the position is one of the solved ones.
  bool IsSolved(const CPlaneCutModel::State& s) const;

 private:
  void Clear() {
    m_index = CPerfectIndex();
    m_residues.clear();
    m_goalKeys.clear();
    m_largest = 0;
  }
  bool Search(const std::vector<CPlaneCutModel::State>& from, const std::atomic<bool>* cancel, CKeySet& found,
              std::vector<CPlaneCutModel::State>* solved);
  static std::uint64_t KeyOf(const CPlaneCutModel::State& s);
  int ResidueAt(std::int64_t i) const { return (m_residues[i >> 2] >> (2 * (i & 3))) & 3; }

  const CPlaneCutModel& m_model;
  CPerfectIndex m_index;
  std::vector<std::uint8_t> m_residues;  // four positions a byte
  std::vector<std::uint64_t> m_goalKeys;  // the solved positions, reduced, sorted
  int m_largest = 0;
};
