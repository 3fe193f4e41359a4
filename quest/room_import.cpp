// Importing a game room file (".cdf") or a block-set file (".cbs") into a
// room, and choosing a room's block set.
#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "datafiles/byte_source.h"
#include "datafiles/file_utils.h"
#include "datafiles/monster_class_table.h"
#include "platform/core/file.h"
#include "platform/core/services.h"
#include "quest/cbs_format.h"
#include "quest/cdf_format.h"
#include "quest/fixed_field.h"
#include "quest/room.h"

namespace {

void ReportReadError(const char* path, int cause) {
  char text[600];
  std::snprintf(text, sizeof text, "Error while reading %s, error = %u\n", path, static_cast<unsigned>(cause));
  platform::MessageBox(text, "", platform::kMbOk);
}

// The whole file. False without a message when it cannot be opened; false
// with the read error shown when reading fails.
bool ReadFileBytes(const char* path, std::vector<std::uint8_t>& out) {
  platform::File file;
  if (!file.Open(path, platform::File::modeRead)) return false;
  try {
    out.resize(static_cast<std::size_t>(file.GetLength()));
    out.resize(file.Read(out.data(), out.size()));
  } catch (const platform::FileException& e) {
    ReportReadError(path, e.cause());
    return false;
  }
  return true;
}

void ApplyRoomPart(CRoom& room, const CdfRoom& cdf) {
  for (RoomBlock& b : room.blocks) b.Clear();
  room.collision.fill(kCollisionFree);

  for (const CdfBlockRecord& r : cdf.blocks) {
    if (!CRoom::IsBlockInGrid(r.column, r.row)) continue;  // no such cell
    RoomBlock& b = room.Block(r.column, r.row);
    b.id = r.image.id;
    b.rotation = r.image.rotation;
    b.id2 = r.image.id2;
    b.extra = r.image.last;
    if (r.image.fileName[0]) b.fileName = r.image.fileName;
  }

  // Only the rectangle's blocks that lie in the grid have cells to write, so
  // the walk is bounded by the grid whatever rectangle the file states.
  const std::int64_t rows = cdf.lastRow >= cdf.firstRow ? std::int64_t(cdf.lastRow) - cdf.firstRow + 1 : 0;
  const std::int64_t firstColumn = std::max<std::int64_t>(cdf.firstColumn, 0);
  const std::int64_t lastColumn = std::min<std::int64_t>(cdf.lastColumn, kRoomBlocks - 1);
  const std::int64_t firstRow = std::max<std::int64_t>(cdf.firstRow, 0);
  const std::int64_t lastRow = std::min<std::int64_t>(cdf.lastRow, kRoomBlocks - 1);
  for (std::int64_t bc = firstColumn; bc <= lastColumn && !cdf.cells.empty(); ++bc) {
    for (std::int64_t br = firstRow; br <= lastRow; ++br) {
      // Cells are stored by block column, block row, cell column, cell row.
      const std::size_t at = static_cast<std::size_t>(((bc - cdf.firstColumn) * rows + (br - cdf.firstRow)) * 9);
      for (int cx = 0; cx < kCellsPerBlock; ++cx) {
        for (int cy = 0; cy < kCellsPerBlock; ++cy) {
          room.Collision(static_cast<int>(bc) * kCellsPerBlock + cx, static_cast<int>(br) * kCellsPerBlock + cy) =
              cdf.cells[at + std::size_t(cx) * kCellsPerBlock + std::size_t(cy)];
        }
      }
    }
  }

  if (cdf.hasObjects) {
    room.FreeTraps();
    for (const RoomTrap& image : cdf.traps) {
      if (!CRoom::IsStoredCell(image.cellX, image.cellY)) continue;  // too far off the grid to stand anywhere
      RoomTrap* t = NewRoomTrap(room.traps);
      RoomTrap* const keep = t->next;
      *t = image;
      t->next = keep;
      t->target = nullptr;
      t->fileId = 0;
    }
    room.FreeMonsters();
    for (const CdfMonsterRecord& r : cdf.monsters) {
      if (!CRoom::IsStoredCell(r.cellX, r.cellY)) continue;
      RoomMonster* m = NewRoomMonster(room.monsters);
      SetField(m->name, FieldText(r.name));
      m->classIndex = g_monsterClassTable.Find(FieldText(m->name));
      m->rotation = r.rotation;
      m->cellX = r.cellX;
      m->cellY = r.cellY;
    }
  }

  // The camera looks at the middle of the block rectangle.
  const std::int64_t midColumn = (std::int64_t(cdf.firstColumn) + cdf.lastColumn) / 2;
  const std::int64_t midRow = (std::int64_t(cdf.firstRow) + cdf.lastRow) / 2;
  const double cellColumn = double(midColumn) * kCellsPerBlock + 1.0;
  const double cellRow = double(midRow) * kCellsPerBlock + 1.0;
  room.targetX = static_cast<float>((cellColumn - 1.0) * 512.0 / 3.0);
  room.targetY = 0.0f;
  room.targetZ = static_cast<float>((1.0 - cellRow) * 512.0 / 3.0);

  room.RelinkTrapTargets();
}

void ApplyBlockSet(CBankList& blockSet, const std::vector<std::string>& names) {
  blockSet.Reset();
  for (const std::string& name : names) blockSet.FindOrAdd(StripDevPath(name.c_str()));
}

}  // namespace

int CRoom::ImportCdf(const char* path) {
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) return 0;
  return ImportCdfBytes(bytes, path);
}

int CRoom::ImportCdfBytes(std::span<const std::uint8_t> bytes, const char* path) {
  SpanSource in{bytes};
  CdfRoom cdf;
  const CdfStatus roomStatus = ReadCdfRoom(in, cdf);
  std::vector<std::string> names;
  const CbsStatus setStatus =
      roomStatus == CdfStatus::kTruncated ? CbsStatus::kTruncated : ReadCbsNames(in, names);
  if (setStatus == CbsStatus::kTruncated) {
    // Nothing is half-imported: the room stays as it was.
    ReportReadError(path, platform::kCauseEndOfFile);
    return 0;
  }
  if (roomStatus == CdfStatus::kRead) ApplyRoomPart(*this, cdf);
  if (setStatus != CbsStatus::kRead) return 0;
  ApplyBlockSet(blockSet, names);
  return 1;
}

int CRoom::ImportCbs(const char* path) {
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) return 0;
  return ImportCbsBytes(bytes, path);
}

int CRoom::ImportCbsBytes(std::span<const std::uint8_t> bytes, const char* path) {
  SpanSource in{bytes};
  std::vector<std::string> names;
  switch (ReadCbsNames(in, names)) {
    case CbsStatus::kTruncated:
      ReportReadError(path, platform::kCauseEndOfFile);
      return 0;
    case CbsStatus::kNotBlockSet:
      return 0;
    case CbsStatus::kRead:
      break;
  }
  ApplyBlockSet(blockSet, names);
  return 1;
}

void CRoom::LoadBlockSet() {
  if (level == 0) {
    ImportCbs("rozizuzi\\cbs\\land.cbs");
    return;
  }
  static constexpr const char* kDungeonSets[4] = {
      "rozizuzi\\cbs\\level1a.cbs", "rozizuzi\\cbs\\level2a.cbs",
      "rozizuzi\\cbs\\level3a.cbs", "rozizuzi\\cbs\\level4a.cbs",
  };
  if (land >= 0 && land <= 7) ImportCbs(kDungeonSets[land / 2]);
}

void CRoom::RemapBlockNames() {
  for (RoomBlock& b : blocks) {
    if (!b.HasBlock()) continue;
    const int index = blockSet.FindName(CBankNames::BaseName(b.fileName));
    if (index >= 0) b.fileName = blockSet.GetPath(index);
  }
}
