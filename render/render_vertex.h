#pragma once
// The render vertex passed between the 3D engine and the renderers.
#include <cstdint>

#include "render/color.h"

struct CMeshVertex;

struct CVertex {
  float x;            // camera x times the horizontal focal factor
  float y;            // camera y times the vertical focal factor
  float z;            // camera depth
  std::int32_t sx;    // screen position, pixels, y growing downwards
  std::int32_t sy;
  float u;            // texels of a 256-texel texture
  float v;
  CColor color;
  float rz;           // 1 / z
  const CMeshVertex* source;  // the mesh vertex it was made from
  std::int32_t caller;        // passed through from the transform call
  std::int32_t fade;          // -1 not yet computed, else 0 (invisible) to 255
  std::int32_t inFront;       // 1: nearer than the near plane, screen position not valid

  // Left uninitialised, as the engine's pools are.
  CVertex() = default;

  // A flat vertex at a screen position, fully faded in, for 2D drawing.
  static CVertex Screen(std::int32_t x0, std::int32_t y0, CColor colour = CColor()) {
    CVertex v{};
    v.sx = x0;
    v.sy = y0;
    v.z = 1.0f;
    v.rz = 1.0f;
    v.fade = 255;
    v.color = colour;
    return v;
  }

  void SetScreenPos(std::int32_t x0, std::int32_t y0) {
    sx = x0;
    sy = y0;
  }

  // Where edge a-b crosses the plane z = nearZ, projected about the centre.
  static CVertex InterpolateNear(const CVertex& a, const CVertex& b, float nearZ, float centreX, float centreY);
  // A point at parameter t along a projected edge, perspective-correct.
  static CVertex InterpolateProjected(const CVertex& a, const CVertex& b, float t);
};
