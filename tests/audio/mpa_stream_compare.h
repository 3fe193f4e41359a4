#pragma once
// Decoding whole streams with our engine and with mpg123, and comparing the two.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct DecodedStream {
  std::vector<std::int16_t> samples;
  int channels = 0;
  int rate = 0;
  int frames = 0;
  int faults = 0;  // frames reported as -600
};

// Our engine over the bytes, with the given routing and down-sampling options.
DecodedStream DecodeWithEngine(const std::string& bytes, int routing = 0, int downsampling = 0);

struct Agreement {
  double within_one = 0.0;  // share of samples differing by at most one
  double mean_abs = 0.0;
  int max_abs = 0;
};
Agreement Compare(const std::vector<std::int16_t>& ours, const std::vector<std::int16_t>& theirs);
std::vector<std::int16_t> LittleEndianSamples(const std::string& raw);

}  // namespace testsupport
