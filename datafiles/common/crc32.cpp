#include "datafiles/common/crc32.h"

#include <array>

namespace {
constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[i] = c;
  }
  return t;
}
constexpr auto kTable = MakeTable();
}  // namespace

std::uint32_t Crc32Update(const void* buffer, std::size_t length, std::uint32_t start) {
  if (!buffer || length == 0) return 0;
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  std::uint32_t crc = start;
  for (std::size_t i = 0; i < length; ++i) crc = (crc >> 8) ^ kTable[(crc ^ p[i]) & 0xFF];
  return crc;
}
