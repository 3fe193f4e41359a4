#pragma once
// A window that surfaces are presented into. The window system (or a test)
// places its client area on the screen; each present copies the presented
// part of the screen into the window's own image and tells the owner.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/video/types.h"

namespace platform::video {

class Surface;

class Window {
 public:
  explicit Window(Rect clientOnScreen = {0, 0, 640, 480});

  // The client area in screen coordinates.
  Rect ClientRect() const { return client_; }
  void SetClientRect(const Rect& r);

  bool IsVisible() const { return visible_; }
  void Show(bool visible) { visible_ = visible; }

  // The client area as last presented, in the screen's pixel format.
  const std::vector<std::uint8_t>& Image() const { return image_; }
  int ImagePitch() const { return imagePitch_; }
  const PixelFormat& ImageFormat() const { return imageFormat_; }
  // A pixel of the image (client coordinates); 0 outside.
  std::uint32_t PixelAt(int x, int y) const;
  int PresentCount() const { return presents_; }

  // Called after each present with the updated part, in client coordinates.
  std::function<void(const Rect&)> onPresent;

  // The screen (primary surface) calls this after writing `screenArea`.
  void ReceivePresent(const Surface& screen, const Rect& screenArea);

 private:
  Rect client_;
  bool visible_ = true;
  std::vector<std::uint8_t> image_;
  int imagePitch_ = 0;
  PixelFormat imageFormat_;
  int presents_ = 0;
};

// The application's main window, hidden by the display device when it gives up.
Window* MainWindow();
void SetMainWindow(Window* window);

}  // namespace platform::video
