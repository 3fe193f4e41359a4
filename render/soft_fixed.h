#pragma once
// Integer conversions and fixed-point steps of the software rasteriser.
// Conversions saturate (and take NaN as 0), and fixed-point sums wrap like
// the 32-bit registers they model, so no input makes the arithmetic undefined.
#include <cmath>
#include <cstdint>

namespace soft {

// Truncation toward zero.
inline std::int32_t ToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

inline std::int32_t RoundInt(double v) { return ToInt(std::nearbyint(v)); }

// a + b x n, wrapping at 32 bits.
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b, std::int64_t n = 1) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) +
                                   static_cast<std::uint32_t>(b) * static_cast<std::uint32_t>(n));
}

// u and v hold texels times 256; the column runs on into the next row and
// the whole index wraps at 65,536 texels.
inline unsigned TexelIndex(std::int32_t u, std::int32_t v) {
  return static_cast<unsigned>((((v >> 8) & 0xFF) << 8) + (u >> 8)) & 0xFFFFu;
}

// The shade (0..31) of an accumulator, held to the table's ends.
inline int ShadeIndex(std::int32_t accumulator) {
  if (accumulator < 0) return 0;
  const int s = accumulator >> 11;
  return s > 31 ? 31 : s;
}

}  // namespace soft
