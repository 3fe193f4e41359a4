#pragma once
// A registry of mesh names with a cache of 128 loaded meshes that evicts the
// slot used longest ago, timed by the millisecond clock.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "render/bank_names.h"
#include "render/mesh.h"

inline constexpr int kBankMeshSlots = 128;

class CBankList : public CBankNames {
 public:
  CBankList();
  CBankList(const CBankList&) = delete;
  CBankList& operator=(const CBankList&) = delete;

  // Forgets every name and mesh, then scans the folder.
  void Scan(const char* folder, const char* extension);
  // Adds a folder's names to those already known; the cache is emptied.
  void ScanMore(const char* folder, const char* extension);

  // Index of the path, else of its base name, else of the path appended;
  // -1 when the registry is full and the name is new.
  int FindOrAdd(std::string_view path);

  // Cache slot holding the mesh of a name, loading it on a miss; -1 for an
  // index outside the registry or when no slot can be had.
  int GetMeshSlot(int index);
  // The mesh of a name index, or null.
  CMesh* GetMeshAt(int index);
  // The mesh of a path (added to the registry when new), or null.
  CMesh* GetMesh(std::string_view path);
  // The mesh's height; 0 for an index outside the registry or a mesh without vertices.
  float GetHeight(int index);

  void FlushMeshes();
  int FindFreeSlot() const;
  // Frees the slot used longest ago (smallest time, unsigned; the lowest
  // slot on a tie) and returns it; -1 when no slot is in use.
  int EvictOldest();
  // The slot bound to a name index, -1 when none.
  int GetSlotOfName(int index) const;
  // The name index bound to a slot, -1 when the slot is free.
  int GetNameOfSlot(int slot) const;
  std::uint32_t GetSlotTime(int slot) const;
  // Forgets names, map and meshes.
  void Reset();

 private:
  void ResetMap();

  std::array<CMesh, kBankMeshSlots> meshes_;
  std::array<std::uint32_t, kBankMeshSlots> lastUse_{};
  std::vector<int> slotOfName_;
  std::array<int, kBankMeshSlots> nameOfSlot_;
};
