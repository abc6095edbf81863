#include <gyrix/engine/puzzle.h>

#include <platform/wnd.h>

#include <algorithm>

namespace {

// Names of the catalogue's puzzle types, by type id.
const char* const kTypeNames[] = {
    "Cube(2x2x2)", "Cube(3x3x3)", "Cube(4x4x4)", "Cube(5x5x5)", "Pyramid",
    "Sphere", "Skewb", "Dodecahedron", "Icosahedron", "Octahedron(Size2)",
    "Octahedron(Size3)", "PentUltimate", "Star", "Orbix", "SquareOne",
    "Pyramorphix", "XCube", "BiCube", "OctaStar", "Siamese",
    "Tricosa", "Barrel", "DiagonalCube", "Tetra", "TetOcta",
    "OffCenter", "SuperX", "TetraStar", "Gem", "Slider",
    "Triangle", "Pentagon", "Hexagon", "Octagon", "Diamond",
    "Ultimate", "Crystal",
};
constexpr int kTypeCount = sizeof(kTypeNames) / sizeof(kTypeNames[0]);

}  // namespace

// ---- CMove and CMoveInsert ----

CMove::CMove(const int* permutation, int length) {
  if (permutation && length > 0) m_permutation.assign(permutation, permutation + length);
}

void CMoveInsert::Read(CUBuffer& b) { b >> innerFacelet >> position >> vertexList; }

void CMoveInsert::Write(CUBuffer& b) { b << innerFacelet << position << vertexList; }

// ---- CPuzzle: construction and queries ----

CPuzzle::CPuzzle(int maskLength) {
  if (maskLength > 0) m_moveMask.assign(maskLength, 0);
}

CPuzzle::~CPuzzle() { CPuzzle::Clear(); }

void CPuzzle::Clear() {
  CPolyModel::Clear();
  m_moves.DeleteAll();
  m_innerFacelets.DeleteAll();
  // The mask keeps its length until a file supplies a new one, so turns added after a Clear
  // still find their entries.
  std::fill(m_moveMask.begin(), m_moveMask.end(), 0u);
}

int CPuzzle::AddMove(const int* permutation, int extraFacelet) {
  const int k = GetMoveCount();
  const int length = GetFaceletCount();
  const std::uint32_t bit = 1u << MaskBit(k);
  if (permutation) {
    for (int i = 0; i < length; ++i)
      if (permutation[i] != i) SetMoveMask(i, GetMoveMask(i) | bit);
  }
  if (extraFacelet != -1) SetMoveMask(extraFacelet, GetMoveMask(extraFacelet) | bit);
  m_moves.Add(new CMove(permutation, permutation ? length : 0));
  return k + 1;
}

void CPuzzle::ClearTurns() {
  m_moves.DeleteAll();
  m_innerFacelets.DeleteAll();
  std::fill(m_moveMask.begin(), m_moveMask.end(), 0u);
}

BOOL CPuzzle::RemoveVerticesFrom(int index) {
  for (int i = 0; i < GetInnerFaceletCount(); ++i) {
    const CFacelet* f = GetInnerFaceletAt(i);
    for (int v = 0; v < f->GetVertexCount(); ++v)
      if (index >= 0 && f->GetVertexIndex(v) >= index) return 0;
  }
  return CPolyModel::RemoveVerticesFrom(index);
}

int CPuzzle::AddInnerFacelet(const int* indices, int count) {
  const int id = GetInnerFaceletCount();
  m_innerFacelets.Add(new CFacelet(this, id, indices, count, 0));
  return id;
}

std::uint32_t CPuzzle::GetMoveMask(int id) const {
  return (id >= 0 && id < GetMoveMaskLength()) ? m_moveMask[id] : 0;
}

void CPuzzle::SetMoveMask(int id, std::uint32_t bits) {
  if (id >= 0 && id < GetMoveMaskLength()) m_moveMask[id] = bits;
}

const char* CPuzzle::GetTypeName(int typeId) {
  return (typeId >= 0 && typeId < kTypeCount) ? kTypeNames[typeId] : "Unnamed";
}

void CPuzzle::GetColourName(CUString& out, int index, BOOL withName) {
  if (withName)
    out.Format("%s%d", GetName(), index);
  else
    out.Format("Side %d", index);
}

void CPuzzle::SetTitle(CWnd* wnd) {
  CUString title;
  if (m_mode == 0)
    title.Format("Gyrix - %s", GetName());
  else
    title.Format("Gyrix - %s (Mode %d)", GetName(), m_mode);
  ShowTitle(wnd, title);
}

void CPuzzle::ShowTitle(CWnd* wnd, const CUString& title) {
  m_title = title;
  if (wnd) wnd->SetWindowText(title);
}

// ---- defaults of the virtual operations ----

int CPuzzle::GetMoveStep(int /*move*/) { return 15; }
int CPuzzle::GetMoveFrames(int /*move*/) { return 0; }
BOOL CPuzzle::SetMode(int /*mode*/) { return 0; }
void CPuzzle::UpdateSolved() {}
BOOL CPuzzle::GetMoveAxis(int /*k*/, CFixVector& /*a*/, CFixVector& /*b*/) { return 0; }
int CPuzzle::GetCapabilities() { return 0; }
BOOL CPuzzle::JoystickTurn(float /*x*/, float /*y*/, float /*z*/, int /*buttons*/) { return 1; }
BOOL CPuzzle::ExecuteMacro(const char* /*text*/) {
  m_macroProblem = "This puzzle does not execute move macros";
  return 0;
}

bool CPuzzle::NotifyTurnCompleted(int move, bool solvedScramble) {
  if (!m_observer) return false;
  m_observer->OnTurnCompleted(*this, move, solvedScramble);
  return true;
}
int CPuzzle::MoveFromDrag(int /*fromFacelet*/, int /*toFacelet*/) { return 0; }
void CPuzzle::ResetColours() {}
void CPuzzle::GetMoveRotation(CFixMatrix& /*matrix*/, int /*move*/, int /*angle*/) {}
int CPuzzle::GetInnerFacelet(int k) { return k; }
BOOL CPuzzle::ShowInnerFacelet(int /*index*/) { return 1; }

int CPuzzle::GetAnimatedMove(int move) {
  const int k = TurnIndex(move);
  return (k >= 0 && k < GetMoveCount()) ? k : -1;
}

std::vector<int> CPuzzle::GetTurningFacelets(int move) {
  std::vector<int> ids;
  const int k = move != 0 ? GetAnimatedMove(move) : -1;
  if (k < 0) return ids;
  const std::uint32_t bit = 1u << MaskBit(k);
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const int id = GetFacelet(i)->GetId();
    if (GetMoveMask(id) & bit) ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

// ---- painting order while a turn runs ----

std::vector<CFacelet*> CPuzzle::FaceletsById(int length) const {
  std::vector<CFacelet*> byId(std::max(length, 0), nullptr);
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    if (f->GetId() >= 0 && f->GetId() < length) byId[f->GetId()] = f;
  }
  return byId;
}

BOOL CPuzzle::SplitForMove(int k, CUObArray& moving, CUObArray& fixed) {
  const std::uint32_t bit = 1u << MaskBit(k);
  // Every facelet goes to one group, in id order.
  std::vector<CFacelet*> facelets;
  for (int i = 0; i < GetFaceletCount(); ++i) facelets.push_back(GetFacelet(i));
  std::stable_sort(facelets.begin(), facelets.end(),
                   [](const CFacelet* a, const CFacelet* b) { return a->GetId() < b->GetId(); });
  for (CFacelet* f : facelets) {
    const bool moves = (GetMoveMask(f->GetId()) & bit) != 0;
    f->ComputeBox(moves ? kFrameVertices : kViewVertices);
    (moves ? moving : fixed).Add(f);
  }
  if (moving.GetCount() == 0 || fixed.GetCount() == 0) return 0;
  moving.Sort(1);
  fixed.Sort(1);
  return 1;
}

BOOL CPuzzle::IsMovingPartNearer(int k, CUObArray& moving, CUObArray& fixed) {
  CFixVector a;
  CFixVector b;
  if (GetMoveAxis(k, a, b)) return a.z > b.z;
  auto* m = static_cast<CFacelet*>(moving.GetAt(moving.GetCount() / 2));
  auto* f = static_cast<CFacelet*>(fixed.GetAt(fixed.GetCount() / 2));
  return m && f && m->GetDepth() > f->GetDepth();
}

void CPuzzle::SortFacelets() {
  const int k = m_currentMove != 0 ? GetAnimatedMove(m_currentMove) : -1;
  CMove* move = k >= 0 ? GetMove(k) : nullptr;
  CUObArray moving;
  CUObArray fixed;
  if (!move || !SplitForMove(k, moving, fixed)) {
    CPolyModel::SortFacelets();
    return;
  }
  const bool nearer = IsMovingPartNearer(k, moving, fixed);
  CUObArray& list = FaceletList();
  list.RemoveAll();
  move->DeleteInserts();
  const int inner = GetInnerFacelet(k);
  const bool showInner = inner != -1 && ShowInnerFacelet(inner);
  // The cut face shows unturned between the fixed part and a nearer layer, and turns with a
  // layer that is farther away.
  if (nearer) {
    list.Add(fixed);
    if (showInner) move->AddInsert(inner, list.GetCount(), CMoveInsert::kViewList);
    list.Add(moving);
  } else {
    if (showInner) move->AddInsert(inner, 0, CMoveInsert::kFrameList);
    list.Add(moving);
    list.Add(fixed);
  }
}
