#include "platform/ui/static_splitter.h"

#include "platform/ui/command_ids.h"
#include "platform/ui/document.h"

namespace platform::ui {

StaticSplitter::StaticSplitter(int count, Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent), count_(count < 1 ? 1 : count), initial_(static_cast<size_t>(count_), 0) {
  setChildrenCollapsible(false);
  for (int i = 0; i < count_; ++i) addWidget(new QWidget(this));
}

View* StaticSplitter::CreateView(int pane, const ViewFactory& make, QSize initial, const CreateContext& context) {
  if (pane < 0 || pane >= count_ || !make) return nullptr;
  CreateContext c = context;
  c.newView = make;
  View* view = platform::ui::CreateView(nullptr, c);
  if (!view) return nullptr;
  QWidget* old = widget(pane);
  replaceWidget(pane, view);
  if (old) old->deleteLater();
  initial_[static_cast<size_t>(pane)] = orientation() == Qt::Horizontal ? initial.width() : initial.height();
  setStretchFactor(pane, pane == count_ - 1 ? 1 : 0);
  return view;
}

QWidget* StaticSplitter::Pane(int pane) const { return pane >= 0 && pane < count_ ? widget(pane) : nullptr; }

int StaticSplitter::PaneId(int pane) const {
  return orientation() == Qt::Horizontal ? kFirstPaneId + pane : kFirstPaneId + pane * 16;
}

void StaticSplitter::showEvent(QShowEvent* event) {
  QSplitter::showEvent(event);
  if (sized_) return;
  sized_ = true;
  int total = orientation() == Qt::Horizontal ? width() : height();
  QList<int> sizes;
  int used = 0;
  for (int i = 0; i < count_; ++i) {
    int s = i == count_ - 1 ? std::max(total - used, initial_[static_cast<size_t>(i)]) : initial_[static_cast<size_t>(i)];
    sizes.push_back(s);
    used += s;
  }
  setSizes(sizes);
}

}  // namespace platform::ui
