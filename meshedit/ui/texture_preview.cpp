#include "meshedit/ui/texture_preview.h"

#include <QMouseEvent>
#include <QPainter>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/ui/back_surface_image.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/texture_outline.h"

namespace pavix {
namespace {

constexpr std::uint32_t kPreviewBack = 0xFF800000u;

}  // namespace

CTexturePreview::CTexturePreview(CEditPanelBar* panel, QWidget* parent) : QWidget(parent), panel_(panel) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
}

QImage CTexturePreview::Draw() {
  const int w = width(), h = height();
  if (!Globals().pipeline || w <= 0 || h <= 0 || !BackSurfaceFits(w, h)) return QImage();
  const CViewportRect r{0, 0, w, h, true};
  CRenderPipeline::SetViewport(0, 0, w - 1, h - 1);
  CRenderPipeline::NewFrame();
  if (!CRenderPipeline::BeginFrame(0, 0, 1.0f, 0)) return QImage();
  Cdd::ClearViewport(kPreviewBack);
  DrawTextureWithOutlines(r, true);
  CRenderPipeline::EndFrame();
  return BackSurfaceImage(w, h);
}

void CTexturePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QImage image = Draw();
  if (!image.isNull()) last_ = image;
  if (last_.isNull()) painter.fillRect(rect(), QColor(128, 0, 0));
  else painter.drawImage(0, 0, last_);
}

void CTexturePreview::mousePressEvent(QMouseEvent* event) {
  lastPoint_ = event->position().toPoint();
  PavixGlobals& g = Globals();
  g.lastX = lastPoint_.x();
  g.lastY = lastPoint_.y();
}

void CTexturePreview::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint p = event->position().toPoint();
  const QPoint d = p - lastPoint_;
  lastPoint_ = p;
  panel_->EditPreview(p.x(), p.y(), d.x(), d.y(), event->modifiers() & Qt::ShiftModifier,
                      event->modifiers() & Qt::ControlModifier);
}

}  // namespace pavix
