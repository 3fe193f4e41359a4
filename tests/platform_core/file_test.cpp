#include "platform/core/file.h"
#include "platform/core/paths.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <unistd.h>
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

// Writes still in the stream's buffer land before the copied bytes, and
// both files read and write on from just after them.
TEST_F(FileTest, CopyFromKeepsBothStreamsInStep) {
  std::string source;
  for (int i = 0; i < 300000; ++i) source += static_cast<char>('a' + i % 26);
  dir.Write("source.bin", source);
  {
    File in("source.bin", File::modeRead);
    char skipped[7];
    ASSERT_EQ(in.Read(skipped, 7), 7u);  // the stream has read ahead of this
    File out("copy.bin", File::modeCreate | File::modeWrite | File::modeSafeSave);
    out.Write("head", 4);
    EXPECT_EQ(out.CopyFrom(in, 200000), 200000u);
    EXPECT_EQ(in.GetPosition(), 200007u);
    EXPECT_EQ(out.GetPosition(), 200004u);
    char next[3];
    ASSERT_EQ(in.Read(next, 3), 3u);
    out.Write(next, 3);
    // Asking past the end copies what is left.
    EXPECT_EQ(out.CopyFrom(in, 1000000), source.size() - 200010);
    EXPECT_EQ(out.CopyFrom(in, 10), 0u);
    out.Write("tail", 4);
    out.Close();
  }
  EXPECT_EQ(dir.Read("copy.bin"), "head" + source.substr(7) + "tail");
}

// Where the kernel will not copy between the two files (memory to disk
// here), the bytes go through a buffer, with the same result.
TEST_F(FileTest, CopyFromAnotherFileSystem) {
  const std::filesystem::path shm = "/dev/shm";
  const std::string source = std::filesystem::is_directory(shm)
                                 ? (shm / ("filetest-" + std::to_string(::getpid()))).string()
                                 : dir.Native("elsewhere.bin");
  std::string bytes;
  for (int i = 0; i < 3000000; ++i) bytes += static_cast<char>(i * 7 % 251);
  WriteWholeFile(source, bytes);
  {
    File in(source, File::modeRead);
    ASSERT_EQ(in.Seek(5, File::begin), 5u);
    File out("copy.bin", File::modeCreate | File::modeWrite);
    out.Write("<", 1);
    EXPECT_EQ(out.CopyFrom(in, bytes.size()), bytes.size() - 5);
    EXPECT_EQ(in.GetPosition(), bytes.size());
    out.Write(">", 1);
    out.Close();
  }
  std::filesystem::remove(source);
  EXPECT_EQ(dir.Read("copy.bin"), "<" + bytes.substr(5) + ">");
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
