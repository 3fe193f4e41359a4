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
  SpanSource in(bytes);
  std::uint16_t version = 0;
  std::uint32_t count = 0;
  if (!in.U16(version)) return SkeletonFileError::kTruncated;
  if (version != 1) return SkeletonFileError::kBadVersion;
  if (!in.U32(count)) return SkeletonFileError::kTruncated;
  // Every record holds at least its version.
  if (count > in.Remaining() / 2) return SkeletonFileError::kTruncated;
  std::vector<CSkinRecord> read;
  read.reserve(std::min<std::size_t>(count, in.Remaining() / kSkinRecordBytes + 1));
  for (std::uint32_t i = 0; i < count; ++i) {
    CSkinRecord& r = read.emplace_back();
    std::uint16_t recordVersion = 0;
    if (!in.U16(recordVersion)) return SkeletonFileError::kTruncated;
    if (recordVersion != 1) continue;  // stays "bidon"; the next record follows at once
    if (in.Remaining() < kSkinRecordBytes - 2) return SkeletonFileError::kTruncated;
    in.Fixed(r.name, sizeof r.name);
    in.Fixed(r.modelName, sizeof r.modelName);
    r.partNames.resize(kSkeletonMaxBones);
    for (auto& part : r.partNames) in.Fixed(part.data(), part.size());
  }
  if (in.failed()) return SkeletonFileError::kTruncated;
  records_ = std::move(read);
  return SkeletonFileError::kNone;
}

const CSkinRecord* CSkaList::Find(std::string_view name) const {
  for (const CSkinRecord& r : records_) {
    if (platform::EqualsNoCase(r.name, name)) return &r;
  }
  return nullptr;
}
