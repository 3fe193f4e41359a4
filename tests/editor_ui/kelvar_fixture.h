#pragma once
// Shared set-up of Kelvar's window tests: the offscreen Qt application, a
// scratch start directory with its own profile, scripted boxes, dialogs,
// file dialogs and menus, quests written to disk for the program to open,
// and stand-in edit modes that record what the view and frame ask of them.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QPoint>

#include "editor/edit_modes.h"
#include "editor/kelvar_app.h"
#include "platform/core/services.h"
#include "platform/ui/scripted_ui.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

class CMachine;
class CMonster;
class CQuestObject;
class CRoom;

namespace platform::ui {
class Document;
}

namespace kelvartest {

using testsupport::EnsureQtApp;
using testsupport::Settle;

class FakeMapMode : public kelvar::IMapEditMode {
 public:
  int Render(platform::video::DrawContext*) override {
    ++renders;
    return 0;
  }
  void Reset() override { ++resets; }
  int OnButtonDown(unsigned, int x, int y) override {
    calls.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    return captureOnDown;
  }
  int OnButtonUp(unsigned, int, int) override {
    calls.push_back("up");
    return 0;
  }
  int OnMouseMove(unsigned, int, int) override { return 0; }
  int OnRightButtonDown(unsigned, int, int) override {
    calls.push_back("rdown");
    return 0;
  }
  void OnRightButtonUp(unsigned, int, int) override { calls.push_back("rup"); }
  void OnDoubleClick(unsigned, int, int) override { calls.push_back("dblclick"); }
  void SetViewRect(kelvar::ViewRect rect) override { viewRect = rect; }
  kelvar::ViewRect GetViewRect() override { return viewRect; }
  int EdgeScroll(int edge) override {
    scrolled.push_back(edge);
    return 1;
  }
  int CanEdgeScroll(int) override { return canScroll; }
  int GetMapTool() const override { return tool; }
  void SetMapTool(int t) override { tool = t; }

  int renders = 0;
  int resets = 0;
  int captureOnDown = 1;
  int canScroll = 0;
  int tool = 0;
  kelvar::ViewRect viewRect;
  std::vector<std::string> calls;
  std::vector<int> scrolled;
};

class FakeRoomMode : public kelvar::IRoomEditMode {
 public:
  int Render(platform::video::DrawContext*) override { return 0; }
  void Reset() override {}
  int OnButtonDown(unsigned, int, int) override { return 1; }
  int OnButtonUp(unsigned, int, int) override { return 0; }
  int OnMouseMove(unsigned, int, int) override { return 0; }
  int OnRightButtonDown(unsigned, int, int) override { return 0; }
  void OnRightButtonUp(unsigned, int, int) override {}
  void OnDoubleClick(unsigned, int, int) override {}
  void SetViewRect(kelvar::ViewRect rect) override { viewRect = rect; }
  kelvar::ViewRect GetViewRect() override { return viewRect; }
  int EdgeScroll(int) override { return 0; }
  int CanEdgeScroll(int) override { return 0; }
  void SetMode(int tool) override {
    if (!room) return;
    modes.push_back(tool);
    current = tool;
  }
  int GetMode() const override { return room ? current : 0; }
  void ChooseBlock() override { ++chooserRuns; }
  CRoom* EditedRoom() const override { return room; }
  void SetEditedRoom(CRoom* r) override { room = r; }

  CRoom* room = nullptr;
  int current = 0;
  int chooserRuns = 0;
  std::vector<int> modes;
  kelvar::ViewRect viewRect;
};

// What a test quest holds; written with the quest document itself.
struct QuestSpec {
  std::vector<std::string> machines;  // each of the "door" definition, with one instance
  std::vector<std::string> monsters;  // each with one instance
  std::vector<std::string> objects;
  std::vector<std::string> rooms;     // outdoor rooms of land 0, in list order
};

class KelvarTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "rozizuzi\stateMachine\door.qsm" and the quest file (relative
  // path); the profile is left without a remembered quest.
  void WriteQuest(std::string_view path, const QuestSpec& desc);
  // Runs start-up with the arguments; false when it failed.
  bool Start(std::vector<std::string> args = {});
  // Start-up with the stand-in modes installed first.
  bool StartWithModes(std::vector<std::string> args = {});
  // Writes the demo's block meshes, textures, skeletons and sample quest into
  // the start directory, then starts on the sample quest.
  bool StartOnDemoQuest();

  kelvar::CMainFrame& Main();
  std::vector<platform::ui::Document*> Docs();
  bool Send(int command);
  bool Enabled(int command);
  bool Checked(int command);
  std::string Remembered() const;  // "Recent Quest File" / "File"
  std::vector<std::string> BoxTexts() const;
  bool Modified();

  platform::ScriptedServices boxes;
  platform::ui::ScriptedUi script;
  std::unique_ptr<kelvar::CKelvarApp> app;
  FakeMapMode mapMode;
  FakeRoomMode roomMode;
};

// Names of a quest list, in list order.
std::vector<std::string> MachineNames();
std::vector<std::string> MonsterNames();
std::vector<std::string> ObjectKeys();
std::vector<std::string> RoomNames();
// Texts of a tree's items, in order.
std::vector<std::string> TreeTexts(int category);
// Selects the tree item with that text.
void SelectInTree(int category, std::string_view text);
// Where the middle of a cell on the demo ground (y = -256) is seen in a
// room's view.
QPoint GroundCellPixel(const CRoom& room, int column, int row);

}  // namespace kelvartest
