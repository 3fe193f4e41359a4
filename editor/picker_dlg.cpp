#include "editor/picker_dlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvar {

CPickerDlg::CPickerDlg(int dialogId, const char* title, bool withCancel, QWidget* parent)
    : Dialog(parent), dialogId_(dialogId) {
  setWindowTitle(title);
  setObjectName(QString("dialog%1").arg(dialogId));
  auto* layout = new QVBoxLayout(this);
  body_ = new QVBoxLayout;
  layout->addLayout(body_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton("OK", this);
  ok_->setObjectName("button1");
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
  buttons->addWidget(ok_);
  if (withCancel) {
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("button2");
    connect(cancel_, &QPushButton::clicked, this, [this] { OnCancel(); });
    buttons->addWidget(cancel_);
  }
  layout->addLayout(buttons);
}

void CPickerDlg::SetList(QWidget* list) {
  // The buttons were made first, so they would come first in the tab order
  // and take the focus when the dialog opens.
  QWidget::setTabOrder(list, ok_);
  if (cancel_) QWidget::setTabOrder(ok_, cancel_);
  list->setFocus();
}

}  // namespace kelvar
