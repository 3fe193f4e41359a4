// The quest document reader over arbitrary bytes; what it accepts is made
// the open quest, its world map built, and written back.
#include <cstddef>
#include <cstdint>

#include "platform/core/file.h"
#include "platform/core/services.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest_fuzz.h"
#include "scratch_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices ui;
  static const bool ready = (fuzzquest::UseMachineLibrary(fuzzquest::kDoorMachine), true);
  (void)ready;
  // The reader takes a file: the input is written to one in memory.
  static fuzzscratch::InputFile input("fuzz.qst");
  QstContents contents;
  if (fuzzquest::OpenQuest(input.Hold(data, size), contents)) {
    try {
      // Everything read is written back; the bytes themselves are not kept.
      static platform::File out("/dev/null", platform::File::modeCreate | platform::File::modeWrite);
      WriteQuestFile(out, contents.header.author, contents.header.information);
      out.Flush();
    } catch (const platform::FileException&) {
    }
    FreeQuestLists();
  }
  ui.boxes.clear();  // in the input that showed them, so every input frees what it made
  return 0;
}
