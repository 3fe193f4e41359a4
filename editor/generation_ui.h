#pragma once
// Generate Quest's three windows as the quest document asks for them: the
// generation dialog, the progress notice and the error report.
#include <memory>

#include "quest/kelvar_doc.h"

namespace kelvar {

class CGenerationProgressDlg;

class GenerationUi : public IGenerationUi {
 public:
  GenerationUi();
  ~GenerationUi() override;

  bool RunGenerationDialog(std::string& information, std::string& author, bool& debugMode) override;
  void ShowProgress(int range) override;
  void StepProgress() override;
  void HideProgress() override;
  void ShowErrorReport(std::string_view report) override;

  // The progress notice while it is shown, else null.
  CGenerationProgressDlg* Progress() const { return progress_.get(); }

 private:
  std::unique_ptr<CGenerationProgressDlg> progress_;
};

}  // namespace kelvar
