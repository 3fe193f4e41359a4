// Packing then unpacking gives back the input, whatever it is.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "datafiles/common/lz_pack.h"
#include "datafiles/common/lz_unpack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const std::vector<std::uint8_t> packed = LzPack(input);
  std::vector<std::uint8_t> out;
  const LzUnpackResult r = LzUnpack(packed, out);
  if (!r.complete || out.size() != size || !std::equal(out.begin(), out.end(), input.begin())) std::abort();
  return 0;
}
