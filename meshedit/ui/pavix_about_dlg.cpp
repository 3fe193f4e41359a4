#include "meshedit/ui/pavix_about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace pavix {

CPavixAboutDlg::CPavixAboutDlg(QWidget* parent) : Dialog(parent) {
  setWindowTitle("About pavix");
  auto* text = new QLabel("pavix\nMesh editor, version 1.0\nImports models, maps textures, edits sides and saves meshes",
                          this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(buttons);
}

}  // namespace pavix
