#include "support/external_tool.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <string_view>

namespace testsupport {

bool HaveTool(const ExternalTool& tool) {
  static std::mutex mutex;
  static std::map<std::string, bool> known;
  std::lock_guard lock(mutex);
  const auto hit = known.find(tool.probe);
  if (hit != known.end()) return hit->second;
  const std::string command = std::string("( ") + tool.probe + " ) >/dev/null 2>&1";
  const bool have = std::system(command.c_str()) == 0;
  known.emplace(tool.probe, have);
  return have;
}

bool InContinuousIntegration() {
  const char* ci = std::getenv("CI");
  if (!ci) return false;
  const std::string_view value(ci);
  return !value.empty() && value != "0" && value != "false";
}

std::string MissingToolMessage(const ExternalTool& tool) {
  std::string text = std::string(tool.name) + " is not installed (scripts/setup installs " + tool.package + ")";
  if (InContinuousIntegration()) text += "; CI is set, so the check it makes cannot be skipped";
  return text;
}

}  // namespace testsupport
