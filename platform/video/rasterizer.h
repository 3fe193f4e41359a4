#pragma once
// Scan conversion of transformed-and-lit primitives into a 16- or 32-bit
// target with an optional depth buffer. Pixel centres lie on whole
// coordinates; triangles follow the top-left fill rule, so two triangles that
// share an edge cover each pixel of it exactly once. Nothing is ever written
// outside the target's clip rectangle, whatever the vertices hold.
//
// Depth is kept as the interpolated 1/z (larger is nearer), which orders
// pixels exactly as a perspective-correct z would; a cleared buffer holds 0.
#include <cstdint>

#include "platform/video/render_state.h"
#include "platform/video/tl_vertex.h"
#include "platform/video/types.h"

namespace platform::video {

inline constexpr int kMaxTexelLevels = 16;

struct RasterTexture {
  const std::uint32_t* argb = nullptr;  // decoded texels: rows of `width`, or 4 x 4 tiles
  bool tiled = false;                    // power-of-two sizes only
  // Halved copies of a tiled texture (level 0 is argb); one level when there are none.
  const std::uint32_t* levels[kMaxTexelLevels] = {};
  int levelCount = 1;
  const std::uint8_t* raw = nullptr;    // the surface's own pixels, for the colour key
  int rawPitch = 0;
  int rawBytes = 2;
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  bool keyed = false;
  std::uint32_t keyLow = 0, keyHigh = 0;
};

// Texture blending beyond the device's modes: colour modulated, alpha the diffuse alpha.
inline constexpr std::uint32_t kTexBlendModulateColor = 0x100;

struct RasterState {
  const RasterTexture* texture = nullptr;  // null: untextured
  // A second texture added to the textured colour (a light map), sampled at
  // the vertices' second coordinates when texture2Second is set.
  const RasterTexture* texture2 = nullptr;
  bool texture2Second = true;
  bool gouraud = true;
  bool bilinear = false;
  bool zTest = false;
  bool zWrite = false;
  bool blend = false;
  bool specular = false;
  bool fog = false;
  bool colorKey = false;
  bool dither = false;
  std::uint32_t zFunc = kCmpLessEqual;
  std::uint32_t srcBlend = kBlendOne;
  std::uint32_t destBlend = kBlendZero;
  std::uint32_t texBlend = kTexBlendModulate;
  std::uint32_t fogColor = 0;
  std::uint32_t cullMode = kCullNone;
  std::uint32_t fillMode = kFillSolid;
};

struct RasterTarget {
  std::uint8_t* bits = nullptr;
  int pitch = 0;  // bytes
  int width = 0;
  int height = 0;
  PixelFormat format;  // 16 or 32 bits per pixel
  float* depth = nullptr;  // null: no depth buffer
  int depthPitch = 0;      // floats per row
  Rect clip;               // cut to the target's bounds by the rasterizer
};

// Derives the rasterizer's state from the device's render states.
RasterState MakeRasterState(const RenderStates& states, const RasterTexture* texture, bool hasDepth);

void RasterTriangle(const RasterTarget& target, const RasterState& state, const TLVertex& a, const TLVertex& b,
                    const TLVertex& c);
// The end pixel is not drawn, so joined lines share no pixel.
void RasterLine(const RasterTarget& target, const RasterState& state, const TLVertex& a, const TLVertex& b);
void RasterPoint(const RasterTarget& target, const RasterState& state, const TLVertex& a);

}  // namespace platform::video
