#pragma once
// The right-hand pane of a quest window. It draws nothing itself: painting,
// mouse input and a 100 ms edge-scroll tick go to the current edit mode. It
// keeps the display device's back surface as large as its client area plus
// a 96-pixel column (never smaller than 736 x 480), presents what the mode
// draws, and holds the tooltips of the world map's machine instances.
#include <memory>

#include <QPoint>

#include "editor/edit_mode.h"
#include "platform/ui/tool_tips.h"
#include "platform/ui/view.h"

namespace platform::video {
class Window;
}

namespace kelvar {

// The back surface (0, 0, view width + 96, view height) and the visible part
// of it (0, 0, view width, view height); the column between holds the world
// map's thumbnails and is never shown.
ViewRect& RenderSurfaceRect();
ViewRect& VisibleViewRect();

inline constexpr int kThumbnailColumn = 96;
inline constexpr int kMinViewWidth = 640;
inline constexpr int kMinViewHeight = 480;
inline constexpr int kEdgeScrollTimer = 3;
inline constexpr int kEdgeScrollPeriod = 100;  // ms
inline constexpr int kEdgeMargin = 32;

class CRoomView : public platform::ui::View {
 public:
  explicit CRoomView(QWidget* parent = nullptr);
  ~CRoomView() override;

  // The one room view, null while none exists.
  static CRoomView* Instance();

  CEditMode* EditMode() const { return mode_; }
  // Invalidates the whole view; the next paint redraws through the mode.
  void Redraw();
  // 0 left, 1 right, 2 top, 3 bottom for the last mouse point within 32
  // pixels of that edge (tested in that order), else -1.
  int EdgeScrollDirection() const;

  const ViewRect& ViewRectangle() const { return viewRect_; }
  QPoint LastMousePoint() const { return lastMouse_; }
  platform::ui::ToolTips& ToolTip() { return *toolTip_; }
  // The window the modes present into.
  platform::video::Window* VideoWindow() const { return video_.get(); }
  bool HasCapture() const { return captured_; }

  void OnInitialUpdate() override;
  void OnUpdate(View* sender, long hint) override;
  void OnTimer(int id) override;
  void OnDestroy() override;
  // The pane took a new client size.
  void OnSize(int cx, int cy);

 protected:
  void OnDraw() override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  friend void SetEditMode(CEditMode* mode);

// Tracks a submenu of the room view's menu at a point of the view, owned by
// the main window; nothing without a room view or main window.
void TrackRoomViewMenu(int submenu, int x, int y);
  void Capture();
  void ReleaseCapture();
  void PlaceVideoWindow();

  ViewRect viewRect_;
  CEditMode* mode_ = nullptr;
  std::unique_ptr<platform::ui::ToolTips> toolTip_;
  QPoint lastMouse_;
  std::unique_ptr<platform::video::Window> video_;
  bool captured_ = false;
};

// Makes the mode current in the room view: it presents into the view, the
// tooltips are active only for the world map, the main frame shows the room
// tool bands for any mode but the world map, and the view redraws. Nothing
// without a room view.
void SetEditMode(CEditMode* mode);

// Tracks a submenu of the room view's menu at a point of the view, owned by
// the main window; nothing without a room view or main window.
void TrackRoomViewMenu(int submenu, int x, int y);

}  // namespace kelvar
