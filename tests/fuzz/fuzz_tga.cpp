// TGA pictures from arbitrary bytes, then every conversion on what loads.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "render/tga_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/fuzz_tga_" + std::to_string(getpid()) + ".tga";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  CTgaImage image;
  if (image.Load(path.c_str())) {
    const int w = image.GetWidth(), h = image.GetHeight();
    if (w <= 0 || h <= 0) __builtin_trap();
    if (image.GetDataSize() != static_cast<std::size_t>(w) * h * (image.GetBitsPerPixel() / 8)) __builtin_trap();
    (void)image.GetPixel(-1, 0);
    (void)image.GetPixel(w, h);
    (void)image.GetPixel(w - 1, h - 1);
    CTgaImage copy = image;
    copy.ConvertTo444();
    image.FlipRows();
    image.AddAlpha();
    image.ConvertTo16(0xF800, 0x07E0, 0x001F, size > 20 ? 0 : 0x8000);
    image.FlipRows();
  }
  return 0;
}
