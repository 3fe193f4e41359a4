// The element commands of the main frame: their effect on the quest, the
// trees and the world map, their confirmations, and their update rules.
#include <gtest/gtest.h>

#include "datafiles/language_table.h"
#include "editor/edit_modes.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "kelvar_fixture.h"
#include "platform/ui/accelerator_table.h"
#include "quest/element_instance.h"
#include "quest/kelvar_doc.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/room.h"

namespace kelvartest {
namespace {

using namespace kelvar;

int InstanceCount(const ElementInstance* i) {
  int n = 0;
  for (; i; i = i->next) ++n;
  return n;
}

int NodeCount() {
  int n = 0;
  for (GraphNode* node = Quest().graphNodes; node; node = node->next) ++n;
  return n;
}

class ElementCommandsTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    WriteQuest("castle.qst",
               {{"gate", "bell"}, {"orc", "troll"}, {"ruby", "lamp"}, {"hall", "cellar", "tower"}});
    ASSERT_TRUE(StartWithModes({"castle.qst"}));
  }
};

TEST_F(ElementCommandsTest, DeletionsAskFirstAndActOnlyOnOk) {
  struct Case {
    int command;
    int tree;
    const char* name;
    const char* question;
    std::vector<std::string> (*names)();
  };
  const Case cases[] = {
      {kCmdMachineDelete, kTreeMachines, "bell", "Delete machine bell. Do you want to continue ?", MachineNames},
      {kCmdObjectDelete, kTreeObjects, "ruby", "Delete object ruby . Do you really want to continue ?", ObjectKeys},
      {kCmdMonsterDelete, kTreeMonsters, "orc", "Delete monster orc. Do you really want to continue ?", MonsterNames},
      {kCmdRoomDelete, kTreeRooms, "cellar", "Delete room cellar. Do you really want to continue ?", RoomNames},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectInTree(c.tree, c.name);
    const std::vector<std::string> before = c.names();
    boxes.boxes.clear();
    boxes.Answer(platform::kIdCancel);
    ASSERT_TRUE(Send(c.command));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, c.question);
    EXPECT_EQ(boxes.boxes[0].flags, platform::kMbOkCancel | platform::kMbIconQuestion);
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvar");
    EXPECT_EQ(c.names(), before) << "Cancel changes nothing";
    EXPECT_EQ(TreeTexts(c.tree), before);
    EXPECT_FALSE(Modified());

    boxes.Answer(platform::kIdOk);
    ASSERT_TRUE(Send(c.command));
    std::vector<std::string> after = before;
    std::erase(after, c.name);
    EXPECT_EQ(c.names(), after);
    EXPECT_EQ(TreeTexts(c.tree), after);
    EXPECT_TRUE(Modified());
    CurrentDocument()->SetModifiedFlag(false);
  }
}

TEST_F(ElementCommandsTest, DeletingAMachineTakesItsInstancesOffTheMap) {
  SelectInTree(kTreeMachines, "gate");
  ASSERT_TRUE(Send(kCmdMachineInstanceAdd));
  CMachine* gate = FindMachineNamed(Quest().machines, "gate");
  ASSERT_EQ(InstanceCount(gate->instances), 2);
  auto ownedByGate = [gate] {
    int n = 0;
    for (GraphNode* node = Quest().graphNodes; node; node = node->next)
      if (node->OwnerMachine() == gate) ++n;
    return n;
  };
  ASSERT_GT(ownedByGate(), 0);
  boxes.Answer(platform::kIdOk);
  ASSERT_TRUE(Send(kCmdMachineDelete));
  EXPECT_EQ(MachineNames(), std::vector<std::string>{"bell"});
  EXPECT_EQ(ownedByGate(), 0) << "no node of the deleted machine stays";
}

TEST_F(ElementCommandsTest, InstanceCommandsAddAndDeleteOnTheMap) {
  const int nodes = NodeCount();
  SelectInTree(kTreeMonsters, "troll");
  ASSERT_TRUE(Send(kCmdMonsterInstanceAdd));
  CMonster* troll = FindMonster(Quest().monsters, "troll");
  ASSERT_EQ(InstanceCount(troll->instances), 2);
  EXPECT_STREQ(troll->instances->name, "troll_1");
  EXPECT_GT(NodeCount(), nodes);
  EXPECT_TRUE(Modified());

  // Deleting needs the instance under the last right click.
  ContextInstanceName().clear();
  ASSERT_TRUE(Send(kCmdMonsterInstanceDelete));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(InstanceCount(troll->instances), 2);

  ContextInstanceName() = "troll_1";
  boxes.Answer(platform::kIdOk);
  ASSERT_TRUE(Send(kCmdMonsterInstanceDelete));
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Delete instance troll_1. Do you really want to continue ?"});
  ASSERT_EQ(InstanceCount(troll->instances), 1);
  EXPECT_STREQ(troll->instances->name, "troll_0");

  SelectInTree(kTreeMachines, "bell");
  ASSERT_TRUE(Send(kCmdMachineInstanceAdd));
  CMachine* bell = FindMachineNamed(Quest().machines, "bell");
  ASSERT_EQ(InstanceCount(bell->instances), 2);
  ContextInstanceName() = "bell_0";
  boxes.Answer(platform::kIdCancel);
  ASSERT_TRUE(Send(kCmdMachineInstanceDelete));
  EXPECT_EQ(InstanceCount(bell->instances), 2);
  boxes.Answer(platform::kIdOk);
  ASSERT_TRUE(Send(kCmdMachineInstanceDelete));
  ASSERT_EQ(InstanceCount(bell->instances), 1);
  EXPECT_STREQ(bell->instances->name, "bell_1");
}

TEST_F(ElementCommandsTest, UpdateRulesFollowTheTreeSelections) {
  struct Case {
    int command;
    int tree;
    bool withoutSelection;  // enabled with items but nothing selected
  };
  const Case cases[] = {
      {kCmdMachineDelete, kTreeMachines, true},       {kCmdMachineInstanceAdd, kTreeMachines, false},
      {kCmdMachineInstanceDelete, kTreeMachines, false}, {kCmdObjectDelete, kTreeObjects, true},
      {kCmdMonsterDelete, kTreeMonsters, false},       {kCmdMonsterInstanceAdd, kTreeMonsters, false},
      {kCmdMonsterInstanceDelete, kTreeMonsters, false}, {kCmdRoomDelete, kTreeRooms, false},
      {kCmdRoomEdit, kTreeRooms, false},               {kCmdGoto, kTreeRooms, false},
      {kCmdMachineAdd, kTreeMachines, true},          {kCmdMachineProperties, kTreeMachines, false},
      {kCmdObjectCreate, kTreeObjects, true},         {kCmdObjectCreateVirtual, kTreeObjects, true},
      {kCmdObjectProperties, kTreeObjects, false},    {kCmdMonsterAdd, kTreeMonsters, true},
      {kCmdMonsterProperties, kTreeMonsters, false},  {kCmdRoomCreate, kTreeRooms, true},
      {kCmdRoomProperties, kTreeRooms, false},        {kCmdTextEdit, kTreeRooms, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    QuestTree(c.tree).SelectItem(CQuestTreeCtrl::kNoItem);
    EXPECT_EQ(Enabled(c.command), c.withoutSelection);
    QuestTree(c.tree).SelectItem(QuestTree(c.tree).ItemAt(0));
    EXPECT_TRUE(Enabled(c.command));
  }
}

TEST_F(ElementCommandsTest, CommandsWithoutTheirWindowStayDisabled) {
  // Unique objects have no window yet.
  for (int command : {kCmdObjectCreateUnique}) {
    for (int tree = 0; tree < kTreeCount; ++tree) QuestTree(tree).SelectItem(QuestTree(tree).ItemAt(0));
    EXPECT_FALSE(Enabled(command)) << command;
    EXPECT_FALSE(Send(command)) << command;
  }
}

TEST_F(ElementCommandsTest, GotoMovesTheMapToTheRoomKeepingItsSize) {
  Quest().mapView = MapRect{0, 0, 800, 600};
  SelectInTree(kTreeRooms, "tower");
  ASSERT_TRUE(Send(kCmdGoto));
  const MapRect& v = Quest().mapView;
  EXPECT_EQ(v.left, 100 - 64);
  EXPECT_EQ(v.top, 200 - 64);
  EXPECT_EQ(v.right - v.left, 800);
  EXPECT_EQ(v.bottom - v.top, 600);
  EXPECT_EQ(mapMode.tool, 0) << "the mode is not changed";
}

TEST_F(ElementCommandsTest, LanguageRadioShowsExactlyOneAndMarksTheQuest) {
  const int french = kCmdLanguageFirst;
  const int german = kCmdLanguageFirst + 2;
  g_languageTable.SetLanguage(1);
  auto checked = [this] {
    std::vector<int> on;
    for (int id = kCmdLanguageFirst; id <= kCmdLanguageLast; ++id)
      if (Checked(id)) on.push_back(id - kCmdLanguageFirst);
    return on;
  };
  EXPECT_EQ(checked(), std::vector<int>{1});
  ASSERT_TRUE(Send(german));
  EXPECT_EQ(g_languageTable.GetLanguage(), 2);
  EXPECT_EQ(checked(), std::vector<int>{2});
  EXPECT_TRUE(Modified()) << "the quest saves its language";
  ASSERT_TRUE(Send(french));
  EXPECT_EQ(checked(), std::vector<int>{0});
}

TEST_F(ElementCommandsTest, EditingARoomMakesTheRoomModeCurrentWithItsKeys) {
  SelectInTree(kTreeRooms, "hall");
  ASSERT_TRUE(Send(kCmdRoomEdit));
  ASSERT_NE(roomMode.room, nullptr);
  EXPECT_STREQ(roomMode.room->name, "hall");
  EXPECT_EQ(roomMode.modes, std::vector<int>{1}) << "the camera rotates first";
  EXPECT_TRUE(Checked(kCmdEditView));
  EXPECT_FALSE(Checked(kCmdHierarchyView));
  EXPECT_EQ(Main().Accelerators()->id(), 186);
  EXPECT_TRUE(Enabled(kCmdCameraZoom));
  EXPECT_TRUE(Checked(kCmdCameraRotate));
}

TEST_F(ElementCommandsTest, DeletingTheEditedRoomLeavesTheRoomToolsDisabled) {
  SelectInTree(kTreeRooms, "cellar");
  ASSERT_TRUE(Send(kCmdRoomEdit));
  ASSERT_TRUE(Enabled(kCmdBlockMove));
  boxes.Answer(platform::kIdOk);
  ASSERT_TRUE(Send(kCmdRoomDelete));
  EXPECT_EQ(roomMode.room, nullptr);
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"hall", "tower"}));
  for (int tool : {kCmdCameraRotate, kCmdBlockMove, kCmdBlockSet, kCmdCollisionSet, kCmdDraw, kCmdLinkAdd})
    EXPECT_FALSE(Enabled(tool)) << tool;
}

}  // namespace
}  // namespace kelvartest
