#include "platform/video/surface.h"

#include <algorithm>
#include <cstring>

#include "platform/video/clipper.h"
#include "platform/video/display.h"
#include "platform/video/faults.h"
#include "platform/video/recorder.h"
#include "platform/video/texture.h"
#include "platform/video/window.h"

namespace platform::video {
namespace {

bool Inside(const Rect& r, const Rect& bounds) {
  return r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right && r.bottom <= bounds.bottom;
}

std::uint32_t Expand(std::uint32_t pixel, std::uint32_t mask) {
  if (!mask) return 0;
  int shift = MaskShift(mask), bits = MaskBits(mask);
  std::uint32_t v = (pixel & mask) >> shift;
  std::uint32_t maxv = (1u << bits) - 1;
  return (v * 255 + maxv / 2) / maxv;
}

}  // namespace

Surface::Surface(Display* display, const SurfaceDesc& desc, VideoMemoryLease lease)
    : display_(display), desc_(desc), lease_(std::move(lease)) {
  desc_.flags |= kDescCaps | kDescWidth | kDescHeight | kDescPitch | kDescPixelFormat;
  const int bytes = IsZBuffer() ? 4 : std::max(1, desc_.format.bitsPerPixel / 8);
  desc_.pitch = ((desc_.width * bytes) + 3) & ~3;
  memory_.assign(static_cast<std::size_t>(desc_.pitch) * desc_.height, 0);
}

Surface::~Surface() {
  if (display_) display_->ForgetSurface(this);
}

HResult Surface::GetSurfaceDesc(SurfaceDesc* out) const {
  if (HResult r = Faults::Check(Call::GetSurfaceDesc)) return r;
  if (!out) return kErrInvalidParams;
  *out = desc_;
  return kOk;
}

HResult Surface::Lock(const Rect* area, SurfaceDesc* desc, void** bits) {
  if (HResult r = Faults::Check(Call::Lock)) return r;
  Recorder::Log("Lock");
  if (lost_) return kErrSurfaceLost;
  if (locked_ || dcTaken_) return kErrSurfaceBusy;
  Rect bounds{0, 0, desc_.width, desc_.height};
  Rect a = area ? *area : bounds;
  if (a.Empty() || !Inside(a, bounds)) return kErrInvalidRect;
  locked_ = true;
  const int bytes = IsZBuffer() ? 4 : desc_.format.bitsPerPixel / 8;
  if (desc) *desc = desc_;
  if (bits) *bits = memory_.data() + static_cast<std::size_t>(a.top) * desc_.pitch + a.left * bytes;
  return kOk;
}

HResult Surface::Unlock() {
  if (HResult r = Faults::Check(Call::Unlock)) return r;
  Recorder::Log("Unlock");
  if (!locked_) return kErrNotLocked;
  locked_ = false;
  Touch();
  return kOk;
}

HResult Surface::Blt(const Rect* dstArg, Surface* src, const Rect* srcArg, std::uint32_t flags, const BltFx* fx) {
  if (HResult r = Faults::Check(Call::Blt)) return r;
  if (lost_ || (src && src->lost_)) return kErrSurfaceLost;
  if (locked_ || dcTaken_) return kErrSurfaceBusy;
  if (src && src != this && (src->locked_ || src->dcTaken_)) return kErrSurfaceBusy;
  const Rect bounds{0, 0, desc_.width, desc_.height};
  const Rect dst = dstArg ? *dstArg : bounds;
  if (dst.Empty()) return kErrInvalidRect;
  Rect clipArea = bounds;
  Window* window = nullptr;
  if (clipper_) {
    window = clipper_->GetWindow();
    if (window && (desc_.caps & kCapsPrimary)) clipArea = Intersect(bounds, window->ClientRect());
  } else if (!Inside(dst, bounds)) {
    return kErrInvalidRect;
  }
  const Rect d = Intersect(dst, clipArea);

  if (flags & (kBltColorFill | kBltDepthFill)) {
    if (!fx) return kErrInvalidParams;
    Recorder::Log("Blt fill");
    if (d.Empty()) return kOk;
    if (IsZBuffer()) FillDepth(d, fx->fillDepth);
    else FillColor(d, fx->fillColor);
    NotifyPresent(d);
    return kOk;
  }

  if (!src) return kErrInvalidParams;
  const Rect srcBounds{0, 0, src->Width(), src->Height()};
  const Rect s = srcArg ? *srcArg : srcBounds;
  if (s.Empty() || !Inside(s, srcBounds)) return kErrInvalidRect;
  if (IsZBuffer() || src->IsZBuffer() || src->Format().bitsPerPixel != desc_.format.bitsPerPixel)
    return kErrUnsupportedFormat;
  bool useKey = false;
  ColorKey key;
  if (flags & kBltKeySrcOverride) {
    if (!fx) return kErrInvalidParams;
    useKey = true;
    key = fx->srcKey;
  } else if (flags & kBltKeySrc) {
    if (!src->hasKey_) return kErrNoColorKey;
    useKey = true;
    key = src->key_;
  }
  Recorder::Log("Blt");
  if (d.Empty()) return kOk;

  const int bytes = desc_.format.bitsPerPixel / 8;
  // A blit within one surface reads from a copy so that overlapping areas come out right.
  std::vector<std::uint8_t> copy;
  const std::uint8_t* srcBits = src->memory_.data();
  int srcPitch = src->desc_.pitch;
  if (src == this) {
    copy = memory_;
    srcBits = copy.data();
  }
  const std::int64_t dw = dst.Width(), dh = dst.Height(), sw = s.Width(), sh = s.Height();
  const bool stretch = dw != sw || dh != sh;
  for (int y = d.top; y < d.bottom; ++y) {
    const int sy = stretch ? s.top + static_cast<int>((y - dst.top) * sh / dh) : s.top + (y - dst.top);
    const std::uint8_t* srow = srcBits + static_cast<std::size_t>(sy) * srcPitch;
    std::uint8_t* drow = memory_.data() + static_cast<std::size_t>(y) * desc_.pitch;
    if (!stretch && !useKey) {
      std::memcpy(drow + d.left * bytes, srow + (s.left + d.left - dst.left) * bytes,
                  static_cast<std::size_t>(d.Width()) * bytes);
      continue;
    }
    for (int x = d.left; x < d.right; ++x) {
      const int sx = stretch ? s.left + static_cast<int>((x - dst.left) * sw / dw) : s.left + (x - dst.left);
      if (bytes == 2) {
        std::uint16_t v;
        std::memcpy(&v, srow + sx * 2, 2);
        if (useKey && v >= key.low && v <= key.high) continue;
        std::memcpy(drow + x * 2, &v, 2);
      } else {
        std::uint32_t v;
        std::memcpy(&v, srow + sx * 4, 4);
        if (useKey && v >= key.low && v <= key.high) continue;
        std::memcpy(drow + x * 4, &v, 4);
      }
    }
  }
  Touch();
  NotifyPresent(d);
  return kOk;
}

namespace {

// Fills the first row of an area and copies it to the others: the library's
// block copy is quicker than storing the value element by element.
template <typename T>
void FillRows(std::uint8_t* memory, int pitch, const Rect& d, T value) {
  if (d.Empty()) return;
  const std::size_t bytes = static_cast<std::size_t>(d.right - d.left) * sizeof(T);
  std::uint8_t* first = memory + static_cast<std::size_t>(d.top) * pitch + static_cast<std::size_t>(d.left) * sizeof(T);
  std::uint8_t pattern[sizeof(T)];
  std::memcpy(pattern, &value, sizeof(T));
  if (std::all_of(pattern, pattern + sizeof(T), [&](std::uint8_t b) { return b == pattern[0]; })) {
    if (static_cast<std::size_t>(pitch) == bytes) {
      std::memset(first, pattern[0], bytes * static_cast<std::size_t>(d.bottom - d.top));
      return;
    }
    for (int y = d.top; y < d.bottom; ++y) std::memset(first + static_cast<std::size_t>(y - d.top) * pitch, pattern[0], bytes);
    return;
  }
  for (std::size_t i = 0; i < bytes; i += sizeof(T)) std::memcpy(first + i, pattern, sizeof(T));
  for (int y = d.top + 1; y < d.bottom; ++y) std::memcpy(first + static_cast<std::size_t>(y - d.top) * pitch, first, bytes);
}

}  // namespace

void Surface::FillDepth(const Rect& area, float depth) {
  if (!IsZBuffer()) return;
  FillRows(memory_.data(), desc_.pitch, Intersect(area, Rect{0, 0, desc_.width, desc_.height}), depth);
}

void Surface::FillColor(const Rect& area, std::uint32_t value) {
  if (IsZBuffer()) return;
  const Rect d = Intersect(area, Rect{0, 0, desc_.width, desc_.height});
  if (desc_.format.bitsPerPixel == 32) FillRows(memory_.data(), desc_.pitch, d, value);
  else FillRows(memory_.data(), desc_.pitch, d, static_cast<std::uint16_t>(value));
  Touch();
}

void Surface::NotifyPresent(const Rect& area) {
  if (!(desc_.caps & kCapsPrimary)) return;
  Window* w = clipper_ ? clipper_->GetWindow() : nullptr;
  if (!w && display_) w = display_->CooperativeWindow();
  if (w) w->ReceivePresent(*this, area);
}

HResult Surface::Flip(Surface* override, std::uint32_t /*flags*/) {
  if (HResult r = Faults::Check(Call::Flip)) return r;
  Recorder::Log("Flip");
  if (!(desc_.caps & kCapsFlip)) return kErrNotFlippable;
  if (lost_) return kErrSurfaceLost;
  if (locked_ || dcTaken_) return kErrSurfaceBusy;
  Surface* back = override;
  if (!back) {
    for (const auto& a : attached_)
      if (a->Caps() & kCapsBackBuffer) back = a.get();
  }
  if (!back) return kErrNotFlippable;
  if (back->lost_) return kErrSurfaceLost;
  SwapMemory(*back);
  NotifyPresent(Rect{0, 0, desc_.width, desc_.height});
  return kOk;
}

void Surface::SwapMemory(Surface& other) {
  if (other.memory_.size() == memory_.size()) memory_.swap(other.memory_);
  Touch();
  other.Touch();
}

HResult Surface::Restore() {
  if (HResult r = Faults::Check(Call::Restore)) return r;
  Recorder::Log("Restore");
  if (!lost_) return kOk;
  lost_ = false;
  std::fill(memory_.begin(), memory_.end(), 0);
  Touch();
  return kOk;
}

HResult Surface::SetColorKey(std::uint32_t flags, const ColorKey* key) {
  if (HResult r = Faults::Check(Call::SetColorKey)) return r;
  if (!(flags & kKeySrc)) return kErrInvalidParams;
  if (key) {
    hasKey_ = true;
    key_ = *key;
  } else {
    hasKey_ = false;
  }
  return kOk;
}

HResult Surface::AddAttachedSurface(const std::shared_ptr<Surface>& surface) {
  if (HResult r = Faults::Check(Call::AddAttachedSurface)) return r;
  if (!surface || surface.get() == this) return kErrInvalidParams;
  if (surface->IsZBuffer()) {
    if (ZBuffer()) return kErrSurfaceAlreadyAttached;
    if (surface->Width() != Width() || surface->Height() != Height()) return kErrInvalidParams;
  }
  attached_.push_back(surface);
  return kOk;
}

HResult Surface::DeleteAttachedSurface(const std::shared_ptr<Surface>& surface) {
  auto it = std::find(attached_.begin(), attached_.end(), surface);
  if (it == attached_.end()) return kErrSurfaceNotAttached;
  attached_.erase(it);
  return kOk;
}

HResult Surface::GetAttachedSurface(std::uint32_t caps, std::shared_ptr<Surface>* out) const {
  if (HResult r = Faults::Check(Call::GetAttachedSurface)) return r;
  if (!out) return kErrInvalidParams;
  for (const auto& a : attached_) {
    if ((a->Caps() & caps) == caps) {
      *out = a;
      return kOk;
    }
  }
  return kErrNotFound;
}

std::shared_ptr<Surface> Surface::ZBuffer() const {
  for (const auto& a : attached_)
    if (a->IsZBuffer()) return a;
  return nullptr;
}

HResult Surface::SetClipper(std::shared_ptr<Clipper> clipper) {
  if (HResult r = Faults::Check(Call::SetClipper)) return r;
  clipper_ = std::move(clipper);
  return kOk;
}

HResult Surface::GetDC(DrawContext** out) {
  if (HResult r = Faults::Check(Call::GetDC)) return r;
  if (!out) return kErrInvalidParams;
  if (lost_) return kErrSurfaceLost;
  if (dcTaken_) return kErrDcAlreadyCreated;
  if (locked_) return kErrSurfaceBusy;
  if (IsZBuffer()) return kErrInvalidCaps;
  dcTaken_ = true;
  dc_ = DrawContext{this, memory_.data(), desc_.pitch, desc_.width, desc_.height, desc_.format};
  *out = &dc_;
  return kOk;
}

HResult Surface::ReleaseDC(DrawContext* dc) {
  if (HResult r = Faults::Check(Call::ReleaseDC)) return r;
  if (!dcTaken_ || dc != &dc_) return kErrInvalidParams;
  dcTaken_ = false;
  Touch();
  return kOk;
}

HResult Surface::QueryTexture(std::shared_ptr<Texture>* out) {
  if (HResult r = Faults::Check(Call::QueryTexture)) return r;
  if (!out) return kErrInvalidParams;
  if (!(desc_.caps & kCapsTexture)) return kErrNoInterface;
  auto t = texture_.lock();
  if (!t) {
    t = std::make_shared<Texture>(shared_from_this());
    texture_ = t;
  }
  *out = t;
  return kOk;
}

std::uint32_t Surface::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= desc_.width || y >= desc_.height) return 0;
  const std::uint8_t* row = memory_.data() + static_cast<std::size_t>(y) * desc_.pitch;
  if (IsZBuffer() || desc_.format.bitsPerPixel == 32) {
    std::uint32_t v;
    std::memcpy(&v, row + x * 4, 4);
    return v;
  }
  std::uint16_t v;
  std::memcpy(&v, row + x * 2, 2);
  return v;
}

void Surface::SetPixel(int x, int y, std::uint32_t value) {
  if (x < 0 || y < 0 || x >= desc_.width || y >= desc_.height) return;
  std::uint8_t* row = memory_.data() + static_cast<std::size_t>(y) * desc_.pitch;
  if (IsZBuffer() || desc_.format.bitsPerPixel == 32) {
    std::memcpy(row + x * 4, &value, 4);
  } else {
    std::uint16_t v = static_cast<std::uint16_t>(value);
    std::memcpy(row + x * 2, &v, 2);
  }
  Touch();
}

float Surface::DepthAt(int x, int y) const {
  if (!IsZBuffer() || x < 0 || y < 0 || x >= desc_.width || y >= desc_.height) return 0.0f;
  float v;
  std::memcpy(&v, memory_.data() + static_cast<std::size_t>(y) * desc_.pitch + x * 4, 4);
  return v;
}

const TexelCache& Surface::Texels() {
  if (texels_.valid) return texels_;
  const PixelFormat& f = desc_.format;
  const int w = desc_.width, h = desc_.height;
  texels_.hasAlpha = f.alphaMask != 0;
  const bool pow2 = (w & (w - 1)) == 0 && (h & (h - 1)) == 0;
  texels_.tiled = pow2 && w >= 4 && h >= 4;
  std::vector<std::uint32_t> linear(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = PixelAt(x, y);
      const std::uint32_t a = f.alphaMask ? Expand(p, f.alphaMask) : 255u;
      linear[static_cast<std::size_t>(y) * w + x] =
          a << 24 | Expand(p, f.redMask) << 16 | Expand(p, f.greenMask) << 8 | Expand(p, f.blueMask);
    }
  }
  texels_.levels.clear();
  if (!texels_.tiled) {
    texels_.argb = std::move(linear);
    texels_.levels.push_back({0, w, h});
    texels_.valid = true;
    return texels_;
  }
  texels_.argb.clear();
  int lw = w, lh = h;
  for (;;) {
    const std::size_t offset = texels_.argb.size();
    texels_.levels.push_back({offset, lw, lh});
    texels_.argb.resize(offset + static_cast<std::size_t>(lw) * lh);
    for (int y = 0; y < lh; ++y)
      for (int x = 0; x < lw; ++x)
        texels_.argb[offset + TiledIndex(x, y, lw)] = linear[static_cast<std::size_t>(y) * lw + x];
    if (lw < 8 || lh < 8) break;
    // The next level: each texel the mean of a 2 x 2 block.
    const int nw = lw / 2, nh = lh / 2;
    std::vector<std::uint32_t> next(static_cast<std::size_t>(nw) * nh);
    for (int y = 0; y < nh; ++y) {
      for (int x = 0; x < nw; ++x) {
        const std::uint32_t q[4] = {linear[static_cast<std::size_t>(2 * y) * lw + 2 * x],
                                    linear[static_cast<std::size_t>(2 * y) * lw + 2 * x + 1],
                                    linear[static_cast<std::size_t>(2 * y + 1) * lw + 2 * x],
                                    linear[static_cast<std::size_t>(2 * y + 1) * lw + 2 * x + 1]};
        std::uint32_t out = 0;
        for (int sh = 0; sh < 32; sh += 8) {
          const std::uint32_t sum = ((q[0] >> sh) & 255) + ((q[1] >> sh) & 255) + ((q[2] >> sh) & 255) + ((q[3] >> sh) & 255);
          out |= ((sum + 2) / 4) << sh;
        }
        next[static_cast<std::size_t>(y) * nw + x] = out;
      }
    }
    linear = std::move(next);
    lw = nw;
    lh = nh;
  }
  texels_.valid = true;
  return texels_;
}

}  // namespace platform::video
