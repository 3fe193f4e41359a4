// The music player's preparation at start-up, its failure paths, and the
// stream buffer and source it owns.
#include "audio/music_stream.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "audio/sound_device.h"
#include "audio/sound_system.h"
#include "platform/sound/sound_output.h"

namespace {

using platform::sound::SoundOutput;

class MusicStreamTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::sound::SetOutputFactory(nullptr); }
};

TEST_F(MusicStreamTest, ConstructedStoppedAndUnbound) {
  CMusicStream player;
  EXPECT_EQ(player.device(), nullptr);
  EXPECT_TRUE(player.stopped());
  EXPECT_FALSE(player.decoderOpen());
  EXPECT_EQ(player.playingSlot(), -1);
  EXPECT_EQ(player.deviceSlot(), -1);
  EXPECT_EQ(player.source().kind(), CStreamSource::kNone);
}

TEST_F(MusicStreamTest, InitPreparesAStreamingDecoderAndTakesADeviceSlot) {
  platform::sound::SetOutputFactory([] { return SoundOutput::OpenLoopback(44100); });
  CSoundSystem sound(nullptr);
  CMusicStream player;
  ASSERT_EQ(player.Init(&sound.device()), 1);
  EXPECT_EQ(player.device(), &sound.device());
  EXPECT_TRUE(player.decoderOpen());
  ASSERT_NE(player.decoder(), nullptr);
  EXPECT_NE(player.inputBuffer(), nullptr);
  EXPECT_NE(player.frameBuffer(), nullptr);
  ASSERT_GE(player.deviceSlot(), 0);
  const StreamCallbackSlot& slot = sound.device().Callback(player.deviceSlot());
  EXPECT_EQ(slot.function, &MusicStreamDeviceCallback);
  EXPECT_EQ(slot.object, &player);
  // The decoder's input is an empty streaming buffer: writes are taken, nothing can seek.
  const std::uint8_t bytes[4] = {1, 2, 3, 4};
  EXPECT_EQ(MemoryInputStreamWrite(player.decoder(), bytes, 4), 4);
  EXPECT_EQ(MpegDecoderInputSeek(player.decoder(), 0), kMpegFailed);
  // A second decoder is not opened over the first.
  EXPECT_EQ(player.OpenDecoder(), 0);
}

TEST_F(MusicStreamTest, PreparedEvenWithoutSoundOutput) {
  platform::sound::SetOutputFactory([] { return std::unique_ptr<SoundOutput>(); });
  CSoundSystem sound(nullptr);
  CMusicStream player;
  EXPECT_EQ(player.Init(&sound.device()), 1);
  EXPECT_TRUE(player.decoderOpen());
}

TEST_F(MusicStreamTest, NoDeviceShutsThePlayerDown) {
  CMusicStream player;
  EXPECT_EQ(player.Init(nullptr), 0);
  EXPECT_EQ(player.decoder(), nullptr);
  EXPECT_EQ(player.inputBuffer(), nullptr);
  EXPECT_FALSE(player.decoderOpen());
}

TEST_F(MusicStreamTest, NoFreeDeviceSlotShutsThePlayerDown) {
  platform::sound::SetOutputFactory([] { return SoundOutput::OpenLoopback(44100); });
  CSoundSystem sound(nullptr);
  int dummy = 0;
  for (int i = 0; i < CSoundDevice::kCallbackSlots; ++i) {
    sound.device().AddCallback(1, [](void*, std::uint32_t) {}, &dummy);
  }
  CMusicStream player;
  EXPECT_EQ(player.Init(&sound.device()), 0);
  EXPECT_EQ(player.decoder(), nullptr);
  EXPECT_EQ(player.deviceSlot(), -1);
}

TEST_F(MusicStreamTest, DeviceCallbackShutsDownAndForgetsTheDevice) {
  platform::sound::SetOutputFactory([] { return SoundOutput::OpenLoopback(44100); });
  CSoundSystem sound(nullptr);
  CMusicStream player;
  ASSERT_EQ(player.Init(&sound.device()), 1);
  const int slot = player.deviceSlot();
  MusicStreamDeviceCallback(&player, 0);
  EXPECT_EQ(player.device(), nullptr);
  EXPECT_EQ(player.decoder(), nullptr);
  EXPECT_EQ(player.deviceSlot(), -1);
  EXPECT_EQ(sound.device().Callback(slot).function, nullptr);
}

// A stream buffer over plain memory, recording what was asked of it.
struct MemoryTarget : CStreamBuffer::Target {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(64, 0xAB);
  int stops = 0, unlocks = 0;
  std::uint32_t position = 99;
  bool Lock(std::uint32_t offset, std::uint32_t size, void** first, std::uint32_t* first_size, void** second,
            std::uint32_t* second_size) override {
    if (offset + size > bytes.size()) return false;
    // Split in two regions to show that both are cleared.
    *first = bytes.data() + offset;
    *first_size = size / 2;
    *second = bytes.data() + offset + size / 2;
    *second_size = size - size / 2;
    return true;
  }
  void Unlock(void*, std::uint32_t, void*, std::uint32_t) override { ++unlocks; }
  void Stop() override { ++stops; }
  void SetPosition(std::uint32_t p) override { position = p; }
};

TEST(StreamBufferTest, WithoutABufferEverythingIsANoOp) {
  CStreamBuffer buffer;
  EXPECT_EQ(buffer.Lock(0, 16), nullptr);
  buffer.Unlock();
  buffer.Stop();
  buffer.Clear();
  buffer.Release();
  EXPECT_FALSE(buffer.locked());
}

TEST(StreamBufferTest, ClearZeroesBothRegionsAndRewinds) {
  CStreamBuffer buffer;
  auto target = std::make_unique<MemoryTarget>();
  MemoryTarget* t = target.get();
  buffer.Attach(std::move(target), 64);
  EXPECT_EQ(buffer.Lock(0, 128), nullptr);  // locking fails past the end
  ASSERT_NE(buffer.Lock(8, 8), nullptr);
  EXPECT_TRUE(buffer.locked());
  buffer.Unlock();
  EXPECT_EQ(t->unlocks, 1);
  buffer.Unlock();  // only when locked
  EXPECT_EQ(t->unlocks, 1);
  buffer.Clear();
  for (std::uint8_t b : t->bytes) ASSERT_EQ(b, 0);
  EXPECT_EQ(t->position, 0u);
  EXPECT_FALSE(buffer.locked());
  buffer.Release();
  EXPECT_EQ(buffer.size(), 0u);
  EXPECT_EQ(buffer.Lock(0, 8), nullptr);
}

TEST(StreamSourceTest, CloseClosesTheFileAndForgetsIt) {
  CStreamSource source;
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  source.SetFile(file);
  EXPECT_EQ(source.kind(), CStreamSource::kFile);
  source.Close();
  EXPECT_EQ(source.kind(), CStreamSource::kNone);
  source.Close();  // twice is harmless
}

}  // namespace
