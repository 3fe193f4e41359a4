#include "support/live_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>

namespace testsupport {
namespace {

// Long enough for a folder to be read, short enough that a test that waits in
// vain ends.
constexpr int kPatienceMs = 10000;

std::string Describe(QWidget& window) {
  if (auto* box = qobject_cast<QMessageBox*>(&window))
    return box->windowTitle().toStdString() + ": " + box->text().toStdString();
  if (qobject_cast<QFileDialog*>(&window)) return "file dialog: " + window.windowTitle().toStdString();
  return std::string(window.metaObject()->className()) + ": " + window.windowTitle().toStdString();
}

void Close(QWidget& window) {
  if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->reject();
  else window.close();
}

// After the step's poll has returned, so a window the input opens runs its loop
// while the steps go on.
void Later(std::function<void()> input) { QMetaObject::invokeMethod(qApp, std::move(input), Qt::QueuedConnection); }

}  // namespace

LiveDialogs::LiveDialogs() {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
  timer_.start(10);
  waited_.start();
}

LiveDialogs::~LiveDialogs() { timer_.stop(); }

LiveDialogs& LiveDialogs::Then(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

::testing::AssertionResult LiveDialogs::Worked() const {
  if (steps_.empty() && unexpected.empty()) return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  if (!steps_.empty()) failure << steps_.size() << " steps found no window to work; ";
  for (const std::string& u : unexpected) failure << "unexpected: " << u << "; ";
  return failure;
}

void LiveDialogs::Poll() {
  QWidget* window = QApplication::activeModalWidget();
  if (!window) return;
  if (window != last_) {
    last_ = window;
    shown.push_back(Describe(*window));
    waited_.restart();
  }
  if (steps_.empty()) {
    unexpected.push_back(Describe(*window));
    last_ = nullptr;
    Close(*window);
    return;
  }
  if (steps_.front()(*window)) {
    steps_.pop_front();
    waited_.restart();
    return;
  }
  if (waited_.elapsed() > kPatienceMs) {
    unexpected.push_back("no step could work " + Describe(*window));
    steps_.clear();
    last_ = nullptr;
    Close(*window);
  }
}

LiveDialogs::Step TypeFileName(std::string name) {
  return [name](QWidget& window) {
    auto* dialog = qobject_cast<QFileDialog*>(&window);
    QLineEdit* field = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
    if (!field || !field->isVisible()) return false;
    Later([field, name] {
      field->setFocus();
      QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(field, Qt::Key_Delete);
      QTest::keyClicks(field, QString::fromStdString(name));
      QTest::keyClick(field, Qt::Key_Return);
    });
    return true;
  };
}

LiveDialogs::Step ClickFileRow(std::string name) {
  return [name](QWidget& window) {
    auto* dialog = qobject_cast<QFileDialog*>(&window);
    QListView* list = dialog ? dialog->findChild<QListView*>("listView") : nullptr;
    if (!list || !list->model()) return false;
    const QAbstractItemModel& model = *list->model();
    for (int row = 0; row < model.rowCount(list->rootIndex()); ++row) {
      const QModelIndex index = model.index(row, 0, list->rootIndex());
      if (index.data().toString().toStdString() != name) continue;
      Later([list, index] {
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
      });
      return true;
    }
    return false;  // the folder is still being read
  };
}

LiveDialogs::Step ClickBoxButton(QMessageBox::StandardButton which) {
  return [which](QWidget& window) {
    auto* box = qobject_cast<QMessageBox*>(&window);
    QAbstractButton* button = box ? box->button(which) : nullptr;
    if (!button || !button->isVisible()) return false;
    Later([button] { QTest::mouseClick(button, Qt::LeftButton); });
    return true;
  };
}

}  // namespace testsupport
