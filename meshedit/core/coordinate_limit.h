#pragma once
// How far out a vertex may lie. Every reader of a mesh or a model refuses (or
// leaves out) vertices beyond this, and the view's camera never goes beyond it.
//
// Whole units are exact in a float up to 2^24 (16777216), so below 10000000
// the editor's moves of a unit per pixel still move a vertex; and the largest
// product the mesh maths forms, the squared length of an unnormalised face
// normal (edges of at most 2e7, so about 2e30), stays far inside a float's
// range. NaN fails both comparisons, so one test serves for it too.
#include <cmath>

#include "meshedit/core/matrix.h"

namespace pavix {

inline constexpr double kMaxCoordinate = 1.0e7;

constexpr bool IsUsableCoordinate(double v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; }

// What a reader keeps of a coordinate it read: the coordinate, or NaN for one
// out of the range, which marks its vertex to be left out.
inline float UsableOrNan(double v) { return IsUsableCoordinate(v) ? static_cast<float>(v) : std::nanf(""); }

inline bool IsUsablePosition(const CVector& p) {
  return IsUsableCoordinate(p.x) && IsUsableCoordinate(p.y) && IsUsableCoordinate(p.z);
}

}  // namespace pavix
