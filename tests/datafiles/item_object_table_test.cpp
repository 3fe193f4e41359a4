#include "datafiles/item_object_table.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/mtf_archive.h"
#include "item_object_bytes.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using testsupport::Bytes;

namespace {

Bytes Row(const std::string& name, int version = 9, std::int16_t number = 0) {
  CItemObject o = itembytes::Distinct(name);
  o.number = number;
  return itembytes::Row(o, version);
}

TEST(ItemObjectTableTest, ReadsEveryRowVersionSortsBytewiseAndKeepsSpareRows) {
  // File order b, B, a, A, b; the exchange sort leaves A, B, a, b (the first), b (the second).
  CItemObjectTable table;
  ASSERT_TRUE(table.Read(itembytes::File({Row("b", 1, 1), Row("B", 3, 2), Row("a", 5, 3), Row("A", 8, 4), Row("b", 9, 5)})));
  ASSERT_EQ(table.Count(), 5u);
  EXPECT_EQ(table.Capacity(), 5u + 32u);
  const char* names[] = {"A", "B", "a", "b", "b"};
  const int numbers[] = {4, 2, 3, 1, 5};
  for (std::size_t k = 0; k < 5; ++k) {
    EXPECT_STREQ(table.Row(k).name, names[k]) << k;
    EXPECT_EQ(table.Row(k).number, numbers[k]) << k;
  }
  EXPECT_STREQ(table.Row(5 + 31).name, "FREE");
  EXPECT_STREQ(table.Row(5 + 31).useSound, "ITEM_USE");
}

TEST(ItemObjectTableTest, RowOfAnUnknownVersionStaysDefaultAndTheNextIsReadAfterItsVersion) {
  Bytes unknown;
  unknown.u16(12);
  CItemObjectTable table;
  ASSERT_TRUE(table.Read(itembytes::File({Row("Z"), unknown, Row("M", 2)})));
  ASSERT_EQ(table.Count(), 3u);
  EXPECT_STREQ(table.Row(0).name, "FREE");
  EXPECT_STREQ(table.Row(1).name, "M");
  EXPECT_STREQ(table.Row(2).name, "Z");
}

TEST(ItemObjectTableTest, DamagedFilesLeaveTheTableEmpty) {
  std::vector<std::uint8_t> cut = itembytes::File({Row("a"), Row("b", 4)});
  cut.resize(cut.size() - 10);
  Bytes huge;
  huge.u16(1).u32(0x7FFFFFFFu).raw(Row("a").data());
  Bytes wrapping;
  wrapping.u16(1).u32(0xFFFFFFFFu);
  Bytes version3;
  version3.u16(3).u32(1).raw(Row("a").data());
  for (const auto& bytes : {cut, huge.data(), wrapping.data(), version3.data(), std::vector<std::uint8_t>{}}) {
    CItemObjectTable table;
    table.Allocate(1);
    EXPECT_FALSE(table.Read(bytes));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(table.Capacity(), 0u);
  }
}

class ItemObjectLoadTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { MtfCloseAllArchives(); }
  void TearDown() override { MtfCloseAllArchives(); }
};

TEST_F(ItemObjectLoadTest, LoadReportsOnlyAMissingFile) {
  CItemObjectTable table;
  EXPECT_EQ(table.Load(), 0);
  EXPECT_EQ(table.Count(), 0u);
  auto bytes = itembytes::File({Row("Shield", 7), Row("Helm", 6)});
  dir.Write("data/itemobject.dat", std::span<const std::uint8_t>(bytes));
  EXPECT_EQ(table.Load(), 1);
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_STREQ(table.Row(0).name, "Helm");
}

}  // namespace
