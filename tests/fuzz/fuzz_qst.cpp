// The quest document reader over arbitrary bytes; what it accepts is made
// the open quest, its world map built, and written back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/file.h"
#include "platform/core/services.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/world_graph.h"
#include "scratch_dir.h"

namespace {

void Setup() {
  CMachineLibrary& library = Quest().library;
  library.SetText("fuzz.qsm",
                  "STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
                  "  PARAM { KEY { 2 } TYPE { OBJECT } IN {} } PARAM { KEY { 3 } TYPE { MONSTER } OUT {} }"
                  "  PARAM { KEY { 4 } TYPE { TEXT } } }");
  library.ParseBlock("", false);
  library.FreeBuffer();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices ui;
  static const bool ready = (Setup(), true);
  (void)ready;
  // The reader takes a file: the input is written to one in memory.
  if (!fuzzscratch::Write("fuzz.qst", data, size)) std::abort();
  QstContents contents;
  bool read = true;
  try {
    platform::File file(fuzzscratch::Dir() + "/fuzz.qst", platform::File::modeRead);
    ReadQuestFile(file, contents);
  } catch (const platform::FileException&) {
    read = false;
  }
  if (read) {
    QuestState& q = Quest();
    q.machines = contents.machines;
    q.questObjects = contents.objects;
    q.monsters = contents.monsters;
    q.rooms = contents.rooms;
    contents.machines = nullptr;
    contents.objects = nullptr;
    contents.monsters = nullptr;
    contents.rooms = nullptr;
    BuildQuestGraph();
    try {
      // Everything read is written back; the bytes themselves are not kept.
      platform::File out("/dev/null", platform::File::modeCreate | platform::File::modeWrite);
      WriteQuestFile(out, contents.header.author, contents.header.information);
      out.Close();
    } catch (const platform::FileException&) {
    }
    FreeQuestLists();
  }
  ui.boxes.clear();  // in the input that showed them, so every input frees what it made
  return 0;
}
