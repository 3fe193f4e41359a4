#include "editor/picker_generic_traps_dlg.h"

#include <QBoxLayout>

#include "editor/preview_list_box.h"
#include "quest/fixed_field.h"
#include "quest/machine_def.h"
#include "quest/quest_lists.h"

namespace kelvar {

CGenericTrapsDlg::CGenericTrapsDlg(int initial, QWidget* parent)
    : CPickerDlg(kIdd, "Generic Traps...", true, parent), value(initial), list_(new CTrapPreviewListBox(this)) {
  list_->setObjectName("list1081");
  SetList(list_);
  list_->setMinimumSize(260, 400);
  Body()->addWidget(list_, 1);
  list_->onSelChange = [this] {
    const int row = list_->GetCurSel();
    if (row >= 0) value = reinterpret_cast<const GenericDef*>(list_->GetItemData(row))->type;
  };
}

bool CGenericTrapsDlg::OnInitDialog() {
  list_->ResetContent();
  for (const GenericDef* def = Quest().generics; def; def = def->next) {
    if (!def->editable) continue;
    const int row = list_->AddString(FieldText(def->key), reinterpret_cast<std::intptr_t>(def));
    if (value >= 0 && def->type == value && list_->GetCurSel() < 0) list_->SetCurSel(row);
  }
  return true;
}

}  // namespace kelvar
