// Any bytes as "monsterclass.dat". An unknown row version ends the program
// through the scripted services, which throw instead of exiting.
#include <cstddef>
#include <cstdint>
#include <span>

#include "datafiles/monster_class_table.h"
#include "platform/core/services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices ui;
  ui.boxes.clear();
  CMonsterClassTable table;
  try {
    table.Read(std::span<const std::uint8_t>(data, size));
  } catch (const platform::ProgramExit&) {
    return 0;
  }
  for (std::size_t i = 0; i < table.Count(); ++i) {
    int origin = table.Row(i).originIndex;
    if (origin >= static_cast<int>(table.Count())) __builtin_trap();
    table.Find(table.Row(i).name);
  }
  return 0;
}
