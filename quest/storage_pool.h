#pragma once
// Raw storage of one size, kept when released and handed out again. A quest's
// rooms are large and are rebuilt together whenever a quest is opened (the new
// quest is read beside the open one, which is freed after): memory handed back
// to the system would have to be faulted in page by page on the next build,
// which costs more than reading the rooms, so the storage of freed rooms stays
// with the program for the next ones. Not thread-safe: rooms are made and
// freed on the program's one thread.
#include <cstddef>

class StoragePool {
 public:
  explicit constexpr StoragePool(std::size_t size) : size_(size < sizeof(Free) ? sizeof(Free) : size) {}
  StoragePool(const StoragePool&) = delete;
  StoragePool& operator=(const StoragePool&) = delete;

  // Storage for one record of the pool's size; throws std::bad_alloc.
  void* Take();
  void Give(void* storage) noexcept;
  std::size_t size() const { return size_; }
  std::size_t kept() const { return kept_; }  // blocks waiting to be handed out

 private:
  struct Free {
    Free* next;
  };
  std::size_t size_;
  Free* free_ = nullptr;
  std::size_t kept_ = 0;
};
