#include "tools/render_png/png_reader.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::uint32_t GetU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

bool Unfilter(const std::vector<std::uint8_t>& raw, RgbImage& image) {
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  if (raw.size() != (stride + 1) * static_cast<std::size_t>(image.height)) return false;
  image.rgb.assign(stride * static_cast<std::size_t>(image.height), 0);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t filter = raw[static_cast<std::size_t>(y) * (stride + 1)];
    const std::uint8_t* in = &raw[static_cast<std::size_t>(y) * (stride + 1) + 1];
    std::uint8_t* out = &image.rgb[static_cast<std::size_t>(y) * stride];
    const std::uint8_t* up = y > 0 ? out - stride : nullptr;
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= 3 ? out[i - 3] : 0, b = up ? up[i] : 0, c = (up && i >= 3) ? up[i - 3] : 0;
      int v = in[i];
      switch (filter) {
        case 0: break;
        case 1: v += a; break;
        case 2: v += b; break;
        case 3: v += (a + b) / 2; break;
        case 4: v += Paeth(a, b, c); break;
        default: return false;
      }
      out[i] = static_cast<std::uint8_t>(v);
    }
  }
  return true;
}

}  // namespace

bool DecodePng(const std::vector<std::uint8_t>& png, RgbImage& image) {
  image = RgbImage{};
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 8 || std::memcmp(png.data(), kSignature, 8) != 0) return false;
  std::vector<std::uint8_t> packed;
  int width = 0, height = 0;
  for (std::size_t pos = 8; pos + 12 <= png.size();) {
    const std::uint32_t length = GetU32(&png[pos]);
    if (length > png.size() - pos - 12) return false;
    const char* type = reinterpret_cast<const char*>(&png[pos + 4]);
    const std::uint8_t* data = &png[pos + 8];
    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (length < 13) return false;
      // 8-bit RGB, deflate, standard filters, no interlacing.
      if (data[8] != 8 || data[9] != 2 || data[10] != 0 || data[11] != 0 || data[12] != 0) return false;
      width = static_cast<int>(GetU32(data));
      height = static_cast<int>(GetU32(data + 4));
      if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      packed.insert(packed.end(), data, data + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    pos += 12 + length;
  }
  if (width == 0 || packed.empty()) return false;
  std::vector<std::uint8_t> raw((static_cast<std::size_t>(width) * 3 + 1) * static_cast<std::size_t>(height));
  uLongf size = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || size != raw.size())
    return false;
  image.width = width;
  image.height = height;
  if (!Unfilter(raw, image)) {
    image = RgbImage{};
    return false;
  }
  return true;
}

bool ReadPng(const std::string& nativePath, RgbImage& image) {
  std::FILE* f = std::fopen(nativePath.c_str(), "rb");
  if (!f) return false;
  std::vector<std::uint8_t> bytes;
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  return DecodePng(bytes, image);
}
