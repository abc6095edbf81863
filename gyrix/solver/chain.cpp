#include <gyrix/solver/chain.h>

#include <gyrix/solver/cachefile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
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

std::uint64_t KeyOf(const std::vector<std::uint16_t>& p) {
  return Mix(HashBytes(reinterpret_cast<const std::uint8_t*>(p.data()), p.size() * 2)) | 1;
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
  return true;
}

// The facelets each level's choice settles: those every element of the next level's
// stabiliser keeps in place that the level's own stabiliser still moves.
void CStabiliserChain::FindFixedPlaces() {
  std::vector<bool> fixed(m_n, false);
  for (int f : m_fixedByAll) fixed[f] = true;
  // The stabiliser of levels 0..i-1 is the product of the words of levels i and after, so a
  // facelet it moves is one some word of those levels moves.
  const size_t count = m_levels.size();
  std::vector<std::vector<bool>> movedBelow(count + 1, std::vector<bool>(m_n, false));
  for (size_t i = count; i-- > 0;) {
    movedBelow[i] = movedBelow[i + 1];
    for (const Entry& e : m_levels[i].entries)
      for (int f = 0; f < m_n; ++f)
        if (e.filled && e.perm[f] != f) movedBelow[i][f] = true;
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

bool CStabiliserChain::IsComplete() const {
  for (const Level& level : m_levels)
    for (const Entry& e : level.entries)
      if (!e.filled) return false;
  return true;
}

// Sifts an element of the stabiliser of levels below `from`, keeping every word shorter than the
// one a place had. True when it filled a place that had none.
bool CStabiliserChain::SiftWord(Word word, Perm perm, size_t from, size_t longest) {
  for (size_t i = from; i < m_levels.size(); ++i) {
    Level& level = m_levels[i];
    const int to = perm[level.base];
    if (to == level.base) continue;
    const int slot = level.slot[to];
    if (slot < 0) return false;  // not a group element: never happens for words in the turns
    Entry& entry = level.entries[slot];
    if (!entry.filled || word.size() < entry.word.size()) {
      const bool wasEmpty = !entry.filled;
      Entry old = std::move(entry);
      entry.filled = true;
      entry.word = word;
      entry.perm = perm;
      // The inverse brings the place the word came from back to the base: another entry.
      const Perm back = Invert(perm);
      const int backSlot = level.slot[back[level.base]];
      if (backSlot >= 0) {
        Entry& other = level.entries[backSlot];
        if (!other.filled || word.size() < other.word.size()) {
          other.filled = true;
          other.word = Inverse(word);
          other.perm = back;
        }
      }
      if (wasEmpty) return true;
      // What the longer word does beyond the new one is an element of the next stabiliser.
      word = Reduced([&] {
        Word w = Inverse(entry.word);
        w.insert(w.end(), old.word.begin(), old.word.end());
        return w;
      }());
      perm = Compose(back, old.perm);
    } else {
      Word w = Inverse(entry.word);
      w.insert(w.end(), word.begin(), word.end());
      word = Reduced(w);
      perm = Compose(Invert(entry.perm), perm);
    }
    if (word.size() > longest) return false;
  }
  return false;
}

// Words of the turns are sifted: every short word first, then random ones, then products of
// the words each level holds, the length allowed growing while places stay empty.
void CStabiliserChain::FillWords(const std::atomic<bool>* cancel, std::atomic<int>* progress, double seconds) {
  const auto start = std::chrono::steady_clock::now();
  const int moves = static_cast<int>(m_gather.size());
  if (moves == 0) return;
  size_t total = 0;
  for (const Level& level : m_levels) total += level.entries.size();
  auto report = [&] {
    if (!progress) return;
    size_t filled = 0;
    for (const Level& level : m_levels)
      for (const Entry& e : level.entries) filled += e.filled;
    const double byPlaces = total ? 80.0 * filled / total : 80.0;
    const double byTime = std::min(1.0, Seconds(start) / std::max(seconds, 1e-3)) * 19.0;
    progress->store(static_cast<int>(byPlaces + byTime));
  };
  size_t longest = 24 + 2 * m_levels.size();
  // Every reduced word of up to a few turns, as long as there are not too many of them.
  std::vector<std::pair<Word, Perm>> frontier;
  Perm identity(m_n);
  std::iota(identity.begin(), identity.end(), 0);
  frontier.emplace_back(Word(), identity);
  for (int depth = 1; depth <= 6; ++depth) {
    std::vector<std::pair<Word, Perm>> next;
    for (const auto& [word, perm] : frontier) {
      for (int m = 0; m < moves; ++m) {
        if (!word.empty() && (m_inverse[word.back()] == m || (m_turnOf[word.back()] == m_turnOf[m] && word.back() != m)))
          continue;
        Word w = word;
        w.push_back(static_cast<std::int16_t>(m));
        if (Reduced(w).size() != w.size()) continue;
        Perm p = Compose(perm, m_gather[m]);
        SiftWord(w, p, 0, longest);
        next.emplace_back(std::move(w), std::move(p));
      }
      if (cancel && cancel->load()) return;
    }
    frontier.swap(next);
    report();
    if (frontier.size() * moves > 60000) break;
  }
  frontier.clear();
  std::mt19937_64 random(Fingerprint() ^ 0x5EED);
  int quietRounds = 0;
  for (int round = 0;; ++round) {
    if (cancel && cancel->load()) return;
    const bool complete = IsComplete();
    if (complete && Seconds(start) >= seconds) break;
    bool filledAny = false;
    // Random words.
    for (int k = 0; k < 400; ++k) {
      const int length = 1 + static_cast<int>(random() % 16);
      Word w;
      for (int j = 0; j < length; ++j) w.push_back(static_cast<std::int16_t>(random() % moves));
      w = Reduced(w);
      filledAny = SiftWord(w, PermOf(w), 0, longest) || filledAny;
    }
    // Products of a level's words: elements of its stabiliser.
    for (size_t i = 0; i < m_levels.size(); ++i) {
      std::vector<const Entry*> held;
      for (const Entry& e : m_levels[i].entries)
        if (e.filled && !e.word.empty()) held.push_back(&e);
      const size_t pairs = std::min<size_t>(held.size() * held.size(), 400);
      for (size_t k = 0; k < pairs && !held.empty(); ++k) {
        const Entry* a = held[random() % held.size()];
        const Entry* b = held[random() % held.size()];
        Word w = a->word;
        w.insert(w.end(), b->word.begin(), b->word.end());
        filledAny = SiftWord(Reduced(w), Compose(a->perm, b->perm), i, longest) || filledAny;
      }
      if (cancel && cancel->load()) return;
    }
    quietRounds = filledAny ? 0 : quietRounds + 1;
    if (!complete && quietRounds >= 3) {
      longest += longest / 2;
      quietRounds = 0;
    }
    report();
  }
  if (progress) progress->store(100);
}

bool CStabiliserChain::Build(const std::atomic<bool>* cancel, std::atomic<int>* progress, double seconds) {
  if (!FindChain(cancel)) return false;
  FillWords(cancel, progress, seconds);
  if (cancel && cancel->load()) return false;
  FindFixedPlaces();
  BuildShortWords();
  m_ready = IsComplete();
  return m_ready;
}

// A depth-first search over the chain's levels for places whose colours fit: at each level the
// places of the right colour, cheapest word first; a choice stands only while every facelet it
// settles shows the colour it must.
bool CStabiliserChain::Arrange(const std::vector<int>& colours, const std::atomic<bool>* cancel, long& budget,
                               std::vector<int>& chosen) const {
  for (int f : m_fixedByAll)
    if (colours[f] != m_shape.solved[f]) return false;
  const size_t count = m_levels.size();
  chosen.assign(count, -1);
  std::vector<std::vector<int>> candidates(count);
  std::vector<size_t> next(count, 0);
  std::vector<Perm> product(count + 1);
  product[0].resize(m_n);
  std::iota(product[0].begin(), product[0].end(), 0);
  auto candidatesAt = [&](size_t i) {
    const Level& level = m_levels[i];
    std::vector<int> out;
    for (size_t k = 0; k < level.orbit.size(); ++k)
      if (m_shape.solved[product[i][level.orbit[k]]] == colours[level.base]) out.push_back(static_cast<int>(k));
    std::stable_sort(out.begin(), out.end(),
                     [&](int a, int b) { return level.entries[a].word.size() < level.entries[b].word.size(); });
    return out;
  };
  size_t i = 0;
  if (count > 0) candidates[0] = candidatesAt(0);
  while (true) {
    if (i == count) return true;
    if (--budget < 0 || (cancel && (budget & 1023) == 0 && cancel->load())) return false;
    if (next[i] >= candidates[i].size()) {
      if (i == 0) return false;
      next[i] = 0;
      --i;
      continue;
    }
    const int k = candidates[i][next[i]++];
    const Level& level = m_levels[i];
    Perm p = Compose(product[i], level.entries[k].perm);
    bool fits = true;
    for (size_t j = 0; j < level.newlyFixed.size() && fits; ++j) {
      const int f = level.newlyFixed[j];
      fits = m_shape.solved[p[f]] == colours[f];
    }
    if (!fits) continue;
    chosen[i] = k;
    product[i + 1] = std::move(p);
    ++i;
    if (i < count) {
      candidates[i] = candidatesAt(i);
      next[i] = 0;
    }
  }
}

// The position is the product of the chosen words in level order; its solution is the inverse.
CStabiliserChain::Word CStabiliserChain::SolutionOf(const std::vector<int>& chosen) const {
  Word out;
  for (size_t i = m_levels.size(); i-- > 0;) {
    const Word back = Inverse(m_levels[i].entries[chosen[i]].word);
    out.insert(out.end(), back.begin(), back.end());
  }
  return Reduced(out);
}

// A turn merges with an earlier one of the same turn across turns it commutes with.
CStabiliserChain::Word CStabiliserChain::MergeCommuting(const Word& word) const {
  Word out;
  for (std::int16_t m : word) {
    bool merged = false;
    for (size_t j = out.size(); j-- > 0;) {
      if (m_turnOf[out[j]] == m_turnOf[m]) {
        out.insert(out.begin() + static_cast<long>(j) + 1, m);
        merged = true;
        break;
      }
      if (!m_commute[out[j]][m]) break;
    }
    if (!merged) out.push_back(m);
  }
  return Reduced(out);
}

void CStabiliserChain::BuildShortWords() {
  m_shortKeys.clear();
  m_shortWords.clear();
  const int moves = static_cast<int>(m_gather.size());
  size_t capacity = 1;
  while (capacity < 2 * kShortWordLimit) capacity <<= 1;
  m_shortKeys.assign(capacity, 0);
  m_shortIndex.assign(capacity, 0);
  auto insert = [&](const Perm& p, const Word& w) {
    const std::uint64_t key = KeyOf(p);
    for (std::uint64_t at = key & (capacity - 1);; at = (at + 1) & (capacity - 1)) {
      if (m_shortKeys[at] == key) return false;
      if (m_shortKeys[at] == 0) {
        m_shortKeys[at] = key;
        m_shortIndex[at] = static_cast<std::uint32_t>(m_shortWords.size());
        m_shortWords.push_back(w);
        return true;
      }
    }
  };
  std::vector<std::pair<Word, Perm>> frontier;
  Perm identity(m_n);
  std::iota(identity.begin(), identity.end(), 0);
  insert(identity, Word());
  frontier.emplace_back(Word(), identity);
  m_shortDepth = 0;
  for (int depth = 1; depth <= 8 && !frontier.empty(); ++depth) {
    if (m_shortWords.size() + frontier.size() * moves > kShortWordLimit) break;
    std::vector<std::pair<Word, Perm>> next;
    for (const auto& [word, perm] : frontier)
      for (int m = 0; m < moves; ++m) {
        Word w = word;
        w.push_back(static_cast<std::int16_t>(m));
        Perm p = Compose(perm, m_gather[m]);
        if (insert(p, w)) next.emplace_back(std::move(w), std::move(p));
      }
    frontier.swap(next);
    m_shortDepth = depth;
  }
}

// Runs of the solution whose effect a shorter word of the table has are replaced by it.
CStabiliserChain::Word CStabiliserChain::ReplaceRuns(const Word& word) const {
  if (m_shortKeys.empty()) return word;
  const std::uint64_t mask = m_shortKeys.size() - 1;
  auto find = [&](const Perm& p) -> const Word* {
    const std::uint64_t key = KeyOf(p);
    for (std::uint64_t at = key & mask; m_shortKeys[at] != 0; at = (at + 1) & mask)
      if (m_shortKeys[at] == key) {
        const Word& w = m_shortWords[m_shortIndex[at]];
        return PermOf(w) == p ? &w : nullptr;
      }
    return nullptr;
  };
  Word out = word;
  for (size_t i = 0; i < out.size(); ++i) {
    Perm p(m_n);
    std::iota(p.begin(), p.end(), 0);
    size_t bestEnd = i;
    const Word* best = nullptr;
    for (size_t j = i; j < out.size() && j - i < kLongestWindow; ++j) {
      p = Compose(p, m_gather[out[j]]);
      const size_t length = j + 1 - i;
      if (length <= static_cast<size_t>(m_shortDepth) && !best) continue;
      const Word* shorter = find(p);
      if (shorter && shorter->size() < length && (!best || length - shorter->size() > (bestEnd - i) - best->size())) {
        best = shorter;
        bestEnd = j + 1;
      }
    }
    if (best) {
      Word replaced(out.begin(), out.begin() + static_cast<long>(i));
      replaced.insert(replaced.end(), best->begin(), best->end());
      replaced.insert(replaced.end(), out.begin() + static_cast<long>(bestEnd), out.end());
      out = Reduced(replaced);
      i = i > kLongestWindow ? i - kLongestWindow : 0;
      i = i == 0 ? static_cast<size_t>(-1) : i - 1;  // the loop's ++ brings it back
    }
  }
  return out;
}

CStabiliserChain::Word CStabiliserChain::ShortenWord(const Word& word) const {
  Word out = Reduced(word);
  for (int pass = 0; pass < 8; ++pass) {
    const size_t before = out.size();
    out = ReplaceRuns(MergeCommuting(out));
    if (out.size() >= before) break;
  }
  return out;
}

std::vector<int> CStabiliserChain::Shorten(const std::vector<int>& turns) const {
  Word word;
  for (int t : turns) {
    int found = -1;
    for (size_t m = 0; m < m_moveTurn.size() && found < 0; ++m)
      if (m_moveTurn[m] == t) found = static_cast<int>(m);
    // A turn of order two made backwards is the same turn made forwards.
    for (size_t m = 0; m < m_moveTurn.size() && found < 0; ++m)
      if (m_moveTurn[m] == -t && m_inverse[m] == static_cast<int>(m)) found = static_cast<int>(m);
    if (found < 0) return turns;  // a turn the chain does not know: left as it is
    word.push_back(static_cast<std::int16_t>(found));
  }
  std::vector<int> out;
  for (std::int16_t m : ShortenWord(word)) out.push_back(m_moveTurn[m]);
  return out;
}

int CStabiliserChain::Solve(const std::vector<int>& colours, int variants, const std::atomic<bool>* cancel,
                            Answer& answer) const {
  if (!m_ready) return -2;
  if (static_cast<int>(colours.size()) != m_n) return 0;
  std::vector<int> have = colours, want = m_shape.solved;
  std::sort(have.begin(), have.end());
  std::sort(want.begin(), want.end());
  if (have != want) return 0;
  const int moves = static_cast<int>(m_gather.size());
  bool found = false;
  Word best;
  for (int v = 0; v <= std::max(variants, 0); ++v) {
    if (cancel && cancel->load()) return -1;
    // Variant v starts with no turn, then each single turn, then pairs of them.
    Word prefix;
    if (v > 0 && v <= moves) prefix.push_back(static_cast<std::int16_t>(v - 1));
    if (v > moves) {
      const int k = v - moves - 1;
      if (k >= moves * moves) break;
      prefix = {static_cast<std::int16_t>(k / moves), static_cast<std::int16_t>(k % moves)};
      if (Reduced(prefix).size() != 2) continue;
    }
    std::vector<int> turned = colours;
    for (std::int16_t m : prefix) {
      std::vector<int> t(m_n);
      for (int p = 0; p < m_n; ++p) t[p] = turned[m_gather[m][p]];
      turned.swap(t);
    }
    long budget = kArrangeBudget;
    std::vector<int> chosen;
    if (!Arrange(turned, cancel, budget, chosen)) {
      if (cancel && cancel->load()) return -1;
      if (budget < 0) return found ? 1 : -2;
      if (v == 0) return 0;  // every variant is the same position turned: none fits
      continue;
    }
    Word word = prefix;
    const Word rest = SolutionOf(chosen);
    word.insert(word.end(), rest.begin(), rest.end());
    word = ShortenWord(word);
    if (!found || CountedLength(word) < CountedLength(best)) best = word;
    found = true;
  }
  answer.turns.clear();
  for (std::int16_t m : best) answer.turns.push_back(m_moveTurn[m]);
  answer.length = CountedLength(best);
  return 1;
}

CStabiliserChain::Report CStabiliserChain::GetReport() const {
  Report report;
  report.levels = static_cast<int>(m_levels.size());
  double total = 0;
  for (const Level& level : m_levels) {
    report.orderDigits += std::log10(static_cast<double>(level.orbit.size()));
    for (const Entry& e : level.entries) {
      if (!e.filled) continue;
      ++report.entries;
      total += static_cast<double>(e.word.size());
      report.longestWord = std::max(report.longestWord, static_cast<int>(e.word.size()));
    }
  }
  report.meanWordLength = report.entries ? total / report.entries : 0;
  return report;
}

bool CStabiliserChain::Save(const std::string& path) const {
  if (!m_ready) return false;
  std::vector<std::uint8_t> out(sizeof kMagic);
  std::memcpy(out.data(), kMagic, sizeof kMagic);
  Put(out, kFormatVersion);
  Put(out, Fingerprint());
  Put(out, static_cast<std::uint32_t>(m_levels.size()));
  for (const Level& level : m_levels) {
    Put(out, static_cast<std::uint16_t>(level.base));
    Put(out, static_cast<std::uint16_t>(level.orbit.size()));
    for (size_t k = 0; k < level.orbit.size(); ++k) {
      Put(out, static_cast<std::uint16_t>(level.orbit[k]));
      Put(out, static_cast<std::uint16_t>(level.entries[k].word.size()));
      for (std::int16_t m : level.entries[k].word) Put(out, m);
    }
  }
  return cachefile::WriteSealed(path, out);
}

// Every word read must bring its level's base to its place while keeping the earlier bases
// where they are; a file that says otherwise is refused whole.
bool CStabiliserChain::Load(const std::string& path) {
  std::vector<std::uint8_t> in;
  if (!cachefile::ReadSealed(path, 64u << 20, in)) return false;
  if (in.size() < sizeof kMagic || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0) return false;
  size_t at = sizeof kMagic;
  std::uint32_t version = 0, count = 0;
  std::uint64_t fingerprint = 0;
  if (!Take(in, at, version) || !Take(in, at, fingerprint) || !Take(in, at, count)) return false;
  if (version != kFormatVersion || fingerprint != Fingerprint() || count > static_cast<std::uint32_t>(m_n)) return false;
  const int moves = static_cast<int>(m_gather.size());
  std::vector<Level> levels(count);
  std::vector<int> bases;
  for (Level& level : levels) {
    std::uint16_t base = 0, size = 0;
    if (!Take(in, at, base) || !Take(in, at, size) || base >= m_n || size < 2 || size > m_n) return false;
    level.base = base;
    level.slot.assign(m_n, -1);
    for (std::uint16_t k = 0; k < size; ++k) {
      std::uint16_t point = 0, length = 0;
      if (!Take(in, at, point) || !Take(in, at, length) || point >= m_n || level.slot[point] >= 0) return false;
      Entry entry;
      for (std::uint16_t j = 0; j < length; ++j) {
        std::int16_t m = 0;
        if (!Take(in, at, m) || m < 0 || m >= moves) return false;
        entry.word.push_back(m);
      }
      entry.perm = PermOf(entry.word);
      entry.filled = true;
      if (entry.perm[base] != point) return false;
      for (int b : bases)
        if (entry.perm[b] != b) return false;
      level.slot[point] = static_cast<int>(level.orbit.size());
      level.orbit.push_back(point);
      level.entries.push_back(std::move(entry));
    }
    if (level.orbit[0] != base) return false;
    bases.push_back(base);
  }
  if (at != in.size()) return false;
  m_levels = std::move(levels);
  FindFixedPlaces();
  BuildShortWords();
  m_ready = true;
  return true;
}
