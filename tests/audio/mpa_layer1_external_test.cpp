// Layer I has no encoder among the outside tools, so frames are written here
// from random allocations, scale factors and samples, and mpg123 judges our
// decoding of them.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/mpa_stream_compare.h"
#include "audio/run_command.h"
#include "support/external_tool.h"
#include "support/temp_dir.h"

namespace {

class BitWriter {
 public:
  void Put(std::uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if (value >> i & 1) bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (used_ % 8)));
      ++used_;
    }
  }
  void PadTo(std::size_t bytes) {
    while (bytes_.size() < bytes) bytes_.push_back(0);
    used_ = bytes_.size() * 8;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::size_t used_ = 0;
};

// Stereo (mode 0) or joint stereo with the bound at subband 8 (mode 1, extension 1),
// 384 kbit/s at 44.1 kHz: 416 bytes a frame.
std::string LayerIStream(int frames, bool joint, std::uint32_t seed) {
  auto next = [&seed](std::uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  std::string stream;
  const int bound = joint ? 8 : 32;
  for (int f = 0; f < frames; ++f) {
    BitWriter w;
    w.Put(0xFFFF, 16);                                // sync, MPEG-1, Layer I, no check word
    w.Put(0xC0, 8);                                   // 384 kbit/s, 44.1 kHz, no padding
    w.Put(joint ? 0x50 : 0x00, 8);                    // mode and extension
    int alloc[2][32] = {};
    for (int sb = 0; sb < 32; ++sb) {
      for (int ch = 0; ch < 2; ++ch) {
        if (sb >= bound && ch == 1) {
          alloc[1][sb] = alloc[0][sb];
          continue;
        }
        alloc[ch][sb] = sb < 14 ? static_cast<int>(next(7)) : 0;
        w.Put(static_cast<std::uint32_t>(alloc[ch][sb]), 4);
      }
    }
    for (int sb = 0; sb < 32; ++sb) {
      for (int ch = 0; ch < 2; ++ch) {
        if (alloc[ch][sb]) w.Put(8 + next(40), 6);
      }
    }
    for (int s = 0; s < 12; ++s) {
      for (int sb = 0; sb < 32; ++sb) {
        for (int ch = 0; ch < 2; ++ch) {
          if (!alloc[ch][sb] || (sb >= bound && ch == 1)) continue;
          const int bits = alloc[ch][sb] + 1;
          w.Put(next((1u << bits) - 1), bits);  // the all-ones code is not used
        }
      }
    }
    w.PadTo(416);
    stream += w.bytes();
  }
  return stream;
}

class MpaLayer1ExternalTest : public testsupport::TempDirTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MpaLayer1ExternalTest, AgreesWithMpg123) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kMpg123);
  const std::string stream = LayerIStream(40, GetParam(), 777);
  dir.Write("stream.mp1", stream);
  std::string output;
  ASSERT_EQ(testsupport::RunCommand("mpg123 -q --no-gapless -e s16 -s " + testsupport::ShellQuote(dir.Native("stream.mp1")) +
                                        " > " + testsupport::ShellQuote(dir.Native("mpg123.raw")),
                                    output),
            0)
      << output;
  const std::vector<std::int16_t> theirs = testsupport::LittleEndianSamples(dir.Read("mpg123.raw"));
  const testsupport::DecodedStream ours = testsupport::DecodeWithEngine(stream);
  EXPECT_EQ(ours.frames, 40);
  EXPECT_EQ(ours.faults, 0);
  ASSERT_EQ(ours.samples.size(), theirs.size());
  const testsupport::Agreement a = testsupport::Compare(ours.samples, theirs);
  std::printf("Layer I %s: %.4f%% within one LSB, mean |difference| %.4f\n", GetParam() ? "joint" : "stereo",
              100.0 * a.within_one, a.mean_abs);
  EXPECT_GE(a.within_one, 0.999);
}

INSTANTIATE_TEST_SUITE_P(Modes, MpaLayer1ExternalTest, ::testing::Values(false, true));

}  // namespace
