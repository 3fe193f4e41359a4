#include "platform/ui/scripted_ui.h"

#include <QCoreApplication>
#include <QElapsedTimer>

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

namespace {

// Shows the dialog and waits (a few seconds at most) until it is the active
// window, so that its focus widget has been given the focus.
void ShowActive(Dialog& dialog) {
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
  QElapsedTimer waited;
  waited.start();
  while (!dialog.isActiveWindow() && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  QCoreApplication::processEvents();
}

}  // namespace

int ScriptedUi::Run(Dialog& dialog) {
  DialogAnswer answer{kDialogCancel, {}, false};
  if (!dialogs_.empty()) {
    answer = std::move(dialogs_.front());
    dialogs_.pop_front();
  }
  bool refused = false;
  if (!dialog.Initialize()) {
    if (!dialog.HasEnded()) dialog.EndDialog(kDialogCancel);
  } else if (!dialog.HasEnded() && answer.show) {
    ShowActive(dialog);
    if (answer.fill) answer.fill(dialog);
    if (!dialog.HasEnded()) dialog.Press(kDialogCancel);
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
  dialog.hide();
  dialog.Finish();
  dialogs.push_back({ToNative(dialog.windowTitle()), dialog.Result(), refused, answer.show});
  return dialog.Result();
}

}  // namespace platform::ui
