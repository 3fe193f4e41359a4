#include "editor/edit_modes.h"

#include "quest/kelvar_doc.h"

namespace kelvar {
namespace {

struct Slots {
  IMapEditMode* map = nullptr;
  IRoomEditMode* room = nullptr;
};

Slots& TheSlots() {
  static Slots slots;
  return slots;
}

}  // namespace

IMapEditMode* MapEditMode() { return TheSlots().map; }
IRoomEditMode* RoomEditMode() { return TheSlots().room; }

void InstallEditModes(IMapEditMode* map, IRoomEditMode* room) {
  TheSlots().map = map;
  TheSlots().room = room;
}

std::string& ContextInstanceName() {
  static std::string name;
  return name;
}

MapClickPoint& MapClick() {
  static MapClickPoint point;
  return point;
}

void MarkQuestModified() {
  if (CKelvarDoc* doc = CurrentDocument()) doc->SetModifiedFlag(true);
}

void ResetEditModeState() {
  TheSlots() = Slots{};
  ContextInstanceName().clear();
  MapClick() = MapClickPoint{};
}

}  // namespace kelvar
