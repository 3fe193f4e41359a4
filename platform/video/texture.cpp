#include "platform/video/texture.h"

#include <cstring>

#include "platform/video/device3d.h"
#include "platform/video/faults.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"

namespace platform::video {

Texture::Texture(std::shared_ptr<Surface> surface) : surface_(std::move(surface)) {}

HResult Texture::Load(Texture& source) {
  if (HResult r = Faults::Check(Call::TextureLoad)) return r;
  Surface& dst = *surface_;
  Surface& src = *source.surface_;
  if (dst.IsLost() || src.IsLost()) return kErrSurfaceLost;
  if (dst.IsLocked() || src.IsLocked()) return kErrSurfaceBusy;
  if (dst.Width() != src.Width() || dst.Height() != src.Height() || !(dst.Format() == src.Format()))
    return kErrInvalidParams;
  const std::size_t rowBytes = static_cast<std::size_t>(dst.Width()) * (dst.Format().bitsPerPixel / 8);
  for (int y = 0; y < dst.Height(); ++y)
    std::memcpy(dst.Bits() + static_cast<std::size_t>(y) * dst.Pitch(),
                src.Bits() + static_cast<std::size_t>(y) * src.Pitch(), rowBytes);
  dst.Touch();
  Recorder::Log("TextureLoad");
  return kOk;
}

HResult Texture::GetHandle(Device3D& device, std::uint32_t* handle) {
  if (HResult r = Faults::Check(Call::TextureGetHandle)) return r;
  if (!handle) return kErrInvalidParams;
  *handle = device.HandleOf(shared_from_this());
  return kOk;
}

}  // namespace platform::video
