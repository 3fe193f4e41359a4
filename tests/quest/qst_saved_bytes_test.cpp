// What saving writes is pinned: the demo quest and a generated quest of many
// rooms save to the bytes recorded here (their size and CRC-32), and a saved
// quest opened and saved again gives the same bytes. The generated quest is
// several times larger than the buffers opening and saving go through, so
// records straddle every buffer boundary.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/common/crc32.h"
#include "doc_fixture.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "support/big_quest.h"
#include "tools/demodata/block_meshes.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sample_quest.h"

namespace {

struct Digest {
  std::size_t size;
  std::uint32_t crc;
  bool operator==(const Digest&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Digest& d) {
  return os << "{" << d.size << ", 0x" << std::hex << d.crc << std::dec << "}";
}

Digest DigestOf(const std::vector<std::uint8_t>& bytes) {
  return {bytes.size(), Crc32Update(bytes.data(), bytes.size(), 0xFFFFFFFFu)};
}

class QstSavedBytes : public questtest::DocTest {
 protected:
  // Opens a saved quest and saves it under the name given.
  void Resave(const std::string& from, const std::string& to) {
    doc.OnCloseDocument();
    ASSERT_TRUE(doc.OnOpenDocument(from));
    doc.SetTitle(from);  // as the program names a document it opened
    ASSERT_TRUE(doc.OnSaveDocument(to));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
  }
  // Opening reverses each machine's values and each instance's positions (they
  // are pushed at the head as read), so the second round gives back the first
  // file; the first round gives a file of the same size.
  void ExpectRoundTrip(const std::string& saved) {
    Resave(saved, "again.qst");
    Resave("again.qst", "twice.qst");
    EXPECT_EQ(ReadBytes("again.qst").size(), ReadBytes(saved).size());
    EXPECT_EQ(ReadBytes("twice.qst"), ReadBytes(saved));
  }
};

TEST_F(QstSavedBytes, DemoQuestSavesTheBytesItAlwaysHas) {
  {
    DemoOutput out;
    AddBlockMeshes(out);
    AddSampleQuest(out);
    out.Finish();
  }
  Quest().library.LoadFolder();
  ASSERT_TRUE(doc.OnOpenDocument(kSampleQuestPath));
  doc.SetTitle(kSampleQuestPath);
  ASSERT_TRUE(doc.OnSaveDocument("demo.qst"));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
  const std::vector<std::uint8_t> saved = ReadBytes("demo.qst");
  EXPECT_EQ(DigestOf(saved), (Digest{32206, 0xf0edc36au}));
  ExpectRoundTrip("demo.qst");
}

TEST_F(QstSavedBytes, GeneratedQuestSavesTheBytesItAlwaysHas) {
  bigquest::WriteFiles();
  bigquest::Build(12);
  doc.SetTitle("big.qst");
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_TRUE(doc.OnSaveDocument("big.qst"));
  EXPECT_EQ(DigestOf(ReadBytes("big.qst")), (Digest{3995910, 0x1ecb8620u}));
  ExpectRoundTrip("big.qst");
  EXPECT_EQ(ListLength(Quest().rooms), 12u);
}

}  // namespace
