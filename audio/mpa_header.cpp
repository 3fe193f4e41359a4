#include "audio/mpa_header.h"

#include "audio/mpa_tables.h"

namespace mpa {

MpaHeader MpaHeader::Parse(std::uint32_t word) {
  MpaHeader h;
  const bool lower = (word >> 20 & 1) == 0;  // the bit above the ID bit
  const bool id = (word >> 19 & 1) != 0;
  h.reserved_version = lower && id;
  h.version = lower ? MpegVersion::kMpeg25 : (id ? MpegVersion::kMpeg1 : MpegVersion::kMpeg2);
  const int layer_code = static_cast<int>(word >> 17 & 3);
  h.layer = layer_code == 0 ? 0 : 4 - layer_code;
  h.protection = (word >> 16 & 1) == 0;
  h.bitrate_index = static_cast<int>(word >> 12 & 15);
  h.sampling_index = static_cast<int>(word >> 10 & 3);
  h.padding = (word >> 9 & 1) != 0;
  h.private_bit = (word >> 8 & 1) != 0;
  h.mode = static_cast<int>(word >> 6 & 3);
  h.mode_extension = static_cast<int>(word >> 4 & 3);
  h.copyright = (word >> 3 & 1) != 0;
  h.original = (word >> 2 & 1) != 0;
  h.emphasis = static_cast<int>(word & 3);
  return h;
}

bool MpaHeader::IsValid() const {
  if (bitrate_index == 0 || bitrate_index == 15) return false;  // free format is not decoded
  if (layer == 0 || sampling_index == 3 || reserved_version) return false;
  if (padding && sampling_index != 0) return false;
  if (version == MpegVersion::kMpeg25 && layer != 3) return false;
  if (version == MpegVersion::kMpeg1 && layer == 2) {
    const bool mono = mode == 3;
    const int i = bitrate_index;
    if (!mono && (i == 1 || i == 2 || i == 3 || i == 5)) return false;
    if (mono && i >= 11) return false;
  }
  return true;
}

bool MpaHeader::IsHeader(std::uint32_t word) {
  return (word & 0xFFE00000u) == 0xFFE00000u && Parse(word).IsValid();
}

int MpaHeader::BitRateKbit() const {
  if (layer == 0) return 0;
  return kBitRateKbit[Lsf() ? 1 : 0][layer - 1][bitrate_index];
}

int MpaHeader::SampleRateHz() const {
  if (sampling_index > 2) return 0;
  return static_cast<int>(kSampleRateHz[static_cast<int>(version)][sampling_index]);
}

int MpaHeader::FrameBytes() const {
  const long rate = SampleRateHz();
  if (rate == 0) return 0;
  const long bits = BitRateKbit() * 1000L;
  const int pad = padding ? 1 : 0;
  if (layer == 1) return static_cast<int>((12 * bits / rate + pad) * 4);
  if (layer == 3 && Lsf()) return static_cast<int>(72 * bits / rate + pad);
  return static_cast<int>(144 * bits / rate + pad);
}

int MpaHeader::SamplesPerFrame() const {
  if (layer == 1) return 384;
  if (layer == 3 && Lsf()) return 576;
  return 1152;
}

int MpaHeader::SideInfoBytes() const {
  if (Lsf()) return Channels() == 1 ? 9 : 17;
  return Channels() == 1 ? 17 : 32;
}

}  // namespace mpa
