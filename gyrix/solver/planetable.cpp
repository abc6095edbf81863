#include <gyrix/solver/planetable.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

constexpr char kMagic[8] = {'G', 'Y', 'R', 'X', 'P', 'L', 'A', 'N'};
constexpr std::uint32_t kFormatVersion = 1;
constexpr int kMostLevels = 40;
constexpr int kWordsPerRankBlock = 8;
// Bits of a level per key placed in it: more is faster to build and larger.
constexpr double kLevelBitsPerKey = 2.0;
// No plane-cut puzzle of ours lies farther than this from solved.
constexpr int kLargestDistance = 250;
// Positions a table may hold: far beyond any of ours, a bound against a damaged file.
constexpr std::uint64_t kMostStates = 400000000;

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBull;
  h ^= h >> 31;
  return h;
}

std::uint64_t LevelPlace(std::uint64_t key, int level, std::uint64_t bits) {
  const std::uint64_t h = Mix(key + 0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(level + 1));
  return static_cast<std::uint64_t>((static_cast<unsigned __int128>(h) * bits) >> 64);
}

std::uint64_t HashBytes(const std::uint8_t* data, size_t size) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001B3ull;
  return Mix(h);
}

bool TestBit(const std::vector<std::uint64_t>& bits, std::uint64_t i) { return (bits[i >> 6] >> (i & 63)) & 1; }
void SetBit(std::vector<std::uint64_t>& bits, std::uint64_t i) { bits[i >> 6] |= std::uint64_t(1) << (i & 63); }

template <class T>
void Put(std::vector<std::uint8_t>& out, const T& value) {
  const size_t at = out.size();
  out.resize(at + sizeof(T));
  std::memcpy(out.data() + at, &value, sizeof(T));
}

template <class T>
bool Take(const std::vector<std::uint8_t>& in, size_t& at, T& value) {
  if (at > in.size() || in.size() - at < sizeof(T)) return false;
  std::memcpy(&value, in.data() + at, sizeof(T));
  at += sizeof(T);
  return true;
}

template <class T>
void PutVector(std::vector<std::uint8_t>& out, const std::vector<T>& v) {
  Put(out, static_cast<std::uint64_t>(v.size()));
  const size_t at = out.size();
  out.resize(at + v.size() * sizeof(T));
  if (!v.empty()) std::memcpy(out.data() + at, v.data(), v.size() * sizeof(T));
}

template <class T>
bool TakeVector(const std::vector<std::uint8_t>& in, size_t& at, std::vector<T>& v, std::uint64_t most) {
  std::uint64_t count = 0;
  if (!Take(in, at, count) || count > most || (in.size() - at) / sizeof(T) < count) return false;
  v.resize(count);
  if (count) std::memcpy(v.data(), in.data() + at, count * sizeof(T));
  at += count * sizeof(T);
  return true;
}

}  // namespace

// The positions found so far by key, with their distance: open addressing, never 0 as a key.
class CKeySet {
 public:
  CKeySet() { Resize(1 << 16); }
  // False when the key was there already.
  bool Insert(std::uint64_t key, std::uint8_t distance) {
    if ((m_count + 1) * 2 > m_keys.size()) Resize(m_keys.size() * 2);
    return Place(key, distance);
  }
  std::vector<std::uint64_t> Keys() const {
    std::vector<std::uint64_t> keys;
    keys.reserve(m_count);
    for (std::uint64_t k : m_keys)
      if (k) keys.push_back(k);
    return keys;
  }
  template <class F>
  void ForEach(F f) const {
    for (size_t i = 0; i < m_keys.size(); ++i)
      if (m_keys[i]) f(m_keys[i], m_distance[i]);
  }

 private:
  bool Place(std::uint64_t key, std::uint8_t distance) {
    const std::uint64_t mask = m_keys.size() - 1;
    for (std::uint64_t at = Mix(key) & mask;; at = (at + 1) & mask) {
      if (m_keys[at] == key) return false;
      if (m_keys[at] == 0) {
        m_keys[at] = key;
        m_distance[at] = distance;
        ++m_count;
        return true;
      }
    }
  }
  void Resize(size_t capacity) {
    std::vector<std::uint64_t> keys(capacity, 0);
    std::vector<std::uint8_t> distance(capacity, 0);
    keys.swap(m_keys);
    distance.swap(m_distance);
    m_count = 0;
    for (size_t i = 0; i < keys.size(); ++i)
      if (keys[i]) Place(keys[i], distance[i]);
  }

  std::vector<std::uint64_t> m_keys;
  std::vector<std::uint8_t> m_distance;
  size_t m_count = 0;
};

// ---- the perfect index ----

void CPerfectIndex::Build(std::vector<std::uint64_t> keys) {
  m_size = keys.size();
  m_levelStart.assign(1, 0);
  m_bits.clear();
  m_spilled.clear();
  for (int level = 0; level < kMostLevels && !keys.empty(); ++level) {
    const std::uint64_t words = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(keys.size() * kLevelBitsPerKey) / 64 + 1);
    const std::uint64_t bits = words * 64;
    std::vector<std::uint64_t> seen(words, 0), twice(words, 0);
    for (std::uint64_t key : keys) {
      const std::uint64_t at = LevelPlace(key, level, bits);
      if (TestBit(seen, at))
        SetBit(twice, at);
      else
        SetBit(seen, at);
    }
    std::vector<std::uint64_t> left;
    for (std::uint64_t key : keys)
      if (TestBit(twice, LevelPlace(key, level, bits))) left.push_back(key);
    for (std::uint64_t w = 0; w < words; ++w) m_bits.push_back(seen[w] & ~twice[w]);
    m_levelStart.push_back(m_levelStart.back() + bits);
    keys.swap(left);
  }
  std::sort(keys.begin(), keys.end());
  m_spilled = keys;
  BuildRanks();
}

void CPerfectIndex::BuildRanks() {
  m_ranks.clear();
  std::uint32_t ones = 0;
  for (size_t w = 0; w < m_bits.size(); ++w) {
    if (w % kWordsPerRankBlock == 0) m_ranks.push_back(ones);
    ones += static_cast<std::uint32_t>(std::popcount(m_bits[w]));
  }
  m_ranks.push_back(ones);
}

std::int64_t CPerfectIndex::Find(std::uint64_t key) const {
  for (size_t level = 0; level + 1 < m_levelStart.size(); ++level) {
    const std::uint64_t bits = m_levelStart[level + 1] - m_levelStart[level];
    const std::uint64_t at = m_levelStart[level] + LevelPlace(key, static_cast<int>(level), bits);
    if (!TestBit(m_bits, at)) continue;
    const std::uint64_t word = at >> 6;
    std::int64_t rank = m_ranks[word / kWordsPerRankBlock];
    for (std::uint64_t w = word - word % kWordsPerRankBlock; w < word; ++w) rank += std::popcount(m_bits[w]);
    rank += std::popcount(m_bits[word] & ((std::uint64_t(1) << (at & 63)) - 1));
    return rank;
  }
  const auto found = std::lower_bound(m_spilled.begin(), m_spilled.end(), key);
  if (found == m_spilled.end() || *found != key) return -1;
  return static_cast<std::int64_t>(m_size - m_spilled.size()) + (found - m_spilled.begin());
}

long CPerfectIndex::GetBytes() const {
  return static_cast<long>(m_bits.size() * 8 + m_ranks.size() * 4 + m_spilled.size() * 8 + m_levelStart.size() * 8);
}

void CPerfectIndex::Write(std::vector<std::uint8_t>& out) const {
  Put(out, m_size);
  PutVector(out, m_levelStart);
  PutVector(out, m_bits);
  PutVector(out, m_spilled);
}

bool CPerfectIndex::Read(const std::vector<std::uint8_t>& in, size_t& at) {
  std::uint64_t size = 0;
  if (!Take(in, at, size) || size > kMostStates) return false;
  std::vector<std::uint64_t> starts, bits, spilled;
  if (!TakeVector(in, at, starts, kMostLevels + 1) || !TakeVector(in, at, bits, kMostStates) ||
      !TakeVector(in, at, spilled, kMostStates))
    return false;
  // The levels must tile the bits in whole words, and the ones and spilled keys count the set.
  if (starts.empty() || starts[0] != 0 || starts.back() != bits.size() * 64) return false;
  for (size_t i = 1; i < starts.size(); ++i)
    if (starts[i] <= starts[i - 1] || starts[i] % 64 != 0) return false;
  if (!std::is_sorted(spilled.begin(), spilled.end())) return false;
  m_size = size;
  m_levelStart.swap(starts);
  m_bits.swap(bits);
  m_spilled.swap(spilled);
  BuildRanks();
  if (m_ranks.back() + m_spilled.size() != m_size) {
    *this = CPerfectIndex();
    return false;
  }
  return true;
}

// ---- the table ----

std::uint64_t CPlaneCutTable::KeyOf(const CPlaneCutModel::State& s) {
  std::uint64_t h = 0x51ED270B7A3C9E15ull ^ s.size();
  for (size_t i = 0; i < s.size(); i += 4) {
    std::uint64_t word = 0;
    for (size_t j = i; j < i + 4 && j < s.size(); ++j) word = (word << 16) | s[j];
    h = Mix(h ^ word) + 0x9E3779B97F4A7C15ull;
  }
  return h == 0 ? 1 : h;
}

// Breadth-first from the positions given, each by its least whole-puzzle turn; with `solved`,
// also collects the positions found that the puzzle itself calls solved.
bool CPlaneCutTable::Search(const std::vector<CPlaneCutModel::State>& from, const std::atomic<bool>* cancel,
                            CKeySet& found, std::vector<CPlaneCutModel::State>* solved) {
  const int moves = m_model.GetMoveCount();
  const size_t width = from.empty() ? 0 : from[0].size();
  std::vector<std::uint16_t> level, next;
  for (CPlaneCutModel::State g : from) {
    m_model.Reduce(g);
    if (found.Insert(KeyOf(g), 0)) level.insert(level.end(), g.begin(), g.end());
  }
  CPlaneCutModel::State s(width), t;
  long work = 0;
  m_largest = 0;
  for (int depth = 0; !level.empty(); ++depth) {
    next.clear();
    for (size_t at = 0; at < level.size(); at += width) {
      std::copy(level.begin() + at, level.begin() + at + width, s.begin());
      for (int m = 0; m < moves; ++m) {
        if ((++work & 4095) == 0 && cancel && cancel->load()) return false;
        if (!m_model.Apply(s, m, t)) continue;
        m_model.Reduce(t);
        if (!found.Insert(KeyOf(t), static_cast<std::uint8_t>(depth + 1))) continue;
        next.insert(next.end(), t.begin(), t.end());
        if (solved && m_model.IsSolvedByThePuzzle(t)) solved->push_back(t);
      }
    }
    if (!next.empty()) m_largest = depth + 1;
    level.swap(next);
  }
  return true;
}

bool CPlaneCutTable::Build(const std::atomic<bool>* cancel) {
  Clear();
  // Solved positions turns reach that the model's own whole-puzzle turns do not give count as
  // solved too: then the distances are measured again from all of them.
  std::vector<CPlaneCutModel::State> goals = m_model.GetGoals(), more;
  auto found = std::make_unique<CKeySet>();
  if (!Search(goals, cancel, *found, &more)) {
    Clear();
    return false;
  }
  if (!more.empty()) {
    goals.insert(goals.end(), more.begin(), more.end());
    found = std::make_unique<CKeySet>();
    if (!Search(goals, cancel, *found, nullptr)) {
      Clear();
      return false;
    }
  }
  for (CPlaneCutModel::State g : goals) {
    m_model.Reduce(g);
    m_goalKeys.push_back(KeyOf(g));
  }
  std::sort(m_goalKeys.begin(), m_goalKeys.end());
  m_goalKeys.erase(std::unique(m_goalKeys.begin(), m_goalKeys.end()), m_goalKeys.end());
  m_index.Build(found->Keys());
  m_residues.assign((m_index.GetSize() + 3) / 4, 0);
  found->ForEach([this](std::uint64_t key, std::uint8_t distance) {
    const std::int64_t i = m_index.Find(key);
    m_residues[i >> 2] |= static_cast<std::uint8_t>((distance % 3) << (2 * (i & 3)));
  });
  return true;
}

bool CPlaneCutTable::IsSolved(const CPlaneCutModel::State& s) const {
  CPlaneCutModel::State reduced = s;
  m_model.Reduce(reduced);
  return std::binary_search(m_goalKeys.begin(), m_goalKeys.end(), KeyOf(reduced));
}

int CPlaneCutTable::ResidueOf(const CPlaneCutModel::State& s) const {
  if (m_residues.empty()) return 3;
  CPlaneCutModel::State reduced = s;
  m_model.Reduce(reduced);
  const std::int64_t i = m_index.Find(KeyOf(reduced));
  return i < 0 ? 3 : ResidueAt(i);
}

int CPlaneCutTable::Solve(const CPlaneCutModel::State& start, const std::atomic<bool>* cancel,
                          std::vector<int>& turns) const {
  turns.clear();
  CPlaneCutModel::State s = start, t;
  // A position the table does not hold may still get a number from the index: its walk then
  // never reaches solved, and stops at the largest distance.
  for (int step = 0; step <= m_largest; ++step) {
    if (IsSolved(s)) return 1;
    if (cancel && cancel->load()) return -1;
    const int here = ResidueOf(s);
    if (here > 2) return 0;
    const int nearer = (here + 2) % 3;
    bool stepped = false;
    for (int m = 0; m < m_model.GetMoveCount() && !stepped; ++m) {
      if (!m_model.Apply(s, m, t) || ResidueOf(t) != nearer) continue;
      turns.push_back(CPlaneCutModel::TurnOf(m));
      s.swap(t);
      stepped = true;
    }
    if (!stepped) break;
  }
  turns.clear();
  return 0;
}

bool CPlaneCutTable::Save(const std::string& path) const {
  if (m_residues.empty()) return false;
  std::vector<std::uint8_t> out(sizeof kMagic);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  Put(out, kFormatVersion);
  Put(out, m_model.Fingerprint());
  Put(out, static_cast<std::int32_t>(m_largest));
  PutVector(out, m_goalKeys);
  m_index.Write(out);
  PutVector(out, m_residues);
  Put(out, HashBytes(out.data(), out.size()));

  std::error_code error;
  const std::filesystem::path target(path);
  std::filesystem::create_directories(target.parent_path(), error);
  const std::string temporary = path + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    std::remove(temporary.c_str());
    return false;
  }
  std::filesystem::rename(temporary, target, error);
  if (error) std::remove(temporary.c_str());
  return !error;
}

bool CPlaneCutTable::Load(const std::string& path) {
  std::vector<std::uint8_t> in;
  {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::uint8_t block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0) {
      in.insert(in.end(), block, block + got);
      if (in.size() > kMostStates) break;
    }
    std::fclose(f);
  }
  if (in.size() < sizeof kMagic + 8 || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0) return false;
  std::uint64_t stored = 0;
  std::memcpy(&stored, in.data() + in.size() - 8, 8);
  if (HashBytes(in.data(), in.size() - 8) != stored) return false;
  in.resize(in.size() - 8);
  size_t at = sizeof kMagic;
  std::uint32_t version = 0;
  std::uint64_t fingerprint = 0;
  std::int32_t largest = 0;
  CPerfectIndex index;
  std::vector<std::uint8_t> residues;
  std::vector<std::uint64_t> goalKeys;
  if (!Take(in, at, version) || version != kFormatVersion || !Take(in, at, fingerprint) ||
      fingerprint != m_model.Fingerprint() || !Take(in, at, largest) || largest < 0 || largest > kLargestDistance ||
      !TakeVector(in, at, goalKeys, 100000) || !std::is_sorted(goalKeys.begin(), goalKeys.end()) || !index.Read(in, at) || !TakeVector(in, at, residues, kMostStates) || at != in.size() ||
      residues.size() != (index.GetSize() + 3) / 4)
    return false;
  m_index = std::move(index);
  m_residues.swap(residues);
  m_largest = largest;
  m_goalKeys.swap(goalKeys);
  // The solved positions lie at distance 0 (residue 0).
  for (const CPlaneCutModel::State& g : m_model.GetGoals()) {
    if (ResidueOf(g) != 0 || !IsSolved(g)) {
      Clear();
      return false;
    }
  }
  return true;
}
