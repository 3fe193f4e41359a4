#include "render/quaternion.h"

#include <cmath>

void CQuaternion::FromMatrix(const CMatrix& mat) {
  const float* m = mat.m;
  const float trace = m[0] + m[4] + m[8];
  if (trace >= 0.0f) {
    const float s = std::sqrt(trace + 1.0f);
    w = s * 0.5f;
    const float k = 0.5f / s;
    x = k * (m[7] - m[5]);
    y = k * (m[2] - m[6]);
    z = k * (m[3] - m[1]);
    return;
  }
  int largest = 0;
  if (m[4] > m[0]) largest = 1;
  if (m[8] > (largest == 1 ? m[4] : m[0])) largest = 2;
  if (largest == 0) {
    const float s = std::sqrt(m[0] - m[4] - m[8] + 1.0f);
    x = s * 0.5f;
    y = (m[3] + m[1]) / (2.0f * s);
    z = (m[6] + m[2]) / (2.0f * s);
    w = (m[7] - m[5]) / (2.0f * s);
  } else if (largest == 1) {
    const float s = std::sqrt(m[4] - m[8] - m[0] + 1.0f);
    y = s * 0.5f;
    z = (m[7] + m[5]) / (2.0f * s);
    x = (m[3] + m[1]) / (2.0f * s);
    w = (m[2] - m[6]) / (2.0f * s);
  } else {
    const float s = std::sqrt(m[8] - m[0] - m[4] + 1.0f);
    z = s * 0.5f;
    x = (m[6] + m[2]) / (2.0f * s);
    y = (m[7] + m[5]) / (2.0f * s);
    w = (m[3] - m[1]) / (2.0f * s);
  }
}

CMatrix CQuaternion::ToMatrix() const {
  CMatrix r;
  r.m[0] = 1.0f - 2.0f * (y * y + z * z);
  r.m[4] = 1.0f - 2.0f * (x * x + z * z);
  r.m[8] = 1.0f - 2.0f * (x * x + y * y);
  r.m[1] = 2.0f * x * y - 2.0f * w * z;
  r.m[3] = 2.0f * x * y + 2.0f * w * z;
  r.m[5] = 2.0f * y * z - 2.0f * w * x;
  r.m[7] = 2.0f * y * z + 2.0f * w * x;
  r.m[2] = 2.0f * x * z + 2.0f * w * y;
  r.m[6] = 2.0f * x * z - 2.0f * w * y;
  r.m[9] = r.m[10] = r.m[11] = 0.0f;
  return r;
}

CQuaternion CQuaternion::Slerp(const CQuaternion& q1, const CQuaternion& q2, float t) {
  if (t <= 0.0f) return q1;
  if (t >= 1.0f) return q2;
  CQuaternion a = q1;
  float c = a.Dot(q2);
  if (c < 0.0f) {
    a.Negate();
    c = -c;
  }
  float s0, s1;
  if (1.0f - c > 0.00001f) {
    const float omega = std::acos(c);
    const float so = std::sin(omega);
    s0 = std::sin((1.0f - t) * omega) / so;
    s1 = std::sin(t * omega) / so;
  } else {
    s0 = 1.0f - t;
    s1 = t;
  }
  return {s0 * a.w + s1 * q2.w, s0 * a.x + s1 * q2.x, s0 * a.y + s1 * q2.y, s0 * a.z + s1 * q2.z};
}
