// The ".3DS" importer, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "meshedit/core/model_import.h"
#include "pavix_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavix::CShape shape;
  pavix::Read3dsBytes(std::span(data, size), shape);
  pavixfuzz::CheckShape(shape);
  pavixfuzz::Exercise(shape);
  return 0;
}
