#include "editor/voice_encode_dlg.h"

#include <QLabel>
#include <QVBoxLayout>

namespace kelvar {

CVoiceEncodeDlg::CVoiceEncodeDlg(QWidget* parent) : Dialog(parent) {
  setWindowTitle("Voice File....");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Encoding wave file to Mpeg. Please wait...", this));
}

}  // namespace kelvar
