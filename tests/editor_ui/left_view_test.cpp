// The left view: its tabs, its trees' context menus, and swapping rooms.
#include <gtest/gtest.h>

#include <QTabBar>
#include <QTest>

#include "editor/edit_modes.h"
#include "editor/kelvar_commands.h"
#include "editor/left_view.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "kelvar_fixture.h"
#include "platform/ui/command_ids.h"
#include "quest/quest_lists.h"
#include "quest/room.h"

namespace kelvartest {
namespace {

using namespace kelvar;

class LeftViewTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    WriteQuest("castle.qst", {{"gate", "bell"}, {"orc"}, {"ruby"}, {"hall", "cellar", "tower"}});
    ASSERT_TRUE(StartWithModes({"castle.qst"}));
    Main().resize(1000, 700);
    Settle();
    view = CLeftView::Instance();
    ASSERT_NE(view, nullptr);
  }
  CLeftView* view = nullptr;
};

TEST_F(LeftViewTest, ClickingATabShowsItsTree) {
  QTabBar* tabs = view->TabControl();
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(0), "Machines");
  EXPECT_EQ(tabs->tabText(3), "Room");
  EXPECT_FALSE(QuestTree(kTreeMachines).Widget()->isHidden());
  for (int tab : {2, 3, 0, 1}) {
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
    EXPECT_EQ(view->ShownTab(), tab);
    for (int tree = 0; tree < kTreeCount; ++tree)
      EXPECT_EQ(QuestTree(tree).Widget()->isHidden(), tree != tab) << "tab " << tab << " tree " << tree;
  }
}

TEST_F(LeftViewTest, TreesHoldTheListsInOrderWithTheirRecords) {
  EXPECT_EQ(TreeTexts(kTreeMachines), (std::vector<std::string>{"gate", "bell"}));
  EXPECT_EQ(TreeTexts(kTreeMonsters), std::vector<std::string>{"orc"});
  EXPECT_EQ(TreeTexts(kTreeObjects), std::vector<std::string>{"ruby"});
  CQuestTreeCtrl& rooms = QuestTree(kTreeRooms);
  EXPECT_EQ(rooms.GetItemData(rooms.ItemAt(0)), Quest().rooms);
  EXPECT_EQ(rooms.GetItemData(rooms.ItemAt(1)), Quest().rooms->next);
}

TEST_F(LeftViewTest, SwapUpAndDownMoveTheSelectedRoom) {
  SelectInTree(kTreeRooms, "hall");
  EXPECT_FALSE(Enabled(kCmdSwapUp)) << "the first room";
  EXPECT_TRUE(Enabled(kCmdSwapDown));
  SelectInTree(kTreeRooms, "tower");
  EXPECT_TRUE(Enabled(kCmdSwapUp));
  EXPECT_FALSE(Enabled(kCmdSwapDown)) << "the last room";
  QuestTree(kTreeRooms).SelectItem(CQuestTreeCtrl::kNoItem);
  EXPECT_FALSE(Enabled(kCmdSwapUp));
  EXPECT_FALSE(Enabled(kCmdSwapDown));

  SelectInTree(kTreeRooms, "cellar");
  ASSERT_TRUE(Send(kCmdSwapUp));
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"cellar", "hall", "tower"})) << "the list head changed";
  EXPECT_EQ(TreeTexts(kTreeRooms), RoomNames());
  EXPECT_TRUE(Modified());

  SelectInTree(kTreeRooms, "hall");
  ASSERT_TRUE(Send(kCmdSwapDown));
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"cellar", "tower", "hall"}));
  EXPECT_EQ(TreeTexts(kTreeRooms), RoomNames());
  EXPECT_EQ(QuestTree(kTreeRooms).GetSelectedItem(), CQuestTreeCtrl::kNoItem) << "refilling loses the selection";
}

TEST_F(LeftViewTest, RightClickActsOnTheItemUnderTheMouse) {
  CQuestTreeCtrl& tree = QuestTree(kTreeMachines);
  QTreeWidget* widget = tree.Widget();
  SelectInTree(kTreeMachines, "gate");
  MapClick().stored = true;
  const QRect bell = widget->visualItemRect(widget->topLevelItem(1));
  script.AnswerPopup(kCmdMachineDelete);
  boxes.Answer(platform::kIdOk);
  QTest::mouseClick(widget->viewport(), Qt::RightButton, {}, bell.center());
  Settle();
  ASSERT_EQ(script.popups.size(), 1u);
  const auto& items = script.popups[0].items;
  ASSERT_EQ(items.size(), 6u) << "the Machine submenu";
  EXPECT_EQ(items[0].text, "&Add");
  EXPECT_FALSE(MapClick().stored) << "an Add from the tree goes to the default spot";
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Delete machine bell. Do you want to continue ?"});
  EXPECT_EQ(MachineNames(), std::vector<std::string>{"gate"});
}

TEST_F(LeftViewTest, RightClickOnEmptySpaceLeavesNoItemToActOn) {
  SelectInTree(kTreeRooms, "hall");
  view->OnTabClicked(kTreeRooms);
  QTreeWidget* widget = QuestTree(kTreeRooms).Widget();
  script.AnswerPopup(0);
  QTest::mouseClick(widget->viewport(), Qt::RightButton, {}, QPoint(10, widget->viewport()->height() - 5));
  Settle();
  ASSERT_EQ(script.popups.size(), 1u);
  EXPECT_EQ(QuestTree(kTreeRooms).GetSelectedItem(), CQuestTreeCtrl::kNoItem);
  for (const auto& item : script.popups[0].items) {
    if (item.id == kCmdRoomDelete || item.id == kCmdGoto) {
      EXPECT_FALSE(item.enabled) << item.text;
    }
  }
}

TEST_F(LeftViewTest, RenameAndSelectFindTheFirstMatchIgnoringCase) {
  SelectTreeItem(kTreeMachines, "BELL");
  EXPECT_EQ(QuestTree(kTreeMachines).GetItemText(QuestTree(kTreeMachines).GetSelectedItem()), "bell");
  RenameTreeItem(kTreeMachines, "GATE", "portcullis");
  EXPECT_EQ(TreeTexts(kTreeMachines), (std::vector<std::string>{"portcullis", "bell"}));
  RenameTreeItem(kTreeMachines, "nothing", "x");
  SelectTreeItem(kTreeMachines, "nothing");
  EXPECT_EQ(TreeTexts(kTreeMachines), (std::vector<std::string>{"portcullis", "bell"}));
  EXPECT_EQ(QuestTree(kTreeMachines).GetItemText(QuestTree(kTreeMachines).GetSelectedItem()), "bell");
}

TEST_F(LeftViewTest, TreesAreEmptyOnceTheQuestWindowIsGone) {
  ASSERT_TRUE(Send(platform::ui::kCmdFileClose));
  for (int tree = 0; tree < kTreeCount; ++tree) {
    EXPECT_FALSE(QuestTree(tree).HasWindow());
    EXPECT_EQ(QuestTree(tree).Count(), 0);
  }
  EXPECT_FALSE(Enabled(kCmdMonsterDelete));
}

}  // namespace
}  // namespace kelvartest
