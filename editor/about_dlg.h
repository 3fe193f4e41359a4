#pragma once
// The About box: the program's icon, name and version.
#include "platform/ui/dialog.h"

namespace kelvar {

class CAboutDlg : public platform::ui::Dialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

 protected:
  bool OnInitDialog() override;
};

}  // namespace kelvar
