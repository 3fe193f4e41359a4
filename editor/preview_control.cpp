#include "editor/preview_control.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/drawing_scope.h"

namespace kelvar {

CPreviewControl::CPreviewControl(int id, QSize size, QWidget* parent) : QWidget(parent), id_(id) {
  setObjectName(QString("preview%1").arg(id));
  setFixedSize(size);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPreviewControl::PaintNow() {
  const platform::ui::DrawingScope drawing;  // also when called outside a paint
  ++paints_;
  if (onPaint) last_ = onPaint(size());
}

void CPreviewControl::paintEvent(QPaintEvent*) {
  // A paint inside another drawing would draw through the same display
  // objects midway: it shows the last picture now and a fresh one afterwards.
  if (platform::ui::DrawingDepth() > 1) update();
  else PaintNow();
  QPainter painter(this);
  if (last_.isNull()) painter.fillRect(rect(), QColor(0x80, 0x80, 0x80));
  else painter.drawImage(QPoint(0, 0), last_);
}

void CPreviewControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onPress) onPress(event->position().toPoint());
}

}  // namespace kelvar
