#include "meshedit/core/effect_meshes.h"

#include <cstdio>

namespace pavix {

std::array<CShape, kEffectMeshCount>& EffectMeshes() {
  static std::array<CShape, kEffectMeshCount> meshes;
  return meshes;
}

int LoadEffectMeshes() {
  int loaded = 0;
  char name[32];
  for (int i = 0; i < kEffectMeshCount; ++i) {
    std::snprintf(name, sizeof name, "dat\\sfx\\sfx%1d", i);
    CShape& mesh = EffectMeshes()[static_cast<std::size_t>(i)];
    mesh.Clear();
    if (mesh.LoadShp(name)) ++loaded;
  }
  return loaded;
}

void FreeEffectMeshes() {
  for (CShape& mesh : EffectMeshes()) mesh.Clear();
}

}  // namespace pavix
