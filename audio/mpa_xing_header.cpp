#include "audio/mpa_xing_header.h"

#include <algorithm>
#include <cstring>

#include "audio/mpa_header.h"

namespace mpa {
namespace {

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
}

}  // namespace

MpaXingHeader MpaXingHeader::Read(std::span<const std::uint8_t> bytes) {
  MpaXingHeader xing;
  std::size_t start = 0;
  for (; start + 4 <= bytes.size(); ++start) {
    if (MpaHeader::IsHeader(BigEndian(bytes, start))) break;
  }
  if (start + 4 > bytes.size()) return xing;
  const MpaHeader h = MpaHeader::Parse(BigEndian(bytes, start));
  xing.samples_per_frame = h.SamplesPerFrame();
  xing.sample_rate = h.SampleRateHz();
  xing.bitrate_kbit = h.BitRateKbit();
  std::size_t at = start;
  if (!h.Lsf()) {
    at += h.Channels() == 2 ? 36 : 21;
  } else {
    at += h.Channels() == 2 ? 21 : 13;
  }
  auto fits = [&](std::size_t count) { return at + count <= bytes.size(); };
  if (!fits(8) || std::memcmp(bytes.data() + at, "Xing", 4) != 0) return xing;
  const std::uint32_t flags = BigEndian(bytes, at + 4);
  at += 8;
  xing.present = true;
  if (flags & 1) {
    if (!fits(4)) return xing;
    xing.frames = BigEndian(bytes, at);
    xing.has_frames = xing.frames != 0;
    at += 4;
  }
  if (flags & 2) at += 4;
  if (flags & 4) {
    if (!fits(100)) return xing;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), 100, xing.toc.begin());
    xing.has_toc = true;
  }
  return xing;
}

double MpaXingHeader::DurationSeconds(long input_size) const {
  if (has_frames && sample_rate > 0) {
    return static_cast<double>(frames) * samples_per_frame / sample_rate;
  }
  if (bitrate_kbit <= 0) return 0.0;
  return static_cast<double>(input_size) * 8.0 / (bitrate_kbit * 1000.0);
}

int MpaXingHeader::AverageBitRateKbit(long input_size) const {
  const double seconds = DurationSeconds(input_size);
  if (!has_frames || seconds <= 0.0) return bitrate_kbit;
  return static_cast<int>(static_cast<double>(input_size) / seconds / 125.0);
}

long MpaXingHeader::SeekPosition(double fraction, long input_size) const {
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (!has_toc) return static_cast<long>(fraction * static_cast<double>(input_size));
  const double percent = fraction * 100.0;
  const int p = std::min(static_cast<int>(percent), 99);
  const double a = toc[static_cast<std::size_t>(p)];
  const double b = p < 99 ? toc[static_cast<std::size_t>(p + 1)] : 256.0;
  const double position = (a + (b - a) * (percent - p)) / 256.0 * static_cast<double>(input_size);
  return std::clamp(static_cast<long>(position), 0L, input_size);
}

}  // namespace mpa
