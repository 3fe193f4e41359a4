// The quest document reader over arbitrary bytes; what it accepts is made
// the open quest, its world map built, and written back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

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
  if (!fuzzscratch::Write("fuzz.qst", data, size)) std::abort();
  QstContents contents;
  if (fuzzquest::OpenQuest(fuzzscratch::Dir() + "/fuzz.qst", contents)) {
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
