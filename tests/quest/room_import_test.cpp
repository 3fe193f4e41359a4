#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/services.h"
#include "quest/quest_list.h"
#include "quest/room.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using testsupport::Bytes;

struct TrapSpec {
  int cellX, cellY;
  int type, rotation;
  int targetX = -1, targetY = -1, exportIndex = 0;
  std::string label;
};

struct MonsterSpec {
  int cellX, cellY;
  std::string name;  // written into 32 bytes, no terminator when 32 long
  int rotation;
};

// The collision value written for a cell of the rectangle.
std::uint16_t CellValue(int column, int row) { return static_cast<std::uint16_t>((column * 7 + row) % 3); }

Bytes BlockSet(const std::vector<std::string>& names, std::uint32_t version = 1) {
  Bytes b;
  b.str("CBS").u8(0).u32(version).u32(static_cast<std::uint32_t>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) b.u32(static_cast<std::uint32_t>(i)).fixed(names[i], 512);
  return b;
}

// A room file: blocks at (col, row) with names, the rectangle's cells from
// CellValue, traps and monsters (from version 2), then a block set.
struct CdfFile {
  std::uint32_t version = 5;
  int fc = 9999, fr = 9999, lc = -1, lr = -1;
  struct BlockSpec {
    int col, row;
    std::string name;
    int rotation = 1;
  };
  std::vector<BlockSpec> blocks;
  std::vector<TrapSpec> traps;
  std::vector<MonsterSpec> monsters;
  std::vector<std::string> names;

  Bytes RoomPart() const {
    Bytes b;
    b.str("CDF").u8(0).u32(version);
    b.i32(fc).i32(fr).i32(lc).i32(lr);
    b.u32(static_cast<std::uint32_t>(blocks.size()));
    for (const BlockSpec& s : blocks) {
      b.i32(s.col).i32(s.row);
      b.i32(100 + s.col).i32(s.rotation).i32(200 + s.row).i32(0).i32(0).i32(0).fixed(s.name, 512).i32(1);
    }
    for (int bc = fc; bc <= lc; ++bc)
      for (int br = fr; br <= lr; ++br)
        for (int cx = 0; cx < 3; ++cx)
          for (int cy = 0; cy < 3; ++cy) b.u16(CellValue(bc * 3 + cx, br * 3 + cy));
    if (version >= 2) {
      b.u32(static_cast<std::uint32_t>(traps.size()));
      for (const TrapSpec& t : traps) {
        b.i32(t.cellX).i32(t.cellY);
        b.i32(t.type).i32(t.rotation).i32(-77).i32(-77);  // the image's own cell is not used
        for (int i = 0; i < 8; ++i) b.i32(10 + i);
        for (int i = 0; i < 8; ++i) b.i32(20 + i);
        if (version >= 3) b.i32(t.targetX).i32(t.targetY).i32(t.exportIndex);
        if (version >= 4) b.fixed(t.label, 32);
      }
      b.u32(static_cast<std::uint32_t>(monsters.size()));
      for (const MonsterSpec& m : monsters) b.i32(m.cellX).i32(m.cellY).fixed(m.name, 32).i32(m.rotation);
    }
    return b;
  }
  Bytes All() const { return Bytes().raw(RoomPart().data()).raw(BlockSet(names).data()); }
};

class RoomImportTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    room = std::make_unique<CRoom>();
    // Something to replace: an old block, collision, a trap and a monster.
    room->Block(1, 1).fileName = "old.o3d";
    room->Collision(150, 150) = 1;
    old = NewRoomTrap(room->traps);
    old->cellX = -5;
    std::snprintf(old->label, sizeof old->label, "old");
    oldMonster = NewRoomMonster(room->monsters);
    std::snprintf(oldMonster->name, sizeof oldMonster->name, "old");
    room->pickedTrap = old;
    room->linkSourceTrap = old;
    room->pickedMonster = oldMonster;
    room->blockSet.FindOrAdd("keep\\me.o3d");
  }
  int Import(const Bytes& bytes) {
    dir.Write("room.cdf", bytes.data());
    return room->ImportCdf("room.cdf");
  }

  platform::ScriptedServices ui;
  std::unique_ptr<CRoom> room;
  RoomTrap* old = nullptr;
  RoomMonster* oldMonster = nullptr;
};

TEST_F(RoomImportTest, VersionOneReplacesBlocksAndCollisionAndKeepsTrapsAndMonsters) {
  CdfFile f;
  f.version = 1;
  f.fc = 10, f.fr = 20, f.lc = 12, f.lr = 21;
  f.blocks = {{10, 20, "rozizuzi\\o4d\\floor.o3d", 2}, {12, 21, "", 3}};
  f.names = {"rozizuzi\\o4d\\floor.o3d"};
  EXPECT_EQ(Import(f.All()), 1);
  EXPECT_FALSE(room->Block(1, 1).HasBlock());
  EXPECT_EQ(room->Collision(150, 150), 0);
  const RoomBlock& b = room->Block(10, 20);
  EXPECT_EQ(b.fileName, "rozizuzi\\o4d\\floor.o3d");
  EXPECT_EQ(b.id, 110);
  EXPECT_EQ(b.rotation, 2);
  EXPECT_EQ(b.id2, 220);
  EXPECT_EQ(b.extra, 1);
  const RoomBlock& unnamed = room->Block(12, 21);  // its fields, but no name
  EXPECT_FALSE(unnamed.HasBlock());
  EXPECT_EQ(unnamed.rotation, 3);
  for (int c = 30; c < 39; ++c)
    for (int r = 60; r < 66; ++r) ASSERT_EQ(room->Collision(c, r), CellValue(c, r)) << c << "," << r;
  EXPECT_EQ(room->Collision(29, 60), 0);
  EXPECT_EQ(room->traps, old);
  EXPECT_EQ(room->monsters, oldMonster);
  EXPECT_EQ(room->pickedTrap, old);
  // The camera looks at the centre of block (11, 20).
  const CVector3 target = CellToWorld(BlockToCell(11), BlockToCell(20));
  EXPECT_EQ(room->targetX, target.x);
  EXPECT_EQ(room->targetZ, target.z);
  ASSERT_EQ(room->blockSet.GetCount(), 1);
  EXPECT_EQ(room->blockSet.FindPath("rozizuzi\\o4d\\floor.o3d"), 0);
}

TEST_F(RoomImportTest, TrapImagesOfEachVersion) {
  for (std::uint32_t version : {2u, 3u, 4u, 5u}) {
    CdfFile f;
    f.version = version;
    f.traps = {{40, 41, 3, 1, 50, 51, 7, "first"}, {50, 51, 4, 2, -1, -1, 8, "second"}};
    ASSERT_EQ(Import(f.All()), 1) << version;
    EXPECT_EQ(room->pickedTrap, nullptr) << version;
    EXPECT_EQ(room->linkSourceTrap, nullptr) << version;
    ASSERT_EQ(ListLength(room->traps), 2u);
    RoomTrap* second = room->traps;  // pushed at the head: reverse file order
    RoomTrap* first = second->next;
    EXPECT_EQ(first->cellX, 40) << version;
    EXPECT_EQ(first->cellY, 41) << version;
    EXPECT_EQ(first->type, 3);
    EXPECT_EQ(first->rotation, 1);
    EXPECT_EQ(first->data[0], 10);
    EXPECT_EQ(first->links[7], 27);
    if (version >= 3) {
      EXPECT_EQ(first->targetCellX, 50);
      EXPECT_EQ(first->exportIndex, 7);
      EXPECT_EQ(first->target, second);
    } else {
      EXPECT_EQ(first->targetCellX, -1);
      EXPECT_EQ(first->exportIndex, 0);
      EXPECT_EQ(first->target, nullptr);
    }
    EXPECT_STREQ(first->label, version >= 4 ? "first" : "");
    EXPECT_EQ(second->target, nullptr);
  }
}

TEST_F(RoomImportTest, PlacedMonstersAreReplacedAndTheirNamesCut) {
  CdfFile f;
  f.monsters = {{5, 6, "goblin", 1}, {7, 8, std::string(32, 'm'), 3}};
  EXPECT_EQ(Import(f.All()), 1);
  EXPECT_EQ(room->pickedMonster, nullptr);
  ASSERT_EQ(ListLength(room->monsters), 2u);
  RoomMonster* last = room->monsters;
  EXPECT_EQ(std::string(last->name), std::string(31, 'm'));
  EXPECT_EQ(last->rotation, 3);
  EXPECT_EQ(last->cellX, 7);
  RoomMonster* goblin = last->next;
  EXPECT_STREQ(goblin->name, "goblin");
  EXPECT_EQ(goblin->classIndex, -1);  // no such class in the table
  EXPECT_EQ(goblin->builtForClass, -1);
}

TEST_F(RoomImportTest, AnEmptyRoomLooksFarOutside) {
  CdfFile f;  // rectangle 9999, 9999, -1, -1
  EXPECT_EQ(Import(f.All()), 1);
  const CVector3 target = CellToWorld(14998, 14998);
  EXPECT_EQ(room->targetX, target.x);
  EXPECT_EQ(room->targetZ, target.z);
  EXPECT_EQ(room->traps, nullptr);
  EXPECT_EQ(room->monsters, nullptr);
  EXPECT_EQ(room->blockSet.GetCount(), 0);
}

TEST_F(RoomImportTest, PositionsOutsideTheGridAreSkipped) {
  CdfFile f;
  f.fc = 62, f.fr = -1, f.lc = 64, f.lr = 0;  // reaches past both edges
  f.blocks = {{64, 0, "far.o3d"}, {-1, 5, "neg.o3d"}, {63, 63, "corner.o3d"}};
  EXPECT_EQ(Import(f.All()), 1);
  EXPECT_EQ(room->Block(63, 63).fileName, "corner.o3d");
  int named = 0;
  for (const RoomBlock& b : room->blocks) named += b.HasBlock() ? 1 : 0;
  EXPECT_EQ(named, 1);
  for (int c = 186; c < 192; ++c)
    for (int r = 0; r < 3; ++r) EXPECT_EQ(room->Collision(c, r), CellValue(c, r)) << c << "," << r;
}

TEST_F(RoomImportTest, ARectangleWithoutRowsWalksNothing) {
  // Every column an int can name and no row: no cell is stored, and none is
  // looked for, so the import ends at once.
  Bytes b;
  b.str("CDF").u8(0).u32(5).i32(-0x7FFFFFFF - 1).i32(9999).i32(0x7FFFFFFF).i32(-1).u32(0).u32(0).u32(0);
  b.raw(BlockSet({}).data());
  EXPECT_EQ(Import(b), 1);
  EXPECT_EQ(room->Collision(150, 150), 0);
  EXPECT_FALSE(room->Block(1, 1).HasBlock());
}

TEST_F(RoomImportTest, TrapsAndMonstersTooFarOffTheGridAreSkipped) {
  CdfFile f;
  f.traps = {{383, -192, 1, 0}, {384, 0, 2, 0}, {0, -0x7FFFFFFF - 1, 3, 0}};
  f.monsters = {{-192, 383, "near", 0}, {0x7FFFFFFF, 5, "far", 0}};
  EXPECT_EQ(Import(f.All()), 1);
  ASSERT_EQ(ListLength(room->traps), 1u);
  EXPECT_EQ(room->traps->type, 1);
  EXPECT_EQ(room->traps->cellX, 383);
  EXPECT_EQ(room->traps->cellY, -192);
  ASSERT_EQ(ListLength(room->monsters), 1u);
  EXPECT_STREQ(room->monsters->name, "near");
}

TEST_F(RoomImportTest, NotARoomFile) {
  // A block-set file chosen as a room file: its version word is taken as the
  // block-set magic, so nothing changes and the import fails.
  EXPECT_EQ(Import(BlockSet({"a\\b.o3d"})), 0);
  EXPECT_TRUE(room->Block(1, 1).HasBlock());
  EXPECT_EQ(room->blockSet.GetCount(), 1);
  // Four odd bytes, then a block set: the room stays, the block set is read.
  EXPECT_EQ(Import(Bytes().str("XYZ!").raw(BlockSet({"a\\b.o3d", "c\\d.o3d"}).data())), 1);
  EXPECT_TRUE(room->Block(1, 1).HasBlock());
  EXPECT_EQ(room->blockSet.GetCount(), 2);
  // A newer version: the block set is looked for after the version word.
  EXPECT_EQ(Import(Bytes().str("CDF").u8(0).u32(6).raw(BlockSet({"x\\y.o3d"}).data())), 1);
  EXPECT_TRUE(room->Block(1, 1).HasBlock());
  EXPECT_EQ(room->blockSet.GetCount(), 1);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(room->ImportCdf("missing.cdf"), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(RoomImportTest, ACutFileLeavesTheRoomAsItWas) {
  CdfFile f;
  f.fc = 3, f.fr = 3, f.lc = 4, f.lr = 3;
  f.blocks = {{3, 3, "floor.o3d"}};
  f.traps = {{10, 10, 1, 0, -1, -1, 0, "t"}};
  f.monsters = {{11, 11, "orc", 0}};
  f.names = {"floor.o3d", "wall.o3d"};
  const std::vector<std::uint8_t> whole = f.All().data();
  const std::size_t roomEnd = f.RoomPart().size();
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SetUp();
    ui.boxes.clear();
    const int result = Import(Bytes().raw(std::vector<std::uint8_t>(whole.begin(), whole.begin() + n)));
    EXPECT_EQ(result, 0) << n;
    // Up to three bytes after the room part are no block set at all: the room part stands.
    const bool roomRead = n >= roomEnd && n < roomEnd + 4;
    EXPECT_EQ(room->Block(1, 1).HasBlock(), !roomRead) << n;
    EXPECT_EQ(room->Block(3, 3).HasBlock(), roomRead) << n;
    // Judged by content: a replaced trap is freed, and a new one may take its address.
    ASSERT_EQ(ListLength(room->traps), 1u) << n;
    EXPECT_STREQ(room->traps->label, roomRead ? "t" : "old") << n;
    EXPECT_EQ(room->traps->cellX, roomRead ? 10 : -5) << n;
    ASSERT_EQ(ListLength(room->monsters), 1u) << n;
    EXPECT_STREQ(room->monsters->name, roomRead ? "orc" : "old") << n;
    EXPECT_EQ(room->blockSet.GetCount(), 1) << n;
    const bool cut = n >= 4 && !roomRead;
    ASSERT_EQ(ui.boxes.size(), cut ? 1u : 0u) << n;
    if (cut) {
      EXPECT_EQ(ui.boxes[0].text, "Error while reading room.cdf, error = 14\n");
    }
  }
}

TEST_F(RoomImportTest, HugeCountsAreRefusedWithoutReadingOn) {
  Bytes b;
  b.str("CDF").u8(0).u32(5).i32(0).i32(0).i32(2000000000).i32(2000000000).u32(0);
  EXPECT_EQ(Import(b), 0);
  Bytes c;
  c.str("CDF").u8(0).u32(5).i32(9999).i32(9999).i32(-1).i32(-1).u32(0xFFFFFFFF);
  EXPECT_EQ(Import(c), 0);
  Bytes d;
  d.str("CDF").u8(0).u32(5).i32(9999).i32(9999).i32(-1).i32(-1).u32(0).u32(0x10000000);
  EXPECT_EQ(Import(d), 0);
  EXPECT_TRUE(room->Block(1, 1).HasBlock());
  EXPECT_EQ(ui.boxes.size(), 3u);
}

class BlockSetImportTest : public RoomImportTest {};

TEST_F(BlockSetImportTest, NamesAreStrippedAndKeptOncePerBaseName) {
  dir.Write("set.cbs", BlockSet({"c:\\vrel\\kzt\\data\\blocks\\floor.o3d", "\\vrel\\kzt\\data\\blocks\\wall.o3d",
                                 "other\\FLOOR.o3d", "blocks\\pillar.o3d"})
                           .data());
  EXPECT_EQ(room->ImportCbs("set.cbs"), 1);
  ASSERT_EQ(room->blockSet.GetCount(), 3);
  EXPECT_STREQ(room->blockSet.GetPath(0), "data\\blocks\\floor.o3d");
  EXPECT_STREQ(room->blockSet.GetPath(1), "data\\blocks\\wall.o3d");
  EXPECT_STREQ(room->blockSet.GetPath(2), "blocks\\pillar.o3d");
  EXPECT_EQ(room->blockSet.FindName("me"), -1);  // the old set is gone
}

TEST_F(BlockSetImportTest, RefusedFilesLeaveTheBlockSet) {
  dir.Write("v2.cbs", BlockSet({"a.o3d"}, 2).data());
  dir.Write("notcbs.cbs", Bytes().str("CDX").u8(0).u32(1).u32(0).data());
  std::vector<std::uint8_t> cut = BlockSet({"a.o3d", "b.o3d"}).data();
  cut.pop_back();
  dir.Write("cut.cbs", cut);
  EXPECT_EQ(room->ImportCbs("v2.cbs"), 0);
  EXPECT_EQ(room->ImportCbs("notcbs.cbs"), 0);
  EXPECT_EQ(room->ImportCbs("missing.cbs"), 0);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(room->ImportCbs("cut.cbs"), 0);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error while reading cut.cbs, error = 14\n");
  ASSERT_EQ(room->blockSet.GetCount(), 1);
  EXPECT_STREQ(room->blockSet.GetName(0), "me");
}

TEST_F(BlockSetImportTest, TheBlockSetOfEachLevelAndLand) {
  const char* files[] = {"land", "level1a", "level2a", "level3a", "level4a"};
  for (const char* f : files) {
    dir.Write(std::string("rozizuzi/cbs/") + f + ".cbs", BlockSet({std::string("sets\\") + f + ".o3d"}).data());
  }
  struct Case {
    int level, land;
    const char* expected;  // base name of the one entry, or null for no change
  } cases[] = {
      {0, 5, "land"},    {1, 0, "level1a"}, {2, 1, "level1a"}, {3, 2, "level2a"}, {4, 3, "level2a"},
      {1, 4, "level3a"}, {1, 5, "level3a"}, {1, 6, "level4a"}, {2, 7, "level4a"}, {1, 8, nullptr},
      {1, -1, nullptr},
  };
  for (const Case& c : cases) {
    room->blockSet.Reset();
    room->level = c.level;
    room->land = c.land;
    room->LoadBlockSet();
    if (!c.expected) {
      EXPECT_EQ(room->blockSet.GetCount(), 0) << c.land;
    } else {
      ASSERT_EQ(room->blockSet.GetCount(), 1) << c.land;
      EXPECT_STREQ(room->blockSet.GetName(0), c.expected) << c.level << "," << c.land;
    }
  }
}

TEST_F(BlockSetImportTest, BlockNamesTakeTheBlockSetsPaths) {
  room->blockSet.Reset();
  room->blockSet.FindOrAdd("data\\blocks\\Floor.o3d");
  room->Block(0, 0).fileName = "rozizuzi\\o4d\\FLOOR.O3D";
  room->Block(5, 5).fileName = "elsewhere\\unknown.o3d";
  room->RemapBlockNames();
  EXPECT_EQ(room->Block(0, 0).fileName, "data\\blocks\\Floor.o3d");
  EXPECT_EQ(room->Block(5, 5).fileName, "elsewhere\\unknown.o3d");
  EXPECT_EQ(room->Block(1, 1).fileName, "old.o3d");
}

}  // namespace
