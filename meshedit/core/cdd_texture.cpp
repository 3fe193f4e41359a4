#include <algorithm>

#include "datafiles/common/debug_trace.h"
#include "meshedit/core/cdd.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/tga_image.h"
#include "platform/video/device3d.h"
#include "platform/video/display.h"
#include "platform/video/texture.h"
#include "platform/video/video_memory.h"

namespace pavix {
namespace {

// The largest power of two not above n (n >= 1).
int PowerOfTwoBelow(int n) {
  int p = 1;
  while (p <= n / 2) p *= 2;
  return p;
}

const pv::HardwareDesc* DeviceDesc() {
  const CddState& s = Cdd::State();
  if (s.driver < 0 || s.driver >= kCddMaxDrivers) return nullptr;
  return &s.drivers[static_cast<std::size_t>(s.driver)].deviceDesc;
}

}  // namespace

int Cdd::MinTextureWidth() { return DeviceDesc() ? std::max(1, DeviceDesc()->minTextureWidth) : 1; }
int Cdd::MaxTextureWidth() { return DeviceDesc() ? std::max(1, DeviceDesc()->maxTextureWidth) : 256; }
int Cdd::MinTextureHeight() { return DeviceDesc() ? std::max(1, DeviceDesc()->minTextureHeight) : 1; }
int Cdd::MaxTextureHeight() { return DeviceDesc() ? std::max(1, DeviceDesc()->maxTextureHeight) : 256; }

void Cdd::TextureMemory(std::size_t* total, std::size_t* free) {
  const CddState& s = State();
  const auto& memory = s.display ? s.display->Memory() : nullptr;
  if (total) *total = memory ? memory->Capacity() : 0;
  if (free) *free = memory ? memory->Capacity() - memory->Used() : 0;
}

void Cdd::releasealltexture() {
  CddState& s = State();
  DebugTrace("Cdd::releasealltexture:begin\n");
  int released = 0;
  for (int i = 0; i < kCddTextureSlots; ++i) {
    CddTextureSlot& slot = s.slots[static_cast<std::size_t>(i)];
    if (!slot.surface) continue;
    DebugTrace("releasing tex %d\n", i);
    slot.texture.reset();
    slot.surface.reset();
    ++released;
  }
  if (s.device)
    for (int stage = 0; stage < s.stages; ++stage) s.device->SetTexture(stage, nullptr);
  DebugTrace("Cdd::releasealltexture:%d released\n", released);
}

int Cdd::loadtexture(int slotIndex, const std::string& file, int bump) {
  CddState& s = State();
  DebugTrace("Cdd::loadtexture:%d %s %d\n", slotIndex, file.c_str(), bump);
  if (slotIndex < 0 || slotIndex >= kCddTextureSlots) return 0;
  CddTextureSlot& slot = s.slots[static_cast<std::size_t>(slotIndex)];
  slot.texture.reset();
  slot.surface.reset();
  slot.file = file;
  if (!s.display) return 0;

  CTgaImage image;
  if (!image.Load(file)) {
    DebugTrace("Cdd::loadtexture:%s file doesn't exist\n", file.c_str());
    return 0;
  }
  // A 16-bit or empty file loads as an image without pixels: nothing to upload.
  if (image.GetDataSize() == 0) {
    DebugTrace("Cdd::loadtexture:%s holds no 24 or 32-bit pixels\n", file.c_str());
    return 0;
  }
  // Within the device's limits, powers of two, square at the smaller side.
  const int w0 = image.GetWidth(), h0 = image.GetHeight();
  int w = PowerOfTwoBelow(std::clamp(w0, MinTextureWidth(), MaxTextureWidth()));
  int h = PowerOfTwoBelow(std::clamp(h0, MinTextureHeight(), MaxTextureHeight()));
  w = h = std::min(w, h);
  if (w != w0 || h != h0) {
    DebugTrace("Cdd::resizing texture:%d %s %d from %dx%d to %dx%d\n", slotIndex, file.c_str(), bump, w0, h0, w, h);
    image.Resize(w, h);
  }

  pv::PixelFormat format;
  if (bump) {
    format = s.textureFormats[kFormatBump];
  } else if (image.GetBitsPerPixel() == 24) {
    format = s.alphaTextures && s.textureFormats[kFormatRgb16Alpha1].bitsPerPixel ? s.textureFormats[kFormatRgb16Alpha1]
                                                                                 : s.textureFormats[kFormatRgb16];
  } else {
    format = s.alphaTextures && s.textureFormats[kFormatRgb32Alpha].bitsPerPixel ? s.textureFormats[kFormatRgb32Alpha]
                                                                                : s.textureFormats[kFormatRgb16Alpha];
  }
  auto failed = [&](pv::HResult r) {
    if (r) LogError(r);
    DebugTrace(" *ERROR*");
    slot.texture.reset();
    slot.surface.reset();
    return 0;
  };
  if (format.bitsPerPixel == 0) return failed(pv::kErrUnsupportedFormat);

  pv::SurfaceDesc desc;
  desc.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescPixelFormat;
  desc.caps = pv::kCapsTexture;
  if (s.mipFilter != 0) desc.caps |= pv::kCapsMipMap | pv::kCapsComplex;
  desc.width = w;
  desc.height = h;
  desc.format = format;
  if (pv::HResult r = s.display->CreateSurface(desc, &slot.surface); pv::Failed(r)) return failed(r);
  slot.surface->GetSurfaceDesc(&slot.desc);

  if (bump) image.ConvertToBump(format.redMask, format.greenMask, format.blueMask);
  else if (format.bitsPerPixel == 32) image.ConvertTo32(format.redMask, format.greenMask, format.blueMask, format.alphaMask);
  else image.ConvertTo16(format.redMask, format.greenMask, format.blueMask, format.alphaMask);

  const int bytes = format.bitsPerPixel / 8;
  std::shared_ptr<pv::Surface> level = slot.surface;
  while (level) {
    pv::SurfaceDesc ld;
    void* bits = nullptr;
    if (pv::HResult r = level->Lock(nullptr, &ld, &bits); pv::Failed(r)) return failed(r);
    const int rows = std::min(ld.height, image.GetHeight());
    const std::size_t rowBytes = static_cast<std::size_t>(std::min(ld.width, image.GetWidth())) * bytes;
    for (int y = 0; y < rows; ++y)
      std::copy_n(image.GetData() + static_cast<std::size_t>(y) * image.GetWidth() * bytes, rowBytes,
                  static_cast<std::uint8_t*>(bits) + static_cast<std::size_t>(y) * ld.pitch);
    level->Unlock();
    image.Shrink(2);
    std::shared_ptr<pv::Surface> next;
    if (pv::Failed(level->GetAttachedSurface(pv::kCapsMipMap, &next))) break;
    level = next;
  }
  // Black texels are the colour key: drawn with the colour-key flag, they let what is behind show.
  const pv::ColorKey key{0, 0};
  slot.surface->SetColorKey(pv::kKeySrc, &key);
  if (pv::HResult r = slot.surface->QueryTexture(&slot.texture); pv::Failed(r)) return failed(r);
  return 1;
}

}  // namespace pavix
