// The texture-bank cache and the search for a bank's file.
#include "render/bank_cache.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "datafiles/common/debug_trace.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/clock.h"
#include "platform/core/paths.h"
#include "render/engine_3d.h"
#include "render/engine_state.h"
#include "render/renderer.h"

CTextureBankCache::CTextureBankCache() { Reset(0); }

void CTextureBankCache::Reset(std::uint32_t now) {
  bankToSlot_.fill(-1);
  slotToBank_.fill(-1);
  lastUse_.fill(now);
  hits_.fill(0);
}

int CTextureBankCache::AllocSlot(int bank, int first, int last, std::uint32_t now, bool* evicted) {
  if (evicted) *evicted = false;
  first = std::max(first, 0);
  last = std::min(last, kBankCacheSlots - 1);
  if (first > last) return -1;
  for (int i = first; i <= last; ++i)
    if (slotToBank_[i] == -1) return i;
  int oldest = first;
  for (int i = first + 1; i <= last; ++i)
    if (now - lastUse_[i] > now - lastUse_[oldest]) oldest = i;
  const int old = slotToBank_[oldest];
  if (old >= 0 && old < kTextureBanks) bankToSlot_[old] = -1;
  slotToBank_[oldest] = -1;
  ++evictions_;
  if (evicted) *evicted = true;
  (void)bank;
  return oldest;
}

void CTextureBankCache::Assign(int bank, int slot, std::uint32_t now) {
  if (bank < 0 || bank >= kTextureBanks || slot < 0 || slot >= kBankCacheSlots) return;
  bankToSlot_[bank] = slot;
  slotToBank_[slot] = bank;
  lastUse_[slot] = now;
  loadTime_[slot] = now;
}

void CTextureBankCache::Touch(int slot, std::uint32_t now) {
  if (slot < 0 || slot >= kBankCacheSlots) return;
  lastUse_[slot] = now;
  ++hits_[slot];
}

int CTextureBankCache::SlotOfBank(int bank) const {
  if (bank < 0 || bank >= kTextureBanks) return -1;
  return bankToSlot_[bank];
}

int CTextureBankCache::BankOfSlot(int slot) const {
  if (slot < 0 || slot >= kBankCacheSlots) return -1;
  return slotToBank_[slot];
}

const char* C3DEngine::FindBankFile(int bank) {
  EngineState& s = Engine();
  if (bank < 0 || bank >= kTextureBanks) {
    DebugTrace("bank %d not found\n", bank);
    return nullptr;
  }
  static const char* const kFolders[] = {"rozizuzi\\bank\\", "DATA\\bankdatabase\\brimvault\\"};
  char pattern[128];
  for (const char* folder : kFolders) {
    std::snprintf(pattern, sizeof pattern, "%sk%04d_*.tga", folder, bank);
    for (const platform::FindEntry& e : platform::FindFiles(pattern)) {
      if (e.isDirectory) continue;
      std::snprintf(s.bankPath, sizeof s.bankPath, "%s%s", folder, e.name.c_str());
      return s.bankPath;
    }
  }
  std::snprintf(pattern, sizeof pattern, "DATA\\bankdatabase\\brimvault\\k%04d_*.tga", bank);
  char entry[260];
  if (MtfMatchEntry(pattern, entry)) {
    std::snprintf(s.bankPath, sizeof s.bankPath, "%s", entry);
    return s.bankPath;
  }
  DebugTrace("bank %d not found\n", bank);
  return nullptr;
}

int C3DEngine::GetBankSlot(int bank) {
  EngineState& s = Engine();
  const std::uint32_t now = platform::Milliseconds();
  if (bank < 0 || bank >= kTextureBanks) {
    DebugTrace("bank %d not found\n", bank);
    return -1;
  }
  const int held = s.banks.SlotOfBank(bank);
  if (held >= 0) {
    s.banks.Touch(held, now);
    return held;
  }
  DebugTrace("trying loading in cache bank \n");
  if (!s.renderer) return -1;
  bool evicted = false;
  const int slot = s.banks.AllocSlot(bank, 0, s.renderer->GetTextureCount() - 1, now, &evicted);
  if (slot < 0) return -1;
  s.banks.Assign(bank, slot, now);
  const char* path = FindBankFile(bank);
  if (evicted) s.renderer->PauseScene();
  if (path) s.renderer->LoadTexture(slot, path);
  if (evicted) s.renderer->ResumeScene();
  return slot;
}

void C3DEngine::ResetTextureCache() {
  EngineState& s = Engine();
  s.banks.Reset(platform::Milliseconds());
  if (s.renderer) s.renderer->ReleaseBitmaps();
}
