#pragma once
// The checks Generate Quest makes over the quest's rooms before exporting
// them: each land and level holds at most one entrance or level room, and
// every room's land and level exist in the game. Faults go to the generation log.
void CheckRooms();
