// The ".3DS" importer, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "meshedit/core/model_import.h"
#include "pavix_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavix::CShape shape;
  // A refused model leaves the mesh as it was (empty here); an imported one has a side.
  if (!pavix::Read3dsBytes(std::span(data, size), shape).Imported()) {
    if (!shape.vertices.empty() || !shape.sides.empty()) __builtin_trap();
    return 0;
  }
  if (shape.sides.empty()) __builtin_trap();
  pavixfuzz::CheckShape(shape);
  pavixfuzz::CheckCoordinates(shape);
  pavixfuzz::Exercise(shape);
  return 0;
}
