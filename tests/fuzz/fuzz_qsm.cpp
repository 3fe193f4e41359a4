// Any bytes as a ".qsm" state-machine definition file; every definition is
// then instantiated as a machine with two instances and re-synchronised.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/core/services.h"
#include "quest/machine.h"
#include "quest/quest_lists.h"
#include "quest/world_graph.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices ui;
  ui.boxes.clear();
  ui.quits.clear();
  CMachineLibrary& library = Quest().library;
  library.SetText("fuzz.qsm", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    library.ParseBlock("", false);
  } catch (const platform::ProgramExit&) {
    // an over-long token ends the program
  }
  library.FreeBuffer();

  int made = 0;
  for (const MachineDef* def = library.machines(); def && made < 16; def = def->next, ++made) {
    CMachine* machine = CreateMachine(Quest().machines, kMachineStateMachine, def->key, "m");
    machine->AddInstance("", 0, 0, nullptr);
    machine->AddInstance("", 0, 0, "m:m_0");
    for (CMachineParam* value = machine->params; value; value = value->next) value->SetText("x");
    machine->CheckAgainstLibrary();
    SyncMachineGraph(machine);
    machine->SnapshotPositions();
    machine->DeleteInstance("m_0");
  }
  RebuildQuestGraph();
  ResetQuestState();
  return 0;
}
