#include "audio/mp2_encoder.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/mp2_tables.h"
#include "audio/mpa_header.h"
#include "audio/mpa_layer12.h"
#include "mpa_stream_compare.h"
#include "support/audio_signals.h"
#include "support/temp_dir.h"

namespace {

using testsupport::TempDir;

struct FrameInfo {
  std::size_t offset;
  std::size_t length;
  bool padded;
};

// Walks the stream by the frame lengths its headers give.
std::vector<FrameInfo> Frames(const std::string& bytes) {
  std::vector<FrameInfo> frames;
  std::size_t at = 0;
  while (at + 4 <= bytes.size() && static_cast<std::uint8_t>(bytes[at]) == 0xFF) {
    const bool padded = (static_cast<std::uint8_t>(bytes[at + 2]) & 0x02) != 0;
    const std::size_t length = padded ? 262 : 261;
    frames.push_back({at, length, padded});
    at += length;
  }
  return frames;
}

std::string Header(const std::string& bytes, const FrameInfo& f) { return bytes.substr(f.offset, 4); }

class Mp2EncoderTest : public ::testing::Test {
 protected:
  std::string Encode(const std::vector<std::int16_t>& samples, int* result = nullptr) {
    dir.Write("in.wav", testsupport::WavBytes(samples));
    const int r = EncodeWavToMp2("in.wav", "out.mp2");
    if (result) *result = r;
    return dir.Exists("out.mp2") ? dir.Read("out.mp2") : std::string();
  }
  TempDir dir;
};

TEST_F(Mp2EncoderTest, FramesCarryTheFixedHeaderAndThePaddingRule) {
  int result = -1;
  const std::string out = Encode(testsupport::SineSweep(1.0, 200, 8000), &result);
  EXPECT_EQ(result, 0);
  const std::vector<FrameInfo> frames = Frames(out);
  // 44100 samples make 38.28 frames: 39, the last filled up with zeros.
  ASSERT_EQ(frames.size(), 39u);
  std::size_t padded = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const std::string h = Header(out, frames[i]);
    EXPECT_EQ(h, frames[i].padded ? std::string("\xFF\xFD\x52\xC0", 4) : std::string("\xFF\xFD\x50\xC0", 4)) << i;
    padded += frames[i].padded;
  }
  EXPECT_FALSE(frames[0].padded);
  EXPECT_FALSE(frames[1].padded);
  EXPECT_FALSE(frames[2].padded);
  EXPECT_TRUE(frames[3].padded);
  // 0.2245 of a slot per frame is carried: 8 or 9 of 39 frames padded.
  EXPECT_GE(padded, 8u);
  EXPECT_LE(padded, 9u);
  const FrameInfo& last = frames.back();
  ASSERT_EQ(out.size(), last.offset + last.length + 1) << "one byte after the last frame";
  EXPECT_EQ(out.back(), '\0');
}

// The encoder writes allocations with the table it shares with the decoder; the
// header it writes must make the decoder pick that same table.
TEST_F(Mp2EncoderTest, HeaderSelectsTheAllocationTableTheEncoderUses) {
  const std::string out = Encode(testsupport::SineSweep(0.1, 300, 3000));
  ASSERT_GE(out.size(), 4u);
  std::uint32_t word = 0;
  for (int i = 0; i < 4; ++i) word = word << 8 | static_cast<std::uint8_t>(out[static_cast<std::size_t>(i)]);
  const mpa::MpaHeader header = mpa::MpaHeader::Parse(word);
  ASSERT_TRUE(header.IsValid());
  const int index = mpa::Layer2TableIndex(header);
  ASSERT_GE(index, 0);
  ASSERT_LT(index, 5);
  EXPECT_EQ(&mpa::kLayer2Alloc[index], &mp2::VoiceAllocTable());
  EXPECT_EQ(mp2::VoiceAllocTable().sblimit, mp2::kSubbandLimit);
}

TEST_F(Mp2EncoderTest, FrameCountFollowsTheSampleCount) {
  struct Case {
    std::size_t samples;
    std::size_t frames;
    std::size_t bytes;
  };
  const Case cases[] = {
      {0, 0, 1},
      {1, 1, 262},
      {1152, 1, 262},
      {1152 * 3, 3, 3 * 261 + 1},
      {1153, 2, 2 * 261 + 1},
      {1152 * 4, 4, 3 * 261 + 262 + 1},
  };
  for (const Case& c : cases) {
    std::vector<std::int16_t> samples = testsupport::SineSweep(1.0, 300, 3000);
    samples.resize(c.samples);
    int result = -1;
    const std::string out = Encode(samples, &result);
    EXPECT_EQ(result, 0) << c.samples;
    EXPECT_EQ(Frames(out).size(), c.frames) << c.samples;
    EXPECT_EQ(out.size(), c.bytes) << c.samples;
  }
}

TEST_F(Mp2EncoderTest, EmptyRecordingGivesOneZeroByte) {
  const std::string out = Encode({});
  EXPECT_EQ(out, std::string(1, '\0'));
}

// The allocation loop spends the frame's bits whatever the masking says, so
// silence too gets bits, lowest subbands first; what they carry is silence:
// one scale factor per subband, the smallest, and codes that decode to 0.
TEST_F(Mp2EncoderTest, SilenceStillAllocatesBitsAndDecodesToZeros) {
  const std::string out = Encode(std::vector<std::int16_t>(1152, 0));
  ASSERT_EQ(out.size(), 262u);
  EXPECT_EQ(out.substr(0, 4), std::string("\xFF\xFD\x50\xC0", 4));
  EXPECT_EQ(out.substr(261), std::string(1, '\0'));
  std::size_t bit = 32;
  auto read = [&out, &bit](int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i, ++bit)
      v = v << 1 | ((static_cast<std::uint8_t>(out[bit / 8]) >> (7 - bit % 8)) & 1u);
    return v;
  };
  std::vector<std::uint32_t> allocation;
  for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) allocation.push_back(read(mp2::AllocBits(sb)));
  int allocated = 0;
  for (std::uint32_t a : allocation) allocated += a > 0;
  EXPECT_GE(allocated, 8) << ::testing::PrintToString(allocation);
  EXPECT_GT(allocation[0], 0u) << "the lowest subband is served first";
  std::vector<std::uint32_t> scfsi;
  for (std::uint32_t a : allocation)
    if (a) scfsi.push_back(read(2));
  for (std::size_t i = 0; i < scfsi.size(); ++i) {
    EXPECT_EQ(scfsi[i], 2u) << "one scale factor serves the three blocks, allocated subband " << i;
    EXPECT_EQ(read(6), 62u) << "the smallest scale factor, allocated subband " << i;
  }
  // Every sample is the quantiser's middle code, which stands for 0.
  int notZero = 0;
  for (int granule = 0; granule < 12; ++granule) {
    for (int sb = 0; sb < mp2::kSubbandLimit; ++sb) {
      const std::uint32_t a = allocation[static_cast<std::size_t>(sb)];
      if (!a) continue;
      const mp2::QuantClass& c = mp2::kQuantClasses[mp2::AllocClass(sb, static_cast<int>(a)) - 1];
      const auto middle = static_cast<std::uint32_t>(c.steps - 1) / 2;
      const auto steps = static_cast<std::uint32_t>(c.steps);
      if (c.grouped) {
        notZero += read(c.codewordBits) != middle + steps * (middle + steps * middle);
      } else {
        for (int i = 0; i < 3; ++i) notZero += read(c.codewordBits) != middle;
      }
    }
  }
  EXPECT_EQ(notZero, 0);
  int ancillary = 0;
  while (bit < 261 * 8) ancillary += static_cast<int>(read(1));
  EXPECT_EQ(ancillary, 0) << "the bits left over are zeros";
  const testsupport::DecodedStream decoded = testsupport::DecodeWithEngine(out);
  EXPECT_EQ(decoded.frames, 1);
  EXPECT_EQ(decoded.faults, 0);
  EXPECT_EQ(decoded.samples, std::vector<std::int16_t>(1152, 0));
}

TEST_F(Mp2EncoderTest, HeaderIsSkippedUnreadSoAnExtendedFormatChunkShiftsTheSamples) {
  // 70000 samples: the data size's high half (1) is not zero, so a wrong start shows.
  const std::vector<std::int16_t> samples = testsupport::SineSweep(70000 / 44100.0, 500, 5000);
  std::string plain = testsupport::WavBytes(samples);
  // The same recording with an 18-byte format chunk: bytes 44-45 are then
  // the high half of the data size, which the encoder takes as a sample.
  std::string extended = plain.substr(0, 36) + std::string(2, '\0') + plain.substr(36);
  extended[16] = 18;
  std::vector<std::int16_t> shifted = samples;
  shifted.insert(shifted.begin(), static_cast<std::int16_t>(static_cast<std::uint8_t>(extended[44]) |
                                                            static_cast<std::uint8_t>(extended[45]) << 8));
  ASSERT_EQ(shifted.front(), 2);  // 140000 bytes of data
  dir.Write("extended.wav", extended);
  dir.Write("shifted.wav", testsupport::WavBytes(shifted));
  ASSERT_EQ(EncodeWavToMp2("extended.wav", "a.mp2"), 0);
  ASSERT_EQ(EncodeWavToMp2("shifted.wav", "b.mp2"), 0);
  const std::string a = dir.Read("a.mp2");
  EXPECT_GT(a.size(), 10000u);
  EXPECT_TRUE(a == dir.Read("b.mp2"));
  // Read from the data chunk instead, the stream would differ.
  dir.Write("plain.wav", plain);
  ASSERT_EQ(EncodeWavToMp2("plain.wav", "c.mp2"), 0);
  EXPECT_FALSE(a == dir.Read("c.mp2"));
}

TEST_F(Mp2EncoderTest, SameInputGivesTheSameBytes) {
  const std::vector<std::int16_t> samples = testsupport::SpeechLike(0.5);
  const std::string first = Encode(samples);
  const std::string second = Encode(samples);
  ASSERT_GT(first.size(), 1000u);
  EXPECT_EQ(first, second);
}

TEST_F(Mp2EncoderTest, OutputInAMissingFolderFailsAndLeavesNoFile) {
  dir.Write("in.wav", testsupport::WavBytes(testsupport::SineSweep(0.1, 500, 600)));
  testing::internal::CaptureStdout();
  const int result = EncodeWavToMp2("in.wav", "missing\\out.mp2");
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_NE(result, 0);
  EXPECT_EQ(printed, "Could not create \"missing\\out.mp2\".\n");
  EXPECT_FALSE(dir.Exists("missing/out.mp2"));
  EXPECT_FALSE(dir.Exists("missing"));
}

TEST_F(Mp2EncoderTest, MissingInputFailsAndCreatesNothing) {
  testing::internal::CaptureStdout();
  const int result = EncodeWavToMp2("absent.wav", "out.mp2");
  testing::internal::GetCapturedStdout();
  EXPECT_NE(result, 0);
  EXPECT_FALSE(dir.Exists("out.mp2"));
}

TEST_F(Mp2EncoderTest, ARewrittenVoiceReplacesTheOldFileWhole) {
  dir.Write("out.mp2", std::string(5000, 'x'));
  const std::string out = Encode(std::vector<std::int16_t>(1152 * 2, 100));
  EXPECT_EQ(out.size(), 2u * 261 + 1);
}

TEST_F(Mp2EncoderTest, FullScaleInputIsNeverReportedAsBadlyScaled) {
  std::vector<std::int16_t> square(1152 * 4);
  for (std::size_t i = 0; i < square.size(); ++i) square[i] = (i / 40) % 2 ? 32767 : -32768;
  testing::internal::CaptureStdout();
  const std::string out = Encode(square);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed, "");
  EXPECT_EQ(Frames(out).size(), 4u);
}

}  // namespace
