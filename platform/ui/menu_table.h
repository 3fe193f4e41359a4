#pragma once
// Menus written as tables and turned into Qt menus whose items carry command
// ids. Before any menu shows, every item's update rule runs.
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/command_target.h"

class QMenu;
class QMenuBar;
class QAction;

namespace platform::ui {

// One entry: a command (id > 0), a separator (no text, no id) or a submenu
// (items not empty). Texts use '&' for the mnemonic and '\t' before the key name.
struct MenuItem {
  std::string text;
  int id = 0;
  std::vector<MenuItem> items;

  bool IsSeparator() const { return id == 0 && items.empty() && text.empty(); }
  bool IsPopup() const { return !items.empty(); }
};

inline MenuItem Item(std::string text, int id) { return {std::move(text), id, {}}; }
inline MenuItem Separator() { return {}; }
inline MenuItem Popup(std::string text, std::vector<MenuItem> items) {
  return {std::move(text), 0, std::move(items)};
}

// The first submenu of the list whose text equals `text` (nullptr when none).
const MenuItem* FindPopup(const std::vector<MenuItem>& menus, std::string_view text);

// Where menus send their commands and ask for their states.
class CommandSink {
 public:
  virtual ~CommandSink() = default;
  virtual CommandState QueryCommand(int id) = 0;
  virtual bool SendCommand(int id) = 0;
  // Menu texts of the recent files, in order ("&1 name" ...).
  virtual std::vector<std::string> RecentFileTexts() { return {}; }
};

// Adds the items to the menu. The item with the first recent-file id is a
// placeholder: when the menu shows, it is replaced by the recent files, or
// shown disabled while the list is empty.
void FillMenu(QMenu* menu, const std::vector<MenuItem>& items, CommandSink* sink);
void FillMenuBar(QMenuBar* bar, const std::vector<MenuItem>& menus, CommandSink* sink);
// Runs the update rules of the menu's items (not of its submenus).
void UpdateMenu(QMenu* menu, CommandSink* sink);

// Command id carried by an action; 0 for separators and submenus.
int ActionCommand(const QAction* action);
void ApplyState(QAction* action, const CommandState& state);

}  // namespace platform::ui
