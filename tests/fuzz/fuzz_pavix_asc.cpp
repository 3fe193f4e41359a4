// The ".ASC" importer, from arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "meshedit/core/model_import.h"
#include "pavix_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavix::CShape shape;
  if (pavix::ReadAscText(std::string_view(reinterpret_cast<const char*>(data), size), shape).Imported()) {
    if (shape.sides.empty()) __builtin_trap();
    pavixfuzz::CheckShape(shape);
    pavixfuzz::CheckCoordinates(shape);
    pavixfuzz::Exercise(shape);
  } else if (!shape.vertices.empty() || !shape.sides.empty()) {
    __builtin_trap();
  }
  return 0;
}
