#include "platform/video/types.h"

#include <algorithm>

namespace platform::video {

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.Empty()) return Rect{};
  return r;
}

PixelFormat Format565() { return {16, true, 0xF800, 0x07E0, 0x001F, 0}; }
PixelFormat Format555() { return {16, true, 0x7C00, 0x03E0, 0x001F, 0}; }
PixelFormat Format4444() { return {16, true, 0x0F00, 0x00F0, 0x000F, 0xF000}; }
PixelFormat Format1555() { return {16, true, 0x7C00, 0x03E0, 0x001F, 0x8000}; }
PixelFormat FormatX8888() { return {32, true, 0x00FF0000, 0x0000FF00, 0x000000FF, 0}; }
PixelFormat FormatA8888() { return {32, true, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}; }

std::uint32_t PackColor(const PixelFormat& f, std::uint32_t argb) {
  const std::uint32_t masks[4] = {f.alphaMask, f.redMask, f.greenMask, f.blueMask};
  std::uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    if (!masks[c]) continue;
    const int bits = MaskBits(masks[c]);
    const std::uint32_t v = (argb >> (24 - 8 * c)) & 255u;
    const std::uint32_t scaled = bits >= 8 ? v << (bits - 8) : v >> (8 - bits);
    out |= (scaled << MaskShift(masks[c])) & masks[c];
  }
  return out;
}

int MaskShift(std::uint32_t mask) {
  if (mask == 0) return 32;
  int s = 0;
  while (!(mask & 1u)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

int MaskBits(std::uint32_t mask) {
  if (mask == 0) return 0;
  while (!(mask & 1u)) mask >>= 1;
  int n = 0;
  while (mask & 1u) {
    mask >>= 1;
    ++n;
  }
  return n;
}

}  // namespace platform::video
