// The 3D device: scenes, viewports and depth clears, render states and
// texture handles, primitives drawn into the target and recorded.
#include "platform/video/device3d.h"

#include <gtest/gtest.h>

#include "platform/video/display.h"
#include "platform/video/faults.h"
#include "platform/video/graphics3d.h"
#include "platform/video/recorder.h"
#include "platform/video/surface.h"
#include "platform/video/texture.h"
#include "platform/video/viewport.h"

namespace pv = platform::video;

namespace {

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(pv::Display::Create(nullptr, &display), pv::kOk);
    ASSERT_EQ(display->SetCooperativeLevel(nullptr, pv::kCoopNormal), pv::kOk);
    ASSERT_EQ(display->Query3D(&d3d), pv::kOk);
    pv::SurfaceDesc d;
    d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight;
    d.caps = pv::kCapsOffscreen | pv::kCapsVideoMemory | pv::kCaps3DDevice;
    d.width = 16;
    d.height = 16;
    ASSERT_EQ(display->CreateSurface(d, &target), pv::kOk);
    pv::SurfaceDesc z;
    z.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescZBufferBits;
    z.caps = pv::kCapsZBuffer | pv::kCapsVideoMemory;
    z.width = 16;
    z.height = 16;
    z.zBufferBits = 16;
    ASSERT_EQ(display->CreateSurface(z, &zbuffer), pv::kOk);
    ASSERT_EQ(target->AddAttachedSurface(zbuffer), pv::kOk);
    ASSERT_EQ(d3d->CreateDevice(pv::DefaultDriver().guid, target, &device), pv::kOk);
    ASSERT_EQ(d3d->CreateViewport(&viewport), pv::kOk);
    ASSERT_EQ(device->AddViewport(viewport), pv::kOk);
    ASSERT_EQ(device->SetCurrentViewport(viewport), pv::kOk);
    pv::ViewportDesc vd;
    vd.width = 16;
    vd.height = 16;
    ASSERT_EQ(viewport->SetViewport(vd), pv::kOk);
  }
  static pv::TLVertex V(float x, float y, std::uint32_t color, float rhw = 0.01f, float u = 0, float v = 0) {
    pv::TLVertex t;
    t.sx = x;
    t.sy = y;
    t.sz = 1.0f / rhw / 65536.0f;
    t.rhw = rhw;
    t.color = color;
    t.tu = u;
    t.tv = v;
    return t;
  }
  void FillTriangle(std::uint32_t color, float rhw) {
    pv::TLVertex v[3] = {V(0, 0, color, rhw), V(32, 0, color, rhw), V(0, 32, color, rhw)};
    ASSERT_EQ(device->DrawPrimitive(pv::PrimitiveType::TriangleList, v, 3, pv::kDrawDoNotClip), pv::kOk);
  }
  pv::ScopedFaults faults;
  std::shared_ptr<pv::Display> display;
  std::shared_ptr<pv::Graphics3D> d3d;
  std::shared_ptr<pv::Surface> target, zbuffer;
  std::shared_ptr<pv::Device3D> device;
  std::shared_ptr<pv::Viewport> viewport;
};

}  // namespace

TEST_F(DeviceTest, DrawingNeedsAScene) {
  pv::TLVertex v[3] = {V(0, 0, ~0u), V(4, 0, ~0u), V(0, 4, ~0u)};
  EXPECT_EQ(device->DrawPrimitive(pv::PrimitiveType::TriangleList, v, 3, 0), pv::kErrSceneNotInScene);
  ASSERT_EQ(device->BeginScene(), pv::kOk);
  EXPECT_EQ(device->BeginScene(), pv::kErrSceneInScene);
  EXPECT_EQ(device->DrawPrimitive(pv::PrimitiveType::TriangleList, v, 3, 0), pv::kOk);
  EXPECT_EQ(device->EndScene(), pv::kOk);
  EXPECT_EQ(device->EndScene(), pv::kErrSceneNotInScene);
  EXPECT_EQ(target->PixelAt(1, 1), 0xFFFFu);
}

TEST_F(DeviceTest, DepthClearLetsLaterFarFacesDraw) {
  ASSERT_EQ(device->SetRenderState(pv::kRsDitherEnable, 0), pv::kOk);
  pv::Rect all{0, 0, 16, 16};
  ASSERT_EQ(viewport->Clear(1, &all, pv::kClearZBuffer), pv::kOk);
  ASSERT_EQ(device->BeginScene(), pv::kOk);
  FillTriangle(0xFFFF0000, 0.1f);   // near red
  FillTriangle(0xFF00FF00, 0.01f);  // far green: hidden
  EXPECT_EQ(target->PixelAt(2, 2), 0xF800u);
  ASSERT_EQ(device->EndScene(), pv::kOk);
  ASSERT_EQ(viewport->Clear(1, &all, pv::kClearZBuffer), pv::kOk);
  ASSERT_EQ(device->BeginScene(), pv::kOk);
  FillTriangle(0xFF00FF00, 0.01f);
  EXPECT_EQ(target->PixelAt(2, 2), 0x07E0u);
  ASSERT_EQ(device->EndScene(), pv::kOk);
}

TEST_F(DeviceTest, ClearWithoutZBufferFails) {
  target->DeleteAttachedSurface(zbuffer);
  pv::Rect all{0, 0, 16, 16};
  EXPECT_EQ(viewport->Clear(1, &all, pv::kClearZBuffer), pv::kErrZBufferNotPresent);
}

TEST_F(DeviceTest, ViewportLimitsDrawing) {
  pv::ViewportDesc vd;
  vd.x = 4;
  vd.y = 4;
  vd.width = 4;
  vd.height = 4;
  ASSERT_EQ(viewport->SetViewport(vd), pv::kOk);
  ASSERT_EQ(device->SetRenderState(pv::kRsZEnable, 0), pv::kOk);
  ASSERT_EQ(device->BeginScene(), pv::kOk);
  FillTriangle(0xFFFFFFFF, 0.1f);
  ASSERT_EQ(device->EndScene(), pv::kOk);
  EXPECT_EQ(target->PixelAt(3, 3), 0u);
  EXPECT_EQ(target->PixelAt(4, 4), 0xFFFFu);
  EXPECT_EQ(target->PixelAt(7, 7), 0xFFFFu);
  EXPECT_EQ(target->PixelAt(8, 4), 0u);
}

TEST_F(DeviceTest, TexturesAreDrawnThroughTheirHandle) {
  pv::SurfaceDesc d;
  d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescPixelFormat;
  d.caps = pv::kCapsTexture | pv::kCapsSystemMemory;
  d.width = 2;
  d.height = 2;
  d.format = pv::Format565();
  std::shared_ptr<pv::Surface> staging, onCard;
  ASSERT_EQ(display->CreateSurface(d, &staging), pv::kOk);
  d.caps = pv::kCapsTexture | pv::kCapsVideoMemory | pv::kCapsAllocOnLoad;
  ASSERT_EQ(display->CreateSurface(d, &onCard), pv::kOk);
  for (int i = 0; i < 4; ++i) staging->SetPixel(i % 2, i / 2, 0x001F);
  std::shared_ptr<pv::Texture> src, dst;
  ASSERT_EQ(staging->QueryTexture(&src), pv::kOk);
  ASSERT_EQ(onCard->QueryTexture(&dst), pv::kOk);
  ASSERT_EQ(dst->Load(*src), pv::kOk);
  std::uint32_t handle = 0, again = 0;
  ASSERT_EQ(dst->GetHandle(*device, &handle), pv::kOk);
  ASSERT_EQ(dst->GetHandle(*device, &again), pv::kOk);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(handle, again);
  ASSERT_EQ(device->SetRenderState(pv::kRsTextureHandle, handle), pv::kOk);
  ASSERT_EQ(device->SetRenderState(pv::kRsZEnable, 0), pv::kOk);
  ASSERT_EQ(device->BeginScene(), pv::kOk);
  FillTriangle(0xFFFFFFFF, 0.1f);
  ASSERT_EQ(device->EndScene(), pv::kOk);
  EXPECT_EQ(target->PixelAt(1, 1), 0x001Fu);
  // A released texture draws untextured.
  dst.reset();
  onCard.reset();
  ASSERT_EQ(device->BeginScene(), pv::kOk);
  FillTriangle(0xFFFF0000, 0.1f);
  ASSERT_EQ(device->EndScene(), pv::kOk);
  EXPECT_EQ(target->PixelAt(1, 1), 0xF800u);
  // Only texture surfaces have a texture interface.
  std::shared_ptr<pv::Texture> none;
  EXPECT_EQ(target->QueryTexture(&none), pv::kErrNoInterface);
}

TEST_F(DeviceTest, RecorderSeesStatesAndPrimitives) {
  pv::ScopedRecorder rec;
  ASSERT_EQ(device->SetRenderState(pv::kRsShadeMode, pv::kShadeFlat), pv::kOk);
  ASSERT_EQ(device->BeginScene(), pv::kOk);
  FillTriangle(0xFF123456, 0.5f);
  ASSERT_EQ(device->EndScene(), pv::kOk);
  ASSERT_EQ(pv::Recorder::Primitives().size(), 1u);
  const auto& p = pv::Recorder::Primitives()[0];
  EXPECT_EQ(p.type, pv::PrimitiveType::TriangleList);
  ASSERT_EQ(p.vertices.size(), 3u);
  EXPECT_EQ(p.vertices[1].sx, 32.0f);
  EXPECT_EQ(p.states[pv::kRsShadeMode], pv::kShadeFlat);
  EXPECT_EQ(pv::Recorder::LinesStartingWith("SetRenderState ShadeMode 1").size(), 1u);
}

TEST_F(DeviceTest, LostTargetStopsScenes) {
  display->LoseSurfaces();
  EXPECT_EQ(device->BeginScene(), pv::kErrSurfaceLost);
  ASSERT_EQ(target->Restore(), pv::kOk);
  EXPECT_EQ(device->BeginScene(), pv::kErrSurfaceLost);  // the Z-buffer too
  ASSERT_EQ(zbuffer->Restore(), pv::kOk);
  EXPECT_EQ(device->BeginScene(), pv::kOk);
  EXPECT_EQ(device->EndScene(), pv::kOk);
}

TEST_F(DeviceTest, DeviceNeedsA3DTargetOfARenderedDepth) {
  pv::SurfaceDesc d;
  d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight;
  d.caps = pv::kCapsOffscreen;
  d.width = d.height = 8;
  std::shared_ptr<pv::Surface> plain;
  ASSERT_EQ(display->CreateSurface(d, &plain), pv::kOk);
  std::shared_ptr<pv::Device3D> dev;
  EXPECT_EQ(d3d->CreateDevice(pv::DefaultDriver().guid, plain, &dev), pv::kErrInvalidCaps);
  pv::Guid unknown{};
  EXPECT_EQ(d3d->CreateDevice(unknown, target, &dev), pv::kErrBadDriver);
}

TEST_F(DeviceTest, ShrunkTexturesAreSampledFromSmallerCopies) {
  // 16 x 16 texels in one-texel black and white columns.
  pv::SurfaceDesc d;
  d.flags = pv::kDescCaps | pv::kDescWidth | pv::kDescHeight | pv::kDescPixelFormat;
  d.caps = pv::kCapsTexture | pv::kCapsSystemMemory;
  d.width = 16;
  d.height = 16;
  d.format = pv::Format565();
  std::shared_ptr<pv::Surface> tex;
  ASSERT_EQ(display->CreateSurface(d, &tex), pv::kOk);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tex->SetPixel(x, y, (x & 1) ? 0xFFFF : 0x0000);
  std::shared_ptr<pv::Texture> t;
  ASSERT_EQ(tex->QueryTexture(&t), pv::kOk);
  std::uint32_t handle = 0;
  ASSERT_EQ(t->GetHandle(*device, &handle), pv::kOk);
  ASSERT_EQ(device->SetRenderState(pv::kRsTextureHandle, handle), pv::kOk);
  ASSERT_EQ(device->SetRenderState(pv::kRsZEnable, 0), pv::kOk);
  ASSERT_EQ(device->SetRenderState(pv::kRsDitherEnable, 0), pv::kOk);
  ASSERT_EQ(device->SetRenderState(pv::kRsTextureMapBlend, pv::kTexBlendDecal), pv::kOk);
  auto quad = [&](float size) {
    pv::TLVertex v[4] = {V(0, 0, ~0u, 0.5f, 0, 0), V(size, 0, ~0u, 0.5f, 1, 0), V(size, size, ~0u, 0.5f, 1, 1),
                         V(0, size, ~0u, 0.5f, 0, 1)};
    ASSERT_EQ(device->BeginScene(), pv::kOk);
    ASSERT_EQ(device->DrawPrimitive(pv::PrimitiveType::TriangleFan, v, 4, 0), pv::kOk);
    ASSERT_EQ(device->EndScene(), pv::kOk);
  };
  // Four times smaller: every pixel is the mean of black and white.
  quad(4);
  for (int x = 0; x < 4; ++x) {
    const std::uint32_t p = target->PixelAt(x, 1);
    EXPECT_NEAR(static_cast<int>(p >> 11), 16, 1) << x;
  }
  // Drawn at full size the columns stay apart.
  quad(16);
  EXPECT_EQ(target->PixelAt(2, 3), 0u);
  EXPECT_EQ(target->PixelAt(3, 3), 0xFFFFu);
}
