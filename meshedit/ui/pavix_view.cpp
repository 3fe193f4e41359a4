#include "meshedit/ui/pavix_view.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QResizeEvent>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/texture_outline.h"
#include "platform/ui/application.h"
#include "platform/ui/drawing_scope.h"
#include "platform/video/window.h"

namespace pavix {
namespace {

constexpr std::uint32_t kViewBackground = 0xFF000080u;
constexpr float kPanStep = 0.25f;
constexpr float kZoomStep = 0.25f;
constexpr float kOrbitStep = 0.03141593f;     // radians per pixel
constexpr float kTurnStep = 0.001f;            // radians per pixel, about the view's x and y axes
constexpr float kRollStep = 0.017453292f;      // one degree per pixel, about the view's depth axis
constexpr float kUvTurnStep = 0.0061359233f;   // 2 pi / 1024 per pixel
constexpr float kAidHalf = 256.0f;
constexpr float kGridStep = 16.0f;

CMatrix RotationOnly(const CMatrix& m) {
  CMatrix r = m;
  r.t[0] = r.t[1] = r.t[2] = 0;
  return r;
}

// A turn given in view axes, as a turn of the world.
CMatrix TurnInView(const CVector& angles) {
  const CMatrix view = RotationOnly(Globals().camera.matrix);
  CMatrix turn;
  EulerToMatrixNoTranslation(angles, turn);
  return Multiply(Multiply(InverseRigid(view), turn), view);
}

void MarkModified() {
  if (CPavixDoc* doc = Globals().doc) doc->SetModifiedFlag(true);
}

}  // namespace

CPavixView::CPavixView(QWidget* parent)
    : View(parent), video_(std::make_unique<platform::video::Window>(platform::video::Rect{0, 0, 1, 1})) {
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  Globals().view = this;
  video_->onPresent = [this](const platform::video::Rect&) {
    const platform::video::Rect client = video_->ClientRect();
    const auto format = video_->ImageFormat().bitsPerPixel == 32 ? platform::ui::PixelFormat::kXrgb8888
                                                                 : platform::ui::PixelFormat::kRgb565;
    Present(video_->Image().data(), client.Width(), client.Height(), video_->ImagePitch(), format);
  };
}

CPavixView::~CPavixView() {
  if (Globals().view == this) Globals().view = nullptr;
  // The device must not present into a window that is gone.
  if (bound_ && Cdd::State().window == video_.get()) Cdd::State().window = nullptr;
}

void CPavixView::OnInitialUpdate() {
  View::OnInitialUpdate();
  Render(1);
}

void CPavixView::OnUpdate(platform::ui::View*, long) { Render(1); }

void CPavixView::LayoutViewports(int width, int height) {
  if (width <= 0 || height <= 0) return;
  PavixGlobals& g = Globals();
  if (g.pipeline && (!bound_ || surfaceWidth_ != width || surfaceHeight_ != height)) {
    video_->SetClientRect(platform::video::Rect{0, 0, width, height});
    bound_ = CRenderPipeline::SetFormat(video_.get(), 0) == 1;
    surfaceWidth_ = bound_ ? Cdd::State().width : 0;
    surfaceHeight_ = bound_ ? Cdd::State().height : 0;
    const float focal = 0.8f * static_cast<float>(surfaceWidth_);
    CRenderPipeline::SetFocal(focal, focal);
    // The panel's pictures are drawn through the same surface.
    if (g.panel) g.panel->RedrawPictures();
  }
  const int d = std::min(width / 3, height);
  const bool split = width > 32 && height > 32 && (!g.panel || g.panel->ViewBox());
  if (split) {
    g.viewports[0] = {0, 0, width - d, height, true};
    g.viewports[1] = {width - d, 0, width, d, true};
    g.viewports[2] = {width - d, d, width, height, true};
  } else {
    g.viewports[0] = {0, 0, width, height, true};
    g.viewports[1].enabled = g.viewports[2].enabled = false;
  }
  Render(1);
}

int CPavixView::HitViewport(int x, int y) {
  const auto& vp = Globals().viewports;
  for (int i = 0; i < static_cast<int>(vp.size()); ++i) {
    const CViewportRect& r = vp[static_cast<std::size_t>(i)];
    if (r.enabled && x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) return i;
  }
  return 0;
}

void CPavixView::Pick(int x, int y) {
  PavixGlobals& g = Globals();
  if (!g.pipeline || !bound_) return;
  g.camera.Rebuild();
  CRenderPipeline::SetCamera(g.camera.matrix);
  const CViewportRect& r = g.viewports[0];
  CRenderPipeline::SetViewport(r.left, r.top, r.right - 1, r.bottom - 1);
  CRenderPipeline::NewFrame();
  g.previousSide = g.currentSide;
  const float point[2] = {static_cast<float>(x), static_cast<float>(y)};
  g.currentSide = CRenderPipeline::PickInShape(point, g.shape, IdentityMatrix());
}

void CPavixView::OnLeftButtonDown(int x, int y, bool shift, bool control) {
  PavixGlobals& g = Globals();
  g.lastX = x;
  g.lastY = y;
  g.pressViewport = HitViewport(x, y);
  if (g.pressViewport == 0 && !shift && !control) Pick(x, y);
  if (g.panel) g.panel->ReloadFields();
  if (const CSide* side = CurrentSide()) {
    const int index = g.currentSide;
    g.shape.GroupSides();
    g.currentGroup = g.shape.sides[static_cast<std::size_t>(index)].group;
    (void)side;
  } else {
    g.currentGroup = 0;
  }
  if (g.panel) g.panel->RedrawPreview();
  Render(1);
}

void CPavixView::OnRightButtonDown(int x, int y) {
  PavixGlobals& g = Globals();
  g.lastX = x;
  g.lastY = y;
  g.pressViewport = HitViewport(x, y);
}

void CPavixView::OnMouseMove(int x, int y, bool left, bool right, bool shift, bool control) {
  PavixGlobals& g = Globals();
  const int dx = x - g.lastX, dy = y - g.lastY;
  g.lastDx = dx;
  g.lastDy = dy;
  g.lastX = x;
  g.lastY = y;
  MouseEdit(x, y, dx, dy, left, right, shift, control);
}

void CPavixView::MouseEdit(int x, int y, int dx, int dy, bool left, bool right, bool shift, bool control) {
  PavixGlobals& g = Globals();
  CViewCamera& cam = g.camera;
  const auto fdx = static_cast<float>(dx), fdy = static_cast<float>(dy);
  if (g.pressViewport == 0) {
    if (right) {
      if (control) {
        cam.target = cam.target - RotateVector(cam.matrix, {fdx * kPanStep, -fdy * kPanStep, 0});
      } else if (shift) {
        cam.zoom += -fdy * kZoomStep;
      } else {
        cam.angles.x += fdy * kOrbitStep;
        cam.angles.y += fdx * kOrbitStep;
      }
      cam.Rebuild();
      Render(1);
    } else if (left && (shift || control)) {
      CMatrix m = IdentityMatrix();
      if (shift && !control) {
        const CVector move = RotateVector(cam.matrix, {fdx, -fdy, 0});
        m.t[0] = move.x;
        m.t[1] = move.y;
        m.t[2] = move.z;
      } else if (shift && control) {
        m = TurnInView({fdy * kTurnStep, fdx * kTurnStep, 0});
      } else {
        m = TurnInView({0, 0, fdx * kRollStep});
      }
      g.shape.TransformGroup(g.currentGroup, m);
      MarkModified();
      Render(1);
    }
    return;
  }
  if (g.pressViewport != 1 || !right) return;
  const CViewportRect& r = g.viewports[1];
  if (r.Width() <= 0 || r.Height() <= 0) return;
  if (control && shift) {
    CSide* side = CurrentSide();
    const int corner = NearestCorner(r, x, y);
    if (!side || corner < 0) return;
    const CUv to{static_cast<float>(x - r.left) / static_cast<float>(r.Width()),
                 static_cast<float>(y - r.top) / static_cast<float>(r.Height())};
    side->uv[corner] = to;
    if (corner == 2 && side->CornerCount() == 3) side->uv[3] = to;
  } else if (shift) {
    g.shape.RotateUv(g.currentGroup, -fdx * kUvTurnStep);
  } else {
    g.shape.TranslateUv(g.currentGroup, fdx / static_cast<float>(r.Width()), fdy / static_cast<float>(r.Height()));
  }
  MarkModified();
  if (g.panel) g.panel->RedrawPreview();
  Render(1);
}

void CPavixView::Render(int flag) {
  if (flag == 1) {
    pending_ = true;
    if (platform::ui::Application* app = platform::ui::Application::Instance()) app->RequestIdle();
    return;
  }
  if (!pending_) return;
  DrawFrame();
  pending_ = false;
}

void CPavixView::DrawFrame() {
  // A frame drawn outside a paint is a drawing all the same.
  const platform::ui::DrawingScope drawing;
  PavixGlobals& g = Globals();
  if (!g.pipeline || !bound_) return;
  CRenderPipeline::SetViewport(0, 0, surfaceWidth_ - 1, surfaceHeight_ - 1);
  CRenderPipeline::NewFrame();
  if (!CRenderPipeline::BeginFrame(3, kViewBackground, 1.0f, 0)) return;
  g.camera.Rebuild();
  CRenderPipeline::SetCamera(g.camera.matrix);
  const CViewportRect& v0 = g.viewports[0];
  CRenderPipeline::SetViewport(v0.left, v0.top, v0.right - 1, v0.bottom - 1);
  const CMatrix id = IdentityMatrix();
  CRenderPipeline::DrawBox(id, {-kAidHalf, -kAidHalf, -kAidHalf}, {kAidHalf, kAidHalf, kAidHalf}, kGrey);
  CRenderPipeline::DrawGrid(id, {-kAidHalf, -kAidHalf, -kAidHalf}, {kAidHalf, -kAidHalf, kAidHalf},
                            {kGridStep, kGridStep, kGridStep}, kGrey);
  CRenderPipeline::DrawShape(g.shape, id);
  CRenderPipeline::FlushOrderingTable();
  const CSide* current = CurrentSide();
  const std::size_t nv = g.shape.vertices.size();
  auto corners = [&](const CSide& s, float* xs, float* ys) {
    for (int k = 0; k < s.CornerCount(); ++k)
      if (s.index[k] >= nv || !CRenderPipeline::ProjectPoint(g.shape.vertices[s.index[k]].position, &xs[k], &ys[k]))
        return false;
    return true;
  };
  if (g.currentGroup != 0) {
    for (const CSide& s : g.shape.sides) {
      float xs[4], ys[4];
      if (s.group != g.currentGroup || !corners(s, xs, ys)) continue;
      const int n = s.CornerCount();
      for (int k = 0; k < n; ++k) CRenderPipeline::DrawLine2D(xs[k], ys[k], xs[(k + 1) % n], ys[(k + 1) % n], kBlue);
    }
  }
  if (current) {
    float xs[4], ys[4];
    if (corners(*current, xs, ys))
      for (int k = 0; k < current->CornerCount(); ++k) CRenderPipeline::DrawMarker2D(xs[k], ys[k], k == 3 ? kBlue : kWhite);
  }
  const CViewportRect& v1 = g.viewports[1];
  if (v1.enabled) {
    CRenderPipeline::SetViewport(v1.left, v1.top, v1.right - 1, v1.bottom - 1);
    DrawTextureWithOutlines(v1, false);
  }
  CRenderPipeline::EndFrame();
  Cdd::Show();
  ++frames_;
}

void CPavixView::resizeEvent(QResizeEvent* event) {
  View::resizeEvent(event);
  LayoutViewports(event->size().width(), event->size().height());
}

void CPavixView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const bool shift = event->modifiers() & Qt::ShiftModifier, control = event->modifiers() & Qt::ControlModifier;
  if (event->button() == Qt::LeftButton) OnLeftButtonDown(p.x(), p.y(), shift, control);
  else if (event->button() == Qt::RightButton) OnRightButtonDown(p.x(), p.y());
}

void CPavixView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  OnMouseMove(p.x(), p.y(), event->buttons() & Qt::LeftButton, event->buttons() & Qt::RightButton,
              event->modifiers() & Qt::ShiftModifier, event->modifiers() & Qt::ControlModifier);
}

void CPavixView::mouseReleaseEvent(QMouseEvent* event) {
  View::mouseReleaseEvent(event);
  if (CEditPanelBar* panel = Globals().panel) panel->setFocus();
}

}  // namespace pavix
