#pragma once
// Working the window system's own dialogs (its file dialogs and message
// boxes, as the program's Qt services show them) as a user does: each step
// waits for the window it is meant for, then types into it or clicks it.
// Steps act from the event queue, so a window the action opens runs its
// own loop while the steps go on working it.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

class QWidget;

namespace testsupport {

class LiveDialogs {
 public:
  // Given the active modal window: false while it is not (yet) the one the
  // step is for, true once the step has sent its input.
  using Step = std::function<bool(QWidget& window)>;

  LiveDialogs();
  ~LiveDialogs();
  LiveDialogs(const LiveDialogs&) = delete;
  LiveDialogs& operator=(const LiveDialogs&) = delete;

  LiveDialogs& Then(Step step);
  // Every step ran and no window came that no step was for.
  ::testing::AssertionResult Worked() const;

  // Every window shown while the steps ran, as "title: text" for a box and
  // "file dialog: title" for a file dialog, in order.
  std::vector<std::string> shown;
  // Windows no step was for (each was closed), and a step that waited in
  // vain (the window was closed and the steps left).
  std::vector<std::string> unexpected;

 private:
  void Poll();

  std::deque<Step> steps_;
  QWidget* last_ = nullptr;
  QTimer timer_;
  QElapsedTimer waited_;
};

// The file dialog's name field typed over, then Return.
LiveDialogs::Step TypeFileName(std::string name);
// A click on the file dialog's row showing the name (once its folder is read).
LiveDialogs::Step ClickFileRow(std::string name);
// A click on the message box's button.
LiveDialogs::Step ClickBoxButton(QMessageBox::StandardButton button);

}  // namespace testsupport
