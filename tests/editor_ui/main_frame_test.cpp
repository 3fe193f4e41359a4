// The main frame: bars, the two accelerator tables, and the tool commands
// with their update rules.
#include <algorithm>

#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include "editor/edit_modes.h"
#include "editor/kelvar_accelerators.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "platform/ui/accelerator_table.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/document.h"
#include "platform/ui/menu_table.h"
#include "quest/room.h"

namespace kelvartest {
namespace {

using namespace kelvar;
namespace ui = platform::ui;

class MainFrameTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    WriteQuest("castle.qst", {{"gate"}, {"orc"}, {}, {"hall"}});
    ASSERT_TRUE(StartWithModes({"castle.qst"}));
    Settle();
  }
  // A key pressed over the room view, as the user would.
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(CRoomView::Instance(), static_cast<Qt::Key>(key), mods);
    Settle();
  }
};

TEST_F(MainFrameTest, BarsHoldTheirButtons) {
  const std::pair<int, std::vector<int>> bands[] = {
      {ui::kMainToolBarId, {ui::kCmdFileNew, ui::kCmdFileOpen, ui::kCmdFileSave, ui::kCmdAppAbout}},
      {kBandView, {kCmdHierarchyView, kCmdEditView}},
      {kBandCamera, {kCmdCameraRotate, kCmdCameraTranslate, kCmdCameraZoom, kCmdCameraElevate}},
      {kBandBlock,
       {kCmdBlockMove, kCmdBlockSet, kCmdBlockPick, kCmdBlockDelete, kCmdBlockCopy, kCmdBlockRotate, kCmdBlockChoose,
        kCmdDraw, kCmdStyle}},
      {kBandEdit, {kCmdEditMove, kCmdEditRotate, kCmdEditDelete, kCmdRoomMonsterAdd, kCmdTrapAddGeneric}},
      {kBandMapTools, {kCmdMapMoveInstance, kCmdMapSelect, kCmdMapMoveView}},
      {kBandCollision, {kCmdCollisionSet, kCmdCollisionSetLow, kCmdCollisionClear}},
      {kBandLink, {kCmdLinkAdd, kCmdLinkDelete}},
  };
  for (const auto& [id, commands] : bands) {
    QToolBar* bar = Main().Band(id);
    ASSERT_NE(bar, nullptr) << id;
    std::vector<int> shown;
    for (QAction* a : bar->actions())
      if (int c = a->data().toInt(); c > 0) {
        shown.push_back(c);
        EXPECT_FALSE(a->icon().isNull()) << c << " has an image";
      }
    EXPECT_EQ(shown, commands) << id;
  }
}

TEST_F(MainFrameTest, SameKeyRunsTheMapOrTheRoomCommand) {
  SelectInTree(kTreeRooms, "hall");
  ASSERT_TRUE(Send(kCmdRoomEdit));  // table 186
  roomMode.modes.clear();
  Key(Qt::Key_T);
  EXPECT_EQ(roomMode.modes, std::vector<int>{2}) << "T translates the camera";
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(roomMode.modes.back(), 10) << "Ctrl+S sets a block, it does not save";
  EXPECT_TRUE(Modified() == false);
  EXPECT_TRUE(script.fileDialogs.empty());

  Key(Qt::Key_Tab);  // back to the map: table 128
  EXPECT_EQ(Main().Accelerators()->id(), 128);
  EXPECT_EQ(CRoomView::Instance()->EditMode(), &mapMode);
  roomMode.modes.clear();
  Key(Qt::Key_T);
  EXPECT_EQ(mapMode.tool, 2) << "T moves the view";
  EXPECT_TRUE(roomMode.modes.empty());
  Key(Qt::Key_S);
  EXPECT_EQ(mapMode.tool, 1);

  // Ctrl+S saves in the map: the quest is written again.
  SelectInTree(kTreeMachines, "gate");
  ASSERT_TRUE(Send(kCmdMachineInstanceAdd));
  ASSERT_TRUE(Modified());
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(Modified());
  Key(Qt::Key_Tab);
  EXPECT_EQ(Main().Accelerators()->id(), 186);
}

TEST_F(MainFrameTest, TablesMapTheirKeys) {
  struct Case {
    int key;
    unsigned mods;
    int map;
    int room;
  };
  const Case cases[] = {
      {Qt::Key_C, 0, kCmdBlockCopy, 0},
      {Qt::Key_C, ui::kModCtrl, ui::kCmdEditCopy, kCmdBlockCopy},
      {Qt::Key_S, ui::kModCtrl, ui::kCmdFileSave, kCmdBlockSet},
      {Qt::Key_O, ui::kModCtrl, ui::kCmdFileOpen, kCmdBlockChoose},
      {Qt::Key_R, ui::kModShift, kCmdBlockRotate, kCmdEditRotate},
      {Qt::Key_Tab, 0, kCmdEditView, kCmdHierarchyView},
      {Qt::Key_Delete, 0, kCmdBlockDelete, 0},
      {Qt::Key_G, ui::kModCtrl, kCmdMarker, 0},
      {Qt::Key_D, 0, 0, kCmdDraw},
      {Qt::Key_Z, 0, 0, kCmdCameraZoom},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapAccelerators().Find(c.key, c.mods), c.map) << c.key;
    EXPECT_EQ(RoomAccelerators().Find(c.key, c.mods), c.room) << c.key;
  }
}

TEST_F(MainFrameTest, KeysActOnlyInTheMainWindow) {
  QWidget other;
  QTest::keyClick(&other, Qt::Key_T);
  Settle();
  EXPECT_EQ(mapMode.tool, 0);
}

TEST_F(MainFrameTest, MapToolsAreARadioOfTheMapMode) {
  ASSERT_TRUE(Send(kCmdMapSelect));
  EXPECT_EQ(mapMode.tool, 1);
  EXPECT_TRUE(Checked(kCmdMapSelect));
  EXPECT_FALSE(Checked(kCmdMapMoveInstance));
  ASSERT_TRUE(Send(kCmdEditView));
  EXPECT_FALSE(Enabled(kCmdMapSelect)) << "only while the map is shown";
}

TEST_F(MainFrameTest, RoomToolsNeedTheRoomModeAndAnEditedRoom) {
  ASSERT_TRUE(Send(kCmdEditView));
  EXPECT_FALSE(Enabled(kCmdBlockMove)) << "no room edited yet";
  SelectInTree(kTreeRooms, "hall");
  ASSERT_TRUE(Send(kCmdRoomEdit));
  EXPECT_TRUE(Enabled(kCmdBlockMove));
  EXPECT_FALSE(Enabled(kCmdBlockRotate)) << "an outdoor room's blocks do not rotate";
  roomMode.room->level = 2;
  EXPECT_TRUE(Enabled(kCmdBlockRotate));

  ASSERT_TRUE(Send(kCmdCollisionSetLow));
  EXPECT_EQ(roomMode.current, 21);
  EXPECT_TRUE(Checked(kCmdCollisionSetLow));
  EXPECT_FALSE(Checked(kCmdCollisionSet));

  // Set opens the chooser only once the copy buffer holds a block; Choose always.
  ASSERT_TRUE(Send(kCmdBlockSet));
  EXPECT_EQ(roomMode.chooserRuns, 0);
  roomMode.room->copyBlock.fileName = "wall.o3d";
  ASSERT_TRUE(Send(kCmdBlockSet));
  EXPECT_EQ(roomMode.chooserRuns, 1);
  ASSERT_TRUE(Send(kCmdBlockChoose));
  EXPECT_EQ(roomMode.chooserRuns, 2);
  EXPECT_EQ(roomMode.current, 10);
  EXPECT_TRUE(Checked(kCmdBlockSet));
  EXPECT_FALSE(Checked(kCmdBlockChoose)) << "Choose is never shown checked";

  ASSERT_TRUE(Send(kCmdHierarchyView));
  EXPECT_FALSE(Enabled(kCmdBlockMove)) << "not while the map is shown";
  // Nor are the tools that ask with a picker first.
  for (int command : {kCmdTrapAddGeneric, kCmdRoomMonsterAdd, kCmdStyle}) EXPECT_FALSE(Enabled(command));
}

TEST_F(MainFrameTest, WithoutModesTheViewCommandsStayDisabled) {
  InstallEditModes(nullptr, nullptr);
  for (int command : {kCmdHierarchyView, kCmdEditView, kCmdMapSelect, kCmdCameraRotate, kCmdRoomEdit}) {
    SelectInTree(kTreeRooms, "hall");
    EXPECT_FALSE(Enabled(command)) << command;
  }
}

TEST_F(MainFrameTest, StatusBarShowsTheCommandPrompt) {
  EXPECT_EQ(Main().MessageText(), "Ready");
  QToolBar* bar = Main().Band(kBandMapTools);
  QAction* select = nullptr;
  for (QAction* a : bar->actions())
    if (a->data().toInt() == kCmdMapSelect) select = a;
  ASSERT_NE(select, nullptr);
  EXPECT_EQ(select->statusTip(), "Select");
  EXPECT_EQ(select->toolTip(), "Select  (S)");
}

// The main toolbar's button for a command.
QAction* ToolButton(CMainFrame& frame, int command) {
  for (QAction* a : frame.Band(ui::kMainToolBarId)->actions())
    if (a->data().toInt() == command) return a;
  return nullptr;
}

TEST_F(MainFrameTest, SaveButtonFollowsTheQuestAtOnce) {
  QAction* save = ToolButton(Main(), ui::kCmdFileSave);
  ASSERT_NE(save, nullptr);
  EXPECT_TRUE(save->isEnabled()) << "a quest is open after start-up";
  script.CancelFile();
  ASSERT_TRUE(Send(ui::kCmdFileOpen));
  ASSERT_TRUE(Docs().empty());
  EXPECT_FALSE(save->isEnabled());
  // No idle time passes between New and the click on Save.
  ASSERT_TRUE(Main().SendCommand(ui::kCmdFileNew));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_TRUE(save->isEnabled());
  const std::size_t dialogs = script.fileDialogs.size();
  script.CancelFile();
  save->trigger();
  ASSERT_EQ(script.fileDialogs.size(), dialogs + 1) << "the click saves: an untitled quest asks for a name";
  EXPECT_FALSE(script.fileDialogs.back().open);
  Settle();
}

TEST_F(MainFrameTest, ListStylesStayInTheViewMenuDisabledWithoutAQuest) {
  script.CancelFile();
  ASSERT_TRUE(Send(ui::kCmdFileOpen));
  ASSERT_TRUE(Docs().empty());
  QMenu* view = nullptr;
  for (QAction* a : Main().menuBar()->actions())
    if (a->text() == "&View") view = a->menu();
  ASSERT_NE(view, nullptr);
  emit view->aboutToShow();
  std::vector<int> styles;
  for (QAction* a : view->actions()) {
    const int id = ui::ActionCommand(a);
    if (id >= ui::kCmdViewSmallIcon && id <= ui::kCmdViewLineUp) {
      styles.push_back(id);
      EXPECT_FALSE(a->isEnabled()) << id;
    } else if (id == ui::kCmdViewToolBar) {
      EXPECT_TRUE(a->isEnabled());
    }
  }
  std::sort(styles.begin(), styles.end());
  EXPECT_EQ(styles, (std::vector<int>{ui::kCmdViewSmallIcon, ui::kCmdViewLargeIcon, ui::kCmdViewList,
                                      ui::kCmdViewDetails, ui::kCmdViewLineUp}));
}

}  // namespace
}  // namespace kelvartest
