#pragma once
// Kelvar's application object: start-up in a fixed order (game data, the
// machine library, the profile, the document template, the main frame and
// its placement, the display and renderer, the command line, the quest to
// reopen), the commands New, Open, the four recent quests and About, which
// keep at most one quest open, and shut-down.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/application.h"

namespace platform::video {
class Window;
}

namespace kelvar {

class CMainFrame;
class GenerationUi;

// The directory the program started in, and the folder file dialogs last showed.
std::string& ProgramDirectory();
std::string& LastFileDialogDirectory();

// True when the open documents are only the quest read from the file `path`
// names, unmodified: what the framework's open of the command line leaves.
bool OnlyTheQuestOf(const std::vector<platform::ui::Document*>& open, const std::string& path);

inline constexpr const char* kProfileKey = "Tirnacor Quest Editor";
inline constexpr const char* kTemplateStrings =
    "\nQuest\nQuest\nQuest document (*.qst)\n.qst\nQuest.Document\nQuest Document";

class CKelvarApp : public platform::ui::Application {
 public:
  CKelvarApp();
  ~CKelvarApp() override;

  // The program's arguments (without the program name); set before Run.
  void SetCommandLine(std::vector<std::string> args) { args_ = std::move(args); }

  bool InitInstance() override;
  int ExitInstance() override;

  // Each asks before unsaved work is dropped, closes the open quest, then
  // does the framework's New or Open. Cancelling the file dialog leaves no quest.
  void OnFileNew() override;
  void OnFileOpen() override;
  // A recent quest; one that fails to open leaves the list.
  void OnOpenRecentFile(int commandId) override;
  void OnAppAbout();

  // The stages of start-up.
  void LoadGameData();
  void LoadMachineLibrary();
  void InitDisplay();

  CMainFrame* MainFrame() const;
  GenerationUi& Generation() { return *generation_; }

 private:
  // Asks to save changed quests, then closes them; false when the user cancelled.
  bool CloseQuest();
  void OpenQuest(const std::string& path);

  std::vector<std::string> args_;
  std::unique_ptr<platform::video::Window> mainVideoWindow_;
  std::unique_ptr<GenerationUi> generation_;
};

}  // namespace kelvar
