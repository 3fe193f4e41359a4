#include "editor/picker_objects_dlg.h"

#include <QBoxLayout>
#include <QPlainTextEdit>

#include "datafiles/item_object_table.h"
#include "editor/generation_text.h"
#include "editor/picker_support.h"
#include "editor/preview_list_box.h"
#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"

namespace kelvar {

CObjectsDlg::CObjectsDlg(std::string initial, bool questObjects, QWidget* parent)
    : CPickerDlg(kIdd, "Objects...", true, parent),
      value(std::move(initial)),
      withQuestObjects(questObjects),
      list_(new CObjectPreviewListBox(this)),
      descriptionEdit_(new QPlainTextEdit(this)) {
  list_->setObjectName("list1002");
  SetList(list_);
  list_->setMinimumSize(260, 320);
  descriptionEdit_->setObjectName("edit1003");
  descriptionEdit_->setReadOnly(true);
  descriptionEdit_->setMinimumHeight(90);
  Body()->addWidget(list_, 1);
  Body()->addWidget(descriptionEdit_);
  list_->onSelChange = [this] { OnSelChange(); };
}

bool CObjectsDlg::OnInitDialog() {
  list_->ResetContent();
  for (std::size_t i = 0; i < g_itemObjectTable.Count(); ++i) {
    const CItemObject& row = g_itemObjectTable.Row(i);
    if (IsPickableItemObject(row)) list_->AddString(FieldText(row.name), static_cast<std::intptr_t>(i));
  }
  if (withQuestObjects) {
    int position = 0;
    for (const CQuestObject* o = Quest().questObjects; o; o = o->next, ++position)
      list_->AddString(FieldText(o->key), kQuestEntryBase + position);
  }
  list_->SelectString(value);
  return true;
}

void CObjectsDlg::OnSelChange() {
  const int row = list_->GetCurSel();
  if (row < 0) return;
  const int data = static_cast<int>(list_->GetItemData(row));
  if (data < kQuestEntryBase) {
    if (data < 0 || static_cast<std::size_t>(data) >= g_itemObjectTable.Count()) return;
    const CItemObject& item = g_itemObjectTable.Row(static_cast<std::size_t>(data));
    value = FieldText(item.name);
    spriteName = ItemSpriteName(item);
    description.clear();
    item.Describe(description, false);
  } else {
    const CQuestObject* object = QuestObjectAt(data - kQuestEntryBase);
    if (!object) return;
    value = FieldText(object->key);
    description.clear();
    if (object->isVirtual) {
      spriteName.clear();
    } else if (const int origin = FindItemObject(FieldText(object->parent)); origin >= 0) {
      g_itemObjectTable.Row(static_cast<std::size_t>(origin)).Describe(description, false);
    }
  }
  descriptionEdit_->setPlainText(GameTextToEdit(description));
}

}  // namespace kelvar
