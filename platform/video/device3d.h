#pragma once
// A 3D device drawing into a render target (with its attached Z-buffer):
// scenes, viewports, render states, texture handles and primitives of
// transformed-and-lit vertices.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/video/machine.h"
#include "platform/video/render_state.h"
#include "platform/video/result.h"
#include "platform/video/tl_vertex.h"
#include "platform/video/types.h"

namespace platform::video {

class Display;
class Surface;
class Texture;
class Viewport;

class Device3D {
 public:
  Device3D(std::shared_ptr<Display> display, const DriverDesc& driver, std::shared_ptr<Surface> target);
  ~Device3D();
  Device3D(const Device3D&) = delete;
  Device3D& operator=(const Device3D&) = delete;

  // The callback returns false to stop.
  HResult EnumTextureFormats(const std::function<bool(const SurfaceDesc&)>& callback);
  HResult AddViewport(const std::shared_ptr<Viewport>& viewport);
  HResult DeleteViewport(const std::shared_ptr<Viewport>& viewport);
  HResult SetCurrentViewport(const std::shared_ptr<Viewport>& viewport);

  HResult BeginScene();
  HResult EndScene();
  bool InScene() const { return inScene_; }

  HResult SetRenderState(int state, std::uint32_t value);
  HResult GetRenderState(int state, std::uint32_t* value) const;
  const RenderStates& States() const { return states_; }

  // Texture stages. A texture set on stage 0 draws through the stage states;
  // without one, the texture handle render state and its blend mode apply.
  HResult SetTextureStageState(int stage, int state, std::uint32_t value);
  HResult GetTextureStageState(int stage, int state, std::uint32_t* value) const;
  HResult SetTexture(int stage, const std::shared_ptr<Texture>& texture);
  const std::shared_ptr<Texture>& StageTexture(int stage) const { return stageTextures_[stage]; }
  int MaxStages() const;

  // Primitives are cut to the render target (and viewport) whatever the flags say.
  HResult DrawPrimitive(PrimitiveType type, const TLVertex* vertices, int count, std::uint32_t flags);

  // The handle of a texture on this device (the same one each time).
  std::uint32_t HandleOf(const std::shared_ptr<Texture>& texture);
  Surface* Target() const { return target_.get(); }
  const DriverDesc& Driver() const { return driver_; }

  struct Stats {
    long long primitives = 0;
    long long triangles = 0;
    long long lines = 0;
    long long points = 0;
  };
  const Stats& GetStats() const { return stats_; }

 private:
  std::shared_ptr<Display> display_;
  DriverDesc driver_;
  std::shared_ptr<Surface> target_;
  std::vector<std::shared_ptr<Viewport>> viewports_;
  std::shared_ptr<Viewport> current_;
  RenderStates states_;
  std::array<StageStates, kMaxTextureStages> stages_;
  std::array<std::shared_ptr<Texture>, kMaxTextureStages> stageTextures_;
  std::vector<std::weak_ptr<Texture>> handles_;  // handle n is entry n - 1
  bool inScene_ = false;
  Stats stats_;
};

}  // namespace platform::video
