#include "platform/video/graphics3d.h"

#include "platform/video/device3d.h"
#include "platform/video/display.h"
#include "platform/video/faults.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "platform/video/viewport.h"

namespace platform::video {

Graphics3D::Graphics3D(std::shared_ptr<Display> display) : display_(std::move(display)) {}

HResult Graphics3D::EnumDevices(const DriverCallback& callback) {
  if (HResult r = Faults::Check(Call::EnumDevices)) return r;
  for (const DriverDesc& d : display_->GetMachine().drivers)
    if (!callback(d.guid, d.description, d.name, d.hardware, d.software)) break;
  return kOk;
}

HResult Graphics3D::CreateDevice(const Guid& driver, const std::shared_ptr<Surface>& target,
                                 std::shared_ptr<Device3D>* out) {
  if (HResult r = Faults::Check(Call::CreateDevice)) return r;
  if (!out || !target) return kErrInvalidParams;
  const DriverDesc* found = nullptr;
  for (const DriverDesc& d : display_->GetMachine().drivers)
    if (d.guid == driver) found = &d;
  if (!found) return kErrBadDriver;
  if (!(target->Caps() & kCaps3DDevice)) return kErrInvalidCaps;
  if (target->IsLost()) return kErrSurfaceLost;
  const int bpp = target->Format().bitsPerPixel;
  const std::uint32_t need = bpp == 32 ? kDepth32 : bpp == 16 ? kDepth16 : 0;
  if (!(found->hardware.renderBitDepth & need)) return kErrInvalidPixelFormat;
  *out = std::make_shared<Device3D>(display_, *found, target);
  Recorder::Log("CreateDevice");
  return kOk;
}

HResult Graphics3D::CreateViewport(std::shared_ptr<Viewport>* out) {
  if (HResult r = Faults::Check(Call::CreateViewport)) return r;
  if (!out) return kErrInvalidParams;
  *out = std::make_shared<Viewport>();
  return kOk;
}

}  // namespace platform::video
