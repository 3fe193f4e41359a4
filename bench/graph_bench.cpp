// The world map of a large quest: 200 machines of 8 values with 5 instances
// each, 500 monsters with 4 instances each. Building the graph is what opening
// the quest costs; one re-synchronisation pass (every machine, then every
// monster) runs after every element edit, so its time is the edit latency.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/world_graph.h"

namespace {

constexpr int kMachines = 200;
constexpr int kMachineInstances = 5;
constexpr int kMonsters = 500;
constexpr int kMonsterInstances = 4;
constexpr int kObjects = 100;

constexpr const char* kDefinition =
    "STATE_MACHINE { KEY { chest } COMMENT [ A chest\r\nwith loot ]"
    "  PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
    "  PARAM { KEY { 2 } TYPE { OBJECT } IN {} }"
    "  PARAM { KEY { 3 } TYPE { OBJECT } OUT {} }"
    "  PARAM { KEY { 4 } TYPE { MONSTER } IN {} }"
    "  PARAM { KEY { 5 } TYPE { MONSTER } OUT {} }"
    "  PARAM { KEY { 6 } TYPE { INT } DEFAULT { 3 } }"
    "  PARAM { KEY { 7 } TYPE { TEXT } }"
    "  PARAM { KEY { 8 } TYPE { SOUND } } }";

std::string Name(const char* format, int n) {
  char text[64];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

// Fills the quest and builds its graph, with every instance's positions taken.
void MakeQuest() {
  ResetQuestState();
  QuestState& q = Quest();
  q.library.SetText("bench.qsm", kDefinition);
  q.library.ParseBlock("", false);
  q.library.FreeBuffer();
  for (int i = 0; i < kMonsters; ++i) {
    CMonster* m = NewMonster(q.monsters);
    SetField(m->key, Name("mon%03d", i));
    if (i % 5 != 0) SetField(m->gift, Name("obj%02d", i % kObjects));
    for (int k = 0; k < kMonsterInstances; ++k) m->AddInstance();
  }
  for (int i = 0; i < kMachines; ++i) {
    CMachine* m = CreateMachine(q.machines, kMachineStateMachine, "chest", Name("chest%03d", i));
    m->FindParam(1)->SetText(Name("frame%03d.o3d", i));
    m->FindParam(2)->SetText(Name("obj%02d", (i * 7) % kObjects));
    m->FindParam(3)->SetText(Name("obj%02d", (i * 13 + 5) % kObjects));
    m->FindParam(4)->SetText(Name("mon%03d", (i * 3) % kMonsters));
    m->FindParam(5)->SetText(Name("mon%03d", (i * 11 + 1) % kMonsters));
    m->FindParam(7)->SetText("Open me");
    m->FindParam(8)->SetText("creak.wav");
    for (int k = 0; k < kMachineInstances; ++k) m->AddInstance("", 0, 0, nullptr);
  }
  int n = 0;
  for (GraphNode* node = q.graphNodes; node; node = node->next, ++n) {
    node->x = (n * 37) % 4000;
    node->y = (n * 91) % 4000;
  }
  for (CMonster* m = q.monsters; m; m = m->next) m->SnapshotPositions();
  for (CMachine* m = q.machines; m; m = m->next) m->SnapshotPositions();
}

void BM_BuildGraph(benchmark::State& state) {
  MakeQuest();
  for (auto _ : state) {
    RebuildQuestGraph();
    benchmark::DoNotOptimize(Quest().graphNodes);
  }
  state.counters["nodes"] = static_cast<double>(ListLength(Quest().graphNodes));
  state.counters["links"] = static_cast<double>(ListLength(Quest().graphLinks));
  ResetQuestState();
}
BENCHMARK(BM_BuildGraph)->Unit(benchmark::kMillisecond);

// One pass as after any element edit: every machine, then every monster.
void BM_ResyncAll(benchmark::State& state) {
  MakeQuest();
  for (auto _ : state) {
    SyncAllGraphs();
    benchmark::DoNotOptimize(Quest().graphLinks);
  }
  state.counters["nodes"] = static_cast<double>(ListLength(Quest().graphNodes));
  ResetQuestState();
}
BENCHMARK(BM_ResyncAll)->Unit(benchmark::kMillisecond);

// Renaming one monster's gift, then the pass the monster dialog runs.
void BM_EditMonsterGift(benchmark::State& state) {
  MakeQuest();
  CMonster* monster = Quest().monsters;
  int n = 0;
  for (auto _ : state) {
    SetField(monster->gift, Name("obj%02d", n++ % kObjects));
    SyncMonsterGraph(monster);
    SyncAllGraphs();
  }
  ResetQuestState();
}
BENCHMARK(BM_EditMonsterGift)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
