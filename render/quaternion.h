#pragma once
// A rotation as a quaternion (w, x, y, z).
#include "render/matrix.h"

class CQuaternion {
 public:
  float w = 0.0f, x = 0.0f, y = 0.0f, z = 0.0f;

  constexpr CQuaternion() = default;
  constexpr CQuaternion(float aw, float ax, float ay, float az) : w(aw), x(ax), y(ay), z(az) {}

  void SetZero() { w = x = y = z = 0.0f; }
  void Copy(const CQuaternion& other) { *this = other; }
  void Set(float aw, float ax, float ay, float az) { w = aw; x = ax; y = ay; z = az; }
  void Negate() { w = -w; x = -x; y = -y; z = -z; }
  float Dot(const CQuaternion& o) const { return w * o.w + x * o.x + y * o.y + z * o.z; }

  // From the rotation part of a matrix.
  void FromMatrix(const CMatrix& m);
  // The rotation as a matrix with zero translation.
  CMatrix ToMatrix() const;

  // Interpolates from q1 (t <= 0) to q2 (t >= 1) along the shorter arc; not normalised.
  static CQuaternion Slerp(const CQuaternion& q1, const CQuaternion& q2, float t);
};
