// Opening, saving and generating a quest of 10 to 160 rooms, each with every
// block set, a collision map, 20 traps and 10 placed monsters; per 40 rooms,
// 200 machines with 5 placed instances each and 500 monsters with 2 each, their
// nodes spread over the rooms. Reading and writing the same bytes raw are the
// floor that opening and saving are measured against. The times should grow
// with the room count, not its square.
#include <benchmark/benchmark.h>

#include "growth_report.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

#include "datafiles/common/little_endian.h"
#include "datafiles/multi_lang_text.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/services.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMachinesPer40Rooms = 200;
constexpr int kMachineInstances = 5;
constexpr int kMonstersPer40Rooms = 500;
constexpr int kMonsterInstances = 2;
constexpr int kBlockMeshes = 8;

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// An "04D" mesh without faces and with a one-block footprint.
std::vector<std::uint8_t> BlockMesh(std::uint8_t corner) {
  std::vector<std::uint8_t> b = {'0', '4', 'D', 0};
  auto u32 = [&](std::uint32_t v) { AppendLe32(b, v); };
  u32(1);
  u32(0); u32(0); u32(0); u32(0);
  u32(1); u32(1);
  for (int i = 0; i < 9; ++i) b.push_back(i == 0 ? corner : 0);
  return b;
}

class BigQuest {
 public:
  explicit BigQuest(int rooms) : rooms_(rooms) {
    std::string tmpl = (fs::temp_directory_path() / "questbench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
    previous_ = platform::CurrentDirectory();
    platform::ChangeDirectory(dir_);
    platform::SetStartDirectory(dir_);
    platform::SetProfilePath(dir_ + "/profile.ini");
    WriteFile(fs::path(dir_) / "rozizuzi/k0830_sprite.tga", std::vector<std::uint8_t>(1024, 7));
    for (int bank = 800; bank <= 815; ++bank) {
      WriteFile(fs::path(dir_) / ("rozizuzi/bank/k0" + std::to_string(bank) + "_OBJ.tga"),
                std::vector<std::uint8_t>(4096, static_cast<std::uint8_t>(bank)));
    }
    for (int m = 0; m < kBlockMeshes; ++m) {
      // Footprints only where blocks stand at the corners that nothing uses.
      WriteFile(fs::path(dir_) / ("rozizuzi/o4d/block" + std::to_string(m) + ".o3d"), BlockMesh(m == 0 ? 1 : 0));
    }
    Build();
    doc.SetTitle("big.qst");
    doc.SetPathName("big.qst");
    doc.OnNewDocument();
  }
  ~BigQuest() {
    FreeQuestLists();
    if (!previous_.empty()) platform::ChangeDirectory(previous_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  CKelvarDoc doc;
  platform::ScriptedServices ui;

 private:
  void Build() {
    QuestState& q = Quest();
    q.library.SetText("bench.qsm",
                      "STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
                      "  PARAM { KEY { 2 } TYPE { INT } } PARAM { KEY { 3 } TYPE { TEXT } }"
                      "  CODE [\r\n\tSTATE %0\r\n\t{\r\n\t\tMESH {%1} COUNT {%2}\r\n\t\tSAY %3 \r\n\t}\r\n] }"
                      "GENERIC { KEY { spikes } TYPE { 4 } INDEX { 4 } LABEL { SPK } }");
    q.library.ParseBlock("", false);
    q.library.FreeBuffer();

    const int kRooms = rooms_;
    const int kMonsters = kMonstersPer40Rooms * rooms_ / 40;
    const int kMachines = kMachinesPer40Rooms * rooms_ / 40;
    for (int r = 0; r < kRooms; ++r) {
      CRoom* room = NewRoom(q.rooms);
      SetField(room->name, "room" + std::to_string(r));
      room->land = r % 7;
      room->left = (r % 8) * 1000;
      room->top = (r / 8) * 1000;
      room->right = room->left + 600;
      room->bottom = room->top + 600;
      room->text.Set(1, ("Room " + std::to_string(r)).c_str());
      for (int m = 0; m < kBlockMeshes; ++m) room->blockSet.FindOrAdd("rozizuzi\\o4d\\block" + std::to_string(m) + ".o3d");
      for (int c = 0; c < kRoomBlocks; ++c) {
        for (int w = 0; w < kRoomBlocks; ++w) {
          RoomBlock& b = room->Block(c, w);
          b.fileName = "rozizuzi\\o4d\\block" + std::to_string(1 + (c + w) % (kBlockMeshes - 1)) + ".o3d";
          b.rotation = (c * 3 + w) % 4;
          b.id = c * 64 + w;
        }
      }
      // Walls all round and a pattern of low cells; nothing is placed on them.
      for (int i = 0; i < kRoomCells; ++i) {
        room->Collision(i, 0) = room->Collision(0, i) = 1;
        room->Collision(i, kRoomCells - 1) = room->Collision(kRoomCells - 1, i) = 1;
      }
      for (int c = 3; c < kRoomCells - 2; c += 14) {
        for (int w = 3; w < kRoomCells - 2; w += 10) room->Collision(c, w) = 2;  // odd cells only
      }
      RoomTrap* previous = nullptr;
      for (int t = 0; t < 20; ++t) {
        RoomTrap* trap = NewRoomTrap(room->traps);
        trap->type = 4;
        trap->cellX = 10 + 8 * t;
        trap->cellY = 150;
        trap->target = previous;
        previous = trap;
      }
      for (int m = 0; m < 10; ++m) {
        RoomMonster* monster = NewRoomMonster(room->monsters);
        SetField(monster->name, "wolf");
        monster->cellX = 10 + 8 * m;
        monster->cellY = 170;
      }
    }
    for (int o = 0; o < 50; ++o) {
      CQuestObject* object = NewQuestObject(q.questObjects);
      SetField(object->key, "object" + std::to_string(o));
      SetField(object->parent, "ITKEY");
      object->name.Set(1, "An object");
    }
    // Each element's nodes in one room, on even cells of their own.
    std::vector<int> used(kRooms, 0);
    auto place = [&](GraphNode* n, int room) {
      const int k = used[room]++;
      n->x = (room % 8) * 1000 + 100;
      n->y = (room / 8) * 1000 + 100;
      n->cellX = 20 + k % 60 * 2;
      n->cellY = 20 + k / 60 * 2;
    };
    for (int m = 0; m < kMonsters; ++m) {
      CMonster* monster = NewMonster(q.monsters);
      SetField(monster->key, "monster" + std::to_string(m));
      SetField(monster->monsterClass, "orc");
      monster->name.Set(1, "Orc");
      monster->life = 10;
      for (int i = 0; i < kMonsterInstances; ++i) {
        monster->AddInstance();
        place(q.graphNodes, m % kRooms);
      }
    }
    for (int m = 0; m < kMachines; ++m) {
      CMachine* machine = CreateMachine(q.machines, kMachineStateMachine, "door", "machine" + std::to_string(m));
      machine->FindParam(1)->SetText("mesh" + std::to_string(m));
      machine->FindParam(2)->SetText(std::to_string(m));
      machine->FindParam(3)->SetText("Hello");
      for (int i = 0; i < kMachineInstances; ++i) {
        machine->AddInstance("", 0, 0, i ? ("machine" + std::to_string(m) + ":machine" + std::to_string(m) + "_0").c_str()
                                         : nullptr);
        place(q.graphNodes, m % kRooms);
      }
    }
  }

  int rooms_;
  std::string dir_, previous_;
};

// The quest state is program-wide: one quest at a time, rebuilt when the size changes.
BigQuest& QuestOf(int rooms) {
  static std::unique_ptr<BigQuest> quest;
  static int size = 0;
  if (!quest || size != rooms) {
    quest.reset();
    quest = std::make_unique<BigQuest>(rooms);
    size = rooms;
  }
  return *quest;
}

std::vector<std::uint8_t> FileBytes(const char* path) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(fs::file_size(path)));
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void BM_SaveQuest(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!q.doc.OnSaveDocument("big.qst")) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size("big.qst"));
}

void BM_WriteSameBytesRaw(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnSaveDocument("big.qst");
  const std::vector<std::uint8_t> bytes = FileBytes("big.qst");
  for (auto _ : state) {
    platform::WriteWholeFile("raw.qst", bytes);
  }
}

void BM_OpenQuest(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnSaveDocument("big.qst");
  for (auto _ : state) {
    if (!q.doc.OnOpenDocument("big.qst")) state.SkipWithError("open failed");
  }
  state.counters["nodes"] = static_cast<double>(ListLength(Quest().graphNodes));
}

void BM_ReadSameBytesRaw(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  q.doc.OnSaveDocument("big.qst");
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::ReadWholeFile("big.qst"));
  }
}

void BM_GenerateQuest(benchmark::State& state) {
  BigQuest& q = QuestOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    q.ui.boxes.clear();
    q.doc.OnGenerateQuest();
    if (!GenerationLog().empty()) state.SkipWithError("generation logged faults");
  }
  state.counters["package"] = static_cast<double>(fs::file_size("quest/big.mtf"));
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int rooms : {10, 20, 40, 80, 160}) b->Arg(rooms);
  b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_SaveQuest)->Apply(Sizes);
BENCHMARK(BM_WriteSameBytesRaw)->Apply(Sizes);
BENCHMARK(BM_OpenQuest)->Apply(Sizes);
BENCHMARK(BM_ReadSameBytesRaw)->Apply(Sizes);
BENCHMARK(BM_GenerateQuest)->Apply(Sizes)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  std::vector<benchgrowth::Pair> pairs;
  for (const char* rooms : {"10", "20", "40", "80", "160"}) {
    pairs.push_back({std::string("BM_SaveQuest/") + rooms, std::string("BM_WriteSameBytesRaw/") + rooms});
    pairs.push_back({std::string("BM_OpenQuest/") + rooms, std::string("BM_ReadSameBytesRaw/") + rooms});
  }
  return benchgrowth::Main(argc, argv, pairs);
}
