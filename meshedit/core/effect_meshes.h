#pragma once
// The 256 effect meshes "dat\sfx\sfx0.SHP" to "sfx255.SHP", loaded once
// before the data archive is mounted, so only loose files are found.
#include <array>

#include "meshedit/core/shape.h"

namespace pavix {

inline constexpr int kEffectMeshCount = 256;

std::array<CShape, kEffectMeshCount>& EffectMeshes();
// Loads every effect mesh; a missing or damaged file leaves its mesh empty.
// Returns how many were loaded.
int LoadEffectMeshes();
void FreeEffectMeshes();

}  // namespace pavix
