#pragma once
// Builds small MTF archives of stored entries for tests, and closes every
// mounted archive when a test ends.
#include <string>
#include <utility>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "support/bytes.h"

namespace rendertest {

inline std::vector<std::uint8_t> MakeArchive(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries) {
  std::size_t dirSize = 4;
  for (const auto& e : entries) dirSize += 4 + e.first.size() + 1 + 8;
  testsupport::Bytes b;
  b.u32(static_cast<std::uint32_t>(entries.size()));
  std::size_t offset = dirSize;
  for (const auto& e : entries) {
    b.u32(static_cast<std::uint32_t>(e.first.size() + 1)).cstr(e.first);
    b.u32(static_cast<std::uint32_t>(offset)).u32(static_cast<std::uint32_t>(e.second.size()));
    offset += e.second.size();
  }
  for (const auto& e : entries) b.raw(e.second);
  return b.data();
}

struct ArchiveGuard {
  ArchiveGuard() { MtfCloseAllArchives(); }
  ~ArchiveGuard() { MtfCloseAllArchives(); }
};

}  // namespace rendertest
