#pragma once
// The main frame of a multiple-document program: a workspace of child frames.
// Its menu is the active document template's while a child is open, its own
// otherwise.
#include <vector>

#include <QPointer>

#include "platform/ui/frame_window.h"

class QMdiArea;

namespace platform::ui {

class ChildFrame;

class MdiFrame : public FrameWindow {
 public:
  MdiFrame();
  QMdiArea* Workspace() const { return workspace_; }
  ChildFrame* ActiveChild() const;
  std::vector<ChildFrame*> Children() const;

  // Takes the frame into the workspace and builds its panes; false (and the
  // frame is gone) when that fails.
  bool AddChild(ChildFrame* child, const CreateContext& context);
  void ShowChild(ChildFrame* child, bool visible);

  View* ActiveView() const override;
  std::vector<CommandTarget*> CommandRoute() override;
  void UpdateFrameTitle() override;

 private:
  friend class ChildFrame;
  void ChildActivated(ChildFrame* child);
  void ChildDestroyed(ChildFrame* child);
  QMdiArea* workspace_;
  QPointer<ChildFrame> active_;
  const std::vector<MenuItem>* shownMenu_ = nullptr;
};

}  // namespace platform::ui
