#include "datafiles/trisprite_table.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/mtf_archive.h"
#include "support/bytes.h"
#include "support/temp_dir.h"
#include "table_bytes.h"

using tablebytes::File;
using testsupport::Bytes;

namespace {

Bytes Row(const std::string& name, std::int16_t column = 1, std::int16_t row = 2, std::int16_t format = 3,
          std::int16_t size = 16) {
  Bytes b;
  b.u16(1).fixed(name, 32).u16(static_cast<std::uint16_t>(column)).u16(static_cast<std::uint16_t>(row)).u16(77);
  b.u16(static_cast<std::uint16_t>(format)).u16(static_cast<std::uint16_t>(size)).i32(-5);
  return b;
}

TEST(TrispriteTableTest, RowsAre46BytesAfterTheirVersion) {
  EXPECT_EQ(Row("x").size(), 48u);
  CTrispriteTable table;
  ASSERT_TRUE(table.Read(File({Row("wall", -1, 7, 4, 24), Row("door")})));
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.Capacity(), 2u) << "no spare rows";
  const TrispriteRecord& wall = table.Row(1);
  EXPECT_STREQ(wall.name, "wall");
  EXPECT_EQ(wall.column, -1);
  EXPECT_EQ(wall.row, 7);
  EXPECT_EQ(wall.valueA, 77);
  EXPECT_EQ(wall.cellFormat, 4);
  EXPECT_EQ(wall.cellSize, 24);
  EXPECT_EQ(wall.valueB, -5);
}

TEST(TrispriteTableTest, RowOfAnotherVersionKeepsItsDefaultsAndReadingGoesOnAfterItsVersion) {
  Bytes other;
  other.u16(2);
  CTrispriteTable table;
  ASSERT_TRUE(table.Read(File({Row("b"), other, Row("a")})));
  ASSERT_EQ(table.Count(), 3u);
  EXPECT_STREQ(table.Row(0).name, "FREE");
  EXPECT_EQ(table.Row(0).valueA, 100);
  EXPECT_EQ(table.Row(0).cellSize, 24);
  EXPECT_EQ(table.Row(0).valueB, 9);
  EXPECT_STREQ(table.Row(1).name, "a");
  EXPECT_STREQ(table.Row(2).name, "b");
}

TEST(TrispriteTableTest, SortIsBytewiseAndFindIgnoresCase) {
  // File order grass, GRASS, Grass, dirt; the exchange sort leaves GRASS, Grass, dirt, grass.
  std::vector<Bytes> rows = {Row("grass", 0), Row("GRASS", 1), Row("Grass", 2), Row("dirt", 3)};
  CTrispriteTable table;
  ASSERT_TRUE(table.Read(File(rows)));
  const char* expected[] = {"GRASS", "Grass", "dirt", "grass"};
  for (std::size_t k = 0; k < 4; ++k) EXPECT_STREQ(table.Row(k).name, expected[k]) << k;
  EXPECT_EQ(table.Find("grass"), 0);
  EXPECT_EQ(table.Find("Grass"), 0);
  EXPECT_EQ(table.Get("gRaSs").column, 1);
  EXPECT_EQ(table.Find("DIRT"), 2);
  EXPECT_EQ(table.Find("lava"), 0) << "an absent name gives row 0";
  EXPECT_STREQ(table.Get("lava").name, "GRASS");
  // What the program draws with: the same first row, and none for an absent name.
  EXPECT_EQ(table.Named("gRaSs"), &table.Row(0));
  EXPECT_EQ(table.Named("DIRT"), &table.Row(2));
  EXPECT_EQ(table.Named("lava"), nullptr);
  EXPECT_EQ(table.Named(""), nullptr);
  EXPECT_EQ(CTrispriteTable().Named("FREE"), nullptr) << "an empty table has no rows, not even the default";
}

TEST(TrispriteTableTest, GetOnAnEmptyTableGivesTheDefaultRecord) {
  CTrispriteTable table;
  for (int pass = 0; pass < 2; ++pass) {
    const TrispriteRecord& r = table.Get("anything");
    EXPECT_STREQ(r.name, "FREE");
    EXPECT_EQ(r.column, 0);
    EXPECT_EQ(r.valueA, 100);
    EXPECT_EQ(r.cellFormat, 0);
    EXPECT_EQ(r.cellSize, 24);
    EXPECT_EQ(r.valueB, 9);
    EXPECT_EQ(r.GetFootprintWidth(), 24);
    table.Read(File({}));  // a file with no rows
    EXPECT_EQ(table.Count(), 0u);
  }
}

TEST(TrispriteTableTest, FootprintShapes) {
  struct Case {
    std::int16_t format;
    int width, height;  // in cell sizes
  };
  const Case cases[] = {{0, 1, 1}, {1, 1, 3}, {2, 2, 2}, {3, 2, 3}, {4, 3, 3}, {5, 1, 2}, {6, 1, 1}, {-1, 1, 1}};
  for (const Case& c : cases) {
    TrispriteRecord r;
    r.cellFormat = c.format;
    r.cellSize = 10;
    EXPECT_EQ(r.GetFootprintWidth(), 10 * c.width) << c.format;
    EXPECT_EQ(r.GetFootprintHeight(), 10 * c.height) << c.format;
  }
}

TEST(TrispriteTableTest, DamagedFilesLeaveTheTableEmpty) {
  std::vector<std::uint8_t> cut = File({Row("a"), Row("b")});
  cut.resize(cut.size() - 2);
  Bytes huge;
  huge.u16(1).u32(0xFFFFFFFFu).raw(Row("a").data());
  Bytes otherFileVersion;
  otherFileVersion.u16(0).u32(1).raw(Row("a").data());
  for (const auto& bytes : {cut, huge.data(), otherFileVersion.data(), std::vector<std::uint8_t>{1}}) {
    CTrispriteTable table;
    table.Allocate(2);
    EXPECT_FALSE(table.Read(bytes));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_STREQ(table.Get("a").name, "FREE");
  }
}

class TrispriteLoadTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { MtfCloseAllArchives(); }
  void TearDown() override { MtfCloseAllArchives(); }
};

TEST_F(TrispriteLoadTest, LoadReadsTheGameFile) {
  CTrispriteTable table;
  EXPECT_EQ(table.Load(), 0);
  auto bytes = File({Row("z"), Row("m"), Row("a")});
  dir.Write("DATA/TriSprite.DAT", std::span<const std::uint8_t>(bytes));
  EXPECT_EQ(table.Load(), 1);
  ASSERT_EQ(table.Count(), 3u);
  EXPECT_STREQ(table.Row(0).name, "a");
  EXPECT_STREQ(table.Row(2).name, "z");
}

}  // namespace
