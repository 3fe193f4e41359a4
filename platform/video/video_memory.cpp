#include "platform/video/video_memory.h"

namespace platform::video {

bool VideoMemory::Take(std::size_t bytes) {
  if (bytes > capacity_ - used_) return false;
  used_ += bytes;
  return true;
}

void VideoMemory::Give(std::size_t bytes) { used_ = bytes > used_ ? 0 : used_ - bytes; }

}  // namespace platform::video
