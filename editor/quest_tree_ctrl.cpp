#include "editor/quest_tree_ctrl.h"

#include <algorithm>
#include <array>

#include <QMouseEvent>

#include "editor/edit_modes.h"
#include "editor/kelvar_menus.h"
#include "platform/core/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/text_codec.h"

namespace kelvar {
namespace {

constexpr int kItemIdRole = Qt::UserRole + 1;

std::array<CQuestTreeCtrl, kTreeCount>& Trees() {
  static std::array<CQuestTreeCtrl, kTreeCount> trees;
  return trees;
}

}  // namespace

CQuestTreeCtrl& QuestTree(int category) { return Trees()[static_cast<size_t>(std::clamp(category, 0, kTreeCount - 1))]; }

QuestTreeWidget::QuestTreeWidget(CQuestTreeCtrl& tree, QWidget* parent) : QTreeWidget(parent), tree_(tree) {
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void QuestTreeWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QTreeWidget::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  tree_.OnRButtonDown(event->position().toPoint());
}

CQuestTreeCtrl::~CQuestTreeCtrl() = default;

void CQuestTreeCtrl::Create(QWidget* parent, QRect rect, int controlId) {
  DestroyWindow();
  auto* w = new QuestTreeWidget(*this, parent);
  w->setObjectName(QString("tree%1").arg(controlId));
  w->setGeometry(rect);
  w->hide();
  widget_ = w;
  // The caret follows the user's clicks and keys.
  QObject::connect(w, &QTreeWidget::currentItemChanged, w, [this](QTreeWidgetItem* now, QTreeWidgetItem*) {
    if (syncing_) return;
    caret_ = now ? now->data(0, kItemIdRole).toInt() : kNoItem;
  });
  // The items go with the window, as a tree control's do.
  QObject::connect(w, &QObject::destroyed, [this, w] {
    if (widget_.isNull() || widget_.data() == w) WidgetGone();
  });
}

void CQuestTreeCtrl::DestroyWindow() {
  QuestTreeWidget* w = widget_.data();
  WidgetGone();
  if (!w) return;
  w->hide();
  w->deleteLater();
}

void CQuestTreeCtrl::WidgetGone() {
  items_.clear();
  caret_ = kNoItem;
  widget_.clear();
}

const CQuestTreeCtrl::Entry* CQuestTreeCtrl::Find(Item item) const {
  for (const Entry& e : items_)
    if (e.id == item) return &e;
  return nullptr;
}

CQuestTreeCtrl::Entry* CQuestTreeCtrl::Find(Item item) {
  for (Entry& e : items_)
    if (e.id == item) return &e;
  return nullptr;
}

CQuestTreeCtrl::Item CQuestTreeCtrl::InsertItem(std::string_view text, void* data) {
  // Without a window there is nothing to hold the item.
  if (!widget_) return kNoItem;
  Entry e{nextId_++, std::string(text), data, nullptr};
  auto* shown = new QTreeWidgetItem(QStringList{platform::ui::FromAnsi(text)});
  shown->setData(0, kItemIdRole, e.id);
  syncing_ = true;
  widget_->addTopLevelItem(shown);
  syncing_ = false;
  e.shown = shown;
  items_.push_back(std::move(e));
  return items_.back().id;
}

void CQuestTreeCtrl::DeleteItem(Item item) {
  auto it = std::find_if(items_.begin(), items_.end(), [item](const Entry& e) { return e.id == item; });
  if (it == items_.end()) return;
  QTreeWidgetItem* shown = it->shown;
  items_.erase(it);
  if (caret_ == item) caret_ = kNoItem;
  syncing_ = true;
  delete shown;
  syncing_ = false;
  // A tree control moves the caret to a neighbour when its item goes.
  if (caret_ == kNoItem && widget_ && widget_->currentItem())
    caret_ = widget_->currentItem()->data(0, kItemIdRole).toInt();
}

void CQuestTreeCtrl::DeleteAllItems() {
  items_.clear();
  caret_ = kNoItem;
  if (widget_) {
    syncing_ = true;
    widget_->clear();
    syncing_ = false;
  }
}

void CQuestTreeCtrl::SelectItem(Item item) {
  const Entry* e = Find(item);
  caret_ = e ? item : kNoItem;
  if (!widget_) return;
  syncing_ = true;
  widget_->setCurrentItem(e ? e->shown : nullptr);
  if (!e) widget_->clearSelection();
  syncing_ = false;
}

std::string CQuestTreeCtrl::GetItemText(Item item) const {
  const Entry* e = Find(item);
  return e ? e->text : std::string();
}

void CQuestTreeCtrl::SetItemText(Item item, std::string_view text) {
  Entry* e = Find(item);
  if (!e) return;
  e->text = std::string(text);
  if (e->shown) e->shown->setText(0, platform::ui::FromAnsi(text));
}

void* CQuestTreeCtrl::GetItemData(Item item) const {
  const Entry* e = Find(item);
  return e ? e->data : nullptr;
}

std::vector<CQuestTreeCtrl::Item> CQuestTreeCtrl::Items() const {
  std::vector<Item> out;
  for (const Entry& e : items_) out.push_back(e.id);
  return out;
}

CQuestTreeCtrl::Item CQuestTreeCtrl::ItemAt(int index) const {
  if (index < 0 || index >= Count()) return kNoItem;
  return items_[static_cast<size_t>(index)].id;
}

void CQuestTreeCtrl::OnRButtonDown(QPoint point) {
  if (!widget_) return;
  // The commands of the menu act on what was clicked, not on an older selection.
  QTreeWidgetItem* hit = widget_->itemAt(point);
  SelectItem(hit ? hit->data(0, kItemIdRole).toInt() : kNoItem);

  const std::vector<platform::ui::MenuItem>& menu = TreeMenu();
  if (category_ < 0 || category_ >= static_cast<int>(menu.size())) return;
  MapClick().stored = false;  // an Add from here places the element at the default spot
  platform::ui::Application* app = platform::ui::Application::Instance();
  platform::ui::FrameWindow* main = app ? app->MainWindow() : nullptr;
  if (!main) return;
  platform::ui::TrackPopupMenu(menu[static_cast<size_t>(category_)], widget_->viewport()->mapToGlobal(point), *main,
                               main);
}

void RenameTreeItem(int category, std::string_view oldName, std::string_view newName) {
  CQuestTreeCtrl& tree = QuestTree(category);
  for (CQuestTreeCtrl::Item item : tree.Items()) {
    if (platform::EqualsNoCase(tree.GetItemText(item), oldName)) {
      tree.SetItemText(item, newName);
      return;
    }
  }
}

void SelectTreeItem(int category, std::string_view name) {
  CQuestTreeCtrl& tree = QuestTree(category);
  for (CQuestTreeCtrl::Item item : tree.Items()) {
    if (platform::EqualsNoCase(tree.GetItemText(item), name)) {
      tree.SelectItem(item);
      return;
    }
  }
}

}  // namespace kelvar
