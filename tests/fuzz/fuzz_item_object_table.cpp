// Any bytes as "itemobject.dat"; every row read is then described.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "datafiles/item_object_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CItemObjectTable table;
  table.Read(std::span<const std::uint8_t>(data, size));
  std::string text;
  for (std::size_t i = 0; i < table.Count() && i < 64; ++i) {
    table.Row(i).Describe(text, false);
    table.Row(i).Describe(text, true);
  }
  return 0;
}
