// New after a quest was open: the new quest has no file, so Save asks for a
// name instead of writing over the last quest, and that quest opens again.
#include <gtest/gtest.h>

#include <QTest>

#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/document.h"
#include "platform/ui/recent_file_list.h"

namespace kelvartest {
namespace {

namespace ui = platform::ui;

class NewQuestTest : public KelvarTest {
 protected:
  // A key pressed over the room view, as the user would.
  void Key(int key, Qt::KeyboardModifiers mods) {
    QTest::keyClick(kelvar::CRoomView::Instance(), static_cast<Qt::Key>(key), mods);
    Settle();
  }
};

TEST_F(NewQuestTest, SaveOfTheNewQuestAsksForANameAndTheLastQuestOpensAgain) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  const std::string saved = dir.Read("castle.qst");
  ASSERT_TRUE(Start({"castle.qst"}));
  Key(Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_TRUE(Docs()[0]->PathName().empty());
  EXPECT_TRUE(MachineNames().empty());
  Docs()[0]->SetModifiedFlag(true);
  script.CancelFile();
  Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_FALSE(script.fileDialogs[0].open);
  EXPECT_EQ(dir.Read("castle.qst"), saved);
  // The last quest opens from the recent list (the new quest's changes dropped).
  boxes.Answer(platform::kIdNo);
  ASSERT_EQ((*app->RecentFiles())[0], dir.Native("castle.qst"));
  ASSERT_TRUE(Send(ui::kCmdRecentFirst));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "castle.qst");
  EXPECT_EQ(MachineNames(), std::vector<std::string>{"gate"});
}

}  // namespace
}  // namespace kelvartest
