#include "editor/left_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTabBar>

#include "editor/kelvar_commands.h"
#include "editor/quest_tree_ctrl.h"
#include "platform/ui/string_table.h"
#include "platform/ui/text_codec.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"

namespace kelvar {
namespace {

CLeftView*& Current() {
  static CLeftView* view = nullptr;
  return view;
}

CRoom* SelectedRoom() {
  CQuestTreeCtrl& tree = QuestTree(kTreeRooms);
  return static_cast<CRoom*>(tree.GetItemData(tree.GetSelectedItem()));
}

// The record before `room` in the room list (null for the head or when absent).
CRoom* Predecessor(CRoom* room) {
  for (CRoom* r = Quest().rooms; r; r = r->next)
    if (r->next == room) return r;
  return nullptr;
}

bool InRoomList(const CRoom* room) {
  for (const CRoom* r = Quest().rooms; r; r = r->next)
    if (r == room) return true;
  return false;
}

// Exchanges a room and its successor in the list.
void SwapWithNext(CRoom* room) {
  CRoom* next = room->next;
  if (!next) return;
  CRoom* before = Predecessor(room);
  (before ? before->next : Quest().rooms) = next;
  room->next = next->next;
  next->next = room;
}

void MarkModified() {
  if (CKelvarDoc* doc = CurrentDocument()) doc->SetModifiedFlag(true);
}

}  // namespace

CLeftView::CLeftView(QWidget* parent) : View(parent) {
  Current() = this;
  OnCommand(kCmdSwapUp, [this] { OnSwapUp(); });
  OnCommand(kCmdSwapDown, [this] { OnSwapDown(); });
  CommandTarget::OnUpdate(kCmdSwapUp, [](platform::ui::CommandState& s) {
    CRoom* room = SelectedRoom();
    s.Enable(room && InRoomList(room) && Quest().rooms != room);
  });
  CommandTarget::OnUpdate(kCmdSwapDown, [](platform::ui::CommandState& s) {
    CRoom* room = SelectedRoom();
    s.Enable(room && InRoomList(room) && room->next != nullptr);
  });
}

CLeftView::~CLeftView() {
  if (Current() == this) Current() = nullptr;
}

CLeftView* CLeftView::Instance() { return Current(); }

void CLeftView::paintEvent(QPaintEvent* event) {
  // A form: the window's own background, not a surface.
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().window());
}

void CLeftView::OnInitialUpdate() {
  View::OnInitialUpdate();
  const QRect client = rect();
  const QRect treeRect(4, 4, client.width() - 8, client.height() - 4 - 32);
  if (!QuestTree(kTreeMachines).HasWindow()) {
    for (int c = 0; c < kTreeCount; ++c) QuestTree(c).Create(this, treeRect, kTreeControlId + c);
  }
  for (int c = 0; c < kTreeCount; ++c) QuestTree(c).SetCategory(c);
  shown_ = 0;
  RefillTrees();
  QuestTree(kTreeMachines).Widget()->show();
  if (!tabs_) {
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QString("tabs%1").arg(kTabControlId));
    tabs_->setExpanding(false);
    tabs_->setDrawBase(true);
    for (int id : {kIdsTabMachines, kIdsTabObjects, kIdsTabMonsters, kIdsTabRooms})
      tabs_->addTab(platform::ui::FromDisplayText(platform::ui::Strings().Get(id)));
    tabs_->setGeometry(0, client.height() - 28, client.width(), 28);
    // Only a click switches the tree.
    QObject::connect(tabs_, &QTabBar::tabBarClicked, this, [this](int index) { OnTabClicked(index); });
    tabs_->show();
  }
}

void CLeftView::OnDestroy() {
  // The trees' windows go with the view, so the next view makes its own.
  for (int c = 0; c < kTreeCount; ++c)
    if (QuestTreeWidget* w = QuestTree(c).Widget(); w && w->parentWidget() == this) QuestTree(c).DestroyWindow();
  if (Current() == this) Current() = nullptr;
}

void CLeftView::OnTabClicked(int index) {
  if (!tabs_ || index < 0 || index >= kTreeCount) return;
  tabs_->setCurrentIndex(index);
  if (index == shown_) return;
  if (QuestTree(shown_).Widget()) QuestTree(shown_).Widget()->hide();
  if (QuestTree(index).Widget()) QuestTree(index).Widget()->show();
  shown_ = index;
}

void CLeftView::RefillTrees() {
  for (int c = 0; c < kTreeCount; ++c) QuestTree(c).DeleteAllItems();
  QuestState& q = Quest();
  for (CMachine* m = q.machines; m; m = m->next) QuestTree(kTreeMachines).InsertItem(m->name, m);
  for (CQuestObject* o = q.questObjects; o; o = o->next) QuestTree(kTreeObjects).InsertItem(o->key, o);
  for (CMonster* m = q.monsters; m; m = m->next) QuestTree(kTreeMonsters).InsertItem(m->key, m);
  for (CRoom* r = q.rooms; r; r = r->next) QuestTree(kTreeRooms).InsertItem(r->name, r);
}

void CLeftView::OnSwapUp() {
  CRoom* room = SelectedRoom();
  if (!room || !InRoomList(room)) return;
  CRoom* before = Predecessor(room);
  if (!before) return;
  SwapWithNext(before);
  MarkModified();
  RefillTrees();
}

void CLeftView::OnSwapDown() {
  CRoom* room = SelectedRoom();
  if (!room || !InRoomList(room) || !room->next) return;
  SwapWithNext(room);
  MarkModified();
  RefillTrees();
}

void CLeftView::resizeEvent(QResizeEvent* event) {
  View::resizeEvent(event);
  OnSize(event->size().width(), event->size().height());
}

void CLeftView::OnSize(int cx, int cy) {
  if (!tabs_) return;
  for (int c = 0; c < kTreeCount; ++c)
    if (QuestTreeWidget* w = QuestTree(c).Widget(); w && w->parentWidget() == this)
      w->setGeometry(4, 4, cx - 8, cy - 36);
  tabs_->setGeometry(0, cy - 28, cx, 28);
}

}  // namespace kelvar
