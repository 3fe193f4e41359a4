// Collision tests, node separation and the placement report of a room.
#include "quest/room_placement.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/machine_def.h"
#include "quest/mesh_banks.h"
#include "quest/monster.h"
#include "quest/room.h"
#include "quest/room_node_index.h"
#include "render/mesh.h"

namespace {

constexpr int kMaxSeparationRadius = 15;

std::uint16_t Widen(std::uint8_t meshByte) {
  return static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<std::int8_t>(meshByte)));
}

void Stamp(ExportGrid& grid, std::int64_t column, std::int64_t row, std::uint8_t value) {
  if (column >= 0 && row >= 0 && column < kRoomCells && row < kRoomCells) {
    grid[std::size_t(row) * kRoomCells + std::size_t(column)] = Widen(value);
  }
}

// The key shown for a trap in the placement report.
std::string TrapKey(const RoomTrap& trap) {
  if (const GenericDef* def = FindGenericDef(trap.type)) return std::string(FieldText(def->key));
  return "#" + std::to_string(trap.type);  // a type without a definition has no key
}

const char* NodeLabel(const GraphNode& node) { return node.keys ? node.keys->name : node.name; }

}  // namespace

CellPoint RotateCell(int rotation, int x, int y) {
  switch (rotation) {
    case 1: return {2 - y, x};
    case 2: return {2 - x, 2 - y};
    case 3: return {y, 2 - x};
    default: return {x, y};
  }
}

CellPoint UnrotateCell(int rotation, int x, int y) {
  switch (rotation) {
    case 0: return {x, y};
    case 1: return {y, 2 - x};
    case 2: return {2 - x, 2 - y};
    case 3: return {2 - y, x};
    default: return {2, 2};
  }
}

const GenericDef* FindGenericDef(int type) {
  for (const GenericDef* def = Quest().generics; def; def = def->next) {
    if (def->type == type) return def;
  }
  return nullptr;
}

CMesh* GenericDefMesh(const GenericDef& definition) {
  if (!definition.mesh || definition.mesh->empty()) return nullptr;
  return GenericMeshBank().GetMesh(*definition.mesh);
}

// A block mesh's footprint cells, row by row; none for a mesh without one.
struct BlockFootprint {
  int columns = 0, rows = 0;
  std::vector<std::uint8_t> cells;
};

void StampBlockCells(CRoom& room, ExportGrid& grid) {
  // Taken once per mesh name: finding a mesh by name walks the whole bank,
  // and a room holds thousands of blocks but few meshes.
  std::unordered_map<std::string_view, BlockFootprint> footprints;
  for (int column = 0; column < kRoomBlocks; ++column) {
    for (int row = 0; row < kRoomBlocks; ++row) {
      const RoomBlock& block = room.Block(column, row);
      if (!block.HasBlock()) continue;
      const auto [found, added] = footprints.try_emplace(block.fileName);
      BlockFootprint& footprint = found->second;
      if (added) {
        const CMesh* mesh = room.blockSet.GetMesh(block.fileName);
        if (mesh && mesh->HasFootprint()) {
          footprint.columns = mesh->FootprintColumns();
          footprint.rows = mesh->FootprintRows();
          for (int y = 0; y < footprint.rows; ++y) {
            for (int x = 0; x < footprint.columns; ++x) footprint.cells.push_back(mesh->FootprintCell(x, y));
          }
        }
      }
      for (int y = 0; y < footprint.rows; ++y) {
        for (int x = 0; x < footprint.columns; ++x) {
          const std::uint8_t value = footprint.cells[std::size_t(y) * std::size_t(footprint.columns) + std::size_t(x)];
          if (value == 0) continue;
          const CellPoint p = RotateCell(block.rotation, x, y);
          Stamp(grid, column * kCellsPerBlock + p.x, row * kCellsPerBlock + p.y, value);
        }
      }
    }
  }
}

void StampTrapCells(CRoom& room, ExportGrid& grid) {
  for (const RoomTrap* trap = room.traps; trap; trap = trap->next) {
    const GenericDef* def = FindGenericDef(trap->type);
    const CMesh* mesh = def ? GenericDefMesh(*def) : nullptr;
    if (!mesh || !mesh->HasFootprint()) continue;
    for (int y = 0; y < mesh->FootprintRows(); ++y) {
      for (int x = 0; x < mesh->FootprintColumns(); ++x) {
        const std::uint8_t value = mesh->FootprintCell(x, y);
        if (value == 0) continue;
        const CellPoint p = RotateCell(trap->rotation, x, y);
        Stamp(grid, std::int64_t(trap->cellX) + p.x - 1, std::int64_t(trap->cellY) + p.y - 1, value);
      }
    }
  }
}

ExportGrid BuildExportGrid(CRoom& room) {
  ExportGrid grid(room.collision.begin(), room.collision.end());
  StampBlockCells(room, grid);
  StampTrapCells(room, grid);
  return grid;
}

CVector3 NegateVector(const CVector3& v) { return {-v.x, -v.y, -v.z}; }

bool IsPlacedNode(const GraphNode& node) {
  return node.owner && (node.kind == kNodeMachine || node.kind == kNodeSkeleton || node.kind == kNodeMonster);
}

bool CRoom::IsCellBlocked(int column, int row) {
  if (!IsCellInGrid(column, row)) return true;
  if (Collision(column, row) != 0) return true;
  const RoomBlock& block = Block(column / kCellsPerBlock, row / kCellsPerBlock);
  if (!block.HasBlock()) return false;
  const CMesh* mesh = blockSet.GetMesh(block.fileName);
  if (!mesh || !mesh->HasFootprint()) return false;
  const CellPoint p = UnrotateCell(block.rotation, column % kCellsPerBlock, row % kCellsPerBlock);
  return mesh->FootprintCell(p.x, p.y) != 0;
}

bool CRoom::IsInTrapFootprint(const RoomTrap& trap, int column, int row) {
  if (!IsCellInGrid(column, row)) return true;
  const GenericDef* def = FindGenericDef(trap.type);
  if (!def) return true;  // a trap of an unknown type takes the whole room
  const CMesh* mesh = GenericDefMesh(*def);
  if (!mesh || !mesh->HasFootprint()) return column == trap.cellX && row == trap.cellY;
  // The offset from the footprint's corner, in 64 bits and held within the
  // footprint's reach: a far cell stays outside whatever the rotation.
  const std::int64_t reach = std::int64_t(std::max(mesh->FootprintColumns(), mesh->FootprintRows())) + 2;
  const std::int64_t dx = std::clamp(std::int64_t(column) - trap.cellX + 1, -reach, reach);
  const std::int64_t dy = std::clamp(std::int64_t(row) - trap.cellY + 1, -reach, reach);
  const CellPoint p = UnrotateCell(trap.rotation, static_cast<int>(dx), static_cast<int>(dy));
  if (p.x < 0 || p.y < 0 || p.x >= mesh->FootprintColumns() || p.y >= mesh->FootprintRows()) return false;
  return mesh->FootprintCell(p.x, p.y) != 0;
}

bool CRoom::IsNodeInRoom(const GraphNode* node) const {
  // The rectangle the map shows: it never wraps round at the map's far end.
  return node && IsPlacedNode(*node) && BoxMeets(node->MapRect());
}

bool CRoom::BoxMeets(const platform::video::Rect& r) const {
  return r.left <= right && r.right >= left && r.top <= bottom && r.bottom >= top;
}

CRoom::NodeList CRoom::NodesInRoom() const {
  NodeList list;
  if (const RoomNodeIndex* index = RoomNodeIndex::Active()) {
    list.nodes = index->NodesOf(this);
    return list;
  }
  for (GraphNode* node = Quest().graphNodes; node; node = node->next) {
    if (IsNodeInRoom(node)) list.owned.push_back(node);
  }
  list.nodes = list.owned;
  return list;
}

GraphNode* CRoom::FindNodeAt(int column, int row) const {
  for (GraphNode* node : NodesInRoom()) {
    if (node->cellX == column && node->cellY == row) return node;
  }
  return nullptr;
}

bool CRoom::IsCellTakenForNode(int column, int row, const RoomTrap* ignore) {
  if (IsCellBlocked(column, row) || FindTrapAt(column, row) || FindMonsterAt(column, row)) return true;
  for (const RoomTrap* trap = traps; trap; trap = trap->next) {
    if (trap != ignore && IsInTrapFootprint(*trap, column, row)) return true;
  }
  return false;
}

bool CRoom::IsCellTaken(int column, int row, const RoomTrap* ignore) {
  return FindNodeAt(column, row) || IsCellTakenForNode(column, row, ignore);
}

GraphNode* CRoom::FindLinkTarget(const GraphNode* node, int slot, bool* machineGone) const {
  if (machineGone) *machineGone = false;
  if (!node || !node->keys || !node->owner || slot < 0 || slot >= ElementInstance::kLinkSlots) return nullptr;
  const std::string_view key = FieldText(node->keys->name);
  ElementInstance* instance = nullptr;
  if (CMachine* machine = node->OwnerMachine()) {
    instance = machine->FindInstance(key);
  } else if (CMonster* monster = node->OwnerMonster()) {
    instance = monster->FindInstance(key);
  }
  if (!instance) return nullptr;
  const std::string_view text = FieldText(instance->links[slot]);
  if (text.empty()) return nullptr;
  const std::size_t colon = text.find(':');
  const std::string_view machineName = text.substr(0, colon);
  std::string instanceName;
  if (colon != std::string_view::npos) {
    for (char c : text.substr(colon + 1)) {
      if (c != ':') instanceName += c;
    }
  }
  const RoomNodeIndex* index = RoomNodeIndex::Active();
  CMachine* target = index ? index->MachineNamed(machineName) : FindMachineNamed(Quest().machines, machineName);
  if (!target) {
    if (machineGone) *machineGone = true;
    return nullptr;
  }
  if (index) {
    for (GraphNode* n : index->KeyedNodesOf(target)) {
      if (platform::EqualsNoCase(FieldText(n->keys->name), instanceName)) return n;
    }
    return nullptr;
  }
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    if (n->owner == target && n->OwnerMachine() && n->keys &&
        platform::EqualsNoCase(FieldText(n->keys->name), instanceName)) {
      return n;
    }
  }
  return nullptr;
}

GraphNode* CRoom::ResolveLink(GraphNode* node, int slot) {
  bool machineGone = false;
  GraphNode* target = FindLinkTarget(node, slot, &machineGone);
  if (machineGone) {
    // The machine is gone: so is the link.
    ElementInstance* instance = nullptr;
    if (CMachine* machine = node->OwnerMachine()) instance = machine->FindInstance(FieldText(node->keys->name));
    else if (CMonster* monster = node->OwnerMonster()) instance = monster->FindInstance(FieldText(node->keys->name));
    if (instance) SetField(instance->links[slot], "");
  }
  return target;
}

void CRoom::SeparateNodes() {
  std::vector<std::uint8_t> taken(std::size_t(kRoomCells) * kRoomCells, 0);
  auto marked = [&](int c, int r) { return taken[std::size_t(r) * kRoomCells + std::size_t(c)] != 0; };
  auto mark = [&](int c, int r) { taken[std::size_t(r) * kRoomCells + std::size_t(c)] = 1; };
  for (GraphNode* node : NodesInRoom()) {
    const int c = node->cellX;
    const int r = node->cellY;
    // IsCellTakenForNode holds outside the grid, so `marked` only sees cells in it.
    if (!IsCellTakenForNode(c, r, nullptr) && !marked(c, r)) {
      mark(c, r);
      continue;
    }
    for (int radius = 1; radius <= kMaxSeparationRadius; ++radius) {
      // Cells off the grid never count, so the ring is walked only where it
      // meets the grid (in 64 bits: a node far off the grid meets nothing).
      const std::int64_t firstColumn = std::max<std::int64_t>(std::int64_t(c) - radius, 0);
      const std::int64_t lastColumn = std::min<std::int64_t>(std::int64_t(c) + radius, kRoomCells - 1);
      const std::int64_t firstRow = std::max<std::int64_t>(std::int64_t(r) - radius, 0);
      const std::int64_t lastRow = std::min<std::int64_t>(std::int64_t(r) + radius, kRoomCells - 1);
      bool found = false;
      for (std::int64_t cc = firstColumn; cc <= lastColumn; ++cc) {
        for (std::int64_t rr = firstRow; rr <= lastRow; ++rr) {
          if (std::abs(cc - c) != radius && std::abs(rr - r) != radius) continue;
          const int column = static_cast<int>(cc);
          const int row = static_cast<int>(rr);
          if (IsCellTakenForNode(column, row, nullptr) || marked(column, row)) continue;
          // Every free cell of the ring is kept for this node; it ends on the last one.
          mark(column, row);
          node->cellX = column;
          node->cellY = row;
          found = true;
        }
      }
      if (found) break;
    }
  }
}

void CRoom::CheckPlacements() {
  // How many of this room's nodes stand on each cell, counted once rather
  // than by a walk over the nodes for every trap, node and monster.
  const NodeList roomNodes = NodesInRoom();
  std::unordered_map<std::uint64_t, int> nodeCells;
  nodeCells.reserve(roomNodes.nodes.size());
  auto cellKey = [](int c, int r) { return (std::uint64_t(std::uint32_t(c)) << 32) | std::uint32_t(r); };
  for (const GraphNode* node : roomNodes) ++nodeCells[cellKey(node->cellX, node->cellY)];
  auto nodeAt = [&](int c, int r) { return nodeCells.contains(cellKey(c, r)); };

  for (const RoomTrap* trap = traps; trap; trap = trap->next) {
    const int c = trap->cellX;
    const int r = trap->cellY;
    const std::string key = TrapKey(*trap);
    if (!IsCellInGrid(c, r)) {
      LogGeneration("Trap %s in room %s is outside world limit\r\n", key.c_str(), name);
      continue;
    }
    bool bad = IsCellBlocked(c, r) || FindMonsterAt(c, r) || nodeAt(c, r);
    for (const RoomTrap* other = traps; other && !bad; other = other->next) {
      if (other != trap && IsInTrapFootprint(*other, c, r)) bad = true;
    }
    if (bad) {
      LogGeneration("bad placement of generic Trap %s in room %s : collision error at (%d,%d)\r\n", key.c_str(), name,
                    c, r);
    }
  }

  for (const GraphNode* node : roomNodes) {
    const int c = node->cellX;
    const int r = node->cellY;
    bool bad = IsCellBlocked(c, r) || FindTrapAt(c, r) || FindMonsterAt(c, r);
    for (const RoomTrap* trap = traps; trap && !bad; trap = trap->next) bad = IsInTrapFootprint(*trap, c, r);
    if (!bad) bad = nodeCells[cellKey(c, r)] > 1;  // another node on the same cell
    if (bad) {
      LogGeneration("bad placement of Trap %s in room %s : collision error at (%d,%d)\r\n", NodeLabel(*node), name, c,
                    r);
    }
  }

  for (const RoomMonster* monster = monsters; monster; monster = monster->next) {
    const int c = monster->cellX;
    const int r = monster->cellY;
    bool bad = IsCellBlocked(c, r) || FindTrapAt(c, r) || nodeAt(c, r);
    for (const RoomTrap* trap = traps; trap && !bad; trap = trap->next) bad = IsInTrapFootprint(*trap, c, r);
    for (const RoomMonster* other = monsters; other && !bad; other = other->next) {
      bad = other != monster && other->cellX == c && other->cellY == r;
    }
    if (bad) {
      LogGeneration("bad placement of Monster %s in room %s : collision error at (%d,%d)\r\n", monster->name, name, c,
                    r);
    }
  }
}
