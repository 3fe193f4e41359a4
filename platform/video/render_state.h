#pragma once
// Render states of the 3D device and the values they take.
#include <array>
#include <cstdint>

namespace platform::video {

enum RenderState : int {
  kRsTextureHandle,
  kRsAntialias,
  kRsTexturePerspective,
  kRsZEnable,
  kRsFillMode,
  kRsShadeMode,
  kRsZWriteEnable,
  kRsAlphaTestEnable,
  kRsTextureMag,
  kRsTextureMin,
  kRsSrcBlend,
  kRsDestBlend,
  kRsTextureMapBlend,
  kRsCullMode,
  kRsZFunc,
  kRsDitherEnable,
  kRsAlphaBlendEnable,
  kRsFogEnable,
  kRsSpecularEnable,
  kRsStippledAlpha,
  kRsFogColor,
  kRsColorKeyEnable,
  kRenderStateCount
};

const char* RenderStateName(int state);

// Shade modes.
inline constexpr std::uint32_t kShadeFlat = 1;
inline constexpr std::uint32_t kShadeGouraud = 2;
// Fill modes.
inline constexpr std::uint32_t kFillPoint = 1;
inline constexpr std::uint32_t kFillWireframe = 2;
inline constexpr std::uint32_t kFillSolid = 3;
// Texture filters.
inline constexpr std::uint32_t kFilterNearest = 1;
inline constexpr std::uint32_t kFilterLinear = 2;
// Blend factors.
inline constexpr std::uint32_t kBlendZero = 1;
inline constexpr std::uint32_t kBlendOne = 2;
inline constexpr std::uint32_t kBlendSrcColor = 3;
inline constexpr std::uint32_t kBlendInvSrcColor = 4;
inline constexpr std::uint32_t kBlendSrcAlpha = 5;
inline constexpr std::uint32_t kBlendInvSrcAlpha = 6;
// Texture blending.
inline constexpr std::uint32_t kTexBlendDecal = 1;
inline constexpr std::uint32_t kTexBlendModulate = 2;
inline constexpr std::uint32_t kTexBlendModulateAlpha = 4;
// Cull modes (winding as seen on the screen, y growing downwards).
inline constexpr std::uint32_t kCullNone = 1;
inline constexpr std::uint32_t kCullClockwise = 2;
inline constexpr std::uint32_t kCullCounterClockwise = 3;
// Depth comparisons.
inline constexpr std::uint32_t kCmpNever = 1;
inline constexpr std::uint32_t kCmpLess = 2;
inline constexpr std::uint32_t kCmpEqual = 3;
inline constexpr std::uint32_t kCmpLessEqual = 4;
inline constexpr std::uint32_t kCmpGreater = 5;
inline constexpr std::uint32_t kCmpNotEqual = 6;
inline constexpr std::uint32_t kCmpGreaterEqual = 7;
inline constexpr std::uint32_t kCmpAlways = 8;

using RenderStates = std::array<std::uint32_t, kRenderStateCount>;

// The states of a newly created device. Culling is off: the program culls
// faces itself and its primitives may come in either winding.
RenderStates DefaultRenderStates();

// Primitive types.
enum class PrimitiveType : int { PointList = 1, LineList = 2, LineStrip = 3, TriangleList = 4, TriangleStrip = 5, TriangleFan = 6 };
const char* PrimitiveName(PrimitiveType type);

// DrawPrimitive flags; accepted for the record, the device clips to its target whatever they say.
inline constexpr std::uint32_t kDrawDoNotClip = 0x4;
inline constexpr std::uint32_t kDrawDoNotUpdateExtents = 0x8;

}  // namespace platform::video
