#include "datafiles/mtf_archive.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "datafiles/common/crc32.h"
#include "platform/core/paths.h"
#include "platform/core/trace.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using archivefixture::ArchiveBuilder;
using archivefixture::LiteralStream;
using archivefixture::LzStream;
using archivefixture::PackedBlock;
using archivefixture::ToBytes;
using testsupport::Bytes;

namespace {

class MtfArchiveTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { MtfCloseAllArchives(); }
  void TearDown() override { MtfCloseAllArchives(); }

  void Mount(const char* name, const ArchiveBuilder& archive, int slot) {
    dir.Write(name, archive.Build());
    ASSERT_EQ(MtfOpenArchive(name, slot), 1) << name;
  }

  // The whole file as its size says, in one read; null gives "<null>".
  static std::string ReadAll(const char* path) {
    MtfFilePtr f(MtfOpen(path, "rb"));
    if (!f) return "<null>";
    if (MtfSeek(f.get(), 0, SEEK_END) != 0) return "<seek>";
    std::string out(static_cast<std::size_t>(MtfTell(f.get())), '\0');
    MtfSeek(f.get(), 0, SEEK_SET);
    out.resize(MtfRead(out.data(), 1, out.size(), f.get()));
    return out;
  }
};

// --- Which copy of a name opens -------------------------------------------

TEST_F(MtfArchiveTest, ArchiveEntryWinsUnlessAFolderNamedLikeTheArchiveIsBesideIt) {
  struct Case {
    const char* beside;  // what lies beside data.mtf
    bool isFolder;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, false, "entry"},
      {"data", true, "loose"},
      {"DATA", true, "loose"},
      {"Data", true, "loose"},
      {"data", false, "entry"},  // a plain file named "data" is not a developer tree
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.beside ? c.beside : "(nothing)");
    testsupport::TempDir scratch;
    MtfCloseAllArchives();
    scratch.Write("x.dat", "loose");
    if (c.beside) {
      if (c.isFolder) scratch.MakeDir(c.beside);
      else scratch.Write(c.beside, "not a folder");
    }
    scratch.Write("data.mtf", ArchiveBuilder().Stored("x.dat", "entry").Build());
    ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
    EXPECT_EQ(ReadAll("x.dat"), c.expected);
    EXPECT_EQ(ReadAll("only-loose.dat"), "<null>");
    MtfCloseAllArchives();
  }
}

TEST_F(MtfArchiveTest, LooseFileIsTheFallbackForNamesNoArchiveHolds) {
  Mount("data.mtf", ArchiveBuilder().Stored("data\\a.dat", "entry"), 0);
  dir.Write("data/b.dat", "loose b");
  EXPECT_EQ(ReadAll("data\\b.dat"), "loose b");
  platform::TraceCapture trace;
  EXPECT_EQ(MtfOpen("data\\missing.dat", "rb"), nullptr);
  EXPECT_EQ(trace.text(), "MTF ERROR OPENNING FILE data\\missing.dat\n");
}

TEST_F(MtfArchiveTest, LaterArchiveAndLaterRecordOverrideEarlierOnes) {
  Mount("data.mtf", ArchiveBuilder().Stored("a.dat", "base a").Stored("b.dat", "base b").Stored("b.dat", "base b2"), 0);
  Mount("qsp1.mtf", ArchiveBuilder().Stored("A.DAT", "patch a"), 1);
  EXPECT_EQ(ReadAll("a.dat"), "patch a");
  EXPECT_EQ(ReadAll("b.dat"), "base b2");
  EXPECT_EQ(MtfDirectoryCount(), 4u);
}

TEST_F(MtfArchiveTest, NamesMatchIgnoringCaseAndSeparators) {
  Mount("data.mtf", ArchiveBuilder().Stored("data\\text\\language.dat", "lang"), 0);
  dir.Write("Rozizuzi/Bank/K0001_Stone.TGA", "tga");
  EXPECT_EQ(ReadAll("DATA\\TEXT\\Language.Dat"), "lang");
  EXPECT_EQ(ReadAll("data/text/language.dat"), "lang");
  EXPECT_EQ(ReadAll("rozizuzi\\bank\\k0001_stone.tga"), "tga");
  EXPECT_EQ(ReadAll("ROZIZUZI/BANK//k0001_STONE.tga"), "tga");
}

TEST_F(MtfArchiveTest, DeveloperPrefixIsStripped) {
  Mount("data.mtf", ArchiveBuilder().Stored("data\\snd.dat", "sounds"), 0);
  dir.Write("foo.dat", "root foo");
  dir.MakeDir("sub");
  platform::TraceCapture trace;
  EXPECT_EQ(ReadAll("C:\\VREL\\KZT\\data\\snd.dat"), "sounds");
  EXPECT_TRUE(trace.Contains("CHANGING FILENAME C:\\VREL\\KZT\\data\\snd.dat data\\snd.dat\n"));
  // "c:\foo.dat" is looked up as "\foo.dat": the start directory's, wherever we are.
  ASSERT_TRUE(platform::ChangeDirectory(dir.Native("sub")));
  EXPECT_EQ(ReadAll("c:\\foo.dat"), "root foo");
  ASSERT_TRUE(platform::ChangeDirectory(dir.path()));
}

// --- Packed entries ---------------------------------------------------------

TEST_F(MtfArchiveTest, PackedEntriesUnpackWithEveryMagic) {
  Mount("data.mtf",
        ArchiveBuilder()
            .Packed("a.dat", "packed with AA", kMtfPackedMagicA)
            .Packed("e.dat", "packed with AE", kMtfPackedMagicE)
            .Packed("f.dat", "packed with AF", kMtfPackedMagicF)
            .Stored("s.dat", "stored"),
        0);
  platform::TraceCapture trace;
  EXPECT_EQ(ReadAll("a.dat"), "packed with AA");
  EXPECT_EQ(ReadAll("e.dat"), "packed with AE");
  EXPECT_EQ(ReadAll("f.dat"), "packed with AF");
  EXPECT_EQ(ReadAll("s.dat"), "stored");
  EXPECT_EQ(trace.text(), "");
}

TEST_F(MtfArchiveTest, BadCrcIsTracedAndTheDataStillReads) {
  const std::string text = "hello hello hello";
  const auto lz = LzStream().Literals("hello ").Ref(6, 11).End().bytes();
  const std::uint32_t good = Crc32Update(text.data(), text.size(), 0);
  Mount("data.mtf",
        ArchiveBuilder()
            .Raw("good.dat", PackedBlock(lz, good), static_cast<std::uint32_t>(text.size()))
            .Raw("bad.dat", PackedBlock(lz, good ^ 1), static_cast<std::uint32_t>(text.size())),
        0);
  platform::TraceCapture trace;
  EXPECT_EQ(ReadAll("good.dat"), text);
  EXPECT_EQ(trace.text(), "");
  EXPECT_EQ(ReadAll("Bad.dat"), text);
  EXPECT_EQ(trace.text(), "MTF ERROR CRC Bad.dat\n");
}

TEST_F(MtfArchiveTest, StreamEndingEarlyIsZeroFilledAndFailsItsCrc) {
  const std::string text = "abcdef";
  const auto lz = LzStream().Literals("abc").bytes();  // no end marker, three bytes short
  Mount("data.mtf",
        ArchiveBuilder().Raw("short.dat", PackedBlock(lz, Crc32Update(text.data(), 6, 0)), 6).Stored("next.dat", "NEXT"),
        0);
  platform::TraceCapture trace;
  EXPECT_EQ(ReadAll("short.dat"), std::string("abc\0\0\0", 6));
  EXPECT_EQ(trace.text(), "MTF ERROR CRC short.dat\n");
}

TEST_F(MtfArchiveTest, DamagedBlocksNeverDeliverBytesFromOutsideTheEntry) {
  // Block length 8: below the head; the entry reads as stored, within its size.
  Bytes shortHead;
  shortHead.u32(kMtfPackedMagicE).u32(8).str("tail");
  // Block length beyond the archive's end: what is there is unpacked, zero-filled.
  Bytes pastEnd;
  pastEnd.u32(kMtfPackedMagicA).u32(5000).u32(0).raw(LiteralStream("xyz"));
  Mount("data.mtf",
        ArchiveBuilder()
            .Raw("short.dat", shortHead.data(), 10)
            .Stored("secret.dat", "SECRET")
            .Raw("past.dat", pastEnd.data(), 5),
        0);
  platform::TraceCapture trace;
  const std::string shortBytes = ReadAll("short.dat");
  EXPECT_EQ(shortBytes, std::string(reinterpret_cast<const char*>(shortHead.data().data()), 10));
  EXPECT_TRUE(trace.Contains("MTF ERROR DAMAGED short.dat\n"));
  trace.Clear();
  EXPECT_EQ(ReadAll("past.dat"), std::string("xyz\0\0", 5));
  EXPECT_TRUE(trace.Contains("MTF ERROR DAMAGED past.dat\n"));
}

TEST_F(MtfArchiveTest, SizeNoBlockCouldHoldIsNotAllocated) {
  Mount("data.mtf",
        ArchiveBuilder().Raw("huge.dat", PackedBlock(LiteralStream("abc"), Crc32Update("abc", 3, 0)), 0xFFFFFFF0u), 0);
  platform::TraceCapture trace;
  MtfFilePtr f(MtfOpen("huge.dat", "rb"));
  ASSERT_TRUE(f);
  EXPECT_TRUE(trace.Contains("MTF ERROR DAMAGED huge.dat\n"));
  EXPECT_EQ(f->size, 3u);
  char buf[8] = {};
  EXPECT_EQ(MtfRead(buf, 1, sizeof buf, f.get()), 3u);
  EXPECT_EQ(std::string(buf, 3), "abc");
}

// --- Reading and seeking ----------------------------------------------------

TEST_F(MtfArchiveTest, SeekToTheEndThenTellGivesTheSize) {
  dir.Write("loose.dat", "123456789");
  Mount("data.mtf", ArchiveBuilder().Stored("stored.dat", "0123456789AB").Packed("packed.dat", "0123456"), 0);
  const struct {
    const char* name;
    long size;
    const char* tail;
  } cases[] = {{"stored.dat", 12, "9AB"}, {"packed.dat", 7, "456"}, {"loose.dat", 9, "789"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MtfFilePtr f(MtfOpen(c.name, "rb"));
    ASSERT_TRUE(f);
    EXPECT_EQ(MtfSeek(f.get(), 0, SEEK_END), 0);
    EXPECT_EQ(MtfTell(f.get()), c.size);
    EXPECT_EQ(MtfSeek(f.get(), -3, SEEK_END), 0);
    EXPECT_EQ(MtfTell(f.get()), c.size - 3);
    char b[3];
    ASSERT_EQ(MtfRead(b, 1, 3, f.get()), 3u);
    EXPECT_EQ(std::string(b, 3), c.tail);
  }
}

TEST_F(MtfArchiveTest, SeekOutsideTheEntryIsRefused) {
  Mount("data.mtf", ArchiveBuilder().Stored("stored.dat", "0123456789").Packed("packed.dat", "0123456789"), 0);
  for (const char* name : {"stored.dat", "packed.dat"}) {
    SCOPED_TRACE(name);
    MtfFilePtr f(MtfOpen(name, "rb"));
    ASSERT_TRUE(f);
    ASSERT_EQ(MtfSeek(f.get(), 4, SEEK_SET), 0);
    EXPECT_EQ(MtfSeek(f.get(), -5, SEEK_CUR), -1);
    EXPECT_EQ(MtfSeek(f.get(), 1, SEEK_END), -1);
    EXPECT_EQ(MtfSeek(f.get(), 11, SEEK_SET), -1);
    EXPECT_EQ(MtfSeek(f.get(), 0, 7), -1);
    EXPECT_EQ(MtfTell(f.get()), 4);  // a refused seek moves nothing
    EXPECT_EQ(MtfSeek(f.get(), 6, SEEK_CUR), 0);
    EXPECT_EQ(MtfTell(f.get()), 10);
  }
}

TEST_F(MtfArchiveTest, ReadPastTheEndDeliversOnlyWholeItemsOfTheEntry) {
  Mount("data.mtf", ArchiveBuilder().Stored("stored.dat", "0123456789").Stored("after.dat", "AFTER").Packed("packed.dat", "0123456789"), 0);
  const struct {
    const char* name;
    const char* trace;
  } cases[] = {{"stored.dat", "DEPASSEMENT MTF2\n"}, {"packed.dat", "DEPASSEMENT MTF1\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MtfFilePtr f(MtfOpen(c.name, "rb"));
    ASSERT_TRUE(f);
    ASSERT_EQ(MtfSeek(f.get(), 3, SEEK_SET), 0);
    platform::TraceCapture trace;
    char buf[16];
    std::memset(buf, '#', sizeof buf);
    // Seven bytes remain: two whole items of three.
    EXPECT_EQ(MtfRead(buf, 3, 4, f.get()), 2u);
    EXPECT_EQ(std::string(buf, sizeof buf), "345678##########");
    EXPECT_EQ(MtfTell(f.get()), 9);
    EXPECT_EQ(trace.text(), c.trace);
    EXPECT_EQ(MtfRead(buf, 1, 5, f.get()), 1u);
    EXPECT_EQ(buf[0], '9');
    EXPECT_EQ(MtfRead(buf, 1, 1, f.get()), 0u);
  }
}

TEST_F(MtfArchiveTest, AWholeFileIsReadByItsSizeWithoutATrace) {
  const std::string big(200000, 'b');  // larger than any chunk a reader might use
  Mount("data.mtf",
        ArchiveBuilder().Stored("stored.dat", big).Stored("empty.dat", "").Packed("packed.dat", "0123456789")
            .Stored("after.dat", "AFTER"),
        0);
  dir.Write("loose.dat", big + "loose");
  const struct {
    const char* name;
    std::string content;
  } cases[] = {{"stored.dat", big}, {"empty.dat", ""}, {"packed.dat", "0123456789"}, {"loose.dat", big + "loose"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MtfFilePtr f(MtfOpen(c.name, "rb"));
    ASSERT_TRUE(f);
    char skip[3];
    MtfRead(skip, 1, c.content.size() < 3 ? c.content.size() : 3, f.get());  // the whole file, wherever the handle is
    platform::TraceCapture trace;
    std::vector<std::uint8_t> bytes{'x'};
    EXPECT_TRUE(MtfReadWhole(f.get(), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.content);
    EXPECT_EQ(trace.text(), "");
  }
  std::vector<std::uint8_t> bytes{'x'};
  EXPECT_FALSE(MtfReadWhole(nullptr, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(MtfArchiveTest, AWholeReadStopsAtTheArchivesEnd) {
  // The directory claims 4 GiB for an entry of five bytes: no such buffer is
  // made, and the read says it came short.
  Mount("data.mtf", ArchiveBuilder().Raw("huge.dat", ToBytes("HUGE!"), 0xFFFFFFF0u), 0);
  MtfFilePtr f(MtfOpen("huge.dat", "rb"));
  ASSERT_TRUE(f);
  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(MtfReadWhole(f.get(), bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "HUGE!");
}

TEST_F(MtfArchiveTest, HandlesOfOneArchiveReadInTurnWithoutMixingUp) {
  Mount("data.mtf", ArchiveBuilder().Stored("a.dat", "aaaaAAAA").Stored("b.dat", "bbbbBBBB"), 0);
  MtfFilePtr a(MtfOpen("a.dat", "rb")), b(MtfOpen("b.dat", "rb")), a2(MtfOpen("a.dat", "rb"));
  ASSERT_TRUE(a && b && a2);
  char x[4];
  std::string got;
  for (MtfFile* f : {a.get(), b.get(), a.get(), a2.get(), b.get()}) {
    ASSERT_EQ(MtfRead(x, 4, 1, f), 1u);
    got.append(x, 4);
  }
  EXPECT_EQ(got, "aaaabbbbAAAAaaaaBBBB");
  ASSERT_EQ(MtfSeek(a.get(), 2, SEEK_SET), 0);
  ASSERT_EQ(MtfRead(x, 1, 4, a.get()), 4u);
  EXPECT_EQ(std::string(x, 4), "aaAA");
}

TEST_F(MtfArchiveTest, StoredEntryCutByTheArchiveEndReadsWhatIsThere) {
  Bytes archive;
  archive.u32(1).u32(6).cstr("a.dat").u32(4 + 4 + 6 + 8).u32(100).str("abc");
  dir.Write("data.mtf", archive.data());
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  MtfFilePtr f(MtfOpen("a.dat", "rb"));
  ASSERT_TRUE(f);
  char buf[100];
  EXPECT_EQ(MtfRead(buf, 1, 100, f.get()), 3u);
  EXPECT_EQ(MtfTell(f.get()), 3);
  EXPECT_EQ(MtfRead(buf, 1, 1, f.get()), 0u);
}

TEST_F(MtfArchiveTest, LooseFilesBehaveLikeTheCLibrary) {
  dir.Write("loose.dat", "abcdef");
  MtfFilePtr f(MtfOpen("LOOSE.DAT", "rb"));
  ASSERT_TRUE(f);
  EXPECT_NE(f->looseFile, nullptr);
  char buf[10];
  EXPECT_EQ(MtfRead(buf, 4, 2, f.get()), 1u);
  EXPECT_EQ(MtfSeek(f.get(), 1, SEEK_SET), 0);
  EXPECT_EQ(MtfRead(buf, 1, 2, f.get()), 2u);
  EXPECT_EQ(std::string(buf, 2), "bc");
  EXPECT_EQ(MtfTell(f.get()), 3);
  EXPECT_EQ(MtfClose(f.release()), 0);
}

// --- Directory searches -----------------------------------------------------

TEST_F(MtfArchiveTest, FindsListOneFolderLastMountedFirst) {
  Mount("data.mtf",
        ArchiveBuilder()
            .Stored("data\\custom\\meshes\\pillar.o3d", "1")
            .Stored("data\\custom\\meshes\\sub\\deep.o3d", "2")
            .Stored("data\\custom\\other\\x.o3d", "3")
            .Stored("data\\custom\\meshes\\notes.txt", "4")
            .Stored("data\\custom\\meshes\\arch.o3d", "5"),
        0);
  Mount("qsp1.mtf", ArchiveBuilder().Stored("DATA\\Custom\\Meshes\\Wall.O3D", "6"), 1);
  std::vector<std::string> found;
  const char* pattern = "data\\custom\\meshes\\*.o3d";
  for (const char* n = MtfFindFirst(pattern); n; n = MtfFindNext(pattern)) found.emplace_back(n);
  EXPECT_EQ(found, (std::vector<std::string>{"DATA\\Custom\\Meshes\\Wall.O3D", "data\\custom\\meshes\\arch.o3d",
                                             "data\\custom\\meshes\\pillar.o3d"}));
  EXPECT_EQ(MtfFindNext(pattern), nullptr);

  found.clear();
  for (const char* n = MtfFindFirst("data\\custom\\meshes\\*.*"); n; n = MtfFindNext("data\\custom\\meshes\\*.*"))
    found.emplace_back(n);
  EXPECT_EQ(found.size(), 4u);
  EXPECT_EQ(MtfFindFirst("data\\custom\\*.o3d"), nullptr);
  EXPECT_STREQ(MtfFindFirst("data\\custom\\meshes\\pil.o3"), "data\\custom\\meshes\\pillar.o3d");
}

TEST_F(MtfArchiveTest, MatchEntryTakesNamePrefixAndWholeExtension) {
  Mount("data.mtf",
        ArchiveBuilder()
            .Stored("DATA\\bankdatabase\\brimvault\\k0007_stone.tga", "")
            .Stored("DATA\\bankdatabase\\brimvault\\k0007_grass.tgax", "")
            .Stored("DATA\\bankdatabase\\k0008_sand.tga", ""),
        0);
  char out[260];
  EXPECT_EQ(MtfMatchEntry("data\\bankdatabase\\brimvault\\k0007_*.tga", out), 1);
  EXPECT_STREQ(out, "DATA\\bankdatabase\\brimvault\\k0007_stone.tga");
  EXPECT_EQ(MtfMatchEntry("data\\bankdatabase\\brimvault\\k0008_*.tga", out), 0);
  EXPECT_EQ(MtfMatchEntry("data\\bankdatabase\\brimvault\\k0007_*.tg", out), 0);
}

// --- Mounting ---------------------------------------------------------------

TEST_F(MtfArchiveTest, HostileDirectoriesAreRefusedAndChangeNothing) {
  Mount("data.mtf", ArchiveBuilder().Stored("good.dat", "good"), 0);
  const std::string longName(300, 'n');
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty file", Bytes()},
      {"count cut short", Bytes().u16(1)},
      {"huge count", Bytes().u32(0xFFFFFFFFu).u32(6).cstr("a.dat").u32(0).u32(0)},
      {"count beyond the records", Bytes().u32(2).u32(6).cstr("a.dat").u32(0).u32(0)},
      {"record cut in its name", Bytes().u32(1).u32(6).str("a.d")},
      {"record cut before its size", Bytes().u32(1).u32(6).cstr("a.dat").u32(0)},
      {"name length 0", Bytes().u32(1).u32(0).u32(0).u32(0).zeros(8)},
      {"name length 261", Bytes().u32(1).u32(261).fixed(longName, 261).u32(0).u32(0)},
      {"name length huge", Bytes().u32(1).u32(0x80000000u).str("a").zeros(20)},
      {"name without terminator", Bytes().u32(1).u32(5).str("a.dat").u32(0).u32(0)},
      {"second record damaged", Bytes().u32(2).u32(6).cstr("b.dat").u32(0).u32(0).u32(3).str("abc").u32(0).u32(0)},
  };
  int slot = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = "bad" + std::to_string(slot) + ".mtf";
    dir.Write(name, c.bytes.data());
    platform::TraceCapture trace;
    EXPECT_EQ(MtfOpenArchive(name.c_str(), slot), 0);
    EXPECT_EQ(trace.text(), "MTF ERROR DAMAGED ARCHIVE " + name + " in " + std::to_string(slot) + "\n");
    EXPECT_FALSE(MtfIsArchiveOpen(slot));
    EXPECT_EQ(MtfDirectoryCount(), 1u);
    EXPECT_EQ(ReadAll("good.dat"), "good");
    ++slot;
  }
}

TEST_F(MtfArchiveTest, MountRefusesMissingFilesTakenSlotsAndBadSlots) {
  platform::TraceCapture trace;
  EXPECT_EQ(MtfOpenArchive("nothere.mtf", 3), 0);
  EXPECT_EQ(trace.text(), "ERROR OPENING nothere.mtf in 3\n");
  Mount("data.mtf", ArchiveBuilder().Stored("a.dat", "a"), 0);
  dir.Write("other.mtf", ArchiveBuilder().Stored("a.dat", "other").Build());
  EXPECT_EQ(MtfOpenArchive("other.mtf", 0), 0);
  EXPECT_EQ(MtfOpenArchive("other.mtf", 32), 0);
  EXPECT_EQ(MtfOpenArchive("other.mtf", -1), 0);
  EXPECT_EQ(ReadAll("a.dat"), "a");
  EXPECT_EQ(MtfOpenArchive("other.mtf", 31), 1);
  EXPECT_TRUE(MtfIsArchiveOpen(31));
  EXPECT_EQ(ReadAll("a.dat"), "other");
}

TEST_F(MtfArchiveTest, CloseAllForgetsArchivesAndTheLooseFirstRule) {
  dir.MakeDir("data");
  dir.Write("x.dat", "loose");
  Mount("data.mtf", ArchiveBuilder().Stored("x.dat", "entry").Stored("y.dat", "y"), 0);
  EXPECT_EQ(ReadAll("x.dat"), "loose");
  MtfCloseAllArchives();
  EXPECT_FALSE(MtfIsArchiveOpen(0));
  EXPECT_EQ(MtfDirectoryCount(), 0u);
  EXPECT_EQ(ReadAll("y.dat"), "<null>");
  EXPECT_EQ(MtfFindFirst("*.*"), nullptr);
  // Without the folder this time: the entry wins again.
  std::filesystem::remove(dir.Native("data"));
  ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
  EXPECT_EQ(ReadAll("x.dat"), "entry");
}

TEST_F(MtfArchiveTest, EmptyArchiveMountsWithNoEntries) {
  Mount("data.mtf", ArchiveBuilder(), 0);
  EXPECT_TRUE(MtfIsArchiveOpen(0));
  EXPECT_EQ(MtfDirectoryCount(), 0u);
}

// --- UnpackBlock ------------------------------------------------------------

TEST(UnpackBlock, RefusesBlocksTooShortOrLongerThanGiven) {
  std::vector<std::uint8_t> out{1, 2, 3};
  const auto lz = LiteralStream("hi");
  auto block = PackedBlock(lz, 0);
  block.resize(block.size() - 4);  // the CRC word is not part of the block
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Case> bad = {
      {"empty", {}},
      {"head cut", std::vector<std::uint8_t>(block.begin(), block.begin() + 11)},
      {"length 8", Bytes().u32(kMtfPackedMagicA).u32(8).u32(0).raw(lz).data()},
      {"length 11", Bytes().u32(kMtfPackedMagicA).u32(11).u32(0).raw(lz).data()},
      {"length beyond", std::vector<std::uint8_t>(block.begin(), block.end() - 1)},
  };
  for (const Case& c : bad) {
    EXPECT_FALSE(UnpackBlock(c.bytes, 2, out)) << c.what;
    EXPECT_TRUE(out.empty()) << c.what;
  }
  ASSERT_TRUE(UnpackBlock(block, 2, out));
  EXPECT_EQ(out, ToBytes("hi"));
  ASSERT_TRUE(UnpackBlock(block, 5, out));
  EXPECT_EQ(out, ToBytes(std::string_view("hi\0\0\0", 5)));
}

}  // namespace
