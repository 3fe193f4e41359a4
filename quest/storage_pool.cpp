#include "quest/storage_pool.h"

#include <new>

void* StoragePool::Take() {
  if (!free_) return ::operator new(size_);
  Free* block = free_;
  free_ = block->next;
  --kept_;
  return block;
}

void StoragePool::Give(void* storage) noexcept {
  if (!storage) return;
  Free* block = ::new (storage) Free{free_};
  free_ = block;
  ++kept_;
}
