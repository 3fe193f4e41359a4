#pragma once
// A rotation-plus-translation transform. Points are row vectors:
// p' = p R + t, with R stored by rows in m[0..8] and t in m[9..11].
#include "render/vector3.h"

class CMatrix {
 public:
  float m[12];

  CMatrix() { SetIdentity(); }

  void SetIdentity();
  void MakeTranslation(const CVector3& t);
  void SetPosition(const CVector3& t) { m[9] = t.x; m[10] = t.y; m[11] = t.z; }
  CVector3 GetPosition() const { return {m[9], m[10], m[11]}; }
  void Copy(const CMatrix& other) { *this = other; }
  // Rows a, b, c; zero translation.
  void FromAxes(const CVector3& a, const CVector3& b, const CVector3& c);
  // Angles in radians about x, y and z; zero translation.
  void FromEuler(const CVector3& angles);
  void FromSinCos(float sx, float cx, float sy, float cy, float sz, float cz);
  void FromEulerAndPosition(const CVector3& angles, const CVector3& t);
  // Inverse of a rotation-plus-translation.
  CMatrix Inverse() const;
  // Rotation whose third row looks from one point toward the other; zero
  // translation. Equal points give the identity.
  void LookAt(const CVector3& from, const CVector3& to);
  CVector3 ToEuler() const;
  float Heading() const;

  CVector3 TransformPoint(const CVector3& p) const;  // rotation and translation
  CVector3 RotateVector(const CVector3& p) const;    // rotation only
};

// The transform that applies a, then b.
CMatrix MultiplyMatrices(const CMatrix& a, const CMatrix& b);
