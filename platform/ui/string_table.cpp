#include "platform/ui/string_table.h"

namespace platform::ui {

std::string StringTable::Get(int id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

std::string StringTable::FlyBy(int id) const {
  std::string s = Get(id);
  return s.substr(0, s.find('\n'));
}

std::string StringTable::ToolTip(int id) const {
  std::string s = Get(id);
  size_t nl = s.find('\n');
  return nl == std::string::npos ? std::string() : s.substr(nl + 1);
}

StringTable& Strings() {
  static StringTable table;
  return table;
}

}  // namespace platform::ui
