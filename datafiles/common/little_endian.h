#pragma once
// Little-endian numbers in byte buffers, as every stored format of the game
// keeps them. Both programs share these, so each format's readers and writers
// say what they read and write rather than how its bytes are put together.
#include <bit>
#include <cstdint>
#include <vector>

inline std::uint16_t LoadLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

inline std::uint32_t LoadLe32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline float LoadLeF32(const std::uint8_t* p) { return std::bit_cast<float>(LoadLe32(p)); }

inline void StoreLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t v) {
  StoreLe16(p, static_cast<std::uint16_t>(v));
  StoreLe16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

inline void AppendLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
  out.insert(out.end(), b, b + 2);
}

inline void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t b[4];
  StoreLe32(b, v);
  out.insert(out.end(), b, b + 4);
}

inline void AppendLeF32(std::vector<std::uint8_t>& out, float v) { AppendLe32(out, std::bit_cast<std::uint32_t>(v)); }
