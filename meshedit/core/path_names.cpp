#include "meshedit/core/path_names.h"

#include "platform/core/paths.h"

namespace pavix {

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
  const platform::PathParts parts = platform::SplitPath(path);
  return parts.drive + parts.dir + parts.fname + std::string(extension);
}

std::string GetBaseName(std::string_view path) { return platform::SplitPath(path).fname; }

}  // namespace pavix
