#include "render/mdl_list.h"

#include "datafiles/byte_source.h"
#include "platform/core/paths.h"

namespace {
constexpr std::size_t kBoneRecordBytes = 2 + kSkeletonNameSize * 10;
}

int CMdlModel::FindBone(std::string_view boneName) const {
  if (boneName.empty()) return -1;
  for (std::size_t i = 0; i < bones.size(); ++i) {
    if (platform::EqualsNoCase(bones[i].name, boneName)) return static_cast<int>(i);
  }
  return -1;
}

int CMdlList::Read(const char* path) {
  return LoadSkeletonFile(path, nullptr, [this](std::span<const std::uint8_t> b) { return ReadBytes(b); });
}

SkeletonFileError CMdlList::ReadBytes(std::span<const std::uint8_t> bytes) {
  Clear();
  return ReadSkeletonRecords(bytes, 2, models_, [](ByteSource& in, CMdlModel& m) {
    std::uint16_t modelVersion = 0;
    std::uint32_t boneCount = 0;
    if (!in.U16(modelVersion)) return SkeletonFileError::kTruncated;
    if (modelVersion != 1) return SkeletonFileError::kNone;  // stays empty
    if (!in.U32(boneCount) || !in.Fixed(m.name, sizeof m.name)) return SkeletonFileError::kTruncated;
    if (boneCount > static_cast<std::uint32_t>(kSkeletonMaxBones)) return SkeletonFileError::kTooMany;
    if (boneCount > in.Remaining() / 2) return SkeletonFileError::kTruncated;
    m.bones.resize(boneCount);
    for (CMdlBone& bone : m.bones) {
      std::uint16_t boneVersion = 0;
      if (!in.U16(boneVersion)) return SkeletonFileError::kTruncated;
      if (boneVersion != 1) continue;  // stays empty
      if (in.Remaining() < kBoneRecordBytes - 2) return SkeletonFileError::kTruncated;
      in.Fixed(bone.name, sizeof bone.name);
      in.Fixed(bone.parentName, sizeof bone.parentName);
      in.Skip(kSkeletonNameSize * 8);
    }
    return SkeletonFileError::kNone;
  });
}

const CMdlModel* CMdlList::Find(std::string_view name) const {
  for (const CMdlModel& m : models_) {
    if (platform::EqualsNoCase(m.name, name)) return &m;
  }
  return nullptr;
}
