#pragma once
// A main frame: menu bar, toolbars in bands, status bar with fly-by texts,
// the current accelerator table, and command routing. Used as it is for a
// single-document program; MdiFrame adds the workspace of child frames.
#include <string>
#include <string_view>
#include <vector>

#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include "platform/ui/command_target.h"
#include "platform/ui/menu_table.h"
#include "platform/ui/view.h"

class QLabel;
class QToolBar;
class QKeyEvent;

namespace platform::ui {

class AcceleratorTable;
class Document;

// A toolbar: its id (to find its band), the band's caption, its buttons
// (command ids, 0 for a separator) and one image per button.
struct ToolBarSpec {
  int id = 0;
  std::string caption;
  std::vector<int> buttons;
  std::vector<QIcon> images;
};

class FrameWindow : public QMainWindow, public CommandTarget, public CommandSink {
 public:
  // Registers the toolbar and status bar toggles (show or hide, checked while shown).
  FrameWindow();
  ~FrameWindow() override;

  // Runs OnCreate once; with a context (a single-document frame) also
  // OnCreateClient. False when either fails.
  bool Create(const CreateContext* context = nullptr);

  // Bars.
  void SetMenu(std::vector<MenuItem> menus);
  const std::vector<MenuItem>& Menu() const { return menu_; }
  QToolBar* AddToolBar(const ToolBarSpec& desc, bool newRow = false);
  QToolBar* Band(int id) const;
  void ShowBand(int id, bool show);
  bool IsBandVisible(int id) const;
  // Message pane first, then the indicator panes.
  void CreateStatusBar(const std::vector<std::string>& indicators);
  void SetMessageText(std::string_view text);
  // What the message pane shows now (a fly-by text while one is shown).
  std::string MessageText() const;
  // Runs the update rules of every toolbar button (done after each command,
  // when the active child changes, and when idle).
  void UpdateBars();

  // Keys: the table is not owned; nullptr for none.
  void SetAccelerators(const AcceleratorTable* table) { accelerators_ = table; }
  const AcceleratorTable* Accelerators() const { return accelerators_; }
  // True when the key was an accelerator (its command ran if enabled).
  bool TranslateAccelerator(const QKeyEvent& event);

  // Commands: the active view, its document, (child frame,) this frame, the application.
  virtual std::vector<CommandTarget*> CommandRoute();
  CommandState QueryCommand(int id) override;
  // Runs the command when its update rule leaves it enabled.
  bool SendCommand(int id) override;
  std::vector<std::string> RecentFileTexts() override;

  // Files dropped on the window open as documents.
  void AcceptDroppedFiles(bool accept) { setAcceptDrops(accept); }

  virtual View* ActiveView() const { return activeView_; }
  void SetActiveView(View* view) { activeView_ = view; }
  Document* ActiveDocument() const;
  virtual void UpdateFrameTitle();

 protected:
  virtual bool OnCreate() { return true; }
  // Default: the context's view fills the frame.
  virtual bool OnCreateClient(const CreateContext& context);
  // Closing: the main window asks to save every document, closes them and
  // ends the program. False keeps the window open.
  virtual bool OnClose();

  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void RebuildMenuBar();
  // Shows these menus without replacing the frame's own.
  void ShowMenuBar(const std::vector<MenuItem>& menus);

 private:
  std::vector<MenuItem> menu_;
  std::vector<QToolBar*> bands_;
  QLabel* messagePane_ = nullptr;
  const AcceleratorTable* accelerators_ = nullptr;
  QPointer<View> activeView_;
  bool created_ = false;
};

}  // namespace platform::ui
