// The sound stage of start-up and playing a sound of the table by name.
#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "audio/music_stream.h"
#include "audio/sound_device.h"
#include "audio/sound_system.h"
#include "audio/sound_table.h"
#include "editor/display_objects.h"
#include "kelvar_fixture.h"
#include "support/bytes.h"

namespace kelvartest {
namespace {

using platform::sound::SoundOutput;

std::string TinyWav() {
  testsupport::Bytes b;
  b.str("RIFF").u32(36 + 4000).str("WAVE").str("fmt ").u32(16).u16(1).u16(1).u32(22050).u32(44100).u16(2).u16(16);
  b.str("data").u32(4000);
  for (int i = 0; i < 2000; ++i) b.u16(static_cast<std::uint16_t>((i / 8) % 2 ? 9000 : -9000));
  return b.string();
}

std::string SoundTable(std::initializer_list<const char*> names) {
  testsupport::Bytes b;
  b.u16(1).i32(static_cast<std::int32_t>(names.size()));
  for (const char* name : names) b.u16(1).fixed(name, 32);
  return b.string();
}

// Runs with its own sound system on a loopback output in place of the
// process's one, which it puts back afterwards.
class SoundStartupTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    saved_ = kelvar::Display().soundSystem;
    kelvar::Display().soundSystem = nullptr;
    platform::sound::SetOutputFactory([] { return SoundOutput::OpenLoopback(44100); });
    dir.Write("data/sound/bell.wav", TinyWav());
    dir.Write("data/sound/alarm.wav", TinyWav());
    dir.Write("data/snd.dat", SoundTable({"bell", "alarm"}));
  }
  void TearDown() override {
    platform::sound::SetOutputFactory(nullptr);
    g_soundTable.Free();
    KelvarTest::TearDown();
    // The player is bound to this test's device, which goes now.
    MusicStream().Shutdown();
    MusicStream().ForgetDevice();
    delete kelvar::Display().soundSystem;
    kelvar::Display().soundSystem = saved_;
  }
  bool Playing(int row) {
    CSoundBuffer* sound = kelvar::Display().soundSystem->device().Slot(g_soundTable.Row(static_cast<std::size_t>(row)).handle);
    return sound && sound->IsPlaying();
  }

 private:
  CSoundSystem* saved_ = nullptr;
};

TEST_F(SoundStartupTest, StartUpMakesTheSoundSystemAndLoadsTheTable) {
  ASSERT_TRUE(Start());
  CSoundSystem* sound = kelvar::Display().soundSystem;
  ASSERT_NE(sound, nullptr);
  EXPECT_TRUE(sound->ok());
  ASSERT_EQ(g_soundTable.Count(), 2u);
  EXPECT_STREQ(g_soundTable.Row(0).name, "alarm");
  EXPECT_STREQ(g_soundTable.Row(1).name, "bell");
  EXPECT_EQ(g_soundTable.Row(0).handle, 1);
  EXPECT_EQ(g_soundTable.Row(1).handle, 0);
  EXPECT_EQ(sound->device().Slot(0)->fileName, "data\\sound\\bell.wav");
}

TEST_F(SoundStartupTest, StartUpPreparesTheMusicPlayerOnTheSoundDevice) {
  MusicStream().Shutdown();  // as constructed: no decoder yet
  ASSERT_TRUE(Start());
  CSoundSystem* sound = kelvar::Display().soundSystem;
  ASSERT_NE(sound, nullptr);
  CMusicStream& player = MusicStream();
  EXPECT_EQ(player.device(), &sound->device());
  EXPECT_TRUE(player.decoderOpen());
  ASSERT_GE(player.deviceSlot(), 0);
  EXPECT_EQ(sound->device().Callback(player.deviceSlot()).function, &MusicStreamDeviceCallback);
  EXPECT_EQ(sound->device().Callback(player.deviceSlot()).object, &player);
}

TEST_F(SoundStartupTest, PlayBankSoundPlaysByNameAndNothingForAnUnknownName) {
  ASSERT_TRUE(Start());
  kelvar::PlayBankSound("bell");
  EXPECT_TRUE(Playing(1));
  EXPECT_FALSE(Playing(0));
  for (const char* unknown : {"no such sound", "Alarm"}) {
    kelvar::PlayBankSound(unknown);
    EXPECT_FALSE(Playing(0)) << unknown << ": not the first row's sound";
  }
  // Full volume and centred, whatever was set before.
  CSoundSystem& sound = *kelvar::Display().soundSystem;
  sound.SetVolume(1, 100);
  sound.SetPan(1, -50);
  kelvar::PlayBankSound("alarm");
  EXPECT_TRUE(Playing(0));
  EXPECT_EQ(sound.device().Slot(1)->volume, 255);
  EXPECT_EQ(sound.device().Slot(1)->pan, 0);
  // Playing it again while it plays overlaps it on a copy.
  kelvar::PlayBankSound("alarm");
  EXPECT_NE(sound.device().Slot(1)->nextDuplicate, -1);
}

TEST_F(SoundStartupTest, PlayBankSoundWithoutANameOrTablePlaysNothing) {
  ASSERT_TRUE(Start());
  kelvar::PlayBankSound(nullptr);
  kelvar::PlayBankSound("");
  EXPECT_FALSE(Playing(0));
  EXPECT_FALSE(Playing(1));
  g_soundTable.Free();
  kelvar::PlayBankSound("bell");
  EXPECT_EQ(kelvar::Display().soundSystem->device().Slot(0)->IsPlaying(), 0);
}

TEST_F(SoundStartupTest, WithoutASoundOutputTheEditorStartsSilently) {
  platform::sound::SetOutputFactory([] { return std::unique_ptr<SoundOutput>(); });
  ASSERT_TRUE(Start());
  CSoundSystem* sound = kelvar::Display().soundSystem;
  ASSERT_NE(sound, nullptr);
  EXPECT_FALSE(sound->ok());
  ASSERT_EQ(g_soundTable.Count(), 2u) << "the table is still read";
  EXPECT_EQ(g_soundTable.Row(0).handle, -1);
  EXPECT_EQ(g_soundTable.Row(1).handle, -1);
  kelvar::PlayBankSound("bell");
  EXPECT_EQ(sound->device().Slot(0), nullptr);
}

}  // namespace
}  // namespace kelvartest
