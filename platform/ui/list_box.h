#pragma once
// A list box in the manner of the window system's: rows of text, each with
// an item value, at most one selected row, select-string. It notifies only
// what the user does: a click on a row (also on the row already selected) or
// a key that moves the selection calls onSelChange; a double click on a row
// calls onDoubleClick. Gaining the focus selects nothing and makes no row
// current, so no caller can take a row the user never chose.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <QListWidget>

namespace platform::ui {

class ListBox : public QListWidget {
 public:
  explicit ListBox(QWidget* parent = nullptr);

  // Appends a row, or inserts it before `row` (past the end: appends); its index.
  int AddString(std::string_view text, std::intptr_t data = 0);
  int InsertString(int row, std::string_view text, std::intptr_t data = 0);
  // Removes a row. Deleting the selected row leaves none selected; another
  // row's selection stays with its text.
  void DeleteString(int row);
  void ResetContent();
  int GetCount() const { return count(); }
  // The row's text as the program's bytes.
  std::string GetText(int row) const;
  std::intptr_t GetItemData(int row) const;
  // The selected row, -1 when none.
  int GetCurSel() const;
  // Selects a row (-1: none) without notifying.
  void SetCurSel(int row);
  // Selects the first row whose text begins with the prefix, ignoring case,
  // without notifying; the row, or -1 (selection unchanged) when none does
  // or the prefix is empty.
  int SelectString(std::string_view prefix);

  std::function<void()> onSelChange;
  std::function<void()> onDoubleClick;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Notify();
  // Leaves no row selected or current, without notifying.
  void ClearChoice();

  bool quiet_ = false;
  bool notified_ = false;
};

}  // namespace platform::ui
