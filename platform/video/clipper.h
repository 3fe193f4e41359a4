#pragma once
// Limits blits onto the screen to one window's client area.
#include "platform/video/result.h"

namespace platform::video {

class Window;

class Clipper {
 public:
  HResult SetWindow(Window* window);
  Window* GetWindow() const { return window_; }

 private:
  Window* window_ = nullptr;
};

}  // namespace platform::video
