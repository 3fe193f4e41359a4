#include "platform/ui/child_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "platform/ui/command_ids.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi_frame.h"

namespace platform::ui {

ChildFrame::ChildFrame() {
  OnCommand(kCmdNextPane, [this] { MovePane(1); });
  OnCommand(kCmdPrevPane, [this] { MovePane(-1); });
  OnUpdateRange(kCmdNextPane, kCmdPrevPane, [this](CommandState& s) { s.Enable(Views().size() > 1); });
  // Keep the active view on the pane that has the focus.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    for (QWidget* w = now; w; w = w->parentWidget()) {
      if (w == this) break;
      if (auto* v = dynamic_cast<View*>(w); v && ChildFrame::Of(v) == this) {
        activeView_ = v;
        break;
      }
    }
  });
}

ChildFrame::~ChildFrame() = default;

bool ChildFrame::OnCreateClient(const CreateContext& context) {
  View* view = CreateView(this, context);
  if (!view) return false;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  activeView_ = view;
  return true;
}

std::vector<View*> ChildFrame::Views() const {
  std::vector<View*> out;
  // View has no meta-object of its own, so look it up by its C++ type.
  for (QWidget* w : findChildren<QWidget*>())
    if (auto* v = dynamic_cast<View*>(w); v && ChildFrame::Of(v) == this) out.push_back(v);
  return out;
}

View* ChildFrame::ActiveView() const {
  if (activeView_) return activeView_;
  std::vector<View*> views = Views();
  return views.empty() ? nullptr : views.front();
}

Document* ChildFrame::GetDocument() const {
  View* v = ActiveView();
  return v ? v->GetDocument() : nullptr;
}

bool ChildFrame::OnClose() {
  Document* doc = GetDocument();
  if (doc && !doc->CanCloseFrame(this)) return false;
  bool last = true;
  if (doc)
    for (View* v : doc->Views())
      if (ChildFrame::Of(v) != this) last = false;
  if (doc && last) doc->OnCloseDocument();
  else Destroy();
  return true;
}

void ChildFrame::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  OnDestroy();
  for (View* v : Views()) {
    v->Timers().KillAll();
    v->OnDestroy();
    if (Document* d = v->GetDocument()) d->RemoveView(v);
  }
  if (window_) {
    window_->removeEventFilter(this);
    window_->hide();
    MdiFrame* frame = nullptr;
    if (QMdiArea* area = window_->mdiArea()) {
      frame = dynamic_cast<MdiFrame*>(area->window());
      area->removeSubWindow(window_);
    }
    if (frame) frame->ChildDestroyed(this);
    window_->deleteLater();
  } else {
    hide();
    deleteLater();
  }
}

ChildFrame* ChildFrame::Of(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget())
    if (auto* f = dynamic_cast<const ChildFrame*>(w)) return const_cast<ChildFrame*>(f);
  return nullptr;
}

bool ChildFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Close) {
    // The frame decides; the window is removed by Destroy, never by Qt.
    event->ignore();
    if (!destroyed_) OnClose();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void ChildFrame::MovePane(int step) {
  std::vector<View*> views = Views();
  if (views.size() < 2) return;
  View* current = ActiveView();
  size_t i = 0;
  while (i < views.size() && views[i] != current) ++i;
  if (i == views.size()) i = 0;
  size_t next = (i + views.size() + static_cast<size_t>(step + static_cast<int>(views.size()))) % views.size();
  activeView_ = views[next];
  // Keys go where the user expects them: to a form's first visible control
  // (the tree of a tree pane), else to the view itself.
  QWidget* target = views[next];
  for (QWidget* w : views[next]->findChildren<QWidget*>()) {
    if (w->isVisibleTo(views[next]) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
      target = w;
      break;
    }
  }
  target->setFocus(Qt::ShortcutFocusReason);
}

}  // namespace platform::ui
