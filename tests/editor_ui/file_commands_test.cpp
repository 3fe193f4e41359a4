// New, Open, the recent quests, Close and Exit: one quest at a time, and no
// unsaved work dropped without asking.
#include <gtest/gtest.h>

#include <QMdiSubWindow>

#include <sys/stat.h>
#include <unistd.h>

#include "editor/child_frame.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "kelvar_fixture.h"
#include "platform/core/profile.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/document.h"
#include "platform/ui/qt_ui.h"
#include "platform/ui/recent_file_list.h"
#include "support/live_dialogs.h"
#include "quest/element_instance.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/quest_lists.h"

namespace kelvartest {
namespace {

namespace ui = platform::ui;
using kelvar::kTreeMachines;

class FileCommandsTest : public KelvarTest {
 protected:
  // Starts on castle.qst, then changes it (a new machine instance).
  void StartChanged() {
    WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
    ASSERT_TRUE(Start({"castle.qst"}));
    SelectInTree(kTreeMachines, "gate");
    ASSERT_TRUE(Send(kelvar::kCmdMachineInstanceAdd));
    ASSERT_TRUE(Modified());
    boxes.boxes.clear();
  }
};

TEST_F(FileCommandsTest, OpenThenCancelLeavesNoQuestOpen) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  ASSERT_TRUE(Start({"castle.qst"}));
  script.CancelFile();
  ASSERT_TRUE(Send(ui::kCmdFileOpen));
  EXPECT_TRUE(Docs().empty());
  EXPECT_TRUE(MachineNames().empty()) << "the quest was closed before the dialog";
  EXPECT_TRUE(TreeTexts(kTreeMachines).empty());
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_TRUE(script.fileDialogs[0].open);
  EXPECT_NE(script.fileDialogs[0].filter.find("Quest document (*.qst)|*.qst"), std::string::npos);
}

TEST_F(FileCommandsTest, OpenReplacesTheOpenQuest) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  WriteQuest("tower.qst", {{"bell", "stair"}, {}, {}, {}});
  ASSERT_TRUE(Start({"castle.qst"}));
  script.AnswerFile(dir.Native("tower.qst"));
  ASSERT_TRUE(Send(ui::kCmdFileOpen));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "tower.qst");
  EXPECT_EQ(TreeTexts(kTreeMachines), (std::vector<std::string>{"bell", "stair"}));
}

TEST_F(FileCommandsTest, UnsavedWorkIsAskedAboutBeforeEachWayOfDroppingIt) {
  struct Case {
    const char* what;
    int command;  // 0: close the main window
  };
  const Case cases[] = {{"New", ui::kCmdFileNew},
                        {"Open", ui::kCmdFileOpen},
                        {"a recent quest", ui::kCmdRecentFirst},
                        {"Close", ui::kCmdFileClose},
                        {"Exit", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartChanged();
    // Cancel keeps everything.
    boxes.Answer(platform::kIdCancel);
    if (c.command) Send(c.command);
    else Main().close();
    Settle();
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{"Save changes to castle.qst?"});
    ASSERT_EQ(Docs().size(), 1u);
    EXPECT_EQ(Docs()[0]->Title(), "castle.qst");
    EXPECT_TRUE(Modified());
    EXPECT_TRUE(script.fileDialogs.empty()) << "nothing asked after Cancel";
    EXPECT_TRUE(Main().isVisible());
    app->ExitInstance();
    app.reset();
    Settle();
    boxes.boxes.clear();
  }
}

TEST_F(FileCommandsTest, AnsweringNoDropsTheChangesAndGoesOn) {
  StartChanged();
  boxes.Answer(platform::kIdNo);
  ASSERT_TRUE(Send(ui::kCmdFileNew));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "Quest1") << "the first new quest of the run";
  EXPECT_TRUE(MachineNames().empty());
  EXPECT_FALSE(Modified());
}

TEST_F(FileCommandsTest, AnsweringYesSavesFirst) {
  StartChanged();
  boxes.Answer(platform::kIdYes);
  ASSERT_TRUE(Send(ui::kCmdFileNew));
  EXPECT_EQ(Docs().size(), 1u);
  // The saved quest holds the second instance.
  boxes.boxes.clear();
  script.AnswerFile(dir.Native("castle.qst"));
  ASSERT_TRUE(Send(ui::kCmdFileOpen));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "castle.qst");
  EXPECT_TRUE(BoxTexts().empty()) << "the new quest had no changes";
  ASSERT_EQ(MachineNames().size(), 1u);
}

// Save As in the window system's dialog: a quest named in another case than
// the file on disk is that file, and the question names it; No leaves it.
TEST_F(FileCommandsTest, SaveAsAsksBeforeReplacingAQuestNamedInAnotherCase) {
  WriteQuest("Tower.QST", {{"bell"}, {}, {}, {}});
  const std::string tower = dir.Read("Tower.QST");
  StartChanged();
  {
    ui::QtUi windowSystem;
    testsupport::LiveDialogs live;
    live.Then(testsupport::TypeFileName("tower")).Then(testsupport::ClickBoxButton(QMessageBox::No));
    live.Then(testsupport::TypeFileName("Keep"));
    ASSERT_TRUE(Send(ui::kCmdFileSaveAs));
    EXPECT_TRUE(live.Worked());
    const std::vector<std::string> expected = {
        "file dialog: Save As", "Save As: " + dir.Native("Tower.QST") + " already exists.\nDo you want to replace it?",
        "file dialog: Save As"};
    EXPECT_EQ(live.shown, expected);
  }
  EXPECT_EQ(dir.Read("Tower.QST"), tower);
  EXPECT_FALSE(dir.Exists("tower.qst"));
  ASSERT_TRUE(dir.Exists("Keep.qst"));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "Keep.qst");
  EXPECT_FALSE(Modified());
  // Yes replaces it, and the quest takes the file's name as the disk has it.
  Docs()[0]->SetModifiedFlag(true);
  {
    ui::QtUi windowSystem;
    testsupport::LiveDialogs live;
    live.Then(testsupport::TypeFileName("tower")).Then(testsupport::ClickBoxButton(QMessageBox::Yes));
    ASSERT_TRUE(Send(ui::kCmdFileSaveAs));
    EXPECT_TRUE(live.Worked());
  }
  EXPECT_NE(dir.Read("Tower.QST"), tower);
  EXPECT_FALSE(dir.Exists("tower.qst"));
  EXPECT_EQ(Docs()[0]->Title(), "Tower.QST");
}

TEST_F(FileCommandsTest, RecentQuestOpensAndOneThatIsGoneLeavesTheList) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  WriteQuest("tower.qst", {{"bell"}, {}, {}, {}});
  ASSERT_TRUE(Start({"tower.qst"}));
  ASSERT_TRUE(Send(ui::kCmdFileClose));
  script.AnswerFile(dir.Native("castle.qst"));
  ASSERT_TRUE(Send(ui::kCmdFileOpen));
  ui::RecentFileList& recent = *app->RecentFiles();
  ASSERT_EQ(recent.Count(), 2);
  EXPECT_EQ(recent[1], dir.Native("tower.qst"));

  ASSERT_TRUE(Send(ui::kCmdRecentFirst + 1));
  ASSERT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Docs()[0]->Title(), "tower.qst");

  dir.Write("castle.qst", std::string_view("QST"));  // no longer a quest
  const int before = recent.Count();
  boxes.boxes.clear();
  ASSERT_TRUE(Send(ui::kCmdRecentFirst + 1));
  EXPECT_TRUE(Docs().empty()) << "the open quest was closed first";
  EXPECT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(recent.Count(), before - 1);
}

TEST_F(FileCommandsTest, ClosingTheQuestWindowForgetsTheQuestToReopen) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  ASSERT_TRUE(Start({"castle.qst"}));
  ASSERT_EQ(Remembered(), "castle.qst");
  auto* child = dynamic_cast<kelvar::CChildFrame*>(Main().ActiveChild());
  ASSERT_NE(child, nullptr);
  child->Window()->close();
  Settle();
  EXPECT_TRUE(Docs().empty());
  EXPECT_EQ(Remembered(), "");
  EXPECT_TRUE(platform::Profile().GetBinary("Windows", "sub").has_value()) << "its placement is kept";
}

TEST_F(FileCommandsTest, KeptQuestStaysRememberedWhenClosingIsCancelled) {
  StartChanged();
  auto* child = dynamic_cast<kelvar::CChildFrame*>(Main().ActiveChild());
  ASSERT_NE(child, nullptr);
  boxes.Answer(platform::kIdCancel);
  child->Window()->close();
  Settle();
  EXPECT_EQ(Docs().size(), 1u);
  EXPECT_EQ(Remembered(), "castle.qst");
}

TEST_F(FileCommandsTest, SavedPlacementOfTheQuestWindowIsUsedNextTime) {
  WriteQuest("castle.qst", {{"gate"}, {}, {}, {}});
  ASSERT_TRUE(Start({"castle.qst"}));
  auto* child = dynamic_cast<kelvar::CChildFrame*>(Main().ActiveChild());
  ASSERT_NE(child, nullptr);
  child->Window()->showMaximized();
  child->SavePlacement();
  ASSERT_TRUE(Send(ui::kCmdFileClose));
  script.AnswerFile(dir.Native("castle.qst"));
  ASSERT_TRUE(Send(ui::kCmdFileOpen));
  child = dynamic_cast<kelvar::CChildFrame*>(Main().ActiveChild());
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(child->Window()->isMaximized());
}

// Save keeps what the user set on the quest's file: a quest opened through a
// link is saved into the file the link names, the link staying, and a
// private quest stays private.
TEST_F(FileCommandsTest, SaveKeepsALinkAndThePermissionsOfTheQuestFile) {
  dir.MakeDir("shared");
  WriteQuest("shared/castle.qst", {{"gate"}, {}, {}, {}});
  ASSERT_EQ(::symlink("shared/castle.qst", dir.Native("castle.qst").c_str()), 0);
  WriteQuest("private.qst", {{"gate"}, {}, {}, {}});
  ASSERT_EQ(::chmod(dir.Native("private.qst").c_str(), 0600), 0);
  struct Case {
    const char* opened;
    const char* written;
  };
  const Case cases[] = {{"castle.qst", "shared/castle.qst"}, {"private.qst", "private.qst"}};
  auto instances = [] {
    int n = 0;
    for (const ElementInstance* i = Quest().machines ? Quest().machines->instances : nullptr; i; i = i->next) ++n;
    return n;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opened);
    ASSERT_TRUE(Start({c.opened}));
    SelectInTree(kTreeMachines, "gate");
    ASSERT_TRUE(Send(kelvar::kCmdMachineInstanceAdd));
    ASSERT_TRUE(Send(ui::kCmdFileSave));
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(BoxTexts().empty());
    app->ExitInstance();
    app.reset();
    Settle();
    // What was saved is in the file the name stands for.
    ASSERT_TRUE(Start({c.written}));
    EXPECT_EQ(instances(), 2);
    app->ExitInstance();
    app.reset();
    Settle();
  }
  struct stat st {};
  ASSERT_EQ(::lstat(dir.Native("castle.qst").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced";
  ASSERT_EQ(::stat(dir.Native("private.qst").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

}  // namespace
}  // namespace kelvartest
