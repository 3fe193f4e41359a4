// The mesh editor's ".o3d" reader, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "meshedit/core/o3d_file.h"
#include "pavix_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavix::CShape shape;
  if (pavix::DecodeO3d(std::span(data, size), shape)) {
    pavixfuzz::CheckShape(shape);
    pavixfuzz::CheckCoordinates(shape);
    // What was read writes back to a file of the size the header promised.
    const std::vector<std::uint8_t> again = pavix::EncodeO3d(shape);
    if (!again.empty() && again.size() != 16 + 12 * shape.vertices.size() + 50 * shape.sides.size()) __builtin_trap();
    pavixfuzz::Exercise(shape);
  }
  return 0;
}
