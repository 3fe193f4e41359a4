#include "meshedit/core/sin_cos_table.h"

#include <cmath>
#include <numbers>

namespace pavix {

const std::array<float, 2 * kSinCosSteps>& SinCosTable() {
  static const std::array<float, 2 * kSinCosSteps> table = [] {
    std::array<float, 2 * kSinCosSteps> t{};
    for (int i = 0; i < kSinCosSteps; ++i) {
      const double a = i * 2.0 * std::numbers::pi / kSinCosSteps;
      t[i] = static_cast<float>(std::sin(a));
      t[i + kSinCosSteps] = static_cast<float>(std::cos(a));
    }
    return t;
  }();
  return table;
}

int SinCosIndex(float angle) {
  if (!std::isfinite(angle)) return 0;
  float steps = std::nearbyint(angle * 651.8986f);
  // Large angles are reduced first so the integer conversion cannot overflow.
  if (std::fabs(steps) >= 1e9f) steps = std::fmod(steps, static_cast<float>(kSinCosSteps));
  return static_cast<int>(static_cast<long long>(steps) & (kSinCosSteps - 1));
}

float TableSin(float angle) { return SinCosTable()[SinCosIndex(angle)]; }
float TableCos(float angle) { return SinCosTable()[SinCosIndex(angle) + kSinCosSteps]; }

}  // namespace pavix
