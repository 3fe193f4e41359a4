#include "tools/demodata/texture_banks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/demodata/demo_output.h"

namespace {

constexpr int kSize = 256;

struct Rgb {
  int r, g, b;
};

// Repeatable value noise in 0..1, tiling every 256 texels.
std::uint32_t Hash(int x, int y, int seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x & 255) * 73856093u ^ static_cast<std::uint32_t>(y & 255) * 19349663u ^
                    static_cast<std::uint32_t>(seed) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

float Noise(int x, int y, int cell, int seed) {
  const int x0 = x / cell, y0 = y / cell, n = kSize / cell;
  const float fx = static_cast<float>(x % cell) / cell, fy = static_cast<float>(y % cell) / cell;
  auto at = [&](int cx, int cy) { return static_cast<float>(Hash((cx % n) * cell, (cy % n) * cell, seed) & 0xFFFF) / 65535.0f; };
  const float a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
  const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

float Turbulence(int x, int y, int seed) {
  return 0.5f * Noise(x, y, 32, seed) + 0.3f * Noise(x, y, 16, seed + 1) + 0.2f * Noise(x, y, 4, seed + 2);
}

Rgb Mix(Rgb a, Rgb b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
          static_cast<int>(a.b + (b.b - a.b) * t)};
}

Rgb Paint(const std::string& name, int x, int y) {
  const float n = Turbulence(x, y, static_cast<int>(name.size()) * 7 + name[0]);
  if (name == "grass") return Mix({40, 90, 30}, {110, 160, 60}, n);
  if (name == "road") return Mix({110, 95, 70}, {170, 150, 120}, n + 0.2f * ((Hash(x, y, 5) & 7) == 0));
  if (name == "hedge") return Mix({20, 55, 20}, {60, 120, 40}, n * n * 1.6f);
  if (name == "stone") return Mix({90, 90, 95}, {170, 168, 160}, n);
  if (name == "flagstone" || name == "wall") {
    // Slabs or bricks with dark joints, every other row shifted.
    const int h = name == "wall" ? 32 : 64, w = 64;
    const int row = y / h;
    const int xx = (x + (row & 1) * (w / 2)) % w, yy = y % h;
    const bool joint = xx < 3 || yy < 3;
    const Rgb base = name == "wall" ? Rgb{150, 80, 60} : Rgb{130, 125, 115};
    const Rgb light = name == "wall" ? Rgb{190, 110, 85} : Rgb{175, 170, 160};
    return joint ? Rgb{45, 40, 35} : Mix(base, light, n);
  }
  if (name == "rubble") return Mix({70, 60, 50}, {150, 135, 115}, Noise(x, y, 8, 3) * 0.7f + n * 0.3f);
  // pillar: light marble veins
  const float vein = std::fabs(std::sin((x + 40.0f * n) * 0.08f));
  return Mix({200, 195, 185}, {120, 115, 110}, 1.0f - vein);
}

}  // namespace

const std::vector<DemoBank>& DemoBanks() {
  static const std::vector<DemoBank> banks = {
      {1, "grass"}, {2, "road"}, {3, "hedge"}, {4, "stone"}, {5, "flagstone"}, {6, "rubble"}, {7, "wall"}, {8, "pillar"},
  };
  return banks;
}

std::string DemoBankPath(const DemoBank& bank) {
  char name[96];
  std::snprintf(name, sizeof name, "DATA\\bankdatabase\\brimvault\\k%04d_%s.tga", bank.number, bank.name.c_str());
  return name;
}

std::vector<std::uint8_t> DemoBankImage(const DemoBank& bank) {
  std::vector<std::uint8_t> out(18, 0);
  out[2] = 2;  // uncompressed true colour
  out[12] = kSize & 255;
  out[13] = kSize >> 8;
  out[14] = kSize & 255;
  out[15] = kSize >> 8;
  out[16] = 24;
  out.reserve(18 + kSize * kSize * 3);
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; ++x) {
      const Rgb c = Paint(bank.name, x, y);
      // Pure black is the transparent key colour: keep every texel visible.
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.b, 1, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.g, 1, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.r, 1, 255)));
    }
  }
  return out;
}

void AddTextureBanks(DemoOutput& out) {
  for (const DemoBank& bank : DemoBanks()) out.DataArchive().Add(DemoBankPath(bank), DemoBankImage(bank), MtfStorage::kAuto);
}
