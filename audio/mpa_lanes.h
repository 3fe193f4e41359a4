#pragma once
// Four floats worked on together: SSE2 registers where the build has them
// (the x86-64 baseline), plain arrays elsewhere. The decoder runs one transform
// over four subbands at once with it.
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mpa {

#if defined(__SSE2__)
struct F4 {
  __m128 v;
  static F4 Zero() { return {_mm_setzero_ps()}; }
  static F4 Load(const float* p) { return {_mm_loadu_ps(p)}; }
  static F4 Set(float a, float b, float c, float d) { return {_mm_setr_ps(a, b, c, d)}; }
  void Store(float* p) const { _mm_storeu_ps(p, v); }
};
inline F4 operator+(F4 a, F4 b) { return {_mm_add_ps(a.v, b.v)}; }
inline F4 operator-(F4 a, F4 b) { return {_mm_sub_ps(a.v, b.v)}; }
inline F4 operator-(F4 a) { return {_mm_xor_ps(a.v, _mm_set1_ps(-0.0f))}; }
inline F4 operator*(F4 a, F4 b) { return {_mm_mul_ps(a.v, b.v)}; }
inline F4 operator*(F4 a, float b) { return {_mm_mul_ps(a.v, _mm_set1_ps(b))}; }
inline F4 Reverse(F4 a) { return {_mm_shuffle_ps(a.v, a.v, _MM_SHUFFLE(0, 1, 2, 3))}; }

// rows[r][0..n) into n vectors whose lane r is rows[r][j].
inline void Transpose4(const float* const rows[4], F4* out, int n) {
  int j = 0;
  for (; j + 4 <= n; j += 4) {
    __m128 a = _mm_loadu_ps(rows[0] + j), b = _mm_loadu_ps(rows[1] + j);
    __m128 c = _mm_loadu_ps(rows[2] + j), d = _mm_loadu_ps(rows[3] + j);
    _MM_TRANSPOSE4_PS(a, b, c, d);
    out[j] = {a};
    out[j + 1] = {b};
    out[j + 2] = {c};
    out[j + 3] = {d};
  }
  for (; j < n; ++j) out[j] = F4::Set(rows[0][j], rows[1][j], rows[2][j], rows[3][j]);
}
#else
struct F4 {
  float v[4];
  static F4 Zero() { return {{0.0f, 0.0f, 0.0f, 0.0f}}; }
  static F4 Load(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
  static F4 Set(float a, float b, float c, float d) { return {{a, b, c, d}}; }
  void Store(float* p) const {
    for (int i = 0; i < 4; ++i) p[i] = v[i];
  }
};
inline F4 operator+(F4 a, F4 b) { return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}}; }
inline F4 operator-(F4 a, F4 b) { return {{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2], a.v[3] - b.v[3]}}; }
inline F4 operator-(F4 a) { return {{-a.v[0], -a.v[1], -a.v[2], -a.v[3]}}; }
inline F4 operator*(F4 a, F4 b) { return {{a.v[0] * b.v[0], a.v[1] * b.v[1], a.v[2] * b.v[2], a.v[3] * b.v[3]}}; }
inline F4 operator*(F4 a, float b) { return {{a.v[0] * b, a.v[1] * b, a.v[2] * b, a.v[3] * b}}; }
inline F4 Reverse(F4 a) { return {{a.v[3], a.v[2], a.v[1], a.v[0]}}; }

inline void Transpose4(const float* const rows[4], F4* out, int n) {
  for (int j = 0; j < n; ++j) out[j] = F4::Set(rows[0][j], rows[1][j], rows[2][j], rows[3][j]);
}
#endif

}  // namespace mpa
