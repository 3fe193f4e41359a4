#pragma once
// Reads an archive's directory for the listing of the archive command,
// checking every record against the file instead of trusting it.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct MtfListedEntry {
  std::string name;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;          // as read (unpacked)
  bool packed = false;
  std::uint64_t storedLength = 0;  // bytes in the archive (a block with its CRC word)
};

class MtfListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws MtfListError for a damaged archive, platform::FileException when it
// cannot be read.
std::vector<MtfListedEntry> ListMtfArchive(std::string_view winPath);
