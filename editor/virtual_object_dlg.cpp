#include "editor/virtual_object_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "editor/dialog_strings.h"
#include "editor/key_field.h"
#include "editor/picker_support.h"
#include "platform/core/paths.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"

namespace kelvar {

CVirtualObjectDlg::CVirtualObjectDlg(CQuestObject* editedObject, QWidget* parent)
    : Dialog(parent), edited(editedObject), keyEdit_(new QLineEdit(this)) {
  setWindowTitle("Virtual Object...");
  if (edited) key = edited->key;
  keyEdit_->setObjectName("edit1006");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Entrez le nom du nouvel objet VIRTUEL.", this));
  layout->addWidget(keyEdit_);
  layout->addWidget(buttons);
}

bool CVirtualObjectDlg::OnInitDialog() {
  SetKeyField(keyEdit_, key);
  return true;
}

void CVirtualObjectDlg::OnOK() {
  const auto typed = TakeKeyField(keyEdit_);
  if (!typed) return;
  key = *typed;
  bool taken = key.empty() || FindItemObject(key) >= 0;
  for (const CQuestObject* o = Quest().questObjects; o && !taken; o = o->next)
    taken = o != edited && platform::EqualsNoCase(o->key, key);
  if (taken) return ShowStringBox(kIdsObjectKeyTaken);
  Dialog::OnOK();
}

}  // namespace kelvar
