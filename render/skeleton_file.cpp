#include "render/skeleton_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "datafiles/common/debug_trace.h"
#include "platform/core/services.h"
#include "render/archive_bytes.h"

const char* SkeletonFileErrorText(SkeletonFileError error) {
  switch (error) {
    case SkeletonFileError::kNone: return "no error";
    case SkeletonFileError::kBadVersion: return "the file is of an unknown version";
    case SkeletonFileError::kTruncated: return "the file ends inside a record";
    case SkeletonFileError::kTooMany: return "a record holds more than 64 bones";
    case SkeletonFileError::kBadIndex: return "a face uses a vertex its part does not have";
    case SkeletonFileError::kBadRecord: return "a record is of an unknown version";
  }
  return "unknown error";
}

int skeleton_file_detail::Load(const char* path, const char* missingText,
                               SkeletonFileError (*parse)(void*, std::span<const std::uint8_t>), void* context) {
  std::vector<std::uint8_t> bytes;
  char text[600];
  if (!ReadArchiveFile(path, bytes)) {
    DebugTrace("Skeleton file %s cannot be opened\n", path);
    if (missingText) {
      std::snprintf(text, sizeof text, missingText, path);
      platform::MessageBox(text, "", platform::kMbOk);
    }
    return 0;
  }
  const SkeletonFileError error = parse(context, bytes);
  if (error == SkeletonFileError::kNone) return 1;
  DebugTrace("Skeleton file %s refused: %s\n", path, SkeletonFileErrorText(error));
  if (error != SkeletonFileError::kBadVersion) {
    std::snprintf(text, sizeof text, "Error while reading %s", path);
    platform::MessageBox(text, "", platform::kMbOk);
  }
  return 0;
}

void CopyName(char* out, std::size_t size, std::string_view text) {
  if (size == 0) return;
  const std::size_t n = std::min(size - 1, text.size());
  std::memcpy(out, text.data(), n);
  std::memset(out + n, 0, size - n);
}
