#include "platform/core/clock.h"

#include <chrono>

namespace platform {
namespace {
std::function<std::uint32_t()>& Source() {
  static std::function<std::uint32_t()> source;
  return source;
}
}  // namespace

std::uint32_t Milliseconds() {
  if (Source()) return Source()();
  using namespace std::chrono;
  auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(ms);
}

void SetClockSource(std::function<std::uint32_t()> source) { Source() = std::move(source); }

FakeClock::FakeClock(std::uint32_t start) : now_(start) {
  SetClockSource([this] { return now_; });
}

FakeClock::~FakeClock() { SetClockSource({}); }

}  // namespace platform
