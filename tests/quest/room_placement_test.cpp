#include "quest/room_placement.h"

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

namespace {

using questtest::AddLampNode;
using questtest::AddMonster;
using questtest::AddRoom;
using questtest::FootprintMesh;

constexpr const char* kCorner = "rozizuzi\\o4d\\corner.o3d";
constexpr const char* kSpikes = "rozizuzi\\generic\\spikes.o3d";

TEST(RoomCells, RotationsTurnAFootprintAndBack) {
  EXPECT_EQ(RotateCell(1, 0, 0).x, 2);
  EXPECT_EQ(RotateCell(1, 0, 0).y, 0);
  EXPECT_EQ(RotateCell(2, 0, 1).x, 2);
  EXPECT_EQ(RotateCell(2, 0, 1).y, 1);
  EXPECT_EQ(RotateCell(3, 0, 0).x, 0);
  EXPECT_EQ(RotateCell(3, 0, 0).y, 2);
  for (int r = 0; r < 4; ++r) {
    for (int x = 0; x < 3; ++x) {
      for (int y = 0; y < 3; ++y) {
        const CellPoint p = RotateCell(r, x, y);
        const CellPoint back = UnrotateCell(r, p.x, p.y);
        EXPECT_EQ(back.x, x) << r;
        EXPECT_EQ(back.y, y) << r;
      }
    }
  }
  EXPECT_EQ(UnrotateCell(4, 0, 0).x, 2);
  EXPECT_EQ(UnrotateCell(-1, 0, 0).y, 2);
}

class RoomPlacement : public questtest::DocTest {
 protected:
  RoomPlacement() {
    Define(questtest::kLampMachine);
    Define("GENERIC { KEY { spikes } TYPE { 4 } MESH { rozizuzi\\generic\\spikes.o3d } }"
           "GENERIC { KEY { plate } TYPE { 5 } }");
    dir.Write("rozizuzi/o4d/corner.o3d", std::span<const std::uint8_t>(FootprintMesh({1, 0, 0, 0, 0, 0, 0, 0, 0})));
    // The middle cell and the one right of it.
    dir.Write("rozizuzi/generic/spikes.o3d", std::span<const std::uint8_t>(FootprintMesh({0, 0, 0, 0, 1, 1, 0, 0, 0})));
    room = AddRoom("hall", 0, 0, 0, 0, 1000, 1000);
  }
  RoomTrap* Trap(int type, int column, int row, int rotation = 0) {
    RoomTrap* t = NewRoomTrap(room->traps);
    t->type = type;
    t->cellX = column;
    t->cellY = row;
    t->rotation = rotation;
    return t;
  }
  static std::pair<int, int> Cell(const GraphNode* n) { return {n->cellX, n->cellY}; }

  CRoom* room = nullptr;
};

TEST_F(RoomPlacement, BlocksBlockTheirFootprintCellsTurned) {
  room->Block(1, 1).fileName = kCorner;
  EXPECT_TRUE(room->IsCellBlocked(3, 3));
  EXPECT_FALSE(room->IsCellBlocked(4, 3));
  EXPECT_FALSE(room->IsCellBlocked(5, 3));
  room->Block(1, 1).rotation = 1;  // the corner cell turns to the top right
  EXPECT_FALSE(room->IsCellBlocked(3, 3));
  EXPECT_TRUE(room->IsCellBlocked(5, 3));

  EXPECT_TRUE(room->IsCellBlocked(-1, 0));
  EXPECT_TRUE(room->IsCellBlocked(0, 192));
  room->Collision(100, 101) = 2;
  EXPECT_TRUE(room->IsCellBlocked(100, 101));
  room->Block(10, 10).fileName = "rozizuzi\\o4d\\missing.o3d";
  EXPECT_FALSE(room->IsCellBlocked(30, 30));
  // Looking a mesh up adds a name the block set did not know.
  EXPECT_GE(room->blockSet.FindPath("rozizuzi\\o4d\\missing.o3d"), 0);
}

TEST_F(RoomPlacement, TrapFootprints) {
  RoomTrap* spikes = Trap(4, 10, 10);
  EXPECT_TRUE(room->IsInTrapFootprint(*spikes, 10, 10));
  EXPECT_TRUE(room->IsInTrapFootprint(*spikes, 11, 10));
  EXPECT_FALSE(room->IsInTrapFootprint(*spikes, 9, 10));
  EXPECT_FALSE(room->IsInTrapFootprint(*spikes, 10, 11));
  spikes->rotation = 1;
  EXPECT_TRUE(room->IsInTrapFootprint(*spikes, 10, 11));
  EXPECT_FALSE(room->IsInTrapFootprint(*spikes, 11, 10));
  EXPECT_TRUE(room->IsInTrapFootprint(*spikes, 200, 0));  // outside the grid

  RoomTrap* plate = Trap(5, 20, 20);  // no mesh: its own cell only
  EXPECT_TRUE(room->IsInTrapFootprint(*plate, 20, 20));
  EXPECT_FALSE(room->IsInTrapFootprint(*plate, 21, 20));

  RoomTrap* unknown = Trap(77, 30, 30);  // no definition: the whole room
  EXPECT_TRUE(room->IsInTrapFootprint(*unknown, 0, 0));
  EXPECT_TRUE(room->IsCellTaken(150, 150, nullptr));
  EXPECT_FALSE(room->IsCellTaken(150, 150, unknown));
}

TEST_F(RoomPlacement, CellsAtTheEndsOfTheIntRangeDoNotWrapRound) {
  constexpr int kMin = -0x7FFFFFFF - 1;
  constexpr int kMax = 0x7FFFFFFF;
  // Offsets from these cells do not fit an int.
  for (int rotation : {0, 1, 2, 3}) {
    RoomTrap* spikes = Trap(4, kMin, kMax, rotation);
    EXPECT_FALSE(room->IsInTrapFootprint(*spikes, 100, 100)) << rotation;
    EXPECT_FALSE(room->IsInTrapFootprint(*spikes, 0, 191)) << rotation;
    spikes->cellX = kMax;
    spikes->cellY = kMin;
    EXPECT_FALSE(room->IsInTrapFootprint(*spikes, 191, 0)) << rotation;
    room->RemoveTrap(spikes);
  }
  // A rotation outside 0..3 reads footprint cell (2, 2) wherever the trap is.
  dir.Write("rozizuzi/generic/corner.o3d", std::span<const std::uint8_t>(FootprintMesh({0, 0, 0, 0, 0, 0, 0, 0, 1})));
  Define("GENERIC { KEY { corner } TYPE { 7 } MESH { rozizuzi\\generic\\corner.o3d } }");
  RoomTrap* odd = Trap(7, kMax, kMax, 9);
  EXPECT_TRUE(room->IsInTrapFootprint(*odd, 5, 5));
  room->RemoveTrap(odd);

  // Separation: nodes far off the grid find no ring that meets it and stay.
  GraphNode* far = AddLampNode(kMax, kMin);
  GraphNode* near = AddLampNode(-3, 95);  // its rings reach the grid from outside
  room->SeparateNodes();
  EXPECT_EQ(Cell(far), std::make_pair(kMax, kMin));
  EXPECT_EQ(Cell(near), std::make_pair(0, 98));

  // Map positions at the far end of the int range are not inside a room at the other end.
  room->left = kMin;
  room->top = kMin;
  room->right = kMin + 10;
  room->bottom = kMin + 10;
  far->x = kMax - 10;
  far->y = kMax - 10;
  EXPECT_FALSE(room->IsNodeInRoom(far));
  room->right = kMax;
  room->bottom = kMax;
  EXPECT_TRUE(room->IsNodeInRoom(far));
}

TEST_F(RoomPlacement, NodesBelongToARoomByTheirPositionAlone) {
  GraphNode* inside = AddLampNode(5, 5);
  inside->x = 990;  // its 48-unit box reaches into the room's
  inside->y = 0;
  GraphNode* outside = AddLampNode(6, 6);
  outside->x = 1001;
  outside->y = 500;
  // Whatever the map drew last plays no part.
  inside->left = inside->right = inside->top = inside->bottom = -5000;
  outside->left = 0;
  outside->right = 2000;
  outside->bottom = 2000;
  EXPECT_TRUE(room->IsNodeInRoom(inside));
  EXPECT_FALSE(room->IsNodeInRoom(outside));

  CMonster* grunt = AddMonster("grunt", "orc");
  grunt->AddInstance();
  GraphNode* monster = Quest().graphNodes;
  ASSERT_EQ(monster->kind, kNodeMonster);
  monster->x = -96;  // a 96-unit box touching the room's edge
  monster->y = -96;
  EXPECT_TRUE(room->IsNodeInRoom(monster));
  monster->x = -97;
  EXPECT_FALSE(room->IsNodeInRoom(monster));
  EXPECT_EQ(room->FindNodeAt(5, 5), inside);
  EXPECT_EQ(room->FindNodeAt(6, 6), nullptr);
}

TEST_F(RoomPlacement, SeparatingNodesTakesTheLastFreeCellOfTheFirstRing) {
  GraphNode* first = AddLampNode(50, 60);
  GraphNode* second = AddLampNode(50, 60);
  GraphNode* third = AddLampNode(50, 60);
  GraphNode* fourth = AddLampNode(51, 60);  // a cell the second's ring claimed
  // The node list holds the newest first.
  ASSERT_EQ(Quest().graphNodes, fourth);
  room->SeparateNodes();
  EXPECT_EQ(Cell(fourth), std::make_pair(51, 60));
  EXPECT_EQ(Cell(third), std::make_pair(50, 60));
  EXPECT_EQ(Cell(second), std::make_pair(51, 61));
  // Ring 1 is taken by then: the last cell of ring 2.
  EXPECT_EQ(Cell(first), std::make_pair(52, 62));
}

TEST_F(RoomPlacement, SeparatingNodesAtTheEdgeAndWhenNothingIsFree) {
  GraphNode* a = AddLampNode(0, 0);
  GraphNode* b = AddLampNode(0, 0);
  room->SeparateNodes();
  EXPECT_EQ(Cell(b), std::make_pair(0, 0));
  EXPECT_EQ(Cell(a), std::make_pair(1, 1));

  for (int c = 20; c <= 80; ++c) {
    for (int r = 20; r <= 80; ++r) room->Collision(c, r) = 1;
  }
  GraphNode* stuck = AddLampNode(50, 50);
  GraphNode* freed = AddLampNode(34, 50);  // blocked, with free cells 15 columns away
  room->SeparateNodes();
  EXPECT_EQ(Cell(stuck), std::make_pair(50, 50));
  EXPECT_EQ(Cell(freed), std::make_pair(20 - 1, 50 + 15));
}

TEST_F(RoomPlacement, PlacementReport) {
  GenerationLog().clear();
  Trap(4, 192, 5);
  room->Collision(5, 5) = 1;
  Trap(5, 5, 5);
  GraphNode* node = AddLampNode(20, 20);
  RoomMonster* wolf = NewRoomMonster(room->monsters);
  SetField(wolf->name, "wolf");
  wolf->cellX = 20;
  wolf->cellY = 20;
  room->CheckPlacements();
  EXPECT_EQ(GenerationLog(),
            "bad placement of generic Trap plate in room hall : collision error at (5,5)\r\n"
            "Trap spikes in room hall is outside world limit\r\n"
            "bad placement of Trap lamp_0 in room hall : collision error at (20,20)\r\n"
            "bad placement of Monster wolf in room hall : collision error at (20,20)\r\n");
  (void)node;
}

TEST_F(RoomPlacement, ATrapOfUnknownTypeMakesEverythingElseBadlyPlaced) {
  GenerationLog().clear();
  Trap(4, 100, 100);
  Trap(9, 10, 10);
  AddLampNode(40, 40);
  RoomMonster* wolf = NewRoomMonster(room->monsters);
  SetField(wolf->name, "wolf");
  wolf->cellX = 60;
  wolf->cellY = 60;
  room->CheckPlacements();
  EXPECT_EQ(GenerationLog(),
            "bad placement of generic Trap spikes in room hall : collision error at (100,100)\r\n"
            "bad placement of Trap lamp_0 in room hall : collision error at (40,40)\r\n"
            "bad placement of Monster wolf in room hall : collision error at (60,60)\r\n");
}

TEST_F(RoomPlacement, ExportGridStampsBlocksThenTraps) {
  room->Block(0, 0).fileName = kCorner;
  room->Block(0, 0).rotation = 2;  // the corner cell at the bottom right: (2, 2)
  room->Collision(7, 7) = 2;
  // A trap at (0, 0) whose footprint fills its 3 x 3 square with 0xFF.
  dir.Write("rozizuzi/generic/full.o3d",
            std::span<const std::uint8_t>(FootprintMesh({255, 255, 255, 255, 255, 255, 255, 255, 255})));
  Define("GENERIC { KEY { net } TYPE { 6 } MESH { rozizuzi\\generic\\full.o3d } }");
  Trap(6, 0, 0);
  Trap(4, 2, 3);
  const ExportGrid grid = BuildExportGrid(*room);
  auto at = [&](int c, int r) { return grid[std::size_t(r) * kRoomCells + std::size_t(c)]; };
  EXPECT_EQ(at(0, 0), 0xFFFF);  // -1 widened
  EXPECT_EQ(at(1, 1), 0xFFFF);
  EXPECT_EQ(at(2, 2), 1);       // the block's cell
  EXPECT_EQ(at(2, 0), 0);       // outside the trap's square
  EXPECT_EQ(at(2, 3), 1);       // the spikes' middle and right cells
  EXPECT_EQ(at(3, 3), 1);
  EXPECT_EQ(at(7, 7), 2);
  int set = 0;
  for (std::uint16_t v : grid) set += v != 0;
  EXPECT_EQ(set, 4 + 1 + 2 + 1);
}

TEST_F(RoomPlacement, LinksResolveToTheLinkedInstancesNode) {
  GraphNode* a = AddLampNode(1, 1);  // lamp_0
  GraphNode* b = AddLampNode(2, 2);  // lamp_1
  ElementInstance* first = FindMachineNamed(Quest().machines, "lamp")->FindInstance("lamp_0");
  SetField(first->links[0], "LAMP:lamp_1");
  SetField(first->links[1], "lamp:la:mp_0");  // further colons are dropped
  SetField(first->links[2], "gone:lamp_1");
  SetField(first->links[3], "lamp:nobody");
  EXPECT_EQ(room->ResolveLink(a, 0), b);
  EXPECT_EQ(room->ResolveLink(a, 1), a);
  EXPECT_EQ(room->ResolveLink(a, 2), nullptr);
  EXPECT_STREQ(first->links[2], "");  // no such machine: the link goes
  EXPECT_EQ(room->ResolveLink(a, 3), nullptr);
  EXPECT_STREQ(first->links[3], "lamp:nobody");
  EXPECT_EQ(room->ResolveLink(a, 4), nullptr);
  EXPECT_EQ(room->ResolveLink(b, 0), nullptr);
}

}  // namespace
