#pragma once
// A transformed and lit vertex: screen position, depth, reciprocal of the
// camera depth, diffuse and specular colours (0xAARRGGBB) and texture
// coordinates (0..1 across the texture, wrapping), and a second pair that
// a texture stage can select.
#include <cstdint>

namespace platform::video {

struct TLVertex {
  float sx = 0, sy = 0, sz = 0, rhw = 1;
  std::uint32_t color = 0xFFFFFFFF;
  std::uint32_t specular = 0xFF000000;
  float tu = 0, tv = 0;
  float tu2 = 0, tv2 = 0;
};

}  // namespace platform::video
