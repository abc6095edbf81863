#include <gyrix/solver/table.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <numeric>

namespace {

constexpr char kMagic[8] = {'G', 'Y', 'R', 'X', 'T', 'A', 'B', 'L'};
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::uint8_t kMaskedColour = 0xFF;
constexpr int kLargestStoredDistance = 200;
// Positions a search may visit before it gives up (a table that stops short of the whole puzzle
// cannot tell an unreachable position from a far one).
constexpr long kSearchBudget = 50000000;

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBull;
  h ^= h >> 31;
  return h;
}

std::uint64_t HashBytes(const std::uint8_t* data, size_t size, std::uint64_t h = 0xCBF29CE484222325ull) {
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001B3ull;
  return h;
}

int PermutationOrder(const std::vector<int>& perm) {
  const int n = static_cast<int>(perm.size());
  std::vector<bool> seen(n, false);
  long order = 1;
  for (int i = 0; i < n; ++i) {
    if (seen[i]) continue;
    int length = 0;
    for (int j = i; j >= 0 && j < n && !seen[j]; j = perm[j]) {
      seen[j] = true;
      ++length;
    }
    if (length > 0) order = std::lcm(order, static_cast<long>(length));
    if (order > 1000) return 1000;
  }
  return static_cast<int>(order);
}

// new[i] = old[gather[i]] for a turn made positively (or negatively), as CPuzzle::ApplyMove.
std::vector<int> GatherOf(const std::vector<int>& perm, bool positive) {
  const int n = static_cast<int>(perm.size());
  std::vector<int> gather(n);
  std::iota(gather.begin(), gather.end(), 0);
  for (int i = 0; i < n; ++i) {
    const int to = perm[i];
    if (to < 0 || to >= n) continue;
    if (positive)
      gather[to] = i;
    else
      gather[i] = to;
  }
  return gather;
}

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

}  // namespace

CStateSpace::CStateSpace(const Shape& shape, long stateLimit) : m_shape(shape), m_limit(std::max(stateLimit, 16L)) {
  m_n = static_cast<int>(m_shape.solved.size());
  m_masked.assign(m_n, false);
  const int turns = static_cast<int>(m_shape.turns.size());
  m_shape.excluded.resize(turns, false);
  for (auto& perm : m_shape.turns) perm.resize(m_n, -1);
  for (int k = 0; k < turns; ++k) {
    if (!m_shape.excluded[k]) continue;
    for (int i = 0; i < m_n; ++i)
      if (m_shape.turns[k][i] != i && m_shape.turns[k][i] >= 0) m_masked[i] = true;
    m_excludedTurns.push_back(k + 1);
    m_excludedGather.push_back(GatherOf(m_shape.turns[k], true));
    m_excludedGather.push_back(GatherOf(m_shape.turns[k], false));
  }
  m_goal = Canonical(Masked(m_shape.solved));
  for (int k = 0; k < turns; ++k) {
    if (m_shape.excluded[k]) continue;
    const std::vector<int> gather = GatherOf(m_shape.turns[k], true);
    State turned(m_n);
    for (int i = 0; i < m_n; ++i) turned[i] = m_goal[gather[i]];
    if (Canonical(turned) == m_goal) {
      m_free.push_back(k + 1);
      continue;
    }
    const int order = PermutationOrder(m_shape.turns[k]);
    const int plus = static_cast<int>(m_moves.size());
    m_moves.push_back(k + 1);
    m_gather.push_back(gather);
    m_maxRun.push_back(std::max(order / 2, 1));
    if (order > 2) {
      m_moves.push_back(-(k + 1));
      m_gather.push_back(GatherOf(m_shape.turns[k], false));
      m_maxRun.push_back(std::max((order - 1) / 2, 1));
      m_inverse.push_back(plus + 1);
      m_inverse.push_back(plus);
    } else {
      m_inverse.push_back(plus);
    }
  }
}

CStateSpace::State CStateSpace::Masked(const std::vector<int>& colours) const {
  State s(m_n, kMaskedColour);
  for (int i = 0; i < m_n && i < static_cast<int>(colours.size()); ++i)
    if (!m_masked[i]) s[i] = static_cast<std::uint8_t>(std::clamp(colours[i], 0, 254));
  return s;
}

CStateSpace::State CStateSpace::Canonical(const State& s) const {
  if (!m_shape.anyColours) return s;
  std::uint8_t rename[256];
  std::memset(rename, kMaskedColour, sizeof rename);
  std::uint8_t next = 0;
  State out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const std::uint8_t c = s[i];
    if (c == kMaskedColour) {
      out[i] = c;
      continue;
    }
    if (rename[c] == kMaskedColour) rename[c] = next++;
    out[i] = rename[c];
  }
  return out;
}

CStateSpace::State CStateSpace::Apply(const State& s, int moveIndex) const {
  const std::vector<int>& gather = m_gather[moveIndex];
  State out(m_n);
  for (int i = 0; i < m_n; ++i) out[i] = s[gather[i]];
  return Canonical(out);
}

std::uint64_t CStateSpace::Hash(const State& s) {
  const std::uint64_t h = Mix(HashBytes(s.data(), s.size()));
  return h == 0 ? 1 : h;
}

void CStateSpace::ClearTable() {
  size_t capacity = 64;
  while (capacity < static_cast<size_t>(m_limit) * 2 + 2) capacity <<= 1;
  m_keys.assign(capacity, 0);
  m_distance.assign(capacity, 0);
  m_mask = capacity - 1;
  m_count = 0;
  m_completeDepth = 0;
  m_whole = false;
  m_largest = 0;
}

bool CStateSpace::Insert(std::uint64_t key, int distance) {
  for (std::uint64_t at = key & m_mask;; at = (at + 1) & m_mask) {
    if (m_keys[at] == key) return false;
    if (m_keys[at] == 0) {
      m_keys[at] = key;
      m_distance[at] = static_cast<std::uint8_t>(distance);
      ++m_count;
      m_largest = std::max(m_largest, distance);
      return true;
    }
  }
}

int CStateSpace::Find(std::uint64_t key) const {
  if (m_keys.empty()) return -1;
  for (std::uint64_t at = key & m_mask;; at = (at + 1) & m_mask) {
    if (m_keys[at] == key) return m_distance[at];
    if (m_keys[at] == 0) return -1;
  }
}

void CStateSpace::Build(const std::atomic<bool>* cancel, std::atomic<int>* progress) {
  ClearTable();
  m_cancelled = false;
  std::vector<State> frontier{m_goal};
  Insert(Hash(m_goal), 0);
  long work = 0;
  for (int depth = 0; !frontier.empty(); ++depth) {
    std::vector<State> next;
    for (const State& s : frontier) {
      for (size_t m = 0; m < m_moves.size(); ++m) {
        if ((++work & 4095) == 0) {
          if (cancel && cancel->load()) {
            m_cancelled = true;
            ClearTable();
            return;
          }
          if (progress) progress->store(static_cast<int>(m_count * 100 / std::max(1L, m_limit)));
        }
        State t = Apply(s, static_cast<int>(m));
        if (m_count >= m_limit) {
          // Positions of depth + 1 found so far keep their true distance; the rest are only
          // known to lie farther than depth.
          m_completeDepth = depth;
          return;
        }
        if (Insert(Hash(t), depth + 1)) next.push_back(std::move(t));
      }
    }
    frontier.swap(next);
    m_completeDepth = depth;
  }
  m_whole = true;
}

std::uint64_t CStateSpace::Fingerprint() const {
  std::uint64_t h = HashBytes(reinterpret_cast<const std::uint8_t*>(&kFormatVersion), sizeof kFormatVersion);
  auto ints = [&h](const std::vector<int>& v) {
    const std::uint32_t size = static_cast<std::uint32_t>(v.size());
    h = HashBytes(reinterpret_cast<const std::uint8_t*>(&size), sizeof size, h);
    for (int x : v) h = HashBytes(reinterpret_cast<const std::uint8_t*>(&x), sizeof x, h);
  };
  ints(m_shape.solved);
  for (const auto& t : m_shape.turns) ints(t);
  std::vector<int> flags;
  for (bool e : m_shape.excluded) flags.push_back(e ? 1 : 0);
  flags.push_back(m_shape.anyColours ? 1 : 0);
  ints(flags);
  return Mix(h);
}

bool CStateSpace::Save(const std::string& path) const {
  std::vector<std::uint8_t> out(sizeof kMagic);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  Put(out, kFormatVersion);
  Put(out, Fingerprint());
  Put(out, static_cast<std::uint64_t>(m_limit));
  Put(out, static_cast<std::uint64_t>(m_count));
  Put(out, static_cast<std::int32_t>(m_completeDepth));
  Put(out, static_cast<std::int32_t>(m_whole ? 1 : 0));
  for (size_t i = 0; i < m_keys.size(); ++i)
    if (m_keys[i] != 0) Put(out, m_keys[i]);
  for (size_t i = 0; i < m_keys.size(); ++i)
    if (m_keys[i] != 0) out.push_back(m_distance[i]);
  Put(out, Mix(HashBytes(out.data(), out.size())));

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

bool CStateSpace::Load(const std::string& path) {
  std::vector<std::uint8_t> in;
  {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::uint8_t block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0) {
      in.insert(in.end(), block, block + got);
      if (in.size() > static_cast<size_t>(m_limit) * 9 + 4096) break;  // larger than any table of ours
    }
    std::fclose(f);
  }
  const size_t header = sizeof kMagic + 4 + 8 + 8 + 8 + 4 + 4;
  if (in.size() < header + 8 || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0) return false;
  std::uint64_t stored = 0;
  std::memcpy(&stored, in.data() + in.size() - 8, 8);
  if (Mix(HashBytes(in.data(), in.size() - 8)) != stored) return false;
  size_t at = sizeof kMagic;
  std::uint32_t version = 0;
  std::uint64_t fingerprint = 0, limit = 0, count = 0;
  std::int32_t complete = 0, whole = 0;
  if (!Take(in, at, version) || !Take(in, at, fingerprint) || !Take(in, at, limit) || !Take(in, at, count) ||
      !Take(in, at, complete) || !Take(in, at, whole))
    return false;
  if (version != kFormatVersion || fingerprint != Fingerprint() || limit != static_cast<std::uint64_t>(m_limit) ||
      count == 0 || count > limit || (whole != 0 && whole != 1) || complete < 0 || complete > kLargestStoredDistance)
    return false;
  if (in.size() != header + count * 9 + 8) return false;
  ClearTable();
  const std::uint8_t* keys = in.data() + header;
  const std::uint8_t* distances = keys + count * 8;
  bool fits = true;
  for (std::uint64_t i = 0; i < count && fits; ++i) {
    std::uint64_t key = 0;
    std::memcpy(&key, keys + i * 8, 8);
    fits = key != 0 && distances[i] <= kLargestStoredDistance && Insert(key, distances[i]);
  }
  // The solved position, and nothing else, lies at distance 0.
  if (fits) fits = Find(Hash(m_goal)) == 0;
  if (!fits) {
    ClearTable();
    return false;
  }
  m_completeDepth = complete;
  m_whole = whole == 1;
  return true;
}

int CStateSpace::LookUp(const std::vector<int>& colours) const {
  return Find(Hash(Canonical(Masked(colours))));
}

int CStateSpace::Bound(const State& s) const {
  const int d = Find(Hash(s));
  if (d >= 0) return d;
  return m_whole ? 1000 : m_completeDepth + 1;
}

bool CStateSpace::ColoursFit(const std::vector<int>& colours) const {
  if (static_cast<int>(colours.size()) != m_n) return false;
  std::vector<int> have(256, 0), want(256, 0);
  for (int i = 0; i < m_n; ++i) {
    if (colours[i] < 0 || colours[i] > 254 || m_shape.solved[i] < 0 || m_shape.solved[i] > 254) return false;
    ++have[colours[i]];
    ++want[m_shape.solved[i]];
  }
  if (m_shape.anyColours) {
    std::sort(have.begin(), have.end());
    std::sort(want.begin(), want.end());
  }
  return have == want;
}

int CStateSpace::Search(State& s, int g, int bound, int last, int repeat, std::vector<int>& path, int& next,
                        const std::atomic<bool>* cancel, long& visited) const {
  const int h = Bound(s);
  if (g + h > bound) {
    next = std::min(next, g + h);
    return 0;
  }
  if (IsGoal(s)) return 1;
  if ((++visited & 1023) == 0 && cancel && cancel->load()) return -1;
  if (visited > kSearchBudget) return -2;
  for (int m = 0; m < static_cast<int>(m_moves.size()); ++m) {
    int run = 1;
    if (last >= 0) {
      if (m_inverse[last] == m && m != last) continue;
      if (m == last) {
        if (repeat >= m_maxRun[m]) continue;
        run = repeat + 1;
      }
    }
    State t = Apply(s, m);
    path.push_back(m);
    const int r = Search(t, g + 1, bound, m, run, path, next, cancel, visited);
    if (r != 0) return r;
    path.pop_back();
  }
  return 0;
}

int CStateSpace::Solve(const std::vector<int>& colours, int maxDepth, const std::atomic<bool>* cancel,
                       Answer& answer) const {
  answer = Answer();
  if (!ColoursFit(colours)) return 0;
  State s = Canonical(Masked(colours));
  std::vector<int> path;
  if (m_whole) {
    int d = Find(Hash(s));
    if (d < 0) return 0;
    // Every position of the table but solved has a neighbour one nearer.
    while (d > 0) {
      bool stepped = false;
      for (int m = 0; m < static_cast<int>(m_moves.size()) && !stepped; ++m) {
        State t = Apply(s, m);
        if (Find(Hash(t)) == d - 1) {
          path.push_back(m);
          s.swap(t);
          --d;
          stepped = true;
        }
      }
      if (!stepped) return 0;
    }
    if (!IsGoal(s)) return 0;
  } else {
    int bound = Bound(s);
    long visited = 0;
    for (;;) {
      if (bound > m_completeDepth + maxDepth) return 0;
      int next = 1 << 30;
      path.clear();
      State start = s;
      const int r = Search(start, 0, bound, -1, 0, path, next, cancel, visited);
      if (r < 0) return r;
      if (r > 0) break;
      if (next == 1 << 30) return 0;
      bound = next;
    }
  }
  for (int m : path) answer.turns.push_back(m_moves[m]);

  // The excluded turns (tips) go last: each is made whichever way puts the whole puzzle right.
  if (!m_excludedTurns.empty()) {
    State full(m_n);
    for (int i = 0; i < m_n; ++i) full[i] = static_cast<std::uint8_t>(colours[i]);
    for (int m : path) {
      State t(m_n);
      for (int i = 0; i < m_n; ++i) t[i] = full[m_gather[m][i]];
      full.swap(t);
    }
    const State goal = Canonical(m_shape.solved.empty() ? State() : [&] {
      State g(m_n);
      for (int i = 0; i < m_n; ++i) g[i] = static_cast<std::uint8_t>(m_shape.solved[i]);
      return g;
    }());
    const int e = static_cast<int>(m_excludedTurns.size());
    int combinations = 1;
    for (int k = 0; k < e; ++k) combinations *= 3;
    int best = -1;
    for (int c = 0; c < combinations && best < 0; ++c) {
      State t = full;
      int code = c;
      for (int k = 0; k < e; ++k, code /= 3) {
        if (code % 3 == 0) continue;
        const std::vector<int>& gather = m_excludedGather[2 * k + (code % 3 == 1 ? 0 : 1)];
        State u(m_n);
        for (int i = 0; i < m_n; ++i) u[i] = t[gather[i]];
        t.swap(u);
      }
      if (Canonical(t) == goal) best = c;
    }
    if (best < 0) return 0;
    for (int k = 0, code = best; k < e; ++k, code /= 3)
      if (code % 3 != 0) answer.turns.push_back(code % 3 == 1 ? m_excludedTurns[k] : -m_excludedTurns[k]);
  }
  answer.length = static_cast<int>(answer.turns.size());
  return 1;
}
