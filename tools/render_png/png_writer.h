#pragma once
// A minimal PNG writer: 8-bit RGB, no interlacing; and its reader, for the
// reference pictures tests compare drawings with.
#include <cstdint>
#include <string>
#include <vector>

// The PNG file of width x height pixels given as R, G, B bytes, rows top first.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);
// Writes it; false (with errno) when the file could not be written.
bool WritePng(const std::string& nativePath, int width, int height, const std::vector<std::uint8_t>& rgb);
// Reads a PNG of the form EncodePng writes (8-bit RGB, no interlacing; any
// row filter). False for any other file.
bool DecodePng(const std::vector<std::uint8_t>& png, int& width, int& height, std::vector<std::uint8_t>& rgb);
