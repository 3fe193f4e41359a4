// The scan converter's output pinned bit for bit: many triangles, lines and
// points under a mixture of every state the rasterizer distinguishes (target
// format, texture layout and filter, depth function and writing, blending,
// shading, specular, fog, colour key, dither, a second texture), drawn from a
// fixed pseudo-random stream. The digests were taken from the plain span
// loops before they were specialised for speed; any change to a pixel or a
// depth value changes them.
#include "platform/video/rasterizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "support/digest.h"

namespace pv = platform::video;

namespace {

// A small generator with the same stream everywhere.
class Stream {
 public:
  explicit Stream(std::uint64_t seed) : s_(seed) {}
  std::uint32_t Next() {
    s_ = s_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(s_ >> 33);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  float Range(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(Next() & 0xFFFFFF) / 16777216.0f; }
  bool Chance(int percent) { return Below(100) < percent; }

 private:
  std::uint64_t s_;
};

// A texture in both layouts the device makes: rows, or 4 x 4 tiles with halved copies.
struct TestTexture {
  std::vector<std::uint32_t> argb;
  std::vector<std::uint16_t> raw;
  pv::RasterTexture view;

  TestTexture(int w, int h, bool tiled, bool alpha, Stream& rnd) {
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(w) * h);
    for (auto& t : rows) {
      t = rnd.Next() | 0xFF000000u;
      if (alpha) t = (t & 0x00FFFFFFu) | (static_cast<std::uint32_t>(rnd.Below(4) * 85) << 24);
    }
    raw.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
      raw[i] = static_cast<std::uint16_t>(((rows[i] >> 19) & 0x1F) << 11 | ((rows[i] >> 10) & 0x3F) << 5 | ((rows[i] >> 3) & 0x1F));
    view.raw = reinterpret_cast<const std::uint8_t*>(raw.data());
    view.rawPitch = w * 2;
    view.rawBytes = 2;
    view.width = w;
    view.height = h;
    view.hasAlpha = alpha;
    view.keyed = true;
    view.keyLow = 0;
    view.keyHigh = 0x3000;  // a band of dark reds and greens
    view.tiled = tiled;
    if (!tiled) {
      argb = rows;
      view.levelCount = 1;
    } else {
      std::vector<std::size_t> offsets;
      int lw = w, lh = h;
      std::vector<std::uint32_t> level = rows;
      while (true) {
        offsets.push_back(argb.size());
        for (int ty = 0; ty < lh; ty += 4)
          for (int tx = 0; tx < lw; tx += 4)
            for (int y = 0; y < 4; ++y)
              for (int x = 0; x < 4; ++x)
                argb.push_back(tx + x < lw && ty + y < lh ? level[static_cast<std::size_t>(ty + y) * lw + tx + x] : 0);
        if (lw <= 4 || lh <= 4) break;
        std::vector<std::uint32_t> half(static_cast<std::size_t>(lw / 2) * (lh / 2));
        for (int y = 0; y < lh / 2; ++y)
          for (int x = 0; x < lw / 2; ++x) half[static_cast<std::size_t>(y) * (lw / 2) + x] = level[static_cast<std::size_t>(2 * y) * lw + 2 * x];
        level = std::move(half);
        lw /= 2;
        lh /= 2;
      }
      view.levelCount = static_cast<int>(offsets.size());
      for (std::size_t i = 0; i < offsets.size(); ++i) view.levels[i] = argb.data() + offsets[i];
    }
    view.argb = argb.data();
  }
};

pv::TLVertex RandomVertex(Stream& rnd, int w, int h, bool far) {
  pv::TLVertex v;
  const float span = far ? 20000.0f : 1.4f;
  v.sx = rnd.Range(-0.2f * static_cast<float>(w), static_cast<float>(w)) * (far ? span / static_cast<float>(w) : span);
  v.sy = rnd.Range(-0.2f * static_cast<float>(h), static_cast<float>(h)) * (far ? span / static_cast<float>(h) : span);
  v.rhw = rnd.Range(0.05f, 2.0f);
  v.sz = 1.0f / v.rhw / 64.0f;
  v.color = rnd.Next();
  v.specular = rnd.Next();
  v.tu = rnd.Range(-3.0f, 3.0f);
  v.tv = rnd.Range(-3.0f, 3.0f);
  v.tu2 = rnd.Range(-1.0f, 2.0f);
  v.tv2 = rnd.Range(-1.0f, 2.0f);
  return v;
}

struct Mixture {
  std::uint64_t digest = 0;
  int batchesThatDrew = 0;
};

// Everything drawn for one target format, as one digest of colour and depth.
Mixture DrawMixture(const pv::PixelFormat& format, std::uint64_t seed) {
  constexpr int kW = 67, kH = 53;
  Stream rnd(seed);
  const int bytes = format.bitsPerPixel / 8;
  const int pitch = kW * bytes + 6;
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(pitch) * kH);
  for (auto& b : bits) b = static_cast<std::uint8_t>(rnd.Next());
  std::vector<float> depth(static_cast<std::size_t>(kW + 3) * kH, 0.0f);
  TestTexture rows(24, 20, false, false, rnd), rowsPow2(16, 8, false, true, rnd), tiled(32, 16, true, false, rnd),
      tiledAlpha(16, 16, true, true, rnd), light(8, 8, false, false, rnd);
  const pv::RasterTexture* textures[] = {nullptr, &rows.view, &rowsPow2.view, &tiled.view, &tiledAlpha.view};
  std::uint64_t h = testsupport::kDigestStart;
  int drew = 0;
  static constexpr std::uint32_t kBlends[] = {pv::kBlendZero,     pv::kBlendOne,      pv::kBlendSrcColor,
                                              pv::kBlendInvSrcColor, pv::kBlendSrcAlpha, pv::kBlendInvSrcAlpha};
  static constexpr std::uint32_t kTexBlends[] = {pv::kTexBlendDecal, pv::kTexBlendModulate, pv::kTexBlendModulateAlpha,
                                                 pv::kTexBlendModulateColor};
  for (int batch = 0; batch < 600; ++batch) {
    pv::RasterTarget t;
    t.bits = bits.data();
    t.pitch = pitch;
    t.width = kW;
    t.height = kH;
    t.format = format;
    t.depth = rnd.Chance(85) ? depth.data() : nullptr;
    t.depthPitch = kW + 3;
    t.clip = rnd.Chance(80) ? pv::Rect{0, 0, kW, kH} : pv::Rect{rnd.Below(20), rnd.Below(20), 30 + rnd.Below(60), 25 + rnd.Below(40)};
    pv::RasterState st;
    st.texture = textures[rnd.Below(5)];
    st.texture2 = rnd.Chance(15) ? &light.view : nullptr;
    st.texture2Second = rnd.Chance(50);
    st.gouraud = rnd.Chance(80);
    st.bilinear = rnd.Chance(60);
    st.zTest = rnd.Chance(80);
    st.zWrite = st.zTest && rnd.Chance(80);
    st.zFunc = rnd.Chance(60) ? pv::kCmpLessEqual : static_cast<std::uint32_t>(1 + rnd.Below(8));
    st.blend = rnd.Chance(30);
    st.srcBlend = rnd.Chance(50) ? pv::kBlendSrcAlpha : kBlends[rnd.Below(6)];
    st.destBlend = rnd.Chance(50) ? pv::kBlendInvSrcAlpha : kBlends[rnd.Below(6)];
    st.specular = rnd.Chance(30);
    st.fog = rnd.Chance(25);
    st.fogColor = rnd.Next();
    st.colorKey = rnd.Chance(25);
    st.dither = rnd.Chance(30);
    st.texBlend = kTexBlends[rnd.Below(4)];
    st.cullMode = static_cast<std::uint32_t>(1 + rnd.Below(3));
    st.fillMode = rnd.Chance(90) ? pv::kFillSolid : static_cast<std::uint32_t>(1 + rnd.Below(2));
    const std::vector<std::uint8_t> before = bits;
    const int kind = rnd.Below(20);
    for (int i = 0; i < 6; ++i) {
      const bool far = rnd.Chance(5);
      const pv::TLVertex a = RandomVertex(rnd, kW, kH, far), b = RandomVertex(rnd, kW, kH, false),
                         c = RandomVertex(rnd, kW, kH, false);
      if (kind == 0) pv::RasterLine(t, st, a, b);
      else if (kind == 1) pv::RasterPoint(t, st, a);
      else pv::RasterTriangle(t, st, a, b, c);
    }
    drew += bits != before;
    // After every batch, so that later batches cannot hide what an earlier one drew.
    h = testsupport::Digest(bits.data(), bits.size(), h);
    h = testsupport::Digest(depth.data(), depth.size() * sizeof(float), h);
  }
  return {h, drew};
}

TEST(RasterizerIdentity, EveryStateDrawsTheSamePixelsAndDepthsAsBefore) {
  struct Case {
    const char* name;
    pv::PixelFormat format;
    std::uint64_t seed;
    std::uint64_t digest;
  };
  const Case cases[] = {
      {"5-6-5", pv::Format565(), 1, 0x95d209b4e19591ccull},
      {"5-6-5, another stream", pv::Format565(), 2, 0xed13c2a4f3184a02ull},
      {"5-5-5", pv::Format555(), 3, 0x9316b4f8b40b2cc2ull},
      {"1-5-5-5", pv::Format1555(), 4, 0xceb41bfc20bcaab6ull},
      {"X-8-8-8", pv::FormatX8888(), 5, 0x3113a1e6511fd435ull},
      {"A-8-8-8", pv::FormatA8888(), 6, 0x2ab320af21f8071cull},
  };
  for (const Case& c : cases) {
    const Mixture m = DrawMixture(c.format, c.seed);
    EXPECT_GT(m.batchesThatDrew, 400) << c.name << ": the mixture must draw in most batches";
    EXPECT_EQ(m.digest, c.digest) << c.name << " now digests to " << testsupport::DigestLiteral(m.digest);
  }
}

}  // namespace
