#include <gyrix/puzzles/orbix.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <cordak/urand.h>
#include <platform/wnd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <numbers>

namespace {

// The five neighbours of each light, counter-clockwise seen from outside. Everything else
// about the lights (opposites, far groups, the rotations of the sphere) follows from it.
const int kNeighbours[12][5] = {
    {2, 3, 4, 5, 6},   {1, 6, 11, 7, 3}, {4, 1, 2, 7, 8},    {9, 5, 1, 3, 8},
    {10, 6, 1, 4, 9},  {10, 11, 2, 1, 5}, {8, 3, 2, 11, 12}, {4, 3, 7, 12, 9},
    {5, 4, 8, 12, 10}, {5, 9, 12, 11, 6}, {6, 10, 12, 7, 2}, {10, 9, 8, 7, 11}};

const int kOpposite[12] = {12, 9, 10, 11, 7, 8, 5, 6, 2, 3, 4, 1};

// The icosahedron vertex of the shared builder (MakeIcosahedron) under each light: light 1
// on the north pole, 2..6 round it by rising longitude, 7..11 below, each between two of them.
const int kIcosahedronVertex[12] = {0, 1, 2, 3, 4, 5, 10, 9, 8, 7, 11, 6};

// After light 1's north cap and the band, facelets come in runs of 16, one run per light.
const int kRunLights[11] = {12, 6, 2, 3, 4, 5, 11, 7, 8, 9, 10};
constexpr int kFirstRunFacelet = 112;
constexpr int kBandFirst = 16;
constexpr int kBandLast = 111;

// The sphere: 7 rings of 16 between the poles; the caps reach to the first ring.
constexpr int kRings = 7;
constexpr int kRingPoints = 16;
constexpr double kCapAngle = std::numbers::pi / 8;
// A disc's flat triangles dip 2% below the sphere its points lie on; lifted 2.5%, they stay over
// the sphere everywhere and hardly stand out at its edge.
constexpr double kDiscLift = 1.025;

constexpr int kLights = COrbixPuzzle::kLights;

int Bit(int light) { return 1 << (kLights - light); }

bool LitIn(int pattern, int light) { return (pattern & (1 << (kLights - light))) != 0; }

int ToggleNeighbours(int pattern, int light) {
  for (int n : kNeighbours[light - 1]) pattern ^= Bit(n);
  return pattern;
}

int ToggleOthers(int pattern, int light) { return pattern ^ (COrbixPuzzle::kAllLit & ~Bit(light)); }

// The click a player makes on a light: in mode 4 it says which of the two actions it takes.
int ClickOf(int pattern, int mode, int light) {
  return (mode == 4 && !LitIn(pattern, kOpposite[light - 1])) ? light + kLights : light;
}

// Every map of the lights that keeps the neighbours and their counter-clockwise order: the
// 60 rotations. A rotation is fixed by the images of lights 1 and 2; the rest follows round
// each light whose image is known.
std::vector<std::array<int, kLights>> FindRotations() {
  std::vector<std::array<int, kLights>> rotations;
  for (int a = 1; a <= kLights; ++a) {
    for (int j = 0; j < 5; ++j) {
      std::array<int, kLights + 1> image{};
      image[1] = a;
      image[2] = kNeighbours[a - 1][j];
      bool ok = true;
      std::deque<int> open{1, 2};
      while (!open.empty() && ok) {
        const int v = open.front();
        open.pop_front();
        const int* around = kNeighbours[v - 1];
        const int* aroundImage = kNeighbours[image[v] - 1];
        int known = -1;
        for (int i = 0; i < 5 && known < 0; ++i)
          if (image[around[i]]) known = i;
        if (known < 0) continue;
        const int at = static_cast<int>(std::find(aroundImage, aroundImage + 5, image[around[known]]) - aroundImage);
        if (at == 5) {
          ok = false;
          break;
        }
        for (int k = 0; k < 5; ++k) {
          const int from = around[(known + k) % 5];
          const int to = aroundImage[(at + k) % 5];
          if (image[from] == 0) {
            image[from] = to;
            open.push_back(from);
          } else if (image[from] != to) {
            ok = false;
          }
        }
      }
      if (!ok) continue;
      std::array<int, kLights> row{};
      for (int i = 0; i < kLights; ++i) row[i] = image[i + 1] - 1;
      rotations.push_back(row);
    }
  }
  // The fifth of a turn about the axis through lights 1 and 12 that takes light 6 to light 2
  // comes right after the identity.
  const auto fifth = std::find_if(rotations.begin(), rotations.end(),
                                  [](const std::array<int, kLights>& r) { return r[0] == 0 && r[1] == 5; });
  if (fifth != rotations.end()) std::rotate(rotations.begin() + 1, fifth, fifth + 1);
  return rotations;
}

int RotatedValue(int pattern, const std::array<int, kLights>& rotation) {
  int value = 0;
  for (int i = 0; i < kLights; ++i)
    if (LitIn(pattern, rotation[i] + 1)) value |= 1 << (kLights - 1 - i);
  return value;
}

// Clicks needed from every pattern: breadth-first from all lit, backwards along the clicks.
std::vector<int> SearchDistances(int mode) {
  const int count = COrbixPuzzle::kAllLit + 1;
  std::vector<std::vector<int>> from(count);
  for (int pattern = 0; pattern < count; ++pattern)
    for (int light = 1; light <= kLights; ++light) {
      const int next = COrbixPuzzle::ClickPattern(pattern, mode, ClickOf(pattern, mode, light));
      if (next >= 0) from[next].push_back(pattern);
    }
  std::vector<int> distance(count, -1);
  std::deque<int> open{COrbixPuzzle::kAllLit};
  distance[COrbixPuzzle::kAllLit] = 0;
  while (!open.empty()) {
    const int p = open.front();
    open.pop_front();
    for (int q : from[p])
      if (distance[q] < 0) {
        distance[q] = distance[p] + 1;
        open.push_back(q);
      }
  }
  return distance;
}

COrbixPuzzle::CTables BuildTables() {
  COrbixPuzzle::CTables t;
  t.rotations = FindRotations();
  for (int m = 0; m < COrbixPuzzle::kModes; ++m) t.distanceOf[m] = SearchDistances(m + 1);
  std::vector<int> canonical;
  for (int pattern = 0; pattern <= COrbixPuzzle::kAllLit; ++pattern) {
    int best = 0;
    for (const auto& r : t.rotations) best = std::max(best, RotatedValue(pattern, r));
    canonical.push_back(best);
  }
  std::sort(canonical.begin(), canonical.end(), std::greater<int>());
  canonical.erase(std::unique(canonical.begin(), canonical.end()), canonical.end());
  for (int value : canonical) {
    COrbixPuzzle::CTables::CRow row{value, {}};
    for (int m = 0; m < COrbixPuzzle::kModes; ++m) row.distance[m] = t.distanceOf[m][value];
    t.rows.push_back(row);
  }
  for (int part = 0; part < 2; ++part)
    for (const auto& row : t.rows)
      if (row.value != COrbixPuzzle::kAllLit && (row.distance[1] >= 0) == (part == 0))
        t.scrambleList.push_back(row.value);
  return t;
}

bool IsLiveWindow(CWnd* wnd) { return wnd && wnd->GetSafeHwnd(); }

}  // namespace

// ---- tables ----

const COrbixPuzzle::CTables& COrbixPuzzle::Tables() {
  static const CTables tables = BuildTables();
  return tables;
}

int COrbixPuzzle::CanonicalValue(int pattern) {
  int best = 0;
  for (const auto& r : Tables().rotations) best = std::max(best, RotatedValue(pattern & kAllLit, r));
  return best;
}

int COrbixPuzzle::ClickPattern(int pattern, int mode, int move) {
  const int size = std::abs(move);
  if (move == 0 || size > 2 * kLights || (size > kLights && mode != 4) || mode < 1 || mode > kModes) return -1;
  const int light = size > kLights ? size - kLights : size;
  const bool lit = LitIn(pattern, light);
  switch (mode) {
    case 1:
      return ToggleNeighbours(pattern, light);
    case 2:
      return lit ? ToggleNeighbours(pattern, light) : -1;
    case 3: {
      if ((move > 0) == lit) return -1;
      int next = pattern ^ Bit(light);
      for (int far : FarGroup(light)) next ^= Bit(far);
      return next;
    }
    default: {
      if (!lit) return -1;
      // A click that names the other action than the one it takes would be undone wrongly.
      if (move > 0 && ClickOf(pattern, mode, light) != move) return -1;
      const bool others = move > 0 ? !LitIn(pattern, kOpposite[light - 1]) : size > kLights;
      return others ? ToggleOthers(pattern, light) : ToggleNeighbours(pattern, light);
    }
  }
}

const int* COrbixPuzzle::Neighbours(int light) {
  return (light >= 1 && light <= kLights) ? kNeighbours[light - 1] : nullptr;
}

int COrbixPuzzle::Opposite(int light) { return (light >= 1 && light <= kLights) ? kOpposite[light - 1] : 0; }

std::vector<int> COrbixPuzzle::FarGroup(int light) {
  std::vector<int> far;
  const int* near = Neighbours(light);
  if (!near) return far;
  for (int other = 1; other <= kLights; ++other)
    if (other != light && std::find(near, near + 5, other) == near + 5) far.push_back(other);
  return far;
}

int COrbixPuzzle::LightOfFacelet(int id) {
  if (id >= 0 && id < kBandFirst) return 1;
  if (id < kFirstRunFacelet) return 0;
  const int run = (id - kFirstRunFacelet) / kFaceletsPerLight;
  return run < 11 ? kRunLights[run] : 0;
}

int COrbixPuzzle::IcosahedronVertexOf(int light) {
  return (light >= 1 && light <= kLights) ? kIcosahedronVertex[light - 1] : -1;
}

// ---- construction ----

COrbixPuzzle::COrbixPuzzle(int /*argument*/) : CPuzzle(kMaskLength) {
  m_typeId = kTypeId;
  AddSphere();
  AddLightDiscs();
  ApplyTypeLooks(*this, kTypeId);
  ResetColours();
  SetMode(1);
}

void COrbixPuzzle::AddSphere() {
  const double step = 2 * std::numbers::pi / kRingPoints;
  const int north = AddVertex(FixPoint(0, 0, 1));
  for (int r = 0; r < kRings; ++r) {
    const double latitude = (3 - r) * kCapAngle;
    for (int i = 0; i < kRingPoints; ++i)
      AddVertex(FixPoint(std::cos(latitude) * std::cos(i * step), std::cos(latitude) * std::sin(i * step),
                         std::sin(latitude)));
  }
  const int south = AddVertex(FixPoint(0, 0, -1));
  auto ring = [north](int r, int i) { return north + 1 + r * kRingPoints + i % kRingPoints; };
  for (int i = 0; i < kRingPoints; ++i) {
    const int cap[3] = {north, ring(0, i), ring(0, i + 1)};
    AddFacelet(cap, 3);
  }
  for (int r = 0; r + 1 < kRings; ++r)
    for (int i = 0; i < kRingPoints; ++i) {
      const int quad[4] = {ring(r, i), ring(r + 1, i), ring(r + 1, i + 1), ring(r, i + 1)};
      AddFacelet(quad, 4);
    }
  for (int i = 0; i < kRingPoints; ++i) {
    const int cap[3] = {south, ring(kRings - 1, i + 1), ring(kRings - 1, i)};
    AddFacelet(cap, 3);
  }
}

// A disc as wide as the caps round each light off the poles: 16 triangles about its centre,
// counter-clockwise seen from outside, with its points on the sphere lifted by kDiscLift.
void COrbixPuzzle::AddLightDiscs() {
  const CSolid icosahedron = MakeIcosahedron(1.0);
  using V = std::array<double, 3>;
  auto cross = [](const V& a, const V& b) {
    return V{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  auto lifted = [](const V& v) { return FixPoint(v[0] * kDiscLift, v[1] * kDiscLift, v[2] * kDiscLift); };
  for (int run = 1; run < 11; ++run) {
    const V c = icosahedron.vertices[kIcosahedronVertex[kRunLights[run] - 1]];
    V east = cross(V{0, 0, 1}, c);
    const double length = std::sqrt(east[0] * east[0] + east[1] * east[1] + east[2] * east[2]);
    for (double& x : east) x /= length;
    const V north = cross(c, east);
    const int centre = AddVertex(lifted(c));
    for (int i = 0; i < kRingPoints; ++i) {
      const double a = 2 * std::numbers::pi * i / kRingPoints;
      V p;
      for (int k = 0; k < 3; ++k)
        p[k] = std::cos(kCapAngle) * c[k] + std::sin(kCapAngle) * (std::cos(a) * east[k] + std::sin(a) * north[k]);
      AddVertex(lifted(p));
    }
    for (int i = 0; i < kRingPoints; ++i) {
      const int triangle[3] = {centre, centre + 1 + i, centre + 1 + (i + 1) % kRingPoints};
      AddFacelet(triangle, 3);
    }
  }
}

// ---- state and colours ----

int COrbixPuzzle::GetPattern() const {
  int pattern = 0;
  for (int light = 1; light <= kLights; ++light)
    if (m_lit[light - 1]) pattern |= Bit(light);
  return pattern;
}

void COrbixPuzzle::SetPattern(int pattern) {
  for (int light = 1; light <= kLights; ++light) m_lit[light - 1] = LitIn(pattern, light) ? 1 : 0;
  Recolour();
}

void COrbixPuzzle::ShowColours(const int* lit) {
  for (int id = 0; id < kBandFirst; ++id) SetFaceletColour(id, lit[0] ? kLit : kUnlit);
  for (int run = 0; run < 11; ++run) {
    const int colour = lit[kRunLights[run] - 1] ? kLit : kUnlit;
    for (int i = 0; i < kFaceletsPerLight; ++i) SetFaceletColour(kFirstRunFacelet + run * kFaceletsPerLight + i, colour);
  }
}

void COrbixPuzzle::Recolour() { ShowColours(m_lit.data()); }

void COrbixPuzzle::ResetColours() {
  m_lit.fill(1);
  for (int id = kBandFirst; id <= kBandLast; ++id) SetFaceletColour(id, 0);
  Recolour();
}

void COrbixPuzzle::UpdateSolved() { m_solved = GetPattern() == kAllLit; }

int COrbixPuzzle::GetMovesRemaining() const {
  if (m_mode < 1 || m_mode > kModes) return -1;
  const int value = CanonicalValue(GetPattern());
  const auto& rows = Tables().rows;
  // Rows run by falling value.
  const auto row = std::lower_bound(rows.begin(), rows.end(), value,
                                    [](const CTables::CRow& r, int v) { return r.value > v; });
  return (row != rows.end() && row->value == value) ? row->distance[m_mode - 1] : -1;
}

void COrbixPuzzle::GetColourName(CUString& out, int index, BOOL withName) {
  if (withName)
    CPuzzle::GetColourName(out, index, withName);
  else
    out = index == kUnlit ? "Unlit" : "Lit";
}

void COrbixPuzzle::SetTitle(CWnd* wnd) {
  CUString title;
  title.Format("Gyrix - %s (Mode %d) [%d Moves Remaining]", GetName(), m_mode, GetMovesRemaining());
  ShowTitle(wnd, title);
}

int COrbixPuzzle::GetCapabilities() { return kTakesJoystick; }

BOOL COrbixPuzzle::SetMode(int mode) {
  if (mode < 1 || mode > kModes) return 0;
  m_mode = mode;
  Reset();
  return 1;
}

void COrbixPuzzle::Reset() {
  StopCelebration();
  CPuzzle::Reset();
  // The window that shows this puzzle sets its own title after a reset.
  SetTitle(nullptr);
}

void COrbixPuzzle::Scramble() {
  StopCelebration();
  // Only patterns that can be solved in this mode: in mode 4 no click changes all unlit.
  std::vector<int> solvable;
  for (int value : Tables().scrambleList)
    if (Tables().distanceOf[m_mode - 1][value] > 0) solvable.push_back(value);
  if (solvable.empty()) return;
  SetPattern(solvable[DrawRandom(0, static_cast<int>(solvable.size()) - 1)]);
  m_solved = 0;
  BeginScrambledGame();
  // The window that shows this puzzle sets its own title after a scramble.
  SetTitle(nullptr);
}

// ---- clicks ----

int COrbixPuzzle::MoveFromDrag(int fromFacelet, int /*toFacelet*/) {
  const int light = LightOfFacelet(fromFacelet);
  return light == 0 ? 0 : ClickOf(GetPattern(), m_mode, light);
}

std::vector<int> COrbixPuzzle::GetTurningFacelets(int move) {
  std::vector<int> ids;
  const int next = ClickPattern(GetPattern(), m_mode, move);
  if (next < 0) return ids;
  const int switched = next ^ GetPattern();
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const int id = GetFacelet(i)->GetId();
    const int light = LightOfFacelet(id);
    if (light != 0 && (switched & Bit(light))) ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

BOOL COrbixPuzzle::StartMove(CWnd* wnd, int move) {
  if (m_currentMove != 0) return 0;
  const int next = ClickPattern(GetPattern(), m_mode, move);
  if (next < 0) {
    // Playback cannot go on from a click the rules refuse; busy forever it would take no input.
    m_playing = 0;
    return 0;
  }
  SetPattern(next);
  const bool live = IsLiveWindow(wnd);
  if (live) wnd->Invalidate(FALSE);
  UpdateSolved();
  // A loaded scrambled game starts its clock with the first click, keeping its time and history.
  if (!m_clockRunning && !m_solved && m_scramblePending) StartClock(0);
  bool solvedHere = false;
  if (m_solved && m_scramblePending) {
    // The celebration runs on the animation timer as a turn of 11 frames; the puzzle is busy
    // meanwhile, and completing it posts the solved command once (CompleteMove).
    if (live && wnd->SetTimer(kAnimationTimer, kCelebrationInterval)) {
      m_celebrating = 1;
      m_celebrationWnd = wnd;
      m_currentMove = move;
      m_frame = 0;
      m_solved = 0;
    } else {
      m_scramblePending = 0;  // nowhere to celebrate
      solvedHere = true;
    }
  }
  NotifyTurnCompleted(move, solvedHere);
  SetTitle(wnd);
  // Queued clicks are made at once, one after the other, from the first.
  if (m_playing && m_currentMove == 0 && !m_drainingClicks) {
    m_drainingClicks = 1;
    while (m_playing && m_currentMove == 0) PlayNextMove(wnd);
    m_drainingClicks = 0;
  }
  return 1;
}

int COrbixPuzzle::GetMoveFrames(int /*move*/) { return m_celebrating ? kCelebrationSteps : 0; }

void COrbixPuzzle::DrawMoveFrame(CDC* dc, CDib* dib, int /*move*/, int /*angle*/) {
  if (m_celebrating && m_frame < kCelebrationSteps) {
    // A pattern that changes every frame, the same each time: painting draws no random numbers.
    int flashing[kLights];
    for (int i = 0; i < kLights; ++i) flashing[i] = ((m_frame * 7 + i * 5 + (i * i) / 3) >> 1) & 1;
    ShowColours(flashing);
  } else {
    Recolour();
  }
  Draw(dc, dib);
}

// The end of the celebration (the click itself was made when it started).
void COrbixPuzzle::DoMove(int /*move*/, BOOL notify) {
  if (!m_celebrating) return;
  m_celebrating = 0;
  m_celebrationWnd = nullptr;
  Recolour();
  if (notify) UpdateSolved();
}

void COrbixPuzzle::StopCelebration() {
  if (!m_celebrating) return;
  if (IsLiveWindow(m_celebrationWnd)) m_celebrationWnd->KillTimer(kAnimationTimer);
  m_celebrating = 0;
  m_celebrationWnd = nullptr;
  m_currentMove = 0;
  m_frame = 0;
  m_scramblePending = 0;
  Recolour();
  UpdateSolved();
}

BOOL COrbixPuzzle::JoystickTurn(float /*x*/, float /*y*/, float /*z*/, int buttons) {
  if (buttons != 0) return 1;
  // The light at the middle of the view, where the drawing is centred.
  if (!IsViewValid()) UpdateView();
  const int facelet = GetFaceletAt(GetCentre());
  if (facelet < 0) return 1;
  const int move = MoveFromDrag(facelet, facelet);
  // Only a click the rules allow goes into the history, so that undo undoes what happened; it
  // is queued for the caller to play.
  if (move != 0 && ClickPattern(GetPattern(), m_mode, move) >= 0) QueueMoves(&move, 1);
  return 1;
}

// ---- painting and files ----

void COrbixPuzzle::SortFacelets() {
  CUObArray sphere;
  CUObArray lights;
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    f->ComputeBox(kViewVertices);
    (f->GetId() < kSphereFacelets ? sphere : lights).Add(f);
  }
  sphere.Sort(1);
  lights.Sort(1);
  CUObArray& list = FaceletList();
  list.RemoveAll();
  list.Add(sphere);
  list.Add(lights);
  SetOrderValid(1);
}

void COrbixPuzzle::Write(CUBuffer& b) {
  // A save during the celebration stores the puzzle it ends in.
  const int solved = m_solved;
  const int pending = m_scramblePending;
  if (m_celebrating) {
    m_solved = 1;
    m_scramblePending = 0;
    Recolour();
  }
  CPuzzle::Write(b);
  for (int lit : m_lit) b << lit;
  m_solved = solved;
  m_scramblePending = pending;
}

void COrbixPuzzle::Read(CUBuffer& b) {
  StopCelebration();
  CPuzzle::Read(b);
  if (HasReadFailed() || !NeedBytes(b, 4 * kLights)) return;
  std::array<int, kLights> lit{};
  for (int& word : lit) b >> word;
  const bool flags = std::all_of(lit.begin(), lit.end(), [](int w) { return w == 0 || w == 1; });
  if (!flags || m_mode < 1 || m_mode > kModes) {
    MarkReadFailed();
    return;
  }
  m_lit = lit;
  Recolour();
  UpdateSolved();
}
