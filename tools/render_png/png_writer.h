#pragma once
// A minimal PNG writer: 8-bit RGB, no interlacing.
#include <cstdint>
#include <string>
#include <vector>

// The PNG file of width x height pixels given as R, G, B bytes, rows top first.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);
// Writes it; false (with errno) when the file could not be written.
bool WritePng(const std::string& nativePath, int width, int height, const std::vector<std::uint8_t>& rgb);
