#pragma once
// What the quest fuzz targets share: the machine library their seeds name,
// and a fuzzed ".qst" read and made the open quest.
#include <string>
#include <string_view>
#include <utility>

#include "platform/core/file.h"
#include "quest/machine_library.h"
#include "quest/qst_format.h"
#include "quest/quest_lists.h"
#include "quest/world_graph.h"

namespace fuzzquest {

// The machine every quest seed uses: one parameter of each kind a link or a
// text can name.
inline constexpr std::string_view kDoorMachine =
    "STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
    "  PARAM { KEY { 2 } TYPE { OBJECT } IN {} } PARAM { KEY { 3 } TYPE { MONSTER } OUT {} }"
    "  PARAM { KEY { 4 } TYPE { TEXT } } }";

// The open quest's machine library parsed from `text`.
inline void UseMachineLibrary(std::string_view text) {
  CMachineLibrary& library = Quest().library;
  library.SetText("fuzz.qsm", text);
  library.ParseBlock("", false);
  library.FreeBuffer();
}

// The lists read into `contents` become the open quest, with its world
// graph built; the header stays in `contents`.
inline void MakeOpenQuest(QstContents& contents) {
  QuestState& q = Quest();
  q.machines = std::exchange(contents.machines, nullptr);
  q.questObjects = std::exchange(contents.objects, nullptr);
  q.monsters = std::exchange(contents.monsters, nullptr);
  q.rooms = std::exchange(contents.rooms, nullptr);
  BuildQuestGraph();
}

// Reads a quest file and makes it the open quest. False when the reader
// refuses the file.
inline bool OpenQuest(platform::File& file, QstContents& contents) {
  try {
    ReadQuestFile(file, contents);
  } catch (const platform::FileException&) {
    return false;
  }
  MakeOpenQuest(contents);
  return true;
}

}  // namespace fuzzquest
