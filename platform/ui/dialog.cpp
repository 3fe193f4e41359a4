#include "platform/ui/dialog.h"

#include <QCoreApplication>
#include <QPushButton>

#include "platform/ui/application.h"
#include "platform/ui/frame_window.h"

namespace platform::ui {
namespace {

IModalRunner*& Current() {
  static IModalRunner* current = nullptr;
  return current;
}

QWidget* DefaultParent(QWidget* parent) {
  if (parent) return parent;
  Application* app = Application::Instance();
  return app ? app->MainWindow() : nullptr;
}

}  // namespace

IModalRunner& DefaultModalRunner();  // qt_ui.cpp

IModalRunner& ModalRunner() { return Current() ? *Current() : DefaultModalRunner(); }

IModalRunner* SetModalRunner(IModalRunner* runner) {
  IModalRunner* previous = Current();
  Current() = runner;
  return previous;
}

Dialog::Dialog(QWidget* parent)
    : QDialog(DefaultParent(parent)), timers_([this](int id) { OnTimer(id); }) {
  setModal(true);
}

Dialog::~Dialog() { timers_.KillAll(); }

int Dialog::DoModal() {
  ended_ = false;
  finished_ = false;
  result_ = 0;
  return ModalRunner().Run(*this);
}

void Dialog::EndDialog(int result) {
  ended_ = true;
  result_ = result;
  QDialog::done(result);
}

bool Dialog::Initialize() { return OnInitDialog(); }

bool Dialog::ShowModeless() {
  ended_ = false;
  finished_ = false;
  setModal(false);
  if (!Initialize()) return false;
  show();
  QCoreApplication::processEvents();
  return true;
}

void Dialog::EndModeless() {
  hide();
  Finish();
}

void Dialog::Press(int button) {
  if (button == kDialogOk) OnOK();
  else if (button == kDialogCancel) OnCancel();
}

void Dialog::Finish() {
  if (finished_) return;
  finished_ = true;
  timers_.KillAll();
  OnDestroy();
}

QPushButton* Dialog::MakeOkButton() {
  auto* ok = new QPushButton("&OK", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
  return ok;
}

QPushButton* Dialog::MakeCancelButton() {
  auto* cancel = new QPushButton("&Cancel", this);
  connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  return cancel;
}

}  // namespace platform::ui
