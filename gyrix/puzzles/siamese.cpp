#include <gyrix/puzzles/siamese.h>

#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {

constexpr int kTypeId = 19;
constexpr int kFramesPerTurn = 6;
// A cell is two model units; cell index c along x or y sits at 2c - 5, along z at 2c - 3.
constexpr int kCell = 2;

bool InUnion(int i, int j, int k) {
  if (k < 0 || k > 2) return false;
  const bool a = i >= 0 && i <= 2 && j >= 0 && j <= 2;
  const bool b = i >= 2 && i <= 4 && j >= 2 && j <= 4;
  return a || b;
}

// The layers in turn order: cube A's x layers 0 and 1 and y layers 0 and 1 (centre -2, -2),
// then cube B's x layers 4 and 3 and y layers 4 and 3 (centre 2, 2).
const CSiamesePuzzle::CLayer kLayers[] = {
    {0, -2, -2, -5, -3}, {0, -2, -2, -3, -1}, {1, -2, -2, -5, -3}, {1, -2, -2, -3, -1},
    {0, 2, 2, 3, 5},     {0, 2, 2, 1, 3},     {1, 2, 2, 3, 5},     {1, 2, 2, 1, 3},
};
constexpr int kLayerCount = 8;

// The sides as colour groups: A's x = -5 and y = -5 sides, B's x = 5 and y = 5 sides, the
// four sides in the corners between the cubes, the top and the bottom.
enum Side { kAWestX, kASouthY, kBEastX, kBNorthY, kAInnerX, kBInnerY, kAInnerY, kBInnerX, kTop, kBottom, kSides };
const int kSideColours[kSides] = {1, 2, 3, 4, 5, 6, 6, 5, 7, 8};

double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

const CSiamesePuzzle::CLayer& CSiamesePuzzle::Layer(int k) { return kLayers[std::clamp(k, 0, kLayerCount - 1)]; }

CSiamesePuzzle::CSiamesePuzzle(int) : CPuzzle(GetPuzzleType(kTypeId)->facelets), m_faces(kSides) {
  m_typeId = kTypeId;
  AddFacelets();
  ApplyTypeLooks(*this, kTypeId);
  for (int t = 0; t < kLayerCount; ++t) {
    const CLayer& l = kLayers[t];
    // The slab: within half a cell of its ends (so an outer end's face belongs to it), and
    // on its own cube's side of the other axis.
    std::array<double, 3> loPoint{0, 0, 0}, hiPoint{0, 0, 0}, out{0, 0, 0}, in{0, 0, 0}, sidePoint{0, 0, 0},
        sideNormal{0, 0, 0};
    loPoint[l.axis] = l.lo - 0.5;
    hiPoint[l.axis] = l.hi + 0.5;
    out[l.axis] = 1;
    in[l.axis] = -1;
    const int other = 1 - l.axis;
    sidePoint[other] = l.centreX < 0 ? 1.5 : -1.5;
    sideNormal[other] = l.centreX < 0 ? -1 : 1;
    CTurnPart part = CTurnPart::InFrontOf(FixPoint(loPoint), FixPoint(out));
    part.AndInFrontOf(FixPoint(hiPoint), FixPoint(in)).AndInFrontOf(FixPoint(sidePoint), FixPoint(sideNormal));
    AddRotationTurn(*this, t + 1, part);
  }
  AddCutFaces();
  ResetColours();
}

void CSiamesePuzzle::AddFacelets() {
  for (int axis = 0; axis < 3; ++axis) {
    const int planes = axis == 2 ? 3 : 5;
    for (int p = 0; p <= planes; ++p)
      for (int u = 0; u < 5; ++u)
        for (int v = 0; v < 5; ++v) {
          std::array<int, 3> below{}, above{};
          // (axis, u, v) -> cell indices: u and v run over the other two axes in order.
          const int a1 = (axis + 1) % 3, a2 = (axis + 2) % 3;
          below[axis] = p - 1;
          above[axis] = p;
          below[a1] = above[a1] = u;
          below[a2] = above[a2] = v;
          const bool inBelow = InUnion(below[0], below[1], below[2]);
          const bool inAbove = InUnion(above[0], above[1], above[2]);
          if (inBelow == inAbove) continue;
          auto model = [&](int c, int index) { return c == 2 ? kCell * index - 3 : kCell * index - 5; };
          std::array<std::array<double, 3>, 4> corners{};
          const int du[4] = {0, 1, 1, 0}, dv[4] = {0, 0, 1, 1};
          for (int n = 0; n < 4; ++n) {
            corners[n][axis] = model(axis, p);
            corners[n][a1] = model(a1, u + du[n]);
            corners[n][a2] = model(a2, v + dv[n]);
          }
          // The corners in (a1, a2) order wind counter-clockwise about +axis; reversed when the
          // empty cell lies below, so that the facelet faces out of the solid.
          std::vector<int> ids;
          for (int n = 0; n < 4; ++n) ids.push_back(AddVertexOnce(*this, FixPoint(corners[inBelow ? n : 3 - n])));
          const int id = AddFacelet(ids.data(), 4);
          std::array<double, 3> centre{};
          for (int c = 0; c < 3; ++c) centre[c] = (corners[0][c] + corners[2][c]) / 2;
          m_centres.push_back(centre);
          Side side = kTop;
          if (axis == 2) side = inBelow ? kTop : kBottom;
          else if (axis == 0) side = inBelow ? (p == 3 ? kAInnerX : kBEastX) : (p == 0 ? kAWestX : kBInnerX);
          else side = inBelow ? (p == 3 ? kAInnerY : kBNorthY) : (p == 0 ? kASouthY : kBInnerY);
          m_faces[side].push_back(id);
          m_solvedColours.push_back(kSideColours[side]);
        }
  }
}

// One square cut face per cut plane through a cube, in the cube's cross-section.
void CSiamesePuzzle::AddCutFaces() {
  for (int cube = 0; cube < 2; ++cube)
    for (int axis = 0; axis < 2; ++axis)
      for (int at : {cube == 0 ? -3 : 3, cube == 0 ? -1 : 1}) {
        const int lo = cube == 0 ? -5 : -1, hi = cube == 0 ? 1 : 5;
        std::array<std::array<double, 3>, 4> c{};
        const int other = 1 - axis;
        const int du[4] = {0, 1, 1, 0}, dz[4] = {0, 0, 1, 1};
        for (int n = 0; n < 4; ++n) {
          c[n][axis] = at;
          c[n][other] = du[n] ? hi : lo;
          c[n][2] = dz[n] ? 3 : -3;
        }
        std::vector<int> ids;
        for (int n = 0; n < 4; ++n) ids.push_back(AddVertexOnce(*this, FixPoint(c[n])));
        m_cuts.push_back(AddInnerFacelet(ids.data(), 4));
        m_cutKeys.push_back({axis, cube, at});
      }
}

int CSiamesePuzzle::CutFace(int axis, int cube, int at) const {
  for (size_t i = 0; i < m_cutKeys.size(); ++i)
    if (m_cutKeys[i] == std::array<int, 3>{axis, cube, at}) return m_cuts[i];
  return -1;
}

int CSiamesePuzzle::GetMoveFrames(int) { return kFramesPerTurn; }

void CSiamesePuzzle::ResetColours() {
  for (int id = 0; id < static_cast<int>(m_solvedColours.size()); ++id) SetFaceletColour(id, m_solvedColours[id]);
}

void CSiamesePuzzle::UpdateSolved() { m_solved = EachGroupUniform(*this, m_faces) ? 1 : 0; }

void CSiamesePuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int k = TurnIndex(move);
  if (k < 0 || k >= kLayerCount) return;
  const CLayer& l = kLayers[k];
  const int a = move < 0 ? -angle : angle;
  matrix.Translate(-l.centreX, -l.centreY, 0);
  RotateAbout(matrix, l.axis == 0 ? kAxisX : kAxisY, a);
  matrix.Translate(l.centreX, l.centreY, 0);
}

BOOL CSiamesePuzzle::GetMoveAxis(int k, CFixVector& a, CFixVector& b) {
  if (k < 0 || k >= kLayerCount) return 0;
  const CLayer& l = kLayers[k];
  // From the middle of the turning slab to the far end of its cube, in view space.
  const double middle = (l.lo + l.hi) / 2.0;
  const double centre = l.axis == 0 ? l.centreX : l.centreY;
  const double far = 2 * centre - middle;
  std::array<double, 3> p{double(l.centreX), double(l.centreY), 0}, q = p;
  p[l.axis] = middle;
  q[l.axis] = far;
  a = GetViewMatrix().Transform(FixPoint(p));
  b = GetViewMatrix().Transform(FixPoint(q));
  return 1;
}

// A drag between two facelets that ring the same layer (facing across its axis) turns that
// layer the way that carries the first towards the second.
int CSiamesePuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  const int count = static_cast<int>(m_centres.size());
  if (fromFacelet == toFacelet || fromFacelet < 0 || toFacelet < 0 || fromFacelet >= count || toFacelet >= count)
    return 0;
  for (int k = 0; k < GetMoveCount() && k < kLayerCount; ++k) {
    const std::uint32_t bit = 1u << MaskBit(k);
    if (!(GetMoveMask(fromFacelet) & bit) || !(GetMoveMask(toFacelet) & bit)) continue;
    const CLayer& l = kLayers[k];
    std::array<double, 3> axis{0, 0, 0};
    axis[l.axis] = 1;
    const CFacelet* f = GetFaceletById(fromFacelet);
    const CFacelet* t = GetFaceletById(toFacelet);
    const auto normalOf = [this](const CFacelet* x) {
      const CFixVector* p0 = GetVertex(x->GetVertexIndex(0), kModelVertices);
      const CFixVector* p1 = GetVertex(x->GetVertexIndex(1), kModelVertices);
      const CFixVector* p3 = GetVertex(x->GetVertexIndex(3), kModelVertices);
      const std::array<double, 3> e1{double(p1->x - p0->x), double(p1->y - p0->y), double(p1->z - p0->z)};
      const std::array<double, 3> e2{double(p3->x - p0->x), double(p3->y - p0->y), double(p3->z - p0->z)};
      return std::array<double, 3>{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                   e1[0] * e2[1] - e1[1] * e2[0]};
    };
    if (std::abs(Dot(normalOf(f), axis)) > 0 || std::abs(Dot(normalOf(t), axis)) > 0) continue;
    const std::array<double, 3> centre{double(l.centreX), double(l.centreY), 0};
    auto around = [&](const std::array<double, 3>& from, const std::array<double, 3>& to) {
      std::array<double, 3> u{}, v{};
      for (int c = 0; c < 3; ++c) u[c] = from[c] - centre[c], v[c] = to[c] - centre[c];
      const std::array<double, 3> w{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
      return Dot(w, axis);
    };
    const double drag = around(m_centres[fromFacelet], m_centres[toFacelet]);
    const int next = GetMove(k)->GetEntry(fromFacelet);
    if (next < 0 || next >= count) return 0;
    const double turn = around(m_centres[fromFacelet], m_centres[next]);
    if (std::abs(drag) < 1e-9 || std::abs(turn) < 1e-9) return 0;
    return (drag > 0) == (turn > 0) ? k + 1 : -(k + 1);
  }
  return 0;
}

// While a layer turns: the part before the slab, the slab, the part after it, farther first,
// each by depth; the cut face of the farther part and the slab's own near cut face go just
// before the slab.
void CSiamesePuzzle::SortFacelets() {
  const int k = m_currentMove != 0 ? GetAnimatedMove(m_currentMove) : -1;
  if (k < 0 || k >= kLayerCount || k >= GetMoveCount() || GetFaceletCount() != static_cast<int>(m_centres.size())) {
    CPuzzle::SortFacelets();
    return;
  }
  const CLayer& l = kLayers[k];
  const std::uint32_t bit = 1u << MaskBit(k);
  std::vector<CFacelet*> parts[3];
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    const bool moving = (GetMoveMask(f->GetId()) & bit) != 0;
    f->ComputeBox(moving ? kFrameVertices : kViewVertices);
    const double along = m_centres[f->GetId()][l.axis];
    parts[moving ? 1 : (along < (l.lo + l.hi) / 2.0 ? 0 : 2)].push_back(f);
  }
  for (auto& part : parts)
    std::stable_sort(part.begin(), part.end(), [](const CFacelet* a, const CFacelet* b) { return a->GetDepth() < b->GetDepth(); });
  // The axis towards the viewer: the low side is the far one.
  const bool lowFar = GetViewMatrix().m[2][l.axis] > 0;
  const int cube = l.centreX < 0 ? 0 : 1;
  const int farCut = CutFace(l.axis, cube, lowFar ? l.lo : l.hi);
  const int nearCut = CutFace(l.axis, cube, lowFar ? l.hi : l.lo);
  CMove* move = GetMove(k);
  move->DeleteInserts();
  CUObArray& list = FaceletList();
  list.RemoveAll();
  const int order[3] = {lowFar ? 0 : 2, 1, lowFar ? 2 : 0};
  for (int g : order) {
    if (g == 1) {
      if (farCut >= 0) move->AddInsert(farCut, list.GetCount(), CMoveInsert::kViewList);
      if (nearCut >= 0) move->AddInsert(nearCut, list.GetCount(), CMoveInsert::kFrameList);
    }
    for (CFacelet* f : parts[g]) list.Add(f);
  }
  SetOrderValid(1);
}
