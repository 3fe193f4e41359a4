// Small scenes drawn through the whole path (pipeline, device, emulated 3D
// device) into a 32-bit back buffer, compared with reference images that
// were looked at and judged right, and probed at named pixels.
//
// Tolerance: a channel may differ from the reference by 4, and at most 1%
// of the pixels may differ by more (edge pixels under other rounding).
// PAVIX_WRITE_REFERENCES=1 rewrites the references from the current output.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "meshedit/core/render_pipeline.h"
#include "pavix_device_fixture.h"

namespace {

namespace pv = platform::video;
using pavix::CRenderPipeline;
using pavix::CShape;
using pavix::CSide;
using pavix::CVector;

constexpr int kW = 64, kH = 48;
constexpr std::uint32_t kBackground = 0x203040;

struct Image {
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgb;
  std::uint32_t At(int x, int y) const {
    const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
    return static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  }
};

std::string ReferencePath(const std::string& name) { return std::string(FIXTURES_DIR) + "/pavix_" + name + ".ppm"; }

bool ReadPpm(const std::string& path, Image& out) {
  std::ifstream f(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  if (!(f >> magic >> out.w >> out.h >> maxval) || magic != "P6" || maxval != 255) return false;
  f.get();
  out.rgb.resize(static_cast<std::size_t>(out.w) * out.h * 3);
  return static_cast<bool>(f.read(reinterpret_cast<char*>(out.rgb.data()), static_cast<std::streamsize>(out.rgb.size())));
}

void WritePpm(const std::string& path, const Image& img) {
  std::ofstream f(path, std::ios::binary);
  f << "P6\n" << img.w << " " << img.h << "\n255\n";
  f.write(reinterpret_cast<const char*>(img.rgb.data()), static_cast<std::streamsize>(img.rgb.size()));
}

CShape Quad(std::array<CVector, 4> corners, std::uint32_t flags, std::uint32_t texture = 0) {
  CShape s;
  for (const CVector& p : corners) s.vertices.push_back({p, {0, 0, -1}, 0});
  CSide side;
  for (int k = 0; k < 4; ++k) side.index[k] = static_cast<std::uint32_t>(k);
  side.uv[0] = {0, 0};
  side.uv[1] = {1, 0};
  side.uv[2] = {1, 1};
  side.uv[3] = {0, 1};
  side.flags = flags;
  side.texture = texture;
  s.sides.push_back(side);
  s.SetSingleNode({0, 0, 0}, {0, 0, 10});
  return s;
}

// A square at depth z seen face on, its corners (+-h) around (cx, cy), clockwise on the screen.
CShape Square(float cx, float cy, float z, float h, std::uint32_t flags, std::uint32_t texture = 0) {
  return Quad({CVector{cx - h, cy + h, z}, {cx + h, cy + h, z}, {cx + h, cy - h, z}, {cx - h, cy - h, z}}, flags,
              texture);
}

class PavixDrawing : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    // A checker of red and green 4 x 4 blocks with a black cross through it.
    dir.Write("BANK/K0001_check.TGA", pavixtest::TgaFile(16, 16, 24, [](int x, int y) -> std::uint32_t {
      if (x == 7 || x == 8 || y == 7 || y == 8) return 0;
      return ((x / 4 + y / 4) % 2) ? 0x00FF00u : 0xFF0000u;
    }));
    dir.Write("BANK/K0002_glow.TGA", pavixtest::TgaFile(8, 8, 24, [](int, int) { return 0x404000u; }));
    ASSERT_TRUE(screen_.ok());
    CRenderPipeline::SetTexturePath("BANK\\K%04d_*.TGA", 0);
    CRenderPipeline::SetCamera(pavix::IdentityMatrix());
    pavix::Cdd::SetFilter(1);  // nearest texels: crisp references
  }
  void TearDown() override { CRenderPipeline::ClearLights(); }

  Image Draw(const std::vector<CShape*>& shapes) {
    CRenderPipeline::NewFrame();
    EXPECT_EQ(CRenderPipeline::BeginFrame(3, 0xFF000000u | kBackground, 1.0f, 0), 1);
    for (CShape* s : shapes) CRenderPipeline::DrawShape(*s, pavix::IdentityMatrix());
    CRenderPipeline::FlushOrderingTable();
    CRenderPipeline::EndFrame();
    Image img;
    img.w = kW;
    img.h = kH;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const std::uint32_t p = screen_.Pixel(x, y);
        img.rgb.insert(img.rgb.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                       static_cast<std::uint8_t>(p)});
      }
    return img;
  }

  void Compare(const std::string& name, const Image& got) {
    if (std::getenv("PAVIX_WRITE_REFERENCES")) WritePpm(ReferencePath(name), got);
    Image ref;
    ASSERT_TRUE(ReadPpm(ReferencePath(name), ref)) << ReferencePath(name);
    ASSERT_EQ(ref.w, got.w);
    ASSERT_EQ(ref.h, got.h);
    int off = 0;
    for (std::size_t i = 0; i < ref.rgb.size(); i += 3) {
      bool bad = false;
      for (int c = 0; c < 3; ++c) bad = bad || std::abs(int(ref.rgb[i + c]) - int(got.rgb[i + c])) > 4;
      off += bad ? 1 : 0;
    }
    EXPECT_LE(off, kW * kH / 100) << name << ": " << off << " pixels differ";
  }

  pavixtest::PavixScreen screen_{kW, kH};
};

// The colour of a probe within 6 per channel.
void ExpectNear(std::uint32_t got, std::uint32_t want, const char* where) {
  for (int sh = 0; sh <= 16; sh += 8)
    EXPECT_NEAR(static_cast<int>((got >> sh) & 255), static_cast<int>((want >> sh) & 255), 6)
        << where << std::hex << " got " << got << " want " << want;
}

// A light straight into the screen: sides facing the camera get 254 of 255.
void RedLight() {
  pavix::CLight light;
  light.direction = {0, 0, 1};
  light.color = 0xFFFF2020;
  CRenderPipeline::AddLight(light);
}

TEST_F(PavixDrawing, FlatLitSquare) {
  RedLight();
  CShape s = Square(0, 0, 100, 3, pavix::kSideLit);
  const Image img = Draw({&s});
  // Red 253 plus its over-bright part saturates; green and blue stay at the 0x80 floor.
  ExpectNear(img.At(32, 24), 0xFF8080, "centre");
  ExpectNear(img.At(2, 2), kBackground, "corner");
  Compare("flat", img);
}

TEST_F(PavixDrawing, GouraudBetweenLitAndUnlitCorners) {
  RedLight();
  CShape s = Square(0, 0, 100, 5, pavix::kSideLit | pavix::kRenderGouraud);
  // The right corners face across the light: intensity 127 gives red 126, under the floor.
  s.vertices[1].normal = {-1, 0, 0};
  s.vertices[2].normal = {-1, 0, 0};
  const Image img = Draw({&s});
  ExpectNear(img.At(7, 24), 0xFF8080, "left edge");
  ExpectNear(img.At(56, 24), 0x868080, "right edge");
  // Red falls from left to right; the over-bright part keeps it saturated while the lit channel is above 128.
  const int r40 = static_cast<int>((img.At(40, 24) >> 16) & 255), r52 = static_cast<int>((img.At(52, 24) >> 16) & 255);
  EXPECT_GE(r40, r52);
  EXPECT_GT(r52, 0x86);
  EXPECT_LT(r52, 0xFF);
  Compare("gouraud", img);
}

TEST_F(PavixDrawing, TexturedModulatedByTheVertexGrey) {
  CShape s = Square(0, 0, 100, 4, pavix::kRenderTextured, 1);
  const Image img = Draw({&s});
  // 41 pixels for 16 texels; the top-left block is red, the next one green, at half strength.
  ExpectNear(img.At(13, 5), 0x800000, "red block");
  ExpectNear(img.At(24, 5), 0x008000, "green block");
  ExpectNear(img.At(32, 10), 0x000000, "black cross");
  Compare("textured", img);
}

TEST_F(PavixDrawing, ColourKeyLetsTheBackgroundThroughTheBlackCross) {
  CShape s = Square(0, 0, 100, 4, pavix::kRenderTextured | pavix::kRenderColorKey, 1);
  const Image img = Draw({&s});
  ExpectNear(img.At(32, 10), kBackground, "keyed cross");
  ExpectNear(img.At(13, 5), 0x800000, "red block");
  Compare("colourkey", img);
}

TEST_F(PavixDrawing, TexturedSidesWithoutTheirFileDrawUntextured) {
  CShape s = Square(0, 0, 100, 4, pavix::kRenderTextured, 9);
  const Image img = Draw({&s});
  ExpectNear(img.At(32, 24), 0x808080, "plain grey");
}

TEST_F(PavixDrawing, AlphaBlendOverAnOpaqueSquare) {
  RedLight();
  CShape back = Square(-2, 0, 100, 2.5f, pavix::kSideLit);
  CShape glass = Square(2, 0, 90, 2.5f, pavix::kRenderAlpha | pavix::kRenderTextured, 2);
  const Image img = Draw({&glass, &back});
  // Half of the glass (0x404000 x 0x80 = 0x202000) over the red square and over the background.
  ExpectNear(img.At(15, 24), 0xFF8080, "red alone");
  ExpectNear(img.At(31, 24), 0x8F5040, "glass over red");
  ExpectNear(img.At(50, 24), 0x202820, "glass over background");
  Compare("alpha", img);
}

TEST_F(PavixDrawing, AdditiveBlendBrightens) {
  CShape glow = Square(0, 0, 100, 3, pavix::kRenderAdditive | pavix::kRenderTextured, 2);
  const Image img = Draw({&glow});
  // The texel (0x40, 0x40, 0) modulated by 0x80 grey, times the 0x80 alpha, added to the background.
  ExpectNear(img.At(32, 24), 0x304040, "glow");
  ExpectNear(img.At(2, 24), kBackground, "outside");
  Compare("additive", img);
}

TEST_F(PavixDrawing, WireframeDrawsOnlyTheOutline) {
  CShape s = Square(0, 0, 100, 3, pavix::kRenderWireframe);
  const Image img = Draw({&s});
  // A fan of the outline: the four edges and the diagonal of its two triangles.
  ExpectNear(img.At(40, 20), kBackground, "inside");
  ExpectNear(img.At(32, 8), 0x808080, "top edge");
  ExpectNear(img.At(30, 22), 0x808080, "diagonal");
  Compare("wireframe", img);
}

TEST_F(PavixDrawing, LightMapAddsTheSecondTexture) {
  CShape s = Square(0, 0, 100, 4, pavix::kRenderTextured | pavix::kRenderLightMap, 1 | 2u << 11);
  const Image img = Draw({&s});
  // Red block at half strength plus the 0x404000 light map.
  ExpectNear(img.At(13, 5), 0xC04000, "red block lit");
  ExpectNear(img.At(32, 10), 0x404000, "cross lit");
  Compare("lightmap", img);
}

}  // namespace
