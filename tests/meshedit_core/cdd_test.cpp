// Pavix's display device on the emulated machine: version probe, drivers
// and modes, set-up, render flags, the triangle batch, clipping, textures.
#include "meshedit/core/cdd.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "pavix_device_fixture.h"
#include "platform/core/trace.h"
#include "platform/video/recorder.h"
#include "platform/video/texture.h"

namespace {

namespace pv = platform::video;
using pavix::Cdd;
using pavix::CScreenVertex;
using pavixtest::DesktopMachine32;
using pavixtest::PavixScreen;

std::vector<std::string> StateLines() {
  std::vector<std::string> out;
  for (const std::string& l : pv::Recorder::Lines())
    if (l.starts_with("SetRenderState") || l.starts_with("SetTextureStageState")) out.push_back(l);
  return out;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

CScreenVertex V(float x, float y, std::uint32_t colour = 0xFFFFFFFF) {
  CScreenVertex v;
  v.x = x;
  v.y = y;
  v.z = 0.5f;
  v.rhw = 2.0f;
  v.diffuse = colour;
  return v;
}

TEST(PavixProbe, ReportsTheInstalledVersionOnItsSteps) {
  struct Case {
    int installed;
    std::uint32_t expected;
  };
  for (const Case c : {Case{0x600, 0x600}, Case{0x700, 0x600}, Case{0x500, 0x500}, Case{0x300, 0x300},
                       Case{0x250, 0x200}, Case{0x0, 0x0}}) {
    pv::Machine m = pv::DefaultMachine();
    m.libraryVersion = c.installed;
    pv::ScopedMachine scoped(m);
    std::uint32_t version = 99, platform = 99;
    pavix::ProbeDirectXVersion(&version, &platform);
    EXPECT_EQ(version, c.expected) << std::hex << c.installed;
    EXPECT_EQ(platform, 2u);
  }
}

TEST(PavixProbe, TheMachineSettingLowersTheVersion) {
  pv::Machine m = pv::DefaultMachine();
  ASSERT_TRUE(pv::ApplyMachineSetting(m, "version=300"));
  EXPECT_EQ(m.libraryVersion, 0x300);
  EXPECT_FALSE(pv::ApplyMachineSetting(m, "version=zz"));
}

TEST(PavixDrivers, OneDriverWithItsDeviceAndTheQualifyingModesSorted) {
  pv::Machine m = DesktopMachine32();
  m.modes.push_back({640, 480, 16, 60, true});  // reported twice
  m.modes.insert(m.modes.begin(), {1280, 1024, 16, 60, true});
  pv::ScopedMachine scoped(m);
  platform::TraceCapture trace;
  Cdd device;
  const pavix::CddState& s = Cdd::State();
  ASSERT_EQ(s.driverCount, 1);
  const pavix::CddDriver& d = s.drivers[0];
  EXPECT_STREQ(d.description.data(), "Primary Display Driver");
  EXPECT_TRUE(d.hasDevice);
  EXPECT_STREQ(d.deviceDescription.data(), "Emulated 3D accelerator");
  std::vector<std::tuple<int, int, int>> modes;
  for (int i = 0; i < d.modeCount; ++i) modes.emplace_back(d.modes[i].width, d.modes[i].height, d.modes[i].bitsPerPixel);
  // 800 x 600 and 1920 x 1080 are never listed; 640 x 480 x 16 once.
  const std::vector<std::tuple<int, int, int>> expected = {{640, 480, 16},   {640, 480, 32},    {1024, 768, 16},
                                                           {1024, 768, 32},  {1280, 1024, 16}, {1280, 1024, 32}};
  EXPECT_EQ(modes, expected);
  EXPECT_TRUE(trace.Contains("Cdd::modecallback: 640x480 bpp:16\n"));
  EXPECT_TRUE(trace.Contains("Cdd::DriverEnumCallback: EnumDevice OK\n"));
}

TEST(PavixSetformat, WindowedKeepsTheFormatsAndADepthBuffer) {
  PavixScreen screen(80, 60);
  ASSERT_TRUE(screen.ok());
  const pavix::CddState& s = Cdd::State();
  EXPECT_EQ(s.width, 80);
  EXPECT_EQ(s.height, 60);
  EXPECT_EQ(s.bitsPerPixel, 32);
  EXPECT_TRUE(s.depthBuffer);
  EXPECT_EQ(s.stages, 2);
  EXPECT_EQ(s.textureFormats[pavix::kFormatRgb16], pv::Format565());
  EXPECT_EQ(s.textureFormats[pavix::kFormatRgb16Alpha], pv::Format4444());
  EXPECT_EQ(s.textureFormats[pavix::kFormatRgb16Alpha1], pv::Format1555());
  EXPECT_EQ(s.textureFormats[pavix::kFormatRgb32], pv::FormatX8888());
  EXPECT_EQ(s.textureFormats[pavix::kFormatRgb32Alpha], pv::FormatA8888());
  EXPECT_EQ(s.textureFormats[pavix::kFormatBump].bitsPerPixel, 0);
  EXPECT_EQ(s.right, 79);
  EXPECT_EQ(s.bottom, 59);
  EXPECT_EQ(s.redShift, 16);
  EXPECT_EQ(s.greenBits, 8);
}

TEST(PavixSetformat, ASecondSetUpWhileOneRunsReturnsAtOnce) {
  PavixScreen screen;
  ASSERT_TRUE(screen.ok());
  platform::TraceCapture trace;
  Cdd::State().inSetformat = 1;
  EXPECT_EQ(Cdd::Setformat(&screen.window(), 0), 1);
  EXPECT_TRUE(trace.Contains("Cdd::Setformat (ever in set format -> return)\n"));
  Cdd::State().inSetformat = 0;
}

TEST(PavixSetformat, AnEmptyWindowFailsAndLeavesNoSurfaces) {
  PavixScreen screen(0, 0);
  EXPECT_FALSE(screen.ok());
  EXPECT_FALSE(Cdd::State().back);
  EXPECT_FALSE(Cdd::State().device);
  EXPECT_EQ(Cdd::State().inSetformat, 0);
}

TEST(PavixSetformat, FullScreenTakesTheSelectedModeModuloTheCount) {
  pv::Machine m = DesktopMachine32();
  m.modes = {{640, 480, 16, 60, true}, {1024, 768, 16, 60, true}, {1280, 1024, 16, 60, true}};
  pv::ScopedMachine scoped(m);
  pavix::CRenderPipeline pipeline;
  pv::Window window(pv::Rect{0, 0, 320, 200});
  Cdd::State().drivers[0].selectedMode = 4;
  ASSERT_EQ(Cdd::State().drivers[0].modeCount, 3);
  ASSERT_EQ(pavix::CRenderPipeline::SetFormat(&window, 1), 1);
  EXPECT_EQ(Cdd::State().width, 1024);
  EXPECT_EQ(Cdd::State().height, 768);
  EXPECT_EQ(Cdd::State().bitsPerPixel, 16);
  EXPECT_EQ(Cdd::Show(), 1);
}

TEST(PavixSetformat, ADriverWithoutAQualifyingModeFailsWithItsErrorText) {
  pv::Machine m = DesktopMachine32();
  m.modes = {{800, 600, 16, 60, true}};
  pv::ScopedMachine scoped(m);
  pavix::CRenderPipeline pipeline;
  pv::Window window(pv::Rect{0, 0, 320, 200});
  platform::TraceCapture trace;
  EXPECT_EQ(pavix::CRenderPipeline::SetFormat(&window, 1), 0);
  EXPECT_TRUE(trace.Contains("The requested mode is not supported.\n"));
  EXPECT_TRUE(trace.Contains("Cdd::Setformat ERROR"));
  EXPECT_EQ(Cdd::State().fullScreen, 0);
}

TEST(PavixErrors, KnownAndUnknownCodes) {
  EXPECT_STREQ(Cdd::ErrorText(pv::kErrOutOfMemory), "DirectDraw does not have enough memory to perform the operation.\n");
  EXPECT_STREQ(Cdd::ErrorText(pv::kErrNotImplemented), "The operation is not supported.\n");
  EXPECT_STREQ(Cdd::ErrorText(pv::kErrSceneInScene), "D3DERR_SCENE_IN_SCENE ");
  EXPECT_STREQ(Cdd::ErrorText(0x12345), "Unknown error.\n");
  platform::TraceCapture trace;
  Cdd::LogError(pv::kErrSurfaceLost);
  EXPECT_TRUE(trace.Contains("Cdd::ERR:0x887601c2 The surface memory has been lost and must be restored.\n"));
}

// Each render flag bit and the device states it sets, going from 0 to the bit.
TEST(PavixRenderFlags, EachBitSetsItsStates) {
  PavixScreen screen;
  ASSERT_TRUE(screen.ok());
  struct Case {
    std::uint8_t flag;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {0x80, {"SetRenderState FillMode 2"}},
      {0x04, {"SetRenderState ColorKeyEnable 1"}},
      {0x02, {"SetRenderState ShadeMode 2"}},
      {0x10,
       {"SetRenderState ZWriteEnable 0", "SetRenderState AlphaBlendEnable 1", "SetRenderState SrcBlend 5",
        "SetRenderState DestBlend 6"}},
      {0x08,
       {"SetRenderState ZWriteEnable 0", "SetRenderState AlphaBlendEnable 1", "SetRenderState SrcBlend 5",
        "SetRenderState DestBlend 2"}},
      {0x01,
       {"SetTextureStageState 0 ColorArg1 2", "SetTextureStageState 0 ColorArg2 0", "SetTextureStageState 0 ColorOp 4",
        "SetTextureStageState 0 AlphaOp 1", "SetTextureStageState 0 TexCoordIndex 0"}},
      {0x09,
       {"SetRenderState AlphaBlendEnable 1", "SetRenderState DestBlend 2", "SetTextureStageState 0 ColorOp 4",
        "SetTextureStageState 0 AlphaOp 4"}},
      {0x20,
       {"SetTextureStageState 1 TexCoordIndex 1", "SetTextureStageState 1 ColorOp 7"}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Cdd::BeginFrame(1, 1, 0, 0, 1.0f, 0), 1);
    pv::ScopedRecorder recorder;
    Cdd::SetRenderFlags(c.flag);
    const auto lines = StateLines();
    for (const std::string& l : c.lines) EXPECT_TRUE(Has(lines, l)) << int(c.flag) << ": " << l;
    // The same flags again change nothing.
    pv::Recorder::Clear();
    Cdd::SetRenderFlags(c.flag);
    EXPECT_TRUE(StateLines().empty()) << int(c.flag);
    // Back to 0 undoes the bit.
    Cdd::SetRenderFlags(0);
    EXPECT_FALSE(StateLines().empty()) << int(c.flag);
    Cdd::EndFrame();
  }
  // Clearing the blend bits restores depth writes and opaque drawing.
  ASSERT_EQ(Cdd::BeginFrame(1, 1, 0, 0, 1.0f, 0), 1);
  Cdd::SetRenderFlags(0x10);
  pv::ScopedRecorder recorder;
  Cdd::SetRenderFlags(0);
  const auto lines = StateLines();
  for (const char* l : {"SetRenderState ZWriteEnable 1", "SetRenderState AlphaBlendEnable 0",
                        "SetRenderState SrcBlend 2", "SetRenderState DestBlend 1", "SetTextureStageState 0 AlphaOp 1"})
    EXPECT_TRUE(Has(lines, l)) << l;
  Cdd::EndFrame();
}

TEST(PavixRenderFlags, OutsideASceneOnlyTheValueIsKept) {
  PavixScreen screen;
  ASSERT_TRUE(screen.ok());
  pv::ScopedRecorder recorder;
  Cdd::SetRenderFlags(0x80);
  Cdd::SetFog(1);
  EXPECT_TRUE(StateLines().empty());
  EXPECT_EQ(Cdd::State().flags, 0x80);
  ASSERT_EQ(Cdd::BeginFrame(0, 0, 0, 0, 1.0f, 0), 1);
  EXPECT_TRUE(Has(StateLines(), "SetRenderState FogEnable 1"));
  Cdd::EndFrame();
}

TEST(PavixBatch, The128thTriangleFlushesFirst) {
  PavixScreen screen;
  ASSERT_TRUE(screen.ok());
  ASSERT_EQ(Cdd::BeginFrame(1, 1, 0, 0, 1.0f, 0), 1);
  pv::ScopedRecorder recorder;
  const CScreenVertex a = V(1, 1), b = V(5, 1), c = V(5, 5);
  for (int i = 0; i < 127; ++i) Cdd::AddTriangle(0x02, a, b, c, pavix::kCddNoTexture);
  EXPECT_TRUE(pv::Recorder::LinesStartingWith("DrawPrimitive").empty());
  EXPECT_EQ(Cdd::State().batchCount, 381);
  Cdd::AddTriangle(0x02, a, b, c, pavix::kCddNoTexture);
  EXPECT_EQ(pv::Recorder::LinesStartingWith("DrawPrimitive"), std::vector<std::string>{"DrawPrimitive TriangleList 381"});
  Cdd::EndFrame();
  EXPECT_EQ(pv::Recorder::LinesStartingWith("DrawPrimitive").back(), "DrawPrimitive TriangleList 3");
  EXPECT_EQ(Cdd::Stats().triangles, 128);
  EXPECT_EQ(Cdd::Stats().primitives, 2);
}

TEST(PavixBatch, ChangedFlagsFlushTheBatch) {
  PavixScreen screen;
  ASSERT_TRUE(screen.ok());
  ASSERT_EQ(Cdd::BeginFrame(1, 1, 0, 0, 1.0f, 0), 1);
  pv::ScopedRecorder recorder;
  Cdd::AddTriangle(0x02, V(1, 1), V(5, 1), V(5, 5), pavix::kCddNoTexture);
  Cdd::AddTriangle(0x00, V(1, 1), V(5, 1), V(5, 5), pavix::kCddNoTexture);
  EXPECT_EQ(pv::Recorder::LinesStartingWith("DrawPrimitive").size(), 1u);
  Cdd::EndFrame();
  EXPECT_EQ(pv::Recorder::LinesStartingWith("DrawPrimitive").size(), 2u);
}

TEST(PavixClip, OneVertexLeftOfTheRectangleGivesAQuadrilateralAsTwoTriangles) {
  PavixScreen screen(64, 48);
  ASSERT_TRUE(screen.ok());
  Cdd::SetDrawRect(10, 0, 63, 47);
  ASSERT_EQ(Cdd::BeginFrame(1, 1, 0, 0, 1.0f, 0), 1);
  pv::ScopedRecorder recorder;
  CScreenVertex a = V(2, 20, 0xFFFF0000), b = V(30, 5), c = V(30, 40);
  a.xOut = 255;
  Cdd::DrawTriangle(0x02, a, b, c, pavix::kCddNoTexture);
  Cdd::EndFrame();
  ASSERT_EQ(pv::Recorder::Primitives().size(), 1u);
  const auto& p = pv::Recorder::Primitives()[0];
  EXPECT_EQ(p.type, pv::PrimitiveType::TriangleList);
  ASSERT_EQ(p.vertices.size(), 6u);
  for (const auto& v : p.vertices) EXPECT_GE(v.sx, 10.0f);
  // The new vertices lie on the left edge with colours between the ends'.
  int onEdge = 0;
  for (const auto& v : p.vertices)
    if (v.sx == 10.0f) {
      ++onEdge;
      EXPECT_GT((v.color >> 16) & 255, 0u);
      EXPECT_LT(v.color & 255, 255u);
    }
  EXPECT_GE(onEdge, 2);
  // Nothing left of the rectangle was drawn.
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(screen.Pixel(x, y), 0u) << x << "," << y;
}

TEST(PavixClip, ClipSegmentToRectCases) {
  struct Case {
    float x0, y0, x1, y1;
    int kept;
    float ex0, ey0, ex1, ey1;
  };
  const Case cases[] = {
      {2, 2, 8, 8, 1, 2, 2, 8, 8},        // inside
      {-10, 5, 20, 5, 1, 0, 5, 10, 5},    // across left and right
      {5, -10, 5, 20, 1, 5, 0, 5, 10},    // across top and bottom
      {-5, -5, -1, 20, 0, 0, 0, 0, 0},    // wholly left
      {2, 11, 8, 30, 0, 0, 0, 0, 0},      // wholly below
      {-10, -5, 0, 0, 1, 0, 0, 0, 0},     // touches a corner
      {0, -5, 20, 5, 1, 10, 0, 10, 0},    // clipped to one point on the right edge: (10, 0)
      {3, -2, 7, -2, 0, 0, 0, 0, 0},      // horizontal above the top
  };
  for (const Case& c : cases) {
    float x0 = c.x0, y0 = c.y0, x1 = c.x1, y1 = c.y1;
    const int kept = pavix::ClipSegmentToRect(x0, y0, x1, y1, 0, 0, 10, 10);
    EXPECT_EQ(kept, c.kept) << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
    if (kept && c.kept) {
      EXPECT_FLOAT_EQ(x0, c.ex0);
      EXPECT_FLOAT_EQ(y0, c.ey0);
      EXPECT_FLOAT_EQ(x1, c.ex1);
      EXPECT_FLOAT_EQ(y1, c.ey1);
    }
  }
}

class PavixTextures : public testsupport::TempDirTest {};

int LevelCount(const pavix::CddTextureSlot& slot) {
  int n = 0;
  for (auto s = slot.surface; s;) {
    ++n;
    std::shared_ptr<pv::Surface> next;
    if (pv::Failed(s->GetAttachedSurface(pv::kCapsMipMap, &next))) break;
    s = next;
  }
  return n;
}

TEST_F(PavixTextures, SizesArePowersOfTwoSquareWithinTheLimitsWithTheirMipChains) {
  pv::Machine m = DesktopMachine32();
  m.drivers[0].hardware.maxTextureWidth = 128;
  m.drivers[0].hardware.maxTextureHeight = 128;
  PavixScreen screen(32, 32, m);
  ASSERT_TRUE(screen.ok());
  struct Case {
    int w, h, side, levels;
  };
  for (const Case c : {Case{37, 20, 16, 5}, Case{300, 300, 128, 8}, Case{64, 256, 64, 7}, Case{1, 1, 1, 1},
                       Case{3, 5, 2, 2}}) {
    dir.Write("T.TGA", pavixtest::TgaFile(c.w, c.h, 24, [](int x, int y) { return 0x102030u * ((x + y) % 3); }));
    platform::TraceCapture trace;
    ASSERT_EQ(Cdd::loadtexture(7, "T.tga", 0), 1) << c.w << "x" << c.h;
    const pavix::CddTextureSlot& slot = Cdd::State().slots[7];
    EXPECT_EQ(slot.desc.width, c.side) << c.w << "x" << c.h;
    EXPECT_EQ(slot.desc.height, c.side);
    EXPECT_EQ(slot.desc.format, pv::Format565());
    EXPECT_EQ(LevelCount(slot), c.levels) << c.w << "x" << c.h;
    EXPECT_EQ(trace.Contains("Cdd::resizing texture:7"), c.w != c.side || c.h != c.side);
  }
}

TEST_F(PavixTextures, FormatsFollowTheImageAndTheAlphaSwitch) {
  PavixScreen screen(32, 32);
  ASSERT_TRUE(screen.ok());
  dir.Write("A.TGA", pavixtest::TgaFile(4, 4, 32, [](int, int) { return 0x80FF0000u; }));
  dir.Write("B.TGA", pavixtest::TgaFile(4, 4, 24, [](int, int) { return 0x00FF00u; }));
  ASSERT_EQ(Cdd::loadtexture(0, "A", 0), 1);
  EXPECT_EQ(Cdd::State().slots[0].desc.format, pv::Format4444());
  // 0xF red, half alpha (0x8): one level's top-left texel.
  EXPECT_EQ(Cdd::State().slots[0].surface->PixelAt(0, 0), 0x8F00u);
  Cdd::SetAlphaTextures(true);
  ASSERT_EQ(Cdd::loadtexture(1, "A", 0), 1);
  EXPECT_EQ(Cdd::State().slots[1].desc.format, pv::FormatA8888());
  EXPECT_EQ(Cdd::State().slots[1].surface->PixelAt(3, 3), 0x80FF0000u);
  ASSERT_EQ(Cdd::loadtexture(2, "B", 0), 1);
  EXPECT_EQ(Cdd::State().slots[2].desc.format, pv::Format1555());
  EXPECT_EQ(Cdd::State().slots[2].surface->PixelAt(1, 1), 0x83E0u);
  // A missing file leaves the slot empty.
  platform::TraceCapture trace;
  EXPECT_EQ(Cdd::loadtexture(3, "NONE", 0), 0);
  EXPECT_FALSE(Cdd::State().slots[3].surface);
  EXPECT_TRUE(trace.Contains("Cdd::loadtexture:NONE file doesn't exist\n"));
  // Out of range slots are refused.
  EXPECT_EQ(Cdd::loadtexture(128, "B", 0), 0);
  EXPECT_EQ(Cdd::loadtexture(-1, "B", 0), 0);
  Cdd::releasealltexture();
  EXPECT_FALSE(Cdd::State().slots[0].surface);
  EXPECT_FALSE(Cdd::State().slots[2].texture);
}

TEST_F(PavixTextures, SixteenBitAndEmptyImagesLoadButMakeNoTexture) {
  PavixScreen screen(32, 32);
  ASSERT_TRUE(screen.ok());
  dir.Write("GOOD.TGA", pavixtest::TgaFile(4, 4, 24, [](int, int) { return 0x00FF00u; }));
  dir.Write("HIGH.TGA", pavixtest::TgaFile(4, 4, 16, [](int, int) { return 0x00FF00u; }));
  dir.Write("NONE.TGA", pavixtest::TgaFile(0, 4, 24, [](int, int) { return 0u; }));
  for (const char* name : {"HIGH", "NONE"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Cdd::loadtexture(5, "GOOD", 0), 1);
    ASSERT_TRUE(Cdd::State().slots[5].surface);
    platform::TraceCapture trace;
    EXPECT_EQ(Cdd::loadtexture(5, name, 0), 0);
    // The slot is emptied, and the file is not reported as missing.
    EXPECT_FALSE(Cdd::State().slots[5].surface);
    EXPECT_FALSE(Cdd::State().slots[5].texture);
    EXPECT_TRUE(trace.Contains(std::string("Cdd::loadtexture:") + name + " holds no 24 or 32-bit pixels\n"));
    EXPECT_FALSE(trace.Contains("doesn't exist"));
  }
}

TEST_F(PavixTextures, OneStageDrawsTheLightMapInASecondAdditivePass) {
  PavixScreen screen(32, 32, DesktopMachine32(1));
  ASSERT_TRUE(screen.ok());
  ASSERT_EQ(Cdd::State().stages, 1);
  dir.Write("BASE.TGA", pavixtest::TgaFile(4, 4, 24, [](int, int) { return 0x404040u; }));
  dir.Write("LIGHT.TGA", pavixtest::TgaFile(4, 4, 24, [](int, int) { return 0x202020u; }));
  ASSERT_EQ(Cdd::loadtexture(3, "BASE", 0), 1);
  ASSERT_EQ(Cdd::loadtexture(9, "LIGHT", 0), 1);
  ASSERT_EQ(Cdd::BeginFrame(1, 1, 0, 0, 1.0f, 0), 1);
  pv::ScopedRecorder recorder;
  CScreenVertex a = V(0, 0), b = V(31, 0), c = V(31, 31);
  for (CScreenVertex* v : {&a, &b, &c}) {
    v->u = 0.25f;
    v->u2 = 0.75f;
  }
  const std::uint32_t key = 3 | 9u << 10 | pavix::kCddNoSlot << 20;
  Cdd::AddTriangle(0x21, a, b, c, key);
  Cdd::EndFrame();
  const auto& prims = pv::Recorder::Primitives();
  ASSERT_EQ(prims.size(), 2u);
  EXPECT_EQ(prims[0].states[pv::kRsAlphaBlendEnable], 0u);
  EXPECT_FLOAT_EQ(prims[0].vertices[0].tu, 0.25f);
  EXPECT_EQ(prims[1].states[pv::kRsAlphaBlendEnable], 1u);
  EXPECT_EQ(prims[1].states[pv::kRsSrcBlend], pv::kBlendSrcAlpha);
  EXPECT_EQ(prims[1].states[pv::kRsDestBlend], pv::kBlendOne);
  EXPECT_FLOAT_EQ(prims[1].vertices[0].tu, 0.75f);
  const auto binds = pv::Recorder::LinesStartingWith("SetTexture 0");
  EXPECT_GE(binds.size(), 3u);  // the base, the light map, the base again
  // Afterwards the flags are back to the triangle's own.
  EXPECT_EQ(Cdd::State().flags, 0x21);
  // The result: grey 0x40 modulated by white, plus 0x20.
  const std::uint32_t p = screen.Pixel(25, 5);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 255), 0x60, 3);
}

}  // namespace
