#include "editor/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "editor/toolbar_icons.h"

namespace kelvar {

CAboutDlg::CAboutDlg(QWidget* parent) : Dialog(parent) {
  setWindowTitle("About Kelvar");
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(32, 32));
  auto* text = new QLabel("Kelvar\nQuest editor, version 1.0\nRooms, monsters, objects and machines of custom quests",
                          this);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addSpacing(12);
  row->addWidget(text, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

bool CAboutDlg::OnInitDialog() { return true; }

}  // namespace kelvar
