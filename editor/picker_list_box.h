#pragma once
// A list box in the manner of the window system's: rows of text, each with
// an item value, one selection, and select-string. Only the user's changes
// of the selection call onSelChange, as the window system notifies them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <QListWidget>

namespace kelvar {

class CPickerListBox : public QListWidget {
 public:
  explicit CPickerListBox(QWidget* parent = nullptr);

  // Appends a row; its index.
  int AddString(std::string_view text, std::intptr_t data = 0);
  void ResetContent();
  int GetCount() const { return count(); }
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

  // Called after the user changed the selection.
  std::function<void()> onSelChange;

 private:
  bool quiet_ = false;
};

}  // namespace kelvar
