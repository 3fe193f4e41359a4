#pragma once
// Pop-up (context) menus as a replaceable service.
#include <string>
#include <vector>

#include <QPoint>

#include "platform/ui/menu_table.h"

class QObject;

namespace platform::ui {

// A menu item as shown: its update rule already applied.
struct PopupItem {
  std::string text;
  int id = 0;
  bool enabled = true;
  bool checked = false;
  bool radio = false;
  std::vector<PopupItem> items;
};

class IPopupMenus {
 public:
  virtual ~IPopupMenus() = default;
  // The command id the user picked, 0 when the menu was dismissed.
  virtual int Choose(const std::vector<PopupItem>& items, QPoint globalPos) = 0;
};

IPopupMenus& PopupMenus();
// Returns the service installed before (nullptr: the default).
IPopupMenus* SetPopupMenus(IPopupMenus* service);

// The menu's items with their update rules applied.
std::vector<PopupItem> EvaluateMenu(const std::vector<MenuItem>& items, CommandSink& sink);
// True when the id is an enabled command of the shown items (or their submenus).
bool OffersCommand(const std::vector<PopupItem>& items, int id);

// Shows the submenu at the screen point and returns the command picked (0 for
// none, or for a disabled one). Unless returnOnly is set, the command then
// goes to the sink from the event queue, as a menu's message would, and only
// while `context` still exists.
int TrackPopupMenu(const MenuItem& popup, QPoint globalPos, CommandSink& sink, QObject* context,
                   bool returnOnly = false);

}  // namespace platform::ui
