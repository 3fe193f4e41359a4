// The view: its viewports, hit tests, picking, mouse editing with each
// modifier, and frames drawn only when asked for.
#include "meshedit/ui/pavix_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>
#include <span>
#include <string>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "pavix_fixture.h"

#include <QCheckBox>
#include <QImage>

#include "../meshedit_core/pavix_device_fixture.h"

namespace {

using pavix::CPavixView;
using pavix::CVector;
using pavix::CViewportRect;
using pavix::Globals;
using pavixtest::PavixTest;

bool Same(const CViewportRect& r, int l, int t, int rr, int b, bool enabled) {
  return r.left == l && r.top == t && r.right == rr && r.bottom == b && r.enabled == enabled;
}

// A drawn picture against its reference in the fixtures: a channel may differ
// by 8 (one step of the 5-6-5 desktop), and at most 1 pixel in 200 by more.
// PAVIX_WRITE_REFERENCES=1 writes the reference again from the current output.
void ExpectLikeReference(const QImage& drawn, const std::string& name) {
  const QImage picture = drawn.convertToFormat(QImage::Format_RGB888);
  const std::string reference = std::string(FIXTURES_DIR) + "/" + name;
  if (std::getenv("PAVIX_WRITE_REFERENCES")) {
    ASSERT_TRUE(picture.save(QString::fromStdString(reference)));
  }
  QImage expected(QString::fromStdString(reference));
  ASSERT_FALSE(expected.isNull()) << reference;
  expected = expected.convertToFormat(QImage::Format_RGB888);
  ASSERT_EQ(expected.size(), picture.size());
  int off = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QColor a = picture.pixelColor(x, y), b = expected.pixelColor(x, y);
      off += std::abs(a.red() - b.red()) > 8 || std::abs(a.green() - b.green()) > 8 || std::abs(a.blue() - b.blue()) > 8;
    }
  EXPECT_LE(off, picture.width() * picture.height() / 200) << off << " pixels differ from " << reference;
}

class PavixViewTest : public PavixTest {
 protected:
  void SetUp() override {
    PavixTest::SetUp();
    ASSERT_TRUE(Start());
  }
  // A square mesh seen face-on in a 600 x 400 3D view (the texture view at its right).
  void FaceOnSquare() {
    Globals().shape = pavixtest::SquareMesh();
    FaceOn(900, 400);
  }
};

TEST_F(PavixViewTest, LayoutSplitsTheWidthIntoThe3dViewAndTheTextureView) {
  struct Case {
    int w, h;
    CViewportRect v0, v1, v2;
  };
  const Case cases[] = {
      {900, 400, {0, 0, 600, 400, true}, {600, 0, 900, 300, true}, {600, 300, 900, 400, true}},
      {600, 100, {0, 0, 500, 100, true}, {500, 0, 600, 100, true}, {500, 100, 600, 100, true}},
      {99, 99, {0, 0, 66, 99, true}, {66, 0, 99, 33, true}, {66, 33, 99, 99, true}},
      {33, 33, {0, 0, 22, 33, true}, {22, 0, 33, 11, true}, {22, 11, 33, 33, true}},
      {32, 400, {0, 0, 32, 400, true}, {}, {}},
      {400, 32, {0, 0, 400, 32, true}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    View().LayoutViewports(c.w, c.h);
    const auto& vp = Globals().viewports;
    EXPECT_TRUE(Same(vp[0], c.v0.left, c.v0.top, c.v0.right, c.v0.bottom, true));
    EXPECT_EQ(vp[1].enabled, c.v1.enabled);
    EXPECT_EQ(vp[2].enabled, c.v2.enabled);
    if (c.v1.enabled) {
      EXPECT_TRUE(Same(vp[1], c.v1.left, c.v1.top, c.v1.right, c.v1.bottom, true));
      EXPECT_TRUE(Same(vp[2], c.v2.left, c.v2.top, c.v2.right, c.v2.bottom, true));
    }
  }
  // Sizes that are not positive change nothing.
  View().LayoutViewports(0, 300);
  EXPECT_TRUE(Same(Globals().viewports[0], 0, 0, 400, 32, true));
}

TEST_F(PavixViewTest, UncheckingViewGivesTheWholeWindowTo3d) {
  auto* box = static_cast<QCheckBox*>(Panel().Control(pavix::kIdcView));
  const int w = View().width(), h = View().height();
  ASSERT_GT(w, 32);
  ASSERT_GT(h, 32);
  box->click();
  EXPECT_FALSE(Panel().ViewBox());
  EXPECT_TRUE(Same(Globals().viewports[0], 0, 0, w, h, true));
  EXPECT_FALSE(Globals().viewports[1].enabled);
  EXPECT_EQ(CPavixView::HitViewport(w - 5, 5), 0);
  box->click();
  EXPECT_TRUE(Globals().viewports[1].enabled);
}

TEST_F(PavixViewTest, HitTestTakesTheFirstEnabledViewportBoundsInclusive) {
  View().LayoutViewports(900, 400);
  EXPECT_EQ(CPavixView::HitViewport(10, 10), 0);
  EXPECT_EQ(CPavixView::HitViewport(599, 399), 0);
  EXPECT_EQ(CPavixView::HitViewport(600, 0), 0);  // the shared edge belongs to the first
  EXPECT_EQ(CPavixView::HitViewport(601, 0), 1);
  EXPECT_EQ(CPavixView::HitViewport(900, 300), 1);
  EXPECT_EQ(CPavixView::HitViewport(700, 301), 2);
  EXPECT_EQ(CPavixView::HitViewport(950, 10), 0);  // outside all: the 3D view
  EXPECT_EQ(CPavixView::HitViewport(-5, -5), 0);
}

TEST_F(PavixViewTest, LeftClickPicksTheSideUnderThePointAndItsGroup) {
  Globals().shape = pavixtest::TwoSquares();
  FaceOn(900, 400);
  float sx, sy;
  // A point inside the right square's top triangle.
  Globals().camera.Rebuild();
  pavix::CRenderPipeline::SetCamera(Globals().camera.matrix);
  pavix::CRenderPipeline::SetViewport(0, 0, 599, 399);
  ASSERT_TRUE(pavix::CRenderPipeline::ProjectPoint({100, 20, 0}, &sx, &sy));
  View().OnLeftButtonDown(static_cast<int>(sx), static_cast<int>(sy), false, false);
  ASSERT_GE(Globals().currentSide, 0);
  const pavix::CSide& picked = Globals().shape.sides[static_cast<std::size_t>(Globals().currentSide)];
  EXPECT_GT(Globals().shape.vertices[picked.index[0]].position.x, 0);
  EXPECT_EQ(Globals().currentGroup, picked.group);
  EXPECT_NE(Globals().currentGroup, 0);
  // With Shift or Control held there is no pick; a click on nothing clears the side.
  const int before = Globals().currentSide;
  View().OnLeftButtonDown(5, 5, true, false);
  EXPECT_EQ(Globals().currentSide, before);
  View().OnLeftButtonDown(5, 5, false, false);
  EXPECT_EQ(Globals().currentSide, -1);
  EXPECT_EQ(Globals().previousSide, before);
  EXPECT_EQ(Globals().currentGroup, 0);
}

TEST_F(PavixViewTest, RightDragOrbitsZoomsAndPans) {
  FaceOnSquare();
  View().OnRightButtonDown(100, 100);
  pavix::CViewCamera& cam = Globals().camera;
  View().OnMouseMove(110, 95, false, true, false, false);
  EXPECT_NEAR(cam.angles.x, -5 * 0.03141593f, 1e-6);
  EXPECT_NEAR(cam.angles.y, 10 * 0.03141593f, 1e-6);
  cam.angles = {};
  View().OnMouseMove(110, 75, false, true, true, false);  // Shift: zoom
  EXPECT_NEAR(cam.zoom, 512 + 20 * 0.25f, 1e-4);
  cam.Rebuild();
  View().OnMouseMove(118, 75, false, true, false, true);  // Control: pan against the drag
  EXPECT_NEAR(cam.target.x, -8 * 0.25f, 1e-4);
  EXPECT_NEAR(cam.target.y, 0, 1e-4);
  EXPECT_FALSE(Doc().IsModified());  // the camera is not the document
}

TEST_F(PavixViewTest, LeftDragWithModifiersMovesAndTurnsTheGroup) {
  FaceOnSquare();
  const pavix::CShape start = Globals().shape;
  View().OnLeftButtonDown(50, 50, true, false);  // no pick with a modifier: group 0, every side
  // Shift: moves in the view plane, screen up is world up.
  View().OnMouseMove(53, 46, true, false, true, false);
  for (std::size_t i = 0; i < start.vertices.size(); ++i) {
    EXPECT_NEAR(Globals().shape.vertices[i].position.x, start.vertices[i].position.x + 3, 1e-3);
    EXPECT_NEAR(Globals().shape.vertices[i].position.y, start.vertices[i].position.y + 4, 1e-3);
  }
  EXPECT_TRUE(Doc().IsModified());
  // Control: 90 pixels turn the group by 90 degrees about the view's depth axis, around its centre.
  Globals().shape = start;
  View().OnMouseMove(143, 46, true, false, false, true);
  const CVector corner = Globals().shape.vertices[1].position;  // was (64, 64)
  EXPECT_NEAR(std::fabs(corner.x), 64, 0.5);
  EXPECT_NEAR(std::fabs(corner.y), 64, 0.5);
  EXPECT_NE(std::signbit(corner.x) == std::signbit(corner.y), true);
  EXPECT_NEAR(corner.z, 0, 1e-3);
  // Shift and Control: small turns about the view's x and y axes tilt the square out of its plane.
  Globals().shape = start;
  View().OnMouseMove(243, 46, true, false, true, true);
  EXPECT_NEAR(std::fabs(Globals().shape.vertices[1].position.z), 64 * std::sin(0.1f), 0.5);
  // Neither: nothing moves.
  Globals().shape = start;
  View().OnMouseMove(250, 60, true, false, false, false);
  EXPECT_EQ(Globals().shape.vertices[1].position, start.vertices[1].position);
}

TEST_F(PavixViewTest, RightDragInTheTextureViewEditsTheGroupsCoordinates) {
  FaceOnSquare();
  for (pavix::CSide& s : Globals().shape.sides)
    for (pavix::CUv& uv : s.uv) uv = {0.25f, 0.5f};
  Globals().currentSide = 0;
  Globals().currentGroup = 0;
  // Viewport 1 is (600, 0)-(900, 300).
  View().OnRightButtonDown(700, 100);
  View().OnMouseMove(730, 115, false, true, false, false);  // translate by (30/300, 15/300)
  EXPECT_NEAR(Globals().shape.sides[2].uv[1].u, 0.35f, 1e-5);
  EXPECT_NEAR(Globals().shape.sides[2].uv[1].v, 0.55f, 1e-5);
  EXPECT_TRUE(Doc().IsModified());
  // Control and Shift: the current side's nearest corner goes to the mouse.
  pavix::CSide& s0 = Globals().shape.sides[0];
  s0.uv[0] = {0.1f, 0.1f};
  s0.uv[1] = {0.9f, 0.1f};
  View().OnMouseMove(600 + 240, 60, false, true, true, true);  // nearest to corner 1 (870, 30)
  EXPECT_NEAR(s0.uv[1].u, 0.8f, 1e-5);
  EXPECT_NEAR(s0.uv[1].v, 0.2f, 1e-5);
  EXPECT_NEAR(s0.uv[0].u, 0.1f, 1e-5);
  // The left button there does nothing.
  const pavix::CUv before = s0.uv[0];
  View().OnLeftButtonDown(700, 100, true, false);
  View().OnMouseMove(750, 150, true, false, false, false);
  EXPECT_EQ(s0.uv[0], before);
}

TEST_F(PavixViewTest, FramesAreDrawnOnlyWhenAskedFor) {
  FaceOnSquare();
  View().Render(0);
  const int frames = View().FramesDrawn();
  View().Render(0);
  View().Render(0);
  EXPECT_EQ(View().FramesDrawn(), frames);  // nothing pending: no frame
  View().Render(1);
  EXPECT_TRUE(View().IsPending());
  View().Render(0);
  EXPECT_EQ(View().FramesDrawn(), frames + 1);
  EXPECT_FALSE(View().IsPending());
  // Idle passes with nothing changed draw nothing.
  app->RunIdle();
  app->RunIdle();
  EXPECT_EQ(View().FramesDrawn(), frames + 1);
  // An edit asks for a frame, which the next idle pass draws.
  View().OnRightButtonDown(100, 100);
  View().OnMouseMove(101, 100, false, true, false, false);
  app->RunIdle();
  EXPECT_EQ(View().FramesDrawn(), frames + 2);
}

TEST_F(PavixViewTest, FrameShowsTheMeshTheBoxAndTheTextureView) {
  FaceOnSquare();
  View().Render(1);
  View().Render(0);
  const QImage image = View().LastImage();
  ASSERT_FALSE(image.isNull());
  ASSERT_GE(image.width(), 900);
  // The background is dark blue; the square covers the middle of the 3D view.
  const QColor back = image.pixelColor(5, 395);
  EXPECT_EQ(back.red(), 0);
  EXPECT_EQ(back.green(), 0);
  EXPECT_GT(back.blue(), 100);
  const QColor middle = image.pixelColor(300, 150);
  EXPECT_NE(middle, back);
  // The texture view shows the (missing, so untextured white) texture over its rectangle.
  const QColor texture = image.pixelColor(750, 150);
  EXPECT_GT(texture.red(), 200);
  EXPECT_GT(texture.green(), 200);
}

// The texture view of a texture id no bank holds is white; the current side's
// white outline shows on it all the same, edged in black. Mapped and picked
// as a user does: UV Projection on the square seen face-on, a click on its
// top triangle, whose corners map to (0, 0), (1, 0) and (0.5, 0.5).
TEST_F(PavixViewTest, CurrentSideShowsOnTheFillOfAMissingTexture) {
  FaceOnSquare();
  ClickControl(pavix::kIdcProjection);
  Globals().camera.Rebuild();
  pavix::CRenderPipeline::SetCamera(Globals().camera.matrix);
  pavix::CRenderPipeline::SetViewport(0, 0, 599, 399);
  float sx = 0, sy = 0;
  ASSERT_TRUE(pavix::CRenderPipeline::ProjectPoint({0, 40, 0}, &sx, &sy));
  ClickView(static_cast<int>(sx), static_cast<int>(sy));
  ASSERT_GE(Globals().currentSide, 0);
  app->RunIdle();
  const QImage frame = View().LastImage();
  ASSERT_GE(frame.width(), 900);
  const QImage texture = frame.copy(600, 0, 300, 300);
  // The fill is white where no outline runs.
  const QColor fill = texture.pixelColor(150, 250);
  EXPECT_GE(std::min({fill.red(), fill.green(), fill.blue()}), 248);
  // Beside the middle of each edge of the side a dark pixel shows the outline.
  const auto darkNear = [&](int x, int y) {
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const QColor c = texture.pixelColor(std::clamp(x + dx, 0, 299), std::clamp(y + dy, 0, 299));
        if (std::max({c.red(), c.green(), c.blue()}) < 64) return true;
      }
    return false;
  };
  EXPECT_TRUE(darkNear(150, 0)) << "top edge";
  EXPECT_TRUE(darkNear(75, 75)) << "left edge";
  EXPECT_TRUE(darkNear(225, 75)) << "right edge";
  ExpectLikeReference(texture, "texture_view_current_side.png");
}

// The grey of the box and the grid in the 3D view (the left 600 columns).
int AidPixels(const QImage& frame) {
  int grey = 0;
  for (int y = 0; y < std::min(frame.height(), 400); ++y)
    for (int x = 0; x < std::min(frame.width(), 600); ++x) {
      const QColor c = frame.pixelColor(x, y);
      grey += std::abs(c.red() - 0x80) <= 8 && std::abs(c.green() - 0x80) <= 8 && std::abs(c.blue() - 0x80) <= 8;
    }
  return grey;
}

// Whatever mesh is loaded, Center, the preset buttons and zooming leave a
// view that draws: the box and the grid stay on the screen. Meshes that no
// reader lets in (not numbers, infinite, far out of range) and legal ones at
// the extremes of the range (huge, or of no extent at all).
TEST_F(PavixViewTest, CenterPresetsAndZoomKeepTheBoxAndGridWhateverTheMesh) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    pavix::CShape mesh;
    const char* reference = nullptr;  // of the 3D view after Center
  };
  const auto with = [](pavix::CShape mesh, const std::vector<CVector>& at) {
    for (std::size_t i = 0; i < at.size() && i < mesh.vertices.size(); ++i) mesh.vertices[i].position = at[i];
    return mesh;
  };
  const auto level = [](float y) {
    pavix::CShape mesh = pavixtest::SquareMesh(0, 0, 1e7f);
    for (pavix::CShapeVertex& v : mesh.vertices) v.position = {v.position.x, y, v.position.y};
    return mesh;
  };
  pavix::CShape floorAndCeiling = level(-600);
  floorAndCeiling.Merge(level(600));
  const pavix::CShape square = pavixtest::SquareMesh();
  const Case cases[] = {
      // The two triangles without the vertex draw, between the far edges of the box.
      {"a vertex not a number", with(square, {{nan, 0, 0}}), "center_on_a_mesh_not_a_number.png"},
      {"an infinite vertex", with(square, {{0, inf, 0}})},
      {"vertices at 1e38", with(square, {{1e38f, 1e38f, 1e38f}, {3e38f, 3e38f, 3e38f}, {3e38f, -1e38f, 3e38f}})},
      // A floor and a ceiling as wide as the range, centred on the origin, beyond the camera's
      // distance (512) from it: wherever the camera looks, the box stands in front of them.
      {"a mesh across the whole range", floorAndCeiling},
      {"a mesh of no extent", with(square, {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}})},
  };
  // An orange texture for the meshes, so that no grey but the box's and the grid's is counted.
  dir.MakeDir("rozizuzi");
  dir.MakeDir("rozizuzi/bank");
  dir.Write("rozizuzi/bank/K0000_orange.TGA",
            std::span<const std::uint8_t>(pavixtest::TgaFile(8, 8, 24, [](int, int) { return 0xFF8000u; })));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FaceOn(900, 400);
    Globals().shape = c.mesh;
    ClickControl(pavix::kIdcCenter);
    app->RunIdle();
    EXPECT_GT(AidPixels(View().LastImage()), 400) << "Center";
    if (c.reference) ExpectLikeReference(View().LastImage().copy(0, 0, 600, 400), c.reference);
    for (int preset : {pavix::kIdcTop, pavix::kIdcBottom, pavix::kIdcLeft, pavix::kIdcRight, pavix::kIdcFace,
                       pavix::kIdcBack}) {
      ClickControl(preset);
      app->RunIdle();
      EXPECT_GT(AidPixels(View().LastImage()), 400) << "preset " << preset;
    }
    // Shift and the right button held, dragged up: a zoom out.
    View().OnRightButtonDown(300, 200);
    View().OnMouseMove(300, 160, false, true, true, false);
    app->RunIdle();
    EXPECT_GT(AidPixels(View().LastImage()), 400) << "zoom";
    EXPECT_TRUE(std::isfinite(Globals().camera.zoom));
  }
}

// View Ortho seen from the top, as a user gets there: the View box
// unchecked (the 3D view fills the window), Top, then View Ortho. The
// 512-unit box becomes a 512-pixel square with the grid's 16-unit cells in
// it, and the mesh above the floor hides the grid where it lies.
class OrthoViewTest : public PavixViewTest {
 protected:
  static constexpr int kSize = 560;
  void SetUp() override {
    PavixViewTest::SetUp();
    // An orange texture for the mesh, so it stands apart from the grey aids.
    dir.MakeDir("rozizuzi");
    dir.MakeDir("rozizuzi/bank");
    dir.Write("rozizuzi/bank/K0000_orange.TGA",
              std::span<const std::uint8_t>(pavixtest::TgaFile(8, 8, 24, [](int, int) { return 0xFF8000u; })));
    // A flat quad at y = 0, 160 by 96 units, off the centre; both windings, so it shows from above.
    pavix::CShape& mesh = Globals().shape;
    mesh = {};
    for (CVector p : {CVector{-64, 0, -32}, CVector{96, 0, -32}, CVector{96, 0, 64}, CVector{-64, 0, 64}})
      mesh.vertices.push_back({p, {0, 1, 0}, 0});
    for (const std::array<std::uint32_t, 4>& order : {std::array<std::uint32_t, 4>{0, 1, 2, 3}, {3, 2, 1, 0}}) {
      pavix::CSide side;
      for (int k = 0; k < 4; ++k) side.index[k] = order[static_cast<std::size_t>(k)];
      side.flags = pavix::kSideListed;
      mesh.sides.push_back(side);
    }
    mesh.SetSingleNode({0, 0, 0}, {0, 0, 1});
    mesh.Rebuild();
    ClickControl(pavix::kIdcView);
    ASSERT_FALSE(Globals().viewports[1].enabled);
    View().LayoutViewports(kSize, kSize);
    ClickControl(pavix::kIdcTop);
  }
  void TearDown() override {
    pavix::CRenderPipeline::SetOrthographic(false);
    PavixViewTest::TearDown();
  }
  QImage Frame() {
    app->RunIdle();
    return View().LastImage().copy(0, 0, kSize, kSize).convertToFormat(QImage::Format_RGB888);
  }
  // The first and last column of a row that is not the background.
  static std::pair<int, int> Drawn(const QImage& image, int y) {
    const QRgb back = image.pixel(0, 0);
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == back) continue;
      if (first < 0) first = x;
      last = x;
    }
    return {first, last};
  }
};

TEST_F(OrthoViewTest, DrawsTheMeshTheBoxAndTheGridAtOnePixelPerUnit) {
  const QImage perspective = Frame();
  ClickControl(pavix::kIdcViewOrtho);
  ASSERT_TRUE(Panel().ViewOrthoBox());
  const QImage ortho = Frame();
  ASSERT_EQ(ortho.size(), QSize(kSize, kSize));
  // The box's 512 units across the middle row take 512 pixels (513 columns
  // from edge to edge); in perspective its near face is smaller.
  const auto [left, right] = Drawn(ortho, kSize / 2);
  EXPECT_NEAR(right - left, 512, 1);
  EXPECT_NEAR((left + right) / 2.0, (kSize - 1) / 2.0, 1);
  const auto [pleft, pright] = Drawn(perspective, kSize / 2);
  EXPECT_LT(pright - pleft, 480);
  // The mesh: 160 orange pixels across, centred 16 units right of the middle.
  int orange = 0, first = -1;
  const int row = kSize / 2 + 8;
  for (int x = 0; x < kSize; ++x) {
    const QColor c = ortho.pixelColor(x, row);
    if (c.red() > 100 && c.green() < c.red() - 40 && c.blue() < 40) {
      ++orange;
      if (first < 0) first = x;
    }
  }
  EXPECT_NEAR(orange, 160, 2);
  EXPECT_NEAR(first + 80, (kSize - 1) / 2.0 + 16, 2);

  ExpectLikeReference(ortho, "ortho_top.png");
}

}  // namespace
