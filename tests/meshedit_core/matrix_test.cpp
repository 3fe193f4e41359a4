#include "meshedit/core/matrix.h"

#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "meshedit/core/sin_cos_table.h"

using namespace pavix;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectPoint(const CVector& p, float x, float y, float z, float tol = 1e-4f) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
  EXPECT_NEAR(p.z, z, tol);
}

TEST(SinCosTable, LooksUpTheNearestOf4096Steps) {
  EXPECT_EQ(SinCosIndex(0.0f), 0);
  EXPECT_EQ(SinCosIndex(2 * kPi), 0);  // a full turn is entry 0 again
  EXPECT_EQ(SinCosIndex(-kPi / 2), 3072);
  EXPECT_FLOAT_EQ(TableSin(-kPi / 2), -1.0f);
  EXPECT_FLOAT_EQ(TableCos(0.0f), 1.0f);
  EXPECT_NEAR(TableSin(kPi / 6), 0.5f, 1e-3f);
  EXPECT_NEAR(TableCos(kPi / 3), 0.5f, 1e-3f);
  // One step is 2 pi / 4096; half a step rounds to the next entry.
  EXPECT_EQ(SinCosIndex(1.6f * 2 * kPi / 4096), 2);
}

TEST(SinCosTable, OddAnglesStayInTheTable) {
  const float cases[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f, 3e9f};
  for (float a : cases) {
    const int i = SinCosIndex(a);
    EXPECT_GE(i, 0) << a;
    EXPECT_LT(i, 4096) << a;
  }
  EXPECT_EQ(SinCosIndex(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(Matrix, ColumnsAreTheImagesOfTheAxes) {
  CMatrix m{{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 20, 30}};
  ExpectPoint(TransformPoint(m, {1, 0, 0}), 11, 22, 33);
  ExpectPoint(TransformPoint(m, {0, 1, 0}), 14, 25, 36);
  ExpectPoint(TransformPoint(m, {0, 0, 1}), 17, 28, 39);
  ExpectPoint(RotateVector(m, {0, 0, 1}), 7, 8, 9);
}

TEST(Matrix, DefaultNodeQuaternionIsTheIdentityRotation) {
  CMatrix m = ScaleMatrix(7.0f);
  m.t[0] = 5;
  QuaternionToMatrix({0, 0, 0, 0.5f}, m);
  const CMatrix id = IdentityMatrix();
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(m.m[i], id.m[i]) << i;
  EXPECT_FLOAT_EQ(m.t[0], 5);  // the plain form leaves the translation alone
}

TEST(Matrix, QuaternionElementsFollowTheirFormulas) {
  const float h = std::sqrt(0.5f);
  CMatrix m;
  QuaternionToMatrix({0, 0, h, h}, {1, 2, 3}, m);
  // m1 = 2(xy - zw), m3 = 2(xy + zw)
  EXPECT_NEAR(m.m[1], -1.0f, 1e-6f);
  EXPECT_NEAR(m.m[3], 1.0f, 1e-6f);
  EXPECT_NEAR(m.m[0], 0.0f, 1e-6f);
  EXPECT_NEAR(m.m[8], 1.0f, 1e-6f);
  EXPECT_FLOAT_EQ(m.t[2], 3);
  // With a point p and a vector t: translation R p + t.
  QuaternionToMatrix({0, 0, h, h}, {1, 0, 0}, {5, 5, 5}, m);
  ExpectPoint({m.t[0], m.t[1], m.t[2]}, 5, 4, 5, 1e-5f);
}

TEST(Matrix, EulerAnglesThroughTheTable) {
  CMatrix m;
  EulerToMatrix({0, 0, kPi / 2}, {1, 1, 1}, m);
  ExpectPoint(RotateVector(m, {1, 0, 0}), 0, 1, 0);
  ExpectPoint(TransformPoint(m, {0, 1, 0}), 0, 1, 1);
  EulerToMatrixNoTranslation({kPi / 2, 0, 0}, m);
  EXPECT_FLOAT_EQ(m.m[7], -1.0f);
  ExpectPoint(RotateVector(m, {0, 1, 0}), 0, 0, 1);
  EXPECT_FLOAT_EQ(m.t[1], 0);
  CMatrix keep = TranslationMatrix({4, 5, 6});
  EulerToMatrix({0, kPi, 0}, keep);
  EXPECT_FLOAT_EQ(keep.t[2], 6);
  ExpectPoint(RotateVector(keep, {1, 0, 0}), -1, 0, 0);
}

TEST(Matrix, ProductAppliesTheFirstThenTheSecond) {
  const CMatrix move = TranslationMatrix({1, 0, 0});
  CMatrix turn;
  EulerToMatrixNoTranslation({0, 0, kPi / 2}, turn);
  ExpectPoint(TransformPoint(Multiply(move, turn), {0, 0, 0}), 0, 1, 0);
  ExpectPoint(TransformPoint(Multiply(turn, move), {0, 0, 0}), 1, 0, 0);
  CMatrix turnAway = turn;
  turnAway.t[2] = 9;
  ExpectPoint(TransformPoint(MultiplyNoTranslation(move, turnAway), {0, 0, 0}), 0, 1, 0);
}

TEST(Matrix, RigidInverseUndoesTheMatrix) {
  CMatrix m;
  EulerToMatrix({0.3f, -1.1f, 2.0f}, {4, -5, 6}, m);
  const CMatrix back = Multiply(m, InverseRigid(m));
  const CMatrix id = IdentityMatrix();
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(back.m[i], id.m[i], 1e-5f);
  for (float t : back.t) EXPECT_NEAR(t, 0.0f, 1e-4f);
}

TEST(Matrix, ScalingAddingAndNormalising) {
  CMatrix m{{1, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1}};
  ScaleOutputAxes(m, 2, 3, 4, true);
  ExpectPoint(TransformPoint(m, {1, 0, 0}), 4, 6, 8);
  CMatrix n{{1, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1}};
  ScaleOutputAxes(n, 2, 3, false);
  EXPECT_FLOAT_EQ(n.m[3], 2);
  EXPECT_FLOAT_EQ(n.m[5], 1);
  EXPECT_FLOAT_EQ(n.t[0], 1);
  const CMatrix sum = AddMatrices(IdentityMatrix(), TranslationMatrix({1, 2, 3}));
  EXPECT_FLOAT_EQ(sum.m[0], 2);
  EXPECT_FLOAT_EQ(sum.t[1], 2);
  ScaleWhole(n, 0.5f);
  EXPECT_FLOAT_EQ(n.t[2], 0.5f);
  CVector zero{0, 0, 0};
  Normalize(zero);
  EXPECT_EQ(zero, (CVector{0, 0, 0}));
  CVector v{3, 0, 4};
  Normalize(v);
  ExpectPoint(v, 0.6f, 0, 0.8f, 1e-6f);
  ExpectPoint(TriangleNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), 0, 0, -1);
}

TEST(Matrix, AnglesWrapIntoHalfTurns) {
  EXPECT_NEAR(WrapAngle(3 * kPi / 2), -kPi / 2, 1e-5f);
  EXPECT_NEAR(WrapAngle(-5 * kPi / 2), -kPi / 2, 1e-5f);
  EXPECT_FLOAT_EQ(WrapAngle(1.0f), 1.0f);
  // Angles no loop could bring home end at once, inside the range.
  EXPECT_EQ(WrapAngle(std::numeric_limits<float>::infinity()), 0.0f);
  EXPECT_EQ(WrapAngle(std::numeric_limits<float>::quiet_NaN()), 0.0f);
  const float far = WrapAngle(1e30f);
  EXPECT_LE(std::fabs(far), kPi);
  CVector angles{7.0f, -7.0f, 0.5f};
  WrapAngles(angles);
  EXPECT_NEAR(angles.x, 7.0f - 2 * kPi, 1e-5f);
  EXPECT_NEAR(angles.y, -7.0f + 2 * kPi, 1e-5f);
}

}  // namespace
