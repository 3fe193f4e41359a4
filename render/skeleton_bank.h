#pragma once
// The names of every skeleton the game knows, and the 16 skeletons last
// used, loaded on demand from "data\skeletons\<name>\<name>.*"; the slot
// used longest ago (on the millisecond clock) is given up for a new one.
#include <array>
#include <cstdint>
#include <string_view>

#include "render/bank_names.h"
#include "render/skeleton.h"
#include "render/slot_cache.h"

inline constexpr int kSkeletonSlots = 16;

class CSkeletonBank : public CBankNames {
 public:
  CSkeletonBank() = default;
  CSkeletonBank(const CSkeletonBank&) = delete;
  CSkeletonBank& operator=(const CSkeletonBank&) = delete;

  // The names emptied and filled with "multipnj", then the skeleton of every
  // monster class, each base name once ignoring case. The map is reset; the
  // slots keep their skeletons until reused.
  void Rebuild();
  // Appends a name (once ignoring case) and empties every slot; its index,
  // or -1 when the registry is full.
  int Add(std::string_view name);
  // Every slot emptied, map and slot table free, times 0.
  void ResetSlots();

  // The slot holding the skeleton of a name index, loading it when needed;
  // -1 for an index outside the registry or when no slot can be had. A
  // skeleton whose files are missing or damaged still gets its slot, with
  // those lists empty. `justLoaded` tells whether this call read it.
  int AcquireSlot(int index, bool* justLoaded = nullptr);
  // The skeleton of a name index, loaded on demand; null when it cannot be had.
  CSkeleton* GetSkeleton(int index, bool* justLoaded = nullptr);
  int FindFreeSlot() const;
  // Empties the slot used longest ago (smallest time, unsigned; the lowest
  // slot on a tie) and returns it; -1 when no slot is in use.
  int EvictOldest();
  int GetSlotOfName(int index) const;
  int GetNameOfSlot(int slot) const;
  std::uint32_t GetSlotTime(int slot) const;
  const CSkeleton& Slot(int slot) const { return slots_[static_cast<std::size_t>(slot)]; }

 private:
  void ResetMap();

  std::array<CSkeleton, kSkeletonSlots> slots_;
  CSlotCache<kSkeletonSlots> cache_;
};

// The program's one skeleton bank.
extern CSkeletonBank g_skeletonBank;
