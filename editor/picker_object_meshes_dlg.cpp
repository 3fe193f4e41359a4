#include "editor/picker_object_meshes_dlg.h"

#include <QBoxLayout>

#include "editor/preview_list_box.h"
#include "quest/mesh_banks.h"

namespace kelvar {

CObjectMeshesDlg::CObjectMeshesDlg(std::string initial, QWidget* parent)
    : CPickerDlg(kIdd, "Object Meshes", true, parent), value(std::move(initial)), list_(new CMeshPreviewListBox(this)) {
  list_->setObjectName("list1000");
  SetList(list_);
  list_->setMinimumSize(260, 400);
  Body()->addWidget(list_, 1);
  list_->onSelChange = [this] {
    const int row = list_->GetCurSel();
    if (row >= 0) value = list_->GetText(row);
  };
}

bool CObjectMeshesDlg::OnInitDialog() {
  list_->ResetContent();
  const CBankList& bank = ObjectMeshBank();
  for (int i = 0; i < bank.GetCount(); ++i) list_->AddString(bank.GetName(i), i);
  list_->SelectString(value);
  return true;
}

}  // namespace kelvar
