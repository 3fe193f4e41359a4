#pragma once
// Skin files (".ska"): each skin names the model (".mdl") it is built on
// and, for each bone of that model, the body part (".mbr") it carries.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "render/skeleton_file.h"

struct CSkinRecord {
  char name[kSkeletonNameSize] = "bidon";
  char modelName[kSkeletonNameSize] = {};
  // One name a bone, 64 of them; none in a record of an unknown version.
  std::vector<std::array<char, kSkeletonNameSize>> partNames;

  // The part name of a bone; "" when it has none.
  const char* PartName(int bone) const;
};

class CSkaList {
 public:
  // 1 when the file was read whole; else 0 and an empty list. A missing file
  // shows "Can't open file %s\n".
  int Read(const char* path);
  SkeletonFileError ReadBytes(std::span<const std::uint8_t> bytes);
  void Clear() { records_.clear(); }

  int Count() const { return static_cast<int>(records_.size()); }
  const CSkinRecord& Record(int i) const { return records_[static_cast<std::size_t>(i)]; }
  // The first skin of that name, ignoring case; null when none.
  const CSkinRecord* Find(std::string_view name) const;

 private:
  std::vector<CSkinRecord> records_;
};
