#include "audio/wave_file.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/bytes.h"
#include "support/temp_dir.h"

namespace {

using testsupport::TempDirTest;

std::string Fixture(const char* name) {
  std::FILE* f = std::fopen((std::string(FIXTURES_DIR) + "/" + name).c_str(), "rb");
  std::string bytes;
  if (!f) return bytes;
  char chunk[4096];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

// A canonical WAV by hand: the header fields that matter, then the samples.
std::string Wav(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                const std::string& samples, std::uint32_t formatSize = 16, std::uint32_t dataSize = UINT32_MAX) {
  testsupport::Bytes b;
  b.str("RIFF").u32(0).str("WAVE").str("fmt ").u32(formatSize).u16(tag).u16(channels).u32(rate);
  b.u32(rate * channels * bits / 8).u16(static_cast<std::uint16_t>(channels * bits / 8)).u16(bits);
  b.zeros(formatSize - 16);
  b.str("data").u32(dataSize == UINT32_MAX ? static_cast<std::uint32_t>(samples.size()) : dataSize).str(samples);
  return b.string();
}

using WaveFileTest = TempDirTest;

TEST_F(WaveFileTest, SoxFilesLoadWithTheirFormat) {
  struct Case {
    const char* file;
    int channels;
    int rate;
    int bits;
  };
  const Case cases[] = {{"mono16.wav", 1, 22050, 16}, {"mono8.wav", 1, 11025, 8},
                        {"stereo16.wav", 2, 44100, 16}, {"stereo8.wav", 2, 8000, 8}};
  for (const Case& c : cases) {
    const std::string bytes = Fixture(c.file);
    ASSERT_GT(bytes.size(), 44u) << c.file;
    dir.Write("s.wav", bytes);
    WaveFormat format;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(ReadWaveFile("s.wav", format, data), kWaveOk) << c.file;
    EXPECT_EQ(format.formatTag, 1);
    EXPECT_EQ(format.channels, c.channels) << c.file;
    EXPECT_EQ(static_cast<int>(format.samplesPerSecond), c.rate) << c.file;
    EXPECT_EQ(format.bitsPerSample, c.bits) << c.file;
    EXPECT_EQ(format.blockAlign, c.channels * c.bits / 8) << c.file;
    EXPECT_EQ(static_cast<int>(format.averageBytesPerSecond), c.rate * c.channels * c.bits / 8) << c.file;
    EXPECT_EQ(format.extraBytes, 0);
    // sox pads an odd data chunk with a byte that is not a sample.
    const std::uint32_t size = testsupport::ReadU32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 40);
    EXPECT_EQ(data.size(), size) << c.file;
    EXPECT_EQ(std::string(data.begin(), data.end()), bytes.substr(44, size)) << c.file;
  }
}

TEST_F(WaveFileTest, AnEighteenByteFormatChunkIsSkippedOver) {
  const std::string samples = "\x01\x02\x03\x04";
  dir.Write("x.wav", Wav(1, 1, 22050, 16, samples, 18));
  WaveFormat format;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(ReadWaveFile("x.wav", format, data), kWaveOk);
  EXPECT_EQ(std::string(data.begin(), data.end()), samples);
  EXPECT_EQ(format.samplesPerSecond, 22050u);
}

TEST_F(WaveFileTest, AnotherFormatTagIsStillReadAsPcm) {
  dir.Write("x.wav", Wav(3, 2, 32000, 16, std::string(8, '\x11')));
  WaveFormat format;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(ReadWaveFile("x.wav", format, data), kWaveOk);
  EXPECT_EQ(format.formatTag, 1);
  EXPECT_EQ(format.channels, 2);
  EXPECT_EQ(format.samplesPerSecond, 32000u);
  EXPECT_EQ(data.size(), 8u);
}

TEST_F(WaveFileTest, ScrambledFileReadsAsThePlainOne) {
  const std::string plain = Fixture("mono16.wav");
  ASSERT_GT(plain.size(), 44u);
  std::vector<std::uint8_t> bytes(plain.begin(), plain.end());
  // Header, chunk header and samples are scrambled as three blocks.
  ScrambleBytes(std::span(bytes).subspan(0, 36));
  ScrambleBytes(std::span(bytes).subspan(36, 8));
  ScrambleBytes(std::span(bytes).subspan(44));
  ASSERT_EQ(bytes[0], 'r');
  dir.Write("scrambled.wav", bytes);
  WaveFormat format;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(ReadWaveFile("scrambled.wav", format, data), kWaveOk);
  EXPECT_EQ(format.channels, 1);
  EXPECT_EQ(format.samplesPerSecond, 22050u);
  EXPECT_EQ(std::string(data.begin(), data.end()), plain.substr(44, data.size()));
  EXPECT_EQ(data.size(), testsupport::ReadU32(reinterpret_cast<const std::uint8_t*>(plain.data()) + 40));
}

TEST_F(WaveFileTest, UnscrambleUndoesScrambleAndCountsFromEachBlockStart) {
  std::vector<std::uint8_t> block(300);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<std::uint8_t> original = block;
  EXPECT_EQ(ScrambleBytes(block), 300u);
  EXPECT_NE(block, original);
  // Byte i moves by base + i x step: the same byte value at two places scrambles differently.
  std::vector<std::uint8_t> zeros(4, 0);
  ScrambleBytes(zeros);
  EXPECT_NE(zeros[0], zeros[1]);
  EXPECT_EQ(static_cast<std::uint8_t>(zeros[2] - zeros[1]), static_cast<std::uint8_t>(zeros[1] - zeros[0]));
  EXPECT_EQ(UnscrambleBytes(block), 300u);
  EXPECT_EQ(block, original);
}

TEST_F(WaveFileTest, BadFilesAreRefused) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const std::string pcm(16, '\x20');
  const std::string list = Fixture("listchunk.wav");
  std::string notRiff = Wav(1, 1, 22050, 16, pcm);
  notRiff[0] = 'X';
  std::string notWave = Wav(1, 1, 22050, 16, pcm);
  notWave[8] = 'X';
  std::string noFmt = Wav(1, 1, 22050, 16, pcm);
  noFmt[12] = 'X';
  const Case cases[] = {
      {"a LIST chunk before the data", list},
      {"not RIFF", notRiff},
      {"not WAVE", notWave},
      {"no fmt chunk", noFmt},
      {"three channels", Wav(1, 3, 22050, 16, std::string(18, 'a'))},
      {"no channels", Wav(1, 0, 22050, 16, pcm)},
      {"24-bit samples", Wav(1, 1, 22050, 24, std::string(18, 'a'))},
      {"rate 0", Wav(1, 1, 0, 16, pcm)},
      {"format chunk shorter than 16", Wav(1, 1, 22050, 16, pcm, 16).replace(16, 1, "\x0e")},
      {"format chunk past the end", Wav(1, 1, 22050, 16, pcm, 16).replace(16, 4, std::string("\xff\xff\xff\x7f", 4))},
      {"data size past the end", Wav(1, 1, 22050, 16, pcm, 16, 0xFFFFFFF0u)},
      {"data one byte short", Wav(1, 1, 22050, 16, pcm, 16, 17)},
      {"cut inside the header", Wav(1, 1, 22050, 16, pcm).substr(0, 30)},
      {"cut inside the chunk header", Wav(1, 1, 22050, 16, pcm).substr(0, 40)},
  };
  ASSERT_GT(list.size(), 44u);
  for (const Case& c : cases) {
    dir.Write("bad.wav", c.bytes);
    WaveFormat format;
    std::vector<std::uint8_t> data;
    EXPECT_EQ(ReadWaveFile("bad.wav", format, data), kWaveUnreadable) << c.what;
    EXPECT_TRUE(data.empty()) << c.what;
  }
}

TEST_F(WaveFileTest, MissingFileCannotBeOpened) {
  WaveFormat format;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(ReadWaveFile("data\\sound\\none.wav", format, data), kWaveCannotOpen);
}

}  // namespace
