#pragma once
// A low limit of open files for the life of the object, so a test can show
// that a path works within a few descriptors; the limit before is restored
// afterwards, so the other tests of the binary are not starved.
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace testsupport {

class ScopedOpenFileLimit {
 public:
  explicit ScopedOpenFileLimit(rlim_t soft) {
    if (::getrlimit(RLIMIT_NOFILE, &saved_) != 0) return;
    rlimit lowered = saved_;
    lowered.rlim_cur = std::min(soft, saved_.rlim_max);
    set_ = ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
  }
  ~ScopedOpenFileLimit() {
    if (set_) ::setrlimit(RLIMIT_NOFILE, &saved_);
  }
  ScopedOpenFileLimit(const ScopedOpenFileLimit&) = delete;
  ScopedOpenFileLimit& operator=(const ScopedOpenFileLimit&) = delete;

  bool set() const { return set_; }

 private:
  rlimit saved_{};
  bool set_ = false;
};

// The descriptors this process holds open now (the listing's own excepted).
inline int OpenDescriptorCount() {
  std::error_code ec;
  int n = 0;
  for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) ++n;
  return n - 1;
}

}  // namespace testsupport
