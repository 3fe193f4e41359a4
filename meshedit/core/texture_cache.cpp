#include "meshedit/core/texture_cache.h"

namespace pavix {

void CTextureCache::Init(int slots, int ids) {
  slotToId_.assign(static_cast<std::size_t>(slots > 0 ? slots : 0), -1);
  lastUse_.assign(slotToId_.size(), 0);
  useCount_.assign(slotToId_.size(), 0);
  idToSlot_.assign(static_cast<std::size_t>(ids > 0 ? ids : 0), -1);
  Reset();
}

void CTextureCache::Free() {
  idToSlot_.clear();
  slotToId_.clear();
  lastUse_.clear();
  useCount_.clear();
  frame_ = 0;
}

void CTextureCache::Reset() {
  for (auto& s : slotToId_) s = -1;
  for (auto& u : lastUse_) u = 0;
  for (auto& c : useCount_) c = 0;
  for (auto& i : idToSlot_) i = -1;
  frame_ = 0;
}

void CTextureCache::NewFrame() {
  ++frame_;
  for (auto& c : useCount_) c = 0;
}

int CTextureCache::GetSlot(int id, int* isNew, int* evictedSlot) {
  if (evictedSlot) *evictedSlot = -1;
  if (isNew) *isNew = 0;
  if (id < 0 || id >= IdCount() || slotToId_.empty()) return -1;
  int slot = idToSlot_[static_cast<std::size_t>(id)];
  if (slot >= 0) {
    lastUse_[static_cast<std::size_t>(slot)] = frame_;
    ++useCount_[static_cast<std::size_t>(slot)];
    return slot;
  }
  if (isNew) *isNew = 1;
  for (std::size_t i = 0; i < slotToId_.size() && slot < 0; ++i)
    if (slotToId_[i] < 0) slot = static_cast<int>(i);
  if (slot < 0) {
    unsigned oldest = 0;
    for (std::size_t i = 0; i < slotToId_.size(); ++i) {
      const unsigned age = frame_ - lastUse_[i];
      if (slot < 0 || age > oldest) {
        slot = static_cast<int>(i);
        oldest = age;
      }
    }
    idToSlot_[static_cast<std::size_t>(slotToId_[static_cast<std::size_t>(slot)])] = -1;
    if (evictedSlot) *evictedSlot = slot;
  }
  const auto s = static_cast<std::size_t>(slot);
  slotToId_[s] = id;
  idToSlot_[static_cast<std::size_t>(id)] = slot;
  lastUse_[s] = frame_;
  ++useCount_[s];
  return slot;
}

int CTextureCache::IsUsedThisFrame(int slot) const {
  if (slot < 0 || slot >= SlotCount()) return 0;
  return lastUse_[static_cast<std::size_t>(slot)] == frame_ ? 1 : 0;
}

int CTextureCache::GetUseCount(int slot) const {
  if (slot < 0 || slot >= SlotCount()) return 0;
  return useCount_[static_cast<std::size_t>(slot)];
}

int CTextureCache::SlotOf(int id) const {
  if (id < 0 || id >= IdCount()) return -1;
  return idToSlot_[static_cast<std::size_t>(id)];
}

int CTextureCache::IdOf(int slot) const {
  if (slot < 0 || slot >= SlotCount()) return -1;
  return slotToId_[static_cast<std::size_t>(slot)];
}

}  // namespace pavix
