#pragma once
// Scripted file dialogs, pop-up menus and modal dialogs for tests: each shown
// one is recorded and answered from the script; an empty script cancels.
// Message boxes are platform::ScriptedServices' business.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/popup_menu.h"

namespace platform::ui {

class ScriptedUi : public IFileDialogs, public IPopupMenus, public IModalRunner {
 public:
  ScriptedUi();   // installs itself
  ~ScriptedUi() override;  // restores the previous services
  ScriptedUi(const ScriptedUi&) = delete;
  ScriptedUi& operator=(const ScriptedUi&) = delete;

  // The next file dialog picks this path; CancelFile() makes it cancel.
  void AnswerFile(std::string path) { files_.push_back(std::move(path)); }
  void CancelFile() { files_.push_back(std::nullopt); }
  // The next pop-up menu picks this command (0: dismissed).
  void AnswerPopup(int commandId) { popups_.push_back(commandId); }
  // The next modal dialog: `fill` runs after its initialisation (set fields
  // there), then the button is pressed (kDialogOk or kDialogCancel). A dialog
  // that stays open after OK is cancelled, as a user would give up.
  using Fill = std::function<void(Dialog&)>;
  void AnswerDialog(int button, Fill fill = {}) { dialogs_.push_back({button, std::move(fill), false}); }
  // The next modal dialog is shown on the screen, active, with its focus
  // where the window system puts it; `drive` then works it as a user does
  // (clicks and keys on its widgets). A dialog still open afterwards is
  // cancelled.
  void ShowDialog(Fill drive) { dialogs_.push_back({kDialogCancel, std::move(drive), true}); }

  struct ShownPopup {
    std::vector<PopupItem> items;
    QPoint pos;
    int answer;
  };
  struct ShownDialog {
    std::string title;
    int result;
    bool refusedOk;  // OK was pressed and the dialog stayed open
    bool shown;      // shown on the screen and driven
  };
  std::vector<FileDialogRequest> fileDialogs;
  std::vector<ShownPopup> popups;
  std::vector<ShownDialog> dialogs;

  std::optional<std::string> Choose(const FileDialogRequest& request) override;
  int Choose(const std::vector<PopupItem>& items, QPoint globalPos) override;
  int Run(Dialog& dialog) override;

 private:
  struct DialogAnswer {
    int button;
    Fill fill;
    bool show;
  };
  std::deque<std::optional<std::string>> files_;
  std::deque<int> popups_;
  std::deque<DialogAnswer> dialogs_;
  IFileDialogs* previousFiles_;
  IPopupMenus* previousPopups_;
  IModalRunner* previousRunner_;
};

}  // namespace platform::ui
