#include <gyrix/puzzles/squareone.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>

// The model. The cube has half edge s = 3 and its layers are cut at y = +1 and y = -1. Seen
// from above, every piece edge lies on one of twelve directions round the Y axis, 30 degrees
// apart: direction j is at angle 105 + 30j degrees (x = r cos a, z = -r sin a, so the angle
// grows counter-clockwise seen from above, as a positive turn about +Y). An edge piece fills
// one 30-degree slot, a corner piece two. The outline of a layer has a corner on every
// direction it uses: at distance s / cos 15 where two pieces meet ("rim"), at s sqrt 2 where a
// corner piece has its tip. Layer turns move pieces by whole slots and the slice flips
// direction j to 6 - j and y to -y, so every corner a piece can reach is on one of four levels
// (y = 3, 1, -1, -3), one of twelve directions and one of the two distances. These 96 points
// and the centres of the four levels are the shared corners:
//   0, 1        the centres of the top (y = 3) and the bottom (y = -3)
//   2 + 12L + j     rim point of direction j on level L (0: y = 3, 1: y = 1, 2: y = -1, 3: y = -3)
//   50 + 12L + j    tip point of direction j on level L
//   98, 99      the centres of the cuts y = 1 and y = -1
// The slice plane holds directions 0 and 6 (105 and 285 degrees) and the Y axis; the halves it
// divides turn by 180 degrees about its normal, the X axis turned 15 degrees about Y.
//
// Facelets, by id:
//   0..7    the top of each top-layer piece (centre, then its directions in rising angle)
//   8..15   the bottom of each bottom-layer piece
//   16..27  the sides of the top layer, one per slot, three per side of the cube
//   28..39  the same for the bottom layer
//   40..45  the sides of the middle layer: two on each side the slice cuts, one on the others
//   46..49  the tops (46, 47) and bottoms (48, 49) of the two middle halves
//   50..57  the underside of each top-layer piece, 58..65 the upper side of each bottom-layer
//           piece; each is a fan from the pieces' outline to the centre of its cut, listed
//           last, which is how a layer turn recognises the walls it carries along
// So each piece is a closed wedge but for its flat sides towards its neighbours, and a layer
// turning away from the rest shows its own underside and the middle layer's top: the cut
// closes whatever shape the layers have. The cut faces of the layer turns are only planes; the
// slice's cut face is the same rectangle in every position, and is painted.
namespace {

// ---- tables ----

constexpr int kTypeId = 14;
constexpr double kHalfEdge = 3.0;
constexpr double kCutHeight = 1.0;
constexpr int kDirections = 12;
constexpr int kLevels = 4;
const double kLevelHeight[kLevels] = {kHalfEdge, kCutHeight, -kCutHeight, -kHalfEdge};

constexpr int kTopCentre = 0;
constexpr int kBottomCentre = 1;
constexpr int kFirstRim = 2;
constexpr int kFirstTip = 50;
constexpr int kUpperCutCentre = 98;
constexpr int kLowerCutCentre = 99;

// A piece of a layer when solved: its first direction and the slots it fills (1 edge, 2
// corner). Top and bottom layers alike, corners at the cube's corners (directions 1, 4, 7, 10).
struct CLayerPiece {
  int first;
  int slots;
};
constexpr int kLayerPieces = 8;
const CLayerPiece kSolvedLayer[kLayerPieces] = {{0, 2}, {2, 1}, {3, 2}, {5, 1}, {6, 2}, {8, 1}, {9, 2}, {11, 1}};

// A layer shows three slots on each side of the cube; its side facelets run counter-clockwise
// seen from above, from the side that the slice cuts at direction 0.
constexpr int kSideSlots = 3;
constexpr int kFirstSideSlot = 10;

// The middle layer's sides, from direction to direction, and which half (0: the half the
// slice turn 1 flips, directions 0..6; 1: the other) each belongs to.
struct CMiddleSide {
  int from;
  int to;
  int half;
};
const CMiddleSide kMiddleSides[6] = {{10, 0, 1}, {0, 1, 0}, {1, 4, 0}, {4, 6, 0}, {6, 7, 1}, {7, 10, 1}};
// The outline of each middle half seen from above, counter-clockwise.
const int kMiddleHalf[2][4] = {{0, 1, 4, 6}, {6, 7, 10, 0}};

// Turns: the plane (three shared corners; in front is the part that turns, and the positive
// turn spins counter-clockwise about the plane's normal), whose polygon is the cut face.
// Slices: the rectangle through directions 0 and 6 from top to bottom; layers: the square of
// the cube's corners on the cut.
const int kSliceFirstHalf[4] = {2 + 6, 2, 38, 38 + 6};  // normal towards the half of directions 0..6
const int kSliceSecondHalf[4] = {2, 2 + 6, 38 + 6, 38};
const int kUpperCut[4] = {63, 66, 69, 72};  // normal +Y
const int kLowerCut[4] = {84, 81, 78, 75};  // normal -Y

// The points on the slice line of each layer cut: a layer lined up with the slice has a
// piece boundary on both.
const int kUpperSliceEnds[2] = {20, 14};
const int kLowerSliceEnds[2] = {32, 26};
// Lined up: both ends on a boundary, where two side facelets of the layer meet.
constexpr int kLinedUpCount = 4;
constexpr int kLayerSearchSteps = 12;  // 15-degree steps, up to half a turn

constexpr int kSliceFrames = 9;
constexpr int kSliceStep = 20;
constexpr int kLayerStep = 15;
constexpr int kSliceTilt = 15;  // the slice axis: X turned this far about Y

// The solved test: runs of outer facelet ids and the side colour each run shows when solved.
struct CColourRun {
  int first;
  int last;
  int colour;
};
const CColourRun kColourRuns[] = {{0, 7, 1},   {8, 15, 5},  {16, 18, 2}, {19, 21, 3}, {22, 24, 4},
                                  {25, 27, 6}, {28, 30, 2}, {31, 33, 3}, {34, 36, 4}, {37, 39, 6},
                                  {40, 41, 2}, {42, 42, 3}, {43, 44, 4}, {45, 45, 6}};

int Wrap(int direction) { return ((direction % kDirections) + kDirections) % kDirections; }
bool IsTip(int direction) { return Wrap(direction) % 3 == 1; }

// The shared corner of a direction on a level, as the solved layers use it.
int Corner(int level, int direction) {
  return (IsTip(direction) ? kFirstTip : kFirstRim) + kDirections * level + Wrap(direction);
}

// Planes that separate any two pieces of one rigid part: the two cuts and the six vertical
// planes through the axis along the piece edges (directions 15 + 30i degrees).
struct CSeparator {
  double normal[3];
  double offset;
};

std::vector<CSeparator> MakeSeparators() {
  std::vector<CSeparator> planes{{{0, 1, 0}, kCutHeight}, {{0, 1, 0}, -kCutHeight}};
  for (int i = 0; i < kDirections / 2; ++i) {
    const double a = (15 + 30 * i) * std::numbers::pi / 180;
    planes.push_back({{std::sin(a), 0, std::cos(a)}, 0});
  }
  return planes;
}

double Dot3(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

CSquareOnePuzzle::CSquareOnePuzzle(int /*argument*/) : CPlaneCutPuzzle(kFaceletCount) {
  m_typeId = kTypeId;
  AddCorners();
  ApplyTypeLooks(*this, kTypeId);
  AddTurns();
  ResetColours();
  RememberSolvedPlaces();
}

// ---- construction ----

void CSquareOnePuzzle::AddCorners() {
  const double rim = kHalfEdge / std::cos(std::numbers::pi / 12);
  const double tip = kHalfEdge * std::numbers::sqrt2;
  AddVertex(FixPoint(0, kHalfEdge, 0));
  AddVertex(FixPoint(0, -kHalfEdge, 0));
  for (double radius : {rim, tip})
    for (int level = 0; level < kLevels; ++level)
      for (int j = 0; j < kDirections; ++j) {
        const double a = (105 + 30 * j) * std::numbers::pi / 180;
        AddVertex(FixPoint(radius * std::cos(a), kLevelHeight[level], -radius * std::sin(a)));
      }
  AddVertex(FixPoint(0, kCutHeight, 0));
  AddVertex(FixPoint(0, -kCutHeight, 0));
}

// In the order of the ids above; each facelet records its piece.
void CSquareOnePuzzle::AddFacelets() {
  m_pieceOf.clear();
  auto add = [this](std::vector<int> corners, int piece) {
    AddFacelet(corners.data(), static_cast<int>(corners.size()));
    m_pieceOf.push_back(piece);
  };
  // A layer piece's directions in rising angle.
  auto directions = [](const CLayerPiece& p) {
    std::vector<int> d;
    for (int i = 0; i <= p.slots; ++i) d.push_back(p.first + i);
    return d;
  };
  for (int layer = 0; layer < 2; ++layer)
    for (int p = 0; p < kLayerPieces; ++p) {
      const int level = layer == 0 ? 0 : 3;
      std::vector<int> face{layer == 0 ? kTopCentre : kBottomCentre};
      for (int d : directions(kSolvedLayer[p])) face.push_back(Corner(level, d));
      if (layer == 1) std::reverse(face.begin() + 1, face.end());
      add(face, layer * kLayerPieces + p);
    }
  auto pieceOfSlot = [](int slot) {
    for (int p = 0; p < kLayerPieces; ++p)
      if (Wrap(slot - kSolvedLayer[p].first) < kSolvedLayer[p].slots) return p;
    return 0;
  };
  for (int layer = 0; layer < 2; ++layer) {
    const int upper = layer == 0 ? 0 : 2;
    for (int i = 0; i < 4 * kSideSlots; ++i) {
      const int j = kFirstSideSlot + i;
      add({Corner(upper, j), Corner(upper + 1, j), Corner(upper + 1, j + 1), Corner(upper, j + 1)},
          layer * kLayerPieces + pieceOfSlot(Wrap(j)));
    }
  }
  const int firstHalf = 2 * kLayerPieces;
  for (const CMiddleSide& s : kMiddleSides)
    add({Corner(1, s.from), Corner(2, s.from), Corner(2, s.to), Corner(1, s.to)}, firstHalf + s.half);
  for (int half = 0; half < 2; ++half) {
    const int* outline = kMiddleHalf[half];
    add({Corner(1, outline[0]), Corner(1, outline[1]), Corner(1, outline[2]), Corner(1, outline[3])}, firstHalf + half);
  }
  for (int half = 0; half < 2; ++half) {
    const int* outline = kMiddleHalf[half];
    add({Corner(2, outline[3]), Corner(2, outline[2]), Corner(2, outline[1]), Corner(2, outline[0])}, firstHalf + half);
  }
  for (int layer = 0; layer < 2; ++layer)
    for (int p = 0; p < kLayerPieces; ++p) {
      std::vector<int> wall;
      for (int d : directions(kSolvedLayer[p])) wall.push_back(Corner(layer == 0 ? 1 : 2, d));
      if (layer == 0) std::reverse(wall.begin(), wall.end());
      wall.push_back(layer == 0 ? kUpperCutCentre : kLowerCutCentre);
      add(wall, layer * kLayerPieces + p);
    }
}

void CSquareOnePuzzle::AddTurns() {
  const int* cuts[4] = {kSliceFirstHalf, kUpperCut, kSliceSecondHalf, kLowerCut};
  for (const int* cut : cuts) AddCutTurn(cut, 4);
}

void CSquareOnePuzzle::BuildSolvedFacelets() {
  AddFacelets();
  for (int id = 0; id < GetFaceletCount(); ++id) SetFaceletColour(id, 0);
  for (const CColourRun& run : kColourRuns)
    for (int id = run.first; id <= run.last; ++id) SetFaceletColour(id, run.colour);
}

void CSquareOnePuzzle::ResetColours() {
  ForgetSearch();
  CPlaneCutPuzzle::ResetColours();
}

void CSquareOnePuzzle::RememberSolvedPlaces() {
  m_places.clear();
  for (int id = 0; id < GetFaceletCount(); ++id) {
    const CFacelet* f = GetFaceletById(id);
    m_places.push_back({FaceletCentroid(*f, kModelVertices), f->GetColour()});
  }
}

int CSquareOnePuzzle::PieceOf(int facelet) const {
  return facelet >= 0 && facelet < static_cast<int>(m_pieceOf.size()) ? m_pieceOf[facelet] : -1;
}

// A file replaces the geometry the last search looked at.
void CSquareOnePuzzle::Read(CUBuffer& b) {
  ForgetSearch();
  CPlaneCutPuzzle::Read(b);
  ForgetSearch();
}

void CSquareOnePuzzle::ResetView(int width, int height) {
  CPlaneCutPuzzle::ResetView(width, height);
  ApplyCornerView(*this);
}

// ---- turns ----

int CSquareOnePuzzle::GetMoveStep(int move) {
  const int k = TurnIndex(move);
  return k == 0 || k == 2 ? kSliceStep : kLayerStep;
}

int CSquareOnePuzzle::GetMoveFrames(int move) {
  const int k = TurnIndex(move);
  if (k == 0 || k == 2) return kSliceFrames;
  if (k != 1 && k != 3) return 0;
  // Remembered for this very turn only: a search for another turn, or after the geometry
  // changed, starts afresh.
  if (m_searchedMove != move) {
    m_searchedFrames = SearchLayerFrames(move);
    m_searchedMove = m_searchedFrames > 0 ? move : 0;
  }
  return m_searchedFrames;
}

// The first 15-degree step at which both ends of the slice line meet a boundary between two
// pieces of the turning layer; 0 when no step up to half a turn does (a damaged position).
// The turning layer is what lies in front of the turn's plane, whatever the move mask holds.
int CSquareOnePuzzle::SearchLayerFrames(int move) {
  const int k = TurnIndex(move);
  const CFacelet* cut = GetInnerFaceletAt(k);
  if (!cut || cut->GetVertexCount() < 3) return 0;
  CFixPlane plane;
  plane.Set(*cut, kModelVertices);
  const int* ends = k == 1 ? kUpperSliceEnds : kLowerSliceEnds;
  const CFixVector* end0 = GetVertex(ends[0], kModelVertices);
  const CFixVector* end1 = GetVertex(ends[1], kModelVertices);
  if (!end0 || !end1) return 0;
  for (int f = 1; f <= kLayerSearchSteps; ++f) {
    CFixMatrix back;
    GetMoveRotation(back, -move, GetMoveStep(move) * f);
    const CFixVector a = back.Transform(*end0);
    const CFixVector b = back.Transform(*end1);
    int count = 0;
    for (int id = 0; id < kOuterFacelets; ++id) {
      const CFacelet* facelet = GetFaceletById(id);
      if (!facelet || !plane.IsFaceletInFront(*facelet, kModelVertices)) continue;
      for (int i = 0; i < facelet->GetVertexCount(); ++i) {
        const CFixVector* v = GetVertex(facelet->GetVertexIndex(i), kModelVertices);
        if (v && (v->IsNear(a) || v->IsNear(b))) ++count;
      }
    }
    if (count >= kLinedUpCount) return f;
  }
  return 0;
}

void CSquareOnePuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  const int k = TurnIndex(move);
  const int s = move < 0 ? -angle : angle;
  switch (k) {
    case 0:
    case 2:
      matrix.RotateY(-kSliceTilt);
      matrix.RotateX(k == 0 ? s : -s);
      matrix.RotateY(kSliceTilt);
      break;
    case 1:
      matrix.RotateY(s);
      break;
    case 3:
      matrix.RotateY(-s);
      break;
    default:
      break;
  }
}

void CSquareOnePuzzle::DoMove(int move, BOOL notify) {
  CPlaneCutPuzzle::DoMove(move, notify);
  ForgetSearch();
}

// The walls on a layer's cut lie in the plane, so the plane test leaves them behind; a layer
// turn takes along those whose corner at the cut's centre is on its side.
void CSquareOnePuzzle::MarkMovingFacelets(int k) {
  CPlaneCutPuzzle::MarkMovingFacelets(k);
  if (k != 1 && k != 3) return;
  const CFacelet* cut = GetInnerFaceletAt(k);
  if (!cut) return;
  const CFixVector centre = FaceletCentroid(*cut, kModelVertices);
  for (int id = kFirstLayerWall; id < kFaceletCount; ++id) {
    const CFacelet* wall = GetFaceletById(id);
    if (!wall || wall->GetVertexCount() < 1) continue;
    const CFixVector* last = GetVertex(wall->GetVertexIndex(wall->GetVertexCount() - 1), kModelVertices);
    if (last && last->IsNear(centre)) SetMoveMask(id, 1u << k);
  }
}

BOOL CSquareOnePuzzle::ShowInnerFacelet(int index) { return index == 0 || index == 2; }

// The slice passes only between pieces (layers always stop lined up, but a file may hold
// another position); a layer that cannot line up again has no frames and is refused anyway.
BOOL CSquareOnePuzzle::CanMove(int move) {
  const int k = TurnIndex(move);
  return k == 0 || k == 2 ? !IsCutThroughAPiece(k) : 1;
}

bool CSquareOnePuzzle::IsCutThroughAPiece(int k) {
  const CFacelet* cut = GetInnerFaceletAt(k);
  if (!cut || cut->GetVertexCount() < 3) return true;
  CFixPlane plane;
  plane.Set(*cut, kModelVertices);
  for (int id = 0; id < GetFaceletCount(); ++id) {
    const CFacelet* f = GetFaceletById(id);
    bool front = false, back = false;
    for (int i = 0; f && i < f->GetVertexCount(); ++i) {
      const CFixVector* v = GetVertex(f->GetVertexIndex(i), kModelVertices);
      if (!v) continue;
      const std::int64_t value = plane.Value(*v);
      front = front || value >= kFixHalf;
      back = back || value <= -kFixHalf;
    }
    if (front && back) return true;
  }
  return false;
}

// ---- the solved test ----

// Every facelet must sit on a place of the solved puzzle. Then every run of outer facelets
// must lie on places of one solved colour, and all runs of one colour on places of the same
// colour: a layer left a quarter turn away shows two colours on each side.
void CSquareOnePuzzle::UpdateSolved() {
  m_solved = 0;
  std::vector<int> placeColour(GetFaceletCount(), -1);
  for (int id = 0; id < GetFaceletCount(); ++id) {
    const CFacelet* f = GetFaceletById(id);
    if (!f) return;
    const CFixVector c = FaceletCentroid(*f, kModelVertices);
    for (const CPlace& place : m_places)
      if (c.IsNear(place.centroid)) placeColour[id] = place.colour;
    if (placeColour[id] < 0) return;
  }
  std::map<int, int> colourOfPlaces;
  for (const CColourRun& run : kColourRuns) {
    if (run.last >= GetFaceletCount()) return;
    const int colour = placeColour[run.first];
    for (int id = run.first; id <= run.last; ++id)
      if (placeColour[id] != colour) return;
    const auto known = colourOfPlaces.emplace(run.colour, colour).first;
    if (known->second != colour) return;
  }
  m_solved = 1;
}

// ---- painting order ----

// Pieces are convex and any two of one rigid part are parted by a cut or by a vertical plane
// along the piece edges; the one on the viewer's side is painted later. A turning part and the
// rest are parted by the turn's plane: the far one first, then the slice's cut face, then the
// near one. Sorting facelets by depth alone fails once the layers have changed shape.
void CSquareOnePuzzle::SortFacelets() {
  const CFixMatrix& view = GetViewMatrix();
  const double toViewer[3] = {FixToDouble(view.m[2][0]), FixToDouble(view.m[2][1]), FixToDouble(view.m[2][2])};
  const int k = m_currentMove != 0 ? GetAnimatedMove(m_currentMove) : -1;
  std::vector<int> moving, fixed;
  std::vector<bool> turns(kPieces, false);
  if (k >= 0)
    for (int id = 0; id < GetFaceletCount(); ++id)
      if (PieceOf(id) >= 0 && (GetMoveMask(id) & (1u << MaskBit(k)))) turns[PieceOf(id)] = true;
  for (int p = 0; p < kPieces; ++p) (turns[p] ? moving : fixed).push_back(p);

  // The turning part's viewer direction in its own unturned frame.
  double turnedViewer[3] = {toViewer[0], toViewer[1], toViewer[2]};
  if (!moving.empty()) {
    CFixMatrix turn;
    GetMoveRotation(turn, m_currentMove, m_shownAngle);
    for (int i = 0; i < 3; ++i) {
      turnedViewer[i] = 0;
      for (int j = 0; j < 3; ++j) turnedViewer[i] += FixToDouble(turn.m[j][i]) * toViewer[j];
    }
  }
  std::vector<int> order;
  int insertAt = -1;
  bool movingFirst = false;
  const CFacelet* cut = k >= 0 ? GetInnerFaceletAt(k) : nullptr;
  if (moving.empty() || fixed.empty() || !cut || cut->GetVertexCount() < 3) {
    // At rest, or a turn that carries everything or nothing: one rigid body.
    order = OrderPieces(moving.empty() ? fixed : moving, moving.empty() ? toViewer : turnedViewer);
    if (!moving.empty() && !fixed.empty()) {
      const std::vector<int> rest = OrderPieces(fixed, toViewer);
      order.insert(order.begin(), rest.begin(), rest.end());
    }
  } else {
    CFixPlane plane;
    plane.Set(*cut, kModelVertices);
    const double normal[3] = {FixToDouble(plane.normal.x), FixToDouble(plane.normal.y), FixToDouble(plane.normal.z)};
    movingFirst = Dot3(normal, toViewer) < 0;
    order = OrderPieces(movingFirst ? moving : fixed, movingFirst ? turnedViewer : toViewer);
    const std::vector<int> near = OrderPieces(movingFirst ? fixed : moving, movingFirst ? toViewer : turnedViewer);
    insertAt = static_cast<int>(order.size());
    order.insert(order.end(), near.begin(), near.end());
  }

  std::vector<std::vector<CFacelet*>> byPiece(kPieces);
  std::vector<CFacelet*> unowned;
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    const int p = PieceOf(f->GetId());
    (p >= 0 ? byPiece[p] : unowned).push_back(f);
  }
  CUObArray& list = FaceletList();
  list.RemoveAll();
  for (CFacelet* f : unowned) list.Add(f);
  CMove* move = k >= 0 ? GetMove(k) : nullptr;
  if (move) move->DeleteInserts();
  for (size_t i = 0; i < order.size(); ++i) {
    if (static_cast<int>(i) == insertAt && move && ShowInnerFacelet(GetInnerFacelet(k)))
      move->AddInsert(GetInnerFacelet(k), list.GetCount(),
                      movingFirst ? CMoveInsert::kFrameList : CMoveInsert::kViewList);
    for (CFacelet* f : byPiece[order[i]]) list.Add(f);
  }
  if (m_currentMove == 0) SetOrderValid(1);
}

std::vector<int> CSquareOnePuzzle::OrderPieces(const std::vector<int>& pieces, const double toViewer[3]) const {
  static const std::vector<CSeparator> separators = MakeSeparators();
  constexpr double kOnPlane = 0.01;
  // Each piece's corners in model units.
  std::vector<std::vector<std::array<double, 3>>> corners(kPieces);
  for (int id = 0; id < GetFaceletCount(); ++id) {
    const CFacelet* f = GetFaceletById(id);
    const int p = PieceOf(id);
    if (!f || p < 0) continue;
    for (int i = 0; i < f->GetVertexCount(); ++i) {
      const CFixVector* v = GetVertex(f->GetVertexIndex(i), kModelVertices);
      if (v) corners[p].push_back({FixToDouble(v->x), FixToDouble(v->y), FixToDouble(v->z)});
    }
  }
  // Whether a must be painted before b.
  auto before = [&](int a, int b) {
    for (const CSeparator& s : separators) {
      double aMin = 1e300, aMax = -1e300, bMin = 1e300, bMax = -1e300;
      for (const auto& c : corners[a]) {
        const double t = Dot3(s.normal, c.data()) - s.offset;
        aMin = std::min(aMin, t), aMax = std::max(aMax, t);
      }
      for (const auto& c : corners[b]) {
        const double t = Dot3(s.normal, c.data()) - s.offset;
        bMin = std::min(bMin, t), bMax = std::max(bMax, t);
      }
      int aSide = 0;
      if (aMax <= kOnPlane && bMin >= -kOnPlane) aSide = -1;
      else if (aMin >= -kOnPlane && bMax <= kOnPlane) aSide = 1;
      if (aSide == 0) continue;
      const double facing = Dot3(s.normal, toViewer);
      if (std::abs(facing) < 1e-9) return false;
      return (aSide > 0) != (facing > 0);  // a away from the viewer
    }
    return false;
  };
  auto depth = [&](int p) {
    double sum = 0;
    for (const auto& c : corners[p]) sum += Dot3(c.data(), toViewer);
    return corners[p].empty() ? 0 : sum / corners[p].size();
  };
  const int n = static_cast<int>(pieces.size());
  std::vector<std::vector<int>> later(n);
  std::vector<int> waiting(n, 0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      if (i != j && before(pieces[i], pieces[j])) later[i].push_back(j), ++waiting[j];
  std::vector<int> order;
  std::vector<bool> done(n, false);
  for (int step = 0; step < n; ++step) {
    // The farthest piece that waits for none; should the planes ever disagree, the farthest.
    int pick = -1;
    for (int pass = 0; pass < 2 && pick < 0; ++pass)
      for (int i = 0; i < n; ++i)
        if (!done[i] && (pass == 1 || waiting[i] == 0) && (pick < 0 || depth(pieces[i]) < depth(pieces[pick])))
          pick = i;
    done[pick] = true;
    order.push_back(pieces[pick]);
    for (int j : later[pick]) --waiting[j];
  }
  return order;
}
