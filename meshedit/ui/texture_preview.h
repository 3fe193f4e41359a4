#pragma once
// The panel's texture preview: the current texture with the current group's
// texture coordinates over it, edited with the left button held.
#include <QImage>
#include <QWidget>

namespace pavix {

class CEditPanelBar;

class CTexturePreview : public QWidget {
 public:
  CTexturePreview(CEditPanelBar* panel, QWidget* parent);
  // What the last paint showed.
  const QImage& LastImage() const { return last_; }
  // Draws the preview through the device into an image of the control's size.
  QImage Draw();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  CEditPanelBar* panel_;
  QImage last_;
  QPoint lastPoint_;
};

}  // namespace pavix
