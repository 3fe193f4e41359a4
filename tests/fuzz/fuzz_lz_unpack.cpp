// The unpacker and the block check on any bytes: no read outside the input,
// and no more output than the input could describe.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "datafiles/common/lz_unpack.h"
#include "datafiles/mtf_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the end is caught.
  const std::vector<std::uint8_t> input(data, data + size);
  std::vector<std::uint8_t> out;
  const LzUnpackResult r = LzUnpack(input, out);
  if (r.length != out.size() || out.size() > size * 33) std::abort();

  // The same bytes as a packed block, the expected size taken from its third word.
  if (size >= 12) {
    const std::size_t expected = (data[8] | (data[9] << 8) | (std::size_t(data[10] & 0x0F) << 16));
    const bool ok = UnpackBlock(input, expected, out);
    if (!ok && !out.empty()) std::abort();
  }
  return 0;
}
