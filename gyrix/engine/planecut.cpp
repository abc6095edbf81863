#include <gyrix/engine/planecut.h>

#include <cordak/buffer.h>
#include <cordak/urand.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Accepted turns a scramble makes per turn of the puzzle.
constexpr int kScrambleTurnsPerTurn = 12;
// Random draws per accepted scramble turn before the turns are tried in order; a position
// where every turn is refused ends the scramble instead of drawing forever.
constexpr int kDrawsPerTurn = 8;
// Plane normals of a file beyond this (per component) are damage: no class builds them, and
// the plane value of a far-off corner would no longer fit 64 bits.
constexpr std::int64_t kMaxNormalComponent = std::int64_t(1024) * kFixOne;

struct Vec {
  double x, y, z;
};

Vec ToVec(const CFixVector& v) { return {FixToDouble(v.x), FixToDouble(v.y), FixToDouble(v.z)}; }
Vec Minus(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec CrossOf(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double DotOf(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

bool IsSaneNormal(const CFixVector& n) {
  const bool zero = n.x == 0 && n.y == 0 && n.z == 0;
  return !zero && std::llabs(n.x) <= kMaxNormalComponent && std::llabs(n.y) <= kMaxNormalComponent &&
         std::llabs(n.z) <= kMaxNormalComponent;
}

}  // namespace

CPlaneCutPuzzle::CPlaneCutPuzzle(int maskLength) : CPuzzle(maskLength) {}

CPlaneCutPuzzle::~CPlaneCutPuzzle() = default;

// ---- construction ----

void CPlaneCutPuzzle::AddPlaneMove(int a, int b, int c) {
  AddMove(nullptr, -1);
  auto* plane = new CFixPlane();
  const CFixVector* va = GetVertex(a, kModelVertices);
  const CFixVector* vb = GetVertex(b, kModelVertices);
  const CFixVector* vc = GetVertex(c, kModelVertices);
  if (va && vb && vc) plane->Set(*va, *vb, *vc);
  m_planes.Add(plane);
}

void CPlaneCutPuzzle::SeparateVertices() {
  m_sharedVertexCount = GetVertexCount();
  for (int id = 0; id < GetFaceletCount(); ++id) {
    CFacelet* f = GetFaceletById(id);
    if (!f) continue;
    for (int i = 0; i < f->GetVertexCount(); ++i) {
      const CFixVector* corner = GetVertex(f->GetVertexIndex(i), kModelVertices);
      f->SetVertexIndex(i, AddVertex(corner ? *corner : CFixVector()));
    }
  }
}

BOOL CPlaneCutPuzzle::RemovePrivateVertices() {
  if (m_sharedVertexCount == 0) return 1;
  return RemoveVerticesFrom(m_sharedVertexCount);
}

void CPlaneCutPuzzle::ResetColours() {
  DeleteFacelets();
  RemovePrivateVertices();
  BuildSolvedFacelets();
  SeparateVertices();
  for (int id = 0; id < GetMoveMaskLength(); ++id) SetMoveMask(id, 0);
}

void CPlaneCutPuzzle::Clear() {
  CPuzzle::Clear();
  m_planes.DeleteAll();
}

// ---- which part turns ----

bool CPlaneCutPuzzle::IsTurnInRange(int move) const {
  const int k = TurnIndex(move);
  return move != 0 && k < GetMoveCount() && k < GetPlaneCount();
}

bool CPlaneCutPuzzle::IsFaceletInFront(int k, const CFacelet& facelet) const {
  const CFixPlane* plane = GetPlane(k);
  return plane && plane->IsFaceletInFront(facelet, kModelVertices);
}

void CPlaneCutPuzzle::MarkMovingFacelets(int k) {
  const std::uint32_t bit = 1u << MaskBit(k);
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFacelet* f = GetFacelet(i);
    SetMoveMask(f->GetId(), IsFaceletInFront(k, *f) ? bit : 0u);
  }
}

BOOL CPlaneCutPuzzle::CanMove(int /*move*/) { return 1; }

// ---- making turns ----

BOOL CPlaneCutPuzzle::StartMove(CWnd* wnd, int move) {
  if (m_currentMove != 0) return 0;
  // The range first: CanMove and the marking read the turn's plane.
  if (!IsTurnInRange(move) || !CanMove(move)) {
    m_playing = 0;
    return 0;
  }
  MarkMovingFacelets(TurnIndex(move));
  // A turn of no frames has nowhere to go (a layer that cannot line up again).
  if (GetMoveFrames(move) <= 0) {
    m_playing = 0;
    return 0;
  }
  return CPuzzle::StartMove(wnd, move);
}

BOOL CPlaneCutPuzzle::MakeGuardedMove(int move) {
  if (!IsTurnInRange(move) || !CanMove(move)) return 0;
  MarkMovingFacelets(TurnIndex(move));
  if (GetMoveFrames(move) <= 0) return 0;
  DoMove(move, 0);
  return 1;
}

void CPlaneCutPuzzle::SnapOntoSharedCorner(CFixVector& v) const {
  for (int s = 0; s < m_sharedVertexCount; ++s) {
    const CFixVector* corner = GetVertex(s, kModelVertices);
    if (corner && v.IsNear(*corner)) {
      v = *corner;
      return;
    }
  }
  for (const CFixVector& place : m_restingPlaces) {
    if (v.IsNear(place)) {
      v = place;
      return;
    }
  }
}

std::vector<CFixVector> CPlaneCutPuzzle::GetRestingPlaces() const {
  std::vector<CFixVector> places;
  for (int s = 0; s < m_sharedVertexCount; ++s)
    if (const CFixVector* corner = GetVertex(s, kModelVertices)) places.push_back(*corner);
  places.insert(places.end(), m_restingPlaces.begin(), m_restingPlaces.end());
  return places;
}

void CPlaneCutPuzzle::DoMove(int move, BOOL notify) {
  if (!IsTurnInRange(move)) return;
  CFixMatrix rotation;
  GetMoveRotation(rotation, move, GetMoveFrames(move) * GetMoveStep(move));
  rotation.TransformList(ModelVertices(), FrameVertices());
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFacelet* f = GetFacelet(i);
    if (GetMoveMask(f->GetId()) == 0) continue;
    for (int v = 0; v < f->GetVertexCount(); ++v) {
      const int j = f->GetVertexIndex(v);
      CFixVector* corner = GetVertex(j, kModelVertices);
      const CFixVector* turned = GetVertex(j, kFrameVertices);
      // Shared corners are the fixed frame of reference; only private ones move.
      if (j < m_sharedVertexCount || !corner || !turned) continue;
      *corner = *turned;
      SnapOntoSharedCorner(*corner);
    }
  }
  if (notify) UpdateSolved();
  InvalidateView();
}

void CPlaneCutPuzzle::Scramble() {
  const int n = GetMoveCount();
  int made = 0;
  for (int i = 0; i < kScrambleTurnsPerTurn * n; ++i) {
    bool turned = false;
    for (int draw = 0; draw < kDrawsPerTurn * n && !turned; ++draw) turned = MakeGuardedMove(DrawRandom(1, n));
    for (int m = 1; m <= n && !turned; ++m) turned = MakeGuardedMove(m);
    if (!turned) break;
    ++made;
  }
  // Nothing turned (no turns, or none allowed): the puzzle is as it was, and no clock runs.
  if (made == 0) return;
  BeginScrambledGame();
  m_solved = 0;
  m_scramblePending = 1;
}

// ---- dragging ----

int CPlaneCutPuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  if (fromFacelet == toFacelet) return 0;
  const CFacelet* a = GetFaceletById(fromFacelet);
  const CFacelet* b = GetFaceletById(toFacelet);
  if (!a || !b) return 0;
  auto cornersOffThePlane = [this](const CFixPlane& plane, const CFacelet& f) {
    int count = 0;
    for (int i = 0; i < f.GetVertexCount(); ++i) {
      const CFixVector* v = GetVertex(f.GetVertexIndex(i), kModelVertices);
      if (v && !plane.IsInFront(*v)) ++count;
    }
    return count;
  };
  for (int k = 0; k < GetMoveCount() && k < GetPlaneCount(); ++k) {
    const CFixPlane& plane = *GetPlane(k);
    if (!IsFaceletInFront(k, *a) || !IsFaceletInFront(k, *b)) continue;
    // Both border the cut with an edge: two corners each on it.
    if (cornersOffThePlane(plane, *a) != 2 || cornersOffThePlane(plane, *b) != 2) continue;
    if (IsDragAcrossTheAxis(k, *a, *b)) continue;
    return GetDragDirection(k, *a, *b) ? k + 1 : -(k + 1);
  }
  return 0;
}

BOOL CPlaneCutPuzzle::GetDragDirection(int k, const CFacelet& a, const CFacelet& b) {
  const CFacelet* inner = GetInnerFaceletAt(k);
  const CFixPlane* plane = GetPlane(k);
  if (!inner || !plane) return 0;
  const Vec centre = ToVec(FaceletCentroid(*inner, kModelVertices));
  const Vec from = Minus(ToVec(FaceletCentroid(a, kModelVertices)), centre);
  const Vec to = Minus(ToVec(FaceletCentroid(b, kModelVertices)), centre);
  // Projecting both into the plane changes neither the sign nor anything else of
  // normal . (from x to), so the centroids are used as they are: no length to divide by.
  return DotOf(ToVec(plane->normal), CrossOf(from, to)) > 0;
}

bool CPlaneCutPuzzle::IsDragAcrossTheAxis(int k, const CFacelet& a, const CFacelet& b) const {
  const CFacelet* inner = GetInnerFaceletAt(k);
  const CFixPlane* plane = GetPlane(k);
  if (!inner || !plane) return false;
  const Vec n = ToVec(plane->normal);
  const double nn = DotOf(n, n);
  if (nn == 0) return false;
  const Vec centre = ToVec(FaceletCentroid(*inner, kModelVertices));
  const auto inPlane = [&](const CFacelet& f) {
    const Vec v = Minus(ToVec(FaceletCentroid(f, kModelVertices)), centre);
    const double along = DotOf(n, v) / nn;
    return Vec{v.x - along * n.x, v.y - along * n.y, v.z - along * n.z};
  };
  const Vec from = inPlane(a), to = inPlane(b);
  // |from| |to| sin of the angle between them, about the normal.
  const double sine = DotOf(n, CrossOf(from, to)) / std::sqrt(nn);
  return std::abs(sine) <= 1e-3 * std::sqrt(DotOf(from, from) * DotOf(to, to));
}

// ---- painting ----

void CPlaneCutPuzzle::DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) {
  if (move != m_currentMove && IsTurnInRange(move)) MarkMovingFacelets(TurnIndex(move));
  CPuzzle::DrawMoveFrame(dc, dib, move, angle);
}

std::vector<int> CPlaneCutPuzzle::GetTurningFacelets(int move) {
  // A turn the position blocks moves nothing, as StartMove refuses it.
  if (!IsTurnInRange(move) || !CanMove(move)) return {};
  std::vector<std::uint32_t> marks(GetMoveMaskLength());
  for (int id = 0; id < GetMoveMaskLength(); ++id) marks[id] = GetMoveMask(id);
  MarkMovingFacelets(TurnIndex(move));
  std::vector<int> ids;
  if (GetMoveFrames(move) > 0) ids = CPuzzle::GetTurningFacelets(move);
  for (int id = 0; id < GetMoveMaskLength(); ++id) SetMoveMask(id, marks[id]);
  return ids;
}

// ---- painting order ----

BOOL CPlaneCutPuzzle::IsMovingPartNearer(int k, CUObArray& /*moving*/, CUObArray& /*fixed*/) {
  if (!GetPlane(k)) return 1;
  const CFacelet* inner = GetInnerFaceletAt(GetInnerFacelet(k));
  if (!inner || inner->GetVertexCount() < 3) return 0;
  // The cut face's normal points into the turning part; facing the viewer, that part is nearer.
  Vec corner[3];
  for (int i = 0; i < 3; ++i) {
    const CFixVector* v = GetVertex(inner->GetVertexIndex(i), kViewVertices);
    if (!v) return 0;
    corner[i] = ToVec(*v);
  }
  return CrossOf(Minus(corner[1], corner[0]), Minus(corner[2], corner[0])).z > 0;
}

// ---- the puzzle file ----

void CPlaneCutPuzzle::Write(CUBuffer& b) {
  CPuzzle::Write(b);
  m_planes.Write(b);
}

void CPlaneCutPuzzle::Read(CUBuffer& b) {
  CPuzzle::Read(b);
  if (HasReadFailed()) return;
  const int count = ReadCount(b, 16);
  for (int i = 0; i < count; ++i) {
    auto* plane = new CFixPlane();
    plane->Read(b);
    m_planes.Add(plane);
  }
  if (!HasReadFailed() && !FitsTheClass()) MarkReadFailed();
}

// The shared corners stay the constructor's count; a file's geometry must fit that split.
bool CPlaneCutPuzzle::FitsTheClass() const {
  const int shared = m_sharedVertexCount;
  const int vertices = GetVertexCount();
  if (vertices < shared || GetPlaneCount() != GetMoveCount()) return false;
  for (int k = 0; k < GetMoveCount(); ++k)
    if (GetMove(k)->GetLength() != 0 || !IsSaneNormal(GetPlane(k)->normal)) return false;
  // Every facelet turns its own private corners, which no other facelet uses.
  std::vector<int> owner(vertices, -1);
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFacelet* f = GetFacelet(i);
    for (int v = 0; v < f->GetVertexCount(); ++v) {
      const int j = f->GetVertexIndex(v);
      if (j < shared || j >= vertices || (owner[j] != -1 && owner[j] != f->GetId())) return false;
      owner[j] = f->GetId();
    }
  }
  // Cut faces stay where the cuts are.
  for (int i = 0; i < GetInnerFaceletCount(); ++i) {
    const CFacelet* f = GetInnerFaceletAt(i);
    for (int v = 0; v < f->GetVertexCount(); ++v)
      if (f->GetVertexIndex(v) < 0 || f->GetVertexIndex(v) >= shared) return false;
  }
  return true;
}
