// The mtfpack command, run as a user runs it.
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datafiles/common/crc32.h"
#include "datafiles/common/lz_unpack.h"
#include "support/bytes.h"
#include "support/temp_dir.h"
#include "tools/mtf/mtf_listing.h"

namespace {

struct CommandResult {
  int status = -1;
  std::string output;  // stdout and stderr
};

CommandResult Mtfpack(const std::string& args) {
  CommandResult r;
  const std::string cmd = std::string(MTFPACK_PATH) + " " + args + " 2>&1";
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) r.output.append(buf, n);
  const int st = ::pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

// An entry's bytes as a reader gets them (a packed one unpacked, its CRC checked).
std::string EntryBytes(const std::string& archive, const MtfListedEntry& e) {
  const auto* a = reinterpret_cast<const std::uint8_t*>(archive.data());
  if (!e.packed) return archive.substr(e.offset, e.size);
  const std::uint32_t blockLength = testsupport::ReadU32(a + e.offset + 4);
  std::vector<std::uint8_t> out;
  LzUnpack(std::span(a + e.offset + 12, blockLength - 12), out);
  EXPECT_EQ(Crc32Update(out.data(), out.size(), 0), testsupport::ReadU32(a + e.offset + blockLength)) << e.name;
  return std::string(out.begin(), out.end());
}

class MtfpackTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    dir.Write("src/Data/Text/language.dat", std::string(3000, 'L'));
    dir.Write("src/data/b.txt", "bee");
    dir.Write("src/a.bin", "\x01\x02\x03\x04\x05");
    dir.Write("src/Zeta.txt", "The last one, repeated. The last one, repeated. The last one, repeated.");
  }
};

TEST_F(MtfpackTest, PacksAFolderSortedIgnoringCase) {
  for (const char* mode : {"--pack", "--store", "--auto", ""}) {
    SCOPED_TRACE(mode);
    const CommandResult r = Mtfpack(std::string(mode) + " out.mtf src");
    ASSERT_EQ(r.status, 0) << r.output;
    const std::vector<MtfListedEntry> list = ListMtfArchive("out.mtf");
    std::vector<std::string> names;
    for (const auto& e : list) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a.bin", "data\\b.txt", "Data\\Text\\language.dat", "Zeta.txt"}));
    const std::string archive = dir.Read("out.mtf");
    for (const auto& e : list) {
      const std::string onDisk = dir.Read("src/" + [&] {
        std::string p = e.name;
        for (char& c : p) c = c == '\\' ? '/' : c;
        return p;
      }());
      EXPECT_EQ(EntryBytes(archive, e), onDisk) << e.name;
      if (std::string(mode) == "--pack") {
        EXPECT_TRUE(e.packed) << e.name;
      }
      if (std::string(mode) == "--store") {
        EXPECT_FALSE(e.packed) << e.name;
      }
    }
    if (std::string(mode) == "--auto") {
      EXPECT_TRUE(list[2].packed);   // 3000 equal bytes
      EXPECT_FALSE(list[0].packed);  // five bytes never shrink
    }
  }
}

TEST_F(MtfpackTest, ListsAnArchive) {
  ASSERT_EQ(Mtfpack("--auto out.mtf src").status, 0);
  const CommandResult r = Mtfpack("--list out.mtf");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("4 entries"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("packed      "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Data\\Text\\language.dat"), std::string::npos) << r.output;
}

TEST_F(MtfpackTest, LeavesItsOwnOutputOutOfTheArchive) {
  ASSERT_EQ(Mtfpack("out.mtf src").status, 0);
  ASSERT_EQ(Mtfpack("src/packed.mtf src").status, 0);
  ASSERT_EQ(Mtfpack("src/packed.mtf src").status, 0);
  EXPECT_EQ(ListMtfArchive("src/packed.mtf").size(), 4u);
  EXPECT_EQ(dir.Read("src/packed.mtf"), dir.Read("out.mtf"));
}

TEST_F(MtfpackTest, FailsClearly) {
  dir.Write("clash/readme.txt", "1");
  dir.Write("clash/README.TXT", "2");
  dir.Write("bad.mtf", std::string_view("\x05\0\0\0", 4));
  struct Case {
    const char* args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"out.mtf nowhere", 1, "nowhere is not a folder"},
      {"out.mtf clash", 1, "differ only in case"},
      {"missing/out.mtf src", 1, "cannot access"},
      {"--list bad.mtf", 1, "entry count 5"},
      {"--list none.mtf", 1, "cannot access"},
      {"--zip out.mtf src", 2, "usage"},
      {"out.mtf", 2, "usage"},
      {"--list", 2, "usage"},
  };
  for (const Case& c : cases) {
    const CommandResult r = Mtfpack(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << ": " << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << ": " << r.output;
  }
  EXPECT_FALSE(dir.Exists("out.mtf"));
}

}  // namespace
