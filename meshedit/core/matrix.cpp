#include "meshedit/core/matrix.h"

#include <cmath>
#include <numbers>

#include "meshedit/core/sin_cos_table.h"

namespace pavix {

void Normalize(CVector& v) {
  const float len = Length(v);
  if (len == 0.0f || !std::isfinite(len)) return;
  v = v * (1.0f / len);
}

CVector TriangleNormal(const CVector& p0, const CVector& p1, const CVector& p2) {
  return Cross(p2 - p0, p1 - p0);
}

CMatrix IdentityMatrix() { return ScaleMatrix(1.0f); }

CMatrix ScaleMatrix(float a) {
  return CMatrix{{a, 0, 0, 0, a, 0, 0, 0, a}, {0, 0, 0}};
}

CMatrix TranslationMatrix(const CVector& t) {
  CMatrix m = IdentityMatrix();
  m.t[0] = t.x;
  m.t[1] = t.y;
  m.t[2] = t.z;
  return m;
}

void QuaternionToMatrix(const CQuaternion& q, CMatrix& m) {
  const float x = q.x, y = q.y, z = q.z, w = q.w;
  m.m[0] = 1 - 2 * (y * y + z * z);
  m.m[4] = 1 - 2 * (x * x + z * z);
  m.m[8] = 1 - 2 * (x * x + y * y);
  m.m[1] = 2 * (x * y - z * w);
  m.m[3] = 2 * (x * y + z * w);
  m.m[5] = 2 * (y * z - w * x);
  m.m[7] = 2 * (y * z + w * x);
  m.m[2] = 2 * (x * z + w * y);
  m.m[6] = 2 * (x * z - w * y);
}

void QuaternionToMatrix(const CQuaternion& q, const CVector& translation, CMatrix& m) {
  QuaternionToMatrix(q, m);
  m.t[0] = translation.x;
  m.t[1] = translation.y;
  m.t[2] = translation.z;
}

void QuaternionToMatrix(const CQuaternion& q, const CVector& p, const CVector& t, CMatrix& m) {
  QuaternionToMatrix(q, m);
  const CVector rp = RotateVector(m, p);
  m.t[0] = rp.x + t.x;
  m.t[1] = rp.y + t.y;
  m.t[2] = rp.z + t.z;
}

void EulerToMatrix(const CVector& angles, CMatrix& m) {
  const float sx = TableSin(angles.x), cx = TableCos(angles.x);
  const float sy = TableSin(angles.y), cy = TableCos(angles.y);
  const float sz = TableSin(angles.z), cz = TableCos(angles.z);
  m.m[0] = sy * sx * sz + cz * cy;
  m.m[3] = sy * sx * cz - sz * cy;
  m.m[6] = sy * cx;
  m.m[1] = sz * cx;
  m.m[4] = cz * cx;
  m.m[7] = -sx;
  m.m[2] = cy * sx * sz - cz * sy;
  m.m[5] = cy * sx * cz + sz * sy;
  m.m[8] = cy * cx;
}

void EulerToMatrixNoTranslation(const CVector& angles, CMatrix& m) {
  EulerToMatrix(angles, m);
  m.t[0] = m.t[1] = m.t[2] = 0;
}

void EulerToMatrix(const CVector& angles, const CVector& translation, CMatrix& m) {
  EulerToMatrix(angles, m);
  m.t[0] = translation.x;
  m.t[1] = translation.y;
  m.t[2] = translation.z;
}

void ScaleOutputAxes(CMatrix& m, float a, float b, bool withTranslation) {
  for (int c = 0; c < 3; ++c) {
    m.m[c * 3 + 0] *= a;
    m.m[c * 3 + 1] *= b;
  }
  if (withTranslation) {
    m.t[0] *= a;
    m.t[1] *= b;
  }
}

void ScaleOutputAxes(CMatrix& m, float a, float b, float c, bool withTranslation) {
  ScaleOutputAxes(m, a, b, withTranslation);
  for (int col = 0; col < 3; ++col) m.m[col * 3 + 2] *= c;
  if (withTranslation) m.t[2] *= c;
}

CMatrix AddMatrices(const CMatrix& a, const CMatrix& b) {
  CMatrix r;
  for (int i = 0; i < 9; ++i) r.m[i] = a.m[i] + b.m[i];
  for (int i = 0; i < 3; ++i) r.t[i] = a.t[i] + b.t[i];
  return r;
}

CMatrix MultiplyNoTranslation(const CMatrix& a, const CMatrix& b) {
  CMatrix r;
  for (int col = 0; col < 3; ++col) {
    for (int row = 0; row < 3; ++row) {
      r.m[col * 3 + row] = b.m[0 * 3 + row] * a.m[col * 3 + 0] + b.m[1 * 3 + row] * a.m[col * 3 + 1] +
                           b.m[2 * 3 + row] * a.m[col * 3 + 2];
    }
  }
  const CVector at = RotateVector(b, {a.t[0], a.t[1], a.t[2]});
  r.t[0] = at.x;
  r.t[1] = at.y;
  r.t[2] = at.z;
  return r;
}

CMatrix Multiply(const CMatrix& a, const CMatrix& b) {
  CMatrix r = MultiplyNoTranslation(a, b);
  for (int i = 0; i < 3; ++i) r.t[i] += b.t[i];
  return r;
}

void ScaleWhole(CMatrix& m, float s) {
  for (float& v : m.m) v *= s;
  for (float& v : m.t) v *= s;
}

CVector RotateVector(const CMatrix& m, const CVector& v) {
  return {m.m[0] * v.x + m.m[3] * v.y + m.m[6] * v.z, m.m[1] * v.x + m.m[4] * v.y + m.m[7] * v.z,
          m.m[2] * v.x + m.m[5] * v.y + m.m[8] * v.z};
}

CVector TransformPoint(const CMatrix& m, const CVector& p) {
  const CVector r = RotateVector(m, p);
  return {r.x + m.t[0], r.y + m.t[1], r.z + m.t[2]};
}

CMatrix InverseRigid(const CMatrix& m) {
  CMatrix r;
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row) r.m[col * 3 + row] = m.m[row * 3 + col];
  const CVector t = RotateVector(r, {m.t[0], m.t[1], m.t[2]});
  r.t[0] = -t.x;
  r.t[1] = -t.y;
  r.t[2] = -t.z;
  return r;
}

float WrapAngle(float a) {
  constexpr float kPi = std::numbers::pi_v<float>;
  constexpr float kTwoPi = 2 * kPi;
  if (!std::isfinite(a)) return 0.0f;
  // Far-off angles are brought near first; a subtraction loop on them would
  // not move the value at all.
  if (std::fabs(a) > 64 * kTwoPi) a = std::fmod(a, kTwoPi);
  while (a > kPi) a -= kTwoPi;
  while (a < -kPi) a += kTwoPi;
  return a;
}

void WrapAngles(CVector& angles) {
  angles.x = WrapAngle(angles.x);
  angles.y = WrapAngle(angles.y);
  angles.z = WrapAngle(angles.z);
}

}  // namespace pavix
