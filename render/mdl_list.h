#pragma once
// Model files (".mdl"): bone hierarchies, each bone naming its parent.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "render/skeleton_file.h"

// A bone record also holds eight further names, which nothing uses: they
// are skipped.
struct CMdlBone {
  char name[kSkeletonNameSize] = {};
  char parentName[kSkeletonNameSize] = {};
};

struct CMdlModel {
  char name[kSkeletonNameSize] = {};
  std::vector<CMdlBone> bones;

  int BoneCount() const { return static_cast<int>(bones.size()); }
  // Index of the bone of that name, ignoring case; -1 for an empty or absent name.
  int FindBone(std::string_view boneName) const;
};

class CMdlList {
 public:
  // 1 when the file was read whole; else 0 and an empty list. A missing
  // file is not reported.
  int Read(const char* path);
  SkeletonFileError ReadBytes(std::span<const std::uint8_t> bytes);
  void Clear() { models_.clear(); }

  int Count() const { return static_cast<int>(models_.size()); }
  const CMdlModel& Model(int i) const { return models_[static_cast<std::size_t>(i)]; }
  // The first model of that name, ignoring case; null when none.
  const CMdlModel* Find(std::string_view name) const;

 private:
  std::vector<CMdlModel> models_;
};
