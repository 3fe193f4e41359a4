#pragma once
// The view's orbit camera: it looks at a target from the distance `zoom`,
// turned by three angles; the matrix is rebuilt before every frame and pick.
#include "meshedit/core/matrix.h"

namespace pavix {

class CViewCamera {
 public:
  CViewCamera();

  static constexpr float kDefaultZoom = 512.0f;

  // Stores target, zoom and angles, then places the eye so that the view's
  // depth axis passes through the target. A target out of the coordinate
  // range becomes the origin, a zoom beyond it is held at it, and what is
  // not finite (zoom, angles) takes its default.
  void BuildViewMatrix(const CVector& target, const CVector& angles, float zoom);
  // From the stored target, angles and zoom.
  void Rebuild() { BuildViewMatrix(target, angles, zoom); }

  CVector target;
  CVector up;  // not used by the view
  CVector eye;
  CVector side;  // not used by the view
  CVector angles;  // radians about x, y and z
  float zoom = kDefaultZoom;
  CMatrix matrix;  // rotation with the eye as translation: the camera's placement
};

}  // namespace pavix
