#include "audio/sound_table.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/sound_system.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using platform::sound::SoundOutput;

std::string TinyWav(std::uint16_t level) {
  testsupport::Bytes b;
  b.str("RIFF").u32(44).str("WAVE").str("fmt ").u32(16).u16(1).u16(1).u32(22050).u32(44100).u16(2).u16(16);
  b.str("data").u32(8).u16(level).u16(level).u16(level).u16(level);
  return b.string();
}

testsupport::Bytes Table(std::initializer_list<const char*> names, std::int32_t count = -1) {
  testsupport::Bytes b;
  b.u16(1).i32(count < 0 ? static_cast<std::int32_t>(names.size()) : count);
  for (const char* name : names) b.u16(1).fixed(name, 32);
  return b;
}

class SoundTableTest : public testsupport::TempDirTest {
 protected:
  SoundTableTest() {
    platform::sound::SetOutputFactory([] { return SoundOutput::OpenLoopback(44100); });
    system = std::make_unique<CSoundSystem>(nullptr);
    platform::sound::SetOutputFactory(nullptr);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < table.Count(); ++i) out.emplace_back(table.Row(i).name);
    return out;
  }
  // The file each row's sound was loaded from.
  std::string FileOf(std::size_t row) const {
    const CSoundBuffer* sound = system->device().Slot(table.Row(row).handle);
    return sound ? sound->fileName : std::string();
  }

  std::unique_ptr<CSoundSystem> system;
  CSoundTable table;
};

TEST_F(SoundTableTest, RowsAreSortedAndKeepTheirOwnSounds) {
  dir.Write("data/sound/B.wav", TinyWav(100));
  dir.Write("data/sound/A.wav", TinyWav(200));
  dir.Write("data/snd.dat", Table({"B", "A"}).view());
  ASSERT_EQ(table.Load(system.get()), 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(table.sorted());
  EXPECT_EQ(table.Row(0).handle, 1);
  EXPECT_EQ(table.Row(1).handle, 0);
  EXPECT_EQ(FileOf(0), "data\\sound\\A.wav");
  EXPECT_EQ(FileOf(1), "data\\sound\\B.wav");
}

TEST_F(SoundTableTest, SortIsBytewiseAndCaseSensitive) {
  for (const char* name : {"door", "Door", "zap", "Zap", "_x", "a1"}) dir.Write(std::string("data/sound/") + name + ".wav", TinyWav(5));
  ASSERT_EQ(table.Read(Table({"zap", "door", "Zap", "_x", "Door", "a1", "door"}).data(), system.get()), 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Door", "Zap", "_x", "a1", "door", "door", "zap"}));
  EXPECT_EQ(table.Find("door"), 4);
  EXPECT_EQ(table.Find("Zap"), 1);
  EXPECT_EQ(table.Find("ZAP"), 0) << "case matters; no match is row 0";
  EXPECT_EQ(table.Find("nothing"), 0);
  EXPECT_EQ(table.Find(""), 0);
  EXPECT_EQ(table.Named("Zap"), &table.Row(1));
  EXPECT_EQ(table.Named("ZAP"), nullptr);
  EXPECT_EQ(table.Named("nothing"), nullptr);
}

TEST_F(SoundTableTest, RowsWhoseSoundsFailGetNoHandle) {
  dir.Write("data/sound/good.wav", TinyWav(1));
  dir.Write("data/sound/broken.wav", "RIFF");
  ASSERT_EQ(table.Read(Table({"good", "broken", "absent"}).data(), system.get()), 1);
  EXPECT_EQ(Names(), (std::vector<std::string>{"absent", "broken", "good"}));
  EXPECT_EQ(table.Row(0).handle, -1);
  EXPECT_EQ(table.Row(1).handle, -1);
  EXPECT_EQ(table.Row(2).handle, 0);
}

TEST_F(SoundTableTest, CountBeyondTheRowsLeavesEmptyRows) {
  dir.Write("data/sound/a.wav", TinyWav(1));
  ASSERT_EQ(table.Read(Table({"a"}, 3).data(), system.get()), 1);
  ASSERT_EQ(table.Count(), 3u);
  // Empty names sort first.
  EXPECT_EQ(Names(), (std::vector<std::string>{"", "", "a"}));
  EXPECT_EQ(table.Row(0).handle, -1);
  EXPECT_EQ(table.Row(1).handle, -1);
  EXPECT_EQ(table.Row(2).handle, 0);
}

TEST_F(SoundTableTest, ARowOfAnotherVersionIsSkippedWithoutItsName) {
  dir.Write("data/sound/a.wav", TinyWav(1));
  testsupport::Bytes b;
  b.u16(1).i32(2).u16(2).u16(1).fixed("a", 32);
  // The second row's version word is read from the first row's name bytes.
  ASSERT_EQ(table.Read(b.data(), system.get()), 1);
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(Names(), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(table.Row(1).handle, 0);
}

TEST_F(SoundTableTest, NamesAreAlwaysTerminated) {
  testsupport::Bytes b;
  b.u16(1).i32(1).u16(1).str(std::string(32, 'q'));
  ASSERT_EQ(table.Read(b.data(), system.get()), 1);
  ASSERT_EQ(table.Count(), 1u);
  EXPECT_EQ(std::strlen(table.Row(0).name), 31u);
}

TEST_F(SoundTableTest, BadHeadersLeaveTheTableEmpty) {
  struct Case {
    const char* what;
    testsupport::Bytes bytes;
    int result;
  };
  testsupport::Bytes wrongVersion;
  wrongVersion.u16(2).i32(1).u16(1).fixed("a", 32);
  testsupport::Bytes negative;
  negative.u16(1).i32(-5).u16(1).fixed("a", 32);
  testsupport::Bytes huge;
  huge.u16(1).i32(0x7fffffff).u16(1).fixed("a", 32);
  testsupport::Bytes empty;
  const Case cases[] = {{"version 2", wrongVersion, 0},
                        {"negative count", negative, 1},
                        {"count that cannot be allocated", huge, 1},
                        {"no bytes", empty, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(table.Read(Table({"x"}).data(), system.get()), 1);
    ASSERT_EQ(table.Count(), 1u);
    EXPECT_EQ(table.Read(c.bytes.data(), system.get()), c.result) << c.what;
    EXPECT_EQ(table.Count(), 0u) << c.what;
  }
}

TEST_F(SoundTableTest, WithoutASoundSystemNothingIsRead) {
  ASSERT_EQ(table.Read(Table({"x"}).data(), system.get()), 1);
  EXPECT_EQ(table.Read(Table({"a", "b"}).data(), nullptr), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"x"})) << "the table is left as it was";
}

TEST_F(SoundTableTest, MissingFileLeavesTheTableEmpty) {
  EXPECT_EQ(table.Load(system.get()), 0);
  EXPECT_EQ(table.Count(), 0u);
}

TEST(SoundTableWithoutDevice, IsStillReadWithNoHandles) {
  platform::sound::SetOutputFactory([] { return std::unique_ptr<SoundOutput>(); });
  CSoundSystem silent(nullptr);
  platform::sound::SetOutputFactory(nullptr);
  testsupport::TempDir dir;
  dir.Write("data/sound/a.wav", TinyWav(1));
  dir.Write("data/sound/b.wav", TinyWav(1));
  dir.Write("data/snd.dat", Table({"b", "a"}).view());
  CSoundTable table;
  ASSERT_EQ(table.Load(&silent), 1);
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_STREQ(table.Row(0).name, "a");
  EXPECT_EQ(table.Row(0).handle, -1);
  EXPECT_EQ(table.Row(1).handle, -1);
}

}  // namespace
