#include "editor/instance_list_dlg.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/dialog.h"
#include "platform/ui/text_codec.h"
#include "quest/element_instance.h"

namespace kelvar {

QListWidget* BuildInstanceListDialog(platform::ui::Dialog& dialog, const char* title, InstanceButton add,
                                     InstanceButton remove, std::function<void()> onAdd,
                                     std::function<void()> onRemove) {
  dialog.setWindowTitle(title);
  auto* list = new QListWidget(&dialog);
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

void FillInstanceList(QListWidget* list, const ElementInstance* instances) {
  list->clear();
  for (const ElementInstance* i = instances; i; i = i->next) AddInstanceRow(list, i);
}

void AddInstanceRow(QListWidget* list, const ElementInstance* instance) {
  if (instance) list->addItem(platform::ui::FromAnsi(instance->name));
}

std::string TakeSelectedInstance(QListWidget* list) {
  const int row = list->currentRow();
  if (row < 0) return {};
  QListWidgetItem* item = list->takeItem(row);
  std::string name = platform::ui::ToAnsi(item->text());
  delete item;
  return name;
}

}  // namespace kelvar
