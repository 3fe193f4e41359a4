#include "datafiles/game_data.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/profile.h"
#include "platform/core/trace.h"
#include "support/temp_dir.h"

using archivefixture::ArchiveBuilder;

namespace {

class MountGameArchivesTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { MtfCloseAllArchives(); }
  void TearDown() override { MtfCloseAllArchives(); }

  // Each archive holds "who.dat" naming itself and "<name>.dat" of its own.
  void Archive(const std::string& name) {
    dir.Write(name, ArchiveBuilder().Stored("who.dat", name).Stored(name + ".dat", "x").Build());
  }
  static std::string Who() {
    MtfFilePtr f(MtfOpen("who.dat", "rb"));
    if (!f) return "<null>";
    std::string s(f->size, '\0');
    s.resize(MtfRead(s.data(), 1, s.size(), f.get()));
    return s;
  }
  static bool Holds(const std::string& name) {
    char out[260];
    return MtfMatchEntry((name + ".dat").c_str(), out) == 1;
  }
};

TEST_F(MountGameArchivesTest, PatchesMountInByteOrderAfterTheBase) {
  for (const char* n : {"data.mtf", "qsp9.mtf", "qsp10.mtf", "QSP2.MTF"}) Archive(n);
  dir.MakeDir("qspfolder.mtf");
  dir.Write("qsp.txt", "not an archive");
  EXPECT_EQ(MountGameArchives(), 4);
  // Byte order: "QSP2.MTF" < "qsp10.mtf" < "qsp9.mtf"; the last mounted wins.
  EXPECT_EQ(Who(), "qsp9.mtf");
  EXPECT_TRUE(MtfIsArchiveOpen(3));
  EXPECT_FALSE(MtfIsArchiveOpen(4));
  // The slots follow the same order: slot 3's entries come last in the directory.
  EXPECT_STREQ(MtfFindFirst("*.*"), "qsp9.mtf.dat");
}

TEST_F(MountGameArchivesTest, NamesDifferingInCaseOnlyPutUpperCaseFirst) {
  Archive("qspa.mtf");
  Archive("qspA.mtf");
  EXPECT_EQ(MountGameArchives(), 2);  // no data.mtf: slot 0 stays empty
  EXPECT_FALSE(MtfIsArchiveOpen(0));
  EXPECT_EQ(Who(), "qspa.mtf");
}

TEST_F(MountGameArchivesTest, MoreThan31PatchesMountTheFirst31InByteOrder) {
  Archive("data.mtf");
  std::vector<std::string> names;
  for (int i = 0; i < 32; ++i) {
    char n[16];
    std::snprintf(n, sizeof n, "qsp%02d.mtf", i);
    names.push_back(n);
  }
  // Listed last ignoring case, but first in byte order.
  names.push_back("QSPZ.mtf");
  for (const std::string& n : names) Archive(n);
  platform::TraceCapture trace;
  EXPECT_EQ(MountGameArchives(), 32);
  EXPECT_EQ(trace.text(), "");
  EXPECT_TRUE(Holds("QSPZ.mtf"));
  EXPECT_TRUE(Holds("qsp29.mtf"));
  EXPECT_FALSE(Holds("qsp30.mtf"));
  EXPECT_FALSE(Holds("qsp31.mtf"));
  for (int slot = 0; slot < kMtfMaxArchives; ++slot) EXPECT_TRUE(MtfIsArchiveOpen(slot)) << slot;
  EXPECT_EQ(Who(), "qsp29.mtf");
}

TEST_F(MountGameArchivesTest, ADamagedPatchKeepsItsSlotEmptyAndTheRestMount) {
  Archive("data.mtf");
  Archive("qsp1.mtf");
  dir.Write("qsp2.mtf", "\xff\xff\xff\xff");
  Archive("qsp3.mtf");
  platform::TraceCapture trace;
  EXPECT_EQ(MountGameArchives(), 3);
  EXPECT_EQ(trace.text(), "MTF ERROR DAMAGED ARCHIVE qsp2.mtf in 2\n");
  EXPECT_FALSE(MtfIsArchiveOpen(2));
  EXPECT_TRUE(MtfIsArchiveOpen(3));
  EXPECT_EQ(Who(), "qsp3.mtf");
}

class InstallLanguageTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override { platform::SetMachineStorePath(dir.Native("machine.ini")); }
  void TearDown() override { platform::SetMachineStorePath(""); }
};

TEST_F(InstallLanguageTest, ValuesMapToLanguages) {
  const struct {
    const char* value;
    int language;
  } cases[] = {
      {"FRENCH", 0}, {"GERMAN", 2}, {"ITALIAN", 5}, {"SPANISH", 3}, {"SWEDISH", 4},
      {"ENGLISH", 1}, {"german", 1}, {"French", 1}, {"GERMANY", 1}, {"", 1}, {"OTHER", 1},
  };
  for (const auto& c : cases) {
    platform::MachineStore().WriteString(kInstallKeyPath, "Language", c.value);
    EXPECT_EQ(ReadInstallLanguage(), c.language) << c.value;
  }
}

TEST_F(InstallLanguageTest, MissingOrOverlongValueIsEnglish) {
  EXPECT_EQ(ReadInstallLanguage(), 1);
  platform::MachineStore().WriteString(kInstallKeyPath, "Language", "GERMAN" + std::string(300, ' '));
  EXPECT_EQ(ReadInstallLanguage(), 1);
  platform::MachineStore().WriteString("SOFTWARE\\TirnacorSoft\\Other", "Language", "GERMAN");
  platform::MachineStore().RemoveValue(kInstallKeyPath, "Language");
  EXPECT_EQ(ReadInstallLanguage(), 1);
}

}  // namespace
