#include "editor/picker_choice_list_dlg.h"

#include <QBoxLayout>

#include "editor/picker_list_box.h"
#include "quest/fixed_field.h"
#include "quest/machine_def.h"

namespace kelvar {

CChoiceListDlg::CChoiceListDlg(const ParamChoice* choices, std::string initial, QWidget* parent)
    : CPickerDlg(kIdd, "Choice List...", true, parent), value(std::move(initial)), choices_(choices),
      list_(new CPickerListBox(this)) {
  list_->setObjectName("list1000");
  SetList(list_);
  list_->setMinimumSize(220, 240);
  Body()->addWidget(list_, 1);
}

bool CChoiceListDlg::OnInitDialog() {
  list_->ResetContent();
  for (const ParamChoice* c = choices_; c; c = c->next) list_->AddString(FieldText(c->key), reinterpret_cast<std::intptr_t>(c));
  if (list_->SelectString(value) < 0 && list_->GetCount() > 0) list_->SetCurSel(0);
  return true;
}

void CChoiceListDlg::OnOK() {
  const int row = list_->GetCurSel();
  if (row < 0) return;
  value = FieldText(reinterpret_cast<const ParamChoice*>(list_->GetItemData(row))->key);
  EndDialog(platform::ui::kDialogOk);
}

}  // namespace kelvar
