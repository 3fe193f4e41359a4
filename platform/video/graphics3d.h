#pragma once
// The 3D interface of a display: driver enumeration, device and viewport creation.
#include <functional>
#include <memory>
#include <string>

#include "platform/video/machine.h"
#include "platform/video/result.h"

namespace platform::video {

class Device3D;
class Display;
class Surface;
class Viewport;

class Graphics3D {
 public:
  explicit Graphics3D(std::shared_ptr<Display> display);

  using DriverCallback = std::function<bool(const Guid& guid, const std::string& description, const std::string& name,
                                            const HardwareDesc& hardware, const HardwareDesc& software)>;
  // The callback returns false to stop.
  HResult EnumDevices(const DriverCallback& callback);
  HResult CreateDevice(const Guid& driver, const std::shared_ptr<Surface>& target, std::shared_ptr<Device3D>* out);
  HResult CreateViewport(std::shared_ptr<Viewport>* out);

 private:
  std::shared_ptr<Display> display_;
};

}  // namespace platform::video
