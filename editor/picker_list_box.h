#pragma once
// The pickers' list: the window system's list box (item data, select-string,
// selection notices from the user only, nothing chosen on gaining the focus).
#include "platform/ui/list_box.h"

namespace kelvar {

class CPickerListBox : public platform::ui::ListBox {
 public:
  using ListBox::ListBox;
};

}  // namespace kelvar
