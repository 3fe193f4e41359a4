#pragma once
// Kelvar's main window: the toolbars in bands, the status bar, the
// accelerator table of the current view, and every element, view, tool and
// language command with its update rule. Commands act on the selections of
// the left view's trees; after each change to the quest the world-map graph
// is brought in line, the quest is marked modified and the room view redraws.
#include <string>
#include <string_view>

#include "platform/ui/mdi_frame.h"

class CMachine;
class CMonster;
class CQuestObject;
class CRoom;

namespace kelvar {

class CMainFrame : public platform::ui::MdiFrame {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // The placement as "Windows" / "main" (flags 0, minimised saved as normal),
  // and back when exactly 44 bytes are stored.
  void SavePlacement();
  void RestorePlacement();

  // The room editing bands for the 3D room (show) or the map tool band for the world map.
  void ShowEditBands(bool show);

  // Element commands. Those that need the element dialogs are not offered
  // (and so stay disabled) until the dialogs exist.
  void OnMachineDelete();
  void OnMachineInstanceAdd();
  void OnMachineInstanceDelete();
  void OnObjectDelete();
  void OnMonsterDelete();
  void OnMonsterInstanceAdd();
  void OnMonsterInstanceDelete();
  void OnRoomDelete();
  void OnRoomEdit();
  void OnGoto();
  // Commands that open the element, text and marker dialogs.
  void OnTextEdit();
  void OnMarker();
  void OnObjectCreate();
  void OnObjectCreateVirtual();
  void OnObjectProperties();
  void OnMonsterAdd();
  void OnMonsterProperties();
  void OnMachineAdd();
  void OnMachineProperties();
  void OnRoomCreate();
  void OnRoomProperties();
  // View commands.
  void OnHierarchyView();
  void OnEditView();
  void OnLanguage(int language);

 protected:
  bool OnCreate() override;
  bool OnClose() override;

 private:
  void AddToolBarBand(int resourceId, std::string_view caption);
  void RegisterCommands();
  void RegisterElementCommands();
  void RegisterDialogCommands();
  void RegisterRoomTool(int id, int tool);
  void OnUpdateRoomTool(platform::ui::CommandState& state, int tool) const;
};

// The main frame, null while none exists.
CMainFrame* MainFrame();

// Selections of the trees: the record of the caret item (machines by the
// item's text), null when there is none.
CMachine* SelectedMachine();
CQuestObject* SelectedObject();
CMonster* SelectedMonster();
CRoom* SelectedRoom();

}  // namespace kelvar
