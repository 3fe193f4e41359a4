#include "tools/render_png/png_reader.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxSide = 16384;

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

}  // namespace

bool DecodePng(std::span<const std::uint8_t> file, PngImage& image) {
  image = PngImage{};
  if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return false;
  std::uint32_t width = 0, height = 0;
  int channels = 0;
  std::vector<std::uint8_t> packed;
  bool ended = false;
  for (std::size_t at = 8; at + 12 <= file.size() && !ended;) {
    const std::uint32_t length = U32(&file[at]);
    if (length > file.size() - at - 12) return false;
    const std::uint8_t* type = &file[at + 4];
    const std::uint8_t* data = type + 4;
    if (crc32(crc32(0L, nullptr, 0), type, length + 4) != U32(data + length)) return false;
    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (length != 13) return false;
      width = U32(data);
      height = U32(data + 4);
      if (data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[10] != 0 || data[11] != 0 || data[12] != 0)
        return false;
      channels = data[9] == 2 ? 3 : 4;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      packed.insert(packed.end(), data, data + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      ended = true;
    }
    at += 12 + length;
  }
  if (!ended || !channels || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
  const std::size_t stride = static_cast<std::size_t>(width) * channels;
  std::vector<std::uint8_t> raw((stride + 1) * height);
  uLongf size = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || size != raw.size())
    return false;
  std::vector<std::uint8_t> prior(stride, 0), row(stride);
  image.rgb.reserve(static_cast<std::size_t>(width) * height * 3);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = &raw[y * (stride + 1)];
    const int filter = in[0];
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= static_cast<std::size_t>(channels) ? row[i - channels] : 0;
      const int b = prior[i];
      const int c = i >= static_cast<std::size_t>(channels) ? prior[i - channels] : 0;
      int v = in[1 + i];
      switch (filter) {
        case 0: break;
        case 1: v += a; break;
        case 2: v += b; break;
        case 3: v += (a + b) / 2; break;
        case 4: v += Paeth(a, b, c); break;
        default: image = PngImage{}; return false;
      }
      row[i] = static_cast<std::uint8_t>(v);
    }
    for (std::uint32_t x = 0; x < width; ++x)
      image.rgb.insert(image.rgb.end(), &row[x * channels], &row[x * channels] + 3);
    prior.swap(row);
  }
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  return true;
}

bool ReadPng(const std::string& nativePath, PngImage& image) {
  image = PngImage{};
  std::FILE* f = std::fopen(nativePath.c_str(), "rb");
  if (!f) return false;
  std::vector<std::uint8_t> bytes;
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  return DecodePng(bytes, image);
}
