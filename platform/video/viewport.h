#pragma once
// A viewport of a 3D device: its rectangle and depth range, and clears.
#include <cstdint>

#include "platform/video/result.h"
#include "platform/video/types.h"

namespace platform::video {

class Device3D;

struct ViewportDesc {
  int x = 0, y = 0, width = 0, height = 0;
  float scaleX = 0, scaleY = 0, maxX = 0, maxY = 0, minZ = 0, maxZ = 1;
};

// Clear flags.
inline constexpr std::uint32_t kClearTarget = 0x1;
inline constexpr std::uint32_t kClearZBuffer = 0x2;

class Viewport {
 public:
  HResult SetViewport(const ViewportDesc& desc);
  HResult GetViewport(ViewportDesc* out) const;
  // Rectangles in target coordinates; cut to the target.
  HResult Clear(int count, const Rect* rects, std::uint32_t flags);
  // As Clear, the target filled with a colour (0xAARRGGBB) and the depth with a value (0 far, 1 near).
  HResult Clear(int count, const Rect* rects, std::uint32_t flags, std::uint32_t color, float depth);
  bool HasDesc() const { return hasDesc_; }
  const ViewportDesc& Desc() const { return desc_; }

 private:
  friend class Device3D;
  Device3D* device_ = nullptr;
  ViewportDesc desc_;
  bool hasDesc_ = false;
};

}  // namespace platform::video
