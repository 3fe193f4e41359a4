// Merging a quest into itself, where every room, object, monster and machine
// clashes and is renamed, with every value, gift and link following: at
// size 1 the quest has 40 rooms, 200 machines (5 linked instances each),
// 500 monsters (2 instances each, giving objects) and 50 objects; sizes 2, 4
// and 8 multiply them all. Opening the same file is the baseline: a merge
// reads the same lists and builds a graph of twice the nodes, so merge / open
// should stay near a constant as the quest grows. The fitted growth is
// printed, and the summaries give the wall clock, which the user waits for,
// beside CPU time.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "growth_report.h"
#include "scratch_start_dir.h"

#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/services.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_merge.h"
#include "quest/quest_object.h"
#include "quest/room.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRooms = 40;
constexpr int kMachines = 200;
constexpr int kMachineInstances = 5;
constexpr int kMonsters = 500;
constexpr int kMonsterInstances = 2;
constexpr int kObjects = 50;

class MergeStartDir {
  ScratchStartDir dir_;  // first: current before the document and services exist

 public:
  MergeStartDir() : dir_("mergebench") {
    fs::create_directories(fs::path(dir_.Path()) / "rozizuzi");
    std::ofstream(fs::path(dir_.Path()) / "rozizuzi/k0830_sprite.tga", std::ios::binary) << "sprite";
    QuestState& q = Quest();
    q.library.SetText("bench.qsm",
                      "STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
                      "  PARAM { KEY { 2 } TYPE { OBJECT } OUT {} } PARAM { KEY { 3 } TYPE { MONSTER } IN {} } }");
    q.library.ParseBlock("", false);
    q.library.FreeBuffer();
    doc.SetTitle("merge.qst");
    doc.OnNewDocument();
  }
  ~MergeStartDir() { FreeQuestLists(); }

  // The quest of the size, saved as "size<n>.qst" and left open; its name.
  std::string Save(int size) {
    const std::string path = "size" + std::to_string(size) + ".qst";
    if (fs::exists(fs::path(dir_.Path()) / path)) return path;
    doc.OnCloseDocument();
    Build(size);
    if (!doc.OnSaveDocument(path)) std::abort();
    return path;
  }

  CKelvarDoc doc;
  platform::ScriptedServices ui;

 private:
  static void Build(int size) {
    QuestState& q = Quest();
    for (int r = 0; r < kRooms * size; ++r) {
      CRoom* room = NewRoom(q.rooms);
      SetField(room->name, "room" + std::to_string(r));
      room->left = (r % 8) * 1000;
      room->top = (r / 8) * 1000;
      room->right = room->left + 600;
      room->bottom = room->top + 600;
      for (int b = 0; b < 16; ++b) room->Block(b, b).fileName = "rozizuzi\\o4d\\block.o3d";
      room->blockSet.FindOrAdd("rozizuzi\\o4d\\block.o3d");
      for (int t = 0; t < 10; ++t) NewRoomTrap(room->traps)->cellX = 10 + 8 * t;
    }
    for (int o = 0; o < kObjects * size; ++o) {
      CQuestObject* object = NewQuestObject(q.questObjects);
      SetField(object->key, "object" + std::to_string(o));
      SetField(object->parent, "ITKEY");
    }
    for (int m = 0; m < kMonsters * size; ++m) {
      CMonster* monster = NewMonster(q.monsters);
      SetField(monster->key, "monster" + std::to_string(m));
      SetField(monster->monsterClass, "orc");
      SetField(monster->gift, "object" + std::to_string(m % (kObjects * size)));
      for (int i = 0; i < kMonsterInstances; ++i) monster->AddInstance();
    }
    for (int m = 0; m < kMachines * size; ++m) {
      const std::string name = "machine" + std::to_string(m);
      CMachine* machine = CreateMachine(q.machines, kMachineStateMachine, "door", name);
      machine->FindParam(1)->SetText("mesh" + std::to_string(m % 50));
      machine->FindParam(2)->SetText("object" + std::to_string(m % (kObjects * size)));
      machine->FindParam(3)->SetText("monster" + std::to_string(m));
      for (int i = 0; i < kMachineInstances; ++i) {
        const std::string link = i ? name + ":" + name + "_" + std::to_string(i - 1) : std::string();
        machine->AddInstance("", 0, 0, i ? link.c_str() : nullptr);
      }
    }
  }

};

MergeStartDir& StartDir() {
  static MergeStartDir dir;
  return dir;
}

std::int64_t Records(int size) {
  return std::int64_t(size) * (kRooms + kObjects + kMonsters * (1 + kMonsterInstances) +
                               kMachines * (1 + kMachineInstances));
}

// Seconds per record and iteration: flat across sizes when the work grows linearly.
benchmark::Counter PerRecord(int size) {
  return benchmark::Counter(static_cast<double>(Records(size)),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_MergeIntoItself(benchmark::State& state) {
  MergeStartDir& s = StartDir();
  const int size = static_cast<int>(state.range(0));
  const std::string path = s.Save(size);
  for (auto _ : state) {
    state.PauseTiming();
    if (!s.doc.OnOpenDocument(path)) state.SkipWithError("open failed");
    state.ResumeTiming();
    if (!MergeQuestFile(path, s.doc.QuestName())) state.SkipWithError("merge failed");
  }
  state.counters["nodes"] = static_cast<double>(ListLength(Quest().graphNodes));
  state.counters["boxes"] = static_cast<double>(s.ui.boxes.size());
  state.counters["per_record"] = PerRecord(size);
  state.SetComplexityN(Records(size));
}

// The baseline: opening the same file.
void BM_OpenSameQuestBaseline(benchmark::State& state) {
  MergeStartDir& s = StartDir();
  const int size = static_cast<int>(state.range(0));
  const std::string path = s.Save(size);
  for (auto _ : state) {
    if (!s.doc.OnOpenDocument(path)) state.SkipWithError("open failed");
  }
  state.counters["nodes"] = static_cast<double>(ListLength(Quest().graphNodes));
  state.counters["per_record"] = PerRecord(size);
  state.SetComplexityN(Records(size));
}

BENCHMARK(BM_MergeIntoItself)->RangeMultiplier(2)->Range(1, 8)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_OpenSameQuestBaseline)->RangeMultiplier(2)->Range(1, 8)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
int main(int argc, char** argv) {
  std::vector<benchgrowth::Pair> pairs;
  for (const char* size : {"1", "2", "4", "8"})
    pairs.push_back({std::string("BM_MergeIntoItself/") + size, std::string("BM_OpenSameQuestBaseline/") + size});
  return benchgrowth::Main(argc, argv, pairs);
}
