// 16.16 fixed-point geometry: every puzzle coordinate is a signed 32-bit integer holding
// value x 65536. Products are formed in 64 bits and shifted once per sum, so the truncation
// of each operation is part of what gets drawn and of which facelets a plane test finds.
#pragma once

#include <cordak/object.h>
#include <platform/types.h>

#include <cstdint>

class CUBuffer;
class CUObArray;
class CFacelet;
class CPolyModel;

constexpr int kFixOne = 1 << 16;   // 1.0
constexpr int kFixHalf = 1 << 15;  // 0.5: the tolerance of plane tests and vertex snapping

// To fixed: f x 65536 + 0.5, truncated toward zero (so -1.5 gives -98303). Values beyond the
// int32 range saturate and NaN gives 0, so bad input never reaches an undefined conversion.
int ToFixed(double f);
int ToFixed(float f);
double FixToDouble(int v);
float FixToFloat(int v);
// (a x b) >> 16 with a 64-bit intermediate and an arithmetic shift.
int FixMul(int a, int b);
// A 64-bit fixed sum brought back to int32; wraps like the 32-bit arithmetic it stands for.
inline int FixWrap(std::int64_t v) { return static_cast<int>(static_cast<std::uint32_t>(v)); }

class CFixVector : public CUObject {
 public:
  int x = 0;
  int y = 0;
  int z = 0;

  CFixVector() = default;
  CFixVector(const CFixVector& v) : CUObject(), x(v.x), y(v.y), z(v.z) {}
  CFixVector(int wholeX, int wholeY, int wholeZ);  // whole units
  CFixVector(float fx, float fy, float fz);
  CFixVector(double dx, double dy, double dz);
  static CFixVector FromRaw(int rx, int ry, int rz);

  CFixVector& operator=(const CFixVector& v);
  bool operator==(const CFixVector& v) const { return x == v.x && y == v.y && z == v.z; }

  void Set(const CFixVector& v) { *this = v; }
  void Set(float fx, float fy, float fz);

  void Add(const CFixVector& b);
  CFixVector Sum(const CFixVector& b) const;  // this + b
  static CFixVector Difference(const CFixVector& a, const CFixVector& b);  // b - a
  void Minimum(const CFixVector& b);  // componentwise, for bounding boxes
  void Maximum(const CFixVector& b);
  static CFixVector Midpoint(const CFixVector& a, const CFixVector& b);
  // (b - a) / n per coordinate; n = 0 gives the zero vector.
  static CFixVector Step(const CFixVector& a, const CFixVector& b, int n);
  static CFixVector Step3(const CFixVector& a, const CFixVector& b) { return Step(a, b, 3); }
  static CFixVector Step4(const CFixVector& a, const CFixVector& b) { return Step(a, b, 4); }

  void MultiplyBy(int n);
  void DivideBy(int n);    // integer division of the raw values; 0 leaves the vector alone
  void DivideBy(float f);  // raw / f, truncated; 0 (or NaN) leaves the vector alone

  static CFixVector Cross(const CFixVector& a, const CFixVector& b);
  static int Dot(const CFixVector& a, const CFixVector& b);
  int Dot(const CFixVector& b) const { return Dot(*this, b); }
  static CFixVector Normal(const CFixVector& p1, const CFixVector& p2, const CFixVector& p3);
  // Within half a unit of b in each coordinate: the same place, for snapping and matching.
  // Safe for any values, such as a damaged file's.
  bool IsNear(const CFixVector& b) const;

  // Moves this point into the plane through p0 with normal n and turns it into the unit
  // direction from p0. A zero normal or a point at p0 leaves what cannot be computed.
  void ProjectIntoPlane(const CFixVector& n, const CFixVector& p0);

  POINT ToClientPoint() const { return POINT{x >> 16, y >> 16}; }
  void ToFloats(float& fx, float& fy, float& fz) const;
  void ToDoubles(double& dx, double& dy, double& dz) const;

  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;
};

// Rows m00 m01 m02 tx / m10 m11 m12 ty / m20 m21 m22 tz; maps v to R v + t. Every changing
// operation applies its transform after the existing one (M := T x M).
class CFixMatrix : public CUObject {
 public:
  int m[3][4];

  CFixMatrix() { Identity(); }
  CFixMatrix(const CFixMatrix& o);
  CFixMatrix& operator=(const CFixMatrix& o);
  bool operator==(const CFixMatrix& o) const;

  void Identity();
  void Scale(int sx, int sy, int sz);  // fixed factors, per row
  void Scale(float s);
  void Translate(int wholeX, int wholeY, int wholeZ);
  void RotateX(int degrees);
  void RotateY(int degrees);
  void RotateZ(int degrees);
  // M := B x M with B's 3 x 3 part only (B's translation is not added).
  void Multiply(const CFixMatrix& b);

  void Transform(const CFixVector& in, CFixVector& out) const;
  CFixVector Transform(const CFixVector& in) const;
  // dst[i] = M x src[i] for every entry of src; both hold CFixVector and are equally long.
  void TransformList(const CUObArray& src, CUObArray& dst) const;

  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;

 private:
  void CombineRows(int r1, int r2, int c, int s);  // r1 := c r1 + s r2, r2 := c r2 - s r1
};

// Cosines of whole degrees; one table for the whole process, built on first use.
class CCosTable {
 public:
  CCosTable();
  static const CCosTable& Get();
  int Cos(int degrees) const;
  int Sin(int degrees) const;
  int Entry(int k) const { return m_entries[k]; }

 private:
  int m_entries[360];
};

class CFixPlane : public CUObject {
 public:
  CFixVector normal;  // not normalised
  int d = 0;

  CFixPlane() = default;
  CFixPlane(const CFixPlane& o) : CUObject(), normal(o.normal), d(o.d) {}
  CFixPlane(const CFixVector& a, const CFixVector& b, const CFixVector& c);
  CFixPlane& operator=(const CFixPlane& o);

  void Set(const CFixVector& a, const CFixVector& b, const CFixVector& c);
  // Through the first three vertices of the facelet in vertex list `list` of its owner.
  void Set(const CFacelet& facelet, int list);

  std::int64_t Value(const CFixVector& p) const;  // normal . p + d, fixed
  bool IsInFront(const CFixVector& p) const;      // value >= 0.5; |value| < 0.5 is on the plane
  bool IsFaceletInFront(const CFacelet& facelet, int list) const;
  BOOL IsSamePlane(const CFixPlane& q) const;

  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;
};

// A rotation in double precision about the line through the origin along an axis, by the
// right-hand rule; only puzzle constructors use it, to place vertices.
class CAxisRotation {
 public:
  CAxisRotation(const CFixVector& axis, double radians);
  CFixVector Apply(const CFixVector& v) const;

 private:
  double m_r[3][3];
  double m_t[3];
};

// Centroid of a facelet's vertices in one vertex list (integer division per coordinate).
CFixVector FaceletCentroid(const CFacelet& facelet, int list);
