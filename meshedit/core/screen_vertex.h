#pragma once
// The unit of drawing of the mesh editor's device: a transformed vertex in
// pixels with its depth, colours and two texture coordinate pairs, and the
// outcodes that say on which side of the drawing rectangle it lies.
#include <cstdint>

namespace pavix {

struct CScreenVertex {
  float x = 0, y = 0;  // pixels
  float z = 0;         // depth 0..1
  float rhw = 1;       // 1 / w
  std::uint32_t diffuse = 0xFFFFFFFF;  // bytes blue, green, red, alpha
  std::uint32_t specular = 0;
  float u = 0, v = 0;
  float u2 = 0, v2 = 0;  // second texture
  std::uint32_t value = 0;  // carried along
  std::uint8_t xOut = 0;    // 1 right of the rectangle, 255 left of it, 0 inside
  std::uint8_t yOut = 0;    // 1 below, 255 above, 0 inside
  std::uint8_t pad[2] = {};
};
static_assert(sizeof(CScreenVertex) == 48);

}  // namespace pavix
