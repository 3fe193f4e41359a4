// The room file ".cdf" that generation writes for each room (version 5);
// the layout is in docs/formats.md.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "datafiles/common/little_endian.h"
#include "datafiles/file_utils.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/generation_log.h"
#include "quest/graph_node.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/machine_def.h"
#include "quest/monster.h"
#include "quest/room.h"
#include "quest/room_node_index.h"
#include "quest/room_placement.h"

namespace {

constexpr std::uint32_t kCdfExportVersion = 5;
constexpr std::uint32_t kCbsExportVersion = 1;
constexpr std::size_t kCdfNameSize = 512;
constexpr std::size_t kCdfLabelSize = 32;
constexpr std::int32_t kMachineObjectType = 34;
constexpr std::uint16_t kOutsideGrid = kCollisionBlocked;  // bounds can reach past the grid

// Appends to a buffer that the caller sizes once.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& buffer) : bytes(buffer) {}
  void U32(std::uint32_t v) { AppendLe32(bytes, v); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Raw(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
  }
  // The text and zeros up to n bytes; the caller keeps it within n (or n - 1
  // when it must end inside the field).
  void Field(std::string_view text, std::size_t n) {
    const std::size_t k = text.size() < n ? text.size() : n;
    const std::size_t at = bytes.size();
    bytes.resize(at + n);
    if (k) std::memcpy(bytes.data() + at, text.data(), k);
  }
  // n bytes to fill in place.
  std::uint8_t* Extend(std::size_t n) {
    const std::size_t at = bytes.size();
    bytes.resize(at + n);
    return bytes.data() + at;
  }

  std::vector<std::uint8_t>& bytes;
};

// Sizes of the records of a room file.
constexpr std::size_t kCdfHeadSize = 4 + 4 + 4 * 4 + 4;
constexpr std::size_t kCdfBlockSize = 8 * 4 + kCdfNameSize + 4;
constexpr std::size_t kCdfObjectSize = 2 * 4 + 4 * 4 + 8 * 4 + 8 * 4 + 3 * 4 + kCdfLabelSize;
constexpr std::size_t kCdfMonsterSize = 2 * 4 + kCdfLabelSize + 4;
constexpr std::size_t kCbsHeadSize = 4 + 4 + 4;
constexpr std::size_t kCbsNameSize = 4 + kCdfNameSize;

// One buffer for every room file of a generation, so each room's megabytes
// of names reuse memory already in hand instead of fresh pages; the package
// takes the room's bytes from its file, not from here.
std::vector<std::uint8_t>& RoomFileBuffer() {
  thread_local std::vector<std::uint8_t> buffer;
  buffer.clear();
  return buffer;
}

// The object image: the first 124 bytes of a trap.
struct ObjectImage {
  std::int32_t type = 0;
  std::int32_t rotation = 0;
  std::int32_t cellX = 0, cellY = 0;
  std::int32_t data[8] = {};
  std::int32_t links[8] = {};
  std::int32_t targetCellX = 0, targetCellY = 0;
  std::int32_t exportIndex = 0;
  std::string label;  // at most 31 characters

  void Write(ByteWriter& out) const {
    out.I32(type);
    out.I32(rotation);
    out.I32(cellX);
    out.I32(cellY);
    for (std::int32_t v : data) out.I32(v);
    for (std::int32_t v : links) out.I32(v);
    out.I32(targetCellX);
    out.I32(targetCellY);
    out.I32(exportIndex);
    out.Field(label, kCdfLabelSize);
  }
};

// A file name as the game finds it: the editor's mesh folder becomes the game's.
std::string GamePath(std::string_view path) { return ReplacePathPrefix(path, "rozizuzi\\o4d", "\\vrel\\kzt\\data"); }

// A name in a char[512] field: one that would not end inside it is cut and logged.
void WriteName(ByteWriter& out, const std::string& name) {
  if (name.size() > kCdfNameSize - 1) LogGeneration("file name too long -> %s\r\n", name.c_str());
  out.Field(std::string_view(name).substr(0, kCdfNameSize - 1), kCdfNameSize);
}

std::string Label(std::string_view prefix, std::string_view text) {
  std::string label = std::string(prefix) + std::string(text);
  if (label.size() > kCdfLabelSize - 1) label.resize(kCdfLabelSize - 1);
  return label;
}

// Of a room's nodes, machines and skeletons are written as objects, monster nodes as monsters.
bool IsObjectNode(const GraphNode* node) { return node->kind == kNodeMachine || node->kind == kNodeSkeleton; }

struct Bounds {
  std::int32_t firstColumn = 9999, firstRow = 9999, lastColumn = -1, lastRow = -1;
  void Add(std::int32_t column, std::int32_t row) {
    if (column < firstColumn) firstColumn = column;
    if (row < firstRow) firstRow = row;
    if (column > lastColumn) lastColumn = column;
    if (row > lastRow) lastRow = row;
  }
  // The block of a trap's or node's cell. Such cells are kept near the grid
  // when read; one set farther is taken at that edge, so the rectangle, and
  // the cells written for it, stay bounded.
  void AddCell(std::int32_t column, std::int32_t row) {
    auto near = [](std::int32_t v) { return std::clamp(v, CRoom::kStoredCellLow, CRoom::kStoredCellHigh); };
    Add(near(column) / kCellsPerBlock, near(row) / kCellsPerBlock);
  }
};

}  // namespace

int CRoom::ExportCdf(const char* namePrefix, const char* questName) {
  SeparateNodes();
  CheckPlacements();

  const std::string prefix = namePrefix ? namePrefix : "";
  const std::string fileName = prefix + std::string(FieldText(name));
  if (!IsPlainFileName(fileName)) {
    LogGeneration("Name %s is not a valid file name\r\n", fileName.c_str());
    return 0;
  }
  CreateQuestFolder(questName);
  const std::string path = "data\\customQuest\\" + std::string(questName) + "\\" + fileName + ".cdf";

  // Numbers and bounds in one pass over blocks, traps, then machine nodes.
  Bounds bounds;
  for (int column = 0; column < kRoomBlocks; ++column) {
    for (int row = 0; row < kRoomBlocks; ++row) {
      if (Block(column, row).HasBlock()) bounds.Add(column, row);
    }
  }
  std::int32_t number = 0;
  std::uint32_t trapCount = 0;
  for (RoomTrap* trap = traps; trap; trap = trap->next, ++trapCount) {
    trap->exportIndex = number;
    const GenericDef* def = FindGenericDef(trap->type);
    if (def && def->index != 0) ++number;
    bounds.AddCell(trap->cellX, trap->cellY);
  }
  std::uint32_t nodeObjects = 0;
  std::uint32_t nodeMonsters = 0;
  const NodeList roomNodes = NodesInRoom();
  for (GraphNode* node : roomNodes) {
    if (IsObjectNode(node)) {
      node->exportIndex = number++;
      bounds.AddCell(node->cellX, node->cellY);
      ++nodeObjects;
    } else if (node->kind == kNodeMonster) {
      ++nodeMonsters;
    }
  }

  std::uint32_t blockCount = 0;
  for (const RoomBlock& b : blocks) blockCount += b.HasBlock() ? 1 : 0;
  const bool anyCells = bounds.lastColumn >= bounds.firstColumn && bounds.lastRow >= bounds.firstRow;
  const std::size_t gridCells =
      anyCells ? std::size_t(bounds.lastColumn - bounds.firstColumn + 1) * std::size_t(bounds.lastRow - bounds.firstRow + 1) *
                     kCellsPerBlock * kCellsPerBlock
               : 0;
  const std::uint32_t roomMonsters = static_cast<std::uint32_t>(ListLength(monsters));
  const int names = blockSet.GetCount();

  ByteWriter out(RoomFileBuffer());
  out.bytes.reserve(kCdfHeadSize + blockCount * kCdfBlockSize + gridCells * 2 + 4 +
                    (trapCount + nodeObjects) * kCdfObjectSize + 4 + (roomMonsters + nodeMonsters) * kCdfMonsterSize +
                    kCbsHeadSize + std::size_t(names) * kCbsNameSize);
  out.Raw("CDF", 4);
  out.U32(kCdfExportVersion);
  out.I32(bounds.firstColumn);
  out.I32(bounds.firstRow);
  out.I32(bounds.lastColumn);
  out.I32(bounds.lastRow);

  out.U32(blockCount);
  // A room's thousands of blocks name few meshes: each game path is made once.
  std::unordered_map<std::string_view, std::string> gamePaths;
  for (int column = 0; column < kRoomBlocks; ++column) {
    for (int row = 0; row < kRoomBlocks; ++row) {
      const RoomBlock& b = Block(column, row);
      if (!b.HasBlock()) continue;
      out.I32(column);
      out.I32(row);
      out.I32(b.id);
      out.I32(b.rotation);
      out.I32(b.id2);
      out.I32(0);
      out.I32(0);
      out.I32(0);
      const auto [known, added] = gamePaths.try_emplace(b.fileName);
      if (added) known->second = GamePath(b.fileName);
      WriteName(out, known->second);
      out.I32(1);
    }
  }

  const ExportGrid grid = BuildExportGrid(*this);
  std::uint8_t* cell = out.Extend(gridCells * 2);
  for (std::int64_t bc = bounds.firstColumn; bc <= bounds.lastColumn; ++bc) {
    for (std::int64_t br = bounds.firstRow; br <= bounds.lastRow; ++br) {
      for (int cx = 0; cx < kCellsPerBlock; ++cx) {
        for (int cy = 0; cy < kCellsPerBlock; ++cy) {
          const std::int64_t column = bc * kCellsPerBlock + cx;
          const std::int64_t row = br * kCellsPerBlock + cy;
          const bool inGrid = column >= 0 && row >= 0 && column < kRoomCells && row < kRoomCells;
          StoreLe16(cell, inGrid ? grid[std::size_t(row) * kRoomCells + std::size_t(column)] : kOutsideGrid);
          cell += 2;
        }
      }
    }
  }

  out.U32(trapCount + nodeObjects);
  for (RoomTrap* trap = traps; trap; trap = trap->next) {
    // These changes stay in the trap.
    bool targetInRoom = false;
    for (const RoomTrap* t = traps; t && trap->target; t = t->next) targetInRoom = targetInRoom || t == trap->target;
    if (targetInRoom) {
      trap->data[0] = trap->target->exportIndex;
      trap->targetCellX = trap->target->cellX;
      trap->targetCellY = trap->target->cellY;
    } else {
      trap->targetCellX = -1;
      trap->targetCellY = -1;
    }
    trap->data[1] = 1;
    trap->data[2] = 1;

    ObjectImage image;
    image.type = trap->type;
    image.rotation = trap->rotation;
    image.cellX = trap->cellX;
    image.cellY = trap->cellY;
    std::memcpy(image.data, trap->data, sizeof image.data);
    std::memcpy(image.links, trap->links, sizeof image.links);
    image.targetCellX = trap->targetCellX;
    image.targetCellY = trap->targetCellY;
    image.exportIndex = trap->exportIndex;
    image.label = std::string(FieldText(trap->label));
    if (const GenericDef* def = FindGenericDef(trap->type)) {
      image.type = def->index;
      for (int j = 0; j < 8; ++j) {
        if (def->data[j] >= 0) image.data[j] = def->data[j];
      }
      if (!FieldEmpty(def->label)) image.label = std::string(FieldText(def->label));
    }
    out.I32(trap->cellX);
    out.I32(trap->cellY);
    image.Write(out);
  }

  for (GraphNode* node : roomNodes) {
    if (!IsObjectNode(node)) continue;
    ObjectImage image;
    image.type = kMachineObjectType;
    image.rotation = node->rotation;
    image.cellX = node->cellX;
    image.cellY = node->cellY;
    image.data[1] = image.data[2] = 1;
    image.targetCellX = image.targetCellY = -1;
    int found = 0;
    for (int slot = 0; slot < ElementInstance::kLinkSlots; ++slot) {
      GraphNode* linked = ResolveLink(node, slot);
      if (!linked) continue;
      if (!IsNodeInRoom(linked)) {
        LogGeneration("%s cannot linked to %s : Both must be in the same room. \r\n", node->keys ? node->keys->name : "",
                      linked->keys ? linked->keys->name : "");
        continue;
      }
      if (found == 0) {
        image.data[0] = linked->exportIndex;
        image.targetCellX = linked->cellX;
        image.targetCellY = linked->cellY;
      }
      image.links[found++] = linked->exportIndex;
    }
    if (found < 8) image.links[found] = -1;
    const CMachine* owner = node->OwnerMachine();
    image.label = Label(prefix, owner ? FieldText(owner->name) : std::string_view());
    out.I32(node->cellX);
    out.I32(node->cellY);
    image.Write(out);
  }

  out.U32(roomMonsters + nodeMonsters);
  for (const RoomMonster* m = monsters; m; m = m->next) {
    out.I32(m->cellX);
    out.I32(m->cellY);
    out.Field(FieldText(m->name), kCdfLabelSize);
    out.I32(m->rotation);
  }
  const RoomNodeIndex* index = RoomNodeIndex::Active();
  for (const GraphNode* node : roomNodes) {
    if (node->kind != kNodeMonster) continue;
    std::string monsterName;
    const std::string_view key = FieldText(node->name);
    if (const CMonster* monster = index ? index->MonsterNamed(key) : FindMonster(Quest().monsters, key)) {
      monsterName = prefix + std::string(FieldText(monster->key)) + std::string(FieldText(monster->monsterClass));
    } else {
      monsterName = prefix + std::string(FieldText(node->name));  // no such monster: its name, so the record stays whole
    }
    if (monsterName.size() >= kCdfLabelSize) LogGeneration("monster name too long -> %s\r\n", monsterName.c_str());
    out.I32(node->cellX);
    out.I32(node->cellY);
    out.Field(monsterName, kCdfLabelSize);  // 32 characters or more: the first 32, no terminator
    out.I32(node->rotation);
  }

  out.Raw("CBS", 4);
  out.U32(kCbsExportVersion);
  out.U32(static_cast<std::uint32_t>(names));
  for (int i = 0; i < names; ++i) {
    out.U32(static_cast<std::uint32_t>(i));
    WriteName(out, GamePath(blockSet.GetPath(i)));
  }

  // Written whole to a temporary file and renamed, so no half file is left.
  platform::File file;
  platform::FileException error(platform::kCauseNone, 0, path);
  if (!file.Open(path, platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave,
                 &error)) {
    LogGeneration("Can't open file %s, error = %u\r\n", path.c_str(), static_cast<unsigned>(error.cause()));
    return 0;
  }
  try {
    file.Write(out.bytes.data(), out.bytes.size());
    file.Close();
  } catch (const platform::FileException& e) {
    file.Abort();
    LogGeneration("Error while saving %s, error = %u\r\n", path.c_str(), static_cast<unsigned>(e.cause()));
    return 0;
  }
  return 1;
}
