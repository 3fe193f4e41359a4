#include "meshedit/core/view_camera.h"

#include <algorithm>
#include <cmath>

#include "meshedit/core/coordinate_limit.h"

namespace pavix {

namespace {

float FiniteOr(float v, float otherwise) { return std::isfinite(v) ? v : otherwise; }

}  // namespace

CViewCamera::CViewCamera() : matrix(IdentityMatrix()) {}

void CViewCamera::BuildViewMatrix(const CVector& newTarget, const CVector& newAngles, float newZoom) {
  // A camera placed where the maths overflows draws nothing, the box and the
  // grid included, and every later turn or zoom would start from there: it
  // looks at the origin instead of a target out of range, and keeps its
  // distance and angles finite.
  target = IsUsablePosition(newTarget) ? newTarget : CVector{};
  const auto far = static_cast<float>(kMaxCoordinate);
  zoom = std::clamp(FiniteOr(newZoom, kDefaultZoom), -far, far);
  angles = {FiniteOr(newAngles.x, 0), FiniteOr(newAngles.y, 0), FiniteOr(newAngles.z, 0)};
  EulerToMatrix(angles, matrix);
  eye = target - RotateVector(matrix, {0, 0, zoom});
  matrix.t[0] = eye.x;
  matrix.t[1] = eye.y;
  matrix.t[2] = eye.z;
}

}  // namespace pavix
