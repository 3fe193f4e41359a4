#include "meshedit/core/mtf_file.h"

#include <gtest/gtest.h>

#include "meshedit/core/file_find.h"
#include "meshedit/core/path_names.h"
#include "mtf_builder.h"
#include "support/temp_dir.h"

using namespace pavix;
using namespace pavixtest;

namespace {

std::string ReadAll(MtfFile* f) {
  std::string s(f->size, '\0');
  const std::size_t n = MtfRead(s.data(), 1, s.size(), f);
  s.resize(n);
  return s;
}

class MtfFileTest : public testsupport::TempDirTest {
 protected:
  ~MtfFileTest() override { MtfCloseArchive(0); }
  void Mount(const std::vector<Entry>& entries) {
    const std::vector<std::uint8_t> bytes = Archive(entries);
    dir.Write("DATA.MTF", bytes);
    ASSERT_EQ(MtfOpenArchive("DATA.MTF", 0), 1);
  }
};

TEST_F(MtfFileTest, LooseFileComesBeforeTheArchiveEntry) {
  Mount({{"DATA\\x.SHP", Text("archive"), 7}, {"DATA\\only.SHP", Text("entry"), 5}});
  dir.Write("data/x.shp", "loose");
  MtfFilePtr f(MtfOpen("DATA\\x.SHP", "rb"));
  ASSERT_TRUE(f);
  EXPECT_EQ(ReadAll(f.get()), "loose");
  MtfFilePtr g(MtfOpen("data/ONLY.shp", "rb"));  // names ignore case and separator
  ASSERT_TRUE(g);
  EXPECT_EQ(ReadAll(g.get()), "entry");
  EXPECT_EQ(MtfOpen("DATA\\none.SHP", "rb"), nullptr);
}

TEST_F(MtfFileTest, PackedEntriesAreUnpackedWhateverTheLowMagicBits) {
  const std::vector<std::uint8_t> content = Text("a packed entry that spans more than eight literals");
  Mount({{"a.dat", PackedBlock(content, 0x0BADBEA3), static_cast<std::uint32_t>(content.size())},
         {"b.dat", PackedBlock(content, 0x0BADBEAF, false), static_cast<std::uint32_t>(content.size())}});
  MtfFilePtr a(MtfFind("A.DAT"));
  ASSERT_TRUE(a);
  EXPECT_EQ(ReadAll(a.get()), std::string(content.begin(), content.end()));
  // A CRC that does not match is not looked at.
  MtfFilePtr b(MtfFind("b.dat"));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->size, content.size());
}

TEST_F(MtfFileTest, DamagedEntriesNeverReadOutsideTheirData) {
  testsupport::Bytes shortBlock;
  shortBlock.u32(0x0BADBEAA).u32(8).u32(0);
  testsupport::Bytes longBlock;
  longBlock.u32(0x0BADBEAA).u32(5000).u32(0);
  const std::vector<std::uint8_t> content = Text("xyz");
  Mount({{"short.dat", shortBlock.data(), 100},
         {"past.dat", longBlock.data(), 100},
         {"bigger.dat", Text("abc"), 4000},
         {"claims.dat", PackedBlock(content), 1000}});
  MtfFilePtr s(MtfFind("short.dat"));  // a block of 8 bytes or less holds nothing
  ASSERT_TRUE(s);
  EXPECT_EQ(s->size, 0u);
  EXPECT_EQ(MtfFind("past.dat"), nullptr);
  EXPECT_EQ(MtfFind("bigger.dat"), nullptr);
  MtfFilePtr c(MtfFind("claims.dat"));  // unpacks to less than its stated size
  ASSERT_TRUE(c);
  EXPECT_EQ(ReadAll(c.get()), "xyz");
}

TEST_F(MtfFileTest, ArchivesWhoseDirectoryDoesNotFitAreRefused) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  testsupport::Bytes huge, unterminated, longName, truncated;
  huge.u32(0x10000000).zeros(20);
  unterminated.u32(1).u32(3).str("abc").u32(0).u32(0);
  longName.u32(1).u32(300).fixed("x", 300).u32(0).u32(0);
  truncated.u32(2).u32(2).cstr("a").u32(0).u32(0);
  const Case cases[] = {{"count", huge.data()},
                        {"unterminated", unterminated.data()},
                        {"long name", longName.data()},
                        {"truncated", truncated.data()},
                        {"empty", {}}};
  for (const Case& c : cases) {
    dir.Write("BAD.MTF", c.bytes);
    EXPECT_EQ(MtfOpenArchive("BAD.MTF", 0), 0) << c.what;
    EXPECT_EQ(MtfDirectoryCount(), 0u) << c.what;
  }
  EXPECT_EQ(MtfOpenArchive("missing.mtf", 0), 0);
  EXPECT_EQ(MtfOpenArchive("BAD.MTF", 1), 0);  // one slot only
}

TEST_F(MtfFileTest, ClosingTheArchiveForgetsItsEntries) {
  Mount({{"a.dat", Text("1"), 1}});
  EXPECT_EQ(MtfDirectoryCount(), 1u);
  MtfCloseArchive(0);
  EXPECT_EQ(MtfDirectoryCount(), 0u);
  EXPECT_EQ(MtfFind("a.dat"), nullptr);
}

TEST_F(MtfFileTest, ReadsCopyWholeItemsUpToTheEnd) {
  dir.Write("six.bin", "abcdef");
  MtfFilePtr f(MtfOpen("six.bin", "rb"));
  ASSERT_TRUE(f);
  char buf[16] = {};
  EXPECT_EQ(MtfRead(buf, 4, 10, f.get()), 1u);
  EXPECT_EQ(std::string(buf, 4), "abcd");
  EXPECT_EQ(MtfRead(buf, 4, 1, f.get()), 0u);
  EXPECT_EQ(MtfRead(buf, 1, 5, f.get()), 2u);
  EXPECT_EQ(std::string(buf, 2), "ef");
  EXPECT_EQ(MtfRead(buf, 1, 1, f.get()), 0u);
}

TEST_F(MtfFileTest, WriteModeGivesAStreamHandle) {
  MtfFilePtr f(MtfOpen("out.bin", "wb"));
  ASSERT_TRUE(f);
  ASSERT_NE(f->stream, nullptr);
  char c;
  EXPECT_EQ(MtfRead(&c, 1, 1, f.get()), 0u);
  std::fputs("hi", f->stream);
  f.reset();
  EXPECT_EQ(dir.Read("out.bin"), "hi");
}

TEST_F(MtfFileTest, FindLooksAtLooseFilesBeforeTheArchive) {
  Mount({{"DATA\\BANKDATABASE\\BRIMVAULT\\k0012_stone.tga", Text("t"), 1},
         {"DATA\\BANKDATABASE\\BRIMVAULT\\k0013_wood.tga", Text("w"), 1},
         {"DATA\\other\\k0012_x.tga", Text("o"), 1}});
  std::string path;
  ASSERT_TRUE(FindFile("DATA\\BANKDATABASE\\BRIMVAULT\\K0012_*.TGA", path));
  EXPECT_EQ(path, "DATA\\BANKDATABASE\\BRIMVAULT\\k0012_stone.tga");
  dir.Write("data/bankdatabase/brimvault/K0012_loose.TGA", "l");
  ASSERT_TRUE(FindFile("DATA\\BANKDATABASE\\BRIMVAULT\\K0012_*.TGA", path));
  EXPECT_EQ(path, "DATA\\BANKDATABASE\\BRIMVAULT\\K0012_loose.TGA");

  FindData data;
  FindHandle f = OpenFind("data\\bankdatabase\\brimvault\\k0013*.*", data);
  ASSERT_TRUE(f);
  EXPECT_FALSE(f->looseFind);
  EXPECT_EQ(data.name, "k0013_wood.tga");
  EXPECT_EQ(data.size, 1u);
  EXPECT_FALSE(OpenFind("DATA\\BANKDATABASE\\BRIMVAULT\\K0099_*.TGA", data));
  EXPECT_FALSE(FindFile("DATA\\K0012_*.TGA", path));  // the folder must match
}

TEST_F(MtfFileTest, ArchiveFindWalksFromTheCursorDownwards) {
  Mount({{"m\\a1.o3d", Text("1"), 1}, {"m\\a2.o3d", Text("2"), 1}, {"m\\b.o3d", Text("3"), 1}});
  FindObject find;
  find.pattern = "m\\a*.o3d";
  FindData data;
  ASSERT_TRUE(MtfFindEntry(find, data));
  EXPECT_EQ(data.name, "a2.o3d");
  --find.cursor;
  ASSERT_TRUE(MtfFindEntry(find, data));
  EXPECT_EQ(data.name, "a1.o3d");
}

TEST(PathNames, ExtensionAndBaseName) {
  EXPECT_EQ(ReplaceExtension("a\\b.txt", ".O3D"), "a\\b.O3D");
  EXPECT_EQ(ReplaceExtension("c:\\x\\mesh", ".SHP"), "c:\\x\\mesh.SHP");
  EXPECT_EQ(ReplaceExtension("dat\\sfx\\sfx12", ".SHP"), "dat\\sfx\\sfx12.SHP");
  EXPECT_EQ(GetBaseName("rozizuzi\\customMeshes\\box.o3d"), "box");
  EXPECT_EQ(GetBaseName("box"), "box");
}

}  // namespace
