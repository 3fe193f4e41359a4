#include "quest/qst_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datafiles/monster_class_table.h"
#include "doc_fixture.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/quest_object.h"
#include "quest/room.h"
#include "support/bytes.h"

namespace {

using testsupport::Bytes;

// A text record: version 3, English only (or nothing), no voice.
Bytes& Text(Bytes& b, std::string_view english = {}) {
  b.u32(3).u32(0);
  if (english.empty()) {
    b.u32(0);
  } else {
    b.u32(static_cast<std::uint32_t>(english.size() + 1)).cstr(english);
  }
  for (int l = 2; l < 7; ++l) b.u32(0);
  return b.u32(0);
}

// Counted string: length without the terminator, then the text and its zero.
Bytes& Counted(Bytes& b, std::string_view text) {
  b.u32(static_cast<std::uint32_t>(text.size()));
  if (!text.empty()) b.cstr(text);
  return b;
}

Bytes& Camera(Bytes& b) {
  for (float f : {1.0f, 2.0f, 3.0f, 0.0f, 0.0f, 4000.0f, -0.5f, 0.25f, 0.0f}) b.f32(f);
  return b;
}

// Room fields after the collision: no blocks, traps, monsters or block-set names.
Bytes& EmptyRoomTail(Bytes& b) { return b.u32(0).u32(0).u32(0).u32(0); }

class QstFormat : public questtest::DocTest {
 protected:
  // Runs a reader over the bytes as a file; true when it raised nothing.
  bool Read(const Bytes& bytes, const std::function<void(platform::File&)>& reader, int* cause = nullptr) {
    dir.Write("record.bin", std::span<const std::uint8_t>(bytes.data()));
    platform::File file("record.bin", platform::File::modeRead);
    try {
      reader(file);
    } catch (const platform::FileException& e) {
      if (cause) *cause = e.cause();
      return false;
    }
    return true;
  }
};

TEST_F(QstFormat, OlderInstanceAndPositionRecords) {
  Bytes v1;
  v1.u32(1).fixed("orc_0", 80).fixed("second", 80).i32(5).i32(6).fixed("door:door_2", 80);
  v1.u32(1).u32(1).i32(0).i32(10).i32(20).i32(5);  // one position, version 1
  ElementInstance a;
  ASSERT_TRUE(Read(v1, [&](platform::File& f) { ReadElementInstance(f, a); }));
  EXPECT_STREQ(a.name, "orc_0");
  EXPECT_STREQ(a.name2, "second");
  EXPECT_EQ(a.value2, 6);
  EXPECT_STREQ(a.links[0], "door:door_2");
  EXPECT_STREQ(a.links[1], "");
  ASSERT_NE(a.positions, nullptr);
  EXPECT_EQ(a.positions->x, 10);
  EXPECT_EQ(a.positions->nodeType, 5);
  EXPECT_EQ(a.positions->cellX, 96);
  EXPECT_EQ(a.positions->cellY, 96);
  EXPECT_EQ(a.positions->rotation, 0);

  Bytes v2;
  v2.u32(2).fixed("gate_1", 80).fixed("", 80).i32(0).i32(0);
  for (int slot = 0; slot < 8; ++slot) v2.fixed(slot == 7 ? "a:b" : "", 80);
  v2.u32(2);
  v2.u32(2).i32(1).i32(1).i32(2).i32(1).i32(40).i32(41).i32(3);
  v2.u32(2).i32(2).i32(3).i32(4).i32(2).i32(50).i32(51).i32(1);
  ElementInstance b;
  ASSERT_TRUE(Read(v2, [&](platform::File& f) { ReadElementInstance(f, b); }));
  EXPECT_STREQ(b.links[7], "a:b");
  // Pushed at the head one at a time: the second comes first.
  ASSERT_NE(b.positions, nullptr);
  EXPECT_EQ(b.positions->paramNumber, 2);
  EXPECT_EQ(b.positions->cellX, 50);
  EXPECT_EQ(b.positions->next->cellY, 41);
  EXPECT_EQ(b.positions->next->rotation, 3);
}

TEST_F(QstFormat, OlderQuestObjectRecords) {
  struct Case {
    std::uint32_t version;
    std::string mesh;  // what the object's mesh is after reading over "before"
    bool sprite;
  };
  for (const Case& c : {Case{1, "before", false}, Case{2, "", true}, Case{3, "cup", true}}) {
    Bytes b;
    b.u32(c.version).i32(0).fixed("goblet", 80).fixed("ITCUP", 80);
    Text(b, "Goblet").i32(32);
    Text(b);
    if (c.version >= 2) b.fixed("CUPS", 32).u16(4).u16(5).u16(100).u16(2).u16(24).u16(0).i32(9);
    if (c.version == 3) b.fixed("cup", 64);
    CQuestObject o;
    SetField(o.mesh, "before");
    ASSERT_TRUE(Read(b, [&](platform::File& f) { o.Load(f); })) << c.version;
    EXPECT_STREQ(o.key, "goblet");
    EXPECT_STREQ(o.parent, "ITCUP");
    EXPECT_STREQ(o.name.Get(1), "Goblet");
    EXPECT_EQ(o.questFlag, 32);
    EXPECT_EQ(std::string(o.mesh), c.mesh) << c.version;
    EXPECT_STREQ(o.sprite.name, c.sprite ? "CUPS" : "FREE");
    EXPECT_EQ(o.sprite.column, c.sprite ? 4 : 0);
    EXPECT_EQ(o.sprite.cellFormat, c.sprite ? 2 : 0);
    EXPECT_EQ(o.sprite.valueB, 9);
  }
}

TEST_F(QstFormat, OlderMonsterRecords) {
  Bytes v1;
  v1.u32(1).fixed("grunt", 80).fixed("orc", 80).fixed("key", 80);
  Text(v1, "Grunt");
  Text(v1);
  Text(v1, "Grr").i32(30).i32(1).i32(4);
  v1.u32(0xDEADBEEF);  // whatever follows is not part of the record
  CMonster a;
  ASSERT_TRUE(Read(v1, [&](platform::File& f) { a.Load(f); }));
  EXPECT_STREQ(a.key, "grunt");
  EXPECT_STREQ(a.gift, "key");
  EXPECT_EQ(a.damage2, 4);
  EXPECT_EQ(a.instanceCounter, 0);
  EXPECT_EQ(a.instances, nullptr);

  Bytes v2;
  v2.u32(2).fixed("grunt", 80).fixed("orc", 80).fixed("", 80);
  Text(v2);
  Text(v2);
  Text(v2).i32(30).i32(1).i32(4).i32(7).u32(2);
  v2.u32(3);
  Counted(v2, "grunt_5");
  Counted(v2, "").i32(0).i32(0);
  for (int i = 0; i < 8; ++i) Counted(v2, "");
  v2.u32(0);
  v2.u32(3);
  Counted(v2, "grunt_6");
  Counted(v2, "").i32(0).i32(0);
  for (int i = 0; i < 8; ++i) Counted(v2, "");
  v2.u32(0);
  CMonster b;
  ASSERT_TRUE(Read(v2, [&](platform::File& f) { b.Load(f); }));
  EXPECT_EQ(b.instanceCounter, 7);
  ASSERT_NE(b.instances, nullptr);
  EXPECT_STREQ(b.instances->name, "grunt_5");  // instances keep their order
  EXPECT_STREQ(b.instances->next->name, "grunt_6");
}

TEST_F(QstFormat, OlderRoomRecords) {
  // Version 1: no level or entrance flags, the whole grid, blocks as images with their ids.
  Bytes v1;
  v1.u32(1).fixed("crypt", 80).i32(4).i32(2).i32(0).i32(1).i32(2).i32(3).i32(4);
  Text(v1, "Crypt");
  Camera(v1);
  for (int row = 0; row < kRoomCells; ++row) {
    for (int column = 0; column < kRoomCells; ++column) v1.u16(row == 190 && column == 3 ? 2 : 0);
  }
  v1.u32(1).i32(6).i32(60);
  v1.i32(11).i32(2).i32(12).i32(0).i32(0).i32(0).fixed("rozizuzi\\o4d\\tomb.o3d", 512).i32(13);
  EmptyRoomTail(v1);
  CRoom a;
  a.levelFlag = a.entrance = 1;
  ASSERT_TRUE(Read(v1, [&](platform::File& f) { a.Load(f); }));
  EXPECT_STREQ(a.name, "crypt");
  EXPECT_EQ(a.level, 2);
  EXPECT_EQ(a.bottom, 4);
  EXPECT_EQ(a.levelFlag, 0);
  EXPECT_EQ(a.entrance, 0);
  EXPECT_FLOAT_EQ(a.distance, 4000.0f);
  EXPECT_FLOAT_EQ(a.pitch, -0.5f);
  EXPECT_EQ(a.Collision(3, 190), 2);
  EXPECT_EQ(a.Collision(190, 3), 0);
  const RoomBlock& tomb = a.Block(6, 60);
  EXPECT_EQ(tomb.id, 11);
  EXPECT_EQ(tomb.rotation, 2);
  EXPECT_EQ(tomb.id2, 12);
  EXPECT_EQ(tomb.fileName, "rozizuzi\\o4d\\tomb.o3d");
  EXPECT_EQ(tomb.extra, 13);

  // Version 2 adds the flags; version 3 blocks may still be of the older form,
  // and the tag is exactly "CMI" (any case) and a zero.
  Bytes v3;
  v3.u32(3).fixed("yard", 80).i32(0).i32(0).i32(0).i32(0).i32(0).i32(9).i32(9);
  Text(v3);
  v3.i32(1).i32(1);
  Camera(v3);
  v3.i32(4).i32(5).i32(7).i32(7);  // columns 4..5 of row 7
  v3.u16(1).u16(2);
  v3.u32(3);
  v3.i32(0).i32(0).str("cmi").u8(0).u32(1).i32(21).i32(1).i32(22);
  Counted(v3, "rozizuzi\\o4d\\a.o3d").i32(23);
  v3.i32(0).i32(1).str("CMIX").i32(1).i32(32).i32(0).i32(0).i32(0).fixed("rozizuzi\\o4d\\b.o3d", 512).i32(33);
  v3.i32(0).i32(2).u32(99).i32(3).i32(42).i32(0).i32(0).i32(0).fixed("rozizuzi\\o4d\\c.o3d", 512).i32(43);
  EmptyRoomTail(v3);
  CRoom b;
  ASSERT_TRUE(Read(v3, [&](platform::File& f) { b.Load(f); }));
  EXPECT_EQ(b.levelFlag, 1);
  EXPECT_EQ(b.entrance, 1);
  EXPECT_EQ(b.Collision(4, 7), 1);
  EXPECT_EQ(b.Collision(5, 7), 2);
  EXPECT_EQ(b.Block(0, 0).id, 21);
  EXPECT_EQ(b.Block(0, 0).fileName, "rozizuzi\\o4d\\a.o3d");
  EXPECT_EQ(b.Block(0, 0).extra, 23);
  EXPECT_EQ(b.Block(0, 1).id, -1);  // "CMIX" is no tag: the older form, whose id is not used
  EXPECT_EQ(b.Block(0, 1).rotation, 1);
  EXPECT_EQ(b.Block(0, 1).fileName, "rozizuzi\\o4d\\b.o3d");
  EXPECT_EQ(b.Block(0, 2).id, -1);
  EXPECT_EQ(b.Block(0, 2).id2, 42);
  EXPECT_EQ(b.Block(0, 2).extra, 43);
}

TEST_F(QstFormat, OlderHeaders) {
  Bytes v1;
  v1.u32(1).i32(-10).i32(20).u32(1).i32(3).u32(1).u32(1).fixed("well", 32).i32(5).i32(6);
  QstHeader a;
  ASSERT_TRUE(Read(v1, [&](platform::File& f) { CKelvarDoc::ReadHeader(f, a); }));
  EXPECT_EQ(a.viewLeft, -10);
  EXPECT_FALSE(a.hasLanguage);
  EXPECT_FALSE(a.hasTexts);
  EXPECT_EQ(a.markerCounter, 3);
  ASSERT_NE(a.markers, nullptr);
  EXPECT_STREQ(a.markers->name, "well");
  EXPECT_EQ(a.markers->y, 6);

  Bytes v2;
  v2.u32(2).i32(0).i32(0).i32(5).u32(1).i32(0).u32(0);
  QstHeader b;
  ASSERT_TRUE(Read(v2, [&](platform::File& f) { CKelvarDoc::ReadHeader(f, b); }));
  EXPECT_TRUE(b.hasLanguage);
  EXPECT_EQ(b.language, 5);
  EXPECT_FALSE(b.hasTexts);

  Bytes v0;
  v0.u32(0);  // nothing else is read
  QstHeader c;
  ASSERT_TRUE(Read(v0, [&](platform::File& f) { CKelvarDoc::ReadHeader(f, c); }));
  EXPECT_EQ(c.version, 0u);
  EXPECT_EQ(c.markers, nullptr);
}

TEST_F(QstFormat, EmptyCollisionGridIsWrittenAsBoundsAlone) {
  CRoom room;
  SetField(room.name, "empty");
  dir.Write("room.bin", "");
  {
    platform::File out("room.bin", platform::File::modeCreate | platform::File::modeWrite);
    room.Save(out);
    out.Close();
  }
  Bytes expected;
  expected.u32(3).fixed("empty", 80).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0);
  Text(expected);
  expected.i32(0).i32(0);
  for (float f : {room.targetX, room.targetY, room.targetZ, 0.0f, 0.0f, 4000.0f, room.pitch, 0.0f, 0.0f}) {
    expected.f32(f);
  }
  expected.i32(9999).i32(-9999).i32(9999).i32(-9999);
  EmptyRoomTail(expected);
  EXPECT_EQ(ReadBytes("room.bin"), expected.data());

  CRoom back;
  back.Collision(100, 100) = 1;
  ASSERT_TRUE(Read(expected, [&](platform::File& f) { back.Load(f); }));
  for (std::uint16_t cell : back.collision) ASSERT_EQ(cell, 0);
}

TEST_F(QstFormat, TrapTargetsAreFoundAgainByTheirIds) {
  auto trap = [](Bytes& b, int type, std::int32_t ownId, std::int32_t targetId) {
    b.u32(1).i32(type).i32(0).i32(type).i32(0);
    for (int i = 0; i < 16; ++i) b.i32(0);
    b.i32(-1).i32(-1).i32(0).fixed("", 32).i32(ownId).i32(targetId);
  };
  Bytes b;
  b.u32(3).fixed("r", 80);
  for (int i = 0; i < 7; ++i) b.i32(0);
  Text(b).i32(0).i32(0);
  Camera(b).i32(9999).i32(-9999).i32(9999).i32(-9999).u32(0);
  b.u32(3);
  trap(b, 1, 77, 0);
  trap(b, 2, -5, 77);   // ids are any non-zero values
  trap(b, 3, 12, 999);  // no trap has that id
  b.u32(0).u32(0);
  CRoom room;
  ASSERT_TRUE(Read(b, [&](platform::File& f) { room.Load(f); }));
  RoomTrap* first = room.traps;
  ASSERT_EQ(ListLength(first), 3u);
  EXPECT_EQ(first->type, 1);
  EXPECT_EQ(first->target, nullptr);
  EXPECT_EQ(first->next->target, first);
  EXPECT_EQ(first->next->next->target, nullptr);

  // Written back, the traps are numbered afresh and the link kept.
  dir.Write("again.bin", "");
  platform::File out("again.bin", platform::File::modeCreate | platform::File::modeWrite);
  room.Save(out);
  out.Close();
  CRoom again;
  platform::File in("again.bin", platform::File::modeRead);
  again.Load(in);
  EXPECT_EQ(again.traps->next->target, again.traps);
  EXPECT_EQ(again.traps->fileId, 1);
  EXPECT_EQ(again.traps->next->fileId, 2);
}

TEST_F(QstFormat, PlacedMonsterClassIsFoundByName) {
  questtest::SetMonsterClasses({"bat", "wolf"});
  Bytes b;
  b.u32(3).fixed("r", 80);
  for (int i = 0; i < 7; ++i) b.i32(0);
  Text(b).i32(0).i32(0);
  Camera(b).i32(9999).i32(-9999).i32(9999).i32(-9999).u32(0).u32(0);
  b.u32(2);
  b.u32(1).fixed("WOLF", 32).i32(0).i32(1).i32(10).i32(11);  // a stale class index
  b.u32(1).fixed("ghost", 32).i32(1).i32(0).i32(12).i32(13);
  b.u32(0);
  CRoom room;
  ASSERT_TRUE(Read(b, [&](platform::File& f) { room.Load(f); }));
  ASSERT_EQ(ListLength(room.monsters), 2u);
  EXPECT_EQ(room.monsters->classIndex, g_monsterClassTable.Find("wolf"));
  EXPECT_EQ(room.monsters->cellY, 11);
  EXPECT_EQ(room.monsters->next->classIndex, -1);
}

// Values the writer never produces are refused, not clamped or cut.
TEST_F(QstFormat, OutOfRangeValuesAreRefused) {
  auto room = [](const std::function<void(Bytes&)>& collision, const std::function<void(Bytes&)>& rest) {
    Bytes b;
    b.u32(3).fixed("r", 80);
    for (int i = 0; i < 7; ++i) b.i32(0);
    Text(b).i32(0).i32(0);
    Camera(b);
    collision(b);
    rest(b);
    return b;
  };
  auto noCells = [](Bytes& b) { b.i32(9999).i32(-9999).i32(9999).i32(-9999); };
  auto nothing = [](Bytes& b) { EmptyRoomTail(b); };
  struct Case {
    const char* what;
    Bytes bytes;
    int cause;
  };
  std::vector<Case> cases;
  cases.push_back({"bounds past the grid",
                   room([](Bytes& b) { b.i32(0).i32(192).i32(0).i32(0); }, nothing), platform::kCauseGeneric});
  cases.push_back({"bounds the wrong way round",
                   room([](Bytes& b) { b.i32(5).i32(4).i32(0).i32(0); }, nothing), platform::kCauseGeneric});
  cases.push_back({"block outside the grid",
                   room(noCells,
                        [](Bytes& b) {
                          b.u32(1).i32(64).i32(0).str("CMI").u8(0).u32(1).i32(0).i32(0).i32(0);
                          Counted(b, "x").i32(0);
                          b.u32(0).u32(0).u32(0);
                        }),
                   platform::kCauseGeneric});
  cases.push_back({"block name longer than its field",
                   room(noCells,
                        [](Bytes& b) {
                          b.u32(1).i32(0).i32(0).str("CMI").u8(0).u32(1).i32(0).i32(0).i32(0);
                          Counted(b, std::string(512, 'n')).i32(0);
                          b.u32(0).u32(0).u32(0);
                        }),
                   platform::kCauseGeneric});
  cases.push_back({"trap label without its zero",
                   room(noCells,
                        [](Bytes& b) {
                          b.u32(0).u32(1).u32(1);
                          for (int i = 0; i < 23; ++i) b.i32(0);
                          b.str(std::string(32, 'L')).i32(1).i32(0);
                          b.u32(0).u32(0);
                        }),
                   platform::kCauseGeneric});
  // A trap or placed monster may stand off the grid, but not beyond a grid's width around it.
  const std::pair<std::int32_t, std::int32_t> farCells[] = {{576, 0}, {0, -193}, {0x7FFFFFFF, 0}, {0, -0x7FFFFFFF - 1}};
  for (const auto& far : farCells) {
    const std::int32_t column = far.first;
    const std::int32_t row = far.second;
    cases.push_back({"trap cell too far off the grid",
                     room(noCells,
                          [column, row](Bytes& b) {
                            b.u32(0).u32(1).u32(1).i32(0).i32(0).i32(column).i32(row);
                            for (int i = 0; i < 19; ++i) b.i32(0);
                            b.fixed("", 32).i32(1).i32(0);
                            b.u32(0).u32(0);
                          }),
                     platform::kCauseGeneric});
    cases.push_back({"placed monster cell too far off the grid",
                     room(noCells,
                          [column, row](Bytes& b) {
                            b.u32(0).u32(0).u32(1).u32(1).fixed("wolf", 32).i32(0).i32(0).i32(column).i32(row);
                            b.u32(0);
                          }),
                     platform::kCauseGeneric});
  }
  cases.push_back({"more block-set names than a bank holds",
                   room(noCells,
                        [](Bytes& b) {
                          b.u32(0).u32(0).u32(0).u32(2049);
                          for (int i = 0; i < 2049; ++i) b.u32(0).u32(0);
                        }),
                   platform::kCauseGeneric});
  cases.push_back({"a count beyond the file", room(noCells, [](Bytes& b) { b.u32(1000000); }),
                   platform::kCauseEndOfFile});
  cases.push_back({"a name length beyond the file",
                   room(noCells, [](Bytes& b) { b.u32(0).u32(0).u32(0).u32(1).u32(0x7FFFFFFF); }),
                   platform::kCauseEndOfFile});
  for (Case& c : cases) {
    CRoom r;
    int cause = 0;
    EXPECT_FALSE(Read(c.bytes, [&](platform::File& f) { r.Load(f); }, &cause)) << c.what;
    EXPECT_EQ(cause, c.cause) << c.what;
  }

  Bytes longName;
  longName.u32(3);
  Counted(longName, std::string(80, 'i'));
  ElementInstance instance;
  int cause = 0;
  EXPECT_FALSE(Read(longName, [&](platform::File& f) { ReadElementInstance(f, instance); }, &cause));
  EXPECT_EQ(cause, platform::kCauseGeneric);

  const std::pair<std::int32_t, std::int32_t> farNodeCells[] = {{384, 0}, {0, -0x7FFFFFFF - 1}};
  for (const auto& [column, row] : farNodeCells) {
    Bytes position;
    position.u32(2).i32(0).i32(10).i32(10).i32(kNodeMachine).i32(column).i32(row).i32(0);
    InstancePosition p;
    cause = 0;
    EXPECT_FALSE(Read(position, [&](platform::File& f) { ReadInstancePosition(f, p); }, &cause)) << column;
    EXPECT_EQ(cause, platform::kCauseGeneric);
  }

  Bytes language;
  language.u32(3).i32(0).i32(0).i32(7);
  QstHeader header;
  EXPECT_FALSE(Read(language, [&](platform::File& f) { CKelvarDoc::ReadHeader(f, header); }, &cause));
  EXPECT_EQ(cause, platform::kCauseGeneric);

  Bytes negativeCount;
  negativeCount.u32(1).i32(1).fixed("m", 80).fixed("door", 80).i32(-1).i32(0).u32(0);
  CMachine machine;
  EXPECT_FALSE(Read(negativeCount, [&](platform::File& f) { machine.Load(f); }, &cause));
  EXPECT_EQ(cause, platform::kCauseEndOfFile);
}

// Off the grid, within a grid's width: kept, for the placement check to report.
TEST_F(QstFormat, CellsNearTheGridAreKept) {
  Bytes b;
  b.u32(3).fixed("r", 80);
  for (int i = 0; i < 7; ++i) b.i32(0);
  Text(b).i32(0).i32(0);
  Camera(b).i32(9999).i32(-9999).i32(9999).i32(-9999).u32(0);
  b.u32(1).u32(1).i32(0).i32(0).i32(383).i32(-192);
  for (int i = 0; i < 19; ++i) b.i32(0);
  b.fixed("", 32).i32(1).i32(0);
  b.u32(1).u32(1).fixed("wolf", 32).i32(0).i32(0).i32(-192).i32(383);
  b.u32(0);
  CRoom room;
  ASSERT_TRUE(Read(b, [&](platform::File& f) { room.Load(f); }));
  ASSERT_NE(room.traps, nullptr);
  EXPECT_EQ(room.traps->cellX, 383);
  EXPECT_EQ(room.traps->cellY, -192);
  ASSERT_NE(room.monsters, nullptr);
  EXPECT_EQ(room.monsters->cellX, -192);
  EXPECT_EQ(room.monsters->cellY, 383);

  Bytes position;
  position.u32(2).i32(0).i32(10).i32(10).i32(kNodeMachine).i32(-192).i32(383).i32(0);
  InstancePosition p;
  ASSERT_TRUE(Read(position, [&](platform::File& f) { ReadInstancePosition(f, p); }));
  EXPECT_EQ(p.cellX, -192);
  EXPECT_EQ(p.cellY, 383);
}

TEST_F(QstFormat, UnknownParameterTypeHasNoValueRecord) {
  Define("STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } } }");
  Bytes b;
  b.u32(1).i32(kMachineStateMachine).fixed("gate", 80).fixed("door", 80).i32(2).i32(9);
  b.u32(0);   // no value follows a type code outside 1..12
  b.u32(1).u32(2).u32(1);
  Counted(b, "gate.o3d");
  b.u32(0);
  CMachine machine;
  ASSERT_TRUE(Read(b, [&](platform::File& f) { machine.Load(f); }));
  EXPECT_EQ(machine.paramCount, 1);
  EXPECT_EQ(machine.FindParam(1)->GetText(), "gate.o3d");
  EXPECT_EQ(machine.instanceCounter, 9);
  EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
