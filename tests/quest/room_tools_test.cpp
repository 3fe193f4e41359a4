#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "doc_fixture.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/quest_list.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/world_graph.h"

namespace {

using questtest::AddLampNode;
using questtest::AddRoom;

// A room seen as the room view of 736 x 480 pixels draws it.
class RoomTools : public questtest::DocTest {
 protected:
  RoomTools() {
    Define(questtest::kLampMachine);
    room = AddRoom("hall", 0, 1, 0, 0, 1000, 1000);
    room->SetProjection(575.0f, 575.0f, 368.0f, 240.0f);
    room->UpdateCamera();
  }
  // The view pixel over the middle of a cell.
  void PixelOf(int column, int row, int& x, int& y) const {
    CVector3 p = CellToWorld(column, row);
    p.y = -256.0f;
    float fx = 0, fy = 0;
    ASSERT_TRUE(room->WorldToScreen(p, fx, fy));
    x = static_cast<int>(std::lround(fx));
    y = static_cast<int>(std::lround(fy));
  }
  int X(int column, int row) const {
    int x = 0, y = 0;
    PixelOf(column, row, x, y);
    return x;
  }
  int Y(int column, int row) const {
    int x = 0, y = 0;
    PixelOf(column, row, x, y);
    return y;
  }
  // Applies a tool operation at the middle of a cell.
  template <typename Op>
  auto At(int column, int row, Op op) {
    return (room->*op)(X(column, row), Y(column, row));
  }
  // The middle of a block.
  int BX(int b) const { return X(BlockToCell(b), BlockToCell(b)); }
  void PutBlock(int column, int row, const char* name, int rotation = 0) {
    room->Block(column, row).fileName = name;
    room->Block(column, row).rotation = rotation;
  }
  template <typename Op>
  auto AtBlock(int column, int row, Op op) {
    return At(BlockToCell(column), BlockToCell(row), op);
  }
  CRoom* room = nullptr;
};

TEST_F(RoomTools, CameraSteps) {
  const float d0 = room->distance;
  for (int i = 0; i < 10; ++i) room->ZoomCamera(1.0f);
  EXPECT_FLOAT_EQ(room->distance, d0 + 40.0f);
  // Pitching up beyond the horizontal stops at 0, down beyond the vertical at -1.5706964.
  room->PitchCamera(-5000.0f);
  EXPECT_EQ(room->pitch, 0.0f);
  room->PitchCamera(5000.0f);
  EXPECT_EQ(room->pitch, -1.5706964f);
  room->pitch = 0.0f;
  room->PitchCamera(256.0f);
  EXPECT_FLOAT_EQ(room->pitch, -0.78539819f);  // 1024 steps make a half turn
  room->YawCamera(512.0f);
  EXPECT_FLOAT_EQ(room->yaw, 1.5707963f);
  // Translation is turned by the yaw: a quarter turn makes x the old -z.
  const float x0 = room->targetX, z0 = room->targetZ;
  room->TranslateCamera(10.0f, 0.0f);
  EXPECT_NEAR(room->targetX, x0, 0.01f);
  EXPECT_NEAR(std::fabs(room->targetZ - z0), 40.0f, 0.01f);
  room->yaw = 0.0f;
  const float x1 = room->targetX, z1 = room->targetZ;
  room->TranslateCamera(0.0f, 10.0f);
  EXPECT_FLOAT_EQ(room->targetX, x1);
  EXPECT_FLOAT_EQ(room->targetZ, z1 - 40.0f);
  room->ElevateCamera(5.0f);
  EXPECT_FLOAT_EQ(room->targetY, -20.0f);
}

TEST_F(RoomTools, CameraStandsAboveAndLooksAtTheTarget) {
  const CVector3 target(room->targetX, room->targetY, room->targetZ);
  EXPECT_GT(room->camera.position.y, 1000.0f);
  EXPECT_NEAR((room->camera.position - target).Length(), 4000.0f, 0.5f);
  const CVector3 seen = room->WorldToCamera(target);
  EXPECT_NEAR(seen.x, 0.0f, 0.01f);
  EXPECT_NEAR(seen.y, 0.0f, 0.01f);
  EXPECT_NEAR(seen.z, 4000.0f, 0.5f);
  const CVector3 back = room->CameraToWorld(seen);
  EXPECT_NEAR(back.x, target.x, 0.05f);
  EXPECT_NEAR(back.z, target.z, 0.05f);
}

TEST_F(RoomTools, ScreenToGroundInvertsTheProjectionOverTheWholeView) {
  struct View {
    float pitch, yaw, distance;
  };
  const View views[] = {{-0.3926991f, 0.0f, 4000.0f}, {-1.2f, 0.7f, 2500.0f}, {-0.05f, -2.0f, 6000.0f}};
  for (const View& v : views) {
    room->pitch = v.pitch;
    room->yaw = v.yaw;
    room->distance = v.distance;
    room->UpdateCamera();
    int hits = 0, misses = 0;
    for (int y = 0; y < 480; y += 3) {
      for (int x = 0; x < 736; x += 3) {
        CVector3 p;
        if (!room->ScreenToGround(x, y, p)) {
          ++misses;
          continue;
        }
        ++hits;
        EXPECT_NEAR(p.y, -256.0f, 0.01f);
        float sx = 0, sy = 0;
        ASSERT_TRUE(room->WorldToScreen(p, sx, sy));
        // Back on the same pixel (grazing rays meet the ground far away,
        // where floats hold less).
        ASSERT_NEAR(sx, static_cast<float>(x), 0.5f) << x << "," << y;
        ASSERT_NEAR(sy, static_cast<float>(y), 0.5f) << x << "," << y;
      }
    }
    EXPECT_GT(hits, 1000);
    // A camera looking almost level sees sky at the top of the view.
    if (v.pitch > -0.1f) {
      EXPECT_GT(misses, 0);
    }
  }
}

TEST_F(RoomTools, PickingKeepsTheCellWhenThePointerIsOffTheGround) {
  room->pitch = 0.0f;
  room->UpdateCamera();
  room->cellX = 33;
  room->cellY = 44;
  room->blockX = 11;
  room->blockY = 14;
  EXPECT_FALSE(room->PickCell(368, 0));  // above the horizon
  EXPECT_EQ(room->cellX, 33);
  EXPECT_EQ(room->cellY, 44);
  EXPECT_EQ(room->blockX, 11);
  // A camera under the ground looking level sees it only behind itself.
  room->targetY = -5000.0f;
  room->UpdateCamera();
  EXPECT_FALSE(room->PickCell(368, 479));
  EXPECT_EQ(room->cellX, 33);
}

TEST_F(RoomTools, PickingFindsTheCellUnderThePointer) {
  for (int c = 90; c <= 104; c += 7) {
    for (int r = 92; r <= 102; r += 5) {
      room->PickCell(X(c, r), Y(c, r));
      EXPECT_EQ(room->cellX, c);
      EXPECT_EQ(room->cellY, r);
      EXPECT_EQ(room->blockX, c / 3);
      EXPECT_EQ(room->blockY, r / 3);
    }
  }
}

TEST_F(RoomTools, CellToolsReportCellChangesBlockToolsBlockChanges) {
  room->tool = CRoom::kToolSetCollision;
  EXPECT_TRUE(room->IsCellTool());
  room->PickCell(X(96, 96), Y(96, 96));
  EXPECT_TRUE(room->PickCell(X(97, 96), Y(97, 96)));  // the same block, another cell
  EXPECT_FALSE(room->PickCell(X(97, 96), Y(97, 96)));
  room->tool = CRoom::kToolDeleteBlock;
  EXPECT_FALSE(room->IsCellTool());
  EXPECT_FALSE(room->PickCell(X(98, 96), Y(98, 96)));
  EXPECT_TRUE(room->PickCell(X(99, 96), Y(99, 96)));
  const int cellTools[] = {11, 12, 13, 14, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
  for (int t = 1; t <= 30; ++t) {
    room->tool = t;
    EXPECT_EQ(room->IsCellTool(), std::find(std::begin(cellTools), std::end(cellTools), t) != std::end(cellTools))
        << t;
  }
}

TEST_F(RoomTools, MovingAndCopyingBlocks) {
  PutBlock(32, 32, "b\\pillar.o3d", 2);
  room->Block(32, 32).id = 7;
  room->Block(32, 32).extra = 3;
  PutBlock(33, 32, "b\\wall.o3d");
  // Onto a taken block: nothing.
  AtBlock(32, 32, &CRoom::PickDragStart);
  AtBlock(33, 32, &CRoom::PickDragEnd);
  std::uint32_t edits = room->editCount;
  room->MoveBlock();
  EXPECT_EQ(room->Block(32, 32).fileName, "b\\pillar.o3d");
  EXPECT_EQ(room->Block(33, 32).fileName, "b\\wall.o3d");
  EXPECT_EQ(room->editCount, edits);
  // Copying keeps the source.
  AtBlock(31, 33, &CRoom::PickDragEnd);
  room->CopyBlock();
  EXPECT_EQ(room->Block(31, 33).fileName, "b\\pillar.o3d");
  EXPECT_EQ(room->Block(31, 33).rotation, 2);
  EXPECT_EQ(room->Block(31, 33).id, 7);
  EXPECT_EQ(room->Block(31, 33).extra, 3);
  EXPECT_EQ(room->Block(32, 32).fileName, "b\\pillar.o3d");
  EXPECT_GT(room->editCount, edits);
  // Moving clears the source.
  AtBlock(32, 31, &CRoom::PickDragEnd);
  room->MoveBlock();
  EXPECT_EQ(room->Block(32, 31).fileName, "b\\pillar.o3d");
  EXPECT_FALSE(room->Block(32, 32).HasBlock());
  EXPECT_EQ(room->Block(32, 32).id, -1);
  // From an empty start, or onto itself: nothing.
  edits = room->editCount;
  room->MoveBlock();
  AtBlock(32, 31, &CRoom::PickDragStart);
  room->MoveBlock();
  EXPECT_EQ(room->editCount, edits);
  EXPECT_EQ(room->Block(32, 31).fileName, "b\\pillar.o3d");
}

TEST_F(RoomTools, RotatingPickingPastingAndClearingBlocks) {
  PutBlock(32, 32, "b\\pillar.o3d", 0);
  for (int i = 0; i < 4; ++i) AtBlock(32, 32, &CRoom::RotateBlock);
  EXPECT_EQ(room->Block(32, 32).rotation, 0);
  AtBlock(32, 32, &CRoom::RotateBlock);
  EXPECT_EQ(room->Block(32, 32).rotation, 1);
  // An empty cell does not turn.
  const std::uint32_t edits = room->editCount;
  AtBlock(31, 31, &CRoom::RotateBlock);
  EXPECT_EQ(room->editCount, edits);

  AtBlock(32, 32, &CRoom::PickBlock);
  EXPECT_EQ(room->copyBlock.fileName, "b\\pillar.o3d");
  EXPECT_EQ(room->copyBlock.rotation, 1);
  AtBlock(30, 30, &CRoom::PasteBlock);
  EXPECT_EQ(room->Block(30, 30).fileName, "b\\pillar.o3d");
  EXPECT_EQ(room->Block(30, 30).rotation, 1);
  const std::uint32_t pasted = room->editCount;
  AtBlock(30, 30, &CRoom::PasteBlock);  // the same again changes nothing
  EXPECT_EQ(room->editCount, pasted);
  room->SetChosenBlock("b\\arch.o3d");
  EXPECT_EQ(room->copyBlock.rotation, 0);
  EXPECT_EQ(room->copyBlock.extra, 1);
  AtBlock(30, 30, &CRoom::ClearBlock);
  EXPECT_FALSE(room->Block(30, 30).HasBlock());
  const std::uint32_t cleared = room->editCount;
  AtBlock(30, 30, &CRoom::ClearBlock);
  EXPECT_EQ(room->editCount, cleared);
}

TEST_F(RoomTools, CollisionToolsAndTheirChangeCount) {
  At(95, 98, &CRoom::SetCollision);
  At(96, 98, &CRoom::SetLowCollision);
  EXPECT_EQ(room->Collision(95, 98), kCollisionBlocked);
  EXPECT_EQ(room->Collision(96, 98), kCollisionLow);
  const std::uint32_t edits = room->editCount;
  At(95, 98, &CRoom::SetCollision);
  EXPECT_EQ(room->editCount, edits);
  At(95, 98, &CRoom::ClearCollision);
  EXPECT_EQ(room->Collision(95, 98), kCollisionFree);
  EXPECT_EQ(room->editCount, edits + 1);
}

TEST_F(RoomTools, MonstersAddedOnFreeCellsOnly) {
  questtest::SetMonsterClasses({"orc", "troll"});
  At(97, 97, &CRoom::AddMonster);  // no monster chosen yet
  EXPECT_EQ(room->monsters, nullptr);
  room->SetMonsterToAdd("TROLL");
  At(97, 97, &CRoom::AddMonster);
  ASSERT_NE(room->monsters, nullptr);
  EXPECT_STREQ(room->monsters->name, "TROLL");
  EXPECT_EQ(room->monsters->classIndex, 1);
  At(97, 97, &CRoom::AddMonster);  // taken
  EXPECT_EQ(room->monsters->next, nullptr);
  room->Collision(98, 97) = kCollisionBlocked;
  At(98, 97, &CRoom::AddMonster);
  EXPECT_EQ(room->monsters->next, nullptr);

  EXPECT_TRUE(At(97, 97, &CRoom::RotateMonster));
  EXPECT_EQ(room->monsters->rotation, 1);
  EXPECT_FALSE(At(96, 96, &CRoom::RotateMonster));
  At(97, 97, &CRoom::PickMonster);
  EXPECT_TRUE(At(99, 99, &CRoom::MovePickedMonster));
  EXPECT_EQ(room->monsters->cellX, 99);
  EXPECT_EQ(room->monsters->cellY, 99);
  room->ClearMonsterPick();
  EXPECT_FALSE(At(97, 97, &CRoom::MovePickedMonster));
  EXPECT_TRUE(At(99, 99, &CRoom::DeleteMonster));
  EXPECT_EQ(room->monsters, nullptr);
  EXPECT_FALSE(At(99, 99, &CRoom::DeleteMonster));
}

TEST_F(RoomTools, TrapsAddMoveRotateDelete) {
  At(97, 97, &CRoom::AddTrap);  // no trap type chosen
  EXPECT_EQ(room->traps, nullptr);
  Define("GENERIC { KEY { plate } TYPE { 5 } }");
  room->selectedTrapType = 5;
  At(97, 97, &CRoom::AddTrap);
  ASSERT_NE(room->traps, nullptr);
  RoomTrap* trap = room->traps;
  EXPECT_EQ(trap->type, 5);
  EXPECT_EQ(trap->cellX, 97);
  At(97, 97, &CRoom::AddTrap);  // taken
  EXPECT_EQ(trap->next, nullptr);
  At(97, 97, &CRoom::PickNodeOrTrap);
  EXPECT_EQ(room->pickedTrap, trap);
  At(100, 98, &CRoom::MovePickedNodeOrTrap);
  EXPECT_EQ(trap->cellX, 100);
  EXPECT_EQ(trap->cellY, 98);
  room->ClearNodeOrTrapPick();
  At(100, 98, &CRoom::RotatePicked);
  EXPECT_EQ(trap->rotation, 1);
  EXPECT_EQ(room->pickedTrap, nullptr);
  At(100, 98, &CRoom::DeleteTrap);
  EXPECT_EQ(room->traps, nullptr);
}

TEST_F(RoomTools, NodesMoveAndTurnLikeTraps) {
  GraphNode* node = AddLampNode(97, 97);
  node->x = 10;
  node->y = 10;
  At(97, 97, &CRoom::PickForMove);
  EXPECT_EQ(room->pickedNode, node);
  At(98, 99, &CRoom::MovePickedNodeOrTrap);
  EXPECT_EQ(node->cellX, 98);
  EXPECT_EQ(node->cellY, 99);
  room->ClearPicks();
  At(98, 99, &CRoom::RotatePicked);
  EXPECT_EQ(node->rotation, 1);
}

TEST_F(RoomTools, LinksBetweenInstancesAndTraps) {
  GraphNode* source = AddLampNode(97, 97, "lampA");
  source->x = source->y = 10;
  ElementInstance* instance = source->keys->instance;
  ASSERT_NE(instance, nullptr);
  std::vector<GraphNode*> targets;
  for (int i = 0; i < 9; ++i) {
    GraphNode* t = AddLampNode(100 + i, 100, "lamp" + std::to_string(i));
    t->x = t->y = 20;
    targets.push_back(t);
  }
  for (int i = 0; i < 9; ++i) {
    At(97, 97, &CRoom::AddLink);
    EXPECT_EQ(room->linkSourceNode, source);
    At(100 + i, 100, &CRoom::AddLink);
    EXPECT_EQ(room->linkSourceNode, nullptr);
  }
  for (int i = 0; i < 8; ++i) {
    const std::string expected = "lamp" + std::to_string(i) + ":" + std::string(FieldText(targets[i]->keys->name));
    EXPECT_EQ(FieldText(instance->links[i]), expected) << i;
  }
  // The ninth is ignored and the link to itself is never made.
  EXPECT_EQ(room->FindLinkTarget(source, 7), targets[7]);
  At(97, 97, &CRoom::DeleteLinks);
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(FieldText(instance->links[i]).empty());
  At(97, 97, &CRoom::AddLink);
  const std::uint32_t edits = room->editCount;
  At(97, 97, &CRoom::AddLink);
  EXPECT_TRUE(FieldText(instance->links[0]).empty());
  EXPECT_EQ(room->editCount, edits);

  // Trap to trap.
  RoomTrap* a = NewRoomTrap(room->traps);
  a->cellX = 90, a->cellY = 90;
  RoomTrap* b = NewRoomTrap(room->traps);
  b->cellX = 92, b->cellY = 90;
  At(90, 90, &CRoom::AddLink);
  EXPECT_EQ(room->linkSourceTrap, a);
  At(92, 90, &CRoom::AddLink);
  EXPECT_EQ(a->target, b);
  At(90, 90, &CRoom::AddLink);
  At(90, 90, &CRoom::AddLink);  // onto itself: nothing
  EXPECT_EQ(a->target, b);
  At(90, 90, &CRoom::DeleteLinks);
  EXPECT_EQ(a->target, nullptr);
}

TEST_F(RoomTools, FindingALinkTargetNeverChangesTheLink) {
  GraphNode* source = AddLampNode(97, 97, "lampA");
  source->x = source->y = 10;
  ElementInstance* instance = source->keys->instance;
  SetField(instance->links[0], "gone:gone_1");
  bool machineGone = false;
  EXPECT_EQ(room->FindLinkTarget(source, 0, &machineGone), nullptr);
  EXPECT_TRUE(machineGone);
  EXPECT_EQ(FieldText(instance->links[0]), "gone:gone_1");
}

}  // namespace

namespace {

TEST_F(RoomTools, DeletingAMachineDropsTheLinksNamingIt) {
  GraphNode* source = AddLampNode(97, 97, "lampA");
  ElementInstance* instance = source->keys->instance;
  SetField(instance->links[0], "Lamp0:lamp0_1");
  SetField(instance->links[1], "lamp1:lamp1_1");
  SetField(instance->links[2], "lamp0");
  DropLinksToMachine("lamp0");
  EXPECT_TRUE(FieldText(instance->links[0]).empty());
  EXPECT_EQ(FieldText(instance->links[1]), "lamp1:lamp1_1");
  EXPECT_TRUE(FieldText(instance->links[2]).empty());
}

}  // namespace

namespace {

// A link's first click, or a pick for moving, on a node that is freed before
// the next click: the room lets go of it, so the next click reads nothing
// freed, makes no link and moves nothing.
TEST_F(RoomTools, FreeingANodeMakesTheRoomLetGoOfIt) {
  struct Case {
    const char* name;
    void (*free)(CMachine& machine, ElementInstance& instance);
  };
  const Case cases[] = {
      {"instance deleted",
       [](CMachine& m, ElementInstance& i) {
         m.DeleteInstance(std::string(FieldText(i.name)));
         SyncMachineGraph(&m);
       }},
      {"value shown on the map deleted", [](CMachine& m, ElementInstance&) { m.DeleteParam(m.FindParam(1)); }},
      {"machine deleted",
       [](CMachine& m, ElementInstance&) {
         UnlinkRecord(Quest().machines, &m);
         delete &m;
       }},
      {"graph made again", [](CMachine&, ElementInstance&) { RebuildQuestGraph(); }},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "src" + std::to_string(n++);
    GraphNode* source = AddLampNode(97, 97, name);
    source->x = source->y = 10;
    CMachine* machine = static_cast<CMachine*>(source->owner);
    ElementInstance* instance = source->keys->instance;
    GraphNode* target = AddLampNode(100, 100, "dst" + name);
    target->x = target->y = 20;
    At(97, 97, &CRoom::PickForMove);
    ASSERT_EQ(room->pickedNode, source) << c.name;
    At(97, 97, &CRoom::AddLink);
    ASSERT_EQ(room->linkSourceNode, source) << c.name;

    c.free(*machine, *instance);
    EXPECT_EQ(room->linkSourceNode, nullptr) << c.name;
    EXPECT_EQ(room->pickedNode, nullptr) << c.name;
    const std::uint32_t edits = room->editCount;
    At(98, 99, &CRoom::MovePickedNodeOrTrap);
    At(100, 100, &CRoom::AddLink);  // now a first click
    EXPECT_EQ(room->editCount, edits) << c.name;
    room->ClearLinkSource();
    room->ClearPicks();
    // The room's things go for the next case.
    FreeGraph();
    FreeList(Quest().machines);
  }
}

}  // namespace
