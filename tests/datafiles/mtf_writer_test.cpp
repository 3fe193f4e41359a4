#include "datafiles/mtf_writer.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/common/crc32.h"
#include "datafiles/common/lz_pack.h"
#include "datafiles/common/lz_unpack.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::ReadU32;

Bytes Noise(std::size_t n) {
  Bytes b(n);
  std::uint32_t x = 2463534242u;
  for (auto& v : b) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    v = static_cast<std::uint8_t>(x);
  }
  return b;
}

TEST(MtfWriter, WritesTheExactBytesOfAStoredAndAPackedEntry) {
  MtfWriter w;
  w.Add("a.txt", "hello", MtfStorage::kStored);
  w.Add("b\\c.dat", "abcabcabc", MtfStorage::kPacked);

  testsupport::Bytes expected;
  expected.u32(2)
      .u32(6).cstr("a.txt").u32(42).u32(5)      // directory: 4 + 18 + 20 = 42 bytes
      .u32(8).cstr("b\\c.dat").u32(47).u32(9)
      .str("hello")
      .u32(0x0BADBEAA).u32(20).u32(0)           // block head, length 12 + 8
      // flags 00000111: three literals, a reference, the end marker
      .u8(0x07).str("abc").u16(3 | (3 << 10)).u16(0)
      .u32(0xA0245CB6);                         // CRC-32 of "abcabcabc" from 0
  EXPECT_EQ(w.Build(), expected.data());
}

TEST(MtfWriter, EmptyArchiveIsItsCount) {
  EXPECT_EQ(MtfWriter().Build(), (Bytes{0, 0, 0, 0}));
}

TEST(MtfWriter, PackedBlocksUnpackToTheEntryAndCarryItsCrc) {
  const Bytes text(3000, 'q');
  MtfWriter w;
  w.Add("data\\q.txt", text, MtfStorage::kPacked);
  const Bytes a = w.Build();
  const std::uint32_t offset = ReadU32(&a[4 + 4 + 11]);
  ASSERT_EQ(ReadU32(&a[offset]), 0x0BADBEAAu);
  const std::uint32_t blockLength = ReadU32(&a[offset + 4]);
  ASSERT_EQ(offset + blockLength + 4, a.size());
  Bytes out;
  const auto lz = std::span(a).subspan(offset + 12, blockLength - 12);
  EXPECT_TRUE(LzUnpack(lz, out).complete);
  EXPECT_EQ(out, text);
  EXPECT_EQ(ReadU32(&a[offset + blockLength]), Crc32Update(text.data(), text.size(), 0));
}

TEST(MtfWriter, ChoosesTheFormAsAsked) {
  const Bytes noise = Noise(4000);
  const Bytes text(4000, 't');
  struct Case {
    const char* what;
    const Bytes& bytes;
    MtfStorage storage;
    bool packed;
  };
  const Case cases[] = {
      {"auto packs what shrinks", text, MtfStorage::kAuto, true},
      {"auto stores what would grow", noise, MtfStorage::kAuto, false},
      {"an explicit pack is honoured", noise, MtfStorage::kPacked, true},
      {"an explicit store is honoured", text, MtfStorage::kStored, false},
  };
  for (const Case& c : cases) {
    MtfWriter w;
    w.Add("x.bin", c.bytes, c.storage);
    EXPECT_EQ(w.isPacked(0), c.packed) << c.what;
    const Bytes a = w.Build();
    const std::size_t dataStart = 4 + 4 + 6 + 8;
    if (c.packed) {
      EXPECT_EQ(ReadU32(&a[dataStart]), kMtfPackedMagicA) << c.what;
    } else {
      EXPECT_EQ(Bytes(a.begin() + dataStart, a.end()), c.bytes) << c.what;
    }
    EXPECT_EQ(ReadU32(&a[dataStart - 4]), c.bytes.size()) << c.what;  // the size as read
  }
}

TEST(MtfWriter, PacksStoredBytesThatWouldReadAsABlock) {
  struct Case {
    const char* what;
    Bytes bytes;
    bool packed;
  };
  const Case cases[] = {
      {"begins with a magic", {0xAA, 0xBE, 0xAD, 0x0B, 1, 2, 3}, true},
      {"begins with the last magic", {0xAF, 0xBE, 0xAD, 0x0B}, true},
      {"empty", {}, true},
      {"begins a magic", {0xAE, 0xBE}, true},
      {"short, no magic", {0xAA, 0x00}, false},
      {"near miss", {0xAB, 0xBE, 0xAD, 0x0B}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MtfLooksPacked(c.bytes), c.packed) << c.what;
    MtfWriter w;
    w.Add("x.bin", c.bytes, MtfStorage::kStored);
    EXPECT_EQ(w.isPacked(0), c.packed) << c.what;
  }
}

// A buffer handed over is kept as the stored entry; what must be packed still
// is, and the archive is the one a copied buffer gives.
TEST(MtfWriter, HandedOverBuffersGiveTheSameArchive) {
  const std::vector<std::pair<Bytes, MtfStorage>> entries = {
      {Noise(3000), MtfStorage::kStored},
      {{0xAA, 0xBE, 0xAD, 0x0B, 1, 2, 3}, MtfStorage::kStored},  // reads as a block: packed
      {{}, MtfStorage::kStored},
      {Bytes(500, 'a'), MtfStorage::kAuto},
      {Noise(40), MtfStorage::kPacked},
  };
  MtfWriter copied, moved;
  int i = 0;
  for (const auto& [bytes, storage] : entries) {
    const std::string name = "e" + std::to_string(i++);
    copied.Add(name, std::span<const std::uint8_t>(bytes), storage);
    Bytes handed = bytes;
    moved.Add(name, std::move(handed), storage);
  }
  EXPECT_EQ(moved.Build(), copied.Build());
  EXPECT_FALSE(moved.isPacked(0));
  EXPECT_TRUE(moved.isPacked(1));
  EXPECT_THROW(moved.Add("", Bytes{1}, MtfStorage::kStored), MtfWriteError);
  EXPECT_EQ(moved.count(), entries.size());
}

TEST(MtfWriter, RefusesBadNames) {
  const std::string longest(kMtfMaxNameLength, 'n');
  MtfWriter w;
  EXPECT_NO_THROW(w.Add(longest, "x", MtfStorage::kStored));
  struct Case {
    const char* what;
    std::string name;
    const char* message;
  };
  const Case cases[] = {
      {"empty", "", "empty"},
      {"260 characters", longest + "n", "at most 259"},
      {"zero inside", std::string("a\0b", 3), "zero byte"},
  };
  for (const Case& c : cases) {
    try {
      w.Add(c.name, "x", MtfStorage::kStored);
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const MtfWriteError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
    }
  }
  EXPECT_EQ(w.count(), 1u);  // nothing refused was kept
}

TEST(MtfWriter, RefusesArchivesPast32BitOffsets) {
  using Extent = MtfWriter::Extent;
  const std::uint64_t gib = 1ull << 30;
  // Two entries of 2 GiB: the second still starts below 4 GiB, but the archive ends past it.
  const Extent tooBig[] = {{5, 2 * gib}, {5, 2 * gib}};
  EXPECT_THROW(MtfWriter::LayOut(tooBig), MtfWriteError);
  // The largest archive that fits ends exactly at 0xFFFFFFFF.
  const std::uint64_t head = 4 + 2 * (4 + 6 + 8);
  const Extent fits[] = {{5, 2 * gib}, {5, 0xFFFFFFFFull - head - 2 * gib}};
  const std::vector<std::uint32_t> offsets = MtfWriter::LayOut(fits);
  ASSERT_EQ(offsets.size(), 3u);
  EXPECT_EQ(offsets[0], head);
  EXPECT_EQ(offsets[1], head + 2 * gib);
  EXPECT_EQ(offsets[2], 0xFFFFFFFFu);
}

class MtfWriterFileTest : public testsupport::TempDirTest {};

TEST_F(MtfWriterFileTest, WritesThroughATemporaryFile) {
  dir.Write("out.mtf", "previous");
  MtfWriter w;
  w.Add("a.txt", "hello", MtfStorage::kAuto);
  w.Write("OUT.MTF");  // the existing spelling is reused
  const Bytes built = w.Build();
  EXPECT_EQ(dir.Read("out.mtf"), std::string(built.begin(), built.end()));
  EXPECT_FALSE(dir.Exists("OUT.MTF"));
}

// Entries taken from files make the archive that their bytes give, written
// or built; what must be packed still is.
TEST_F(MtfWriterFileTest, FileEntriesGiveTheArchiveOfTheirBytes) {
  const std::vector<Bytes> contents = {Noise(300000), {0xAA, 0xBE, 0xAD, 0x0B, 1, 2, 3}, {}, {0xAE, 0xBE}, Bytes(9, 'z')};
  MtfWriter fromBytes, fromFiles;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    const std::string file = "in" + std::to_string(i) + ".bin";
    dir.Write(file, std::span<const std::uint8_t>(contents[i]));
    fromBytes.Add("data\\" + file, std::span<const std::uint8_t>(contents[i]), MtfStorage::kStored);
    fromFiles.AddFile("data\\" + file, file);
  }
  EXPECT_FALSE(fromFiles.isPacked(0));
  EXPECT_TRUE(fromFiles.isPacked(1));
  EXPECT_TRUE(fromFiles.isPacked(2));
  EXPECT_TRUE(fromFiles.isPacked(3));
  EXPECT_FALSE(fromFiles.isPacked(4));
  const Bytes expected = fromBytes.Build();
  EXPECT_EQ(fromFiles.Build(), expected);
  fromFiles.Write("out.mtf");
  EXPECT_EQ(dir.Read("out.mtf"), std::string(expected.begin(), expected.end()));
}

// A file that cannot be opened is refused when added; one that shrank before
// the archive was written fails the write, leaving the previous archive.
TEST_F(MtfWriterFileTest, FileEntriesThatFailLeaveThePreviousArchive) {
  MtfWriter w;
  EXPECT_THROW(w.AddFile("lost.bin", "lost.bin"), platform::FileException);
  EXPECT_EQ(w.count(), 0u);
  dir.Write("shrinks.bin", std::span<const std::uint8_t>(Noise(5000)));
  w.AddFile("shrinks.bin", "shrinks.bin");
  dir.Write("shrinks.bin", "short");
  dir.Write("out.mtf", "previous");
  try {
    w.Write("out.mtf");
    ADD_FAILURE() << "a short file was written whole";
  } catch (const platform::FileException& e) {
    EXPECT_EQ(e.path(), "shrinks.bin");
  }
  EXPECT_THROW(w.Build(), platform::FileException);
  EXPECT_EQ(dir.Read("out.mtf"), "previous");
  for (const auto& e : platform::FindFiles("*.tmp*")) ADD_FAILURE() << "left behind: " << e.name;
}

TEST_F(MtfWriterFileTest, AFailedWriteLeavesNothingBehind) {
  MtfWriter w;
  w.Add("a.txt", "hello", MtfStorage::kAuto);
  EXPECT_THROW(w.Write("missing\\out.mtf"), platform::FileException);
  EXPECT_FALSE(dir.Exists("missing"));
}

}  // namespace
