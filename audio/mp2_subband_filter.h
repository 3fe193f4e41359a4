#pragma once
// The encoder's polyphase analysis filterbank: 32 new samples in, one sample
// of each of the 32 subbands out.
#include <array>

class Mp2SubbandFilter {
 public:
  void Reset();
  // in: 32 samples in time order, already scaled to -1..1.
  void Analyse(const double* in, double* out);

 private:
  std::array<double, 1024> history_{};  // ring of 512, each sample also 512 further on; newest at offset_
  unsigned offset_ = 0;
};
