#pragma once
// What the four skeleton file readers share: why a file was refused, and
// loading a file through the archive layer with the right message boxes.
#include <concepts>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr int kSkeletonMaxBones = 64;
inline constexpr std::size_t kSkeletonNameSize = 64;

enum class SkeletonFileError {
  kNone,
  kBadVersion,  // the file's own version is not 1 (nothing is read)
  kTruncated,   // a count or a record reaches past the end of the bytes
  kTooMany,     // more bones or bone names than a record holds
  kBadIndex,    // a face corner names a vertex its part does not have
  kBadRecord,   // a record of a version the file cannot hold
};

const char* SkeletonFileErrorText(SkeletonFileError error);

template <class Parser>
concept SkeletonParser = requires(Parser p, std::span<const std::uint8_t> b) {
  { p(b) } -> std::same_as<SkeletonFileError>;
};

namespace skeleton_file_detail {
// 0 and the missing text (a box; nothing when null) when the file cannot be
// opened; else the bytes are handed to parse. A damaged file shows "Error
// while reading %s" and traces why; a file of another version is traced only.
int Load(const char* path, const char* missingText, SkeletonFileError (*parse)(void*, std::span<const std::uint8_t>),
         void* context);
}  // namespace skeleton_file_detail

template <SkeletonParser Parser>
int LoadSkeletonFile(const char* path, const char* missingText, Parser parse) {
  return skeleton_file_detail::Load(
      path, missingText,
      [](void* c, std::span<const std::uint8_t> b) { return (*static_cast<Parser*>(c))(b); }, &parse);
}

// Copies a text into a fixed name array, cut to fit and terminated.
void CopyName(char* out, std::size_t size, std::string_view text);
