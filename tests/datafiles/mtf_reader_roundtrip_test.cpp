// Archives from the writer, read back through the archive layer.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/mtf_archive.h"
#include "datafiles/mtf_writer.h"
#include "support/temp_dir.h"

namespace {

class MtfReaderRoundTrip : public testsupport::TempDirTest {
 protected:
  void TearDown() override { MtfCloseAllArchives(); }

  static std::string ReadAll(const char* name) {
    MtfFilePtr f(MtfOpen(name, "rb"));
    if (!f) return "<not found>";
    std::string s(f->size, '\0');
    EXPECT_EQ(MtfRead(s.data(), 1, s.size(), f.get()), s.size()) << name;
    EXPECT_EQ(MtfSeek(f.get(), 0, 2), 0) << name;
    EXPECT_EQ(MtfTell(f.get()), static_cast<long>(s.size())) << name;
    return s;
  }
};

TEST_F(MtfReaderRoundTrip, EveryFormReadsBackAsWritten) {
  std::string text;
  for (int i = 0; i < 500; ++i) text += "row " + std::to_string(i % 40) + " of the item table\r\n";
  std::string noise(3000, '\0');
  std::uint32_t x = 1;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  const std::string magicFirst("\xAA\xBE\xAD\x0B stored bytes that look like a block", 39);
  struct Entry {
    const char* name;
    std::string bytes;
    MtfStorage storage;
  };
  const std::vector<Entry> entries = {
      {"data\\items.txt", text, MtfStorage::kPacked},
      {"data\\stored.txt", text, MtfStorage::kStored},
      {"data\\noise.bin", noise, MtfStorage::kAuto},
      {"data\\noise-packed.bin", noise, MtfStorage::kPacked},
      {"data\\empty.dat", "", MtfStorage::kStored},
      {"data\\magic.dat", magicFirst, MtfStorage::kStored},
      {"data\\run.dat", std::string(70000, 'r'), MtfStorage::kAuto},
  };
  MtfWriter w;
  for (const Entry& e : entries) w.Add(e.name, e.bytes, e.storage);
  w.Write("test.mtf");

  ASSERT_EQ(MtfOpenArchive("test.mtf", 0), 1);
  EXPECT_EQ(MtfDirectoryCount(), entries.size());
  for (const Entry& e : entries) EXPECT_EQ(ReadAll(e.name), e.bytes) << e.name;
  EXPECT_EQ(ReadAll("DATA\\ITEMS.TXT"), text);
}

TEST_F(MtfReaderRoundTrip, ALaterArchiveOverridesAnEarlierOne) {
  MtfWriter base, patch;
  base.Add("data\\x.dat", "base", MtfStorage::kStored);
  base.Add("data\\only-base.dat", "kept", MtfStorage::kPacked);
  patch.Add("data\\x.dat", std::string(100, 'p'), MtfStorage::kPacked);
  base.Write("data.mtf");
  patch.Write("qsp1.mtf");
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  ASSERT_EQ(MtfOpenArchive("qsp1.mtf", 1), 1);
  EXPECT_EQ(ReadAll("data\\x.dat"), std::string(100, 'p'));
  EXPECT_EQ(ReadAll("data\\only-base.dat"), "kept");
}

}  // namespace
