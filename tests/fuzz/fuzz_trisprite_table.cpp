// Any bytes as "trisprite.dat".
#include <cstddef>
#include <cstdint>
#include <span>

#include "datafiles/trisprite_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CTrispriteTable table;
  table.Read(std::span<const std::uint8_t>(data, size));
  table.Sort();
  for (std::size_t i = 0; i < table.Count() && i < 64; ++i) {
    const TrispriteRecord& r = table.Get(table.Row(i).name);
    r.GetFootprintWidth();
    r.GetFootprintHeight();
  }
  table.Get("FREE");
  return 0;
}
