#include "platform/ui/drawing_scope.h"

#include <deque>

#include <QEvent>
#include <QMetaObject>

namespace platform::ui {
namespace {

struct State {
  int depth = 0;
  bool queued = false;  // a run of the waiting work is posted
  std::deque<std::function<void()>> waiting;
};

State& TheState() {
  static State s;
  return s;
}

void PostRun() {
  State& s = TheState();
  if (s.queued || s.waiting.empty() || !QCoreApplication::instance()) return;
  s.queued = true;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [] {
        TheState().queued = false;
        // A drawing may have begun again before the loop came round.
        if (Drawing()) return;
        RunWaitingWork();
      },
      Qt::QueuedConnection);
}

}  // namespace

DrawingScope::DrawingScope() { ++TheState().depth; }

DrawingScope::~DrawingScope() {
  if (--TheState().depth == 0) PostRun();
}

int DrawingDepth() { return TheState().depth; }

void WhenNotDrawing(std::function<void()> work) {
  if (!Drawing()) {
    work();
    return;
  }
  TheState().waiting.push_back(std::move(work));
}

void RunWaitingWork() {
  State& s = TheState();
  while (!s.waiting.empty()) {
    std::function<void()> work = std::move(s.waiting.front());
    s.waiting.pop_front();
    work();
  }
}

QtApplication::QtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QtApplication::notify(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::Paint) return QApplication::notify(receiver, event);
  DrawingScope drawing;
  return QApplication::notify(receiver, event);
}

}  // namespace platform::ui
