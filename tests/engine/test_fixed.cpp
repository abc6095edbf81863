#include <gyrix/engine.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CFixVector Whole(int x, int y, int z) { return CFixVector(x, y, z); }

void ExpectVector(const CFixVector& v, int x, int y, int z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}

}  // namespace

TEST(FixedPoint, ConversionTruncatesTowardZeroAfterAddingAHalf) {
  EXPECT_EQ(ToFixed(1.5), 98304);
  EXPECT_EQ(ToFixed(-1.5), -98303);
  EXPECT_EQ(ToFixed(1.5f), 98304);
  EXPECT_EQ(ToFixed(-1.0), -65535);
  EXPECT_EQ(ToFixed(0.0), 0);
  EXPECT_DOUBLE_EQ(FixToDouble(98304), 1.5);
  EXPECT_FLOAT_EQ(FixToFloat(-32768), -0.5f);
  EXPECT_EQ(FixMul(3 * kFixOne, -kFixHalf), -98304);
}

TEST(FixedPoint, ConversionOfValuesOutsideTheRangeSaturates) {
  EXPECT_EQ(ToFixed(1e12), std::numeric_limits<int>::max());
  EXPECT_EQ(ToFixed(-1e12), std::numeric_limits<int>::min());
  EXPECT_EQ(ToFixed(std::nan("")), 0);
  EXPECT_EQ(ToFixed(std::numeric_limits<float>::infinity()), std::numeric_limits<int>::max());
}

TEST(FixVector, NearMeansWithinHalfAUnitEvenAtTheEndsOfTheRange) {
  const CFixVector a(1, 2, 3);
  EXPECT_TRUE(a.IsNear(CFixVector(1, 2, 3)));
  CFixVector b = a;
  b.z += kFixHalf;
  EXPECT_TRUE(a.IsNear(b));
  b.z += 1;
  EXPECT_FALSE(a.IsNear(b));
  CFixVector low, high;
  low.x = INT32_MIN;
  high.x = INT32_MAX;
  EXPECT_FALSE(low.IsNear(high));
  EXPECT_FALSE(high.IsNear(low));
}

// Found by fuzzing: a file's far corners give plane values whose products sum past 64 bits.
TEST(FixPlane, ValuesOfFarCornersAreExact) {
  CFixPlane plane;
  plane.normal.x = plane.normal.y = plane.normal.z = INT32_MIN;
  CFixVector far;
  far.x = far.y = far.z = INT32_MIN;
  EXPECT_EQ(plane.Value(far), 3 * (std::int64_t(1) << 46));
  far.x = far.y = far.z = INT32_MAX;
  EXPECT_LT(plane.Value(far), 0);
}

TEST(CosTable, WholeDegreesFoldIntoOneTurn) {
  const CCosTable& t = CCosTable::Get();
  EXPECT_EQ(t.Cos(0), 65536);
  EXPECT_EQ(t.Cos(90), 0);
  EXPECT_EQ(t.Sin(90), 65536);
  EXPECT_EQ(t.Cos(-30), t.Cos(30));
  EXPECT_EQ(t.Sin(450), t.Sin(90));
  EXPECT_EQ(t.Cos(60), 32768);
  EXPECT_EQ(t.Sin(30), 32768);
  EXPECT_EQ(t.Sin(-30), -32767);  // -0.5 truncates toward zero
  // -1.0 truncates toward zero after the added half.
  EXPECT_EQ(t.Cos(180), -65535);
  EXPECT_EQ(t.Cos(720 + 45), t.Cos(45));
  EXPECT_EQ(t.Cos(std::numeric_limits<int>::min()), t.Entry(static_cast<int>(2147483648LL % 360)));
}

TEST(FixMatrix, RotationsOfUnitVectors) {
  CFixMatrix z;
  z.RotateZ(90);
  ExpectVector(z.Transform(Whole(1, 0, 0)), 0, 65536, 0);
  CFixMatrix x;
  x.RotateX(90);
  ExpectVector(x.Transform(Whole(0, 1, 0)), 0, 0, -65536);
  CFixMatrix y;
  y.RotateY(90);
  ExpectVector(y.Transform(Whole(0, 0, 1)), 65536, 0, 0);
}

TEST(FixMatrix, LaterTransformsApplyAfterEarlierOnes) {
  // X first, then Z: (0, 1, 0) -> (0, 0, -1) -> stays on the Z axis.
  CFixMatrix m;
  m.RotateX(90);
  m.RotateZ(90);
  ExpectVector(m.Transform(Whole(0, 1, 0)), 0, 0, -65536);
  // Z first, then X: (1, 0, 0) -> (0, 1, 0) -> (0, 0, -1).
  CFixMatrix n;
  n.RotateZ(90);
  n.RotateX(90);
  ExpectVector(n.Transform(Whole(1, 0, 0)), 0, 0, -65536);
  // A translation is rotated by rotations that follow it.
  CFixMatrix t;
  t.Translate(2, 0, 0);
  t.RotateZ(90);
  ExpectVector(t.Transform(Whole(0, 0, 0)), 0, 2 * 65536, 0);
}

TEST(FixMatrix, ScaleAppliesPerRowIncludingTranslation) {
  CFixMatrix m;
  m.Translate(1, 2, 3);
  m.Scale(2 * kFixOne, kFixHalf, kFixOne);
  ExpectVector(m.Transform(Whole(1, 1, 1)), 4 * 65536, 65536 + 32768, 4 * 65536);
  CFixMatrix u;
  u.Scale(0.5f);
  ExpectVector(u.Transform(Whole(3, -3, 1)), 98304, -98304, 32768);
}

TEST(FixMatrix, MultiplyUsesOnlyTheLeftMatrixRotationPart) {
  CFixMatrix b;
  b.RotateZ(90);
  b.Translate(5, 5, 5);  // ignored by Multiply
  CFixMatrix m;
  m.Translate(1, 0, 0);
  m.Multiply(b);
  // M's translation is rotated by B; B's own translation is not added.
  ExpectVector(m.Transform(Whole(0, 0, 0)), 0, 65536, 0);
  ExpectVector(m.Transform(Whole(1, 0, 0)), 0, 2 * 65536, 0);
}

TEST(FixMatrix, TransformListFillsTheDestinationInOrder) {
  CUObArray src(0, 1);
  CUObArray dst(0, 1);
  for (int i = 0; i < 3; ++i) {
    src.Add(new CFixVector(i, 0, 0));
    dst.Add(new CFixVector());
  }
  CFixMatrix m;
  m.RotateZ(90);
  m.TransformList(src, dst);
  for (int i = 0; i < 3; ++i) ExpectVector(*static_cast<CFixVector*>(dst.GetAt(i)), 0, i * 65536, 0);
}

TEST(FixVector, ProductsSumIn64BitsAndShiftOnce) {
  EXPECT_EQ(CFixVector::Dot(Whole(1, 0, 0), Whole(1, 0, 0)), 65536);
  ExpectVector(CFixVector::Cross(Whole(1, 0, 0), Whole(0, 1, 0)), 0, 0, 65536);
  // Shifting each product alone would lose 2 in the last place; the sum keeps it.
  const CFixVector a = CFixVector::FromRaw(40004, 40004, 40004);
  EXPECT_EQ(CFixVector::Dot(a, a), 73256);
  // Coordinates far beyond what 32 bits can multiply.
  const CFixVector big(30000, 30000, 30000);
  EXPECT_EQ(CFixVector::Dot(big, Whole(1, 0, 0)), 30000 * 65536);
  ExpectVector(CFixVector::Normal(Whole(0, 0, 0), Whole(2, 0, 0), Whole(0, 3, 0)), 0, 0, 6 * 65536);
}

TEST(FixVector, ComponentOperations) {
  ExpectVector(CFixVector::Midpoint(CFixVector::FromRaw(-3, 3, 1), CFixVector::FromRaw(0, 0, 0)), -1, 1, 0);
  ExpectVector(CFixVector::Step3(Whole(0, 0, 0), Whole(1, -1, 3)), 21845, -21845, 65536);
  ExpectVector(CFixVector::Step4(Whole(0, 0, 0), Whole(1, 2, 0)), 16384, 32768, 0);
  ExpectVector(CFixVector::Step(Whole(1, 1, 1), Whole(1, 1, 1), 0), 0, 0, 0);
  ExpectVector(CFixVector::Difference(Whole(1, 2, 3), Whole(0, 0, 0)), -65536, -131072, -196608);
  CFixVector v(1, -2, 3);
  v.MultiplyBy(3);
  ExpectVector(v, 3 * 65536, -6 * 65536, 9 * 65536);
  v.DivideBy(3);
  v.DivideBy(0);  // ignored
  ExpectVector(v, 65536, -2 * 65536, 3 * 65536);
  v.DivideBy(2.0f);
  ExpectVector(v, 32768, -65536, 98304);
  CFixVector lo(1, 5, -1);
  lo.Minimum(Whole(0, 6, -2));
  ExpectVector(lo, 0, 5 * 65536, -2 * 65536);
  lo.Maximum(Whole(3, 0, 0));
  ExpectVector(lo, 3 * 65536, 5 * 65536, 0);
  const POINT p = CFixVector::FromRaw(-1, 65536 * 7 + 65535, 0).ToClientPoint();
  EXPECT_EQ(p.x, -1);
  EXPECT_EQ(p.y, 7);
}

TEST(FixVector, ProjectionIntoAPlaneGivesAUnitDirection) {
  CFixVector v(3, 4, 9);
  v.ProjectIntoPlane(Whole(0, 0, 2), Whole(0, 0, 1));
  // (3, 4, 0) / 5
  EXPECT_NEAR(v.x, ToFixed(0.6), 2);
  EXPECT_NEAR(v.y, ToFixed(0.8), 2);
  EXPECT_EQ(v.z, 0);
  CFixVector at(0, 0, 1);
  at.ProjectIntoPlane(Whole(0, 0, 1), Whole(0, 0, 1));  // no direction: stays at zero
  ExpectVector(at, 0, 0, 0);
}

TEST(FixPlane, PointsWithinHalfAUnitLieOnThePlane) {
  // Plane z = 0 with the unit normal (0, 0, 1).
  const CFixPlane plane(Whole(0, 0, 0), Whole(1, 0, 0), Whole(0, 1, 0));
  ExpectVector(plane.normal, 0, 0, 65536);
  EXPECT_EQ(plane.d, 0);
  EXPECT_FALSE(plane.IsInFront(CFixVector(0.0, 0.0, 0.25)));
  EXPECT_TRUE(plane.IsInFront(CFixVector(0.0, 0.0, 0.5)));
  EXPECT_FALSE(plane.IsInFront(CFixVector(0.0, 0.0, -2.0)));
  // The order of the three points decides the front.
  const CFixPlane flipped(Whole(0, 0, 0), Whole(0, 1, 0), Whole(1, 0, 0));
  EXPECT_TRUE(flipped.IsInFront(CFixVector(0.0, 0.0, -2.0)));
  // An offset plane: z = 2.
  const CFixPlane high(Whole(0, 0, 2), Whole(1, 0, 2), Whole(0, 1, 2));
  EXPECT_EQ(high.Value(Whole(5, 5, 3)), 65536);
  EXPECT_FALSE(high.IsInFront(Whole(0, 0, 2)));
}

TEST(FixPlane, SamePlaneToleratesScaleButNotTilt) {
  const CFixPlane a(Whole(0, 0, 2), Whole(1, 0, 2), Whole(0, 1, 2));
  const CFixPlane scaled(Whole(0, 0, 2), Whole(2, 0, 2), Whole(0, 2, 2));  // normal 4x, d 4x
  const CFixPlane other(Whole(0, 0, 3), Whole(1, 0, 3), Whole(0, 1, 3));
  const CFixPlane tilted(Whole(0, 0, 2), Whole(1, 0, 3), Whole(0, 1, 2));
  EXPECT_TRUE(a.IsSamePlane(a));
  EXPECT_TRUE(a.IsSamePlane(scaled));
  EXPECT_FALSE(a.IsSamePlane(other));
  EXPECT_FALSE(a.IsSamePlane(tilted));
  // Through the origin (d = 0): only the normals decide.
  const CFixPlane o1(Whole(0, 0, 0), Whole(1, 0, 0), Whole(0, 1, 0));
  const CFixPlane o2(Whole(0, 0, 0), Whole(0, 1, 0), Whole(-1, 0, 0));
  EXPECT_TRUE(o1.IsSamePlane(o2));
}

TEST(AxisRotation, TurnsCounterClockwiseSeenFromTheAxisTip) {
  const CAxisRotation quarter(Whole(0, 0, 1), M_PI / 2);
  ExpectVector(quarter.Apply(Whole(1, 0, 0)), 0, 65536, 0);
  const CAxisRotation third(Whole(1, 1, 1), 2 * M_PI / 3);
  ExpectVector(third.Apply(Whole(1, 0, 0)), 0, 65536, 0);
  ExpectVector(third.Apply(Whole(0, 0, 2)), 2 * 65536, 0, 0);
}
