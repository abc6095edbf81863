#include <gyrix/solver/chain.h>

#include <gyrix/solver/cachefile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <random>

namespace {

using cachefile::HashBytes;
using cachefile::Mix;
using cachefile::Put;
using cachefile::Take;

constexpr char kMagic[8] = {'G', 'Y', 'R', 'X', 'C', 'H', 'N', 'W'};
constexpr std::uint32_t kFormatVersion = 1;
// Random elements that must sift through in a row before the chain is taken as complete: the
// chance that a chain still lacks a level is then below 2^-60.
constexpr int kSiftsToTrust = 60;
// Positions the search for an arrangement of identical colours may try before it gives up.
constexpr long kArrangeBudget = 2000000;
// The table of short words used to shorten solutions holds at most this many.
constexpr size_t kShortWordLimit = 150000;
constexpr size_t kLongestWindow = 12;

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

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

CStabiliserChain::CStabiliserChain(const Shape& shape) : m_shape(shape) {
  m_n = static_cast<int>(m_shape.solved.size());
  const int turns = static_cast<int>(m_shape.turns.size());
  m_shape.free.resize(turns, false);
  m_turnOrder.assign(turns, 1);
  for (int k = 0; k < turns; ++k) {
    std::vector<int>& perm = m_shape.turns[k];
    perm.resize(m_n, -1);
    // A turn that is not a permutation of the facelets cannot be a group element: leave it out.
    std::vector<bool> hit(m_n, false);
    bool valid = true;
    for (int i = 0; i < m_n && valid; ++i) {
      if (perm[i] < 0) perm[i] = i;
      valid = perm[i] < m_n && !hit[perm[i]];
      if (valid) hit[perm[i]] = true;
    }
    bool moves = false;
    for (int i = 0; i < m_n && valid; ++i) moves = moves || perm[i] != i;
    if (!valid || !moves) continue;
    m_turnOrder[k] = PermutationOrder(perm);
    Perm positive(m_n), negative(m_n);
    for (int i = 0; i < m_n; ++i) {
      positive[perm[i]] = static_cast<std::uint16_t>(i);  // new[to] = old[i]
      negative[i] = static_cast<std::uint16_t>(perm[i]);
    }
    const int plus = static_cast<int>(m_gather.size());
    m_gather.push_back(positive);
    m_moveTurn.push_back(k + 1);
    m_turnOf.push_back(k);
    if (m_turnOrder[k] > 2) {
      m_gather.push_back(negative);
      m_moveTurn.push_back(-(k + 1));
      m_turnOf.push_back(k);
      m_inverse.push_back(plus + 1);
      m_inverse.push_back(plus);
    } else {
      m_inverse.push_back(plus);
    }
  }
  const int moves = static_cast<int>(m_gather.size());
  m_commute.assign(moves, std::vector<bool>(moves, false));
  for (int a = 0; a < moves; ++a)
    for (int b = 0; b < moves; ++b) m_commute[a][b] = Compose(m_gather[a], m_gather[b]) == Compose(m_gather[b], m_gather[a]);

  // Places are fixed piece by piece: a piece is the facelets the same turns move. Pieces whose
  // colours no other piece of their kind shares come first, so that the search for an
  // arrangement of identical colours branches only at the end, where it is cheap.
  std::vector<std::vector<bool>> movedBy(m_n, std::vector<bool>(moves, false));
  for (int m = 0; m < moves; ++m)
    for (int i = 0; i < m_n; ++i) movedBy[i][m] = m_gather[m][i] != i;
  std::vector<int> pieceOf(m_n, -1);
  std::vector<std::vector<int>> pieces;
  for (int i = 0; i < m_n; ++i) {
    for (size_t p = 0; p < pieces.size() && pieceOf[i] < 0; ++p)
      if (movedBy[pieces[p][0]] == movedBy[i]) pieceOf[i] = static_cast<int>(p);
    if (pieceOf[i] < 0) {
      pieceOf[i] = static_cast<int>(pieces.size());
      pieces.emplace_back();
    }
    pieces[pieceOf[i]].push_back(i);
  }
  auto coloursOf = [&](const std::vector<int>& piece) {
    std::vector<int> c;
    for (int f : piece) c.push_back(m_shape.solved[f]);
    std::sort(c.begin(), c.end());
    return c;
  };
  std::vector<int> alike(pieces.size(), 0);
  for (size_t p = 0; p < pieces.size(); ++p)
    for (size_t q = 0; q < pieces.size(); ++q)
      if (pieces[p].size() == pieces[q].size() && coloursOf(pieces[p]) == coloursOf(pieces[q])) ++alike[p];
  std::vector<int> order(pieces.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    if ((alike[a] > 1) != (alike[b] > 1)) return alike[a] < alike[b];
    return pieces[a].size() > pieces[b].size();
  });
  for (int p : order)
    for (int f : pieces[p]) m_preferred.push_back(f);
  for (int i = 0; i < m_n; ++i) {
    bool fixed = true;
    for (int m = 0; m < moves && fixed; ++m) fixed = !movedBy[i][m];
    if (fixed) m_fixedByAll.push_back(i);
  }
}

CStabiliserChain::Perm CStabiliserChain::Compose(const Perm& a, const Perm& b) const {
  Perm out(b.size());
  for (size_t p = 0; p < b.size(); ++p) out[p] = a[b[p]];
  return out;
}

CStabiliserChain::Perm CStabiliserChain::Invert(const Perm& a) {
  Perm out(a.size());
  for (size_t p = 0; p < a.size(); ++p) out[a[p]] = static_cast<std::uint16_t>(p);
  return out;
}

CStabiliserChain::Perm CStabiliserChain::PermOf(const Word& word) const {
  Perm out(m_n);
  std::iota(out.begin(), out.end(), 0);
  for (std::int16_t m : word) out = Compose(out, m_gather[m]);
  return out;
}

CStabiliserChain::Word CStabiliserChain::Inverse(const Word& word) const {
  Word out(word.rbegin(), word.rend());
  for (std::int16_t& m : out) m = static_cast<std::int16_t>(m_inverse[m]);
  return out;
}

// Runs of one turn are merged into the fewest quarter steps (a turn three times forward is
// once back), and a turn next to its inverse cancels.
CStabiliserChain::Word CStabiliserChain::Reduced(const Word& word) const {
  std::vector<std::pair<int, int>> runs;  // (search move of the turn made forward, power)
  for (std::int16_t m : word) {
    const int turn = m_turnOf[m];
    const int order = m_turnOrder[turn];
    const bool forward = m_moveTurn[m] > 0;
    const int plus = forward ? m : m_inverse[m];
    const int step = forward ? 1 : order - 1;
    if (!runs.empty() && runs.back().first == plus) {
      runs.back().second = (runs.back().second + step) % order;
      if (runs.back().second == 0) runs.pop_back();
    } else {
      runs.emplace_back(plus, step);
    }
  }
  Word out;
  for (const auto& [plus, power] : runs) {
    const int order = m_turnOrder[m_turnOf[plus]];
    const int back = m_inverse[plus];
    if (power <= order / 2 || back == plus)
      out.insert(out.end(), power, static_cast<std::int16_t>(plus));
    else
      out.insert(out.end(), order - power, static_cast<std::int16_t>(back));
  }
  return out;
}

int CStabiliserChain::CountedLength(const Word& word) const {
  int length = 0;
  for (std::int16_t m : word)
    if (!m_shape.free[m_turnOf[m]]) ++length;
  return length;
}

std::uint64_t CStabiliserChain::Fingerprint() const {
  std::uint64_t h = HashBytes(reinterpret_cast<const std::uint8_t*>(&m_n), sizeof m_n);
  for (const Perm& g : m_gather) h = HashBytes(reinterpret_cast<const std::uint8_t*>(g.data()), g.size() * 2, h);
  for (int c : m_shape.solved) h = HashBytes(reinterpret_cast<const std::uint8_t*>(&c), sizeof c, h);
  return Mix(h);
}

// Randomised Schreier-Sims: random elements of the group are sifted through the chain found so
// far; one that does not sift through adds a generator (and a level where it moves a place the
// chain does not fix yet) until many in a row sift through.
bool CStabiliserChain::FindChain(const std::atomic<bool>* cancel) {
  struct SLevel {
    int base = 0;
    std::vector<int> where;  // per facelet: index into trans, or -1
    std::vector<Perm> trans;
    std::vector<int> orbit;
  };
  std::vector<SLevel> levels;
  std::vector<Perm> strong;
  auto fixesBases = [&](const Perm& g, size_t count) {
    for (size_t i = 0; i < count; ++i)
      if (g[levels[i].base] != levels[i].base) return false;
    return true;
  };
  auto orbitOf = [&](size_t i) {
    SLevel& level = levels[i];
    level.where.assign(m_n, -1);
    level.trans.clear();
    level.orbit.clear();
    Perm identity(m_n);
    std::iota(identity.begin(), identity.end(), 0);
    level.where[level.base] = 0;
    level.trans.push_back(identity);
    level.orbit.push_back(level.base);
    std::vector<const Perm*> gens;
    for (const Perm& g : strong)
      if (fixesBases(g, i)) gens.push_back(&g);
    for (size_t at = 0; at < level.orbit.size(); ++at) {
      const int point = level.orbit[at];
      for (const Perm* g : gens) {
        const int to = (*g)[point];
        if (level.where[to] >= 0) continue;
        level.where[to] = static_cast<int>(level.trans.size());
        level.trans.push_back(Compose(*g, level.trans[level.where[point]]));
        level.orbit.push_back(to);
      }
    }
  };
  auto isIdentity = [](const Perm& g) {
    for (size_t p = 0; p < g.size(); ++p)
      if (g[p] != p) return false;
    return true;
  };
  // Sifts g; true when it sifts through, else adds what is left as a generator.
  auto siftOrAdd = [&](Perm g) {
    size_t i = 0;
    for (; i < levels.size(); ++i) {
      const int to = g[levels[i].base];
      const int t = levels[i].where[to];
      if (t < 0) break;
      g = Compose(Invert(levels[i].trans[t]), g);
    }
    if (i == levels.size() && isIdentity(g)) return true;
    if (i == levels.size()) {
      SLevel level;
      for (int p : m_preferred)
        if (g[p] != p) {
          level.base = p;
          break;
        }
      levels.push_back(level);
    }
    strong.push_back(g);
    for (size_t j = 0; j <= i; ++j) orbitOf(j);
    return false;
  };

  for (const Perm& g : m_gather) siftOrAdd(g);
  std::mt19937_64 random(Fingerprint());
  std::vector<Perm> pool;
  for (int copy = 0; copy < 2 || pool.size() < 10; ++copy)
    for (const Perm& g : m_gather) pool.push_back(g);
  Perm accumulator = pool.empty() ? Perm() : pool[0];
  auto randomElement = [&]() {
    const size_t a = random() % pool.size();
    size_t b = random() % pool.size();
    if (b == a) b = (b + 1) % pool.size();
    pool[a] = (random() & 1) ? Compose(pool[a], pool[b]) : Compose(pool[b], pool[a]);
    accumulator = Compose(accumulator, pool[a]);
    return accumulator;
  };
  if (!pool.empty()) {
    for (int warm = 0; warm < 60; ++warm) randomElement();
    for (int inARow = 0; inARow < kSiftsToTrust;) {
      if (cancel && cancel->load()) return false;
      inARow = siftOrAdd(randomElement()) ? inARow + 1 : 0;
    }
  }
  m_levels.clear();
  for (SLevel& s : levels) {
    if (s.orbit.size() < 2) continue;
    Level level;
    level.base = s.base;
    level.orbit = s.orbit;
    level.slot.assign(m_n, -1);
    level.entries.resize(s.orbit.size());
    for (size_t k = 0; k < s.orbit.size(); ++k) level.slot[s.orbit[k]] = static_cast<int>(k);
    Entry& home = level.entries[0];
    home.filled = true;
    home.perm.resize(m_n);
    std::iota(home.perm.begin(), home.perm.end(), 0);
    m_levels.push_back(std::move(level));
  }
  FindFixedPlaces();
  return true;
}

// The facelets each level's choice settles: those every element of the next level's
// stabiliser keeps in place that the level's own stabiliser still moves.
void CStabiliserChain::FindFixedPlaces() {
  std::vector<bool> fixed(m_n, false);
  for (int f : m_fixedByAll) fixed[f] = true;
  // The stabiliser below the last level is trivial; a facelet is fixed by the stabiliser of
  // levels 0..i exactly when it lies in no orbit of a later level's group. A facelet moved by
  // G_{i+1} lies in some orbit of it; the orbits of the chain's levels below cover the points
  // G_{i+1} moves only partly, so it is worked out from the words' permutations instead: a
  // facelet is moved by G_{i+1} when some entry of a level > i moves it.
  const size_t count = m_levels.size();
  std::vector<std::vector<bool>> movedBelow(count + 1, std::vector<bool>(m_n, false));
  for (size_t i = count; i-- > 0;) {
    movedBelow[i] = movedBelow[i + 1];
    for (int point : m_levels[i].orbit) movedBelow[i][point] = true;
  }
  for (size_t i = 0; i < count; ++i) {
    m_levels[i].newlyFixed.clear();
    for (int f = 0; f < m_n; ++f)
      if (!fixed[f] && !movedBelow[i + 1][f]) {
        m_levels[i].newlyFixed.push_back(f);
        fixed[f] = true;
      }
  }
}
