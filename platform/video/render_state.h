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

// Texture stages: each stage combines its texture with what the stages
// before it gave (the current colour), on colour and alpha separately.
inline constexpr int kMaxTextureStages = 4;
enum TextureStageState : int {
  kTssColorOp,
  kTssColorArg1,
  kTssColorArg2,
  kTssAlphaOp,
  kTssAlphaArg1,
  kTssAlphaArg2,
  kTssTexCoordIndex,
  kTssAddress,
  kTssBumpEnvMat00,
  kTssBumpEnvMat01,
  kTssBumpEnvMat10,
  kTssBumpEnvMat11,
  kTssBumpEnvLScale,
  kTssBumpEnvLOffset,
  kTssMagFilter,
  kTssMinFilter,
  kTssMipFilter,
  kTextureStageStateCount
};
const char* TextureStageStateName(int state);

// Stage operations.
inline constexpr std::uint32_t kTopDisable = 1;
inline constexpr std::uint32_t kTopSelectArg1 = 2;
inline constexpr std::uint32_t kTopSelectArg2 = 3;
inline constexpr std::uint32_t kTopModulate = 4;
inline constexpr std::uint32_t kTopAdd = 7;
inline constexpr std::uint32_t kTopBumpEnvMap = 22;
// Stage arguments.
inline constexpr std::uint32_t kTaDiffuse = 0;
inline constexpr std::uint32_t kTaCurrent = 1;
inline constexpr std::uint32_t kTaTexture = 2;
// Texture addressing.
inline constexpr std::uint32_t kTaddressWrap = 1;
// Mip filters.
inline constexpr std::uint32_t kMipFilterNone = 1;
inline constexpr std::uint32_t kMipFilterPoint = 2;
inline constexpr std::uint32_t kMipFilterLinear = 3;

using StageStates = std::array<std::uint32_t, kTextureStageStateCount>;
// Stage 0 modulates texture and diffuse colour and takes the texture's alpha;
// the other stages are off.
StageStates DefaultStageStates(int stage);

// Primitive types.
enum class PrimitiveType : int { PointList = 1, LineList = 2, LineStrip = 3, TriangleList = 4, TriangleStrip = 5, TriangleFan = 6 };
const char* PrimitiveName(PrimitiveType type);

// DrawPrimitive flags; accepted for the record, the device clips to its target whatever they say.
inline constexpr std::uint32_t kDrawDoNotClip = 0x4;
inline constexpr std::uint32_t kDrawDoNotUpdateExtents = 0x8;

}  // namespace platform::video
