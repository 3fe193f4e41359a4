#include "platform/video/viewport.h"

#include <cstdio>

#include "platform/video/device3d.h"
#include "platform/video/faults.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"

namespace platform::video {

HResult Viewport::SetViewport(const ViewportDesc& desc) {
  if (HResult r = Faults::Check(Call::SetViewport)) return r;
  if (!device_) return kErrViewportNotAttached;
  if (desc.width <= 0 || desc.height <= 0) return kErrInvalidParams;
  desc_ = desc;
  hasDesc_ = true;
  char line[96];
  std::snprintf(line, sizeof line, "SetViewport %d %d %d %d", desc.x, desc.y, desc.width, desc.height);
  Recorder::Log(line);
  return kOk;
}

HResult Viewport::GetViewport(ViewportDesc* out) const {
  if (!out) return kErrInvalidParams;
  *out = desc_;
  return kOk;
}

HResult Viewport::Clear(int count, const Rect* rects, std::uint32_t flags) {
  return Clear(count, rects, flags, 0, 0.0f);
}

HResult Viewport::Clear(int count, const Rect* rects, std::uint32_t flags, std::uint32_t color, float depth) {
  if (HResult r = Faults::Check(Call::ClearViewport)) return r;
  if (!device_) return kErrViewportNotAttached;
  if (count < 0 || (count > 0 && !rects)) return kErrInvalidParams;
  Surface* target = device_->Target();
  if (target->IsLost()) return kErrSurfaceLost;
  auto z = target->ZBuffer();
  if ((flags & kClearZBuffer) && !z) return kErrZBufferNotPresent;
  if (z && z->IsLost()) return kErrSurfaceLost;
  Recorder::Log((flags & kClearZBuffer) ? "Clear zbuffer" : "Clear");
  const std::uint32_t pixel = PackColor(target->Format(), color);
  for (int i = 0; i < count; ++i) {
    const Rect area = Intersect(rects[i], Rect{0, 0, target->Width(), target->Height()});
    if (area.Empty()) continue;
    if (flags & kClearZBuffer) z->FillDepth(area, depth);
    if (flags & kClearTarget) target->FillColor(area, pixel);
  }
  return kOk;
}

}  // namespace platform::video
