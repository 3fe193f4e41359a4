#pragma once
// The mesh editor's maths: vectors, quaternions, texture coordinates and the
// 3 x 4 matrix. The rotation is stored by columns: m[0..2] is the image of
// the x axis, m[3..5] of y, m[6..8] of z; t is the translation. A point p maps
// to (m0 px + m3 py + m6 pz + t0, m1 px + m4 py + m7 pz + t1, m2 px + m5 py + m8 pz + t2).
#include <cmath>
#include <cstdint>

namespace pavix {

struct CVector {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const CVector&, const CVector&) = default;
};

struct CQuaternion {
  float x = 0, y = 0, z = 0, w = 0;
};

struct CUv {
  float u = 0, v = 0;
  friend bool operator==(const CUv&, const CUv&) = default;
};

struct CMatrix {
  float m[9];
  float t[3];
};
static_assert(sizeof(CMatrix) == 48);

// Inline: the mesh builds call these in their innermost loops.
inline CVector operator+(const CVector& a, const CVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline CVector operator-(const CVector& a, const CVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline CVector operator*(const CVector& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(const CVector& a, const CVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline CVector Cross(const CVector& a, const CVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const CVector& a) { return std::sqrt(Dot(a, a)); }
// Unit length; a zero vector stays as it is.
void Normalize(CVector& v);
// Cross product of (p2 - p0) and (p1 - p0), not normalised.
CVector TriangleNormal(const CVector& p0, const CVector& p1, const CVector& p2);

CMatrix IdentityMatrix();
// Diagonal a, no translation.
CMatrix ScaleMatrix(float a);
CMatrix TranslationMatrix(const CVector& t);

// Rotation elements only; the translation is left as it is.
void QuaternionToMatrix(const CQuaternion& q, CMatrix& m);
void QuaternionToMatrix(const CQuaternion& q, const CVector& translation, CMatrix& m);
// Rotation R with translation R p + t (used with p = -pivot, t = pivot + offset).
void QuaternionToMatrix(const CQuaternion& q, const CVector& p, const CVector& t, CMatrix& m);

// Euler angles (radians) through the sine table. The first form writes the
// rotation only, the second also clears the translation, the third sets it.
void EulerToMatrix(const CVector& angles, CMatrix& m);
void EulerToMatrixNoTranslation(const CVector& angles, CMatrix& m);
void EulerToMatrix(const CVector& angles, const CVector& translation, CMatrix& m);

// Scales the output axes: x outputs (m0, m3, m6, t0) by a, y by b, z by c.
void ScaleOutputAxes(CMatrix& m, float a, float b, bool withTranslation = true);
void ScaleOutputAxes(CMatrix& m, float a, float b, float c, bool withTranslation = true);

CMatrix AddMatrices(const CMatrix& a, const CMatrix& b);
// a applied first, then b: rotation B R(A), translation B R(A.t) + B.t.
CMatrix Multiply(const CMatrix& a, const CMatrix& b);
// As Multiply without b's translation.
CMatrix MultiplyNoTranslation(const CMatrix& a, const CMatrix& b);
void ScaleWhole(CMatrix& m, float s);

CVector TransformPoint(const CMatrix& m, const CVector& p);
CVector RotateVector(const CMatrix& m, const CVector& v);
// Inverse of a rotation with translation: transposed rotation, translation turned back.
CMatrix InverseRigid(const CMatrix& m);

// Wraps each angle into [-pi, pi]. A non-finite angle becomes 0.
float WrapAngle(float a);
void WrapAngles(CVector& angles);

}  // namespace pavix
