// A quest read from arbitrary bytes and exported as Generate Quest does it:
// the room checks, then each room's ".cdf" export, which separates the room's
// nodes and writes its placement report first. Whatever cells, bounds and
// counts the file holds, nothing may overflow, hang or ask for absurd memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/file.h"
#include "platform/core/services.h"
#include "quest/generation_log.h"
#include "quest/kelvar_doc.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/quest_script.h"
#include "quest/room.h"
#include "quest/room_checks.h"
#include "quest/world_graph.h"
#include "quest_fuzz.h"
#include "scratch_dir.h"

namespace {

// A trap mesh "04D" without faces whose one-block footprint is the nine cells.
void WriteFootprintMesh(const std::string& name, const std::uint8_t (&cells)[9]) {
  std::uint8_t bytes[4 + 4 + 16 + 8 + 9] = {'0', '4', 'D', 0, 1};
  bytes[24] = 1;  // width
  bytes[28] = 1;  // height
  for (int i = 0; i < 9; ++i) bytes[32 + i] = cells[i];
  if (!fuzzscratch::Write(name, bytes, sizeof bytes)) std::abort();
}

// The machine and trap definitions the seeds use, and two trap meshes.
void Setup() {
  fuzzscratch::MakeDir("rozizuzi");
  fuzzscratch::MakeDir("rozizuzi/generic");
  WriteFootprintMesh("rozizuzi/generic/spikes.o3d", {0, 0, 0, 0, 1, 1, 0, 0, 0});
  WriteFootprintMesh("rozizuzi/generic/net.o3d", {255, 255, 255, 255, 255, 255, 255, 255, 255});
  fuzzquest::UseMachineLibrary(
      std::string(fuzzquest::kDoorMachine) +
      "STATE_MACHINE { KEY { lamp } PARAM { KEY { 1 } TYPE { SKELNAME } DISPLAY {} } }"
      "GENERIC { KEY { spikes } TYPE { 4 } INDEX { 6 } MESH { rozizuzi\\generic\\spikes.o3d }"
      "  LABEL { SPK } DATA { 3,5 } }"
      "GENERIC { KEY { net } TYPE { 6 } INDEX { 2 } MESH { rozizuzi\\generic\\net.o3d } }"
      "GENERIC { KEY { plate } TYPE { 5 } }");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices ui;
  static const bool ready = (Setup(), true);
  (void)ready;
  fuzzscratch::InScratch scratch;
  if (!fuzzscratch::Write("fuzz.qst", data, size)) std::abort();

  QstContents contents;
  if (!fuzzquest::OpenQuest("fuzz.qst", contents)) {
    ui.boxes.clear();
    return 0;  // refused: nothing to export
  }
  QuestState& q = Quest();

  ClearGenerationLog();
  CheckRooms();
  for (CRoom* room = q.rooms; room; room = room->next) room->ExportCdf(kQuestNamePrefix, "fuzz");
  FreeQuestLists();
  ui.boxes.clear();  // in the input that showed them, so every input frees what it made
  return 0;
}
