#pragma once
// The polyphase synthesis filterbank of one channel: 32 subband samples in,
// 32 PCM samples out (16 or 8 when down-sampling), clipped to 16 bits.
#include <cstdint>

namespace mpa {

// out[m] = sum over k of in[k] cos((2k + 1) m pi / 64), the transform the synthesis
// folds into its vectors.
void CosineTransform32(const float in[32], float out[32]);

class MpaSynthesis {
 public:
  MpaSynthesis() { Reset(); }

  void Reset();
  // The windowing uses eight lanes where the processor has them (the default);
  // false keeps it to the four of the baseline. Returns whether eight are used.
  static bool SetWideWindow(bool on);
  // 0 full rate, 1 half, 2 quarter: only the lower 32 >> shift subbands are kept.
  void SetDownsampleShift(int shift) { shift_ = shift; }
  int DownsampleShift() const { return shift_; }
  // 32 gains applied to the subband samples first, or null for none.
  void SetEqualizer(const float* gains) { gains_ = gains; }

  // Writes 32 >> shift samples, `stride` apart.
  void Synthesize(const float subbands[32], std::int16_t* out, int stride);
  // Two channels of one time slot, interleaved into `out`; both states down-sample alike.
  static void SynthesizePair(MpaSynthesis& left, MpaSynthesis& right, const float l[32], const float r[32],
                             std::int16_t* out);

 private:
  // All 32 samples of a time slot, whatever the down-sampling.
  void Filter(const float subbands[32], std::int16_t pcm[32]);

  alignas(16) float v_[16][64];  // 16 vectors of 64, used as a ring
  int offset_ = 0;                   // the newest vector
  int shift_ = 0;
  const float* gains_ = nullptr;
};

}  // namespace mpa
