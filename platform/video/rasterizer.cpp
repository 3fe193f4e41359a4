#include "platform/video/rasterizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace platform::video {
namespace {

// Vertices farther out than this are cut to the target before scan
// conversion, which keeps the fixed-point edge arithmetic exact.
constexpr float kGuardBand = 8192.0f;
// Texture coordinates (in texels) beyond this are treated as 0.
constexpr float kTexLimit = 4.0e6f;


// How a target format packs and unpacks its channels.
struct PackInfo {
  PixelFormat format;
  int bytes = 2;
  int down[4] = {};  // r, g, b, a: 8 - bits
  int pos[4] = {};
  std::uint32_t mask[4] = {};
  std::array<std::uint8_t, 256> expand[4] = {};  // raw channel value -> 0..255
  std::uint8_t dither[4][4][3] = {};
  // The same offsets as 16-bit lanes b, g, r, 0, 0, 0, 0, 0.
  std::int16_t ditherLanes[4][4][8] = {};
};

PackInfo MakePackInfo(const PixelFormat& f) {
  PackInfo p;
  p.format = f;
  p.bytes = f.bitsPerPixel == 32 ? 4 : 2;
  const std::uint32_t masks[4] = {f.redMask, f.greenMask, f.blueMask, f.alphaMask};
  static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int c = 0; c < 4; ++c) {
    const int bits = std::min(8, MaskBits(masks[c]));
    p.mask[c] = masks[c];
    p.pos[c] = masks[c] ? MaskShift(masks[c]) : 0;
    p.down[c] = 8 - bits;
    const int maxv = bits ? (1 << bits) - 1 : 0;
    for (int v = 0; v < 256; ++v) p.expand[c][v] = maxv ? static_cast<std::uint8_t>((std::min(v, maxv) * 255 + maxv / 2) / maxv) : 255;
    if (c < 3) {
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
          p.dither[y][x][c] = static_cast<std::uint8_t>((kBayer[y][x] * ((1 << (8 - bits)) - 1)) / 16);
          p.ditherLanes[y][x][2 - c] = p.dither[y][x][c];
        }
    }
  }
  return p;
}

const PackInfo& PackFor(const PixelFormat& f) {
  thread_local const PackInfo* last = nullptr;
  if (last && last->format == f) return *last;
  static std::deque<PackInfo> cache;  // a handful of formats; never shrinks
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  for (const auto& p : cache) {
    if (p.format == f) {
      last = &p;
      return p;
    }
  }
  cache.push_back(MakePackInfo(f));
  last = &cache.back();
  return cache.back();
}

// float to int for pixel positions, safe for any finite value.
inline int PixelOf(double v) {
  v = std::floor(v + 0.5);
  if (!(v >= -1.0e9)) return -1000000000;  // also NaN
  if (v > 1.0e9) return 1000000000;
  return static_cast<int>(v);
}

inline bool DepthPass(std::uint32_t func, float w, float stored) {
  switch (func) {
    case kCmpNever: return false;
    case kCmpLess: return w > stored;
    case kCmpEqual: return w == stored;
    case kCmpLessEqual: return w >= stored;
    case kCmpGreater: return w < stored;
    case kCmpNotEqual: return w != stored;
    case kCmpGreaterEqual: return w <= stored;
    default: return true;
  }
}

// x / 255 rounded, for x in 0..255 * 255.
inline int Div255(int x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}


// The four texels around a sample weighted by its fractions (0..255).
#ifdef __SSE2__
// A weight and its complement to 256, four lanes each: (256 - f) x 4, f x 4
// (made at compile time, so no start-up order can find it empty).
struct alignas(16) WeightPairs {
  std::int16_t lanes[256][8];
};
constexpr WeightPairs MakeWeightPairs() {
  WeightPairs p{};
  for (int f = 0; f < 256; ++f)
    for (int i = 0; i < 8; ++i) p.lanes[f][i] = static_cast<std::int16_t>(i < 4 ? 256 - f : f);
  return p;
}
constexpr WeightPairs kWeights = MakeWeightPairs();

inline __m128i WeightPair(std::uint32_t f) { return _mm_load_si128(reinterpret_cast<const __m128i*>(kWeights.lanes[f])); }

// As 16-bit lanes (b, g, r, a in lanes 0..3; the upper lanes are not
// meaningful). Each row is blended across and shifted down, then the two
// rows; every product and sum stays within 16 bits.
inline __m128i Bilinear16(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11, std::uint32_t fx,
                          std::uint32_t fy) {
  const __m128i zero = _mm_setzero_si128();
  // Left texels of both rows, and right texels of both rows (top in lanes 0..3).
  const __m128i left = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(t00)), _mm_cvtsi32_si128(static_cast<int>(t01))), zero);
  const __m128i right = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(t10)), _mm_cvtsi32_si128(static_cast<int>(t11))), zero);
  const __m128i wx = WeightPair(fx);
  const __m128i rows = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(left, _mm_unpacklo_epi64(wx, wx)),
                                                    _mm_mullo_epi16(right, _mm_unpackhi_epi64(wx, wx))),
                                      8);
  const __m128i weighted = _mm_mullo_epi16(rows, WeightPair(fy));
  return _mm_srli_epi16(_mm_add_epi16(weighted, _mm_srli_si128(weighted, 8)), 8);
}

inline std::uint32_t Bilinear(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11,
                              std::uint32_t fx, std::uint32_t fy) {
  const __m128i v = Bilinear16(t00, t10, t01, t11, fx, fy);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
}
#else
inline std::uint32_t Bilerp(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
  const std::uint32_t inv = 256 - f;
  const std::uint32_t rb = (((a & 0x00FF00FFu) * inv + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
  const std::uint32_t ag = ((((a >> 8) & 0x00FF00FFu) * inv + ((b >> 8) & 0x00FF00FFu) * f)) & 0xFF00FF00u;
  return rb | ag;
}

inline std::uint32_t Bilinear(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11,
                              std::uint32_t fx, std::uint32_t fy) {
  return Bilerp(Bilerp(t00, t10, fx), Bilerp(t01, t11, fx), fy);
}
#endif

inline std::size_t TiledIndexOf(int x, int y, int width) {
  return (static_cast<std::size_t>(y >> 2) * static_cast<std::size_t>(width >> 2) + static_cast<std::size_t>(x >> 2)) << 4 |
         static_cast<std::size_t>((y & 3) << 2 | (x & 3));
}

inline int Wrap(int i, int size, int mask, bool pow2) {
  if (pow2) return i & mask;
  int r = i % size;
  return r < 0 ? r + size : r;
}

// A blend factor in 0..255.
inline int BlendFactor(std::uint32_t f, int srcC, int srcA) {
  switch (f) {
    case kBlendZero: return 0;
    case kBlendSrcColor: return srcC;
    case kBlendInvSrcColor: return 255 - srcC;
    case kBlendSrcAlpha: return srcA;
    case kBlendInvSrcAlpha: return 255 - srcA;
    default: return 255;
  }
}

struct SpanContext {
  const RasterState* st;
  const PackInfo* pk;
  const RasterTexture* tex;
  int texMaskW, texMaskH;
  bool pow2;
  const RasterTexture* tex2;  // added on top of tex (never without it)
  int tex2MaskW, tex2MaskH;
  bool tex2Pow2;
  int fogR, fogG, fogB;
};

struct SpanStart {
  float w, dw, uw, duw, vw, dvw;
  float u2w, du2w, v2w, dv2w;
  int dif[4], ddif[4], spc[4], dspc[4];  // 16.16: r, g, b, a
};

// Texture coordinates are exact (divided by 1/z) every this many pixels and
// stepped linearly between.
constexpr int kPerspectiveStep = 16;

// A texel coordinate (in texels) as 24.8 fixed point, 0 when out of range.
static_assert(kTexLimit * 256.0f * 2.0f < 2147483647.0f, "differences of two coordinates must fit an int");
inline int TexFixed(float t) {
  if (!(t > -kTexLimit && t < kTexLimit)) return 0;
  return static_cast<int>(t * 256.0f);
}

inline std::uint32_t FetchTexel2(const SpanContext& c, int x, int y) {
  const RasterTexture& t = *c.tex2;
  x = Wrap(x, t.width, c.tex2MaskW, c.tex2Pow2);
  y = Wrap(y, t.height, c.tex2MaskH, c.tex2Pow2);
  return t.tiled ? t.argb[TiledIndexOf(x, y, t.width)] : t.argb[static_cast<std::ptrdiff_t>(y) * t.width + x];
}

inline std::uint32_t FetchTexel(const RasterTexture& t, const SpanContext& c, int x, int y) {
  x = Wrap(x, t.width, c.texMaskW, c.pow2);
  y = Wrap(y, t.height, c.texMaskH, c.pow2);
  return t.tiled ? t.argb[TiledIndexOf(x, y, t.width)] : t.argb[static_cast<std::ptrdiff_t>(y) * t.width + x];
}

// Depth modes: none, the usual less-or-equal, or any other comparison.
enum { kZNone = 0, kZLessEqual = 1, kZAny = 2 };

// Target formats: 5-6-5, another 16-bit format, a 32-bit format.
enum { kFmt565 = 0, kFmt16 = 1, kFmt32 = 2 };

template <bool kTex, bool kBilinear, int kZ, bool kBlend, int kFmt>
void DrawSpan(const SpanContext& c, std::uint8_t* row, float* zrow, int y, int xs, int xe, const SpanStart& s0) {
  const RasterState& st = *c.st;
  const PackInfo& pk = *c.pk;
  constexpr int kBytes = kFmt == kFmt32 ? 4 : 2;
  float w = s0.w, uw = s0.uw, vw = s0.vw;
  float u2w = s0.u2w, v2w = s0.v2w;
  const bool second = kTex && c.tex2 != nullptr;
  int dr = s0.dif[0], dg = s0.dif[1], db = s0.dif[2], da = s0.dif[3];
  int sr = s0.spc[0], sg = s0.spc[1], sb = s0.spc[2], sa = s0.spc[3];
  const int ddr = s0.ddif[0], ddg = s0.ddif[1], ddb = s0.ddif[2], dda = s0.ddif[3];
  const int dsr = s0.dspc[0], dsg = s0.dspc[1], dsb = s0.dspc[2], dsa = s0.dspc[3];
  const float dw = s0.dw;
  const bool zWrite = st.zWrite;
  const bool specular = st.specular, fog = st.fog;
  const bool dither = st.dither && kBytes == 2;
  const bool key = kTex && st.colorKey && c.tex->keyed;
  const std::uint32_t texBlend = st.texBlend;
  const std::uint32_t zFunc = st.zFunc;

  int u0 = 0, v0 = 0;
  if constexpr (kTex) {
    const float iw = 1.0f / w;
    u0 = TexFixed(uw * iw);
    v0 = TexFixed(vw * iw);
  }
  int x = xs;
  while (x < xe) {
    const int n = std::min(kPerspectiveStep, xe - x);
    int du = 0, dv = 0;
    int u1 = 0, v1 = 0;
    if constexpr (kTex) {
      // The coordinates at the next segment's start, exactly.
      const float fn = static_cast<float>(n);
      uw += s0.duw * fn;
      vw += s0.dvw * fn;
      const float iw = 1.0f / (w + dw * fn);
      u1 = TexFixed(uw * iw);
      v1 = TexFixed(vw * iw);
      du = static_cast<int>((static_cast<std::int64_t>(u1) - u0) / n);
      dv = static_cast<int>((static_cast<std::int64_t>(v1) - v0) / n);
    }
    int ui = u0, vi = v0;
    for (const int end = x + n; x < end;
         ++x, w += dw, ui += du, vi += dv, u2w += s0.du2w, v2w += s0.dv2w, dr += ddr, dg += ddg, db += ddb, da += dda, sr += dsr, sg += dsg,
                                        sb += dsb, sa += dsa) {
      if constexpr (kZ == kZLessEqual) {
        if (!(w >= zrow[x])) continue;
      } else if constexpr (kZ == kZAny) {
        if (!DepthPass(zFunc, w, zrow[x])) continue;
      }
      int r = dr >> 16, g = dg >> 16, b = db >> 16, a = da >> 16;
      if constexpr (kTex) {
        const RasterTexture& t = *c.tex;
        if (key) {
          const int kx = Wrap(ui >> 8, t.width, c.texMaskW, c.pow2);
          const int ky = Wrap(vi >> 8, t.height, c.texMaskH, c.pow2);
          const std::uint8_t* rp = t.raw + static_cast<std::ptrdiff_t>(ky) * t.rawPitch + kx * t.rawBytes;
          std::uint32_t raw;
          if (t.rawBytes == 2) {
            std::uint16_t r16;
            std::memcpy(&r16, rp, 2);
            raw = r16;
          } else {
            std::memcpy(&raw, rp, 4);
          }
          if (raw >= t.keyLow && raw <= t.keyHigh) continue;
        }
        std::uint32_t texel;
        if constexpr (kBilinear) {
          const int us = ui - 128, vs = vi - 128;
          const int tx = us >> 8, ty = vs >> 8;
          const std::uint32_t fx = static_cast<std::uint32_t>(us & 255), fy = static_cast<std::uint32_t>(vs & 255);
          std::uint32_t t00, t10, t01, t11;
          if (t.tiled) {
            // Tiled textures are powers of two: an index is a row part plus a column part.
            const int x0 = tx & c.texMaskW, x1 = (tx + 1) & c.texMaskW;
            const int y0 = ty & c.texMaskH, y1 = (ty + 1) & c.texMaskH;
            const std::size_t tilesPerRow = static_cast<std::size_t>(t.width >> 2);
            const std::size_t r0 = ((static_cast<std::size_t>(y0 >> 2) * tilesPerRow) << 4) | static_cast<std::size_t>((y0 & 3) << 2);
            const std::size_t r1 = ((static_cast<std::size_t>(y1 >> 2) * tilesPerRow) << 4) | static_cast<std::size_t>((y1 & 3) << 2);
            const std::size_t c0 = static_cast<std::size_t>((x0 >> 2) << 4 | (x0 & 3));
            const std::size_t c1 = static_cast<std::size_t>((x1 >> 2) << 4 | (x1 & 3));
            t00 = t.argb[r0 + c0];
            t10 = t.argb[r0 + c1];
            t01 = t.argb[r1 + c0];
            t11 = t.argb[r1 + c1];
          } else {
            t00 = FetchTexel(t, c, tx, ty);
            t10 = FetchTexel(t, c, tx + 1, ty);
            t01 = FetchTexel(t, c, tx, ty + 1);
            t11 = FetchTexel(t, c, tx + 1, ty + 1);
          }
          texel = Bilinear(t00, t10, t01, t11, fx, fy);
        } else {
          texel = FetchTexel(t, c, ui >> 8, vi >> 8);
        }
        const int ta = static_cast<int>(texel >> 24), tr = (texel >> 16) & 255, tg = (texel >> 8) & 255,
                  tb = texel & 255;
        if (texBlend == kTexBlendDecal) {
          r = tr;
          g = tg;
          b = tb;
          a = ta;
        } else {
          r = Div255(tr * r);
          g = Div255(tg * g);
          b = Div255(tb * b);
          if (texBlend == kTexBlendModulateAlpha) a = Div255(ta * a);
          else if (t.hasAlpha && texBlend != kTexBlendModulateColor) a = ta;
        }
        if (second) {
          // Exact per pixel: light-mapped triangles are few.
          const float iw = w != 0.0f ? 1.0f / w : 0.0f;
          const std::uint32_t l = FetchTexel2(c, TexFixed(u2w * iw) >> 8, TexFixed(v2w * iw) >> 8);
          r = std::min(255, r + static_cast<int>((l >> 16) & 255));
          g = std::min(255, g + static_cast<int>((l >> 8) & 255));
          b = std::min(255, b + static_cast<int>(l & 255));
        }
      }
      if (specular) {
        r = std::min(255, r + (sr >> 16));
        g = std::min(255, g + (sg >> 16));
        b = std::min(255, b + (sb >> 16));
      }
      if (fog) {
        const int f = sa >> 16, nf = 255 - f;
        r = Div255(r * f + c.fogR * nf);
        g = Div255(g * f + c.fogG * nf);
        b = Div255(b * f + c.fogB * nf);
      }
      std::uint8_t* px = row + x * kBytes;
      if constexpr (kBlend) {
        std::uint32_t old = 0;
        if constexpr (kBytes == 2) {
          std::uint16_t o;
          std::memcpy(&o, px, 2);
          old = o;
        } else {
          std::memcpy(&old, px, 4);
        }
        const int or_ = pk.expand[0][(old & pk.mask[0]) >> pk.pos[0]];
        const int og = pk.expand[1][(old & pk.mask[1]) >> pk.pos[1]];
        const int ob = pk.expand[2][(old & pk.mask[2]) >> pk.pos[2]];
        if (st.srcBlend == kBlendSrcAlpha && st.destBlend == kBlendInvSrcAlpha) {
          const int na = 255 - a;
          r = Div255(r * a + or_ * na);
          g = Div255(g * a + og * na);
          b = Div255(b * a + ob * na);
        } else {
          r = std::min(255, Div255(r * BlendFactor(st.srcBlend, r, a)) + Div255(or_ * BlendFactor(st.destBlend, r, a)));
          g = std::min(255, Div255(g * BlendFactor(st.srcBlend, g, a)) + Div255(og * BlendFactor(st.destBlend, g, a)));
          b = std::min(255, Div255(b * BlendFactor(st.srcBlend, b, a)) + Div255(ob * BlendFactor(st.destBlend, b, a)));
        }
      }
      if (dither) {
        const std::uint8_t* d = pk.dither[y & 3][x & 3];
        r = std::min(255, r + d[0]);
        g = std::min(255, g + d[1]);
        b = std::min(255, b + d[2]);
      }
      std::uint32_t out;
      if constexpr (kFmt == kFmt565) {
        out = (static_cast<std::uint32_t>(r) >> 3) << 11 | (static_cast<std::uint32_t>(g) >> 2) << 5 |
              static_cast<std::uint32_t>(b) >> 3;
      } else {
        out = (static_cast<std::uint32_t>(r) >> pk.down[0]) << pk.pos[0] |
              (static_cast<std::uint32_t>(g) >> pk.down[1]) << pk.pos[1] |
              (static_cast<std::uint32_t>(b) >> pk.down[2]) << pk.pos[2];
        if (pk.mask[3]) out |= ((static_cast<std::uint32_t>(a) >> pk.down[3]) << pk.pos[3]) & pk.mask[3];
      }
      if constexpr (kBytes == 2) {
        const std::uint16_t o16 = static_cast<std::uint16_t>(out);
        std::memcpy(px, &o16, 2);
      } else {
        std::memcpy(px, &out, 4);
      }
      if constexpr (kZ != kZNone) {
        if (zWrite) zrow[x] = w;
      }
    }
    u0 = u1;
    v0 = v1;
  }
}

using SpanFn = void (*)(const SpanContext&, std::uint8_t*, float*, int, int, int, const SpanStart&);

#ifdef __SSE2__
// The state nearly every room triangle is drawn in, without the general
// loop's per-pixel tests of state: a tiled texture modulated by the diffuse
// colour into 5-6-5, nothing blended, keyed, fogged or added, the depth
// tested less-or-equal or not at all. The arithmetic is the general loop's
// own, step for step, with the colour work in 16-bit lanes.
enum { kZOff = 0, kZTestOnly = 1, kZTestWrite = 2 };

template <bool kBilinear, int kZMode, bool kSpecular, bool kDither>
void DrawSpanTiled565(const SpanContext& c, std::uint8_t* row, float* zrow, int y, int xs, int xe, const SpanStart& s0) {
  const RasterTexture& t = *c.tex;
  const std::uint32_t* texels = t.argb;
  const std::uint32_t maskW = static_cast<std::uint32_t>(c.texMaskW), maskH = static_cast<std::uint32_t>(c.texMaskH);
  const std::uint32_t tileRowTexels = static_cast<std::uint32_t>(t.width >> 2) << 4;
  float w = s0.w, uw = s0.uw, vw = s0.vw;
  const float dw = s0.dw;
  __m128i dif = _mm_setr_epi32(s0.dif[2], s0.dif[1], s0.dif[0], s0.dif[3]);
  const __m128i ddif = _mm_setr_epi32(s0.ddif[2], s0.ddif[1], s0.ddif[0], s0.ddif[3]);
  __m128i spc = _mm_setr_epi32(s0.spc[2], s0.spc[1], s0.spc[0], s0.spc[3]);
  const __m128i dspc = _mm_setr_epi32(s0.dspc[2], s0.dspc[1], s0.dspc[0], s0.dspc[3]);
  const __m128i k128 = _mm_set1_epi16(128), k255 = _mm_set1_epi16(255);
  const __m128i kKeep565 = _mm_setr_epi16(0xF8, 0xFC, 0xF8, 0, 0, 0, 0, 0);
  const __m128i kPlace565 = _mm_setr_epi16(1, 64, 2048, 0, 0, 0, 0, 0);
  const std::int16_t(*ditherAt)[8] = c.pk->ditherLanes[y & 3];
  auto* out16 = reinterpret_cast<std::uint16_t*>(row);

  float iw = 1.0f / w;
  int u0 = TexFixed(uw * iw), v0 = TexFixed(vw * iw);
  int x = xs;
  while (x < xe) {
    const int n = std::min(kPerspectiveStep, xe - x);
    const float fn = static_cast<float>(n);
    uw += s0.duw * fn;
    vw += s0.dvw * fn;
    iw = 1.0f / (w + dw * fn);
    const int u1 = TexFixed(uw * iw), v1 = TexFixed(vw * iw);
    // Coordinates stay within +-kTexLimit * 256, so their differences fit 32 bits; whole
    // segments divide by a constant, which needs no division instruction.
    const int spanU = u1 - u0, spanV = v1 - v0;
    const int du = n == kPerspectiveStep ? spanU / kPerspectiveStep : spanU / n;
    const int dv = n == kPerspectiveStep ? spanV / kPerspectiveStep : spanV / n;
    int ui = u0, vi = v0;
    for (const int end = x + n; x < end;
         ++x, w += dw, ui += du, vi += dv, dif = _mm_add_epi32(dif, ddif), spc = kSpecular ? _mm_add_epi32(spc, dspc) : spc) {
      if constexpr (kZMode != kZOff) {
        if (!(w >= zrow[x])) continue;
      }
      __m128i texel;
      if constexpr (kBilinear) {
        const int us = ui - 128, vs = vi - 128;
        const int tx = us >> 8, ty = vs >> 8;
        // Unsigned 32-bit index parts (a texture has far fewer texels): a row of
        // tiles plus the row in the tile, a tile plus the column in it.
        const std::uint32_t x0 = static_cast<std::uint32_t>(tx) & maskW, x1 = static_cast<std::uint32_t>(tx + 1) & maskW;
        const std::uint32_t y0 = static_cast<std::uint32_t>(ty) & maskH, y1 = static_cast<std::uint32_t>(ty + 1) & maskH;
        const std::uint32_t r0 = (y0 >> 2) * tileRowTexels | (y0 & 3u) << 2, r1 = (y1 >> 2) * tileRowTexels | (y1 & 3u) << 2;
        const std::uint32_t c0 = (x0 & ~3u) << 2 | (x0 & 3u), c1 = (x1 & ~3u) << 2 | (x1 & 3u);
        texel = Bilinear16(texels[r0 + c0], texels[r0 + c1], texels[r1 + c0], texels[r1 + c1],
                           static_cast<std::uint32_t>(us & 255), static_cast<std::uint32_t>(vs & 255));
      } else {
        const std::uint32_t tx = static_cast<std::uint32_t>(ui >> 8) & maskW, ty = static_cast<std::uint32_t>(vi >> 8) & maskH;
        texel = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(texels[(ty >> 2) * tileRowTexels | (ty & 3u) << 2 | (tx & ~3u) << 2 | (tx & 3u)])),
                                  _mm_setzero_si128());
      }
      // Texel times diffuse, divided by 255 rounded (exact in 16 bits for 0..255 * 255).
      const __m128i colour16 = _mm_packs_epi32(_mm_srai_epi32(dif, 16), _mm_srai_epi32(spc, 16));
      __m128i m = _mm_add_epi16(_mm_mullo_epi16(texel, colour16), k128);
      m = _mm_srli_epi16(_mm_add_epi16(m, _mm_srli_epi16(m, 8)), 8);
      if constexpr (kSpecular) m = _mm_min_epi16(_mm_add_epi16(m, _mm_srli_si128(colour16, 8)), k255);
      if constexpr (kDither)
        m = _mm_min_epi16(_mm_add_epi16(m, _mm_loadu_si128(reinterpret_cast<const __m128i*>(ditherAt[x & 3]))), k255);
      // 5-6-5 in one multiply-add: b + (g << 6) and r << 11 of the kept bits, summed, shifted down 3.
      const __m128i kept = _mm_madd_epi16(_mm_and_si128(m, kKeep565), kPlace565);
      const __m128i sum = _mm_add_epi32(kept, _mm_srli_si128(kept, 4));
      out16[x] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum)) >> 3);
      if constexpr (kZMode == kZTestWrite) zrow[x] = w;
    }
    u0 = u1;
    v0 = v1;
  }
}
#endif

template <bool kTex, bool kBilinear, int kFmt>
SpanFn PickZ(int z, bool blend) {
  switch (z) {
    case kZLessEqual:
      return blend ? DrawSpan<kTex, kBilinear, kZLessEqual, true, kFmt> : DrawSpan<kTex, kBilinear, kZLessEqual, false, kFmt>;
    case kZAny:
      return blend ? DrawSpan<kTex, kBilinear, kZAny, true, kFmt> : DrawSpan<kTex, kBilinear, kZAny, false, kFmt>;
    default:
      return blend ? DrawSpan<kTex, kBilinear, kZNone, true, kFmt> : DrawSpan<kTex, kBilinear, kZNone, false, kFmt>;
  }
}

template <int kFmt>
SpanFn PickSpan(bool tex, bool bilinear, int z, bool blend) {
  if (!tex) return PickZ<false, false, kFmt>(z, blend);
  return bilinear ? PickZ<true, true, kFmt>(z, blend) : PickZ<true, false, kFmt>(z, blend);
}

#ifdef __SSE2__
template <bool kBilinear, int kZMode>
SpanFn PickTiled565Shading(bool specular, bool dither) {
  if (specular) return dither ? DrawSpanTiled565<kBilinear, kZMode, true, true> : DrawSpanTiled565<kBilinear, kZMode, true, false>;
  return dither ? DrawSpanTiled565<kBilinear, kZMode, false, true> : DrawSpanTiled565<kBilinear, kZMode, false, false>;
}

template <bool kBilinear>
SpanFn PickTiled565Depth(int zMode, bool specular, bool dither) {
  switch (zMode) {
    case kZTestWrite: return PickTiled565Shading<kBilinear, kZTestWrite>(specular, dither);
    case kZTestOnly: return PickTiled565Shading<kBilinear, kZTestOnly>(specular, dither);
    default: return PickTiled565Shading<kBilinear, kZOff>(specular, dither);
  }
}

SpanFn PickTiled565(bool bilinear, int zMode, bool specular, bool dither) {
  return bilinear ? PickTiled565Depth<true>(zMode, specular, dither) : PickTiled565Depth<false>(zMode, specular, dither);
}
#endif

// Everything a primitive needs that does not change from pixel to pixel.
struct Prepared {
  Rect clip;
  SpanContext ctx;
  SpanFn span;
  bool textured;
  float texW, texH;
  float tex2W, tex2H;
  bool tex2Second;
};

bool Prepare(const RasterTarget& t, const RasterState& st, Prepared& p) {
  if (!t.bits || t.width <= 0 || t.height <= 0) return false;
  if (t.format.bitsPerPixel != 16 && t.format.bitsPerPixel != 32) return false;
  p.clip = Intersect(t.clip, Rect{0, 0, t.width, t.height});
  if (p.clip.Empty()) return false;
  const RasterTexture* tex = st.texture;
  if (tex && (!tex->argb || tex->width <= 0 || tex->height <= 0 || (st.colorKey && tex->keyed && !tex->raw)))
    tex = nullptr;
  p.textured = tex != nullptr;
  p.ctx.st = &st;
  p.ctx.pk = &PackFor(t.format);
  p.ctx.tex = tex;
  p.ctx.pow2 = tex && (tex->width & (tex->width - 1)) == 0 && (tex->height & (tex->height - 1)) == 0;
  p.ctx.texMaskW = tex ? tex->width - 1 : 0;
  p.ctx.texMaskH = tex ? tex->height - 1 : 0;
  p.ctx.fogR = (st.fogColor >> 16) & 255;
  p.ctx.fogG = (st.fogColor >> 8) & 255;
  p.ctx.fogB = st.fogColor & 255;
  p.texW = tex ? static_cast<float>(tex->width) : 0.0f;
  p.texH = tex ? static_cast<float>(tex->height) : 0.0f;
  const RasterTexture* tex2 = st.texture2;
  if (!tex || (tex2 && (!tex2->argb || tex2->width <= 0 || tex2->height <= 0))) tex2 = nullptr;
  p.ctx.tex2 = tex2;
  p.ctx.tex2Pow2 = tex2 && (tex2->width & (tex2->width - 1)) == 0 && (tex2->height & (tex2->height - 1)) == 0;
  p.ctx.tex2MaskW = tex2 ? tex2->width - 1 : 0;
  p.ctx.tex2MaskH = tex2 ? tex2->height - 1 : 0;
  p.tex2W = tex2 ? static_cast<float>(tex2->width) : 0.0f;
  p.tex2H = tex2 ? static_cast<float>(tex2->height) : 0.0f;
  p.tex2Second = st.texture2Second;
  const int z = !(st.zTest && t.depth) ? kZNone : st.zFunc == kCmpLessEqual ? kZLessEqual : kZAny;
#ifdef __SSE2__
  if (tex && tex->tiled && p.ctx.pow2 && !tex2 && z != kZAny && !st.blend && !st.fog && !(st.colorKey && tex->keyed) &&
      st.texBlend != kTexBlendDecal && t.format == Format565()) {
    p.span = PickTiled565(st.bilinear, z == kZNone ? kZOff : st.zWrite ? kZTestWrite : kZTestOnly, st.specular, st.dither);
    return true;
  }
#endif
  if (t.format.bitsPerPixel == 32) p.span = PickSpan<kFmt32>(p.textured, st.bilinear, z, st.blend);
  else if (t.format == Format565()) p.span = PickSpan<kFmt565>(p.textured, st.bilinear, z, st.blend);
  else p.span = PickSpan<kFmt16>(p.textured, st.bilinear, z, st.blend);
  return true;
}

// Interpolated quantities, all affine in screen space.
enum { kW, kUW, kVW, kU2W, kV2W, kDR, kDG, kDB, kDA, kSR, kSG, kSB, kSA, kAttrCount };

void Attributes(const TLVertex& v, const Prepared& p, float out[kAttrCount]) {
  out[kW] = v.rhw;
  out[kUW] = p.textured ? v.tu * p.texW * v.rhw : 0.0f;
  out[kVW] = p.textured ? v.tv * p.texH * v.rhw : 0.0f;
  out[kU2W] = (p.tex2Second ? v.tu2 : v.tu) * p.tex2W * v.rhw;
  out[kV2W] = (p.tex2Second ? v.tv2 : v.tv) * p.tex2H * v.rhw;
  out[kDR] = static_cast<float>((v.color >> 16) & 255);
  out[kDG] = static_cast<float>((v.color >> 8) & 255);
  out[kDB] = static_cast<float>(v.color & 255);
  out[kDA] = static_cast<float>(v.color >> 24);
  out[kSR] = static_cast<float>((v.specular >> 16) & 255);
  out[kSG] = static_cast<float>((v.specular >> 8) & 255);
  out[kSB] = static_cast<float>(v.specular & 255);
  out[kSA] = static_cast<float>(v.specular >> 24);
}

bool Finite(const TLVertex& v) {
  return std::isfinite(v.sx) && std::isfinite(v.sy) && std::isfinite(v.sz) && std::isfinite(v.rhw) &&
         std::isfinite(v.tu) && std::isfinite(v.tv);
}

inline std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {  // d > 0
  return n >= 0 ? n / d : -((-n + d - 1) / d);
}
inline std::int64_t CeilDiv(std::int64_t n, std::int64_t d) { return -FloorDiv(-n, d); }

inline std::int32_t ToFixed(float v) { return static_cast<std::int32_t>(std::lrint(v * 16.0f)); }

[[maybe_unused]] inline int ClampColor16(float v) {
  v = std::clamp(v, 0.0f, 255.0f);
  return static_cast<int>(v * 65536.0f);
}

// Fills one span from the attribute planes.
void EmitSpan(const RasterTarget& t, const Prepared& p, int y, int xs, int xe, float x0, float y0,
              const float a0[kAttrCount], const float dx[kAttrCount], const float dy[kAttrCount]) {
  const float fx = static_cast<float>(xs) - x0, fy = static_cast<float>(y) - y0;
  const int n = xe - xs;
  SpanStart s;
  s.w = a0[kW] + dx[kW] * fx + dy[kW] * fy;
  s.dw = dx[kW];
  s.uw = a0[kUW] + dx[kUW] * fx + dy[kUW] * fy;
  s.duw = dx[kUW];
  s.vw = a0[kVW] + dx[kVW] * fx + dy[kVW] * fy;
  s.dvw = dx[kVW];
  if (p.ctx.tex2) {
    s.u2w = a0[kU2W] + dx[kU2W] * fx + dy[kU2W] * fy;
    s.du2w = dx[kU2W];
    s.v2w = a0[kV2W] + dx[kV2W] * fx + dy[kV2W] * fy;
    s.dv2w = dx[kV2W];
  } else {
    s.u2w = s.du2w = s.v2w = s.dv2w = 0.0f;  // no second texture reads them
  }
  // Colours are clamped at both ends of the span and stepped between them,
  // so rounding at the triangle's edges never leaves 0..255.
  const float fxe = fx + static_cast<float>(n - 1);
  const float inv = n > 1 ? 1.0f / static_cast<float>(n - 1) : 0.0f;
#ifdef __SSE2__
  // Four channels at once, each lane the same operations in the same order
  // as one channel alone (the values are always finite).
  const __m128 vfx = _mm_set1_ps(fx), vfxe = _mm_set1_ps(fxe), vfy = _mm_set1_ps(fy), vinv = _mm_set1_ps(inv);
  const __m128 lo = _mm_setzero_ps(), hi = _mm_set1_ps(255.0f), scale = _mm_set1_ps(65536.0f);
  auto plane = [&](int k, int* start, int* step) {
    const __m128 a = _mm_loadu_ps(a0 + k), ddx = _mm_loadu_ps(dx + k);
    const __m128 rowPart = _mm_mul_ps(_mm_loadu_ps(dy + k), vfy);
    const __m128 vs = _mm_add_ps(_mm_add_ps(a, _mm_mul_ps(ddx, vfx)), rowPart);
    const __m128 ve = _mm_add_ps(_mm_add_ps(a, _mm_mul_ps(ddx, vfxe)), rowPart);
    const __m128i is = _mm_cvttps_epi32(_mm_mul_ps(_mm_min_ps(_mm_max_ps(vs, lo), hi), scale));
    const __m128i ie = _mm_cvttps_epi32(_mm_mul_ps(_mm_min_ps(_mm_max_ps(ve, lo), hi), scale));
    // Truncated toward the start, so the last pixel never passes the end value.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(start), is);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(step), _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(_mm_sub_epi32(ie, is)), vinv)));
  };
  plane(kDR, s.dif, s.ddif);
  plane(kSR, s.spc, s.dspc);
#else
  for (int c = 0; c < 4; ++c) {
    const int ks = kDR + c, kp = kSR + c;
    const int ds = ClampColor16(a0[ks] + dx[ks] * fx + dy[ks] * fy);
    const int de = ClampColor16(a0[ks] + dx[ks] * fxe + dy[ks] * fy);
    const int ss = ClampColor16(a0[kp] + dx[kp] * fx + dy[kp] * fy);
    const int se = ClampColor16(a0[kp] + dx[kp] * fxe + dy[kp] * fy);
    s.dif[c] = ds;
    s.spc[c] = ss;
    // Truncated toward the start, so the last pixel never passes the end value.
    s.ddif[c] = static_cast<int>(static_cast<float>(de - ds) * inv);
    s.dspc[c] = static_cast<int>(static_cast<float>(se - ss) * inv);
  }
#endif
  std::uint8_t* row = t.bits + static_cast<std::ptrdiff_t>(y) * t.pitch;
  float* zrow = t.depth ? t.depth + static_cast<std::ptrdiff_t>(y) * t.depthPitch : nullptr;
  p.span(p.ctx, row, zrow, y, xs, xe, s);
}

// The first pixel on or right of an edge, scanline by scanline: exact
// integer stepping of ceil(N / M) with N growing by S each scanline.
struct EdgeWalk {
  std::int64_t x = 0, e = 0, q = 0, rem = 0, m = 1;
  void Start(std::int64_t xa, std::int64_t ya, std::int64_t xb, std::int64_t yb, int y) {
    const std::int64_t d = yb - ya;
    if (d <= 0) {
      x = xa >= 0 ? (xa + 15) / 16 : -((-xa) / 16);
      e = q = rem = 0;
      m = 1;
      return;
    }
    m = 16 * d;
    const std::int64_t n = xa * d + (static_cast<std::int64_t>(y) * 16 - ya) * (xb - xa);
    x = CeilDiv(n, m);
    e = n - x * m;  // in (-m, 0]
    const std::int64_t s = 16 * (xb - xa);
    q = FloorDiv(s, m);
    rem = s - q * m;  // in [0, m)
  }
  void Step() {
    x += q;
    e += rem;
    if (e > 0) {
      ++x;
      e -= m;
    }
  }
};

void ScanTriangle(const RasterTarget& t, const Prepared& p, const RasterState& st, const TLVertex* v[3]) {
  std::int64_t X[3], Y[3];
  for (int i = 0; i < 3; ++i) {
    X[i] = ToFixed(v[i]->sx);
    Y[i] = ToFixed(v[i]->sy);
  }
  const std::int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if (area == 0) return;
  // On the screen (y down) a positive area runs clockwise.
  if (st.cullMode == kCullClockwise && area > 0) return;
  if (st.cullMode == kCullCounterClockwise && area < 0) return;

  float attr[3][kAttrCount];
  for (int i = 0; i < 3; ++i) Attributes(*v[i], p, attr[i]);
  if (!st.gouraud) {
    for (int i = 1; i < 3; ++i)
      for (int k = kDR; k < kAttrCount; ++k) attr[i][k] = attr[0][k];
  }
  const float xf[3] = {X[0] / 16.0f, X[1] / 16.0f, X[2] / 16.0f};
  const float yf[3] = {Y[0] / 16.0f, Y[1] / 16.0f, Y[2] / 16.0f};
  const float det = static_cast<float>(area) / 256.0f;
  const float inv = 1.0f / det;
  float dx[kAttrCount], dy[kAttrCount];
  for (int k = 0; k < kAttrCount; ++k) {
    const float d1 = attr[1][k] - attr[0][k], d2 = attr[2][k] - attr[0][k];
    dx[k] = (d1 * (yf[2] - yf[0]) - d2 * (yf[1] - yf[0])) * inv;
    dy[k] = (d2 * (xf[1] - xf[0]) - d1 * (xf[2] - xf[0])) * inv;
  }

  // A texture the triangle shrinks is sampled from the halved copy whose
  // texels come closest to one per pixel (not for colour-keyed drawing,
  // whose key is a property of the full-size texels).
  Prepared level = p;
  RasterTexture smaller;
  const Prepared* use = &p;
  const RasterTexture* tex = p.ctx.tex;
  if (p.textured && tex->levelCount > 1 && tex->tiled && !(st.colorKey && tex->keyed)) {
    const float cx = (xf[0] + xf[1] + xf[2]) / 3.0f, cy = (yf[0] + yf[1] + yf[2]) / 3.0f;
    auto at = [&](int k) { return attr[0][k] + dx[k] * (cx - xf[0]) + dy[k] * (cy - yf[0]); };
    const float w = at(kW);
    if (w > 0.0f) {
      const float cu = at(kUW) / w, cv = at(kVW) / w;
      const float dudx = (dx[kUW] - cu * dx[kW]) / w, dvdx = (dx[kVW] - cv * dx[kW]) / w;
      const float dudy = (dy[kUW] - cu * dy[kW]) / w, dvdy = (dy[kVW] - cv * dy[kW]) / w;
      const float rho2 = std::max(dudx * dudx + dvdx * dvdx, dudy * dudy + dvdy * dvdy);
      int lod = 0;
      for (float r = rho2; r >= 4.0f && lod + 1 < tex->levelCount; r *= 0.25f) ++lod;
      if (lod > 0) {
        smaller = *tex;
        smaller.argb = tex->levels[lod];
        smaller.width = tex->width >> lod;
        smaller.height = tex->height >> lod;
        level.ctx.tex = &smaller;
        level.ctx.texMaskW = smaller.width - 1;
        level.ctx.texMaskH = smaller.height - 1;
        const float scale = 1.0f / static_cast<float>(1 << lod);
        for (int i = 0; i < 3; ++i) {
          attr[i][kUW] *= scale;
          attr[i][kVW] *= scale;
        }
        dx[kUW] *= scale;
        dx[kVW] *= scale;
        dy[kUW] *= scale;
        dy[kVW] *= scale;
        use = &level;
      }
    }
  }

  // Sort by y for the edge walk.
  int o[3] = {0, 1, 2};
  if (Y[o[1]] < Y[o[0]]) std::swap(o[0], o[1]);
  if (Y[o[2]] < Y[o[1]]) std::swap(o[1], o[2]);
  if (Y[o[1]] < Y[o[0]]) std::swap(o[0], o[1]);
  const std::int64_t X0 = X[o[0]], Y0 = Y[o[0]], X1 = X[o[1]], Y1 = Y[o[1]], X2 = X[o[2]], Y2 = Y[o[2]];
  if (Y2 == Y0) return;
  const bool longLeft = (X1 - X0) * (Y2 - Y0) - (X2 - X0) * (Y1 - Y0) > 0;

  const int yStart = static_cast<int>(std::max<std::int64_t>(CeilDiv(Y0, 16), p.clip.top));
  const int yEnd = static_cast<int>(std::min<std::int64_t>(CeilDiv(Y2, 16), p.clip.bottom));
  if (yStart >= yEnd) return;
  EdgeWalk longEdge, shortEdge;
  longEdge.Start(X0, Y0, X2, Y2, yStart);
  bool upper = static_cast<std::int64_t>(yStart) * 16 < Y1;
  if (upper) shortEdge.Start(X0, Y0, X1, Y1, yStart);
  else shortEdge.Start(X1, Y1, X2, Y2, yStart);
  for (int y = yStart; y < yEnd; ++y, longEdge.Step(), shortEdge.Step()) {
    if (upper && static_cast<std::int64_t>(y) * 16 >= Y1) {
      upper = false;
      shortEdge.Start(X1, Y1, X2, Y2, y);
    }
    const std::int64_t xl = longEdge.x, xs = shortEdge.x;
    std::int64_t left = longLeft ? xl : xs, right = longLeft ? xs : xl;
    left = std::max<std::int64_t>(left, p.clip.left);
    right = std::min<std::int64_t>(right, p.clip.right);
    if (left >= right) continue;
    EmitSpan(t, *use, y, static_cast<int>(left), static_cast<int>(right), xf[0], yf[0], attr[0], dx, dy);
  }
}

// A point of edge a-b at parameter s (finite), interpolated as the rasterizer
// does (affine in screen space, texture coordinates through 1/z). Untextured
// drawing reads no texture coordinates, so they are left out for it.
TLVertex LerpScreen(const TLVertex& a, const TLVertex& b, float s, bool withTexture = true) {
  TLVertex r;
  r.sx = a.sx + (b.sx - a.sx) * s;
  r.sy = a.sy + (b.sy - a.sy) * s;
  r.sz = a.sz + (b.sz - a.sz) * s;
  r.rhw = a.rhw + (b.rhw - a.rhw) * s;
  auto mix = [s](std::uint32_t ca, std::uint32_t cb) {
    if (ca == cb) return ca;  // what the sums below give for equal ends
    std::uint32_t out = 0;
    for (int sh = 0; sh < 32; sh += 8) {
      const float fa = static_cast<float>((ca >> sh) & 255), fb = static_cast<float>((cb >> sh) & 255);
      const int c = std::clamp(static_cast<int>(std::lrint(fa + (fb - fa) * s)), 0, 255);
      out |= static_cast<std::uint32_t>(c) << sh;
    }
    return out;
  };
  r.color = mix(a.color, b.color);
  r.specular = mix(a.specular, b.specular);
  if (!withTexture) return r;
  const float uw = a.tu * a.rhw + (b.tu * b.rhw - a.tu * a.rhw) * s;
  const float vw = a.tv * a.rhw + (b.tv * b.rhw - a.tv * a.rhw) * s;
  r.tu = r.rhw != 0.0f ? uw / r.rhw : a.tu;
  r.tv = r.rhw != 0.0f ? vw / r.rhw : a.tv;
  const float u2w = a.tu2 * a.rhw + (b.tu2 * b.rhw - a.tu2 * a.rhw) * s;
  const float v2w = a.tv2 * a.rhw + (b.tv2 * b.rhw - a.tv2 * a.rhw) * s;
  r.tu2 = r.rhw != 0.0f ? u2w / r.rhw : a.tu2;
  r.tv2 = r.rhw != 0.0f ? v2w / r.rhw : a.tv2;
  return r;
}

// Cuts a polygon to a rectangle (Sutherland-Hodgman); returns the new count.
int ClipPolygon(TLVertex* poly, int n, TLVertex* scratch, float left, float top, float right, float bottom) {
  TLVertex* in = poly;
  TLVertex* out = scratch;
  for (int edge = 0; edge < 4 && n > 0; ++edge) {
    auto dist = [edge, left, top, right, bottom](const TLVertex& v) {
      switch (edge) {
        case 0: return v.sx - left;
        case 1: return right - v.sx;
        case 2: return v.sy - top;
        default: return bottom - v.sy;
      }
    };
    int m = 0;
    for (int i = 0; i < n; ++i) {
      const TLVertex& a = in[i];
      const TLVertex& b = in[(i + 1) % n];
      const float da = dist(a), db = dist(b);
      if (da >= 0) out[m++] = a;
      if ((da >= 0) != (db >= 0)) out[m++] = LerpScreen(a, b, da / (da - db));
    }
    std::swap(in, out);
    n = m;
  }
  if (in != poly)
    for (int i = 0; i < n; ++i) poly[i] = in[i];
  return n;
}

bool InsideGuard(const TLVertex& v) {
  return std::fabs(v.sx) <= kGuardBand && std::fabs(v.sy) <= kGuardBand;
}

// One pixel of a line or point: a span of one pixel whose start is the
// vertex's own attributes, as EmitSpan gives them with no slopes (each plane
// value plus nothing, which turns a -0 into +0; colours whole levels).
void ShadeOne(const RasterTarget& t, const Prepared& p, int x, int y, const TLVertex& v) {
  if (x < p.clip.left || x >= p.clip.right || y < p.clip.top || y >= p.clip.bottom) return;
  SpanStart s{};
  s.w = v.rhw + 0.0f;
  if (p.textured) {
    s.uw = v.tu * p.texW * v.rhw + 0.0f;
    s.vw = v.tv * p.texH * v.rhw + 0.0f;
  }
  if (p.ctx.tex2) {
    s.u2w = (p.tex2Second ? v.tu2 : v.tu) * p.tex2W * v.rhw + 0.0f;
    s.v2w = (p.tex2Second ? v.tv2 : v.tv) * p.tex2H * v.rhw + 0.0f;
  }
  for (int c = 0; c < 4; ++c) {
    static constexpr int kShift[4] = {16, 8, 0, 24};  // r, g, b, a
    s.dif[c] = static_cast<int>((v.color >> kShift[c]) & 255) << 16;
    s.spc[c] = static_cast<int>((v.specular >> kShift[c]) & 255) << 16;
  }
  std::uint8_t* row = t.bits + static_cast<std::ptrdiff_t>(y) * t.pitch;
  float* zrow = t.depth ? t.depth + static_cast<std::ptrdiff_t>(y) * t.depthPitch : nullptr;
  p.span(p.ctx, row, zrow, y, x, x + 1, s);
}

void LineImpl(const RasterTarget& t, const Prepared& p, const RasterState& st, TLVertex a, TLVertex b) {
  // Liang-Barsky against the pixel area of the clip rectangle, in double so
  // that any finite ends work.
  const double x0 = a.sx, y0 = a.sy, ddx = static_cast<double>(b.sx) - a.sx, ddy = static_cast<double>(b.sy) - a.sy;
  double t0 = 0.0, t1 = 1.0;
  const double lo[2] = {p.clip.left - 0.5, p.clip.top - 0.5};
  const double hi[2] = {p.clip.right - 0.5, p.clip.bottom - 0.5};
  const double org[2] = {x0, y0}, dir[2] = {ddx, ddy};
  for (int k = 0; k < 2; ++k) {
    if (dir[k] == 0.0) {
      if (org[k] < lo[k] || org[k] >= hi[k]) return;
      continue;
    }
    double ta = (lo[k] - org[k]) / dir[k], tb = (hi[k] - org[k]) / dir[k];
    if (ta > tb) std::swap(ta, tb);
    t0 = std::max(t0, ta);
    t1 = std::min(t1, tb);
    if (t0 > t1) return;
  }
  const bool xMajor = std::fabs(ddx) >= std::fabs(ddy);
  const double major0 = xMajor ? x0 : y0, majorD = xMajor ? ddx : ddy;
  if (majorD == 0.0) return;
  const int startAll = PixelOf(major0);
  const int endAll = PixelOf(major0 + majorD);  // not drawn
  const int step = majorD > 0 ? 1 : -1;
  // Only the part inside the clip rectangle is walked.
  int from = PixelOf(major0 + majorD * t0);
  int to = PixelOf(major0 + majorD * t1);
  if (step > 0) {
    from = std::max(from - 1, startAll);
    to = std::min(to + 1, endAll - 1);
  } else {
    from = std::min(from + 1, startAll);
    to = std::max(to - 1, endAll + 1);
  }
  if (static_cast<long long>(to - from) * step < 0) return;
  if (!st.gouraud) b.color = a.color, b.specular = a.specular;
  for (int m = from;; m += step) {
    const double s = std::clamp((static_cast<double>(m) - major0) / majorD, 0.0, 1.0);
    const TLVertex v = LerpScreen(a, b, static_cast<float>(s), p.textured);
    const int x = xMajor ? m : PixelOf(x0 + ddx * s);
    const int y = xMajor ? PixelOf(y0 + ddy * s) : m;
    ShadeOne(t, p, x, y, v);
    if (m == to) break;
  }
}

}  // namespace

RasterState MakeRasterState(const RenderStates& s, const RasterTexture* texture, bool hasDepth) {
  RasterState r;
  r.texture = texture;
  r.gouraud = s[kRsShadeMode] != kShadeFlat;
  r.bilinear = s[kRsTextureMag] == kFilterLinear || s[kRsTextureMin] == kFilterLinear;
  r.zTest = hasDepth && s[kRsZEnable] != 0;
  r.zWrite = r.zTest && s[kRsZWriteEnable] != 0;
  r.blend = s[kRsAlphaBlendEnable] != 0 && !(s[kRsSrcBlend] == kBlendOne && s[kRsDestBlend] == kBlendZero);
  r.specular = s[kRsSpecularEnable] != 0;
  r.fog = s[kRsFogEnable] != 0;
  r.colorKey = s[kRsColorKeyEnable] != 0;
  r.dither = s[kRsDitherEnable] != 0;
  r.zFunc = s[kRsZFunc];
  r.srcBlend = s[kRsSrcBlend];
  r.destBlend = s[kRsDestBlend];
  r.texBlend = s[kRsTextureMapBlend];
  r.fogColor = s[kRsFogColor];
  r.cullMode = s[kRsCullMode];
  r.fillMode = s[kRsFillMode];
  return r;
}

void RasterTriangle(const RasterTarget& t, const RasterState& st, const TLVertex& a, const TLVertex& b,
                    const TLVertex& c) {
  if (!Finite(a) || !Finite(b) || !Finite(c)) return;
  Prepared p;
  if (!Prepare(t, st, p)) return;
  if (st.fillMode == kFillWireframe || st.fillMode == kFillPoint) {
    const TLVertex* v[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
      if (st.fillMode == kFillPoint) RasterPoint(t, st, *v[i]);
      else RasterLine(t, st, *v[i], *v[(i + 1) % 3]);
    }
    return;
  }
  if (InsideGuard(a) && InsideGuard(b) && InsideGuard(c)) {
    const TLVertex* v[3] = {&a, &b, &c};
    ScanTriangle(t, p, st, v);
    return;
  }
  // Far outside: cut to the clip rectangle (with a margin) first, keeping
  // the first vertex's colour for flat shading.
  TLVertex poly[8] = {a, b, c};
  TLVertex scratch[8];
  if (!st.gouraud) {
    poly[1].color = poly[2].color = a.color;
    poly[1].specular = poly[2].specular = a.specular;
  }
  const int n = ClipPolygon(poly, 3, scratch, p.clip.left - 1.0f, p.clip.top - 1.0f, p.clip.right + 1.0f,
                            p.clip.bottom + 1.0f);
  for (int i = 1; i + 1 < n; ++i) {
    const TLVertex* v[3] = {&poly[0], &poly[i], &poly[i + 1]};
    ScanTriangle(t, p, st, v);
  }
}

void RasterLine(const RasterTarget& t, const RasterState& st, const TLVertex& a, const TLVertex& b) {
  if (!Finite(a) || !Finite(b)) return;
  Prepared p;
  if (!Prepare(t, st, p)) return;
  LineImpl(t, p, st, a, b);
}

void RasterPoint(const RasterTarget& t, const RasterState& st, const TLVertex& a) {
  if (!Finite(a)) return;
  Prepared p;
  if (!Prepare(t, st, p)) return;
  ShadeOne(t, p, PixelOf(a.sx), PixelOf(a.sy), a);
}

}  // namespace platform::video
