#pragma once
// The texture interface of a texture surface: loading from another texture
// and the handle by which a device's render state names it.
#include <cstdint>
#include <memory>

#include "platform/video/result.h"

namespace platform::video {

class Device3D;
class Surface;

class Texture : public std::enable_shared_from_this<Texture> {
 public:
  explicit Texture(std::shared_ptr<Surface> surface);

  // Copies the pixels of a texture of the same size and format.
  HResult Load(Texture& source);
  HResult GetHandle(Device3D& device, std::uint32_t* handle);
  Surface& GetSurface() const { return *surface_; }

 private:
  std::shared_ptr<Surface> surface_;
};

}  // namespace platform::video
