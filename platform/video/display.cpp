#include "platform/video/display.h"

#include <algorithm>
#include <cstdio>

#include "platform/video/clipper.h"
#include "platform/video/faults.h"
#include "platform/video/graphics3d.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "platform/video/video_memory.h"
#include "platform/video/window.h"

namespace platform::video {
namespace {
constexpr int kMaxSurfaceSide = 16384;

std::size_t SurfaceBytes(const SurfaceDesc& d) {
  const int bytes = (d.caps & kCapsZBuffer) ? 4 : std::max(1, d.format.bitsPerPixel / 8);
  return static_cast<std::size_t>((d.width * bytes + 3) & ~3) * static_cast<std::size_t>(d.height);
}
}  // namespace

HResult Display::EnumerateDrivers(const DisplayDriverCallback& callback) {
  if (HResult r = Faults::Check(Call::EnumerateDisplayDrivers)) return r;
  callback(nullptr, "Primary Display Driver", "display");
  return kOk;
}

HResult Display::Create(const Guid* /*driver*/, std::shared_ptr<Display>* out) {
  if (HResult r = Faults::Check(Call::CreateDisplay)) return r;
  if (!out) return kErrInvalidParams;
  *out = std::make_shared<Display>(CurrentMachine());
  Recorder::Log("CreateDisplay");
  return kOk;
}

Display::Display(const Machine& machine)
    : machine_(machine),
      videoMemory_(std::make_shared<VideoMemory>(machine.videoMemory)),
      nonLocalMemory_(std::make_shared<VideoMemory>(machine.nonLocalMemory)),
      screenWidth_(machine.screenWidth),
      screenHeight_(machine.screenHeight),
      screenFormat_(machine.screenFormat.bitsPerPixel ? machine.screenFormat : Format565()) {}

Display::~Display() {
  for (Surface* s : surfaces_) s->DetachFromDisplay();
}

void Display::ForgetSurface(Surface* surface) {
  surfaces_.erase(std::remove(surfaces_.begin(), surfaces_.end(), surface), surfaces_.end());
  if (primary_ == surface) primary_ = nullptr;
}

HResult Display::Query3D(std::shared_ptr<Graphics3D>* out) {
  if (HResult r = Faults::Check(Call::Query3D)) return r;
  if (!out) return kErrInvalidParams;
  if (!machine_.has3D) return kErrNoInterface;
  *out = std::make_shared<Graphics3D>(shared_from_this());
  return kOk;
}

HResult Display::EnumDisplayModes(std::uint32_t /*flags*/, const std::function<bool(const SurfaceDesc&)>& callback) {
  if (HResult r = Faults::Check(Call::EnumDisplayModes)) return r;
  for (const DisplayModeDesc& m : machine_.modes) {
    SurfaceDesc d;
    d.flags = kDescWidth | kDescHeight | kDescPixelFormat | kDescPitch | kDescRefreshRate;
    d.width = m.width;
    d.height = m.height;
    d.refreshRate = m.refreshRate;
    d.format = m.bitsPerPixel == 32 ? FormatX8888() : m.bitsPerPixel == 15 ? Format555() : Format565();
    d.format.bitsPerPixel = m.bitsPerPixel;
    d.format.rgb = m.rgb;
    d.pitch = m.width * ((m.bitsPerPixel + 7) / 8);
    if (!callback(d)) break;
  }
  return kOk;
}

HResult Display::SetCooperativeLevel(Window* window, std::uint32_t flags) {
  if (HResult r = Faults::Check(Call::SetCooperativeLevel)) return r;
  if ((flags & kCoopFullScreen) && !(flags & kCoopExclusive)) return kErrInvalidParams;
  if ((flags & kCoopExclusive) && !window) return kErrNoWindow;
  window_ = window;
  coopFlags_ = flags;
  char line[64];
  std::snprintf(line, sizeof line, "SetCooperativeLevel 0x%x", flags);
  Recorder::Log(line);
  return kOk;
}

HResult Display::SetDisplayMode(int width, int height, int bitsPerPixel, int refreshRate, std::uint32_t /*flags*/) {
  if (HResult r = Faults::Check(Call::SetDisplayMode)) return r;
  if (!(coopFlags_ & kCoopExclusive)) return kErrNoExclusiveMode;
  bool found = false;
  for (const DisplayModeDesc& m : machine_.modes) {
    if (m.width == width && m.height == height && m.bitsPerPixel == bitsPerPixel &&
        (refreshRate == 0 || m.refreshRate == refreshRate))
      found = true;
  }
  if (!found) return kErrInvalidMode;
  char line[80];
  std::snprintf(line, sizeof line, "SetDisplayMode %d %d %d %d", width, height, bitsPerPixel, refreshRate);
  Recorder::Log(line);
  LoseSurfaces();
  fullScreen_ = true;
  screenWidth_ = width;
  screenHeight_ = height;
  screenFormat_ = bitsPerPixel == 32 ? FormatX8888() : bitsPerPixel == 15 ? Format555() : Format565();
  return kOk;
}

HResult Display::RestoreDisplayMode() {
  if (HResult r = Faults::Check(Call::RestoreDisplayMode)) return r;
  Recorder::Log("RestoreDisplayMode");
  if (fullScreen_) {
    LoseSurfaces();
    fullScreen_ = false;
    screenWidth_ = machine_.screenWidth;
    screenHeight_ = machine_.screenHeight;
    screenFormat_ = machine_.screenFormat.bitsPerPixel ? machine_.screenFormat : Format565();
  }
  return kOk;
}

HResult Display::CreateSurface(const SurfaceDesc& descIn, std::shared_ptr<Surface>* out) {
  if (!out) return kErrInvalidParams;
  SurfaceDesc d = descIn;
  if (HResult r = Faults::Check(Call::CreateSurface, d.caps)) return r;
  if (coopFlags_ == 0) return kErrNoCooperativeLevel;
  const bool primary = (d.caps & kCapsPrimary) != 0;
  if (primary) {
    if (primary_) return kErrPrimaryAlreadyExists;
    if ((d.caps & kCapsFlip) && !fullScreen_) return kErrNoExclusiveMode;
    d.width = screenWidth_;
    d.height = screenHeight_;
    d.format = screenFormat_;
  } else {
    if (!(d.flags & kDescWidth) || !(d.flags & kDescHeight)) return kErrInvalidParams;
    if (d.width <= 0 || d.height <= 0 || d.width > kMaxSurfaceSide || d.height > kMaxSurfaceSide)
      return kErrInvalidParams;
    if (d.caps & kCapsZBuffer) {
      const int bits = (d.flags & kDescZBufferBits) ? d.zBufferBits : 16;
      if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return kErrInvalidPixelFormat;
      d.zBufferBits = bits;
      d.flags |= kDescZBufferBits;
      d.format = PixelFormat{bits, false, 0, 0, 0, 0};
    } else if (!(d.flags & kDescPixelFormat)) {
      d.format = screenFormat_;
    } else if (d.format.bitsPerPixel != 16 && d.format.bitsPerPixel != 32) {
      return kErrInvalidPixelFormat;
    }
    if (d.caps & kCapsTexture) {
      const bool known = std::any_of(machine_.textureFormats.begin(), machine_.textureFormats.end(),
                                     [&](const PixelFormat& f) { return f == d.format; });
      if (!known) return kErrInvalidPixelFormat;
    }
  }
  // Placement: video memory when asked or when it fits, else system memory.
  // A mip chain takes its smaller levels from the same place.
  const bool mipChain = (d.caps & kCapsTexture) && (d.caps & kCapsMipMap) && (d.caps & kCapsComplex) && !primary;
  int levels = 1;
  std::size_t bytes = SurfaceBytes(d);
  if (mipChain) {
    levels = (d.flags & kDescMipMapCount) ? d.mipMapCount : 32;
    if (levels < 1) return kErrInvalidParams;
    int w = d.width, h = d.height, n = 1;
    for (; n < levels && (w > 1 || h > 1); ++n) {
      w = std::max(1, w / 2);
      h = std::max(1, h / 2);
      SurfaceDesc ld = d;
      ld.width = w;
      ld.height = h;
      bytes += SurfaceBytes(ld);
    }
    levels = n;
    d.mipMapCount = levels;
    d.flags |= kDescMipMapCount;
  }
  std::shared_ptr<VideoMemory> pool;
  if (d.caps & kCapsNonLocalVideoMemory) {
    if (!nonLocalMemory_->Take(bytes)) return kErrOutOfVideoMemory;
    pool = nonLocalMemory_;
  } else if ((d.caps & kCapsVideoMemory) || primary) {
    if (!videoMemory_->Take(bytes)) return kErrOutOfVideoMemory;
    pool = videoMemory_;
    d.caps |= kCapsVideoMemory;
  } else if (!(d.caps & kCapsSystemMemory)) {
    if (videoMemory_->Take(bytes)) {
      pool = videoMemory_;
      d.caps |= kCapsVideoMemory;
    } else {
      d.caps |= kCapsSystemMemory;
    }
  }
  VideoMemoryLease lease = pool ? VideoMemoryLease(pool, bytes) : VideoMemoryLease();
  auto surface = std::make_shared<Surface>(this, d, std::move(lease));
  surfaces_.push_back(surface.get());
  if (mipChain) {
    // Each level hangs off the one before it; the top level's lease holds the bytes of all.
    Surface* previous = surface.get();
    SurfaceDesc ld = d;
    for (int n = 1; n < levels; ++n) {
      ld.width = std::max(1, ld.width / 2);
      ld.height = std::max(1, ld.height / 2);
      ld.caps = d.caps & ~kCapsComplex;
      ld.mipMapCount = levels - n;
      auto level = std::make_shared<Surface>(this, ld, VideoMemoryLease());
      surfaces_.push_back(level.get());
      previous->attached_.push_back(level);
      previous = level.get();
    }
  }
  if (primary) {
    primary_ = surface.get();
    if ((d.caps & kCapsFlip) && (d.flags & kDescBackBufferCount) && d.backBufferCount > 0) {
      SurfaceDesc bd = d;
      bd.caps = (d.caps & ~(kCapsPrimary | kCapsFlip | kCapsComplex)) | kCapsBackBuffer;
      const std::size_t backBytes = SurfaceBytes(bd);
      if (!videoMemory_->Take(backBytes)) return kErrOutOfVideoMemory;
      auto back = std::make_shared<Surface>(this, bd, VideoMemoryLease(videoMemory_, backBytes));
      surfaces_.push_back(back.get());
      surface->attached_.push_back(back);
    }
  }
  char line[96];
  std::snprintf(line, sizeof line, "CreateSurface caps=0x%x %dx%d", d.caps, surface->Width(), surface->Height());
  Recorder::Log(line);
  *out = std::move(surface);
  return kOk;
}

HResult Display::CreateClipper(std::uint32_t /*flags*/, std::shared_ptr<Clipper>* out) {
  if (HResult r = Faults::Check(Call::CreateClipper)) return r;
  if (!out) return kErrInvalidParams;
  *out = std::make_shared<Clipper>();
  return kOk;
}

void Display::LoseSurfaces() {
  for (Surface* s : surfaces_)
    if (s->Caps() & (kCapsVideoMemory | kCapsNonLocalVideoMemory | kCapsPrimary)) s->MarkLost();
}

}  // namespace platform::video
