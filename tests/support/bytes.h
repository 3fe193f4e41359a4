#pragma once
// Little-endian byte builders for hand-made fixtures.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class Bytes {
 public:
  Bytes& u8(std::uint8_t v);
  Bytes& u16(std::uint16_t v);
  Bytes& u32(std::uint32_t v);
  Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  Bytes& f32(float v);
  Bytes& str(std::string_view s);            // raw bytes, no terminator
  Bytes& cstr(std::string_view s);           // bytes and a zero
  Bytes& fixed(std::string_view s, std::size_t n);  // zero-padded to n
  Bytes& zeros(std::size_t n);
  Bytes& raw(const std::vector<std::uint8_t>& b);

  const std::vector<std::uint8_t>& data() const { return data_; }
  std::vector<std::uint8_t>& data() { return data_; }
  std::size_t size() const { return data_.size(); }
  std::string_view view() const { return {reinterpret_cast<const char*>(data_.data()), data_.size()}; }
  std::string string() const { return std::string(view()); }

 private:
  std::vector<std::uint8_t> data_;
};

std::uint32_t ReadU32(const std::uint8_t* p);
std::uint16_t ReadU16(const std::uint8_t* p);

}  // namespace testsupport
