#pragma once
// The Xing header some encoders put in a stream's first frame: the frame count
// and a 100-entry table of contents for seeking to a fraction of the stream.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace mpa {

struct MpaXingHeader {
  bool present = false;
  bool has_frames = false;
  std::uint32_t frames = 0;
  bool has_toc = false;
  std::array<std::uint8_t, 100> toc{};
  int samples_per_frame = 1152;
  int sample_rate = 0;
  int bitrate_kbit = 0;  // of the first frame

  // Looks at the first frame found in `bytes` (the first 196 bytes of an input);
  // never reads outside them.
  static MpaXingHeader Read(std::span<const std::uint8_t> bytes);
  // Seconds of audio: from the frame count when known, else from the size and bit rate.
  double DurationSeconds(long input_size) const;
  // Average bit rate in kbit/s.
  int AverageBitRateKbit(long input_size) const;
  // Byte position of a fraction 0..1 of the stream.
  long SeekPosition(double fraction, long input_size) const;
};

}  // namespace mpa
