#pragma once
// The voice encoder: a 44.1 kHz 16-bit mono recording into an MPEG-1
// Layer II stream at 80 kbit/s, single channel, no CRC. Diagnostics go to
// standard output; nothing is shown to the user.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "audio/mp2_bit_stream.h"
#include "audio/mp2_psycho_model.h"
#include "audio/mp2_subband_filter.h"
#include "platform/core/file.h"

class Mp2Encoder {
 public:
  static constexpr int kFrameSamples = 1152;
  static constexpr int kWavHeaderBytes = 44;
  static constexpr std::size_t kBitStreamBuffer = 4096;
  static constexpr std::uint32_t kHeaderBase = 0xFFFD50C0u;  // padding bit 0x200

  Mp2Encoder();
  ~Mp2Encoder();
  Mp2Encoder(const Mp2Encoder&) = delete;
  Mp2Encoder& operator=(const Mp2Encoder&) = delete;

  // 0 for a written file, non-zero for a failure (no output file is left then).
  int Encode(std::string_view wavPath, std::string_view mp2Path);
  // Opens the input past its header and creates the output; 1 ok, 0 failed.
  int OpenEncoderFiles(std::string_view wavPath, std::string_view mp2Path);

 private:
  struct Frame;  // one frame's subband samples, scale factors and allocation
  void Reset();
  int ReadSamples();
  bool NextFramePadded();
  void Analyse();
  void ChooseScaleFactors();
  void ChooseScaleFactorSelection();
  void AllocateBits(int availableBits);
  void Quantise();
  void WriteFrame(bool padded, int availableBits);

  platform::File input_;
  Mp2BitStream stream_;
  Mp2SubbandFilter filter_;
  Mp2PsychoModel model_;
  std::unique_ptr<Frame> frame_;
  bool inputEnded_ = false;
  double slotLag_ = 0.0;
};

// Encodes the whole recording; the result of Mp2Encoder::Encode.
int EncodeWavToMp2(std::string_view wavPath, std::string_view mp2Path);
