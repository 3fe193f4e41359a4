#include "platform/ui/application.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "platform/core/profile.h"
#include "platform/core/services.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/drawing_scope.h"
#include "platform/ui/document.h"
#include "platform/ui/frame_window.h"

namespace platform::ui {
namespace {

Application*& Current() {
  static Application* app = nullptr;
  return app;
}

bool WakesIdle(QEvent::Type t) {
  switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::WindowActivate:
    case QEvent::Show:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

}  // namespace

// Runs OnIdle from a zero-time timer that starts after input and commands.
class IdlePump : public QObject {
 public:
  explicit IdlePump(Application& app) : app_(app) {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] { Pass(); });
    qApp->installEventFilter(this);
  }
  ~IdlePump() override {
    if (qApp) qApp->removeEventFilter(this);
  }
  // Something changed: the next pass is a first pass again, even when a
  // series of passes is under way, so the bars are brought up to date.
  void Request() {
    count_ = 0;
    if (!timer_.isActive()) timer_.start();
  }
  void Pass() {
    if (app_.OnIdle(count_++)) return;
    count_ = 0;
    if (!app_.continuousIdle_) timer_.stop();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (WakesIdle(event->type())) Request();
    return QObject::eventFilter(watched, event);
  }

 private:
  Application& app_;
  QTimer timer_;
  int count_ = 0;
};

Application::Application(std::string title) : title_(std::move(title)) {
  Current() = this;
  OnCommand(kCmdFileNew, [this] { OnFileNew(); });
  OnCommand(kCmdFileOpen, [this] { OnFileOpen(); });
  OnCommandRange(kCmdRecentFirst, kCmdRecentLast, [this](int id) { OnOpenRecentFile(id); });
  OnUpdateRange(kCmdRecentFirst, kCmdRecentLast, [this](CommandState& s) {
    s.Enable(recent_ && s.id - kCmdRecentFirst < recent_->Count());
  });
  OnCommand(kCmdAppExit, [this] { OnAppExit(); });
}

Application::~Application() {
  if (Current() == this) Current() = nullptr;
}

Application* Application::Instance() { return Current(); }

std::string Application::AppTitle() { return Current() ? Current()->title_ : std::string(); }

int Application::ExitInstance() {
  if (docManager_) docManager_->CloseAllDocuments();
  // Closed frames wait for deletion; the event loop has ended, so do it here.
  if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (mainWindow_) mainWindow_->hide();
  mainWindow_.reset();
  DocTemplate::FlushClosedDocuments();
  idle_.reset();
  return 0;
}

int Application::Run() {
  if (auto* qa = qobject_cast<QApplication*>(QCoreApplication::instance())) qa->setQuitOnLastWindowClosed(false);
  if (!InitInstance()) {
    RunWaitingWork();
    return ExitInstance();
  }
  RequestIdle();
  QCoreApplication::exec();
  // Boxes a last drawing asked for come before the windows go.
  RunWaitingWork();
  return ExitInstance();
}

bool Application::OnIdle(int count) {
  if (count == 0) {
    if (mainWindow_) mainWindow_->UpdateBars();
    return true;
  }
  DocTemplate::FlushClosedDocuments();
  return false;
}

void Application::RequestIdle() {
  if (!QCoreApplication::instance()) return;
  if (!idle_) idle_ = std::make_unique<IdlePump>(*this);
  idle_->Request();
}

void Application::RunIdle() {
  for (int count = 0; OnIdle(count); ++count) {
  }
}

void Application::SetContinuousIdle(bool on) {
  continuousIdle_ = on;
  if (on) RequestIdle();
}

void Application::SetRegistryKey(std::string_view key) { platform::SetProfileName(key); }

void Application::LoadStdProfileSettings(int recentFiles) {
  recent_ = std::make_unique<RecentFileList>("Recent File List", recentFiles);
  recent_->ReadList();
}

void Application::AddToRecentFileList(const std::string& path) {
  if (recent_) recent_->Add(path);
}

void Application::AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate) {
  if (!docManager_) docManager_ = std::make_unique<DocManager>();
  docManager_->AddTemplate(std::move(docTemplate));
}

Document* Application::OpenDocumentFile(const std::string& path) {
  return docManager_ ? docManager_->OpenDocumentFile(path) : nullptr;
}

bool Application::SaveAllModified() { return docManager_ ? docManager_->SaveAllModified() : true; }

void Application::CloseAllDocuments() {
  if (docManager_) docManager_->CloseAllDocuments();
}

void Application::OnFileNew() {
  if (docManager_) docManager_->OnFileNew();
}

void Application::OnFileOpen() {
  if (docManager_) docManager_->OnFileOpen();
}

void Application::OnOpenRecentFile(int commandId) {
  int index = commandId - kCmdRecentFirst;
  if (!recent_ || index < 0 || index >= recent_->Count()) return;
  std::string path = (*recent_)[index];
  if (!OpenDocumentFile(path)) recent_->Remove(index);
}

void Application::OnAppExit() {
  if (mainWindow_) mainWindow_->close();
}

void Application::SetMainWindow(std::unique_ptr<FrameWindow> window) { mainWindow_ = std::move(window); }

Application::CommandLineInfo Application::ParseCommandLine(const std::vector<std::string>& args) {
  CommandLineInfo info;
  for (const std::string& a : args) {
    if (a.empty() || a[0] == '-') continue;  // switches are not files
    info.shell = CommandLineInfo::Shell::kFileOpen;
    info.fileName = a;
    break;
  }
  return info;
}

bool Application::ProcessShellCommand(const CommandLineInfo& info) {
  if (info.shell == CommandLineInfo::Shell::kFileOpen) return OpenDocumentFile(info.fileName) != nullptr;
  if (!docManager_) return true;
  return docManager_->OnFileNew() != nullptr;
}

int AppMessageBox(std::string_view text, unsigned flags) {
  return platform::MessageBox(text, Application::AppTitle(), flags);
}

}  // namespace platform::ui
