// The ".DXF" importer, from arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "meshedit/core/model_import.h"
#include "pavix_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavix::CShape shape;
  // A refused model leaves the mesh as it was (empty here); an imported one has a side.
  if (!pavix::ReadDxfText(std::string_view(reinterpret_cast<const char*>(data), size), shape).Imported()) {
    if (!shape.vertices.empty() || !shape.sides.empty()) __builtin_trap();
    return 0;
  }
  if (shape.sides.empty()) __builtin_trap();
  pavixfuzz::CheckShape(shape);
  pavixfuzz::CheckCoordinates(shape);
  pavixfuzz::Exercise(shape);
  return 0;
}
