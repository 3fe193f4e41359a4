#pragma once
// A hand-made game table file: version 1, the row count, then the rows as given.
#include <cstdint>
#include <vector>

#include "support/bytes.h"

namespace tablebytes {

inline std::vector<std::uint8_t> File(const std::vector<testsupport::Bytes>& rows) {
  testsupport::Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(rows.size()));
  for (const testsupport::Bytes& r : rows) b.raw(r.data());
  return b.data();
}

}  // namespace tablebytes
