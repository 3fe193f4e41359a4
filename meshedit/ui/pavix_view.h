#pragma once
// Pavix's view: the 3D view and the texture view side by side (a third
// viewport is laid out below the texture view), picking, mouse editing of
// the camera, the current group and its texture coordinates, and the frame.
// A frame is drawn only when something asked for one (Render(1)), from the
// application's idle processing, so an idle program uses no processor.
#include <memory>

#include "platform/ui/view.h"

namespace platform::video {
class Window;
}

namespace pavix {

class CPavixView : public platform::ui::View {
 public:
  explicit CPavixView(QWidget* parent = nullptr);
  ~CPavixView() override;

  void LayoutViewports(int width, int height);
  // The first enabled viewport holding the point (bounds inclusive); 0 when none.
  static int HitViewport(int x, int y);
  // The side under the point of the 3D view becomes the current side.
  void Pick(int x, int y);
  void MouseEdit(int x, int y, int dx, int dy, bool left, bool right, bool shift, bool control);
  // 1 marks the view as wanting a frame (and asks for idle processing); 0
  // draws the frame when one is wanted.
  void Render(int flag);
  bool IsPending() const { return pending_; }
  int FramesDrawn() const { return frames_; }

  // The button handlers, also for tests (client coordinates).
  void OnLeftButtonDown(int x, int y, bool shift, bool control);
  void OnRightButtonDown(int x, int y);
  void OnMouseMove(int x, int y, bool left, bool right, bool shift, bool control);

  void OnInitialUpdate() override;
  void OnUpdate(platform::ui::View* sender, long hint) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DrawFrame();
  void DrawTextureView();
  std::unique_ptr<platform::video::Window> video_;
  bool bound_ = false;
  bool pending_ = false;
  int frames_ = 0;
  int surfaceWidth_ = 0, surfaceHeight_ = 0;
};

}  // namespace pavix
