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

// Bytes past the budget are not kept (the file is read instead); bytes taken
// still count, bytes of a save replaced before they were taken do not.
TEST_F(SaveBatchTest, KeptBytesStayWithinTheBudget) {
  SaveBatch batch(10);
  for (const char* name : {"a.dat", "b.dat", "c.dat", "d.dat"}) WriteWholeFile(name, std::string_view("x"));
  batch.Keep(ResolvePath("a.dat"), std::vector<std::uint8_t>(4, 'a'));
  batch.Keep(ResolvePath("b.dat"), std::vector<std::uint8_t>(5, 'b'));
  batch.Keep(ResolvePath("c.dat"), std::vector<std::uint8_t>(2, 'c'));  // 11: over
  batch.Keep(ResolvePath("d.dat"), std::vector<std::uint8_t>(1, 'd'));  // 10: fits
  EXPECT_EQ(batch.keptBytes(), 10u);
  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(batch.Take(ResolvePath("c.dat"), bytes));
  ASSERT_TRUE(batch.Take(ResolvePath("a.dat"), bytes));
  EXPECT_EQ(bytes.size(), 4u);
  EXPECT_EQ(batch.keptBytes(), 10u) << "the taker still holds them";
  // A later save of b drops its kept bytes, which makes room again.
  WriteWholeFile("b.dat", std::string_view("y"));
  EXPECT_EQ(batch.keptBytes(), 5u);
  batch.Keep(ResolvePath("c.dat"), std::vector<std::uint8_t>(5, 'c'));
  EXPECT_EQ(batch.keptBytes(), 10u);
  ASSERT_TRUE(batch.Take(ResolvePath("c.dat"), bytes));
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(5, 'c'));
  // Keeping a target again replaces what it kept.
  batch.Keep(ResolvePath("d.dat"), std::vector<std::uint8_t>(1, 'e'));
  EXPECT_EQ(batch.keptBytes(), 10u);
  batch.Commit();
  EXPECT_EQ(batch.keptBytes(), 0u);
  EXPECT_EQ(dir.Read("c.dat"), "x");
}

TEST_F(SaveBatchTest, BatchesTakeTheDefaultBudgetOfTheirOpening) {
  const std::size_t before = SaveBatch::SetDefaultKeepBudget(3);
  {
    SaveBatch batch;
    WriteWholeFile("a.dat", std::string_view("abcd"));
    batch.Keep(ResolvePath("a.dat"), {'a', 'b', 'c', 'd'});
    EXPECT_EQ(batch.keptBytes(), 0u);
  }
  EXPECT_EQ(SaveBatch::SetDefaultKeepBudget(before), 3u);
  EXPECT_EQ(before, SaveBatch::kDefaultKeepBudget);
  SaveBatch batch;
  WriteWholeFile("a.dat", std::string_view("abcd"));
  batch.Keep(ResolvePath("a.dat"), {'a', 'b', 'c', 'd'});
  EXPECT_EQ(batch.keptBytes(), 4u);
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
