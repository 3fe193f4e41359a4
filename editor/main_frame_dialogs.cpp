// The main frame's commands that open the element, text and marker dialogs.
// An accepted dialog that changed the quest marks it modified, brings the
// world-map graph in line and redraws the room view; Cancel changes nothing.
#include "editor/edit_modes.h"
#include "editor/element_editing.h"
#include "editor/element_picker_dialogs.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/machine_properties_dlg.h"
#include "editor/marker_dlg.h"
#include "editor/monster_dlg.h"
#include "editor/new_machine_dlg.h"
#include "editor/object_properties_dlg.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_dlg.h"
#include "editor/room_view.h"
#include "editor/text_dlg.h"
#include "editor/text_list_dlg.h"
#include "editor/virtual_object_dlg.h"
#include "platform/core/paths.h"
#include "platform/ui/application.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/world_graph.h"

namespace kelvar {
namespace {

namespace ui = platform::ui;

void Redraw() {
  if (CRoomView* view = CRoomView::Instance()) view->Redraw();
}

// The end of every command that changed the quest.
void QuestEdited() {
  if (CKelvarDoc* doc = CurrentDocument()) doc->SetModifiedFlag(true);
  SyncAllGraphs();
  Redraw();
}

bool MapModeShown() {
  const CRoomView* view = CRoomView::Instance();
  return view && MapEditMode() && view->EditMode() == MapEditMode();
}

bool TreeHasSelection(int category) { return QuestTree(category).GetSelectedItem() != CQuestTreeCtrl::kNoItem; }

// Sets the text of the tree item whose data is the record.
void RenameTreeItem(int category, const void* record, const char* text) {
  CQuestTreeCtrl& tree = QuestTree(category);
  for (CQuestTreeCtrl::Item item : tree.Items())
    if (tree.GetItemData(item) == record) tree.SetItemText(item, text);
}

}  // namespace

void CMainFrame::RegisterDialogCommands() {
  InstallPickerDialogs();
  auto always = [](ui::CommandState& s) { s.Enable(true); };
  auto whenSelected = [](int category) {
    return [category](ui::CommandState& s) { s.Enable(TreeHasSelection(category)); };
  };
  OnCommand(kCmdTextEdit, [this] { OnTextEdit(); });
  OnUpdate(kCmdTextEdit, always);
  OnCommand(kCmdMarker, [this] { OnMarker(); });
  OnUpdate(kCmdMarker, [](ui::CommandState& s) { s.Enable(MapModeShown()); });

  OnCommand(kCmdObjectCreate, [this] { OnObjectCreate(); });
  OnUpdate(kCmdObjectCreate, always);
  OnCommand(kCmdObjectCreateVirtual, [this] { OnObjectCreateVirtual(); });
  OnUpdate(kCmdObjectCreateVirtual, always);
  OnCommand(kCmdObjectProperties, [this] { OnObjectProperties(); });
  OnUpdate(kCmdObjectProperties, whenSelected(kTreeObjects));

  OnCommand(kCmdMonsterAdd, [this] { OnMonsterAdd(); });
  OnUpdate(kCmdMonsterAdd, always);
  OnCommand(kCmdMonsterProperties, [this] { OnMonsterProperties(); });
  OnUpdate(kCmdMonsterProperties, whenSelected(kTreeMonsters));

  OnCommand(kCmdMachineAdd, [this] { OnMachineAdd(); });
  OnUpdate(kCmdMachineAdd, always);
  OnCommand(kCmdMachineProperties, [this] { OnMachineProperties(); });
  OnUpdate(kCmdMachineProperties, whenSelected(kTreeMachines));

  OnCommand(kCmdRoomCreate, [this] { OnRoomCreate(); });
  OnUpdate(kCmdRoomCreate, always);
  OnCommand(kCmdRoomProperties, [this] { OnRoomProperties(); });
  OnUpdate(kCmdRoomProperties, whenSelected(kTreeRooms));
}

void CMainFrame::OnTextEdit() {
  CTextListDlg dialog;
  dialog.DoModal();
  if (dialog.Changed()) QuestEdited();
}

void CMainFrame::OnMarker() {
  CMarkerDlg dialog;
  dialog.DoModal();
  if (dialog.Changed()) {
    if (CKelvarDoc* doc = CurrentDocument()) doc->SetModifiedFlag(true);
  }
  Redraw();
}

void CMainFrame::OnObjectCreate() {
  CObjectPropertiesDlg dialog(nullptr);
  if (dialog.DoModal() != ui::kDialogOk) return;
  CQuestObject* object = NewQuestObject(Quest().questObjects);
  object->isVirtual = 0;
  dialog.StoreTo(*object);
  QuestTree(kTreeObjects).InsertItem(object->key, object);
  QuestEdited();
}

void CMainFrame::OnObjectCreateVirtual() {
  CVirtualObjectDlg dialog(nullptr);
  if (dialog.DoModal() != ui::kDialogOk) return;
  CQuestObject* object = NewQuestObject(Quest().questObjects);
  object->isVirtual = 1;
  object->sprite = TrispriteRecord{};
  SetField(object->key, dialog.key);
  QuestTree(kTreeObjects).InsertItem(object->key, object);
  QuestEdited();
}

void CMainFrame::OnObjectProperties() {
  if (CQuestObject* object = SelectedObject()) EditObjectProperties(*object);
}

void CMainFrame::OnMonsterAdd() {
  CMonsterDlg dialog(nullptr);
  if (dialog.DoModal() != ui::kDialogOk) return;
  CMonster* monster = NewMonster(Quest().monsters);
  dialog.StoreTo(*monster);
  QuestTree(kTreeMonsters).InsertItem(monster->key, monster);
  monster->AddInstance();
  SyncMonsterGraph(monster);
  QuestEdited();
}

void CMainFrame::OnMonsterProperties() {
  if (CMonster* monster = SelectedMonster()) EditMonsterProperties(*monster);
}

void CMainFrame::OnMachineAdd() {
  CNewMachineDlg chooser;
  if (chooser.DoModal() != ui::kDialogOk || chooser.machineType.empty() || chooser.key.empty()) return;
  CMachine* machine = CreateMachine(Quest().machines, kMachineStateMachine, chooser.machineType, chooser.key);
  if (!machine) return;
  const CQuestTreeCtrl::Item item = QuestTree(kTreeMachines).InsertItem(machine->name);
  CMachinePropertiesDlg dialog(machine->name);
  if (dialog.DoModal() == ui::kDialogOk) {
    SetField(machine->name, dialog.key);
    QuestTree(kTreeMachines).SetItemText(item, machine->name);
    machine->AddInstance("", 0, 0, nullptr);
  }
  SyncMachineGraph(machine);
  QuestEdited();
}

void CMainFrame::OnMachineProperties() {
  if (CMachine* machine = SelectedMachine()) EditMachineProperties(*machine);
}

void CMainFrame::OnRoomCreate() {
  CRoomDlg dialog(nullptr);
  if (dialog.DoModal() != ui::kDialogOk) return;
  CRoom* room = NewRoom(Quest().rooms);
  dialog.StoreTo(*room);
  int x = 0;
  int y = 0;
  const CRoomView* view = CRoomView::Instance();
  if (view && view->EditMode()) {
    const ViewRect rect = view->EditMode()->GetViewRect();
    MapClickPoint& click = MapClick();
    x = rect.left + (click.stored ? click.x : 4);
    y = rect.top + (click.stored ? click.y : 4);
    click.stored = false;
  }
  room->left = x;
  room->top = y;
  room->right = x + 128;
  room->bottom = y + 128;
  QuestTree(kTreeRooms).InsertItem(room->name, room);
  if (!dialog.cdfPath.empty()) room->ImportCdf(dialog.cdfPath.c_str());
  else if (!dialog.cbsPath.empty()) room->ImportCbs(dialog.cbsPath.c_str());
  else room->LoadBlockSet();
  QuestEdited();
}

void CMainFrame::OnRoomProperties() {
  if (CRoom* room = SelectedRoom()) EditRoomProperties(*room, true);
}

bool EditMachineProperties(CMachine& machine) {
  const std::string oldName = machine.name;
  CMachinePropertiesDlg dialog(oldName);
  const bool accepted = dialog.DoModal() == ui::kDialogOk;
  const bool renamed = accepted && dialog.key != machine.name;
  if (!renamed && !(accepted && dialog.ValuesChanged()) && !dialog.InstancesChanged()) return false;
  if (renamed) {
    SetField(machine.name, dialog.key);
    CQuestTreeCtrl& tree = QuestTree(kTreeMachines);
    for (CQuestTreeCtrl::Item item : tree.Items())
      if (platform::EqualsNoCase(tree.GetItemText(item), oldName)) tree.SetItemText(item, machine.name);
  }
  SyncMachineGraph(&machine);
  QuestEdited();
  return true;
}

bool EditObjectProperties(CQuestObject& object) {
  bool changed = false;
  if (object.isVirtual == 1) {
    CVirtualObjectDlg dialog(&object);
    if (dialog.DoModal() != ui::kDialogOk) return false;
    changed = dialog.key != object.key;
    SetField(object.key, dialog.key);
  } else if (object.isVirtual == 0) {
    CObjectPropertiesDlg dialog(&object);
    if (dialog.DoModal() != ui::kDialogOk) return false;
    changed = dialog.StoreTo(object);
  }
  if (!changed) return false;
  RenameTreeItem(kTreeObjects, &object, object.key);
  QuestEdited();
  return true;
}

bool EditMonsterProperties(CMonster& monster) {
  CMonsterDlg dialog(&monster);
  const bool accepted = dialog.DoModal() == ui::kDialogOk;
  const bool changed = accepted && dialog.StoreTo(monster);
  if (!changed && !dialog.InstancesChanged()) return false;
  RenameTreeItem(kTreeMonsters, &monster, monster.key);
  if (changed) SyncMonsterGraph(&monster);
  QuestEdited();
  return true;
}

bool EditRoomProperties(CRoom& room, bool loadBlocks) {
  CRoomDlg dialog(&room);
  if (dialog.DoModal() != ui::kDialogOk) return false;
  const int oldLand = room.land;
  bool changed = dialog.StoreTo(room);
  RenameTreeItem(kTreeRooms, &room, room.name);
  if (loadBlocks) {
    if (!dialog.cdfPath.empty()) {
      room.ImportCdf(dialog.cdfPath.c_str());
      changed = true;
    } else if (!dialog.cbsPath.empty()) {
      room.ImportCbs(dialog.cbsPath.c_str());
      room.RemapBlockNames();
      changed = true;
    } else if (room.level > 0 && room.land != oldLand) {
      room.LoadBlockSet();
      room.RemapBlockNames();
    }
  }
  if (changed) QuestEdited();
  else Redraw();
  return changed;
}

}  // namespace kelvar
