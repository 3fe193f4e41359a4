#include "editor/picker_mesh_dlg.h"

#include <QBoxLayout>

#include "editor/edit_modes.h"
#include "editor/preview_list_box.h"
#include "quest/room.h"
#include "render/bank_list.h"

namespace kelvar {

CMeshDlg::CMeshDlg(CBankList* blockSet, std::string initial, QWidget* parent)
    : CPickerDlg(kIdd, "Mesh...", false, parent),
      value(std::move(initial)),
      blockSet_(blockSet),
      list_(new CMeshPickPreviewListBox(this)) {
  list_->setObjectName("list1000");
  SetList(list_);
  list_->setMinimumSize(260, 400);
  list_->SetBank(blockSet);
  Body()->addWidget(list_, 1);
  list_->onSelChange = [this] {
    const int row = list_->GetCurSel();
    if (row >= 0) value = list_->GetText(row);
  };
}

bool CMeshDlg::OnInitDialog() {
  list_->ResetContent();
  if (blockSet_)
    for (int i = 0; i < blockSet_->GetCount(); ++i) list_->AddString(blockSet_->GetName(i), i);
  list_->SelectString(value);
  return true;
}

bool ChooseBlockWithPicker(const std::vector<std::string>& /*names*/, std::string& choice) {
  IRoomEditMode* mode = RoomEditMode();
  CRoom* room = mode ? mode->EditedRoom() : nullptr;
  if (!room) return false;
  CMeshDlg dialog(&room->blockSet, choice);
  if (dialog.DoModal() != platform::ui::kDialogOk || dialog.value.empty()) return false;
  choice = dialog.value;
  return true;
}

}  // namespace kelvar
