#pragma once
// The program's string resources by id: message texts, file filters and the
// prompts of commands ("fly-by text\ntooltip", keyed by the command id).
#include <map>
#include <string>
#include <string_view>

namespace platform::ui {

class StringTable {
 public:
  void Set(int id, std::string text) { texts_[id] = std::move(text); }
  // Empty when the id has no string.
  std::string Get(int id) const;
  // The part of a command prompt before '\n' (the status bar's fly-by text).
  std::string FlyBy(int id) const;
  // The part after '\n' (a toolbar button's tooltip); empty when absent.
  std::string ToolTip(int id) const;
  void Clear() { texts_.clear(); }

 private:
  std::map<int, std::string> texts_;
};

// The one table of the running program.
StringTable& Strings();

}  // namespace platform::ui
