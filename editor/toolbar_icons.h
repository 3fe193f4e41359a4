#pragma once
// The toolbar button images and the program icon, drawn in code.
#include <QIcon>

namespace kelvar {

// The 16 x 15 image of a command's toolbar button (an empty icon for a
// command without one).
QIcon ToolbarIcon(int commandId);
QIcon AppIcon();

}  // namespace kelvar
