#include "platform/video/render_state.h"

namespace platform::video {

const char* RenderStateName(int state) {
  static constexpr const char* kNames[] = {
      "TextureHandle", "Antialias",   "TexturePerspective", "ZEnable",        "FillMode",
      "ShadeMode",     "ZWriteEnable", "AlphaTestEnable",   "TextureMag",     "TextureMin",
      "SrcBlend",      "DestBlend",   "TextureMapBlend",    "CullMode",       "ZFunc",
      "DitherEnable",  "AlphaBlendEnable", "FogEnable",     "SpecularEnable", "StippledAlpha",
      "FogColor",      "ColorKeyEnable",
  };
  static_assert(sizeof(kNames) / sizeof(kNames[0]) == kRenderStateCount);
  if (state < 0 || state >= kRenderStateCount) return "?";
  return kNames[state];
}

RenderStates DefaultRenderStates() {
  RenderStates s{};
  s[kRsTextureHandle] = 0;
  s[kRsAntialias] = 0;
  s[kRsTexturePerspective] = 1;
  s[kRsZEnable] = 1;
  s[kRsFillMode] = kFillSolid;
  s[kRsShadeMode] = kShadeGouraud;
  s[kRsZWriteEnable] = 1;
  s[kRsAlphaTestEnable] = 0;
  s[kRsTextureMag] = kFilterNearest;
  s[kRsTextureMin] = kFilterNearest;
  s[kRsSrcBlend] = kBlendOne;
  s[kRsDestBlend] = kBlendZero;
  s[kRsTextureMapBlend] = kTexBlendModulate;
  s[kRsCullMode] = kCullNone;
  s[kRsZFunc] = kCmpLessEqual;
  s[kRsDitherEnable] = 0;
  s[kRsAlphaBlendEnable] = 0;
  s[kRsFogEnable] = 0;
  s[kRsSpecularEnable] = 0;
  s[kRsStippledAlpha] = 0;
  s[kRsFogColor] = 0;
  s[kRsColorKeyEnable] = 0;
  return s;
}

const char* TextureStageStateName(int state) {
  static constexpr const char* kNames[] = {
      "ColorOp",       "ColorArg1",     "ColorArg2",     "AlphaOp",       "AlphaArg1",     "AlphaArg2",
      "TexCoordIndex", "Address",       "BumpEnvMat00",  "BumpEnvMat01",  "BumpEnvMat10",  "BumpEnvMat11",
      "BumpEnvLScale", "BumpEnvLOffset", "MagFilter",    "MinFilter",     "MipFilter",
  };
  static_assert(sizeof(kNames) / sizeof(kNames[0]) == kTextureStageStateCount);
  if (state < 0 || state >= kTextureStageStateCount) return "?";
  return kNames[state];
}

StageStates DefaultStageStates(int stage) {
  StageStates s{};
  s[kTssColorOp] = stage == 0 ? kTopModulate : kTopDisable;
  s[kTssColorArg1] = kTaTexture;
  s[kTssColorArg2] = kTaCurrent;
  s[kTssAlphaOp] = stage == 0 ? kTopSelectArg1 : kTopDisable;
  s[kTssAlphaArg1] = kTaTexture;
  s[kTssAlphaArg2] = kTaCurrent;
  s[kTssTexCoordIndex] = static_cast<std::uint32_t>(stage);
  s[kTssAddress] = kTaddressWrap;
  s[kTssMagFilter] = kFilterNearest;
  s[kTssMinFilter] = kFilterNearest;
  s[kTssMipFilter] = kMipFilterNone;
  return s;
}

const char* PrimitiveName(PrimitiveType type) {
  switch (type) {
    case PrimitiveType::PointList: return "PointList";
    case PrimitiveType::LineList: return "LineList";
    case PrimitiveType::LineStrip: return "LineStrip";
    case PrimitiveType::TriangleList: return "TriangleList";
    case PrimitiveType::TriangleStrip: return "TriangleStrip";
    case PrimitiveType::TriangleFan: return "TriangleFan";
  }
  return "?";
}

}  // namespace platform::video
