#include "meshedit/core/view_camera.h"

namespace pavix {

CViewCamera::CViewCamera() : matrix(IdentityMatrix()) {}

void CViewCamera::BuildViewMatrix(const CVector& newTarget, const CVector& newAngles, float newZoom) {
  target = newTarget;
  zoom = newZoom;
  angles = newAngles;
  EulerToMatrix(angles, matrix);
  eye = newTarget - RotateVector(matrix, {0, 0, zoom});
  matrix.t[0] = eye.x;
  matrix.t[1] = eye.y;
  matrix.t[2] = eye.z;
}

}  // namespace pavix
