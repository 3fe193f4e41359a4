// Room-file import into a room, from arbitrary bytes.
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
  room->ImportCdfBytes(std::span<const std::uint8_t>(data, size), "fuzz.cdf");
  room->RemapBlockNames();
  return 0;
}
