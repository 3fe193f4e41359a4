#include "editor/picker_list_box.h"

#include "editor/generation_text.h"
#include "platform/core/paths.h"

namespace kelvar {

namespace {
constexpr int kDataRole = Qt::UserRole;
}

CPickerListBox::CPickerListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (!quiet_ && onSelChange) onSelChange();
  });
}

int CPickerListBox::AddString(std::string_view text, std::intptr_t data) {
  auto* item = new QListWidgetItem(GameTextToEdit(text));
  item->setData(kDataRole, QVariant::fromValue<qlonglong>(data));
  item->setData(Qt::UserRole + 1, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
  addItem(item);
  return count() - 1;
}

void CPickerListBox::ResetContent() {
  quiet_ = true;
  clear();
  quiet_ = false;
}

std::string CPickerListBox::GetText(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->data(Qt::UserRole + 1).toByteArray().toStdString() : std::string();
}

std::intptr_t CPickerListBox::GetItemData(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? static_cast<std::intptr_t>(it->data(kDataRole).toLongLong()) : 0;
}

int CPickerListBox::GetCurSel() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? -1 : row(selected.front());
}

void CPickerListBox::SetCurSel(int row) {
  quiet_ = true;
  if (row < 0 || row >= count()) {
    clearSelection();
  } else {
    setCurrentRow(row);
    item(row)->setSelected(true);
    scrollToItem(item(row));
  }
  quiet_ = false;
}

int CPickerListBox::SelectString(std::string_view prefix) {
  if (prefix.empty()) return -1;
  for (int i = 0; i < count(); ++i) {
    if (platform::StartsWithNoCase(GetText(i), prefix)) {
      SetCurSel(i);
      return i;
    }
  }
  return -1;
}

}  // namespace kelvar
