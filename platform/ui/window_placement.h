#pragma once
// A window's placement as the 44-byte record kept in the profile: length,
// flags, show state, minimised and maximised positions, normal rectangle
// (all little-endian 32-bit). Rectangles are the window's inner geometry.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QWidget;

namespace platform::ui {

inline constexpr std::uint32_t kShowNormal = 1;
inline constexpr std::uint32_t kShowMinimized = 2;
inline constexpr std::uint32_t kShowMaximized = 3;

struct WindowPlacement {
  static constexpr std::size_t kSize = 44;

  std::uint32_t length = kSize;
  std::uint32_t flags = 0;
  std::uint32_t showCmd = kShowNormal;
  std::int32_t minX = -1, minY = -1;
  std::int32_t maxX = -1, maxY = -1;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;

  std::vector<std::uint8_t> ToBytes() const;
  // Nothing unless exactly kSize bytes.
  static std::optional<WindowPlacement> FromBytes(std::span<const std::uint8_t> bytes);
};

// Works on top-level windows and on windows inside a workspace alike.
WindowPlacement GetWindowPlacement(const QWidget& window);
// Sets the normal rectangle and the show state; shows the window only when it
// is already visible (a hidden window takes the state when it is shown).
void SetWindowPlacement(QWidget& window, const WindowPlacement& placement);

}  // namespace platform::ui
