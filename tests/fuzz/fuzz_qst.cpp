// The quest document reader over arbitrary bytes; what it accepts is made
// the open quest, its world map built, and written back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

namespace {

const std::string& Scratch() {
  static const std::string path = "/tmp/fuzz_qst_" + std::to_string(::getpid());
  return path;
}

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
  ui.boxes.clear();

  if (std::FILE* f = std::fopen(Scratch().c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  QstContents contents;
  bool read = true;
  try {
    platform::File file(Scratch(), platform::File::modeRead);
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
      platform::File out(Scratch() + ".out", platform::File::modeCreate | platform::File::modeWrite);
      WriteQuestFile(out, contents.header.author, contents.header.information);
      out.Close();
    } catch (const platform::FileException&) {
    }
    FreeQuestLists();
  }
  return 0;
}
