// The Merge command: its file dialog, the quest it changes and the trees it refills.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/kelvar_commands.h"
#include "editor/quest_tree_ctrl.h"
#include "kelvar_fixture.h"
#include "platform/ui/command_ids.h"
#include "quest/kelvar_doc.h"
#include "quest/quest_merge.h"

namespace kelvartest {
namespace {

using namespace kelvar;

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

class MergeCommandTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    MergeDialogDirectory().clear();
    WriteQuest("town.qst", {{"gate"}, {"orc"}, {"ruby"}, {"hall", "market"}});
    WriteQuest("castle.qst", {{"gate", "bell"}, {"orc", "troll"}, {"ruby", "lamp"}, {"hall", "cellar"}});
    ASSERT_TRUE(StartWithModes({"castle.qst"}));
  }
};

TEST_F(MergeCommandTest, MergesTheChosenQuestAndRefillsTheTrees) {
  ASSERT_TRUE(Enabled(kCmdMerge));
  script.AnswerFile(dir.Native("town.qst"));
  ASSERT_TRUE(Send(kCmdMerge));
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_TRUE(script.fileDialogs[0].open);
  EXPECT_EQ(script.fileDialogs[0].filter, "quest Files (*QST)|*.QST||");
  EXPECT_EQ(script.fileDialogs[0].defaultExt, ".QST");
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_TRUE(Modified());

  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"hall2", "market", "hall", "cellar"}));
  EXPECT_EQ(MachineNames(), (std::vector<std::string>{"gate2", "gate", "bell"}));
  EXPECT_EQ(MonsterNames(), (std::vector<std::string>{"orc2", "orc", "troll"}));
  EXPECT_EQ(ObjectKeys(), (std::vector<std::string>{"ruby2", "ruby", "lamp"}));
  EXPECT_EQ(Sorted(TreeTexts(kTreeRooms)), Sorted(RoomNames()));
  EXPECT_EQ(Sorted(TreeTexts(kTreeMachines)), Sorted(MachineNames()));
  EXPECT_EQ(Sorted(TreeTexts(kTreeMonsters)), Sorted(MonsterNames()));
  EXPECT_EQ(Sorted(TreeTexts(kTreeObjects)), Sorted(ObjectKeys()));

  // The next dialog opens where this quest was found.
  script.CancelFile();
  ASSERT_TRUE(Send(kCmdMerge));
  ASSERT_EQ(script.fileDialogs.size(), 2u);
  EXPECT_EQ(script.fileDialogs[1].directory, dir.Native(""));
}

TEST_F(MergeCommandTest, CancelOrAFailedReadLeavesTheQuestUnmodified) {
  script.CancelFile();
  ASSERT_TRUE(Send(kCmdMerge));
  EXPECT_FALSE(Modified());

  dir.Write("broken.qst", std::string_view("\x05\0\0\0", 4));
  script.AnswerFile(dir.Native("broken.qst"));
  ASSERT_TRUE(Send(kCmdMerge));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error while loading " + dir.Native("broken.qst") + ", error = 14\n"});
  EXPECT_FALSE(Modified());
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"hall", "cellar"}));
  EXPECT_EQ(Sorted(TreeTexts(kTreeRooms)), Sorted(RoomNames()));
}

TEST_F(MergeCommandTest, DisabledWithoutAQuest) {
  ASSERT_TRUE(Send(platform::ui::kCmdFileClose));
  ASSERT_TRUE(Docs().empty());
  EXPECT_FALSE(Enabled(kCmdMerge));
}

}  // namespace
}  // namespace kelvartest
