// The fast unpacker and a plain ring decoder agree on any bytes: the same
// output, the same length, the same end-marker answer, with and without
// output space reserved by the caller.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "datafiles/common/lz_unpack.h"
#include "support/lz_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the end is caught.
  const std::vector<std::uint8_t> input(data, data + size);
  const testsupport::PlainLzResult plain = testsupport::PlainLzUnpack(input);
  for (std::size_t reserved : {std::size_t(0), plain.bytes.size()}) {
    std::vector<std::uint8_t> out;
    out.reserve(reserved);
    const LzUnpackResult r = LzUnpack(input, out);
    if (r.complete != plain.complete || r.length != out.size() || out != plain.bytes) std::abort();
  }
  return 0;
}
