#include "platform/ui/window_timers.h"

#include <QTimer>

namespace platform::ui {

WindowTimers::WindowTimers(std::function<void(int)> onTimer) : onTimer_(std::move(onTimer)) {}

WindowTimers::~WindowTimers() = default;

void WindowTimers::Set(int id, int milliseconds) {
  auto& t = timers_[id];
  if (!t) {
    t = std::make_unique<QTimer>();
    QObject::connect(t.get(), &QTimer::timeout, t.get(), [this, id] {
      if (onTimer_) onTimer_(id);
    });
  }
  t->start(milliseconds < 0 ? 0 : milliseconds);
}

void WindowTimers::Kill(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  // The handler may be killing its own timer from inside the tick.
  it->second->stop();
  it->second.release()->deleteLater();
  timers_.erase(it);
}

void WindowTimers::KillAll() {
  while (!timers_.empty()) Kill(timers_.begin()->first);
}

bool WindowTimers::IsSet(int id) const { return timers_.count(id) != 0; }

int WindowTimers::Interval(int id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second->interval();
}

}  // namespace platform::ui
