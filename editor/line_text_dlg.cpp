#include "editor/line_text_dlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "datafiles/language_table.h"
#include "datafiles/multi_lang_text.h"
#include "editor/generation_text.h"
#include "editor/text_dlg.h"
#include "quest/script_names.h"

namespace kelvar {

CLineTextDlg::CLineTextDlg(QWidget* parent)
    : Dialog(parent),
      textEdit_(new QPlainTextEdit(this)),
      languageEdit_(new QLineEdit(this)),
      labelEdit_(new QLineEdit(this)) {
  setWindowTitle("Text...");
  textEdit_->setObjectName("edit1095");
  textEdit_->setTabChangesFocus(true);
  textEdit_->setMinimumSize(360, 90);
  languageEdit_->setObjectName("edit1086");
  languageEdit_->setReadOnly(true);
  labelEdit_->setObjectName("edit1087");
  labelEdit_->setReadOnly(true);

  QPushButton* ok = MakeOkButton();
  ok->setObjectName("button1094");
  QPushButton* cancel = MakeCancelButton();
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(languageEdit_);
  bottom->addStretch();
  bottom->addWidget(ok);
  bottom->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(labelEdit_);
  layout->addWidget(textEdit_);
  layout->addLayout(bottom);
}

bool CLineTextDlg::OnInitDialog() {
  textEdit_->setPlainText(GameTextToEdit(text));
  languageEdit_->setText(GameTextToEdit(languageName));
  labelEdit_->setText(GameTextToEdit(label));
  return true;
}

void CLineTextDlg::OnOK() {
  text = EditToGameText(textEdit_->toPlainText());
  if (const std::string fault = ScriptTextFault(text); !fault.empty()) {
    RefuseUnscriptable(UnscriptablePart{language, fault});
    textEdit_->setFocus();
    return;
  }
  Dialog::OnOK();
}

bool EditCurrentLanguage(CMultiLangText& text, std::string_view label) {
  const int language = g_languageTable.GetLanguage();
  CLineTextDlg dialog;
  dialog.text = text.Get(language);
  dialog.language = language;
  dialog.languageName = LanguageName(language);
  dialog.label = std::string(label);
  if (dialog.DoModal() != platform::ui::kDialogOk) return false;
  if (dialog.text == text.Get(language)) return false;
  text.Set(language, dialog.text.c_str());
  return true;
}

}  // namespace kelvar
