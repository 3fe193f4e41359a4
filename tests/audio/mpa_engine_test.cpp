// The decoding engine on its own: header rules, finding and losing sync, the
// Layer III reservoir, routing, down-sampling, the equalizer and 8-bit output.
#include <cstdint>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/mpa_engine.h"
#include "audio/mpa_header.h"
#include "audio/mpa_stream_compare.h"
#include "audio/mpa_xing_header.h"

namespace {

using mpa::MpaEngine;
using mpa::MpaHeader;

std::string Fixture(const char* name) {
  std::ifstream in(std::string(FIXTURES_DIR) + "/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Byte offsets of the frames of a clean stream, found by walking frame sizes.
std::vector<std::size_t> FrameOffsets(const std::string& bytes) {
  std::vector<std::size_t> offsets;
  std::size_t pos = 0;
  while (pos + 4 <= bytes.size()) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data() + pos);
    const std::uint32_t word = static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    if (!MpaHeader::IsHeader(word)) break;
    offsets.push_back(pos);
    pos += static_cast<std::size_t>(MpaHeader::Parse(word).FrameBytes());
  }
  return offsets;
}

// Every NextFrame result, in order.
struct Decoding {
  std::vector<int> results;
  std::vector<std::vector<std::int16_t>> frames;
};
Decoding DecodeAll(const std::string& bytes, int routing = 0, int downsampling = 0) {
  Decoding run;
  MpaEngine engine;
  std::size_t pos = 0;
  engine.SetInput([&](std::uint8_t* dst, int length) {
    if (bytes.size() - pos < static_cast<std::size_t>(length)) return mpa::kEndOfInput;
    std::memcpy(dst, bytes.data() + pos, static_cast<std::size_t>(length));
    pos += static_cast<std::size_t>(length);
    return 0;
  });
  engine.SetRouting(routing);
  engine.SetDownsampling(downsampling);
  engine.Reset();
  std::vector<std::int16_t> out(mpa::kMaxFrameSamples);
  for (int guard = 0; guard < 10000; ++guard) {
    const int n = engine.NextFrame(out);
    run.results.push_back(n);
    if (n == mpa::kEndOfInput) break;
    if (n > 0) run.frames.emplace_back(out.begin(), out.begin() + n);
  }
  return run;
}

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, joint stereo: the base of the header cases.
constexpr std::uint32_t kGoodHeader = 0xFFFB9044u;

TEST(MpaHeaderTest, ValidityRules) {
  struct Case {
    const char* what;
    std::uint32_t word;
    bool valid;
  };
  const Case cases[] = {
      {"a plain Layer III header", kGoodHeader, true},
      {"sync bits missing", kGoodHeader & ~0x00200000u, false},
      {"free format", kGoodHeader & ~0x0000F000u, false},
      {"bit-rate index 15", kGoodHeader | 0x0000F000u, false},
      {"layer code 0", kGoodHeader & ~0x00060000u, false},
      {"sampling index 3", kGoodHeader | 0x00000C00u, false},
      {"padding at 44.1 kHz", kGoodHeader | 0x200u, true},
      {"padding at 48 kHz", (kGoodHeader & ~0xC00u) | 0x400u | 0x200u, false},
      {"reserved version", kGoodHeader & ~0x00100000u, false},
      {"MPEG-2.5 Layer III", kGoodHeader & ~0x00180000u, true},
      {"MPEG-2.5 Layer II", (kGoodHeader & ~0x00180000u & ~0x00060000u) | 0x00040000u, false},
      {"Layer II stereo at 32 kbit/s", (kGoodHeader & ~0x00060000u & ~0xF000u) | 0x00040000u | 0x1000u, false},
      {"Layer II stereo at 64 kbit/s", (kGoodHeader & ~0x00060000u & ~0xF000u) | 0x00040000u | 0x4000u, true},
      {"Layer II mono at 56 kbit/s", (kGoodHeader & ~0x00060000u & ~0xF000u) | 0x00040000u | 0x3000u | 0xC0u, true},
      {"Layer II mono at 224 kbit/s", (kGoodHeader & ~0x00060000u & ~0xF000u) | 0x00040000u | 0xB000u | 0xC0u, false},
      {"Layer II stereo at 384 kbit/s", (kGoodHeader & ~0x00060000u & ~0xF000u) | 0x00040000u | 0xE000u, true},
  };
  for (const Case& c : cases) EXPECT_EQ(MpaHeader::IsHeader(c.word), c.valid) << c.what;
}

TEST(MpaHeaderTest, SizesFollowLayerAndVersion) {
  const MpaHeader h = MpaHeader::Parse(kGoodHeader);
  EXPECT_EQ(h.layer, 3);
  EXPECT_EQ(h.BitRateKbit(), 128);
  EXPECT_EQ(h.SampleRateHz(), 44100);
  EXPECT_EQ(h.FrameBytes(), 417);
  EXPECT_EQ(h.SamplesPerFrame(), 1152);
  const MpaHeader lsf = MpaHeader::Parse(kGoodHeader & ~0x00080000u);  // MPEG-2, 22.05 kHz
  EXPECT_EQ(lsf.SampleRateHz(), 22050);
  EXPECT_EQ(lsf.BitRateKbit(), 80);
  EXPECT_EQ(lsf.SamplesPerFrame(), 576);
  EXPECT_EQ(lsf.FrameBytes(), 72 * 80000 / 22050);
}

TEST(MpaEngineTest, RubbishBeforeTheFirstHeaderIsSkipped) {
  const std::string clean = Fixture("l2_44k_stereo.mp2");
  std::string dirty;
  for (int i = 0; i < 37; ++i) dirty.push_back(static_cast<char>(i * 7 % 0x60));
  dirty.push_back(static_cast<char>(0xFF));  // a lone sync byte too
  dirty += clean;
  const Decoding a = DecodeAll(clean);
  const Decoding b = DecodeAll(dirty);
  ASSERT_GT(a.frames.size(), 10u);
  EXPECT_EQ(b.frames, a.frames);
}

TEST(MpaEngineTest, FreeFormatIsNeverSynchronised) {
  std::string stream = Fixture("l2_44k_stereo.mp2");
  for (std::size_t offset : FrameOffsets(stream)) stream[offset + 2] = static_cast<char>(stream[offset + 2] & 0x0F);
  const Decoding run = DecodeAll(stream);
  EXPECT_TRUE(run.frames.empty());
  EXPECT_EQ(run.results.back(), mpa::kEndOfInput);
}

TEST(MpaEngineTest, LostSyncReportsAFaultThenRecoversAtTheNextHeader) {
  std::string stream = Fixture("l2_44k_stereo.mp2");
  const std::vector<std::size_t> offsets = FrameOffsets(stream);
  ASSERT_GT(offsets.size(), 8u);
  std::memset(stream.data() + offsets[5], 0, 4);  // frame 5 loses its header
  const Decoding run = DecodeAll(stream);
  const Decoding clean = DecodeAll(Fixture("l2_44k_stereo.mp2"));
  // Frames 0..4, the fault, then frames 6.. to the end.
  ASSERT_GE(run.results.size(), 7u);
  for (int i = 0; i < 5; ++i) EXPECT_GT(run.results[static_cast<std::size_t>(i)], 0) << i;
  EXPECT_EQ(run.results[5], mpa::kDecodeFault);
  EXPECT_EQ(std::count(run.results.begin(), run.results.end(), mpa::kDecodeFault), 1);
  EXPECT_EQ(run.frames.size(), clean.frames.size() - 1);
  EXPECT_EQ(run.results.back(), mpa::kEndOfInput);
}

TEST(MpaEngineTest, MissingReservoirDataGivesASilentFrame) {
  const std::string stream = Fixture("l3_44k_stereo.mp3");
  const std::vector<std::size_t> offsets = FrameOffsets(stream);
  ASSERT_GT(offsets.size(), 20u);
  // Frame 20 points back into frame 19's bytes, which a stream cut there lacks.
  const Decoding cut = DecodeAll(stream.substr(offsets[20]));
  ASSERT_GT(cut.frames.size(), 2u);
  for (std::int16_t s : cut.frames[0]) ASSERT_EQ(s, 0);
  // Once the reservoir holds what frames point back to, sound returns.
  bool sound = false;
  for (const auto& frame : cut.frames) {
    for (std::int16_t s : frame) sound = sound || s != 0;
  }
  EXPECT_TRUE(sound);
}

TEST(MpaEngineTest, DownsamplingCounts) {
  const std::string stream = Fixture("l3_44k_stereo.mp3");
  struct Case {
    int routing, downsampling;
    std::size_t samples;  // per frame, over all output channels
  };
  for (const Case& c : {Case{0, 0, 2304}, Case{0, 1, 1152}, Case{0, 2, 576}, Case{1, 2, 288}, Case{3, 1, 576}}) {
    const Decoding run = DecodeAll(stream, c.routing, c.downsampling);
    ASSERT_FALSE(run.frames.empty());
    EXPECT_EQ(run.frames[0].size(), c.samples) << c.routing << " " << c.downsampling;
  }
  const testsupport::DecodedStream quarter = testsupport::DecodeWithEngine(stream, 0, 2);
  EXPECT_EQ(quarter.rate, 11025);
  EXPECT_EQ(quarter.channels, 2);
}

TEST(MpaEngineTest, DownsampledOutputKeepsTheLowTone) {
  // The left channel glides from 200 Hz; at a quarter of the rate it must keep its level.
  const std::string stream = Fixture("l3_44k_stereo.mp3");
  const testsupport::DecodedStream full = testsupport::DecodeWithEngine(stream, 1, 0);
  const testsupport::DecodedStream quarter = testsupport::DecodeWithEngine(stream, 1, 2);
  ASSERT_EQ(quarter.samples.size() * 4, full.samples.size());
  auto rms = [](const std::vector<std::int16_t>& v) {
    double sum = 0.0;
    for (std::int16_t s : v) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(v.size()));
  };
  EXPECT_NEAR(rms(quarter.samples) / rms(full.samples), 1.0, 0.1);
}

TEST(MpaEngineTest, FourRoutings) {
  const std::string stream = Fixture("l3_44k_stereo.mp3");
  const testsupport::DecodedStream both = testsupport::DecodeWithEngine(stream, 0);
  const testsupport::DecodedStream first = testsupport::DecodeWithEngine(stream, 1);
  const testsupport::DecodedStream second = testsupport::DecodeWithEngine(stream, 2);
  const testsupport::DecodedStream average = testsupport::DecodeWithEngine(stream, 3);
  ASSERT_EQ(both.channels, 2);
  EXPECT_EQ(first.channels, 1);
  ASSERT_EQ(first.samples.size() * 2, both.samples.size());
  ASSERT_EQ(second.samples.size(), first.samples.size());
  ASSERT_EQ(average.samples.size(), first.samples.size());
  int differ = 0;
  for (std::size_t i = 0; i < first.samples.size(); ++i) {
    const int l = both.samples[2 * i], r = both.samples[2 * i + 1];
    ASSERT_EQ(first.samples[i], l) << i;
    ASSERT_EQ(second.samples[i], r) << i;
    ASSERT_NEAR(average.samples[i], (l + r) / 2.0, 1.5) << i;
    differ += l != r;
  }
  EXPECT_GT(differ, static_cast<int>(first.samples.size() / 2));  // the channels really differ
}

TEST(MpaEngineTest, EqualizerGainsScaleTheOutput) {
  const std::string stream = Fixture("l2_44k_stereo.mp2");
  const Decoding plain = DecodeAll(stream, 1);
  float gains[2][32];
  for (auto& channel : gains) {
    for (float& g : channel) g = 0.5f;
  }
  MpaEngine engine;
  std::size_t pos = 0;
  engine.SetInput([&](std::uint8_t* dst, int length) {
    if (stream.size() - pos < static_cast<std::size_t>(length)) return mpa::kEndOfInput;
    std::memcpy(dst, stream.data() + pos, static_cast<std::size_t>(length));
    pos += static_cast<std::size_t>(length);
    return 0;
  });
  engine.SetRouting(1);
  engine.SetEqualizer(gains);
  engine.Reset();
  std::vector<std::int16_t> out(mpa::kMaxFrameSamples);
  for (std::size_t f = 0; f < 5; ++f) {
    const int n = engine.NextFrame(out);
    ASSERT_EQ(n, 1152);
    for (int i = 0; i < n; ++i) ASSERT_NEAR(out[static_cast<std::size_t>(i)], plain.frames[f][static_cast<std::size_t>(i)] / 2.0, 1.0);
  }
}

TEST(MpaEngineTest, EightBitOutputBothWays) {
  struct Case {
    std::int16_t sample;
    std::uint8_t shifted, table;
  };
  for (const Case& c : {Case{0, 128, 128}, Case{32767, 255, 255}, Case{-32768, 0, 0}, Case{-1, 128, 128},
                        Case{-255, 128, 127}, Case{256, 129, 129}, Case{1000, 131, 132}}) {
    EXPECT_EQ(MpaEngine::To8BitShift(c.sample), c.shifted) << c.sample;
    EXPECT_EQ(MpaEngine::To8BitTable(c.sample), c.table) << c.sample;
  }
}

TEST(MpaEngineTest, DamagedFramesNeverCrashAndDecodingGoesOn) {
  const std::string clean = Fixture("l3_44k_stereo.mp3");
  std::uint32_t seed = 12345;
  for (int round = 0; round < 20; ++round) {
    std::string stream = clean;
    for (int i = 0; i < 60; ++i) {
      seed = seed * 1664525u + 1013904223u;
      stream[(seed >> 8) % stream.size()] = static_cast<char>(seed >> 24);
    }
    const Decoding run = DecodeAll(stream);
    EXPECT_EQ(run.results.back(), mpa::kEndOfInput);
    EXPECT_GT(run.frames.size(), 10u);
  }
}

TEST(MpaXingHeaderTest, DurationAndTableOfContents) {
  std::vector<std::uint8_t> head(196, 0);
  const std::uint32_t header = 0xFFFB9044u;  // MPEG-1 Layer III stereo: tag at 36
  for (int i = 0; i < 4; ++i) head[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(header >> (24 - 8 * i));
  std::memcpy(&head[36], "Xing", 4);
  head[43] = 5;    // frames and table of contents
  head[46] = 0x01;  // 441 frames
  head[47] = 0xB9;
  for (int i = 0; i < 100; ++i) head[48 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 2);
  const mpa::MpaXingHeader xing = mpa::MpaXingHeader::Read(head);
  ASSERT_TRUE(xing.present);
  EXPECT_EQ(xing.frames, 441u);
  EXPECT_DOUBLE_EQ(xing.DurationSeconds(100000), 441.0 * 1152 / 44100);
  EXPECT_EQ(xing.AverageBitRateKbit(100000), static_cast<int>(100000 / (441.0 * 1152 / 44100) / 125));
  EXPECT_EQ(xing.SeekPosition(0.5, 25600), 100 * 100);
  EXPECT_EQ(xing.SeekPosition(0.505, 25600), 10100);        // halfway between entries 50 and 51
  EXPECT_EQ(xing.SeekPosition(0.995, 25600), (198 + 29) * 100);  // toward 256 after the last entry
}

TEST(MpaXingHeaderTest, ZeroFramesAndShortBuffersAreSafe) {
  std::vector<std::uint8_t> head(196, 0);
  const std::uint32_t header = 0xFFFBA0C4u;  // MPEG-1 Layer III mono, 160 kbit/s: tag at 21
  for (int i = 0; i < 4; ++i) head[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(header >> (24 - 8 * i));
  std::memcpy(&head[21], "Xing", 4);
  head[28] = 1;  // a frame count of 0
  const mpa::MpaXingHeader xing = mpa::MpaXingHeader::Read(head);
  ASSERT_TRUE(xing.present);
  EXPECT_FALSE(xing.has_frames);
  EXPECT_DOUBLE_EQ(xing.DurationSeconds(20000), 20000 * 8.0 / 160000.0);  // from size and bit rate
  // A table of contents that would run past the bytes read is not taken.
  std::vector<std::uint8_t> cut(head.begin(), head.begin() + 60);
  cut[28] = 4;
  EXPECT_FALSE(mpa::MpaXingHeader::Read(cut).has_toc);
}

}  // namespace
