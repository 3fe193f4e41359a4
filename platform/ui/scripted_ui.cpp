#include "platform/ui/scripted_ui.h"

#include "platform/ui/text_codec.h"

namespace platform::ui {

ScriptedUi::ScriptedUi()
    : previousFiles_(SetFileDialogs(this)),
      previousPopups_(SetPopupMenus(this)),
      previousRunner_(SetModalRunner(this)) {}

ScriptedUi::~ScriptedUi() {
  SetFileDialogs(previousFiles_);
  SetPopupMenus(previousPopups_);
  SetModalRunner(previousRunner_);
}

std::optional<std::string> ScriptedUi::Choose(const FileDialogRequest& request) {
  fileDialogs.push_back(request);
  if (files_.empty()) return std::nullopt;
  auto answer = files_.front();
  files_.pop_front();
  return answer;
}

int ScriptedUi::Choose(const std::vector<PopupItem>& items, QPoint globalPos) {
  int answer = 0;
  if (!popups_.empty()) {
    answer = popups_.front();
    popups_.pop_front();
  }
  popups.push_back({items, globalPos, answer});
  return answer;
}

int ScriptedUi::Run(Dialog& dialog) {
  DialogAnswer answer{kDialogCancel, {}};
  if (!dialogs_.empty()) {
    answer = std::move(dialogs_.front());
    dialogs_.pop_front();
  }
  bool refused = false;
  if (!dialog.Initialize()) {
    if (!dialog.HasEnded()) dialog.EndDialog(kDialogCancel);
  } else if (!dialog.HasEnded()) {
    if (answer.fill) answer.fill(dialog);
    if (!dialog.HasEnded()) dialog.Press(answer.button);
    if (!dialog.HasEnded()) {
      refused = answer.button == kDialogOk;
      dialog.Press(kDialogCancel);
      if (!dialog.HasEnded()) dialog.EndDialog(kDialogCancel);
    }
  }
  dialog.Finish();
  dialogs.push_back({ToNative(dialog.windowTitle()), dialog.Result(), refused});
  return dialog.Result();
}

}  // namespace platform::ui
