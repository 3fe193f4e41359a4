#include "editor/quest_generation_dlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "editor/generation_text.h"

namespace kelvar {

CQuestGenerationDlg::CQuestGenerationDlg(QWidget* parent)
    : Dialog(parent),
      debug_(new QCheckBox("Debug Mode", this)),
      informationEdit_(new QPlainTextEdit(this)),
      authorEdit_(new QLineEdit(this)) {
  setWindowTitle("Quest Generation...");
  debug_->setObjectName("check1033");
  informationEdit_->setObjectName("edit1003");
  authorEdit_->setObjectName("edit1112");
  informationEdit_->setTabChangesFocus(true);
  informationEdit_->setMinimumSize(360, 90);
  // Typing stops at the limit; a longer text already in the quest is shown whole.
  QObject::connect(informationEdit_, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = informationEdit_->toPlainText();
    if (text.size() <= informationLimit_) return;
    informationEdit_->setPlainText(text.left(informationLimit_));
    informationEdit_->moveCursor(QTextCursor::End);
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Kelvar is about to generate a new quest. Click Ok to Proceed....", this));
  layout->addWidget(debug_);
  layout->addWidget(new QLabel("Quest introduction...", this));
  layout->addWidget(informationEdit_);
  layout->addWidget(new QLabel("Author's information", this));
  layout->addWidget(authorEdit_);
  layout->addWidget(buttons);
}

bool CQuestGenerationDlg::OnInitDialog() {
  debug_->setChecked(debugMode);
  const QString shownInformation = GameTextToEdit(information);
  informationLimit_ = std::max<int>(kInformationLimit, static_cast<int>(shownInformation.size()));
  informationEdit_->setPlainText(shownInformation);
  const QString shownAuthor = GameTextToEdit(author);
  authorEdit_->setMaxLength(std::max<int>(kAuthorLimit, static_cast<int>(shownAuthor.size())));
  authorEdit_->setText(shownAuthor);
  return true;
}

void CQuestGenerationDlg::OnOK() {
  debugMode = debug_->isChecked();
  information = EditToGameText(informationEdit_->toPlainText());
  author = EditToGameText(authorEdit_->text());
  Dialog::OnOK();
}

}  // namespace kelvar
