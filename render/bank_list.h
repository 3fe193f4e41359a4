#pragma once
// A registry of mesh names with a cache of 128 loaded meshes that evicts the
// slot used longest ago, timed by the millisecond clock.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "render/bank_names.h"
#include "render/mesh.h"
#include "render/slot_cache.h"

class CCamera;
struct CVector3;
struct CVertex;
struct Point;

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

  // Drawing a name's mesh through the 3D engine (see CMesh::Render).
  // By name index; 1, also when nothing could be drawn.
  int Render(int index, const CVector3& position, const CVector3& angles, const CCamera& camera);
  // By path, adding it to the registry when new; 1.
  int RenderByName(const char* path, const CVector3& position, const CVector3& angles, const CCamera& camera);
  // The transformed vertices, or null when no slot was found or nothing was drawn.
  CVertex* RenderLocal(int index, const CVector3& position, const CVector3& angles);
  // Fitted as a preview, with the smallest and largest screen position of the
  // drawn vertices; 1, or 0 when nothing was drawn.
  int RenderFitted(int index, const CVector3& position, const CVector3& angles, const CCamera& camera,
                   Point* topLeft, Point* bottomRight);

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
  CSlotCache<kBankMeshSlots> slots_;
};
