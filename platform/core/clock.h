#pragma once
// The 32-bit millisecond clock caches compare against. It wraps like the
// system's; tests replace it.
#include <cstdint>
#include <functional>

namespace platform {

std::uint32_t Milliseconds();

// Replaces the clock source; an empty function restores the real clock.
void SetClockSource(std::function<std::uint32_t()> source);

// A clock that tests move by hand; installed while it lives.
class FakeClock {
 public:
  explicit FakeClock(std::uint32_t start = 0);
  ~FakeClock();
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;
  void Set(std::uint32_t ms) { now_ = ms; }
  void Advance(std::uint32_t ms) { now_ += ms; }
  std::uint32_t now() const { return now_; }

 private:
  std::uint32_t now_;
};

}  // namespace platform
