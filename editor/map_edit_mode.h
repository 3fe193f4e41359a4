#pragma once
// The room view's edit mode for the world map: draws the grid, nodes, links,
// room boxes and labels, and lets the user pan, drag nodes and room boxes,
// resize rooms, select with a rubber band and open the context menus.
#include "editor/edit_modes.h"

class CRoom;
class GraphNode;

namespace kelvar {

class CMapEditMode : public IMapEditMode {
 public:
  static constexpr int kToolMoveInstance = 0;
  static constexpr int kToolSelect = 1;
  static constexpr int kToolMoveView = 2;

  int Render(platform::video::DrawContext* dc) override;
  void Reset() override;
  int OnButtonDown(unsigned flags, int x, int y) override;
  int OnButtonUp(unsigned flags, int x, int y) override;
  int OnMouseMove(unsigned flags, int x, int y) override;
  int OnRightButtonDown(unsigned flags, int x, int y) override;
  void OnRightButtonUp(unsigned flags, int x, int y) override;
  void OnDoubleClick(unsigned flags, int x, int y) override;
  // The map keeps its left-top corner and takes the client size.
  void SetViewRect(ViewRect rect) override;
  // The map area shown, in world units (kept with the quest).
  ViewRect GetViewRect() override;
  int EdgeScroll(int edge) override;
  int CanEdgeScroll(int edge) override;

  int GetMapTool() const override { return tool_; }
  void SetMapTool(int tool) override { tool_ = tool; }

  // Drag states, for the view and tests.
  bool DraggingNodes() const { return draggingNodes_; }
  bool DraggingRooms() const { return draggingRooms_; }
  bool ResizingRooms() const { return resizingRooms_; }
  bool Panning() const { return panning_; }
  bool RubberBandShown() const { return bandShown_; }
  bool RubberBandDrawing() const { return bandDrawing_; }
  // The band in world units, as drawn (not normalised while drawing).
  ViewRect RubberBand() const { return band_; }

  // Deselects every node and selects the first (in list order) whose
  // rectangle holds the world point; that node, or null.
  static GraphNode* HitTestNodes(int worldX, int worldY);

 private:
  // A move while a button is held; also what edge scrolling replays.
  int Drag(int x, int y);
  bool Busy() const;
  void EndDrags();

  int lastX_ = 0, lastY_ = 0;
  bool draggingNodes_ = false;
  bool draggingRooms_ = false;
  bool resizingRooms_ = false;
  ViewRect band_;
  bool bandShown_ = false;
  bool bandDrawing_ = false;
  bool panning_ = false;
  int tool_ = kToolMoveInstance;
};

// The program's map edit mode.
CMapEditMode& TheMapEditMode();

}  // namespace kelvar
