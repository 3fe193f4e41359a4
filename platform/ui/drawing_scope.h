#pragma once
// Drawing runs to its end without an event loop inside it. A message box's
// loop started from a paint would let the window system paint the same
// window again and end its paint while the first painter is still drawing;
// the first paint then goes on with a dead painter. So while anything draws
// (every paint event, and each frame a program draws outside one), work that
// needs an event loop waits until the outermost drawing is over.
#include <functional>

#include <QApplication>

namespace platform::ui {

// Marks a drawing for as long as it lives; nests.
class DrawingScope {
 public:
  DrawingScope();
  ~DrawingScope();
  DrawingScope(const DrawingScope&) = delete;
  DrawingScope& operator=(const DrawingScope&) = delete;
};

// How many drawings are in progress (0: none; 2 or more: one inside another).
int DrawingDepth();
inline bool Drawing() { return DrawingDepth() > 0; }

// Runs `work` at once when nothing draws; else keeps it, in order, until the
// outermost drawing ends and the event loop runs again.
void WhenNotDrawing(std::function<void()> work);
// Runs whatever waits now, drawing or not (a program about to end).
void RunWaitingWork();

// The Qt application of the programs and their tests: each paint event it
// delivers is a drawing.
class QtApplication : public QApplication {
 public:
  QtApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace platform::ui
