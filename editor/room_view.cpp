#include "editor/room_view.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <QMouseEvent>
#include <QResizeEvent>

#include "editor/display_objects.h"
#include "editor/edit_modes.h"
#include "editor/kelvar_menus.h"
#include "editor/main_frame.h"
#include "platform/ui/application.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/popup_menu.h"
#include "platform/video/window.h"
#include "render/cdd.h"
#include "render/engine_3d.h"
#include "render/renderer.h"

namespace kelvar {
namespace {

CRoomView*& Current() {
  static CRoomView* view = nullptr;
  return view;
}

constexpr std::uint16_t kNeutralGrey565 = 0x8410;  // 128, 128, 128

unsigned MouseFlags(const QMouseEvent& e) {
  unsigned flags = 0;
  if (e.buttons() & Qt::LeftButton) flags |= kMouseLeft;
  if (e.buttons() & Qt::RightButton) flags |= kMouseRight;
  if (e.buttons() & Qt::MiddleButton) flags |= kMouseMiddle;
  if (e.modifiers() & Qt::ShiftModifier) flags |= kMouseShift;
  if (e.modifiers() & Qt::ControlModifier) flags |= kMouseControl;
  return flags;
}

}  // namespace

ViewRect& RenderSurfaceRect() {
  static ViewRect rect;
  return rect;
}

ViewRect& VisibleViewRect() {
  static ViewRect rect;
  return rect;
}

CRoomView::CRoomView(QWidget* parent)
    : View(parent), toolTip_(std::make_unique<platform::ui::ToolTips>()),
      video_(std::make_unique<platform::video::Window>(platform::video::Rect{0, 0, 1, 1})) {
  Current() = this;
  setMouseTracking(true);
  toolTip_->Attach(this);
  video_->onPresent = [this](const platform::video::Rect&) {
    const platform::video::Rect client = video_->ClientRect();
    const auto format = video_->ImageFormat().bitsPerPixel == 32 ? platform::ui::PixelFormat::kXrgb8888
                                                                 : platform::ui::PixelFormat::kRgb565;
    Present(video_->Image().data(), client.Width(), client.Height(), video_->ImagePitch(), format);
  };
}

CRoomView::~CRoomView() {
  if (Current() == this) Current() = nullptr;
  toolTip_->Attach(nullptr);
}

CRoomView* CRoomView::Instance() { return Current(); }

void CRoomView::Redraw() { update(); }

int CRoomView::EdgeScrollDirection() const {
  const int w = width(), h = height();
  const int x = lastMouse_.x(), y = lastMouse_.y();
  if (x < kEdgeMargin) return kEdgeLeft;
  if (x > w - kEdgeMargin) return kEdgeRight;
  if (y < kEdgeMargin) return kEdgeTop;
  if (y > h - kEdgeMargin) return kEdgeBottom;
  return -1;
}

void CRoomView::OnInitialUpdate() {
  View::OnInitialUpdate();
  viewRect_ = ViewRect{0, 0, width(), height()};
  if (mode_) {
    mode_->SetViewRect(viewRect_);
    mode_->Reset();
  }
  Timers().Set(kEdgeScrollTimer, kEdgeScrollPeriod);
}

void CRoomView::OnUpdate(View*, long) { Redraw(); }

void CRoomView::OnTimer(int id) {
  if (id != kEdgeScrollTimer) return;
  const int edge = EdgeScrollDirection();
  if (edge >= 0 && mode_ && mode_->CanEdgeScroll(edge) && mode_->EdgeScroll(edge)) Redraw();
}

void CRoomView::OnDestroy() {
  Timers().Kill(kEdgeScrollTimer);
  ReleaseCapture();
  if (Current() == this) Current() = nullptr;
}

void CRoomView::PlaceVideoWindow() {
  video_->SetClientRect(platform::video::Rect{0, 0, std::max(width(), 1), std::max(height(), 1)});
}

void CRoomView::OnSize(int cx, int cy) {
  const int w = std::max(cx, kMinViewWidth);
  const int h = std::max(cy, kMinViewHeight);
  PlaceVideoWindow();
  DisplayObjects& display = Display();
  if (g_3DEngine && display.cdd) {
    Cdd& cdd = *display.cdd;
    if (cdd.GetWidth() != w + kThumbnailColumn || cdd.GetHeight() != h) {
      cdd.SetFormat(display.mainWindow, w + kThumbnailColumn, h, 16, 0, 0);
      // The renderer is told the surface the device really made, pitch included.
      if (display.renderer) display.renderer->SetScreenSize(cdd.GetWidth(), cdd.GetHeight(), cdd.GetPitch());
      g_3DEngine->SetViewportRect(0, 0, w, h);
      g_3DEngine->SetViewSize(w, h);
      // A new format drops the device's textures: the banks must be loaded again.
      g_3DEngine->ResetTextureCache();
    }
    RenderSurfaceRect() = ViewRect{0, 0, cdd.GetWidth(), cdd.GetHeight()};
    VisibleViewRect() = ViewRect{0, 0, std::min(w, cdd.GetWidth()), std::min(h, cdd.GetHeight())};
  }
  // The mode always follows the real client size, even when the surface stays.
  viewRect_.right = viewRect_.left + cx;
  viewRect_.bottom = viewRect_.top + cy;
  if (mode_) mode_->SetViewRect(viewRect_);
}

void CRoomView::resizeEvent(QResizeEvent* event) {
  View::resizeEvent(event);
  OnSize(event->size().width(), event->size().height());
}

void CRoomView::OnDraw() {
  if (mode_) {
    mode_->Render(nullptr);
    return;
  }
  // Without a mode there is nothing to draw: the modes' neutral grey.
  const int w = std::max(width(), 1), h = std::max(height(), 1);
  std::vector<std::uint16_t> grey(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), kNeutralGrey565);
  Present(grey.data(), w, h, w * 2);
}

void CRoomView::Capture() {
  captured_ = true;
  if (isVisible()) grabMouse();
}

void CRoomView::ReleaseCapture() {
  if (captured_ && QWidget::mouseGrabber() == this) releaseMouse();
  captured_ = false;
}

void CRoomView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const unsigned flags = MouseFlags(*event);
  if (event->button() == Qt::LeftButton) {
    if (mode_ && mode_->OnButtonDown(flags, p.x(), p.y())) Capture();
    Redraw();
  } else if (event->button() == Qt::RightButton) {
    if (mode_) {
      toolTip_->Pop();  // no tip stays over a context menu
      if (mode_->OnRightButtonDown(flags, p.x(), p.y())) Capture();
    }
    Redraw();
  }
}

void CRoomView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const unsigned flags = MouseFlags(*event);
  if (event->button() == Qt::LeftButton) {
    if (mode_) mode_->OnButtonUp(flags, p.x(), p.y());
    ReleaseCapture();
    Redraw();
  } else if (event->button() == Qt::RightButton) {
    if (mode_) mode_->OnRightButtonUp(flags, p.x(), p.y());
    ReleaseCapture();
    Redraw();
  }
}

void CRoomView::mouseMoveEvent(QMouseEvent* event) {
  lastMouse_ = event->position().toPoint();
  if (mode_ && mode_->OnMouseMove(MouseFlags(*event), lastMouse_.x(), lastMouse_.y())) Redraw();
}

void CRoomView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    mousePressEvent(event);  // a quick second right click is one more press
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  ReleaseCapture();
  const QPoint p = event->position().toPoint();
  if (mode_) mode_->OnDoubleClick(MouseFlags(*event), p.x(), p.y());
  Redraw();
}

void SetEditMode(CEditMode* mode) {
  CRoomView* view = CRoomView::Instance();
  if (!view) return;
  view->mode_ = mode;
  if (mode) mode->window = view->VideoWindow();
  const bool map = mode == nullptr || mode == MapEditMode();
  view->ToolTip().Activate(mode != nullptr && mode == MapEditMode());
  if (CMainFrame* frame = MainFrame()) frame->ShowEditBands(!map);
  if (mode) mode->SetViewRect(view->viewRect_);
  view->Redraw();
}

void TrackRoomViewMenu(int submenu, int x, int y) {
  const std::vector<platform::ui::MenuItem>& menu = RoomViewMenu();
  CRoomView* view = CRoomView::Instance();
  platform::ui::Application* app = platform::ui::Application::Instance();
  platform::ui::FrameWindow* main = app ? app->MainWindow() : nullptr;
  if (!view || !main || submenu < 0 || submenu >= static_cast<int>(menu.size())) return;
  platform::ui::TrackPopupMenu(menu[static_cast<std::size_t>(submenu)], view->mapToGlobal(QPoint(x, y)), *main, main);
}

}  // namespace kelvar
