#include "editor/instance_list_dlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"
#include "quest/element_instance.h"

namespace kelvar {

platform::ui::ListBox* BuildInstanceListDialog(platform::ui::Dialog& dialog, const char* title, InstanceButton add,
                                     InstanceButton remove, std::function<void()> onAdd,
                                     std::function<void()> onRemove) {
  dialog.setWindowTitle(title);
  auto* list = new platform::ui::ListBox(&dialog);
  list->setObjectName("list1001");
  list->setMinimumSize(200, 200);
  auto* addButton = new QPushButton(add.text, &dialog);
  addButton->setObjectName(QString("button%1").arg(add.id));
  auto* removeButton = new QPushButton(remove.text, &dialog);
  removeButton->setObjectName(QString("button%1").arg(remove.id));
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  QObject::connect(addButton, &QPushButton::clicked, &dialog, std::move(onAdd));
  QObject::connect(removeButton, &QPushButton::clicked, &dialog, std::move(onRemove));
  QObject::connect(ok, &QPushButton::clicked, &dialog, [&dialog] { dialog.accept(); });
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(addButton);
  buttons->addWidget(removeButton);
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QHBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addLayout(buttons);
  return list;
}

void FillInstanceList(platform::ui::ListBox* list, const ElementInstance* instances) {
  list->ResetContent();
  for (const ElementInstance* i = instances; i; i = i->next) AddInstanceRow(list, i);
}

void AddInstanceRow(platform::ui::ListBox* list, const ElementInstance* instance) {
  if (instance) list->AddString(instance->name);
}

std::string TakeSelectedInstance(platform::ui::ListBox* list) {
  const int row = list->GetCurSel();
  if (row < 0) return {};
  std::string name = list->GetText(row);
  list->DeleteString(row);
  return name;
}

}  // namespace kelvar
