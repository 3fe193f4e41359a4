#include "datafiles/common/lz_unpack.h"

#include <array>
#include <cstdio>
#include <new>

#include "platform/core/services.h"

namespace {

constexpr std::size_t kRingSize = 1024;
constexpr std::size_t kGrowStep = 0x8000;

void Grow(std::vector<std::uint8_t>& out) {
  try {
    out.reserve(out.capacity() + kGrowStep);
  } catch (const std::bad_alloc&) {
    std::fputs("Can't allocate memory for Output...\n", stderr);
    platform::Exit(1);
  }
}

}  // namespace

LzUnpackResult LzUnpack(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& output) {
  output.clear();
  // The ring starts zeroed, so a reference to a never-written position yields zeros.
  std::array<std::uint8_t, kRingSize> ring{};
  std::size_t pos = 1;
  std::size_t in = 0;
  const std::size_t n = input.size();
  LzUnpackResult result;

  auto put = [&](std::uint8_t b) {
    if (output.size() == output.capacity()) Grow(output);
    output.push_back(b);
    ring[pos] = b;
    pos = (pos + 1) & (kRingSize - 1);
  };

  while (in < n) {
    unsigned flags = input[in++];
    for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
      if (flags & 1) {
        if (in >= n) goto done;
        put(input[in++]);
      } else {
        if (in + 2 > n) goto done;
        unsigned w = input[in] | (unsigned(input[in + 1]) << 8);
        in += 2;
        unsigned dist = w & 0x3FF;
        if (dist == 0) {
          result.complete = true;
          goto done;
        }
        unsigned len = (w >> 10) + 3;
        for (unsigned i = 0; i < len; ++i) put(ring[(pos - dist) & (kRingSize - 1)]);
      }
    }
  }
done:
  result.length = output.size();
  return result;
}
