#include "editor/picker_sound_dlg.h"

#include <QBoxLayout>

#include "audio/sound_table.h"
#include "editor/display_objects.h"
#include "editor/picker_list_box.h"
#include "quest/fixed_field.h"

namespace kelvar {

CSoundDlg::CSoundDlg(std::string initial, QWidget* parent)
    : CPickerDlg(kIdd, "Sound", true, parent), value(std::move(initial)), play(PlayBankSound),
      list_(new CPickerListBox(this)) {
  list_->setObjectName("list1000");
  SetList(list_);
  list_->setMinimumSize(220, 300);
  Body()->addWidget(list_, 1);
  list_->onSelChange = [this] {
    const int row = list_->GetCurSel();
    if (row < 0) return;
    value = list_->GetText(row);
    if (play) play(value.c_str());
  };
}

bool CSoundDlg::OnInitDialog() {
  list_->ResetContent();
  for (std::size_t i = 0; i < g_soundTable.Count(); ++i)
    list_->AddString(FieldText(g_soundTable.Row(i).name), static_cast<std::intptr_t>(i));
  list_->SelectString(value);
  return true;
}

}  // namespace kelvar
