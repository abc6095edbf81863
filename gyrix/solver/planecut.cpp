#include <gyrix/solver/planecut.h>

#include <gyrix/engine/planecut.h>
#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>

namespace {

// A model of more places than this is no puzzle of ours: something went wrong.
constexpr int kMostPlaces = 20000;

std::uint64_t MixIn(std::uint64_t h, std::uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  h *= 0xBF58476D1CE4E5B9ull;
  return h ^ (h >> 31);
}

// The resting place within half a unit of v, or -1.
int SnapIndex(const std::vector<CFixVector>& places, const CFixVector& v) {
  for (size_t i = 0; i < places.size(); ++i)
    if (v.IsNear(places[i])) return static_cast<int>(i);
  return -1;
}

CFixVector CentroidOf(const std::vector<CFixVector>& corners) {
  std::int64_t sum[3] = {0, 0, 0};
  for (const CFixVector& c : corners) {
    sum[0] += c.x;
    sum[1] += c.y;
    sum[2] += c.z;
  }
  const std::int64_t n = corners.empty() ? 1 : static_cast<std::int64_t>(corners.size());
  return CFixVector::FromRaw(FixWrap(sum[0] / n), FixWrap(sum[1] / n), FixWrap(sum[2] / n));
}

}  // namespace

CPlaneCutModel::CPlaneCutModel(int typeId) : m_typeId(typeId) {
  CPuzzle* made = CreatePuzzle(typeId);
  m_puzzle = dynamic_cast<CPlaneCutPuzzle*>(made);
  if (!m_puzzle || made->GetTypeId() != typeId) {
    delete made;
    m_puzzle = nullptr;
    return;
  }
  m_valid = Build() && FindGoals();
}

CPlaneCutModel::~CPlaneCutModel() { delete m_puzzle; }

int CPlaneCutModel::PlaceOfCorners(std::vector<int> corners) {
  std::sort(corners.begin(), corners.end());
  for (size_t p = 0; p < m_placeCorners.size(); ++p)
    if (m_placeCorners[p] == corners) return static_cast<int>(p);
  m_placeCorners.push_back(corners);
  return static_cast<int>(m_placeCorners.size()) - 1;
}

bool CPlaneCutModel::Build() {
  CPlaneCutPuzzle& p = *m_puzzle;
  p.Reset();
  m_turns = std::min(p.GetMoveCount(), p.GetPlaneCount());
  if (m_turns <= 0 || m_turns > 64) return false;
  const std::vector<CFixVector> resting = p.GetRestingPlaces();
  const int moves = GetMoveCount();

  // The solved facelets, grouped by colour.
  struct Slot {
    int colour;
    int id;
    int place;
  };
  std::vector<Slot> slots;
  for (int i = 0; i < p.GetFaceletCount(); ++i) {
    const CFacelet* f = p.GetFacelet(i);
    std::vector<int> corners;
    for (int v = 0; v < f->GetVertexCount(); ++v) {
      const CFixVector* c = p.GetVertex(f->GetVertexIndex(v), kModelVertices);
      const int at = c ? SnapIndex(resting, *c) : -1;
      if (at < 0) return false;
      corners.push_back(at);
    }
    slots.push_back({f->GetColour(), f->GetId(), PlaceOfCorners(corners)});
  }
  std::sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) {
    return a.colour != b.colour ? a.colour < b.colour : a.place < b.place;
  });
  State solved;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (i == 0 || slots[i].colour != slots[i - 1].colour) m_groupStart.push_back(static_cast<int>(i));
    m_slotFacelet.push_back(slots[i].id);
    solved.push_back(static_cast<std::uint16_t>(slots[i].place));
  }
  m_groupStart.push_back(static_cast<int>(slots.size()));

  // Every place a turn can carry a facelet to, with what each turn does there.
  std::vector<CFixMatrix> rotations(moves);
  for (int m = 0; m < moves; ++m) {
    const int turn = TurnOf(m);
    p.GetMoveRotation(rotations[m], turn, p.GetMoveFrames(turn) * p.GetMoveStep(turn));
  }
  for (size_t at = 0; at < m_placeCorners.size(); ++at) {
    if (m_placeCorners.size() > kMostPlaces) return false;
    std::vector<CFixVector> corners;
    for (int c : m_placeCorners[at]) corners.push_back(resting[c]);
    const CFixVector centre = CentroidOf(corners);
    std::uint64_t blocks = 0;
    std::vector<std::int32_t> next(moves, static_cast<std::int32_t>(at));
    for (int k = 0; k < m_turns; ++k) {
      const CFixPlane& plane = *p.GetPlane(k);
      bool front = false, behind = false;
      for (const CFixVector& c : corners) {
        const std::int64_t value = plane.Value(c);
        front = front || value >= kFixHalf;
        behind = behind || value <= -kFixHalf;
      }
      if ((front && behind) || std::llabs(plane.Value(centre)) < kFixHalf) blocks |= std::uint64_t(1) << k;
      if (!plane.IsInFront(centre)) continue;
      // A turn that would carry the place where no corner rests cannot be made while a
      // facelet lies there: the puzzle refuses such a turn by its cuts.
      std::vector<int> turned[2];
      for (int sign = 0; sign < 2; ++sign)
        for (const CFixVector& c : corners) {
          const int to = SnapIndex(resting, rotations[2 * k + sign].Transform(c));
          if (to >= 0) turned[sign].push_back(to);
        }
      if (turned[0].size() != corners.size() || turned[1].size() != corners.size()) {
        blocks |= std::uint64_t(1) << k;
        continue;
      }
      for (int sign = 0; sign < 2; ++sign) next[2 * k + sign] = PlaceOfCorners(turned[sign]);
    }
    m_blocks.push_back(blocks);
    m_next.insert(m_next.end(), next.begin(), next.end());
  }
  // Each turn's rotation made of the whole puzzle, where it carries every place onto a place.
  for (int m = 0; m < moves; ++m) {
    std::vector<int> perm;
    for (const std::vector<int>& place : m_placeCorners) {
      std::vector<int> turned;
      for (int c : place) {
        const int to = SnapIndex(resting, rotations[m].Transform(resting[c]));
        if (to >= 0) turned.push_back(to);
      }
      std::sort(turned.begin(), turned.end());
      const auto found = std::find(m_placeCorners.begin(), m_placeCorners.end(), turned);
      if (turned.size() != place.size() || found == m_placeCorners.end()) break;
      perm.push_back(static_cast<int>(found - m_placeCorners.begin()));
    }
    if (perm.size() == m_placeCorners.size()) m_wholeRotations.push_back(perm);
  }
  m_goals.assign(1, solved);
  return true;
}

void CPlaneCutModel::Canonicalise(State& s) const {
  // Groups are a few facelets each: insertion sort.
  for (size_t g = 0; g + 1 < m_groupStart.size(); ++g)
    for (int i = m_groupStart[g] + 1; i < m_groupStart[g + 1]; ++i)
      for (int j = i; j > m_groupStart[g] && s[j - 1] > s[j]; --j) std::swap(s[j - 1], s[j]);
}

void CPlaneCutModel::Reduce(State& s) const {
  if (m_symmetries.empty()) return;
  const int groups = static_cast<int>(m_groupStart.size()) - 1;
  State best = s, turned(s.size());
  for (const std::vector<std::uint16_t>& perm : m_symmetries) {
    // Group by group, each sorted as it is made; a turned position already larger is dropped.
    bool less = false, larger = false;
    for (int g = 0; g < groups && !larger; ++g) {
      const int begin = m_groupStart[g], end = m_groupStart[g + 1];
      for (int i = begin; i < end; ++i) {
        std::uint16_t v = perm[s[i]];
        int j = i;
        for (; j > begin && turned[j - 1] > v; --j) turned[j] = turned[j - 1];
        turned[j] = v;
      }
      for (int i = begin; i < end && !less && !larger; ++i) {
        less = turned[i] < best[i];
        larger = turned[i] > best[i];
      }
    }
    if (less && !larger) best.swap(turned);
  }
  s.swap(best);
}

// Whether the whole-puzzle turn carries every turn onto a turn, as a map of places and in the
// places that block it.
bool CPlaneCutModel::CommutesWithTurns(const std::vector<int>& perm) const {
  const int moves = GetMoveCount();
  const int places = GetPlaceCount();
  for (int m = 0; m < moves; ++m) {
    bool matched = false;
    for (int n = 0; n < moves && !matched; ++n) {
      matched = true;
      for (int p = 0; p < places && matched; ++p) {
        const bool blockedHere = (m_blocks[p] >> (m / 2)) & 1;
        const bool blockedThere = (m_blocks[perm[p]] >> (n / 2)) & 1;
        matched = blockedHere == blockedThere && perm[m_next[p * moves + m]] == m_next[perm[p] * moves + n];
      }
    }
    if (!matched) return false;
  }
  return true;
}

bool CPlaneCutModel::IsAllowed(const State& s, int moveIndex) const {
  const std::uint64_t bit = std::uint64_t(1) << (moveIndex / 2);
  for (std::uint16_t place : s)
    if (m_blocks[place] & bit) return false;
  return true;
}

bool CPlaneCutModel::Apply(const State& s, int moveIndex, State& out) const {
  if (moveIndex < 0 || moveIndex >= GetMoveCount() || !IsAllowed(s, moveIndex)) return false;
  out.resize(s.size());
  const int moves = GetMoveCount();
  for (size_t i = 0; i < s.size(); ++i) out[i] = static_cast<std::uint16_t>(m_next[s[i] * moves + moveIndex]);
  Canonicalise(out);
  return true;
}

namespace {

// Every product of the generators (permutations of n places), the identity first; empty when
// there are too many for whole-puzzle turns.
std::vector<std::vector<int>> GroupOf(const std::vector<std::vector<int>>& generators, int n) {
  std::vector<int> identity(n);
  for (int p = 0; p < n; ++p) identity[p] = p;
  std::set<std::vector<int>> group{identity};
  std::vector<std::vector<int>> members{identity};
  for (size_t i = 0; i < members.size(); ++i)
    for (const std::vector<int>& g : generators) {
      std::vector<int> product(n);
      for (int p = 0; p < n; ++p) product[p] = g[members[i][p]];
      if (group.insert(product).second) members.push_back(product);
      if (members.size() > 200) return {};
    }
  return members;
}

}  // namespace

// Solved positions: the one as built turned as a whole by every rotation that the turns' own
// rotations (made of the whole puzzle) and the turn pairs that keep it solved give together.
bool CPlaneCutModel::FindGoals() {
  CPlaneCutPuzzle& p = *m_puzzle;
  const int moves = GetMoveCount();
  const int places = GetPlaceCount();
  std::vector<std::vector<int>> generators = m_wholeRotations;
  for (int a = 0; a < moves; ++a)
    for (int b = -1; b < moves; ++b) {
      p.Reset();
      if (!p.MakeGuardedMove(TurnOf(a)) || (b >= 0 && !p.MakeGuardedMove(TurnOf(b)))) continue;
      p.UpdateSolved();
      if (!p.IsSolved()) continue;
      std::vector<int> perm(places);
      for (int at = 0; at < places; ++at) {
        int to = m_next[at * moves + a];
        if (b >= 0) to = m_next[to * moves + b];
        perm[at] = to;
      }
      std::vector<int> sorted = perm;
      std::sort(sorted.begin(), sorted.end());
      bool bijective = true;
      for (int at = 0; at < places; ++at) bijective = bijective && sorted[at] == at;
      if (bijective) generators.push_back(perm);
    }
  p.Reset();
  const State solved = m_goals[0];
  std::set<State> goals{solved};
  for (const std::vector<int>& g : GroupOf(generators, places)) {
    State s(solved.size());
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<std::uint16_t>(g[solved[i]]);
    Canonicalise(s);
    goals.insert(s);
  }
  m_goals.assign(goals.begin(), goals.end());
  m_resting = p.GetRestingPlaces();
  for (const std::vector<int>& corners : m_placeCorners) {
    std::array<double, 3> sum{0, 0, 0};
    for (int c : corners) {
      double x, y, z;
      m_resting[c].ToDoubles(x, y, z);
      sum[0] += x, sum[1] += y, sum[2] += z;
    }
    m_placeSum.push_back(sum);
  }
  m_groupCentres = GroupMiddles(solved);
  // Reducing by whole-puzzle turns needs the turns to look alike from every orientation.
  std::vector<std::vector<int>> alike;
  for (const std::vector<int>& g : generators)
    if (CommutesWithTurns(g)) alike.push_back(g);
  const std::vector<std::vector<int>> group = GroupOf(alike, places);
  for (size_t i = 1; i < group.size(); ++i) m_symmetries.emplace_back(group[i].begin(), group[i].end());
  return true;
}

namespace {

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

}  // namespace

std::vector<std::array<double, 3>> CPlaneCutModel::GroupMiddles(const State& s) const {
  std::vector<std::array<double, 3>> middles;
  for (size_t g = 0; g + 1 < m_groupStart.size(); ++g) {
    std::array<double, 3> sum{0, 0, 0};
    int count = 0;
    for (int i = m_groupStart[g]; i < m_groupStart[g + 1]; ++i) {
      for (int k = 0; k < 3; ++k) sum[k] += m_placeSum[s[i]][k];
      count += static_cast<int>(m_placeCorners[s[i]].size());
    }
    for (double& v : sum) v /= count > 0 ? count : 1;
    middles.push_back(sum);
  }
  return middles;
}

bool CPlaneCutModel::IsSolvedByThePuzzle(const State& s) const {
  const int groups = static_cast<int>(m_groupStart.size()) - 1;
  const std::vector<std::array<double, 3>> centres = GroupMiddles(s);
  // Turned as a whole, the colours' middles keep their distances from the centre and apart.
  constexpr double kSame = 0.05;
  const std::array<double, 3> origin{0, 0, 0};
  for (int g = 0; g < groups; ++g) {
    if (std::abs(Distance(centres[g], origin) - Distance(m_groupCentres[g], origin)) > kSame) return false;
    for (int h = g + 1; h < groups; ++h)
      if (std::abs(Distance(centres[g], centres[h]) - Distance(m_groupCentres[g], m_groupCentres[h])) > kSame) return false;
  }
  for (size_t i = 0; i < s.size(); ++i) {
    CFacelet* f = m_puzzle->GetFaceletById(m_slotFacelet[i]);
    const std::vector<int>& corners = m_placeCorners[s[i]];
    if (!f || f->GetVertexCount() != static_cast<int>(corners.size())) return false;
    for (int v = 0; v < f->GetVertexCount(); ++v) *m_puzzle->GetVertex(f->GetVertexIndex(v), kModelVertices) = m_resting[corners[v]];
  }
  m_puzzle->UpdateSolved();
  const bool solved = m_puzzle->IsSolved();
  m_puzzle->Reset();
  return solved;
}

bool CPlaneCutModel::IsGoal(const State& s) const { return std::binary_search(m_goals.begin(), m_goals.end(), s); }

CPositionSnapshot TakePositionSnapshot(const CPuzzle& puzzle) {
  CPositionSnapshot snapshot;
  snapshot.typeId = puzzle.GetTypeId();
  snapshot.mode = puzzle.GetMode();
  for (int id = 0; id < puzzle.GetMoveMaskLength(); ++id) snapshot.colours.push_back(puzzle.GetFaceletColour(id));
  if (!dynamic_cast<const CPlaneCutPuzzle*>(&puzzle)) return snapshot;
  for (int i = 0; i < puzzle.GetFaceletCount(); ++i) {
    const CFacelet* f = puzzle.GetFacelet(i);
    CPositionSnapshot::Facelet copy;
    copy.colour = f->GetColour();
    for (int v = 0; v < f->GetVertexCount(); ++v) {
      const CFixVector* c = puzzle.GetVertex(f->GetVertexIndex(v), kModelVertices);
      // A corner that is missing lies nowhere a facelet can rest.
      copy.corners.push_back(c ? std::array<int, 3>{c->x, c->y, c->z} : std::array<int, 3>{kFixOne << 12, 0, 0});
    }
    snapshot.facelets.push_back(copy);
  }
  return snapshot;
}

bool CPlaneCutModel::StateOf(const CPositionSnapshot& snapshot, State& out) const {
  if (!m_valid && m_goals.empty()) return false;
  if (snapshot.typeId != m_typeId || snapshot.facelets.size() != m_slotFacelet.size()) return false;
  const std::vector<CFixVector> resting = m_puzzle->GetRestingPlaces();
  std::vector<std::pair<int, int>> seen;  // colour, place
  for (const CPositionSnapshot::Facelet& f : snapshot.facelets) {
    std::vector<int> corners;
    for (const std::array<int, 3>& c : f.corners) {
      const int at = SnapIndex(resting, CFixVector::FromRaw(c[0], c[1], c[2]));
      if (at < 0) return false;
      corners.push_back(at);
    }
    std::sort(corners.begin(), corners.end());
    const auto found = std::find(m_placeCorners.begin(), m_placeCorners.end(), corners);
    if (found == m_placeCorners.end()) return false;
    seen.push_back({f.colour, static_cast<int>(found - m_placeCorners.begin())});
  }
  std::sort(seen.begin(), seen.end());
  out.clear();
  std::vector<bool> taken(m_placeCorners.size(), false);
  for (size_t g = 0; g + 1 < m_groupStart.size(); ++g) {
    const int colour = m_puzzle->GetFaceletColour(m_slotFacelet[m_groupStart[g]]);
    for (int slot = m_groupStart[g]; slot < m_groupStart[g + 1]; ++slot) {
      if (seen[slot].first != colour || taken[seen[slot].second]) return false;
      taken[seen[slot].second] = true;
      out.push_back(static_cast<std::uint16_t>(seen[slot].second));
    }
  }
  return true;
}

std::uint64_t CPlaneCutModel::Fingerprint() const {
  std::uint64_t h = MixIn(0x47594D4F44454C31ull, static_cast<std::uint64_t>(m_typeId));
  h = MixIn(h, m_placeCorners.size());
  for (const auto& corners : m_placeCorners)
    for (int c : corners) h = MixIn(h, static_cast<std::uint64_t>(c));
  for (std::int32_t n : m_next) h = MixIn(h, static_cast<std::uint64_t>(n));
  for (std::uint64_t b : m_blocks) h = MixIn(h, b);
  for (const State& g : m_goals)
    for (std::uint16_t v : g) h = MixIn(h, v);
  for (const auto& perm : m_symmetries)
    for (std::uint16_t v : perm) h = MixIn(h, v);
  return h;
}
