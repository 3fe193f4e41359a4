#include "platform/ui/list_box.h"

#include <QFocusEvent>
#include <QMouseEvent>

#include "platform/core/paths.h"
#include "platform/ui/text_codec.h"

namespace platform::ui {
namespace {

constexpr int kDataRole = Qt::UserRole;
constexpr int kBytesRole = Qt::UserRole + 1;

QListWidgetItem* MakeItem(std::string_view text, std::intptr_t data) {
  auto* item = new QListWidgetItem(FromAnsi(text));
  item->setData(kDataRole, QVariant::fromValue<qlonglong>(data));
  item->setData(kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
  return item;
}

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (!quiet_) Notify();
  });
}

void ListBox::Notify() {
  notified_ = true;
  if (onSelChange) onSelChange();
}

int ListBox::AddString(std::string_view text, std::intptr_t data) {
  return InsertString(count(), text, data);
}

int ListBox::InsertString(int row, std::string_view text, std::intptr_t data) {
  if (row < 0 || row > count()) row = count();
  quiet_ = true;
  insertItem(row, MakeItem(text, data));
  quiet_ = false;
  return row;
}

void ListBox::DeleteString(int row) {
  if (row < 0 || row >= count()) return;
  // The item view would hand the selection of a deleted row to its neighbour.
  const bool wasSelected = row == GetCurSel();
  quiet_ = true;
  delete takeItem(row);
  quiet_ = false;
  if (wasSelected) ClearChoice();
}

void ListBox::ResetContent() {
  quiet_ = true;
  clear();
  quiet_ = false;
}

std::string ListBox::GetText(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->data(kBytesRole).toByteArray().toStdString() : std::string();
}

std::intptr_t ListBox::GetItemData(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? static_cast<std::intptr_t>(it->data(kDataRole).toLongLong()) : 0;
}

int ListBox::GetCurSel() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? -1 : row(selected.front());
}

void ListBox::SetCurSel(int row) {
  if (row < 0 || row >= count()) {
    ClearChoice();
    return;
  }
  quiet_ = true;
  setCurrentRow(row);
  item(row)->setSelected(true);
  scrollToItem(item(row));
  quiet_ = false;
}

void ListBox::ClearChoice() {
  quiet_ = true;
  clearSelection();
  selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  quiet_ = false;
}

int ListBox::SelectString(std::string_view prefix) {
  if (prefix.empty()) return -1;
  for (int i = 0; i < count(); ++i) {
    if (StartsWithNoCase(GetText(i), prefix)) {
      SetCurSel(i);
      return i;
    }
  }
  return -1;
}

void ListBox::focusInEvent(QFocusEvent* event) {
  // The item view makes the first row current when it gains the focus by the
  // keyboard or by activation; handing it the event as a mouse focus keeps
  // it from doing so, and the row stays unchosen until the user picks one.
  if (!currentIndex().isValid() && event->reason() != Qt::MouseFocusReason) {
    QFocusEvent asMouse(event->type(), Qt::MouseFocusReason);
    QListWidget::focusInEvent(&asMouse);
    return;
  }
  QListWidget::focusInEvent(event);
}

void ListBox::mousePressEvent(QMouseEvent* event) {
  // A press beside the rows takes the focus and leaves the choice as it is
  // (the item view would clear the selection).
  if (!itemAt(event->position().toPoint())) {
    setFocus(Qt::MouseFocusReason);
    event->accept();
    return;
  }
  notified_ = false;
  QListWidget::mousePressEvent(event);
  // A click on the row already selected is the user's choice all the same.
  if (!notified_ && event->button() == Qt::LeftButton) {
    const QListWidgetItem* hit = itemAt(event->position().toPoint());
    if (hit && row(hit) == GetCurSel()) Notify();
  }
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListWidget::mouseDoubleClickEvent(event);
  const QListWidgetItem* hit = itemAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && hit && onDoubleClick) onDoubleClick();
}

}  // namespace platform::ui
