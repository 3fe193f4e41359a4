#pragma once
// A monster placed on a room's collision grid.
#include <cstdint>
#include <memory>

class CSkinnedModel;

struct RoomMonster {
  RoomMonster* next = nullptr;
  char name[32] = {};               // monster-class name
  std::int32_t classIndex = -1;     // row of the monster-class table, -1 unknown
  std::int32_t rotation = 0;
  std::int32_t cellX = 0, cellY = 0;
  std::shared_ptr<CSkinnedModel> model;  // built by the room drawing
  std::int32_t builtForClass = -1;       // the class the model was built for; -1 none yet
  float footLift = 0.0f;                 // how far the posed model reaches below its origin
};

// A new monster pushed at the head of a list.
inline RoomMonster* NewRoomMonster(RoomMonster*& head) {
  RoomMonster* m = new RoomMonster;
  m->next = head;
  head = m;
  return m;
}
