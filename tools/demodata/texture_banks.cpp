#include "tools/demodata/texture_banks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/demodata/demo_output.h"
#include "quest/tile_palette.h"

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

Rgb Paint(const std::string& name, int x, int y);

// The ground colours of the outdoor kinds: 1 sand, 2 grass, 3 water, 4
// woods; painted once and shared by every transition tile.
Rgb Ground(int kind, int x, int y) {
  static const std::vector<std::vector<Rgb>> grounds = [] {
    std::vector<std::vector<Rgb>> g;
    for (const char* name : {"grass", "sand", "grass", "water", "woods"}) {
      std::vector<Rgb> texels(static_cast<std::size_t>(kSize * kSize));
      for (int ty = 0; ty < kSize; ++ty)
        for (int tx = 0; tx < kSize; ++tx) texels[static_cast<std::size_t>(ty * kSize + tx)] = Paint(name, tx, ty);
      g.push_back(std::move(texels));
    }
    return g;
  }();
  const std::size_t k = kind >= 1 && kind <= 4 ? static_cast<std::size_t>(kind) : 2u;
  return grounds[k][static_cast<std::size_t>(y * kSize + x)];
}

// A transition tile: its own ground, with the other ground of its rule
// reaching in from each side or corner where the rule wants it. A texel's u
// runs north (the row above) and its v east, as the demo floors are mapped.
Rgb PaintTransition(const TileRule& rule, int x, int y) {
  const float north = 2.0f * x / (kSize - 1) - 1.0f, east = 2.0f * y / (kSize - 1) - 1.0f;
  const float wobble = 0.07f * std::sin(north * 9.0f + east * 4.0f) + 0.03f * std::sin(north * 23.0f - east * 17.0f);
  int kind = rule.mask[4];
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      const int other = rule.mask[r * 3 + c];
      if ((r == 1 && c == 1) || other < 1 || other > 4 || other == rule.mask[4]) continue;
      const float dn = 1.0f - r, de = c - 1.0f;  // the neighbour's direction
      bool reached;
      if (dn != 0.0f && de != 0.0f) {
        const float a = north - dn, b = east - de;
        reached = std::sqrt(a * a + b * b) < 0.55f + wobble;
      } else {
        reached = (dn != 0.0f ? north * dn : east * de) > 0.5f + wobble;
      }
      if (reached) kind = other;
    }
  }
  return Ground(kind, x, y);
}

Rgb Paint(const std::string& name, int x, int y) {
  const float n = Turbulence(x, y, static_cast<int>(name.size()) * 7 + name[0]);
  if (name == "sand") return Mix({170, 145, 95}, {215, 190, 135}, n);
  if (name == "water") {
    const float ripple = 0.5f + 0.5f * std::sin(x * 0.12f + 6.0f * n);
    return Mix({25, 60, 120}, {60, 110, 170}, 0.6f * n + 0.4f * ripple);
  }
  if (name == "woods") return Mix({20, 50, 20}, {70, 100, 40}, n * n * 1.4f + 0.2f * ((Hash(x, y, 9) & 15) == 0));
  if (name == "housefloor") {
    // Planks along u with dark seams.
    const bool seam = y % 32 < 2 || (x + (y / 32) * 97) % 128 < 2;
    return seam ? Rgb{60, 40, 25} : Mix({120, 85, 50}, {160, 115, 70}, n);
  }
  if (name == "housewall") return Mix({200, 190, 160}, {235, 225, 200}, n);
  if (name == "decowall") {
    const bool band = y % 64 < 12;
    return band ? Mix({120, 40, 40}, {170, 70, 60}, n) : Mix({200, 190, 160}, {235, 225, 200}, n);
  }
  if (name == "counter") return Mix({90, 55, 30}, {130, 85, 45}, n);
  if (name == "foliage") return Mix({15, 70, 15}, {60, 140, 40}, n);
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
  static const std::vector<DemoBank> banks = [] {
    std::vector<DemoBank> v = {
        {1, "grass"},  {2, "road"},   {3, "hedge"},      {4, "stone"},     {5, "flagstone"},
        {6, "rubble"}, {7, "wall"},   {8, "pillar"},     {9, "sand"},      {10, "water"},
        {11, "woods"}, {12, "housefloor"}, {13, "housewall"}, {14, "decowall"}, {15, "counter"},
        {16, "foliage"},
    };
    int number = kFirstTransitionBank;
    for (const TileRule& rule : OutdoorTiles().rules) {
      if (IsGroundTransition(rule)) v.push_back({number++, rule.name});
    }
    return v;
  }();
  return banks;
}

bool IsGroundTransition(const TileRule& rule) {
  const int centre = rule.mask[4];
  if (centre < 1 || centre > 4) return false;
  for (int i = 0; i < 9; ++i) {
    if (i != 4 && rule.mask[i] >= 1 && rule.mask[i] <= 4 && rule.mask[i] != centre) return true;
  }
  return false;
}

const TileRule* TransitionRule(std::string_view name) {
  for (const TileRule& rule : OutdoorTiles().rules) {
    if (name == rule.name) return IsGroundTransition(rule) ? &rule : nullptr;
  }
  return nullptr;
}

int BankNumber(std::string_view name) {
  for (const DemoBank& bank : DemoBanks()) {
    if (bank.name == name) return bank.number;
  }
  return -1;
}

std::string DemoBankPath(const DemoBank& bank) {
  char name[96];
  std::snprintf(name, sizeof name, "DATA\\bankdatabase\\brimvault\\k%04d_%s.tga", bank.number, bank.name.c_str());
  return name;
}

std::vector<std::uint8_t> SquareTgaHeader(int size) {
  std::vector<std::uint8_t> out(18, 0);
  out[2] = 2;  // uncompressed true colour
  out[12] = out[14] = static_cast<std::uint8_t>(size & 255);
  out[13] = out[15] = static_cast<std::uint8_t>(size >> 8);
  out[16] = 24;
  out.reserve(18 + static_cast<std::size_t>(size) * size * 3);
  return out;
}

std::vector<std::uint8_t> DemoBankImage(const DemoBank& bank) {
  std::vector<std::uint8_t> out = SquareTgaHeader(kSize);
  const TileRule* transition = TransitionRule(bank.name);
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; ++x) {
      const Rgb c = transition ? PaintTransition(*transition, x, y) : Paint(bank.name, x, y);
      // Pure black is the transparent key colour: keep every texel visible.
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.b, 1, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.g, 1, 255)));
      out.push_back(static_cast<std::uint8_t>(std::clamp(c.r, 1, 255)));
    }
  }
  return out;
}

void AddTextureBanks(DemoOutput& out) {
  for (const DemoBank& bank : DemoBanks()) {
    // Painted noise barely packs: the many transition pictures are stored.
    const MtfStorage storage = bank.number >= kFirstTransitionBank ? MtfStorage::kStored : MtfStorage::kAuto;
    out.DataArchive().Add(DemoBankPath(bank), DemoBankImage(bank), storage);
  }
}
