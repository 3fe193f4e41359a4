#pragma once
// What the room view hands its painting, mouse input and edge-scroll ticks
// to. Two modes exist for the whole run, the world map and the 3D room; the
// room view holds one of them as the current mode.
#include <cstdint>

namespace platform::video {
class Window;
struct DrawContext;
}  // namespace platform::video

namespace kelvar {

struct ViewRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

// Key flags passed with mouse input (as the window system's mouse messages give them).
inline constexpr unsigned kMouseLeft = 0x1;
inline constexpr unsigned kMouseRight = 0x2;
inline constexpr unsigned kMouseShift = 0x4;
inline constexpr unsigned kMouseControl = 0x8;
inline constexpr unsigned kMouseMiddle = 0x10;

// Edges for edge scrolling.
inline constexpr int kEdgeLeft = 0;
inline constexpr int kEdgeRight = 1;
inline constexpr int kEdgeTop = 2;
inline constexpr int kEdgeBottom = 3;

class CEditMode {
 public:
  virtual ~CEditMode() = default;

  // Painting; the result is not used.
  virtual int Render(platform::video::DrawContext* dc) = 0;
  virtual void Reset() = 0;
  // Non-zero: the view captures the mouse.
  virtual int OnButtonDown(unsigned flags, int x, int y) = 0;
  virtual int OnButtonUp(unsigned flags, int x, int y) = 0;
  // Non-zero: the view redraws.
  virtual int OnMouseMove(unsigned flags, int x, int y) = 0;
  // Non-zero: the view captures the mouse.
  virtual int OnRightButtonDown(unsigned flags, int x, int y) = 0;
  virtual void OnRightButtonUp(unsigned flags, int x, int y) = 0;
  virtual void OnDoubleClick(unsigned flags, int x, int y) = 0;
  virtual void SetViewRect(ViewRect rect) = 0;
  virtual ViewRect GetViewRect() = 0;
  // Non-zero: the view redraws.
  virtual int EdgeScroll(int edge) = 0;
  // Non-zero: the view calls EdgeScroll.
  virtual int CanEdgeScroll(int edge) = 0;

  // The room view's window, which the mode presents into (set when it becomes current).
  platform::video::Window* window = nullptr;
  // Millisecond readings moved along at the start of every Render.
  std::uint32_t previousFrameTime = 0;
  std::uint32_t frameTime = 0;
};

}  // namespace kelvar
