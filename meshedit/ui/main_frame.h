#pragma once
// Pavix's main frame: the menu, two tool bars, the status bar and the tool
// panel docked at the left; the view fills the rest.
#include "platform/ui/frame_window.h"

class QDockWidget;

namespace pavix {

class CEditPanelBar;

class CMainFrame : public platform::ui::FrameWindow {
 public:
  CMainFrame();
  ~CMainFrame() override;

  CEditPanelBar* Panel() const { return panel_; }
  QDockWidget* PanelDock() const { return dock_; }

 protected:
  bool OnCreate() override;

 private:
  CEditPanelBar* panel_ = nullptr;
  QDockWidget* dock_ = nullptr;
};

}  // namespace pavix
