#pragma once
// "Quest Generation...": the quest's information and author texts in the
// current language and the debug flag, edited before Generate Quest runs.
#include <string>

#include "platform/ui/dialog.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace kelvar {

class CQuestGenerationDlg : public platform::ui::Dialog {
 public:
  static constexpr int kInformationLimit = 256;
  static constexpr int kAuthorLimit = 64;

  explicit CQuestGenerationDlg(QWidget* parent = nullptr);

  // Game text (Windows-1252, lines ending in CR LF); read on OK.
  std::string information;
  std::string author;
  bool debugMode = true;

  QCheckBox* DebugCheck() const { return debug_; }
  QPlainTextEdit* InformationEdit() const { return informationEdit_; }
  QLineEdit* AuthorEdit() const { return authorEdit_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  QCheckBox* debug_;
  QPlainTextEdit* informationEdit_;
  QLineEdit* authorEdit_;
  int informationLimit_ = kInformationLimit;
};

}  // namespace kelvar
