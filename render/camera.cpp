#include "render/camera.h"

#include <cmath>

CCamera::CCamera() {
  baseAngles = angles;
  savedPositions[0] = savedPositions[1] = position;
  view.SetIdentity();
}

void CCamera::LookAt(float tx, float ty, float tz) {
  const CVector3 d = CVector3(tx, ty, tz) - position;
  const float dist = d.Length();
  if (!(dist > 0.0f) || !std::isfinite(dist)) return;
  const CVector3 dn = d * (1.0f / dist);
  const float h = std::sqrt(dn.z * dn.z + dn.x * dn.x);
  if (!(h > 0.0f)) return;
  CMatrix yaw;
  yaw.FromSinCos(0.0f, 1.0f, -dn.x / h, dn.z / h, 0.0f, 1.0f);
  CMatrix pitch;
  pitch.FromSinCos(dn.y, h, 0.0f, 1.0f, 0.0f, 1.0f);
  view = MultiplyMatrices(yaw, pitch);
  view.SetPosition({0.0f, 0.0f, 0.0f});
  heading = view.Heading();
}
