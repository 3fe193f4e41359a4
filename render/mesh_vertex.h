#pragma once
// The engine's input vertex: a model-space position and a colour.
#include <cstdint>

struct CMeshVertex {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  // A colour's bytes blue, green, red, alpha as one little-endian word
  // (0xAARRGGBB), the layout of CColor.
  std::uint32_t color = 0x80808080u;
  std::uint8_t spare0 = 0;   // not read by the engine
  std::uint8_t spare1 = 15;
};
