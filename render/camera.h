#pragma once
// The camera of a 3D view or preview: a value type copied whole. The views
// that use it give most fields their meaning; the order and start values
// are fixed here.
#include <cstdint>

#include "render/matrix.h"
#include "render/quaternion.h"
#include "render/vector3.h"

class CCamera {
 public:
  CCamera();

  void Copy(const CCamera& other) { *this = other; }
  // Turns the view toward a target seen from `position`; a target straight
  // above or below, or at the position itself, leaves the camera unchanged.
  void LookAt(float tx, float ty, float tz);

  std::int32_t modes[2] = {1, 1};
  float range = 2892.0f;
  CVector3 angles;
  std::int32_t state = 0;
  CVector3 spin;
  CVector3 baseAngles;
  CVector3 savedPositions[2];
  CMatrix view;  // world to camera rotation
  CVector3 position;
  CVector3 velocity;
  float speed = 0.0f;
  float heading = 0.0f;
  std::uint8_t scratch[16] = {};
  CQuaternion orientations[4];
  std::int32_t farDistance = 5500;
  std::int32_t nearDistance = 3500;
  std::int32_t fadeMode = 0;
  float bounds[4] = {-700.0f, 1680.0f, 2048.0f, 3712.0f};
  std::uint8_t reserved[16] = {};
  std::uint32_t background = 0xFF676981;  // ARGB
  std::int32_t maxDistance = 9999999;
  std::uint8_t tail[12] = {};
};
