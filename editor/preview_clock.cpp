#include "editor/preview_clock.h"

#include "platform/core/clock.h"

namespace kelvar {
namespace {

struct ClockState {
  std::uint32_t last = 0;
  float frameAngle = 0.0f;
};

ClockState& State() {
  static ClockState state;
  return state;
}

}  // namespace

std::uint32_t PreviewClock::Step() { return Step(platform::Milliseconds()); }

std::uint32_t PreviewClock::Step(std::uint32_t now) {
  const std::uint32_t elapsed = now - State().last;
  State().last = now;
  return elapsed > 1000u ? 1u : elapsed;
}

float& PreviewClock::FrameAngle() { return State().frameAngle; }

void PreviewClock::Reset() { State() = ClockState{}; }

}  // namespace kelvar
