#pragma once
// The decoding engine: finds and reads frames from an input, decodes them by
// layer and runs the synthesis into 16-bit PCM, routed and down-sampled as the
// options ask.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "audio/mpa_header.h"
#include "audio/mpa_layer3.h"
#include "audio/mpa_synthesis.h"

namespace mpa {

inline constexpr int kEndOfInput = -514;
inline constexpr int kDecodeFault = -600;
// Room NextFrame needs: one Layer II or III frame of two channels.
inline constexpr std::size_t kMaxFrameSamples = 2304;

class MpaEngine {
 public:
  // Fills the whole buffer and returns 0, or a negative code (kEndOfInput at the end).
  using ReadFunction = std::function<int(std::uint8_t* buffer, int length)>;

  MpaEngine();

  void SetInput(ReadFunction read) { read_ = std::move(read); }
  // Forgets every byte and sample of the stream read so far (after opening or seeking).
  void Reset();

  // 0 interleaved channels, 1 first channel, 2 second channel, 3 their average.
  void SetRouting(int routing) { routing_ = routing; }
  // 0 none, 1 halve at 32 kHz and above, 2 quarter at 32 kHz and above, halve from 16 kHz.
  void SetDownsampling(int mode) { downsampling_ = mode; }
  // 32 gains for each of two channels, or null.
  void SetEqualizer(const float (*gains)[32]);

  // Decodes the next frame into `out` (at least kMaxFrameSamples). Returns the
  // samples written over all output channels, or kEndOfInput or kDecodeFault.
  int NextFrame(std::span<std::int16_t> out);

  // The header of the frame decoded last.
  const MpaHeader& Header() const { return header_; }
  int OutputChannels() const;
  int OutputRateHz() const;

  // 8-bit output of 16-bit samples, unsigned around 128.
  static std::uint8_t To8BitShift(std::int16_t sample);
  static std::uint8_t To8BitTable(std::int16_t sample);

 private:
  int ReadBytes(std::uint8_t* dst, int length);
  int FindHeader(std::uint32_t& word);
  int DownsampleShift(int rate) const;
  int DecodeBody(std::span<std::int16_t> out);

  ReadFunction read_;
  std::vector<std::uint8_t> pushback_;  // bytes to read again before the input
  std::size_t pushback_pos_ = 0;
  bool have_next_ = false;  // next_word_ is a checked header
  std::uint32_t next_word_ = 0;
  bool report_lost_sync_ = false;
  MpaHeader header_;
  std::array<std::uint8_t, 2048> frame_{};
  int frame_bytes_ = 0;
  std::vector<std::uint8_t> reservoir_;
  std::size_t reservoir_len_ = 0;
  MpaLayer3 layer3_;
  MpaSynthesis synthesis_[2];
  int routing_ = 0;
  int downsampling_ = 0;
  float subbands_[2][36][32] = {};
};

}  // namespace mpa
