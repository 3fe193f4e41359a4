#pragma once
// The room view's edit mode for one room in 3D: draws the room and turns
// presses, releases, moves and double clicks into the room's editing tools,
// by the room's current tool.
#include <functional>
#include <string>
#include <vector>

#include "editor/edit_modes.h"

class CRoom;

namespace kelvar {

// The block chooser: shown with the block set's base names and a preset
// choice; true with the choice when the user took one.
using BlockChooser = std::function<bool(const std::vector<std::string>& names, std::string& choice)>;

class CRoomEditMode : public IRoomEditMode {
 public:
  int Render(platform::video::DrawContext* dc) override;
  void Reset() override;
  int OnButtonDown(unsigned flags, int x, int y) override;
  int OnButtonUp(unsigned flags, int x, int y) override;
  int OnMouseMove(unsigned flags, int x, int y) override;
  int OnRightButtonDown(unsigned flags, int x, int y) override;
  void OnRightButtonUp(unsigned flags, int x, int y) override;
  void OnDoubleClick(unsigned flags, int x, int y) override;
  void SetViewRect(ViewRect rect) override;
  ViewRect GetViewRect() override { return viewRect_; }
  // The room is never scrolled at the edges.
  int EdgeScroll(int edge) override;
  int CanEdgeScroll(int edge) override { return EdgeScroll(edge); }

  void SetMode(int tool) override;
  int GetMode() const override;
  void ChooseBlock() override;
  CRoom* EditedRoom() const override { return room_; }
  void SetEditedRoom(CRoom* room) override { room_ = room; }

  bool ButtonHeld() const { return buttonHeld_; }
  // Replaces the block chooser (none: Choose block does nothing).
  static void SetBlockChooser(BlockChooser chooser);

 private:
  // Runs a tool operation; an edit that changed the room marks the quest modified.
  template <typename Op>
  auto Edit(Op op);
  void PressTool(int x, int y);

  int lastX_ = 0, lastY_ = 0;
  ViewRect viewRect_;
  bool buttonHeld_ = false;
  CRoom* room_ = nullptr;
};

// The program's room edit mode.
CRoomEditMode& TheRoomEditMode();

}  // namespace kelvar
