#include "platform/ui/frame_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "platform/core/services.h"
#include "platform/ui/accelerator_table.h"
#include "platform/ui/application.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/document.h"
#include "platform/ui/string_table.h"
#include "platform/ui/text_codec.h"

namespace platform::ui {

FrameWindow::FrameWindow() {
  OnCommand(kCmdViewToolBar, [this] { ShowBand(kMainToolBarId, !IsBandVisible(kMainToolBarId)); });
  OnUpdate(kCmdViewToolBar, [this](CommandState& s) {
    s.Enable(Band(kMainToolBarId) != nullptr);
    s.SetCheck(IsBandVisible(kMainToolBarId));
  });
  OnCommand(kCmdViewStatusBar, [this] {
    if (messagePane_) statusBar()->setVisible(statusBar()->isHidden());
  });
  OnUpdate(kCmdViewStatusBar, [this](CommandState& s) {
    s.Enable(messagePane_ != nullptr);
    s.SetCheck(messagePane_ && !statusBar()->isHidden());
  });
  qApp->installEventFilter(this);
}

FrameWindow::~FrameWindow() {
  if (qApp) qApp->removeEventFilter(this);
}

bool FrameWindow::Create(const CreateContext* context) {
  if (created_) return true;
  if (!OnCreate()) return false;
  if (context && !OnCreateClient(*context)) return false;
  created_ = true;
  UpdateFrameTitle();
  return true;
}

bool FrameWindow::OnCreateClient(const CreateContext& context) {
  View* view = CreateView(this, context);
  if (!view) return false;
  setCentralWidget(view);
  SetActiveView(view);
  return true;
}

void FrameWindow::SetMenu(std::vector<MenuItem> menus) {
  menu_ = std::move(menus);
  RebuildMenuBar();
}

void FrameWindow::RebuildMenuBar() { ShowMenuBar(menu_); }

void FrameWindow::ShowMenuBar(const std::vector<MenuItem>& menus) {
  menuBar()->clear();
  FillMenuBar(menuBar(), menus, this);
}

QToolBar* FrameWindow::AddToolBar(const ToolBarSpec& desc, bool newRow) {
  if (newRow) addToolBarBreak(Qt::TopToolBarArea);
  auto* bar = new QToolBar(FromDisplayText(desc.caption), this);
  bar->setObjectName(QString("band%1").arg(desc.id));
  bar->setProperty("bandId", desc.id);
  bar->setMovable(true);
  bar->setIconSize(QSize(16, 15));
  if (!desc.caption.empty()) {
    auto* label = new QLabel(FromDisplayText(desc.caption) + " ", bar);
    bar->addWidget(label);
  }
  size_t image = 0;
  for (int id : desc.buttons) {
    if (id == 0) {
      bar->addSeparator();
      continue;
    }
    QIcon icon = image < desc.images.size() ? desc.images[image] : QIcon();
    ++image;
    std::string tip = Strings().ToolTip(id);
    std::string flyBy = Strings().FlyBy(id);
    auto* action = new QAction(icon, FromDisplayText(tip.empty() ? flyBy : tip), bar);
    action->setData(id);
    action->setToolTip(FromDisplayText(tip.empty() ? flyBy : tip));
    if (!flyBy.empty()) action->setStatusTip(FromDisplayText(flyBy));
    connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
    bar->addAction(action);
  }
  addToolBar(Qt::TopToolBarArea, bar);
  bands_.push_back(bar);
  UpdateBars();
  return bar;
}

QToolBar* FrameWindow::Band(int id) const {
  for (QToolBar* b : bands_)
    if (b->property("bandId").toInt() == id) return b;
  return nullptr;
}

void FrameWindow::ShowBand(int id, bool show) {
  if (QToolBar* b = Band(id)) b->setVisible(show);
}

bool FrameWindow::IsBandVisible(int id) const {
  QToolBar* b = Band(id);
  return b && !b->isHidden();
}

void FrameWindow::CreateStatusBar(const std::vector<std::string>& indicators) {
  QStatusBar* bar = statusBar();
  messagePane_ = new QLabel(QString::fromUtf8(kIdleMessage), bar);
  bar->addWidget(messagePane_, 1);
  for (const std::string& text : indicators) {
    auto* pane = new QLabel(FromDisplayText(text), bar);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    // The lock keys' states cannot be read portably: the labels stay dimmed.
    pane->setEnabled(false);
    bar->addPermanentWidget(pane);
  }
}

void FrameWindow::SetMessageText(std::string_view text) {
  if (messagePane_) messagePane_->setText(FromDisplayText(text));
}

std::string FrameWindow::MessageText() const {
  if (!messagePane_) return std::string();
  QString shown = statusBar()->currentMessage();
  return ToNative(shown.isEmpty() ? messagePane_->text() : shown);
}

void FrameWindow::UpdateBars() {
  for (QToolBar* bar : bands_) {
    if (bar->isHidden()) continue;
    for (QAction* a : bar->actions()) {
      bool ok = false;
      int id = a->data().toInt(&ok);
      if (ok && id > 0) ApplyState(a, QueryCommand(id));
    }
  }
}

bool FrameWindow::TranslateAccelerator(const QKeyEvent& event) {
  if (!accelerators_) return false;
  int id = accelerators_->Find(event);
  if (id == 0) return false;
  SendCommand(id);
  return true;
}

std::vector<CommandTarget*> FrameWindow::CommandRoute() {
  View* view = ActiveView();
  Document* doc = view ? view->GetDocument() : nullptr;
  return {view, doc, this, Application::Instance()};
}

CommandState FrameWindow::QueryCommand(int id) { return platform::ui::QueryCommand(CommandRoute(), id); }

bool FrameWindow::SendCommand(int id) {
  bool ran = DispatchCommand(CommandRoute(), id);
  // The command may have changed what the buttons show (a document opened,
  // a tool chosen): bring them up to date before the next click.
  UpdateBars();
  if (Application* app = Application::Instance()) app->RequestIdle();
  return ran;
}

std::vector<std::string> FrameWindow::RecentFileTexts() {
  Application* app = Application::Instance();
  if (!app || !app->RecentFiles()) return {};
  return app->RecentFiles()->MenuTexts();
}

Document* FrameWindow::ActiveDocument() const {
  View* v = ActiveView();
  return v ? v->GetDocument() : nullptr;
}

void FrameWindow::UpdateFrameTitle() {
  std::string app = Application::AppTitle();
  Document* doc = ActiveDocument();
  std::string title = doc && !doc->Title().empty() ? doc->Title() + " - " + app : app;
  setWindowTitle(FromDisplayText(title));
}

bool FrameWindow::OnClose() {
  Application* app = Application::Instance();
  if (!app || app->MainWindow() != this) return true;
  if (!app->SaveAllModified()) return false;
  app->CloseAllDocuments();
  platform::PostQuit(0);
  return true;
}

void FrameWindow::closeEvent(QCloseEvent* event) {
  if (OnClose()) event->accept();
  else event->ignore();
}

void FrameWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void FrameWindow::dropEvent(QDropEvent* event) {
  Application* app = Application::Instance();
  if (!app) return;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) app->OpenDocumentFile(ToNative(url.toLocalFile()));
  event->acceptProposedAction();
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && accelerators_) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only keys meant for this window, and not while a modal dialog runs.
    if (widget && widget->window() == this && !QApplication::activeModalWidget() &&
        TranslateAccelerator(*static_cast<QKeyEvent*>(event)))
      return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace platform::ui
