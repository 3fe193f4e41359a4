// The per-generation index of nodes by room gives the answers a walk over the
// quest's lists gives, and room exports come out the same with it as without.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc_fixture.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/room.h"
#include "quest/room_node_index.h"

namespace {

using questtest::AddLampNode;
using questtest::AddMonster;
using questtest::AddRoom;

CRoom* FindRoomNamed(std::string_view name) {
  for (CRoom* room = Quest().rooms; room; room = room->next) {
    if (FieldText(room->name) == name) return room;
  }
  return nullptr;
}

class RoomNodeIndexTest : public questtest::DocTest {
 protected:
  RoomNodeIndexTest() {
    Define(questtest::kLampMachine);
    GenerationLog().clear();
  }

  // Rooms of every shape the map allows: side by side, overlapping, one
  // inside another, a box stored the wrong way round, one spanning the map,
  // one far off, and one no node reaches.
  void MakeRooms() {
    AddRoom("west", 0, 0, 0, 0, 600, 600);
    AddRoom("east", 1, 0, 1000, 0, 1600, 600);
    AddRoom("overlap", 2, 0, 500, 400, 1100, 1000);
    AddRoom("inner", 3, 0, 100, 100, 200, 200);
    AddRoom("backwards", 4, 0, 2770, 2770, 2760, 2760);  // met only by a node spanning it
    AddRoom("everything", 5, 0, -100000, -100000, 100000, 100000);
    AddRoom("far", 6, 0, -50000, 20000, -49000, 21000);
    AddRoom("empty", 0, 1, 9000, 9000, 9100, 9100);
  }

  // Nodes scattered over the map (a grid, with a few on room edges and far
  // off), each on a cell; every third machine links to the one before.
  void MakeNodes() {
    int made = 0;
    auto place = [&](int x, int y) {
      GraphNode* node = AddLampNode(10 + made % 40 * 4, 10 + made / 40 * 4, "m" + std::to_string(made % 37));
      node->x = x;
      node->y = y;
      ++made;
    };
    for (int x = -200; x <= 3200; x += 170) {
      for (int y = -200; y <= 3200; y += 230) place(x, y);
    }
    place(600, 600);
    place(624, 0);  // its box touches the west room's right edge
    place(-49500, 20500);
    place(2750, 2750);
    place(150, 150);
    for (CMachine* m = Quest().machines; m; m = m->next) {
      for (ElementInstance* i = m->instances; i && FieldText(m->name) == "m3"; i = i->next) {
        SetField(i->links[0], "M2:m2_1");  // another case, same machine; mostly in other rooms
      }
      if (FieldText(m->name) == "m5") SetField(m->instances->links[1], "gone:gone_0");
    }
    // Monster nodes, two with keys differing only in case; both name the first.
    AddMonster("Orc", "orc")->AddInstance();
    Quest().graphNodes->x = 300;
    Quest().graphNodes->y = 300;
    AddMonster("orc", "orc")->AddInstance();
    Quest().graphNodes->x = 1200;
    Quest().graphNodes->y = 200;
  }

  static std::vector<GraphNode*> Walk(const CRoom& room) {
    std::vector<GraphNode*> nodes;
    for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
      if (room.IsNodeInRoom(n)) nodes.push_back(n);
    }
    return nodes;
  }
};

TEST_F(RoomNodeIndexTest, EachRoomSeesTheNodesAWalkFinds) {
  MakeRooms();
  MakeNodes();
  const RoomNodeIndex index;
  std::size_t total = 0;
  for (const CRoom* room = Quest().rooms; room; room = room->next) {
    const std::vector<GraphNode*> walked = Walk(*room);
    const std::span<GraphNode* const> indexed = index.NodesOf(room);
    EXPECT_EQ(std::vector<GraphNode*>(indexed.begin(), indexed.end()), walked) << room->name;
    total += walked.size();
  }
  EXPECT_TRUE(index.NodesOf(nullptr).empty());
  // The fixture reaches every kind of room: the empty one sees nothing, the others something.
  for (const CRoom* room = Quest().rooms; room; room = room->next) {
    EXPECT_EQ(Walk(*room).empty(), FieldText(room->name) == "empty") << room->name;
  }
  EXPECT_GT(total, ListLength(Quest().graphNodes));  // overlapping rooms share nodes
}

TEST_F(RoomNodeIndexTest, NodesInRoomUsesTheActiveIndexOnly) {
  MakeRooms();
  MakeNodes();
  CRoom* west = FindRoomNamed("west");
  ASSERT_NE(west, nullptr);
  const std::vector<GraphNode*> walked = Walk(*west);
  {
    const RoomNodeIndex index;
    const RoomNodeIndex::Scope scope(index);
    EXPECT_EQ(RoomNodeIndex::Active(), &index);
    const CRoom::NodeList list = west->NodesInRoom();
    EXPECT_TRUE(list.owned.empty());  // served from the index
    EXPECT_EQ(std::vector<GraphNode*>(list.begin(), list.end()), walked);
  }
  EXPECT_EQ(RoomNodeIndex::Active(), nullptr);
  const CRoom::NodeList list = west->NodesInRoom();
  EXPECT_EQ(std::vector<GraphNode*>(list.begin(), list.end()), walked);
}

TEST_F(RoomNodeIndexTest, NamesResolveAsTheListsDo) {
  MakeNodes();
  CreateMachine(Quest().machines, kMachineStateMachine, "lamp", "M1");  // a later twin of "m1"
  const RoomNodeIndex index;
  for (const char* name : {"m0", "M1", "m36", "m2", "nope", "", "m"}) {
    EXPECT_EQ(index.MachineNamed(name), FindMachineNamed(Quest().machines, name)) << name;
  }
  for (const char* key : {"orc", "ORC", "Orc", "wolf"}) {
    EXPECT_EQ(index.MonsterNamed(key), FindMonster(Quest().monsters, key)) << key;
  }
  ASSERT_NE(index.MonsterNamed("ORC"), nullptr);
}

TEST_F(RoomNodeIndexTest, LinkTargetsAreTheSameWithTheIndex) {
  MakeRooms();
  MakeNodes();
  std::vector<const GraphNode*> plain;
  std::vector<bool> plainGone;
  const CRoom* room = Quest().rooms;
  for (const GraphNode* n = Quest().graphNodes; n; n = n->next) {
    for (int slot = 0; slot < ElementInstance::kLinkSlots; ++slot) {
      bool gone = false;
      plain.push_back(room->FindLinkTarget(n, slot, &gone));
      plainGone.push_back(gone);
    }
  }
  const RoomNodeIndex index;
  const RoomNodeIndex::Scope scope(index);
  std::size_t i = 0;
  int found = 0;
  for (const GraphNode* n = Quest().graphNodes; n; n = n->next) {
    for (int slot = 0; slot < ElementInstance::kLinkSlots; ++slot, ++i) {
      bool gone = false;
      EXPECT_EQ(room->FindLinkTarget(n, slot, &gone), plain[i]);
      EXPECT_EQ(gone, plainGone[i]);
      found += plain[i] != nullptr;
    }
  }
  EXPECT_GT(found, 0);
}

TEST_F(RoomNodeIndexTest, ExportsAndReportsMatchTheWalk) {
  MakeRooms();
  MakeNodes();
  // Collisions for the report: a room monster on a node's cell, a trap on the
  // monster's, two nodes on one cell.
  CRoom* west = FindRoomNamed("west");
  ASSERT_NE(west, nullptr);
  const std::vector<GraphNode*> inWest = Walk(*west);
  ASSERT_GE(inWest.size(), 3u);
  RoomMonster* wolf = NewRoomMonster(west->monsters);
  SetField(wolf->name, "wolf");
  wolf->cellX = inWest[1]->cellX;
  wolf->cellY = inWest[1]->cellY;
  RoomTrap* trap = NewRoomTrap(west->traps);
  trap->cellX = wolf->cellX;
  trap->cellY = wolf->cellY;
  inWest[2]->cellX = inWest[1]->cellX;
  inWest[2]->cellY = inWest[1]->cellY;

  struct Cell {
    int x, y;
  };
  std::vector<Cell> cells;
  for (const GraphNode* n = Quest().graphNodes; n; n = n->next) cells.push_back({n->cellX, n->cellY});
  auto exportAll = [&] {
    GenerationLog().clear();
    std::vector<std::vector<std::uint8_t>> files;
    for (CRoom* room = Quest().rooms; room; room = room->next) {
      EXPECT_EQ(room->ExportCdf("_CUST_", "q"), 1);
      files.push_back(ReadBytes("data/customQuest/q/_CUST_" + std::string(FieldText(room->name)) + ".cdf"));
    }
    return files;
  };
  const std::vector<std::vector<std::uint8_t>> plain = exportAll();
  const std::string plainLog = GenerationLog();
  std::size_t i = 0;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next, ++i) {
    n->cellX = cells[i].x;
    n->cellY = cells[i].y;
  }
  std::vector<std::vector<std::uint8_t>> indexed;
  {
    const RoomNodeIndex index;
    const RoomNodeIndex::Scope scope(index);
    indexed = exportAll();
  }
  EXPECT_EQ(GenerationLog(), plainLog);
  EXPECT_NE(plainLog.find("bad placement of generic Trap"), std::string::npos) << plainLog;
  EXPECT_NE(plainLog.find("bad placement of Monster wolf in room west"), std::string::npos) << plainLog;
  EXPECT_NE(plainLog.find("cannot linked to"), std::string::npos) << plainLog;
  ASSERT_EQ(indexed.size(), plain.size());
  for (std::size_t r = 0; r < plain.size(); ++r) EXPECT_EQ(indexed[r], plain[r]) << "room " << r;
}

}  // namespace
