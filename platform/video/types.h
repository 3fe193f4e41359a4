#pragma once
// Plain records shared by the display and 3D device: rectangles, pixel
// formats, surface descriptions and their capability bits.
#include <cstdint>

namespace platform::video {

// Left and top inclusive, right and bottom exclusive.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

Rect Intersect(const Rect& a, const Rect& b);

struct PixelFormat {
  int bitsPerPixel = 0;
  bool rgb = true;
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
  // A bump-map format: the red and green masks hold du and dv, the blue mask luminance.
  bool bumpDuDv = false;
  friend bool operator==(const PixelFormat&, const PixelFormat&) = default;
};

PixelFormat Format565();
PixelFormat Format555();
PixelFormat Format4444();
PixelFormat Format1555();
PixelFormat FormatX8888();
PixelFormat FormatA8888();

// A colour 0xAARRGGBB in a format's pixel bits (each channel's top bits).
std::uint32_t PackColor(const PixelFormat& format, std::uint32_t argb);

// Index of the lowest set bit (32 for 0) and the run of set bits from there.
int MaskShift(std::uint32_t mask);
int MaskBits(std::uint32_t mask);

// Surface capability bits.
enum SurfaceCaps : std::uint32_t {
  kCapsPrimary = 0x1,
  kCapsOffscreen = 0x2,
  kCapsVideoMemory = 0x4,
  kCapsSystemMemory = 0x8,
  kCaps3DDevice = 0x10,
  kCapsZBuffer = 0x20,
  kCapsTexture = 0x40,
  kCapsFlip = 0x80,
  kCapsComplex = 0x100,
  kCapsNonLocalVideoMemory = 0x200,
  kCapsAllocOnLoad = 0x400,
  kCapsBackBuffer = 0x800,
  kCapsMipMap = 0x1000,
};

// Which fields of a SurfaceDesc are meaningful.
enum SurfaceDescFlags : std::uint32_t {
  kDescCaps = 0x1,
  kDescWidth = 0x2,
  kDescHeight = 0x4,
  kDescPitch = 0x8,
  kDescPixelFormat = 0x10,
  kDescBackBufferCount = 0x20,
  kDescZBufferBits = 0x40,
  kDescRefreshRate = 0x80,
  kDescMipMapCount = 0x100,
};

struct SurfaceDesc {
  std::uint32_t flags = 0;
  std::uint32_t caps = 0;
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes
  PixelFormat format;
  int backBufferCount = 0;
  int zBufferBits = 0;
  int refreshRate = 0;
  // Levels of a mip-mapped texture (kDescMipMapCount); without it a complex
  // mip-mapped texture gets every level down to one texel.
  int mipMapCount = 0;
};

}  // namespace platform::video
