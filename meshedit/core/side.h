#pragma once
// A polygon of a mesh: a triangle (index 3 repeats index 2) or a quad.
#include <cstdint>

#include "meshedit/core/matrix.h"

namespace pavix {

// Side flags.
inline constexpr std::uint32_t kSideListed = 0x1;       // drawn by the texture view
inline constexpr std::uint32_t kSideFlag2 = 0x2;
inline constexpr std::uint32_t kSideTransparent = 0x4;
inline constexpr std::uint32_t kSideTranslucent = 0x8;

inline constexpr std::uint32_t kTextureIdMask = 0x7FF;

struct CSide {
  std::uint32_t index[4] = {};
  CUv uv[4] = {};
  std::uint32_t flags = 0;
  std::uint32_t texture = 0;  // id in bits 0..10, a second 11-bit value in bits 11..21
  std::uint8_t group = 0;

  int CornerCount() const { return index[3] == index[2] ? 3 : 4; }
  std::uint32_t TextureId() const { return texture & kTextureIdMask; }

  void SetTextureId(std::uint32_t id) { texture = (texture & ~kTextureIdMask) | (id & kTextureIdMask); }
  void SetGroup(std::uint8_t g) { group = g; }
  void SetFlags(std::uint32_t f) { flags = f; }
  void SetCorner(int corner, float u, float v) { uv[corner] = {u, v}; }
  void SetCornerU(int corner, float u) { uv[corner].u = u; }
  void SetCornerV(int corner, float v) { uv[corner].v = v; }
  void Clear() { *this = CSide{}; }

  // Makes a quad with one repeated index a triangle, its corners' texture
  // coordinates moving with their indices. False when the side stays degenerate.
  bool Validate();
  // Any of one side's four indices equals any of the other's.
  bool SharesVertex(const CSide& other) const;
  // Indices and coordinates move one corner back (corner 1 becomes corner 0).
  void RotateCorners();
  // Ordering key: texture id in bits 21..31, the second texture value in
  // bits 11..21, then the flags in bits 0..7.
  std::uint32_t SortKey() const;
};

}  // namespace pavix
