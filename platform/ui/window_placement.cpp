#include "platform/ui/window_placement.h"

#include <QWidget>

namespace platform::ui {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t Get(std::span<const std::uint8_t> b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

std::vector<std::uint8_t> WindowPlacement::ToBytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(kSize);
  for (std::uint32_t v : {length, flags, showCmd}) Put(out, v);
  for (std::int32_t v : {minX, minY, maxX, maxY, left, top, right, bottom})
    Put(out, static_cast<std::uint32_t>(v));
  return out;
}

std::optional<WindowPlacement> WindowPlacement::FromBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kSize) return std::nullopt;
  WindowPlacement p;
  p.length = Get(bytes, 0);
  p.flags = Get(bytes, 4);
  p.showCmd = Get(bytes, 8);
  std::int32_t* fields[] = {&p.minX, &p.minY, &p.maxX, &p.maxY, &p.left, &p.top, &p.right, &p.bottom};
  for (size_t i = 0; i < 8; ++i) *fields[i] = static_cast<std::int32_t>(Get(bytes, 12 + 4 * i));
  return p;
}

WindowPlacement GetWindowPlacement(const QWidget& window) {
  WindowPlacement p;
  QRect r = window.isWindow() ? window.normalGeometry() : window.geometry();
  if (r.isEmpty()) r = window.geometry();
  if (!window.isWindow() && window.isMaximized()) {
    // A maximised workspace window remembers its normal rectangle itself.
    QRect n = window.normalGeometry();
    if (!n.isEmpty()) r = n;
  }
  p.left = r.left();
  p.top = r.top();
  p.right = r.left() + r.width();
  p.bottom = r.top() + r.height();
  if (window.isMinimized()) p.showCmd = kShowMinimized;
  else if (window.isMaximized()) p.showCmd = kShowMaximized;
  else p.showCmd = kShowNormal;
  return p;
}

void SetWindowPlacement(QWidget& window, const WindowPlacement& p) {
  int w = p.right - p.left, h = p.bottom - p.top;
  if (w > 0 && h > 0) {
    if (window.isMaximized() || window.isMinimized()) window.setWindowState(Qt::WindowNoState);
    window.setGeometry(p.left, p.top, w, h);
  }
  Qt::WindowStates state = Qt::WindowNoState;
  if (p.showCmd == kShowMaximized) state = Qt::WindowMaximized;
  else if (p.showCmd == kShowMinimized) state = Qt::WindowMinimized;
  window.setWindowState(state);
}

}  // namespace platform::ui
