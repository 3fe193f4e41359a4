#pragma once
// A trap placed on a room's collision grid. The first part (type to label)
// is the trap's image in room files.
#include <cstdint>

struct RoomTrap {
  std::int32_t type = -1;  // generic trap type; -1 for a new trap
  std::int32_t rotation = 0;
  std::int32_t cellX = 0, cellY = 0;
  std::int32_t data[8] = {0, 1, 1, 0, 0, 0, 0, 0};
  std::int32_t links[8] = {};
  std::int32_t targetCellX = -1, targetCellY = -1;
  std::int32_t exportIndex = 0;
  char label[32] = {};
  RoomTrap* next = nullptr;
  RoomTrap* target = nullptr;  // the trap this one triggers (not owned)
  std::int32_t fileId = 0;     // id within a quest file
};

// A new trap with the defaults above, pushed at the head of a list.
inline RoomTrap* NewRoomTrap(RoomTrap*& head) {
  RoomTrap* t = new RoomTrap;
  t->next = head;
  head = t;
  return t;
}
