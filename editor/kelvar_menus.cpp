#include "editor/kelvar_menus.h"

#include "editor/kelvar_commands.h"
#include "platform/ui/command_ids.h"

namespace kelvar {

using platform::ui::Item;
using platform::ui::MenuItem;
using platform::ui::Popup;
using platform::ui::Separator;
namespace ui = platform::ui;

const std::vector<MenuItem>& FrameMenu() {
  static const std::vector<MenuItem> menu = {
      Popup("&File", {Item("&New\tCtrl+N", ui::kCmdFileNew), Item("&Open...\tCtrl+O", ui::kCmdFileOpen), Separator(),
                      Item("Recent File", ui::kCmdRecentFirst), Separator(), Item("&Quit", ui::kCmdAppExit)}),
      // The list-view styles have no list pane to act on: nothing handles
      // them, so they show disabled.
      Popup("&View", {Item("&Tools", ui::kCmdViewToolBar), Item("&Status", ui::kCmdViewStatusBar), Separator(),
                      Item("Lar&ge Icons", ui::kCmdViewLargeIcon), Item("S&mall Icons", ui::kCmdViewSmallIcon),
                      Item("&List", ui::kCmdViewList), Item("&Details", ui::kCmdViewDetails), Separator(),
                      Item("Line &up Icons", ui::kCmdViewLineUp)}),
      Popup("&?", {Item("&About  Kelvar", ui::kCmdAppAbout)}),
  };
  return menu;
}

const std::vector<MenuItem>& DocumentMenu() {
  static const std::vector<MenuItem> menu = {
      Popup("&File", {Item("&New\tCtrl+N", ui::kCmdFileNew), Item("&Open...\tCtrl+O", ui::kCmdFileOpen),
                      Item("&Merge...", kCmdMerge), Item("&Close", ui::kCmdFileClose),
                      Item("&Save\tCtrl+S", ui::kCmdFileSave), Item("Save &As...", ui::kCmdFileSaveAs), Separator(),
                      Item("&Generate Quest", kCmdGenerateQuest), Separator(), Item("Recent File", ui::kCmdRecentFirst),
                      Separator(), Item("&Quit", ui::kCmdAppExit)}),
      Popup("E&dit", {Item("&Move objects", kCmdMapMoveInstance), Item("&Select", kCmdMapSelect),
                      Item("Move &View", kCmdMapMoveView), Separator(), Item("Add M&onster", kCmdRoomMonsterAdd),
                      Item("Add &Generic Trap", kCmdTrapAddGeneric), Separator(), Item("&Move", kCmdEditMove),
                      Item("&Rotate", kCmdEditRotate), Item("&Delete", kCmdEditDelete)}),
      Popup("&Block", {Item("Ch&oose...", kCmdBlockChoose), Item("&Set", kCmdBlockSet), Item("&Rotate", kCmdBlockRotate),
                       Item("&Pick", kCmdBlockPick), Separator(), Item("&Move", kCmdBlockMove),
                       Item("&Copy", kCmdBlockCopy), Item("&Delete", kCmdBlockDelete)}),
      Popup("&Camera", {Item("&Rotate", kCmdCameraRotate), Item("&Translate", kCmdCameraTranslate),
                        Item("&Zoom", kCmdCameraZoom), Item("&Elevate", kCmdCameraElevate)}),
      Popup("&View", {Item("&Tools", ui::kCmdViewToolBar), Item("&Status", ui::kCmdViewStatusBar), Separator(),
                      Item("&Hierarchy View", kCmdHierarchyView), Item("&Edit view", kCmdEditView)}),
      Popup("Text", {Item("&Edit", kCmdTextEdit),
                     Popup("Default Language",
                           {Item("&English", kCmdLanguageFirst + 1), Item("&French", kCmdLanguageFirst),
                            Item("&German", kCmdLanguageFirst + 2), Item("&Spanish", kCmdLanguageFirst + 3),
                            Item("S&wedish", kCmdLanguageFirst + 4), Item("&Italian", kCmdLanguageFirst + 5),
                            Item("&Other", kCmdLanguageFirst + 6)})}),
      Popup("&?", {Item("&About  Kelvar", ui::kCmdAppAbout)}),
  };
  return menu;
}

const std::vector<MenuItem>& TreeMenu() {
  static const std::vector<MenuItem> menu = {
      Popup("Machine", {Item("&Add", kCmdMachineAdd), Separator(), Item("&Properties", kCmdMachineProperties),
                        Item("Add &Instance", kCmdMachineInstanceAdd), Separator(), Item("&Delete", kCmdMachineDelete)}),
      Popup("Object", {Item("&Create", kCmdObjectCreate), Item("Create &Virtual", kCmdObjectCreateVirtual),
                       Item("Create &Unique", kCmdObjectCreateUnique), Item("&Properties", kCmdObjectProperties),
                       Separator(), Item("&Delete", kCmdObjectDelete)}),
      Popup("Monster", {Item("&Add", kCmdMonsterAdd), Separator(), Item("&Properties", kCmdMonsterProperties),
                        Item("Add &Instance", kCmdMonsterInstanceAdd), Separator(), Item("&Delete", kCmdMonsterDelete)}),
      Popup("Room", {Item("&Add", kCmdRoomCreate), Item("&Properties", kCmdRoomProperties), Item("&Edit", kCmdRoomEdit),
                     Separator(), Item("Swap Up", kCmdSwapUp), Item("Swap Down", kCmdSwapDown), Separator(),
                     Item("&Delete", kCmdRoomDelete), Separator(), Item("&Goto", kCmdGoto)}),
  };
  return menu;
}

const std::vector<MenuItem>& RoomViewMenu() {
  static const std::vector<MenuItem> menu = {
      Popup("Machine", {Item("&Properties", kCmdMachineProperties),
                        Popup("&Instances", {Item("&Add", kCmdMachineInstanceAdd),
                                             Item("&Delete", kCmdMachineInstanceDelete)}),
                        Separator(), Item("&Delete", kCmdMachineDelete)}),
      Popup("Object", {Item("&Properties", kCmdObjectProperties), Separator(), Item("&Delete", kCmdObjectDelete)}),
      Popup("Monster", {Item("&Properties", kCmdMonsterProperties),
                        Popup("&Instances", {Item("&Add", kCmdMonsterInstanceAdd),
                                             Item("&Delete", kCmdMonsterInstanceDelete)}),
                        Separator(), Item("&Delete", kCmdMonsterDelete)}),
      Popup("Room", {Item("&Properties", kCmdRoomProperties), Item("&Edit", kCmdRoomEdit), Separator(),
                     Item("&Delete", kCmdRoomDelete)}),
      Popup("General", {Item("Add &Machine", kCmdMachineAdd), Item("Add &Object", kCmdObjectCreate),
                        Item("Add &Virtual Object", kCmdObjectCreateVirtual), Item("Add M&onster", kCmdMonsterAdd),
                        Item("Add &Room", kCmdRoomCreate), Separator(),
                        Popup("&Edit", {Item("Mov&e Instance", kCmdMapMoveInstance), Item("&Select...", kCmdMapSelect),
                                        Item("Move V&iew", kCmdMapMoveView)}),
                        Item("&Marker\tCtrl+G", kCmdMarker)}),
      Popup("RoomEdit",
            {Item("&Close View", kCmdHierarchyView), Separator(),
             Popup("C&amera", {Item("&Rotate", kCmdCameraRotate), Item("&Translate", kCmdCameraTranslate),
                               Item("&Zoom ", kCmdCameraZoom), Item("&Elevate", kCmdCameraElevate)}),
             Popup("&Edit", {Item("Add Monster", kCmdRoomMonsterAdd), Item("Add Trap", kCmdTrapAddGeneric), Separator(),
                             Item("&Move", kCmdEditMove), Item("&Rotate", kCmdEditRotate), Separator(),
                             Item("&Delete", kCmdEditDelete)}),
             Popup("&Links", {Item("&Add", kCmdLinkAdd), Item("&Delete", kCmdLinkDelete)}),
             Popup("&Blocks", {Item("C&hoose", kCmdBlockChoose), Item("&Set", kCmdBlockSet), Separator(),
                               Item("&Pick", kCmdBlockPick), Item("&Move", kCmdBlockMove),
                               Item("&Rotate", kCmdBlockRotate), Separator(), Item("&Copy", kCmdBlockCopy),
                               Item("&Delete", kCmdBlockDelete)}),
             Popup("C&ollision", {Item("&Set", kCmdCollisionSet), Item("Set &Low", kCmdCollisionSetLow),
                                  Item("&Clear", kCmdCollisionClear)})}),
      Popup("Monster2", {Item("&Properties", kCmdMonsterProperties)}),
      Popup("Machine2", {Item("&Properties", kCmdMachineProperties)}),
  };
  return menu;
}

}  // namespace kelvar
