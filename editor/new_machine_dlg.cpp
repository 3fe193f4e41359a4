#include "editor/new_machine_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "datafiles/file_utils.h"
#include "editor/dialog_strings.h"
#include "editor/generation_text.h"
#include "editor/key_field.h"
#include "platform/core/paths.h"
#include "platform/ui/string_table.h"
#include "platform/ui/text_codec.h"
#include "quest/machine.h"
#include "quest/quest_lists.h"

namespace kelvar {

bool CheckMachineKey(const std::string& key, const std::string& machineName, const void* edited) {
  if (!key.empty()) {
    for (const CMachine* m = Quest().machines; m; m = m->next) {
      if (m != edited && platform::EqualsNoCase(m->name, key)) {
        ShowStringBox(kIdsMachineNameTaken);
        return false;
      }
    }
    if (!IsAlphanumeric(key)) {
      ShowStringBox(kIdsInvalidKey);
      return false;
    }
  }
  if (machineName.empty() || key.empty()) {
    ShowStringBox(kIdsSelectMachine);
    return false;
  }
  return true;
}

CNewMachineDlg::CNewMachineDlg(QWidget* parent)
    : Dialog(parent),
      list_(new platform::ui::ListBox(this)),
      properties_(new QTreeWidget(this)),
      comment_(new QPlainTextEdit(this)),
      keyEdit_(new QLineEdit(this)) {
  setWindowTitle("Create new machine...");
  list_->setObjectName("list1001");
  properties_->setObjectName("list1005");
  properties_->setColumnCount(1);
  properties_->setHeaderLabels({platform::ui::FromAnsi(platform::ui::Strings().Get(kIdsPropertiesColumn))});
  properties_->setRootIsDecorated(false);
  comment_->setObjectName("edit1004");
  comment_->setReadOnly(true);
  comment_->setMaximumHeight(60);
  keyEdit_->setObjectName("edit1006");
  list_->onSelChange = [this] { OnSelChange(list_->GetCurSel()); };
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("&Next", QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { OnCancel(); });
  auto* right = new QVBoxLayout;
  right->addWidget(comment_);
  right->addWidget(properties_);
  right->addWidget(new QLabel("Enter new Key", this));
  right->addWidget(keyEdit_);
  auto* top = new QHBoxLayout;
  top->addWidget(list_);
  top->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
}

bool CNewMachineDlg::OnInitDialog() {
  machineType.clear();
  list_->ResetContent();
  for (const MachineDef* d = Quest().library.machines(); d; d = d->next) list_->AddString(d->key);
  SetKeyField(keyEdit_, key);
  return true;
}

void CNewMachineDlg::OnSelChange(int row) {
  const MachineDef* d = Quest().library.machines();
  for (int i = 0; d && i < row; ++i) d = d->next;
  if (row < 0 || !d) return;
  machineType = d->key;
  comment_->setPlainText(GameTextToEdit(d->comment.value_or("")));
  properties_->clear();
  for (const MachineParamDef* p = d->params; p; p = p->next)
    properties_->addTopLevelItem(new QTreeWidgetItem({GameTextToEdit(p->comment.value_or(""))}));
}

void CNewMachineDlg::OnOK() {
  const auto typed = TakeKeyField(keyEdit_);
  if (!typed) return;
  key = *typed;
  if (!CheckMachineKey(key, machineType, nullptr)) return;
  Dialog::OnOK();
}

}  // namespace kelvar
