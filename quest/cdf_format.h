#pragma once
// The room part of a ".cdf" room file, as read for import (versions up to 5):
// "CDF" and a byte, u32 version, the block rectangle, the blocks, the
// collision cells of the rectangle, then from version 2 the traps and the
// placed monsters. The block-set part that follows is cbs_format.h's.
#include <cstdint>
#include <vector>

#include "quest/block_image.h"
#include "quest/room_trap.h"

class ByteSource;

inline constexpr std::uint32_t kCdfNewestVersion = 5;

struct CdfBlockRecord {
  std::int32_t column = 0, row = 0;
  BlockImage image;
};

struct CdfMonsterRecord {
  std::int32_t cellX = 0, cellY = 0;
  char name[32] = {};  // always terminated
  std::int32_t rotation = 0;
};

struct CdfRoom {
  std::uint32_t version = 0;
  std::int32_t firstColumn = 0, firstRow = 0, lastColumn = -1, lastRow = -1;
  std::vector<CdfBlockRecord> blocks;
  // The rectangle's collision cells in file order: block columns, block
  // rows, cell columns, cell rows.
  std::vector<std::uint16_t> cells;
  bool hasObjects = false;  // traps and monsters present (version 2 on)
  // Traps in file order; each cell is the record's leading pair, and the
  // fields its version lacks keep a new trap's defaults.
  std::vector<RoomTrap> traps;
  std::vector<CdfMonsterRecord> monsters;
};

enum class CdfStatus {
  kRead,
  kNotRoomFile,  // no "CDF" magic (4 bytes consumed) or a newer version (8 consumed)
  kTruncated,    // a count, rectangle or record reaches past the end
};

// Bytes of a trap image of a version: 80, 92 or 124.
std::uint32_t CdfTrapImageSize(std::uint32_t version);

CdfStatus ReadCdfRoom(ByteSource& source, CdfRoom& out);
