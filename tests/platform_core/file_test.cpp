#include "platform/core/file.h"
#include "platform/core/paths.h"

#include <cerrno>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace platform;
using testsupport::TempDirTest;

namespace {

class FileTest : public TempDirTest {};

TEST_F(FileTest, OpenErrorsCarryTheCauseNumber) {
  dir.MakeDir("folder");
  struct Case { const char* path; unsigned flags; int cause; };
  const Case cases[] = {
      {"missing.dat", File::modeRead, kCauseFileNotFound},
      {"nofolder\\x.dat", File::modeCreate | File::modeWrite, kCauseFileNotFound},
      {"folder", File::modeRead, kCauseAccessDenied},
  };
  for (const Case& c : cases) {
    FileException err(0, 0, {});
    File f;
    EXPECT_FALSE(f.Open(c.path, c.flags, &err)) << c.path;
    EXPECT_EQ(err.cause(), c.cause) << c.path;
    EXPECT_EQ(err.path(), c.path);
  }
  EXPECT_THROW(File("missing.dat", File::modeRead), FileException);
}

TEST_F(FileTest, ErrnoTableCoversTheCommonCauses) {
  EXPECT_EQ(CauseFromErrno(ENOENT), kCauseFileNotFound);
  EXPECT_EQ(CauseFromErrno(EACCES), kCauseAccessDenied);
  EXPECT_EQ(CauseFromErrno(ENOSPC), kCauseDiskFull);
  EXPECT_EQ(CauseFromErrno(EMFILE), kCauseTooManyOpenFiles);
  EXPECT_EQ(CauseFromErrno(12345), kCauseGeneric);
}

TEST_F(FileTest, ShortReadAtTheEndAndSeekFromEnd) {
  dir.Write("Five.bin", "12345");
  File f("five.BIN", File::modeRead);
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 3), 3u);
  EXPECT_EQ(f.Read(buf, 8), 2u);
  EXPECT_EQ(std::string(buf, 2), "45");
  EXPECT_EQ(f.Read(buf, 8), 0u);
  EXPECT_EQ(f.Seek(-1, File::end), 4u);
  EXPECT_EQ(f.GetLength(), 5u);
}

TEST_F(FileTest, SafeSaveReplacesOnlyWhenClosed) {
  dir.Write("quest.qst", "old");
  {
    File f("quest.qst", File::modeCreate | File::modeWrite | File::modeSafeSave);
    f.Write("new contents", 12);
    EXPECT_EQ(dir.Read("quest.qst"), "old");  // nothing visible before the commit
    f.Close();
  }
  EXPECT_EQ(dir.Read("quest.qst"), "new contents");
  {
    File f("quest.qst", File::modeCreate | File::modeWrite | File::modeSafeSave);
    f.Write("half", 4);
    // Dropped without Close, as after an exception.
  }
  EXPECT_EQ(dir.Read("quest.qst"), "new contents");
  auto left = FindFiles("*");
  ASSERT_EQ(left.size(), 1u) << "no temporary file may stay behind";
}

TEST_F(FileTest, CreatedFileReusesTheNameOfACaseVariant) {
  dir.Write("Mesh.O3D", "old");
  WriteWholeFile("mesh.o3d", std::string_view("new"));
  EXPECT_EQ(dir.Read("Mesh.O3D"), "new");
  EXPECT_FALSE(dir.Exists("mesh.o3d"));
  EXPECT_EQ(ReadWholeFile("MESH.o3d"), "new");
}

TEST_F(FileTest, CFileOpensIgnoringCase) {
  dir.Write("Data/Snd.DAT", "abc");
  std::FILE* f = OpenCFile("data\\snd.dat", "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_EQ(OpenCFile("data", "rb"), nullptr);
}

}  // namespace
