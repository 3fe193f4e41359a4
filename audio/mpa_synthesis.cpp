#include "audio/mpa_synthesis.h"

#include <cmath>
#include <cstring>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#if defined(__x86_64__) && defined(__GNUC__)
// Eight lanes where the processor has them, chosen when the program runs.
#define MPA_WIDE_WINDOW 1
#include <immintrin.h>
#endif
#endif

#include "audio/mpa_tables.h"

namespace mpa {
namespace {

// 1 / (2 cos((2n + 1) pi / 2N)) for the odd halves of the transform, N = 32, 16, 8, 4, 2.
struct OddFactors {
  alignas(16) float f32[16];
  alignas(16) float f16[8];
  alignas(16) float f8[4];
  float f4[2], f2[1];
  OddFactors() {
    Fill(f32, 32);
    Fill(f16, 16);
    Fill(f8, 8);
    Fill(f4, 4);
    Fill(f2, 2);
  }
  static void Fill(float* f, int n) {
    for (int i = 0; i < n / 2; ++i) f[i] = static_cast<float>(0.5 / std::cos((2 * i + 1) * std::numbers::pi / (2.0 * n)));
  }
  template <int N>
  const float* For() const {
    if constexpr (N == 32) return f32;
    if constexpr (N == 16) return f16;
    if constexpr (N == 8) return f8;
    if constexpr (N == 4) return f4;
    return f2;
  }
};

const OddFactors kOdd;

#if defined(__SSE2__)

// The same operations as the halving transform below, in the same order, four
// lanes at a time, so both give the same bits.
inline __m128 Reverse(__m128 x) { return _mm_shuffle_ps(x, x, _MM_SHUFFLE(0, 1, 2, 3)); }
// [a1, a2, a3, b0]
inline __m128 Next(__m128 a, __m128 b) {
  const __m128 t = _mm_move_ss(a, b);
  return _mm_shuffle_ps(t, t, _MM_SHUFFLE(0, 3, 2, 1));
}
// [a1, a2, a3, 0]
inline __m128 NextZero(__m128 a) { return _mm_castsi128_ps(_mm_srli_si128(_mm_castps_si128(a), 4)); }

// One halving step over a block of 2n vectors: n vectors of sums, n of scaled differences.
template <int Vectors>
inline void Halve(const __m128* in, __m128* sum, __m128* diff, const float* f) {
  constexpr int H = Vectors / 2;
#pragma GCC unroll 4
  for (int i = 0; i < H; ++i) {
    const __m128 a = in[i];
    const __m128 b = Reverse(in[Vectors - 1 - i]);
    sum[i] = _mm_add_ps(a, b);
    diff[i] = _mm_mul_ps(_mm_sub_ps(a, b), _mm_load_ps(f + 4 * i));
  }
}

// Out of the half-size results E and O: E0, O0 + O1, E1, O1 + O2, ..., E(n-1), O(n-1).
template <int Vectors>
inline void Merge(const __m128* even, const __m128* odd, __m128* out) {
#pragma GCC unroll 4
  for (int i = 0; i < Vectors; ++i) {
    const __m128 next = i + 1 < Vectors ? Next(odd[i], odd[i + 1]) : NextZero(odd[i]);
    const __m128 o = _mm_add_ps(odd[i], next);
    out[2 * i] = _mm_unpacklo_ps(even[i], o);
    out[2 * i + 1] = _mm_unpackhi_ps(even[i], o);
  }
}

// Four-point transforms of four blocks held one block per vector.
inline void Transform4(__m128* x) {
  __m128 c0 = x[0], c1 = x[1], c2 = x[2], c3 = x[3];
  _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
  const __m128 f40 = _mm_set1_ps(kOdd.f4[0]), f41 = _mm_set1_ps(kOdd.f4[1]), f2 = _mm_set1_ps(kOdd.f2[0]);
  const __m128 s0 = _mm_add_ps(c0, c3), s1 = _mm_add_ps(c1, c2);
  const __m128 d0 = _mm_mul_ps(_mm_sub_ps(c0, c3), f40), d1 = _mm_mul_ps(_mm_sub_ps(c1, c2), f41);
  const __m128 e1 = _mm_mul_ps(_mm_sub_ps(s0, s1), f2), o1 = _mm_mul_ps(_mm_sub_ps(d0, d1), f2);
  c0 = _mm_add_ps(s0, s1);
  c1 = _mm_add_ps(_mm_add_ps(d0, d1), o1);
  c2 = e1;
  c3 = o1;
  _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
  x[0] = c0;
  x[1] = c1;
  x[2] = c2;
  x[3] = c3;
}

// x: 8 vectors in, the 32 outputs out.
[[gnu::always_inline]] inline void Transform32(__m128* x) {
  __m128 a[8], b[8], c[8];
  Halve<8>(x, a, a + 4, kOdd.f32);               // 32 -> 16 + 16
  Halve<4>(a, b, b + 2, kOdd.f16);               // each 16 -> 8 + 8
  Halve<4>(a + 4, b + 4, b + 6, kOdd.f16);
#pragma GCC unroll 4
  for (int k = 0; k < 4; ++k) Halve<2>(b + 2 * k, c + 2 * k, c + 2 * k + 1, kOdd.f8);  // each 8 -> 4 + 4
  Transform4(c);
  Transform4(c + 4);
#pragma GCC unroll 4
  for (int k = 0; k < 4; ++k) Merge<1>(c + 2 * k, c + 2 * k + 1, b + 2 * k);  // blocks of 8
  Merge<2>(b, b + 2, a);                         // blocks of 16
  Merge<2>(b + 4, b + 6, a + 4);
  Merge<4>(a, a + 4, x);                         // 32
}


// Window: output j sums D[64i + j] V(2i)[j] + D[64i + 32 + j] V(2i + 1)[32 + j] over
// the eight pairs of vectors, V(n) the n-th newest; then rounded to nearest and
// saturated to 16 bits (NaN becomes the lowest value). Both widths add in the same
// order, so they give the same samples.
void WindowSse2(const float (*v)[64], int offset, std::int16_t* pcm) {
  const float* d = kSynthesisWindow;
  __m128 acc[8];
#pragma GCC unroll 8
  for (__m128& a : acc) a = _mm_setzero_ps();
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) {
    const float* even = v[(offset + 2 * i) & 15];
    const float* odd = v[(offset + 2 * i + 1) & 15] + 32;
    const float* de = d + 64 * i;
    const float* dodd = de + 32;
#pragma GCC unroll 8
    for (int q = 0; q < 8; ++q) {
      const __m128 a = _mm_mul_ps(_mm_load_ps(de + 4 * q), _mm_load_ps(even + 4 * q));
      const __m128 b = _mm_mul_ps(_mm_load_ps(dodd + 4 * q), _mm_load_ps(odd + 4 * q));
      acc[q] = _mm_add_ps(acc[q], _mm_add_ps(a, b));
    }
  }
  const __m128 scale = _mm_set1_ps(32768.0f);
  const __m128 lo = _mm_set1_ps(-32768.0f);
  const __m128 hi = _mm_set1_ps(32767.0f);
  for (int q = 0; q < 8; q += 2) {
    const __m128 a = _mm_min_ps(_mm_max_ps(_mm_mul_ps(acc[q], scale), lo), hi);
    const __m128 b = _mm_min_ps(_mm_max_ps(_mm_mul_ps(acc[q + 1], scale), lo), hi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm + 4 * q), _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
  }
}

#if defined(MPA_WIDE_WINDOW)
[[gnu::target("avx")]] void WindowWide(const float (*v)[64], int offset, std::int16_t* pcm) {
  const float* d = kSynthesisWindow;
  __m256 acc[4];
#pragma GCC unroll 4
  for (__m256& a : acc) a = _mm256_setzero_ps();
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) {
    const float* even = v[(offset + 2 * i) & 15];
    const float* odd = v[(offset + 2 * i + 1) & 15] + 32;
    const float* de = d + 64 * i;
    const float* dodd = de + 32;
#pragma GCC unroll 4
    for (int q = 0; q < 4; ++q) {
      const __m256 a = _mm256_mul_ps(_mm256_loadu_ps(de + 8 * q), _mm256_loadu_ps(even + 8 * q));
      const __m256 b = _mm256_mul_ps(_mm256_loadu_ps(dodd + 8 * q), _mm256_loadu_ps(odd + 8 * q));
      acc[q] = _mm256_add_ps(acc[q], _mm256_add_ps(a, b));
    }
  }
  const __m256 scale = _mm256_set1_ps(32768.0f);
  const __m256 lo = _mm256_set1_ps(-32768.0f);
  const __m256 hi = _mm256_set1_ps(32767.0f);
  for (int q = 0; q < 4; ++q) {
    const __m256i r = _mm256_cvtps_epi32(_mm256_min_ps(_mm256_max_ps(_mm256_mul_ps(acc[q], scale), lo), hi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm + 8 * q),
                     _mm_packs_epi32(_mm256_castsi256_si128(r), _mm256_extractf128_si256(r, 1)));
  }
}

bool wide_window = __builtin_cpu_supports("avx");
bool WideWindow() { return wide_window; }
#else
void WindowWide(const float (*v)[64], int offset, std::int16_t* pcm) { WindowSse2(v, offset, pcm); }
bool WideWindow() { return false; }
#endif

#endif

// out[m] = sum over n of in[n] cos((2n + 1) m pi / 2N), m < N, by halving: the even
// outputs are the half-size transform of in[n] + in[N-1-n], the odd ones the sums of
// neighbouring outputs of the half-size transform of (in[n] - in[N-1-n]) / 2cos((2n+1)pi/2N).
template <int N>
inline void CosineTransform(const float* in, float* out) {
  if constexpr (N == 1) {
    out[0] = in[0];
  } else {
    constexpr int H = N / 2;
    const float* f = kOdd.For<N>();
    float sum[H], diff[H], even[H], odd[H];
    for (int n = 0; n < H; ++n) {
      sum[n] = in[n] + in[N - 1 - n];
      diff[n] = (in[n] - in[N - 1 - n]) * f[n];
    }
    CosineTransform<H>(sum, even);
    CosineTransform<H>(diff, odd);
    for (int k = 0; k < H - 1; ++k) {
      out[2 * k] = even[k];
      out[2 * k + 1] = odd[k] + odd[k + 1];
    }
    out[N - 2] = even[H - 1];
    out[N - 1] = odd[H - 1];
  }
}

}  // namespace

void CosineTransform32(const float in[32], float out[32]) {
#if defined(__SSE2__)
  __m128 x[8];
  for (int i = 0; i < 8; ++i) x[i] = _mm_loadu_ps(in + 4 * i);
  Transform32(x);
  for (int i = 0; i < 8; ++i) _mm_storeu_ps(out + 4 * i, x[i]);
#else
  CosineTransform<32>(in, out);
#endif
}

bool MpaSynthesis::SetWideWindow(bool on) {
#if defined(MPA_WIDE_WINDOW)
  wide_window = on && __builtin_cpu_supports("avx");
  return wide_window;
#else
  (void)on;
  return false;
#endif
}

void MpaSynthesis::Reset() {
  std::memset(v_, 0, sizeof(v_));
  offset_ = 0;
}

void MpaSynthesis::Filter(const float subbands[32], std::int16_t pcm[32]) {
  // The 64 values of the new vector are the 32-point transform X, folded:
  // V[i] = X[i + 16] (i < 16), 0 (i = 16), -X[48 - i] (i < 32), -X[|16 - (i - 32)|] (i >= 32).
  offset_ = (offset_ + 15) & 15;
  float* v = v_[offset_];
#if defined(__SSE2__)
  __m128 x[8];
  const int used = 32 >> shift_;
  if (gains_) {
    for (int k = 0; k < 8; ++k) x[k] = _mm_mul_ps(_mm_loadu_ps(subbands + 4 * k), _mm_loadu_ps(gains_ + 4 * k));
  } else {
    for (int k = 0; k < 8; ++k) x[k] = _mm_loadu_ps(subbands + 4 * k);
  }
  for (int k = used / 4; k < 8; ++k) x[k] = _mm_setzero_ps();
  Transform32(x);
  const __m128 sign = _mm_set1_ps(-0.0f);
  const auto neg = [&](__m128 a) { return _mm_xor_ps(a, sign); };
  const auto store = [&](int at, __m128 a) { _mm_store_ps(v + at, a); };
  store(0, x[4]);
  store(4, x[5]);
  store(8, x[6]);
  store(12, x[7]);
  store(16, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(neg(Reverse(x[7]))), 4)));
  store(20, neg(Reverse(Next(x[6], x[7]))));
  store(24, neg(Reverse(Next(x[5], x[6]))));
  store(28, neg(Reverse(Next(x[4], x[5]))));
  store(32, neg(Reverse(Next(x[3], x[4]))));
  store(36, neg(Reverse(Next(x[2], x[3]))));
  store(40, neg(Reverse(Next(x[1], x[2]))));
  store(44, neg(Reverse(Next(x[0], x[1]))));
  store(48, neg(x[0]));
  store(52, neg(x[1]));
  store(56, neg(x[2]));
  store(60, neg(x[3]));

  if (WideWindow()) {
    WindowWide(v_, offset_, pcm);
  } else {
    WindowSse2(v_, offset_, pcm);
  }
#else
  const float* d = kSynthesisWindow;
  const int used = 32 >> shift_;
  float s[32], x[32];
  for (int k = 0; k < 32; ++k) s[k] = k >= used ? 0.0f : gains_ ? subbands[k] * gains_[k] : subbands[k];
  CosineTransform<32>(s, x);
  for (int i = 0; i < 16; ++i) v[i] = x[i + 16];
  v[16] = 0.0f;
  for (int i = 17; i < 32; ++i) v[i] = -x[48 - i];
  for (int j = 0; j <= 16; ++j) v[32 + j] = -x[16 - j];
  for (int j = 17; j < 32; ++j) v[32 + j] = -x[j - 16];
  for (int j = 0; j < 32; ++j) {
    float sum = 0.0f;
    for (int i = 0; i < 8; ++i) {
      sum += d[64 * i + j] * v_[(offset_ + 2 * i) & 15][j] + d[64 * i + 32 + j] * v_[(offset_ + 2 * i + 1) & 15][32 + j];
    }
    const long r = std::lrint(sum * 32768.0f);
    pcm[j] = static_cast<std::int16_t>(r > 32767 ? 32767 : r < -32768 ? -32768 : r);
  }
#endif
}

void MpaSynthesis::Synthesize(const float subbands[32], std::int16_t* out, int stride) {
  std::int16_t pcm[32];
  Filter(subbands, pcm);
  const int step = 1 << shift_;
  if (step == 1 && stride == 1) {
    std::memcpy(out, pcm, sizeof(pcm));
    return;
  }
  for (int j = 0, o = 0; j < 32; j += step, ++o) out[o * stride] = pcm[j];
}

void MpaSynthesis::SynthesizePair(MpaSynthesis& left, MpaSynthesis& right, const float l[32], const float r[32],
                                  std::int16_t* out) {
  alignas(16) std::int16_t a[32];
  alignas(16) std::int16_t b[32];
  left.Filter(l, a);
  right.Filter(r, b);
  const int step = 1 << left.shift_;
#if defined(__SSE2__)
  if (step == 1) {
    for (int q = 0; q < 4; ++q) {
      const __m128i x = _mm_load_si128(reinterpret_cast<const __m128i*>(a + 8 * q));
      const __m128i y = _mm_load_si128(reinterpret_cast<const __m128i*>(b + 8 * q));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * q), _mm_unpacklo_epi16(x, y));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * q + 8), _mm_unpackhi_epi16(x, y));
    }
    return;
  }
#endif
  for (int j = 0, o = 0; j < 32; j += step, ++o) {
    out[2 * o] = a[j];
    out[2 * o + 1] = b[j];
  }
}

}  // namespace mpa
