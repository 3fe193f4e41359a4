#include "meshedit/ui/init_dialog_bar.h"

namespace pavix {

bool CInitDialogBar::Create() { return CreateControls() && OnInitDialogBar(); }

bool CInitDialogBar::OnInitDialogBar() {
  UpdateData(false);
  return true;
}

}  // namespace pavix
