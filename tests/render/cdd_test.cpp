// The display device at the boundary of the emulated display: enumeration,
// driver choice, formats, presentation, restores, the error reporter, render
// states, vertex conversion, texture slots and bitmaps.
#include "render/cdd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "datafiles/mtf_archive.h"
#include "platform/core/clock.h"
#include "platform/core/services.h"
#include "platform/core/trace.h"
#include "platform/video/display.h"
#include "platform/video/faults.h"
#include "platform/video/machine.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "platform/video/window.h"
#include "render/cdd_state.h"
#include "support/temp_dir.h"
#include "archive_fixture.h"
#include "screen_vertex.h"
#include "tga_fixture.h"

namespace pv = platform::video;

namespace {

pv::DriverDesc Driver(const char* name, int colorModel = pv::kColorModelRgb, bool perspective = true,
                      bool renders16 = true) {
  pv::DriverDesc d = pv::DefaultDriver();
  d.name = name;
  d.description = std::string("Driver ") + name;
  d.guid[15] = static_cast<std::uint8_t>(name[0]);
  d.hardware.colorModel = colorModel;
  d.hardware.triTextureCaps = perspective ? pv::kTexCapsPerspective : 0;
  d.hardware.renderBitDepth = renders16 ? pv::kDepth16 : pv::kDepth32;
  return d;
}

CVertex V(int sx, int sy, CColor c = CColor::FromRGBA(255, 255, 255, 255), float u = 0, float v = 0, int fade = 255) {
  return rendertest::ScreenVertex(sx, sy, 500.0f, c, u, v, fade);
}

class CddTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    ResetCddState();
    MtfCloseAllArchives();
    pv::SetMainWindow(&mainWindow);
  }
  void TearDown() override {
    ResetCddState();
    pv::SetMainWindow(nullptr);
  }
  std::unique_ptr<Cdd> Make(int w = 736, int h = 480) {
    auto cdd = std::make_unique<Cdd>();
    cdd->SetFormat(&mainWindow, w, h, 16, 0, 0);
    return cdd;
  }
  // The exit code when constructing the device ends the program, else -1.
  int ExitOfConstruction() {
    try {
      Cdd cdd;
    } catch (const platform::ProgramExit& e) {
      return e.code;
    }
    return -1;
  }
  platform::ScriptedServices ui;
  platform::TraceCapture trace;
  pv::ScopedFaults faults;
  pv::Window mainWindow{{100, 100, 900, 700}};
};

}  // namespace

TEST_F(CddTest, EnumerationKeepsQualifyingDriversAndPicksTheLast) {
  pv::Machine m = pv::DefaultMachine();
  m.drivers = {Driver("A"), Driver("Mono", pv::kColorModelMono), Driver("Flat", pv::kColorModelRgb, false),
               Driver("B")};
  pv::ScopedMachine scoped(m);
  auto cdd = Make();
  ASSERT_EQ(Cdd::DriverCount(), 2);
  EXPECT_STREQ(Cdd::Driver(0).name, "A");
  EXPECT_STREQ(Cdd::Driver(1).name, "B");
  EXPECT_EQ(Cdd::SelectedDriver(), 1);
  EXPECT_TRUE(trace.Contains("Enum Driver 0 Driver A A\n"));
  EXPECT_TRUE(trace.Contains("can do window 1\n"));
  EXPECT_EQ(cdd->HasDevice(), 1);
  EXPECT_EQ(cdd->CanRenderInWindow(), 1);
  EXPECT_EQ(Cdd::Driver(1).videoTextures, 1);
  EXPECT_EQ(Cdd::Driver(1).zBuffer, 1);
}

TEST_F(CddTest, SixteenDriversAtMost) {
  pv::Machine m = pv::DefaultMachine();
  m.drivers.clear();
  for (int i = 0; i < 17; ++i) m.drivers.push_back(Driver(std::string(1, static_cast<char>('a' + i)).c_str()));
  pv::ScopedMachine scoped(m);
  Cdd cdd;
  EXPECT_EQ(Cdd::DriverCount(), 16);
  EXPECT_TRUE(trace.Contains("Stopping enumaration : DDDRIVERMAX reached \n"));
  EXPECT_STREQ(Cdd::Driver(15).name, "p");
}

TEST_F(CddTest, NoUsableDriverHidesTheWindowAndExitsQuietly) {
  const char* settings[] = {"no-3d", "no-driver"};
  for (const char* setting : settings) {
    pv::Machine m = pv::DefaultMachine();
    ASSERT_TRUE(pv::ApplyMachineSetting(m, setting));
    pv::ScopedMachine scoped(m);
    mainWindow.Show(true);
    EXPECT_EQ(ExitOfConstruction(), 0) << setting;
    EXPECT_FALSE(mainWindow.IsVisible()) << setting;
  }
  pv::Machine m = pv::DefaultMachine();
  m.drivers = {Driver("Mono", pv::kColorModelMono), Driver("Flat", pv::kColorModelRgb, false)};
  pv::ScopedMachine scoped(m);
  EXPECT_EQ(ExitOfConstruction(), 0);
  pv::Faults::Fail(pv::Call::EnumDevices, pv::kErrGeneric);
  pv::ScopedMachine plain(pv::DefaultMachine());
  EXPECT_EQ(ExitOfConstruction(), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CddTest, DisplayModesAreFilteredAndSorted) {
  pv::Machine m = pv::DefaultMachine();
  m.modes = {{800, 600, 16, 75}, {640, 480, 32, 60}, {800, 600, 16, 60}, {640, 480, 16, 60}, {320, 200, 15, 70}};
  pv::ScopedMachine scoped(m);
  Cdd cdd;
  ASSERT_EQ(Cdd::DisplayModeCount(), 4);
  EXPECT_EQ(Cdd::DisplayMode(0).width, 320);
  EXPECT_EQ(Cdd::DisplayMode(1).width, 640);
  EXPECT_EQ(Cdd::DisplayMode(2).refreshRate, 60);
  EXPECT_EQ(Cdd::DisplayMode(3).refreshRate, 75);
  EXPECT_TRUE(trace.Contains("Enum Video Mode : 16 bbp 800x600 rate:75\n"));
}

TEST_F(CddTest, FormatIsClampedToTheScreen) {
  pv::Machine m = pv::DefaultMachine();
  m.screenWidth = 800;
  m.screenHeight = 600;
  pv::ScopedMachine scoped(m);
  auto cdd = Make(1000, 400);
  EXPECT_EQ(cdd->GetWidth(), 800);
  EXPECT_EQ(cdd->GetHeight(), 400);
  EXPECT_EQ(Cdd::BackSurface()->Width(), 800);
  EXPECT_EQ(cdd->GetPitch(), 1600);
  EXPECT_EQ(cdd->GetRedMask(), 0xF800u);
  EXPECT_TRUE(trace.Contains("ddsd.lPitch=1600 m_pitch=1600\n"));
  EXPECT_EQ(cdd->GetLoadableTextureCount(), 64);
  EXPECT_TRUE(trace.Contains("countLoadableTexture(256):64\n"));
}

TEST_F(CddTest, FailedThreeDBackSurfaceRebuildsTheFormatWithout3D) {
  pv::Faults::Fail(pv::Call::CreateSurface, pv::kErrOutOfVideoMemory, 0, 1, pv::kCaps3DDevice);
  auto cdd = Make();
  EXPECT_TRUE(trace.Contains("RETRY ALL SETFORMAT\n"));
  EXPECT_EQ(cdd->HasDevice(), 0);
  EXPECT_EQ(cdd->CanRenderInWindow(), 0);
  EXPECT_EQ(cdd->GetLoadableTextureCount(), 0);
  ASSERT_NE(Cdd::BackSurface(), nullptr);
  EXPECT_FALSE(Cdd::BackSurface()->Caps() & pv::kCaps3DDevice);
  EXPECT_EQ(Cdd::Device(), nullptr);
  // The software path draws into the locked back surface and shows it.
  auto* bits = static_cast<std::uint16_t*>(cdd->Lock());
  ASSERT_NE(bits, nullptr);
  bits[0] = 0xF800;
  cdd->Unlock();
  EXPECT_EQ(cdd->Show(), pv::kOk);
  EXPECT_EQ(mainWindow.PixelAt(0, 0), 0xF800u);
}

TEST_F(CddTest, DriverThatCannotRenderAt16BitsLeavesTheSoftwarePath) {
  pv::Machine m = pv::DefaultMachine();
  ASSERT_TRUE(pv::ApplyMachineSetting(m, "no-16bit"));
  pv::ScopedMachine scoped(m);
  auto cdd = Make();
  EXPECT_EQ(cdd->HasDevice(), 0);
  EXPECT_EQ(cdd->CanRenderInWindow(), 0);
}

TEST_F(CddTest, RunsOnWithoutAZBuffer) {
  pv::Faults::Fail(pv::Call::CreateSurface, pv::kErrOutOfVideoMemory, 0, 1, pv::kCapsZBuffer);
  auto cdd = Make(64, 64);
  EXPECT_TRUE(trace.Contains("Cdd:creating Zbuffer:64,64\n"));
  EXPECT_TRUE(trace.Contains("ERROR\n"));
  EXPECT_EQ(Cdd::HasZBuffer(), 0);
  EXPECT_EQ(cdd->HasDevice(), 1);
  cdd->SetDither(0);
  cdd->beginRender(1);
  CVertex a = V(0, 0), b = V(20, 0), c = V(0, 20);
  cdd->DrawTriangle(0, &a, &b, &c, -1, CColor::FromRGBA(255, 0, 0, 255));
  EXPECT_EQ(cdd->endRender(), pv::kOk);
  EXPECT_EQ(Cdd::BackSurface()->PixelAt(2, 2), 0xF800u);
  // A machine without Z-buffer support never makes one.
  ResetCddState();
  pv::Machine m = pv::DefaultMachine();
  ASSERT_TRUE(pv::ApplyMachineSetting(m, "no-zbuffer"));
  pv::ScopedMachine scoped(m);
  auto other = Make(64, 64);
  EXPECT_EQ(Cdd::HasZBuffer(), 0);
  other->beginRender(1);
  EXPECT_EQ(other->endRender(), pv::kOk);
}

TEST_F(CddTest, ShowAfterLostSurfacesRestoresAndPresents) {
  dir.Write("tex.tga", rendertest::SolidTga(8, 8, 24, {255, 0, 0}));
  auto cdd = Make(64, 48);
  ASSERT_EQ(cdd->LoadTexture(3, "tex.tga"), 1);
  EXPECT_NE(Cdd::TextureSlotHandle(3), 0u);
  ASSERT_EQ(cdd->FillRectangle(0, 0, 64, 48, CColor(0, 255, 0)), pv::kOk);
  Cdd::GetDisplay()->LoseSurfaces();
  trace.Clear();
  const int presents = mainWindow.PresentCount();
  EXPECT_EQ(cdd->Show(), pv::kOk);
  EXPECT_EQ(mainWindow.PresentCount(), presents + 1);
  EXPECT_TRUE(trace.Contains("loaded texture tex.tga\n"));
  EXPECT_NE(Cdd::TextureSlotHandle(3), 0u);
  EXPECT_FALSE(Cdd::BackSurface()->IsLost());
  // A restore that fails is returned.
  Cdd::GetDisplay()->LoseSurfaces();
  pv::Faults::Fail(pv::Call::Restore, pv::kErrGeneric);
  EXPECT_EQ(cdd->Show(), pv::kErrGeneric);
}

TEST_F(CddTest, PresentToALargerWindowStopsAtTheSurface) {
  auto cdd = Make(100, 80);
  ASSERT_EQ(cdd->FillRectangle(0, 0, 100, 80, CColor(255, 255, 255)), pv::kOk);
  pv::Window preview({0, 0, 300, 300});
  ASSERT_EQ(cdd->PresentToWindow(0, 0, &preview), pv::kOk);
  EXPECT_EQ(preview.PixelAt(0, 0), 0u);
  EXPECT_EQ(preview.PixelAt(1, 1), 0xFFFFu);
  EXPECT_EQ(preview.PixelAt(99, 79), 0xFFFFu);
  EXPECT_EQ(preview.PixelAt(100, 50), 0u);
  EXPECT_EQ(preview.PixelAt(50, 80), 0u);
  // The clipper is bound back to the format's window.
  EXPECT_EQ(cdd->Show(), pv::kOk);
  EXPECT_EQ(mainWindow.PixelAt(5, 5), 0xFFFFu);
}

TEST_F(CddTest, ReportErrorTextsAndExit) {
  struct Case {
    HRESULT code;
    const char* context;
    std::string message;
  };
  const Case cases[] = {
      {static_cast<HRESULT>(0x88760001u), "Ctx:", "Ctx:(Err 0x88760001) Unknown error.\n"},
      {0, "Cdd::Lock : Surface locked", "Cdd::Lock : Surface locked"},
      {static_cast<HRESULT>(0x80004005u), nullptr,
       "DirectDraw error\n(Err 0x80004005) There is an undefined error condition.\n"},
      {pv::kErrInvalidPixelFormat, "",
       "(Err 0x88760091) Change your display settings to 16 bits(65536 or 32768 colors)\n"},
      {pv::kErrOutOfMemory, "X ",
       "X (Err 0x8007000e) DirectDraw does not have enough memory to perform the operation.\n"},
  };
  for (const Case& k : cases) {
    ResetCddState();
    ui.boxes.clear();
    mainWindow.Show(true);
    auto cdd = Make(32, 32);
    try {
      cdd->ReportError(k.code, k.context);
      ADD_FAILURE() << "no exit";
    } catch (const platform::ProgramExit& e) {
      EXPECT_EQ(e.code, 0);
    }
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, k.message);
    EXPECT_EQ(ui.boxes[0].caption, "Direct Draw Error");
    EXPECT_FALSE(mainWindow.IsVisible());
    EXPECT_EQ(Cdd::GetDisplay(), nullptr);
    cdd.reset();  // nothing is left to release
  }
  EXPECT_TRUE(trace.Contains("Cdd:Directdrawerror:X (Err 0x8007000e)"));
  EXPECT_EQ(std::string(Cdd::ErrorDescription(pv::kErrSurfaceLost)).substr(0, 47),
            "Access to this surface is refused because the s");
  EXPECT_STREQ(Cdd::ErrorDescription(pv::kErrNoPaletteAttached),
               "Change your display settings to 16 bits(65536 or 32768 colors)\n");
}

TEST_F(CddTest, LostSurfaceIsNotFatal) {
  auto cdd = Make(32, 32);
  EXPECT_EQ(cdd->ReportError(pv::kErrSurfaceLost, "x"), 0);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(trace.Contains("DDERR_SURFACELOST"));
}

TEST_F(CddTest, LockedSurfaceIsFatalForLockShowAndFormat) {
  struct Case {
    const char* message;
    void (*act)(Cdd&);
  };
  const Case cases[] = {
      {"Cdd::Lock : Surface locked", [](Cdd& c) { c.Lock(); }},
      {"Cdd::Show : Surface locked", [](Cdd& c) { c.Show(); }},
      {"Cdd::FillRectangle Surface locked", [](Cdd& c) { c.FillRectangle(0, 0, 1, 1, CColor()); }},
      {"Cdd::SetFormat : Surface locked", [](Cdd& c) { c.SetFormat(nullptr, 8, 8, 16, 0, 0); }},
  };
  for (const Case& k : cases) {
    ResetCddState();
    ui.boxes.clear();
    auto cdd = Make(32, 32);
    ASSERT_NE(cdd->Lock(), nullptr);
    EXPECT_THROW(k.act(*cdd), platform::ProgramExit);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, k.message);
    cdd.reset();
  }
}

TEST_F(CddTest, FillAndColourConversion) {
  auto cdd = Make(16, 16);
  EXPECT_EQ(cdd->ColorToPixel(CColor(255, 128, 64)), 0xFC08);
  EXPECT_EQ(cdd->ColorToPixel(CColor(7, 3, 7)), 0);
  ASSERT_EQ(cdd->FillRectangle(2, 3, 5, 6, CColor(0, 0, 255)), pv::kOk);
  EXPECT_EQ(Cdd::BackSurface()->PixelAt(2, 3), 0x001Fu);
  EXPECT_EQ(Cdd::BackSurface()->PixelAt(5, 3), 0u);
  EXPECT_EQ(cdd->FillRectangle(-5, 0, 5, 5, CColor()), pv::kErrInvalidRect);
}

// The channel position and width of a mask, as pixel formats and texture conversions read them.
TEST(PixelMaskTest, LowestSetBitAndMaskBitCount) {
  struct Case {
    std::uint32_t mask;
    int lowest, count;
  } cases[] = {
      {0xF800, 11, 5}, {0x07E0, 5, 6}, {0x001F, 0, 5}, {0x7C00, 10, 5}, {0x8000, 15, 1},
      {0xFF000000u, 24, 8}, {0x0F0F, 0, 4},  // a gap ends the run
      {0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LowestSetBit(c.mask), c.lowest) << std::hex << c.mask;
    EXPECT_EQ(MaskBitCount(c.mask), c.count) << std::hex << c.mask;
  }
}

TEST_F(CddTest, RenderStatesChangeOnlyWithTheFlags) {
  auto cdd = Make(64, 64);
  pv::ScopedRecorder rec;
  cdd->beginRender(1);
  CVertex a = V(0, 0), b = V(10, 0), c = V(0, 10);
  cdd->DrawTriangle(0x5, &a, &b, &c, 0, CColor());
  EXPECT_FALSE(pv::Recorder::LinesStartingWith("SetRenderState ShadeMode 2").empty());
  pv::Recorder::Clear();
  cdd->DrawTriangle(0x5, &a, &b, &c, 0, CColor());
  EXPECT_TRUE(pv::Recorder::LinesStartingWith("SetRenderState").empty());
  EXPECT_EQ(pv::Recorder::Primitives().size(), 1u);
  // Blending on: Z write off, alpha blending, modulate-alpha.
  pv::Recorder::Clear();
  cdd->DrawTriangle(0x15, &a, &b, &c, 0, CColor());
  EXPECT_EQ(pv::Recorder::LinesStartingWith("SetRenderState ZWriteEnable 0").size(), 1u);
  EXPECT_EQ(pv::Recorder::LinesStartingWith("SetRenderState AlphaBlendEnable 1").size(), 1u);
  EXPECT_EQ(pv::Recorder::Primitives().back().states[pv::kRsTextureMapBlend], pv::kTexBlendModulateAlpha);
  // A slot of -1 draws untextured.
  pv::Recorder::Clear();
  cdd->DrawTriangle(0x1, &a, &b, &c, -1, CColor());
  EXPECT_EQ(pv::Recorder::Primitives().back().states[pv::kRsTextureHandle], 0u);
  EXPECT_EQ(Cdd::CachedTexture(), -1);
  // Colour key: key on and nearest filtering with bilinear on.
  pv::Recorder::Clear();
  cdd->DrawTriangle(0x9, &a, &b, &c, 0, CColor());
  const auto& st = pv::Recorder::Primitives().back().states;
  EXPECT_EQ(st[pv::kRsColorKeyEnable], 1u);
  EXPECT_EQ(st[pv::kRsTextureMag], pv::kFilterNearest);
  cdd->endRender();
}

TEST_F(CddTest, VertexConversionExamples) {
  dir.Write("rgb.tga", rendertest::SolidTga(4, 4, 24, {10, 20, 30}));
  dir.Write("rgba.tga", rendertest::SolidTga(4, 4, 32, {10, 20, 30, 40}));
  auto cdd = Make(64, 64);
  ASSERT_EQ(cdd->LoadTexture(0, "rgb.tga"), 1);
  ASSERT_EQ(cdd->LoadTexture(1, "rgba.tga"), 1);
  EXPECT_EQ(Cdd::TextureSlotHasAlpha(0), 0);
  EXPECT_EQ(Cdd::TextureSlotHasAlpha(1), 1);
  pv::ScopedRecorder rec;
  cdd->beginRender(1);
  const CColor vc = CColor::FromRGBA(200, 100, 50, 128);
  CVertex a = V(0, 0, vc, 128, 64, 77), b = V(10, 0, vc), c = V(0, 10, vc);
  struct Case {
    int flags;
    int slot;
    CColor color;
    std::uint32_t diffuse;
    std::uint32_t specular;
    std::uint32_t specularState;
  };
  const Case cases[] = {
      // smooth, textured, fade on: bright ramp in diffuse, the excess in specular
      {0x5, 0, CColor(), 0x80FFC864, 0x4D480000, 1},
      // smooth, untextured: vertex times colour
      {0x4, 0, CColor::FromRGBA(128, 255, 0, 9), 0x80646300, 0x4D000000, 1},
      // smooth, textured, fade off, bright: doubled, held at 255
      {0x10805, 0, CColor(), 0x80FFC864, 0x4D000000, 0},
      // smooth, textured, fade off: unchanged
      {0x805, 0, CColor(), 0x80C86432, 0x4D000000, 0},
      // flat, untextured: the colour argument
      {0x0, 0, CColor::FromRGBA(1, 2, 3, 4), 0x04010203, 0x4D000000, 1},
      // flat, textured, not blended: white
      {0x1, 0, CColor(), 0xFFFFFFFF, 0x4D000000, 1},
      // flat, textured, blended, 24-bit slot: white with the vertex alpha, fade kept
      {0x11, 0, CColor(), 0x80FFFFFF, 0x4D000000, 1},
      // flat, textured, blended, 32-bit slot: white, fade off
      {0x11, 1, CColor(), 0xFFFFFFFF, 0x4D000000, 0},
  };
  for (const Case& k : cases) {
    cdd->DrawTriangle(k.flags, &a, &b, &c, k.slot, k.color);
    const auto& p = pv::Recorder::Primitives().back();
    EXPECT_EQ(p.vertices[0].color, k.diffuse) << std::hex << k.flags;
    EXPECT_EQ(p.vertices[0].specular, k.specular) << std::hex << k.flags;
    EXPECT_EQ(p.states[pv::kRsSpecularEnable], k.specularState) << std::hex << k.flags;
  }
  const auto& p = pv::Recorder::Primitives().back();
  EXPECT_FLOAT_EQ(p.vertices[0].tu, 0.5f);
  EXPECT_FLOAT_EQ(p.vertices[0].tv, 0.25f);
  EXPECT_FLOAT_EQ(p.vertices[0].sz, 500.0f / 65536.0f);
  EXPECT_FLOAT_EQ(p.vertices[0].rhw, 1.0f / 500.0f);
  // Translucency by vertex alpha turns blending on.
  cdd->DrawTriangle(0x8001, &a, &b, &c, 0, CColor());
  EXPECT_EQ(pv::Recorder::Primitives().back().states[pv::kRsAlphaBlendEnable], 1u);
  // Outlines become three lines, untextured and Gouraud.
  pv::Recorder::Clear();
  cdd->DrawTriangle(0x3, &a, &b, &c, 0, CColor::FromRGBA(9, 9, 9, 255));
  ASSERT_EQ(pv::Recorder::Primitives().size(), 3u);
  for (const auto& line : pv::Recorder::Primitives()) {
    EXPECT_EQ(line.type, pv::PrimitiveType::LineList);
    EXPECT_EQ(line.vertices[0].color, 0x00090909u);
    EXPECT_EQ(line.states[pv::kRsShadeMode], pv::kShadeGouraud);
  }
  cdd->endRender();
}

TEST_F(CddTest, TrianglesReachTheBackSurface) {
  auto cdd = Make(32, 32);
  cdd->SetDither(0);
  cdd->beginRender(1);
  CVertex a = V(0, 0), b = V(16, 0), c = V(16, 16), d = V(0, 16);
  cdd->DrawQuad(0x0, &a, &b, &c, &d, -1, CColor::FromRGBA(0, 255, 0, 255));
  cdd->endRender();
  EXPECT_EQ(Cdd::BackSurface()->PixelAt(0, 0), 0x07E0u);
  EXPECT_EQ(Cdd::BackSurface()->PixelAt(15, 15), 0x07E0u);
  EXPECT_EQ(Cdd::BackSurface()->PixelAt(16, 16), 0u);
}

TEST_F(CddTest, TextureSlotsLoadFromFilesAndArchives) {
  dir.Write("a.tga", rendertest::SolidTga(4, 4, 24, {1, 2, 3}));
  dir.Write("data.mtf", rendertest::MakeArchive({{"DATA\\b.tga", rendertest::SolidTga(2, 2, 32, {1, 2, 3, 4})}}));
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  auto cdd = Make(32, 32);
  EXPECT_EQ(cdd->LoadTexture(0, "a.tga"), 1);
  EXPECT_EQ(Cdd::TextureSlotName(0), "a.tga");
  EXPECT_EQ(cdd->LoadTexture(1, "data\\b.tga"), 1);
  EXPECT_NE(Cdd::TextureSlotHandle(1), 0u);
  EXPECT_EQ(cdd->LoadTexture(0, "missing.tga"), 0);
  EXPECT_EQ(Cdd::TextureSlotName(0), "");
  EXPECT_EQ(cdd->LoadTexture(64, "a.tga"), 0);
  EXPECT_EQ(cdd->LoadTexture(-1, "a.tga"), 0);
  // A file that is not a usable TGA keeps its name but gets no texture.
  dir.Write("bad.tga", std::string("not a picture"));
  EXPECT_EQ(cdd->LoadTexture(2, "bad.tga"), 1);
  EXPECT_EQ(Cdd::TextureSlotHandle(2), 0u);
  EXPECT_TRUE(trace.Contains("Can't load texture bad.tga\n"));
  // Names survive a new format and the slots are made again.
  cdd->SetFormat(&mainWindow, 48, 48, 16, 0, 0);
  EXPECT_NE(Cdd::TextureSlotHandle(1), 0u);
  MtfCloseAllArchives();
}

TEST_F(CddTest, LoadableTexturesFollowTheCardsMemory) {
  pv::Machine m = pv::DefaultMachine();
  // Room for the screen, the back surface and the Z-buffer, and ten textures of 256 x 256.
  m.screenWidth = 640;
  m.screenHeight = 480;
  m.videoMemory = 640 * 480 * 2 + 64 * 64 * 2 + 64 * 64 * 4 + 10 * 256 * 256 * 2 + 1000;
  pv::ScopedMachine scoped(m);
  auto cdd = Make(64, 64);
  EXPECT_EQ(cdd->GetLoadableTextureCount(), 10);
  // Without a 3D driver nothing is loadable.
  ResetCddState();
  auto soft = std::make_unique<Cdd>();
  soft->SetFormat(&mainWindow, 64, 64, 16, 0, kCddFormatNo3D);
  EXPECT_EQ(soft->GetLoadableTextureCount(), 0);
  EXPECT_EQ(soft->LoadTexture(0, "a.tga"), 0);
}

TEST_F(CddTest, BitmapsAreCachedAndTheOldestIsReplaced) {
  platform::FakeClock clock(1000);
  for (int i = 0; i < 129; ++i)
    dir.Write("b" + std::to_string(i) + ".tga", rendertest::SolidTga(2, 2, 24, {static_cast<std::uint8_t>(i), 1, 1}));
  auto cdd = Make(32, 32);
  for (int i = 0; i < 128; ++i) {
    clock.Advance(10);
    EXPECT_EQ(cdd->LoadBitmap(("b" + std::to_string(i) + ".tga").c_str()), i);
  }
  clock.Advance(10);
  EXPECT_EQ(cdd->LoadBitmap("b0.tga"), 0);  // a hit refreshes its time
  EXPECT_EQ(Cdd::BitmapSlotTime(0), clock.now());
  clock.Advance(10);
  EXPECT_EQ(cdd->LoadBitmap("b128.tga"), 1);  // slot 1 is now the oldest
  EXPECT_EQ(Cdd::BitmapSlotName(1), "b128.tga");
  EXPECT_EQ(Cdd::BitmapSlotName(0), "b0.tga");
  EXPECT_EQ(cdd->LoadBitmap("nothing.tga"), -1);
  EXPECT_TRUE(trace.Contains("Cdd:loading bitmap b128.tga OK\n"));
  trace.Clear();
  cdd->ReleaseBitmaps();
  EXPECT_TRUE(trace.Contains("Cdd:releasing bitmaps b0.tga\n"));
  EXPECT_EQ(Cdd::BitmapSlotName(0), "");
}

TEST_F(CddTest, DrawBitmapClipsByMovingTheSource) {
  // One row of 20 columns, column i has blue 8 * i.
  std::vector<std::uint8_t> row;
  for (int i = 0; i < 20; ++i) row.insert(row.end(), {static_cast<std::uint8_t>(8 * i + 8), 0, 0});
  dir.Write("strip.tga", rendertest::MakeTga(20, 1, 24, row));
  auto cdd = Make(16, 16);
  cdd->DrawBitmap("strip.tga", pv::Rect{-10, 0, 10, 1}, pv::Rect{0, 0, 20, 1}, CColor());
  auto* back = Cdd::BackSurface();
  EXPECT_EQ(back->PixelAt(0, 0), static_cast<std::uint32_t>(((8 * 10 + 8) >> 3) | 1));
  EXPECT_EQ(back->PixelAt(9, 0), static_cast<std::uint32_t>(((8 * 19 + 8) >> 3) | 1));
  EXPECT_EQ(back->PixelAt(10, 0), 0u);
  // Placed whole at a point, cut at the right edge.
  cdd->DrawBitmapAt("strip.tga", 10, 5);
  EXPECT_EQ(back->PixelAt(10, 5), static_cast<std::uint32_t>((8 >> 3) | 1));
  EXPECT_EQ(back->PixelAt(15, 5), static_cast<std::uint32_t>(((8 * 5 + 8) >> 3) | 1));
  cdd->DrawBitmapAt("missing.tga", 0, 0);  // draws nothing
}

TEST_F(CddTest, DestroyingTheDeviceReleasesEverything) {
  auto cdd = Make(32, 32);
  dir.Write("x.tga", rendertest::SolidTga(2, 2, 24, {5, 5, 5}));
  ASSERT_GE(cdd->LoadBitmap("x.tga"), 0);
  cdd.reset();
  EXPECT_TRUE(trace.Contains("Cdd:releasing bitmaps x.tga\n"));
  EXPECT_TRUE(trace.Contains("Cdd::~Cdd\n"));
  EXPECT_EQ(Cdd::GetDisplay(), nullptr);
  EXPECT_EQ(Cdd::BackSurface(), nullptr);
}

TEST_F(CddTest, SceneStartRestoresLostSurfacesAndPausesForUploads) {
  dir.Write("t.tga", rendertest::SolidTga(4, 4, 24, {9, 9, 9}));
  auto cdd = Make(32, 32);
  ASSERT_EQ(cdd->LoadTexture(0, "t.tga"), 1);
  Cdd::GetDisplay()->LoseSurfaces();
  pv::ScopedRecorder rec;
  cdd->beginRender(0);  // the first scene start finds the surfaces lost
  EXPECT_TRUE(Cdd::Device()->InScene());
  EXPECT_FALSE(Cdd::BackSurface()->IsLost());
  EXPECT_NE(Cdd::TextureSlotHandle(0), 0u);
  EXPECT_EQ(pv::Recorder::LinesStartingWith("BeginScene").size(), 2u);
  cdd->PauseRender();
  EXPECT_FALSE(Cdd::Device()->InScene());
  cdd->ResumeRender();
  EXPECT_TRUE(Cdd::Device()->InScene());
  EXPECT_EQ(Cdd::CachedTexture(), -1);
  EXPECT_EQ(cdd->endRender(), pv::kOk);
  // Lost before a depth clear, the clear's report restores them.
  Cdd::GetDisplay()->LoseSurfaces();
  pv::Recorder::Clear();
  cdd->beginRender(1);
  EXPECT_TRUE(Cdd::Device()->InScene());
  EXPECT_EQ(pv::Recorder::LinesStartingWith("BeginScene").size(), 1u);
  EXPECT_EQ(cdd->endRender(), pv::kOk);
  // A scene that cannot start for another reason is fatal.
  pv::Faults::Fail(pv::Call::BeginScene, pv::kErrGeneric);
  EXPECT_THROW(cdd->beginRender(0), platform::ProgramExit);
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_EQ(ui.boxes.back().text.rfind("Cdd:beginRender (beginScene)", 0), 0u);
}

TEST_F(CddTest, StagingRowsAreReleasedByName) {
  dir.Write("t.tga", rendertest::SolidTga(4, 4, 24, {9, 9, 9}));
  auto cdd = Make(32, 32);
  ASSERT_EQ(cdd->LoadTexture(5, "t.tga"), 1);
  cdd->ReleaseBitmapOfTexture(5);  // the rows keep no names: nothing matches
  cdd->ReleaseBitmapOfTexture(99);
  cdd->ReleaseAllBitmaps();
  EXPECT_EQ(Cdd::StagingCount(), 32);
  EXPECT_NE(Cdd::TextureSlotHandle(5), 0u);  // the device texture stays
}
