#pragma once
// Bookkeeping of the emulated card's memory: surfaces placed in video (or
// AGP) memory take their bytes from a fixed budget and give them back when
// they go.
#include <cstddef>
#include <memory>

namespace platform::video {

class VideoMemory {
 public:
  explicit VideoMemory(std::size_t capacity) : capacity_(capacity) {}
  bool Take(std::size_t bytes);
  void Give(std::size_t bytes);
  std::size_t Used() const { return used_; }
  std::size_t Capacity() const { return capacity_; }

 private:
  std::size_t capacity_;
  std::size_t used_ = 0;
};

// One allocation from a budget, returned when destroyed.
class VideoMemoryLease {
 public:
  VideoMemoryLease() = default;
  VideoMemoryLease(std::shared_ptr<VideoMemory> pool, std::size_t bytes) : pool_(std::move(pool)), bytes_(bytes) {}
  ~VideoMemoryLease() {
    if (pool_) pool_->Give(bytes_);
  }
  VideoMemoryLease(VideoMemoryLease&& o) noexcept : pool_(std::move(o.pool_)), bytes_(o.bytes_) { o.bytes_ = 0; }
  VideoMemoryLease& operator=(VideoMemoryLease&& o) noexcept {
    if (this != &o) {
      if (pool_) pool_->Give(bytes_);
      pool_ = std::move(o.pool_);
      bytes_ = o.bytes_;
      o.bytes_ = 0;
    }
    return *this;
  }
  VideoMemoryLease(const VideoMemoryLease&) = delete;
  VideoMemoryLease& operator=(const VideoMemoryLease&) = delete;

 private:
  std::shared_ptr<VideoMemory> pool_;
  std::size_t bytes_ = 0;
};

}  // namespace platform::video
