#pragma once
// Reads bits most significant first from a byte range. Past the end it reads
// zeros and remembers the overrun, so a damaged frame can never read outside
// its buffer; the caller checks Overrun() where a frame must end.
#include <cstddef>
#include <cstdint>

namespace mpa {

class MpaBitReader {
 public:
  MpaBitReader() = default;
  MpaBitReader(const std::uint8_t* data, std::size_t bytes) : data_(data), bits_(bytes * 8) {}

  // Up to 24 bits, not consumed.
  std::uint32_t Peek(int count) const {
    const std::size_t byte = pos_ >> 3;
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      word <<= 8;
      if ((byte + i) * 8 < bits_) word |= data_[byte + i];
    }
    word <<= (pos_ & 7);
    return count == 0 ? 0 : word >> (32 - count);
  }
  void Skip(int count) { pos_ += static_cast<std::size_t>(count); }
  // Up to 32 bits.
  std::uint32_t Read(int count) {
    if (count <= 24) {
      const std::uint32_t v = Peek(count);
      Skip(count);
      return v;
    }
    const std::uint32_t high = Read(count - 16);
    return high << 16 | Read(16);
  }
  bool ReadBit() { return Read(1) != 0; }

  std::size_t Position() const { return pos_; }
  void SetPosition(std::size_t bit) { pos_ = bit; }
  std::size_t SizeBits() const { return bits_; }
  bool Overrun() const { return pos_ > bits_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t bits_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace mpa
