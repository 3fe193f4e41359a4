#include "audio/mpa_synthesis.h"

#include <cmath>
#include <numbers>

#include "audio/mpa_tables.h"

namespace mpa {
namespace {

struct Matrix {
  float n[64][32];
  Matrix() {
    for (int i = 0; i < 64; ++i) {
      for (int k = 0; k < 32; ++k) {
        n[i][k] = static_cast<float>(std::cos((16 + i) * (2 * k + 1) * std::numbers::pi / 64.0));
      }
    }
  }
};

const Matrix& Cosines() {
  static const Matrix matrix;
  return matrix;
}

float Dot(const float* row, const float* s, int count) {
  float sum = 0.0f;
  for (int k = 0; k < count; ++k) sum += row[k] * s[k];
  return sum;
}

std::int16_t Clip(float value) {
  const long v = std::lrint(value * 32768.0f);
  if (v > 32767) return 32767;
  if (v < -32768) return -32768;
  return static_cast<std::int16_t>(v);
}

}  // namespace

void MpaSynthesis::Reset() {
  v_.fill(0.0f);
  offset_ = 0;
}

void MpaSynthesis::Synthesize(const float subbands[32], std::int16_t* out, int stride) {
  const Matrix& m = Cosines();
  const int used = 32 >> shift_;
  const int step = 1 << shift_;
  float s[32];
  for (int k = 0; k < used; ++k) s[k] = gains_ ? subbands[k] * gains_[k] : subbands[k];

  offset_ = (offset_ + 15) & 15;
  float* v = &v_[static_cast<std::size_t>(offset_) * 64];
  if (shift_ == 0) {
    // V[32 - i] = -V[i] and V[48 + j] = V[48 - j]: half the rows give the rest.
    for (int i = 0; i < 16; ++i) v[i] = Dot(m.n[i], s, 32);
    v[16] = 0.0f;
    for (int i = 17; i < 32; ++i) v[i] = -v[32 - i];
    for (int i = 32; i <= 48; ++i) v[i] = Dot(m.n[i], s, 32);
    for (int i = 49; i < 64; ++i) v[i] = v[96 - i];
  } else {
    for (int j = 0; j < 32; j += step) {
      v[j] = Dot(m.n[j], s, used);
      v[32 + j] = Dot(m.n[32 + j], s, used);
    }
  }

  const float* d = kSynthesisWindow;
  for (int j = 0, o = 0; j < 32; j += step, ++o) {
    float sum = 0.0f;
    for (int i = 0; i < 8; ++i) {
      const float* even = &v_[static_cast<std::size_t>((offset_ + 2 * i) & 15) * 64];
      const float* odd = &v_[static_cast<std::size_t>((offset_ + 2 * i + 1) & 15) * 64];
      sum += d[64 * i + j] * even[j] + d[64 * i + 32 + j] * odd[32 + j];
    }
    out[o * stride] = Clip(sum);
  }
}

}  // namespace mpa
