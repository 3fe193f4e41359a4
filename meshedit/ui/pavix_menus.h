#pragma once
// Pavix's menu and keyboard accelerators.
#include <vector>

#include "platform/ui/accelerator_table.h"
#include "platform/ui/menu_table.h"

namespace pavix {

inline constexpr int kIdrMainFrame = 128;
inline constexpr int kIdrToolBar2 = 130;
inline constexpr int kToolBar2Id = 0xE803;

std::vector<platform::ui::MenuItem> MainMenu();
const platform::ui::AcceleratorTable& MainAccelerators();

}  // namespace pavix
