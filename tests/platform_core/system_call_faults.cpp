#include "system_call_faults.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/file.h"

namespace {

struct Armed {
  std::mutex mutex;
  std::condition_variable unlinksGo;
  std::string statTarget;
  int statError = 0;
  bool holdingUnlinks = false;
  std::thread::id holder;
};

// Never destroyed: the C library's calls go on until the very end.
Armed& State() {
  static Armed* armed = new Armed;
  return *armed;
}

std::atomic<bool> g_armed{false};

template <class Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int stat(const char* __restrict path, struct stat* __restrict buffer) noexcept {
  static const auto next = Next<int (*)(const char*, struct stat*)>("stat");
  if (g_armed.load()) {
    Armed& a = State();
    std::lock_guard lock(a.mutex);
    if (a.statError && platform::SafeSaveTemporaryTarget(path) == a.statTarget) {
      errno = a.statError;
      return -1;
    }
  }
  return next(path, buffer);
}

extern "C" int unlink(const char* path) noexcept {
  static const auto next = Next<int (*)(const char*)>("unlink");
  if (g_armed.load()) {
    Armed& a = State();
    std::unique_lock lock(a.mutex);
    a.unlinksGo.wait(lock, [&a] { return !a.holdingUnlinks || std::this_thread::get_id() == a.holder; });
  }
  return next(path);
}

namespace testsupport {

SystemCallFaults::~SystemCallFaults() {
  Armed& a = State();
  {
    std::lock_guard lock(a.mutex);
    a.statError = 0;
    a.statTarget.clear();
    a.holdingUnlinks = false;
  }
  a.unlinksGo.notify_all();
  g_armed.store(false);
}

void SystemCallFaults::FailStatOfTemporaries(std::string nativeTarget, int err) {
  Armed& a = State();
  std::lock_guard lock(a.mutex);
  a.statTarget = std::move(nativeTarget);
  a.statError = err;
  g_armed.store(true);
}

void SystemCallFaults::HoldUnlinksOfOtherThreads() {
  Armed& a = State();
  std::lock_guard lock(a.mutex);
  a.holdingUnlinks = true;
  a.holder = std::this_thread::get_id();
  g_armed.store(true);
}

void SystemCallFaults::LetUnlinksGo() {
  Armed& a = State();
  {
    std::lock_guard lock(a.mutex);
    a.holdingUnlinks = false;
  }
  a.unlinksGo.notify_all();
}

}  // namespace testsupport
