#pragma once
// Writes MTF archives: u32 entry count, the directory (u32 name length with
// its terminator, the name, u32 offset, u32 size as read), then each entry's
// data, stored as it is or as a packed block (magic, u32 block length with
// the 12-byte head, u32 0, LZ data) followed by the CRC-32 of the unpacked
// bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/mtf_archive.h"

inline constexpr std::size_t kMtfMaxNameLength = 259;

enum class MtfStorage {
  kStored,  // the bytes as they are
  kPacked,  // always a packed block, even when it is larger
  kAuto,    // packed when that is smaller, else stored
};

// A bad name, or an archive too large for its 32-bit offsets and sizes.
class MtfWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MtfWriter {
 public:
  // Adds an entry; names use backslashes ("data\itemobject.dat"). Throws
  // MtfWriteError for an empty name, one longer than 259 characters, one
  // holding a zero byte, or data of 4 GiB or more. Packing happens here.
  //
  // Bytes that a reader would take for a packed block when stored (they
  // begin with a packed magic, or are shorter than a magic and could begin
  // one) are always written packed, so they read back as they were given.
  void Add(std::string name, std::span<const std::uint8_t> bytes, MtfStorage storage);
  void Add(std::string name, std::string_view bytes, MtfStorage storage);
  // The same, keeping the given buffer when the entry is stored as it is.
  void Add(std::string name, std::vector<std::uint8_t>&& bytes, MtfStorage storage);

  // A stored entry whose bytes are a file's, copied from it when the archive
  // is written, so a large archive is never held in memory; the file must
  // not change in between. A file that must be packed is read here. Throws
  // platform::FileException when the file cannot be opened or read, and
  // MtfWriteError as above.
  void AddFile(std::string name, std::string_view winPath);

  std::size_t count() const { return entries_.size(); }
  bool isPacked(std::size_t index) const { return entries_.at(index).packed; }

  // The archive's bytes. Throws MtfWriteError when it would not fit 32-bit
  // offsets, platform::FileException when a file entry cannot be read.
  std::vector<std::uint8_t> Build() const;
  // Writes the archive through a temporary file renamed into place. Throws
  // MtfWriteError or platform::FileException; the previous file then stays.
  void Write(std::string_view winPath) const;

  // Where each entry's data starts, for entries whose names (without their
  // terminators) and data have the given lengths; the archive's total length
  // comes last. Throws MtfWriteError when anything passes 0xFFFFFFFF.
  struct Extent {
    std::size_t nameLength = 0;
    std::uint64_t dataLength = 0;
  };
  static std::vector<std::uint32_t> LayOut(std::span<const Extent> extents);

 private:
  struct Entry {
    std::string name;
    std::vector<std::uint8_t> data;  // as written: stored bytes, or block and CRC
    std::string source;              // or, when set, the file holding the stored bytes
    std::uint32_t size = 0;          // as read
    bool packed = false;
  };

  static void CheckEntry(const std::string& name, std::size_t size);
  std::vector<std::uint8_t> Head(const std::vector<std::uint32_t>& offsets) const;
  std::vector<std::uint32_t> Offsets() const;

  std::vector<Entry> entries_;
};

// True when a reader would take these bytes, stored, for a packed block.
bool MtfLooksPacked(std::span<const std::uint8_t> bytes);
