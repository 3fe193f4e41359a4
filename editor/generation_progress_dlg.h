#pragma once
// The notice shown while a quest is generated: a progress bar stepped once
// per room, object, monster and machine.
#include "platform/ui/dialog.h"

class QProgressBar;

namespace kelvar {

class CGenerationProgressDlg : public platform::ui::Dialog {
 public:
  explicit CGenerationProgressDlg(QWidget* parent = nullptr);

  void SetRange(int low, int high);
  // One step, painted at once.
  void StepIt();
  QProgressBar* Progress() const { return progress_; }

 private:
  QProgressBar* progress_;
};

}  // namespace kelvar
