// Saves held by a batch: nothing is visible until the commit, reads see what
// was saved, and a failure or an abandoned batch leaves the targets as they were.
#include "platform/core/save_batch.h"

#include <string>
#include <gtest/gtest.h>

#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "support/temp_dir.h"

using namespace platform;
using testsupport::TempDirTest;

namespace {

class SaveBatchTest : public TempDirTest {
 protected:
  void ExpectNoTemporaries() {
    for (const char* folder : {"*.tmp*", "sub\\*.tmp*"})
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
  batch.Keep(ResolvePath("a.dat"), {1, 2, 3});
  WriteWholeFile("a.dat", std::string_view("second"));
  ASSERT_EQ(batch.pending().size(), 1u);
  std::vector<std::uint8_t> kept;
  EXPECT_FALSE(batch.Take(ResolvePath("a.dat"), kept)) << "the kept bytes belonged to the first save";
  batch.Commit();
  EXPECT_EQ(dir.Read("a.dat"), "second");
  ExpectNoTemporaries();
}

TEST_F(SaveBatchTest, KeptBytesAreTakenOnce) {
  SaveBatch batch;
  WriteWholeFile("a.dat", std::string_view("abc"));
  EXPECT_EQ(batch.Find(ResolvePath("b.dat")), nullptr);
  batch.Keep(ResolvePath("b.dat"), {9});  // no such save: nothing kept
  batch.Keep(ResolvePath("a.dat"), {'a', 'b', 'c'});
  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(batch.Take(ResolvePath("b.dat"), bytes));
  ASSERT_TRUE(batch.Take(ResolvePath("a.dat"), bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 'b', 'c'}));
  EXPECT_FALSE(batch.Take(ResolvePath("a.dat"), bytes));
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

}  // namespace
