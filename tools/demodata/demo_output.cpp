#include "tools/demodata/demo_output.h"

#include <string>

#include "platform/core/file.h"
#include "platform/core/paths.h"

bool DemoOutput::MakeFolders(std::string_view path) {
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') {
      if (i > 0 && !platform::CreateDirectory(path.substr(0, i))) return false;
    }
  }
  return true;
}

void DemoOutput::WriteFile(std::string_view path, std::span<const std::uint8_t> bytes) {
  const std::size_t slash = path.rfind('\\');
  if (slash != std::string_view::npos && !MakeFolders(path.substr(0, slash))) {
    throw platform::FileException(platform::kCauseBadPath, 0, std::string(path));
  }
  platform::WriteWholeFile(path, bytes);
}

void DemoOutput::Finish() { archive_.Write("data.mtf"); }
