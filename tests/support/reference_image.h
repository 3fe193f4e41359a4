#pragma once
// Reference pictures that drawing tests compare with: read from the PNG
// fixtures and compared within a tolerance that the two builds' rounding
// (and the fonts' anti-aliasing) may leave.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/render_png/png_writer.h"

namespace testsupport {

struct RgbImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
};

inline bool ReadPng(const std::string& path, RgbImage& image) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodePng(bytes, image.width, image.height, image.rgb);
}

// Pixels with a channel further than `tolerance` from the reference.
inline int Outliers(const std::vector<std::uint8_t>& rgb, const RgbImage& reference, int tolerance) {
  int outliers = 0;
  for (std::size_t i = 0; i + 2 < rgb.size() && i + 2 < reference.rgb.size(); i += 3) {
    for (int k = 0; k < 3; ++k) {
      if (std::abs(int(rgb[i + k]) - int(reference.rgb[i + k])) > tolerance) {
        ++outliers;
        break;
      }
    }
  }
  return outliers;
}

}  // namespace testsupport
