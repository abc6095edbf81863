#include <gyrix/engine/polymodel.h>

#include <lumex/coverage.h>

#include <cordak/buffer.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int BytesLeft(CUBuffer& b) { return std::max(0, b.GetSize() - b.GetOffset()); }

CFacelet& AsFacelet(const CUObject& o) { return const_cast<CFacelet&>(static_cast<const CFacelet&>(o)); }

}  // namespace

// ---- CFacelet ----

CFacelet::CFacelet(CPolyModel* owner, int id, const int* indices, int count, int colour)
    : m_owner(owner), m_id(id), m_colour(colour) {
  if (indices && count > 0) m_vertices.assign(indices, indices + count);
  m_points.resize(m_vertices.size());
}

CFacelet::CFacelet(CPolyModel* owner) : m_owner(owner) {}

int CFacelet::operator>(const CUObject& other) { return GetDepth() > AsFacelet(other).GetDepth(); }

int CFacelet::operator<(const CUObject& other) { return GetDepth() < AsFacelet(other).GetDepth(); }

void CFacelet::Read(CUBuffer& b) {
  int count = 0;
  b >> count;
  // A record the rest of the buffer cannot hold is not allocated; the facelet stays empty
  // and the model's reader refuses it.
  m_vertices.clear();
  if (count > 0 && count <= (BytesLeft(b) - 8) / 4) {
    m_vertices.resize(count);
    for (int& v : m_vertices) b >> v;
  } else if (count != 0) {
    b.SeekToEnd();
  }
  m_points.assign(m_vertices.size(), POINT{});
  b >> m_colour >> m_id;
}

void CFacelet::Write(CUBuffer& b) {
  b << GetVertexCount();
  for (int v : m_vertices) b << v;
  b << m_colour << m_id;
}

int CFacelet::GetVertexIndex(int i) const {
  return (i >= 0 && i < GetVertexCount()) ? m_vertices[i] : -1;
}

void CFacelet::SetVertexIndex(int i, int vertex) {
  if (i >= 0 && i < GetVertexCount()) m_vertices[i] = vertex;
}

void CFacelet::ComputeBox(int list) {
  bool first = true;
  for (int index : m_vertices) {
    const CFixVector* v = m_owner ? m_owner->GetVertex(index, list) : nullptr;
    if (!v) continue;
    if (first) {
      m_boxMin = *v;
      m_boxMax = *v;
      first = false;
    } else {
      m_boxMin.Minimum(*v);
      m_boxMax.Maximum(*v);
    }
  }
}

int CFacelet::GetDepth() const { return FixWrap((std::int64_t(m_boxMin.z) + m_boxMax.z) / 2); }

bool CFacelet::Project(int list) {
  const POINT centre = m_owner ? m_owner->GetCentre() : POINT{};
  for (size_t i = 0; i < m_vertices.size(); ++i) {
    const CFixVector* v = m_owner ? m_owner->GetVertex(m_vertices[i], list) : nullptr;
    const POINT p = v ? v->ToClientPoint() : POINT{};
    m_points[i] = POINT{FixWrap(std::int64_t(p.x) + centre.x), FixWrap(std::int64_t(p.y) + centre.y)};
  }
  return IsFrontFacing();
}

void CFacelet::ProjectExact(int list, std::vector<PointF>& out) const {
  const POINT centre = m_owner ? m_owner->GetCentre() : POINT{};
  constexpr float kPerPixel = 1.0f / 65536.0f;
  out.resize(m_vertices.size());
  for (size_t i = 0; i < m_vertices.size(); ++i) {
    const CFixVector* v = m_owner ? m_owner->GetVertex(m_vertices[i], list) : nullptr;
    out[i] = v ? PointF{static_cast<float>(v->x) * kPerPixel + static_cast<float>(centre.x),
                        static_cast<float>(v->y) * kPerPixel + static_cast<float>(centre.y)}
               : PointF{};
  }
}

bool CFacelet::IsFrontFacing() const {
  if (m_points.size() < 3) return false;
  const POINT& p0 = m_points.front();
  const POINT& p1 = m_points[1];
  const POINT& pl = m_points.back();
  const std::int64_t turn = (std::int64_t(pl.y) - p0.y) * (std::int64_t(p1.x) - p0.x) -
                            (std::int64_t(p1.y) - p0.y) * (std::int64_t(pl.x) - p0.x);
  return turn > 0;
}

// ---- CPolyModel ----

CPolyModel::CPolyModel() = default;

CPolyModel::~CPolyModel() { CPolyModel::Clear(); }

void CPolyModel::Clear() {
  m_modelVertices.DeleteAll();
  m_viewVertices.DeleteAll();
  m_frameVertices.DeleteAll();
  m_facelets.DeleteAll();
  m_palette.clear();
  m_viewValid = 0;
  m_orderValid = 0;
}

void CPolyModel::SetModelSize(float size) { m_modelSize = size; }

void CPolyModel::ResetView(int width, int height) {
  if (width != 0) {
    m_viewWidth = width;
    m_viewHeight = height;
  }
  m_viewMatrix.Identity();
  m_viewAngleX = 225;
  m_viewAngleY = -45;
  m_viewAngleZ = -90;
  m_viewMatrix.RotateX(225);
  m_viewMatrix.RotateY(-45);
  m_viewMatrix.RotateZ(-90);
  const float scale = static_cast<float>(std::max(m_viewWidth, m_viewHeight)) / m_modelSize;
  m_viewMatrix.Scale(scale);
  m_centreX = m_viewWidth / 2;
  m_centreY = m_viewHeight / 2;
  m_viewValid = 0;
}

void CPolyModel::ResizeView(int width, int height) {
  const int newSide = std::max(width, height);
  // The matrix is the view's turn times a uniform scale, which commutes with every turn; its
  // rows are as long as the scale. Scaling to the reset view's scale keeps the turn, and
  // measuring the scale each time keeps many resizes from drifting.
  double rowLength = 0;
  for (int c = 0; c < 3; ++c) rowLength += double(m_viewMatrix.m[0][c]) * m_viewMatrix.m[0][c];
  rowLength = std::sqrt(rowLength) / kFixOne;
  if (std::max(m_viewWidth, m_viewHeight) <= 0 || newSide <= 0 || rowLength <= 0 || m_modelSize <= 0) {
    ResetView(width, height);
    return;
  }
  const double wanted = static_cast<double>(newSide) / m_modelSize;
  m_viewMatrix.Scale(static_cast<float>(wanted / rowLength));
  m_viewWidth = width;
  m_viewHeight = height;
  m_centreX = width / 2;
  m_centreY = height / 2;
  m_viewValid = 0;
}

void CPolyModel::CopyViewFrom(const CPolyModel& other) {
  m_viewMatrix = other.m_viewMatrix;
  m_viewWidth = other.m_viewWidth;
  m_viewHeight = other.m_viewHeight;
  m_centreX = other.m_centreX;
  m_centreY = other.m_centreY;
  m_viewAngleX = other.m_viewAngleX;
  m_viewAngleY = other.m_viewAngleY;
  m_viewAngleZ = other.m_viewAngleZ;
  m_viewValid = 0;
  m_orderValid = 0;
}

void CPolyModel::RotateViewX(int delta) {
  m_viewMatrix.RotateX(delta);
  m_viewAngleX += delta;
  m_viewValid = 0;
}

void CPolyModel::RotateViewY(int delta) {
  m_viewMatrix.RotateY(delta);
  m_viewAngleY += delta;
  m_viewValid = 0;
}

void CPolyModel::RotateViewZ(int delta) {
  m_viewMatrix.RotateZ(delta);
  m_viewAngleZ += delta;
  m_viewValid = 0;
}

void CPolyModel::SetCentre(int x, int y) {
  m_centreX = x;
  m_centreY = y;
}

void CPolyModel::UpdateView() {
  m_viewMatrix.TransformList(m_modelVertices, m_viewVertices);
  m_viewValid = 1;
  m_orderValid = 0;
}

void CPolyModel::SortFacelets() {
  const int count = m_facelets.GetCount();
  for (int i = 0; i < count; ++i) static_cast<CFacelet*>(m_facelets.GetAt(i))->ComputeBox(kViewVertices);
  m_facelets.Sort(1);
  m_orderValid = 1;
}

void CPolyModel::AddVertexLists(CFixVector* model) {
  m_modelVertices.Add(model);
  m_viewVertices.Add(new CFixVector());
  m_frameVertices.Add(new CFixVector());
}

int CPolyModel::AddVertex(const CFixVector& v) {
  AddVertexLists(new CFixVector(v));
  return GetVertexCount() - 1;
}

int CPolyModel::AddVertex(int wholeX, int wholeY, int wholeZ) {
  return AddVertex(CFixVector(wholeX, wholeY, wholeZ));
}

int CPolyModel::AddVertex(float fx, float fy, float fz) { return AddVertex(CFixVector(fx, fy, fz)); }

int CPolyModel::AddFacelet(const int* indices, int count) {
  const int id = GetFaceletCount();
  m_facelets.Add(new CFacelet(this, id, indices, count, -1));
  m_orderValid = 0;
  return id;
}

void CPolyModel::SetPalette(const COLORREF* colours, int count) {
  if (colours && count > 0)
    m_palette.assign(colours, colours + count);
  else
    m_palette.clear();
}

void CPolyModel::SetFaceletColour(int id, int colour) {
  if (CFacelet* f = GetFaceletById(id)) f->SetColour(colour);
}

void CPolyModel::DeleteFacelets() {
  m_facelets.DeleteAll();
  m_orderValid = 0;
}

BOOL CPolyModel::RemoveVerticesFrom(int index) {
  if (index < 0) return 0;
  const int count = GetVertexCount();
  if (index >= count) return 1;
  for (int i = 0; i < GetFaceletCount(); ++i) {
    const CFacelet* f = GetFacelet(i);
    for (int v = 0; v < f->GetVertexCount(); ++v)
      if (f->GetVertexIndex(v) >= index) return 0;
  }
  m_modelVertices.DeleteAt(index, count - index);
  m_viewVertices.DeleteAt(index, count - index);
  m_frameVertices.DeleteAt(index, count - index);
  m_viewValid = 0;
  return 1;
}

void CPolyModel::CycleFacelets(int* values, const int* indices, int count) {
  if (!values || !indices || count <= 0) return;
  const int first = values[indices[0]];
  for (int j = 0; j < count - 1; ++j) values[indices[j]] = values[indices[j + 1]];
  values[indices[count - 1]] = first;
}

void CPolyModel::ReverseList(int* values, int count) {
  if (values && count > 1) std::reverse(values, values + count);
}

void CPolyModel::ParallelPoint(CFixVector& out, int a, int b, int c) const {
  const CFixVector* va = GetVertex(a, kModelVertices);
  const CFixVector* vb = GetVertex(b, kModelVertices);
  const CFixVector* vc = GetVertex(c, kModelVertices);
  if (!va || !vb || !vc) return;
  out = CFixVector::Difference(*va, *vc).Sum(*vb);
}

CFixVector* CPolyModel::GetVertex(int index, int list) const {
  const CUObArray* lists[3] = {&m_modelVertices, &m_viewVertices, &m_frameVertices};
  if (list < 0 || list > 2) return nullptr;
  return static_cast<CFixVector*>(lists[list]->GetAt(index));
}

CFacelet* CPolyModel::GetFacelet(int position) const {
  return static_cast<CFacelet*>(m_facelets.GetAt(position));
}

CFacelet* CPolyModel::GetFaceletById(int id) const {
  const int count = m_facelets.GetCount();
  for (int i = 0; i < count; ++i) {
    auto* f = static_cast<CFacelet*>(m_facelets.GetAt(i));
    if (f->GetId() == id) return f;
  }
  return nullptr;
}

int CPolyModel::GetFaceletColour(int id) const {
  const CFacelet* f = GetFaceletById(id);
  return f ? f->GetColour() : -1;
}

COLORREF CPolyModel::GetPaletteEntry(int index) const {
  return (index >= 0 && index < GetPaletteCount()) ? m_palette[index] : 0;
}

void CPolyModel::SetPaletteEntry(int index, COLORREF colour) {
  if (index >= 0 && index < GetPaletteCount()) m_palette[index] = colour;
}

const char* CPolyModel::GetBadFileMessage() {
  return "This file was stored using a different version of Gyrix or is invalid and cannot be loaded.";
}

// ---- reading and writing the model part ----

int CPolyModel::NeedBytes(CUBuffer& b, std::int64_t n) {
  if (n < 0 || n > BytesLeft(b)) MarkReadFailed();
  return !m_readFailed;
}

int CPolyModel::ReadCount(CUBuffer& b, int minBytes) {
  if (m_readFailed || !NeedBytes(b, 4)) return -1;
  int count = 0;
  b >> count;
  if (count < 0 || !NeedBytes(b, std::int64_t(count) * minBytes)) {
    MarkReadFailed();
    return -1;
  }
  return count;
}

void CPolyModel::ReadFacelets(CUBuffer& b, CUObArray& list) {
  // Smallest record: a count, three indices, colour and id.
  const int count = ReadCount(b, 24);
  if (count < 0) return;
  std::vector<char> seen(count, 0);
  const int vertexCount = GetVertexCount();
  for (int i = 0; i < count && !m_readFailed; ++i) {
    auto* f = new CFacelet(this);
    list.Add(f);
    if (!NeedBytes(b, 4)) break;
    f->Read(b);
    // Vertex count below 3 also covers a record cut short.
    if (f->GetVertexCount() < 3 || f->GetId() < 0 || f->GetId() >= count || seen[f->GetId()]) {
      MarkReadFailed();
      break;
    }
    seen[f->GetId()] = 1;
    for (int k = 0; k < f->GetVertexCount(); ++k) {
      const int v = f->GetVertexIndex(k);
      if (v < 0 || v >= vertexCount) MarkReadFailed();
    }
  }
}

void CPolyModel::Read(CUBuffer& b) {
  CPolyModel::Clear();
  const int vertexCount = ReadCount(b, 12);
  for (int i = 0; i < vertexCount; ++i) {
    auto* v = new CFixVector();
    v->Read(b);
    AddVertexLists(v);
  }
  ReadFacelets(b, m_facelets);
  if (NeedBytes(b, 4)) {
    b >> m_modelSize;
    // A scale of zero, below zero or not a number has never been written by the game.
    if (!(m_modelSize > 0.0f && m_modelSize < 1e30f)) MarkReadFailed();
  }
  const int paletteCount = ReadCount(b, 4);
  for (int i = 0; i < paletteCount; ++i) {
    unsigned long colour = 0;
    b >> colour;
    m_palette.push_back(static_cast<COLORREF>(colour));
  }
  m_viewValid = 0;
}

void CPolyModel::Write(CUBuffer& b) {
  m_modelVertices.Write(b);
  m_facelets.Write(b);
  b << m_modelSize;
  b << GetPaletteCount();
  for (COLORREF c : m_palette) b << static_cast<unsigned long>(c);
}
