#pragma once
// The clock and turning angle the animated previews share: every skeleton
// preview and the frame preview advance by the time since any of them was
// last painted.
#include <cstdint>

namespace kelvar {

class PreviewClock {
 public:
  // Milliseconds since the last step (the millisecond clock); a gap above
  // 1000 ms, as after a pause, counts as 1 ms.
  static std::uint32_t Step();
  static std::uint32_t Step(std::uint32_t now);
  // The frame preview's turning angle, in radians.
  static float& FrameAngle();
  // Back to the start (tests).
  static void Reset();
};

}  // namespace kelvar
