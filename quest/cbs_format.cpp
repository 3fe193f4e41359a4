#include "quest/cbs_format.h"

#include "datafiles/byte_source.h"

CbsStatus ReadCbsNames(ByteSource& in, std::vector<std::string>& names) {
  names.clear();
  char magic[4];
  if (in.Remaining() < 4 || !in.Read(magic, 4)) return CbsStatus::kNotBlockSet;
  if (magic[0] != 'C' || magic[1] != 'B' || magic[2] != 'S') return CbsStatus::kNotBlockSet;
  std::uint32_t version = 0, count = 0;
  if (!in.U32(version)) return CbsStatus::kTruncated;
  if (version > kCbsVersion) return CbsStatus::kNotBlockSet;
  if (!in.U32(count)) return CbsStatus::kTruncated;
  if (std::uint64_t(count) * (4 + kCbsNameSize) > in.Remaining()) return CbsStatus::kTruncated;
  names.reserve(count);
  char path[kCbsNameSize];
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t unused = 0;
    if (!in.U32(unused) || !in.Fixed(path, sizeof path)) return CbsStatus::kTruncated;
    names.emplace_back(path);
  }
  return CbsStatus::kRead;
}
