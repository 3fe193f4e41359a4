#include "render/anim_bank.h"

#include "datafiles/byte_source.h"
#include "platform/core/paths.h"

int CAnimBank::Read(const char* path) {
  return LoadSkeletonFile(path, "Error while reading %s", [this](std::span<const std::uint8_t> b) { return ReadBytes(b); });
}

SkeletonFileError CAnimBank::ReadBytes(std::span<const std::uint8_t> bytes) {
  Free();
  SpanSource in(bytes);
  std::uint16_t version = 0;
  std::uint32_t count = 0;
  if (!in.U16(version)) return SkeletonFileError::kTruncated;
  if (version != 1) return SkeletonFileError::kBadVersion;
  if (!in.U32(count)) return SkeletonFileError::kTruncated;
  if (count > in.Remaining() / 2) return SkeletonFileError::kTruncated;
  std::vector<CAnimation> read;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (const SkeletonFileError e = read.emplace_back().Read(in); e != SkeletonFileError::kNone) return e;
  }
  animations_ = std::move(read);
  return SkeletonFileError::kNone;
}

int CAnimBank::Find(const char* name, const char* secondName) const {
  if (!name) return -1;
  for (std::size_t i = 0; i < animations_.size(); ++i) {
    const CAnimation& a = animations_[i];
    if (a.name[0] == '\0' || !platform::EqualsNoCase(a.name, name)) continue;
    if (secondName && !platform::EqualsNoCase(a.secondName, secondName)) continue;
    return static_cast<int>(i);
  }
  return -1;
}
