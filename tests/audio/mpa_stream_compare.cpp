#include "audio/mpa_stream_compare.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/mpa_engine.h"

namespace testsupport {

DecodedStream DecodeWithEngine(const std::string& bytes, int routing, int downsampling) {
  DecodedStream result;
  mpa::MpaEngine engine;
  std::size_t pos = 0;
  engine.SetInput([&](std::uint8_t* dst, int length) {
    if (bytes.size() - pos < static_cast<std::size_t>(length)) return mpa::kEndOfInput;
    std::memcpy(dst, bytes.data() + pos, static_cast<std::size_t>(length));
    pos += static_cast<std::size_t>(length);
    return 0;
  });
  engine.SetRouting(routing);
  engine.SetDownsampling(downsampling);
  engine.Reset();
  std::vector<std::int16_t> frame(mpa::kMaxFrameSamples);
  for (;;) {
    const int n = engine.NextFrame(frame);
    if (n == mpa::kEndOfInput) break;
    if (n < 0) {
      ++result.faults;
      if (result.faults > 1000) break;
      continue;
    }
    ++result.frames;
    result.channels = engine.OutputChannels();
    result.rate = engine.OutputRateHz();
    result.samples.insert(result.samples.end(), frame.begin(), frame.begin() + n);
  }
  return result;
}

Agreement Compare(const std::vector<std::int16_t>& ours, const std::vector<std::int16_t>& theirs) {
  Agreement a;
  const std::size_t n = std::min(ours.size(), theirs.size());
  if (n == 0) return a;
  std::size_t close = 0;
  double total = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const int d = std::abs(static_cast<int>(ours[i]) - theirs[i]);
    if (d <= 1) ++close;
    total += d;
    a.max_abs = std::max(a.max_abs, d);
  }
  a.within_one = static_cast<double>(close) / static_cast<double>(n);
  a.mean_abs = total / static_cast<double>(n);
  return a;
}

std::vector<std::int16_t> LittleEndianSamples(const std::string& raw) {
  std::vector<std::int16_t> out(raw.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                       static_cast<std::uint8_t>(raw[2 * i + 1]) << 8);
  }
  return out;
}

}  // namespace testsupport
