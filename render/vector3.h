#pragma once
// The engine's small value types: a 3D vector, a box and an integer screen point.
#include <cstdint>

struct MtfFile;

struct CVector3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;

  constexpr CVector3() = default;
  constexpr CVector3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}

  void Assign(float ax, float ay, float az) { x = ax; y = ay; z = az; }
  float Length() const;
  // Divides by the length and returns 1; a zero length leaves the vector and returns 0.
  int Normalize();
  float Dot(const CVector3& o) const { return x * o.x + y * o.y + z * o.z; }

  CVector3 operator+(const CVector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  CVector3 operator-(const CVector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  CVector3 operator*(float s) const { return {x * s, y * s, z * s}; }
  CVector3 operator-() const { return {-x, -y, -z}; }
  bool operator==(const CVector3&) const = default;
};

// Copies three consecutive floats (a vector or a vertex position).
CVector3 CopyVector3(const float* xyz);
CVector3 AddVectors(const CVector3& a, const CVector3& b);
CVector3 SubtractVectors(const CVector3& a, const CVector3& b);
CVector3 CrossProduct(const CVector3& a, const CVector3& b);

// Three f32 from an archive-layer file; false (vector unchanged) when the file ends first.
bool ReadVector3(MtfFile* file, CVector3& out);

// The smallest axis-aligned box holding the points added to it.
struct CBox3 {
  CVector3 lowest, highest;
  bool empty = true;
  void Add(const CVector3& p);
};

// A screen position.
struct Point {
  std::int32_t x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

inline Point CopyPoint(const Point& p) { return p; }
inline Point AddPoints(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y}; }
