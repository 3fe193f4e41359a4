#pragma once
// The left pane of a quest window: the four trees of the quest's machines,
// quest objects, monsters and rooms, one shown at a time under a row of four
// tabs. The trees are what the main frame's element commands act on.
#include <QPointer>
#include <QTabBar>

#include "platform/ui/view.h"


namespace kelvar {

inline constexpr int kTabControlId = 101;
inline constexpr int kTreeControlId = 12345;  // + category

class CLeftView : public platform::ui::View {
 public:
  explicit CLeftView(QWidget* parent = nullptr);
  ~CLeftView() override;

  // The left view Merge refills; null while none exists.
  static CLeftView* Instance();

  // Every tree emptied and refilled from the quest's lists.
  void RefillTrees();
  // The shown tree (0..3).
  int ShownTab() const { return shown_; }
  QTabBar* TabControl() const { return tabs_; }

  void OnInitialUpdate() override;
  void OnDestroy() override;
  // The tab control was clicked.
  void OnTabClicked(int index);

  void OnSwapUp();
  void OnSwapDown();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnSize(int cx, int cy);

  QPointer<QTabBar> tabs_;
  int shown_ = 0;
};

}  // namespace kelvar
