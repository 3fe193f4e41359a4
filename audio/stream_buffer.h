#pragma once
// The streaming sound buffer a music player writes decoded audio into. The
// player here is only prepared, so no buffer is ever created: without one
// every operation does nothing. A buffer is anything that can be locked in two
// regions, unlocked, stopped, rewound and released.
#include <cstdint>
#include <memory>

class CStreamBuffer {
 public:
  class Target {
   public:
    virtual ~Target() = default;
    // Locks `size` bytes from `offset`; the second region is where a lock wraps.
    virtual bool Lock(std::uint32_t offset, std::uint32_t size, void** first, std::uint32_t* first_size,
                      void** second, std::uint32_t* second_size) = 0;
    virtual void Unlock(void* first, std::uint32_t first_size, void* second, std::uint32_t second_size) = 0;
    virtual void Stop() = 0;
    virtual void SetPosition(std::uint32_t position) = 0;
  };

  void Attach(std::unique_ptr<Target> target, std::uint32_t size);

  // The first locked region, or null without a buffer or when locking fails.
  void* Lock(std::uint32_t offset, std::uint32_t size);
  void Unlock();
  void Stop();
  // Zeroes the whole buffer and rewinds it.
  void Clear();
  void Release();

  bool locked() const { return locked_; }
  std::uint32_t size() const { return size_; }

 private:
  std::unique_ptr<Target> target_;
  std::uint32_t size_ = 0;
  void* region_[2] = {nullptr, nullptr};
  std::uint32_t region_size_[2] = {0, 0};
  bool locked_ = false;
};
