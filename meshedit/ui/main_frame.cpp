#include "meshedit/ui/main_frame.h"

#include <QApplication>
#include <QDockWidget>
#include <QScrollArea>
#include <QStyle>

#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/pavix_menus.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/string_table.h"

namespace pavix {
namespace {

namespace ui = platform::ui;

QIcon StandardIcon(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }

}  // namespace

CMainFrame::CMainFrame() {
  setObjectName("PavixMainFrame");
  Globals().mainFrame = this;
}

CMainFrame::~CMainFrame() {
  if (Globals().mainFrame == this) Globals().mainFrame = nullptr;
}

bool CMainFrame::OnCreate() {
  SetMenu(MainMenu());
  SetAccelerators(&MainAccelerators());
  CreateStatusBar({"CAP", "NUM", "SCRL"});
  setDockOptions(QMainWindow::AnimatedDocks);
  ui::Strings().Set(ui::kCmdFileNew, "Create a new mesh\nNew");
  ui::Strings().Set(ui::kCmdFileOpen, "Open a mesh\nOpen");
  ui::Strings().Set(ui::kCmdFileSave, "Save the mesh\nSave");
  ui::Strings().Set(ui::kCmdAppAbout, "Show the program's name and version\nAbout");
  ui::ToolBarSpec files{ui::kMainToolBarId, "", {ui::kCmdFileNew, ui::kCmdFileOpen, ui::kCmdFileSave}, {}};
  files.images = {StandardIcon(QStyle::SP_FileIcon), StandardIcon(QStyle::SP_DialogOpenButton),
                  StandardIcon(QStyle::SP_DialogSaveButton)};
  if (!AddToolBar(files)) return false;
  ui::ToolBarSpec help{kToolBar2Id, "", {ui::kCmdAppAbout}, {StandardIcon(QStyle::SP_MessageBoxQuestion)}};
  if (!AddToolBar(help)) return false;

  panel_ = new CEditPanelBar;
  if (!panel_->Create()) return false;
  dock_ = new QDockWidget(this);
  dock_->setObjectName(QString::number(kPanelControlId));
  dock_->setAllowedAreas(Qt::LeftDockWidgetArea);
  dock_->setFeatures(QDockWidget::DockWidgetMovable);
  dock_->setTitleBarWidget(new QWidget(dock_));
  auto* scroll = new QScrollArea(dock_);
  scroll->setWidget(panel_);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  dock_->setWidget(scroll);
  addDockWidget(Qt::LeftDockWidgetArea, dock_);
  return true;
}

}  // namespace pavix
