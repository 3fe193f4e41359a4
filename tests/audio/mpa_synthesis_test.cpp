// The decoder's fast transforms against their definitions, and the synthesis's two
// window widths against each other.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "audio/mpa_layer3.h"
#include "audio/mpa_synthesis.h"

namespace {

std::vector<float> RandomValues(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  std::vector<float> out(n);
  for (float& v : out) v = value(rng);
  return out;
}

TEST(MpaTransformTest, CosineTransformMatchesItsDefinition) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    const std::vector<float> in = RandomValues(32, seed);
    float out[32];
    mpa::CosineTransform32(in.data(), out);
    for (int m = 0; m < 32; ++m) {
      double expected = 0.0;
      for (int k = 0; k < 32; ++k) expected += in[k] * std::cos((2 * k + 1) * m * std::numbers::pi / 64.0);
      EXPECT_NEAR(out[m], expected, 2e-5) << "seed " << seed << " output " << m;
    }
  }
}

TEST(MpaTransformTest, InverseMdctsMatchTheirDefinition) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    for (const int n : {36, 12}) {
      const std::vector<float> in = RandomValues(static_cast<std::size_t>(n / 2), seed);
      float out[36];
      if (n == 36) {
        mpa::Imdct36(in.data(), out);
      } else {
        mpa::Imdct12(in.data(), out);
      }
      for (int i = 0; i < n; ++i) {
        double expected = 0.0;
        for (int k = 0; k < n / 2; ++k) {
          expected += in[static_cast<std::size_t>(k)] *
                      std::cos(std::numbers::pi / (2.0 * n) * (2 * i + 1 + n / 2.0) * (2 * k + 1));
        }
        EXPECT_NEAR(out[i], expected, 1e-5) << n << "-point, seed " << seed << " output " << i;
      }
    }
  }
}

// Where the processor has eight lanes the window uses them; the samples must be
// the very ones the four-lane baseline gives.
TEST(MpaSynthesisTest, BothWindowWidthsGiveTheSameSamples) {
  const bool wide = mpa::MpaSynthesis::SetWideWindow(true);
  if (!wide) GTEST_SKIP() << "this processor has no eight-lane path";
  const std::vector<float> subbands = RandomValues(32 * 200, 7);
  std::vector<std::int16_t> a(32 * 200), b(32 * 200);
  for (bool on : {true, false}) {
    mpa::MpaSynthesis::SetWideWindow(on);
    mpa::MpaSynthesis synthesis;
    std::vector<std::int16_t>& out = on ? a : b;
    for (int t = 0; t < 200; ++t) {
      std::vector<float> scaled(32);
      for (int k = 0; k < 32; ++k) scaled[static_cast<std::size_t>(k)] = 0.3f * subbands[static_cast<std::size_t>(32 * t + k)];
      synthesis.Synthesize(scaled.data(), out.data() + 32 * t, 1);
    }
  }
  mpa::MpaSynthesis::SetWideWindow(true);
  EXPECT_EQ(a, b);
  int nonzero = 0;
  for (std::int16_t s : a) nonzero += s != 0;
  EXPECT_GT(nonzero, 3000);
}

}  // namespace
