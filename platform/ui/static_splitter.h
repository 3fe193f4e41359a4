#pragma once
// A splitter with a fixed row or column of panes, each made once.
#include <QSize>
#include <QSplitter>

#include "platform/ui/view.h"

namespace platform::ui {

class StaticSplitter : public QSplitter {
 public:
  // One row of `count` panes side by side, or one column when vertical.
  StaticSplitter(int count, Qt::Orientation orientation, QWidget* parent);

  // Makes the pane's view for the context's document; the initial size along
  // the splitter's direction is kept, the last pane takes what is left.
  View* CreateView(int pane, const ViewFactory& make, QSize initial, const CreateContext& context);
  QWidget* Pane(int pane) const;
  int PaneCount() const { return count_; }
  // The id of a pane: the first pane id plus row * 16 + column.
  int PaneId(int pane) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int count_;
  std::vector<int> initial_;
  bool sized_ = false;
};

}  // namespace platform::ui
