#include "render/vector3.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "datafiles/mtf_archive.h"

float CVector3::Length() const { return std::sqrt(x * x + y * y + z * z); }

int CVector3::Normalize() {
  const float len = Length();
  if (len == 0.0f) return 0;
  x /= len;
  y /= len;
  z /= len;
  return 1;
}

CVector3 CopyVector3(const float* xyz) { return {xyz[0], xyz[1], xyz[2]}; }

CVector3 AddVectors(const CVector3& a, const CVector3& b) { return a + b; }

CVector3 SubtractVectors(const CVector3& a, const CVector3& b) { return a - b; }

CVector3 CrossProduct(const CVector3& a, const CVector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool ReadVector3(MtfFile* file, CVector3& out) {
  float v[3];
  if (MtfRead(v, sizeof v, 1, file) != 1) return false;
  out.Assign(v[0], v[1], v[2]);
  return true;
}

void CBox3::Add(const CVector3& p) {
  if (empty) {
    lowest = highest = p;
    empty = false;
    return;
  }
  lowest = {std::min(lowest.x, p.x), std::min(lowest.y, p.y), std::min(lowest.z, p.z)};
  highest = {std::max(highest.x, p.x), std::max(highest.y, p.y), std::max(highest.z, p.z)};
}
