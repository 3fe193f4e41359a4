#pragma once
// A plain decoder of the archives' LZ streams, written straight from the
// format with a real 1024-byte ring and one byte at a time, to judge the
// program's fast unpacker against.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace testsupport {

struct PlainLzResult {
  std::vector<std::uint8_t> bytes;
  bool complete = false;
};

inline PlainLzResult PlainLzUnpack(std::span<const std::uint8_t> in) {
  PlainLzResult r;
  std::array<std::uint8_t, 1024> ring{};
  std::size_t pos = 1;
  auto put = [&](std::uint8_t b) {
    r.bytes.push_back(b);
    ring[pos] = b;
    pos = (pos + 1) % ring.size();
  };
  std::size_t i = 0;
  while (i < in.size()) {
    const unsigned flags = in[i++];
    for (int bit = 0; bit < 8; ++bit) {
      if ((flags >> bit) & 1) {
        if (i >= in.size()) return r;
        put(in[i++]);
        continue;
      }
      if (in.size() - i < 2) return r;
      const unsigned word = in[i] | (in[i + 1] << 8);
      i += 2;
      const std::size_t distance = word & 0x3FF;
      if (distance == 0) {
        r.complete = true;
        return r;
      }
      for (std::size_t k = (word >> 10) + 3; k > 0; --k) put(ring[(pos + ring.size() - distance) % ring.size()]);
    }
  }
  return r;
}

}  // namespace testsupport
