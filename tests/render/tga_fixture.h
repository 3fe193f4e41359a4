#pragma once
// Small TGA files for the display and texture tests, and a way to have
// ImageMagick make or decode them when it is installed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace rendertest {

// An uncompressed true-colour TGA: pixels given top row first as B, G, R(, A)
// bytes, stored bottom row first as the format's default origin says.
inline std::vector<std::uint8_t> MakeTga(int width, int height, int bits, const std::vector<std::uint8_t>& topDown) {
  std::vector<std::uint8_t> out(18, 0);
  out[2] = 2;
  out[12] = static_cast<std::uint8_t>(width & 255);
  out[13] = static_cast<std::uint8_t>((width >> 8) & 255);
  out[14] = static_cast<std::uint8_t>(height & 255);
  out[15] = static_cast<std::uint8_t>((height >> 8) & 255);
  out[16] = static_cast<std::uint8_t>(bits);
  const std::size_t row = static_cast<std::size_t>(width) * (bits / 8);
  for (int y = height - 1; y >= 0; --y)
    for (std::size_t i = 0; i < row; ++i) {
      const std::size_t at = static_cast<std::size_t>(y) * row + i;
      out.push_back(at < topDown.size() ? topDown[at] : 0);
    }
  return out;
}

// A solid image of one B, G, R(, A) pixel.
inline std::vector<std::uint8_t> SolidTga(int width, int height, int bits, std::vector<std::uint8_t> pixel) {
  std::vector<std::uint8_t> top;
  for (int i = 0; i < width * height; ++i) top.insert(top.end(), pixel.begin(), pixel.end());
  return MakeTga(width, height, bits, top);
}

inline int Run(const std::string& command) { return std::system(command.c_str()); }

// ImageMagick's reading of a file: the pixels top row first as R, G, B, A.
inline std::vector<std::uint8_t> MagickPixels(const std::string& path, int* width, int* height) {
  std::vector<std::uint8_t> out;
  const std::string cmd = "convert '" + path + "' -depth 8 rgba:- 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  std::uint8_t buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
  pclose(p);
  const std::string idCmd = "identify -format '%w %h' '" + path + "' 2>/dev/null";
  FILE* q = popen(idCmd.c_str(), "r");
  if (q) {
    if (std::fscanf(q, "%d %d", width, height) != 2) *width = *height = 0;
    pclose(q);
  }
  return out;
}

}  // namespace rendertest
