#pragma once
// The About box: the program's name and version.
#include "platform/ui/dialog.h"

namespace pavix {

class CPavixAboutDlg : public platform::ui::Dialog {
 public:
  explicit CPavixAboutDlg(QWidget* parent = nullptr);
};

}  // namespace pavix
