#include <gyrix/solver/twophase.h>

#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

namespace {

constexpr int kCubeType = 1;
constexpr int kTwists = 2187;   // 3^7
constexpr int kFlips = 2048;    // 2^11
constexpr int kSlices = 495;    // C(12, 4)
constexpr int kPerm8 = 40320;   // 8!
constexpr int kPerm4 = 24;
constexpr int kMoves = 18;      // face * 3 + power - 1
constexpr int kPhase2Moves = 10;
constexpr std::uint8_t kUnknown = 0xFF;

// The cube as pieces: slot -> piece and orientation. Faces 0..5 are U D R L F B in the solver's
// own naming (U and D one axis, the phase 2 quarter turns; F and B the axis whose facelets mark
// the middle-slice edges' orientation). Edges 8..11 are the middle-slice edges.
struct Cubie {
  std::array<std::uint8_t, 8> cp{}, co{};
  std::array<std::uint8_t, 12> ep{}, eo{};
};

Cubie Identity() {
  Cubie c;
  for (int i = 0; i < 8; ++i) c.cp[i] = static_cast<std::uint8_t>(i);
  for (int i = 0; i < 12; ++i) c.ep[i] = static_cast<std::uint8_t>(i);
  return c;
}

// A turn as pieces: the piece in slot s goes to slot to[s] and its orientation grows by add[s].
struct CubieMove {
  std::array<std::uint8_t, 8> cTo{}, cAdd{};
  std::array<std::uint8_t, 12> eTo{}, eAdd{};
};

Cubie Apply(const Cubie& c, const CubieMove& m) {
  Cubie out;
  for (int s = 0; s < 8; ++s) {
    out.cp[m.cTo[s]] = c.cp[s];
    out.co[m.cTo[s]] = static_cast<std::uint8_t>((c.co[s] + m.cAdd[s]) % 3);
  }
  for (int s = 0; s < 12; ++s) {
    out.ep[m.eTo[s]] = c.ep[s];
    out.eo[m.eTo[s]] = static_cast<std::uint8_t>((c.eo[s] + m.eAdd[s]) & 1);
  }
  return out;
}

int Choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  int r = 1;
  for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
  return r;
}

int TwistOf(const Cubie& c) {
  int t = 0;
  for (int i = 0; i < 7; ++i) t = t * 3 + c.co[i];
  return t;
}
void SetTwist(Cubie& c, int t) {
  int sum = 0;
  for (int i = 6; i >= 0; --i) {
    c.co[i] = static_cast<std::uint8_t>(t % 3);
    sum += t % 3;
    t /= 3;
  }
  c.co[7] = static_cast<std::uint8_t>((3 - sum % 3) % 3);
}
int FlipOf(const Cubie& c) {
  int f = 0;
  for (int i = 0; i < 11; ++i) f = f * 2 + c.eo[i];
  return f;
}
void SetFlip(Cubie& c, int f) {
  int sum = 0;
  for (int i = 10; i >= 0; --i) {
    c.eo[i] = static_cast<std::uint8_t>(f & 1);
    sum += f & 1;
    f >>= 1;
  }
  c.eo[11] = static_cast<std::uint8_t>(sum & 1);
}
// Which four slots hold the middle-slice edges, ranked as a combination (0 when they are home).
int SliceOf(const Cubie& c) {
  int r = 0, k = 4;
  for (int s = 11; s >= 0 && k > 0; --s)
    if (c.ep[s] >= 8) {
      r += Choose(s, k);
      --k;
    }
  return kSlices - 1 - r;
}
void SetSlice(Cubie& c, int rank) {
  int r = kSlices - 1 - rank, k = 4;
  int slice = 8, other = 0;
  std::array<bool, 12> in{};
  for (int s = 11; s >= 0; --s)
    if (k > 0 && r >= Choose(s, k)) {
      r -= Choose(s, k);
      in[s] = true;
      --k;
    }
  for (int s = 0; s < 12; ++s) c.ep[s] = static_cast<std::uint8_t>(in[s] ? slice++ : other++);
}
template <size_t N>
int RankPerm(const std::uint8_t* p) {
  int r = 0;
  for (size_t i = 0; i < N; ++i) {
    int smaller = 0;
    for (size_t j = i + 1; j < N; ++j)
      if (p[j] < p[i]) ++smaller;
    r = r * static_cast<int>(N - i) + smaller;
  }
  return r;
}
template <size_t N>
void UnrankPerm(int r, std::uint8_t* p) {
  std::array<int, N> code{};
  for (int i = static_cast<int>(N) - 1; i >= 0; --i) {
    code[i] = r % static_cast<int>(N - i);
    r /= static_cast<int>(N - i);
  }
  std::array<bool, N> used{};
  for (size_t i = 0; i < N; ++i) {
    int k = code[i];
    for (size_t v = 0; v < N; ++v)
      if (!used[v] && k-- == 0) {
        p[i] = static_cast<std::uint8_t>(v);
        used[v] = true;
        break;
      }
  }
}
int SlicePermOf(const Cubie& c) {
  std::uint8_t p[4];
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(c.ep[8 + i] - 8);
  return RankPerm<4>(p);
}
int PermParity(const std::uint8_t* p, int n) {
  int inversions = 0;
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j)
      if (p[j] < p[i]) ++inversions;
  return inversions & 1;
}

// The game's cube, read from its turns.
struct Geometry {
  std::array<int, 6> turn{};         // the game's turn number of each face's quarter turn
  std::array<int, 6> centre{};       // facelet id of each face's centre
  std::array<int, 6> faceColour{};   // solved colour of each face
  std::array<std::array<int, 3>, 8> corner{};  // facelet ids by slot, index 0 on U or D, then cyclic
  std::array<std::array<int, 2>, 12> edge{};   // index 0 on U or D, else on F or B
  std::array<std::array<int, 3>, 8> cornerColour{};
  std::array<std::array<int, 2>, 12> edgeColour{};
  std::vector<std::vector<int>> perm;  // the face turns' facelet permutations, by face
  int facelets = 0;
};

bool ReadGeometry(Geometry& g) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(kCubeType));
  if (!p || p->GetTypeId() != kCubeType) return false;
  const int n = p->GetMoveMaskLength();
  if (n != 54) return false;
  g.facelets = n;
  std::vector<int> solved(n);
  for (int id = 0; id < n; ++id) solved[id] = p->GetFaceletColour(id);
  // Face turns: a quarter turn of one layer moves its 8 facelets and the 12 beside them.
  std::vector<int> faceTurns;
  std::vector<std::vector<int>> perms;
  for (int k = 0; k < p->GetMoveCount(); ++k) {
    const CMove* m = p->GetMove(k);
    if (m->GetLength() != n) continue;
    std::vector<int> perm(n);
    int moved = 0;
    for (int i = 0; i < n; ++i) {
      perm[i] = m->GetEntry(i);
      if (perm[i] < 0 || perm[i] >= n) return false;
      if (perm[i] != i) ++moved;
    }
    if (moved != 20) continue;
    faceTurns.push_back(k + 1);
    perms.push_back(perm);
  }
  if (faceTurns.size() != 6) return false;
  auto disjoint = [&](int a, int b) {
    for (int i = 0; i < n; ++i)
      if (perms[a][i] != i && perms[b][i] != i) return false;
    return true;
  };
  // Axes: opposite faces move no facelet in common. U/D is the first face turn's axis, F/B the
  // next one.
  std::array<int, 6> order{};
  std::vector<bool> taken(6, false);
  int placed = 0;
  for (int a = 0; a < 6 && placed < 6; ++a) {
    if (taken[a]) continue;
    int b = -1;
    for (int c = a + 1; c < 6; ++c)
      if (!taken[c] && disjoint(a, c)) b = c;
    if (b < 0) return false;
    taken[a] = taken[b] = true;
    order[placed++] = a;
    order[placed++] = b;
  }
  // order: U D, then F B, then R L; store as U D R L F B.
  const std::array<int, 6> byFace = {order[0], order[1], order[4], order[5], order[2], order[3]};
  for (int f = 0; f < 6; ++f) {
    g.turn[f] = faceTurns[byFace[f]];
    g.perm.push_back(perms[byFace[f]]);
  }
  // A face's colour: the one 8 of its turn's facelets share; its centre: the facelet of that
  // colour no face turn moves.
  std::vector<int> movedBy(n, 0);
  for (int f = 0; f < 6; ++f)
    for (int i = 0; i < n; ++i)
      if (g.perm[f][i] != i) movedBy[i] |= 1 << f;
  for (int f = 0; f < 6; ++f) {
    std::vector<int> count(256, 0);
    for (int i = 0; i < n; ++i)
      if (g.perm[f][i] != i && solved[i] >= 0 && solved[i] < 256) ++count[solved[i]];
    const int colour = static_cast<int>(std::max_element(count.begin(), count.end()) - count.begin());
    if (count[colour] != 8) return false;
    g.faceColour[f] = colour;
    g.centre[f] = -1;
    for (int i = 0; i < n; ++i)
      if (movedBy[i] == 0 && solved[i] == colour) g.centre[f] = i;
    if (g.centre[f] < 0) return false;
  }
  auto faceOf = [&](int id) {
    for (int f = 0; f < 6; ++f)
      if (solved[id] == g.faceColour[f]) return f;
    return -1;
  };
  // Pieces: facelets moved by the same face turns.
  std::vector<std::vector<int>> corners, edges;
  std::vector<bool> grouped(n, false);
  for (int i = 0; i < n; ++i) {
    if (grouped[i] || movedBy[i] == 0) continue;
    std::vector<int> piece;
    for (int j = i; j < n; ++j)
      if (movedBy[j] == movedBy[i]) {
        piece.push_back(j);
        grouped[j] = true;
      }
    const int faces = __builtin_popcount(static_cast<unsigned>(movedBy[i]));
    if (faces == 3 && piece.size() == 3)
      corners.push_back(piece);
    else if (faces == 2 && piece.size() == 2)
      edges.push_back(piece);
    else
      return false;
  }
  if (corners.size() != 8 || edges.size() != 12) return false;
  for (const auto& c : corners)
    for (int id : c)
      if (faceOf(id) < 0 || (movedBy[id] >> faceOf(id) & 1) == 0) return false;
  // Corners in a cyclic order carried from the first corner by the face turns, which turn the
  // cube and so keep the order's sense.
  std::vector<int> slotOf(n, -1), indexOf(n, -1);
  for (int s = 0; s < 8; ++s)
    for (int id : corners[s]) slotOf[id] = s;
  auto rotateToUD = [&](std::array<int, 3> t) {
    for (int r = 0; r < 3; ++r) {
      if (faceOf(t[0]) <= 1) return t;
      t = {t[1], t[2], t[0]};
    }
    return std::array<int, 3>{-1, -1, -1};
  };
  std::vector<bool> done(8, false);
  {
    const std::array<int, 3> first = rotateToUD({corners[0][0], corners[0][1], corners[0][2]});
    if (first[0] < 0) return false;
    g.corner[0] = first;
    done[0] = true;
  }
  for (bool grew = true; grew;) {
    grew = false;
    for (int s = 0; s < 8; ++s) {
      if (!done[s]) continue;
      for (int f = 0; f < 6; ++f) {
        const auto& t = g.corner[s];
        std::array<int, 3> image = rotateToUD({g.perm[f][t[0]], g.perm[f][t[1]], g.perm[f][t[2]]});
        if (image[0] < 0) return false;
        const int to = slotOf[image[0]];
        if (to < 0 || slotOf[image[1]] != to || slotOf[image[2]] != to) return false;
        if (!done[to]) {
          g.corner[to] = image;
          done[to] = true;
          grew = true;
        } else if (g.corner[to] != image) {
          return false;
        }
      }
    }
  }
  if (std::find(done.begin(), done.end(), false) != done.end()) return false;
  // Edges: those of the U and D layers first, then the middle slice's four.
  std::vector<std::array<int, 2>> layer, slice;
  for (const auto& e : edges) {
    std::array<int, 2> t = {e[0], e[1]};
    const int f0 = faceOf(t[0]), f1 = faceOf(t[1]);
    if (f0 < 0 || f1 < 0) return false;
    if (f0 <= 1 || f1 <= 1) {
      if (f0 > 1) std::swap(t[0], t[1]);
      layer.push_back(t);
    } else {
      if (f0 < 4) std::swap(t[0], t[1]);
      slice.push_back(t);
    }
  }
  if (layer.size() != 8 || slice.size() != 4) return false;
  for (int s = 0; s < 8; ++s) g.edge[s] = layer[s];
  for (int s = 0; s < 4; ++s) g.edge[8 + s] = slice[s];
  for (int s = 0; s < 8; ++s)
    for (int k = 0; k < 3; ++k) g.cornerColour[s][k] = solved[g.corner[s][k]];
  for (int s = 0; s < 12; ++s)
    for (int k = 0; k < 2; ++k) g.edgeColour[s][k] = solved[g.edge[s][k]];
  return true;
}

// A facelet permutation (colour of i goes to perm[i]) as pieces; false when it does not move
// pieces whole.
bool MoveOf(const Geometry& g, const std::vector<int>& perm, CubieMove& m) {
  std::vector<int> cSlot(g.facelets, -1), cIndex(g.facelets, -1), eSlot(g.facelets, -1), eIndex(g.facelets, -1);
  for (int s = 0; s < 8; ++s)
    for (int k = 0; k < 3; ++k) {
      cSlot[g.corner[s][k]] = s;
      cIndex[g.corner[s][k]] = k;
    }
  for (int s = 0; s < 12; ++s)
    for (int k = 0; k < 2; ++k) {
      eSlot[g.edge[s][k]] = s;
      eIndex[g.edge[s][k]] = k;
    }
  for (int s = 0; s < 8; ++s) {
    const int to = cSlot[perm[g.corner[s][0]]];
    const int add = cIndex[perm[g.corner[s][0]]];
    if (to < 0) return false;
    for (int k = 0; k < 3; ++k) {
      const int id = perm[g.corner[s][k]];
      if (cSlot[id] != to || cIndex[id] != (k + add) % 3) return false;
    }
    m.cTo[s] = static_cast<std::uint8_t>(to);
    m.cAdd[s] = static_cast<std::uint8_t>(add);
  }
  for (int s = 0; s < 12; ++s) {
    const int to = eSlot[perm[g.edge[s][0]]];
    const int add = eIndex[perm[g.edge[s][0]]];
    if (to < 0) return false;
    for (int k = 0; k < 2; ++k) {
      const int id = perm[g.edge[s][k]];
      if (eSlot[id] != to || eIndex[id] != (k + add) % 2) return false;
    }
    m.eTo[s] = static_cast<std::uint8_t>(to);
    m.eAdd[s] = static_cast<std::uint8_t>(add);
  }
  return true;
}

CubieMove Compose(const CubieMove& a, const CubieMove& b) {  // a, then b
  CubieMove m;
  for (int s = 0; s < 8; ++s) {
    m.cTo[s] = b.cTo[a.cTo[s]];
    m.cAdd[s] = static_cast<std::uint8_t>((a.cAdd[s] + b.cAdd[a.cTo[s]]) % 3);
  }
  for (int s = 0; s < 12; ++s) {
    m.eTo[s] = b.eTo[a.eTo[s]];
    m.eAdd[s] = static_cast<std::uint8_t>((a.eAdd[s] + b.eAdd[a.eTo[s]]) & 1);
  }
  return m;
}

// Phase 2 turns: U and D any way, the other faces by half turns.
constexpr int kPhase2[kPhase2Moves] = {0, 1, 2, 3, 4, 5, 7, 10, 13, 16};

struct Tables {
  bool ok = false;
  Geometry geo;
  std::array<CubieMove, kMoves> move{};
  std::vector<std::uint16_t> twistMove, flipMove, sliceMove;  // [coord * 18 + move]
  std::vector<std::uint16_t> cornerMove, edgeMove, slicePermMove;  // [coord * 10 + phase 2 move]
  std::vector<std::uint8_t> twistSlice, flipSlice;  // phase 1 distances
  std::vector<std::uint8_t> cornerSlice, edgeSlice;  // phase 2 distances
  double seconds = 0;
  long bytes = 0;
};

template <class Next>
void Distances(std::vector<std::uint8_t>& table, int size, int moves, Next next) {
  table.assign(size, kUnknown);
  table[0] = 0;
  int filled = 1;
  for (std::uint8_t depth = 0; filled < size; ++depth) {
    int added = 0;
    for (int i = 0; i < size; ++i) {
      if (table[i] != depth) continue;
      for (int m = 0; m < moves; ++m) {
        const int j = next(i, m);
        if (table[j] == kUnknown) {
          table[j] = static_cast<std::uint8_t>(depth + 1);
          ++added;
        }
      }
    }
    if (added == 0) break;
    filled += added;
  }
}

void Build(Tables& t) {
  const auto start = std::chrono::steady_clock::now();
  if (!ReadGeometry(t.geo)) return;
  for (int f = 0; f < 6; ++f) {
    CubieMove quarter;
    if (!MoveOf(t.geo, t.geo.perm[f], quarter)) return;
    t.move[f * 3] = quarter;
    t.move[f * 3 + 1] = Compose(quarter, quarter);
    t.move[f * 3 + 2] = Compose(t.move[f * 3 + 1], quarter);
  }
  t.twistMove.resize(kTwists * kMoves);
  t.flipMove.resize(kFlips * kMoves);
  t.sliceMove.resize(kSlices * kMoves);
  for (int i = 0; i < kTwists; ++i) {
    Cubie c = Identity();
    SetTwist(c, i);
    for (int m = 0; m < kMoves; ++m) t.twistMove[i * kMoves + m] = static_cast<std::uint16_t>(TwistOf(Apply(c, t.move[m])));
  }
  for (int i = 0; i < kFlips; ++i) {
    Cubie c = Identity();
    SetFlip(c, i);
    for (int m = 0; m < kMoves; ++m) t.flipMove[i * kMoves + m] = static_cast<std::uint16_t>(FlipOf(Apply(c, t.move[m])));
  }
  for (int i = 0; i < kSlices; ++i) {
    Cubie c = Identity();
    SetSlice(c, i);
    for (int m = 0; m < kMoves; ++m) t.sliceMove[i * kMoves + m] = static_cast<std::uint16_t>(SliceOf(Apply(c, t.move[m])));
  }
  t.cornerMove.resize(kPerm8 * kPhase2Moves);
  t.edgeMove.resize(kPerm8 * kPhase2Moves);
  t.slicePermMove.resize(kPerm4 * kPhase2Moves);
  for (int i = 0; i < kPerm8; ++i) {
    Cubie c = Identity();
    UnrankPerm<8>(i, c.cp.data());
    UnrankPerm<8>(i, c.ep.data());
    for (int k = 0; k < kPhase2Moves; ++k) {
      const Cubie d = Apply(c, t.move[kPhase2[k]]);
      t.cornerMove[i * kPhase2Moves + k] = static_cast<std::uint16_t>(RankPerm<8>(d.cp.data()));
      t.edgeMove[i * kPhase2Moves + k] = static_cast<std::uint16_t>(RankPerm<8>(d.ep.data()));
    }
  }
  for (int i = 0; i < kPerm4; ++i) {
    Cubie c = Identity();
    std::uint8_t p[4] = {0, 1, 2, 3};
    UnrankPerm<4>(i, p);
    for (int k = 0; k < 4; ++k) c.ep[8 + k] = static_cast<std::uint8_t>(8 + p[k]);
    for (int k = 0; k < kPhase2Moves; ++k)
      t.slicePermMove[i * kPhase2Moves + k] = static_cast<std::uint16_t>(SlicePermOf(Apply(c, t.move[kPhase2[k]])));
  }
  // Solved is coordinate 0 everywhere; the tables hold distances from it.
  Distances(t.twistSlice, kTwists * kSlices, kMoves, [&](int i, int m) {
    return t.twistMove[(i / kSlices) * kMoves + m] * kSlices + t.sliceMove[(i % kSlices) * kMoves + m];
  });
  Distances(t.flipSlice, kFlips * kSlices, kMoves, [&](int i, int m) {
    return t.flipMove[(i / kSlices) * kMoves + m] * kSlices + t.sliceMove[(i % kSlices) * kMoves + m];
  });
  Distances(t.cornerSlice, kPerm8 * kPerm4, kPhase2Moves, [&](int i, int m) {
    return t.cornerMove[(i / kPerm4) * kPhase2Moves + m] * kPerm4 + t.slicePermMove[(i % kPerm4) * kPhase2Moves + m];
  });
  Distances(t.edgeSlice, kPerm8 * kPerm4, kPhase2Moves, [&](int i, int m) {
    return t.edgeMove[(i / kPerm4) * kPhase2Moves + m] * kPerm4 + t.slicePermMove[(i % kPerm4) * kPhase2Moves + m];
  });
  t.bytes = static_cast<long>(2 * (t.twistMove.size() + t.flipMove.size() + t.sliceMove.size() + t.cornerMove.size() +
                                   t.edgeMove.size() + t.slicePermMove.size()) +
                              t.twistSlice.size() + t.flipSlice.size() + t.cornerSlice.size() + t.edgeSlice.size());
  t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  t.ok = true;
}

const Tables& GetTables() {
  static Tables tables;
  static std::once_flag once;
  std::call_once(once, [] { Build(tables); });
  return tables;
}

// Colours as pieces, after renaming colours by the centres (the cube may have been turned
// whole); false when the colours are no cube's.
bool ReadCubie(const Geometry& g, const std::vector<int>& colours, Cubie& c, std::vector<int>& renamed) {
  if (static_cast<int>(colours.size()) < g.facelets) return false;
  std::vector<std::pair<int, int>> rename;  // colour on a centre -> that face's solved colour
  for (int f = 0; f < 6; ++f) {
    const int x = colours[g.centre[f]];
    for (const auto& r : rename)
      if (r.first == x) return false;
    rename.emplace_back(x, g.faceColour[f]);
  }
  renamed.assign(g.facelets, -1);
  for (int i = 0; i < g.facelets; ++i) {
    for (const auto& r : rename)
      if (r.first == colours[i]) renamed[i] = r.second;
    if (renamed[i] < 0) return false;
  }
  std::array<bool, 8> cUsed{};
  for (int s = 0; s < 8; ++s) {
    int piece = -1, twist = -1;
    for (int p = 0; p < 8 && piece < 0; ++p)
      for (int o = 0; o < 3; ++o) {
        bool fits = true;
        for (int k = 0; k < 3; ++k)
          if (renamed[g.corner[s][(o + k) % 3]] != g.cornerColour[p][k]) fits = false;
        if (fits) {
          piece = p;
          twist = o;
          break;
        }
      }
    if (piece < 0 || cUsed[piece]) return false;
    cUsed[piece] = true;
    c.cp[s] = static_cast<std::uint8_t>(piece);
    c.co[s] = static_cast<std::uint8_t>(twist);
  }
  std::array<bool, 12> eUsed{};
  for (int s = 0; s < 12; ++s) {
    int piece = -1, flip = -1;
    for (int p = 0; p < 12 && piece < 0; ++p)
      for (int o = 0; o < 2; ++o)
        if (renamed[g.edge[s][o]] == g.edgeColour[p][0] && renamed[g.edge[s][1 - o]] == g.edgeColour[p][1]) {
          piece = p;
          flip = o;
          break;
        }
    if (piece < 0 || eUsed[piece]) return false;
    eUsed[piece] = true;
    c.ep[s] = static_cast<std::uint8_t>(piece);
    c.eo[s] = static_cast<std::uint8_t>(flip);
  }
  int twistSum = 0, flipSum = 0;
  for (int s = 0; s < 8; ++s) twistSum += c.co[s];
  for (int s = 0; s < 12; ++s) flipSum += c.eo[s];
  if (twistSum % 3 != 0 || flipSum % 2 != 0) return false;
  return PermParity(c.cp.data(), 8) == PermParity(c.ep.data(), 12);
}

using Clock = std::chrono::steady_clock;

class Search {
 public:
  Search(const Tables& t, const Cubie& start, const CTwoPhaseOptions& o) : m_t(t), m_start(start), m_options(o) {
    m_deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(std::max(o.seconds, 0.0)));
  }

  // 1 found, -3 cancelled.
  int Run() {
    const int twist = TwistOf(m_start), flip = FlipOf(m_start), slice = SliceOf(m_start);
    for (int depth = 0; depth < m_best && !m_stop; ++depth) {
      m_phase1Length = depth;
      Phase1(twist, flip, slice, depth, -1);
      if (m_stop) break;
      // With a solution in hand, a phase 1 as long as it cannot give a shorter one.
      if (!m_found.empty() && TimeUp()) break;
    }
    if (m_cancelled) return kSolveCancelled;
    return 1;
  }
  const std::vector<int>& GetSolution() const { return m_found; }  // moves, face * 3 + power - 1
  bool Found() const { return m_haveSolution; }

 private:
  bool TimeUp() const { return Clock::now() >= m_deadline; }
  bool Poll() {
    if ((++m_nodes & 1023) != 0) return m_stop;
    if (m_options.cancel && m_options.cancel->load()) {
      m_cancelled = true;
      m_stop = true;
    } else if (m_haveSolution && TimeUp()) {
      m_stop = true;
    }
    return m_stop;
  }

  static bool Skip(int face, int last) { return last >= 0 && (face == last || (face / 2 == last / 2 && face < last)); }

  void Phase1(int twist, int flip, int slice, int togo, int last) {
    if (Poll()) return;
    if (togo == 0) {
      if (twist != 0 || flip != 0 || slice != 0) return;
      // A phase 1 ending in a phase 2 turn has a shorter one, searched already.
      if (m_phase1Length > 0 && !(m_path.back() % 3 != 1 && m_path.back() / 3 >= 2)) return;
      StartPhase2(last);
      return;
    }
    for (int face = 0; face < 6; ++face) {
      if (Skip(face, last)) continue;
      for (int power = 0; power < 3; ++power) {
        const int m = face * 3 + power;
        const int tw = m_t.twistMove[twist * kMoves + m];
        const int fl = m_t.flipMove[flip * kMoves + m];
        const int sl = m_t.sliceMove[slice * kMoves + m];
        const int bound = std::max(m_t.twistSlice[tw * kSlices + sl], m_t.flipSlice[fl * kSlices + sl]);
        if (bound >= togo) continue;
        m_path.push_back(m);
        Phase1(tw, fl, sl, togo - 1, face);
        m_path.pop_back();
        if (m_stop) return;
      }
    }
  }

  void StartPhase2(int last) {
    Cubie c = m_start;
    for (int m : m_path) c = Apply(c, m_t.move[m]);
    const int corner = RankPerm<8>(c.cp.data());
    const int edge = RankPerm<8>(c.ep.data());
    const int slice = SlicePermOf(c);
    const int bound = std::max(m_t.cornerSlice[corner * kPerm4 + slice], m_t.edgeSlice[edge * kPerm4 + slice]);
    const int limit = std::min(m_best - 1 - m_phase1Length, 18);
    const size_t phase1 = m_path.size();
    for (int depth = bound; depth <= limit && !m_stop; ++depth) {
      if (Phase2(corner, edge, slice, depth, last)) {
        m_best = m_phase1Length + depth;
        m_found = m_path;
        m_path.resize(phase1);
        m_haveSolution = true;
        if (TimeUp()) m_stop = true;
        return;
      }
    }
  }

  bool Phase2(int corner, int edge, int slice, int togo, int last) {
    if (togo == 0) return corner == 0 && edge == 0 && slice == 0;
    if (Poll()) return false;
    for (int k = 0; k < kPhase2Moves; ++k) {
      const int m = kPhase2[k];
      const int face = m / 3;
      if (Skip(face, last)) continue;
      const int co = m_t.cornerMove[corner * kPhase2Moves + k];
      const int ed = m_t.edgeMove[edge * kPhase2Moves + k];
      const int sl = m_t.slicePermMove[slice * kPhase2Moves + k];
      const int bound = std::max(m_t.cornerSlice[co * kPerm4 + sl], m_t.edgeSlice[ed * kPerm4 + sl]);
      if (bound >= togo) continue;
      m_path.push_back(m);
      if (Phase2(co, ed, sl, togo - 1, face)) return true;  // the path is kept: the caller copies it
      m_path.pop_back();
      if (m_stop) return false;
    }
    return false;
  }

  const Tables& m_t;
  Cubie m_start;
  CTwoPhaseOptions m_options;
  Clock::time_point m_deadline;
  std::vector<int> m_path, m_found;
  int m_best = 40;
  int m_phase1Length = 0;
  long m_nodes = 0;
  bool m_stop = false, m_cancelled = false, m_haveSolution = false;
};

}  // namespace

int SolveCube3TwoPhase(const std::vector<int>& colours, const CTwoPhaseOptions& options, std::vector<int>& turns,
                       int& faceTurns) {
  turns.clear();
  faceTurns = 0;
  const Tables& t = GetTables();
  if (!t.ok) return kSolveUnsupported;
  if (options.cancel && options.cancel->load()) return kSolveCancelled;
  Cubie start;
  std::vector<int> renamed;
  if (!ReadCubie(t.geo, colours, start, renamed)) return kSolveUnsolvable;
  Search search(t, start, options);
  if (search.Run() == kSolveCancelled) return kSolveCancelled;
  if (!search.Found()) return kSolveUnsolvable;
  for (int m : search.GetSolution()) {
    const int turn = t.geo.turn[m / 3];
    const int power = m % 3 + 1;
    if (power == 1) turns.push_back(turn);
    if (power == 2) turns.insert(turns.end(), {turn, turn});
    if (power == 3) turns.push_back(-turn);
    ++faceTurns;
  }
  return kSolveFound;
}

CTwoPhaseTableReport GetTwoPhaseTableReport() {
  const Tables& t = GetTables();
  CTwoPhaseTableReport r;
  r.ok = t.ok;
  r.seconds = t.seconds;
  r.bytes = t.bytes;
  return r;
}
