// Block-set import into a room, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/core/services.h"
#include "quest/room.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices ui;
  static auto room = std::make_unique<CRoom>();
  ui.boxes.clear();
  room->ImportCbsBytes(std::span<const std::uint8_t>(data, size), "fuzz.cbs");
  for (int i = 0; i < room->blockSet.GetCount(); ++i) (void)room->blockSet.GetName(i);
  return 0;
}
