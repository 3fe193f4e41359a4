#pragma once
// A vertex already projected, as the engine hands it to a renderer: a screen
// position at depth z, a colour, texels and full fade-in unless given.
#include "render/render_vertex.h"

namespace rendertest {

inline CVertex ScreenVertex(int sx, int sy, float z, CColor color, float u = 0.0f, float v = 0.0f, int fade = 255) {
  CVertex r{};
  r.sx = sx;
  r.sy = sy;
  r.z = z;
  r.rz = 1.0f / z;
  r.color = color;
  r.u = u;
  r.v = v;
  r.fade = fade;
  return r;
}

}  // namespace rendertest
