#pragma once
// Hand-made archives for the file-layer tests.
#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/common/crc32.h"
#include "support/bytes.h"

namespace pavixtest {

// LZ data of literals only, then the end marker.
inline std::vector<std::uint8_t> LzLiterals(const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> out;
  std::size_t i = 0;
  bool ended = false;
  while (!ended) {
    const std::size_t flagAt = out.size();
    out.push_back(0);
    std::uint8_t flags = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (i < data.size()) {
        flags |= static_cast<std::uint8_t>(1u << bit);
        out.push_back(data[i++]);
      } else {
        out.push_back(0);  // back-reference word 0: the end
        out.push_back(0);
        ended = true;
        break;
      }
    }
    out[flagAt] = flags;
  }
  return out;
}

// A packed block with its CRC word after it.
inline std::vector<std::uint8_t> PackedBlock(const std::vector<std::uint8_t>& data, std::uint32_t magic = 0x0BADBEAA,
                                             bool goodCrc = true) {
  const std::vector<std::uint8_t> lz = LzLiterals(data);
  testsupport::Bytes b;
  b.u32(magic).u32(static_cast<std::uint32_t>(12 + lz.size())).u32(0).raw(lz);
  const std::uint32_t crc = Crc32Update(data.data(), data.size(), 0);
  b.u32(goodCrc ? crc : crc ^ 1);
  return b.data();
}

struct Entry {
  std::string name;
  std::vector<std::uint8_t> stored;  // bytes at the entry's offset
  std::uint32_t size;                // size as read
};

inline std::vector<std::uint8_t> Archive(const std::vector<Entry>& entries) {
  std::size_t dirSize = 4;
  for (const Entry& e : entries) dirSize += 4 + e.name.size() + 1 + 8;
  testsupport::Bytes b;
  b.u32(static_cast<std::uint32_t>(entries.size()));
  std::size_t offset = dirSize;
  for (const Entry& e : entries) {
    b.u32(static_cast<std::uint32_t>(e.name.size() + 1)).cstr(e.name);
    b.u32(static_cast<std::uint32_t>(offset)).u32(e.size);
    offset += e.stored.size();
  }
  for (const Entry& e : entries) b.raw(e.stored);
  return b.data();
}

inline std::vector<std::uint8_t> Text(std::string_view s) { return {s.begin(), s.end()}; }

}  // namespace pavixtest
