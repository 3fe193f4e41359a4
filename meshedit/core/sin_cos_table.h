#pragma once
// Per-frame trigonometry goes through one 4096-step table (about 0.09 degree
// per step); the library's sine and cosine only fill it.
#include <array>

namespace pavix {

inline constexpr int kSinCosSteps = 4096;

// 4096 sines of i * 2 pi / 4096 followed by the 4096 cosines.
const std::array<float, 2 * kSinCosSteps>& SinCosTable();

// Table index of an angle in radians: nearest step, wrapped into 0..4095.
// A non-finite angle gives index 0.
int SinCosIndex(float angle);
float TableSin(float angle);
float TableCos(float angle);

}  // namespace pavix
