// The room camera, picking under the pointer and the editing tools of the
// room view.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "datafiles/monster_class_table.h"
#include "quest/element_instance.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/room.h"
#include "quest/tile_palette.h"
#include "render/engine_3d.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kPitchLowest = -1.5706964f;
// The grid, the overlays and the floors of the blocks lie at this height.
constexpr float kGroundHeight = -256.0f;

bool IsLinkableNode(const GraphNode* node) { return node && node->kind != kNodeMonster; }

ElementInstance* FirstInstance(const GraphNode* node) {
  if (!node || !node->keys || !node->OwnerMachine()) return nullptr;
  return node->keys->instance;
}

}  // namespace

// ---- Camera -------------------------------------------------------------

void CRoom::ZoomCamera(float d) { distance += 4.0f * d; }

void CRoom::TranslateCamera(float dx, float dy) {
  CMatrix turn;
  turn.FromEuler({0.0f, yaw, 0.0f});
  const CVector3 step = turn.RotateVector({4.0f * dx, 0.0f, -4.0f * dy});
  targetX += step.x;
  targetY += step.y;
  targetZ += step.z;
}

void CRoom::YawCamera(float d) { yaw += d * kPi / 1024.0f; }

void CRoom::PitchCamera(float d) { pitch = std::clamp(pitch - d * kPi / 1024.0f, kPitchLowest, 0.0f); }

void CRoom::ElevateCamera(float d) { targetY -= 4.0f * d; }

void CRoom::UpdateCamera() {
  CMatrix rotation;
  rotation.FromEuler({pitch, yaw, roll});
  const CVector3 offset = rotation.RotateVector({offsetX, offsetY, distance});
  camera.position = CVector3(targetX, targetY, targetZ) + offset;
  camera.LookAt(targetX, targetY, targetZ);
}

void CRoom::SetProjection(float fx, float fy, float cx, float cy) {
  focalX = fx;
  focalY = fy;
  centreX = cx;
  centreY = cy;
}

CMatrix CRoom::CameraMatrix() const {
  CMatrix m;
  m.MakeTranslation({-camera.position.x, -camera.position.y, -camera.position.z});
  return MultiplyMatrices(m, camera.view);
}

CVector3 CRoom::WorldToCamera(const CVector3& p) const { return CameraMatrix().TransformPoint(p); }

CVector3 CRoom::CameraToWorld(const CVector3& p) const {
  // The view is a pure rotation: its transpose turns camera space back.
  const float* v = camera.view.m;
  return {camera.position.x + p.x * v[0] + p.y * v[1] + p.z * v[2],
          camera.position.y + p.x * v[3] + p.y * v[4] + p.z * v[5],
          camera.position.z + p.x * v[6] + p.y * v[7] + p.z * v[8]};
}

bool CRoom::WorldToScreen(const CVector3& p, float& x, float& y) const {
  const CVector3 c = WorldToCamera(p);
  if (!(c.z > 0.0f)) return false;
  x = centreX + c.x * focalX / c.z;
  y = centreY - c.y * focalY / c.z;
  return true;
}

bool CRoom::ScreenToGround(int x, int y, CVector3& point) const {
  if (!(focalX > 0.0f) || !(focalY > 0.0f)) return false;
  // The ray through the pixel in camera space, turned into the world by the
  // transpose of the view; doubles keep far, grazing hits on their pixel.
  const double cx = (static_cast<double>(x) - centreX) / focalX;
  const double cy = (centreY - static_cast<double>(y)) / focalY;
  const float* v = camera.view.m;
  const double dx = cx * v[0] + cy * v[1] + v[2];
  const double dy = cx * v[3] + cy * v[4] + v[5];
  const double dz = cx * v[6] + cy * v[7] + v[8];
  if (!(std::fabs(dy) > 1e-9)) return false;
  const double t = (kGroundHeight - static_cast<double>(camera.position.y)) / dy;
  if (!(t > 0.0) || !std::isfinite(t)) return false;
  const double hx = camera.position.x + dx * t, hz = camera.position.z + dz * t;
  // Beyond what a float holds, the point is no place on the ground.
  if (!(std::fabs(hx) < 1e30) || !(std::fabs(hz) < 1e30)) return false;
  point = CVector3(static_cast<float>(hx), kGroundHeight, static_cast<float>(hz));
  return true;
}

// ---- Picking ---------------------------------------------------------------

bool CRoom::IsCellTool() const {
  return (tool >= kToolMoveTrap && tool <= kToolDeleteTrap) || (tool >= kToolAddMonster && tool <= kToolDelete);
}

bool CRoom::PickCell(int x, int y) {
  CVector3 hit;
  if (!ScreenToGround(x, y, hit)) return false;
  cursorPoint = hit;
  const int oldCellX = cellX, oldCellY = cellY, oldBlockX = blockX, oldBlockY = blockY;
  int column = 0, row = 0;
  WorldToCell(hit.x, hit.z, column, row);
  // Points left of or above the grid land on its first cells (integer parts
  // toward zero), like points past its far edges on its last.
  cellX = std::clamp(column, 0, kRoomCells - 1);
  cellY = std::clamp(row, 0, kRoomCells - 1);
  blockX = std::clamp(cellX / kCellsPerBlock, 0, kRoomBlocks - 1);
  blockY = std::clamp(cellY / kCellsPerBlock, 0, kRoomBlocks - 1);
  if (IsCellTool()) return cellX != oldCellX || cellY != oldCellY;
  return blockX != oldBlockX || blockY != oldBlockY;
}

// ---- Blocks --------------------------------------------------------------

namespace {

void CopyBlockContents(RoomBlock& to, const RoomBlock& from) {
  to.id = from.id;
  to.rotation = from.rotation;
  to.id2 = from.id2;
  to.extra = from.extra;
  to.fileName = from.fileName;
}

bool SameBlock(const RoomBlock& a, const RoomBlock& b) {
  return a.id == b.id && a.rotation == b.rotation && a.id2 == b.id2 && a.extra == b.extra && a.fileName == b.fileName;
}

}  // namespace

void CRoom::PickDragStart(int x, int y) {
  PickCell(x, y);
  dragStartX = blockX;
  dragStartY = blockY;
}

void CRoom::PickDragEnd(int x, int y) {
  PickCell(x, y);
  dragEndX = blockX;
  dragEndY = blockY;
}

void CRoom::MoveBlock() {
  if (dragStartX == dragEndX && dragStartY == dragEndY) return;
  RoomBlock& from = Block(dragStartX, dragStartY);
  RoomBlock& to = Block(dragEndX, dragEndY);
  if (!from.HasBlock() || to.HasBlock()) return;
  CopyBlockContents(to, from);
  from.Clear();
  ++editCount;
}

void CRoom::CopyBlock() {
  if (dragStartX == dragEndX && dragStartY == dragEndY) return;
  const RoomBlock& from = Block(dragStartX, dragStartY);
  RoomBlock& to = Block(dragEndX, dragEndY);
  if (!from.HasBlock() || to.HasBlock()) return;
  CopyBlockContents(to, from);
  ++editCount;
}

void CRoom::ClearBlock(int x, int y) {
  PickCell(x, y);
  RoomBlock& block = Block(blockX, blockY);
  const RoomBlock before = block;
  block.Clear();
  if (!SameBlock(before, block)) ++editCount;
}

void CRoom::PickBlock(int x, int y) {
  PickCell(x, y);
  const RoomBlock& block = Block(blockX, blockY);
  if (block.HasBlock()) CopyBlockContents(copyBlock, block);
}

void CRoom::RotateBlock(int x, int y) {
  PickCell(x, y);
  RoomBlock& block = Block(blockX, blockY);
  if (!block.HasBlock()) return;
  block.rotation = (block.rotation + 1) & 3;
  ++editCount;
}

void CRoom::PasteBlock(int x, int y) {
  PickCell(x, y);
  if (!copyBlock.HasBlock()) return;
  RoomBlock& block = Block(blockX, blockY);
  if (SameBlock(block, copyBlock)) return;
  CopyBlockContents(block, copyBlock);
  ++editCount;
}

void CRoom::SetChosenBlock(const char* fileName) {
  copyBlock.fileName = fileName ? fileName : "";
  copyBlock.rotation = 0;
  copyBlock.extra = 1;
}

void CRoom::DrawBlock(int x, int y) {
  PickCell(x, y);
  const CTilePalette& palette = TilePalette();
  const TileCategory* draw = palette.DrawStyle();
  if (!draw) return;
  PaintBlock(blockX, blockY, draw->base, draw->key);
}

void CRoom::EraseBlock(int x, int y) {
  PickCell(x, y);
  const CTilePalette& palette = TilePalette();
  const TileCategory* draw = palette.DrawStyle();
  const TileCategory* erase = palette.EraseStyle();
  if (!draw || !erase) return;
  PaintBlock(blockX, blockY, erase->base, draw->key);
}

// ---- Collision -------------------------------------------------------------

namespace {

void SetCollisionValue(CRoom& room, std::uint16_t value) {
  std::uint16_t& cell = room.Collision(room.cellX, room.cellY);
  if (cell == value) return;
  cell = value;
  ++room.editCount;
}

}  // namespace

void CRoom::SetCollision(int x, int y) {
  PickCell(x, y);
  SetCollisionValue(*this, kCollisionBlocked);
}

void CRoom::SetLowCollision(int x, int y) {
  PickCell(x, y);
  SetCollisionValue(*this, kCollisionLow);
}

void CRoom::ClearCollision(int x, int y) {
  PickCell(x, y);
  SetCollisionValue(*this, kCollisionFree);
}

// ---- Traps and nodes -------------------------------------------------------

void CRoom::AddTrap(int x, int y) {
  PickCell(x, y);
  if (selectedTrapType < 0 || IsCellTaken(cellX, cellY, nullptr)) return;
  RoomTrap* trap = NewRoomTrap(traps);
  trap->type = selectedTrapType;
  trap->rotation = 0;
  trap->cellX = cellX;
  trap->cellY = cellY;
  ++editCount;
}

void CRoom::DeleteTrap(int x, int y) {
  PickCell(x, y);
  RoomTrap* trap = FindTrapAt(cellX, cellY);
  if (!trap) return;
  RemoveTrap(trap);
  ++editCount;
}

void CRoom::PickNodeOrTrap(int x, int y) {
  PickCell(x, y);
  pickedNode = FindNodeAt(cellX, cellY);
  pickedTrap = pickedNode ? nullptr : FindTrapAt(cellX, cellY);
}

bool CRoom::MovePickedNodeOrTrap(int x, int y) {
  const bool changed = PickCell(x, y);
  if (pickedNode) {
    if ((pickedNode->cellX != cellX || pickedNode->cellY != cellY) && !IsCellTaken(cellX, cellY, nullptr)) {
      pickedNode->cellX = cellX;
      pickedNode->cellY = cellY;
      ++editCount;
    }
  } else if (pickedTrap) {
    if ((pickedTrap->cellX != cellX || pickedTrap->cellY != cellY) && !IsCellTaken(cellX, cellY, pickedTrap)) {
      pickedTrap->cellX = cellX;
      pickedTrap->cellY = cellY;
      ++editCount;
    }
  }
  return changed;
}

void CRoom::RotatePicked(int x, int y) {
  PickNodeOrTrap(x, y);
  if (pickedNode) {
    pickedNode->rotation = (pickedNode->rotation + 1) & 3;
    ++editCount;
  } else if (pickedTrap) {
    pickedTrap->rotation = (pickedTrap->rotation + 1) & 3;
    ++editCount;
  }
  ClearNodeOrTrapPick();
}

void CRoom::ClearNodeOrTrapPick() {
  pickedNode = nullptr;
  pickedTrap = nullptr;
}

void CRoom::ClearPicks() {
  ClearNodeOrTrapPick();
  pickedMonster = nullptr;
}

// ---- Placed monsters -------------------------------------------------------

void CRoom::SetMonsterToAdd(const char* monsterClass) {
  SetField(monsterToAdd, monsterClass ? monsterClass : "");
  SetField(previewMonster.name, monsterToAdd);
  previewMonster.classIndex = g_monsterClassTable.Find(FieldText(previewMonster.name));
  previewMonster.cellX = cellX;
  previewMonster.cellY = cellY;
  previewMonster.rotation = 0;
}

void CRoom::AddMonster(int x, int y) {
  PickCell(x, y);
  if (monsterToAdd[0] == '\0' || IsCellTaken(cellX, cellY, nullptr)) return;
  RoomMonster* monster = NewRoomMonster(monsters);
  SetField(monster->name, FieldText(monsterToAdd));
  monster->classIndex = g_monsterClassTable.Find(FieldText(monster->name));
  monster->rotation = 0;
  monster->cellX = cellX;
  monster->cellY = cellY;
  ++editCount;
}

void CRoom::PickMonster(int x, int y) {
  PickCell(x, y);
  pickedMonster = FindMonsterAt(cellX, cellY);
}

void CRoom::ClearMonsterPick() { pickedMonster = nullptr; }

bool CRoom::MovePickedMonster(int x, int y) {
  PickCell(x, y);
  if (!pickedMonster) return false;
  if ((pickedMonster->cellX != cellX || pickedMonster->cellY != cellY) && !IsCellTaken(cellX, cellY, nullptr)) {
    pickedMonster->cellX = cellX;
    pickedMonster->cellY = cellY;
    ++editCount;
  }
  return true;
}

bool CRoom::RotateMonster(int x, int y) {
  PickCell(x, y);
  RoomMonster* monster = FindMonsterAt(cellX, cellY);
  if (!monster) return false;
  monster->rotation = (monster->rotation + 1) & 3;
  ++editCount;
  return true;
}

bool CRoom::DeleteMonster(int x, int y) {
  PickCell(x, y);
  RoomMonster* monster = FindMonsterAt(cellX, cellY);
  if (!monster) return false;
  RemoveMonster(monster);
  ++editCount;
  ClearMonsterPick();
  return true;
}

void CRoom::PickForMove(int x, int y) {
  ClearPicks();
  PickMonster(x, y);
  if (!pickedMonster) PickNodeOrTrap(x, y);
}

// ---- Links -----------------------------------------------------------------

void CRoom::ClearLinkSource() {
  linkSourceNode = nullptr;
  linkSourceTrap = nullptr;
}

void CRoom::AddLink(int x, int y) {
  PickCell(x, y);
  if (!linkSourceNode && !linkSourceTrap) {
    GraphNode* node = FindNodeAt(cellX, cellY);
    if (IsLinkableNode(node)) linkSourceNode = node;
    else linkSourceTrap = FindTrapAt(cellX, cellY);
    return;
  }
  if (linkSourceTrap) {
    RoomTrap* target = FindTrapAt(cellX, cellY);
    if (target != linkSourceTrap && linkSourceTrap->target != target) {
      linkSourceTrap->target = target;
      ++editCount;
    }
  } else {
    GraphNode* target = FindNodeAt(cellX, cellY);
    ElementInstance* source = FirstInstance(linkSourceNode);
    if (IsLinkableNode(target) && target != linkSourceNode && source && FirstInstance(target)) {
      std::string text(FieldText(target->OwnerMachine()->name));
      text += ':';
      text += FieldText(target->keys->name);
      if (source->AddLink(text)) ++editCount;
    }
  }
  ClearLinkSource();
}

void CRoom::DeleteLinks(int x, int y) {
  PickCell(x, y);
  GraphNode* node = FindNodeAt(cellX, cellY);
  if (ElementInstance* instance = FirstInstance(node)) {
    for (auto& link : instance->links) {
      if (link[0] == '\0') continue;
      SetField(link, "");
      ++editCount;
    }
    return;
  }
  if (RoomTrap* trap = FindTrapAt(cellX, cellY); trap && trap->target) {
    trap->target = nullptr;
    ++editCount;
  }
}
