// Primitives of arbitrary vertices and render states into a small target:
// nothing may land outside it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/video/rasterizer.h"

namespace pv = platform::video;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr int kW = 13, kH = 9, kGuard = 64;
  if (size < 8) return 0;
  const bool wide = data[0] & 1;
  const int bytes = wide ? 4 : 2;
  const int pitch = kW * bytes + 6;
  std::vector<std::uint8_t> mem(static_cast<std::size_t>(pitch) * kH + 2 * kGuard, 0xA5);
  std::vector<float> depth(static_cast<std::size_t>(kW) * kH, 0.0f);
  for (int y = 0; y < kH; ++y) std::memset(&mem[kGuard + static_cast<std::size_t>(y) * pitch], 0, kW * bytes);
  pv::RasterTarget t;
  t.bits = &mem[kGuard];
  t.pitch = pitch;
  t.width = kW;
  t.height = kH;
  t.format = wide ? pv::FormatX8888() : pv::Format565();
  t.depth = (data[0] & 2) ? depth.data() : nullptr;
  t.depthPitch = kW;
  std::int8_t clip[4];
  std::memcpy(clip, data + 1, 4);
  t.clip = {clip[0], clip[1], clip[2] + 20, clip[3] + 20};
  // Texture 8 x 4, or 5 x 3 (not a power of two), tiled or not.
  std::vector<std::uint32_t> texels(64);
  std::vector<std::uint16_t> raw(64);
  for (std::size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<std::uint32_t>(i * 0x01030507u);
    raw[i] = static_cast<std::uint16_t>(i & 3);
  }
  pv::RasterTexture tex;
  tex.argb = texels.data();
  tex.raw = reinterpret_cast<const std::uint8_t*>(raw.data());
  tex.rawBytes = 2;
  tex.width = (data[5] & 1) ? 8 : 5;
  tex.height = (data[5] & 1) ? 4 : 3;
  tex.rawPitch = tex.width * 2;
  tex.tiled = (data[5] & 1) && (data[5] & 2);
  tex.levels[0] = texels.data();
  tex.levels[1] = texels.data() + 32;
  tex.levelCount = tex.tiled ? 2 : 1;
  tex.keyed = data[5] & 4;
  pv::RasterState st;
  const std::uint8_t s = data[6], s2 = data[7];
  st.texture = (s & 1) ? &tex : nullptr;
  st.gouraud = s & 2;
  st.bilinear = s & 4;
  st.zTest = s & 8;
  st.zWrite = s & 16;
  st.blend = s & 32;
  st.specular = s & 64;
  st.fog = s & 128;
  st.colorKey = s2 & 1;
  st.dither = s2 & 2;
  st.zFunc = 1 + (s2 >> 2) % 8;
  st.srcBlend = 1 + (s2 >> 5) % 6;
  st.destBlend = 1 + (s2 % 6);
  st.texBlend = (s2 & 128) ? pv::kTexBlendModulateAlpha : pv::kTexBlendModulate;
  st.fillMode = 1 + (s2 >> 3) % 3;
  st.cullMode = 1 + (s2 >> 4) % 3;
  std::size_t pos = 8;
  std::vector<pv::TLVertex> v;
  while (pos + sizeof(pv::TLVertex) <= size && v.size() < 30) {
    pv::TLVertex x;
    std::memcpy(&x, data + pos, sizeof x);
    v.push_back(x);
    pos += sizeof x;
  }
  for (std::size_t i = 0; i + 2 < v.size(); i += 3) pv::RasterTriangle(t, st, v[i], v[i + 1], v[i + 2]);
  for (std::size_t i = 0; i + 1 < v.size(); i += 2) pv::RasterLine(t, st, v[i], v[i + 1]);
  for (const auto& x : v) pv::RasterPoint(t, st, x);
  for (std::size_t i = 0; i < mem.size(); ++i) {
    const bool inTarget = i >= static_cast<std::size_t>(kGuard) && i < static_cast<std::size_t>(kGuard) + static_cast<std::size_t>(pitch) * kH &&
                          (i - kGuard) % pitch < static_cast<std::size_t>(kW * bytes);
    if (!inTarget && mem[i] != 0xA5) __builtin_trap();
  }
  return 0;
}
