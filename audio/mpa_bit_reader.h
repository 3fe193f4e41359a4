#pragma once
// Reads bits most significant first from a byte range. Past the end it reads
// zeros and remembers the overrun, so a damaged frame can never read outside
// its buffer; the caller checks Overrun() where a frame must end.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mpa {

class MpaBitReader {
 public:
  MpaBitReader() = default;
  MpaBitReader(const std::uint8_t* data, std::size_t bytes) : data_(data), bytes_(bytes), bits_(bytes * 8) {}

  // Up to 32 bits, not consumed.
  std::uint32_t Peek(int count) const {
    if (count == 0) return 0;
    return static_cast<std::uint32_t>((Window() << (pos_ & 7)) >> (64 - count));
  }
  // At least the next 57 bits, first at the top (zeros past the end).
  std::uint64_t Upcoming() const { return Window() << (pos_ & 7); }
  void Skip(int count) { pos_ += static_cast<std::size_t>(count); }
  // Up to 32 bits.
  std::uint32_t Read(int count) {
    const std::uint32_t v = Peek(count);
    Skip(count);
    return v;
  }
  bool ReadBit() { return Read(1) != 0; }

  std::size_t Position() const { return pos_; }
  void SetPosition(std::size_t bit) { pos_ = bit; }
  std::size_t SizeBits() const { return bits_; }
  bool Overrun() const { return pos_ > bits_; }

 private:
  // The eight bytes from the one holding the current bit, zeros past the end.
  std::uint64_t Window() const {
    const std::size_t byte = pos_ >> 3;
    std::uint64_t word = 0;
    if (byte + 8 <= bytes_) {
      std::memcpy(&word, data_ + byte, 8);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
      return word;
    }
    for (std::size_t i = 0; i < 8; ++i) {
      word <<= 8;
      if (byte + i < bytes_) word |= data_[byte + i];
    }
    return word;
  }

  const std::uint8_t* data_ = nullptr;
  std::size_t bytes_ = 0;
  std::size_t bits_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace mpa
