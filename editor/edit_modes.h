#pragma once
// The two edit modes of the room view and the state they share with the
// main frame. The modes themselves are installed by the program; until they
// are, their slots are empty and the commands that need them stay disabled.
#include <string>

#include "editor/edit_mode.h"

class CRoom;

namespace kelvar {

// The world map: what the main frame needs beyond the view interface.
class IMapEditMode : public CEditMode {
 public:
  // 0 Move Instance, 1 Select, 2 Move View.
  virtual int GetMapTool() const = 0;
  virtual void SetMapTool(int tool) = 0;
};

// The 3D room.
class IRoomEditMode : public CEditMode {
 public:
  // The edited room's current tool; nothing without an edited room.
  virtual void SetMode(int tool) = 0;
  // 0 without an edited room.
  virtual int GetMode() const = 0;
  // The block chooser over the edited room's block set.
  virtual void ChooseBlock() = 0;
  virtual CRoom* EditedRoom() const = 0;
  virtual void SetEditedRoom(CRoom* room) = 0;
};

// The program's two mode objects (not owned; null until installed).
IMapEditMode* MapEditMode();
IRoomEditMode* RoomEditMode();
void InstallEditModes(IMapEditMode* map, IRoomEditMode* room);

// The instance under the last right click in either mode; the Delete
// Instance commands act on it.
std::string& ContextInstanceName();

// The point of the last right click on empty map, relative to the view; the
// Add commands place new elements there and clear it.
struct MapClickPoint {
  int x = 0;
  int y = 0;
  bool stored = false;
};
MapClickPoint& MapClick();

// Marks the open quest modified (nothing without one).
void MarkQuestModified();

// Back to the state at start (tests).
void ResetEditModeState();

}  // namespace kelvar
