#pragma once
// Modal dialogs that answer 1 (OK) or 2 (Cancel), run through a replaceable
// runner: the window system's event loop, or a script in tests.
#include <QDialog>

class QPushButton;

#include "platform/ui/window_timers.h"

namespace platform::ui {

inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

class Dialog : public QDialog {
 public:
  // A null parent means the application's main window.
  explicit Dialog(QWidget* parent = nullptr);
  ~Dialog() override;

  // Runs the dialog modally; the value given to EndDialog (1 OK, 2 Cancel).
  int DoModal();
  void EndDialog(int result);
  bool HasEnded() const { return ended_; }
  int Result() const { return result_; }

  // Entry points for runners: initialise, press a button, tear down.
  bool Initialize();
  void Press(int button);  // kDialogOk runs OnOK, kDialogCancel runs OnCancel
  void Finish();

  // A modeless dialog (a notice shown while work runs): initialised and shown
  // at once, painted before the call returns; EndModeless tears it down.
  bool ShowModeless();
  void EndModeless();

  WindowTimers& Timers() { return timers_; }

  // Escape, the close box and accept/reject come through here.
  void accept() override { OnOK(); }
  void reject() override { OnCancel(); }

 protected:
  virtual bool OnInitDialog() { return true; }
  // Validate here and return without EndDialog to keep the dialog open.
  virtual void OnOK() { EndDialog(kDialogOk); }
  virtual void OnCancel() { EndDialog(kDialogCancel); }
  virtual void OnTimer(int /*id*/) {}
  // After the modal run, before the dialog goes.
  virtual void OnDestroy() {}

  // "&OK" (the default button) and "&Cancel", wired to OnOK and OnCancel.
  QPushButton* MakeOkButton();
  QPushButton* MakeCancelButton();

 private:
  WindowTimers timers_;
  bool ended_ = false;
  bool finished_ = false;
  int result_ = 0;
};

class IModalRunner {
 public:
  virtual ~IModalRunner() = default;
  // Initialises, runs and finishes the dialog; returns its result.
  virtual int Run(Dialog& dialog) = 0;
};

IModalRunner& ModalRunner();
// Returns the service installed before (nullptr: the default).
IModalRunner* SetModalRunner(IModalRunner* runner);

}  // namespace platform::ui
