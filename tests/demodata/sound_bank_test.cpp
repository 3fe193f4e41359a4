#include "tools/demodata/sound_bank.h"

#include <gtest/gtest.h>

#include "audio/sound_system.h"
#include "audio/sound_table.h"
#include "audio/wave_file.h"
#include "support/temp_dir.h"
#include "tools/demodata/demo_output.h"

namespace {

using DemoSoundsTest = testsupport::TempDirTest;

TEST_F(DemoSoundsTest, EveryRowLoadsAndOneSoundIsScrambled) {
  DemoOutput out;
  AddSoundBank(out);
  out.Finish();
  platform::sound::SetOutputFactory([] { return platform::sound::SoundOutput::OpenLoopback(44100); });
  CSoundSystem sound(nullptr);
  platform::sound::SetOutputFactory(nullptr);
  CSoundTable table;
  ASSERT_EQ(table.Load(&sound), 1);
  ASSERT_GE(table.Count(), 3u);
  for (std::size_t i = 0; i < table.Count(); ++i) {
    SCOPED_TRACE(table.Row(i).name);
    EXPECT_GE(table.Row(i).handle, 0);
    if (i > 0) {
      EXPECT_LT(std::string(table.Row(i - 1).name), std::string(table.Row(i).name));
    }
  }
  int scrambled = 0;
  int formats = 0;
  for (std::size_t i = 0; i < table.Count(); ++i) {
    const std::string file = dir.Read(std::string("data/sound/") + table.Row(i).name + ".wav");
    scrambled += file[0] == 'r';
    WaveFormat format;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(ReadWaveFile(std::string("data\\sound\\") + table.Row(i).name + ".wav", format, data), kWaveOk);
    formats |= 1 << (format.channels * 2 + format.bitsPerSample / 8);
  }
  EXPECT_EQ(scrambled, 1);
  EXPECT_GE(__builtin_popcount(static_cast<unsigned>(formats)), 3) << "8- and 16-bit, mono and stereo";
}

}  // namespace
