// Mesh files of either form, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "render/mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CMesh mesh;
  const std::span<const std::uint8_t> bytes(data, size);
  if (mesh.ReadBytes(bytes) == MeshError::kNone) {
    mesh.ComputeHeight();
    // Every corner of every face must name a vertex the mesh has.
    for (const CFace& f : mesh.faces) {
      for (int k = 0; k < f.vertexCount; ++k) {
        if (f.index[k] >= mesh.vertices.size()) __builtin_trap();
      }
    }
    if (mesh.HasFootprint() != (mesh.gridWidth > 0 && mesh.gridHeight > 0)) __builtin_trap();
    for (int y = -1; y <= mesh.FootprintRows(); ++y) {
      for (int x = -1; x <= mesh.FootprintColumns(); ++x) (void)mesh.FootprintCell(x, y);
    }
  }
  (void)mesh.ReadRawBytes(bytes);
  return 0;
}
