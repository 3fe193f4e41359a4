#include "platform/core/profile.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace platform;
using testsupport::TempDirTest;

namespace {

class ProfileTest : public TempDirTest {};

TEST_F(ProfileTest, ValuesSurviveAReload) {
  IniStore store(dir.Native("cfg/app.ini"));
  EXPECT_TRUE(store.WriteString("Recent Quest File", "File", "data\\customQuest\\q.qst"));
  EXPECT_TRUE(store.WriteInt("Windows", "Width", -640));
  std::vector<std::uint8_t> blob = {0, 1, 0xFF, '\n', '='};
  EXPECT_TRUE(store.WriteBinary("Windows", "Placement", blob));
  EXPECT_TRUE(store.WriteString("Odd", "Text", " lead=trail \r\n\x01 \\ "));

  IniStore again(dir.Native("cfg/app.ini"));
  EXPECT_EQ(again.GetString("recent quest file", "FILE", ""), "data\\customQuest\\q.qst");
  EXPECT_EQ(again.GetInt("Windows", "Width", 0), -640);
  EXPECT_EQ(again.GetBinary("Windows", "Placement"), blob);
  EXPECT_EQ(again.GetString("Odd", "Text", ""), " lead=trail \r\n\x01 \\ ");
  EXPECT_EQ(again.GetString("Odd", "Missing", "dflt"), "dflt");
  EXPECT_EQ(again.GetInt("Odd", "Text", 7), 7);
}

TEST_F(ProfileTest, RegistryStyleKeyPathsAreSectionNames) {
  dir.Write("machine.ini",
            "; install values\n[SOFTWARE\\TirnacorSoft\\Valdrenn\\CurrentVersion\\Valdrenn]\nLanguage=GERMAN\n");
  SetMachineStorePath(dir.Native("machine.ini"));
  EXPECT_EQ(MachineStore().GetString("SOFTWARE\\TirnacorSoft\\Valdrenn\\CurrentVersion\\Valdrenn", "Language"),
            std::optional<std::string>("GERMAN"));
  SetMachineStorePath(dir.Native("none.ini"));
  EXPECT_FALSE(MachineStore().GetString("SOFTWARE\\TirnacorSoft\\Valdrenn\\CurrentVersion\\Valdrenn", "Language"));
}

TEST_F(ProfileTest, UnwritableStoreReportsFailure) {
  dir.Write("blocker", "file, not a folder");
  IniStore store(dir.Native("blocker/app.ini"));
  EXPECT_FALSE(store.WriteString("a", "b", "c"));
}

}  // namespace
