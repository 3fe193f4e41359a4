#pragma once
// The application object: start-up and shut-down hooks, the event loop with
// idle processing, the profile and its recent files, the document manager,
// the main window, and the application-level commands (New, Open, the recent
// files, Exit).
//
// It may be constructed before the Qt application exists (as a global);
// nothing here touches Qt until Run or a window is made.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/command_target.h"
#include "platform/ui/doc_manager.h"
#include "platform/ui/recent_file_list.h"

namespace platform::ui {

class DocTemplate;
class Document;
class FrameWindow;
class IdlePump;

class Application : public CommandTarget {
 public:
  explicit Application(std::string title);
  ~Application() override;

  static Application* Instance();
  // The running application's title, empty without one (message box captions).
  static std::string AppTitle();
  const std::string& Title() const { return title_; }

  virtual bool InitInstance() { return true; }
  // Closes the documents and the main window; returns the exit code.
  virtual int ExitInstance();
  // InitInstance, then the event loop until a quit is posted, then
  // ExitInstance. Needs the Qt application.
  int Run();

  // Idle processing, run when the event queue has emptied after user input or
  // a command. Count 0 updates the main window's toolbar buttons. True asks
  // for another pass.
  virtual bool OnIdle(int count);
  // Schedules idle processing (a pass runs once the queue is empty).
  void RequestIdle();
  // Runs idle passes now until one asks for no more.
  void RunIdle();
  // Keeps idle passes going while the queue is empty, for programs that draw continuously.
  void SetContinuousIdle(bool on);

  // The profile: the key names the program's settings file.
  void SetRegistryKey(std::string_view key);
  // Reads the recent-file list of this size ("Recent File List").
  void LoadStdProfileSettings(int recentFiles = 4);
  RecentFileList* RecentFiles() { return recent_.get(); }
  virtual void AddToRecentFileList(const std::string& path);

  void AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate);
  // Null until the first template is added.
  DocManager* GetDocManager() { return docManager_.get(); }
  Document* OpenDocumentFile(const std::string& path);
  bool SaveAllModified();
  void CloseAllDocuments();

  // Command handlers (registered by the constructor).
  virtual void OnFileNew();
  virtual void OnFileOpen();
  // Opens the entry; one that fails to open leaves the list.
  virtual void OnOpenRecentFile(int commandId);
  // Closes the main window, which ends the program once it agrees.
  virtual void OnAppExit();

  FrameWindow* MainWindow() const { return mainWindow_.get(); }
  void SetMainWindow(std::unique_ptr<FrameWindow> window);

  // The command line: a file name opens it, nothing makes a new document.
  struct CommandLineInfo {
    enum class Shell { kFileNew, kFileOpen };
    Shell shell = Shell::kFileNew;
    std::string fileName;
  };
  static CommandLineInfo ParseCommandLine(const std::vector<std::string>& args);
  bool ProcessShellCommand(const CommandLineInfo& info);

 private:
  std::string title_;
  std::unique_ptr<RecentFileList> recent_;
  std::unique_ptr<DocManager> docManager_;
  std::unique_ptr<FrameWindow> mainWindow_;
  std::unique_ptr<IdlePump> idle_;
  bool continuousIdle_ = false;
  friend class IdlePump;
};

// A message box captioned with the program's title; flags and answers as
// platform::MessageBox.
int AppMessageBox(std::string_view text, unsigned flags = 0);

}  // namespace platform::ui
