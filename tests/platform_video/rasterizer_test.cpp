// Pixel tests of the scan converter: coverage, depth, texturing, colour key,
// blending, shading, and that nothing lands outside the target.
#include "platform/video/rasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace pv = platform::video;

namespace {

// A 32-bit target with guard bytes around it, so stray writes show.
class Canvas {
 public:
  Canvas(int w, int h, int bpp = 32) : w_(w), h_(h), bpp_(bpp) {
    pitch_ = w * bpp / 8 + 16;
    mem_.assign(static_cast<std::size_t>(pitch_) * (h + 2 * kGuardRows), kGuard);
    depth_.assign(static_cast<std::size_t>(w) * h, 0.0f);
    for (int y = 0; y < h; ++y) std::memset(Row(y), 0, static_cast<std::size_t>(w) * bpp / 8);
  }
  pv::RasterTarget Target(bool withDepth = false) {
    pv::RasterTarget t;
    t.bits = Row(0);
    t.pitch = pitch_;
    t.width = w_;
    t.height = h_;
    t.format = bpp_ == 32 ? pv::FormatX8888() : pv::Format565();
    t.depth = withDepth ? depth_.data() : nullptr;
    t.depthPitch = w_;
    t.clip = {0, 0, w_, h_};
    return t;
  }
  std::uint32_t At(int x, int y) {
    std::uint32_t v = 0;
    std::memcpy(&v, Row(y) + x * bpp_ / 8, bpp_ / 8);
    return v;
  }
  int Count(std::uint32_t value) {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) n += At(x, y) == value;
    return n;
  }
  int CountNonZero() {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) n += At(x, y) != 0;
    return n;
  }
  bool GuardsIntact() {
    for (std::size_t i = 0; i < mem_.size(); ++i) {
      const std::size_t row = i / pitch_;
      const std::size_t col = i % pitch_;
      const bool inside = row >= kGuardRows && row < kGuardRows + static_cast<std::size_t>(h_) &&
                          col < static_cast<std::size_t>(w_) * bpp_ / 8;
      if (!inside && mem_[i] != kGuard) return false;
    }
    return true;
  }

 private:
  static constexpr int kGuardRows = 4;
  static constexpr std::uint8_t kGuard = 0xA5;
  std::uint8_t* Row(int y) { return mem_.data() + static_cast<std::size_t>(y + kGuardRows) * pitch_; }
  int w_, h_, bpp_, pitch_;
  std::vector<std::uint8_t> mem_;
  std::vector<float> depth_;
};

pv::TLVertex V(float x, float y, std::uint32_t color = 0xFFFFFFFF, float rhw = 1.0f, float u = 0, float v = 0) {
  pv::TLVertex t;
  t.sx = x;
  t.sy = y;
  t.sz = rhw > 0 ? 1.0f / rhw / 65536.0f : 0.0f;
  t.rhw = rhw;
  t.color = color;
  t.specular = 0xFF000000;
  t.tu = u;
  t.tv = v;
  return t;
}

pv::RasterState Plain() {
  pv::RasterState s;
  s.gouraud = true;
  return s;
}

pv::RasterState Additive() {
  pv::RasterState s = Plain();
  s.blend = true;
  s.srcBlend = pv::kBlendOne;
  s.destBlend = pv::kBlendOne;
  return s;
}

}  // namespace

TEST(RasterCoverage, IntegerSquareCoversExactlyItsPixels) {
  Canvas c(8, 8);
  auto t = c.Target();
  auto s = Plain();
  pv::RasterTriangle(t, s, V(1, 1), V(5, 1), V(5, 5));
  pv::RasterTriangle(t, s, V(1, 1), V(5, 5), V(1, 5));
  EXPECT_EQ(c.Count(0xFFFFFF), 16);
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) EXPECT_EQ(c.At(x, y), 0xFFFFFFu) << x << "," << y;
  EXPECT_EQ(c.At(5, 1), 0u);
  EXPECT_EQ(c.At(1, 5), 0u);
}

TEST(RasterCoverage, SharedEdgesAreDrawnOnceWithoutGaps) {
  // A fan of triangles with fractional corners; each adds 1 to blue.
  struct Case {
    float cx, cy, r;
    int n;
  };
  const Case cases[] = {{20.3f, 19.7f, 15.2f, 7}, {16.0f, 16.0f, 12.0f, 4}, {21.5f, 18.25f, 17.9f, 13}};
  for (const Case& k : cases) {
    Canvas c(42, 40);
    auto t = c.Target();
    auto s = Additive();
    std::vector<pv::TLVertex> ring;
    for (int i = 0; i < k.n; ++i) {
      const float a = 0.37f + 6.2831853f * i / k.n;
      ring.push_back(V(k.cx + k.r * std::cos(a), k.cy + k.r * std::sin(a), 0x00000001));
    }
    const pv::TLVertex centre = V(k.cx, k.cy, 0x00000001);
    for (int i = 0; i < k.n; ++i) pv::RasterTriangle(t, s, centre, ring[i], ring[(i + 1) % k.n]);
    EXPECT_EQ(c.Count(2), 0) << "a pixel was drawn twice";
    // Every pixel well inside the polygon is covered.
    const float inner = k.r * std::cos(3.14159265f / k.n) - 1.5f;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 42; ++x) {
        if (std::hypot(x - k.cx, y - k.cy) < inner) {
          EXPECT_EQ(c.At(x, y), 1u) << x << "," << y;
        }
      }
  }
}

TEST(RasterCoverage, OppositeWindingsCoverTheSamePixels) {
  Canvas a(20, 20), b(20, 20);
  auto ta = a.Target();
  auto tb = b.Target();
  pv::RasterTriangle(ta, Plain(), V(2.5f, 3.2f), V(17.1f, 6.6f), V(6.4f, 16.9f));
  pv::RasterTriangle(tb, Plain(), V(2.5f, 3.2f), V(6.4f, 16.9f), V(17.1f, 6.6f));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(a.At(x, y), b.At(x, y));
  EXPECT_GT(a.CountNonZero(), 50);
}

TEST(RasterCoverage, CullModesDropOneWinding) {
  Canvas c(10, 10);
  auto t = c.Target();
  auto s = Plain();
  s.cullMode = pv::kCullCounterClockwise;
  pv::RasterTriangle(t, s, V(0, 0), V(0, 8), V(8, 0));  // anticlockwise on the screen
  EXPECT_EQ(c.CountNonZero(), 0);
  pv::RasterTriangle(t, s, V(0, 0), V(8, 0), V(0, 8));  // clockwise
  EXPECT_GT(c.CountNonZero(), 0);
}

TEST(RasterSafety, NothingIsWrittenOutsideTheTarget) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    pv::TLVertex a, b, c;
  };
  const Case cases[] = {
      {V(-50, -50), V(100, -20), V(30, 90)},
      {V(-1e9f, -1e9f), V(1e9f, 5), V(3, 1e9f)},
      {V(-3e38f, 0), V(3e38f, 0), V(0, 3e38f)},
      {V(5, 5), V(nan, 5), V(5, 9)},
      {V(5, 5), V(inf, 5), V(5, 9)},
      {V(0, 0), V(16, 0), V(0, 12)},
      {V(15.99f, 11.99f), V(16.0f, 0), V(0, 12.0f)},
      {V(1, 1, 0xFFFFFFFF, 1e-30f, 1e30f, -1e30f), V(14, 2, 0xFFFFFFFF, -5.0f, 3, 3), V(3, 11, 0xFFFFFFFF, 0.0f, 0, 0)},
  };
  for (const Case& k : cases) {
    for (bool withTexture : {false, true}) {
      Canvas c(16, 12);
      auto t = c.Target(true);
      t.clip = {-100, -100, 1000, 1000};  // a caller's clip larger than the target
      std::vector<std::uint32_t> texels(4 * 4, 0xFF808080);
      pv::RasterTexture tex;
      tex.argb = texels.data();
      tex.width = 4;
      tex.height = 4;
      auto s = Plain();
      s.zTest = true;
      s.zWrite = true;
      s.zFunc = pv::kCmpAlways;
      s.texture = withTexture ? &tex : nullptr;
      s.bilinear = withTexture;
      pv::RasterTriangle(t, s, k.a, k.b, k.c);
      pv::RasterLine(t, s, k.a, k.b);
      pv::RasterLine(t, s, k.b, k.c);
      pv::RasterPoint(t, s, k.c);
      EXPECT_TRUE(c.GuardsIntact());
    }
  }
}

TEST(RasterSafety, HugeTrianglesStillFillTheTarget) {
  Canvas c(16, 12);
  auto t = c.Target();
  pv::RasterTriangle(t, Plain(), V(-1e7f, -1e7f), V(1e7f, -1e7f), V(0, 1e7f));
  EXPECT_EQ(c.Count(0xFFFFFF), 16 * 12);
  EXPECT_TRUE(c.GuardsIntact());
}

TEST(RasterDepth, NearerPixelsWinWhateverTheOrder) {
  Canvas c(10, 10);
  auto t = c.Target(true);
  auto s = Plain();
  s.zTest = true;
  s.zWrite = true;
  // rhw 1/100 is nearer than 1/1000.
  auto quad = [&](float x0, float y0, float x1, float y1, std::uint32_t color, float rhw) {
    pv::RasterTriangle(t, s, V(x0, y0, color, rhw), V(x1, y0, color, rhw), V(x1, y1, color, rhw));
    pv::RasterTriangle(t, s, V(x0, y0, color, rhw), V(x1, y1, color, rhw), V(x0, y1, color, rhw));
  };
  quad(0, 0, 6, 6, 0xFF0000, 1.0f / 1000);  // far red
  quad(3, 3, 9, 9, 0x0000FF, 1.0f / 100);   // near blue
  quad(0, 0, 10, 10, 0x00FF00, 1.0f / 5000);  // farthest green, last
  EXPECT_EQ(c.At(1, 1), 0xFF0000u);
  EXPECT_EQ(c.At(4, 4), 0x0000FFu);
  EXPECT_EQ(c.At(8, 8), 0x0000FFu);
  EXPECT_EQ(c.At(9, 0), 0x00FF00u);
}

TEST(RasterDepth, WithoutZWriteLaterFacesDoNotOcclude) {
  Canvas c(8, 8);
  auto t = c.Target(true);
  auto s = Plain();
  s.zTest = true;
  s.zWrite = false;
  pv::RasterTriangle(t, s, V(0, 0, 0xFF0000, 0.5f), V(8, 0, 0xFF0000, 0.5f), V(0, 8, 0xFF0000, 0.5f));
  pv::RasterTriangle(t, s, V(0, 0, 0x00FF00, 0.1f), V(8, 0, 0x00FF00, 0.1f), V(0, 8, 0x00FF00, 0.1f));
  EXPECT_EQ(c.At(1, 1), 0x00FF00u);
}

TEST(RasterTexture, PerspectiveCorrectCoordinates) {
  // Ten vertical stripes; the left edge is four times nearer than the right.
  std::vector<std::uint32_t> texels(16 * 1);
  for (int i = 0; i < 16; ++i) texels[i] = 0xFF000000u | static_cast<std::uint32_t>(i);
  pv::RasterTexture tex;
  tex.argb = texels.data();
  tex.width = 16;
  tex.height = 1;
  Canvas c(101, 8);
  auto t = c.Target();
  auto s = Plain();
  s.texture = &tex;
  s.texBlend = pv::kTexBlendDecal;
  const float nearW = 1.0f, farW = 0.25f;
  pv::RasterTriangle(t, s, V(0, 0, 0xFFFFFFFF, nearW, 0, 0), V(100, 0, 0xFFFFFFFF, farW, 1, 0),
                     V(100, 8, 0xFFFFFFFF, farW, 1, 0.99f));
  pv::RasterTriangle(t, s, V(0, 0, 0xFFFFFFFF, nearW, 0, 0), V(100, 8, 0xFFFFFFFF, farW, 1, 0.99f),
                     V(0, 8, 0xFFFFFFFF, nearW, 0, 0.99f));
  // At the middle of the screen u = 0.2 (an affine mapping would give 0.5).
  EXPECT_EQ(c.At(50, 4) & 0xFF, 3u);
  EXPECT_EQ(c.At(1, 4) & 0xFF, 0u);
  EXPECT_EQ(c.At(99, 4) & 0xFF, 15u);
}

TEST(RasterTexture, ColourKeyLeavesKeyedTexelsUndrawn) {
  // 2 x 2 texture: raw 0 (the key) at the top left.
  std::uint32_t texels[4] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  std::uint16_t raw[4] = {0, 0xF800, 0x07E0, 0x001F};
  pv::RasterTexture tex;
  tex.argb = texels;
  tex.raw = reinterpret_cast<const std::uint8_t*>(raw);
  tex.rawPitch = 4;
  tex.rawBytes = 2;
  tex.width = 2;
  tex.height = 2;
  tex.keyed = true;
  for (bool keyOn : {true, false}) {
    Canvas c(8, 8);
    auto t = c.Target();
    auto s = Plain();
    pv::RasterTriangle(t, s, V(0, 0, 0x123456), V(8, 0, 0x123456), V(8, 8, 0x123456));
    pv::RasterTriangle(t, s, V(0, 0, 0x123456), V(8, 8, 0x123456), V(0, 8, 0x123456));
    s.texture = &tex;
    s.colorKey = keyOn;
    s.texBlend = pv::kTexBlendDecal;
    pv::RasterTriangle(t, s, V(0, 0, ~0u, 1, 0, 0), V(8, 0, ~0u, 1, 1, 0), V(8, 8, ~0u, 1, 1, 1));
    pv::RasterTriangle(t, s, V(0, 0, ~0u, 1, 0, 0), V(8, 8, ~0u, 1, 1, 1), V(0, 8, ~0u, 1, 0, 1));
    EXPECT_EQ(c.At(1, 1), keyOn ? 0x123456u : 0u);
    EXPECT_EQ(c.At(6, 1), 0xFF0000u);
    EXPECT_EQ(c.At(1, 6), 0x00FF00u);
    EXPECT_EQ(c.At(6, 6), 0x0000FFu);
  }
}

TEST(RasterTexture, ModulateAndModulateAlpha) {
  std::uint32_t texel = 0x80FF8040;  // alpha 128
  pv::RasterTexture tex;
  tex.argb = &texel;
  tex.width = 1;
  tex.height = 1;
  tex.hasAlpha = true;
  struct Case {
    std::uint32_t texBlend;
    std::uint32_t expect;
  };
  // Diffuse is half grey with alpha 255, blended over white.
  const Case cases[] = {{pv::kTexBlendModulate, 0xBF9F8F}, {pv::kTexBlendModulateAlpha, 0xBF9F8F}};
  for (const Case& k : cases) {
    Canvas c(4, 4);
    auto t = c.Target();
    pv::RasterTriangle(t, Plain(), V(0, 0), V(4, 0), V(0, 4));
    auto s = Plain();
    s.texture = &tex;
    s.texBlend = k.texBlend;
    s.blend = true;
    s.srcBlend = pv::kBlendSrcAlpha;
    s.destBlend = pv::kBlendInvSrcAlpha;
    pv::RasterTriangle(t, s, V(0, 0, 0xFF808080), V(4, 0, 0xFF808080), V(0, 4, 0xFF808080));
    EXPECT_EQ(c.At(0, 0), k.expect);
  }
  // Modulate-alpha multiplies the alphas: diffuse alpha 0 leaves the background.
  Canvas c(4, 4);
  auto t = c.Target();
  pv::RasterTriangle(t, Plain(), V(0, 0), V(4, 0), V(0, 4));
  auto s = Plain();
  s.texture = &tex;
  s.texBlend = pv::kTexBlendModulateAlpha;
  s.blend = true;
  s.srcBlend = pv::kBlendSrcAlpha;
  s.destBlend = pv::kBlendInvSrcAlpha;
  pv::RasterTriangle(t, s, V(0, 0, 0x00808080), V(4, 0, 0x00808080), V(0, 4, 0x00808080));
  EXPECT_EQ(c.At(0, 0), 0xFFFFFFu);
}

TEST(RasterShading, FlatUsesTheFirstVertexAndGouraudBlends) {
  Canvas c(32, 4);
  auto t = c.Target();
  auto s = Plain();
  s.gouraud = false;
  pv::RasterTriangle(t, s, V(0, 0, 0x0000FF), V(32, 0, 0xFF0000), V(0, 4, 0x00FF00));
  EXPECT_EQ(c.At(20, 0), 0x0000FFu);
  Canvas g(33, 2);
  auto tg = g.Target();
  pv::RasterTriangle(tg, Plain(), V(0, 0, 0x000000), V(32, 0, 0x0000FF), V(0, 32, 0x000000));
  const int mid = static_cast<int>(g.At(16, 0) & 0xFF);
  EXPECT_NEAR(mid, 128, 2);
  EXPECT_LT(g.At(4, 0) & 0xFF, g.At(28, 0) & 0xFF);
}

TEST(RasterShading, SpecularAddsAndFogFades) {
  struct Case {
    bool specular, fog;
    std::uint32_t desc;
    std::uint32_t fogColor;
    std::uint32_t expect;
  };
  const Case cases[] = {
      {true, false, 0xFF404040, 0, 0xC0C0C0},
      {true, false, 0xFFC0C0C0, 0, 0xFFFFFF},   // saturates
      {false, true, 0x00000000, 0x00FF00, 0x00FF00},  // fully fogged
      {false, true, 0xFF000000, 0x00FF00, 0x808080},  // no fog
  };
  for (const Case& k : cases) {
    Canvas c(4, 4);
    auto t = c.Target();
    auto s = Plain();
    s.specular = k.specular;
    s.fog = k.fog;
    s.fogColor = k.fogColor;
    auto v0 = V(0, 0, 0xFF808080), v1 = V(4, 0, 0xFF808080), v2 = V(0, 4, 0xFF808080);
    v0.specular = v1.specular = v2.specular = k.desc;
    pv::RasterTriangle(t, s, v0, v1, v2);
    EXPECT_EQ(c.At(0, 0), k.expect);
  }
}

TEST(RasterTarget16, PacksFiveSixFive) {
  Canvas c(4, 4, 16);
  auto t = c.Target();
  pv::RasterTriangle(t, Plain(), V(0, 0, 0xFF8040), V(4, 0, 0xFF8040), V(0, 4, 0xFF8040));
  EXPECT_EQ(c.At(0, 0), (0x1Fu << 11) | (0x20u << 5) | 0x08u);
  EXPECT_TRUE(c.GuardsIntact());
}

TEST(RasterLines, EndPixelIsLeftOutAndClipped) {
  Canvas c(10, 10);
  auto t = c.Target();
  pv::RasterLine(t, Plain(), V(1, 1), V(5, 1));
  EXPECT_EQ(c.Count(0xFFFFFF), 4);
  EXPECT_EQ(c.At(5, 1), 0u);
  Canvas d(10, 10);
  auto td = d.Target();
  pv::RasterLine(td, Plain(), V(-1e6f, 3), V(1e6f, 3));
  EXPECT_EQ(d.Count(0xFFFFFF), 10);
  EXPECT_TRUE(d.GuardsIntact());
  Canvas e(10, 10);
  auto te = e.Target();
  pv::RasterLine(te, Plain(), V(2, 0), V(2, 9));  // vertical
  EXPECT_EQ(e.Count(0xFFFFFF), 9);
  EXPECT_EQ(e.At(2, 8), 0xFFFFFFu);
}

TEST(RasterLines, ClosedOutlineDrawsEachCornerOnce) {
  Canvas c(10, 10);
  auto t = c.Target();
  auto s = Additive();
  const pv::TLVertex p[4] = {V(2, 2, 1), V(2, 6, 1), V(6, 6, 1), V(6, 2, 1)};
  for (int i = 0; i < 4; ++i) pv::RasterLine(t, s, p[i], p[(i + 1) % 4]);
  EXPECT_EQ(c.Count(1), 16);
  EXPECT_EQ(c.Count(2), 0);
}
