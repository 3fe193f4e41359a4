#include "render/bank_list.h"

#include "platform/core/clock.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "render/engine_3d.h"

CBankList::CBankList() = default;

void CBankList::ResetMap() {
  for (CMesh& m : meshes_) m.Free();
  slots_.Reset(GetCount());
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
  if (index >= 0) slots_.Grow(GetCount());
  return index;
}

void CBankList::FlushMeshes() {
  for (CMesh& m : meshes_) m.Free();
  slots_.Reset(GetCount());
}

int CBankList::FindFreeSlot() const { return slots_.FindFreeSlot(); }

int CBankList::EvictOldest() {
  const int oldest = slots_.OldestSlot();
  if (oldest < 0) return -1;
  slots_.Unbind(oldest);
  meshes_[static_cast<std::size_t>(oldest)].Free();
  return oldest;
}

int CBankList::GetSlotOfName(int index) const { return slots_.SlotOfName(index); }
int CBankList::GetNameOfSlot(int slot) const { return slots_.NameOfSlot(slot); }
std::uint32_t CBankList::GetSlotTime(int slot) const { return slots_.SlotTime(slot); }

int CBankList::GetMeshSlot(int index) {
  if (index < 0 || index >= GetCount()) return -1;
  int slot = slots_.SlotOfName(index);
  if (slot >= 0) {
    slots_.Touch(slot, platform::Milliseconds());
    return slot;
  }
  slot = FindFreeSlot();
  if (slot < 0) {
    // The mesh that goes may have faces in the engine's depth buckets, which
    // point at them until the flush: they are drawn before it is replaced.
    if (g_3DEngine) g_3DEngine->FlushBuckets();
    slot = EvictOldest();
  }
  if (slot < 0) {
    platform::MessageBox("Error! unable to clear oldest mesh cash entry.", "", platform::kMbOk);
    return -1;
  }
  slots_.Bind(index, slot, platform::Milliseconds());
  meshes_[static_cast<std::size_t>(slot)].Load(GetPath(index));
  // The load may have waited on the disk: the slot's time is when it is handed out.
  slots_.Touch(slot, platform::Milliseconds());
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
  FlushMeshes();
}
