#include "audio/stream_buffer.h"

#include <cstring>

void CStreamBuffer::Attach(std::unique_ptr<Target> target, std::uint32_t size) {
  Release();
  target_ = std::move(target);
  size_ = target_ ? size : 0;
}

void* CStreamBuffer::Lock(std::uint32_t offset, std::uint32_t size) {
  if (!target_) return nullptr;
  if (locked_) Unlock();
  if (!target_->Lock(offset, size, &region_[0], &region_size_[0], &region_[1], &region_size_[1])) return nullptr;
  locked_ = true;
  return region_[0];
}

void CStreamBuffer::Unlock() {
  if (!target_ || !locked_) return;
  target_->Unlock(region_[0], region_size_[0], region_[1], region_size_[1]);
  locked_ = false;
  region_[0] = region_[1] = nullptr;
  region_size_[0] = region_size_[1] = 0;
}

void CStreamBuffer::Stop() {
  if (target_) target_->Stop();
}

void CStreamBuffer::Clear() {
  if (!target_) return;
  if (Lock(0, size_)) {
    if (region_[0]) std::memset(region_[0], 0, region_size_[0]);
    if (region_[1]) std::memset(region_[1], 0, region_size_[1]);
    Unlock();
  }
  target_->SetPosition(0);
}

void CStreamBuffer::Release() {
  if (!target_) return;
  Stop();
  Unlock();
  target_.reset();
  size_ = 0;
}
