#include "datafiles/monster_class_table.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/mtf_archive.h"
#include "platform/core/services.h"
#include "platform/core/trace.h"
#include "support/bytes.h"
#include "support/temp_dir.h"
#include "table_bytes.h"

using tablebytes::File;
using testsupport::Bytes;

namespace {

// The row's fields in file order with the version that brings each; numeric
// field k is stored as 10 k (10 k + 1 for the second of a pair), floats as k + 0.25.
enum class Kind { Text32, Text64, I16, I32, I32Pair, F32, Bytes16 };
struct Field {
  int number;
  Kind kind;
  int from;
};
std::vector<Field> RowFields() {
  std::vector<Field> f = {{1, Kind::Text32, 1}, {2, Kind::Text32, 1}, {3, Kind::I16, 1}, {4, Kind::I16, 1}};
  for (int k = 5; k <= 10; ++k) f.push_back({k, Kind::I32, 1});
  for (int k = 11; k <= 13; ++k) f.push_back({k, Kind::I16, 1});
  for (int k = 14; k <= 25; ++k) f.push_back({k, Kind::I32, 1});
  f.insert(f.end(), {{26, Kind::Text64, 1}, {27, Kind::F32, 1}, {28, Kind::I16, 1}, {29, Kind::I16, 2},
                     {30, Kind::I32, 1}, {31, Kind::I32, 1}, {32, Kind::I32, 3}, {33, Kind::F32, 4},
                     {34, Kind::I32, 5}, {35, Kind::I32, 6}, {36, Kind::I32, 7}, {37, Kind::I32, 7},
                     {38, Kind::Text32, 7}, {39, Kind::I32, 8}, {40, Kind::I32, 8}, {41, Kind::I32, 9},
                     {42, Kind::Text32, 9}, {43, Kind::I32, 10}, {44, Kind::I32, 11}, {45, Kind::I32Pair, 12}});
  for (int k = 46; k <= 51; ++k) f.push_back({k, Kind::Text32, 13});
  f.insert(f.end(), {{52, Kind::I32, 14}, {53, Kind::I32, 14}, {54, Kind::I32, 14}, {55, Kind::I32, 14},
                     {56, Kind::I32Pair, 14}, {57, Kind::I32, 15}, {58, Kind::I32, 15}, {59, Kind::Bytes16, 16}});
  return f;
}

Bytes Row(int version, const std::string& name, const std::string& origin = "") {
  Bytes b;
  b.u16(static_cast<std::uint16_t>(version));
  for (const Field& f : RowFields()) {
    if (f.from > version) continue;
    switch (f.kind) {
      case Kind::Text32:
        b.fixed(f.number == 1 ? name : f.number == 38 ? origin : "T" + std::to_string(f.number), 32);
        break;
      case Kind::Text64: b.fixed("skel" + std::to_string(f.number), 64); break;
      case Kind::I16: b.u16(static_cast<std::uint16_t>(10 * f.number)); break;
      case Kind::I32: b.i32(10 * f.number); break;
      case Kind::I32Pair: b.i32(10 * f.number).i32(10 * f.number + 1); break;
      case Kind::F32: b.f32(static_cast<float>(f.number) + 0.25f); break;
      case Kind::Bytes16:
        for (int k = 0; k < 16; ++k) b.u8(static_cast<std::uint8_t>(k));
        break;
    }
  }
  return b;
}

// --- Row versions ----------------------------------------------------------------------

TEST(MonsterClassRowTest, EveryVersionHasItsRowSizeAndTheNextRowFollows) {
  const std::size_t sizes[16] = {224, 226, 230, 234, 238, 242, 282, 290, 326, 330, 334, 342, 534, 558, 566, 582};
  for (int v = 1; v <= 16; ++v) {
    SCOPED_TRACE("version " + std::to_string(v));
    Bytes first = Row(v, "CLASSA");
    ASSERT_EQ(first.size(), 2 + sizes[v - 1]);
    CMonsterClassTable table;
    ASSERT_TRUE(table.Read(File({first, Row(v, "CLASSB")})));
    ASSERT_EQ(table.Count(), 2u);
    EXPECT_STREQ(table.Row(0).name, "CLASSA");
    EXPECT_STREQ(table.Row(1).name, "CLASSB");
    EXPECT_EQ(table.Row(1).value31, 310);
  }
}

TEST(MonsterClassRowTest, NewestVersionFillsEveryField) {
  CMonsterClassTable table;
  ASSERT_TRUE(table.Read(File({Row(16, "Troll", "Ogre")})));
  const CMonsterClass& m = table.Row(0);
  EXPECT_STREQ(m.name, "Troll");
  EXPECT_STREQ(m.displayKey, "T2");
  EXPECT_EQ(m.type, 30);
  EXPECT_EQ(m.kind, 40);
  EXPECT_EQ(m.lifeMin, 50);
  EXPECT_EQ(m.lifeMax, 60);
  EXPECT_EQ(m.damageMin, 90);
  EXPECT_EQ(m.damageMax, 100);
  EXPECT_EQ(m.value13, 130);
  EXPECT_EQ(m.values14[0], 140);
  EXPECT_EQ(m.values14[11], 250);
  EXPECT_STREQ(m.skeleton, "skel26");
  EXPECT_FLOAT_EQ(m.previewTurnStep, 27.25f);
  EXPECT_EQ(m.value28, 280);
  EXPECT_EQ(m.value29, 290);
  EXPECT_EQ(m.value30, 300);
  EXPECT_EQ(m.value32, 320);
  EXPECT_FLOAT_EQ(m.value33, 33.25f);
  EXPECT_EQ(m.value35, 350);
  EXPECT_EQ(m.flags, 360);
  EXPECT_STREQ(m.originName, "Ogre");
  EXPECT_EQ(m.originIndex, -1) << "no class of that name";
  EXPECT_EQ(m.value40, 400);
  EXPECT_STREQ(m.text42, "T42");
  EXPECT_EQ(m.value44, 440);
  EXPECT_EQ(m.values45[1], 451);
  EXPECT_STREQ(m.texts46[0], "T46");
  EXPECT_STREQ(m.texts46[5], "T51");
  EXPECT_EQ(m.value52, 520);
  EXPECT_EQ(m.value53, 530);
  EXPECT_EQ(m.values56[0], 560);
  EXPECT_EQ(m.values56[1], 561);
  EXPECT_EQ(m.value58, 580);
  EXPECT_EQ(m.bytes59[15], 15);
}

TEST(MonsterClassRowTest, OlderVersionsLeaveLaterFieldsAtTheirDefaults) {
  CMonsterClassTable table;
  ASSERT_TRUE(table.Read(File({Row(1, "Rat")})));
  const CMonsterClass& m = table.Row(0);
  EXPECT_EQ(m.value28, 280);
  EXPECT_EQ(m.value29, 1) << "field 29 comes with version 2";
  EXPECT_EQ(m.value30, 300) << "field 30 directly follows field 28 in version 1";
  EXPECT_EQ(m.value31, 310);
  EXPECT_EQ(m.value32, 0);
  EXPECT_FLOAT_EQ(m.value33, 0.5f);
  EXPECT_EQ(m.flags, 0);
  EXPECT_STREQ(m.originName, "");
  EXPECT_EQ(m.originIndex, -1);
  EXPECT_EQ(m.value52, 400);
  EXPECT_EQ(m.value53, -1);
  for (std::uint8_t b : m.bytes59) EXPECT_EQ(b, 100);

  ASSERT_TRUE(table.Read(File({Row(13, "Rat")})));
  EXPECT_STREQ(table.Row(0).texts46[5], "T51");
  EXPECT_EQ(table.Row(0).value52, 400);
  EXPECT_EQ(table.Row(0).bytes59[0], 100);
}

TEST(MonsterClassRowTest, NamesFillingTheirArrayAreTerminatedInside) {
  CMonsterClassTable table;
  ASSERT_TRUE(table.Read(File({Row(7, std::string(40, 'N'), std::string(32, 'O'))})));
  EXPECT_EQ(std::string(table.Row(0).name), std::string(31, 'N'));
  EXPECT_EQ(std::string(table.Row(0).originName), std::string(31, 'O'));
}

// --- Unknown row versions end the program ---------------------------------------------------

TEST(MonsterClassRowTest, UnknownRowVersionShowsTheOldVersionBoxAndExits) {
  for (int version : {0, 17, 0xFFFF}) {
    SCOPED_TRACE(version);
    platform::ScriptedServices ui;
    Bytes row;
    row.u16(static_cast<std::uint16_t>(version)).zeros(600);
    CMonsterClassTable table;
    try {
      table.Read(File({Row(3, "Fine"), row}));
      ADD_FAILURE() << "the program should have ended";
    } catch (const platform::ProgramExit& e) {
      EXPECT_EQ(e.code, 0);
    }
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Old version of RAZER");
    EXPECT_EQ(ui.boxes[0].caption, "ERROR");
    EXPECT_EQ(ui.boxes[0].flags, platform::kMbOk);
  }
}

// --- Hostile files ---------------------------------------------------------------------------------

TEST(MonsterClassTableTest, DamagedFilesLeaveTheTableEmptyWithoutEndingTheProgram) {
  platform::ScriptedServices ui;
  std::vector<std::uint8_t> cut = File({Row(16, "A"), Row(16, "B")});
  cut.resize(cut.size() - 1);
  Bytes huge;
  huge.u16(1).u32(0x80000000u).raw(Row(16, "A").data());
  Bytes version2;
  version2.u16(2).u32(1).raw(Row(1, "A").data());
  const std::vector<std::vector<std::uint8_t>> files = {{}, {1, 0}, cut, huge.data(), version2.data()};
  for (std::size_t k = 0; k < files.size(); ++k) {
    SCOPED_TRACE(k);
    CMonsterClassTable table;
    table.Allocate(4);
    platform::TraceCapture trace;
    EXPECT_FALSE(table.Read(files[k]));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(table.Capacity(), 0u);
    EXPECT_FALSE(trace.lines().empty()) << "the refusal is traced";
  }
  EXPECT_TRUE(ui.boxes.empty());
}

// --- Sort, origins and find -------------------------------------------------------------------------

TEST(MonsterClassTableTest, SortKeepsTheExchangePermutationAndResolvesOrigins) {
  // File order Orc, ORC, Bat, Wolf, Cat, bat; the exchange sort leaves
  // Bat, bat, Cat, ORC, Orc, Wolf: the two orcs end reversed.
  std::vector<Bytes> rows = {Row(7, "Orc"), Row(7, "ORC"), Row(7, "Bat", "orc"), Row(7, "Wolf", "BAT"),
                             Row(7, "Cat", "nobody"), Row(7, "bat")};
  for (std::size_t k = 0; k < rows.size(); ++k) rows[k].data()[2 + 32 + 32] = static_cast<std::uint8_t>(k + 1);  // type
  CMonsterClassTable table;
  ASSERT_TRUE(table.Read(File(rows)));
  EXPECT_TRUE(table.IsSorted());
  const char* expectedNames[] = {"Bat", "bat", "Cat", "ORC", "Orc", "Wolf"};
  const int expectedTypes[] = {3, 6, 5, 2, 1, 4};
  const int expectedOrigins[] = {3, -1, -1, -1, -1, 0};
  for (std::size_t k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    EXPECT_STREQ(table.Row(k).name, expectedNames[k]);
    EXPECT_EQ(table.Row(k).type, expectedTypes[k]);
    EXPECT_EQ(table.Row(k).originIndex, expectedOrigins[k]);
  }
  EXPECT_EQ(table.Find("orc"), 3);
  EXPECT_EQ(table.Find("WOLF"), 5);
  EXPECT_EQ(table.Find("Dragon"), -1);
  EXPECT_EQ(table.Capacity(), 6u + 64u);
  EXPECT_STREQ(table.Row(6 + 63).name, "FREE");
}

// --- Loading ---------------------------------------------------------------------------------------

class MonsterClassLoadTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { MtfCloseAllArchives(); }
  void TearDown() override { MtfCloseAllArchives(); }
};

TEST_F(MonsterClassLoadTest, LoadReportsOnlyAMissingFile) {
  CMonsterClassTable table;
  EXPECT_EQ(table.Load(), 0);
  auto bytes = File({Row(16, "Zombie"), Row(2, "Ant")});
  dir.Write("data/monsterclass.dat", std::span<const std::uint8_t>(bytes));
  EXPECT_EQ(table.Load(), 1);
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_STREQ(table.Row(0).name, "Ant");
  dir.Write("data/monsterclass.dat", "\x01\x00\xff\xff\xff\xff");
  EXPECT_EQ(table.Load(), 1);
  EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
