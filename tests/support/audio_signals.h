#pragma once
// Test signals for the voice encoder and a fair measure of how well a decoded
// stream matches them: 16-bit mono PCM at 44.1 kHz.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <string>
#include <vector>

namespace testsupport {

// A sine sweep from f0 to f1 Hz (exponential), at the given peak.
inline std::vector<std::int16_t> SineSweep(double seconds, double f0, double f1, double peak = 16000.0) {
  const auto n = static_cast<std::size_t>(seconds * 44100.0);
  std::vector<std::int16_t> out(n);
  const double k = std::log(f1 / f0) / seconds;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / 44100.0;
    const double phase = 2.0 * std::numbers::pi * f0 * (std::exp(k * t) - 1.0) / k;
    out[i] = static_cast<std::int16_t>(std::lround(peak * std::sin(phase)));
  }
  return out;
}

// Something like a voice: a gliding pitch with a few formant-shaped
// harmonics, syllable-rate loudness changes and a little breath noise.
inline std::vector<std::int16_t> SpeechLike(double seconds) {
  const auto n = static_cast<std::size_t>(seconds * 44100.0);
  std::vector<std::int16_t> out(n);
  double phase = 0.0;
  std::uint32_t noise = 12345u;
  const double formants[3] = {700.0, 1200.0, 2600.0};
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / 44100.0;
    const double pitch = 130.0 + 30.0 * std::sin(2.0 * std::numbers::pi * 0.7 * t);
    phase += 2.0 * std::numbers::pi * pitch / 44100.0;
    double v = 0.0;
    for (int h = 1; h <= 30; ++h) {
      const double f = pitch * h;
      double weight = 0.0;
      for (double formant : formants) weight += 1.0 / (1.0 + std::pow((f - formant) / 150.0, 2.0));
      v += weight * std::sin(h * phase) / std::sqrt(static_cast<double>(h));
    }
    noise = noise * 1664525u + 1013904223u;
    v += 0.02 * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0);
    const double envelope = 0.55 + 0.45 * std::sin(2.0 * std::numbers::pi * 4.0 * t);
    out[i] = static_cast<std::int16_t>(std::clamp(std::lround(5000.0 * envelope * v), -32768l, 32767l));
  }
  return out;
}

// Noise the shape of a fricative: white noise through a gentle high-pass, its
// loudness wandering at syllable rate between a hiss and a rush.
inline std::vector<std::int16_t> NoiseLike(double seconds) {
  const auto n = static_cast<std::size_t>(seconds * 44100.0);
  std::vector<std::int16_t> out(n);
  std::uint32_t state = 987654321u;
  double previous = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / 44100.0;
    state = state * 1664525u + 1013904223u;
    const double white = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    const double bright = white - 0.6 * previous;
    previous = white;
    const double envelope = 0.2 + 0.8 * std::pow(0.5 + 0.5 * std::sin(2.0 * std::numbers::pi * 3.0 * t), 2.0);
    out[i] = static_cast<std::int16_t>(std::clamp(std::lround(9000.0 * envelope * bright), -32768l, 32767l));
  }
  return out;
}

// Sharp attacks over near silence: decaying clicks and knocks, 5 a second, each a
// burst of a low and a high resonance, like plosives or a door knock.
inline std::vector<std::int16_t> Transients(double seconds) {
  const auto n = static_cast<std::size_t>(seconds * 44100.0);
  std::vector<std::int16_t> out(n);
  std::uint32_t state = 24680u;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / 44100.0;
    const double since = std::fmod(t, 0.2);
    const int which = static_cast<int>(t / 0.2) % 3;
    state = state * 1664525u + 1013904223u;
    const double white = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    const double low = std::sin(2.0 * std::numbers::pi * (180.0 + 60.0 * which) * since);
    const double high = std::sin(2.0 * std::numbers::pi * 3100.0 * since);
    const double v = std::exp(-since * 60.0) * (0.6 * low + 0.3 * high) + std::exp(-since * 400.0) * 0.5 * white +
                     0.002 * white;
    out[i] = static_cast<std::int16_t>(std::clamp(std::lround(20000.0 * v), -32768l, 32767l));
  }
  return out;
}

// A canonical 44-byte header and the samples.
inline std::string WavBytes(std::span<const std::int16_t> samples) {
  std::string out;
  const auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i))); };
  const auto put16 = [&](std::uint16_t v) { out.push_back(static_cast<char>(v)); out.push_back(static_cast<char>(v >> 8)); };
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  out += "RIFF";
  put32(36 + dataBytes);
  out += "WAVEfmt ";
  put32(16);
  put16(1);
  put16(1);
  put32(44100);
  put32(88200);
  put16(2);
  put16(16);
  out += "data";
  put32(dataBytes);
  for (std::int16_t s : samples) put16(static_cast<std::uint16_t>(s));
  return out;
}

// Signal-to-noise ratio in dB of `decoded` against `original`, at the
// decoder delay (0..maxDelay samples) that matches best.
inline double AlignedSnrDb(std::span<const std::int16_t> original, std::span<const std::int16_t> decoded,
                           int maxDelay = 2000, int* delayOut = nullptr) {
  double best = -1e9;
  for (int d = 0; d <= maxDelay && static_cast<std::size_t>(d) < decoded.size(); ++d) {
    const std::size_t n = std::min(original.size(), decoded.size() - static_cast<std::size_t>(d));
    double signal = 0.0;
    double error = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      const double x = original[i];
      const double e = decoded[i + static_cast<std::size_t>(d)] - x;
      signal += x * x;
      error += e * e;
    }
    const double snr = error > 0.0 ? 10.0 * std::log10(signal / error) : 200.0;
    if (snr > best) {
      best = snr;
      if (delayOut) *delayOut = d;
    }
  }
  return best;
}

}  // namespace testsupport
