#include "quest/room_checks.h"

#include "quest/generation_log.h"
#include "quest/quest_lists.h"
#include "quest/room.h"

namespace {

constexpr int kLands = 7;
constexpr int kLevels = 5;

bool HasGameLandAndLevel(const CRoom& room) {
  return room.land >= 0 && room.land < kLands && room.level >= 0 && room.level < kLevels;
}

}  // namespace

// Entrances and level rooms per land and level; a dungeon level holds one of them.
void CheckRooms() {
  int counts[kLands][kLevels] = {};
  for (const CRoom* room = Quest().rooms; room; room = room->next) {
    if (!HasGameLandAndLevel(*room)) {
      LogGeneration("room %s has land %d and level %d, outside the lands and levels of the game\r\n", room->name,
                    room->land, room->level);
      continue;
    }
    counts[room->land][room->level] += (room->entrance ? 1 : 0) + (room->level > 0 ? 1 : 0);
  }
  for (const CRoom* room = Quest().rooms; room; room = room->next) {
    if (!HasGameLandAndLevel(*room)) continue;
    const int count = counts[room->land][room->level];
    if (room->entrance && count > 1) {
      LogGeneration("Multiple entrance for dungeon %d are not allowed : error in room %s\r\n", room->land, room->name);
    }
    if (room->levelFlag && count > 1) {
      LogGeneration("room %s is declared as a Level but there are more than one room in level %d\r\n", room->name,
                    room->level);
    }
  }
}
