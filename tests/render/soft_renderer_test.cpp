// The software renderer drawing into the display device's 16-bit back
// surface (or into a guarded buffer of the test's own), checked in pixels:
// ownership of pixels by the span lists, the deferred see-through spans, the
// fillers, lines, clipping and the tables.
#include "render/soft_renderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/core/services.h"
#include "platform/video/faults.h"
#include "platform/video/surface.h"
#include "platform/video/window.h"
#include "render/cdd.h"
#include "render/cdd_state.h"
#include "render/engine_3d.h"
#include "render/face.h"
#include "support/temp_dir.h"
#include "screen_vertex.h"
#include "tga_fixture.h"

namespace pv = platform::video;

namespace {

constexpr int kW = 64;
constexpr int kH = 48;
constexpr std::uint16_t kWhite = 0xFFFF;
constexpr int kTextured = 0x1, kOutline = 0x2, kSmooth = 0x4, kKeyed = 0x8, kBlended = 0x10;

CVertex V(int x, int y, CColor c = CColor::FromRGBA(128, 128, 128, 255), float u = 0.0f, float v = 0.0f) {
  return rendertest::ScreenVertex(x, y, 400.0f, c, u, v);
}

// The renderer bound to a small device back surface, as the program binds it.
class SoftRendererTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    ResetCddState();
    cdd = std::make_unique<Cdd>();
    cdd->SetFormat(&window, kW, kH, 16, 0, 0);
    r = std::make_unique<CSoftRenderer>();
    r->SetScreenSize(kW, kH, 0);  // the device's pitch is taken at the frame
    r->SetDevice(cdd.get());
    r->SetPixelFormat(0xF800, 0x07E0, 0x001F);
  }
  void TearDown() override {
    r.reset();
    cdd.reset();
    ResetCddState();
  }
  // Clears the back surface to one pixel value and starts a frame.
  void Begin(std::uint16_t clear = kWhite) {
    auto* back = Cdd::BackSurface();
    ASSERT_NE(back, nullptr);
    for (int y = 0; y < back->Height(); ++y)
      for (int x = 0; x < back->Width(); ++x)
        std::memcpy(back->Bits() + y * back->Pitch() + x * 2, &clear, 2);
    ASSERT_EQ(r->BeginFrame(1), 1);
  }
  static std::uint16_t Px(int x, int y) { return static_cast<std::uint16_t>(Cdd::BackSurface()->PixelAt(x, y)); }
  void Tri(int flags, CVertex a, CVertex b, CVertex c, CColor colour = CColor(255, 0, 0), int slot = 0) {
    r->DrawTriangle(flags, &a, &b, &c, slot, colour);
  }
  int CountOf(std::uint16_t value) const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += Px(x, y) == value;
    return n;
  }
  // A texture file of one 24-bit colour (B, G, R), or a pattern, loaded into a slot.
  void LoadTga(int slot, const std::string& name, const std::vector<std::uint8_t>& tga) {
    dir.Write(name, tga);
    ASSERT_EQ(r->LoadTexture(slot, name.c_str()), 1);
  }

  platform::ScriptedServices ui;
  pv::ScopedFaults faults;
  pv::Window window{{0, 0, kW, kH}};
  std::unique_ptr<Cdd> cdd;
  std::unique_ptr<CSoftRenderer> r;
};

// The pixel of a flat-shaded face of 12-bit colour c at shade s, in 5-6-5.
std::uint16_t ShadePixel(int r4, int g4, int b4, int s) {
  auto level = [s](int n) { return s <= 15 ? n * s : 16 * n + (16 - n) * (s - 16); };
  return static_cast<std::uint16_t>((level(r4) >> 3) << 11 | (level(g4) >> 2) << 5 | (level(b4) >> 3));
}

TEST_F(SoftRendererTest, FirstOpaqueTriangleKeepsThePixelsItCovers) {
  const std::uint16_t red = ShadePixel(15, 0, 0, 15), blue = ShadePixel(0, 0, 15, 15);
  for (bool redFirst : {true, false}) {
    SCOPED_TRACE(redFirst ? "red first" : "blue first");
    Begin();
    const CColor first = redFirst ? CColor(255, 0, 0) : CColor(0, 0, 255);
    const CColor second = redFirst ? CColor(0, 0, 255) : CColor(255, 0, 0);
    Tri(kSmooth, V(0, 0), V(40, 0), V(0, 40), first);
    Tri(kSmooth, V(10, 5), V(60, 5), V(10, 45), second);
    r->EndFrame();
    const std::uint16_t a = redFirst ? red : blue, b = redFirst ? blue : red;
    EXPECT_EQ(Px(12, 8), a) << "overlap belongs to the first";
    EXPECT_EQ(Px(2, 2), a);
    EXPECT_EQ(Px(50, 8), b) << "the second fills what is still free";
    EXPECT_EQ(Px(12, 40), b);
    EXPECT_EQ(Px(60, 46), kWhite);
  }
}

TEST_F(SoftRendererTest, EngineHandsOpaqueFacesNearestFirstWhateverTheSubmissionOrder) {
  C3DEngine::ResetState();
  C3DEngine engine;
  engine.SetRenderer(r.get());
  engine.SetFocal(500.0f, 500.0f);
  engine.SetNearPlane(128.0f);
  engine.SetViewportRect(0, 0, kW - 1, kH - 1);
  for (bool nearFirst : {true, false}) {
    SCOPED_TRACE(nearFirst ? "near face submitted first" : "far face submitted first");
    Begin();
    ASSERT_EQ(engine.BeginFrame(1), 1);
    CVertex* v = engine.AllocVertices(6);
    ASSERT_NE(v, nullptr);
    // A near red triangle and a far green one over the same pixels.
    const float depth[2] = {nearFirst ? 300.0f : 3000.0f, nearFirst ? 3000.0f : 300.0f};
    for (int t = 0; t < 2; ++t) {
      const CVertex corners[3] = {V(4, 4), V(60, 4), V(4, 44)};
      for (int i = 0; i < 3; ++i) {
        CVertex& p = v[t * 3 + i];
        p = corners[i];
        p.z = depth[t];
        p.rz = 1.0f / depth[t];
        p.fade = -1;  // fog off
      }
    }
    CFace faces[2];
    const std::uint32_t colour[2] = {nearFirst ? 0xFFFF0000u : 0xFF00FF00u, nearFirst ? 0xFF00FF00u : 0xFFFF0000u};
    for (int t = 0; t < 2; ++t)
      faces[t].InitTriangleColour(kFaceSmooth, colour[t], static_cast<std::uint16_t>(t * 3),
                                  static_cast<std::uint16_t>(t * 3 + 1), static_cast<std::uint16_t>(t * 3 + 2));
    engine.AddFaces(v, faces, 2);
    engine.FlushBuckets();
    engine.EndFrame();
    EXPECT_EQ(Px(10, 10), ShadePixel(15, 0, 0, 15)) << "the near red face is seen";
  }
  C3DEngine::ResetState();
}

TEST_F(SoftRendererTest, TranslucentFacesAreDrawnOverOpaqueOnesAtTheEndOfTheFrame) {
  const std::uint16_t red = ShadePixel(15, 0, 0, 15), green = ShadePixel(0, 15, 0, 16);
  const CColor seeThrough = CColor::FromRGBA(200, 200, 200, 255);  // alpha above 128: drawn
  // In front: submitted before the opaque face behind it.
  Begin();
  Tri(kSmooth | kBlended, V(0, 0, seeThrough), V(30, 0, seeThrough), V(0, 30, seeThrough), CColor(0, 255, 0));
  Tri(kSmooth, V(0, 0), V(60, 0), V(0, 46), CColor(255, 0, 0));
  EXPECT_EQ(Px(5, 5), red) << "queued until the end of the frame";
  EXPECT_EQ(r->EndFrameCount(), 30);
  EXPECT_EQ(Px(5, 5), green);
  EXPECT_EQ(Px(40, 5), red);
  // Behind: submitted after the opaque face; only what is still free shows.
  Begin();
  Tri(kSmooth, V(0, 0), V(30, 0), V(0, 30), CColor(255, 0, 0));
  Tri(kSmooth | kBlended, V(0, 0, seeThrough), V(60, 0, seeThrough), V(0, 46, seeThrough), CColor(0, 255, 0));
  r->EndFrame();
  EXPECT_EQ(Px(5, 5), red);
  EXPECT_EQ(Px(40, 5), green);
  // Alpha below 128 leaves the pixel alone.
  Begin();
  const CColor faint = CColor::FromRGBA(200, 200, 200, 100);
  Tri(kSmooth | kBlended, V(0, 0, faint), V(60, 0, faint), V(0, 46, faint), CColor(0, 255, 0));
  r->EndFrame();
  EXPECT_EQ(CountOf(kWhite), kW * kH);
}

TEST_F(SoftRendererTest, DeferredSpansPastTheFramesLimitAreDropped) {
  const std::uint16_t green = ShadePixel(0, 15, 0, 16), red = ShadePixel(15, 0, 0, 16);
  const CColor on = CColor::FromRGBA(128, 128, 128, 255);
  Begin();
  // 400 see-through triangles of 48 rows each on the left: 19,200 spans.
  for (int i = 0; i < CSoftRenderer::kMaxDeferredSpans / kH; ++i)
    Tri(kSmooth | kBlended, V(0, 0, on), V(32, 0, on), V(0, 96, on), CColor(0, 255, 0));
  EXPECT_EQ(r->DeferredCount(), CSoftRenderer::kMaxDeferredSpans);
  Tri(kSmooth | kBlended, V(40, 0, on), V(63, 0, on), V(63, 47, on), CColor(255, 0, 0));
  EXPECT_EQ(r->DeferredCount(), CSoftRenderer::kMaxDeferredSpans);
  EXPECT_EQ(r->EndFrameCount(), CSoftRenderer::kMaxDeferredSpans);
  EXPECT_EQ(Px(2, 2), green);
  EXPECT_EQ(CountOf(red), 0) << "the spans past the limit are not drawn";
  // The next frame starts with an empty queue.
  Begin();
  Tri(kSmooth | kBlended, V(40, 0, on), V(63, 0, on), V(63, 47, on), CColor(255, 0, 0));
  EXPECT_EQ(r->EndFrameCount(), 47);
  EXPECT_GT(CountOf(red), 0);
}

TEST_F(SoftRendererTest, QuadWithoutFlagsIsTwoBlackTriangles) {
  Begin();
  CVertex a = V(10, 10), b = V(50, 10), c = V(50, 40), d = V(10, 40);
  r->DrawQuad(0, &a, &b, &c, &d, 0, CColor(255, 255, 255));
  r->EndFrame();
  EXPECT_EQ(Px(45, 15), 0) << "a-b-c";
  EXPECT_EQ(Px(15, 35), 0) << "a-c-d";
  EXPECT_EQ(CountOf(0), 40 * 30) << "[10, 50) x [10, 40), the diagonal once";
  EXPECT_EQ(Px(9, 20), kWhite);
  EXPECT_EQ(Px(50, 20), kWhite);
}

TEST_F(SoftRendererTest, OutlineDrawsTheEdgesOnly) {
  Begin();
  Tri(kOutline, V(10, 10), V(50, 10), V(10, 40), CColor(0, 0, 255));
  r->EndFrame();
  const std::uint16_t blue = 0x001F;
  EXPECT_EQ(Px(30, 10), blue) << "top edge";
  EXPECT_EQ(Px(10, 25), blue) << "left edge";
  int slanted = 0;  // the edge from (50, 10) to (10, 40) crosses column 30 once, near row 25
  for (int y = 20; y <= 30; ++y) slanted += Px(30, y) == blue;
  EXPECT_EQ(slanted, 1);
  EXPECT_EQ(Px(20, 20), kWhite) << "inside stays";
  EXPECT_EQ(Px(15, 30), kWhite);
  EXPECT_EQ(r->DeferredCount(), 0);
}

TEST_F(SoftRendererTest, SharedEdgesOfAFanBelongToExactlyOneTriangle) {
  // See-through white faces blend half into black: a pixel drawn twice would be brighter, a gap black.
  Begin(0);
  const CVertex centre = V(32, 24, CColor(0, 0, 0), 0, 0);
  const int rim[][2] = {{32, 1}, {55, 6}, {62, 24}, {50, 44}, {30, 46}, {8, 38}, {2, 20}, {12, 4}};
  const int n = static_cast<int>(std::size(rim));
  for (int i = 0; i < n; ++i) {
    const int* p = rim[i];
    const int* q = rim[(i + 1) % n];
    Tri(kTextured | kBlended, centre, V(p[0], p[1]), V(q[0], q[1]));
  }
  r->EndFrame();
  const std::uint16_t once = static_cast<std::uint16_t>((r->Shade(0xFFF, 16) >> 1) & r->HalfBlendMask());
  int drawn = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const std::uint16_t p = Px(x, y);
      ASSERT_TRUE(p == 0 || p == once) << "pixel (" << x << ", " << y << ") is " << p;
      drawn += p == once;
    }
  EXPECT_GT(drawn, 1500);
  // No gap along the spokes: every pixel a few pixels inside the rim is drawn.
  for (int i = 0; i < n; ++i)
    for (int t = 1; t <= 8; ++t) {
      const int x = 32 + (rim[i][0] - 32) * t / 10, y = 24 + (rim[i][1] - 24) * t / 10;
      EXPECT_EQ(Px(x, y), once) << "spoke " << i << " at (" << x << ", " << y << ")";
    }
}

TEST_F(SoftRendererTest, StippleIsACheckerboardAlternatingFromRowToRow) {
  Begin();
  Tri(kBlended, V(0, 0), V(64, 0), V(0, 48));
  Tri(kBlended, V(0, 1), V(64, 1), V(0, 49));  // starts on an odd row: the same board
  r->EndFrame();
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(Px(x, y), ((x + y) & 1) ? 0 : kWhite) << x << ", " << y;
}

TEST_F(SoftRendererTest, ClippingToMoreThanTheScreenWritesNothingOutsideTheSurface) {
  // A buffer of the test's own: 40 x 30 pixels at a pitch of 48, with guard rows around it.
  constexpr int w = 40, h = 30, pitch = 48;
  std::vector<std::uint16_t> memory(static_cast<std::size_t>(pitch) * (h + 2), 0x1234);
  CSoftRenderer soft;
  soft.SetPixelFormat(0xF800, 0x07E0, 0x001F);
  soft.SetScreenSize(w, h, pitch * 2);
  soft.SetSurface(memory.data() + pitch);
  soft.SetClipRect(-5, -5, 10000, 10000);
  EXPECT_EQ(soft.ClipWidth(), w);
  EXPECT_EQ(soft.ClipHeight(), h);
  CVertex a = V(-500, -300), b = V(900, -200), c = V(-100, 700);
  for (int flags : {0, kSmooth, kTextured, kTextured | kSmooth, kTextured | kKeyed})
    soft.DrawTriangle(flags, &a, &b, &c, 0, CColor(255, 255, 255));
  soft.DrawLine(0, V(-100, -50), V(300, 200), CColor(255, 255, 255));
  soft.DrawLine(kSmooth, V(-100, 100), V(300, -20), CColor(255, 255, 255));
  soft.DrawMarker(0, 0, CColor(255, 255, 255));
  soft.SetPixel(w, 0, CColor::FromValue(0xFFFF));
  soft.SetPixel(-1, 0, CColor::FromValue(0xFFFF));
  for (int y = 0; y < h + 2; ++y)
    for (int x = 0; x < pitch; ++x) {
      const bool inside = y >= 1 && y <= h && x < w;
      const std::uint16_t p = memory[static_cast<std::size_t>(y) * pitch + x];
      if (inside) EXPECT_NE(p, 0x1234) << x << ", " << y - 1;
      else ASSERT_EQ(p, 0x1234) << "outside at " << x << ", " << y - 1;
    }
}

TEST_F(SoftRendererTest, SpanTablesFollowTheSurfaceHeightAndTheClip) {
  // Taller than 1200 rows: every row has its span list.
  constexpr int w = 8, h = 1300;
  std::vector<std::uint16_t> memory(static_cast<std::size_t>(w) * h, 0);
  CSoftRenderer soft;
  soft.SetPixelFormat(0xF800, 0x07E0, 0x001F);
  soft.SetScreenSize(w, h, w * 2);
  soft.SetSurface(memory.data());
  CVertex a = V(0, 0), b = V(8, 0), c = V(8, 1300), d = V(0, 1300);
  soft.DrawQuad(0x4, &a, &b, &c, &d, 0, CColor(255, 255, 255));
  EXPECT_NE(memory[static_cast<std::size_t>(h - 1) * w + 4], 0) << "the last row";
  EXPECT_TRUE(soft.FreeRuns(h - 1).empty());

  // Inside a frame, a new clip rectangle gets fresh span lists of its own width.
  Begin();
  Tri(0, V(0, 0), V(64, 0), V(0, 96));
  Tri(0, V(64, 0), V(64, 48), V(0, 48));
  EXPECT_EQ(CountOf(0), kW * kH);
  r->SetClipRect(0, 0, kW - 1, kH - 1);
  EXPECT_TRUE(r->FreeRuns(0).empty()) << "the same clip rectangle again keeps what is owned";
  r->SetClipRect(16, 8, 47, 39);
  EXPECT_EQ(r->FreeRuns(0), (std::vector<std::pair<int, int>>{{0, 32}}));
  CVertex p = V(-100, -100), q = V(200, -100), s = V(-100, 200);
  r->DrawTriangle(kSmooth, &p, &q, &s, 0, CColor(255, 0, 0));
  r->EndFrame();
  EXPECT_EQ(CountOf(ShadePixel(15, 0, 0, 15)), 32 * 32) << "drawn again, inside the new clip only";
  EXPECT_EQ(Px(15, 20), 0);
  EXPECT_EQ(Px(16, 8), ShadePixel(15, 0, 0, 15));
}

TEST_F(SoftRendererTest, PitchComesFromTheSurfaceAndANullSurfaceDrawsNothing) {
  Begin();
  EXPECT_EQ(r->GetPitch(), cdd->GetPitch() / 2);
  r->EndFrame();
  r->SetScreenSize(kW, kH, 0);
  EXPECT_EQ(r->GetPitch(), cdd->GetPitch() / 2) << "a zero pitch keeps the known one";
  // Between frames, after a new screen size the device may have made a new
  // surface: nothing is drawn until a frame takes its memory.
  EXPECT_EQ(r->GetBuffer(), nullptr);
  Begin();
  EXPECT_NE(r->GetBuffer(), nullptr);
  r->SetSurface(nullptr);
  EXPECT_EQ(r->GetBuffer(), nullptr);
  CVertex a = V(0, 0), b = V(60, 0), c = V(0, 40);
  EXPECT_EQ(r->DrawTriangle(0, &a, &b, &c, 0, CColor()), 0);
  r->SetClipRect(10, 10, 5, 5);
  EXPECT_EQ(r->GetBuffer(), nullptr) << "an empty clip rectangle";
  EXPECT_EQ(CountOf(kWhite), kW * kH);
}

// The map's thumbnails: inside its frame, the screen becomes the whole
// surface and the clip one cell of the column beside the view, then the view
// again before the frame ends.
TEST_F(SoftRendererTest, ANewScreenSizeInsideAFrameDrawsOnInTheSurfaceItTakesAfresh) {
  r->SetScreenSize(kW - 16, kH, 0);
  Begin();
  Tri(kSmooth | kBlended, V(0, 0), V(20, 0), V(0, 20));  // queued for the frame's end
  r->SetScreenSize(kW, kH, 0);
  EXPECT_NE(r->GetBuffer(), nullptr);
  r->SetClipRect(kW - 16, 0, kW - 1, 15);
  Tri(0, V(-100, -100), V(200, -100), V(-100, 200));  // solid black
  r->SetScreenSize(kW - 16, kH, 0);
  EXPECT_NE(r->GetBuffer(), nullptr);
  EXPECT_GT(r->EndFrameCount(), 0) << "the queued spans are still drawn";
  EXPECT_EQ(Px(kW - 16, 0), 0) << "the cell";
  EXPECT_EQ(Px(kW - 1, 15), 0);
  EXPECT_EQ(CountOf(0), 16 * 16) << "nothing outside it";
  EXPECT_EQ(Px(2, 2), ShadePixel(15, 0, 0, 16)) << "the see-through face";
}

TEST_F(SoftRendererTest, CounterClockwiseShadedAndTexturedFacesAreNotDrawn) {
  Begin();
  for (int flags : {kSmooth, kTextured, kTextured | kSmooth, kSmooth | kBlended})
    Tri(flags, V(0, 0), V(0, 40), V(60, 0));
  r->EndFrame();
  EXPECT_EQ(CountOf(kWhite), kW * kH);
}

TEST_F(SoftRendererTest, ShadeTableAndPixelFormat) {
  struct Case {
    int colour12, shade;
    std::uint16_t pixel;
  } cases[] = {
      {0xFFF, 0, 0x0000},                   // shade 0 is black
      {0x800, 15, ShadePixel(8, 0, 0, 15)},  // below 16: n x s
      {0xFFF, 16, 0xF79E},                  // 16 is the colour itself: 240 in each channel
      {0x000, 31, 0xF79E},                  // 31 is near white even for black
      {0xF00, 31, 0xFF9E},
      {0x08F, 20, ShadePixel(0, 8, 15, 20)},
  };
  for (const Case& c : cases) EXPECT_EQ(r->Shade(c.colour12, c.shade), c.pixel) << std::hex << c.colour12 << " " << c.shade;
  EXPECT_EQ(r->HalfBlendMask(), 0x7BEF);
  EXPECT_EQ(r->ColorToPixel(0x00FF8040), 0xFC08);
  // Another format: 5-5-5.
  r->SetPixelFormat(0x7C00, 0x03E0, 0x001F);
  EXPECT_EQ(r->Shade(0xFFF, 16), 0x7BDE);
  EXPECT_EQ(r->HalfBlendMask(), 0x3DEF);
}

TEST_F(SoftRendererTest, VertexShadeFollowsLuminanceAndFade) {
  struct Case {
    CColor colour;
    int fade;
    int shade;
  } cases[] = {
      {CColor::FromRGBA(255, 255, 255, 255), 255, 31},
      {CColor::FromRGBA(128, 128, 128, 255), 255, 15},
      {CColor::FromRGBA(128, 128, 128, 255), -1, 15},  // fog off: not faded
      {CColor::FromRGBA(255, 255, 255, 255), 0, 0},
      {CColor::FromRGBA(255, 255, 255, 255), 128, 15},
  };
  for (const Case& c : cases) {
    Begin();
    CVertex a = V(0, 0, c.colour), b = V(60, 0, c.colour), d = V(0, 40, c.colour);
    a.fade = b.fade = d.fade = c.fade;
    r->DrawTriangle(kSmooth, &a, &b, &d, 0, CColor(255, 255, 255));
    r->EndFrame();
    EXPECT_EQ(Px(10, 10), ShadePixel(15, 15, 15, c.shade)) << "fade " << c.fade;
  }
}

TEST_F(SoftRendererTest, TexelsAreAddressedInTexelsOfA256TexelTexture) {
  // Rows 0 and 1 of the texture: columns < 128 red, >= 128 blue on row 0; all green on row 1.
  std::vector<std::uint8_t> top(256 * 256 * 3, 0x80);
  for (int x = 0; x < 256; ++x) {
    std::uint8_t* p = &top[static_cast<std::size_t>(x) * 3];
    p[0] = x < 128 ? 0 : 0xF0;
    p[1] = 0;
    p[2] = x < 128 ? 0xF0 : 0;
    std::uint8_t* q = &top[(256 + static_cast<std::size_t>(x)) * 3];
    q[0] = 0;
    q[1] = 0xF0;
    q[2] = 0;
  }
  LoadTga(3, "t.tga", rendertest::MakeTga(256, 256, 24, top));
  const std::uint16_t red = ShadePixel(15, 0, 0, 16), blue = ShadePixel(0, 0, 15, 16), green = ShadePixel(0, 15, 0, 16);
  struct Case {
    float u, v;
    std::uint16_t pixel;
  } cases[] = {
      {10.0f, 0.5f, red},
      {200.0f, 0.5f, blue},
      {384.0f, 0.5f, green},   // 1.5 textures across runs on to column 128 of the next row
      {10.0f, 256.5f, red},    // v wraps
      {10.0f, 1.5f, green},
  };
  for (const Case& c : cases) {
    Begin();
    // A flat-textured triangle whose u and v are the same at every corner.
    CVertex a = V(0, 0, CColor(128, 128, 128), c.u, c.v), b = V(60, 0, CColor(128, 128, 128), c.u, c.v),
            d = V(0, 40, CColor(128, 128, 128), c.u, c.v);
    r->DrawTriangle(kTextured, &a, &b, &d, 3, CColor());
    r->EndFrame();
    EXPECT_EQ(Px(5, 5), c.pixel) << "u " << c.u << " v " << c.v;
  }
}

TEST_F(SoftRendererTest, TextureKeyAndBlendRules) {
  // Left half transparent (black), right half white.
  std::vector<std::uint8_t> top(256 * 256 * 3, 0);
  for (int y = 0; y < 256; ++y)
    for (int x = 128; x < 256; ++x)
      for (int k = 0; k < 3; ++k) top[(static_cast<std::size_t>(y) * 256 + x) * 3 + k] = 0xFF;
  LoadTga(0, "k.tga", rendertest::MakeTga(256, 256, 24, top));
  auto draw = [&](int flags, float u) {
    Begin(0x001F);
    CVertex a = V(0, 0, CColor(128, 128, 128), u, 10), b = V(60, 0, CColor(128, 128, 128), u, 10),
            d = V(0, 40, CColor(128, 128, 128), u, 10);
    r->DrawTriangle(flags, &a, &b, &d, 0, CColor());
    r->EndFrame();
    return Px(5, 5);
  };
  const std::uint16_t white16 = ShadePixel(15, 15, 15, 16);
  EXPECT_EQ(draw(kTextured | kKeyed, 10), 0x001F) << "texel 0 is transparent when keyed";
  EXPECT_EQ(draw(kTextured | kKeyed, 200), white16);
  EXPECT_EQ(draw(kTextured | kBlended, 10), 0x001F);
  EXPECT_EQ(draw(kTextured | kBlended, 200), static_cast<std::uint16_t>(((white16 >> 1) & 0x7BEF) + ((0x001F >> 1) & 0x7BEF)));
  EXPECT_EQ(draw(kTextured, 10), 0) << "opaque faces draw texel 0 black";
  EXPECT_EQ(draw(kTextured | kSmooth, 10), 0) << "the dithered filler draws it from row 0 of the table";
}

// Each of the ten face kinds goes through its own set-up and filler: whether
// its spans wait for the end of the frame, and the pixel it leaves over a
// blue background (grey vertices at shade 15, a white texel, red flat colour).
TEST_F(SoftRendererTest, EveryFaceKindHasItsOwnSetupAndFiller) {
  std::vector<std::uint8_t> white(256 * 256 * 3, 0xFF);
  LoadTga(0, "w.tga", rendertest::MakeTga(256, 256, 24, white));
  constexpr std::uint16_t kBlue = 0x001F;
  const std::uint16_t lit = ShadePixel(15, 15, 15, 15), full = ShadePixel(15, 15, 15, 16);
  auto half = [](std::uint16_t a, std::uint16_t b) {
    return static_cast<std::uint16_t>(((a >> 1) & 0x7BEF) + ((b >> 1) & 0x7BEF));
  };
  struct Case {
    const char* kind;
    int flags;
    bool deferred;
    std::uint16_t even, odd;  // the pixels at (6, 6) and (5, 6)
    std::uint16_t orOdd;      // the dithered filler may land on the next shade
  } cases[] = {
      {"solid", 0, false, 0, 0, 0},
      {"stipple", kBlended, true, kBlue, 0, 0},
      {"shaded", kSmooth, false, ShadePixel(15, 0, 0, 15), ShadePixel(15, 0, 0, 15), ShadePixel(15, 0, 0, 15)},
      {"alpha test", kSmooth | kBlended, true, ShadePixel(15, 0, 0, 16), ShadePixel(15, 0, 0, 16), ShadePixel(15, 0, 0, 16)},
      {"affine shaded", kTextured | kSmooth, false, lit, lit, full},
      {"perspective shaded keyed", kTextured | kSmooth | kKeyed, true, lit, lit, lit},
      {"perspective shaded blend", kTextured | kSmooth | kBlended, true, half(lit, kBlue), half(lit, kBlue), half(lit, kBlue)},
      {"perspective", kTextured, false, full, full, full},
      {"perspective keyed", kTextured | kKeyed, true, full, full, full},
      {"perspective blend", kTextured | kBlended, true, half(full, kBlue), half(full, kBlue), half(full, kBlue)},
  };
  for (const Case& c : cases) {
    Begin(kBlue);
    Tri(c.flags, V(0, 0, CColor::FromRGBA(128, 128, 128, 255), 10, 10), V(60, 0, CColor::FromRGBA(128, 128, 128, 255), 10, 10),
        V(0, 40, CColor::FromRGBA(128, 128, 128, 255), 10, 10));
    EXPECT_EQ(r->DeferredCount() > 0, c.deferred) << c.kind;
    r->EndFrame();
    EXPECT_EQ(Px(6, 6), c.even) << c.kind;
    EXPECT_TRUE(Px(5, 6) == c.odd || Px(5, 6) == c.orOdd) << c.kind << ": " << Px(5, 6);
  }
}

TEST_F(SoftRendererTest, PerspectiveSpansStepSixteenPixelsAtATime) {
  struct Case {
    int width;
    std::vector<int> subSpans;
  } cases[] = {{37, {16, 16, 5}}, {16, {16}}, {5, {5}}, {48, {16, 16, 16}}};
  for (const Case& c : cases) {
    Begin();
    // One row, [0, width): the top edge to the right corner is the right edge.
    Tri(kTextured, V(0, 0), V(c.width, 0), V(0, 1));
    r->EndFrame();
    ASSERT_EQ(r->SubSpanCount(), static_cast<int>(c.subSpans.size())) << "width " << c.width;
    for (std::size_t i = 0; i < c.subSpans.size(); ++i) EXPECT_EQ(r->FirstSubSpans()[i], c.subSpans[i]);
    EXPECT_EQ(Px(c.width - 1, 0), ShadePixel(15, 15, 15, 16)) << "an empty slot reads white";
    EXPECT_EQ(Px(c.width, 0), kWhite);
  }
}

TEST_F(SoftRendererTest, TexturesOfAnotherSizeRepeatOver256Texels) {
  // 2 x 2: red, blue / green, white.
  LoadTga(5, "small.tga", rendertest::MakeTga(2, 2, 24, {0, 0, 0xF0, 0xF0, 0, 0, 0, 0xF0, 0, 0xF0, 0xF0, 0xF0}));
  const std::uint16_t* t = r->GetTextureData(5);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t[0], 0xF000);
  EXPECT_EQ(t[1], 0x00F0);
  EXPECT_EQ(t[255 * 256 + 255], 0xFFF0) << "the far corner repeats the small picture";
  EXPECT_EQ(t[254 * 256 + 2], 0xF000);
  EXPECT_EQ(r->LoadTexture(32, "small.tga"), 0);
  EXPECT_EQ(r->LoadTexture(5, "missing.tga"), 0);
  EXPECT_EQ(r->GetTextureData(5), nullptr);
}

TEST_F(SoftRendererTest, ATextureReloadedInsideAFrameServesTheQueuedSpansToTheEnd) {
  LoadTga(1, "a.tga", rendertest::SolidTga(256, 256, 24, {0, 0, 0xF0}));
  Begin();
  Tri(kTextured | kKeyed, V(0, 0), V(60, 0), V(0, 40), CColor(), 1);
  LoadTga(1, "b.tga", rendertest::SolidTga(256, 256, 24, {0xF0, 0, 0}));
  Tri(kTextured | kKeyed, V(63, 0), V(63, 47), V(30, 47), CColor(), 1);
  r->EndFrame();
  EXPECT_EQ(Px(5, 5), ShadePixel(15, 0, 0, 16)) << "queued with the first picture";
  EXPECT_EQ(Px(60, 40), ShadePixel(0, 0, 15, 16));
}

TEST_F(SoftRendererTest, LinesMarkersAndPixels) {
  Begin();
  // A Gouraud line keeps the surface's six green bits.
  CVertex a = V(0, 5, CColor(0, 4, 0)), b = V(20, 5, CColor(0, 4, 0));
  r->DrawLine(kSmooth, a, b, CColor());
  EXPECT_EQ(Px(10, 5), 1 << 5);
  // A flat line is the colour's pixel from end to end.
  r->DrawLine(0, V(0, 10), V(63, 20), CColor(255, 0, 0));
  EXPECT_EQ(Px(0, 10), 0xF800);
  EXPECT_EQ(Px(63, 20), 0xF800);
  int onRow15 = 0;
  for (int x = 0; x < kW; ++x) onRow15 += Px(x, 15) == 0xF800;
  EXPECT_GE(onRow15, 5);
  EXPECT_LE(onRow15, 7);
  // A marker at the corner keeps what falls inside.
  r->DrawMarker(0, 0, CColor(0, 0, 255));
  EXPECT_EQ(Px(2, 0), 0x001F);
  EXPECT_EQ(Px(0, 2), 0x001F);
  EXPECT_EQ(Px(2, 2), 0x001F);
  EXPECT_EQ(Px(1, 1), kWhite);
  // Pixels are written relative to the clip rectangle, inside it only.
  r->SetClipRect(10, 30, 40, 40);
  r->SetPixel(0, 0, CColor::FromValue(0x1234));
  r->SetPixel(31, 0, CColor::FromValue(0x1234));
  r->SetPixel(0, 11, CColor::FromValue(0x1234));
  EXPECT_EQ(Px(10, 30), 0x1234);
  EXPECT_EQ(CountOf(0x1234), 1);
  // Lines take screen coordinates, like triangles.
  r->DrawLine(0, V(12, 35), V(20, 35), CColor(0, 255, 0));
  EXPECT_EQ(Px(12, 35), 0x07E0);
  EXPECT_EQ(Px(22, 45), kWhite);
  r->EndFrame();
}

TEST_F(SoftRendererTest, SmallOperations) {
  EXPECT_EQ(r->GetTextureCount(), 32);
  r->SetFogColor(CColor(1, 2, 3));
  EXPECT_EQ(r->GetFogColor(), CColor::FromRGBA(0, 0, 0, 64));
  r->SetFog(1);
  EXPECT_EQ(r->GetFog(), 1);
  EXPECT_EQ(r->IsSoftware(), 1);
  EXPECT_EQ(r->IsHardware(), 0);
  EXPECT_EQ(r->GetDither(), 0);
  CSoftRenderer unbound;
  EXPECT_EQ(unbound.BeginFrame(1), 0) << "no device";
  EXPECT_EQ(unbound.EndFrameCount(), 0);
}

}  // namespace
