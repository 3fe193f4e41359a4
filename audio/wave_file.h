#pragma once
// The game's WAV files: plain RIFF PCM with the sample data right after the
// format chunk, or the same scrambled (first byte 'r').
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// The 18-byte wave format the sound buffers keep.
struct WaveFormat {
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSecond = 0;
  std::uint32_t averageBytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraBytes = 0;
};

inline constexpr int kWaveOk = 0;
inline constexpr int kWaveCannotOpen = 1;
inline constexpr int kWaveUnreadable = 2;

// Reads a WAV through the archive layer. Besides the shape the game writes,
// the format chunk's size, the channel count (1 or 2), the sample width (8 or
// 16 bits) and the data size (never past the end of the file) are checked.
int ReadWaveFile(std::string_view path, WaveFormat& format, std::vector<std::uint8_t>& data);

// Undoes the scrambling of one block in place; returns its length.
std::size_t UnscrambleBytes(std::span<std::uint8_t> block);
// The inverse, for making scrambled files.
std::size_t ScrambleBytes(std::span<std::uint8_t> block);
