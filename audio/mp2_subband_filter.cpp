#include "audio/mp2_subband_filter.h"

#include <cmath>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "audio/mp2_tables.h"

namespace {

// The matrixing cos((2k + 1)(16 - i) pi / 64) over i = 0..63 repeats itself: column i
// equals column 32 - i (i <= 32), column 48 + m is minus column 48 - m, and column 48
// is zero. So 64 partial sums fold into 32 (see Fold) against these 32 columns,
// stored column by column. Each coefficient is rounded to 9 decimals, as encoders
// matching the reference output round them.
struct Matrix {
  alignas(16) double m[32][32];  // [column][k]
  Matrix() {
    for (int c = 0; c < 32; ++c) {
      const int i = c <= 16 ? c : c + 16;  // columns 0..16 and 33..47
      for (int k = 0; k < 32; ++k) {
        const double v = std::cos((2 * k + 1) * (16 - i) * std::numbers::pi / 64.0);
        m[c][k] = std::round(v * 1e9) * 1e-9;
      }
    }
  }
};

const Matrix kMatrix;

// The folded partial sums: y[i] + y[32 - i] (i < 16), y[16], y[i] - y[96 - i] (33 <= i <= 47).
void Fold(const double* y, double* z) {
  z[0] = y[0] + y[32];
  for (int i = 1; i < 16; ++i) z[i] = y[i] + y[32 - i];
  z[16] = y[16];
  for (int i = 33; i < 48; ++i) z[i - 16] = y[i] - y[96 - i];
}

}  // namespace

void Mp2SubbandFilter::Reset() {
  history_.fill(0.0);
  offset_ = 0;
}

void Mp2SubbandFilter::Analyse(const double* in, double* out) {
  // X[n] = history_[offset_ + n], n < 512, X[0] the newest sample: every sample is
  // kept twice, 512 apart, so the window reads one unbroken run.
  offset_ = (offset_ - 32u) & 511u;
  for (unsigned j = 0; j < 32; ++j) {
    const unsigned at = (offset_ + 31u - j) & 511u;
    history_[at] = in[j];
    history_[at + 512u] = in[j];
  }
  const double* x = history_.data() + offset_;
  const double* c = mp2::kAnalysisWindow;
  alignas(16) double y[64];
  alignas(16) double z[32];
#if defined(__SSE2__)
#pragma GCC unroll 4
  for (int i = 0; i < 64; i += 2) {
    __m128d sum = _mm_setzero_pd();
#pragma GCC unroll 8
    for (int j = 0; j < 8; ++j) {
      sum = _mm_add_pd(sum, _mm_mul_pd(_mm_loadu_pd(c + i + 64 * j), _mm_loadu_pd(x + i + 64 * j)));
    }
    _mm_store_pd(y + i, sum);
  }
  Fold(y, z);
  for (int k = 0; k < 32; k += 8) {
    __m128d acc[4] = {_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
#pragma GCC unroll 4
    for (int col = 0; col < 32; ++col) {
      const __m128d v = _mm_set1_pd(z[col]);
      const double* m = kMatrix.m[col] + k;
#pragma GCC unroll 4
      for (int q = 0; q < 4; ++q) acc[q] = _mm_add_pd(acc[q], _mm_mul_pd(_mm_load_pd(m + 2 * q), v));
    }
#pragma GCC unroll 4
    for (int q = 0; q < 4; ++q) _mm_storeu_pd(out + k + 2 * q, acc[q]);
  }
#else
  for (int i = 0; i < 64; ++i) {
    double sum = 0.0;
    for (int j = 0; j < 8; ++j) sum += c[i + 64 * j] * x[i + 64 * j];
    y[i] = sum;
  }
  Fold(y, z);
  for (int k = 0; k < 32; ++k) {
    double s = 0.0;
    for (int col = 0; col < 32; ++col) s += kMatrix.m[col][k] * z[col];
    out[k] = s;
  }
#endif
}
