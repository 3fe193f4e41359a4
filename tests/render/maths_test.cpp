#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "render/camera.h"
#include "render/matrix.h"
#include "render/quaternion.h"
#include "render/vector3.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectMatrixNear(const CMatrix& a, const CMatrix& b, float tol = 1e-4f) {
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(a.m[i], b.m[i], tol) << "element " << i;
}

CMatrix Identity() { return CMatrix(); }

TEST(Vector3, NormalizeOfZeroLeavesTheVectorAndReturnsZero) {
  CVector3 v;
  EXPECT_EQ(v.Normalize(), 0);
  EXPECT_EQ(v, CVector3(0, 0, 0));
  CVector3 w(3, 0, 4);
  EXPECT_EQ(w.Normalize(), 1);
  EXPECT_NEAR(w.x, 0.6f, 1e-6f);
  EXPECT_NEAR(w.z, 0.8f, 1e-6f);
}

TEST(Vector3, ArithmeticAndCrossProduct) {
  const CVector3 a(1, 2, 3), b(4, 5, 6);
  EXPECT_EQ(AddVectors(a, b), CVector3(5, 7, 9));
  EXPECT_EQ(SubtractVectors(a, b), CVector3(-3, -3, -3));
  EXPECT_EQ(CrossProduct(CVector3(1, 0, 0), CVector3(0, 1, 0)), CVector3(0, 0, 1));
  EXPECT_EQ(CrossProduct(a, b), CVector3(-3, 6, -3));
  const float raw[3] = {7, 8, 9};
  EXPECT_EQ(CopyVector3(raw), CVector3(7, 8, 9));
  EXPECT_EQ(AddPoints(Point{1, 2}, Point{-5, 10}), (Point{-4, 12}));
}

TEST(Matrix, PointsAreRowVectors) {
  CMatrix m;
  m.FromAxes({0, 1, 0}, {-1, 0, 0}, {0, 0, 1});  // x goes to y
  m.SetPosition({10, 20, 30});
  EXPECT_EQ(m.TransformPoint({1, 0, 0}), CVector3(10, 21, 30));
  EXPECT_EQ(m.TransformPoint({0, 1, 0}), CVector3(9, 20, 30));
}

TEST(Matrix, EulerRoundTrips) {
  const CVector3 cases[] = {{0.3f, -1.2f, 2.0f}, {0.0f, 0.0f, 0.0f}, {-0.7f, 2.5f, -3.0f}, {1.2f, 0.1f, 0.4f}};
  for (const CVector3& a : cases) {
    CMatrix m;
    m.FromEuler(a);
    const CVector3 back = m.ToEuler();
    EXPECT_NEAR(back.x, a.x, 1e-4f);
    EXPECT_NEAR(back.y, a.y, 1e-4f);
    EXPECT_NEAR(back.z, a.z, 1e-4f);
  }
}

TEST(Matrix, EulerAtTheVerticalGivesZeroY) {
  CMatrix m;
  m.FromEuler({kPi / 2, 0.4f, 1.0f});
  m.m[7] = -1.0f;  // straight up exactly
  const CVector3 back = m.ToEuler();
  EXPECT_NEAR(back.x, kPi / 2, 1e-6f);
  EXPECT_EQ(back.y, 0.0f);
  EXPECT_NEAR(back.z, 1.0f - 0.4f, 1e-4f);
}

TEST(Matrix, EulerWithinRoundingOfTheVerticalKeepsTheRotation) {
  // Rotations that pass through a quaternion come back a rounding step off
  // 90 degrees of pitch; their angles must still rebuild the same matrix.
  const CVector3 cases[] = {{kPi / 2, 0.4f, 1.0f}, {-kPi / 2, -0.3f, 0.2f}, {kPi / 2, 1.5f, -2.0f}};
  for (const CVector3& a : cases) {
    CMatrix exact;
    exact.FromEuler(a);
    CQuaternion q;
    q.FromMatrix(exact);
    const CMatrix m = q.ToMatrix();
    CMatrix back;
    back.FromEuler(m.ToEuler());
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(back.m[i], m.m[i], 1e-3f) << i;
  }
}

TEST(Matrix, FromSinCosMatchesFromEuler) {
  const CVector3 a(0.5f, -0.25f, 1.5f);
  CMatrix e, s;
  e.FromEuler(a);
  s.FromSinCos(std::sin(a.x), std::cos(a.x), std::sin(a.y), std::cos(a.y), std::sin(a.z), std::cos(a.z));
  ExpectMatrixNear(e, s, 0.0f);
}

TEST(Matrix, ProductAppliesTheFirstThenTheSecond) {
  CMatrix a, b;
  a.FromEulerAndPosition({0.2f, 0.4f, -0.3f}, {5, -2, 7});
  b.FromEulerAndPosition({-1.0f, 0.3f, 0.9f}, {-3, 11, 4});
  const CVector3 p(2, -6, 9);
  const CVector3 expected = b.TransformPoint(a.TransformPoint(p));
  const CVector3 got = MultiplyMatrices(a, b).TransformPoint(p);
  EXPECT_NEAR(got.x, expected.x, 1e-4f);
  EXPECT_NEAR(got.y, expected.y, 1e-4f);
  EXPECT_NEAR(got.z, expected.z, 1e-4f);
}

TEST(Matrix, InverseUndoesTheTransform) {
  const CVector3 angles[] = {{0.3f, -1.2f, 2.0f}, {1.5f, 0.0f, -0.5f}, {0, 0, 0}};
  for (const CVector3& a : angles) {
    CMatrix m;
    m.FromEulerAndPosition(a, {100, -250, 3000});
    ExpectMatrixNear(MultiplyMatrices(m, m.Inverse()), Identity(), 1e-3f);
    ExpectMatrixNear(MultiplyMatrices(m.Inverse(), m), Identity(), 1e-3f);
  }
}

TEST(Matrix, LookAtStraightUpUsesTheEulerForm) {
  CMatrix look, expected;
  look.LookAt({0, 0, 0}, {0, 10, 0});
  expected.FromEuler({-kPi / 2, 0, 0});
  ExpectMatrixNear(look, expected, 0.0f);
  look.LookAt({0, 0, 0}, {0, -10, 0});
  expected.FromEuler({kPi / 2, 0, 0});
  ExpectMatrixNear(look, expected, 0.0f);
}

TEST(Matrix, LookAtGivesRowsRightUpAndDirection) {
  CMatrix look;
  look.LookAt({1, 1, 1}, {1, 1, 11});
  ExpectMatrixNear(look, Identity(), 1e-6f);
  look.LookAt({0, 0, 0}, {3, 4, 0});
  EXPECT_NEAR(look.m[6], 0.6f, 1e-6f);
  EXPECT_NEAR(look.m[7], 0.8f, 1e-6f);
  EXPECT_NEAR(look.m[0], 0.0f, 1e-6f);  // right = (d.z, 0, -d.x)
  EXPECT_NEAR(look.m[2], -1.0f, 1e-6f);
}

TEST(Matrix, LookAtEqualPointsGivesTheIdentity) {
  CMatrix look;
  look.FromEuler({1, 2, 3});
  look.LookAt({5, 5, 5}, {5, 5, 5});
  ExpectMatrixNear(look, Identity(), 0.0f);
}

TEST(Matrix, Heading) {
  CMatrix m;
  EXPECT_NEAR(m.Heading(), 0.0f, 1e-6f);
  m.FromEuler({0, 0.7f, 0});
  // f = (sin 0.7, 0, cos 0.7), u = (0, 1, 0): atan2(-f.x, f.z)
  EXPECT_NEAR(m.Heading(), -0.7f, 1e-5f);
  CMatrix down;
  down.SetPosition({0, 0, -1});  // f lands on the origin
  EXPECT_NEAR(down.Heading(), -kPi / 2, 1e-6f);
  down.SetPosition({0.00001f, 0, -1});
  EXPECT_NEAR(down.Heading(), kPi / 2, 1e-6f);
}

TEST(Quaternion, MatrixRoundTripsThroughEveryBranch) {
  // Rotations that make the trace positive and each diagonal element the largest.
  const CVector3 angles[] = {{0.2f, 0.3f, 0.1f}, {0.0f, 0.0f, 3.0f}, {3.0f, 0.1f, 0.0f}, {0.1f, 3.0f, 0.0f},
                             {kPi, 0, 0}, {0, kPi, 0}, {0, 0, kPi}};
  for (const CVector3& a : angles) {
    CMatrix m;
    m.FromEuler(a);
    CQuaternion q;
    q.FromMatrix(m);
    EXPECT_NEAR(q.Dot(q), 1.0f, 1e-4f);
    ExpectMatrixNear(q.ToMatrix(), m, 1e-4f);
  }
}

TEST(Quaternion, SlerpEndsAndOppositeSigns) {
  const CQuaternion a(1, 0, 0, 0);
  const float h = std::sqrt(0.5f);
  const CQuaternion b(h, 0, h, 0);
  auto eq = [](const CQuaternion& p, const CQuaternion& q) {
    EXPECT_NEAR(p.w, q.w, 1e-5f);
    EXPECT_NEAR(p.x, q.x, 1e-5f);
    EXPECT_NEAR(p.y, q.y, 1e-5f);
    EXPECT_NEAR(p.z, q.z, 1e-5f);
  };
  eq(CQuaternion::Slerp(a, b, -1.0f), a);
  eq(CQuaternion::Slerp(a, b, 2.0f), b);
  const float c = std::cos(kPi / 8), s = std::sin(kPi / 8);
  eq(CQuaternion::Slerp(a, b, 0.5f), CQuaternion(c, 0, s, 0));
  // q and -q: the first is negated, so the two agree and the result is -q.
  CQuaternion q(0.5f, 0.5f, -0.5f, 0.5f), nq = q;
  nq.Negate();
  eq(CQuaternion::Slerp(q, nq, 0.5f), nq);
}

TEST(Camera, StartValues) {
  const CCamera c;
  EXPECT_EQ(c.modes[0], 1);
  EXPECT_EQ(c.modes[1], 1);
  EXPECT_EQ(c.range, 2892.0f);
  ExpectMatrixNear(c.view, Identity(), 0.0f);
  EXPECT_EQ(c.position, CVector3(0, 0, 0));
  EXPECT_EQ(c.farDistance, 5500);
  EXPECT_EQ(c.nearDistance, 3500);
  EXPECT_EQ(c.bounds[0], -700.0f);
  EXPECT_EQ(c.bounds[3], 3712.0f);
  EXPECT_EQ(c.background, 0xFF676981u);
  EXPECT_EQ(c.maxDistance, 9999999);
  EXPECT_EQ(c.orientations[2].w, 0.0f);
}

TEST(Camera, LookAtPointsTheViewAtTheTarget) {
  CCamera c;
  c.position = {0, 4000, -8000};
  c.LookAt(0, 0, 0);
  // The target lies on the camera's +z axis, straight ahead.
  const CVector3 rel = CVector3(0, 0, 0) - c.position;
  const CVector3 cam = c.view.RotateVector(rel);
  EXPECT_NEAR(cam.x, 0.0f, 1e-2f);
  EXPECT_NEAR(cam.y, 0.0f, 1e-2f);
  EXPECT_NEAR(cam.z, rel.Length(), 1e-1f);
  EXPECT_NEAR(c.heading, c.view.Heading(), 0.0f);
}

TEST(Camera, LookAtItsOwnPositionOrStraightDownChangesNothing) {
  for (const CVector3& target : {CVector3(10, 20, 30), CVector3(10, -500, 30)}) {
    CCamera c;
    c.position = {10, 20, 30};
    c.view.FromEuler({0.1f, 0.2f, 0.3f});
    c.heading = 1.25f;
    const CMatrix before = c.view;
    c.LookAt(target.x, target.y, target.z);
    ExpectMatrixNear(c.view, before, 0.0f);
    EXPECT_EQ(c.heading, 1.25f);
  }
}

}  // namespace
