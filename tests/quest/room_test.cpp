#include <gtest/gtest.h>

#include <memory>

#include "quest/quest_list.h"
#include "quest/room.h"
#include "quest/room_map_box.h"

namespace {

std::unique_ptr<CRoom> MakeRoom() { return std::make_unique<CRoom>(); }

TEST(Room, NewRoomDefaults) {
  auto room = MakeRoom();
  EXPECT_EQ(room->collisionColumns, 192);
  EXPECT_EQ(room->collisionRows, 192);
  EXPECT_EQ(room->blockColumns, 64);
  EXPECT_EQ(room->blockRows, 64);
  const CVector3 centre = CellToWorld(97, 97);
  EXPECT_EQ(centre, CVector3(16384.0f, 0.0f, -16384.0f));
  EXPECT_EQ(room->targetX, centre.x);
  EXPECT_EQ(room->targetY, 0.0f);
  EXPECT_EQ(room->targetZ, centre.z);
  EXPECT_EQ(room->distance, 4000.0f);
  EXPECT_FLOAT_EQ(room->pitch, -0.3926991f);
  EXPECT_EQ(room->yaw, 0.0f);
  EXPECT_EQ(room->offsetX, 0.0f);
  EXPECT_EQ(room->selectedTrapType, -1);
  EXPECT_EQ(room->previewMonster.builtForClass, -1);
  EXPECT_EQ(room->camera.range, 2892.0f);  // the camera keeps its own start values
  EXPECT_EQ(room->camera.view.m[0], 1.0f);
  const RoomBlock& b = room->Block(10, 20);
  EXPECT_EQ(b.id, -1);
  EXPECT_EQ(b.id2, -1);
  EXPECT_EQ(b.extra, -1);
  EXPECT_FALSE(b.HasBlock());
  EXPECT_STREQ(b.GetName(), "");
  EXPECT_EQ(room->Collision(191, 191), 0);
  EXPECT_EQ(room->traps, nullptr);
  EXPECT_EQ(room->blockSet.GetCount(), 0);
}

TEST(Room, RoomBlockInitAndClear) {
  RoomBlock b;
  b.id = 4;
  b.rotation = 3;
  b.id2 = 5;
  b.work[0] = b.work[1] = b.work[2] = 9;
  b.fileName = "x.o3d";
  b.extra = 1;
  b.Init();
  EXPECT_EQ(b.id, -1);
  EXPECT_EQ(b.id2, -1);
  EXPECT_EQ(b.rotation, 0);
  EXPECT_EQ(b.work[0], 0);
  EXPECT_EQ(b.work[1], 9);
  EXPECT_EQ(b.work[2], 0);
  EXPECT_EQ(b.fileName, "x.o3d");
  EXPECT_EQ(b.extra, 1);
  b.Clear();
  EXPECT_FALSE(b.HasBlock());
  EXPECT_EQ(b.extra, 1);
}

TEST(RoomGeometry, EveryCellComesBackFromItsWorldPosition) {
  for (int c = 0; c < kRoomCells; ++c) {
    for (int r = 0; r < kRoomCells; ++r) {
      const CVector3 w = CellToWorld(c, r);
      int column = -1, row = -1;
      WorldToCell(w.x, w.z, column, row);
      ASSERT_EQ(column, c) << c << "," << r;
      ASSERT_EQ(row, r) << c << "," << r;
    }
  }
}

TEST(RoomGeometry, CellsBlocksAndWorldUnits) {
  EXPECT_EQ(BlockToCell(0), 1);
  EXPECT_EQ(BlockToCell(32), 97);
  EXPECT_EQ(BlockToCell(63), 190);
  EXPECT_EQ(CellToWorld(1, 1), CVector3(0, 0, 0));
  int c, r;
  WorldToCell(-256.0f, 256.0f, c, r);  // the grid's outer corner
  EXPECT_EQ(c, 0);
  EXPECT_EQ(r, 0);
  WorldToCell(512.0f * 64 - 256.0f - 0.5f, -(512.0f * 64 - 256.0f - 0.5f), c, r);
  EXPECT_EQ(c, 191);
  EXPECT_EQ(r, 191);
  WorldToCell(3.0e38f, -3.0e38f, c, r);  // far away stays a number
  EXPECT_GT(c, 191);
  EXPECT_GT(r, 191);
}

TEST(RoomGeometry, Labels) {
  auto room = MakeRoom();
  std::snprintf(room->name, sizeof room->name, "%s", "crypt");
  room->land = 2;
  room->level = 3;
  EXPECT_EQ(room->MapLabel(), std::string("crypt [") + LandName(2) + ",Level3]");
  EXPECT_EQ(std::string(LandName(0)).substr(0, 2), "1-");
  EXPECT_EQ(std::string(LandName(6)).substr(0, 2), "7-");
  EXPECT_STREQ(LandName(7), "");
  EXPECT_STREQ(LevelName(0), "Outside");
  EXPECT_STREQ(LevelName(4), "Level4");
}

TEST(RoomTraps, RemovingATrapClearsEveryPointerToIt) {
  auto room = MakeRoom();
  RoomTrap* a = NewRoomTrap(room->traps);
  RoomTrap* b = NewRoomTrap(room->traps);
  RoomTrap* c = NewRoomTrap(room->traps);
  EXPECT_EQ(a->type, -1);
  EXPECT_EQ(a->data[1], 1);
  EXPECT_EQ(a->data[2], 1);
  EXPECT_EQ(a->targetCellX, -1);
  b->target = a;
  c->target = a;
  room->pickedTrap = a;
  room->linkSourceTrap = a;
  room->RemoveTrap(a);
  EXPECT_EQ(b->target, nullptr);
  EXPECT_EQ(c->target, nullptr);
  EXPECT_EQ(room->pickedTrap, nullptr);
  EXPECT_EQ(room->linkSourceTrap, nullptr);
  EXPECT_EQ(ListLength(room->traps), 2u);
  RoomTrap stranger;
  room->RemoveTrap(&stranger);  // not in the list: ignored
  EXPECT_EQ(ListLength(room->traps), 2u);
  room->pickedTrap = b;
  room->FreeTraps();
  EXPECT_EQ(room->traps, nullptr);
  EXPECT_EQ(room->pickedTrap, nullptr);
}

TEST(RoomTraps, RemovingAMonsterClearsThePick) {
  auto room = MakeRoom();
  RoomMonster* m = NewRoomMonster(room->monsters);
  EXPECT_EQ(m->builtForClass, -1);  // a new monster is drawn
  EXPECT_EQ(m->classIndex, -1);
  room->pickedMonster = m;
  room->RemoveMonster(m);
  EXPECT_EQ(room->pickedMonster, nullptr);
  EXPECT_EQ(room->monsters, nullptr);
}

TEST(RoomTraps, TargetsFollowTargetCells) {
  auto room = MakeRoom();
  RoomTrap* a = NewRoomTrap(room->traps);
  RoomTrap* b = NewRoomTrap(room->traps);
  RoomTrap* c = NewRoomTrap(room->traps);
  a->cellX = 5, a->cellY = 6;
  b->cellX = 5, b->cellY = 6;
  c->cellX = 9, c->cellY = 9;
  c->targetCellX = 5, c->targetCellY = 6;  // b comes first in list order
  a->targetCellX = 5, a->targetCellY = 6;  // the other trap on that cell: b
  b->targetCellX = 1, b->targetCellY = -1;
  b->target = c;
  room->RelinkTrapTargets();
  EXPECT_EQ(c->target, b);
  EXPECT_EQ(a->target, b);
  EXPECT_EQ(b->target, nullptr);
  EXPECT_EQ(room->FindTrapAt(9, 9), c);
  EXPECT_EQ(room->FindTrapAt(0, 0), nullptr);
}

// Three rooms in list order: first (0,0)-(100,100), second (50,50)-(300,300), third (400,0)-(500,80).
class RoomMapBox : public ::testing::Test {
 protected:
  void SetUp() override {
    third = NewRoom(rooms);
    second = NewRoom(rooms);
    first = NewRoom(rooms);
    Box(first, 0, 0, 100, 100);
    Box(second, 50, 50, 300, 300);
    Box(third, 400, 0, 500, 80);
  }
  void TearDown() override { FreeList(rooms); }
  static void Box(CRoom* r, int l, int t, int rt, int b) {
    r->left = l, r->top = t, r->right = rt, r->bottom = b;
  }
  CRoom* rooms = nullptr;
  CRoom *first = nullptr, *second = nullptr, *third = nullptr;
};

TEST_F(RoomMapBox, HitTestTakesTheFirstBoxAndTheCorner) {
  bool corner = true;
  EXPECT_EQ(HitTestRoom(rooms, 60, 60, &corner), first);
  EXPECT_FALSE(corner);
  EXPECT_TRUE(first->IsSelected());
  EXPECT_EQ(HitTestRoom(rooms, 100, 100, &corner), first);  // edges count
  EXPECT_TRUE(corner);
  EXPECT_EQ(HitTestRoom(rooms, 84, 84, &corner), first);
  EXPECT_TRUE(corner);
  EXPECT_EQ(HitTestRoom(rooms, 83, 99, &corner), first);
  EXPECT_FALSE(corner);
  EXPECT_EQ(HitTestRoom(rooms, 200, 200, &corner), second);
  EXPECT_FALSE(first->IsSelected());
  third->SetSelected(true);
  EXPECT_EQ(HitTestRoom(rooms, 350, 350, &corner), nullptr);
  EXPECT_FALSE(corner);
  EXPECT_FALSE(second->IsSelected());
  EXPECT_FALSE(third->IsSelected());
}

TEST_F(RoomMapBox, RectangleSelection) {
  struct Case {
    int l, t, r, b;
    bool first, second, third;
  } cases[] = {
      {95, 40, 110, 60, true, true, false},      // across two boxes
      {120, 120, 140, 140, false, false, false},  // strictly inside the second only
      {100, 0, 120, 10, true, false, false},      // touching an edge
      {-10, -10, 600, 600, true, true, true},
      {600, 600, -10, -10, true, true, true},     // drawn the other way
      {50, 60, 70, 80, false, true, false},       // inside the first, on the second's edge
  };
  for (const Case& c : cases) {
    SelectRoomsInRect(rooms, c.l, c.t, c.r, c.b);
    EXPECT_EQ(first->IsSelected(), c.first) << c.l << "," << c.t;
    EXPECT_EQ(second->IsSelected(), c.second) << c.l << "," << c.t;
    EXPECT_EQ(third->IsSelected(), c.third) << c.l << "," << c.t;
  }
}

TEST_F(RoomMapBox, MoveOffsetAndResize) {
  second->SetSelected(true);
  MoveSelectedRooms(rooms, 10, -5);
  EXPECT_EQ(second->left, 60);
  EXPECT_EQ(second->bottom, 295);
  EXPECT_EQ(first->left, 0);
  OffsetRooms(rooms, 1, 2);
  EXPECT_EQ(first->left, 1);
  EXPECT_EQ(first->top, 2);
  EXPECT_EQ(third->right, 501);

  // Box (401,2)-(501,82): 100 wide, 80 high.
  third->SetSelected(true);
  second->SetSelected(false);
  struct Case {
    int dx, dy;
    bool applied;
  } cases[] = {
      {-36, 0, false},  // width 64: not wider than 64
      {-35, 0, true},   // width 65 and height 80
      {0, -16, false},  // height 64
      {0, -15, true},
      {50, -20, false},  // wider, but too low
  };
  for (const Case& c : cases) {
    Box(third, 401, 2, 501, 82);
    ResizeSelectedRooms(rooms, c.dx, c.dy);
    EXPECT_EQ(third->right, c.applied ? 501 + c.dx : 501) << c.dx << "," << c.dy;
    EXPECT_EQ(third->bottom, c.applied ? 82 + c.dy : 82) << c.dx << "," << c.dy;
  }
}

}  // namespace
