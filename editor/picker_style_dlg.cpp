#include "editor/picker_style_dlg.h"

#include <QBoxLayout>

#include "editor/preview_list_box.h"
#include "quest/tile_palette.h"

namespace kelvar {

CStyleDlg::CStyleDlg(const TileCategory* initial, CRoom* room, QWidget* parent)
    : CPickerDlg(kIdd, "Style...", false, parent), value(initial), list_(new CStylePreviewListBox(this)) {
  list_->setObjectName("list1089");
  SetList(list_);
  list_->setMinimumSize(260, 400);
  list_->SetRoom(room);
  Body()->addWidget(list_, 1);
  list_->onSelChange = [this] {
    const int row = list_->GetCurSel();
    if (row >= 0) value = reinterpret_cast<const TileCategory*>(list_->GetItemData(row));
  };
}

bool CStyleDlg::OnInitDialog() {
  list_->ResetContent();
  for (const TileCategory& category : TilePalette().Categories())
    list_->AddString(category.label, reinterpret_cast<std::intptr_t>(&category));
  if (value) list_->SelectString(value->label);
  return true;
}

}  // namespace kelvar
