#pragma once
// The two accelerator tables: 128 while the world map is shown (also the
// table at start), 186 while a room is edited. Only one acts at a time, and
// only in the main window.
#include "platform/ui/accelerator_table.h"

namespace kelvar {

const platform::ui::AcceleratorTable& MapAccelerators();
const platform::ui::AcceleratorTable& RoomAccelerators();

}  // namespace kelvar
