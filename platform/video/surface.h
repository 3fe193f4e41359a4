#pragma once
// A surface: a block of pixels with a pitch, in a 16- or 32-bit RGB format
// (or depth values for a Z-buffer). Locks, blits (colour fill, source colour
// key, stretching, clipping), flips, colour keys, attachments, lost state and
// restore, device contexts for text.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/video/result.h"
#include "platform/video/types.h"
#include "platform/video/video_memory.h"

namespace platform::video {

class Clipper;
class Display;
class Surface;
class Texture;
class Window;

struct ColorKey {
  std::uint32_t low = 0, high = 0;
};

// Blit flags.
inline constexpr std::uint32_t kBltColorFill = 0x400;
inline constexpr std::uint32_t kBltDepthFill = 0x2000000;
inline constexpr std::uint32_t kBltKeySrc = 0x8000;
inline constexpr std::uint32_t kBltKeySrcOverride = 0x10000;
inline constexpr std::uint32_t kBltWait = 0x1000000;

struct BltFx {
  std::uint32_t fillColor = 0;
  float fillDepth = 0.0f;
  ColorKey srcKey;
};

// Colour-key flags.
inline constexpr std::uint32_t kKeySrc = 0x8;

// Flip flags.
inline constexpr std::uint32_t kFlipWait = 0x1;

// What GetDC hands out: the surface's memory for the window system's text
// functions, valid until ReleaseDC.
struct DrawContext {
  Surface* surface = nullptr;
  std::uint8_t* bits = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
  PixelFormat format;
};

// Texels of a texture surface decoded to 0xAARRGGBB, rebuilt after a change.
// Power-of-two textures of 4 x 4 texels or more are kept in 4 x 4 tiles, so
// that the four texels of a filtered sample mostly share one cache line.
//
// Such textures also get smaller copies, each half the size of the one
// before (down to 4 texels a side), which the rasterizer samples instead
// when a triangle shrinks the texture.
struct TexelLevel {
  std::size_t offset;  // into argb
  int width, height;
};
struct TexelCache {
  std::vector<std::uint32_t> argb;
  std::vector<TexelLevel> levels;  // level 0 is the texture itself
  bool hasAlpha = false;
  bool tiled = false;
  bool valid = false;
};
// Where texel (x, y) of a tiled cache lives.
inline std::size_t TiledIndex(int x, int y, int width) {
  return (static_cast<std::size_t>(y >> 2) * static_cast<std::size_t>(width >> 2) + static_cast<std::size_t>(x >> 2)) << 4 |
         static_cast<std::size_t>((y & 3) << 2 | (x & 3));
}

class Surface : public std::enable_shared_from_this<Surface> {
 public:
  Surface(Display* display, const SurfaceDesc& desc, VideoMemoryLease lease);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HResult GetSurfaceDesc(SurfaceDesc* out) const;
  // Locks the whole surface (area is accepted for the record); `bits` points
  // at the first pixel of the area.
  HResult Lock(const Rect* area, SurfaceDesc* desc, void** bits);
  HResult Unlock();
  bool IsLocked() const { return locked_; }

  // dst and srcRect null mean the whole surface. Without a clipper a
  // rectangle must lie inside its surface; with one the blit is cut to the
  // clipper's window (on the screen) and to the surface.
  HResult Blt(const Rect* dst, Surface* src, const Rect* srcRect, std::uint32_t flags, const BltFx* fx);
  // Swaps the front of a flipping chain with its back buffer.
  HResult Flip(Surface* override, std::uint32_t flags);

  bool IsLost() const { return lost_; }
  void MarkLost() { lost_ = true; }
  HResult Restore();

  HResult SetColorKey(std::uint32_t flags, const ColorKey* key);
  bool HasColorKey() const { return hasKey_; }
  ColorKey GetColorKey() const { return key_; }

  HResult AddAttachedSurface(const std::shared_ptr<Surface>& surface);
  HResult DeleteAttachedSurface(const std::shared_ptr<Surface>& surface);
  HResult GetAttachedSurface(std::uint32_t caps, std::shared_ptr<Surface>* out) const;
  std::shared_ptr<Surface> ZBuffer() const;

  HResult SetClipper(std::shared_ptr<Clipper> clipper);
  const std::shared_ptr<Clipper>& GetClipper() const { return clipper_; }

  HResult GetDC(DrawContext** out);
  HResult ReleaseDC(DrawContext* dc);

  // The texture interface of a texture surface.
  HResult QueryTexture(std::shared_ptr<Texture>* out);

  // Direct access for the rasterizer, the window system and tests.
  int Width() const { return desc_.width; }
  int Height() const { return desc_.height; }
  int Pitch() const { return desc_.pitch; }
  std::uint32_t Caps() const { return desc_.caps; }
  const PixelFormat& Format() const { return desc_.format; }
  std::uint8_t* Bits() { return memory_.data(); }
  const std::uint8_t* Bits() const { return memory_.data(); }
  bool IsZBuffer() const { return (desc_.caps & kCapsZBuffer) != 0; }
  std::uint32_t PixelAt(int x, int y) const;  // 0 outside
  void SetPixel(int x, int y, std::uint32_t value);
  float DepthAt(int x, int y) const;           // Z-buffers
  // Fills without the checks of a blit (the device's own clears).
  void FillDepth(const Rect& area, float depth);
  void FillColor(const Rect& area, std::uint32_t value);
  // Decoded texels (textures); rebuilt when the pixels changed.
  const TexelCache& Texels();
  void Touch() { texels_.valid = false; }

  Display* GetDisplay() const { return display_; }
  void DetachFromDisplay() { display_ = nullptr; }
  // Exchanges the pixels of two surfaces of the same size (flipping).
  void SwapMemory(Surface& other);

 private:
  friend class Display;
  void NotifyPresent(const Rect& area);

  Display* display_;
  SurfaceDesc desc_;
  VideoMemoryLease lease_;
  std::vector<std::uint8_t> memory_;
  bool locked_ = false;
  bool dcTaken_ = false;
  bool lost_ = false;
  bool hasKey_ = false;
  ColorKey key_;
  std::vector<std::shared_ptr<Surface>> attached_;
  std::shared_ptr<Clipper> clipper_;
  std::weak_ptr<Texture> texture_;
  DrawContext dc_;
  TexelCache texels_;
};

}  // namespace platform::video
