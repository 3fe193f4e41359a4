// Streams from independent encoders (ffmpeg, twolame, lame, our own voice
// encoder) decoded by our engine and by mpg123: the two must agree within one
// least significant bit on every sample.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/mp2_encoder.h"
#include "audio/mpa_stream_compare.h"
#include "audio/run_command.h"
#include "support/audio_signals.h"
#include "support/external_tool.h"
#include "support/temp_dir.h"

namespace {

using testsupport::RunCommand;
using testsupport::ShellQuote;

constexpr testsupport::ExternalTool kLame{"lame", "lame --version", "lame"};

struct StreamCase {
  const char* name;
  const char* encoder;  // ffmpeg, twolame or lame
  int rate;
  int channels;
  const char* options;  // encoder options: codec and bit rate
  int layer;
  bool bursts = false;  // short tone bursts, so Layer III switches to short blocks
};

std::ostream& operator<<(std::ostream& os, const StreamCase& c) { return os << c.name; }

class MpaExternalTest : public testsupport::TempDirTest, public ::testing::WithParamInterface<StreamCase> {
 protected:
  // A two-second test signal with a sweep, a steady tone and some noise in each channel.
  void MakeWav(int rate, int channels, bool bursts) {
    std::string expr = bursts ? "0.5*sin(2*PI*900*t)*lt(mod(t\\,0.25)\\,0.03)+0.05*sin(2*PI*300*t)"
                              : "0.35*sin(2*PI*(150+900*t)*t)+0.1*sin(2*PI*2500*t)+0.04*(random(0)-0.5)";
    if (channels == 2) expr += "|0.3*sin(2*PI*(1200-400*t)*t)+0.08*sin(2*PI*440*t)+0.03*(random(1)-0.5)";
    std::string output;
    ASSERT_EQ(RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i " +
                             ShellQuote("aevalsrc=" + expr + ":s=" + std::to_string(rate) + ":d=2") +
                             " -c:a pcm_s16le " + ShellQuote(dir.Native("in.wav")),
                         output),
              0)
        << output;
  }

  void Encode(const StreamCase& c) {
    std::string output;
    std::string command;
    const std::string in = ShellQuote(dir.Native("in.wav"));
    const std::string out = ShellQuote(dir.Native("stream.mpa"));
    if (std::string(c.encoder) == "ffmpeg") {
      command = "ffmpeg -nostdin -v error -y -i " + in + " " + c.options + " -f " + (c.layer == 3 ? "mp3 -write_xing 0" : "mp2") + " " + out;
    } else if (std::string(c.encoder) == "twolame") {
      command = std::string("twolame --quiet ") + c.options + " " + in + " " + out;
    } else {
      command = std::string("lame --quiet -t ") + c.options + " " + in + " " + out;
    }
    ASSERT_EQ(RunCommand(command, output), 0) << command << "\n" << output;
  }

  std::vector<std::int16_t> Mpg123(const std::string& file) {
    std::string output;
    const int status = RunCommand("mpg123 -q --no-gapless -e s16 -s " + ShellQuote(dir.Native(file)) + " > " +
                                      ShellQuote(dir.Native("mpg123.raw")),
                                  output);
    EXPECT_EQ(status, 0) << output;
    return testsupport::LittleEndianSamples(dir.Read("mpg123.raw"));
  }
};

TEST_P(MpaExternalTest, AgreesWithMpg123) {
  const StreamCase& c = GetParam();
  REQUIRE_EXTERNAL_TOOL(testsupport::kFfmpeg);
  REQUIRE_EXTERNAL_TOOL(testsupport::kMpg123);
  if (std::string(c.encoder) == "twolame") REQUIRE_EXTERNAL_TOOL(testsupport::kTwolame);
  if (std::string(c.encoder) == "lame") REQUIRE_EXTERNAL_TOOL(kLame);
  MakeWav(c.rate, c.channels, c.bursts);
  Encode(c);
  const testsupport::DecodedStream ours = testsupport::DecodeWithEngine(dir.Read("stream.mpa"));
  const std::vector<std::int16_t> theirs = Mpg123("stream.mpa");
  EXPECT_EQ(ours.faults, 0);
  EXPECT_EQ(ours.channels, c.channels);
  EXPECT_EQ(ours.rate, c.rate);
  ASSERT_EQ(ours.samples.size(), theirs.size());
  const testsupport::Agreement a = testsupport::Compare(ours.samples, theirs);
  std::printf("%s: %.4f%% within one LSB, mean |difference| %.4f, largest %d\n", c.name, 100.0 * a.within_one,
              a.mean_abs, a.max_abs);
  EXPECT_GE(a.within_one, 0.999);
  EXPECT_LE(a.max_abs, 1) << "every sample within one least significant bit";
}

INSTANTIATE_TEST_SUITE_P(
    Streams, MpaExternalTest,
    ::testing::Values(
        StreamCase{"ffmpeg_l2_48k_stereo", "ffmpeg", 48000, 2, "-c:a mp2 -b:a 192k", 2},
        StreamCase{"ffmpeg_l2_44k_mono", "ffmpeg", 44100, 1, "-c:a mp2 -b:a 96k", 2},
        StreamCase{"ffmpeg_l2_32k_stereo", "ffmpeg", 32000, 2, "-c:a mp2 -b:a 64k", 2},
        StreamCase{"ffmpeg_l2_24k_mono", "ffmpeg", 24000, 1, "-c:a mp2 -b:a 64k", 2},
        StreamCase{"ffmpeg_l2_22k_stereo", "ffmpeg", 22050, 2, "-c:a mp2 -b:a 96k", 2},
        StreamCase{"ffmpeg_l2_16k_mono", "ffmpeg", 16000, 1, "-c:a mp2 -b:a 32k", 2},
        StreamCase{"ffmpeg_l3_48k_stereo", "ffmpeg", 48000, 2, "-c:a libmp3lame -b:a 192k", 3},
        StreamCase{"ffmpeg_l3_44k_stereo", "ffmpeg", 44100, 2, "-c:a libmp3lame -b:a 128k", 3},
        StreamCase{"ffmpeg_l3_44k_mono", "ffmpeg", 44100, 1, "-c:a libmp3lame -b:a 64k", 3},
        StreamCase{"ffmpeg_l3_32k_stereo", "ffmpeg", 32000, 2, "-c:a libmp3lame -b:a 96k", 3},
        StreamCase{"ffmpeg_l3_24k_stereo", "ffmpeg", 24000, 2, "-c:a libmp3lame -b:a 64k", 3},
        StreamCase{"ffmpeg_l3_22k_mono", "ffmpeg", 22050, 1, "-c:a libmp3lame -b:a 48k", 3},
        StreamCase{"ffmpeg_l3_16k_stereo", "ffmpeg", 16000, 2, "-c:a libmp3lame -b:a 48k", 3},
        StreamCase{"ffmpeg_l3_11k_mono", "ffmpeg", 11025, 1, "-c:a libmp3lame -b:a 24k", 3},
        StreamCase{"ffmpeg_l3_8k_stereo", "ffmpeg", 8000, 2, "-c:a libmp3lame -b:a 24k", 3},
        StreamCase{"twolame_l2_44k_joint", "twolame", 44100, 2, "-b 128 -m j", 2},
        StreamCase{"twolame_l2_48k_mono", "twolame", 48000, 1, "-b 64 -m m", 2},
        StreamCase{"lame_l3_44k_vbr", "lame", 44100, 2, "-V 2", 3},
        StreamCase{"lame_l3_22k_joint", "lame", 22050, 2, "-b 64 -m j", 3},
        StreamCase{"ffmpeg_l3_44k_bursts", "ffmpeg", 44100, 1, "-c:a libmp3lame -b:a 64k", 3, true},
        StreamCase{"ffmpeg_l3_32k_bursts", "ffmpeg", 32000, 2, "-c:a libmp3lame -b:a 96k", 3, true},
        StreamCase{"ffmpeg_l3_22k_bursts", "ffmpeg", 22050, 1, "-c:a libmp3lame -b:a 64k", 3, true},
        StreamCase{"lame_l3_11k_bursts", "lame", 11025, 1, "-b 32", 3, true}),
    [](const ::testing::TestParamInfo<StreamCase>& param) { return std::string(param.param.name); });

class OwnEncoderTest : public testsupport::TempDirTest {};

TEST_F(OwnEncoderTest, VoiceEncoderStreamsDecodeLikeMpg123) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kMpg123);
  dir.Write("in.wav", testsupport::WavBytes(testsupport::SpeechLike(1.5)));
  ASSERT_EQ(EncodeWavToMp2(dir.Native("in.wav"), dir.Native("out.mp2")), 0);
  const testsupport::DecodedStream ours = testsupport::DecodeWithEngine(dir.Read("out.mp2"));
  std::string output;
  ASSERT_EQ(RunCommand("mpg123 -q -e s16 -s " + ShellQuote(dir.Native("out.mp2")) + " > " +
                           ShellQuote(dir.Native("mpg123.raw")),
                       output),
            0)
      << output;
  const std::vector<std::int16_t> theirs = testsupport::LittleEndianSamples(dir.Read("mpg123.raw"));
  EXPECT_EQ(ours.channels, 1);
  EXPECT_EQ(ours.rate, 44100);
  ASSERT_EQ(ours.samples.size(), theirs.size());
  EXPECT_GE(testsupport::Compare(ours.samples, theirs).within_one, 0.999);
}

}  // namespace
