#pragma once
// A widget that shows a memory surface: 16-bit 5-6-5 (or 32-bit x8r8g8b8)
// pixels with a pitch in bytes. Presenting inside a paint event draws at once;
// presenting at any other time keeps a copy and schedules a paint.
#include <QImage>
#include <QWidget>

class QPainter;

namespace platform::ui {

enum class PixelFormat { kRgb565, kXrgb8888 };

// A QImage over the caller's memory (no copy; valid while the memory is).
QImage WrapSurface(const void* pixels, int width, int height, int pitch, PixelFormat format);

class SurfaceWidget : public QWidget {
 public:
  explicit SurfaceWidget(QWidget* parent = nullptr);

  // Shows the block of the surface that fits the client area, from the
  // surface's top-left corner, placed at `at` in the widget.
  void Present(const void* pixels, int width, int height, int pitch,
               PixelFormat format = PixelFormat::kRgb565, QPoint at = QPoint());
  // What was presented last (a copy), for tests and repaints.
  const QImage& LastImage() const { return last_; }
  int PresentCount() const { return presents_; }

 protected:
  // Called by the paint event; may Present. Without a present during it,
  // the last image is painted again.
  virtual void OnDraw() {}
  void paintEvent(QPaintEvent* event) override;

 private:
  void Blit(QPainter& painter, const QImage& image, QPoint at);

  QImage last_;
  QPoint lastAt_;
  QPainter* painter_ = nullptr;  // set while a paint event runs
  bool presentedInPaint_ = false;
  int presents_ = 0;
};

}  // namespace platform::ui
