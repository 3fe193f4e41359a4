// The encoder's streams judged by independent decoders: ffprobe, ffmpeg,
// mpg123, and twolame as a peer encoder at the same settings.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/run_command.h"
#include "audio/mp2_encoder.h"
#include "support/audio_signals.h"
#include "support/external_tool.h"
#include "support/temp_dir.h"

namespace {

using testsupport::RunCommand;
using testsupport::ShellQuote;

std::vector<std::int16_t> Samples(const std::string& raw) {
  std::vector<std::int16_t> out(raw.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                       static_cast<std::uint8_t>(raw[2 * i + 1]) << 8);
  }
  return out;
}

class Mp2ExternalTest : public testsupport::TempDirTest {
 protected:
  // Encodes the samples to out.mp2 and writes frames.mp2, the stream without its closing byte.
  void EncodeTo(const std::vector<std::int16_t>& samples) {
    dir.Write("in.wav", testsupport::WavBytes(samples));
    ASSERT_EQ(EncodeWavToMp2("in.wav", "out.mp2"), 0);
    const std::string out = dir.Read("out.mp2");
    ASSERT_GT(out.size(), 1u);
    dir.Write("frames.mp2", out.substr(0, out.size() - 1));
  }
  // ffmpeg's decoding of a stream as 16-bit samples; fails the test on any diagnostic.
  std::vector<std::int16_t> Decode(const std::string& stream) {
    std::string output;
    const int status = RunCommand("ffmpeg -nostdin -v error -y -i " + ShellQuote(dir.Native(stream)) +
                                      " -f s16le -acodec pcm_s16le " + ShellQuote(dir.Native("decoded.raw")),
                                  output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "") << stream;
    return Samples(dir.Read("decoded.raw"));
  }
};

TEST_F(Mp2ExternalTest, FfprobeSeesMpeg1LayerIIMono80kbit) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kFfprobe);
  EncodeTo(testsupport::SineSweep(2.0, 100, 10000));
  std::string output;
  ASSERT_EQ(RunCommand("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels,bit_rate "
                       "-of default=noprint_wrappers=1 " + ShellQuote(dir.Native("out.mp2")),
                       output),
            0)
      << output;
  EXPECT_NE(output.find("codec_name=mp2\n"), std::string::npos) << output;
  EXPECT_NE(output.find("sample_rate=44100\n"), std::string::npos) << output;
  EXPECT_NE(output.find("channels=1\n"), std::string::npos) << output;
  EXPECT_NE(output.find("bit_rate=80000\n"), std::string::npos) << output;
}

TEST_F(Mp2ExternalTest, Mpg123DecodesWithoutAWarning) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kMpg123);
  EncodeTo(testsupport::SpeechLike(2.0));
  std::string output;
  const int status = RunCommand("mpg123 -w " + ShellQuote(dir.Native("decoded.wav")) + " " +
                                    ShellQuote(dir.Native("out.mp2")), output);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("MPEG 1.0 L II cbr80 44100 mono"), std::string::npos) << output;
  for (const char* bad : {"warning", "Warning", "error", "Error", "problem"}) {
    EXPECT_EQ(output.find(bad), std::string::npos) << output;
  }
  // 2 s = 76.6 frames: 77 frames of 1152 samples.
  EXPECT_EQ(dir.Read("decoded.wav").size(), 44u + 77u * 1152u * 2u);
}

TEST_F(Mp2ExternalTest, FfmpegDecodesEveryFrameAndTheClosingByteAddsNothing) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kFfmpeg);
  EncodeTo(testsupport::SineSweep(1.0, 200, 4000));
  const std::vector<std::int16_t> frames = Decode("frames.mp2");
  EXPECT_EQ(frames.size(), 39u * 1152u);
  // The whole file: the decoder reports the lone closing byte as a broken
  // packet, but the samples are the same.
  std::string output;
  RunCommand("ffmpeg -nostdin -v error -y -i " + ShellQuote(dir.Native("out.mp2")) + " -f s16le " +
                 ShellQuote(dir.Native("whole.raw")), output);
  EXPECT_EQ(Samples(dir.Read("whole.raw")), frames);
}

struct SignalCase {
  const char* name;
  std::vector<std::int16_t> (*make)();
  double minimumSnrDb;
};

std::vector<std::int16_t> Sweep() { return testsupport::SineSweep(4.0, 60, 16000); }
std::vector<std::int16_t> Speech() { return testsupport::SpeechLike(4.0); }

class Mp2QualityTest : public Mp2ExternalTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(Mp2QualityTest, DecodedSignalMatchesTheInputAsWellAsAPeerEncoder) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kFfmpeg);
  const SignalCase& c = GetParam();
  const std::vector<std::int16_t> input = c.make();
  EncodeTo(input);
  int delay = 0;
  const double ours = testsupport::AlignedSnrDb(input, Decode("frames.mp2"), 1152, &delay);
  // Delay of the analysis and synthesis filterbanks together.
  EXPECT_EQ(delay, 481);
  EXPECT_GE(ours, c.minimumSnrDb) << c.name;
  std::printf("[ quality  ] %s: ours %.2f dB", c.name, ours);
  if (testsupport::HaveTool(testsupport::kTwolame) || testsupport::InContinuousIntegration()) {
    std::string output;
    ASSERT_EQ(RunCommand("twolame --quiet -b 80 -m m -P 1 " + ShellQuote(dir.Native("in.wav")) + " " +
                             ShellQuote(dir.Native("peer.mp2")), output),
              0)
        << output;
    const double peer = testsupport::AlignedSnrDb(input, Decode("peer.mp2"), 1152);
    std::printf(", twolame %.2f dB", peer);
    // Both follow psychoacoustic model 1 and spend bits alike; within half a
    // decibel is as good (on a 4 s sweep ours measured 37.7 dB against 27.5).
    EXPECT_GE(ours, peer - 0.5) << c.name;
  }
  std::printf("\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, Mp2QualityTest,
                         ::testing::Values(SignalCase{"sweep", &Sweep, 35.0}, SignalCase{"speech", &Speech, 18.0}),
                         [](const ::testing::TestParamInfo<SignalCase>& param) { return std::string(param.param.name); });

}  // namespace
