#pragma once
// Builders of SHAPE stream records for hand-made fixtures.
#include <string>

#include "meshedit/core/matrix.h"
#include "support/bytes.h"

namespace pavixtest {

using testsupport::Bytes;

inline Bytes& V3d(Bytes& b, pavix::CVector v) { return b.u16(1).f32(v.x).f32(v.y).f32(v.z); }
inline Bytes& Uv(Bytes& b, float u, float v) { return b.u16(1).f32(u).f32(v); }
inline Bytes& Quat(Bytes& b, float x, float y, float z, float w) { return b.u16(1).f32(x).f32(y).f32(z).f32(w); }
inline Bytes& Rgb(Bytes& b) { return b.u16(1).u8(10).u8(20).u8(30).u8(255); }

// A vertex record of any version; flags only where the version stores them.
inline Bytes& Vtx(Bytes& b, int version, pavix::CVector p, std::uint8_t flags = 0) {
  b.u16(static_cast<std::uint16_t>(version));
  V3d(b, p);
  V3d(b, {0, 0, 1});
  switch (version) {
    case 1: Rgb(b); break;
    case 3: b.u32(0xDEADBEEF); break;
    case 4: b.u32(0xDEADBEEF).u8(flags); break;
    case 5: b.u8(flags); break;
    default: break;
  }
  return b;
}

struct SideSpec {
  std::uint32_t flags = 1;
  std::uint32_t index[4] = {0, 1, 2, 2};
  float u[4] = {0, 0.25f, 0.5f, 0.75f};
  std::uint32_t texture = 3;
  std::uint8_t group = 7;
};

inline Bytes& Side(Bytes& b, int version, const SideSpec& s) {
  b.u16(static_cast<std::uint16_t>(version)).u32(s.flags);
  for (std::uint32_t i : s.index) b.u32(i);
  if (version <= 4) Rgb(b);
  for (float u : s.u) Uv(b, u, 1 - u);
  b.u32(s.texture);
  if (version >= 2) b.u8(s.group);
  if (version == 4 || version == 5) b.u8(0xEE);
  return b;
}

struct NodeSpec {
  int level = 1, count = 0;
  pavix::CVector pivot{1, 2, 3}, offset{4, 5, 6}, end{1, 2, 13};
  float quat[4] = {0.1f, 0.2f, 0.3f, 0.9f};
  std::string name = "ROOT", alt = "OTHER";
  std::uint32_t flags = 0x400;
  float f15 = 1.5f, f981 = 2.5f;
  std::int32_t value = 77, locked = 3;
};

inline Bytes& Snode(Bytes& b, int version, const NodeSpec& n) {
  b.u16(static_cast<std::uint16_t>(version)).i32(n.level).i32(n.count);
  V3d(b, n.pivot);
  if (version >= 4) V3d(b, n.offset);
  V3d(b, n.end);
  if (version >= 6) Quat(b, n.quat[0], n.quat[1], n.quat[2], n.quat[3]);
  else b.f32(7.0f).f32(-7.0f).f32(0.5f);  // angles, dropped
  b.fixed(n.name, 32);
  if (version == 10) b.fixed(n.alt, 32);
  if (version >= 2) b.u32(n.flags);
  if (version >= 3) b.f32(n.f15).f32(n.f981);
  if (version >= 5 && version <= 7) b.u32(0x12345678);
  if (version >= 7) b.i32(n.value);
  if (version >= 9) b.i32(n.locked);
  return b;
}

}  // namespace pavixtest
