#include "render/bank_list.h"

#include "platform/core/clock.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"

CBankList::CBankList() { nameOfSlot_.fill(-1); }

void CBankList::ResetMap() {
  slotOfName_.assign(static_cast<std::size_t>(GetCount()), -1);
  FlushMeshes();
}

void CBankList::Scan(const char* folder, const char* extension) {
  FreeNames();
  ScanFiles(folder, extension);
  ResetMap();
}

void CBankList::ScanMore(const char* folder, const char* extension) {
  FlushMeshes();
  ScanFiles(folder, extension);
  ResetMap();
}

int CBankList::FindOrAdd(std::string_view path) {
  int index = FindPath(path);
  if (index >= 0) return index;
  index = FindName(BaseName(path));
  if (index >= 0) return index;
  index = AppendName(path);
  if (index >= 0) slotOfName_.resize(static_cast<std::size_t>(GetCount()), -1);
  return index;
}

void CBankList::FlushMeshes() {
  for (CMesh& m : meshes_) m.Free();
  for (int& s : slotOfName_) s = -1;
  nameOfSlot_.fill(-1);
  lastUse_.fill(0);
}

int CBankList::FindFreeSlot() const {
  for (int i = 0; i < kBankMeshSlots; ++i) {
    if (nameOfSlot_[static_cast<std::size_t>(i)] < 0) return i;
  }
  return -1;
}

int CBankList::EvictOldest() {
  int oldest = -1;
  for (int i = 0; i < kBankMeshSlots; ++i) {
    const auto s = static_cast<std::size_t>(i);
    if (nameOfSlot_[s] < 0) continue;
    if (oldest < 0 || lastUse_[s] < lastUse_[static_cast<std::size_t>(oldest)]) oldest = i;
  }
  if (oldest < 0) return -1;
  const auto s = static_cast<std::size_t>(oldest);
  const int name = nameOfSlot_[s];
  if (name >= 0 && static_cast<std::size_t>(name) < slotOfName_.size()) slotOfName_[static_cast<std::size_t>(name)] = -1;
  nameOfSlot_[s] = -1;
  meshes_[s].Free();
  return oldest;
}

int CBankList::GetSlotOfName(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= slotOfName_.size()) return -1;
  return slotOfName_[static_cast<std::size_t>(index)];
}

int CBankList::GetNameOfSlot(int slot) const {
  if (slot < 0 || slot >= kBankMeshSlots) return -1;
  return nameOfSlot_[static_cast<std::size_t>(slot)];
}

std::uint32_t CBankList::GetSlotTime(int slot) const {
  if (slot < 0 || slot >= kBankMeshSlots) return 0;
  return lastUse_[static_cast<std::size_t>(slot)];
}

int CBankList::GetMeshSlot(int index) {
  if (index < 0 || index >= GetCount()) return -1;
  if (slotOfName_.size() < static_cast<std::size_t>(GetCount())) {
    slotOfName_.resize(static_cast<std::size_t>(GetCount()), -1);
  }
  const auto name = static_cast<std::size_t>(index);
  int slot = slotOfName_[name];
  if (slot < 0) {
    slot = FindFreeSlot();
    if (slot < 0) slot = EvictOldest();
    if (slot < 0) {
      platform::MessageBox("Error! unable to clear oldest mesh cash entry.", "", platform::kMbOk);
      return -1;
    }
    slotOfName_[name] = slot;
    nameOfSlot_[static_cast<std::size_t>(slot)] = index;
    meshes_[static_cast<std::size_t>(slot)].Load(GetPath(index));
  }
  lastUse_[static_cast<std::size_t>(slot)] = platform::Milliseconds();
  return slot;
}

CMesh* CBankList::GetMeshAt(int index) {
  const int slot = GetMeshSlot(index);
  return slot < 0 ? nullptr : &meshes_[static_cast<std::size_t>(slot)];
}

CMesh* CBankList::GetMesh(std::string_view path) { return GetMeshAt(FindOrAdd(path)); }

float CBankList::GetHeight(int index) {
  const CMesh* mesh = GetMeshAt(index);
  if (!mesh || mesh->vertices.empty()) return 0.0f;
  return mesh->height;
}

void CBankList::Reset() {
  FreeNames();
  slotOfName_.clear();
  FlushMeshes();
}
