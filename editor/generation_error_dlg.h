#pragma once
// "Generation Error....": the generation log of a quest that was not packed.
#include <string>

#include "platform/ui/dialog.h"

class QPlainTextEdit;

namespace kelvar {

class CGenerationErrorDlg : public platform::ui::Dialog {
 public:
  explicit CGenerationErrorDlg(QWidget* parent = nullptr);

  // Game text, lines ending in CR LF.
  std::string report;
  QPlainTextEdit* ReportEdit() const { return edit_; }

 protected:
  bool OnInitDialog() override;

 private:
  QPlainTextEdit* edit_;
};

}  // namespace kelvar
