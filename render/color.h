#pragma once
// A colour stored as the bytes blue, green, red, alpha, which read as one
// little-endian word are 0xAARRGGBB.
#include <cstdint>

struct CColor {
  std::uint8_t b = 0, g = 0, r = 0, a = 0;

  constexpr CColor() = default;
  // Alpha 64, as the engine's callers expect of a plain colour.
  constexpr CColor(int red, int green, int blue)
      : b(static_cast<std::uint8_t>(blue)), g(static_cast<std::uint8_t>(green)), r(static_cast<std::uint8_t>(red)), a(64) {}
  static constexpr CColor FromRGBA(int red, int green, int blue, int alpha) {
    CColor c(red, green, blue);
    c.a = static_cast<std::uint8_t>(alpha);
    return c;
  }
  static constexpr CColor FromValue(std::uint32_t argb) {
    return FromRGBA(static_cast<int>((argb >> 16) & 255), static_cast<int>((argb >> 8) & 255),
                    static_cast<int>(argb & 255), static_cast<int>(argb >> 24));
  }
  constexpr std::uint32_t Value() const {
    return static_cast<std::uint32_t>(a) << 24 | static_cast<std::uint32_t>(r) << 16 |
           static_cast<std::uint32_t>(g) << 8 | b;
  }
  friend constexpr bool operator==(const CColor&, const CColor&) = default;
};
static_assert(sizeof(CColor) == 4);
