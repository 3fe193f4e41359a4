#include "quest/cdf_format.h"

#include "datafiles/byte_source.h"

namespace {

std::uint64_t Span(std::int32_t first, std::int32_t last) {
  return last >= first ? std::uint64_t(std::int64_t(last) - first + 1) : 0;
}

bool ReadTrapImage(ByteSource& in, std::uint32_t version, RoomTrap& t) {
  bool ok = in.I32(t.type) && in.I32(t.rotation) && in.I32(t.cellX) && in.I32(t.cellY);
  for (std::int32_t& d : t.data) ok = ok && in.I32(d);
  for (std::int32_t& l : t.links) ok = ok && in.I32(l);
  if (version >= 3) ok = ok && in.I32(t.targetCellX) && in.I32(t.targetCellY) && in.I32(t.exportIndex);
  if (version >= 4) ok = ok && in.Fixed(t.label, sizeof t.label);
  return ok;
}

}  // namespace

std::uint32_t CdfTrapImageSize(std::uint32_t version) {
  if (version >= 4) return 124;
  if (version == 3) return 92;
  return 80;
}

CdfStatus ReadCdfRoom(ByteSource& in, CdfRoom& out) {
  out = CdfRoom();
  char magic[4];
  if (!in.Read(magic, 4)) return CdfStatus::kNotRoomFile;
  if (magic[0] != 'C' || magic[1] != 'D' || magic[2] != 'F') return CdfStatus::kNotRoomFile;
  if (!in.U32(out.version)) return CdfStatus::kTruncated;
  if (out.version > kCdfNewestVersion) return CdfStatus::kNotRoomFile;

  std::uint32_t count = 0;
  if (!in.I32(out.firstColumn) || !in.I32(out.firstRow) || !in.I32(out.lastColumn) || !in.I32(out.lastRow) ||
      !in.U32(count)) {
    return CdfStatus::kTruncated;
  }
  constexpr std::uint64_t kBlockRecord = 8 + BlockImage::kSize;
  if (std::uint64_t(count) * kBlockRecord > in.Remaining()) return CdfStatus::kTruncated;
  out.blocks.resize(count);
  for (CdfBlockRecord& b : out.blocks) {
    if (!in.I32(b.column) || !in.I32(b.row) || !b.image.Read(in)) return CdfStatus::kTruncated;
  }

  // Nine u16 cells per block of the rectangle, checked without overflow.
  const std::uint64_t columns = Span(out.firstColumn, out.lastColumn);
  const std::uint64_t rows = Span(out.firstRow, out.lastRow);
  const std::uint64_t remaining = in.Remaining();
  if (columns && rows && (columns > remaining / 18 || rows > remaining / 18 / columns)) {
    return CdfStatus::kTruncated;
  }
  const std::uint64_t cellCount = columns * rows * 9;
  out.cells.resize(static_cast<std::size_t>(cellCount));
  for (std::uint16_t& c : out.cells) {
    if (!in.U16(c)) return CdfStatus::kTruncated;
  }

  if (out.version < 2) return CdfStatus::kRead;
  out.hasObjects = true;
  if (!in.U32(count)) return CdfStatus::kTruncated;
  if (std::uint64_t(count) * (8 + CdfTrapImageSize(out.version)) > in.Remaining()) return CdfStatus::kTruncated;
  out.traps.resize(count);
  for (RoomTrap& t : out.traps) {
    std::int32_t cellX = 0, cellY = 0;
    if (!in.I32(cellX) || !in.I32(cellY) || !ReadTrapImage(in, out.version, t)) return CdfStatus::kTruncated;
    t.cellX = cellX;
    t.cellY = cellY;
  }
  if (!in.U32(count)) return CdfStatus::kTruncated;
  constexpr std::uint64_t kMonsterRecord = 8 + 32 + 4;
  if (std::uint64_t(count) * kMonsterRecord > in.Remaining()) return CdfStatus::kTruncated;
  out.monsters.resize(count);
  for (CdfMonsterRecord& m : out.monsters) {
    if (!in.I32(m.cellX) || !in.I32(m.cellY) || !in.Fixed(m.name, sizeof m.name) || !in.I32(m.rotation)) {
      return CdfStatus::kTruncated;
    }
  }
  return CdfStatus::kRead;
}
