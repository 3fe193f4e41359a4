#pragma once
// A minimal PNG reader for the pictures the writer makes and the reference
// pictures kept beside the tests: 8-bit RGB or RGBA, no interlacing.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // R, G, B bytes, rows top first
};

// False (image left empty) for anything but a whole, checked 8-bit RGB or RGBA file.
bool DecodePng(std::span<const std::uint8_t> file, PngImage& image);
bool ReadPng(const std::string& nativePath, PngImage& image);
