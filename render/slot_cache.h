#pragma once
// Which name of a registry sits in which of N cache slots, with the time
// each slot was last used: the bookkeeping the mesh and skeleton banks share.
// The slot used longest ago is the one with the smallest time, compared
// unsigned, the lowest slot winning a tie.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

template <int N>
class CSlotCache {
 public:
  CSlotCache() { nameOfSlot_.fill(-1); }

  // Every slot free and its time 0; the map sized to `names`, all unbound.
  void Reset(int names) {
    slotOfName_.assign(static_cast<std::size_t>(names), -1);
    nameOfSlot_.fill(-1);
    lastUse_.fill(0);
  }
  // Room in the map for `names`, new names unbound.
  void Grow(int names) {
    if (slotOfName_.size() < static_cast<std::size_t>(names)) slotOfName_.resize(static_cast<std::size_t>(names), -1);
  }

  int FindFreeSlot() const {
    for (int i = 0; i < N; ++i) {
      if (nameOfSlot_[static_cast<std::size_t>(i)] < 0) return i;
    }
    return -1;
  }
  // The slot in use that was used longest ago; -1 when none is in use.
  int OldestSlot() const {
    int oldest = -1;
    for (int i = 0; i < N; ++i) {
      const auto s = static_cast<std::size_t>(i);
      if (nameOfSlot_[s] < 0) continue;
      if (oldest < 0 || lastUse_[s] < lastUse_[static_cast<std::size_t>(oldest)]) oldest = i;
    }
    return oldest;
  }
  void Bind(int name, int slot, std::uint32_t now) {
    Grow(name + 1);
    slotOfName_[static_cast<std::size_t>(name)] = slot;
    nameOfSlot_[static_cast<std::size_t>(slot)] = name;
    lastUse_[static_cast<std::size_t>(slot)] = now;
  }
  void Unbind(int slot) {
    const auto s = static_cast<std::size_t>(slot);
    const int name = nameOfSlot_[s];
    if (name >= 0 && static_cast<std::size_t>(name) < slotOfName_.size()) slotOfName_[static_cast<std::size_t>(name)] = -1;
    nameOfSlot_[s] = -1;
  }
  void Touch(int slot, std::uint32_t now) { lastUse_[static_cast<std::size_t>(slot)] = now; }

  // -1 when the name is outside the map or not in a slot.
  int SlotOfName(int name) const {
    if (name < 0 || static_cast<std::size_t>(name) >= slotOfName_.size()) return -1;
    return slotOfName_[static_cast<std::size_t>(name)];
  }
  // -1 when the slot is free or out of range.
  int NameOfSlot(int slot) const {
    if (slot < 0 || slot >= N) return -1;
    return nameOfSlot_[static_cast<std::size_t>(slot)];
  }
  std::uint32_t SlotTime(int slot) const {
    if (slot < 0 || slot >= N) return 0;
    return lastUse_[static_cast<std::size_t>(slot)];
  }

 private:
  std::vector<int> slotOfName_;
  std::array<int, N> nameOfSlot_;
  std::array<std::uint32_t, N> lastUse_{};
};
