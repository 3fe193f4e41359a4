#pragma once
// "Text...": one text in the current language, with the language's name and
// a label saying which field it is.
#include <string>
#include <string_view>

#include "platform/ui/dialog.h"

class CMultiLangText;
class QLineEdit;
class QPlainTextEdit;

namespace kelvar {

class CLineTextDlg : public platform::ui::Dialog {
 public:
  explicit CLineTextDlg(QWidget* parent = nullptr);

  std::string text;  // game text, CR LF inside
  int language = 1;  // the text's language index
  std::string languageName;
  std::string label;

  QPlainTextEdit* TextEdit() const { return textEdit_; }
  QLineEdit* LanguageEdit() const { return languageEdit_; }
  QLineEdit* LabelEdit() const { return labelEdit_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  QPlainTextEdit* textEdit_;
  QLineEdit* languageEdit_;
  QLineEdit* labelEdit_;
};

// Runs the dialog on the current language's text of `text`, labelled; on OK
// only that language is set (an empty text removes it). True when it changed.
bool EditCurrentLanguage(CMultiLangText& text, std::string_view label);

}  // namespace kelvar
