#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest/QTest>

#include "platform/ui/accelerator_table.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/dialog.h"
#include "platform/ui/string_table.h"
#include "ui_test_support.h"

using namespace platform::ui;

namespace {

QAction* FindAction(const QList<QAction*>& actions, int id) {
  for (QAction* a : actions)
    if (ActionCommand(a) == id) return a;
  return nullptr;
}

QMenu* TopMenu(FrameWindow& frame, int index) {
  return frame.menuBar()->actions().at(index)->menu();
}

class FrameTest : public uitest::MdiTest {
 protected:
  void SetUp() override {
    MdiTest::SetUp();
    Strings().Clear();
    Strings().Set(32812, "Move Instance\nMove Instance (M)");
    Strings().Set(32813, "Select\nSelect  (S)");
    main->OnCommand(32812, [this] { tool = 0; });
    main->OnCommand(32813, [this] { tool = 1; });
    main->OnUpdate(32812, [this](CommandState& s) { s.SetCheck(tool == 0); });
    main->OnUpdate(32813, [this](CommandState& s) {
      s.Enable(toolsEnabled);
      s.SetCheck(tool == 1);
    });
  }
  void TearDown() override {
    Strings().Clear();
    MdiTest::TearDown();
  }
  int tool = 0;
  bool toolsEnabled = true;
};

TEST_F(FrameTest, MenusRunTheirUpdateRulesBeforeShowing) {
  main->SetMenu({Popup("&Edit", {Item("&Move objects", 32812), Item("&Select", 32813), Separator(),
                                 Item("&Unhandled", 32777)})});
  QMenu* edit = TopMenu(*main, 0);
  ASSERT_NE(edit, nullptr);
  tool = 1;
  toolsEnabled = false;
  emit edit->aboutToShow();
  EXPECT_FALSE(FindAction(edit->actions(), 32812)->isChecked());
  EXPECT_FALSE(FindAction(edit->actions(), 32813)->isEnabled());
  EXPECT_FALSE(FindAction(edit->actions(), 32777)->isEnabled());  // nobody handles it
  toolsEnabled = true;
  emit edit->aboutToShow();
  EXPECT_TRUE(FindAction(edit->actions(), 32813)->isEnabled());
  EXPECT_TRUE(FindAction(edit->actions(), 32813)->isChecked());
  EXPECT_EQ(FindAction(edit->actions(), 32812)->statusTip(), QString("Move Instance"));
}

TEST_F(FrameTest, ChoosingAMenuItemRoutesItsCommand) {
  main->SetMenu({Popup("&Edit", {Item("&Select", 32813)})});
  QAction* select = FindAction(TopMenu(*main, 0)->actions(), 32813);
  select->trigger();
  EXPECT_EQ(tool, 1);
}

TEST_F(FrameTest, RadioRuleMarksTheItemAsRadio) {
  int language = 1;
  for (int i = 0; i < 3; ++i) {
    main->OnCommand(32841 + i, [&language, i] { language = i; });
    main->OnUpdate(32841 + i, [&language, i](CommandState& s) { s.SetRadio(language == i); });
  }
  main->SetMenu({Popup("Text", {Popup("Default Language", {Item("&French", 32841), Item("&English", 32842),
                                                           Item("&German", 32843)})})});
  QMenu* sub = TopMenu(*main, 0)->actions().at(0)->menu();
  ASSERT_NE(sub, nullptr);
  emit sub->aboutToShow();
  int checked = 0;
  for (QAction* a : sub->actions()) checked += a->isChecked();
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(FindAction(sub->actions(), 32842)->isChecked());
  EXPECT_NE(FindAction(sub->actions(), 32842)->actionGroup(), nullptr);  // drawn as a radio mark
  main->SendCommand(32843);
  emit sub->aboutToShow();
  EXPECT_TRUE(FindAction(sub->actions(), 32843)->isChecked());
  EXPECT_FALSE(FindAction(sub->actions(), 32842)->isChecked());
}

TEST_F(FrameTest, RecentFilePlaceholderShowsTheListWhenTheMenuOpens) {
  main->SetMenu({Popup("&File", {Item("&New", kCmdFileNew), Separator(), Item("Recent File", kCmdRecentFirst),
                                 Separator(), Item("&Quit", kCmdAppExit)})});
  QMenu* file = TopMenu(*main, 0);
  emit file->aboutToShow();
  QAction* placeholder = FindAction(file->actions(), kCmdRecentFirst);
  ASSERT_NE(placeholder, nullptr);
  EXPECT_TRUE(placeholder->isVisible());
  EXPECT_FALSE(placeholder->isEnabled());

  app->AddToRecentFileList(dir.Native("a.qst"));
  app->AddToRecentFileList("/elsewhere/b&c.qst");
  emit file->aboutToShow();
  QStringList shown;
  for (QAction* a : file->actions())
    if (a->isVisible() && ActionCommand(a) >= kCmdRecentFirst && ActionCommand(a) <= kCmdRecentLast) {
      shown << a->text();
      EXPECT_TRUE(a->isEnabled());
    }
  EXPECT_EQ(shown, (QStringList{"&1 /elsewhere/b&&c.qst", "&2 a.qst"}));
  emit file->aboutToShow();  // shown again: no duplicates
  int count = 0;
  for (QAction* a : file->actions()) count += a->isVisible() && ActionCommand(a) >= kCmdRecentFirst &&
                                             ActionCommand(a) <= kCmdRecentLast;
  EXPECT_EQ(count, 2);
}

TEST_F(FrameTest, BandsAreFoundShownAndHiddenById) {
  main->AddToolBar({kMainToolBarId, "", {kCmdFileNew, kCmdFileOpen, 0, kCmdAppAbout}, {}});
  main->AddToolBar({152, "View", {32790, 32791}, {}});
  main->AddToolBar({167, "Edit", {32812, 0, 32813}, {}});
  main->show();
  EXPECT_TRUE(main->IsBandVisible(167));
  main->ShowBand(167, false);
  EXPECT_FALSE(main->IsBandVisible(167));
  EXPECT_TRUE(main->IsBandVisible(152));
  main->ShowBand(167, true);
  EXPECT_TRUE(main->IsBandVisible(167));
  EXPECT_EQ(main->Band(999), nullptr);
  main->ShowBand(999, false);  // no such band: nothing

  // The toolbar toggle is checked while the main toolbar shows.
  EXPECT_TRUE(main->QueryCommand(kCmdViewToolBar).checked);
  main->SendCommand(kCmdViewToolBar);
  EXPECT_FALSE(main->IsBandVisible(kMainToolBarId));
  EXPECT_FALSE(main->QueryCommand(kCmdViewToolBar).checked);
}

TEST_F(FrameTest, ToolbarButtonsFollowUpdateRulesWhenIdle) {
  QToolBar* bar = main->AddToolBar({167, "Edit", {32812, 0, 32813}, {}});
  main->show();
  QAction* select = FindAction(bar->actions(), 32813);
  ASSERT_NE(select, nullptr);
  EXPECT_EQ(select->toolTip(), QString("Select  (S)"));
  EXPECT_EQ(select->statusTip(), QString("Select"));
  EXPECT_TRUE(select->isEnabled());
  toolsEnabled = false;
  app->RunIdle();
  EXPECT_FALSE(select->isEnabled());
  toolsEnabled = true;
  tool = 1;
  app->RunIdle();
  EXPECT_TRUE(select->isEnabled());
  EXPECT_TRUE(select->isChecked());
  EXPECT_FALSE(FindAction(bar->actions(), 32812)->isChecked());
}

TEST_F(FrameTest, IdleRunsByItselfAfterACommand) {
  QToolBar* bar = main->AddToolBar({167, "Edit", {32812, 32813}, {}});
  main->show();
  main->SendCommand(32813);
  uitest::Settle();
  EXPECT_TRUE(FindAction(bar->actions(), 32813)->isChecked());
}

TEST_F(FrameTest, StatusBarShowsFlyByTextWhileHoveringThenReady) {
  main->CreateStatusBar({"MAJ", "NUM", "DEF"});
  QToolBar* bar = main->AddToolBar({167, "Edit", {32812}, {}});
  main->show();
  EXPECT_EQ(main->MessageText(), "Ready");
  QAction* move = FindAction(bar->actions(), 32812);
  move->showStatusText(bar);
  EXPECT_EQ(main->MessageText(), "Move Instance");
  main->statusBar()->clearMessage();
  EXPECT_EQ(main->MessageText(), "Ready");
  // The status bar toggle.
  EXPECT_TRUE(main->QueryCommand(kCmdViewStatusBar).checked);
  main->SendCommand(kCmdViewStatusBar);
  EXPECT_FALSE(main->QueryCommand(kCmdViewStatusBar).checked);
}

TEST_F(FrameTest, AcceleratorTablesSwapAndActOnlyInTheMainWindow) {
  AcceleratorTable map(128, {{Qt::Key_S, 0, 32813}, {Qt::Key_M, 0, 32812}, {Qt::Key_Tab, 0, 32791}});
  AcceleratorTable room(186, {{Qt::Key_S, 0, 32834}, {Qt::Key_S, kModCtrl, 32796}, {Qt::Key_Tab, 0, 32790}});
  std::vector<int> ran;
  for (int id : {32834, 32796, 32790, 32791}) main->OnCommand(id, [&ran, id] { ran.push_back(id); });
  main->show();
  main->activateWindow();

  main->SetAccelerators(&map);
  QTest::keyClick(main, Qt::Key_S);
  EXPECT_EQ(tool, 1);
  QTest::keyClick(main, Qt::Key_Tab);
  EXPECT_EQ(ran, std::vector<int>{32791});

  main->SetAccelerators(&room);
  tool = 0;
  QTest::keyClick(main, Qt::Key_S);
  QTest::keyClick(main, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(main, Qt::Key_Tab);
  EXPECT_EQ(tool, 0);  // S is Style now, not Select
  EXPECT_EQ(ran, (std::vector<int>{32791, 32834, 32796, 32790}));

  // A key in another window is not an accelerator.
  QWidget other;
  other.show();
  QTest::keyClick(&other, Qt::Key_S);
  EXPECT_EQ(ran.size(), 4u);

  // A disabled command's key does nothing.
  main->SetAccelerators(&map);
  toolsEnabled = false;
  QTest::keyClick(main, Qt::Key_S);
  EXPECT_EQ(tool, 0);
}

TEST(AcceleratorTable, ModifiersMustMatchExactly) {
  uitest::EnsureQtApp();  // key events need the input devices
  AcceleratorTable t(128, {{Qt::Key_R, kModShift, 32800}, {Qt::Key_Z, kModCtrl, 57643},
                           {Qt::Key_Backspace, kModAlt, 57643}, {Qt::Key_Tab, kModShift, 1}});
  EXPECT_EQ(t.Find(Qt::Key_R, kModShift), 32800);
  EXPECT_EQ(t.Find(Qt::Key_R, 0), 0);
  EXPECT_EQ(t.Find(Qt::Key_R, kModShift | kModCtrl), 0);
  EXPECT_EQ(t.Find(Qt::Key_Backspace, kModAlt), 57643);
  QKeyEvent backtab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(t.Find(backtab), 1);
  QKeyEvent shiftR(QEvent::KeyPress, Qt::Key_R, Qt::ShiftModifier, "R");
  EXPECT_EQ(t.Find(shiftR), 32800);
}

}  // namespace
