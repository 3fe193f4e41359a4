#pragma once
// The display: cooperative level, display modes, surface and clipper
// creation, and the way to the 3D interface. Created on the current machine.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/machine.h"
#include "platform/video/result.h"
#include "platform/video/types.h"

namespace platform::video {

class Clipper;
class Graphics3D;
class Surface;
class VideoMemory;
class Window;

// Cooperative-level flags.
inline constexpr std::uint32_t kCoopFullScreen = 0x1;
inline constexpr std::uint32_t kCoopNoWindowChanges = 0x4;
inline constexpr std::uint32_t kCoopNormal = 0x8;
inline constexpr std::uint32_t kCoopExclusive = 0x10;

class Display : public std::enable_shared_from_this<Display> {
 public:
  // A null driver means the primary display.
  static HResult Create(const Guid* driver, std::shared_ptr<Display>* out);
  // The display drivers of the current machine: its primary display, named
  // by a null GUID. The callback returns false to stop.
  using DisplayDriverCallback =
      std::function<bool(const Guid* guid, const std::string& description, const std::string& name)>;
  static HResult EnumerateDrivers(const DisplayDriverCallback& callback);
  explicit Display(const Machine& machine);
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  HResult Query3D(std::shared_ptr<Graphics3D>* out);
  // The callback returns false to stop.
  HResult EnumDisplayModes(std::uint32_t flags, const std::function<bool(const SurfaceDesc&)>& callback);
  HResult SetCooperativeLevel(Window* window, std::uint32_t flags);
  HResult SetDisplayMode(int width, int height, int bitsPerPixel, int refreshRate, std::uint32_t flags);
  HResult RestoreDisplayMode();
  HResult CreateSurface(const SurfaceDesc& desc, std::shared_ptr<Surface>* out);
  HResult CreateClipper(std::uint32_t flags, std::shared_ptr<Clipper>* out);

  // Every surface in video memory becomes lost, as after a mode switch.
  void LoseSurfaces();

  const Machine& GetMachine() const { return machine_; }
  Window* CooperativeWindow() const { return window_; }
  bool IsFullScreen() const { return fullScreen_; }
  int ScreenWidth() const { return screenWidth_; }
  int ScreenHeight() const { return screenHeight_; }
  const PixelFormat& ScreenFormat() const { return screenFormat_; }
  const std::shared_ptr<VideoMemory>& Memory() const { return videoMemory_; }
  const std::shared_ptr<VideoMemory>& NonLocalMemory() const { return nonLocalMemory_; }

  // Surfaces report their end here.
  void ForgetSurface(Surface* surface);

 private:
  Machine machine_;
  std::shared_ptr<VideoMemory> videoMemory_;
  std::shared_ptr<VideoMemory> nonLocalMemory_;
  std::vector<Surface*> surfaces_;
  Window* window_ = nullptr;
  std::uint32_t coopFlags_ = 0;
  bool fullScreen_ = false;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  PixelFormat screenFormat_;
  Surface* primary_ = nullptr;
};

}  // namespace platform::video
