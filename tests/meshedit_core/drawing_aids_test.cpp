// The pipeline's drawing aids: lines, markers, the box and the grid, drawn
// through the device into its back surface.
#include <gtest/gtest.h>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/core/view_camera.h"

#include <algorithm>
#include <cmath>
#include "pavix_device_fixture.h"
#include "platform/video/recorder.h"

namespace {

namespace pv = platform::video;
using pavix::CRenderPipeline;
using pavix::CVector;
using pavixtest::PavixScreen;

class DrawingAids : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen_.ok());
    CRenderPipeline::SetCamera(pavix::IdentityMatrix());
    CRenderPipeline::NewFrame();
    ASSERT_EQ(CRenderPipeline::BeginFrame(3, 0xFF000000, 1.0f, 0), 1);
  }
  void End() { CRenderPipeline::EndFrame(); }
  // Lines that reached the device.
  int Lines() {
    int n = 0;
    for (const auto& p : pv::Recorder::Primitives()) n += p.type == pv::PrimitiveType::LineList ? 1 : 0;
    return n;
  }
  PavixScreen screen_{64, 48};
  pv::ScopedRecorder recorder_;
};

TEST_F(DrawingAids, MarkerCoversTwoPixelsEachSideOfItsPoint) {
  CRenderPipeline::DrawMarker2D(10, 10, 0xFFFFFFFF);
  End();
  for (int y = 6; y <= 14; ++y)
    for (int x = 6; x <= 14; ++x) {
      const bool onEdge = (x == 8 || x == 12) && y >= 8 && y <= 12;
      const bool onTopOrBottom = (y == 8 || y == 12) && x >= 8 && x <= 12;
      EXPECT_EQ(screen_.Pixel(x, y) == 0xFFFFFF, onEdge || onTopOrBottom) << x << "," << y;
    }
}

TEST_F(DrawingAids, LineBehindTheNearPlaneDrawsNothingOneAcrossItIsCut) {
  CRenderPipeline::DrawLine3D({0, 0, -10}, {5, 5, -1}, 0xFFFFFFFF);
  EXPECT_EQ(Lines(), 0);
  CRenderPipeline::DrawLine3D({0, 0, -10}, {1, 0.5f, 100}, 0xFFFFFFFF);
  ASSERT_EQ(Lines(), 1);
  const auto& line = pv::Recorder::Primitives().back();
  for (const auto& v : line.vertices) EXPECT_TRUE(std::isfinite(v.sx) && std::isfinite(v.sy));
  End();
}

TEST_F(DrawingAids, LineTwoDIsCutToTheViewport) {
  CRenderPipeline::SetViewport(10, 10, 20, 20);
  CRenderPipeline::DrawLine2D(0, 15, 63, 15, 0xFF00FF00);
  End();
  EXPECT_EQ(screen_.Pixel(5, 15), 0u);
  EXPECT_EQ(screen_.Pixel(15, 15), 0x00FF00u);
  EXPECT_EQ(screen_.Pixel(30, 15), 0u);
}

TEST_F(DrawingAids, BoxHasTwelveEdges) {
  CRenderPipeline::DrawBox(pavix::IdentityMatrix(), {-0.1f, -0.1f, 10}, {0.1f, 0.1f, 12}, 0xFF808080);
  EXPECT_EQ(Lines(), 12);
  End();
}

TEST_F(DrawingAids, GridLiesInItsPlaneWithWhiteAxisLines) {
  // Seen from straight above, far enough for the whole floor to fit the screen.
  pavix::CViewCamera camera;
  CRenderPipeline::SetFar(20000);
  camera.BuildViewMatrix({0, -256, 0}, {1.5707964f, 0, 0}, 8192);
  CRenderPipeline::SetCamera(camera.matrix);
  CRenderPipeline::DrawGrid(pavix::IdentityMatrix(), {-256, -256, -256}, {256, -256, 256}, {16, 16, 16},
                            0xFF808080);
  int grey = 0, white = 0;
  for (const auto& p : pv::Recorder::Primitives()) {
    if (p.type != pv::PrimitiveType::LineList) continue;
    (p.vertices[0].color == 0xFFFFFFFF ? white : grey) += 1;
    // Every point lies on the floor: the same depth from the camera above it.
    for (const auto& v : p.vertices) EXPECT_NEAR(v.rhw, 1.0f / (8192.0f / 20000.0f), 0.05f);
  }
  // One level: 33 lines along x and 33 along z, then the two axes through x = 0 and z = 0.
  EXPECT_EQ(grey, 66);
  EXPECT_EQ(white, 2);
  End();
  // The axes cross in the middle of the picture.
  EXPECT_EQ(screen_.Pixel(32, 10), 0xFFFFFFu);
}

// The lines that reached the device, and how far they reach on the screen.
struct Reach {
  int lines = 0;
  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
};
Reach LinesReach() {
  Reach r;
  for (const auto& p : pv::Recorder::Primitives()) {
    if (p.type != pv::PrimitiveType::LineList) continue;
    ++r.lines;
    for (const auto& v : p.vertices) {
      r.minX = std::min(r.minX, v.sx);
      r.maxX = std::max(r.maxX, v.sx);
      r.minY = std::min(r.minY, v.sy);
      r.maxY = std::max(r.maxY, v.sy);
    }
  }
  return r;
}

// Orthographic drawing, one pixel per world unit, for the test's length.
struct Orthographic {
  Orthographic() { CRenderPipeline::SetOrthographic(true); }
  ~Orthographic() { CRenderPipeline::SetOrthographic(false); }
};

TEST_F(DrawingAids, LargeGridDrawsItsWholeRangeWithinItsLineBudget) {
  // 8000 by 6000 cells seen from above: far more lines than the budget.
  Orthographic ortho;
  pavix::CViewCamera camera;
  camera.BuildViewMatrix({0, 0, 0}, {1.5707964f, 0, 0}, 100);
  CRenderPipeline::SetCamera(camera.matrix);
  CRenderPipeline::DrawGrid(pavix::IdentityMatrix(), {-20, 0, -15}, {20, 0, 15}, {0.005f, 1, 0.005f}, 0xFF808080);
  const Reach r = LinesReach();
  EXPECT_LE(r.lines, 4096);  // the two white axes included
  EXPECT_GT(r.lines, 2000);  // thinned no more than it must be
  // From one end of the range to the other, in both directions.
  EXPECT_NEAR(r.maxX - r.minX, 40, 0.01);
  EXPECT_NEAR(r.maxY - r.minY, 30, 0.01);
  End();
}

TEST_F(DrawingAids, GridOfManyLevelsKeepsItsEndLevelsWithinItsLineBudget) {
  // Seen from the side: the levels are horizontal lines from y = -10 to 10.
  Orthographic ortho;
  pavix::CViewCamera camera;
  camera.BuildViewMatrix({0, 0, 0}, {0, 0, 0}, 100);
  CRenderPipeline::SetCamera(camera.matrix);
  CRenderPipeline::DrawGrid(pavix::IdentityMatrix(), {-10, -10, -10}, {10, 10, 10}, {0.01f, 0.01f, 0.01f}, 0xFF808080);
  const Reach r = LinesReach();
  EXPECT_LE(r.lines, 4096);
  EXPECT_NEAR(r.maxY - r.minY, 20, 0.01);
  EXPECT_NEAR(r.maxX - r.minX, 20, 0.01);
  End();
  // A grid within the budget draws every line: 11 levels of 11 + 11.
  CRenderPipeline::NewFrame();
  ASSERT_EQ(CRenderPipeline::BeginFrame(3, 0xFF000000, 1.0f, 0), 1);
  pv::Recorder::Clear();
  CRenderPipeline::DrawGrid(pavix::IdentityMatrix(), {-5, -5, -5}, {5, 5, 5}, {1, 1, 1}, 0xFF808080);
  EXPECT_EQ(LinesReach().lines, 11 * 22 + 2);
  End();
}

}  // namespace
