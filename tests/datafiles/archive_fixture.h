#pragma once
// Hand-made archives and LZ streams for the archive layer's tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/common/crc32.h"
#include "datafiles/mtf_archive.h"
#include "support/bytes.h"

namespace archivefixture {

inline std::vector<std::uint8_t> ToBytes(std::string_view s) { return {s.begin(), s.end()}; }

// An LZ stream written item by item; the flag bytes are placed for the caller.
class LzStream {
 public:
  LzStream& Literal(std::uint8_t b) {
    Flag(true);
    bytes_.push_back(b);
    return *this;
  }
  LzStream& Literals(std::string_view s) {
    for (char c : s) Literal(static_cast<std::uint8_t>(c));
    return *this;
  }
  // A back-reference of distance 1..1023 and length 3..66.
  LzStream& Ref(unsigned distance, unsigned length) { return Word(static_cast<std::uint16_t>(((length - 3) << 10) | distance)); }
  LzStream& Word(std::uint16_t w) {
    Flag(false);
    bytes_.push_back(static_cast<std::uint8_t>(w & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(w >> 8));
    return *this;
  }
  LzStream& End() { return Word(0); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  void Flag(bool literal) {
    if (items_ % 8 == 0) {
      flagAt_ = bytes_.size();
      bytes_.push_back(0);
    }
    if (literal) bytes_[flagAt_] |= static_cast<std::uint8_t>(1u << (items_ % 8));
    ++items_;
  }
  std::vector<std::uint8_t> bytes_;
  std::size_t flagAt_ = 0;
  unsigned items_ = 0;
};

// Every byte a literal, then the end marker.
inline std::vector<std::uint8_t> LiteralStream(std::string_view s) { return LzStream().Literals(s).End().bytes(); }

// A packed block: head, LZ data and the CRC word after it.
inline std::vector<std::uint8_t> PackedBlock(const std::vector<std::uint8_t>& lz, std::uint32_t crc,
                                             std::uint32_t magic = kMtfPackedMagicA) {
  testsupport::Bytes b;
  b.u32(magic).u32(static_cast<std::uint32_t>(12 + lz.size())).u32(0).raw(lz).u32(crc);
  return b.data();
}

struct Entry {
  std::string name;
  std::vector<std::uint8_t> data;  // as stored in the archive
  std::uint32_t size;              // the directory's size field
};

// Lays out count, directory, then each entry's data in order.
class ArchiveBuilder {
 public:
  ArchiveBuilder& Stored(std::string name, std::string_view content) {
    entries_.push_back({std::move(name), ToBytes(content), static_cast<std::uint32_t>(content.size())});
    return *this;
  }
  // A packed entry of the content, all literals, with its true CRC.
  ArchiveBuilder& Packed(std::string name, std::string_view content, std::uint32_t magic = kMtfPackedMagicA) {
    auto crc = Crc32Update(content.data(), content.size(), 0);
    return Raw(std::move(name), PackedBlock(LiteralStream(content), crc, magic), static_cast<std::uint32_t>(content.size()));
  }
  ArchiveBuilder& Raw(std::string name, std::vector<std::uint8_t> data, std::uint32_t size) {
    entries_.push_back({std::move(name), std::move(data), size});
    return *this;
  }
  std::vector<std::uint8_t> Build() const {
    std::uint32_t dirSize = 4;
    for (const Entry& e : entries_) dirSize += 4 + static_cast<std::uint32_t>(e.name.size()) + 1 + 8;
    testsupport::Bytes b;
    b.u32(static_cast<std::uint32_t>(entries_.size()));
    std::uint32_t offset = dirSize;
    for (const Entry& e : entries_) {
      b.u32(static_cast<std::uint32_t>(e.name.size() + 1)).cstr(e.name).u32(offset).u32(e.size);
      offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const Entry& e : entries_) b.raw(e.data);
    return b.data();
  }

 private:
  std::vector<Entry> entries_;
};

}  // namespace archivefixture
