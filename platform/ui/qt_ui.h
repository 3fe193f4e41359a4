#pragma once
// The window system's services: message boxes, quitting, file dialogs,
// pop-up menus and modal dialogs. The program creates one in main; it
// installs itself and restores the previous services when it goes.
#include "platform/core/services.h"
#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/popup_menu.h"

namespace platform::ui {

class QtUi : public platform::IUiServices, public IFileDialogs, public IPopupMenus, public IModalRunner {
 public:
  QtUi();
  ~QtUi() override;
  QtUi(const QtUi&) = delete;
  QtUi& operator=(const QtUi&) = delete;

  int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override;
  void PostQuit(int code) override;
  [[noreturn]] void Exit(int code) override;

  std::optional<std::string> Choose(const FileDialogRequest& request) override;
  int Choose(const std::vector<PopupItem>& items, QPoint globalPos) override;
  int Run(Dialog& dialog) override;

 private:
  platform::IUiServices* previousUi_;
  IFileDialogs* previousFiles_;
  IPopupMenus* previousPopups_;
  IModalRunner* previousRunner_;
};

}  // namespace platform::ui
