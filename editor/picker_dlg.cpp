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
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("button1");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  buttons->addWidget(ok);
  if (withCancel) {
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("button2");
    connect(cancel_, &QPushButton::clicked, this, [this] { OnCancel(); });
    buttons->addWidget(cancel_);
  }
  layout->addLayout(buttons);
}

}  // namespace kelvar
