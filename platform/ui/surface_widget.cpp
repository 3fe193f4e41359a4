#include "platform/ui/surface_widget.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/ui/drawing_scope.h"

namespace platform::ui {

QImage WrapSurface(const void* pixels, int width, int height, int pitch, PixelFormat format) {
  if (!pixels || width <= 0 || height <= 0) return QImage();
  int bpp = format == PixelFormat::kRgb565 ? 2 : 4;
  if (pitch < width * bpp) return QImage();  // would read past each row
  return QImage(static_cast<const uchar*>(pixels), width, height, pitch,
                format == PixelFormat::kRgb565 ? QImage::Format_RGB16 : QImage::Format_RGB32);
}

SurfaceWidget::SurfaceWidget(QWidget* parent) : QWidget(parent) {
  // The surface covers the client area; no background erase, no flicker.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

void SurfaceWidget::Present(const void* pixels, int width, int height, int pitch, PixelFormat format,
                            QPoint at) {
  QImage image = WrapSurface(pixels, width, height, pitch, format);
  if (image.isNull()) return;
  ++presents_;
  // The whole surface is kept: the widget may still change size before it paints.
  last_ = image.copy();
  lastAt_ = at;
  if (painter_) {
    Blit(*painter_, last_, at);
    presentedInPaint_ = true;
  } else {
    update();
  }
}

void SurfaceWidget::Blit(QPainter& painter, const QImage& image, QPoint at) {
  // Only the client-sized block from the surface's top-left corner shows.
  QRect source(QPoint(0, 0), image.size().boundedTo(size() - QSize(at.x(), at.y())));
  if (source.isEmpty()) return;
  painter.drawImage(at, image, source);
  // The rest of the client area, if the surface is smaller, is black.
  QRegion rest(rect());
  rest -= QRect(at, source.size());
  for (const QRect& r : rest) painter.fillRect(r, Qt::black);
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (DrawingDepth() > 1) {
    // A paint inside another drawing would draw through the same display
    // objects midway: the last picture now, a fresh one afterwards.
    if (!last_.isNull()) Blit(painter, last_, lastAt_);
    else painter.fillRect(rect(), Qt::black);
    update();
    return;
  }
  painter_ = &painter;
  presentedInPaint_ = false;
  OnDraw();
  painter_ = nullptr;
  if (!presentedInPaint_) {
    if (!last_.isNull()) Blit(painter, last_, lastAt_);
    else painter.fillRect(rect(), Qt::black);
  }
}

}  // namespace platform::ui
