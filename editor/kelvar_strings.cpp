#include "editor/kelvar_strings.h"

#include <utility>

#include "editor/dialog_strings.h"
#include "editor/kelvar_commands.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/string_table.h"

namespace kelvar {

void LoadKelvarStrings() {
  namespace ui = platform::ui;
  static const std::pair<int, const char*> kStrings[] = {
      {kIdsAppTitle, "Kelvar"},
      {57344, "Kelvar"},
      {kIdsTabMachines, "Machines"},
      {kIdsTabObjects, "Objects"},
      {kIdsTabMonsters, "Monsters"},
      {kIdsTabRooms, "Room"},
      {kIdsDeleteMachine, "Delete machine %s. Do you want to continue ?"},
      {kIdsDeleteObject, "Delete object %s . Do you really want to continue ?"},
      {kIdsDeleteMonster, "Delete monster %s. Do you really want to continue ?"},
      {kIdsDeleteRoom, "Delete room %s. Do you really want to continue ?"},
      {kIdsDeleteInstance, "Delete instance %s. Do you really want to continue ?"},
      {kIdsMergeFilter, "quest Files (*QST)|*.QST||"},
      // Framework commands.
      {ui::kCmdFileNew, "Create a new quest\nNew"},
      {ui::kCmdFileOpen, "Open an existing quest\nOpen"},
      {ui::kCmdFileClose, "Close the quest\nClose"},
      {ui::kCmdFileSave, "Save the quest\nSave"},
      {ui::kCmdFileSaveAs, "Save the quest under a new name\nSave As"},
      {ui::kCmdAppAbout, "Show the program's name and version\nAbout"},
      {ui::kCmdAppExit, "Quit the program, asking to save the quest\nQuit"},
      {ui::kCmdViewToolBar, "Display or hide the tools bar\nTools bar"},
      {ui::kCmdViewStatusBar, "Display or Hide the status bar\nStatus bar"},
      // Elements.
      {kCmdMachineAdd, "Add a new machine"},
      {kCmdMachineInstanceAdd, "Add a new instance"},
      {kCmdMachineInstanceDelete, "Delete this instance"},
      {kCmdObjectCreateVirtual, "Create &Virtual"},
      {kCmdMonsterInstanceAdd, "Add a new instance of this monster"},
      {kCmdMonsterInstanceDelete, "Delete this instance"},
      {kCmdRoomCreate, "Create a new room"},
      {kCmdRoomProperties, "Edit room's properties"},
      {kCmdRoomDelete, "delete room"},
      {kCmdRoomEdit, "Edit a Room"},
      {kCmdGenerateQuest, "Generate Quest"},
      {kCmdSwapUp, "Swap Up"},
      {kCmdSwapDown, "Swap Down"},
      // Views and tools.
      {kCmdHierarchyView, "Hierarchy View\nHierarchy View (Tab)"},
      {kCmdEditView, "Edit View\nEdit View (Tab)"},
      {kCmdMapMoveInstance, "Move Instance\nMove Instance (M)"},
      {kCmdMapSelect, "Select\nSelect  (S)"},
      {kCmdMapMoveView, "Move View\nMove View (T)"},
      {kCmdCameraRotate, "Rotate camera\nRotate camera (R)"},
      {kCmdCameraTranslate, "Translate camera\nTranslate camera (T)"},
      {kCmdCameraZoom, "Zoom camera\nZoom camera (Z)"},
      {kCmdCameraElevate, "Change camera elevation\nElevate Camera (E)"},
      {kCmdBlockMove, "Move a Block\nmove Block (Ctrl+T)"},
      {kCmdBlockCopy, "copy a block\ncopy block (Ctrl+C)"},
      {kCmdBlockDelete, "delete a block\ndelete block (Ctrl+D)"},
      {kCmdBlockPick, "pick a block\npick block (Ctrl+P)"},
      {kCmdBlockRotate, "rotate a block\nrotate block (Ctrl+R)"},
      {kCmdBlockSet, "set a block\nset block (Ctrl+S)"},
      {kCmdBlockChoose, "Choose a block\nChoose block (Ctrl+O)"},
      {kCmdTrapMove, "Move a Trap\nMove Trap"},
      {kCmdTrapProperties, "Trap Properties\nTrap Properties"},
      {kCmdTrapRotate, "Rotate a Trap\nRotate Trap"},
      {kCmdTrapAddGeneric, "Add a generic trap\nAdd Generic Trap (Shift+A)"},
      {kCmdTrapDeleteGeneric, "Delete generic Trap\nDel Generic Trap"},
      {kCmdRoomMonsterAdd, "Add a new monster\nAdd Monster (Shift+M)"},
      {kCmdRoomMonsterRotate, "Rotate a monster\nRotate Monster"},
      {kCmdRoomMonsterMove, "Move a monster\nMove monster"},
      {kCmdRoomMonsterDelete, "Delete a Monster\nDelete Monster"},
      {kCmdCollisionSet, "Set collision\nSet collision"},
      {kCmdCollisionSetLow, "Set Low Collision\nSet Low Collision"},
      {kCmdCollisionClear, "Clear Collision\nClear Collision"},
      {kCmdLinkAdd, "Add a Link\nAdd Link (L)"},
      {kCmdLinkDelete, "Delete a Link\nDelete Link (Shift+L)"},
      {kCmdEditMove, "Move\nMove (Shift+T)"},
      {kCmdEditRotate, "Rotate\nRotate (Shift+R)"},
      {kCmdEditDelete, "Delete\nDelete (Shift+D)"},
      {kCmdDraw, "Draw\nDraw (D)"},
      {kCmdStyle, "Style\nStyle (S)"},
      {kCmdErase, "Erase\nErase"},
  };
  for (const auto& [id, text] : kStrings) ui::Strings().Set(id, text);
  LoadDialogStrings();
}

}  // namespace kelvar
