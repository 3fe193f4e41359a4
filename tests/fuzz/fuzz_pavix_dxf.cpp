// The ".DXF" importer, from arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "meshedit/core/model_import.h"
#include "pavix_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavix::CShape shape;
  pavix::ReadDxfText(std::string_view(reinterpret_cast<const char*>(data), size), shape);
  pavixfuzz::CheckShape(shape);
  pavixfuzz::Exercise(shape);
  return 0;
}
