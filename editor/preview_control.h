#pragma once
// A dialog's preview control: on each paint it asks its owner for the image
// to show (drawn from its top-left corner); a press is handed to the owner
// with the point relative to the control.
#include <functional>

#include <QImage>
#include <QWidget>

namespace kelvar {

class CPreviewControl : public QWidget {
 public:
  CPreviewControl(int id, QSize size, QWidget* parent = nullptr);

  int Id() const { return id_; }
  // Schedules a paint (the window system's invalidate).
  void Invalidate() { update(); }
  // What the last paint showed, and how many paints there were.
  const QImage& LastImage() const { return last_; }
  int PaintCount() const { return paints_; }
  // Paints now, outside the event loop (tests and screenshots).
  void PaintNow();

  std::function<QImage(QSize)> onPaint;
  std::function<void(QPoint)> onPress;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int id_;
  QImage last_;
  int paints_ = 0;
};

}  // namespace kelvar
