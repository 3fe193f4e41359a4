#include "editor/generation_error_dlg.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/generation_text.h"

namespace kelvar {

CGenerationErrorDlg::CGenerationErrorDlg(QWidget* parent) : Dialog(parent), edit_(new QPlainTextEdit(this)) {
  setWindowTitle("Generation Error....");
  edit_->setObjectName("edit1088");
  edit_->setReadOnly(true);
  edit_->setMinimumSize(480, 240);
  QPushButton* ok = MakeOkButton();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(edit_);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

bool CGenerationErrorDlg::OnInitDialog() {
  edit_->setPlainText(GameTextToEdit(report));
  return true;
}

}  // namespace kelvar
