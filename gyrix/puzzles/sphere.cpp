#include <gyrix/puzzles/sphere.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kTypeId = 5;
constexpr int kRingVertices = 16;  // vertices per latitude ring, facelets per ring of facelets
constexpr int kRings = 7;          // latitude rings between the poles
constexpr int kNorthPole = 0;
constexpr int kSouthPole = 1 + kRings * kRingVertices;  // 113
constexpr int kFaceletsPerLayer = 32;

// Layer turns: 3 frames of 15 degrees (one sector); half turns: 6 frames of 30 degrees.
constexpr int kLayerStep = 15;
constexpr int kLayerFrames = 3;
constexpr int kHalfStep = 30;
constexpr int kHalfFrames = 6;

// The half turn of the sectors 0..3 exchanges facelet i with this one less i.
constexpr int kHalfTurnMirror = 119;

// Cut faces, as inner facelet ids: the three horizontal cuts between the layers (top first),
// then the four meridian planes, the one at longitude 45 * j degrees as 3 + j.
constexpr int kHorizontalCuts = 3;
constexpr int kMeridianCuts = 4;

// First vertex of latitude ring r (1..7, north first).
int RingStart(int r) { return 1 + (r - 1) * kRingVertices; }

// The half turn is 5 + j: the turn of sectors 0..3 carried round by j sectors.
const CTiltedAxis kHalfTurnAxis = {kAxisZ, 0, kAxisX, 0, kAxisY, 1};

}  // namespace

CSpherePuzzle::CSpherePuzzle(int /*argument*/) : CPuzzle(kFacelets) {
  m_typeId = kTypeId;
  AddVertices();
  AddFacelets();
  ApplyTypeLooks(*this, m_typeId);
  AddTurns();
  AddCutFaces();
  ResetColours();
}

// ---- construction ----

// The poles and seven rings of 16 at latitudes 3/8 pi down to -3/8 pi, vertex j of a ring at
// longitude 2 pi j / 16.
void CSpherePuzzle::AddVertices() {
  AddVertex(0.0f, 0.0f, 1.0f);
  for (int r = 1; r <= kRings; ++r) {
    const double latitude = M_PI / 2 - r * M_PI / 8;
    for (int j = 0; j < kRingVertices; ++j) {
      const double longitude = 2 * M_PI * j / kRingVertices;
      AddVertex(static_cast<float>(std::cos(longitude) * std::cos(latitude)),
                static_cast<float>(std::sin(longitude) * std::cos(latitude)), static_cast<float>(std::sin(latitude)));
    }
  }
  AddVertex(0.0f, 0.0f, -1.0f);
}

// Eight rings of 16 quadrilaterals, north to south. A cap facelet is a triangle with one ring
// vertex repeated: the one at the lower longitude in the north cap, the one at the higher in
// the south cap, so that a half turn, which reverses longitudes, carries each cap facelet
// corner for corner onto the one in the other cap that takes its colour.
void CSpherePuzzle::AddFacelets() {
  for (int j = 0; j < kRingVertices; ++j) {
    const int v = RingStart(1) + j;
    const int next = RingStart(1) + (j + 1) % kRingVertices;
    const int cap[4] = {kNorthPole, v, v, next};
    AddFacelet(cap, 4);
  }
  for (int band = 1; band < kRings; ++band) {
    const int top = RingStart(band);
    for (int j = 0; j < kRingVertices; ++j) {
      const int k = (j + 1) % kRingVertices;
      const int quad[4] = {top + j, top + j + kRingVertices, top + k + kRingVertices, top + k};
      AddFacelet(quad, 4);
    }
  }
  for (int j = 0; j < kRingVertices; ++j) {
    const int v = RingStart(kRings) + j;
    const int next = RingStart(kRings) + (j + 1) % kRingVertices;
    const int cap[4] = {v, kSouthPole, next, next};
    AddFacelet(cap, 4);
  }
}

// Layer turns move each ring of facelets of the layer on by one sector. The half turn of
// sectors 0..3 pairs facelet i with 119 - i (each pair once); its seven copies are the same
// half turn with the layers turned back j sectors before it and forward again after it.
void CSpherePuzzle::AddTurns() {
  std::vector<int> perm(kFacelets);
  for (int layer = 0; layer < kLayers; ++layer) {
    for (int i = 0; i < kFacelets; ++i) perm[i] = i;
    for (int ring = 0; ring < 2; ++ring) {
      const int first = layer * kFaceletsPerLayer + ring * kRingVertices;
      for (int s = 0; s < kRingVertices; ++s) perm[first + s] = first + (s + 2) % kRingVertices;
    }
    AddMove(perm.data(), -1);
  }

  for (int i = 0; i < kFacelets; ++i) perm[i] = i % kRingVertices < 8 ? kHalfTurnMirror - i : i;
  const int halfTurn = AddMove(perm.data(), -1);

  for (int j = 1; j < kSectors; ++j) {
    // values[f] ends up naming the facelet whose colour the sequence brings to f.
    std::vector<int> values(kFacelets);
    for (int i = 0; i < kFacelets; ++i) values[i] = i;
    for (int n = 0; n < j; ++n)
      for (int layer = 1; layer <= kLayers; ++layer) ApplyMove(values.data(), -layer);
    ApplyMove(values.data(), halfTurn);
    for (int n = 0; n < j; ++n)
      for (int layer = 1; layer <= kLayers; ++layer) ApplyMove(values.data(), layer);
    for (int f = 0; f < kFacelets; ++f) perm[values[f]] = f;
    AddMove(perm.data(), -1);
  }
}

// The horizontal cuts are the vertex rings at latitudes pi/4, 0 and -pi/4; a meridian cut
// runs over the poles through the rings at two opposite longitudes.
void CSpherePuzzle::AddCutFaces() {
  if (GetVertexCount() <= kSouthPole) return;
  for (int c = 0; c < kHorizontalCuts; ++c) {
    std::vector<int> ring;
    const int start = RingStart(2 + 2 * c);
    for (int j = 0; j < kRingVertices; ++j) ring.push_back(start + j);
    AddInnerFacelet(ring.data(), static_cast<int>(ring.size()));
  }
  for (int m = 0; m < kMeridianCuts; ++m) {
    const int j = 2 * m;
    std::vector<int> polygon{kNorthPole};
    for (int r = 1; r <= kRings; ++r) polygon.push_back(RingStart(r) + j);
    polygon.push_back(kSouthPole);
    for (int r = kRings; r >= 1; --r) polygon.push_back(RingStart(r) + j + kRingVertices / 2);
    AddInnerFacelet(polygon.data(), static_cast<int>(polygon.size()));
  }
}

int CSpherePuzzle::PartAlongAxis(int k, int facelet, bool moving) {
  if (k >= kLayerTurns) return moving ? 1 : 0;
  const int layer = LayerOf(facelet);
  return layer < k ? 2 : (layer == k ? 1 : 0);  // layers count from the top
}

int CSpherePuzzle::CutBelow(int k, int part) {
  if (k >= kLayerTurns) return kHorizontalCuts + (k - kLayerTurns) % kMeridianCuts;
  // Below the turning layer lies the cut under it; below the part above it, the cut over it.
  return part == 1 ? k : k - 1;
}

void CSpherePuzzle::Read(CUBuffer& b) {
  CPuzzle::Read(b);
  if (!HasReadFailed() && GetInnerFaceletCount() == 0) AddCutFaces();
}

// ---- colours and the solved test ----

void CSpherePuzzle::ResetColours() {
  for (int f = 0; f < kFacelets; ++f) SetFaceletColour(f, SectorOf(f) + 1);
}

// Each sector shows one colour, whichever it is: half turns swap whole sectors.
void CSpherePuzzle::UpdateSolved() {
  int colour[kSectors];
  for (int& c : colour) c = -2;  // no facelet of the sector seen yet
  m_solved = 0;
  for (int f = 0; f < GetFaceletCount(); ++f) {
    const CFacelet* facelet = GetFaceletById(f);
    if (!facelet) continue;
    int& c = colour[SectorOf(f)];
    if (c == -2)
      c = facelet->GetColour();
    else if (c != facelet->GetColour())
      return;
  }
  m_solved = 1;
}

// ---- turning ----

int CSpherePuzzle::GetMoveStep(int move) {
  const int t = std::abs(move);
  return (t >= 1 && t <= kLayerTurns) ? kLayerStep : kHalfStep;
}

int CSpherePuzzle::GetMoveFrames(int move) { return GetMoveStep(move) == kLayerStep ? kLayerFrames : kHalfFrames; }

// Layers turn about +Z; half turn 5 + j about the Y axis carried round Z by 45 * j degrees.
void CSpherePuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int k = std::abs(move) - 1;
  if (move == 0 || k >= GetMoveCount()) return;
  const int s = move < 0 ? -angle : angle;
  if (k < kLayerTurns) {
    RotateAbout(matrix, kAxisZ, s);
    return;
  }
  CTiltedAxis axis = kHalfTurnAxis;
  axis.outerAngle = 45 * (k - kLayerTurns);
  RotateAboutTiltedAxis(matrix, axis, s);
}

// Across layers along one sector: that sector's half turn, its inverse when dragged upwards.
// Within a layer: one or two sectors round turn the layer; three or five sectors round flip
// the half that holds both ends.
int CSpherePuzzle::MoveFromDrag(int a, int b) {
  if (a < 0 || b < 0 || a >= kFacelets || b >= kFacelets) return 0;
  const int la = LayerOf(a), lb = LayerOf(b);
  const int sa = SectorOf(a), sb = SectorOf(b);
  if (la != lb) {
    if (sa != sb) return 0;
    return la > lb ? -(sa + 5) : sa + 5;
  }
  const int d = ((sb - sa) % kSectors + kSectors) % kSectors;
  const bool upper = la < 2;
  switch (d) {
    case 1:
    case 2: return la + 1;
    case 6:
    case 7: return -(la + 1);
    case 3: return upper ? -(sa + 5) : sa + 5;
    case 5: return upper ? sb + 5 : -(sb + 5);
    default: return 0;
  }
}

// ---- drawing ----

// Black lines along the sector and layer boundaries at the facelet: from corner a to b along
// its meridian edge where its sector begins or ends, and for the bands from b to c along the
// edge the band shares with the next layer. A cap has only its meridian line.
void CSpherePuzzle::DrawFaceletExtra(CDC* dc, CDib* /*dib*/, CFacelet* facelet, const POINT* points) {
  if (m_paintingCut || !facelet || !points) return;
  const int f = facelet->GetId();
  const int n = facelet->GetVertexCount();
  if (n < 4) return;
  const int r = f / 16;
  const bool odd = (f & 1) != 0;
  int a = 0, b = 0, c = 0;
  if (r % 2 == 1) {
    a = f & 1;
    b = odd ? 2 : 1;
    c = odd ? 3 : 2;
  } else if (odd) {
    a = 0, b = n - 1, c = n - 2;
  } else {
    a = 1, b = 0, c = n - 1;
  }
  PaintLine(dc, points[a], points[b], 0);
  if (f >= 16 && f < kFacelets - kRingVertices) PaintLine(dc, points[b], points[c], 0);
}

// Each part of the sphere that a turn separates is convex, and the parts lie one after
// another along the turn's axis, apart at its cuts: painted from the part farthest along the
// axis to the nearest, with the cut faces between two parts painted between them, nothing
// covers a nearer face. The cut faces show only in the seam where the turning part and the
// rest do not meet.
void CSpherePuzzle::DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) {
  const int k = move != 0 ? GetAnimatedMove(move) : -1;
  if (k < 0) return;
  const std::uint32_t bit = 1u << MaskBit(k);
  CFixMatrix turn;
  GetMoveRotation(turn, move, angle);
  turn.Multiply(GetViewMatrix());
  turn.TransformList(ModelVertices(), FrameVertices());
  UpdateView();

  // Parts by their place along the axis (0 lowest), each in depth order.
  std::vector<CFacelet*> parts[3];
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    const bool moving = (GetMoveMask(f->GetId()) & bit) != 0;
    f->ComputeBox(moving ? kFrameVertices : kViewVertices);
    parts[PartAlongAxis(k, f->GetId(), moving)].push_back(f);
  }
  for (auto& part : parts)
    std::stable_sort(part.begin(), part.end(), [](CFacelet* a, CFacelet* b) { return a->GetDepth() < b->GetDepth(); });

  // The view's depth of the axis tells which end of it is nearer.
  double axis[3] = {0, 0, 1};
  if (k >= kLayerTurns) {
    const double w = (k - kLayerTurns) * M_PI / 4;
    axis[0] = -std::sin(w), axis[1] = std::cos(w), axis[2] = 0;
  }
  const CFixMatrix& view = GetViewMatrix();
  const double depth = view.m[2][0] * axis[0] + view.m[2][1] * axis[1] + view.m[2][2] * axis[2];
  const int order[3] = {depth > 0 ? 0 : 2, 1, depth > 0 ? 2 : 0};

  CUObArray& list = FaceletList();
  list.RemoveAll();
  CMove* turnMove = GetMove(k);
  turnMove->DeleteInserts();
  for (int n = 0; n < 3; ++n) {
    const int part = order[n];
    if (parts[part].empty()) continue;
    if (list.GetCount() > 0) {
      const int cut = CutBelow(k, std::max(part, order[n > 0 ? n - 1 : 0]));
      if (GetInnerFaceletAt(cut)) {
        turnMove->AddInsert(cut, list.GetCount(), CMoveInsert::kViewList);
        turnMove->AddInsert(cut, list.GetCount(), CMoveInsert::kFrameList);
      }
    }
    for (CFacelet* f : parts[part]) list.Add(f);
  }

  for (int i = 0; i < GetFaceletCount(); ++i) {
    m_paintingCut = true;
    for (int n = 0; n < turnMove->GetInsertCount(); ++n) {
      const CMoveInsert* insert = turnMove->GetInsert(n);
      if (insert->position != i) continue;
      const int list = insert->vertexList == CMoveInsert::kFrameList ? kFrameVertices : kViewVertices;
      PaintFacelet(dc, dib, GetInnerFaceletAt(insert->innerFacelet), list, FALSE, FALSE);
    }
    m_paintingCut = false;
    CFacelet* f = GetFacelet(i);
    PaintFacelet(dc, dib, f, (GetMoveMask(f->GetId()) & bit) ? kFrameVertices : kViewVertices, TRUE, FALSE);
  }
}
