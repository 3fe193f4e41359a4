// Packing a quest's folder into its package: what stops it, and what it leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "doc_fixture.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/save_batch.h"

namespace {

class PackQuestTest : public questtest::DocTest {
 protected:
  PackQuestTest() {
    doc.SetTitle("small.qst");
    doc.SetPathName("small.qst");
    doc.OnNewDocument();
    ui.boxes.clear();
    dir.Write("data/customQuest/small/quest0.spt", "STATE 0 {}\r\n");
  }
};

TEST_F(PackQuestTest, FailuresSayWhatStoppedThemAndLeaveNoPackage) {
  const struct {
    const char* what;
    std::function<void(testsupport::TempDir&)> fault;
    const char* box;  // null: the package is made
  } cases[] = {
      {"nothing wrong", [](testsupport::TempDir&) {}, nullptr},
      // Listed in the folder, but its target is gone.
      {"a file that will not open",
       [](testsupport::TempDir& d) {
         std::filesystem::create_symlink(d.Native("nowhere.dat"), d.Native("data/customQuest/small/lost.dat"));
       },
       "Can't open file data\\customQuest\\lost.dat, error = 2\n"},
      {"the output folder is a file", [](testsupport::TempDir& d) { d.Write("quest", "not a folder"); },
       "Can't open file quest\\small.mtf, error = 3\n"},
      {"a folder stands where the package goes", [](testsupport::TempDir& d) { d.MakeDir("quest/small.mtf/inside"); },
       "Can't open file quest\\small.mtf, error = 5\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir.Native("quest"));
    std::filesystem::remove(dir.Native("data/customQuest/small/lost.dat"));
    ui.boxes.clear();
    c.fault(dir);
    platform::CreateDirectory("quest");
    const int packed = doc.PackQuest("quest", "small");
    EXPECT_EQ(packed, c.box ? 0 : 1);
    if (c.box) {
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.box});
    } else {
      EXPECT_TRUE(BoxTexts().empty());
    }
    EXPECT_EQ(std::filesystem::is_regular_file(dir.Native("quest/small.mtf")), !c.box);
    if (std::filesystem::is_directory(dir.Native("quest"))) {
      for (const auto& e : platform::FindFiles("quest\\*.tmp*")) ADD_FAILURE() << "left behind: " << e.name;
    }
  }
}

TEST_F(PackQuestTest, SavesStillPendingArePackedAsSavedAndAppearWithThePackage) {
  dir.Write("data/customQuest/small/old.cdf", "on disk");
  platform::CreateDirectory("quest");
  {
    platform::SaveBatch batch;
    platform::WriteWholeFile("data\\customQuest\\small\\new.cdf", std::string_view("pending"));
    platform::WriteWholeFile("data\\customQuest\\small\\old.cdf", std::string_view("replaced"));
    ASSERT_EQ(doc.PackQuest("quest", "small"), 1) << ::testing::PrintToString(BoxTexts());
    EXPECT_FALSE(dir.Exists("quest/small.mtf")) << "visible before the batch is committed";
    EXPECT_FALSE(dir.Exists("data/customQuest/small/new.cdf"));
    batch.Commit();
  }
  EXPECT_EQ(dir.Read("data/customQuest/small/new.cdf"), "pending");
  EXPECT_EQ(dir.Read("data/customQuest/small/old.cdf"), "replaced");
  const std::string package = dir.Read("quest/small.mtf");
  // Entries in reverse listing order; the temporaries never listed.
  EXPECT_EQ(package.find(".tmp"), std::string::npos);
  const std::size_t newName = package.find("data\\customQuest\\new.cdf");
  const std::size_t oldName = package.find("data\\customQuest\\old.cdf");
  ASSERT_NE(newName, std::string::npos);
  ASSERT_NE(oldName, std::string::npos);
  EXPECT_LT(oldName, newName);
  EXPECT_NE(package.find("pending"), std::string::npos);
  EXPECT_NE(package.find("replaced"), std::string::npos);
  EXPECT_EQ(package.find("on disk"), std::string::npos);
  platform::SaveBatch::WaitForReleasedFiles();  // the old file, under a temporary's name until freed
  for (const auto& e : platform::FindFiles("data\\customQuest\\small\\*.tmp*")) ADD_FAILURE() << e.name;
}

}  // namespace
