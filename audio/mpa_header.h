#pragma once
// One MPEG audio frame header: its fields, whether the decoder accepts it, and
// the sizes that follow from it.
#include <cstdint>

namespace mpa {

enum class MpegVersion { kMpeg1 = 0, kMpeg2 = 1, kMpeg25 = 2 };

struct MpaHeader {
  MpegVersion version = MpegVersion::kMpeg1;
  int layer = 0;  // 1..3; 0 for the reserved code
  bool protection = false;  // a 16-bit check word follows the header
  int bitrate_index = 0;
  int sampling_index = 0;
  bool padding = false;
  bool private_bit = false;
  int mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  int mode_extension = 0;
  bool copyright = false;
  bool original = false;
  int emphasis = 0;
  bool reserved_version = false;

  // Splits the 32 header bits (first stream byte in the top 8 bits).
  static MpaHeader Parse(std::uint32_t word);
  // Sync bits set and every field one the decoder decodes.
  static bool IsHeader(std::uint32_t word);
  bool IsValid() const;

  int Channels() const { return mode == 3 ? 1 : 2; }
  bool Lsf() const { return version != MpegVersion::kMpeg1; }
  int BitRateKbit() const;
  int SampleRateHz() const;
  // Whole frame, header included.
  int FrameBytes() const;
  // Per channel: 384, 1152, or 576 for Layer III at the lower rates.
  int SamplesPerFrame() const;
  // Layer III side information after the header (and check word).
  int SideInfoBytes() const;
  // Row of the Layer III band tables.
  int RateRow() const { return static_cast<int>(version) * 3 + sampling_index; }
};

}  // namespace mpa
