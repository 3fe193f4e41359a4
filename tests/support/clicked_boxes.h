#pragma once
// The window system's message boxes, each shown for real with its own event
// loop and answered as a user does, by a click on its first button once it
// is up and has been read. File dialogs, menus and modal dialogs stay with the services
// installed before (a test's script).
#include <cstddef>
#include <functional>
#include <memory>

#include <QElapsedTimer>
#include <string>
#include <vector>

class QTimer;

namespace platform::ui {
class QtUi;
}

namespace testsupport {

class ClickedBoxes {
 public:
  // `drawing` tells whether something draws when a box comes up (by
  // default the framework's own count of drawings).
  explicit ClickedBoxes(std::function<bool()> drawing = {});
  ~ClickedBoxes();
  ClickedBoxes(const ClickedBoxes&) = delete;
  ClickedBoxes& operator=(const ClickedBoxes&) = delete;

  struct Box {
    std::string text;
    bool duringDrawing;  // something was drawing when the box came up
    std::vector<int> buttons;  // its buttons (QMessageBox::StandardButton), in order
  };
  std::vector<Box> boxes;
  std::vector<std::string> Texts() const;
  // Runs the event loop until `count` boxes came and went, two seconds at most.
  void WaitFor(std::size_t count);

 private:
  static constexpr int kReadingMs = 150;
  std::unique_ptr<platform::ui::QtUi> ui_;
  QTimer* timer_;
  QElapsedTimer seen_;
  std::function<bool()> drawing_;
};

}  // namespace testsupport
