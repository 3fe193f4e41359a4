#include "platform/video/device3d.h"

#include <algorithm>
#include <cstdio>

#include "platform/video/display.h"
#include "platform/video/faults.h"
#include "platform/video/rasterizer.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "platform/video/texture.h"
#include "platform/video/viewport.h"

namespace platform::video {

Device3D::Device3D(std::shared_ptr<Display> display, const DriverDesc& driver, std::shared_ptr<Surface> target)
    : display_(std::move(display)), driver_(driver), target_(std::move(target)), states_(DefaultRenderStates()) {
  for (int i = 0; i < kMaxTextureStages; ++i) stages_[i] = DefaultStageStates(i);
}

int Device3D::MaxStages() const {
  return std::clamp(std::min(driver_.hardware.maxTextureBlendStages, driver_.hardware.maxSimultaneousTextures), 1,
                    kMaxTextureStages);
}

HResult Device3D::SetTextureStageState(int stage, int state, std::uint32_t value) {
  if (HResult r = Faults::Check(Call::SetTextureStageState)) return r;
  if (stage < 0 || stage >= MaxStages() || state < 0 || state >= kTextureStageStateCount) return kErrInvalidParams;
  stages_[stage][state] = value;
  if (Recorder::Active()) {
    char line[96];
    std::snprintf(line, sizeof line, "SetTextureStageState %d %s %u", stage, TextureStageStateName(state), value);
    Recorder::Log(line);
  }
  return kOk;
}

HResult Device3D::GetTextureStageState(int stage, int state, std::uint32_t* value) const {
  if (stage < 0 || stage >= MaxStages() || state < 0 || state >= kTextureStageStateCount || !value)
    return kErrInvalidParams;
  *value = stages_[stage][state];
  return kOk;
}

HResult Device3D::SetTexture(int stage, const std::shared_ptr<Texture>& texture) {
  if (HResult r = Faults::Check(Call::SetTexture)) return r;
  if (stage < 0 || stage >= MaxStages()) return kErrInvalidParams;
  stageTextures_[stage] = texture;
  if (Recorder::Active()) {
    char line[64];
    std::snprintf(line, sizeof line, "SetTexture %d %s", stage, texture ? "texture" : "none");
    Recorder::Log(line);
  }
  return kOk;
}

namespace {

// The sampling view of a texture surface; false when it cannot be drawn from.
bool DescribeTexture(Surface& s, RasterTexture& tex) {
  if (s.IsLost() || s.IsLocked()) return false;
  const TexelCache& cache = s.Texels();
  tex.argb = cache.argb.data();
  tex.raw = s.Bits();
  tex.rawPitch = s.Pitch();
  tex.rawBytes = s.Format().bitsPerPixel / 8;
  tex.width = s.Width();
  tex.height = s.Height();
  tex.hasAlpha = cache.hasAlpha;
  tex.tiled = cache.tiled;
  tex.levelCount = 0;
  for (const TexelLevel& level : cache.levels) {
    if (tex.levelCount == kMaxTexelLevels) break;
    tex.levels[tex.levelCount++] = cache.argb.data() + level.offset;
  }
  if (tex.levelCount == 0) tex.levelCount = 1;
  tex.keyed = s.HasColorKey();
  tex.keyLow = s.GetColorKey().low;
  tex.keyHigh = s.GetColorKey().high;
  return true;
}

}  // namespace

Device3D::~Device3D() {
  for (auto& v : viewports_) v->device_ = nullptr;
}

HResult Device3D::EnumTextureFormats(const std::function<bool(const SurfaceDesc&)>& callback) {
  if (HResult r = Faults::Check(Call::EnumTextureFormats)) return r;
  for (const PixelFormat& f : display_->GetMachine().textureFormats) {
    SurfaceDesc d;
    d.flags = kDescPixelFormat | kDescCaps;
    d.caps = kCapsTexture;
    d.format = f;
    if (!callback(d)) break;
  }
  return kOk;
}

HResult Device3D::AddViewport(const std::shared_ptr<Viewport>& viewport) {
  if (HResult r = Faults::Check(Call::AddViewport)) return r;
  if (!viewport) return kErrInvalidParams;
  if (viewport->device_ && viewport->device_ != this) return kErrInvalidParams;
  viewport->device_ = this;
  viewports_.push_back(viewport);
  return kOk;
}

HResult Device3D::DeleteViewport(const std::shared_ptr<Viewport>& viewport) {
  for (auto it = viewports_.begin(); it != viewports_.end(); ++it) {
    if (*it == viewport) {
      viewport->device_ = nullptr;
      if (current_ == viewport) current_.reset();
      viewports_.erase(it);
      return kOk;
    }
  }
  return kErrViewportNotAttached;
}

HResult Device3D::SetCurrentViewport(const std::shared_ptr<Viewport>& viewport) {
  if (HResult r = Faults::Check(Call::SetCurrentViewport)) return r;
  if (!viewport || viewport->device_ != this) return kErrViewportNotAttached;
  current_ = viewport;
  return kOk;
}

HResult Device3D::BeginScene() {
  if (HResult r = Faults::Check(Call::BeginScene)) return r;
  Recorder::Log("BeginScene");
  if (inScene_) return kErrSceneInScene;
  if (target_->IsLost()) return kErrSurfaceLost;
  if (auto z = target_->ZBuffer(); z && z->IsLost()) return kErrSurfaceLost;
  inScene_ = true;
  return kOk;
}

HResult Device3D::EndScene() {
  if (HResult r = Faults::Check(Call::EndScene)) return r;
  Recorder::Log("EndScene");
  if (!inScene_) return kErrSceneNotInScene;
  inScene_ = false;
  if (target_->IsLost()) return kErrSurfaceLost;
  return kOk;
}

HResult Device3D::SetRenderState(int state, std::uint32_t value) {
  if (HResult r = Faults::Check(Call::SetRenderState)) return r;
  if (state < 0 || state >= kRenderStateCount) return kErrInvalidParams;
  states_[state] = value;
  if (Recorder::Active()) {
    char line[96];
    std::snprintf(line, sizeof line, "SetRenderState %s %u", RenderStateName(state), value);
    Recorder::Log(line);
  }
  return kOk;
}

HResult Device3D::GetRenderState(int state, std::uint32_t* value) const {
  if (state < 0 || state >= kRenderStateCount || !value) return kErrInvalidParams;
  *value = states_[state];
  return kOk;
}

std::uint32_t Device3D::HandleOf(const std::shared_ptr<Texture>& texture) {
  for (std::size_t i = 0; i < handles_.size(); ++i)
    if (handles_[i].lock() == texture) return static_cast<std::uint32_t>(i + 1);
  for (std::size_t i = 0; i < handles_.size(); ++i) {
    if (handles_[i].expired()) {
      handles_[i] = texture;
      return static_cast<std::uint32_t>(i + 1);
    }
  }
  handles_.push_back(texture);
  return static_cast<std::uint32_t>(handles_.size());
}

HResult Device3D::DrawPrimitive(PrimitiveType type, const TLVertex* v, int count, std::uint32_t flags) {
  if (HResult r = Faults::Check(Call::DrawPrimitive)) return r;
  if (!v || count < 0) return kErrInvalidParams;
  if (!inScene_) return kErrSceneNotInScene;
  if (target_->IsLost()) return kErrSurfaceLost;
  if (target_->IsLocked()) return kErrSurfaceBusy;
  if (Recorder::Active()) {
    char line[64];
    std::snprintf(line, sizeof line, "DrawPrimitive %s %d", PrimitiveName(type), count);
    Recorder::Log(line);
    Recorder::Primitive(type, v, count, flags, states_);
  }
  ++stats_.primitives;

  RasterTarget t;
  t.bits = target_->Bits();
  t.pitch = target_->Pitch();
  t.width = target_->Width();
  t.height = target_->Height();
  t.format = target_->Format();
  t.clip = Rect{0, 0, t.width, t.height};
  if (current_ && current_->HasDesc()) {
    const ViewportDesc& d = current_->Desc();
    t.clip = Intersect(t.clip, Rect{d.x, d.y, d.x + d.width, d.y + d.height});
  }
  auto z = target_->ZBuffer();
  if (z && !z->IsLost()) {
    t.depth = reinterpret_cast<float*>(z->Bits());
    t.depthPitch = z->Pitch() / 4;
  }
  RasterTexture tex, tex2;
  const RasterTexture* texPtr = nullptr;
  const bool staged = stageTextures_[0] != nullptr;
  if (staged) {
    const std::uint32_t op = stages_[0][kTssColorOp];
    const bool usesTexture = op == kTopModulate || op == kTopAdd ||
                             (op == kTopSelectArg1 && stages_[0][kTssColorArg1] == kTaTexture);
    if (usesTexture && DescribeTexture(stageTextures_[0]->GetSurface(), tex)) texPtr = &tex;
  } else {
    const std::uint32_t handle = states_[kRsTextureHandle];
    if (handle > 0 && handle <= handles_.size()) {
      if (auto texture = handles_[handle - 1].lock())
        if (DescribeTexture(texture->GetSurface(), tex)) texPtr = &tex;
    }
  }
  RasterState st = MakeRasterState(states_, texPtr, t.depth != nullptr);
  if (staged) {
    // Stage 0: modulate (alpha from the texture, the diffuse colour, or both) or the texture alone.
    const StageStates& s0 = stages_[0];
    if (s0[kTssColorOp] == kTopSelectArg1) st.texBlend = kTexBlendDecal;
    else if (s0[kTssAlphaOp] == kTopModulate) st.texBlend = kTexBlendModulateAlpha;
    else if (s0[kTssAlphaOp] == kTopSelectArg1 && s0[kTssAlphaArg1] == kTaTexture) st.texBlend = kTexBlendModulate;
    else st.texBlend = kTexBlendModulateColor;
    // Later stages: the first that adds a texture adds it; bump stages pass the colour on.
    for (int i = 1; i < MaxStages(); ++i) {
      const StageStates& si = stages_[i];
      if (si[kTssColorOp] == kTopDisable) break;
      if (si[kTssColorOp] == kTopAdd && stageTextures_[i] &&
          DescribeTexture(stageTextures_[i]->GetSurface(), tex2)) {
        st.texture2 = &tex2;
        st.texture2Second = si[kTssTexCoordIndex] == 1;
        break;
      }
    }
  }
  switch (type) {
    case PrimitiveType::PointList:
      for (int i = 0; i < count; ++i) RasterPoint(t, st, v[i]);
      stats_.points += count;
      break;
    case PrimitiveType::LineList:
      for (int i = 0; i + 1 < count; i += 2) RasterLine(t, st, v[i], v[i + 1]);
      stats_.lines += count / 2;
      break;
    case PrimitiveType::LineStrip:
      for (int i = 0; i + 1 < count; ++i) RasterLine(t, st, v[i], v[i + 1]);
      stats_.lines += count > 1 ? count - 1 : 0;
      break;
    case PrimitiveType::TriangleList:
      for (int i = 0; i + 2 < count; i += 3) RasterTriangle(t, st, v[i], v[i + 1], v[i + 2]);
      stats_.triangles += count / 3;
      break;
    case PrimitiveType::TriangleStrip:
      for (int i = 0; i + 2 < count; ++i) {
        if (i & 1) RasterTriangle(t, st, v[i + 1], v[i], v[i + 2]);
        else RasterTriangle(t, st, v[i], v[i + 1], v[i + 2]);
      }
      stats_.triangles += count > 2 ? count - 2 : 0;
      break;
    case PrimitiveType::TriangleFan:
      for (int i = 1; i + 1 < count; ++i) RasterTriangle(t, st, v[0], v[i], v[i + 1]);
      stats_.triangles += count > 2 ? count - 2 : 0;
      break;
    default:
      return kErrInvalidParams;
  }
  target_->Touch();
  return kOk;
}

}  // namespace platform::video
