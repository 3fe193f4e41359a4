#include "render/ska_list.h"

#include "datafiles/byte_source.h"
#include "platform/core/paths.h"

namespace {
constexpr std::size_t kSkinRecordBytes = 2 + kSkeletonNameSize * (2 + kSkeletonMaxBones);
}

const char* CSkinRecord::PartName(int bone) const {
  if (bone < 0 || static_cast<std::size_t>(bone) >= partNames.size()) return "";
  return partNames[static_cast<std::size_t>(bone)].data();
}

int CSkaList::Read(const char* path) {
  return LoadSkeletonFile(path, "Can't open file %s\n", [this](std::span<const std::uint8_t> b) { return ReadBytes(b); });
}

SkeletonFileError CSkaList::ReadBytes(std::span<const std::uint8_t> bytes) {
  Clear();
  return ReadSkeletonRecords(bytes, 2, records_, [](ByteSource& in, CSkinRecord& r) {
    std::uint16_t recordVersion = 0;
    if (!in.U16(recordVersion)) return SkeletonFileError::kTruncated;
    if (recordVersion != 1) return SkeletonFileError::kNone;  // stays "bidon"; the next record follows at once
    if (in.Remaining() < kSkinRecordBytes - 2) return SkeletonFileError::kTruncated;
    in.Fixed(r.name, sizeof r.name);
    in.Fixed(r.modelName, sizeof r.modelName);
    r.partNames.resize(kSkeletonMaxBones);
    for (auto& part : r.partNames) in.Fixed(part.data(), part.size());
    return SkeletonFileError::kNone;
  });
}

const CSkinRecord* CSkaList::Find(std::string_view name) const {
  for (const CSkinRecord& r : records_) {
    if (platform::EqualsNoCase(r.name, name)) return &r;
  }
  return nullptr;
}
