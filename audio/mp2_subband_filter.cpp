#include "audio/mp2_subband_filter.h"

#include <cmath>
#include <numbers>

#include "audio/mp2_tables.h"

namespace {

// Matrixing coefficients, rounded to 9 decimals as encoders matching the
// reference output round them.
struct Matrix {
  double m[32][64];
  Matrix() {
    for (int k = 0; k < 32; ++k) {
      for (int i = 0; i < 64; ++i) {
        const double c = std::cos((2 * k + 1) * (16 - i) * std::numbers::pi / 64.0);
        m[k][i] = std::round(c * 1e9) * 1e-9;
      }
    }
  }
};

const Matrix& TheMatrix() {
  static const Matrix matrix;
  return matrix;
}

}  // namespace

void Mp2SubbandFilter::Reset() {
  history_.fill(0.0);
  offset_ = 0;
}

void Mp2SubbandFilter::Analyse(const double* in, double* out) {
  // X[i] is history_[(offset_ + i) & 511]; X[0] the newest sample.
  offset_ = (offset_ - 32u) & 511u;
  for (unsigned j = 0; j < 32; ++j) history_[(offset_ + 31u - j) & 511u] = in[j];
  double y[64];
  for (unsigned i = 0; i < 64; ++i) {
    double sum = 0.0;
    for (unsigned j = 0; j < 8; ++j) {
      const unsigned n = i + 64u * j;
      sum += mp2::kAnalysisWindow[n] * history_[(offset_ + n) & 511u];
    }
    y[i] = sum;
  }
  const Matrix& matrix = TheMatrix();
  for (int k = 0; k < 32; ++k) {
    double s = 0.0;
    for (int i = 0; i < 64; ++i) s += matrix.m[k][i] * y[i];
    out[k] = s;
  }
}
