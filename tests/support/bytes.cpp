#include "support/bytes.h"

#include <cstring>

namespace testsupport {

Bytes& Bytes::u8(std::uint8_t v) { data_.push_back(v); return *this; }
Bytes& Bytes::u16(std::uint16_t v) { u8(v & 0xFF); return u8(static_cast<std::uint8_t>(v >> 8)); }
Bytes& Bytes::u32(std::uint32_t v) { u16(v & 0xFFFF); return u16(static_cast<std::uint16_t>(v >> 16)); }
Bytes& Bytes::f32(float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, 4);
  return u32(u);
}
Bytes& Bytes::str(std::string_view s) { data_.insert(data_.end(), s.begin(), s.end()); return *this; }
Bytes& Bytes::cstr(std::string_view s) { str(s); return u8(0); }
Bytes& Bytes::fixed(std::string_view s, std::size_t n) {
  std::size_t k = s.size() < n ? s.size() : n;
  str(s.substr(0, k));
  return zeros(n - k);
}
Bytes& Bytes::zeros(std::size_t n) { data_.insert(data_.end(), n, 0); return *this; }
Bytes& Bytes::raw(const std::vector<std::uint8_t>& b) { data_.insert(data_.end(), b.begin(), b.end()); return *this; }

std::uint32_t ReadU32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace testsupport
