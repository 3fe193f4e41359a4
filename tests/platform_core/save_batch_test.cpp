// Saves held by a batch: nothing is visible until the commit, reads see what
// was saved, and a failure or an abandoned batch leaves the targets as they were.
#include "platform/core/save_batch.h"

#include <cerrno>
#include <string>
#include <vector>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "support/open_file_limit.h"
#include "support/temp_dir.h"
#include "system_call_faults.h"

using namespace platform;
using testsupport::OpenDescriptorCount;
using testsupport::ScopedOpenFileLimit;
using testsupport::SystemCallFaults;
using testsupport::TempDirTest;

namespace {

class SaveBatchTest : public TempDirTest {
 protected:
  // Replaced files wait under a temporary's name until they are freed.
  void ExpectNoTemporaries() {
    SaveBatch::WaitForReleasedFiles();
    for (const char* folder : {"*.tmp*", "sub\\*.tmp*", "store\\*.tmp*"})
      for (const auto& e : FindFiles(folder)) ADD_FAILURE() << "left behind: " << e.name;
  }
};

TEST_F(SaveBatchTest, SavesAppearOnlyAtTheCommitAndReadBackMeanwhile) {
  dir.Write("old.dat", "old");
  dir.MakeDir("sub");
  {
    SaveBatch batch;
    EXPECT_EQ(SaveBatch::Current(), &batch);
    WriteWholeFile("old.dat", std::string_view("new bytes"));
    WriteWholeFile("sub\\fresh.dat", std::string_view("fresh"));
    EXPECT_EQ(dir.Read("old.dat"), "old");
    EXPECT_FALSE(dir.Exists("sub/fresh.dat"));
    // Through the file layer, a pending save is what the file holds.
    EXPECT_EQ(ReadWholeFile("old.dat"), "new bytes");
    EXPECT_EQ(ReadWholeFile("sub\\fresh.dat"), "fresh");
    ASSERT_EQ(batch.pending().size(), 2u);
    EXPECT_EQ(batch.pending()[0].name, "old.dat");
    batch.Commit();
    EXPECT_TRUE(batch.pending().empty());
  }
  EXPECT_EQ(SaveBatch::Current(), nullptr);
  EXPECT_EQ(dir.Read("old.dat"), "new bytes");
  EXPECT_EQ(dir.Read("sub/fresh.dat"), "fresh");
  ExpectNoTemporaries();
}

TEST_F(SaveBatchTest, ABatchLeftUncommittedChangesNothing) {
  dir.Write("old.dat", "old");
  {
    SaveBatch batch;
    WriteWholeFile("old.dat", std::string_view("new"));
    WriteWholeFile("fresh.dat", std::string_view("fresh"));
  }
  EXPECT_EQ(dir.Read("old.dat"), "old");
  EXPECT_FALSE(dir.Exists("fresh.dat"));
  ExpectNoTemporaries();
}

TEST_F(SaveBatchTest, TheLastSaveOfATargetWins) {
  SaveBatch batch;
  WriteWholeFile("a.dat", std::string_view("first"));
  WriteWholeFile("a.dat", std::string_view("second"));
  ASSERT_EQ(batch.pending().size(), 1u);
  EXPECT_EQ(ReadWholeFile("a.dat"), "second");
  batch.Commit();
  EXPECT_EQ(dir.Read("a.dat"), "second");
  ExpectNoTemporaries();
}

TEST_F(SaveBatchTest, AFailedRenameNamesItsFileKeepsThoseBeforeAndDropsThoseAfter) {
  dir.Write("c.dat", "old c");
  dir.MakeDir("b.dat/inside");  // a folder stands where b goes
  SaveBatch batch;
  WriteWholeFile("a.dat", std::string_view("new a"));
  WriteWholeFile("b.dat", std::string_view("new b"));
  WriteWholeFile("c.dat", std::string_view("new c"));
  try {
    batch.Commit();
    ADD_FAILURE() << "the commit went through";
  } catch (const FileException& e) {
    EXPECT_EQ(e.path(), "b.dat");
    EXPECT_NE(e.cause(), kCauseNone);
  }
  EXPECT_EQ(dir.Read("a.dat"), "new a");
  EXPECT_TRUE(IsDirectory("b.dat"));
  EXPECT_EQ(dir.Read("c.dat"), "old c");
  EXPECT_TRUE(batch.pending().empty());
  ExpectNoTemporaries();
}

TEST_F(SaveBatchTest, SavesOutsideABatchArePutInPlaceAtOnce) {
  {
    SaveBatch batch;
  }
  WriteWholeFile("a.dat", std::string_view("now"));
  EXPECT_EQ(dir.Read("a.dat"), "now");
  ExpectNoTemporaries();
}

// A pending save holds no descriptor, and a commit that replaces files holds
// none of the old ones open: a batch of any size works within a low limit of
// open files.
TEST_F(SaveBatchTest, ThousandsOfSavesWorkWithinAFewDescriptors) {
  constexpr int kSaves = 3000;
  constexpr int kReplaced = 500;
  constexpr int kFolders = 30;  // a new file's name is looked up in its folder's listing
  auto name = [](int i) { return "d" + std::to_string(i % kFolders) + "/f" + std::to_string(i) + ".dat"; };
  for (int f = 0; f < kFolders; ++f) dir.MakeDir("d" + std::to_string(f));
  const int before = OpenDescriptorCount();
  ASSERT_LT(before, 40) << "the limit below would not be low";
  {
    ScopedOpenFileLimit limit(64);
    ASSERT_TRUE(limit.set());
    // The second batch replaces files of the first.
    for (const auto& [text, saves] : {std::pair{"first", kSaves}, std::pair{"second", kReplaced}}) {
      SaveBatch batch;
      try {
        for (int i = 0; i < saves; ++i) WriteWholeFile(name(i), std::string_view(text));
        batch.Commit();
      } catch (const FileException& e) {
        FAIL() << text << ": " << e.what() << " (cause " << e.cause() << ")";
      }
    }
    SaveBatch::WaitForReleasedFiles();
  }
  for (int i = 0; i < kSaves; ++i) ASSERT_EQ(dir.Read(name(i)), i < kReplaced ? "second" : "first") << i;
  EXPECT_EQ(OpenDescriptorCount(), before) << "every replaced file is released";
  for (int f = 0; f < kFolders; ++f) {
    for (const auto& e : FindFiles("d" + std::to_string(f) + "\\*.tmp*")) ADD_FAILURE() << "left behind: " << e.name;
  }
}

// Temporaries that a crash left beside a target ("<name>.tmp<n>", as the save
// layer names them) go when a later commit puts that target in place; files
// that merely look alike, and those of targets not saved, stay.
TEST_F(SaveBatchTest, ACommitRemovesTheStaleTemporariesOfItsOwnTargets) {
  dir.MakeDir("sub");
  const char* const stale[] = {"a.dat.tmp0", "a.dat.tmp42", "a.dat.tmp999999", "sub/b.dat.tmp17"};
  const char* const kept[] = {"a.dat.tmp",     "a.dat.tmp007",  "a.dat.tmp1234567", "a.dat.tmp12x", "a.dat.tmp-1",
                              "xa.dat.tmp12", "c.dat.tmp12",   "sub/a.dat.tmp12",  "a.dat.TMP12",  "a.dat.tmp12.txt"};
  for (const char* name : stale) dir.Write(name, "stale");
  for (const char* name : kept) dir.Write(name, "a user's");
  {
    SaveBatch batch;
    WriteWholeFile("a.dat", std::string_view("a"));
    WriteWholeFile("sub\\b.dat", std::string_view("b"));
    batch.Commit();
  }
  for (const char* name : stale) EXPECT_FALSE(dir.Exists(name)) << name;
  for (const char* name : kept) EXPECT_EQ(dir.Read(name), "a user's") << name;
  EXPECT_EQ(dir.Read("a.dat"), "a");
  EXPECT_EQ(dir.Read("sub/b.dat"), "b");
}

// What the user set on a file survives a batched save as it does a single
// one: a link still names the file it named, which holds what was saved, and
// the new file has the permissions of the one it replaced.
TEST_F(SaveBatchTest, BatchedSavesWriteThroughLinksAndKeepPermissions) {
  dir.Write("store/real.dat", "old");
  ASSERT_EQ(::symlink("store/real.dat", dir.Native("link.dat").c_str()), 0);
  dir.Write("private.dat", "old");
  ASSERT_EQ(::chmod(dir.Native("private.dat").c_str(), 0600), 0);
  {
    SaveBatch batch;
    WriteWholeFile("link.dat", std::string_view("through the link"));
    WriteWholeFile("private.dat", std::string_view("private"));
    // Either name of the pending file reads what was saved.
    EXPECT_EQ(ReadWholeFile("link.dat"), "through the link");
    EXPECT_EQ(ReadWholeFile("store\\real.dat"), "through the link");
    EXPECT_EQ(dir.Read("store/real.dat"), "old");
    batch.Commit();
  }
  struct stat st {};
  ASSERT_EQ(::lstat(dir.Native("link.dat").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(dir.Read("store/real.dat"), "through the link");
  ASSERT_EQ(::stat(dir.Native("private.dat").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(dir.Read("private.dat"), "private");
  ExpectNoTemporaries();
}

// This thread without the privilege to read and write any file, for the life
// of the object: a file's permissions then bind it as they bind a user.
class ScopedFileAccessAsItsPermissionsSay {
 public:
  ScopedFileAccessAsItsPermissionsSay() {
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct bound[2] = {saved_[0], saved_[1]};
    bound[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    set_ = ::syscall(SYS_capset, &header_, bound) == 0;
  }
  ~ScopedFileAccessAsItsPermissionsSay() {
    if (set_) ::syscall(SYS_capset, &header_, saved_);
  }
  ScopedFileAccessAsItsPermissionsSay(const ScopedFileAccessAsItsPermissionsSay&) = delete;
  ScopedFileAccessAsItsPermissionsSay& operator=(const ScopedFileAccessAsItsPermissionsSay&) = delete;

  bool set() const { return set_; }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2] = {};
  bool set_ = false;
};

// A file kept where its owner may write but not read comes back so, and a
// batch still puts it in place: its data is made durable with its file
// system's.
TEST_F(SaveBatchTest, AFileItsOwnerMayNotReadIsSavedAndKeptSo) {
  dir.Write("drop.dat", "old");
  ASSERT_EQ(::chmod(dir.Native("drop.dat").c_str(), 0200), 0);
  {
    ScopedFileAccessAsItsPermissionsSay bound;
    ASSERT_TRUE(bound.set() || ::geteuid() != 0);
    SaveBatch batch;
    WriteWholeFile("drop.dat", std::string_view("new"));
    EXPECT_NO_THROW(batch.Commit());
  }
  struct stat st {};
  ASSERT_EQ(::stat(dir.Native("drop.dat").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0200u);
  ASSERT_EQ(::chmod(dir.Native("drop.dat").c_str(), 0600), 0);
  EXPECT_EQ(dir.Read("drop.dat"), "new");
  ExpectNoTemporaries();
}

// A save whose file system cannot be told could not be made durable before
// its rename: it fails as a save that cannot be written does, and the rest
// of the batch goes on.
TEST_F(SaveBatchTest, ASaveWhoseFileSystemCannotBeToldFails) {
  dir.Write("a.dat", "old a");
  {
    SaveBatch batch;
    WriteWholeFile("b.dat", std::string_view("new b"));
    {
      SystemCallFaults faults;
      faults.FailStatOfTemporaries("a.dat", EIO);
      try {
        WriteWholeFile("a.dat", std::string_view("new a"));
        ADD_FAILURE() << "the save went through";
      } catch (const FileException& e) {
        EXPECT_EQ(e.path(), "a.dat");
        EXPECT_EQ(e.cause(), kCauseHardIO);
      }
    }
    ASSERT_EQ(batch.pending().size(), 1u);
    EXPECT_EQ(batch.pending()[0].name, "b.dat");
    EXPECT_EQ(ReadWholeFile("a.dat"), "old a");
    batch.Commit();
  }
  EXPECT_EQ(dir.Read("a.dat"), "old a");
  EXPECT_EQ(dir.Read("b.dat"), "new b");
  ExpectNoTemporaries();
}

// The previous versions wait for their removal under names relative to the
// folder that was current at the commit; the removal comes later, when
// another folder may be current, and still takes those files and no other.
TEST_F(SaveBatchTest, ReplacedFilesAreRemovedWhereverTheCurrentFolderIsByThen) {
  dir.Write("a.dat", "old a");
  dir.Write("sub/b.dat", "old b");
  dir.MakeDir("elsewhere/sub");
  std::vector<std::string> waiting;
  {
    SystemCallFaults faults;
    faults.HoldUnlinksOfOtherThreads();
    {
      SaveBatch batch;
      WriteWholeFile("a.dat", std::string_view("new a"));
      WriteWholeFile("sub\\b.dat", std::string_view("new b"));
      batch.Commit();
    }
    for (const char* folder : {"", "sub/"}) {
      for (const auto& e : FindFiles(std::string(folder) + "*.tmp*")) waiting.push_back(folder + e.name);
    }
    ASSERT_EQ(waiting.size(), 2u) << "the previous versions wait for their removal";
    // Files of the same names in the folder that is current by then.
    for (const std::string& name : waiting) dir.Write("elsewhere/" + name, "not to be removed");
    ASSERT_TRUE(ChangeDirectory(dir.Native("elsewhere")));
    faults.LetUnlinksGo();
    SaveBatch::WaitForReleasedFiles();
    ASSERT_TRUE(ChangeDirectory(dir.path()));
  }
  for (const std::string& name : waiting) {
    EXPECT_FALSE(dir.Exists(name)) << name;
    EXPECT_EQ(dir.Read("elsewhere/" + name), "not to be removed") << name;
  }
  EXPECT_EQ(dir.Read("a.dat"), "new a");
  EXPECT_EQ(dir.Read("sub/b.dat"), "new b");
}

// A previous version still waiting for its removal is no stale temporary: a
// later commit of the same file leaves it to the removal.
TEST_F(SaveBatchTest, APreviousVersionWaitingForItsRemovalIsLeftToIt) {
  dir.Write("a.dat", "first");
  SystemCallFaults faults;
  faults.HoldUnlinksOfOtherThreads();
  {
    SaveBatch batch;
    WriteWholeFile("a.dat", std::string_view("second"));
    batch.Commit();
  }
  const std::vector<FindEntry> waiting = FindFiles("a.dat.tmp*");
  ASSERT_EQ(waiting.size(), 1u);
  {
    SaveBatch batch;
    WriteWholeFile("a.dat", std::string_view("third"));
    batch.Commit();
  }
  EXPECT_EQ(dir.Read(waiting[0].name), "first");
  faults.LetUnlinksGo();
  SaveBatch::WaitForReleasedFiles();
  EXPECT_EQ(dir.Read("a.dat"), "third");
  ExpectNoTemporaries();
}

// Only the save layer's own form of name counts as one of its temporaries.
TEST(SafeSaveTemporaryName, IsTheTargetAndANumber) {
  struct Case {
    const char* name;
    bool temporary;
  };
  const Case cases[] = {
      {"room.cdf.tmp0", true},      {"room.cdf.tmp5", true},    {"room.cdf.tmp999999", true},
      {"x.tmp12", true},            {".tmp12", false},          {"room.cdf.tmp", false},
      {"room.cdf.tmp01", false},    {"room.cdf.tmp1000000", false}, {"room.cdf.tmp12a", false},
      {"room.cdf.tmp+1", false},    {"room.cdf.TMP1", false},   {"room.tmp1.cdf", false},
      {"", false},                  {"tmp1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSafeSaveTemporaryName(c.name), c.temporary) << c.name;
  EXPECT_EQ(SafeSaveTemporaryTarget("room.cdf.tmp12"), "room.cdf");
  EXPECT_EQ(SafeSaveTemporaryTarget("/q/a.tmp1.tmp2"), "/q/a.tmp1");
  EXPECT_EQ(SafeSaveTemporaryTarget("/q/.tmp2"), "");
  EXPECT_EQ(SafeSaveTemporaryTarget(SafeSaveTemporaryName("/q/room.cdf", 4242)), "/q/room.cdf");
}

}  // namespace
