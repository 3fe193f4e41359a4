#pragma once
// A 64-bit FNV-1a digest of bytes, and its spelling as a C++ literal, for
// tests that pin what the code draws or writes bit for bit.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testsupport {

inline constexpr std::uint64_t kDigestStart = 1469598103934665603ull;

// Continues `h` over the bytes, so that several buffers make one digest.
inline std::uint64_t Digest(const void* data, std::size_t size, std::uint64_t h = kDigestStart) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

inline std::uint64_t Digest(const std::vector<std::uint8_t>& bytes) { return Digest(bytes.data(), bytes.size()); }

// As the literal to paste into a test, e.g. "0x0123456789abcdefull".
inline std::string DigestLiteral(std::uint64_t digest) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(digest));
  return text;
}

}  // namespace testsupport
