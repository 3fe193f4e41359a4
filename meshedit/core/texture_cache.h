#pragma once
// Which device texture slot holds which texture id. A texture not resident
// takes a free slot, else the slot that has gone the most frames unused.
#include <vector>

namespace pavix {

class CTextureCache {
 public:
  CTextureCache() = default;

  void Init(int slots, int ids);
  void Free();
  void Reset();
  void NewFrame();
  // The slot of an id; isNew tells whether it must be loaded, evictedSlot the
  // slot whose id was dropped for it (-1 when none). -1 for an id outside
  // 0..ids-1 or without slots.
  int GetSlot(int id, int* isNew, int* evictedSlot);
  int IsUsedThisFrame(int slot) const;
  int GetUseCount(int slot) const;
  int SlotOf(int id) const;
  int IdOf(int slot) const;
  int SlotCount() const { return static_cast<int>(slotToId_.size()); }
  int IdCount() const { return static_cast<int>(idToSlot_.size()); }
  unsigned Frame() const { return frame_; }

 private:
  unsigned frame_ = 0;
  std::vector<int> idToSlot_;
  std::vector<int> slotToId_;
  std::vector<unsigned> lastUse_;
  std::vector<int> useCount_;
};

}  // namespace pavix
