#include "render/render_vertex.h"

#include <algorithm>
#include <cmath>

namespace {

int RoundToInt(float v) {
  if (!(v > -2.0e9f && v < 2.0e9f)) return v > 0 ? 2000000000 : -2000000000;  // NaN too
  return static_cast<int>(std::lrint(v));
}

std::uint8_t MixByte(std::uint8_t a, std::uint8_t b, float t) {
  const float v = static_cast<float>(a) + t * (static_cast<float>(b) - static_cast<float>(a));
  return static_cast<std::uint8_t>(std::clamp(RoundToInt(v), 0, 255));
}

}  // namespace

CVertex CVertex::InterpolateNear(const CVertex& a, const CVertex& b, float nearZ, float centreX, float centreY) {
  const float dz = b.z - a.z;
  const float t = dz != 0.0f ? (nearZ - a.z) / dz : 0.0f;
  CVertex r = a;
  r.x = a.x + t * (b.x - a.x);
  r.y = a.y + t * (b.y - a.y);
  r.z = a.z + t * (b.z - a.z);
  r.u = a.u + t * (b.u - a.u);
  r.v = a.v + t * (b.v - a.v);
  r.color.b = MixByte(a.color.b, b.color.b, t);
  r.color.g = MixByte(a.color.g, b.color.g, t);
  r.color.r = MixByte(a.color.r, b.color.r, t);
  r.color.a = MixByte(a.color.a, b.color.a, t);
  r.fade = RoundToInt(static_cast<float>(a.fade) + t * (static_cast<float>(b.fade) - static_cast<float>(a.fade)));
  r.rz = r.z != 0.0f ? 1.0f / r.z : 0.0f;
  r.sx = RoundToInt(centreX + r.x * r.rz);
  r.sy = RoundToInt(centreY - r.y * r.rz);
  r.inFront = 0;
  return r;
}

CVertex CVertex::InterpolateProjected(const CVertex& a, const CVertex& b, float t) {
  CVertex r = a;
  r.rz = a.rz + t * (b.rz - a.rz);
  r.z = r.rz != 0.0f ? 1.0f / r.rz : a.z;
  auto persp = [&](float va, float vb) { return r.z * (va * a.rz + t * (vb * b.rz - va * a.rz)); };
  r.x = persp(a.x, b.x);
  r.y = persp(a.y, b.y);
  r.u = persp(a.u, b.u);
  r.v = persp(a.v, b.v);
  auto byte = [&](std::uint8_t ca, std::uint8_t cb) {
    const float v = persp(static_cast<float>(ca), static_cast<float>(cb));
    return static_cast<std::uint8_t>(std::clamp(RoundToInt(v), 0, 255));
  };
  r.color.b = byte(a.color.b, b.color.b);
  r.color.g = byte(a.color.g, b.color.g);
  r.color.r = byte(a.color.r, b.color.r);
  r.color.a = byte(a.color.a, b.color.a);
  auto step = [t](std::int32_t va, std::int32_t vb) {
    const double d = static_cast<double>(vb) - static_cast<double>(va);
    const double v = static_cast<double>(va) + std::nearbyint(static_cast<double>(t) * d);
    return static_cast<std::int32_t>(std::clamp(v, -2.0e9, 2.0e9));
  };
  r.sx = step(a.sx, b.sx);
  r.sy = step(a.sy, b.sy);
  r.fade = RoundToInt(static_cast<float>(a.fade) + t * (static_cast<float>(b.fade) - static_cast<float>(a.fade)));
  return r;
}
