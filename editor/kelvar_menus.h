#pragma once
// Kelvar's menus: the frame's own (shown without a quest), the quest menu,
// and the context menus of the trees and of the room view.
#include <vector>

#include "platform/ui/menu_table.h"

namespace kelvar {

// Shown while no quest is open.
const std::vector<platform::ui::MenuItem>& FrameMenu();
// The quest's menu bar.
const std::vector<platform::ui::MenuItem>& DocumentMenu();
// One submenu per tree category: "Machine", "Object", "Monster", "Room".
const std::vector<platform::ui::MenuItem>& TreeMenu();
// The room view's: "Machine", "Object", "Monster", "Room", "General",
// "RoomEdit", "Monster2", "Machine2".
const std::vector<platform::ui::MenuItem>& RoomViewMenu();

}  // namespace kelvar
