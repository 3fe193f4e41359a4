#include "render/skeleton_bank.h"

#include <cstdio>

#include "datafiles/common/debug_trace.h"
#include "datafiles/monster_class_table.h"
#include "platform/core/clock.h"
#include "platform/core/services.h"

CSkeletonBank g_skeletonBank;

namespace {
constexpr const char* kFirstSkeleton = "multipnj";
}

CSkeletonBank::CSkeletonBank() { nameOfSlot_.fill(-1); }

void CSkeletonBank::ResetMap() {
  slotOfName_.assign(static_cast<std::size_t>(GetCount()), -1);
  failed_.assign(static_cast<std::size_t>(GetCount()), 0);
  nameOfSlot_.fill(-1);
}

void CSkeletonBank::Rebuild() {
  FreeNames();
  AppendName(kFirstSkeleton);
  for (std::size_t i = 0; i < g_monsterClassTable.Count(); ++i) {
    const char* skeleton = g_monsterClassTable.Row(i).skeleton;
    if (skeleton[0] == '\0' || FindName(BaseName(skeleton)) >= 0) continue;
    if (AppendName(skeleton) < 0) break;
  }
  ResetMap();
  lastUse_.fill(0);
}

int CSkeletonBank::Add(std::string_view name) {
  int index = FindName(BaseName(name));
  if (index < 0) index = AppendName(name);
  ResetSlots();
  return index;
}

void CSkeletonBank::EmptySlot(int slot) {
  const auto s = static_cast<std::size_t>(slot);
  const int name = nameOfSlot_[s];
  if (name >= 0 && static_cast<std::size_t>(name) < slotOfName_.size()) slotOfName_[static_cast<std::size_t>(name)] = -1;
  nameOfSlot_[s] = -1;
  slots_[s].Clear();
}

void CSkeletonBank::ResetSlots() {
  for (CSkeleton& s : slots_) s.Clear();
  ResetMap();
  lastUse_.fill(0);
}

int CSkeletonBank::FindFreeSlot() const {
  for (int i = 0; i < kSkeletonSlots; ++i) {
    if (nameOfSlot_[static_cast<std::size_t>(i)] < 0) return i;
  }
  return -1;
}

int CSkeletonBank::EvictOldest() {
  int oldest = -1;
  for (int i = 0; i < kSkeletonSlots; ++i) {
    const auto s = static_cast<std::size_t>(i);
    if (nameOfSlot_[s] < 0) continue;
    if (oldest < 0 || lastUse_[s] < lastUse_[static_cast<std::size_t>(oldest)]) oldest = i;
  }
  if (oldest >= 0) EmptySlot(oldest);
  return oldest;
}

int CSkeletonBank::GetSlotOfName(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= slotOfName_.size()) return -1;
  return slotOfName_[static_cast<std::size_t>(index)];
}

int CSkeletonBank::GetNameOfSlot(int slot) const {
  if (slot < 0 || slot >= kSkeletonSlots) return -1;
  return nameOfSlot_[static_cast<std::size_t>(slot)];
}

std::uint32_t CSkeletonBank::GetSlotTime(int slot) const {
  if (slot < 0 || slot >= kSkeletonSlots) return 0;
  return lastUse_[static_cast<std::size_t>(slot)];
}

int CSkeletonBank::AcquireSlot(int index, bool* justLoaded) {
  if (justLoaded) *justLoaded = false;
  if (index < 0 || index >= GetCount()) return -1;
  if (slotOfName_.size() < static_cast<std::size_t>(GetCount())) {
    slotOfName_.resize(static_cast<std::size_t>(GetCount()), -1);
    failed_.resize(static_cast<std::size_t>(GetCount()), 0);
  }
  const auto name = static_cast<std::size_t>(index);
  if (const int held = slotOfName_[name]; held >= 0) {
    lastUse_[static_cast<std::size_t>(held)] = platform::Milliseconds();
    return held;
  }
  if (failed_[name]) return -1;
  int slot = FindFreeSlot();
  if (slot < 0) slot = EvictOldest();
  if (slot < 0) {
    platform::MessageBox("Error! unable to clear oldest skel cash entry.", "", platform::kMbOk);
    return -1;
  }
  const auto s = static_cast<std::size_t>(slot);
  CSkeleton& skeleton = slots_[s];
  skeleton.Clear();
  const char* n = GetName(index);
  CopyName(skeleton.name, sizeof skeleton.name, n);
  char path[300];
  const auto pathOf = [&](const char* extension) {
    std::snprintf(path, sizeof path, "data\\skeletons\\%s\\%s.%s", n, n, extension);
    return path;
  };
  const char* failedFile = nullptr;
  if (!skeleton.skins.Read(pathOf("ska"))) failedFile = "ska";
  if (!failedFile && !skeleton.parts.Load(pathOf("mbr"))) failedFile = "mbr";
  if (!failedFile && !skeleton.models.Read(pathOf("mdl"))) failedFile = "mdl";
  if (!failedFile && !skeleton.animations.Read(pathOf("anb"))) failedFile = "anb";
  if (failedFile) {
    DebugTrace("Skeleton %s not loaded: %s failed\n", n, pathOf(failedFile));
    skeleton.Clear();
    failed_[name] = 1;
    return -1;
  }
  skeleton.loaded = 1;
  slotOfName_[name] = slot;
  nameOfSlot_[s] = index;
  lastUse_[s] = platform::Milliseconds();
  if (justLoaded) *justLoaded = true;
  return slot;
}

CSkeleton* CSkeletonBank::GetSkeleton(int index, bool* justLoaded) {
  const int slot = AcquireSlot(index, justLoaded);
  return slot < 0 ? nullptr : &slots_[static_cast<std::size_t>(slot)];
}
