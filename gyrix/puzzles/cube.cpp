#include <gyrix/puzzles/cube.h>

#include <gyrix/puzzles/catalogue.h>

#include <lumex/dialogs.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace {

// A square ring of 4k vertices of half-side r at height z (k = 0: the single point (0, 0, z)).
struct SquareRing {
  int halfSide;
  int steps;
  int z;
};

const SquareRing kRings2[] = {{0, 0, 1}, {1, 2, 1}, {1, 2, 0}, {1, 2, -1}, {0, 0, -1}};
const SquareRing kRings3[] = {{1, 1, 3}, {3, 3, 3}, {3, 3, 1}, {3, 3, -1}, {3, 3, -3}, {1, 1, -3}};
const SquareRing kRings4[] = {{0, 0, 2},  {1, 2, 2},  {2, 4, 2},  {2, 4, 1}, {2, 4, 0},
                            {2, 4, -1}, {2, 4, -2}, {1, 2, -2}, {0, 0, -2}};
const SquareRing kRings5[] = {{1, 1, 5},  {3, 3, 5},  {5, 5, 5},  {5, 5, 3},  {5, 5, 1},
                            {5, 5, -1}, {5, 5, -3}, {5, 5, -5}, {3, 3, -5}, {1, 1, -5}};

// Each size: half the edge length, the edge of one facelet, the vertex rings, and the cuts
// (axis, cut after layer) that get an inner face.
struct Shape {
  int half;
  int step;
  const SquareRing* rings;
  int ringCount;
  std::array<std::array<int, 2>, 6> cuts;
  int cutCount;
};

const Shape kShapes[] = {
    {1, 1, kRings2, 5, {{{0, 1}, {1, 1}, {2, 1}}}, 3},
    {3, 2, kRings3, 6, {{{0, 1}, {0, 2}, {1, 1}, {1, 2}, {2, 1}, {2, 2}}}, 6},
    {2, 1, kRings4, 9, {{{0, 2}, {1, 2}, {2, 2}}}, 3},
    {5, 2, kRings5, 10, {{{0, 2}, {1, 2}, {2, 2}}}, 3},
};

// Faces seen at left, top and right, and the codes of the letter groups L, D and F. A code's
// size names the axis ((|c| + 1) / 2 - 1); odd codes count layers from layer 1, even ones
// from layer n; a negative code turns the other way.
struct Orientation {
  int left, top, right;
  int codeL, codeD, codeF;
};

const Orientation kOrientations[] = {
    {3, 2, 5, 1, 5, 3},    {5, 2, 1, 3, 5, -2},  {1, 2, 0, -2, 5, -4},  {0, 2, 3, -4, 5, 1},
    {4, 3, 5, 1, -4, 5},   {5, 3, 2, 5, -4, -2}, {2, 3, 0, -2, -4, -6}, {0, 3, 4, -6, -4, 1},
    {3, 5, 4, -6, 1, 3},   {4, 5, 1, 3, 1, 5},   {1, 5, 2, 5, 1, -4},   {2, 5, 3, -4, 1, -6},
    {0, 4, 1, 3, -6, 1},   {1, 4, 5, 1, -6, -4}, {5, 4, 3, -4, -6, -2}, {3, 4, 0, -2, -6, 3},
    {2, 1, 5, 1, 3, -6},   {5, 1, 4, -6, 3, -2}, {4, 1, 0, -2, 3, 5},   {0, 1, 2, 5, 3, 1},
    {2, 0, 1, 3, -2, -6},  {1, 0, 4, -6, -2, -4}, {4, 0, 3, -4, -2, 5},  {3, 0, 2, 5, -2, 3},
};

// Joystick letters of one stick axis, in the order they are written: the button bit, the
// letter, and the sign of the deflection that turns it backwards.
struct JoystickLetter {
  int bit;
  char letter;
  int primeWhen;  // -1: deflection below 0 adds "'"; +1: above 0
};

const JoystickLetter kJoystickX[] = {{8, 'L', -1}, {4, 'l', -1}, {1, 'm', 1}, {32, 'r', 1}, {16, 'R', 1}};
const JoystickLetter kJoystickY[] = {{4, 'U', 1}, {8, 'u', 1}, {1, 'e', -1}, {16, 'd', -1}, {32, 'D', -1}};
const JoystickLetter kJoystickZ[] = {{8, 'F', 1}, {4, 'f', 1}, {1, 'M', 1}, {32, 'b', -1}, {16, 'B', -1}};

constexpr int kFramesPerTurn = 6;

int ValidSize(int n) { return (n >= 2 && n <= 5) ? n : 3; }

// Vertex i of the square ring of half-side r with k steps per side, at whole units.
void RingPoint(int r, int k, int i, int& x, int& y) {
  const int s = 2 * r / k;
  const int side = i / k;
  const int j = i % k;
  switch (side) {
    case 0: x = -r + j * s; y = -r; break;
    case 1: x = r; y = -r + j * s; break;
    case 2: x = r - j * s; y = r; break;
    default: x = -r; y = r - j * s; break;
  }
}

// Where a point of the square of half-side c lies along it, counted from the (-c, -c)
// corner in the direction the vertex rings run.
int PerimeterPlace(int x, int y, int c) {
  if (y == -c && x < c) return x + c;
  if (x == c && y < c) return 3 * c + y;
  if (y == c && x > -c) return 5 * c - x;
  return 7 * c - y;
}

// Each axis points towards its layer-1 end.
const int kTowardsLayerOne[3][3] = {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};

}  // namespace

CCubePuzzle::CCubePuzzle(int n) : CPuzzle(6 * ValidSize(n) * ValidSize(n)) {
  m_n = ValidSize(n);
  m_typeId = m_n - 2;
  m_size = m_n;
  const Shape& shape = kShapes[m_n - 2];
  m_half = shape.half;
  m_step = shape.step;

  AddVertices();
  AddFacelets();
  for (int f = 0; f < GetFaceletCount(); ++f) m_faces[GetFace(f)].push_back(f);
  ApplyTypeLooks(*this, m_typeId);
  AddLayerTurns();
  AddWholeCubeTurns();
  AddInnerFaces();
  ResetColours();
}

// ---- construction ----

void CCubePuzzle::AddVertices() {
  const Shape& shape = kShapes[m_n - 2];
  for (int r = 0; r < shape.ringCount; ++r) {
    const SquareRing& ring = shape.rings[r];
    if (ring.steps == 0) {
      AddVertex(0, 0, ring.z);
      continue;
    }
    for (int i = 0; i < 4 * ring.steps; ++i) {
      int x = 0;
      int y = 0;
      RingPoint(ring.halfSide, ring.steps, i, x, y);
      AddVertex(x, y, ring.z);
    }
  }
}

void CCubePuzzle::AddFacelets() {
  AddFaceCells(m_half, true);
  AddSideBand();
  AddFaceCells(-m_half, false);
}

// The facelets of the top (or bottom) face: rings of cells from the centre outwards (the
// bottom from the outside inwards), each ring starting at its (-, -) corner. A cell's corners
// run counter-clockwise seen from above, from the corner nearest the face centre; the bottom
// face reverses them so that it faces outwards.
void CCubePuzzle::AddFaceCells(int z, bool top) {
  struct Cell {
    int ring;
    int place;
    int x0;
    int y0;
  };
  std::vector<Cell> cells;
  const int e = m_step;
  for (int x0 = -m_half; x0 < m_half; x0 += e) {
    for (int y0 = -m_half; y0 < m_half; y0 += e) {
      const int cx = 2 * x0 + e;  // doubled centre
      const int cy = 2 * y0 + e;
      const int ring = std::max(std::abs(cx), std::abs(cy));
      cells.push_back({ring, PerimeterPlace(cx, cy, ring), x0, y0});
    }
  }
  std::sort(cells.begin(), cells.end(), [top](const Cell& a, const Cell& b) {
    if (a.ring != b.ring) return top ? a.ring < b.ring : a.ring > b.ring;
    return a.place < b.place;
  });
  for (const Cell& c : cells) {
    const int corners[4][2] = {{c.x0, c.y0}, {c.x0 + e, c.y0}, {c.x0 + e, c.y0 + e}, {c.x0, c.y0 + e}};
    int first = 0;
    for (int i = 1; i < 4; ++i) {
      const int d = corners[i][0] * corners[i][0] + corners[i][1] * corners[i][1];
      const int best = corners[first][0] * corners[first][0] + corners[first][1] * corners[first][1];
      if (d < best) first = i;
    }
    int quad[4];
    for (int i = 0; i < 4; ++i) {
      const int* p = corners[(first + i) % 4];
      quad[i] = FindVertex(p[0], p[1], z);
    }
    if (!top) ReverseList(quad, 4);
    AddFacelet(quad, 4);
  }
}

// n rows of 4n facelets between consecutive big rings, each row starting at the ring's
// first vertex; corners upper, lower, lower, upper, which faces outwards.
void CCubePuzzle::AddSideBand() {
  const int k = m_n;
  for (int row = 1; row <= m_n; ++row) {
    const int zTop = m_half - (row - 1) * m_step;
    const int zBottom = m_half - row * m_step;
    for (int p = 0; p < 4 * k; ++p) {
      int xa = 0, ya = 0, xb = 0, yb = 0;
      RingPoint(m_half, k, p, xa, ya);
      RingPoint(m_half, k, (p + 1) % (4 * k), xb, yb);
      const int quad[4] = {FindVertex(xa, ya, zTop), FindVertex(xa, ya, zBottom), FindVertex(xb, yb, zBottom),
                           FindVertex(xb, yb, zTop)};
      AddFacelet(quad, 4);
    }
  }
}

// Layer l of an axis lies between cuts l - 1 and l (an end layer has only its inner cut);
// cut c lies c facelets in from the layer-1 end.
CTurnPart CCubePuzzle::LayerPart(int axis, int layer) const {
  const int* u = kTowardsLayerOne[axis];
  auto cut = [&](int c) {
    const int d = m_half - c * m_step;
    return CFixVector(u[0] * d, u[1] * d, u[2] * d);
  };
  CTurnPart part = CTurnPart::Whole();
  if (layer < m_n) part.AndInFrontOf(cut(layer), CFixVector(u[0], u[1], u[2]));
  if (layer > 1) part.AndInFrontOf(cut(layer - 1), CFixVector(-u[0], -u[1], -u[2]));
  return part;
}

// Each turn carries its facelets where GetMoveRotation turns them; the face centres of an odd
// cube stay in place and are marked so that they turn with their layer in the animation.
void CCubePuzzle::AddLayerTurns() {
  for (int axis = 0; axis < kAxes; ++axis)
    for (int layer = 1; layer <= m_n; ++layer) AddRotationTurn(*this, axis * m_n + layer, LayerPart(axis, layer));
}

void CCubePuzzle::AddWholeCubeTurns() {
  for (int axis = 0; axis < kAxes; ++axis) AddRotationTurn(*this, 3 * m_n + 1 + axis, CTurnPart::Whole());
}

int CCubePuzzle::FindVertex(int x, int y, int z) const {
  const CFixVector wanted(x, y, z);
  for (int i = 0; i < GetVertexCount(); ++i)
    if (*GetVertex(i, kModelVertices) == wanted) return i;
  return -1;
}

// The square where layers `cut` and `cut` + 1 of an axis meet, through every vertex on its
// border: the facelets along the cut have corners there, and a polygon that skipped them
// would leave slivers open between itself and them once the corners are rounded to pixels.
std::vector<int> CCubePuzzle::CutPolygon(int axis, int cut) const {
  const int c = m_half - cut * m_step;  // where the cut lies, measured towards layer 1
  std::vector<int> polygon;
  for (int i = 0; i < 4 * m_n; ++i) {
    int u = 0;
    int v = 0;
    RingPoint(m_half, m_n, i, u, v);
    if (axis == 0)
      polygon.push_back(FindVertex(u, v, c));
    else if (axis == 1)
      polygon.push_back(FindVertex(u, c, -v));
    else
      polygon.push_back(FindVertex(-c, u, -v));
  }
  return polygon;
}

void CCubePuzzle::AddInnerFaces() {
  const Shape& shape = kShapes[m_n - 2];
  for (int i = 0; i < shape.cutCount; ++i) {
    const std::vector<int> polygon = CutPolygon(shape.cuts[i][0], shape.cuts[i][1]);
    AddInnerFacelet(polygon.data(), static_cast<int>(polygon.size()));
  }
}

// ---- where facelets lie ----

int CCubePuzzle::GetFace(int facelet) const {
  const int nn = m_n * m_n;
  if (facelet < 0 || facelet >= 6 * nn) return -1;
  if (facelet < nn) return 0;
  if (facelet >= 5 * nn) return 5;
  return ((facelet - nn) / m_n) % 4 + 1;
}

int CCubePuzzle::GetRow(int facelet) const {
  const int nn = m_n * m_n;
  if (facelet < nn || facelet >= 5 * nn) return 0;
  return (facelet - nn) / (4 * m_n) + 1;
}

int CCubePuzzle::GetRingPosition(int facelet) const {
  const int nn = m_n * m_n;
  if (facelet < nn || facelet >= 5 * nn) return 0;
  return (facelet - nn) % (4 * m_n) + 1;
}

bool CCubePuzzle::GetTurnAxis(int move, int& axis, int& layer) const {
  const int t = std::abs(move);
  if (t >= 1 && t <= 3 * m_n) {
    axis = (t - 1) / m_n;
    layer = (t - 1) % m_n + 1;
    return true;
  }
  if (t > 3 * m_n && t <= 3 * m_n + 3) {
    axis = t - 3 * m_n - 1;
    layer = 0;
    return true;
  }
  return false;
}

// ---- colours and the solved test ----

void CCubePuzzle::ResetColours() {
  static const int kFaceColours[6] = {1, 2, 3, 4, 5, 6};
  PaintGroups(*this, m_faces, kFaceColours);
}

// Faces may show their colours in any arrangement: a whole-cube turn keeps the cube solved.
void CCubePuzzle::UpdateSolved() { m_solved = EachGroupUniform(*this, m_faces); }

// ---- turning ----

int CCubePuzzle::GetMoveFrames(int /*move*/) { return kFramesPerTurn; }

int CCubePuzzle::GetCapabilities() { return kCanExecuteMacros | kTakesJoystick; }

void CCubePuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  int axis = 0;
  int layer = 0;
  if (!GetTurnAxis(move, axis, layer)) return;
  const int degrees = move < 0 ? -angle : angle;
  if (axis == 0)
    matrix.RotateZ(degrees);
  else if (axis == 1)
    matrix.RotateY(degrees);
  else
    matrix.RotateX(degrees);
}

BOOL CCubePuzzle::GetMoveAxis(int k, CFixVector& a, CFixVector& b) {
  if (m_n != 2) return 0;
  // The centres of the two end faces of each axis; the layer-1 end first.
  static const int kEnds[6][2] = {{0, 25}, {0, 25}, {14, 10}, {14, 10}, {16, 12}, {16, 12}};
  const int first = (k >= 0 && k < 6) ? kEnds[k][0] : k;
  const int second = (k >= 0 && k < 6) ? kEnds[k][1] : k;
  if (const CFixVector* v = GetVertex(first, kViewVertices)) a = *v;
  if (const CFixVector* v = GetVertex(second, kViewVertices)) b = *v;
  return 1;
}

bool CCubePuzzle::LayerOneNearer(int axis) {
  CFixVector a;
  CFixVector b;
  if (GetMoveAxis(axis * m_n, a, b)) return a.z > b.z;
  const int h = m_half;
  const CFixVector ends[3][2] = {{{0, 0, h}, {0, 0, -h}}, {{0, h, 0}, {0, -h, 0}}, {{-h, 0, 0}, {h, 0, 0}}};
  return GetViewMatrix().Transform(ends[axis][0]).z > GetViewMatrix().Transform(ends[axis][1]).z;
}

// While a layer turns, the cube is painted layer by layer from the far end of the axis to
// the near end, each layer by depth; the cut faces on both sides of the turning layer are
// painted just before it, the far one unturned and the near one turning with the layer.
void CCubePuzzle::SortFacelets() {
  int axis = 0;
  int turning = 0;
  if (m_currentMove == 0 || !GetTurnAxis(m_currentMove, axis, turning) || turning == 0 ||
      axis * m_n + turning > GetMoveCount()) {
    RestoreInnerFaces();
    CPuzzle::SortFacelets();
    return;
  }
  std::vector<std::vector<CFacelet*>> layers(m_n);
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    const std::uint32_t mask = GetMoveMask(f->GetId());
    int layer = 0;
    for (int l = 1; l <= m_n && !layer; ++l)
      if (mask & (1u << MaskBit(axis * m_n + l - 1))) layer = l;
    if (!layer) {  // a facelet no layer owns: only a damaged file has one
      CPuzzle::SortFacelets();
      return;
    }
    f->ComputeBox(layer == turning ? kFrameVertices : kViewVertices);
    layers[layer - 1].push_back(f);
  }
  for (auto& group : layers)
    std::stable_sort(group.begin(), group.end(),
                     [](const CFacelet* a, const CFacelet* b) { return a->GetDepth() < b->GetDepth(); });

  const bool oneNearer = LayerOneNearer(axis);
  CMove* move = GetMove(axis * m_n + turning - 1);
  move->DeleteInserts();
  CUObArray& list = FaceletList();
  list.RemoveAll();
  for (int i = 0; i < m_n; ++i) {
    const int layer = oneNearer ? m_n - i : i + 1;
    if (layer == turning) {
      // Cut c lies between layers c and c + 1.
      const int farCut = oneNearer ? (layer < m_n ? layer : 0) : layer - 1;
      const int nearCut = oneNearer ? layer - 1 : (layer < m_n ? layer : 0);
      const int farFace = farCut ? InnerFaceForCut(axis, farCut, -1) : -1;
      if (farFace != -1) move->AddInsert(farFace, list.GetCount(), CMoveInsert::kViewList);
      const int nearFace = nearCut ? InnerFaceForCut(axis, nearCut, farFace) : -1;
      if (nearFace != -1) move->AddInsert(nearFace, list.GetCount(), CMoveInsert::kFrameList);
    }
    for (CFacelet* f : layers[layer - 1]) list.Add(f);
  }
}

// Points an inner face at a cut. Faces of 4 corners (from files of earlier versions) take
// the square's corners.
void CCubePuzzle::AimInnerFace(CFacelet* inner, const std::vector<int>& polygon) const {
  const int count = inner->GetVertexCount();
  const int corners = static_cast<int>(polygon.size()) / 4;
  for (int v = 0; v < count; ++v)
    inner->SetVertexIndex(v, count == static_cast<int>(polygon.size()) ? polygon[v] : polygon[(v * corners) % polygon.size()]);
}

int CCubePuzzle::InnerFaceForCut(int axis, int cut, int avoid) {
  const std::vector<int> polygon = CutPolygon(axis, cut);
  // A cube read from a damaged file may lack the vertices of the cut.
  if (std::find(polygon.begin(), polygon.end(), -1) != polygon.end()) return -1;
  std::vector<int> wanted = polygon;
  std::sort(wanted.begin(), wanted.end());
  const int count = GetInnerFaceletCount();
  for (int i = 0; i < count; ++i) {
    const CFacelet* inner = GetInnerFaceletAt(i);
    std::vector<int> has(inner->GetVertexIndices(), inner->GetVertexIndices() + inner->GetVertexCount());
    std::sort(has.begin(), has.end());
    if (has == wanted || (has.size() == 4 && std::includes(wanted.begin(), wanted.end(), has.begin(), has.end())))
      return i;
  }
  // Fewer inner faces than cuts: one is moved to the cut this turn opens.
  for (int k = 0; k < count; ++k) {
    const int slot = (axis + k) % count;
    CFacelet* inner = GetInnerFaceletAt(slot);
    if (slot == avoid || (inner->GetVertexCount() != 4 && inner->GetVertexCount() != static_cast<int>(polygon.size())))
      continue;
    AimInnerFace(inner, polygon);
    return slot;
  }
  return -1;
}

// Sizes with fewer inner faces than cuts move them during turns; at rest they are back where
// the constructor put them, so the stored puzzle does not depend on the turns last shown.
void CCubePuzzle::RestoreInnerFaces() {
  const Shape& shape = kShapes[m_n - 2];
  if (GetInnerFaceletCount() != shape.cutCount || shape.cutCount == 2 * kAxes) return;
  for (int i = 0; i < shape.cutCount; ++i) {
    CFacelet* inner = GetInnerFaceletAt(i);
    const std::vector<int> polygon = CutPolygon(shape.cuts[i][0], shape.cuts[i][1]);
    if (std::find(polygon.begin(), polygon.end(), -1) != polygon.end()) return;
    if (inner->GetVertexCount() == 4 || inner->GetVertexCount() == static_cast<int>(polygon.size()))
      AimInnerFace(inner, polygon);
  }
}

// ---- turning by dragging ----

// Each axis has its own rings around it; the whole-cube turns carry a facelet to the place it
// has on the rings of axis 0, whose rows and positions follow from the id.
void CCubePuzzle::RingPlace(int facelet, int axis, int& layer, int& position) const {
  int place = facelet;
  if (axis == 1) {
    const CMove* aboutX = GetMove(3 * m_n + 2);
    for (int i = 0; i < 3 && place >= 0; ++i) place = aboutX ? aboutX->GetEntry(place) : -1;
  } else if (axis == 2) {
    const CMove* aboutY = GetMove(3 * m_n + 1);
    place = aboutY ? aboutY->GetEntry(place) : -1;
  }
  layer = axis * m_n + GetRow(place);
  position = GetRingPosition(place);
}

int CCubePuzzle::MoveFromDrag(int fromFacelet, int toFacelet) {
  int turn = 0;
  int d = 0;
  for (int axis : {2, 1, 0}) {
    int layerFrom = 0, positionFrom = 0, layerTo = 0, positionTo = 0;
    RingPlace(fromFacelet, axis, layerFrom, positionFrom);
    RingPlace(toFacelet, axis, layerTo, positionTo);
    if (layerFrom == layerTo && positionFrom >= 1 && positionTo >= 1) {
      turn = layerFrom;
      d = positionTo - positionFrom;
    }
  }
  if (turn == 0) return 0;
  const int ring = 4 * m_n;
  if (d < 0) d += ring;
  if (d == 0 || d == ring / 2) return 0;  // no way round, or half-way: ambiguous
  return d > ring / 2 ? -turn : turn;
}

// ---- move notation ----

bool CCubePuzzle::FillLetterMap(int left, int top, int right, int map[kLetterCount]) const {
  const Orientation* found = nullptr;
  for (const Orientation& o : kOrientations)
    if (o.left == left && o.top == top && o.right == right) found = &o;
  if (!found) return false;
  const int n = m_n;
  const int fromOne[5] = {1, 2, n / 2 + 1, n - 1, n};
  const int fromN[5] = {n, n - 1, n / 2 + 1, 2, 1};
  const int codes[3] = {found->codeL, found->codeD, found->codeF};
  for (int g = 0; g < 3; ++g) {
    const int c = codes[g];
    const int axis = (std::abs(c) + 1) / 2 - 1;
    const int* layers = (std::abs(c) % 2) ? fromOne : fromN;
    for (int j = 0; j < 5; ++j) {
      int turn = axis * n + layers[j];
      if (c < 0) turn = -turn;
      if (j >= 3) turn = -turn;
      map[g * 5 + j] = turn;
    }
  }
  map[2] = -map[2];  // the middle slice m turns with R, not with L
  return true;
}

std::vector<int> CCubePuzzle::ParseMoves(const char* text, const int map[kLetterCount]) {
  std::vector<int> moves;
  if (!text) return moves;
  for (const char* p = text; *p; ++p) {
    const char* letter = std::strchr(kLetters, *p);
    if (!letter) continue;
    int turn = map[letter - kLetters];
    int times = 1;
    const char modifier = p[1];
    if (modifier == '1' || modifier == '2' || modifier == '3' || modifier == '\'') {
      ++p;
      if (modifier == '3' || modifier == '\'') turn = -turn;
      if (modifier == '2') times = 2;
    }
    for (int i = 0; i < times; ++i) moves.push_back(turn);
  }
  return moves;
}

// The probes look at the drawing as the player sees it: down the middle from a sixth of the
// height, and along the middle row from the left quarter rightwards and from the right
// quarter leftwards. The first facelet each one meets names a face.
BOOL CCubePuzzle::FindOrientation(int& left, int& top, int& right) {
  if (!IsViewValid()) UpdateView();
  if (!IsOrderValid()) SortFacelets();
  const int w = GetViewWidth();
  const int h = GetViewHeight();
  // The view is drawn about the centre, wherever the window put it.
  const POINT centre = GetCentre();
  const int x0 = centre.x - w / 2;
  const int y0 = centre.y - h / 2;
  auto probe = [this, x0, y0](int x, int y, int dx, int dy, int steps) {
    x += x0;
    y += y0;
    for (int i = 0; i < steps; ++i, x += dx, y += dy) {
      const int id = GetFaceletAt(POINT{x, y});
      if (id != -1) return GetFace(id);
    }
    return -1;
  };
  top = probe(w / 2, h / 6, 0, 1, h - h / 6);
  left = probe(w / 4, h / 2, 1, 0, w - w / 4);
  right = probe(w - w / 4, h / 2, -1, 0, w - w / 4);
  return top >= 0 && left >= 0 && right >= 0;
}

BOOL CCubePuzzle::ExecuteMacro(const char* text) {
  int left = -1;
  int top = -1;
  int right = -1;
  int map[kLetterCount];
  if (!FindOrientation(left, top, right) || !FillLetterMap(left, top, right, map)) {
    m_macroProblem = kAmbiguousMessage;
    return 0;
  }
  const std::vector<int> moves = ParseMoves(text, map);
  QueueMoves(moves.data(), static_cast<int>(moves.size()));
  return 1;
}

CUString CCubePuzzle::JoystickText(float x, float y, float z, int buttons) {
  const JoystickLetter* letters = nullptr;
  float value = 0;
  if (x != 0) {
    letters = kJoystickX;
    value = x;
  } else if (y != 0) {
    letters = kJoystickY;
    value = y;
  } else if (z != 0) {
    letters = kJoystickZ;
    value = z;
  }
  CUString text;
  if (!letters) return text;
  for (int i = 0; i < 5; ++i) {
    if (!(buttons & letters[i].bit)) continue;
    const char letter[2] = {letters[i].letter, 0};
    text += letter;
    if ((letters[i].primeWhen < 0 && value < 0) || (letters[i].primeWhen > 0 && value > 0)) text += "'";
  }
  return text;
}

BOOL CCubePuzzle::JoystickTurn(float x, float y, float z, int buttons) {
  const CUString text = JoystickText(x, y, z, buttons);
  return text.GetLength() > 0 ? ExecuteMacro(text) : 1;
}
