// The quest window inside the main frame: its title when maximised, the
// workspace's scroll bars, and moving between its panes with F6.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>

#include "editor/child_frame.h"
#include "editor/kelvar_commands.h"
#include "editor/left_view.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"

namespace kelvartest {
namespace {

using namespace kelvar;

class ChildFrameTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    WriteQuest("castle.qst", {{"gate", "bell", "stair"}, {"orc"}, {}, {"hall"}});
    ASSERT_TRUE(StartWithModes({"castle.qst"}));
    Main().resize(1000, 700);
    Main().show();
    Settle();
    child = Main().ActiveChild();
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child->Window(), nullptr);
  }
  platform::ui::ChildFrame* child = nullptr;
};

TEST_F(ChildFrameTest, MaximisedQuestWindowNamesTheQuestOnce) {
  child->Window()->showNormal();
  Settle();
  EXPECT_EQ(Main().windowTitle(), "Kelvar - castle.qst");
  child->Window()->showMaximized();
  Settle();
  EXPECT_EQ(Main().windowTitle(), "Kelvar - [castle.qst]");
  EXPECT_EQ(child->Window()->windowTitle(), "castle.qst");
  // A title refresh while maximised (as a save does) keeps it so.
  Main().UpdateFrameTitle();
  EXPECT_EQ(Main().windowTitle(), "Kelvar - [castle.qst]");
  child->Window()->showNormal();
  Settle();
  EXPECT_EQ(Main().windowTitle(), "Kelvar - castle.qst");
}

TEST_F(ChildFrameTest, WorkspaceScrollsToAQuestWindowLargerThanIt) {
  QMdiArea* workspace = Main().Workspace();
  child->Window()->showNormal();
  child->Window()->setGeometry(0, 0, 900, 600);
  Main().resize(400, 300);
  Settle();
  QScrollBar* across = workspace->horizontalScrollBar();
  QScrollBar* down = workspace->verticalScrollBar();
  EXPECT_TRUE(across->isVisible());
  EXPECT_TRUE(down->isVisible());
  EXPECT_GT(across->maximum(), 0);
  EXPECT_GT(down->maximum(), 0);
  // Scrolled to the end, the window's far corner is inside the workspace.
  across->setValue(across->maximum());
  down->setValue(down->maximum());
  Settle();
  const QRect shown = child->Window()->geometry();
  const QRect viewport = workspace->viewport()->rect();
  EXPECT_LE(shown.right(), viewport.right());
  EXPECT_LE(shown.bottom(), viewport.bottom());
  // Large enough again, the bars go.
  Main().resize(1200, 900);
  Settle();
  EXPECT_FALSE(across->isVisible());
  EXPECT_FALSE(down->isVisible());
}

TEST_F(ChildFrameTest, NextAndPreviousPaneGiveThePaneTheKeys) {
  QApplication::setActiveWindow(&Main());
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
  CRoomView* room = CRoomView::Instance();
  ASSERT_NE(room, nullptr);
  room->setFocus();
  Settle();
  ASSERT_TRUE(room->hasFocus());
  CQuestTreeCtrl& machines = QuestTree(kTreeMachines);
  SelectInTree(kTreeMachines, "gate");

  struct Step {
    Qt::KeyboardModifiers mods;
    bool treeFocused;
  };
  // F6 from the room view goes to the tree; F6 again back to the room view;
  // Shift+F6 goes the other way round (with two panes, to the tree again).
  const Step steps[] = {{Qt::NoModifier, true}, {Qt::NoModifier, false}, {Qt::ShiftModifier, true}};
  for (const Step& step : steps) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, step.mods);
    Settle();
    EXPECT_EQ(QApplication::focusWidget() == machines.Widget(), step.treeFocused);
    EXPECT_EQ(room->hasFocus(), !step.treeFocused);
    EXPECT_EQ(Main().ActiveView() == CLeftView::Instance(), step.treeFocused);
  }
  // The arrow keys now move the tree's selection.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  Settle();
  EXPECT_EQ(machines.GetItemText(machines.GetSelectedItem()), "bell");
}

}  // namespace
}  // namespace kelvartest
