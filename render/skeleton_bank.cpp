#include "render/skeleton_bank.h"

#include <cstdio>

#include "datafiles/monster_class_table.h"
#include "platform/core/clock.h"
#include "platform/core/services.h"

CSkeletonBank g_skeletonBank;

namespace {
constexpr const char* kFirstSkeleton = "multipnj";
}

void CSkeletonBank::ResetMap() {
  // Every slot free; what a slot holds stays until it is reused.
  cache_.Reset(GetCount());
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
}

int CSkeletonBank::Add(std::string_view name) {
  int index = FindName(BaseName(name));
  if (index < 0) index = AppendName(name);
  ResetSlots();
  return index;
}

void CSkeletonBank::ResetSlots() {
  for (CSkeleton& s : slots_) s.Clear();
  ResetMap();
}

int CSkeletonBank::FindFreeSlot() const { return cache_.FindFreeSlot(); }

int CSkeletonBank::EvictOldest() {
  const int oldest = cache_.OldestSlot();
  if (oldest < 0) return -1;
  cache_.Unbind(oldest);
  slots_[static_cast<std::size_t>(oldest)].Clear();
  return oldest;
}

int CSkeletonBank::GetSlotOfName(int index) const { return cache_.SlotOfName(index); }
int CSkeletonBank::GetNameOfSlot(int slot) const { return cache_.NameOfSlot(slot); }
std::uint32_t CSkeletonBank::GetSlotTime(int slot) const { return cache_.SlotTime(slot); }

int CSkeletonBank::AcquireSlot(int index, bool* justLoaded) {
  if (justLoaded) *justLoaded = false;
  if (index < 0 || index >= GetCount()) return -1;
  cache_.Grow(GetCount());
  if (const int held = cache_.SlotOfName(index); held >= 0) {
    cache_.Touch(held, platform::Milliseconds());
    return held;
  }
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
  // A file that is missing or damaged shows its box and leaves its list
  // empty; the slot still counts as loaded, so the boxes show once and the
  // model stands in its rest pose or draws what it has.
  skeleton.skins.Read(pathOf("ska"));
  skeleton.parts.Load(pathOf("mbr"));
  skeleton.models.Read(pathOf("mdl"));
  skeleton.animations.Read(pathOf("anb"));
  skeleton.loaded = 1;
  cache_.Bind(index, slot, platform::Milliseconds());
  if (justLoaded) *justLoaded = true;
  return slot;
}

CSkeleton* CSkeletonBank::GetSkeleton(int index, bool* justLoaded) {
  const int slot = AcquireSlot(index, justLoaded);
  return slot < 0 ? nullptr : &slots_[static_cast<std::size_t>(slot)];
}
