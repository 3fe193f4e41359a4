#pragma once
// What the four skeleton file readers share: why a file was refused, and
// loading a file through the archive layer with the right message boxes.
#include <concepts>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "datafiles/byte_source.h"

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

// The head every skeleton file begins with: u16 version (1) and u32 record
// count, the count checked against what remains at `leastRecordBytes` a record.
SkeletonFileError ReadSkeletonFileHead(ByteSource& in, std::uint64_t leastRecordBytes, std::uint32_t& count);

// A whole skeleton file: the head, then its records, each read by
// readRecord(in, record). `out` takes the records only when every one reads,
// so a refused file leaves it as it was.
template <class Record, class ReadRecord>
SkeletonFileError ReadSkeletonRecords(std::span<const std::uint8_t> bytes, std::uint64_t leastRecordBytes,
                                      std::vector<Record>& out, ReadRecord readRecord) {
  SpanSource in(bytes);
  std::uint32_t count = 0;
  if (const SkeletonFileError e = ReadSkeletonFileHead(in, leastRecordBytes, count); e != SkeletonFileError::kNone) {
    return e;
  }
  std::vector<Record> read;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (const SkeletonFileError e = readRecord(in, read.emplace_back()); e != SkeletonFileError::kNone) return e;
  }
  if (in.failed()) return SkeletonFileError::kTruncated;
  out = std::move(read);
  return SkeletonFileError::kNone;
}

// Copies a text into a fixed name array, cut to fit and terminated.
void CopyName(char* out, std::size_t size, std::string_view text);
