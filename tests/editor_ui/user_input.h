#pragma once
// Working a shown dialog as a user does: mouse clicks on its buttons and on
// the rows of its lists, keys typed into its fields.
#include <string_view>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

namespace kelvartest {

// Clicks the button whose text is `text` ("&Delete", the "&" may be left
// out); false when the dialog shows no such button or it is disabled.
inline bool ClickButton(QWidget& dialog, std::string_view text) {
  const QString wanted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).remove('&');
  bool found = false;
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
    if (QString(button->text()).remove('&') != wanted || button->window() != dialog.window()) continue;
    found = true;
    if (!button->isVisible() || !button->isEnabled()) continue;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
  }
  ADD_FAILURE() << (found ? "button cannot be clicked: " : "no button ") << text;
  return false;
}

// The list's row that shows `text`, scrolled into view; null (a failure)
// when there is none.
inline QListWidgetItem* RowShowing(QListWidget& list, std::string_view text) {
  for (int i = 0; i < list.count(); ++i) {
    QListWidgetItem* item = list.item(i);
    if (item->text().toStdString() != text) continue;
    list.scrollToItem(item);
    return item;
  }
  ADD_FAILURE() << "no row " << text;
  return nullptr;
}

// Clicks the middle of the list's row that shows `text`.
inline bool ClickRow(QListWidget& list, std::string_view text) {
  QListWidgetItem* item = RowShowing(list, text);
  if (item) QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
  return item != nullptr;
}

// A double click as the window system delivers it: a click, then the double click.
inline bool DoubleClickRow(QListWidget& list, std::string_view text) {
  QListWidgetItem* item = RowShowing(list, text);
  if (!item) return false;
  const QPoint at = list.visualItemRect(item).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  return true;
}

// Clicks the first column of the list view's row (top-level items).
inline void ClickTreeRow(QTreeWidget& list, int row, Qt::KeyboardModifiers modifiers = {}) {
  QTreeWidgetItem* item = list.topLevelItem(row);
  ASSERT_NE(item, nullptr) << "no row " << row;
  list.scrollToItem(item);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualItemRect(item).center());
}

// Replaces a field's text by typing, as a user who selected it all would.
inline void TypeInto(QWidget& field, std::string_view text) {
  field.setFocus();
  QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&field, Qt::Key_Delete);
  QTest::keyClicks(&field, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace kelvartest
