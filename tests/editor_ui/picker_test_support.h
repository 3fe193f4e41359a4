#pragma once
// Choosing a picker's row as the user would, which notifies the dialog.
#include <string_view>

#include <gtest/gtest.h>

#include "editor/picker_list_box.h"

namespace kelvartest {

inline void UserSelects(kelvar::CPickerListBox& list, std::string_view text) {
  for (int i = 0; i < list.GetCount(); ++i) {
    if (list.GetText(i) == text) {
      list.setCurrentRow(i);
      return;
    }
  }
  ADD_FAILURE() << "no row " << text;
}

}  // namespace kelvartest
