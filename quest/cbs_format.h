#pragma once
// The block-set file ".cbs" (also the last part of a ".cdf" room file):
// "CBS" and a byte, u32 version 1, u32 count, then per name u32 (not used)
// and char[512] path.
#include <cstdint>
#include <string>
#include <vector>

class ByteSource;

inline constexpr std::uint32_t kCbsVersion = 1;
inline constexpr std::uint32_t kCbsNameSize = 512;

enum class CbsStatus {
  kRead,
  kNotBlockSet,  // no "CBS" magic, or a version above 1
  kTruncated,    // the count or a record reaches past the end
};

// The paths as stored (terminated within their 512 bytes).
CbsStatus ReadCbsNames(ByteSource& source, std::vector<std::string>& names);
