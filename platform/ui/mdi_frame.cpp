#include "platform/ui/mdi_frame.h"

#include <algorithm>

#include <QMdiArea>
#include <QMdiSubWindow>

#include "platform/ui/application.h"
#include "platform/ui/child_frame.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/text_codec.h"

namespace platform::ui {

MdiFrame::MdiFrame() : workspace_(new QMdiArea(this)) {
  setCentralWidget(workspace_);
  // A child larger than the shrunken frame stays reachable.
  workspace_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  workspace_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(workspace_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
    if (!w) return;  // focus left the workspace: the last child stays the active one
    if (auto* child = dynamic_cast<ChildFrame*>(w->widget()); child && !child->IsDestroyed())
      ChildActivated(child);
  });
}

ChildFrame* MdiFrame::ActiveChild() const {
  if (active_ && !active_->IsDestroyed()) return active_;
  for (ChildFrame* c : Children())
    if (!c->IsDestroyed()) return c;
  return nullptr;
}

std::vector<ChildFrame*> MdiFrame::Children() const {
  std::vector<ChildFrame*> out;
  for (QMdiSubWindow* w : workspace_->subWindowList())
    if (auto* c = dynamic_cast<ChildFrame*>(w->widget()); c && !c->IsDestroyed()) out.push_back(c);
  return out;
}

bool MdiFrame::AddChild(ChildFrame* child, const CreateContext& context) {
  ChildFrame::CreateParams params;
  child->PreCreateWindow(params);
  QMdiSubWindow* window = workspace_->addSubWindow(child);
  child->window_ = window;
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->installEventFilter(child);
  connect(window, &QMdiSubWindow::windowStateChanged, this, [this] { UpdateFrameTitle(); });
  if (!params.geometry.isEmpty()) {
    window->setGeometry(params.geometry);
  } else {
    // Like a cascaded window: three quarters of the workspace, offset by the others.
    QSize area = workspace_->size().isEmpty() ? size() : workspace_->size();
    QSize want(std::max(area.width() * 3 / 4, 400), std::max(area.height() * 3 / 4, 300));
    int step = 24 * static_cast<int>(Children().size() - 1);
    window->setGeometry(QRect(QPoint(step, step), want));
  }
  if (params.maximized) window->setWindowState(Qt::WindowMaximized);
  if (!child->OnCreateClient(context)) {
    child->Destroy();
    return false;
  }
  if (context.document) window->setWindowTitle(FromDisplayText(context.document->Title()));
  return true;
}

void MdiFrame::ShowChild(ChildFrame* child, bool visible) {
  QMdiSubWindow* window = child->Window();
  if (!window) return;
  if (visible) {
    if (window->windowState() & Qt::WindowMaximized) window->showMaximized();
    else window->show();
  }
  workspace_->setActiveSubWindow(window);
  ChildActivated(child);
}

void MdiFrame::ChildDestroyed(ChildFrame* child) {
  if (active_ == child) active_ = nullptr;
  ChildActivated(ActiveChild());
}

void MdiFrame::ChildActivated(ChildFrame* child) {
  active_ = child;
  // The document template's menu while one of its documents is active.
  const std::vector<MenuItem>* menu = &Menu();
  if (Document* doc = child ? child->GetDocument() : nullptr)
    if (doc->Template() && !doc->Template()->Menu().empty()) menu = &doc->Template()->Menu();
  if (menu != shownMenu_) {
    shownMenu_ = menu;
    ShowMenuBar(*menu);
  }
  UpdateFrameTitle();
  UpdateBars();
}

View* MdiFrame::ActiveView() const {
  ChildFrame* child = ActiveChild();
  return child ? child->ActiveView() : nullptr;
}

std::vector<CommandTarget*> MdiFrame::CommandRoute() {
  ChildFrame* child = ActiveChild();
  View* view = child ? child->ActiveView() : nullptr;
  Document* doc = view ? view->GetDocument() : nullptr;
  return {view, doc, child, this, Application::Instance()};
}

void MdiFrame::UpdateFrameTitle() {
  std::string app = Application::AppTitle();
  Document* doc = ActiveDocument();
  ChildFrame* child = ActiveChild();
  QMdiSubWindow* window = child ? child->Window() : nullptr;
  // A maximised child's name comes in brackets, once. It is put here rather
  // than left to the workspace, which adds it only to a frame that was shown
  // when the child was maximised (not to one maximised at start-up).
  const bool maximised = window && window->isMaximized();
  std::string title = app;
  if (doc && !doc->Title().empty()) title += maximised ? " - [" + doc->Title() + "]" : " - " + doc->Title();
  if (window && doc) window->setWindowTitle(FromDisplayText(doc->Title()));
  setWindowTitle(FromDisplayText(title));
}

}  // namespace platform::ui
