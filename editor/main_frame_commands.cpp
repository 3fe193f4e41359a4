// The main frame's element commands: deleting machines, quest objects,
// monsters and rooms, adding and deleting instances, editing a room, Goto,
// and the text language.
#include <string>
#include <string_view>

#include "datafiles/language_table.h"
#include "editor/edit_modes.h"
#include "editor/kelvar_accelerators.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"
#include "platform/ui/string_table.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_list.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "quest/world_graph.h"

namespace kelvar {
namespace {

namespace ui = platform::ui;

template <class T>
bool InList(const T* head, const T* record) {
  for (; head; head = head->next)
    if (head == record) return true;
  return false;
}

// The caret item of a tree, or no item.
CQuestTreeCtrl::Item Caret(int category) { return QuestTree(category).GetSelectedItem(); }

bool HasSelection(int category) { return Caret(category) != CQuestTreeCtrl::kNoItem; }

// The string's "%s" replaced by the name.
std::string Format(int stringId, std::string_view name) {
  std::string text = ui::Strings().Get(stringId);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, name);
  return text;
}

// The deletion question: true on OK.
bool ConfirmDelete(int stringId, std::string_view name) {
  return ui::AppMessageBox(Format(stringId, name), platform::kMbOkCancel | platform::kMbIconQuestion) ==
         platform::kIdOk;
}

void Redraw() {
  if (CRoomView* view = CRoomView::Instance()) view->Redraw();
}

// Every edit of the quest ends here.
void QuestChanged() {
  if (CKelvarDoc* doc = CurrentDocument()) doc->SetModifiedFlag(true);
  Redraw();
}

void SyncMonsters() {
  for (CMonster* m = Quest().monsters; m; m = m->next) SyncMonsterGraph(m);
}

}  // namespace

CMachine* SelectedMachine() {
  if (!HasSelection(kTreeMachines)) return nullptr;
  return FindMachineNamed(Quest().machines, QuestTree(kTreeMachines).GetItemText(Caret(kTreeMachines)));
}

CQuestObject* SelectedObject() {
  auto* object = static_cast<CQuestObject*>(QuestTree(kTreeObjects).GetItemData(Caret(kTreeObjects)));
  return InList(Quest().questObjects, object) ? object : nullptr;
}

CMonster* SelectedMonster() {
  auto* monster = static_cast<CMonster*>(QuestTree(kTreeMonsters).GetItemData(Caret(kTreeMonsters)));
  return InList(Quest().monsters, monster) ? monster : nullptr;
}

CRoom* SelectedRoom() {
  auto* room = static_cast<CRoom*>(QuestTree(kTreeRooms).GetItemData(Caret(kTreeRooms)));
  return InList(Quest().rooms, room) ? room : nullptr;
}

void CMainFrame::RegisterElementCommands() {
  auto enableWhen = [this](int id, auto predicate) {
    OnUpdate(id, [predicate](ui::CommandState& s) { s.Enable(predicate()); });
  };
  auto treeSelected = [](int category) { return [category] { return HasSelection(category); }; };

  OnCommand(kCmdMachineDelete, [this] { OnMachineDelete(); });
  enableWhen(kCmdMachineDelete, [] { return Quest().machines != nullptr; });
  OnCommand(kCmdMachineInstanceAdd, [this] { OnMachineInstanceAdd(); });
  enableWhen(kCmdMachineInstanceAdd, treeSelected(kTreeMachines));
  OnCommand(kCmdMachineInstanceDelete, [this] { OnMachineInstanceDelete(); });
  enableWhen(kCmdMachineInstanceDelete, treeSelected(kTreeMachines));

  OnCommand(kCmdObjectDelete, [this] { OnObjectDelete(); });
  enableWhen(kCmdObjectDelete, [] { return Quest().questObjects != nullptr; });

  OnCommand(kCmdMonsterDelete, [this] { OnMonsterDelete(); });
  enableWhen(kCmdMonsterDelete, treeSelected(kTreeMonsters));
  OnCommand(kCmdMonsterInstanceAdd, [this] { OnMonsterInstanceAdd(); });
  enableWhen(kCmdMonsterInstanceAdd, treeSelected(kTreeMonsters));
  OnCommand(kCmdMonsterInstanceDelete, [this] { OnMonsterInstanceDelete(); });
  enableWhen(kCmdMonsterInstanceDelete, treeSelected(kTreeMonsters));

  OnCommand(kCmdRoomDelete, [this] { OnRoomDelete(); });
  enableWhen(kCmdRoomDelete, treeSelected(kTreeRooms));
  OnCommand(kCmdRoomEdit, [this] { OnRoomEdit(); });
  enableWhen(kCmdRoomEdit, [] { return HasSelection(kTreeRooms) && RoomEditMode() != nullptr; });
  OnCommand(kCmdGoto, [this] { OnGoto(); });
  enableWhen(kCmdGoto, treeSelected(kTreeRooms));
}

void CMainFrame::OnMachineDelete() {
  CQuestTreeCtrl& tree = QuestTree(kTreeMachines);
  const CQuestTreeCtrl::Item item = tree.GetSelectedItem();
  if (item == CQuestTreeCtrl::kNoItem) return;
  const std::string name = tree.GetItemText(item);
  if (!ConfirmDelete(kIdsDeleteMachine, name)) return;
  tree.DeleteItem(item);
  if (CMachine* machine = FindMachineNamed(Quest().machines, name)) {
    UnlinkRecord(Quest().machines, machine);
    delete machine;  // its instances' nodes and links go with it
    DropLinksToMachine(name);
  }
  QuestChanged();
}

void CMainFrame::OnMachineInstanceAdd() {
  CMachine* machine = SelectedMachine();
  if (!machine) return;
  machine->AddInstance("", 0, 0, nullptr);
  SyncMachineGraph(machine);
  SyncMonsters();
  QuestChanged();
}

void CMainFrame::OnMachineInstanceDelete() {
  CMachine* machine = SelectedMachine();
  if (!machine) return;
  const std::string instance = ContextInstanceName();
  if (instance.empty()) return;
  if (!ConfirmDelete(kIdsDeleteInstance, instance)) return;
  machine->DeleteInstance(instance);
  SyncMachineGraph(machine);
  SyncMonsters();
  QuestChanged();
}

void CMainFrame::OnObjectDelete() {
  CQuestTreeCtrl& tree = QuestTree(kTreeObjects);
  const CQuestTreeCtrl::Item item = tree.GetSelectedItem();
  if (item == CQuestTreeCtrl::kNoItem) return;
  const std::string key = tree.GetItemText(item);
  if (!ConfirmDelete(kIdsDeleteObject, key)) return;
  tree.DeleteItem(item);
  for (CQuestObject* o = Quest().questObjects; o; o = o->next) {
    if (platform::EqualsNoCase(o->key, key)) {
      RemoveRecord(Quest().questObjects, o);
      break;
    }
  }
  SyncAllGraphs();
  QuestChanged();
}

void CMainFrame::OnMonsterDelete() {
  CQuestTreeCtrl& tree = QuestTree(kTreeMonsters);
  const CQuestTreeCtrl::Item item = tree.GetSelectedItem();
  if (item == CQuestTreeCtrl::kNoItem) return;
  const std::string key = tree.GetItemText(item);
  if (!ConfirmDelete(kIdsDeleteMonster, key)) return;
  tree.DeleteItem(item);
  if (CMonster* monster = FindMonster(Quest().monsters, key)) RemoveRecord(Quest().monsters, monster);
  SyncAllGraphs();
  QuestChanged();
}

void CMainFrame::OnMonsterInstanceAdd() {
  CMonster* monster = SelectedMonster();
  if (!monster) return;
  monster->AddInstance();
  SyncMonsterGraph(monster);
  SyncMonsters();
  QuestChanged();
}

void CMainFrame::OnMonsterInstanceDelete() {
  CMonster* monster = SelectedMonster();
  if (!monster) return;
  const std::string instance = ContextInstanceName();
  if (instance.empty()) return;
  if (!ConfirmDelete(kIdsDeleteInstance, instance)) return;
  monster->DeleteInstance(instance);
  SyncMonsterGraph(monster);
  SyncMonsters();
  QuestChanged();
}

void CMainFrame::OnRoomDelete() {
  CQuestTreeCtrl& tree = QuestTree(kTreeRooms);
  const CQuestTreeCtrl::Item item = tree.GetSelectedItem();
  if (item == CQuestTreeCtrl::kNoItem) return;
  const std::string name = tree.GetItemText(item);
  if (!ConfirmDelete(kIdsDeleteRoom, name)) return;
  CRoom* room = nullptr;
  for (CRoom* r = Quest().rooms; r; r = r->next) {
    if (platform::EqualsNoCase(r->name, name)) {
      room = r;
      break;
    }
  }
  IRoomEditMode* mode = RoomEditMode();
  if (mode && mode->EditedRoom() && (mode->EditedRoom() == room || mode->EditedRoom() == SelectedRoom()))
    mode->SetEditedRoom(nullptr);
  tree.DeleteItem(item);
  if (room) RemoveRecord(Quest().rooms, room);
  QuestChanged();
}

void CMainFrame::OnRoomEdit() {
  CRoom* room = SelectedRoom();
  IRoomEditMode* mode = RoomEditMode();
  if (!room || !mode) return;
  mode->SetEditedRoom(room);
  room->SeparateNodes();
  if (room->level != 0) TilePalette().BuildDungeon();
  else TilePalette().BuildOutdoor();
  SetEditMode(mode);
  SetAccelerators(&RoomAccelerators());
  mode->SetMode(1);
}

void CMainFrame::OnGoto() {
  CRoom* room = SelectedRoom();
  if (!room) return;
  MapRect& view = Quest().mapView;
  const int width = view.right - view.left;
  const int height = view.bottom - view.top;
  view.left = room->left - 64;
  view.top = room->top - 64;
  view.right = view.left + width;
  view.bottom = view.top + height;
  Redraw();
}

void CMainFrame::OnLanguage(int language) {
  if (g_languageTable.GetLanguage() == language) return;
  g_languageTable.SetLanguage(language);
  // The quest keeps its language: a change is saved with it.
  if (CurrentDocument()) QuestChanged();
  else Redraw();
}

}  // namespace kelvar
