#pragma once
// Animation banks (".anb"): every animation of one skeleton.
#include <cstdint>
#include <span>
#include <vector>

#include "render/animation.h"
#include "render/skeleton_file.h"

class CAnimBank {
 public:
  // 1 when the file was read whole; else 0 and an empty bank. A missing file
  // shows "Error while reading %s".
  int Read(const char* path);
  SkeletonFileError ReadBytes(std::span<const std::uint8_t> bytes);
  void Free() { animations_.clear(); }

  int Count() const { return static_cast<int>(animations_.size()); }
  const CAnimation& Animation(int i) const { return animations_[static_cast<std::size_t>(i)]; }
  // Index of the first animation of that name with, when a second name is
  // given, that second name (both ignoring case); -1.
  int Find(const char* name, const char* secondName) const;

 private:
  std::vector<CAnimation> animations_;
};
