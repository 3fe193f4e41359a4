// The mesh editor's TGA loader, from arbitrary bytes, and what the device
// does with an image it accepted: fit it, convert it, build its levels.
#include <cstddef>
#include <cstdint>
#include <span>

#include "meshedit/core/mtf_file.h"
#include "meshedit/core/tga_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto file = pavix::MtfFromBytes(std::span(data, size));
  pavix::CTgaImage image;
  if (!image.Read(file.get())) {
    if (image.GetDataSize() != 0 || image.GetWidth() != 0) __builtin_trap();
    return 0;
  }
  const std::size_t expected = static_cast<std::size_t>(image.GetWidth()) * image.GetHeight() * (image.GetBitsPerPixel() / 8);
  if (image.GetDataSize() != expected) __builtin_trap();
  if (expected == 0) return 0;  // another depth, or no pixels: loaded empty
  const bool alpha = size > 0 && (data[size - 1] & 1);
  pavix::CTgaImage bump = image;
  bump.Resize(16, 16);
  bump.ConvertToBump(0x00FF, 0xFF00, 0);
  image.Resize(8, 8);
  if (alpha) image.ConvertTo16(0x0F00, 0x00F0, 0x000F, 0xF000);
  else image.ConvertTo32(0xFF0000, 0xFF00, 0xFF, 0xFF000000);
  for (int i = 0; i < 4; ++i) image.Shrink(2);
  if (image.GetWidth() != 0 || image.GetDataSize() != 0) __builtin_trap();
  return 0;
}
