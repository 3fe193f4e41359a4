// Surfaces: locks, blits with fill, colour key, stretching and clipping, lost
// surfaces and restore, device contexts and presenting into windows.
#include "platform/video/surface.h"

#include <gtest/gtest.h>

#include "platform/video/clipper.h"
#include "platform/video/display.h"
#include "platform/video/faults.h"
#include "platform/video/machine.h"
#include "platform/video/window.h"

namespace pv = platform::video;

namespace {

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pv::Machine m = pv::DefaultMachine();
    m.screenWidth = 320;
    m.screenHeight = 200;
    machine_ = std::make_unique<pv::ScopedMachine>(m);
    ASSERT_EQ(pv::Display::Create(nullptr, &display), pv::kOk);
    ASSERT_EQ(display->SetCooperativeLevel(&window, pv::kCoopNormal), pv::kOk);
  }
  std::shared_ptr<pv::Surface> Offscreen(int w, int h, std::uint32_t caps = pv::kCapsOffscreen) {
    pv::SurfaceDesc d;
    d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight;
    d.caps = caps;
    d.width = w;
    d.height = h;
    std::shared_ptr<pv::Surface> s;
    EXPECT_EQ(display->CreateSurface(d, &s), pv::kOk);
    return s;
  }
  pv::ScopedFaults faults;
  std::unique_ptr<pv::ScopedMachine> machine_;
  pv::Window window{{10, 20, 110, 80}};
  std::shared_ptr<pv::Display> display;
};

}  // namespace

TEST_F(SurfaceTest, LockGivesPitchedMemoryOnce) {
  auto s = Offscreen(33, 7);
  pv::SurfaceDesc d;
  void* bits = nullptr;
  ASSERT_EQ(s->Lock(nullptr, &d, &bits), pv::kOk);
  EXPECT_EQ(d.width, 33);
  EXPECT_GE(d.pitch, 66);
  EXPECT_EQ(d.format, pv::Format565());
  static_cast<std::uint16_t*>(bits)[d.pitch / 2 * 2 + 5] = 0x1234;
  EXPECT_EQ(s->Lock(nullptr, nullptr, &bits), pv::kErrSurfaceBusy);
  ASSERT_EQ(s->Unlock(), pv::kOk);
  EXPECT_EQ(s->Unlock(), pv::kErrNotLocked);
  EXPECT_EQ(s->PixelAt(5, 2), 0x1234u);
}

TEST_F(SurfaceTest, ColourFillIsCutToTheSurfaceOnlyWithAClipper) {
  auto s = Offscreen(8, 8);
  pv::BltFx fx;
  fx.fillColor = 0xF800;
  pv::Rect r{2, 2, 5, 4};
  ASSERT_EQ(s->Blt(&r, nullptr, nullptr, pv::kBltColorFill | pv::kBltWait, &fx), pv::kOk);
  EXPECT_EQ(s->PixelAt(2, 2), 0xF800u);
  EXPECT_EQ(s->PixelAt(4, 3), 0xF800u);
  EXPECT_EQ(s->PixelAt(5, 3), 0u);
  pv::Rect outside{-1, 0, 4, 4};
  EXPECT_EQ(s->Blt(&outside, nullptr, nullptr, pv::kBltColorFill, &fx), pv::kErrInvalidRect);
}

TEST_F(SurfaceTest, CopyWithSourceKeyAndStretch) {
  auto src = Offscreen(2, 2);
  src->SetPixel(0, 0, 0);  // the key colour
  src->SetPixel(1, 0, 0x1111);
  src->SetPixel(0, 1, 0x2222);
  src->SetPixel(1, 1, 0x3333);
  auto dst = Offscreen(8, 8);
  pv::BltFx fill;
  fill.fillColor = 0x7777;
  ASSERT_EQ(dst->Blt(nullptr, nullptr, nullptr, pv::kBltColorFill, &fill), pv::kOk);
  pv::BltFx fx;  // key 0..0
  pv::Rect d{0, 0, 4, 4};
  ASSERT_EQ(dst->Blt(&d, src.get(), nullptr, pv::kBltKeySrcOverride | pv::kBltWait, &fx), pv::kOk);
  EXPECT_EQ(dst->PixelAt(0, 0), 0x7777u);  // keyed, stretched over 2 x 2
  EXPECT_EQ(dst->PixelAt(1, 1), 0x7777u);
  EXPECT_EQ(dst->PixelAt(2, 0), 0x1111u);
  EXPECT_EQ(dst->PixelAt(3, 1), 0x1111u);
  EXPECT_EQ(dst->PixelAt(0, 3), 0x2222u);
  EXPECT_EQ(dst->PixelAt(3, 3), 0x3333u);
  EXPECT_EQ(dst->PixelAt(4, 4), 0x7777u);
  // Without a key the black texel is copied.
  pv::Rect d2{4, 4, 6, 6};
  ASSERT_EQ(dst->Blt(&d2, src.get(), nullptr, pv::kBltWait, nullptr), pv::kOk);
  EXPECT_EQ(dst->PixelAt(4, 4), 0u);
  // A source key the surface does not have is refused.
  EXPECT_EQ(dst->Blt(&d2, src.get(), nullptr, pv::kBltKeySrc, nullptr), pv::kErrNoColorKey);
}

TEST_F(SurfaceTest, ScreenBlitsGoThroughTheClipperIntoTheWindow) {
  pv::SurfaceDesc pd;
  pd.flags = pv::kDescCaps;
  pd.caps = pv::kCapsPrimary;
  std::shared_ptr<pv::Surface> primary;
  ASSERT_EQ(display->CreateSurface(pd, &primary), pv::kOk);
  EXPECT_EQ(primary->Width(), 320);
  std::shared_ptr<pv::Clipper> clipper;
  ASSERT_EQ(display->CreateClipper(0, &clipper), pv::kOk);
  ASSERT_EQ(clipper->SetWindow(&window), pv::kOk);
  ASSERT_EQ(primary->SetClipper(clipper), pv::kOk);
  auto back = Offscreen(200, 100);
  pv::BltFx fx;
  fx.fillColor = 0x07E0;
  ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, pv::kBltColorFill, &fx), pv::kOk);
  int presented = 0;
  window.onPresent = [&](const pv::Rect& r) {
    ++presented;
    EXPECT_EQ(r, (pv::Rect{0, 0, 100, 60}));
  };
  // The destination is larger than the window: only its client area is written.
  pv::Rect dst{0, 0, 200, 100};
  ASSERT_EQ(primary->Blt(&dst, back.get(), nullptr, pv::kBltWait, nullptr), pv::kOk);
  EXPECT_EQ(presented, 1);
  EXPECT_EQ(window.PixelAt(0, 0), 0x07E0u);
  EXPECT_EQ(window.PixelAt(99, 59), 0x07E0u);
  EXPECT_EQ(primary->PixelAt(5, 5), 0u);     // outside the window on the screen
  EXPECT_EQ(primary->PixelAt(10, 20), 0x07E0u);
}

TEST_F(SurfaceTest, LostSurfacesRefuseUntilRestored) {
  auto video = Offscreen(4, 4, pv::kCapsOffscreen | pv::kCapsVideoMemory);
  auto system = Offscreen(4, 4, pv::kCapsOffscreen | pv::kCapsSystemMemory);
  display->LoseSurfaces();
  EXPECT_TRUE(video->IsLost());
  EXPECT_FALSE(system->IsLost());
  void* bits;
  EXPECT_EQ(video->Lock(nullptr, nullptr, &bits), pv::kErrSurfaceLost);
  EXPECT_EQ(system->Blt(nullptr, video.get(), nullptr, 0, nullptr), pv::kErrSurfaceLost);
  pv::DrawContext* dc;
  EXPECT_EQ(video->GetDC(&dc), pv::kErrSurfaceLost);
  ASSERT_EQ(video->Restore(), pv::kOk);
  EXPECT_EQ(video->Lock(nullptr, nullptr, &bits), pv::kOk);
  EXPECT_EQ(video->Unlock(), pv::kOk);
}

TEST_F(SurfaceTest, DeviceContextHoldsTheSurface) {
  auto s = Offscreen(16, 16);
  pv::DrawContext* dc = nullptr;
  ASSERT_EQ(s->GetDC(&dc), pv::kOk);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->width, 16);
  void* bits;
  EXPECT_EQ(s->Lock(nullptr, nullptr, &bits), pv::kErrSurfaceBusy);
  pv::DrawContext* again;
  EXPECT_EQ(s->GetDC(&again), pv::kErrDcAlreadyCreated);
  EXPECT_EQ(s->ReleaseDC(dc), pv::kOk);
  EXPECT_EQ(s->ReleaseDC(dc), pv::kErrInvalidParams);
}

TEST_F(SurfaceTest, VideoMemoryRunsOutAndComesBack) {
  pv::Machine small = pv::DefaultMachine();
  small.videoMemory = 3 * 64 * 64 * 2;
  pv::ScopedMachine scoped(small);
  std::shared_ptr<pv::Display> d;
  ASSERT_EQ(pv::Display::Create(nullptr, &d), pv::kOk);
  ASSERT_EQ(d->SetCooperativeLevel(nullptr, pv::kCoopNormal), pv::kOk);
  pv::SurfaceDesc desc;
  desc.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight;
  desc.caps = pv::kCapsOffscreen | pv::kCapsVideoMemory;
  desc.width = desc.height = 64;
  std::shared_ptr<pv::Surface> a, b, c, e;
  ASSERT_EQ(d->CreateSurface(desc, &a), pv::kOk);
  ASSERT_EQ(d->CreateSurface(desc, &b), pv::kOk);
  ASSERT_EQ(d->CreateSurface(desc, &c), pv::kOk);
  EXPECT_EQ(d->CreateSurface(desc, &e), pv::kErrOutOfVideoMemory);
  // Without a placement the surface falls back to system memory.
  desc.caps = pv::kCapsOffscreen;
  ASSERT_EQ(d->CreateSurface(desc, &e), pv::kOk);
  EXPECT_TRUE(e->Caps() & pv::kCapsSystemMemory);
  b.reset();
  desc.caps = pv::kCapsOffscreen | pv::kCapsVideoMemory;
  EXPECT_EQ(d->CreateSurface(desc, &b), pv::kOk);
}

TEST_F(SurfaceTest, FaultsAreInjectedPerCall) {
  pv::Faults::Fail(pv::Call::CreateSurface, pv::kErrOutOfMemory, 1, 1, pv::kCaps3DDevice);
  pv::SurfaceDesc d;
  d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight;
  d.width = d.height = 8;
  d.caps = pv::kCapsOffscreen;
  std::shared_ptr<pv::Surface> s;
  EXPECT_EQ(display->CreateSurface(d, &s), pv::kOk);  // no 3D caps: the rule does not apply
  d.caps = pv::kCapsOffscreen | pv::kCaps3DDevice;
  EXPECT_EQ(display->CreateSurface(d, &s), pv::kOk);  // skipped once
  EXPECT_EQ(display->CreateSurface(d, &s), pv::kErrOutOfMemory);
  EXPECT_EQ(display->CreateSurface(d, &s), pv::kOk);  // only once
  pv::Faults::Fail(pv::Call::Lock, pv::kErrGeneric, 0, -1);
  void* bits;
  EXPECT_EQ(s->Lock(nullptr, nullptr, &bits), pv::kErrGeneric);
  EXPECT_EQ(s->Lock(nullptr, nullptr, &bits), pv::kErrGeneric);
  EXPECT_EQ(pv::Faults::Count(pv::Call::Lock), 2);
}

TEST(MachineSetting, ParsesTheEnvironmentForms) {
  struct Case {
    const char* setting;
    bool ok;
    bool has3D;
    std::size_t drivers;
    bool renders16;
    int width;
  };
  const Case cases[] = {
      {"", true, true, 1, true, 1920},
      {"default", true, true, 1, true, 1920},
      {"no-3d", true, false, 1, true, 1920},
      {"no-driver", true, true, 0, true, 1920},
      {"no-16bit", true, true, 1, false, 1920},
      {"screen=800x600, no-16bit", true, true, 1, false, 800},
      {"screen=axb", false, true, 1, true, 1920},
      {"bogus", false, true, 1, true, 1920},
  };
  for (const Case& k : cases) {
    pv::Machine m = pv::DefaultMachine();
    EXPECT_EQ(pv::ApplyMachineSetting(m, k.setting), k.ok) << k.setting;
    EXPECT_EQ(m.has3D, k.has3D) << k.setting;
    EXPECT_EQ(m.drivers.size(), k.drivers) << k.setting;
    if (!m.drivers.empty()) {
      EXPECT_EQ((m.drivers[0].hardware.renderBitDepth & pv::kDepth16) != 0, k.renders16) << k.setting;
    }
    EXPECT_EQ(m.screenWidth, k.width) << k.setting;
  }
}

TEST(MachineSetting, DefaultOffersOneHardwareDriverThatRendersAt16Bits) {
  pv::Machine m = pv::DefaultMachine();
  ASSERT_EQ(m.drivers.size(), 1u);
  const auto& hw = m.drivers[0].hardware;
  EXPECT_EQ(hw.colorModel, pv::kColorModelRgb);
  EXPECT_TRUE(hw.triTextureCaps & pv::kTexCapsPerspective);
  EXPECT_TRUE(hw.renderBitDepth & pv::kDepth16);
  EXPECT_NE(hw.zBufferBitDepth, 0u);
  // The three 16-bit formats first, then the two 32-bit ones.
  const std::vector<pv::PixelFormat> formats = {pv::Format565(), pv::Format4444(), pv::Format1555(),
                                                pv::FormatX8888(), pv::FormatA8888()};
  EXPECT_EQ(m.textureFormats, formats);
  EXPECT_EQ(hw.maxTextureBlendStages, 2);
  EXPECT_EQ(m.libraryVersion, 0x600);
}
