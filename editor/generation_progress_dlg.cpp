#include "editor/generation_progress_dlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kelvar {

CGenerationProgressDlg::CGenerationProgressDlg(QWidget* parent) : Dialog(parent), progress_(new QProgressBar(this)) {
  setWindowTitle("Kelvar");
  progress_->setObjectName("progress1110");
  progress_->setMinimumWidth(320);
  progress_->setTextVisible(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Generating quest. Please wait...", this));
  layout->addWidget(progress_);
}

void CGenerationProgressDlg::SetRange(int low, int high) {
  progress_->setRange(low, high > low ? high : low + 1);
  progress_->setValue(low);
}

void CGenerationProgressDlg::StepIt() {
  const int next = progress_->value() + 1;
  // Stepping past the end starts again from the beginning, as a progress control does.
  progress_->setValue(next > progress_->maximum() ? progress_->minimum() : next);
  if (isVisible()) progress_->repaint();
}

}  // namespace kelvar
