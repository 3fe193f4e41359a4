// The list box shown in a dialog and worked with the mouse and the keys: the
// focus chooses nothing, only the user's clicks and keys notify, and rows
// put in or taken out by the program leave the choice to the user.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"
#include "ui_test_support.h"

using namespace platform::ui;

namespace {

class ListBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uitest::EnsureQtApp();
    owner = std::make_unique<Dialog>();
    Dialog& dialog = *owner;
    list = new ListBox(&dialog);
    field = new QLineEdit(&dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(field);
    for (const char* name : {"alpha", "beta", "gamma"}) list->AddString(name, static_cast<std::intptr_t>(name[0]));
    list->onSelChange = [this] { notices.push_back(list->GetCurSel()); };
    list->onDoubleClick = [this] { ++doubleClicks; };
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }
  void TearDown() override { owner.reset(); }
  QPoint RowCentre(int row) { return list->visualItemRect(list->item(row)).center(); }

  std::unique_ptr<Dialog> owner;
  ListBox* list = nullptr;
  QLineEdit* field = nullptr;
  std::vector<int> notices;
  int doubleClicks = 0;
};

TEST_F(ListBoxTest, GainingTheFocusChoosesNothing) {
  field->setFocus();
  QTest::keyClick(field, Qt::Key_Backtab);  // to the list by the keyboard
  ASSERT_TRUE(list->hasFocus());
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_FALSE(list->currentIndex().isValid()) << "no row is made current";
  EXPECT_TRUE(notices.empty());
  // The first key that moves the selection chooses the first row.
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->GetCurSel(), 0);
  EXPECT_EQ(notices, std::vector<int>{0});
}

TEST_F(ListBoxTest, EveryClickOnARowNotifiesAndADoubleClickToo) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(2));
  EXPECT_EQ(notices, (std::vector<int>{1, 1, 2})) << "the row already selected notifies when clicked";
  EXPECT_EQ(list->GetText(2), "gamma");
  EXPECT_EQ(list->GetItemData(2), 'g');
  EXPECT_EQ(doubleClicks, 0);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(0));
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(list->GetCurSel(), 0);
  // A click below the last row changes nothing.
  notices.clear();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 2));
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(list->GetCurSel(), 0);
}

TEST_F(ListBoxTest, WhatTheProgramDoesIsNotNotified) {
  list->SetCurSel(1);
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_EQ(list->SelectString("GA"), 2) << "the first row beginning so, ignoring case";
  EXPECT_EQ(list->SelectString(""), -1);
  EXPECT_EQ(list->SelectString("delta"), -1);
  EXPECT_EQ(list->GetCurSel(), 2) << "no match keeps the selection";
  EXPECT_EQ(list->InsertString(0, "aardvark"), 0);
  EXPECT_EQ(list->GetCurSel(), 3) << "the selected row moved down with its text";
  list->DeleteString(0);
  EXPECT_EQ(list->GetCurSel(), 2) << "deleting another row keeps the selection on its text";
  EXPECT_EQ(list->GetText(2), "gamma");
  list->DeleteString(2);
  EXPECT_EQ(list->GetCurSel(), -1) << "deleting the selected row leaves none selected";
  EXPECT_FALSE(list->currentIndex().isValid());
  list->SetCurSel(-1);
  list->ResetContent();
  EXPECT_EQ(list->GetCount(), 0);
  EXPECT_TRUE(notices.empty());
}

}  // namespace
