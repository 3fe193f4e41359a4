#include "audio/sound_device.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/sound_system.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using platform::sound::SoundOutput;

// A mono 16-bit 22050 Hz square wave at half scale.
std::string ShortWav(double seconds, int channels = 1) {
  const auto frames = static_cast<std::uint32_t>(seconds * 22050);
  testsupport::Bytes b;
  const std::uint32_t bytes = frames * 2u * static_cast<std::uint32_t>(channels);
  b.str("RIFF").u32(36 + bytes).str("WAVE").str("fmt ").u32(16).u16(1).u16(static_cast<std::uint16_t>(channels));
  b.u32(22050).u32(22050u * 2u * static_cast<std::uint32_t>(channels)).u16(static_cast<std::uint16_t>(2 * channels)).u16(16);
  b.str("data").u32(bytes);
  for (std::uint32_t i = 0; i < frames * static_cast<std::uint32_t>(channels); ++i) {
    b.u16(static_cast<std::uint16_t>(((i / 10) % 2) ? 16384 : -16384));
  }
  return b.string();
}

// The sound system on a loopback output: nothing is heard, and time passes
// only when the test renders.
class SoundDeviceTest : public testsupport::TempDirTest {
 protected:
  SoundDeviceTest() {
    platform::sound::SetOutputFactory([] { return SoundOutput::OpenLoopback(44100); });
    dir.Write("data/sound/short.wav", ShortWav(0.1));
    dir.Write("data/sound/long.wav", ShortWav(2.0));
    system = std::make_unique<CSoundSystem>(nullptr);
  }
  ~SoundDeviceTest() override {
    system.reset();
    platform::sound::SetOutputFactory(nullptr);
  }
  // The output fades a changed level in over its next mixing update; let it settle first.
  void RenderSettled(double seconds) {
    Render(0.1);
    Render(seconds);
  }
  void Render(double seconds) {
    std::vector<float> buffer(static_cast<std::size_t>(seconds * 44100) * 2);
    system->device().output()->Render(buffer);
    last = buffer;
  }
  // Root-mean-square level of one channel of the last render, skipping its first 10 ms.
  double Level(int channel) const {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 882 + static_cast<std::size_t>(channel); i < last.size(); i += 2, ++n) sum += last[i] * last[i];
    return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
  }
  bool Playing(int handle) { return system->device().Slot(handle)->IsPlaying() != 0; }

  std::unique_ptr<CSoundSystem> system;
  std::vector<float> last;
};

TEST_F(SoundDeviceTest, DeviceComesUpWithItsCapsAndPrimaryFormat) {
  ASSERT_TRUE(system->ok());
  const CSoundDevice& device = system->device();
  EXPECT_TRUE(device.sixteenBit());
  EXPECT_TRUE(device.stereo());
  EXPECT_TRUE(device.hardware());
  EXPECT_GE(device.hardwareMixing(), 512);
  EXPECT_EQ(device.output()->PrimaryFormat().samplesPerSecond, 44100);
  EXPECT_EQ(device.output()->PrimaryFormat().channels, 2);
  EXPECT_GT(device.primaryBufferBytes(), 0);
  EXPECT_EQ(device.primaryBufferBytes() % 4, 0);
}

TEST_F(SoundDeviceTest, LoadedSoundPlaysOnceThenStops) {
  const int h = system->LoadWave("data\\sound\\short.wav");
  ASSERT_EQ(h, 0);
  EXPECT_EQ(system->device().Slot(h)->sampleRate, 22050);
  EXPECT_EQ(system->device().Slot(h)->fileName, "data\\sound\\short.wav");
  EXPECT_FALSE(Playing(h));
  EXPECT_EQ(system->Play(h, 0), h);
  EXPECT_TRUE(Playing(h));
  Render(0.05);
  EXPECT_GT(Level(0), 0.3);
  EXPECT_TRUE(Playing(h));
  Render(0.1);
  EXPECT_FALSE(Playing(h));
  Render(0.05);
  EXPECT_LT(Level(0), 1e-6);
}

TEST_F(SoundDeviceTest, LoopingSoundGoesOnUntilStopped) {
  const int h = system->LoadWave("data\\sound\\short.wav");
  EXPECT_EQ(system->Play(h, CSoundDevice::kPlayLoop), h);
  Render(0.35);
  EXPECT_TRUE(Playing(h));
  EXPECT_GT(Level(1), 0.3);
}

TEST_F(SoundDeviceTest, OverlappingPlaysGrowAChainOfCopiesAndReuseFinishedOnes) {
  const int h = system->LoadWave("data\\sound\\short.wav");
  const int other = system->LoadWave("data\\sound\\long.wav");
  ASSERT_EQ(h, 0);
  ASSERT_EQ(other, 1);
  CSoundDevice& device = system->device();
  EXPECT_EQ(system->Play(h, CSoundDevice::kPlayOverlap), h);
  const int first = system->Play(h, CSoundDevice::kPlayOverlap);
  EXPECT_EQ(first, 2) << "a copy in the next free slot";
  const int second = system->Play(h, CSoundDevice::kPlayOverlap);
  EXPECT_EQ(second, 3);
  EXPECT_EQ(device.Slot(h)->nextDuplicate, first);
  EXPECT_EQ(device.Slot(first)->nextDuplicate, second);
  EXPECT_EQ(device.Slot(second)->nextDuplicate, -1);
  EXPECT_TRUE(device.Slot(first)->isDuplicate);
  EXPECT_FALSE(device.Slot(h)->isDuplicate);
  EXPECT_EQ(device.Slot(first)->format, device.Slot(h)->format) << "copies share the samples' format";
  EXPECT_TRUE(Playing(h) && Playing(first) && Playing(second));
  Render(0.05);
  EXPECT_GT(Level(0), 0.9) << "three copies sound together";

  Render(0.2);
  EXPECT_FALSE(Playing(h) || Playing(first) || Playing(second));
  // A finished sound is played again before any new copy is made.
  EXPECT_EQ(system->Play(h, CSoundDevice::kPlayOverlap), h);
  EXPECT_EQ(system->Play(h, CSoundDevice::kPlayOverlap), first);
  EXPECT_EQ(device.usedCount(), 4);
  // Playing a copy's own handle walks the chain from that copy.
  EXPECT_EQ(system->Play(first, CSoundDevice::kPlayOverlap), second);
}

TEST_F(SoundDeviceTest, PlainPlayRestartsTheSameSound) {
  const int h = system->LoadWave("data\\sound\\short.wav");
  EXPECT_EQ(system->Play(h, 0), h);
  Render(0.08);
  EXPECT_EQ(system->Play(h, 0), h);
  Render(0.05);
  EXPECT_TRUE(Playing(h)) << "restarted from the beginning";
  EXPECT_EQ(system->device().Slot(1), nullptr) << "no copy made";
}

TEST_F(SoundDeviceTest, AllSlotsTakenRefusesLoadsAndOverlaps) {
  for (int i = 0; i < CSoundDevice::kSlots; ++i) ASSERT_EQ(system->LoadWave("data\\sound\\short.wav"), i);
  EXPECT_EQ(system->LoadWave("data\\sound\\short.wav"), -1);
  EXPECT_EQ(system->device().usedCount(), 256);
  EXPECT_EQ(system->Play(7, CSoundDevice::kPlayOverlap), 7);
  EXPECT_EQ(system->Play(7, CSoundDevice::kPlayOverlap), -1) << "no slot for a copy";
  EXPECT_EQ(system->Play(255, 0), 255);
  EXPECT_TRUE(Playing(255));
}

TEST_F(SoundDeviceTest, FailedLoadFreesItsSlot) {
  dir.Write("data/sound/bad.wav", "RIFF....WAVEfmt nothing here");
  EXPECT_EQ(system->LoadWave("data\\sound\\bad.wav"), -1);
  EXPECT_EQ(system->LoadWave("data\\sound\\missing.wav"), -1);
  EXPECT_EQ(system->LoadWave("data\\sound\\short.wav"), 0);
}

TEST_F(SoundDeviceTest, LongNameIsCutTo259Characters) {
  const std::string name = "data\\sound\\" + std::string(300, 'n') + ".wav";
  EXPECT_EQ(system->LoadWave(name), -1);  // no such file
  CSoundBuffer buffer(true);
  EXPECT_EQ(buffer.Load(name, system->device().output()), 0);
  EXPECT_EQ(buffer.fileName, name.substr(0, 259));
}

TEST_F(SoundDeviceTest, VolumeAndPanConvertToHundredthsOfADecibel) {
  struct Case {
    int value;
    int hundredthsDb;
  };
  for (const Case c : {Case{255, 0}, Case{0, -3984}, Case{128, -1984}, Case{300, 0}, Case{-5, -3984}, Case{1, -3968}}) {
    EXPECT_EQ(CSoundDevice::VolumeToHundredthsDb(c.value), c.hundredthsDb) << c.value;
  }
  for (const Case c : {Case{-128, -4000}, Case{128, 4000}, Case{0, 0}, Case{200, 4000}, Case{-300, -4000},
                       Case{1, 31}, Case{-1, -31}, Case{64, 2000}}) {
    EXPECT_EQ(CSoundDevice::PanToHundredthsDb(c.value), c.hundredthsDb) << c.value;
  }
}

TEST_F(SoundDeviceTest, VolumeAndPanAreStoredClampedAndHeard) {
  const int h = system->LoadWave("data\\sound\\long.wav");
  CSoundBuffer& sound = *system->device().Slot(h);
  system->Play(h, 0);
  RenderSettled(0.1);
  const double full = Level(0);
  ASSERT_GT(full, 0.3);
  EXPECT_NEAR(Level(1), full, full * 1e-3);

  system->SetVolume(h, 300);
  EXPECT_EQ(sound.volume, 255);
  system->SetVolume(h, -5);
  EXPECT_EQ(sound.volume, 0);
  RenderSettled(0.1);
  EXPECT_NEAR(20 * std::log10(Level(0) / full), -39.84, 0.05);

  system->SetVolume(h, 255);
  system->SetPan(h, 200);
  EXPECT_EQ(sound.pan, 128);
  RenderSettled(0.1);
  EXPECT_NEAR(20 * std::log10(Level(1) / full), 0.0, 0.05) << "the near side keeps its level";
  EXPECT_NEAR(20 * std::log10(Level(0) / full), -40.0, 0.05) << "the far side loses 40 dB";

  system->SetPan(h, -64);
  RenderSettled(0.1);
  EXPECT_NEAR(20 * std::log10(Level(0) / full), 0.0, 0.05);
  EXPECT_NEAR(20 * std::log10(Level(1) / full), -20.0, 0.05);
}

TEST_F(SoundDeviceTest, HandlesOutsideTheSlotsAreRefused) {
  const int h = system->LoadWave("data\\sound\\short.wav");
  for (int bad : {-2, 256, 1000, -1000}) {
    EXPECT_EQ(system->Play(bad, 0), -1) << bad;
    EXPECT_EQ(system->Play(bad, CSoundDevice::kPlayOverlap), -1) << bad;
    EXPECT_EQ(system->device().Play(bad, 0), -1) << bad;
    system->SetVolume(bad, 0);
    system->SetPan(bad, 0);
    system->device().SetVolume(bad, 0);
    system->device().SetPan(bad, 0);
  }
  EXPECT_EQ(system->Play(-1, 0), -1);
  EXPECT_EQ(system->device().Play(-1, 0), -1);
  EXPECT_EQ(system->device().Play(5, 0), 5) << "an empty slot comes back unplayed";
  EXPECT_EQ(system->device().Slot(5), nullptr);
  EXPECT_EQ(system->device().Slot(h)->volume, 255);
  EXPECT_FALSE(Playing(h));
}

TEST_F(SoundDeviceTest, StereoAndEightBitSoundsPlay) {
  dir.Write("data/sound/stereo.wav", ShortWav(0.2, 2));
  const int h = system->LoadWave("data\\sound\\stereo.wav");
  ASSERT_GE(h, 0);
  system->Play(h, 0);
  Render(0.1);
  EXPECT_GT(Level(0), 0.3);
  EXPECT_GT(Level(1), 0.3);
}

TEST_F(SoundDeviceTest, CallbackSlotsFillInOrderAndEmpty) {
  CSoundDevice& device = system->device();
  const auto fn = +[](void*, std::uint32_t) {};
  int object = 0;
  for (int i = 0; i < CSoundDevice::kCallbackSlots; ++i) EXPECT_EQ(device.AddCallback(static_cast<std::uint32_t>(i + 1), fn, &object), i);
  EXPECT_EQ(device.AddCallback(99, fn, &object), -1);
  device.RemoveCallback(4);
  device.RemoveCallback(-1);
  device.RemoveCallback(20);
  EXPECT_EQ(device.Callback(4).function, nullptr);
  EXPECT_EQ(device.Callback(4).argument, 0u);
  EXPECT_EQ(device.Callback(5).argument, 6u);
  EXPECT_EQ(device.AddCallback(42, fn, &object), 4);
  EXPECT_EQ(device.Callback(4).object, &object);
  // A slot with an argument but no function is not free.
  device.ClearCallbacks();
  EXPECT_EQ(device.AddCallback(7, nullptr, nullptr), 0);
  EXPECT_EQ(device.AddCallback(0, fn, nullptr), 1);
}

TEST(SoundWithoutDevice, EveryCallDoesNothing) {
  platform::sound::SetOutputFactory([] { return std::unique_ptr<SoundOutput>(); });
  testsupport::TempDir dir;
  dir.Write("data/sound/short.wav", ShortWav(0.1));
  CSoundSystem system(nullptr);
  platform::sound::SetOutputFactory(nullptr);
  EXPECT_FALSE(system.ok());
  EXPECT_FALSE(system.device().ok());
  EXPECT_EQ(system.device().output(), nullptr);
  EXPECT_EQ(system.LoadWave("data\\sound\\short.wav"), -1);
  EXPECT_EQ(system.Play(0, 0), -1);
  EXPECT_EQ(system.Play(0, CSoundDevice::kPlayOverlap), -1);
  system.SetVolume(0, 100);
  system.SetPan(0, 100);
  EXPECT_EQ(system.device().Slot(0), nullptr);
  EXPECT_EQ(system.device().usedCount(), 0);
}

}  // namespace
