#include "quest/room.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "quest/quest_list.h"

namespace {

constexpr const char* kLandNames[7] = {
    "1-Harrowmere", "2-Ostvale Reach", "3-Cinder Steppes", "4-Gloamwood",
    "5-Saltmarsh Coast", "6-Frostspire Peaks", "7-Hollow Crown",
};
constexpr const char* kLevelNames[5] = {"Outside", "Level1", "Level2", "Level3", "Level4"};

// Integer part of a value, held inside the int range.
int IntegerPart(double v) {
  if (!(v == v)) return 0;
  v = std::trunc(v);
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(v);
}

}  // namespace

CVector3 CellToWorld(int column, int row) {
  return {static_cast<float>((double(column) - 1.0) * 512.0 / 3.0), 0.0f,
          static_cast<float>((1.0 - double(row)) * 512.0 / 3.0)};
}

void WorldToCell(float x, float z, int& column, int& row) {
  column = IntegerPart((double(x) + 256.0) * 3.0 / 512.0);
  row = IntegerPart((256.0 - double(z)) * 3.0 / 512.0);
}

const char* LandName(int land) { return land >= 0 && land < 7 ? kLandNames[land] : ""; }

const char* LevelName(int level) { return level >= 0 && level < 5 ? kLevelNames[level] : ""; }

CRoom::CRoom() {
  const CVector3 target = CellToWorld(97, 97);  // the centre cell of block (32, 32)
  targetX = target.x;
  targetY = target.y;
  targetZ = target.z;
}

CRoom::~CRoom() {
  FreeTraps();
  FreeMonsters();
}

void CRoom::RemoveTrap(RoomTrap* trap) {
  if (!trap || !UnlinkRecord(traps, trap)) return;
  for (RoomTrap* t : Each(traps)) {
    if (t->target == trap) t->target = nullptr;
  }
  if (pickedTrap == trap) pickedTrap = nullptr;
  if (linkSourceTrap == trap) linkSourceTrap = nullptr;
  delete trap;
}

void CRoom::RemoveMonster(RoomMonster* monster) {
  if (!monster || !UnlinkRecord(monsters, monster)) return;
  if (pickedMonster == monster) pickedMonster = nullptr;
  delete monster;
}

void CRoom::FreeTraps() {
  pickedTrap = nullptr;
  linkSourceTrap = nullptr;
  FreeList(traps);
}

void CRoom::FreeMonsters() {
  pickedMonster = nullptr;
  FreeList(monsters);
}

void CRoom::ForgetNode(const GraphNode* node) {
  if (!node) return;
  if (pickedNode == node) pickedNode = nullptr;
  if (linkSourceNode == node) linkSourceNode = nullptr;
}

RoomTrap* CRoom::FindTrapAt(int column, int row) const {
  for (RoomTrap* t : Each(traps)) {
    if (t->cellX == column && t->cellY == row) return t;
  }
  return nullptr;
}

RoomMonster* CRoom::FindMonsterAt(int column, int row) const {
  for (RoomMonster* m : Each(monsters)) {
    if (m->cellX == column && m->cellY == row) return m;
  }
  return nullptr;
}

void CRoom::RelinkTrapTargets() {
  for (RoomTrap* t : Each(traps)) {
    t->target = nullptr;
    if (t->targetCellX < 0 || t->targetCellY < 0) continue;
    for (RoomTrap* other : Each(traps)) {
      if (other != t && other->cellX == t->targetCellX && other->cellY == t->targetCellY) {
        t->target = other;
        break;
      }
    }
  }
}

std::string CRoom::MapLabel() const {
  char buf[256];
  std::snprintf(buf, sizeof buf, "%.79s [%s,%s]", name, LandName(land), LevelName(level));
  return buf;
}

CRoom* NewRoom(CRoom*& head) { return PushHead(head, new CRoom); }
