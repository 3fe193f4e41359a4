#include "tools/mtf/mtf_listing.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/mtf_writer.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

class MtfListingTest : public testsupport::TempDirTest {};

TEST_F(MtfListingTest, ListsWhatTheWriterWrote) {
  MtfWriter w;
  w.Add("data\\big.txt", std::string(5000, 'b'), MtfStorage::kPacked);
  w.Add("data\\small.dat", "12345", MtfStorage::kStored);
  w.Write("a.mtf");
  const std::vector<MtfListedEntry> list = ListMtfArchive("a.mtf");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "data\\big.txt");
  EXPECT_EQ(list[0].size, 5000u);
  EXPECT_TRUE(list[0].packed);
  EXPECT_LT(list[0].storedLength, 200u);
  EXPECT_EQ(list[1].name, "data\\small.dat");
  EXPECT_FALSE(list[1].packed);
  EXPECT_EQ(list[1].storedLength, 5u);
  EXPECT_EQ(list[1].offset + 5u, dir.Read("a.mtf").size());
}

TEST_F(MtfListingTest, RefusesDamagedArchives) {
  using testsupport::Bytes;
  // A good one-entry directory ends at 4 + 4 + 2 + 8 = 18.
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const std::string longName(260, 'n');
  const Case cases[] = {
      {"empty file", Bytes()},
      {"count cut short", Bytes().u16(1)},
      {"huge count", Bytes().u32(0xFFFFFFFF).zeros(64)},
      {"name length 0", Bytes().u32(1).u32(0).zeros(20)},
      {"name of 260 characters", Bytes().u32(1).u32(261).cstr(longName).u32(273).u32(0)},
      {"name without terminator", Bytes().u32(1).u32(2).str("ab").u32(18).u32(0)},
      {"directory cut short", Bytes().u32(1).u32(2).cstr("a").u32(18)},
      {"offset inside the directory", Bytes().u32(1).u32(2).cstr("a").u32(4).u32(0)},
      {"stored data past the end", Bytes().u32(1).u32(2).cstr("a").u32(18).u32(10).str("abc")},
      {"block shorter than its head", Bytes().u32(1).u32(2).cstr("a").u32(18).u32(1).u32(0x0BADBEAE).u32(8).u32(0)},
      {"block past the end", Bytes().u32(1).u32(2).cstr("a").u32(18).u32(1).u32(0x0BADBEAF).u32(400).u32(0)},
  };
  for (const Case& c : cases) {
    dir.Write("bad.mtf", c.bytes.view());
    EXPECT_THROW(ListMtfArchive("bad.mtf"), MtfListError) << c.what;
  }
}

}  // namespace
