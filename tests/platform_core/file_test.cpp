#include "platform/core/file.h"
#include "platform/core/paths.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace platform;
using testsupport::TempDirTest;

namespace {

class FileTest : public TempDirTest {
 protected:
  static void Save(std::string_view path, std::string_view bytes) {
    File f(path, File::modeCreate | File::modeWrite | File::modeSafeSave);
    f.Write(bytes.data(), bytes.size());
    f.Close();
  }
  // Permission bits; 0 when the file is missing.
  unsigned Mode(std::string_view rel) const {
    struct stat st {};
    return ::stat(dir.Native(rel).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
  void Link(std::string_view rel, const std::string& target) const {
    ASSERT_EQ(::symlink(target.c_str(), dir.Native(rel).c_str()), 0) << rel;
  }
  // What the link names, or "<not a link>".
  std::string LinkText(std::string_view rel) const {
    char text[4096];
    const ssize_t n = ::readlink(dir.Native(rel).c_str(), text, sizeof text);
    return n < 0 ? "<not a link>" : std::string(text, static_cast<std::size_t>(n));
  }
  void ExpectNoTemporaries() const {
    for (const char* folder : {"*.tmp*", "sub\\*.tmp*", "store\\*.tmp*"})
      for (const auto& e : FindFiles(folder)) ADD_FAILURE() << "left behind: " << e.name;
  }
};

// The umask for the life of the object.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : saved_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(saved_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t saved_;
};

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

// A save through a symbolic link writes the file the link names, however the
// link names it; the link stays as it was.
TEST_F(FileTest, SafeSaveWritesThroughLinks) {
  dir.MakeDir("sub");
  dir.Write("store/a.qst", "old");
  dir.Write("store/b.qst", "old");
  dir.Write("store/c.qst", "old");
  dir.Write("store/d.qst", "old");
  struct LinkMade {
    const char* name;
    std::string target;
  };
  struct Case {
    const char* what;
    std::vector<LinkMade> links;
    const char* saved;    // the name the save is given
    const char* written;  // the file that must hold what was saved
  };
  const Case cases[] = {
      {"a link", {{"a.qst", "store/a.qst"}}, "a.qst", "store/a.qst"},
      {"a chain, the last link absolute",
       {{"b1.qst", "b2.qst"}, {"b2.qst", dir.Native("store/b.qst")}}, "b1.qst", "store/b.qst"},
      {"a relative target, from the link's own folder", {{"sub/c.qst", "../store/c.qst"}}, "sub\\c.qst", "store/c.qst"},
      {"a link named in another case", {{"D.QST", "store/d.qst"}}, "d.qst", "store/d.qst"},
      {"a link to a file not yet made", {{"e.qst", "store/e.qst"}}, "e.qst", "store/e.qst"},
  };
  for (const Case& c : cases) {
    for (const LinkMade& l : c.links) Link(l.name, l.target);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NO_THROW(Save(c.saved, c.what));
    EXPECT_EQ(dir.Read(c.written), c.what);
    for (const LinkMade& l : c.links) EXPECT_EQ(LinkText(l.name), l.target) << l.name;
  }
  EXPECT_FALSE(dir.Exists("d.qst")) << "no second spelling beside the link";
  ExpectNoTemporaries();
}

// Links that lead back to themselves name no file: the save fails and the
// links stay.
TEST_F(FileTest, SafeSaveThroughALoopOfLinksFails) {
  Link("loop1.qst", "loop2.qst");
  Link("loop2.qst", "loop1.qst");
  FileException err(kCauseNone, 0, {});
  File f;
  EXPECT_FALSE(f.Open("loop1.qst", File::modeCreate | File::modeWrite | File::modeSafeSave, &err));
  EXPECT_EQ(err.cause(), kCauseBadPath);
  EXPECT_EQ(err.osError(), ELOOP);
  EXPECT_EQ(LinkText("loop1.qst"), "loop2.qst");
  EXPECT_EQ(LinkText("loop2.qst"), "loop1.qst");
  ExpectNoTemporaries();
}

// The new file has the permissions of the file it replaces (through a link,
// of the file the link names); a file made new has those the umask leaves.
TEST_F(FileTest, SafeSaveKeepsThePermissionsOfTheFileItReplaces) {
  const ScopedUmask umask(022);
  struct Case {
    const char* name;
    unsigned mode;
  };
  const Case cases[] = {{"private.qst", 0600}, {"group.qst", 0660}, {"readonly.qst", 0444}, {"odd.qst", 0751}};
  for (const Case& c : cases) {
    dir.Write(c.name, "old");
    ASSERT_EQ(::chmod(dir.Native(c.name).c_str(), c.mode), 0);
    EXPECT_NO_THROW(Save(c.name, "new"));
    EXPECT_EQ(Mode(c.name), c.mode) << c.name;
    EXPECT_EQ(dir.Read(c.name), "new") << c.name;
  }
  dir.Write("store/private.qst", "old");
  ASSERT_EQ(::chmod(dir.Native("store/private.qst").c_str(), 0600), 0);
  Link("linked.qst", "store/private.qst");
  Save("linked.qst", "new");
  EXPECT_EQ(Mode("store/private.qst"), 0600u);
  EXPECT_EQ(dir.Read("store/private.qst"), "new");

  Save("fresh.qst", "new");
  EXPECT_EQ(Mode("fresh.qst"), 0644u);
  {
    const ScopedUmask strict(077);
    Save("strict.qst", "new");
  }
  EXPECT_EQ(Mode("strict.qst"), 0600u);
  ExpectNoTemporaries();
}

// While a private file's new contents are written, nobody else can read them.
TEST_F(FileTest, SafeSaveOfAPrivateFileIsPrivateWhileItIsWritten) {
  const ScopedUmask umask(022);
  dir.Write("private.qst", "old");
  ASSERT_EQ(::chmod(dir.Native("private.qst").c_str(), 0600), 0);
  File f("private.qst", File::modeCreate | File::modeWrite | File::modeSafeSave);
  f.Write("secret", 6);
  const std::vector<FindEntry> temporaries = FindFiles("private.qst.tmp*");
  ASSERT_EQ(temporaries.size(), 1u);
  EXPECT_EQ(Mode(temporaries[0].name) & 077, 0u);
  f.Close();
  EXPECT_EQ(Mode("private.qst"), 0600u);
}

// Owner and group come along where the process may give them: here, where
// it may give any.
TEST_F(FileTest, SafeSaveKeepsTheOwnerAndGroupWhereItMay) {
  if (::geteuid() != 0) GTEST_SKIP() << "only a privileged process may give a file to another user";
  dir.Write("theirs.qst", "old");
  ASSERT_EQ(::chown(dir.Native("theirs.qst").c_str(), 4321, 8765), 0);
  ASSERT_EQ(::chmod(dir.Native("theirs.qst").c_str(), 02640), 0);
  Save("theirs.qst", "new");
  struct stat st {};
  ASSERT_EQ(::stat(dir.Native("theirs.qst").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 8765u);
  EXPECT_EQ(st.st_mode & 07777, 02640u) << "the set-group bit survives the change of owner";
  EXPECT_EQ(dir.Read("theirs.qst"), "new");
}

}  // namespace
