#include "render/matrix.h"

#include <cmath>
#include <numbers>

namespace {
constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;
}

void CMatrix::SetIdentity() {
  for (float& v : m) v = 0.0f;
  m[0] = m[4] = m[8] = 1.0f;
}

void CMatrix::MakeTranslation(const CVector3& t) {
  SetIdentity();
  SetPosition(t);
}

void CMatrix::FromAxes(const CVector3& a, const CVector3& b, const CVector3& c) {
  m[0] = a.x; m[1] = a.y; m[2] = a.z;
  m[3] = b.x; m[4] = b.y; m[5] = b.z;
  m[6] = c.x; m[7] = c.y; m[8] = c.z;
  m[9] = m[10] = m[11] = 0.0f;
}

void CMatrix::FromSinCos(float sa, float ca, float sb, float cb, float sc, float cc) {
  m[0] = sa * sb * sc + cc * cb;
  m[1] = ca * sc;
  m[2] = sa * sc * cb - sb * cc;
  m[3] = sa * sb * cc - sc * cb;
  m[4] = ca * cc;
  m[5] = sb * sc + sa * cc * cb;
  m[6] = ca * sb;
  m[7] = -sa;
  m[8] = ca * cb;
  m[9] = m[10] = m[11] = 0.0f;
}

void CMatrix::FromEuler(const CVector3& a) {
  FromSinCos(std::sin(a.x), std::cos(a.x), std::sin(a.y), std::cos(a.y), std::sin(a.z), std::cos(a.z));
}

void CMatrix::FromEulerAndPosition(const CVector3& angles, const CVector3& t) {
  FromEuler(angles);
  SetPosition(t);
}

CMatrix MultiplyMatrices(const CMatrix& a, const CMatrix& b) {
  CMatrix r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      r.m[i * 3 + j] = a.m[i * 3 + 0] * b.m[0 + j] + a.m[i * 3 + 1] * b.m[3 + j] + a.m[i * 3 + 2] * b.m[6 + j];
    }
  }
  for (int j = 0; j < 3; ++j) {
    r.m[9 + j] = a.m[9] * b.m[0 + j] + a.m[10] * b.m[3 + j] + a.m[11] * b.m[6 + j] + b.m[9 + j];
  }
  return r;
}

CMatrix CMatrix::Inverse() const {
  CMatrix r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r.m[i * 3 + j] = m[j * 3 + i];
  }
  for (int i = 0; i < 3; ++i) {
    r.m[9 + i] = -(m[9] * m[i * 3 + 0] + m[10] * m[i * 3 + 1] + m[11] * m[i * 3 + 2]);
  }
  return r;
}

void CMatrix::LookAt(const CVector3& from, const CVector3& to) {
  CVector3 d = to - from;
  if (!d.Normalize()) {
    // No direction to look along: keep the orientation neutral rather than collapse it.
    SetIdentity();
    return;
  }
  if (std::fabs(d.x) < 0.00001f && std::fabs(d.z) < 0.00001f &&
      (std::fabs(d.y - 1.0f) < 0.00001f || std::fabs(d.y + 1.0f) < 0.00001f)) {
    FromEuler({d.y >= 0.0f ? -kHalfPi : kHalfPi, 0.0f, 0.0f});
    return;
  }
  CVector3 right(d.z, 0.0f, -d.x);
  right.Normalize();
  CVector3 up = CrossProduct(d, right);
  up.Normalize();
  FromAxes(right, up, d);
}

CVector3 CMatrix::ToEuler() const {
  const float sa = -m[7];
  // The cosine from the entries it scales, not from the sine: within rounding
  // of 90 degrees of pitch, 1 - sin^2 is noise, and dividing by it would turn
  // the other two angles into noise as well.
  const float ca = std::hypot(m[6], m[8]);
  if (ca > 0.00001f) {
    return {std::atan2(sa, ca), std::atan2(m[6], m[8]), std::atan2(m[1], m[4])};
  }
  return {sa >= 0.0f ? kHalfPi : -kHalfPi, 0.0f, std::atan2(-m[3], m[0])};
}

float CMatrix::Heading() const {
  const CVector3 f = TransformPoint({0.0f, 0.0f, 1.0f});
  const CVector3 u = TransformPoint({0.0f, 1.0f, 0.0f});
  const float len = f.Length();
  if (len < 0.0001f) return f.x > 0.0f ? kHalfPi : -kHalfPi;
  return std::atan2((f.y * u.x - f.x * u.y) / len, f.z / len);
}

CVector3 CMatrix::TransformPoint(const CVector3& p) const {
  return {p.x * m[0] + p.y * m[3] + p.z * m[6] + m[9], p.x * m[1] + p.y * m[4] + p.z * m[7] + m[10],
          p.x * m[2] + p.y * m[5] + p.z * m[8] + m[11]};
}

CVector3 CMatrix::RotateVector(const CVector3& p) const {
  return {p.x * m[0] + p.y * m[3] + p.z * m[6], p.x * m[1] + p.y * m[4] + p.z * m[7],
          p.x * m[2] + p.y * m[5] + p.z * m[8]};
}
