#include "render/anim_bank.h"

#include "datafiles/byte_source.h"
#include "platform/core/paths.h"

int CAnimBank::Read(const char* path) {
  return LoadSkeletonFile(path, "Error while reading %s", [this](std::span<const std::uint8_t> b) { return ReadBytes(b); });
}

SkeletonFileError CAnimBank::ReadBytes(std::span<const std::uint8_t> bytes) {
  Free();
  return ReadSkeletonRecords(bytes, 2, animations_, [](ByteSource& in, CAnimation& a) { return a.Read(in); });
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
