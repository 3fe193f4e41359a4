// A quest read from arbitrary bytes, then merged into itself so that every
// record clashes: whatever names the file holds (empty, repeated, differing
// only in case, at the end of their field) go through the renaming. A merge
// either completes, with every list doubled and a quest that saves and reads
// back, or is refused and leaves every list as it was; never a staging list
// left behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/core/file.h"
#include "platform/core/services.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/quest_merge.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "quest/world_graph.h"
#include "quest_fuzz.h"
#include "scratch_dir.h"

namespace {

struct Counts {
  std::size_t rooms, objects, monsters, machines;
  static Counts Now() {
    const QuestState& q = Quest();
    return {ListLength(q.rooms), ListLength(q.questObjects), ListLength(q.monsters), ListLength(q.machines)};
  }
  bool operator==(const Counts&) const = default;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices ui;
  static const bool ready = (fuzzquest::UseMachineLibrary(fuzzquest::kDoorMachine), true);
  (void)ready;
  fuzzscratch::InScratch scratch;
  if (!fuzzscratch::Write("fuzz.qst", data, size)) std::abort();

  QstContents contents;
  if (ReadQuestAside("fuzz.qst", contents, true)) {
    fuzzquest::MakeOpenQuest(contents);
    const QuestState& q = Quest();
    const Counts before = Counts::Now();
    if (MergeQuestFile("fuzz.qst", "fuzz")) {
      const Counts doubled{2 * before.rooms, 2 * before.objects, 2 * before.monsters, 2 * before.machines};
      if (!(Counts::Now() == doubled)) std::abort();
      try {
        platform::File out("merged.qst", platform::File::modeCreate | platform::File::modeWrite);
        WriteQuestFile(out, QuestAuthorText(), QuestInfoText());
        out.Close();
      } catch (const platform::FileException&) {
        std::abort();
      }
      QstContents again;
      if (!ReadQuestAside("merged.qst", again, true)) std::abort();
    } else if (!(Counts::Now() == before)) {
      std::abort();
    }
    if (q.mergeMachines || q.mergeObjects || q.mergeMonsters || q.mergeRooms) std::abort();
    FreeQuestLists();
  }
  ui.boxes.clear();  // in the input that showed them, so every input frees what it made
  return 0;
}
