#include "platform/video/window.h"

#include <cstring>

#include "platform/video/surface.h"

namespace platform::video {

Window::Window(Rect clientOnScreen) : client_(clientOnScreen) {}

void Window::SetClientRect(const Rect& r) { client_ = r; }

std::uint32_t Window::PixelAt(int x, int y) const {
  int w = client_.Width(), h = client_.Height();
  if (x < 0 || y < 0 || x >= w || y >= h || image_.empty()) return 0;
  const std::uint8_t* p = image_.data() + static_cast<std::size_t>(y) * imagePitch_;
  if (imageFormat_.bitsPerPixel == 32) {
    std::uint32_t v;
    std::memcpy(&v, p + x * 4, 4);
    return v;
  }
  std::uint16_t v;
  std::memcpy(&v, p + x * 2, 2);
  return v;
}

void Window::ReceivePresent(const Surface& screen, const Rect& screenArea) {
  const int w = client_.Width(), h = client_.Height();
  if (w <= 0 || h <= 0) return;
  const int bytes = screen.Format().bitsPerPixel / 8;
  if (imageFormat_ != screen.Format() || imagePitch_ != w * bytes ||
      image_.size() != static_cast<std::size_t>(w) * bytes * h) {
    imageFormat_ = screen.Format();
    imagePitch_ = w * bytes;
    image_.assign(static_cast<std::size_t>(imagePitch_) * h, 0);
  }
  Rect area = Intersect(screenArea, client_);
  area = Intersect(area, Rect{0, 0, screen.Width(), screen.Height()});
  if (area.Empty()) return;
  for (int y = area.top; y < area.bottom; ++y) {
    const std::uint8_t* src = screen.Bits() + static_cast<std::size_t>(y) * screen.Pitch() + area.left * bytes;
    std::uint8_t* dst = image_.data() + static_cast<std::size_t>(y - client_.top) * imagePitch_ +
                        (area.left - client_.left) * bytes;
    std::memcpy(dst, src, static_cast<std::size_t>(area.Width()) * bytes);
  }
  ++presents_;
  if (onPresent) {
    onPresent(Rect{area.left - client_.left, area.top - client_.top, area.right - client_.left,
                   area.bottom - client_.top});
  }
}

namespace {
Window*& Main() {
  static Window* w = nullptr;
  return w;
}
}  // namespace

Window* MainWindow() { return Main(); }
void SetMainWindow(Window* window) { Main() = window; }

}  // namespace platform::video
