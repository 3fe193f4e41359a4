#pragma once
// Reads back 8-bit RGB PNG files without interlacing, as the picture tool
// writes them (reference pictures of the drawing tests).
#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // R, G, B bytes, rows top first
};

// False, with the image empty, for a file that is not such a PNG or is damaged.
bool DecodePng(const std::vector<std::uint8_t>& png, RgbImage& image);
bool ReadPng(const std::string& nativePath, RgbImage& image);
