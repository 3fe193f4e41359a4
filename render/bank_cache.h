#pragma once
// Which texture bank sits in which renderer slot, with the least recently
// used slot given up when all are taken.
#include <array>
#include <cstdint>

inline constexpr int kTextureBanks = 1024;
inline constexpr int kBankCacheSlots = 64;

class CTextureBankCache {
 public:
  CTextureBankCache();

  // Every bank unloaded, every slot free, every last use = now, hits 0.
  void Reset(std::uint32_t now);
  // The first free slot in [first, last], else the one unused longest
  // (the lowest on a tie; unsigned ages, so the clock's wrap keeps the
  // order), whose bank is then unloaded. -1 when the range is empty.
  int AllocSlot(int bank, int first, int last, std::uint32_t now, bool* evicted);
  void Assign(int bank, int slot, std::uint32_t now);
  void Touch(int slot, std::uint32_t now);

  int SlotOfBank(int bank) const;  // -1 when not loaded or out of range
  int BankOfSlot(int slot) const;  // -1 when free
  std::uint32_t LastUse(int slot) const { return lastUse_[slot]; }
  std::uint32_t LoadTime(int slot) const { return loadTime_[slot]; }
  int Hits(int slot) const { return hits_[slot]; }
  int Evictions() const { return evictions_; }

 private:
  std::array<int, kTextureBanks> bankToSlot_;
  std::array<int, kBankCacheSlots> slotToBank_;
  std::array<std::uint32_t, kBankCacheSlots> lastUse_{};
  std::array<std::uint32_t, kBankCacheSlots> loadTime_{};
  std::array<int, kBankCacheSlots> hits_{};
  int evictions_ = 0;
};
