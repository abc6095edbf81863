#include <gyrix/engine/fixed.h>

#include <gyrix/engine/polymodel.h>

#include <cordak/buffer.h>
#include <cordak/obarray.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kDegreeStep = 0.0174532925199433;  // pi / 180, as the table has always used

int TruncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

// Each product fits 64 bits but their sum may not (a damaged file's far corners): the sum is
// taken in 128 bits, and after the shift it fits 64 again.
std::int64_t Dot64(const CFixVector& a, const CFixVector& b) {
  const __int128 sum = __int128(a.x) * b.x + __int128(a.y) * b.y + __int128(a.z) * b.z;
  return static_cast<std::int64_t>(sum >> 16);
}

}  // namespace

int ToFixed(double f) { return TruncateToInt(f * 65536.0 + 0.5); }
int ToFixed(float f) { return ToFixed(static_cast<double>(f)); }
double FixToDouble(int v) { return v * (1.0 / 65536.0); }
float FixToFloat(int v) { return static_cast<float>(v * (1.0 / 65536.0)); }
int FixMul(int a, int b) { return FixWrap((std::int64_t(a) * b) >> 16); }

// ---- CFixVector ----

CFixVector::CFixVector(int wholeX, int wholeY, int wholeZ)
    : x(FixWrap(std::int64_t(wholeX) * kFixOne)),
      y(FixWrap(std::int64_t(wholeY) * kFixOne)),
      z(FixWrap(std::int64_t(wholeZ) * kFixOne)) {}

CFixVector::CFixVector(float fx, float fy, float fz) : x(ToFixed(fx)), y(ToFixed(fy)), z(ToFixed(fz)) {}

CFixVector::CFixVector(double dx, double dy, double dz) : x(ToFixed(dx)), y(ToFixed(dy)), z(ToFixed(dz)) {}

CFixVector CFixVector::FromRaw(int rx, int ry, int rz) {
  CFixVector v;
  v.x = rx;
  v.y = ry;
  v.z = rz;
  return v;
}

CFixVector& CFixVector::operator=(const CFixVector& v) {
  x = v.x;
  y = v.y;
  z = v.z;
  return *this;
}

void CFixVector::Set(float fx, float fy, float fz) {
  x = ToFixed(fx);
  y = ToFixed(fy);
  z = ToFixed(fz);
}

void CFixVector::Add(const CFixVector& b) {
  x = FixWrap(std::int64_t(x) + b.x);
  y = FixWrap(std::int64_t(y) + b.y);
  z = FixWrap(std::int64_t(z) + b.z);
}

CFixVector CFixVector::Sum(const CFixVector& b) const {
  CFixVector out(*this);
  out.Add(b);
  return out;
}

CFixVector CFixVector::Difference(const CFixVector& a, const CFixVector& b) {
  return FromRaw(FixWrap(std::int64_t(b.x) - a.x), FixWrap(std::int64_t(b.y) - a.y),
                 FixWrap(std::int64_t(b.z) - a.z));
}

void CFixVector::Minimum(const CFixVector& b) {
  if (b.x < x) x = b.x;
  if (b.y < y) y = b.y;
  if (b.z < z) z = b.z;
}

void CFixVector::Maximum(const CFixVector& b) {
  if (b.x > x) x = b.x;
  if (b.y > y) y = b.y;
  if (b.z > z) z = b.z;
}

CFixVector CFixVector::Midpoint(const CFixVector& a, const CFixVector& b) {
  return FromRaw(FixWrap((std::int64_t(a.x) + b.x) / 2), FixWrap((std::int64_t(a.y) + b.y) / 2),
                 FixWrap((std::int64_t(a.z) + b.z) / 2));
}

CFixVector CFixVector::Step(const CFixVector& a, const CFixVector& b, int n) {
  if (n == 0) return CFixVector();
  return FromRaw(FixWrap((std::int64_t(b.x) - a.x) / n), FixWrap((std::int64_t(b.y) - a.y) / n),
                 FixWrap((std::int64_t(b.z) - a.z) / n));
}

void CFixVector::MultiplyBy(int n) {
  x = FixWrap(std::int64_t(x) * n);
  y = FixWrap(std::int64_t(y) * n);
  z = FixWrap(std::int64_t(z) * n);
}

void CFixVector::DivideBy(int n) {
  if (n == 0) return;
  x = FixWrap(std::int64_t(x) / n);
  y = FixWrap(std::int64_t(y) / n);
  z = FixWrap(std::int64_t(z) / n);
}

void CFixVector::DivideBy(float f) {
  if (f == 0.0f || std::isnan(f)) return;
  x = TruncateToInt(x / static_cast<double>(f));
  y = TruncateToInt(y / static_cast<double>(f));
  z = TruncateToInt(z / static_cast<double>(f));
}

CFixVector CFixVector::Cross(const CFixVector& a, const CFixVector& b) {
  return FromRaw(FixWrap((std::int64_t(a.y) * b.z - std::int64_t(a.z) * b.y) >> 16),
                 FixWrap((std::int64_t(a.z) * b.x - std::int64_t(a.x) * b.z) >> 16),
                 FixWrap((std::int64_t(a.x) * b.y - std::int64_t(a.y) * b.x) >> 16));
}

int CFixVector::Dot(const CFixVector& a, const CFixVector& b) { return FixWrap(Dot64(a, b)); }

bool CFixVector::IsNear(const CFixVector& b) const {
  return std::llabs(std::int64_t(x) - b.x) <= kFixHalf && std::llabs(std::int64_t(y) - b.y) <= kFixHalf &&
         std::llabs(std::int64_t(z) - b.z) <= kFixHalf;
}

CFixVector CFixVector::Normal(const CFixVector& p1, const CFixVector& p2, const CFixVector& p3) {
  return Cross(Difference(p1, p2), Difference(p1, p3));
}

void CFixVector::ProjectIntoPlane(const CFixVector& n, const CFixVector& p0) {
  CFixVector w = Difference(p0, *this);
  const std::int64_t nn = Dot(n, n);
  if (nn != 0) {
    const std::int64_t nw = Dot(n, w);
    w.x = FixWrap(w.x - n.x * nw / nn);
    w.y = FixWrap(w.y - n.y * nw / nn);
    w.z = FixWrap(w.z - n.z * nw / nn);
  }
  *this = w;
  const double length = std::sqrt(FixToDouble(Dot(w, w)));
  if (length > 0.0) DivideBy(static_cast<float>(length));
}

void CFixVector::ToFloats(float& fx, float& fy, float& fz) const {
  fx = FixToFloat(x);
  fy = FixToFloat(y);
  fz = FixToFloat(z);
}

void CFixVector::ToDoubles(double& dx, double& dy, double& dz) const {
  dx = FixToDouble(x);
  dy = FixToDouble(y);
  dz = FixToDouble(z);
}

void CFixVector::Read(CUBuffer& b) { b >> x >> y >> z; }

void CFixVector::Write(CUBuffer& b) { b << x << y << z; }

// ---- CFixMatrix ----

CFixMatrix::CFixMatrix(const CFixMatrix& o) : CUObject() { *this = o; }

CFixMatrix& CFixMatrix::operator=(const CFixMatrix& o) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) m[r][c] = o.m[r][c];
  return *this;
}

bool CFixMatrix::operator==(const CFixMatrix& o) const {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c)
      if (m[r][c] != o.m[r][c]) return false;
  return true;
}

void CFixMatrix::Identity() {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) m[r][c] = (r == c) ? kFixOne : 0;
}

void CFixMatrix::Scale(int sx, int sy, int sz) {
  const int factor[3] = {sx, sy, sz};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) m[r][c] = FixMul(m[r][c], factor[r]);
}

void CFixMatrix::Scale(float s) {
  const int f = ToFixed(s);
  Scale(f, f, f);
}

void CFixMatrix::Translate(int wholeX, int wholeY, int wholeZ) {
  m[0][3] = FixWrap(m[0][3] + std::int64_t(wholeX) * kFixOne);
  m[1][3] = FixWrap(m[1][3] + std::int64_t(wholeY) * kFixOne);
  m[2][3] = FixWrap(m[2][3] + std::int64_t(wholeZ) * kFixOne);
}

void CFixMatrix::CombineRows(int r1, int r2, int c, int s) {
  for (int col = 0; col < 4; ++col) {
    const std::int64_t a = m[r1][col];
    const std::int64_t b = m[r2][col];
    m[r1][col] = FixWrap((c * a + s * b) >> 16);
    m[r2][col] = FixWrap((c * b - s * a) >> 16);
  }
}

void CFixMatrix::RotateX(int degrees) {
  const CCosTable& t = CCosTable::Get();
  CombineRows(1, 2, t.Cos(degrees), t.Sin(degrees));
}

void CFixMatrix::RotateY(int degrees) {
  const CCosTable& t = CCosTable::Get();
  CombineRows(0, 2, t.Cos(degrees), t.Sin(degrees));
}

void CFixMatrix::RotateZ(int degrees) {
  // Row 0 takes c row0 - s row1 and row 1 takes c row1 + s row0: the X form with -s.
  const CCosTable& t = CCosTable::Get();
  CombineRows(0, 1, t.Cos(degrees), -t.Sin(degrees));
}

void CFixMatrix::Multiply(const CFixMatrix& b) {
  int result[3][4];
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c)
      result[r][c] = FixWrap((std::int64_t(b.m[r][0]) * m[0][c] + std::int64_t(b.m[r][1]) * m[1][c] +
                              std::int64_t(b.m[r][2]) * m[2][c]) >> 16);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) m[r][c] = result[r][c];
}

void CFixMatrix::Transform(const CFixVector& in, CFixVector& out) const {
  int v[3];
  for (int r = 0; r < 3; ++r)
    v[r] = FixWrap(((std::int64_t(m[r][0]) * in.x + std::int64_t(m[r][1]) * in.y +
                     std::int64_t(m[r][2]) * in.z) >> 16) + m[r][3]);
  out.x = v[0];
  out.y = v[1];
  out.z = v[2];
}

CFixVector CFixMatrix::Transform(const CFixVector& in) const {
  CFixVector out;
  Transform(in, out);
  return out;
}

void CFixMatrix::TransformList(const CUObArray& src, CUObArray& dst) const {
  const int count = src.GetCount();
  for (int i = 0; i < count; ++i) {
    auto* from = static_cast<const CFixVector*>(src.GetAt(i));
    auto* to = static_cast<CFixVector*>(dst.GetAt(i));
    if (from && to) Transform(*from, *to);
  }
}

void CFixMatrix::Read(CUBuffer& b) {
  for (auto& row : m)
    for (int& v : row) b >> v;
}

void CFixMatrix::Write(CUBuffer& b) {
  for (auto& row : m)
    for (int v : row) b << v;
}

// ---- CCosTable ----

CCosTable::CCosTable() {
  // Stepped, not multiplied, and rounded through a float: the values the models were built on.
  double angle = 0.0;
  for (int k = 0; k < 360; ++k) {
    m_entries[k] = ToFixed(static_cast<float>(std::cos(angle)));
    angle += kDegreeStep;
  }
}

const CCosTable& CCosTable::Get() {
  static const CCosTable table;
  return table;
}

int CCosTable::Cos(int degrees) const { return m_entries[std::llabs(std::int64_t(degrees)) % 360]; }

int CCosTable::Sin(int degrees) const {
  return m_entries[std::llabs(std::int64_t(degrees) - 90) % 360];
}

// ---- CFixPlane ----

CFixPlane::CFixPlane(const CFixVector& a, const CFixVector& b, const CFixVector& c) { Set(a, b, c); }

CFixPlane& CFixPlane::operator=(const CFixPlane& o) {
  normal = o.normal;
  d = o.d;
  return *this;
}

void CFixPlane::Set(const CFixVector& a, const CFixVector& b, const CFixVector& c) {
  normal = CFixVector::Normal(a, b, c);
  d = FixWrap(-std::int64_t(CFixVector::Dot(normal, a)));
}

void CFixPlane::Set(const CFacelet& facelet, int list) {
  const CPolyModel* owner = facelet.GetOwner();
  if (!owner || facelet.GetVertexCount() < 3) return;
  const CFixVector* p[3];
  for (int i = 0; i < 3; ++i) {
    p[i] = owner->GetVertex(facelet.GetVertexIndex(i), list);
    if (!p[i]) return;
  }
  Set(*p[0], *p[1], *p[2]);
}

std::int64_t CFixPlane::Value(const CFixVector& p) const { return Dot64(normal, p) + d; }

bool CFixPlane::IsInFront(const CFixVector& p) const { return Value(p) >= kFixHalf; }

bool CFixPlane::IsFaceletInFront(const CFacelet& facelet, int list) const {
  return facelet.GetVertexCount() > 0 && IsInFront(FaceletCentroid(facelet, list));
}

BOOL CFixPlane::IsSamePlane(const CFixPlane& q) const {
  constexpr float kRatioTolerance = 0.005f;
  float r = q.d != 0 ? static_cast<float>(d) / static_cast<float>(q.d) : 0.0f;
  const int mine[3] = {normal.x, normal.y, normal.z};
  const int theirs[3] = {q.normal.x, q.normal.y, q.normal.z};
  for (int i = 0; i < 3; ++i) {
    const std::int64_t a = mine[i];
    const std::int64_t b = theirs[i];
    const bool bothLarge = std::llabs(a) > kFixHalf && std::llabs(b) > kFixHalf;
    if (!bothLarge) {
      if (std::llabs(a - b) > kFixHalf) return 0;
      continue;
    }
    const float ratio = static_cast<float>(a) / static_cast<float>(b);
    if (r == 0.0f) {
      if (i == 2) return 1;
      r = ratio;
    } else if (std::fabs(ratio - r) > kRatioTolerance) {
      return 0;
    }
  }
  return 1;
}

void CFixPlane::Read(CUBuffer& b) {
  normal.Read(b);
  b >> d;
}

void CFixPlane::Write(CUBuffer& b) {
  normal.Write(b);
  b << d;
}

// ---- CAxisRotation ----

CAxisRotation::CAxisRotation(const CFixVector& axis, double radians) {
  double vx, vy, vz;
  axis.ToDoubles(vx, vy, vz);
  const double azimuth = (vx == 0.0 && vy == 0.0) ? 0.0 : std::atan2(vy, vx);
  const double polar = std::atan2(std::sqrt(vx * vx + vy * vy), vz);
  const double u[3] = {std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth),
                       std::cos(polar)};
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const double cross[3][3] = {{0, -u[2], u[1]}, {u[2], 0, -u[0]}, {-u[1], u[0], 0}};
  for (int r = 0; r < 3; ++r)
    for (int col = 0; col < 3; ++col)
      m_r[r][col] = (r == col ? c : 0.0) + s * cross[r][col] + (1.0 - c) * u[r] * u[col];
  // The axis point is v itself; p - R p is zero up to rounding, kept as the rotation has it.
  const double p[3] = {vx, vy, vz};
  for (int r = 0; r < 3; ++r)
    m_t[r] = p[r] - (m_r[r][0] * p[0] + m_r[r][1] * p[1] + m_r[r][2] * p[2]);
}

CFixVector CAxisRotation::Apply(const CFixVector& v) const {
  double in[3];
  v.ToDoubles(in[0], in[1], in[2]);
  double out[3];
  for (int r = 0; r < 3; ++r)
    out[r] = m_r[r][0] * in[0] + m_r[r][1] * in[1] + m_r[r][2] * in[2] + m_t[r];
  return CFixVector(out[0], out[1], out[2]);
}

// ---- helpers ----

CFixVector FaceletCentroid(const CFacelet& facelet, int list) {
  const CPolyModel* owner = facelet.GetOwner();
  const int count = facelet.GetVertexCount();
  std::int64_t sum[3] = {0, 0, 0};
  if (!owner || count <= 0) return CFixVector();
  for (int i = 0; i < count; ++i) {
    const CFixVector* v = owner->GetVertex(facelet.GetVertexIndex(i), list);
    if (!v) continue;
    sum[0] += v->x;
    sum[1] += v->y;
    sum[2] += v->z;
  }
  return CFixVector::FromRaw(FixWrap(sum[0] / count), FixWrap(sum[1] / count), FixWrap(sum[2] / count));
}
