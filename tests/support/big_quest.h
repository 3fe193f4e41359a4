#pragma once
// A generated quest of any number of rooms, shared by the quest benchmarks and
// the tests that pin what they save: each room with every block set, a
// collision map, 20 traps and 10 placed monsters; per 40 rooms, 200 machines
// with 5 placed instances each and 500 monsters with 2 each, their nodes
// spread over the rooms. Built into the open quest; the meshes and textures it
// names are written under the current directory. Deterministic: the same
// count always gives the same quest.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datafiles/common/little_endian.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/room.h"

namespace bigquest {

inline constexpr int kMachinesPer40Rooms = 200;
inline constexpr int kMachineInstances = 5;
inline constexpr int kMonstersPer40Rooms = 500;
inline constexpr int kMonsterInstances = 2;
inline constexpr int kBlockMeshes = 8;

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An "04D" mesh without faces and with a one-block footprint.
inline std::vector<std::uint8_t> BlockMesh(std::uint8_t corner) {
  std::vector<std::uint8_t> b = {'0', '4', 'D', 0};
  auto u32 = [&](std::uint32_t v) { AppendLe32(b, v); };
  u32(1);
  u32(0); u32(0); u32(0); u32(0);
  u32(1); u32(1);
  for (int i = 0; i < 9; ++i) b.push_back(i == 0 ? corner : 0);
  return b;
}

// The sprite, the sixteen object textures and the block meshes.
inline void WriteFiles() {
  WriteFile("rozizuzi/k0830_sprite.tga", std::vector<std::uint8_t>(1024, 7));
  for (int bank = 800; bank <= 815; ++bank) {
    WriteFile("rozizuzi/bank/k0" + std::to_string(bank) + "_OBJ.tga",
              std::vector<std::uint8_t>(4096, static_cast<std::uint8_t>(bank)));
  }
  for (int m = 0; m < kBlockMeshes; ++m) {
    // Footprints only where blocks stand at the corners that nothing uses.
    WriteFile("rozizuzi/o4d/block" + std::to_string(m) + ".o3d", BlockMesh(m == 0 ? 1 : 0));
  }
}

inline void Build(int rooms) {
  QuestState& q = Quest();
  q.library.SetText("bench.qsm",
                    "STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} }"
                    "  PARAM { KEY { 2 } TYPE { INT } } PARAM { KEY { 3 } TYPE { TEXT } }"
                    "  CODE [\r\n\tSTATE %0\r\n\t{\r\n\t\tMESH {%1} COUNT {%2}\r\n\t\tSAY %3 \r\n\t}\r\n] }"
                    "GENERIC { KEY { spikes } TYPE { 4 } INDEX { 4 } LABEL { SPK } }");
  q.library.ParseBlock("", false);
  q.library.FreeBuffer();

  const int kRooms = rooms;
  const int kMonsters = kMonstersPer40Rooms * rooms / 40;
  const int kMachines = kMachinesPer40Rooms * rooms / 40;
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

}  // namespace bigquest
