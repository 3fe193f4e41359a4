#pragma once
// Window timers by id: setting an id again restarts it with the new period;
// each tick calls the owner's handler with the id.
#include <functional>
#include <map>
#include <memory>

class QTimer;

namespace platform::ui {

class WindowTimers {
 public:
  explicit WindowTimers(std::function<void(int id)> onTimer);
  ~WindowTimers();
  WindowTimers(const WindowTimers&) = delete;
  WindowTimers& operator=(const WindowTimers&) = delete;

  void Set(int id, int milliseconds);
  void Kill(int id);
  void KillAll();
  bool IsSet(int id) const;
  // The period of a running timer, 0 when it is not set.
  int Interval(int id) const;

 private:
  std::function<void(int)> onTimer_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace platform::ui
