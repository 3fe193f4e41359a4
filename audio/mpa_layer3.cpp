#include "audio/mpa_layer3.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <type_traits>

#include "audio/mpa_lanes.h"
#include "audio/mpa_tables.h"

namespace mpa {
namespace {

constexpr int kCorrupt = -600;
constexpr double kPi = std::numbers::pi;

struct Constants {
  float pow43[8207];
  float root4[4];
  float pow2_quarter[512];  // 2^(q / 4) for q from -448
  float cs[8], ca[8];
  float is_ratio[7][2];  // intensity position 0..6: left and right factors
  Constants() {
    for (int i = 0; i < 8207; ++i) pow43[i] = static_cast<float>(std::pow(static_cast<double>(i), 4.0 / 3.0));
    for (int i = 0; i < 4; ++i) root4[i] = static_cast<float>(std::pow(2.0, i / 4.0));
    for (int i = 0; i < 512; ++i) pow2_quarter[i] = std::ldexp(root4[(i - 448) & 3], (i - 448) >> 2);
    // Alias-reduction coefficients of the standard's butterfly.
    static const double c[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
    for (int i = 0; i < 8; ++i) {
      const double sq = std::sqrt(1.0 + c[i] * c[i]);
      cs[i] = static_cast<float>(1.0 / sq);
      ca[i] = static_cast<float>(c[i] / sq);
    }
    for (int p = 0; p < 7; ++p) {
      if (p == 6) {
        is_ratio[p][0] = 1.0f;
        is_ratio[p][1] = 0.0f;
      } else {
        const double t = std::tan(p * kPi / 12.0);
        is_ratio[p][0] = static_cast<float>(t / (1.0 + t));
        is_ratio[p][1] = static_cast<float>(1.0 / (1.0 + t));
      }
    }
  }
};

const Constants& K() {
  static const Constants constants;
  return constants;
}

// The inverse MDCT of n = 2N outputs from N inputs is a DCT-IV of size N read
// with a quarter turn: x[i] = y[i + N/2], -y[3N/2 - 1 - i], -y[i - 3N/2] in turn.
// The DCT-IV comes from an N/2-point complex DFT: with
// u[k] = (X[2k] + i X[N-1-2k]) e^(-i pi (4k+1) / 4N) and U its DFT,
// U[p] e^(-i pi p / N) = y[2p] - i y[N-1-2p].
template <typename T>
struct Complex {
  T re, im;
};
template <typename T>
inline Complex<T> operator+(Complex<T> a, Complex<T> b) { return {a.re + b.re, a.im + b.im}; }
template <typename T>
inline Complex<T> operator-(Complex<T> a, Complex<T> b) { return {a.re - b.re, a.im - b.im}; }
template <typename T, typename C>
inline Complex<T> operator*(Complex<T> a, Complex<C> b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// The transforms' constants as scalars (C = float) and repeated in four lanes (C = F4),
// so the four-subband transforms never spread a constant at run time.
template <typename C>
struct DctTables {
  Complex<C> pre18[9], post18[9], pre6[3], post6[3];
  Complex<C> w9[3][3];  // e^(-2 pi i a b / 9)
  C half, half_sqrt3;
  C window[4][36];  // the block types' windows
};

DctTables<float> MakeScalarTables() {
  DctTables<float> t{};
  const auto turn = [](double angle) {
    return Complex<float>{static_cast<float>(std::cos(angle)), static_cast<float>(-std::sin(angle))};
  };
  for (int k = 0; k < 9; ++k) {
    t.pre18[k] = turn(kPi * (4 * k + 1) / 72.0);
    t.post18[k] = turn(kPi * k / 18.0);
  }
  for (int k = 0; k < 3; ++k) {
    t.pre6[k] = turn(kPi * (4 * k + 1) / 24.0);
    t.post6[k] = turn(kPi * k / 6.0);
  }
  for (int a = 0; a < 3; ++a) {
    for (int b = 0; b < 3; ++b) t.w9[a][b] = turn(2.0 * kPi * a * b / 9.0);
  }
  t.half = 0.5f;
  t.half_sqrt3 = static_cast<float>(std::sqrt(3.0) / 2.0);
  float (&w)[4][36] = t.window;
  for (int i = 0; i < 36; ++i) w[0][i] = static_cast<float>(std::sin(kPi / 36.0 * (i + 0.5)));
  for (int i = 0; i < 18; ++i) w[1][i] = w[0][i];
  for (int i = 18; i < 24; ++i) w[1][i] = 1.0f;
  for (int i = 24; i < 30; ++i) w[1][i] = static_cast<float>(std::sin(kPi / 12.0 * (i - 18 + 0.5)));
  for (int i = 30; i < 36; ++i) w[1][i] = 0.0f;
  for (int i = 0; i < 12; ++i) w[2][i] = static_cast<float>(std::sin(kPi / 12.0 * (i + 0.5)));
  for (int i = 12; i < 36; ++i) w[2][i] = 0.0f;
  for (int i = 0; i < 6; ++i) w[3][i] = 0.0f;
  for (int i = 6; i < 12; ++i) w[3][i] = static_cast<float>(std::sin(kPi / 12.0 * (i - 6 + 0.5)));
  for (int i = 12; i < 18; ++i) w[3][i] = 1.0f;
  for (int i = 18; i < 36; ++i) w[3][i] = w[0][i];
  return t;
}

DctTables<F4> Spread(const DctTables<float>& s) {
  DctTables<F4> t{};
  const auto one = [](float x) { return F4::Set(x, x, x, x); };
  const auto both = [&](Complex<float> c) { return Complex<F4>{one(c.re), one(c.im)}; };
  for (int k = 0; k < 9; ++k) {
    t.pre18[k] = both(s.pre18[k]);
    t.post18[k] = both(s.post18[k]);
  }
  for (int k = 0; k < 3; ++k) {
    t.pre6[k] = both(s.pre6[k]);
    t.post6[k] = both(s.post6[k]);
    for (int b = 0; b < 3; ++b) t.w9[k][b] = both(s.w9[k][b]);
  }
  t.half = one(s.half);
  t.half_sqrt3 = one(s.half_sqrt3);
  for (int w = 0; w < 4; ++w) {
    for (int i = 0; i < 36; ++i) t.window[w][i] = one(s.window[w][i]);
  }
  return t;
}

const DctTables<float> kScalar = MakeScalarTables();
const DctTables<F4> kLanes = Spread(kScalar);

template <typename T>
const DctTables<T>& Tables() {
  if constexpr (std::is_same_v<T, F4>) {
    return kLanes;
  } else {
    return kScalar;
  }
}

// Three-point DFT of a, b, c into out[0], out[stride], out[2 stride].
template <typename T>
inline void Dft3(Complex<T> a, Complex<T> b, Complex<T> c, Complex<T>* out, int stride) {
  const DctTables<T>& k = Tables<T>();
  const Complex<T> t = b + c;
  const Complex<T> d = b - c;
  const Complex<T> m{a.re - t.re * k.half, a.im - t.im * k.half};
  // -i sqrt(3)/2 (b - c)
  const Complex<T> r{d.im * k.half_sqrt3, -(d.re * k.half_sqrt3)};
  out[0] = a + t;
  out[stride] = m + r;
  out[2 * stride] = m - r;
}

// x[j] is input j, read `step` apart.
template <int N, typename T>
inline void DctIv(const T* x, int step, T* y) {
  constexpr int M = N / 2;
  const DctTables<T>& k = Tables<T>();
  const Complex<T>* pre = N == 18 ? k.pre18 : k.pre6;
  const Complex<T>* post = N == 18 ? k.post18 : k.post6;
  Complex<T> u[M], U[M];
  for (int i = 0; i < M; ++i) u[i] = Complex<T>{x[2 * i * step], x[(N - 1 - 2 * i) * step]} * pre[i];
  if constexpr (M == 3) {
    Dft3(u[0], u[1], u[2], U, 1);
  } else {
    // Nine points as three by three: index 3a + b in, b' + 3a' out.
    Complex<T> inner[3][3];
    for (int b = 0; b < 3; ++b) Dft3(u[b], u[3 + b], u[6 + b], inner[b], 1);
    for (int b = 1; b < 3; ++b) {
      for (int p = 1; p < 3; ++p) inner[b][p] = inner[b][p] * k.w9[b][p];
    }
    for (int p = 0; p < 3; ++p) Dft3(inner[0][p], inner[1][p], inner[2][p], U + p, 3);
  }
  for (int p = 0; p < M; ++p) {
    const Complex<T> z = U[p] * post[p];
    y[2 * p] = z.re;
    y[N - 1 - 2 * p] = -z.im;
  }
}

template <int N, typename T>
inline void Imdct(const T* in, int step, T* out) {
  constexpr int Q = N / 2;
  T y[N];
  DctIv<N>(in, step, y);
  for (int i = 0; i < N - Q; ++i) out[i] = y[i + Q];
  for (int i = N - Q; i < 2 * N - Q; ++i) out[i] = -y[2 * N - Q - 1 - i];
  for (int i = 2 * N - Q; i < 2 * N; ++i) out[i] = -y[i - (2 * N - Q)];
}

// One subband's 18 lines (or four subbands' at once) to its 36 windowed outputs:
// one long block with the window of block type `type`, or three short blocks overlapped.
template <typename T>
inline void SubbandTransform(const T* in, bool long_block, int type, T* z) {
  const DctTables<T>& k = Tables<T>();
  if (long_block) {
    Imdct<18>(in, 1, z);
    for (int i = 0; i < 36; ++i) z[i] = z[i] * k.window[type][i];
    return;
  }
  for (int i = 0; i < 36; ++i) z[i] = T{};
  for (int w = 0; w < 3; ++w) {
    T part[12];
    Imdct<6>(in + w, 3, part);
    for (int i = 0; i < 12; ++i) z[6 + 6 * w + i] = z[6 + 6 * w + i] + part[i] * k.window[2][i];
  }
}

// 2^(q / 4)
float Pow2Quarter(const Constants& k, int q) {
  if (q >= -448 && q < 64) return k.pow2_quarter[q + 448];
  return std::ldexp(k.root4[q & 3], q >> 2);
}

// Scale-factor band counts of the lower sampling rates, by the scale-factor
// coding chosen in scalefac_compress: [coding][long, short, mixed][four groups].
constexpr std::uint8_t kLsfBands[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};

// One code from `w`, whose top bit is the code's first: its value, its length in `length`.
inline int Code(const HuffTable& t, std::uint64_t w, int& length) {
  std::uint16_t e = t.lookup[w >> (64 - t.root_bits)];
  int taken = 0;
  int bits = t.root_bits;
  while (!(e & 0x8000)) {
    taken += bits;
    bits = e >> 12;
    e = t.lookup[(e & 0x0FFF) + ((w << taken) >> (64 - bits))];
  }
  length = taken + (e >> 8 & 0x7F);
  return e & 0xFF;
}

bool IsShort(const Layer3GranuleChannel& g) { return g.window_switching && g.block_type == 2; }

}  // namespace

void Imdct36(const float in[18], float out[36]) { Imdct<18>(in, 1, out); }
void Imdct12(const float in[6], float out[12]) { Imdct<6>(in, 1, out); }

MpaLayer3::MpaLayer3() {
  K();
  Reset();
  std::memset(values_, 0, sizeof(values_));
  std::memset(xr_, 0, sizeof(xr_));
}

void MpaLayer3::Reset() { std::memset(overlap_, 0, sizeof(overlap_)); }

bool MpaLayer3::ReadSideInfo(const MpaHeader& h, MpaBitReader& bits, Layer3SideInfo& side) {
  const int channels = h.Channels();
  const bool lsf = h.Lsf();
  side = Layer3SideInfo{};
  if (lsf) {
    side.main_data_begin = static_cast<int>(bits.Read(8));
    bits.Skip(channels == 1 ? 1 : 2);
    side.granules = 1;
  } else {
    side.main_data_begin = static_cast<int>(bits.Read(9));
    bits.Skip(channels == 1 ? 5 : 3);
    side.granules = 2;
    for (int ch = 0; ch < channels; ++ch) {
      for (int b = 0; b < 4; ++b) side.scfsi[ch][b] = static_cast<int>(bits.Read(1));
    }
  }
  for (int gr = 0; gr < side.granules; ++gr) {
    for (int ch = 0; ch < channels; ++ch) {
      Layer3GranuleChannel& g = side.gr[gr][ch];
      g.part2_3_length = static_cast<int>(bits.Read(12));
      g.big_values = static_cast<int>(bits.Read(9));
      if (g.big_values > 288) return false;
      g.global_gain = static_cast<int>(bits.Read(8));
      g.scalefac_compress = static_cast<int>(bits.Read(lsf ? 9 : 4));
      g.window_switching = bits.ReadBit();
      if (g.window_switching) {
        g.block_type = static_cast<int>(bits.Read(2));
        g.mixed = bits.ReadBit();
        if (g.block_type == 0) return false;  // window switching always names a special block
        for (int r = 0; r < 2; ++r) g.table_select[r] = static_cast<int>(bits.Read(5));
        for (int w = 0; w < 3; ++w) g.subblock_gain[w] = static_cast<int>(bits.Read(3));
        g.region0_count = (g.block_type == 2 && !g.mixed) ? 8 : 7;
        g.region1_count = 36;
      } else {
        for (int r = 0; r < 3; ++r) g.table_select[r] = static_cast<int>(bits.Read(5));
        g.region0_count = static_cast<int>(bits.Read(4));
        g.region1_count = static_cast<int>(bits.Read(3));
      }
      if (!lsf) g.preflag = bits.ReadBit();
      g.scalefac_scale = bits.ReadBit();
      g.count1table = bits.ReadBit();
    }
  }
  return !bits.Overrun();
}

bool MpaLayer3::ReadScalefactors(const MpaHeader& h, const Layer3SideInfo& side, int gr, int ch,
                                 MpaBitReader& bits) {
  const Layer3GranuleChannel& g = side.gr[gr][ch];
  if (h.Lsf()) return ReadScalefactorsLsf(h, g, ch, bits);
  Scalefactors& sf = sf_[ch];
  const int slen1 = kSlen[0][g.scalefac_compress];
  const int slen2 = kSlen[1][g.scalefac_compress];
  if (IsShort(g)) {
    int sfb = 0;
    if (g.mixed) {
      for (; sfb < 8; ++sfb) sf.l[sfb] = static_cast<int>(bits.Read(slen1));
      sfb = 3;
    }
    for (; sfb < 12; ++sfb) {
      const int len = sfb < 6 ? slen1 : slen2;
      for (int w = 0; w < 3; ++w) sf.s[sfb][w] = static_cast<int>(bits.Read(len));
    }
    for (int w = 0; w < 3; ++w) sf.s[12][w] = 0;
  } else {
    static const int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int b = 0; b < 4; ++b) {
      if (gr == 1 && side.scfsi[ch][b]) continue;  // shared with the first granule
      const int len = b < 2 ? slen1 : slen2;
      for (int sfb = kGroupStart[b]; sfb < kGroupStart[b + 1]; ++sfb) sf.l[sfb] = static_cast<int>(bits.Read(len));
    }
    sf.l[21] = sf.l[22] = 0;
  }
  return true;
}

bool MpaLayer3::ReadScalefactorsLsf(const MpaHeader& h, const Layer3GranuleChannel& g, int ch, MpaBitReader& bits) {
  Scalefactors& sf = sf_[ch];
  const bool intensity_right = ch == 1 && h.mode == 1 && (h.mode_extension & 1);
  int slen[4] = {};
  int coding = 0;
  int c = g.scalefac_compress;
  if (!intensity_right) {
    if (c < 400) {
      slen[0] = (c >> 4) / 5;
      slen[1] = (c >> 4) % 5;
      slen[2] = (c & 15) >> 2;
      slen[3] = c & 3;
      coding = 0;
    } else if (c < 500) {
      c -= 400;
      slen[0] = (c >> 2) / 5;
      slen[1] = (c >> 2) % 5;
      slen[2] = c & 3;
      coding = 1;
    } else {
      c -= 500;
      slen[0] = c / 3;
      slen[1] = c % 3;
      coding = 2;
    }
  } else {
    c >>= 1;
    if (c < 180) {
      slen[0] = c / 36;
      slen[1] = (c % 36) / 6;
      slen[2] = (c % 36) % 6;
      coding = 3;
    } else if (c < 244) {
      c -= 180;
      slen[0] = (c % 64) >> 4;
      slen[1] = (c % 16) >> 2;
      slen[2] = c % 4;
      coding = 4;
    } else {
      c -= 244;
      slen[0] = c / 3;
      slen[1] = c % 3;
      coding = 5;
    }
  }
  const int kind = IsShort(g) ? (g.mixed ? 2 : 1) : 0;
  const std::uint8_t* counts = kLsfBands[coding][kind];
  // Values in stream order: long bands first (mixed: six), then short bands by window.
  int values[45] = {};
  int limits[45] = {};
  int n = 0;
  for (int b = 0; b < 4; ++b) {
    for (int i = 0; i < counts[b] && n < 45; ++i, ++n) {
      values[n] = static_cast<int>(bits.Read(slen[b]));
      limits[n] = (1 << slen[b]) - 1;
    }
  }
  sf = Scalefactors{};
  int k = 0;
  if (kind == 0) {
    for (int sfb = 0; sfb < 21; ++sfb, ++k) {
      sf.l[sfb] = values[k];
      sf.max_l[sfb] = limits[k];
    }
    sf.max_l[21] = sf.max_l[22] = -1;
  } else {
    int sfb = 0;
    if (kind == 2) {
      for (; sfb < 6; ++sfb, ++k) {
        sf.l[sfb] = values[k];
        sf.max_l[sfb] = limits[k];
      }
      sfb = 3;
    }
    for (; sfb < 12; ++sfb) {
      for (int w = 0; w < 3; ++w, ++k) sf.s[sfb][w] = k < n ? values[k] : 0;
      sf.max_s[sfb] = k - 1 < n ? limits[k - 1] : 0;
    }
    sf.max_s[12] = -1;
  }
  return true;
}

bool MpaLayer3::HuffmanDecode(const MpaHeader& h, const Layer3GranuleChannel& g, MpaBitReader& bits,
                              std::size_t end, int ch) {
  int* v = values_[ch];
  const std::uint16_t* lng = kSfbLong[h.RateRow()];
  const std::uint16_t* shrt = kSfbShort[h.RateRow()];
  const int big_end = g.big_values * 2;
  int region1, region2;
  if (g.window_switching) {
    region1 = g.block_type == 2 && !g.mixed ? shrt[3] * 3 : lng[8];
    region2 = 576;
  } else {
    region1 = lng[std::min(g.region0_count + 1, 22)];
    region2 = lng[std::min(g.region0_count + g.region1_count + 2, 22)];
  }
  region1 = std::min(region1, big_end);
  region2 = std::min(region2, big_end);

  int i = 0;
  for (int region = 0; region < 3; ++region) {
    const int stop = region == 0 ? region1 : region == 1 ? region2 : big_end;
    const HuffTable& t = kHuffTables[g.table_select[region]];
    if (!t.lookup) {
      // Table 0 codes only zeros; tables 4 and 14 do not exist.
      if (g.table_select[region] != 0 && i < stop) return false;
      for (; i < stop; ++i) v[i] = 0;
      continue;
    }
    const int linbits = t.linbits;
    for (; i < stop; i += 2) {
      // A pair takes at most 19 + 2 x (13 + 1) bits: one look at the stream serves it.
      std::uint64_t w = bits.Upcoming();
      int used;
      const int code = Code(t, w, used);
      w <<= used;
      // Each value: its extra bits when it reads 15, then its sign when not zero.
      const auto finish = [&](int value) {
        if (linbits && value == 15) {
          value += static_cast<int>(w >> (64 - linbits));
          w <<= linbits;
          used += linbits;
        }
        if (value) {
          if (w >> 63) value = -value;
          w <<= 1;
          ++used;
        }
        return value;
      };
      v[i] = finish(code >> 4);
      v[i + 1] = finish(code & 15);
      bits.Skip(used);
    }
    if (bits.Position() > end) return false;
  }
  const HuffTable& quads = kCount1Tables[g.count1table ? 1 : 0];
  while (i + 4 <= 576 && bits.Position() < end) {
    std::uint64_t w = bits.Upcoming();
    int used;
    const int code = Code(quads, w, used);
    w <<= used;
    int q[4] = {code >> 3 & 1, code >> 2 & 1, code >> 1 & 1, code & 1};
    for (int& value : q) {
      if (value) {
        if (w >> 63) value = -1;
        w <<= 1;
        ++used;
      }
    }
    bits.Skip(used);
    if (bits.Position() > end) break;  // the quadruple that overruns is not part of the data
    for (int j = 0; j < 4; ++j) v[i + j] = q[j];
    i += 4;
  }
  int last = i;
  while (last > 0 && v[last - 1] == 0) --last;
  nonzero_[ch] = last;
  for (; i < 576; ++i) v[i] = 0;
  return true;
}

void MpaLayer3::Requantise(const MpaHeader& h, const Layer3GranuleChannel& g, int ch) {
  const Constants& k = K();
  const int* v = values_[ch];
  float* xr = xr_[ch];
  const Scalefactors& sf = sf_[ch];
  const int shift = g.scalefac_scale ? 4 : 2;
  const int gain = g.global_gain - 210;
  const int n = nonzero_[ch];
  // Lines from n on are zero; the bands below set the rest.
  std::fill(xr + n, xr + 576, 0.0f);
  auto line = [&](int i, float factor) {
    const int a = std::abs(v[i]);
    const float m = k.pow43[std::min(a, 8206)] * factor;
    xr[i] = std::copysign(m, static_cast<float>(v[i]));
  };
  const std::uint16_t* lng = kSfbLong[h.RateRow()];
  const std::uint16_t* shrt = kSfbShort[h.RateRow()];
  int long_end = 576;
  int short_from = 13;
  if (IsShort(g)) {
    long_end = g.mixed ? 36 : 0;
    short_from = 0;
    while (short_from < 13 && shrt[short_from] * 3 < long_end) ++short_from;
  }
  for (int sfb = 0; sfb < 22 && lng[sfb] < long_end && lng[sfb] < n; ++sfb) {
    const int pre = g.preflag ? kPretab[sfb] : 0;
    const float factor = Pow2Quarter(k, gain - shift * (sf.l[sfb] + pre));
    const int stop = std::min<int>({lng[sfb + 1], long_end, n});
    for (int i = lng[sfb]; i < stop; ++i) line(i, factor);
  }
  if (short_from == 13) return;
  // Short blocks: reordered here from band-window-line to band-line-window, the
  // order the hybrid filterbank reads.
  float reordered[576] = {};
  for (int sfb = short_from; sfb < 13; ++sfb) {
    const int start = shrt[sfb];
    const int width = shrt[sfb + 1] - start;
    if (start * 3 >= n) break;
    for (int w = 0; w < 3; ++w) {
      const float factor = Pow2Quarter(k, gain - 8 * g.subblock_gain[w] - shift * sf.s[sfb][w]);
      const int in = start * 3 + w * width;
      for (int j = 0; j < width; ++j) {
        line(in + j, factor);
        reordered[start * 3 + j * 3 + w] = xr[in + j];
      }
    }
  }
  const int from = shrt[short_from] * 3;
  std::copy(reordered + from, reordered + 576, xr + from);
  // Reordering spreads a band's values over the whole band.
  for (int sfb = short_from; sfb < 13; ++sfb) {
    if (shrt[sfb] * 3 < nonzero_[ch]) nonzero_[ch] = std::max(nonzero_[ch], shrt[sfb + 1] * 3);
  }
}

void MpaLayer3::Stereo(const MpaHeader& h, const Layer3GranuleChannel& right) {
  const bool ms = h.mode == 1 && (h.mode_extension & 2);
  const bool intensity = h.mode == 1 && (h.mode_extension & 1);
  float* l = xr_[0];
  float* r = xr_[1];
  const Constants& k = K();
  const std::uint16_t* lng = kSfbLong[h.RateRow()];
  const std::uint16_t* shrt = kSfbShort[h.RateRow()];
  constexpr float kInvSqrt2 = 0.70710678118654752f;
  auto mid_side = [&](int from, int to) {
    if (!ms) return;
    for (int i = from; i < to; ++i) {
      const float m = l[i], s = r[i];
      l[i] = (m + s) * kInvSqrt2;
      r[i] = (m - s) * kInvSqrt2;
    }
  };
  const int n = std::max(nonzero_[0], nonzero_[1]);
  if (!intensity) {
    mid_side(0, n);
    nonzero_[0] = nonzero_[1] = n;
    return;
  }
  const Scalefactors& sf = sf_[1];
  const bool lsf = h.Lsf();
  const float io = lsf ? static_cast<float>(std::pow(2.0, (right.scalefac_compress & 1) ? -0.5 : -0.25)) : 0.0f;
  // Intensity position `pos` of a band, or false when the band is coded normally.
  auto apply = [&](int pos, int limit, int from, int to) {
    const bool illegal = lsf ? pos == limit : pos >= 7;
    if (illegal) {
      mid_side(from, to);
      return;
    }
    float fl, fr;
    if (!lsf) {
      fl = k.is_ratio[pos][0];
      fr = k.is_ratio[pos][1];
    } else if (pos == 0) {
      fl = fr = 1.0f;
    } else if (pos & 1) {
      fl = std::pow(io, static_cast<float>((pos + 1) / 2));
      fr = 1.0f;
    } else {
      fl = 1.0f;
      fr = std::pow(io, static_cast<float>(pos / 2));
    }
    for (int i = from; i < to; ++i) {
      const float x = l[i];
      l[i] = x * fl;
      r[i] = x * fr;
    }
  };
  if (!IsShort(right)) {
    // Bands above the right channel's last non-zero line are intensity coded.
    int first = 0;
    while (first < 22 && lng[first + 1] <= nonzero_[1]) ++first;
    if (nonzero_[1] > lng[first]) ++first;
    mid_side(0, lng[first]);
    for (int sfb = first; sfb < 22; ++sfb) {
      const int src = sfb == 21 ? 20 : sfb;
      apply(sf.l[src], lsf ? sf.max_l[src] : 7, lng[sfb], lng[sfb + 1]);
    }
  } else {
    const int long_end = right.mixed ? 36 : 0;
    if (long_end > 0) {
      // The long part of a mixed block is intensity coded only when the whole right channel is silent above it.
      for (int sfb = 0; sfb < 22 && lng[sfb] < long_end; ++sfb) {
        if (nonzero_[1] > lng[sfb]) {
          mid_side(lng[sfb], std::min<int>(lng[sfb + 1], long_end));
        } else {
          apply(sf.l[sfb], lsf ? sf.max_l[sfb] : 7, lng[sfb], std::min<int>(lng[sfb + 1], long_end));
        }
      }
    }
    int first_short = 0;
    while (first_short < 13 && shrt[first_short] * 3 < long_end) ++first_short;
    for (int w = 0; w < 3; ++w) {
      // The last band of this window holding a non-zero right value.
      int last = -1;
      for (int sfb = first_short; sfb < 13; ++sfb) {
        const int start = shrt[sfb] * 3, width = shrt[sfb + 1] - shrt[sfb];
        for (int j = 0; j < width; ++j) {
          if (r[start + j * 3 + w] != 0.0f) last = sfb;
        }
      }
      for (int sfb = first_short; sfb < 13; ++sfb) {
        const int start = shrt[sfb] * 3, width = shrt[sfb + 1] - shrt[sfb];
        const int src = sfb == 12 ? 11 : sfb;
        for (int j = 0; j < width; ++j) {
          const int i = start + j * 3 + w;
          if (sfb <= last) {
            mid_side(i, i + 1);
          } else {
            apply(sf.s[src][w], lsf ? sf.max_s[src] : 7, i, i + 1);
          }
        }
      }
    }
  }
  nonzero_[0] = nonzero_[1] = 576;
}

void MpaLayer3::Hybrid(const MpaHeader& h, const Layer3GranuleChannel& g, int ch, int gr, Output& out) {
  (void)h;
  const Constants& k = K();
  float* xr = xr_[ch];
  const bool is_short = IsShort(g);
  const int long_subbands = is_short ? (g.mixed ? 2 : 0) : 32;
  // Subbands holding data; alias reduction may carry it one subband up.
  int used = (nonzero_[ch] + 17) / 18;
  const int alias_limit = std::min(long_subbands, std::min(used + 1, 32));
  // Butterflies across each subband boundary: line 18 sb - 1 - i with line 18 sb + i.
  const F4 cs[2] = {F4::Load(k.cs), F4::Load(k.cs + 4)};
  const F4 ca[2] = {F4::Load(k.ca), F4::Load(k.ca + 4)};
  for (int sb = 1; sb < alias_limit; ++sb) {
    float* below = xr + 18 * sb - 8;
    float* above = xr + 18 * sb;
    for (int q = 0; q < 2; ++q) {
      const F4 a = Reverse(F4::Load(below + 4 - 4 * q));  // lines 18 sb - 1 - 4q - (0..3)
      const F4 b = F4::Load(above + 4 * q);
      Reverse(a * cs[q] - b * ca[q]).Store(below + 4 - 4 * q);
      (b * cs[q] + a * ca[q]).Store(above + 4 * q);
    }
  }
  if (alias_limit > used) used = alias_limit;
  // Lines above `used` are zero, so their outputs are the overlap alone.
  const int type = is_short ? 0 : (g.window_switching ? g.block_type : 0);
  const F4 flip = F4::Set(1.0f, -1.0f, 1.0f, -1.0f);  // odd subbands, odd time slots
  for (int sb0 = 0; sb0 < 32; sb0 += 4) {
    F4 z[36];
    const float* rows[4] = {xr + 18 * sb0, xr + 18 * (sb0 + 1), xr + 18 * (sb0 + 2), xr + 18 * (sb0 + 3)};
    if (sb0 >= used) {
      for (F4& v : z) v = F4::Zero();
    } else if (sb0 + 4 <= long_subbands || sb0 >= long_subbands) {
      F4 in[18];
      Transpose4(rows, in, 18);
      SubbandTransform(in, sb0 < long_subbands, type, z);
    } else {
      // A mixed block's long and short subbands side by side: one at a time.
      float lanes[36][4];
      for (int lane = 0; lane < 4; ++lane) {
        float one[36];
        SubbandTransform(rows[lane], sb0 + lane < long_subbands, type, one);
        for (int i = 0; i < 36; ++i) lanes[i][lane] = one[i];
      }
      for (int i = 0; i < 36; ++i) z[i] = F4::Load(lanes[i]);
    }
    for (int t = 0; t < 18; ++t) {
      float* prev = &overlap_[ch][t][sb0];
      F4 value = z[t] + F4::Load(prev);
      z[t + 18].Store(prev);
      if (t & 1) value = value * flip;
      value.Store(&out[ch][gr * 18 + t][sb0]);
    }
  }
}

int MpaLayer3::Decode(const MpaHeader& h, const Layer3SideInfo& side, MpaBitReader& main, Output& out) {
  const int channels = h.Channels();
  for (int gr = 0; gr < side.granules; ++gr) {
    for (int ch = 0; ch < channels; ++ch) {
      const Layer3GranuleChannel& g = side.gr[gr][ch];
      const std::size_t start = main.Position();
      const std::size_t end = start + static_cast<std::size_t>(g.part2_3_length);
      if (end > main.SizeBits()) return kCorrupt;
      ReadScalefactors(h, side, gr, ch, main);
      if (main.Position() > end) return kCorrupt;
      if (!HuffmanDecode(h, g, main, end, ch)) return kCorrupt;
      main.SetPosition(end);
      Requantise(h, g, ch);
    }
    if (channels == 2) Stereo(h, side.gr[gr][1]);
    for (int ch = 0; ch < channels; ++ch) Hybrid(h, side.gr[gr][ch], ch, gr, out);
  }
  return side.granules * 18;
}

int MpaLayer3::Silence(const MpaHeader& h, Output& out) {
  Reset();
  std::memset(out, 0, sizeof(out));
  return h.Lsf() ? 18 : 36;
}

}  // namespace mpa
