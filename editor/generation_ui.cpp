#include "editor/generation_ui.h"

#include <string>

#include "editor/generation_error_dlg.h"
#include "editor/generation_progress_dlg.h"
#include "editor/quest_generation_dlg.h"

namespace kelvar {

GenerationUi::GenerationUi() = default;
GenerationUi::~GenerationUi() = default;

bool GenerationUi::RunGenerationDialog(std::string& information, std::string& author, bool& debugMode) {
  CQuestGenerationDlg dialog;
  dialog.information = information;
  dialog.author = author;
  dialog.debugMode = debugMode;
  if (dialog.DoModal() != platform::ui::kDialogOk) return false;
  information = dialog.information;
  author = dialog.author;
  debugMode = dialog.debugMode;
  return true;
}

void GenerationUi::ShowProgress(int range) {
  progress_ = std::make_unique<CGenerationProgressDlg>();
  progress_->SetRange(0, range);
  progress_->ShowModeless();
}

void GenerationUi::StepProgress() {
  if (progress_) progress_->StepIt();
}

void GenerationUi::HideProgress() {
  if (!progress_) return;
  progress_->EndModeless();
  progress_.reset();
}

void GenerationUi::ShowErrorReport(std::string_view report) {
  CGenerationErrorDlg dialog;
  dialog.report = std::string(report);
  dialog.DoModal();
}

}  // namespace kelvar
