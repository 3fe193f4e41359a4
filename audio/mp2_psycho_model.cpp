#include "audio/mp2_psycho_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/mp2_tables.h"

namespace {

constexpr int kLines = Mp2PsychoModel::kFftSize / 2;
constexpr int kTableEntries = 130;
constexpr double kMinusInfinityDb = -200.0;
constexpr double kPowerOffsetDb = 90.309;

// 10^(db / 10), through exp, which is the quicker of the two.
double DbToPower(double db) { return std::exp(db * (std::numbers::ln10 / 10.0)); }

// Half-width of the neighbourhood a tonal component must stand 7 dB above.
int TonalRange(int line) {
  if (line < 63) return 2;
  if (line < 127) return 3;
  if (line < 255) return 6;
  return 12;
}

double MaskingIndex(const double bark, bool tonal) {
  return tonal ? -(0.275 * bark + 6.025) : -(0.175 * bark + 2.025);
}

// Spread of a masker of level x over dz Bark (maskee minus masker), -3 <= dz < 8.
double MaskingFunction(double dz, double x) {
  if (dz < -1.0) return 17.0 * (dz + 1.0) - (0.4 * x + 6.0);
  if (dz < 0.0) return (0.4 * x + 6.0) * dz;
  if (dz < 1.0) return -17.0 * dz;
  return -(dz - 1.0) * (17.0 - 0.15 * x) - 17.0;
}

}  // namespace

void Mp2PsychoModel::Reset() {
  ring_.fill(0.0);
  writeOffset_ = 0;
  tablesBuilt_ = false;
  window_.clear();
  cosTable_.clear();
  sinTable_.clear();
  bitReverse_.clear();
  components_.clear();
}

void Mp2PsychoModel::BuildTables() {
  window_.resize(kFftSize);
  const double gain = std::sqrt(8.0 / 3.0);
  for (int i = 0; i < kFftSize; ++i) {
    window_[static_cast<std::size_t>(i)] =
        gain * 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * i / kFftSize)) / kFftSize;
  }
  cosTable_.resize(kFftSize / 2);
  sinTable_.resize(kFftSize / 2);
  for (int i = 0; i < kFftSize / 2; ++i) {
    cosTable_[static_cast<std::size_t>(i)] = std::cos(2.0 * std::numbers::pi * i / kFftSize);
    sinTable_[static_cast<std::size_t>(i)] = -std::sin(2.0 * std::numbers::pi * i / kFftSize);
  }
  bitReverse_.resize(kFftSize / 2);
  for (unsigned i = 0; i < kFftSize / 2; ++i) {
    unsigned r = 0;
    for (unsigned b = 1, v = i; b < kFftSize / 2; b <<= 1, v >>= 1) r = (r << 1) | (v & 1u);
    bitReverse_[i] = r;
  }
  // Each spectral line belongs to the last table entry at or below it.
  int entry = 0;
  for (int line = 0; line < kLines; ++line) {
    while (entry + 1 < kTableEntries && mp2::kPsyLines[entry + 1].fftLine <= line) ++entry;
    lineIndex_[static_cast<std::size_t>(line)] = entry;
  }
  tablesBuilt_ = true;
}

// The 1024 real samples go through a 512-point complex FFT as even and odd
// samples, E + iO, and are split again: X[k] = E[k] + e^(-2 pi i k / 1024) O[k].
void Mp2PsychoModel::PowerSpectrum(const double* input) {
  constexpr unsigned kHalf = kFftSize / 2;
  std::array<double, kHalf> re;
  std::array<double, kHalf> im;
  for (unsigned n = 0; n < kHalf; ++n) {
    const unsigned j = bitReverse_[n];
    re[j] = input[2 * n] * window_[2 * n];
    im[j] = input[2 * n + 1] * window_[2 * n + 1];
  }
  for (unsigned half = 1; half < kHalf; half <<= 1) {
    const unsigned stride = kFftSize / (2 * half);
    for (unsigned start = 0; start < kHalf; start += 2 * half) {
      for (unsigned k = 0; k < half; ++k) {
        const double wr = cosTable_[k * stride];
        const double wi = sinTable_[k * stride];
        const unsigned a = start + k;
        const unsigned b = a + half;
        const double tr = re[b] * wr - im[b] * wi;
        const double ti = re[b] * wi + im[b] * wr;
        re[b] = re[a] - tr;
        im[b] = im[a] - ti;
        re[a] += tr;
        im[a] += ti;
      }
    }
  }
  const double offset = DbToPower(kPowerOffsetDb);
  for (unsigned k = 0; k < kHalf; ++k) {
    const unsigned m = (kHalf - k) & (kHalf - 1);
    const double er = 0.5 * (re[k] + re[m]), ei = 0.5 * (im[k] - im[m]);
    const double orr = 0.5 * (im[k] + im[m]), oi = -0.5 * (re[k] - re[m]);
    const double wr = cosTable_[k], wi = sinTable_[k];
    const double xr = er + wr * orr - wi * oi;
    const double xi = ei + wr * oi + wi * orr;
    const double energy = std::max(xr * xr + xi * xi, 1e-20);
    powerDb_[k] = 10.0 * std::log10(energy) + kPowerOffsetDb;
    power_[k] = energy * offset;
  }
}

void Mp2PsychoModel::FindComponents() {
  components_.clear();
  // The lines' powers, those near a tonal component taken out (-200 dB).
  std::array<double, kLines> rest = power_;
  const double removed = DbToPower(kMinusInfinityDb);
  const auto& x = powerDb_;
  for (int k = 2; k < 500; ++k) {
    const auto u = static_cast<std::size_t>(k);
    if (!(x[u] > x[u - 1] && x[u] >= x[u + 1])) continue;
    const int range = TonalRange(k);
    bool tonal = true;
    for (int j = 2; j <= range && tonal; ++j) {
      tonal = x[u] - x[u - static_cast<std::size_t>(j)] >= 7.0 && x[u] - x[u + static_cast<std::size_t>(j)] >= 7.0;
    }
    if (!tonal) continue;
    const double level = 10.0 * std::log10(power_[u - 1] + power_[u] + power_[u + 1]);
    components_.push_back({k, level, true});
    for (int j = -range; j <= range; ++j) rest[static_cast<std::size_t>(k + j)] = removed;
  }
  // One non-tonal component per critical band: the power left in the band,
  // placed at the line nearest the band's geometric mean.
  for (int band = 0; band + 1 < 27; ++band) {
    const int lo = band == 0 ? mp2::kCriticalBandLines[0] : mp2::kCriticalBandLines[band] + 1;
    const int hi = mp2::kCriticalBandLines[band + 1];
    double sum = 0.0;
    for (int k = lo; k <= hi; ++k) sum += rest[static_cast<std::size_t>(k)];
    const int centre = static_cast<int>(std::lround(std::sqrt(static_cast<double>(lo) * hi)));
    components_.push_back({std::clamp(centre, lo, hi), 10.0 * std::log10(std::max(sum, 1e-20)), false});
  }
  std::stable_sort(components_.begin(), components_.end(),
                   [](const Component& a, const Component& b) { return a.line < b.line; });
}

void Mp2PsychoModel::Decimate() {
  const auto quiet = [&](const Component& c) {
    return mp2::kPsyLines[lineIndex_[static_cast<std::size_t>(c.line)]].quietDb;
  };
  std::erase_if(components_, [&](const Component& c) { return c.levelDb < quiet(c); });
  // Of two tonal components closer than half a Bark only the stronger stays.
  int last = -1;
  for (int i = 0; i < static_cast<int>(components_.size()); ++i) {
    Component& c = components_[static_cast<std::size_t>(i)];
    if (!c.tonal) continue;
    if (last >= 0) {
      Component& p = components_[static_cast<std::size_t>(last)];
      const double dz = mp2::kPsyLines[lineIndex_[static_cast<std::size_t>(c.line)]].bark -
                        mp2::kPsyLines[lineIndex_[static_cast<std::size_t>(p.line)]].bark;
      if (dz < 0.5) {
        if (p.levelDb < c.levelDb) {
          p.levelDb = kMinusInfinityDb * 10;  // marked, removed below
          last = i;
        } else {
          c.levelDb = kMinusInfinityDb * 10;
        }
        continue;
      }
    }
    last = i;
  }
  std::erase_if(components_, [](const Component& c) { return c.levelDb <= kMinusInfinityDb * 10; });
}

double Mp2PsychoModel::GlobalThresholdAt(int index) const {
  const mp2::PsyLine& at = mp2::kPsyLines[index];
  double sum = DbToPower(at.quietDb);
  for (const Component& c : components_) {
    const double bark = mp2::kPsyLines[lineIndex_[static_cast<std::size_t>(c.line)]].bark;
    const double dz = at.bark - bark;
    if (dz < -3.0 || dz >= 8.0) continue;
    sum += DbToPower(c.levelDb + MaskingIndex(bark, c.tonal) + MaskingFunction(dz, c.levelDb));
  }
  return 10.0 * std::log10(sum);
}

void Mp2PsychoModel::Compute(std::span<const std::int16_t, kFrameSamples> samples,
                             std::span<const double, 32> largestScaleFactor, std::span<double, 32> smr) {
  if (!tablesBuilt_) BuildTables();
  for (int i = 0; i < kFrameSamples; ++i) {
    ring_[static_cast<std::size_t>((writeOffset_ + i) % kRingSamples)] = samples[static_cast<std::size_t>(i)] / 32768.0;
  }
  std::array<double, kFftSize> input;
  const int start = writeOffset_ + 1216;
  for (int i = 0; i < kFftSize; ++i) input[static_cast<std::size_t>(i)] = ring_[static_cast<std::size_t>((start + i) % kRingSamples)];
  writeOffset_ = (writeOffset_ + kFrameSamples) % kRingSamples;

  PowerSpectrum(input.data());
  FindComponents();
  Decimate();

  std::array<double, 32> minimum;
  minimum.fill(1e300);
  for (int i = 0; i < kTableEntries; ++i) {
    const int subband = mp2::kPsyLines[i].fftLine / 16;
    if (subband >= 32) continue;
    const auto s = static_cast<std::size_t>(subband);
    minimum[s] = std::min(minimum[s], GlobalThresholdAt(i));
  }
  for (int n = 0; n < 32; ++n) {
    const auto u = static_cast<std::size_t>(n);
    double power = 1e-20;
    for (int k = 16 * n; k < 16 * n + 16; ++k) power += power_[static_cast<std::size_t>(k)];
    double level = 10.0 * std::log10(power);
    level = std::max(level, 20.0 * std::log10(largestScaleFactor[u] * 32768.0) - 10.0);
    // Subbands above the table's last line carry no bits at this rate; give them no masking.
    const double threshold = minimum[u] < 1e299 ? minimum[u] : mp2::kPsyLines[kTableEntries - 1].quietDb;
    smr[u] = level - threshold;
    levelDb_[u] = level;
  }
}
